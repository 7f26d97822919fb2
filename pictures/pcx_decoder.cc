#include "pictures/pcx_decoder.h"

#include <algorithm>
#include <vector>

#include "pictures/bytes.h"

namespace tentaria::pictures {
namespace {

// Header, 128 bytes:
//   0   u8  maker's mark (0x0A; not relied on)
//   1   u8  version: 2 (with a 16-colour map) or 5 (may end with a
//           256-colour map)
//   2   u8  encoding: 1 run-length, 0 plain
//   3   u8  bits per pixel in each plane
//   4   u16 x min  } the picture's box, inclusive
//   6   u16 y min  }
//   8   u16 x max  }
//   10  u16 y max  }
//   12  u16 horizontal dots per inch
//   14  u16 vertical dots per inch
//   16  48  16-colour map, 3 bytes red, green, blue each
//   64  u8  reserved
//   65  u8  number of planes
//   66  u16 bytes per line in each plane
//   68  u16 palette kind (1 colour, 2 grey; not used)
//   70  58  screen size and filler
// Each row holds the planes one after the other, bytes per line each.
// Run-length coding: a byte with both top bits set repeats the next byte
// (its low 6 bits) times; any other byte stands for itself.  A version 5
// file with 8 bits in one plane ends with 0x0C and a 256-colour map.
constexpr size_t kHeaderSize = 128;
constexpr size_t kMinimumSize = kHeaderSize + 1;
constexpr size_t kLongMapSize = 1 + 256 * 3;
constexpr uint8_t kLongMapMark = 0x0C;

class RowReader {
 public:
  RowReader(std::span<const uint8_t> data, bool encoded) : data_(data), encoded_(encoded) {}

  // Fills row; false when the data end first.
  bool Read(std::span<uint8_t> row) {
    for (size_t i = 0; i < row.size();) {
      if (run_ > 0) {
        const size_t n = std::min<size_t>(run_, row.size() - i);
        std::fill_n(row.begin() + static_cast<ptrdiff_t>(i), n, value_);
        run_ -= n;
        i += n;
        continue;
      }
      if (at_ >= data_.size()) return false;
      const uint8_t b = data_[at_++];
      if (encoded_ && (b & 0xC0) == 0xC0) {
        if (at_ >= data_.size()) return false;
        run_ = b & 0x3F;
        value_ = data_[at_++];
      } else {
        row[i++] = b;
      }
    }
    return true;
  }

 private:
  std::span<const uint8_t> data_;
  bool encoded_;
  size_t at_ = 0;
  size_t run_ = 0;  // a run may carry over into the next row
  uint8_t value_ = 0;
};

std::vector<Rgb> ColourMap(std::span<const uint8_t> bytes, unsigned bits, unsigned planes) {
  std::vector<Rgb> map(256, Rgb{});
  const unsigned colours = 1u << (bits * planes);
  if (bits == 8 && planes == 1) {
    const size_t at = bytes.size() >= kHeaderSize + kLongMapSize ? bytes.size() - kLongMapSize : 0;
    if (at != 0 && bytes[at] == kLongMapMark) {
      for (size_t i = 0; i < 256; ++i) {
        map[i] = Rgb{bytes[at + 1 + i * 3], bytes[at + 2 + i * 3], bytes[at + 3 + i * 3]};
      }
    } else {
      // Without a map the indexes are grey levels.
      for (size_t i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(i);
        map[i] = Rgb{v, v, v};
      }
    }
    return map;
  }
  for (unsigned i = 0; i < colours && i < 16; ++i) {
    map[i] = Rgb{bytes[16 + i * 3], bytes[17 + i * 3], bytes[18 + i * 3]};
  }
  if (colours == 2 && map[0] == Rgb{} && map[1] == Rgb{}) {
    // A two-colour file with an empty map is black and white.
    map[1] = Rgb{255, 255, 255};
  }
  return map;
}

}  // namespace

PicturePtr DecodePcx(std::span<const uint8_t> bytes) {
  if (bytes.size() < kMinimumSize || (bytes[1] != 2 && bytes[1] != 5)) return nullptr;
  const uint8_t* h = bytes.data();
  const unsigned bits = h[3];
  const unsigned planes = h[65];
  const size_t bytes_per_line = Le16(h + 66);
  const int64_t width = int64_t{Le16(h + 8)} - Le16(h + 4) + 1;
  const int64_t height = int64_t{Le16(h + 10)} - Le16(h + 6) + 1;
  const bool indexed =
      planes == 1 ? (bits == 1 || bits == 2 || bits == 4 || bits == 8) : (bits == 1 && planes <= 4);
  const bool true_colour = bits == 8 && (planes == 3 || planes == 4);
  if (!indexed && !true_colour) return nullptr;
  if (width <= 0 || static_cast<uint64_t>(width) * bits > uint64_t{bytes_per_line} * 8) {
    return nullptr;
  }
  // A run of two bytes gives at most 63: data that cannot fill every row
  // is refused before the picture is made.
  const size_t data_size = bytes.size() - kHeaderSize;
  if (height > 0 &&
      static_cast<uint64_t>(height) * planes * bytes_per_line > uint64_t{data_size} * 32) {
    return nullptr;
  }
  PicturePtr picture = MakeStillPicture(width, height);
  if (picture == nullptr) return nullptr;
  std::vector<Rgb> map;
  if (indexed) {
    map = ColourMap(bytes, bits, planes);
    picture->palette.assign(map.begin(), map.begin() + (1 << std::min(bits * planes, 8u)));
  }

  RowReader reader(bytes.subspan(kHeaderSize), h[2] == 1);
  std::vector<uint8_t> row(bytes_per_line * planes);
  uint8_t* out = picture->frames[0].rgba.data();
  for (int64_t y = 0; y < height; ++y) {
    if (!reader.Read(row)) return nullptr;
    for (int64_t x = 0; x < width; ++x, out += 4) {
      if (true_colour) {
        for (unsigned p = 0; p < planes; ++p) out[p] = row[p * bytes_per_line + x];
        if (planes == 3) out[3] = 255;
        continue;
      }
      // The index gathers bits from each plane, the first plane lowest.
      unsigned index = 0;
      const uint64_t bit = static_cast<uint64_t>(x) * bits;
      for (unsigned p = 0; p < planes; ++p) {
        const uint8_t byte = row[p * bytes_per_line + bit / 8];
        const unsigned value = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        index |= value << (p * bits);
      }
      out[0] = map[index].r;
      out[1] = map[index].g;
      out[2] = map[index].b;
      out[3] = 255;
    }
  }
  return picture;
}

}  // namespace tentaria::pictures
