// BMP: a 14-byte file header, a 40-byte information header, the colour
// table (8-bit only) and the rows bottom to top, each padded to 4 bytes.
//
//   file header   0 "BM"  2 file size  6 reserved (0)  10 offset of the rows
//   info header   0 size (40)  4 width  8 height (positive: bottom-up)
//                 12 planes (1)  14 bits per pixel  16 compression (0)
//                 20 size of the rows  24/28 pixels per metre (2835 = 72 dpi)
//                 32 colours used  36 important colours
#include <cstddef>

#include "tools/make-guide/drawing/byte_writer.h"
#include "tools/make-guide/drawing/encoders.h"
#include "tools/make-guide/drawing/palette.h"

namespace tentaria::make_guide {
namespace {

constexpr uint32_t kHeaders = 14 + 40;

std::vector<uint8_t> Headers(int width, int height, int bits, uint32_t colours) {
  const uint32_t stride = (static_cast<uint32_t>(width) * bits / 8 + 3) & ~3u;
  const uint32_t rows = stride * static_cast<uint32_t>(height);
  const uint32_t offset = kHeaders + colours * 4;
  std::vector<uint8_t> out;
  out.reserve(offset + rows);
  PutText(out, "BM");
  Put32(out, offset + rows);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);
  Put32(out, rows);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, colours);
  return out;
}

void Pad(std::vector<uint8_t>& out, size_t row_bytes) {
  for (size_t i = row_bytes; i % 4 != 0; ++i) out.push_back(0);
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Canvas& canvas) {
  std::vector<uint8_t> out = Headers(canvas.width(), canvas.height(), 24, 0);
  for (int y = canvas.height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width(); ++x) {
      Colour c = canvas.At(x, y);
      out.insert(out.end(), {c.b, c.g, c.r});
    }
    Pad(out, static_cast<size_t>(canvas.width()) * 3);
  }
  return out;
}

std::vector<uint8_t> EncodeBmp8(const Canvas& canvas) {
  IndexedPicture picture = Quantize(canvas);
  std::vector<uint8_t> out =
      Headers(picture.width, picture.height, 8, static_cast<uint32_t>(picture.palette.size()));
  for (Colour c : picture.palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  for (int y = picture.height - 1; y >= 0; --y) {
    const auto row = picture.indexes.begin() + static_cast<ptrdiff_t>(y) * picture.width;
    out.insert(out.end(), row, row + picture.width);
    Pad(out, static_cast<size_t>(picture.width));
  }
  return out;
}

}  // namespace tentaria::make_guide
