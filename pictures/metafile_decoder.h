// Placeable metafiles (.WMF): the 22-byte header that gives the picture's
// box and units, followed by the metafile's records.  The records are
// kept for the engine to play; this decoder works out the size.
#ifndef TENTARIA_PICTURES_METAFILE_DECODER_H_
#define TENTARIA_PICTURES_METAFILE_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

// The device a picture is loaded for: a window's, or else the screen's.
struct Display {
  int pixels_per_inch_x = 96;
  int pixels_per_inch_y = 96;
};

// (a * b) / c rounded half away from zero, or -1 when c is 0 or the result
// does not fit 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Null unless the bytes are at least 23 long and start with the key
// 0x9AC6CDD7.  A metafile whose units per inch is 0, or whose box gives no
// positive size on the display, is refused too.  The picture has no
// frames; its size is the box in the display's pixels.
PicturePtr DecodeMetafile(std::span<const uint8_t> bytes, const Display& display);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_METAFILE_DECODER_H_
