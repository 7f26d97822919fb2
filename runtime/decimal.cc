#include "runtime/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tentaria::runtime {

// Magnitudes are digit arrays indexed by position (least significant first),
// so a register's digits_ is its value times 10^32 as an integer.
class DecimalArithmetic {
 public:
  static constexpr int kN = DecimalRegister::kPositions;
  using Digits = std::array<std::uint8_t, kN>;

  static Digits& DigitsOf(DecimalRegister& r) { return r.digits_; }
  static const Digits& DigitsOf(const DecimalRegister& r) { return r.digits_; }
  static void SetNegative(DecimalRegister& r, bool negative) { r.negative_ = negative; }
  static void SetRange(DecimalRegister& r, int lowest, int highest) {
    r.lowest_ = static_cast<std::int8_t>(lowest);
    r.highest_ = static_cast<std::int8_t>(highest);
  }
  static void Trim(DecimalRegister& r) { r.Trim(); }

  // −1, 0, 1 comparing magnitudes.
  static int CompareMagnitude(const Digits& a, const Digits& b) {
    for (int p = kN - 1; p >= 0; --p) {
      if (a[p] != b[p]) return a[p] < b[p] ? -1 : 1;
    }
    return 0;
  }

  // Adds `carry` (0 or 1) at position `from` and upwards; true when the
  // carry left position 63.
  static bool AddCarry(Digits& d, int from, int carry) {
    for (int p = from; p < kN && carry != 0; ++p) {
      int sum = d[p] + carry;
      d[p] = static_cast<std::uint8_t>(sum % 10);
      carry = sum / 10;
    }
    return carry != 0;
  }

  // Rounds half away from zero at position `cut` (1 to 63): clears the
  // digits below it and adds one at `cut` when the digit just below is 5 or
  // more.  True when the carry left position 63.
  static bool RoundAt(Digits& d, int cut) {
    bool up = d[cut - 1] >= 5;
    std::fill(d.begin(), d.begin() + cut, std::uint8_t{0});
    return up && AddCarry(d, cut, 1);
  }
};

namespace {

using Arith = DecimalArithmetic;
using Digits = Arith::Digits;
constexpr int kN = Arith::kN;
constexpr int kUnits = DecimalRegister::kUnits;

void Flag(DecimalStatus* status, bool overflow) {
  if (status != nullptr && overflow) status->overflow = true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Keeps decimals and byte counts read from files within a range where the
// position arithmetic below cannot overflow an int.
int ClampDecimals(int decimals) { return std::clamp(decimals, -1000, 1000); }
int ClampBytes(std::size_t bytes) { return static_cast<int>(std::min<std::size_t>(bytes, 4096)); }

// Positions of the digits of a field of `bytes` bytes with `decimals`
// decimals: lowest 32 − d, highest 2b − d + 30.
struct FieldRange {
  int lowest;
  int highest;
};
FieldRange RangeOf(int bytes, int decimals) {
  return {kUnits - decimals, 2 * bytes - decimals + kUnits - 2};
}

// Nibble k of a field, counted from the first byte's high nibble.
int Nibble(std::span<const std::uint8_t> field, std::size_t k) {
  std::uint8_t byte = field[k / 2];
  return k % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

void SetNibble(std::span<std::uint8_t> field, std::size_t k, int value) {
  std::uint8_t& byte = field[k / 2];
  if (k % 2 == 0) {
    byte = static_cast<std::uint8_t>((byte & 0x0F) | (value << 4));
  } else {
    byte = static_cast<std::uint8_t>((byte & 0xF0) | value);
  }
}

// Loads the digit nibbles first_nibble .. first_nibble + 2b − 2.
DecimalRegister LoadDigits(std::span<const std::uint8_t> field, int decimals,
                           std::size_t first_nibble, bool negative) {
  DecimalRegister r;
  int bytes = ClampBytes(field.size());
  if (bytes == 0) return r;
  decimals = ClampDecimals(decimals);
  FieldRange range = RangeOf(bytes, decimals);
  Digits& d = Arith::DigitsOf(r);
  // Digits are unpacked from the last backwards: the last digit nibble is at
  // the lowest position.
  std::size_t count = static_cast<std::size_t>(2 * bytes - 1);
  for (std::size_t i = 0; i < count; ++i) {
    int position = range.lowest + static_cast<int>(i);
    if (position < 0 || position >= kN) continue;
    int nibble = Nibble(field, first_nibble + count - 1 - i);
    d[position] = static_cast<std::uint8_t>(nibble <= 9 ? nibble : 0);
  }
  bool zero = std::all_of(d.begin(), d.end(), [](std::uint8_t x) { return x == 0; });
  Arith::SetNegative(r, negative && !zero);
  Arith::SetRange(r, std::clamp(range.lowest, 0, kN - 1), std::clamp(range.highest, 0, kN - 1));
  return r;
}

// The digits to write for a field: rounded at the field's lowest position,
// on a working array one position wider than the register so that a carry
// out of position 63 is kept when the field reaches that far.  Returns
// whether any written digit is non-zero.
bool StoreDigits(const DecimalRegister& r, std::span<std::uint8_t> field, int decimals,
                 std::size_t first_nibble) {
  int bytes = ClampBytes(field.size());
  decimals = ClampDecimals(decimals);
  FieldRange range = RangeOf(bytes, decimals);
  std::array<std::uint8_t, kN + 1> work{};
  const Digits& d = Arith::DigitsOf(r);
  std::copy(d.begin(), d.end(), work.begin());
  int cut = range.lowest;
  if (cut > 0 && cut <= kN) {
    bool up = work[static_cast<std::size_t>(cut - 1)] >= 5;
    std::fill(work.begin(), work.begin() + cut, std::uint8_t{0});
    for (int p = cut; up && p <= kN; ++p) {
      if (work[static_cast<std::size_t>(p)] == 9) {
        work[static_cast<std::size_t>(p)] = 0;
      } else {
        ++work[static_cast<std::size_t>(p)];
        up = false;
      }
    }
  }
  bool non_zero = false;
  std::size_t count = static_cast<std::size_t>(2 * bytes - 1);
  for (std::size_t i = 0; i < count; ++i) {
    int position = range.lowest + static_cast<int>(i);
    int digit = position >= 0 && position <= kN ? work[static_cast<std::size_t>(position)] : 0;
    non_zero = non_zero || digit != 0;
    SetNibble(field, first_nibble + count - 1 - i, digit);
  }
  return non_zero;
}

// Adds magnitudes; true on a carry out of position 63.
bool AddMagnitudes(const Digits& a, const Digits& b, Digits& out) {
  int carry = 0;
  for (int p = 0; p < kN; ++p) {
    int sum = a[p] + b[p] + carry;
    out[p] = static_cast<std::uint8_t>(sum % 10);
    carry = sum / 10;
  }
  return carry != 0;
}

// a − b for a magnitude a not below b.
void SubtractMagnitudes(const Digits& a, const Digits& b, Digits& out) {
  int borrow = 0;
  for (int p = 0; p < kN; ++p) {
    int diff = a[p] - b[p] - borrow;
    borrow = diff < 0 ? 1 : 0;
    out[p] = static_cast<std::uint8_t>(diff + 10 * borrow);
  }
}

int HighestNonZero(const Digits& d) {
  for (int p = kN - 1; p >= 0; --p) {
    if (d[p] != 0) return p;
  }
  return -1;
}

// The digits of a number given as digit characters with its point: digit i
// of `digits` (0 the leftmost) has the power of ten top_power − i.  Digits
// that fall above the register are dropped (overflow when non-zero); the
// part below position 0 is rounded half away from zero.
DecimalRegister FromDigitText(std::string_view digits, std::int64_t top_power, bool negative,
                              DecimalStatus* status) {
  DecimalRegister r;
  Digits& d = Arith::DigitsOf(r);
  bool overflow = false;
  bool round_up = false;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    std::int64_t position = top_power - static_cast<std::int64_t>(i) + kUnits;
    int digit = digits[i] - '0';
    if (position >= kN) {
      overflow = overflow || digit != 0;
    } else if (position >= 0) {
      d[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(digit);
    } else {
      round_up = position == -1 && digit >= 5;
      break;
    }
  }
  if (round_up) overflow = Arith::AddCarry(d, 0, 1) || overflow;
  Flag(status, overflow);
  Arith::SetNegative(r, negative);
  Arith::Trim(r);
  return r;
}

}  // namespace

void DecimalRegister::Trim() {
  int high = HighestNonZero(digits_);
  if (high < 0) {
    negative_ = false;
    lowest_ = highest_ = kUnits;
    return;
  }
  int low = 0;
  while (digits_[static_cast<std::size_t>(low)] == 0) ++low;
  lowest_ = static_cast<std::int8_t>(low);
  highest_ = static_cast<std::int8_t>(high);
}

DecimalRegister DecimalRegister::FromInt64(std::int64_t value) {
  DecimalRegister r;
  // The magnitude as unsigned, so that the minimum int64 has one too.
  std::uint64_t magnitude =
      value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  for (int p = kUnits; magnitude != 0; ++p) {
    r.digits_[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(magnitude % 10);
    magnitude /= 10;
  }
  r.negative_ = value < 0;
  r.Trim();
  return r;
}

DecimalRegister DecimalRegister::FromDouble(double value, DecimalStatus* status) {
  if (!std::isfinite(value)) {
    Flag(status, true);
    return DecimalRegister();
  }
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);
  if (error != std::errc()) {
    Flag(status, true);
    return DecimalRegister();
  }
  return FromText(std::string_view(text, static_cast<std::size_t>(end - text)), nullptr, status);
}

DecimalRegister DecimalRegister::FromText(std::string_view text, std::size_t* length,
                                          DecimalStatus* status) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  // Leading zeros carry no value; skipping them keeps long zero runs from
  // counting as integer digits.
  std::size_t digits_seen = 0;
  while (i < text.size() && text[i] == '0') {
    ++i;
    ++digits_seen;
  }
  std::string digits;
  std::int64_t integer_digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    digits.push_back(text[i]);
    ++integer_digits;
    ++i;
  }
  digits_seen += digits.size();
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    std::size_t point = i++;
    std::size_t fraction_start = i;
    while (i < text.size() && IsDigit(text[i])) {
      digits.push_back(text[i]);
      ++i;
    }
    digits_seen += i - fraction_start;
    // A point with no digit on either side is not part of a number.
    if (digits_seen == 0) i = point;
  }
  if (digits_seen == 0) {
    if (length != nullptr) *length = 0;
    return DecimalRegister();
  }
  std::int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) {
      exponent_negative = text[j] == '-';
      ++j;
    }
    if (j < text.size() && IsDigit(text[j])) {
      // Any exponent beyond the cap moves every digit out of the register
      // just as well, so it is held there.
      constexpr std::int64_t kCap = 1'000'000'000;
      while (j < text.size() && IsDigit(text[j])) {
        exponent = std::min(kCap, exponent * 10 + (text[j] - '0'));
        ++j;
      }
      if (exponent_negative) exponent = -exponent;
      i = j;
    }
  }
  if (length != nullptr) *length = i;
  return FromDigitText(digits, integer_digits - 1 + exponent, negative, status);
}

DecimalRegister DecimalRegister::LoadDecimal(std::span<const std::uint8_t> field, int decimals) {
  bool negative = !field.empty() && (field[0] >> 4) != 0;
  return LoadDigits(field, decimals, 1, negative);
}

DecimalRegister DecimalRegister::LoadPDecimal(std::span<const std::uint8_t> field, int decimals) {
  bool negative = !field.empty() && (field.back() & 0x0F) == 0x0D;
  return LoadDigits(field, decimals, 0, negative);
}

void DecimalRegister::StoreDecimal(std::span<std::uint8_t> field, int decimals) const {
  if (field.empty()) return;
  bool non_zero = StoreDigits(*this, field, decimals, 1);
  SetNibble(field, 0, negative_ && non_zero ? 0xF : 0x0);
}

void DecimalRegister::StorePDecimal(std::span<std::uint8_t> field, int decimals) const {
  if (field.empty()) return;
  bool non_zero = StoreDigits(*this, field, decimals, 0);
  SetNibble(field, 2 * field.size() - 1, negative_ && non_zero ? 0xD : 0xF);
}

std::int64_t DecimalRegister::ToInt64() const {
  constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(1) << 63;
  std::uint64_t magnitude = 0;
  bool saturated = false;
  for (int p = kN - 1; p >= kUnits; --p) {
    std::uint64_t digit = digits_[static_cast<std::size_t>(p)];
    if (magnitude > (kLimit - digit) / 10) {
      saturated = true;
      break;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (negative_) {
    if (saturated || magnitude >= kLimit) return std::numeric_limits<std::int64_t>::min();
    return -static_cast<std::int64_t>(magnitude);
  }
  if (saturated || magnitude >= kLimit) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(magnitude);
}

double DecimalRegister::ToDouble() const {
  // from_chars reads without regard to the C locale and rounds correctly.
  std::string text = ToText();
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string DecimalRegister::ToText() const {
  std::string text;
  if (negative_) text.push_back('-');
  int top = std::max<int>(kUnits, HighestNonZero(digits_));
  for (int p = top; p >= kUnits; --p) text.push_back(static_cast<char>('0' + digits_[p]));
  int bottom = std::min<int>(lowest_, kUnits);
  if (bottom < kUnits) {
    text.push_back('.');
    for (int p = kUnits - 1; p >= bottom; --p) text.push_back(static_cast<char>('0' + digits_[p]));
  }
  return text;
}

std::string DecimalRegister::ToText(int decimals) const {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  DecimalRegister rounded = Rounded(decimals);
  std::string text;
  if (rounded.negative_) text.push_back('-');
  const Digits& d = rounded.digits_;
  int top = std::max<int>(kUnits, HighestNonZero(d));
  for (int p = top; p >= kUnits; --p) text.push_back(static_cast<char>('0' + d[p]));
  if (decimals > 0) {
    text.push_back('.');
    for (int p = kUnits - 1; p >= kUnits - decimals; --p) {
      text.push_back(static_cast<char>('0' + d[p]));
    }
  }
  return text;
}

bool DecimalRegister::IsZero() const { return HighestNonZero(digits_) < 0; }

int DecimalRegister::Digit(int position) const {
  if (position < 0 || position >= kN) return 0;
  return digits_[static_cast<std::size_t>(position)];
}

DecimalRegister DecimalRegister::Negated() const {
  DecimalRegister r = *this;
  r.negative_ = !negative_ && !IsZero();
  return r;
}

DecimalRegister DecimalRegister::Rounded(int decimals, DecimalStatus* status) const {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  DecimalRegister r = *this;
  int cut = kUnits - decimals;
  if (cut > 0) Flag(status, Arith::RoundAt(r.digits_, cut));
  r.Trim();
  return r;
}

DecimalRegister DecimalRegister::Truncated(int decimals) const {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  DecimalRegister r = *this;
  std::fill(r.digits_.begin(), r.digits_.begin() + (kUnits - decimals), std::uint8_t{0});
  r.Trim();
  return r;
}

bool operator==(const DecimalRegister& a, const DecimalRegister& b) { return Compare(a, b) == 0; }

DecimalRegister Add(const DecimalRegister& a, const DecimalRegister& b, DecimalStatus* status) {
  DecimalRegister r;
  Digits& out = Arith::DigitsOf(r);
  const Digits& da = Arith::DigitsOf(a);
  const Digits& db = Arith::DigitsOf(b);
  if (a.IsNegative() == b.IsNegative()) {
    Flag(status, AddMagnitudes(da, db, out));
    Arith::SetNegative(r, a.IsNegative());
  } else if (Arith::CompareMagnitude(da, db) >= 0) {
    SubtractMagnitudes(da, db, out);
    Arith::SetNegative(r, a.IsNegative());
  } else {
    SubtractMagnitudes(db, da, out);
    Arith::SetNegative(r, b.IsNegative());
  }
  Arith::Trim(r);
  return r;
}

DecimalRegister Subtract(const DecimalRegister& a, const DecimalRegister& b,
                         DecimalStatus* status) {
  return Add(a, b.Negated(), status);
}

DecimalRegister Multiply(const DecimalRegister& a, const DecimalRegister& b,
                         DecimalStatus* status) {
  // The full product of the two scaled integers has 128 positions; the
  // register's value is that product divided by 10^32.
  const Digits& da = Arith::DigitsOf(a);
  const Digits& db = Arith::DigitsOf(b);
  std::array<std::uint32_t, 2 * kN> product{};
  for (int i = a.Lowest(); i <= a.Highest(); ++i) {
    if (da[i] == 0) continue;
    for (int j = b.Lowest(); j <= b.Highest(); ++j) {
      product[static_cast<std::size_t>(i + j)] += static_cast<std::uint32_t>(da[i] * db[j]);
    }
  }
  std::uint32_t carry = 0;
  for (std::uint32_t& column : product) {
    column += carry;
    carry = column / 10;
    column %= 10;
  }
  DecimalRegister r;
  Digits& out = Arith::DigitsOf(r);
  for (int p = 0; p < kN; ++p) out[p] = static_cast<std::uint8_t>(product[p + kUnits]);
  bool overflow = std::any_of(product.begin() + kUnits + kN, product.end(),
                              [](std::uint32_t x) { return x != 0; });
  if (product[kUnits - 1] >= 5) overflow = Arith::AddCarry(out, 0, 1) || overflow;
  Flag(status, overflow);
  Arith::SetNegative(r, a.IsNegative() != b.IsNegative());
  Arith::Trim(r);
  return r;
}

DecimalRegister Divide(const DecimalRegister& a, const DecimalRegister& b, DecimalStatus* status) {
  if (b.IsZero()) {
    if (status != nullptr) status->division_by_zero = true;
    return DecimalRegister();
  }
  // Quotient of the scaled integers A·10^32 / B, by long division one
  // decimal digit at a time.  The remainder stays below 10·B, so 65 digits
  // hold it.
  constexpr int kWide = 2 * kN;
  const Digits& da = Arith::DigitsOf(a);
  const Digits& db = Arith::DigitsOf(b);
  std::array<std::uint8_t, kN + 1> divisor{};
  std::copy(db.begin(), db.end(), divisor.begin());
  int divisor_top = HighestNonZero(db);
  std::array<std::uint8_t, kN + 1> remainder{};
  std::array<std::uint8_t, kWide> quotient{};
  int remainder_top = -1;  // highest non-zero digit of the remainder

  auto remainder_not_below_divisor = [&]() {
    if (remainder_top != divisor_top) return remainder_top > divisor_top;
    for (int p = remainder_top; p >= 0; --p) {
      if (remainder[p] != divisor[p]) return remainder[p] > divisor[p];
    }
    return true;
  };
  auto subtract_divisor = [&]() {
    int borrow = 0;
    for (int p = 0; p <= remainder_top; ++p) {
      int diff = remainder[p] - divisor[p] - borrow;
      borrow = diff < 0 ? 1 : 0;
      remainder[p] = static_cast<std::uint8_t>(diff + 10 * borrow);
    }
    while (remainder_top >= 0 && remainder[remainder_top] == 0) --remainder_top;
  };

  int dividend_top = a.IsZero() ? -1 : a.Highest() + kUnits;
  for (int p = dividend_top; p >= 0; --p) {
    // remainder = remainder · 10 + next dividend digit
    for (int q = remainder_top; q >= 0; --q) remainder[q + 1] = remainder[q];
    remainder[0] = p >= kUnits ? da[p - kUnits] : 0;
    remainder_top = remainder_top >= 0 ? remainder_top + 1 : (remainder[0] != 0 ? 0 : -1);
    std::uint8_t digit = 0;
    while (remainder_not_below_divisor()) {
      subtract_divisor();
      ++digit;
    }
    quotient[p] = digit;
  }
  // Round half away from zero: up when 2·remainder ≥ divisor.
  std::array<std::uint8_t, kN + 2> twice{};
  int carry = 0;
  for (int p = 0; p <= kN; ++p) {
    int sum = 2 * remainder[p] + carry;
    twice[p] = static_cast<std::uint8_t>(sum % 10);
    carry = sum / 10;
  }
  twice[kN + 1] = static_cast<std::uint8_t>(carry);
  bool round_up = true;
  for (int p = kN + 1; p >= 0; --p) {
    int divisor_digit = p <= kN ? divisor[p] : 0;
    if (twice[p] != divisor_digit) {
      round_up = twice[p] > divisor_digit;
      break;
    }
  }
  if (round_up) {
    for (int p = 0, up = 1; p < kWide && up != 0; ++p) {
      int sum = quotient[p] + up;
      quotient[p] = static_cast<std::uint8_t>(sum % 10);
      up = sum / 10;
    }
  }
  DecimalRegister r;
  Digits& out = Arith::DigitsOf(r);
  std::copy(quotient.begin(), quotient.begin() + kN, out.begin());
  Flag(status,
       std::any_of(quotient.begin() + kN, quotient.end(), [](std::uint8_t x) { return x != 0; }));
  Arith::SetNegative(r, a.IsNegative() != b.IsNegative());
  Arith::Trim(r);
  return r;
}

int Compare(const DecimalRegister& a, const DecimalRegister& b) {
  bool a_negative = a.IsNegative() && !a.IsZero();
  bool b_negative = b.IsNegative() && !b.IsZero();
  if (a_negative != b_negative) return a_negative ? -1 : 1;
  int magnitude = Arith::CompareMagnitude(Arith::DigitsOf(a), Arith::DigitsOf(b));
  return a_negative ? -magnitude : magnitude;
}

bool DecimalFieldDigitsValid(std::span<const std::uint8_t> field, bool trailing_sign) {
  std::size_t nibbles = 2 * field.size();
  if (nibbles == 0) return true;
  std::size_t first = trailing_sign ? 0 : 1;
  std::size_t end = trailing_sign ? nibbles - 1 : nibbles;
  for (std::size_t k = first; k < end; ++k) {
    if (Nibble(field, k) > 9) return false;
  }
  return true;
}

bool DecimalStack::Push(const DecimalRegister& value) {
  if (size_ >= kCapacity) return false;
  registers_[static_cast<std::size_t>(size_++)] = value;
  return true;
}

bool DecimalStack::Pop(DecimalRegister* value) {
  if (size_ == 0) {
    if (value != nullptr) *value = DecimalRegister();
    return false;
  }
  --size_;
  if (value != nullptr) *value = registers_[static_cast<std::size_t>(size_)];
  return true;
}

DecimalRegister DecimalStack::Top() const {
  return size_ == 0 ? DecimalRegister() : registers_[static_cast<std::size_t>(size_ - 1)];
}

namespace {

template <typename Operation>
bool ApplyBinary(std::array<DecimalRegister, DecimalStack::kCapacity>& registers, int& size,
                 Operation operation) {
  if (size < 2) return false;
  DecimalRegister& a = registers[static_cast<std::size_t>(size - 2)];
  a = operation(a, registers[static_cast<std::size_t>(size - 1)]);
  --size;
  return true;
}

}  // namespace

bool DecimalStack::Add(DecimalStatus* status) {
  return ApplyBinary(registers_, size_,
                     [status](const auto& a, const auto& b) { return runtime::Add(a, b, status); });
}

bool DecimalStack::Subtract(DecimalStatus* status) {
  return ApplyBinary(registers_, size_, [status](const auto& a, const auto& b) {
    return runtime::Subtract(a, b, status);
  });
}

bool DecimalStack::Multiply(DecimalStatus* status) {
  return ApplyBinary(registers_, size_, [status](const auto& a, const auto& b) {
    return runtime::Multiply(a, b, status);
  });
}

bool DecimalStack::Divide(DecimalStatus* status) {
  return ApplyBinary(registers_, size_, [status](const auto& a, const auto& b) {
    return runtime::Divide(a, b, status);
  });
}

bool DecimalStack::Negate() {
  if (size_ == 0) return false;
  DecimalRegister& top = registers_[static_cast<std::size_t>(size_ - 1)];
  top = top.Negated();
  return true;
}

bool DecimalStack::Compare(int* result) {
  if (size_ < 2) return false;
  int order = runtime::Compare(registers_[static_cast<std::size_t>(size_ - 2)],
                               registers_[static_cast<std::size_t>(size_ - 1)]);
  size_ -= 2;
  if (result != nullptr) *result = order;
  return true;
}

DecimalStack& ProcessDecimalStack() {
  static DecimalStack stack;
  return stack;
}

}  // namespace tentaria::runtime
