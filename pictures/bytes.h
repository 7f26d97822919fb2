// Little-endian fields of picture headers.  Callers check the size of the
// buffer before they read at an offset.
#ifndef TENTARIA_PICTURES_BYTES_H_
#define TENTARIA_PICTURES_BYTES_H_

#include <cstdint>

namespace tentaria::pictures {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline int16_t Le16Signed(const uint8_t* p) { return static_cast<int16_t>(Le16(p)); }
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t Le32Signed(const uint8_t* p) { return static_cast<int32_t>(Le32(p)); }

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_BYTES_H_
