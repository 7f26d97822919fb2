#include "pictures/linked_pictures.h"

#include <algorithm>
#include <cstring>

#include "runtime/collation.h"
#include "runtime/locale.h"

namespace tentaria::pictures {

std::string LinkedPictureName(std::string_view name) {
  std::string upper = runtime::ToUpper(runtime::CurrentLocale().collation(), name);
  std::replace(upper.begin(), upper.end(), '.', '_');
  return upper;
}

void LinkedPictures::Add(std::string_view name, std::span<const uint8_t> bytes) {
  pictures_.insert_or_assign(LinkedPictureName(name), bytes);
}

void LinkedPictures::Add(std::span<const LinkedPictureData> table) {
  for (const LinkedPictureData& entry : table) {
    Add(std::string_view(entry.name, std::strlen(entry.name)),
        std::span<const uint8_t>(entry.data, entry.size));
  }
}

std::optional<std::span<const uint8_t>> LinkedPictures::Find(std::string_view resource_name) const {
  const auto found = pictures_.find(resource_name);
  if (found == pictures_.end()) return std::nullopt;
  return found->second;
}

LinkedPictures& ProgramPictures() {
  static LinkedPictures pictures;
  return pictures;
}

}  // namespace tentaria::pictures
