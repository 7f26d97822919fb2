// The text of a blank-padded record field, without its trailing blanks.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_RECORD_TEXT_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_RECORD_TEXT_H_

#include <cstddef>
#include <string>

namespace tentaria::make_guide {

template <size_t N>
std::string FieldText(const char (&field)[N]) {
  size_t length = N;
  while (length > 0 && (field[length - 1] == ' ' || field[length - 1] == '\0')) --length;
  return std::string(field, length);
}

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_PICTURES_RECORD_TEXT_H_
