#include "pictures/icon_decoder.h"

#include <algorithm>
#include <vector>

#include "pictures/bytes.h"
#include "pictures/dib.h"

namespace tentaria::pictures {
namespace {

// Directory header:
//   0   u16 reserved, 0
//   2   u16 kind: 1 icon, 2 cursor
//   4   u16 number of images
//   6       one 16-byte entry per image:
//   0   u8  width (0 for 256)
//   1   u8  height (0 for 256)
//   2   u8  colour count (0 for 256 or more)
//   3   u8  reserved
//   4   u16 planes (a cursor: hot spot x)
//   6   u16 bits per pixel (a cursor: hot spot y)
//   8   u32 size of the image's data
//   12  u32 offset of the image's data from the start of the file
// The image data is an info header (dib.cc) whose height counts the colour
// rows and the mask rows, the colour table, the colour bits and the mask.
constexpr size_t kHeaderSize = 6;
constexpr size_t kEntrySize = 16;

struct Candidate {
  std::span<const uint8_t> data;
  uint64_t area = 0;
  unsigned bits = 0;
};

}  // namespace

PicturePtr DecodeIcon(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) return nullptr;
  const uint16_t kind = Le16(bytes.data() + 2);
  if (Le16(bytes.data()) != 0 || (kind != 1 && kind != 2)) return nullptr;
  const size_t count = Le16(bytes.data() + 4);
  if (kHeaderSize + count * kEntrySize > bytes.size()) return nullptr;
  std::vector<Candidate> candidates;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = bytes.data() + kHeaderSize + i * kEntrySize;
    const uint64_t size = Le32(e + 8), offset = Le32(e + 12);
    if (offset + size > bytes.size() || size < 16) continue;
    const std::span<const uint8_t> data = bytes.subspan(offset, size);
    // Only bitmap images: their data starts with an info header size.
    const uint32_t header_size = Le32(data.data());
    if (header_size != 12 && (header_size < 40 || header_size > size)) continue;
    const unsigned width = e[0] == 0 ? 256 : e[0], height = e[1] == 0 ? 256 : e[1];
    const unsigned bits = header_size == 12 ? Le16(data.data() + 10) : Le16(data.data() + 14);
    candidates.push_back({data, uint64_t{width} * height, bits});
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) {
                     return a.area != b.area ? a.area > b.area : a.bits > b.bits;
                   });
  for (const Candidate& candidate : candidates) {
    PicturePtr picture = DecodeDib(candidate.data, kBitsAfterColourTable, DibUse::kIcon);
    if (picture != nullptr) return picture;
  }
  return nullptr;
}

}  // namespace tentaria::pictures
