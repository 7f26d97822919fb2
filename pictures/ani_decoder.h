// Animated cursors (.ANI): every step of the animation as a frame, each
// with its display time, looping without end as cursors do.  Frames of
// another size than the first are left out of the animation.
#ifndef TENTARIA_PICTURES_ANI_DECODER_H_
#define TENTARIA_PICTURES_ANI_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

bool IsAnimatedCursor(std::span<const uint8_t> bytes);

PicturePtr DecodeAnimatedCursor(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_ANI_DECODER_H_
