// Icon file: a 6-byte directory header (reserved 0, type 1, image count),
// one 16-byte entry per image (width, height, colour count 0, reserved,
// planes 1, bits per pixel 32, data size, data offset), then each image
// as a 40-byte bitmap header of twice the height, the 32-bit BGRA rows
// bottom to top and the 1-bit AND mask (rows padded to 4 bytes).
#include "tools/make-guide/drawing/byte_writer.h"
#include "tools/make-guide/drawing/encoders.h"

namespace tentaria::make_guide {
namespace {

std::vector<uint8_t> IconImage(const Canvas& image, std::optional<Colour> transparent) {
  const int size = image.width();
  const uint32_t mask_stride = ((static_cast<uint32_t>(size) + 31) / 32) * 4;
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(size));
  Put32(out, static_cast<uint32_t>(size) * 2);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(size * size * 4) + mask_stride * static_cast<uint32_t>(size));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  auto clear = [&](int x, int y) { return transparent && image.At(x, y) == *transparent; };
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      Colour c = image.At(x, y);
      out.insert(out.end(), {c.b, c.g, c.r, static_cast<uint8_t>(clear(x, y) ? 0 : 255)});
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<uint8_t> row(mask_stride, 0);
    for (int x = 0; x < size; ++x) {
      if (clear(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<uint8_t> EncodeIcon(std::span<const Canvas> images, std::optional<Colour> transparent) {
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(images.size()));
  std::vector<std::vector<uint8_t>> data;
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const Canvas& image : images) {
    data.push_back(IconImage(image, transparent));
    Put8(out, image.width() & 0xFF);  // 0 stands for 256
    Put8(out, image.height() & 0xFF);
    Put8(out, 0);
    Put8(out, 0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<uint32_t>(data.back().size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(data.back().size());
  }
  for (const auto& image : data) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace tentaria::make_guide
