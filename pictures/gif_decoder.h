// GIF pictures (87a and 89a): every frame, LZW-decoded, de-interlaced and
// composed onto the logical screen with its transparency and the previous
// frame's disposal; frame delays; the "NETSCAPE2.0" looping extension.
#ifndef TENTARIA_PICTURES_GIF_DECODER_H_
#define TENTARIA_PICTURES_GIF_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

// Null unless the bytes are at least 14 long, start with "GIF87a" or
// "GIF89a" and hold at least one whole frame.  A frame whose data is
// broken (an LZW code that names no entry yet, blocks that run past the
// end) ends the picture: the frames before it are kept.
PicturePtr DecodeGif(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_GIF_DECODER_H_
