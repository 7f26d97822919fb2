// The variable-length LZW code of GIF image data.
#ifndef TENTARIA_PICTURES_LZW_H_
#define TENTARIA_PICTURES_LZW_H_

#include <cstdint>
#include <span>

namespace tentaria::pictures {

// Decodes codes packed least significant bit first, starting at
// min_code_size + 1 bits and growing to 12, into out (colour indexes).
// Decoding stops at the end-of-information code, at the end of the data or
// when out is full.  False when min_code_size is outside 1-8 or a code
// names an entry that does not exist yet.  *written is how many indexes
// were stored.
bool DecodeLzw(std::span<const uint8_t> data, int min_code_size, std::span<uint8_t> out,
               size_t* written);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_LZW_H_
