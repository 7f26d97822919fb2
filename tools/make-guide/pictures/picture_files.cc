#include "tools/make-guide/pictures/picture_files.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/file.h"
#include "tools/make-guide/drawing/encoders.h"
#include "tools/make-guide/pictures/program_pictures.h"

namespace tentaria::make_guide {

Status WritePictureFile(const std::string& folder, std::string_view relative,
                        std::span<const uint8_t> bytes) {
  const std::filesystem::path path = std::filesystem::path(folder) / relative;
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) {
    return Status::Error(
        3, "cannot make the folder " + path.parent_path().string() + ": " + error.message());
  }
  std::unique_ptr<platform::File> file;
  Status s = platform::FileSystem::Default()->Open(
      path.string(), platform::open_mode::kWrite | platform::open_mode::kDenyAll,
      platform::Disposition::kCreateNew, &file);
  if (s.ok()) s = file->Write(0, bytes.data(), bytes.size());
  if (!s.ok()) return Status::Error(s.code(), "cannot write " + path.string() + ": " + s.message());
  return s;
}

Status WriteLinkedPictures(const std::string& folder, uint64_t seed) {
  Status s = WritePictureFile(folder, "bkgrnd01.gif", EncodeGif(ListWallpaper(seed)));
  if (s.ok()) s = WritePictureFile(folder, "bkgrnd03.gif", EncodeGif(FrameWallpaper(seed)));
  if (s.ok()) s = WritePictureFile(folder, "Intro.bmp", EncodeBmp8(IntroPicture(seed)));
  return s;
}

}  // namespace tentaria::make_guide
