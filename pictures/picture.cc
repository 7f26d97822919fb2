#include "pictures/picture.h"

#include <utility>

namespace tentaria::pictures {

void Picture::KeepLinkedBytes(std::span<const uint8_t> bytes) {
  owned_.clear();
  owned_.shrink_to_fit();
  bytes_ = bytes;
  origin_ = ByteOrigin::kLinked;
}

void Picture::KeepOwnedBytes(std::vector<uint8_t> bytes) {
  owned_ = std::move(bytes);
  bytes_ = owned_;
  origin_ = ByteOrigin::kOwned;
}

PicturePtr MakeStillPicture(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) return nullptr;
  auto picture = std::make_unique<Picture>();
  picture->width = static_cast<int>(width);
  picture->height = static_cast<int>(height);
  picture->frames.resize(1);
  picture->frames[0].rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  return picture;
}

}  // namespace tentaria::pictures
