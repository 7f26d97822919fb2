// The pictures linked into the program: resources of the kind IMAGE,
// each under its resource name.  The program fills ProgramPictures() at
// start-up from data compiled into it; the bytes stay where they are and
// must live as long as the program.
#ifndef TENTARIA_PICTURES_LINKED_PICTURES_H_
#define TENTARIA_PICTURES_LINKED_PICTURES_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tentaria::pictures {

// One picture compiled into the program, as a generated table lists it.
struct LinkedPictureData {
  const char* name;  // the file name it was made from, such as "bkgrnd03.gif"
  const uint8_t* data;
  size_t size;
};

// The resource name of a picture name: upper-cased through the locale's
// case table, every "." replaced by "_" ("Logo\L1218.BMP" becomes
// "LOGO\L1218_BMP").
std::string LinkedPictureName(std::string_view name);

class LinkedPictures {
 public:
  // Adds a picture under LinkedPictureName(name), replacing one of that
  // name.
  void Add(std::string_view name, std::span<const uint8_t> bytes);
  void Add(std::span<const LinkedPictureData> table);
  // The picture of that resource name (compared exactly; names are kept
  // upper-cased).
  std::optional<std::span<const uint8_t>> Find(std::string_view resource_name) const;
  void Clear() { pictures_.clear(); }

 private:
  std::map<std::string, std::span<const uint8_t>, std::less<>> pictures_;
};

// The program's own linked pictures.
LinkedPictures& ProgramPictures();

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_LINKED_PICTURES_H_
