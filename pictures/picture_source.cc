#include "pictures/picture_source.h"

#include <cctype>
#include <memory>
#include <string>
#include <utility>

#include "pictures/ani_decoder.h"
#include "pictures/icon_decoder.h"
#include "pictures/pe_resources.h"
#include "platform/path.h"

namespace tentaria::pictures {
namespace {

constexpr std::string_view kIconPrefix = "!ICON:";

const LinkedPictures& LinkedOf(const LoadOptions& options) {
  return options.linked_pictures != nullptr ? *options.linked_pictures : ProgramPictures();
}

PicturePtr DecodeIconFile(std::span<const uint8_t> bytes, const Display&) {
  return IsAnimatedCursor(bytes) ? DecodeAnimatedCursor(bytes) : DecodeIcon(bytes);
}

PicturePtr DecodeExecutableFile(std::span<const uint8_t> bytes, const Display&) {
  return DecodeExecutableIcon(bytes);
}

// Programs and libraries (.EXE, .DLL, in any case) hold their icons as
// resources; every other name is an icon, cursor or animated cursor file.
bool NamesExecutable(std::string_view name) {
  const size_t dot = name.find_last_of(".\\/");
  if (dot == std::string_view::npos || name[dot] != '.') return false;
  const std::string_view extension = name.substr(dot + 1);
  if (extension.size() != 3) return false;
  std::string upper(extension);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == "EXE" || upper == "DLL";
}

}  // namespace

bool ReadPictureFile(platform::FileSystem* file_system, const std::string& host_path,
                     std::vector<uint8_t>* bytes) {
  std::unique_ptr<platform::File> file;
  if (!file_system
           ->Open(host_path, platform::open_mode::kRead | platform::open_mode::kDenyNone,
                  platform::Disposition::kOpenExisting, &file)
           .ok()) {
    return false;
  }
  uint64_t size = 0;
  if (!file->Size(&size).ok() || size > kMaxFileSize) return false;
  bytes->resize(static_cast<size_t>(size));
  size_t read = 0;
  if (!file->Read(0, bytes->data(), bytes->size(), &read).ok()) return false;
  bytes->resize(read);
  return true;
}

PicturePtr LoadAndDecode(std::string_view name, Decoder decoder, const LoadOptions& options) {
  if (options.linked) {
    if (const auto linked = LinkedOf(options).Find(LinkedPictureName(name))) {
      if (PicturePtr picture = decoder(*linked, options.display)) {
        picture->KeepLinkedBytes(*linked);
        return picture;
      }
    }
  }
  platform::FileSystem* file_system =
      options.file_system != nullptr ? options.file_system : platform::FileSystem::Default();
  std::vector<uint8_t> bytes;
  if (!ReadPictureFile(file_system, platform::HostPath(name), &bytes)) return nullptr;
  PicturePtr picture = decoder(bytes, options.display);
  if (picture != nullptr) picture->KeepOwnedBytes(std::move(bytes));
  return picture;
}

PicturePtr LoadIconOrCursor(std::string_view name, const LoadOptions& options) {
  if (!name.empty() && static_cast<uint8_t>(name[0]) == 0xFF) return nullptr;
  if (name.starts_with(kIconPrefix)) {
    const std::string_view resource = name.substr(kIconPrefix.size());
    const auto linked = LinkedOf(options).Find(LinkedPictureName(resource));
    if (!linked) return nullptr;
    PicturePtr picture = DecodeIcon(*linked);
    if (picture != nullptr) picture->KeepLinkedBytes(*linked);
    return picture;
  }
  return LoadAndDecode(name, NamesExecutable(name) ? DecodeExecutableFile : DecodeIconFile,
                       options);
}

}  // namespace tentaria::pictures
