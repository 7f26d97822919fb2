#include "pictures/bmp_decoder.h"

#include "pictures/bytes.h"
#include "pictures/dib.h"

namespace tentaria::pictures {
namespace {

// File header:
//   0   2   "BM"
//   2   u32 file size (not relied on)
//   6   u16 reserved
//   8   u16 reserved
//   10  u32 offset of the pixel bits from the start of the file
//   14      the bitmap's info header (dib.cc)
constexpr size_t kFileHeaderSize = 14;
// The smallest file taken: the file header, a 40-byte info header, one
// colour and one byte of bits.
constexpr size_t kMinimumSize = 59;

}  // namespace

PicturePtr DecodeBmp(std::span<const uint8_t> bytes) {
  if (bytes.size() < kMinimumSize || bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
  const uint32_t bits_offset = Le32(bytes.data() + 10);
  const uint32_t header_size = Le32(bytes.data() + kFileHeaderSize);
  // Bits that would start inside the headers are a broken file.
  if (bits_offset < kFileHeaderSize + uint64_t{header_size}) return nullptr;
  return DecodeDib(bytes.subspan(kFileHeaderSize), bits_offset - kFileHeaderSize,
                   DibUse::kBitmapFile);
}

}  // namespace tentaria::pictures
