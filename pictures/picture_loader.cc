#include "pictures/picture_loader.h"

#include <vector>

#include "pictures/picture_formats.h"
#include "runtime/collation.h"
#include "runtime/locale.h"

namespace tentaria::pictures {
namespace {

constexpr size_t kExtensionCharacters = 3;

bool SameExtension(std::string_view a, std::string_view b) {
  const runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  return runtime::ToUpper(tables, a) == runtime::ToUpper(tables, b);
}

}  // namespace

std::string PictureExtension(std::string_view name) {
  if (!name.empty() && (static_cast<uint8_t>(name[0]) == 0xFF || name.starts_with("!ICON:"))) {
    return ".ICO";
  }
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  return std::string(name.substr(dot, 1 + kExtensionCharacters));
}

PicturePtr LoadPicture(std::string_view name, const LoadOptions& options) {
  if (name.empty()) return nullptr;
  LoadOptions effective = options;
  if (name.front() == '~') {
    name.remove_prefix(1);
    effective.linked = true;
  }
  const std::string extension = PictureExtension(name);
  for (const PictureFormat& format : PictureFormats()) {
    if (!SameExtension(format.extension, extension)) continue;
    if (PicturePtr picture = format.loader(name, effective)) return picture;
  }
  return nullptr;
}

PicturePtr DecodePicture(std::span<const uint8_t> bytes, const Display& display) {
  for (const PictureFormat& format : PictureFormats()) {
    if (format.decoder == nullptr) continue;
    if (PicturePtr picture = format.decoder(bytes, display)) {
      picture->KeepOwnedBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
      return picture;
    }
  }
  return nullptr;
}

}  // namespace tentaria::pictures
