// Compiling a picture text («@N9.2», «@D6», «@T4», «@S30», «@P##-##P»,
// «@K###-@@K», «@E12.3») into its compiled form (picture.h).
//
// Trailing blanks of the text do not count (pictures are often kept in
// blank-padded fields); a text that is empty or all blanks is the missing
// picture, which compiles to a string picture of width 255.  Anything that
// is not a valid picture compiles to all zero bytes (width 0).
#ifndef TENTARIA_RUNTIME_PICTURE_COMPILE_H_
#define TENTARIA_RUNTIME_PICTURE_COMPILE_H_

#include <string_view>

#include "runtime/picture.h"

namespace tentaria::runtime {

inline constexpr size_t kMaxPictureTextLength = 254;

CompiledPicture CompilePicture(std::string_view text);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_COMPILE_H_
