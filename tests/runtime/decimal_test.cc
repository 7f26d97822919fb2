#include "runtime/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tentaria::runtime {
namespace {

// ---------------------------------------------------------------------------
// The oracle: signed integers of any size in base 10^9, with which a value is
// held scaled by 10^32 (the register's lowest position).  Powers of ten are
// handled on the decimal text, so the oracle shares no method with the
// digit-array arithmetic under test.

using Limbs = std::vector<std::uint32_t>;  // least significant first, no top zeros
constexpr std::uint32_t kBase = 1'000'000'000;

void Normalize(Limbs& a) {
  while (!a.empty() && a.back() == 0) a.pop_back();
}

Limbs LimbsFromDigits(const std::string& digits) {
  Limbs out;
  for (std::size_t end = digits.size(); end > 0;) {
    std::size_t begin = end >= 9 ? end - 9 : 0;
    out.push_back(static_cast<std::uint32_t>(std::stoul(digits.substr(begin, end - begin))));
    end = begin;
  }
  Normalize(out);
  return out;
}

std::string DigitsFromLimbs(const Limbs& a) {
  if (a.empty()) return "0";
  std::string out = std::to_string(a.back());
  for (std::size_t i = a.size() - 1; i-- > 0;) {
    std::string part = std::to_string(a[i]);
    out += std::string(9 - part.size(), '0') + part;
  }
  return out;
}

int CompareLimbs(const Limbs& a, const Limbs& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

Limbs AddLimbs(const Limbs& a, const Limbs& b) {
  Limbs out;
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry != 0; ++i) {
    std::uint64_t sum = carry + (i < a.size() ? a[i] : 0) + (i < b.size() ? b[i] : 0);
    out.push_back(static_cast<std::uint32_t>(sum % kBase));
    carry = sum / kBase;
  }
  Normalize(out);
  return out;
}

// a − b with a ≥ b.
Limbs SubtractLimbs(const Limbs& a, const Limbs& b) {
  Limbs out;
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::int64_t diff = std::int64_t{a[i]} - borrow - (i < b.size() ? b[i] : 0);
    borrow = diff < 0 ? 1 : 0;
    out.push_back(static_cast<std::uint32_t>(diff + borrow * kBase));
  }
  Normalize(out);
  return out;
}

Limbs MultiplyLimbs(const Limbs& a, const Limbs& b) {
  if (a.empty() || b.empty()) return {};
  std::vector<std::uint64_t> acc(a.size() + b.size() + 1, 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      std::uint64_t cur = acc[i + j] + std::uint64_t{a[i]} * b[j] + carry;
      acc[i + j] = cur % kBase;
      carry = cur / kBase;
    }
    for (std::size_t k = i + b.size(); carry != 0; ++k) {
      std::uint64_t cur = acc[k] + carry;
      acc[k] = cur % kBase;
      carry = cur / kBase;
    }
  }
  Limbs out(acc.begin(), acc.end());
  Normalize(out);
  return out;
}

struct Big {
  bool negative = false;
  Limbs magnitude;

  bool IsZero() const { return magnitude.empty(); }
  std::string Digits() const { return DigitsFromLimbs(magnitude); }
};

Big MakeBig(bool negative, const std::string& digits) {
  Big b{negative, LimbsFromDigits(digits)};
  if (b.IsZero()) b.negative = false;
  return b;
}

bool operator==(const Big& a, const Big& b) {
  return a.negative == b.negative && a.magnitude == b.magnitude;
}

std::ostream& operator<<(std::ostream& out, const Big& b) {
  return out << (b.negative ? "-" : "") << b.Digits();
}

int CompareBig(const Big& a, const Big& b) {
  if (a.negative != b.negative) return a.negative ? -1 : 1;
  int m = CompareLimbs(a.magnitude, b.magnitude);
  return a.negative ? -m : m;
}

Big AddBig(const Big& a, const Big& b) {
  Big out;
  if (a.negative == b.negative) {
    out = {a.negative, AddLimbs(a.magnitude, b.magnitude)};
  } else if (CompareLimbs(a.magnitude, b.magnitude) >= 0) {
    out = {a.negative, SubtractLimbs(a.magnitude, b.magnitude)};
  } else {
    out = {b.negative, SubtractLimbs(b.magnitude, a.magnitude)};
  }
  if (out.IsZero()) out.negative = false;
  return out;
}

Big NegateBig(Big a) {
  if (!a.IsZero()) a.negative = !a.negative;
  return a;
}

Big MultiplyBig(const Big& a, const Big& b) {
  Big out{a.negative != b.negative, MultiplyLimbs(a.magnitude, b.magnitude)};
  if (out.IsZero()) out.negative = false;
  return out;
}

// The magnitude times 10^n.
Big ShiftUp(const Big& a, int n) {
  if (a.IsZero()) return a;
  return MakeBig(a.negative, a.Digits() + std::string(static_cast<std::size_t>(n), '0'));
}

// The magnitude divided by 10^n, rounded half away from zero.
Big RoundDown(const Big& a, int n) {
  if (n == 0) return a;
  std::string digits = a.Digits();
  if (digits.size() < static_cast<std::size_t>(n) + 1) {
    digits = std::string(static_cast<std::size_t>(n) + 1 - digits.size(), '0') + digits;
  }
  std::size_t keep = digits.size() - static_cast<std::size_t>(n);
  Big q = MakeBig(a.negative, digits.substr(0, keep));
  if (digits[keep] >= '5') {
    q = {a.negative, AddLimbs(q.magnitude, Limbs{1})};
  }
  return q;
}

// The magnitude cut to its low n digits; *cut tells whether anything went.
Big KeepLow(const Big& a, int n, bool* cut) {
  std::string digits = a.Digits();
  *cut = digits.size() > static_cast<std::size_t>(n) && !a.IsZero();
  if (*cut) digits = digits.substr(digits.size() - static_cast<std::size_t>(n));
  return MakeBig(a.negative, digits);
}

// A register's value scaled by 10^32, read digit by digit.
Big FromRegister(const DecimalRegister& r) {
  std::string digits;
  for (int p = 63; p >= 0; --p) digits.push_back(static_cast<char>('0' + r.Digit(p)));
  return MakeBig(r.IsNegative(), digits);
}

// The plain text of a scaled value: no leading zeros, no trailing fraction
// zeros.
std::string PlainText(const Big& scaled) {
  std::string digits = scaled.Digits();
  if (digits.size() < 33) digits = std::string(33 - digits.size(), '0') + digits;
  std::string integer = digits.substr(0, digits.size() - 32);
  std::string fraction = digits.substr(digits.size() - 32);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = scaled.negative ? "-" : "";
  text += integer;
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

// ---------------------------------------------------------------------------
// Random operands: varying counts of integer and fraction digits, with runs
// of nines and zeros so that carries and borrows travel far.

class Sampler {
 public:
  explicit Sampler(std::uint64_t seed) : rng_(seed) {}

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  std::string DigitRun(int count) {
    int mode = Uniform(0, 9);
    std::string out;
    for (int i = 0; i < count; ++i) {
      char c;
      if (mode == 0) {
        c = '9';
      } else if (mode == 1) {
        c = Uniform(0, 5) == 0 ? static_cast<char>('0' + Uniform(1, 9)) : '0';
      } else if (mode == 2) {
        c = Uniform(0, 3) == 0 ? static_cast<char>('0' + Uniform(0, 9)) : '9';
      } else {
        c = static_cast<char>('0' + Uniform(0, 9));
      }
      out.push_back(c);
    }
    return out;
  }

  struct Sample {
    std::string text;
    Big scaled;
  };

  // A value that fits a register, as text and as the oracle's number.
  Sample Value(int max_integer = 32, int max_fraction = 32) {
    int integer_digits = Uniform(0, max_integer);
    int fraction_digits = Uniform(0, max_fraction);
    if (Uniform(0, 4) == 0) integer_digits = Uniform(0, 3);
    bool negative = Uniform(0, 1) == 1;
    std::string integer = DigitRun(integer_digits);
    std::string fraction = DigitRun(fraction_digits);
    std::string text = negative ? "-" : "";
    text += integer.empty() ? "0" : integer;
    if (!fraction.empty()) text += "." + fraction;
    std::string scaled = integer + fraction + std::string(32 - fraction.size(), '0');
    return {text, MakeBig(negative, scaled)};
  }

 private:
  std::mt19937_64 rng_;
};

DecimalRegister Parse(std::string_view text) { return DecimalRegister::FromText(text); }

// The register holds the sample exactly; every arithmetic test rests on it.
DecimalRegister Load(const Sampler::Sample& sample) {
  DecimalRegister r = Parse(sample.text);
  EXPECT_EQ(FromRegister(r), sample.scaled) << sample.text;
  return r;
}

constexpr int kRounds = 20000;

// ---------------------------------------------------------------------------

TEST(DecimalArithmeticTest, AddAndSubtractMatchTheOracle) {
  Sampler sampler(1);
  int overflows = 0;
  for (int i = 0; i < kRounds; ++i) {
    auto a = sampler.Value();
    auto b = sampler.Value();
    DecimalRegister ra = Load(a);
    DecimalRegister rb = Load(b);
    for (bool subtract : {false, true}) {
      Big exact = AddBig(a.scaled, subtract ? NegateBig(b.scaled) : b.scaled);
      bool cut = false;
      Big expected = KeepLow(exact, 64, &cut);
      DecimalStatus status;
      DecimalRegister sum = subtract ? Subtract(ra, rb, &status) : Add(ra, rb, &status);
      ASSERT_EQ(FromRegister(sum), expected) << a.text << (subtract ? " - " : " + ") << b.text;
      ASSERT_EQ(status.overflow, cut) << a.text << (subtract ? " - " : " + ") << b.text;
      overflows += cut ? 1 : 0;
    }
  }
  EXPECT_GT(overflows, 0);  // the samples do reach the register's top
}

TEST(DecimalArithmeticTest, MultiplyRoundsTheExactProductAtTheLowestPosition) {
  Sampler sampler(2);
  int rounded_up = 0;
  int overflows = 0;
  for (int i = 0; i < kRounds; ++i) {
    auto a = sampler.Value(sampler.Uniform(0, 32), sampler.Uniform(0, 32));
    auto b = sampler.Value(sampler.Uniform(0, 32), sampler.Uniform(0, 32));
    Big exact = MultiplyBig(a.scaled, b.scaled);  // scaled by 10^64
    Big rounded = RoundDown(exact, 32);
    bool cut = false;
    Big expected = KeepLow(rounded, 64, &cut);
    DecimalStatus status;
    DecimalRegister product = Multiply(Load(a), Load(b), &status);
    ASSERT_EQ(FromRegister(product), expected) << a.text << " * " << b.text;
    ASSERT_EQ(status.overflow, cut) << a.text << " * " << b.text;
    if (CompareLimbs(ShiftUp(rounded, 32).magnitude, exact.magnitude) > 0) ++rounded_up;
    overflows += cut ? 1 : 0;
  }
  EXPECT_GT(rounded_up, 0);
  EXPECT_GT(overflows, 0);
}

TEST(DecimalArithmeticTest, DivideGivesTheQuotientRoundedHalfAwayFromZero) {
  // Checked by multiplication only: with N = |a|·10^32, D = |b| and q the
  // quotient's scaled magnitude, r = N − q·D must satisfy −D ≤ 2r < D.
  Sampler sampler(3);
  int checked = 0;
  int overflows = 0;
  for (int i = 0; i < kRounds; ++i) {
    // Every tenth pair divides a large number by one below 1, so that some
    // quotients reach beyond the register.
    bool large = i % 10 == 0;
    auto a = sampler.Value(large ? 32 : sampler.Uniform(0, 32), sampler.Uniform(0, 32));
    auto b = sampler.Value(large ? 0 : sampler.Uniform(0, 32), sampler.Uniform(0, 32));
    if (b.scaled.IsZero()) continue;
    Big n = ShiftUp(Big{false, a.scaled.magnitude}, 32);
    Big d{false, b.scaled.magnitude};
    // The quotient overflows when N/D + 1/2 ≥ 10^64, that is 2N + D ≥ 2·D·10^64.
    Big two{false, Limbs{2}};
    bool expect_overflow =
        CompareBig(AddBig(MultiplyBig(two, n), d), ShiftUp(MultiplyBig(two, d), 64)) >= 0;
    DecimalStatus status;
    DecimalRegister quotient = Divide(Load(a), Load(b), &status);
    ASSERT_EQ(status.overflow, expect_overflow) << a.text << " / " << b.text;
    ASSERT_FALSE(status.division_by_zero);
    if (expect_overflow) {
      ++overflows;
      continue;
    }
    Big q = FromRegister(quotient);
    bool negative = a.scaled.negative != b.scaled.negative && !q.IsZero();
    ASSERT_EQ(q.negative, negative) << a.text << " / " << b.text;
    Big twice_r = MultiplyBig(two, AddBig(n, NegateBig(MultiplyBig(Big{false, q.magnitude}, d))));
    ASSERT_GE(CompareBig(twice_r, NegateBig(d)), 0) << a.text << " / " << b.text;
    ASSERT_LT(CompareBig(twice_r, d), 0) << a.text << " / " << b.text;
    ++checked;
  }
  EXPECT_GT(checked, kRounds / 2);
  EXPECT_GT(overflows, 0);
}

TEST(DecimalArithmeticTest, CompareOrdersAsTheOracle) {
  Sampler sampler(4);
  for (int i = 0; i < kRounds; ++i) {
    auto a = sampler.Value();
    // Every fourth pair compares a value with itself written differently.
    auto b = i % 4 == 0 ? Sampler::Sample{a.text + "000", a.scaled} : sampler.Value();
    if (i % 4 == 0 && a.text.find('.') == std::string::npos) b.text = a.text + ".000";
    int expected = CompareBig(a.scaled, b.scaled);
    ASSERT_EQ(Compare(Load(a), Load(b)), expected) << a.text << " vs " << b.text;
    ASSERT_EQ(Load(a) == Load(b), expected == 0);
  }
}

TEST(DecimalArithmeticTest, SpecificResults) {
  EXPECT_EQ(Divide(Parse("1"), Parse("3")).ToText(), "0." + std::string(32, '3'));
  EXPECT_EQ(Divide(Parse("2"), Parse("3")).ToText(), "0." + std::string(31, '6') + "7");
  EXPECT_EQ(Divide(Parse("-2"), Parse("3")).ToText(), "-0." + std::string(31, '6') + "7");
  EXPECT_EQ(Divide(Parse("1"), Parse("-8")).ToText(), "-0.125");
  // 5·10^−33 lies halfway between 0 and the register's lowest digit.
  EXPECT_EQ(Multiply(Parse("0.00000000000000005"), Parse("0.0000000000000001")).ToText(),
            "0." + std::string(31, '0') + "1");
  EXPECT_EQ(Multiply(Parse("-0.00000000000000004"), Parse("0.0000000000000001")).ToText(), "0");
  EXPECT_EQ(Multiply(Parse("-1.5"), Parse("-2")).ToText(), "3");
  EXPECT_EQ(Subtract(Parse("1.25"), Parse("1.25")).ToText(), "0");
  EXPECT_FALSE(Subtract(Parse("-1.25"), Parse("-1.25")).IsNegative());
  EXPECT_EQ(Add(Parse("0.75"), Parse("-1")).ToText(), "-0.25");
}

TEST(DecimalArithmeticTest, DivisionByZeroGivesZero) {
  DecimalStatus status;
  DecimalRegister q = Divide(Parse("12.5"), Parse("0.000"), &status);
  EXPECT_TRUE(q.IsZero());
  EXPECT_TRUE(status.division_by_zero);
  EXPECT_FALSE(status.overflow);
}

TEST(DecimalArithmeticTest, OverflowKeepsTheLowDigitsAndIsReported) {
  std::string nines(32, '9');
  DecimalStatus status;
  DecimalRegister sum = Add(Parse(nines), Parse("1.5"), &status);
  EXPECT_EQ(sum.ToText(), "0.5");
  EXPECT_TRUE(status.overflow);

  DecimalStatus quiet;
  Add(Parse(nines), Parse("-1"), &quiet);
  EXPECT_FALSE(quiet.overflow);
}

// ---------------------------------------------------------------------------

TEST(DecimalTextTest, TextRoundTripsAndHasNoSuperfluousZeros) {
  Sampler sampler(5);
  for (int i = 0; i < kRounds; ++i) {
    auto a = sampler.Value();
    DecimalRegister r = Load(a);
    std::string text = r.ToText();
    ASSERT_EQ(text, PlainText(a.scaled)) << a.text;
    ASSERT_EQ(FromRegister(Parse(text)), a.scaled) << text;
  }
}

TEST(DecimalTextTest, FixedDecimalsRoundHalfAwayFromZero) {
  Sampler sampler(6);
  for (int i = 0; i < kRounds; ++i) {
    auto a = sampler.Value(31, 32);
    int decimals = sampler.Uniform(0, 32);
    Big q = RoundDown(a.scaled, 32 - decimals);
    std::string digits = q.Digits();
    if (digits.size() < static_cast<std::size_t>(decimals) + 1) {
      digits = std::string(static_cast<std::size_t>(decimals) + 1 - digits.size(), '0') + digits;
    }
    std::string expected = q.IsZero() || !q.negative ? "" : "-";
    expected += digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) expected += "." + digits.substr(digits.size() - decimals);
    ASSERT_EQ(Load(a).ToText(decimals), expected) << a.text << " to " << decimals;
    ASSERT_EQ(FromRegister(Load(a).Rounded(decimals)), ShiftUp(q, 32 - decimals)) << a.text;
  }
}

TEST(DecimalTextTest, ExponentsPointsAndBlanksMatchTheOracle) {
  Sampler sampler(7);
  int overflows = 0;
  for (int i = 0; i < kRounds; ++i) {
    std::string integer = sampler.DigitRun(sampler.Uniform(0, 40));
    std::string fraction = sampler.DigitRun(sampler.Uniform(0, 40));
    if (integer.empty() && fraction.empty()) integer = "7";
    int exponent = sampler.Uniform(-45, 45);
    bool negative = sampler.Uniform(0, 1) == 1;
    std::string text(static_cast<std::size_t>(sampler.Uniform(0, 3)), ' ');
    if (negative) text += "-";
    text += integer;
    if (!fraction.empty() || sampler.Uniform(0, 1) == 1) {
      text += sampler.Uniform(0, 1) == 1 ? "," : ".";
      text += fraction;
    }
    bool with_exponent = exponent != 0 || sampler.Uniform(0, 1) == 1;
    if (with_exponent) {
      text += sampler.Uniform(0, 1) == 1 ? "E" : "e";
      if (exponent < 0) {
        text += "-";
      } else if (sampler.Uniform(0, 1) == 1) {
        text += "+";
      }
      text += std::to_string(std::abs(exponent));
    } else {
      exponent = 0;
    }
    std::size_t parsed_length = text.size();
    text += sampler.Uniform(0, 1) == 1 ? " kg" : "";

    Big mantissa = MakeBig(negative, integer + fraction);
    int shift = 32 + exponent - static_cast<int>(fraction.size());
    Big scaled = shift >= 0 ? ShiftUp(mantissa, shift) : RoundDown(mantissa, -shift);
    bool cut = false;
    Big expected = KeepLow(scaled, 64, &cut);
    overflows += cut ? 1 : 0;

    std::size_t length = 0;
    DecimalStatus status;
    DecimalRegister r = DecimalRegister::FromText(text, &length, &status);
    ASSERT_EQ(FromRegister(r), expected) << text;
    ASSERT_EQ(status.overflow, cut) << text;
    ASSERT_EQ(length, parsed_length) << text;
  }
  EXPECT_GT(overflows, 0);
}

TEST(DecimalTextTest, CommaAndPointAreBothTheDecimalPoint) {
  EXPECT_EQ(Parse("1,5"), Parse("1.5"));
  EXPECT_EQ(Parse("1.5").ToText(), "1.5");
  EXPECT_EQ(Parse("   -1,5").ToText(), "-1.5");
  EXPECT_EQ(Parse("1.5E2").ToText(), "150");
  EXPECT_EQ(Parse("15e-1").ToText(), "1.5");
  EXPECT_EQ(Parse("-0").ToText(), "0");
  EXPECT_FALSE(Parse("-0.000").IsNegative());
}

TEST(DecimalTextTest, ReadingStopsAtTheFirstByteThatCannotContinue) {
  struct Case {
    std::string_view text;
    std::string_view value;
    std::size_t length;
  };
  for (const Case& c :
       {Case{"abc", "0", 0}, Case{"", "0", 0}, Case{"   ", "0", 0}, Case{"-", "0", 0},
        Case{".", "0", 0}, Case{"-.e5", "0", 0}, Case{"  12.5xyz", "12.5", 6},
        Case{"1.2.3", "1.2", 3}, Case{"1,234.5", "1.234", 5}, Case{"1e", "1", 1},
        Case{"1e+", "1", 1}, Case{"2E3x", "2000", 3}, Case{".5", "0.5", 2}, Case{"5.", "5", 2},
        Case{"--5", "0", 0}, Case{"+5", "5", 2}, Case{"0012", "12", 4}}) {
    std::size_t length = 99;
    DecimalRegister r = DecimalRegister::FromText(c.text, &length);
    EXPECT_EQ(r.ToText(), c.value) << c.text;
    EXPECT_EQ(length, c.length) << c.text;
  }
}

TEST(DecimalTextTest, HugeExponentsNeitherCrashNorWrap) {
  DecimalStatus status;
  EXPECT_TRUE(DecimalRegister::FromText("1e99999999999999999999", nullptr, &status).IsZero());
  EXPECT_TRUE(status.overflow);
  DecimalStatus tiny;
  EXPECT_TRUE(DecimalRegister::FromText("1e-99999999999999999999", nullptr, &tiny).IsZero());
  EXPECT_FALSE(tiny.overflow);
  std::string long_zeros = "0." + std::string(100000, '0') + "1";
  EXPECT_TRUE(Parse(long_zeros).IsZero());
  EXPECT_EQ(Parse(std::string(100000, '0') + "42").ToText(), "42");
}

// ---------------------------------------------------------------------------

TEST(DecimalConversionTest, Int64RoundTripsAndTruncatesTowardsZero) {
  using Limits = std::numeric_limits<std::int64_t>;
  Sampler sampler(8);
  std::mt19937_64 rng(8);
  for (int i = 0; i < kRounds; ++i) {
    std::int64_t value = static_cast<std::int64_t>(rng()) >> sampler.Uniform(0, 63);
    DecimalRegister r = DecimalRegister::FromInt64(value);
    ASSERT_EQ(r.ToText(), std::to_string(value));
    ASSERT_EQ(r.ToInt64(), value);
  }
  for (std::int64_t limit : {Limits::min(), Limits::max()}) {
    EXPECT_EQ(DecimalRegister::FromInt64(limit).ToInt64(), limit);
  }
  EXPECT_EQ(Parse("2.9").ToInt64(), 2);
  EXPECT_EQ(Parse("-2.9").ToInt64(), -2);
  EXPECT_EQ(Parse("-0.9").ToInt64(), 0);
  EXPECT_EQ(Parse("9223372036854775808").ToInt64(), Limits::max());
  EXPECT_EQ(Parse("-9223372036854775808.7").ToInt64(), Limits::min());
  EXPECT_EQ(Parse("-9223372036854775809").ToInt64(), Limits::min());
  EXPECT_EQ(Parse(std::string(32, '9')).ToInt64(), Limits::max());
}

TEST(DecimalConversionTest, DoublesTravelAsTheirShortestText) {
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-12, 20);
  for (int i = 0; i < kRounds; ++i) {
    double value = mantissa(rng) * std::pow(10.0, exponent(rng)) * (i % 2 == 0 ? 1 : -1);
    DecimalRegister r = DecimalRegister::FromDouble(value);
    ASSERT_EQ(r.ToDouble(), value) << r.ToText();
  }
  EXPECT_EQ(DecimalRegister::FromDouble(0.1).ToText(), "0.1");
  EXPECT_EQ(DecimalRegister::FromDouble(-1234.5).ToText(), "-1234.5");
  EXPECT_EQ(DecimalRegister::FromDouble(1e-40).ToText(), "0");
  EXPECT_EQ(DecimalRegister::FromDouble(-0.0).ToText(), "0");
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
    DecimalStatus status;
    EXPECT_TRUE(DecimalRegister::FromDouble(bad, &status).IsZero());
    EXPECT_TRUE(status.overflow);
  }
  DecimalStatus status;
  DecimalRegister::FromDouble(1e40, &status);
  EXPECT_TRUE(status.overflow);
}

// ---------------------------------------------------------------------------
// Fields.

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

std::vector<std::uint8_t> StoreDecimal(std::string_view text, int bytes, int decimals) {
  std::vector<std::uint8_t> field(static_cast<std::size_t>(bytes), 0xAA);
  Parse(text).StoreDecimal(field, decimals);
  return field;
}

std::vector<std::uint8_t> StorePDecimal(std::string_view text, int bytes, int decimals) {
  std::vector<std::uint8_t> field(static_cast<std::size_t>(bytes), 0xAA);
  Parse(text).StorePDecimal(field, decimals);
  return field;
}

TEST(DecimalFieldTest, StoringRoundsHalfAwayFromZero) {
  // DECIMAL(5,2): sign nibble and five digits in three bytes.
  EXPECT_EQ(StoreDecimal("1.005", 3, 2), Bytes({0x00, 0x01, 0x01}));
  EXPECT_EQ(StoreDecimal("-1.005", 3, 2), Bytes({0xF0, 0x01, 0x01}));
  EXPECT_EQ(StoreDecimal("1.00499999", 3, 2), Bytes({0x00, 0x01, 0x00}));
  EXPECT_EQ(StorePDecimal("1.005", 3, 2), Bytes({0x00, 0x10, 0x1F}));
  EXPECT_EQ(StorePDecimal("-1.005", 3, 2), Bytes({0x00, 0x10, 0x1D}));
  // The carry adds a digit.
  EXPECT_EQ(StoreDecimal("99.995", 3, 2), Bytes({0x01, 0x00, 0x00}));
}

TEST(DecimalFieldTest, StoringDropsHighDigitsWithoutError) {
  EXPECT_EQ(StoreDecimal("1234.5", 3, 2), Bytes({0x02, 0x34, 0x50}));
  EXPECT_EQ(DecimalRegister::LoadDecimal(StoreDecimal("1234.5", 3, 2), 2).ToText(), "234.50");
  // The carry that adds a digit can itself be dropped: the result is zero,
  // and zero is written positive.
  EXPECT_EQ(StoreDecimal("-999.995", 3, 2), Bytes({0x00, 0x00, 0x00}));
  EXPECT_EQ(StoreDecimal("-0.004", 3, 2), Bytes({0x00, 0x00, 0x00}));
  EXPECT_EQ(StorePDecimal("-0.004", 3, 2), Bytes({0x00, 0x00, 0x0F}));
}

TEST(DecimalFieldTest, SignNibbles) {
  // DECIMAL: any non-zero sign nibble is negative.
  EXPECT_EQ(DecimalRegister::LoadDecimal(Bytes({0x01, 0x23}), 1).ToText(), "12.3");
  for (int sign = 1; sign <= 15; ++sign) {
    EXPECT_EQ(DecimalRegister::LoadDecimal(Bytes({sign << 4 | 1, 0x23}), 1).ToText(), "-12.3");
  }
  // PDECIMAL: only D is negative.
  for (int sign = 0; sign <= 15; ++sign) {
    DecimalRegister r = DecimalRegister::LoadPDecimal(Bytes({0x12, 0x30 | sign}), 0);
    EXPECT_EQ(r.ToText(), sign == 0xD ? "-123" : "123") << sign;
  }
  EXPECT_EQ(DecimalRegister::LoadPDecimal(Bytes({0x12, 0x3C}), 1).ToText(), "12.3");
  EXPECT_EQ(DecimalRegister::LoadPDecimal(Bytes({0x12, 0x3D}), 1).ToText(), "-12.3");
  // A negative zero reads as zero.
  DecimalRegister zero = DecimalRegister::LoadDecimal(Bytes({0xF0, 0x00}), 0);
  EXPECT_FALSE(zero.IsNegative());
  EXPECT_EQ(Compare(zero, DecimalRegister()), 0);
}

TEST(DecimalFieldTest, LoadingKeepsTheFieldsRange) {
  DecimalRegister r = DecimalRegister::LoadDecimal(Bytes({0x00, 0x01, 0x50}), 2);
  EXPECT_EQ(r.Lowest(), 30);
  EXPECT_EQ(r.Highest(), 34);
  EXPECT_EQ(r.ToText(), "1.50");
  EXPECT_EQ(DecimalRegister::LoadDecimal(Bytes({0x00, 0x00, 0x00}), 2).ToText(), "0.00");
  EXPECT_EQ(r, Parse("1.5"));
}

TEST(DecimalFieldTest, StoreMatchesTheOracleAndLoadsBack) {
  Sampler sampler(10);
  for (int i = 0; i < kRounds; ++i) {
    auto a = sampler.Value();
    int bytes = sampler.Uniform(1, 20);
    int decimals = sampler.Uniform(0, std::min(2 * bytes - 1, 34));
    int digits = 2 * bytes - 1;
    Big magnitude{false, a.scaled.magnitude};
    Big rounded =
        decimals <= 32 ? RoundDown(magnitude, 32 - decimals) : ShiftUp(magnitude, decimals - 32);
    bool cut = false;
    Big kept = KeepLow(rounded, digits, &cut);
    std::string field_digits = kept.Digits();
    field_digits =
        std::string(static_cast<std::size_t>(digits) - field_digits.size(), '0') + field_digits;
    bool negative = a.scaled.negative && !kept.IsZero();

    std::vector<std::uint8_t> decimal_expected(static_cast<std::size_t>(bytes));
    std::string nibbles = std::string(1, negative ? 'F' : '0') + field_digits;
    std::vector<std::uint8_t> packed_expected(static_cast<std::size_t>(bytes));
    std::string packed_nibbles = field_digits + (negative ? "D" : "F");
    for (std::size_t k = 0; k < decimal_expected.size(); ++k) {
      decimal_expected[k] =
          static_cast<std::uint8_t>(std::stoi(nibbles.substr(2 * k, 2), nullptr, 16));
      packed_expected[k] =
          static_cast<std::uint8_t>(std::stoi(packed_nibbles.substr(2 * k, 2), nullptr, 16));
    }
    Load(a);
    ASSERT_EQ(StoreDecimal(a.text, bytes, decimals), decimal_expected)
        << a.text << " into " << bytes << "," << decimals;
    ASSERT_EQ(StorePDecimal(a.text, bytes, decimals), packed_expected)
        << a.text << " into " << bytes << "," << decimals;

    // Loading gives the stored value back, as far as the register reaches.
    if (decimals <= 32 && 2 * bytes - decimals + 30 <= 63) {
      Big value = ShiftUp(MakeBig(negative, field_digits), 32 - decimals);
      ASSERT_EQ(FromRegister(DecimalRegister::LoadDecimal(decimal_expected, decimals)), value);
      ASSERT_EQ(FromRegister(DecimalRegister::LoadPDecimal(packed_expected, decimals)), value);
    }
  }
}

TEST(DecimalFieldTest, FieldsReachingBeyondTheRegisterAreSafe) {
  // 39 digits with no decimals: positions up to 70, above the register.
  std::vector<std::uint8_t> field(20, 0x99);
  field[0] = 0x09;
  DecimalRegister r = DecimalRegister::LoadDecimal(field, 0);
  EXPECT_EQ(r.ToText(), std::string(32, '9'));
  r.StoreDecimal(field, 0);
  EXPECT_EQ(DecimalRegister::LoadDecimal(field, 0).ToText(), std::string(32, '9'));
  EXPECT_EQ(field[0], 0x00);
  // Rounding up from 10^32 − 0.5 needs a digit the register does not have;
  // the field has it.
  std::vector<std::uint8_t> wide(20, 0);
  Parse(std::string(32, '9') + ".5").StoreDecimal(wide, 0);
  std::vector<std::uint8_t> expected(20, 0);
  expected[3] = 0x01;  // nibble 7, 32 digits above the units nibble 39
  EXPECT_EQ(wide, expected);
  // Empty fields and absurd decimal counts do nothing harmful.
  std::vector<std::uint8_t> none;
  EXPECT_TRUE(DecimalRegister::LoadDecimal(none, 2).IsZero());
  Parse("5").StoreDecimal(none, 2);
  std::vector<std::uint8_t> small(2, 0x11);
  Parse("5").StoreDecimal(small, 5000);
  EXPECT_EQ(small, Bytes({0x00, 0x00}));
  Parse("5").StorePDecimal(small, -5000);
  EXPECT_EQ(small, Bytes({0x00, 0x0F}));
  EXPECT_TRUE(DecimalRegister::LoadDecimal(Bytes({0x09, 0x99}), -5000).IsZero());
}

TEST(DecimalFieldTest, DigitNibblesAboveNineAreReportedAndReadAsZero) {
  EXPECT_TRUE(DecimalFieldDigitsValid(Bytes({0xF1, 0x23}), false));
  EXPECT_FALSE(DecimalFieldDigitsValid(Bytes({0x0A, 0x23}), false));
  EXPECT_TRUE(DecimalFieldDigitsValid(Bytes({0x12, 0x3D}), true));
  EXPECT_FALSE(DecimalFieldDigitsValid(Bytes({0x1B, 0x3D}), true));
  EXPECT_EQ(DecimalRegister::LoadDecimal(Bytes({0x0A, 0x2B}), 0).ToText(), "20");
}

// ---------------------------------------------------------------------------

TEST(DecimalStackTest, OperatesOnTheTopRegisters) {
  DecimalStack stack;
  ASSERT_TRUE(stack.Push(Parse("7")));
  ASSERT_TRUE(stack.Push(Parse("2")));
  ASSERT_TRUE(stack.Subtract());
  EXPECT_EQ(stack.Top().ToText(), "5");
  ASSERT_TRUE(stack.Push(Parse("4")));
  ASSERT_TRUE(stack.Divide());
  EXPECT_EQ(stack.Top().ToText(), "1.25");
  ASSERT_TRUE(stack.Negate());
  ASSERT_TRUE(stack.Push(Parse("3")));
  ASSERT_TRUE(stack.Multiply());
  ASSERT_TRUE(stack.Push(Parse("0.25")));
  ASSERT_TRUE(stack.Add());
  EXPECT_EQ(stack.Top().ToText(), "-3.5");
  ASSERT_TRUE(stack.Push(Parse("-3.50")));
  int order = 9;
  ASSERT_TRUE(stack.Compare(&order));
  EXPECT_EQ(order, 0);
  EXPECT_TRUE(stack.Empty());
}

TEST(DecimalStackTest, MisuseLeavesTheStackUnchanged) {
  DecimalStack stack;
  DecimalRegister popped = Parse("3");
  EXPECT_FALSE(stack.Pop(&popped));
  EXPECT_TRUE(popped.IsZero());
  EXPECT_FALSE(stack.Negate());
  ASSERT_TRUE(stack.Push(Parse("1")));
  EXPECT_FALSE(stack.Add());
  int order = 0;
  EXPECT_FALSE(stack.Compare(&order));
  EXPECT_EQ(stack.Size(), 1);
  for (int i = 1; i < DecimalStack::kCapacity; ++i) ASSERT_TRUE(stack.Push(Parse("2")));
  EXPECT_FALSE(stack.Push(Parse("9")));
  EXPECT_EQ(stack.Size(), DecimalStack::kCapacity);
  EXPECT_EQ(stack.Top().ToText(), "2");
  DecimalStatus status;
  ASSERT_TRUE(stack.Pop(nullptr));
  ASSERT_TRUE(stack.Push(DecimalRegister()));
  ASSERT_TRUE(stack.Divide(&status));
  EXPECT_TRUE(status.division_by_zero);
}

}  // namespace
}  // namespace tentaria::runtime
