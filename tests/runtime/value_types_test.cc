#include "runtime/value_types.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace tentaria::runtime {
namespace {

TEST(ValueTypesTest, NamesLeadBackToTheirCodes) {
  int named = 0;
  for (int code = 0; code <= 30; ++code) {
    std::string_view name = TypeName(code);
    std::optional<TypeCode> back = TypeCodeFromName(name);
    if (code == 17 || code == 29) {
      EXPECT_FALSE(back.has_value()) << code;
      continue;
    }
    ASSERT_TRUE(back.has_value()) << name;
    EXPECT_EQ(ToInt(*back), code) << name;
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(TypeCodeFromName(lower), back) << lower;
    ++named;
  }
  EXPECT_EQ(named, 29);
  EXPECT_EQ(TypeName(17), "(17)");
  EXPECT_FALSE(TypeCodeFromName("UNKNOWN").has_value());
  EXPECT_FALSE(TypeCodeFromName("DECIMALS").has_value());
  EXPECT_FALSE(TypeCodeFromName("").has_value());
}

TEST(ValueTypesTest, CodesOutsideTheTableAreUnknown) {
  for (int code : {-1, 29, 31, 255, 1000}) {
    EXPECT_EQ(TypeName(code), "UNKNOWN") << code;
    EXPECT_EQ(DeclarationTypeName(code), "UNKNOWN") << code;
  }
  // The declaration writer's list runs from 1 BYTE to 30 STDNUM.
  EXPECT_EQ(DeclarationTypeName(0), "UNKNOWN");
  EXPECT_EQ(DeclarationTypeName(1), "BYTE");
  EXPECT_EQ(DeclarationTypeName(30), "STDNUM");
  EXPECT_EQ(TypeName(TypeCode::PDECIMAL), "PDECIMAL");
}

TEST(ValueTypesTest, SizesOfFixedTypes) {
  // 1 for code 1; 2 for 2 and 3; 4 for 4 to 8, 13 and 15; 8 for 9
  // and 14; every other size comes from a declaration.
  for (int code = -1; code <= 40; ++code) {
    int expected = 0;
    if (code == 1) expected = 1;
    if (code == 2 || code == 3) expected = 2;
    if ((code >= 4 && code <= 8) || code == 13 || code == 15) expected = 4;
    if (code == 9 || code == 14) expected = 8;
    EXPECT_EQ(TypeSize(code), expected) << code;
  }
  EXPECT_EQ(DecimalByteCount(5), 3);  // DECIMAL(5,2) takes three bytes
  EXPECT_EQ(DecimalByteCount(4), 3);
  EXPECT_EQ(DecimalByteCount(1), 1);
  EXPECT_EQ(DecimalDigitCount(3), 5);
}

TEST(ValueTypesTest, ValueFormsAndTextDestinations) {
  EXPECT_TRUE(HasValueForm(ToInt(TypeCode::BYTE)));
  EXPECT_TRUE(HasValueForm(ToInt(TypeCode::PDECIMAL)));
  EXPECT_TRUE(HasValueForm(ToInt(TypeCode::BFLOAT8)));
  EXPECT_TRUE(HasValueForm(ToInt(TypeCode::GROUP)));
  for (TypeCode code :
       {TypeCode::END, TypeCode::DUM1, TypeCode::ANY, TypeCode::TEMPUFO, TypeCode::RESERVED17,
        TypeCode::CLASS, TypeCode::QUEUE, TypeCode::STACKSTR}) {
    EXPECT_FALSE(HasValueForm(ToInt(code))) << TypeName(code);
  }
  for (int code = 0; code <= 40; ++code) {
    bool text = code == 18 || code == 19 || code == 20 || code == 21 || code == 22;
    EXPECT_EQ(IsTextDestination(code), text) << code;
  }
}

TEST(ValueTypesTest, RealToIntegerTruncatesTowardsZero) {
  EXPECT_EQ(RealToInt32(2.9), 2);
  EXPECT_EQ(RealToInt32(-2.9), -2);
  EXPECT_EQ(RealToInt32(-0.5), 0);
  EXPECT_EQ(RealToInt64(1e15 + 0.75), 1'000'000'000'000'000);
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> values(-3e9, 3e9);
  for (int i = 0; i < 10000; ++i) {
    double v = values(rng);
    double t = std::trunc(v);
    if (std::fabs(t) < 2147483647.0) {
      ASSERT_EQ(RealToInt32(v), static_cast<std::int32_t>(t)) << v;
    }
    ASSERT_EQ(RealToInt64(v), static_cast<std::int64_t>(t)) << v;
  }
}

TEST(ValueTypesTest, RealToIntegerSaturatesWhereACastWouldBeUndefined) {
  using I32 = std::numeric_limits<std::int32_t>;
  using I64 = std::numeric_limits<std::int64_t>;
  double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(RealToInt32(std::nan("")), 0);
  EXPECT_EQ(RealToInt64(std::nan("")), 0);
  EXPECT_EQ(RealToInt32(inf), I32::max());
  EXPECT_EQ(RealToInt32(-inf), I32::min());
  EXPECT_EQ(RealToInt64(inf), I64::max());
  EXPECT_EQ(RealToInt64(-inf), I64::min());
  EXPECT_EQ(RealToInt32(2147483647.9), I32::max());
  EXPECT_EQ(RealToInt32(2147483648.0), I32::max());
  EXPECT_EQ(RealToInt32(-2147483648.9), I32::min());
  EXPECT_EQ(RealToInt32(-1e10), I32::min());
  EXPECT_EQ(RealToInt64(9223372036854775808.0), I64::max());
  EXPECT_EQ(RealToInt64(-9223372036854775808.0), I64::min());
  EXPECT_EQ(RealToInt64(1e300), I64::max());
  EXPECT_EQ(RealToInt64(9223372036854774784.0), 9223372036854774784);  // largest below 2^63
}

}  // namespace
}  // namespace tentaria::runtime
