// A canvas reduced to at most 256 colours, for the palette formats (GIF,
// 8-bit BMP).  A canvas of few colours keeps them exactly; otherwise the
// most used colours (counted at 5 bits a channel) make the palette and
// every pixel takes the nearest.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_PALETTE_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_PALETTE_H_

#include <cstdint>
#include <vector>

#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<Colour> palette;   // 1 to 256 colours
  std::vector<uint8_t> indexes;  // width * height, rows top to bottom
};

IndexedPicture Quantize(const Canvas& canvas);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_PALETTE_H_
