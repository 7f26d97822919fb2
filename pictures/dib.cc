#include "pictures/dib.h"

#include <bit>
#include <utility>
#include <vector>

#include "pictures/bytes.h"

namespace tentaria::pictures {
namespace {

// Info header, offsets from its start.  The 12-byte core form:
//   0   u32  header size (12)
//   4   u16  width
//   6   u16  height (rows bottom-up)
//   8   u16  planes
//   10  u16  bits per pixel
// The 40-byte and longer forms (52, 56, 64, 108, 124 bytes):
//   0   u32  header size
//   4   s32  width
//   8   s32  height; negative: rows stored top-down
//   12  u16  planes
//   14  u16  bits per pixel: 1, 4, 8, 16, 24 or 32
//   16  u32  compression (below)
//   20  u32  size of the bits (may be 0 when not compressed)
//   24  s32  horizontal pixels per metre
//   28  s32  vertical pixels per metre
//   32  u32  colours used (0: all 2^bits for 8 bits or fewer)
//   36  u32  colours important
//   40  u32  red mask    } present in headers of 52 bytes and more, or
//   44  u32  green mask  } after a 40-byte header when the compression
//   48  u32  blue mask   } is 3 (and the alpha mask too when it is 6)
//   52  u32  alpha mask  (headers of 56 bytes and more)
// Colour table entries follow the header (and masks): 4 bytes blue, green,
// red, reserved; 3 bytes blue, green, red after a core header.
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;
constexpr uint32_t kAlphaBitfields = 6;

struct Header {
  int64_t width = 0;
  int64_t height = 0;  // rows of colour bits (half the stored height of an icon)
  bool top_down = false;
  uint32_t bits_per_pixel = 0;
  uint32_t compression = kRgb;
  uint32_t colours_used = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  size_t table_offset = 0;           // colour table, from the header's start
  size_t table_entry_size = 4;
};

// One colour channel taken out of a packed pixel by its mask and widened
// to 8 bits by repeating its bits (5 bits abcde become abcdeabc), so that
// the largest value is 255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (m != 0) {
      shift = std::countr_zero(m);
      bits = std::popcount(m);
    }
  }
  uint8_t Get(uint32_t pixel, uint8_t if_absent) const {
    if (mask == 0) return if_absent;
    const uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    uint32_t wide = 0;
    int filled = 0;
    for (; filled < 8; filled += bits) wide = (wide << bits) | value;
    return static_cast<uint8_t>(wide >> (filled - 8));
  }
};

bool ReadHeader(std::span<const uint8_t> dib, DibUse use, Header* h) {
  if (dib.size() < 4) return false;
  const uint32_t size = Le32(dib.data());
  if (size == kCoreHeaderSize) {
    if (dib.size() < kCoreHeaderSize) return false;
    h->width = Le16(dib.data() + 4);
    h->height = Le16(dib.data() + 6);
    h->bits_per_pixel = Le16(dib.data() + 10);
    h->table_entry_size = 3;
    h->table_offset = kCoreHeaderSize;
  } else {
    if (size < kInfoHeaderSize || size > dib.size()) return false;
    const uint8_t* p = dib.data();
    h->width = Le32Signed(p + 4);
    h->height = Le32Signed(p + 8);
    h->bits_per_pixel = Le16(p + 14);
    h->compression = Le32(p + 16);
    h->colours_used = Le32(p + 32);
    h->table_offset = size;
    size_t mask_count = 0;
    if (size >= 56) {
      mask_count = 4;
    } else if (size >= 52) {
      mask_count = 3;
    } else if (h->compression == kBitfields || h->compression == kAlphaBitfields) {
      // The masks follow a 40-byte header.
      mask_count = h->compression == kBitfields ? 3 : 4;
      h->table_offset += mask_count * 4;
      if (dib.size() < h->table_offset) return false;
    }
    for (size_t i = 0; i < mask_count; ++i) h->masks[i] = Le32(p + 40 + i * 4);
  }
  if (h->height < 0) {
    if (h->height == INT32_MIN) return false;
    h->top_down = true;
    h->height = -h->height;
  }
  if (use == DibUse::kIcon) h->height /= 2;
  switch (h->compression) {
    case kRgb:
      if (h->bits_per_pixel != 1 && h->bits_per_pixel != 4 && h->bits_per_pixel != 8 &&
          h->bits_per_pixel != 16 && h->bits_per_pixel != 24 && h->bits_per_pixel != 32) {
        return false;
      }
      break;
    case kRle8:
      if (h->bits_per_pixel != 8) return false;
      break;
    case kRle4:
      if (h->bits_per_pixel != 4) return false;
      break;
    case kBitfields:
    case kAlphaBitfields:
      if (h->bits_per_pixel != 16 && h->bits_per_pixel != 32) return false;
      break;
    default:
      return false;
  }
  return h->width > 0 && h->height > 0 &&
         static_cast<uint64_t>(h->width) * static_cast<uint64_t>(h->height) <= kMaxPixels;
}

// Reads the colour table; entries missing from the table stay black.
std::vector<Rgb> ReadColourTable(std::span<const uint8_t> dib, const Header& h, size_t* table_end) {
  std::vector<Rgb> table;
  size_t count = 0;
  if (h.bits_per_pixel <= 8) {
    const size_t all = size_t{1} << h.bits_per_pixel;
    count = h.colours_used == 0 || h.colours_used > all ? all : h.colours_used;
  } else if (h.colours_used <= 256) {
    count = h.colours_used;  // an optimisation hint for palette devices
  }
  *table_end = h.table_offset + count * h.table_entry_size;
  if (h.bits_per_pixel > 8) return table;
  table.resize(size_t{1} << h.bits_per_pixel);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = h.table_offset + i * h.table_entry_size;
    if (at + 3 > dib.size()) break;
    table[i] = Rgb{dib[at + 2], dib[at + 1], dib[at]};
  }
  return table;
}

void Put(Picture* picture, int64_t x, int64_t y, Rgb c, uint8_t alpha) {
  uint8_t* px = picture->frames[0].rgba.data() + (static_cast<size_t>(y) * picture->width + x) * 4;
  px[0] = c.r;
  px[1] = c.g;
  px[2] = c.b;
  px[3] = alpha;
}

size_t Stride(int64_t width, uint32_t bits_per_pixel) {
  return static_cast<size_t>((static_cast<uint64_t>(width) * bits_per_pixel + 31) / 32 * 4);
}

// Uncompressed rows (and bit-field pixels); the caller has checked that
// the bits hold every row.
void DecodeRows(std::span<const uint8_t> bits, const Header& h, const std::vector<Rgb>& table,
                DibUse use, Picture* picture) {
  const size_t stride = Stride(h.width, h.bits_per_pixel);
  uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
  if (h.compression == kRgb && h.bits_per_pixel == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
  } else if (h.compression == kRgb && h.bits_per_pixel == 32) {
    masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    // An icon keeps its alpha in the fourth byte; a plain bitmap's fourth
    // byte is unused.
    masks[3] = use == DibUse::kIcon ? 0xFF000000 : 0;
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  for (int64_t row = 0; row < h.height; ++row) {
    const uint8_t* line = bits.data() + static_cast<size_t>(row) * stride;
    const int64_t y = h.top_down ? row : h.height - 1 - row;
    for (int64_t x = 0; x < h.width; ++x) {
      switch (h.bits_per_pixel) {
        case 1:
        case 4:
        case 8: {
          const uint64_t bit = static_cast<uint64_t>(x) * h.bits_per_pixel;
          const unsigned shift = 8 - h.bits_per_pixel - static_cast<unsigned>(bit % 8);
          const unsigned index = (line[bit / 8] >> shift) & ((1u << h.bits_per_pixel) - 1);
          Put(picture, x, y, table[index], 255);
          break;
        }
        case 24: {
          const uint8_t* p = line + x * 3;
          Put(picture, x, y, Rgb{p[2], p[1], p[0]}, 255);
          break;
        }
        default: {
          const uint32_t pixel = h.bits_per_pixel == 16 ? Le16(line + x * 2) : Le32(line + x * 4);
          Put(picture, x, y, Rgb{red.Get(pixel, 0), green.Get(pixel, 0), blue.Get(pixel, 0)},
              alpha.Get(pixel, 255));
          break;
        }
      }
    }
  }
}

// Run-length encoded rows (8 or 4 bits).  Pairs of bytes: a count and a
// colour index (for 4 bits, two indexes used in turn), or 0 and an escape:
// 0 end of row, 1 end of bitmap, 2 a move right and up by the next two
// bytes, 3-255 that many indexes stored as they are, padded to an even
// number of bytes.  Pixels the runs never reach stay transparent; indexes
// past the end of a row or above the last row are dropped.
void DecodeRle(std::span<const uint8_t> bits, const Header& h, const std::vector<Rgb>& table,
               Picture* picture) {
  const bool four = h.compression == kRle4;
  int64_t x = 0, row = 0;
  auto put = [&](unsigned index) {
    if (x < h.width && row < h.height) {
      Put(picture, x, h.top_down ? row : h.height - 1 - row, table[index], 255);
    }
    ++x;
  };
  size_t p = 0;
  while (p + 2 <= bits.size() && row < h.height) {
    const uint8_t count = bits[p], value = bits[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
      continue;
    }
    if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (p + 2 > bits.size()) return;
      x += bits[p];
      row += bits[p + 1];
      p += 2;
    } else {
      const size_t stored = four ? (value + 1u) / 2 : value;
      if (p + stored > bits.size()) return;
      for (int i = 0; i < value; ++i) {
        put(four ? (i % 2 == 0 ? bits[p + i / 2] >> 4 : bits[p + i / 2] & 15) : bits[p + i]);
      }
      p += (stored + 1) & ~size_t{1};
    }
  }
}

// An icon's AND mask: one bit per pixel, rows padded to 4 bytes, stored
// like the colour rows; a set bit makes the pixel transparent.  A mask cut
// short is not used.
void ApplyMask(std::span<const uint8_t> mask, const Header& h, Picture* picture) {
  const size_t stride = Stride(h.width, 1);
  if (static_cast<uint64_t>(stride) * static_cast<uint64_t>(h.height) > mask.size()) return;
  for (int64_t row = 0; row < h.height; ++row) {
    const int64_t y = h.top_down ? row : h.height - 1 - row;
    for (int64_t x = 0; x < h.width; ++x) {
      if ((mask[static_cast<size_t>(row) * stride + x / 8] >> (7 - x % 8)) & 1) {
        picture->frames[0].rgba[(static_cast<size_t>(y) * picture->width + x) * 4 + 3] = 0;
      }
    }
  }
}

bool HasAlpha(const Picture& picture) {
  const std::vector<uint8_t>& rgba = picture.frames[0].rgba;
  for (size_t i = 3; i < rgba.size(); i += 4) {
    if (rgba[i] != 0) return true;
  }
  return false;
}

}  // namespace

PicturePtr DecodeDib(std::span<const uint8_t> dib, size_t bits_offset, DibUse use) {
  Header h;
  if (!ReadHeader(dib, use, &h)) return nullptr;
  size_t table_end = 0;
  std::vector<Rgb> table = ReadColourTable(dib, h, &table_end);
  if (bits_offset == kBitsAfterColourTable) bits_offset = table_end;
  if (bits_offset > dib.size()) return nullptr;
  const std::span<const uint8_t> bits = dib.subspan(bits_offset);
  const bool rle = h.compression == kRle4 || h.compression == kRle8;
  // Uncompressed rows must all be there before the picture is made.
  if (!rle && static_cast<uint64_t>(Stride(h.width, h.bits_per_pixel)) * h.height > bits.size()) {
    return nullptr;
  }
  PicturePtr picture = MakeStillPicture(h.width, h.height);
  if (picture == nullptr) return nullptr;
  if (rle) {
    DecodeRle(bits, h, table, picture.get());
  } else {
    DecodeRows(bits, h, table, use, picture.get());
  }
  if (use == DibUse::kIcon) {
    // A 32-bit icon's alpha channel replaces its mask, unless the channel
    // is all zero (an icon made before alpha existed).
    const bool alpha_bits = h.bits_per_pixel == 32 && h.compression == kRgb;
    if (!alpha_bits || !HasAlpha(*picture)) {
      if (alpha_bits) {
        for (size_t i = 3; i < picture->frames[0].rgba.size(); i += 4) {
          picture->frames[0].rgba[i] = 255;
        }
      }
      const uint64_t colour_size =
          static_cast<uint64_t>(Stride(h.width, h.bits_per_pixel)) * h.height;
      if (colour_size <= bits.size()) ApplyMask(bits.subspan(colour_size), h, picture.get());
    }
  }
  picture->palette = std::move(table);
  return picture;
}

}  // namespace tentaria::pictures
