// GIF89a of one image: the header, the logical screen with a global colour
// table of 2^n entries, one image descriptor and its LZW data in
// sub-blocks of at most 255 bytes, and the trailer.
#include <algorithm>
#include <array>

#include "tools/make-guide/drawing/byte_writer.h"
#include "tools/make-guide/drawing/encoders.h"
#include "tools/make-guide/drawing/palette.h"

namespace tentaria::make_guide {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;
// The string table: an open-addressed hash of (prefix code, next index).
constexpr int kTableSize = 5003;

class CodeWriter {
 public:
  explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Write(int code, int bits) {
    buffer_ |= static_cast<uint32_t>(code) << count_;
    count_ += bits;
    while (count_ >= 8) {
      out_.push_back(static_cast<uint8_t>(buffer_));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }
  void Flush() {
    if (count_ > 0) out_.push_back(static_cast<uint8_t>(buffer_));
    buffer_ = 0;
    count_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint32_t buffer_ = 0;
  int count_ = 0;
};

}  // namespace

std::vector<uint8_t> CompressLzw(std::span<const uint8_t> indexes, int min_code_size) {
  std::vector<uint8_t> out;
  CodeWriter writer(out);
  const int clear = 1 << min_code_size;
  const int end = clear + 1;
  std::array<int32_t, kTableSize> keys;
  std::array<int16_t, kTableSize> codes;
  int bits = 0, next = 0;
  auto reset = [&] {
    keys.fill(-1);
    bits = min_code_size + 1;
    next = end + 1;
  };
  reset();
  writer.Write(clear, bits);
  if (indexes.empty()) {
    writer.Write(end, bits);
    writer.Flush();
    return out;
  }
  int prefix = indexes[0];
  for (size_t i = 1; i < indexes.size(); ++i) {
    const int symbol = indexes[i];
    const int32_t key = symbol << kMaxCodeBits | prefix;
    size_t slot = static_cast<size_t>(key) % kTableSize;
    while (keys[slot] != -1 && keys[slot] != key) slot = (slot + 1) % kTableSize;
    if (keys[slot] == key) {
      prefix = codes[slot];
      continue;
    }
    writer.Write(prefix, bits);
    if (next < kMaxCodes) {
      keys[slot] = key;
      codes[slot] = static_cast<int16_t>(next);
      // The reader adds its entries one code later, so it widens its codes
      // once the entry 2^bits exists here.
      if (next == 1 << bits && bits < kMaxCodeBits) ++bits;
      ++next;
    } else {
      writer.Write(clear, bits);
      reset();
    }
    prefix = symbol;
  }
  writer.Write(prefix, bits);
  writer.Write(end, bits);
  writer.Flush();
  return out;
}

std::vector<uint8_t> EncodeGif(const Canvas& canvas) {
  IndexedPicture picture = Quantize(canvas);
  int table_bits = 1;
  while ((1u << table_bits) < picture.palette.size()) ++table_bits;
  const int min_code_size = std::max(2, table_bits);

  std::vector<uint8_t> out;
  PutText(out, "GIF89a");
  Put16(out, static_cast<uint32_t>(picture.width));
  Put16(out, static_cast<uint32_t>(picture.height));
  Put8(out, 0x80 | 0x70 | static_cast<uint32_t>(table_bits - 1));  // global table, 8-bit colour
  Put8(out, 0);                                                    // background colour
  Put8(out, 0);                                                    // square pixels
  for (int i = 0; i < 1 << table_bits; ++i) {
    Colour c = i < static_cast<int>(picture.palette.size()) ? picture.palette[i] : Colour{};
    out.insert(out.end(), {c.r, c.g, c.b});
  }
  Put8(out, 0x2C);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(picture.width));
  Put16(out, static_cast<uint32_t>(picture.height));
  Put8(out, 0);  // no local table, not interlaced
  Put8(out, static_cast<uint32_t>(min_code_size));
  std::vector<uint8_t> data = CompressLzw(picture.indexes, min_code_size);
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t length = std::min<size_t>(255, data.size() - at);
    Put8(out, static_cast<uint32_t>(length));
    out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(at),
               data.begin() + static_cast<ptrdiff_t>(at + length));
  }
  Put8(out, 0);
  Put8(out, 0x3B);
  return out;
}

}  // namespace tentaria::make_guide
