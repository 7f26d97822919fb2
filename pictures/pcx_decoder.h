// PCX pictures, versions 2 and 5: 1, 2, 4 or 8 bits in one plane, 1 bit in
// up to four planes (16 colours), and 8 bits in three planes (true colour)
// or four (true colour with alpha); run-length encoded or plain.
#ifndef TENTARIA_PICTURES_PCX_DECODER_H_
#define TENTARIA_PICTURES_PCX_DECODER_H_

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace tentaria::pictures {

// Null unless the bytes are at least 129 long, the version byte is 2 or 5,
// and the data hold every row.
PicturePtr DecodePcx(std::span<const uint8_t> bytes);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_PCX_DECODER_H_
