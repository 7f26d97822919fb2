#include "runtime/bfloat.h"

#include <bit>

namespace tentaria::runtime {
namespace {

constexpr int kIeeeBias = 1023;
constexpr int kMbfBias = 129;
constexpr std::uint64_t kIeeeMantissaMask = (std::uint64_t{1} << 52) - 1;

struct Parts {
  bool negative;
  int exponent;            // the MBF exponent byte, 0 for zero
  std::uint64_t mantissa;  // the IEEE double's 52 fraction bits
};

Parts Split(double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  Parts parts{(bits >> 63) != 0, 0, bits & kIeeeMantissaMask};
  int ieee_exponent = static_cast<int>((bits >> 52) & 0x7FF);
  int exponent = ieee_exponent - kIeeeBias + kMbfBias;
  // IEEE exponent 0 is zero or subnormal, far below the MBF range.
  if (ieee_exponent == 0 || exponent < 1) return Parts{false, 0, 0};
  parts.exponent = exponent > 255 ? 255 : exponent;
  return parts;
}

// Lays out the mantissa (already cut to the format's width), the sign and
// the exponent into the format's bytes.
template <std::size_t kSize>
std::array<std::uint8_t, kSize> Pack(const Parts& parts, std::uint64_t mantissa) {
  std::array<std::uint8_t, kSize> out{};
  if (parts.exponent == 0) return out;
  for (std::size_t i = 0; i + 1 < kSize; ++i) {
    out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  }
  out[kSize - 2] = static_cast<std::uint8_t>((out[kSize - 2] & 0x7F) | (parts.negative ? 0x80 : 0));
  out[kSize - 1] = static_cast<std::uint8_t>(parts.exponent);
  return out;
}

template <std::size_t kSize>
double Unpack(std::span<const std::uint8_t, kSize> bytes, int mantissa_bits) {
  int exponent = bytes[kSize - 1];
  if (exponent == 0) return 0.0;
  std::uint64_t mantissa = 0;
  for (std::size_t i = 0; i + 1 < kSize; ++i) {
    mantissa |= std::uint64_t{bytes[i]} << (8 * i);
  }
  bool negative = (bytes[kSize - 2] & 0x80) != 0;
  mantissa &= (std::uint64_t{1} << mantissa_bits) - 1;
  std::uint64_t fraction =
      mantissa_bits <= 52 ? mantissa << (52 - mantissa_bits) : mantissa >> (mantissa_bits - 52);
  std::uint64_t ieee_exponent = static_cast<std::uint64_t>(exponent - kMbfBias + kIeeeBias);
  std::uint64_t bits = (negative ? std::uint64_t{1} << 63 : 0) | (ieee_exponent << 52) | fraction;
  return std::bit_cast<double>(bits);
}

}  // namespace

std::array<std::uint8_t, 4> DoubleToBfloat4(double value) {
  Parts parts = Split(value);
  return Pack<4>(parts, parts.mantissa >> (52 - 23));
}

std::array<std::uint8_t, 8> DoubleToBfloat8(double value) {
  Parts parts = Split(value);
  return Pack<8>(parts, parts.mantissa << (55 - 52));
}

double Bfloat4ToDouble(std::span<const std::uint8_t, 4> bytes) { return Unpack<4>(bytes, 23); }

double Bfloat8ToDouble(std::span<const std::uint8_t, 8> bytes) { return Unpack<8>(bytes, 55); }

}  // namespace tentaria::runtime
