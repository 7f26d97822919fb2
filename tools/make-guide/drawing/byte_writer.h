// Little-endian fields appended to a byte vector, for the file headers.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_BYTE_WRITER_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_BYTE_WRITER_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace tentaria::make_guide {

inline void Put8(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
}
inline void Put16(std::vector<uint8_t>& out, uint32_t value) {
  Put8(out, value);
  Put8(out, value >> 8);
}
inline void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value);
  Put16(out, value >> 16);
}
inline void PutText(std::vector<uint8_t>& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<uint8_t>(c));
}
inline void Patch32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_BYTE_WRITER_H_
