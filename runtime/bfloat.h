// BFLOAT4 and BFLOAT8: the older binary real formats of stored files.
//
// Layout, bytes in storage order (little-endian):
//
//   BFLOAT4  bytes 0-1   mantissa bits 15-0
//            byte 2      bit 7 sign (1 negative), bits 6-0 mantissa bits 22-16
//            byte 3      exponent
//   BFLOAT8  bytes 0-5   mantissa bits 47-0
//            byte 6      bit 7 sign, bits 6-0 mantissa bits 54-48
//            byte 7      exponent
//
// A non-zero value is (1 + mantissa / 2^bits) × 2^(exponent − 129), that is
// 0.1mmm... (binary) × 2^(exponent − 128): the same implicit leading one as
// IEEE, with the exponent biased by 129 where IEEE single biases by 127 and
// double by 1023.  1.0 is 00 00 00 81.  An exponent byte of 0 means 0,
// whatever the other bytes hold.
//
// From IEEE double the sign and the high mantissa bits are kept (BFLOAT4
// keeps 23 of the 52 bits, dropping the rest without rounding; BFLOAT8
// extends them to 55 with zeros) and the exponent is rebiased.  An exponent
// too large for the byte (infinities and NaN included) gives the largest
// exponent, 255, with the mantissa bits kept.  An exponent too small for it
// (below 2^−128, subnormals included) gives 0: clamping it to the largest
// exponent as well would turn tiny values into huge ones.
// Zeros of either sign give eight (four) zero bytes.
//
// To IEEE double every BFLOAT4 is exact; BFLOAT8 loses its 3 lowest mantissa
// bits (truncated).  The BFLOAT exponent range lies inside the double's, so
// this direction never overflows.
#ifndef TENTARIA_RUNTIME_BFLOAT_H_
#define TENTARIA_RUNTIME_BFLOAT_H_

#include <array>
#include <cstdint>
#include <span>

namespace tentaria::runtime {

std::array<std::uint8_t, 4> DoubleToBfloat4(double value);
std::array<std::uint8_t, 8> DoubleToBfloat8(double value);
double Bfloat4ToDouble(std::span<const std::uint8_t, 4> bytes);
double Bfloat8ToDouble(std::span<const std::uint8_t, 8> bytes);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_BFLOAT_H_
