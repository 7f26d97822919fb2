// Icon and cursor files (.ICO, .CUR): a directory of images, each a
// device-independent bitmap with its AND mask.  The largest image with the
// most colours is taken.  Images stored in other formats are skipped.
// Animated cursors (.ANI) give the first cursor of their frames.
#ifndef TENTARIA_PICTURES_ICON_DECODER_H_
#define TENTARIA_PICTURES_ICON_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

PicturePtr DecodeIcon(std::span<const uint8_t> bytes);

// An icon or cursor file only (not an animated cursor), as a frame of an
// animated cursor holds.
PicturePtr DecodeIconDirectory(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_ICON_DECODER_H_
