#include "pictures/lzw.h"

#include <algorithm>
#include <array>

namespace tentaria::pictures {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Reads codes of a changing width, least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(std::span<const uint8_t> data) : data_(data) {}
  // False at the end of the data.
  bool Next(int bits, int* code) {
    while (held_bits_ < bits) {
      if (at_ >= data_.size()) return false;
      held_ |= static_cast<uint32_t>(data_[at_++]) << held_bits_;
      held_bits_ += 8;
    }
    *code = static_cast<int>(held_ & ((1u << bits) - 1));
    held_ >>= bits;
    held_bits_ -= bits;
    return true;
  }

 private:
  std::span<const uint8_t> data_;
  size_t at_ = 0;
  uint32_t held_ = 0;
  int held_bits_ = 0;
};

}  // namespace

bool DecodeLzw(std::span<const uint8_t> data, int min_code_size, std::span<uint8_t> out,
               size_t* written) {
  *written = 0;
  if (min_code_size < 1 || min_code_size > 8) return false;
  // Each entry is its prefix entry plus one index; first and length let a
  // string be written back to front straight into out.
  std::array<uint16_t, kTableSize> prefix{};
  std::array<uint8_t, kTableSize> suffix{};
  std::array<uint8_t, kTableSize> first{};
  std::array<uint16_t, kTableSize> length{};
  const int clear = 1 << min_code_size;
  const int end = clear + 1;
  for (int i = 0; i < clear; ++i) {
    suffix[i] = first[i] = static_cast<uint8_t>(i);
    length[i] = 1;
  }
  int next = clear + 2;
  int bits = min_code_size + 1;
  int previous = -1;
  CodeReader reader(data);
  size_t at = 0;
  int code = 0;
  while (at < out.size() && reader.Next(bits, &code)) {
    if (code == clear) {
      next = clear + 2;
      bits = min_code_size + 1;
      previous = -1;
      continue;
    }
    if (code == end) break;
    int string = code;
    if (previous < 0) {
      if (code > clear) return false;
    } else if (code == next && next < kTableSize) {
      // The string being defined: the previous one plus its own first index.
      prefix[next] = static_cast<uint16_t>(previous);
      suffix[next] = first[previous];
      first[next] = first[previous];
      length[next] = static_cast<uint16_t>(length[previous] + 1);
      ++next;
    } else if (code < next) {
      if (next < kTableSize) {
        prefix[next] = static_cast<uint16_t>(previous);
        suffix[next] = first[code];
        first[next] = first[previous];
        length[next] = static_cast<uint16_t>(length[previous] + 1);
        ++next;
      }
    } else {
      return false;
    }
    if (next == (1 << bits) && bits < kMaxCodeBits) ++bits;
    // Write the string back to front; what does not fit is dropped.
    const size_t n = length[string];
    for (size_t i = n; i-- > 0;) {
      if (at + i < out.size()) out[at + i] = suffix[string];
      string = prefix[string];
    }
    at = std::min(at + n, out.size());
    previous = code;
  }
  *written = at;
  return true;
}

}  // namespace tentaria::pictures
