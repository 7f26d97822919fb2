#include "pictures/metafile_decoder.h"

#include <cstdlib>
#include <limits>

#include "pictures/bytes.h"

namespace tentaria::pictures {
namespace {

// Placeable header, 22 bytes:
//   0   u32 key 0x9AC6CDD7
//   4   u16 handle (0 in a file)
//   6   s16 box left
//   8   s16 box top
//   10  s16 box right
//   12  s16 box bottom
//   14  u16 units per inch
//   16  u32 reserved
//   20  u16 checksum of the ten words before it (not relied on)
// The metafile's own header and records follow.
constexpr uint32_t kKey = 0x9AC6CDD7;
constexpr size_t kMinimumSize = 23;

}  // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = int64_t{a} * b;
  const int64_t magnitude =
      (std::llabs(product) + std::llabs(int64_t{c}) / 2) / std::llabs(int64_t{c});
  const int64_t result = (product < 0) != (c < 0) ? -magnitude : magnitude;
  if (result > std::numeric_limits<int32_t>::max() ||
      result < std::numeric_limits<int32_t>::min()) {
    return -1;
  }
  return static_cast<int32_t>(result);
}

PicturePtr DecodeMetafile(std::span<const uint8_t> bytes, const Display& display) {
  if (bytes.size() < kMinimumSize || Le32(bytes.data()) != kKey) return nullptr;
  const int32_t left = Le16Signed(bytes.data() + 6), top = Le16Signed(bytes.data() + 8);
  const int32_t right = Le16Signed(bytes.data() + 10), bottom = Le16Signed(bytes.data() + 12);
  const int32_t units_per_inch = Le16(bytes.data() + 14);
  if (units_per_inch == 0) return nullptr;
  const int32_t width = MulDiv(right - left, display.pixels_per_inch_x, units_per_inch);
  const int32_t height = MulDiv(bottom - top, display.pixels_per_inch_y, units_per_inch);
  if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * height > kMaxPixels) {
    return nullptr;
  }
  auto picture = std::make_unique<Picture>();
  picture->kind = PictureKind::kMetafile;
  picture->width = width;
  picture->height = height;
  return picture;
}

}  // namespace tentaria::pictures
