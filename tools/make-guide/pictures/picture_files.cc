#include "tools/make-guide/pictures/picture_files.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/file.h"
#include "tools/make-guide/campsite.h"
#include "tools/make-guide/drawing/encoders.h"
#include "tools/make-guide/pictures/advertisement.h"
#include "tools/make-guide/pictures/icons.h"
#include "tools/make-guide/pictures/maps.h"
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

namespace {

Status WriteMaps(const std::string& folder) {
  const std::span<const uint8_t> bytes = OutlineText();
  std::vector<Outline> outlines;
  Status s = ParseOutlines(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &outlines);
  for (const ProvinceMap& map : ProvinceMaps()) {
    if (!s.ok()) return s;
    s = WritePictureFile(folder, "Kaart/" + std::string(map.file),
                         EncodeGif(DrawProvinceMap(map, outlines)));
  }
  if (s.ok()) s = WritePictureFile(folder, "Kaart/Kaart.GIF", EncodeGif(DrawBeneluxMap(outlines)));
  return s;
}

Status WriteAdverts(const std::string& folder, uint64_t seed, uint32_t highest_number) {
  Status s = Status::Ok();
  const std::span<const MenuAdvert> menu = MenuAdverts();
  for (size_t i = 0; s.ok() && i < menu.size(); ++i) {
    s = WritePictureFile(
        folder, "FAdvert/" + std::string(menu[i].file),
        EncodeJpeg(DrawAdvertisement(MenuAdvertText(menu[i]), seed, kMenuAdvertStreams + i)));
  }
  const std::span<const std::string_view> slots = SearchSlotAdverts();
  for (size_t slot = 0; s.ok() && slot < slots.size(); ++slot) {
    Canvas advert;
    if (const uint32_t number = AdvertCampsite(slots[slot]); number != 0) {
      const Campsite campsite = MakeCampsite(seed, number, highest_number);
      advert = DrawAdvertisement(CampsiteAdvertText(campsite, number, seed), seed, number);
    } else {
      for (size_t i = 0; i < menu.size(); ++i) {
        if (menu[i].file == slots[slot]) {
          advert = DrawAdvertisement(MenuAdvertText(menu[i]), seed, kMenuAdvertStreams + i);
        }
      }
    }
    s = WritePictureFile(
        folder, "FAdvert/A" + std::to_string(slot + 1) + ".BMP",
        EncodeBmp24(Shrink(advert, kAdvertThumbnailWidth, kAdvertThumbnailHeight)));
  }
  return s;
}

}  // namespace

Status WriteProgramPictures(const std::string& folder, uint64_t seed, uint32_t highest_number) {
  Status s = WriteLinkedPictures(folder, seed);
  if (s.ok()) s = WritePictureFile(folder, "okvlgkl.gif", EncodeGif(PublisherLogo(true)));
  if (s.ok()) s = WritePictureFile(folder, "Logo/OKV.BMP", EncodeBmp24(PublisherLogo(false)));
  for (const IconDrawing& icon : IconDrawings()) {
    if (!s.ok()) return s;
    s = WritePictureFile(folder, icon.file, EncodeIcon(IconImages(icon), kIconClear));
  }
  if (s.ok()) s = WriteMaps(folder);
  if (s.ok()) s = WriteAdverts(folder, seed, highest_number);
  return s;
}

}  // namespace tentaria::make_guide
