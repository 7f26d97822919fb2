#include "pictures/icon_decoder.h"

#include <algorithm>
#include <cstring>
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

// Animated cursor: a RIFF file.
//   0   4   "RIFF"
//   4   u32 size of what follows (not relied on)
//   8   4   "ACON"
//   12      chunks: 4-byte name, u32 size, the data, padded to an even
//           size.  A chunk "LIST" whose data starts with "fram" holds
//           chunks "icon", each a whole icon or cursor file; the other
//           chunks ("anih" header, "rate", "seq ") give the timing.
constexpr size_t kRiffHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;

struct Candidate {
  std::span<const uint8_t> data;
  uint64_t area = 0;
  unsigned bits = 0;
};

PicturePtr DecodeDirectory(std::span<const uint8_t> bytes);

// Calls visit(name, data) for each chunk in turn until it returns a
// picture; a chunk that runs past the end stops the walk.
template <typename Visit>
PicturePtr ForEachChunk(std::span<const uint8_t> chunks, Visit visit) {
  size_t at = 0;
  while (chunks.size() - at >= kChunkHeaderSize) {
    const uint8_t* header = chunks.data() + at;
    const size_t size = Le32(header + 4);
    if (size > chunks.size() - at - kChunkHeaderSize) return nullptr;
    if (PicturePtr picture = visit(header, chunks.subspan(at + kChunkHeaderSize, size))) {
      return picture;
    }
    at += kChunkHeaderSize + size;
    if (size % 2 != 0 && at < chunks.size()) ++at;
  }
  return nullptr;
}

PicturePtr DecodeAnimatedCursor(std::span<const uint8_t> bytes) {
  return ForEachChunk(bytes.subspan(kRiffHeaderSize), [](const uint8_t* name,
                                                         std::span<const uint8_t> data) {
    if (std::memcmp(name, "LIST", 4) != 0 || data.size() < 4 ||
        std::memcmp(data.data(), "fram", 4) != 0) {
      return PicturePtr();
    }
    return ForEachChunk(data.subspan(4), [](const uint8_t* frame, std::span<const uint8_t> icon) {
      return std::memcmp(frame, "icon", 4) == 0 ? DecodeDirectory(icon) : PicturePtr();
    });
  });
}

PicturePtr DecodeDirectory(std::span<const uint8_t> bytes) {
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

}  // namespace

PicturePtr DecodeIcon(std::span<const uint8_t> bytes) {
  if (bytes.size() >= kRiffHeaderSize && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
      std::memcmp(bytes.data() + 8, "ACON", 4) == 0) {
    return DecodeAnimatedCursor(bytes);
  }
  return DecodeDirectory(bytes);
}

PicturePtr DecodeIconDirectory(std::span<const uint8_t> bytes) { return DecodeDirectory(bytes); }

}  // namespace tentaria::pictures
