#include "runtime/bfloat.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace tentaria::runtime {
namespace {

using Four = std::array<std::uint8_t, 4>;
using Eight = std::array<std::uint8_t, 8>;

// Encodings worked out by hand from the layout: value = 1.m × 2^(e − 129).
//   1.0   = 1.0 × 2^0    e = 0x81, m = 0
//   0.5   = 1.0 × 2^−1   e = 0x80
//   10.0  = 1.25 × 2^3   e = 0x84, m = .01 binary: top mantissa byte 0x20
//   −3.75 = 1.875 × 2^1  e = 0x82, m = .111: 0x70, with the sign bit 0xF0
//   0.1   = 1.6 × 2^−4   e = 0x7D, m = .1001 1001 ... : 0x4CCCCC in 23 bits
//           (truncated; IEEE single rounds the last byte up to CD), and the
//           double's 52 bits 999999999999A moved up by 3 in 55 bits.
struct Known {
  double value;
  Four four;
  Eight eight;
};

const Known kKnown[] = {
    {1.0, {0x00, 0x00, 0x00, 0x81}, {0, 0, 0, 0, 0, 0, 0x00, 0x81}},
    {-1.0, {0x00, 0x00, 0x80, 0x81}, {0, 0, 0, 0, 0, 0, 0x80, 0x81}},
    {0.5, {0x00, 0x00, 0x00, 0x80}, {0, 0, 0, 0, 0, 0, 0x00, 0x80}},
    {10.0, {0x00, 0x00, 0x20, 0x84}, {0, 0, 0, 0, 0, 0, 0x20, 0x84}},
    {-3.75, {0x00, 0x00, 0xF0, 0x82}, {0, 0, 0, 0, 0, 0, 0xF0, 0x82}},
    {0.1, {0xCC, 0xCC, 0x4C, 0x7D}, {0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0x4C, 0x7D}},
};

TEST(BfloatTest, KnownEncodings) {
  for (const Known& k : kKnown) {
    EXPECT_EQ(DoubleToBfloat4(k.value), k.four) << k.value;
    EXPECT_EQ(DoubleToBfloat8(k.value), k.eight) << k.value;
    EXPECT_EQ(Bfloat8ToDouble(k.eight), k.value) << k.value;
  }
  EXPECT_EQ(Bfloat4ToDouble(Four{0x00, 0x00, 0x20, 0x84}), 10.0);
  EXPECT_EQ(Bfloat4ToDouble(Four{0xCD, 0xCC, 0x4C, 0x7D}), static_cast<double>(0.1f));
}

TEST(BfloatTest, ZeroExponentMeansZero) {
  EXPECT_EQ(DoubleToBfloat4(0.0), (Four{}));
  EXPECT_EQ(DoubleToBfloat4(-0.0), (Four{}));
  EXPECT_EQ(DoubleToBfloat8(-0.0), (Eight{}));
  double z = Bfloat4ToDouble(Four{0xFF, 0xFF, 0xFF, 0x00});
  EXPECT_EQ(z, 0.0);
  EXPECT_FALSE(std::signbit(z));
  EXPECT_EQ(Bfloat8ToDouble(Eight{1, 2, 3, 4, 5, 6, 0x87, 0}), 0.0);
}

TEST(BfloatTest, EveryBfloat4IsExactInADouble) {
  std::mt19937 rng(12);
  for (int i = 0; i < 20000; ++i) {
    std::uint32_t bits = rng();
    Four four{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
              static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    if (four[3] == 0) continue;
    double value = Bfloat4ToDouble(four);
    ASSERT_EQ(DoubleToBfloat4(value), four);
    // The value as the format defines it: 0.1mmm × 2^(e − 128).
    double mantissa = 0.5 + static_cast<double>(bits & 0x7FFFFF) / (1 << 24);
    double expected = std::ldexp(mantissa, four[3] - 128) * ((bits & 0x800000) != 0 ? -1 : 1);
    ASSERT_EQ(value, expected);
  }
}

TEST(BfloatTest, Bfloat8KeepsADoublesMantissa) {
  std::mt19937_64 rng(13);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t bits = rng();
    Eight eight{};
    for (int b = 0; b < 8; ++b) eight[b] = static_cast<std::uint8_t>(bits >> (8 * b));
    if (eight[7] == 0) continue;
    double value = Bfloat8ToDouble(eight);
    Eight back = DoubleToBfloat8(value);
    // The three lowest of the 55 mantissa bits do not fit a double.
    Eight expected = eight;
    expected[0] &= 0xF8;
    ASSERT_EQ(back, expected);
  }
  std::uniform_real_distribution<double> mantissa(1.0, 2.0);
  std::uniform_int_distribution<int> exponent(-128, 126);
  for (int i = 0; i < 20000; ++i) {
    double value = std::ldexp(mantissa(rng), exponent(rng)) * (i % 2 == 0 ? 1 : -1);
    ASSERT_EQ(Bfloat8ToDouble(DoubleToBfloat8(value)), value);
  }
}

TEST(BfloatTest, Bfloat4TruncatesTheMantissaTo24Bits) {
  std::mt19937_64 rng(14);
  std::uniform_real_distribution<double> mantissa(0.5, 1.0);
  std::uniform_int_distribution<int> exponent(-120, 120);
  for (int i = 0; i < 20000; ++i) {
    int e = exponent(rng);
    double m = mantissa(rng);
    double expected = std::ldexp(std::trunc(std::ldexp(m, 24)), e - 24);
    double sign = i % 2 == 0 ? 1.0 : -1.0;
    ASSERT_EQ(Bfloat4ToDouble(DoubleToBfloat4(sign * std::ldexp(m, e))), sign * expected);
  }
}

TEST(BfloatTest, ExponentsOutsideTheByte) {
  // 2^126 × 1.5 is the top of the range: exponent byte 255.
  EXPECT_EQ(DoubleToBfloat4(std::ldexp(1.5, 126)), (Four{0x00, 0x00, 0x40, 0xFF}));
  // Above it the exponent stays 255 and the sign and mantissa are kept.
  EXPECT_EQ(DoubleToBfloat4(std::ldexp(-1.5, 127)), (Four{0x00, 0x00, 0xC0, 0xFF}));
  EXPECT_EQ(DoubleToBfloat4(1e300)[3], 0xFF);
  EXPECT_EQ(DoubleToBfloat8(std::numeric_limits<double>::infinity())[7], 0xFF);
  EXPECT_EQ(DoubleToBfloat8(-std::numeric_limits<double>::infinity())[6], 0x80);
  EXPECT_EQ(DoubleToBfloat4(std::nan(""))[3], 0xFF);
  // 2^−128 is the smallest: exponent byte 1; below it the value becomes 0.
  EXPECT_EQ(DoubleToBfloat4(std::ldexp(1.0, -128)), (Four{0x00, 0x00, 0x00, 0x01}));
  EXPECT_EQ(DoubleToBfloat4(std::ldexp(1.0, -129)), (Four{}));
  EXPECT_EQ(DoubleToBfloat8(std::numeric_limits<double>::denorm_min()), (Eight{}));
  EXPECT_EQ(Bfloat4ToDouble(Four{0x00, 0x00, 0x00, 0x01}), std::ldexp(1.0, -128));
  EXPECT_EQ(Bfloat8ToDouble(Eight{0, 0, 0, 0, 0, 0, 0x7F, 0xFF}),
            std::ldexp(2.0 - std::ldexp(1.0, -7), 126));
}

}  // namespace
}  // namespace tentaria::runtime
