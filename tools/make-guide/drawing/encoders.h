// The picture files the guide reads, made from a canvas: BMP (24-bit and
// 8-bit with a palette), GIF (one image, LZW), icons (32-bit with alpha)
// and JPEG.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_ENCODERS_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_ENCODERS_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

std::vector<uint8_t> EncodeBmp24(const Canvas& canvas);
std::vector<uint8_t> EncodeBmp8(const Canvas& canvas);

std::vector<uint8_t> EncodeGif(const Canvas& canvas);
// The GIF image data of colour indexes: codes of min_code_size + 1 to 12
// bits, least significant bit first, from a clear code to the end code
// (without the sub-block framing).
std::vector<uint8_t> CompressLzw(std::span<const uint8_t> indexes, int min_code_size);

// An icon of one 32-bit image per canvas (each square, at most 256 pixels
// wide); pixels of the colour `transparent` get alpha 0 and a set mask bit.
std::vector<uint8_t> EncodeIcon(std::span<const Canvas> images, std::optional<Colour> transparent);

// Empty only when the compressor fails.
std::vector<uint8_t> EncodeJpeg(const Canvas& canvas, int quality = 85);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_ENCODERS_H_
