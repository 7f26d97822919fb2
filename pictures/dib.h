// Device-independent bitmaps: the info header, colour table and pixel bits
// shared by BMP files and the images inside icon and cursor files.
#ifndef TENTARIA_PICTURES_DIB_H_
#define TENTARIA_PICTURES_DIB_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

enum class DibUse {
  kBitmapFile,  // a BMP file's bitmap
  kIcon,        // an icon image: doubled height, an AND mask after the colour bits
};

// Decodes the bitmap whose info header starts at dib[0].  bits_offset is
// where the pixel bits start within dib; kBitsAfterColourTable takes them
// right after the colour table (icons).  Null when the header, the bits or
// the size are unusable.
inline constexpr size_t kBitsAfterColourTable = 0;
PicturePtr DecodeDib(std::span<const uint8_t> dib, size_t bits_offset, DibUse use);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_DIB_H_
