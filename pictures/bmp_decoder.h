// BMP files: a file header and a device-independent bitmap (1, 4, 8, 16,
// 24 or 32 bits per pixel; uncompressed, RLE8, RLE4 or bit fields; rows
// bottom-up or top-down).
#ifndef TENTARIA_PICTURES_BMP_DECODER_H_
#define TENTARIA_PICTURES_BMP_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

// Null unless the bytes are at least 59 long, start with "BM" and hold a
// whole bitmap.
PicturePtr DecodeBmp(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_BMP_DECODER_H_
