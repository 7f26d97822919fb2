// Finding a picture's bytes: among the linked pictures first when asked,
// else in a file through the path layer; and running a decoder on them.
#ifndef TENTARIA_PICTURES_PICTURE_SOURCE_H_
#define TENTARIA_PICTURES_PICTURE_SOURCE_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "pictures/linked_pictures.h"
#include "pictures/metafile_decoder.h"
#include "pictures/picture.h"
#include "platform/file.h"

namespace tentaria::pictures {

struct LoadOptions {
  // Search the linked pictures before the files (a leading "~" on the name
  // sets it too).
  bool linked = false;
  Display display;
  // Null: the host's file system and the program's linked pictures.
  platform::FileSystem* file_system = nullptr;
  const LinkedPictures* linked_pictures = nullptr;
};

// A file larger than this is not read: no picture of the guide comes near.
inline constexpr uint64_t kMaxFileSize = uint64_t{256} << 20;

using Decoder = PicturePtr (*)(std::span<const uint8_t> bytes, const Display& display);

// Reads the whole file at a host path; false when it cannot be opened or
// read, or is larger than kMaxFileSize.
bool ReadPictureFile(platform::FileSystem* file_system, const std::string& host_path,
                     std::vector<uint8_t>* bytes);

// The loader of the formats with a decoder: the linked picture of the
// name when options.linked is set and it decodes (the picture keeps the
// linked bytes), else the file of that name (the picture keeps the file's
// bytes).  name has no leading "~".
PicturePtr LoadAndDecode(std::string_view name, Decoder decoder, const LoadOptions& options);

// The loader of icons and cursors.  A name "!ICON:<resource>" names a
// linked picture holding an icon file; a name that starts with the byte
// 0xFF (an icon numbered within a program) names none the program has;
// any other name is found as LoadAndDecode finds it.
PicturePtr LoadIconOrCursor(std::string_view name, const LoadOptions& options);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_PICTURE_SOURCE_H_
