// JPEG pictures, decoded by libjpeg: baseline and progressive, grey,
// YCbCr/RGB and CMYK.
#ifndef TENTARIA_PICTURES_JPEG_DECODER_H_
#define TENTARIA_PICTURES_JPEG_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

// Null when libjpeg rejects the stream or its header claims more than
// kMaxPixels.  Damage that libjpeg only warns about (data cut short, for
// instance) still gives the picture as far as it decodes.
PicturePtr DecodeJpeg(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_JPEG_DECODER_H_
