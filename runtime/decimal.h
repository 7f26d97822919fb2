// Exact decimal arithmetic: the decimal register, the register
// stack, and the DECIMAL and PDECIMAL field layouts.
//
// A register holds 64 digit positions, one decimal digit each; position 32 is
// the units digit, position 32 + k is 10^k and 32 − k is 10^−k, so a register
// holds up to 32 integer and 32 fractional digits.  With a separate sign and
// the lowest and highest used positions it is a plain value type.
//
// Rules settled here:
//
// - Overflow.  A register keeps the low 32 integer digits of a result, as a
//   field keeps its low digits when it is stored: digits that would fall
//   above position 63 (10^31) are dropped.  Nothing is raised; operations
//   that can overflow set `DecimalStatus::overflow` when the caller passes a
//   status.
// - Digits below position 0 (10^−32) that an operation produces (a product,
//   a quotient, a text with more fractional digits) are rounded half away
//   from zero at position 0, the same rule as storing into a field.  So a
//   product is exact within the register except for that one rounding, and a
//   quotient is the exact quotient rounded half away from zero to 32
//   fractional digits.
// - Division by zero gives 0 (the runtimes of this kind do the same) and
//   sets `DecimalStatus::division_by_zero`.
// - Zero is always positive.
// - Register equality (operator==) compares values; the used range is
//   bookkeeping and does not take part.
#ifndef TENTARIA_RUNTIME_DECIMAL_H_
#define TENTARIA_RUNTIME_DECIMAL_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tentaria::runtime {

// Conditions met by one or more operations.  Operations only ever set a
// flag, so one status can collect a whole computation.
struct DecimalStatus {
  bool overflow = false;          // high digits dropped, or NaN/infinity given
  bool division_by_zero = false;  // a quotient was taken as 0
};

class DecimalRegister {
 public:
  static constexpr int kPositions = 64;
  static constexpr int kUnits = 32;
  static constexpr int kMaxDecimals = 32;

  // Zero: positive, used range the units position alone.
  DecimalRegister() = default;

  static DecimalRegister FromInt64(std::int64_t value);

  // The shortest decimal text that reads back as `value` (so 0.1 gives 0.1,
  // not the binary expansion), taken as a text would be.  NaN and infinities
  // give 0 and set the overflow flag.
  static DecimalRegister FromDouble(double value, DecimalStatus* status = nullptr);

  // Text to decimal: leading blanks are skipped; one "-" (or "+") sign;
  // digits; "." or "," as the decimal point followed by the fraction digits;
  // then "E" or "e", an optional sign and digits scale by a power of ten (the
  // exponent is taken only when at least one digit follows it).  Reading
  // stops at the first byte that cannot continue the number; the value is
  // what was read up to there, and 0 when no digit was read.  `length`
  // receives the count of bytes read (blanks and sign included), or 0 when
  // no digit was read, so a caller can tell garbage and trailing text apart.
  // More than 32 integer digits: the high digits are dropped (overflow flag);
  // more than 32 fractional digits: rounded half away from zero.
  static DecimalRegister FromText(std::string_view text, std::size_t* length = nullptr,
                                  DecimalStatus* status = nullptr);

  // Loading a field of `field.size()` bytes with `decimals` decimals: the
  // lowest used position is 32 − decimals, the highest 2 × bytes − decimals
  // + 30.  DECIMAL: sign in the first byte's high nibble (any non-zero nibble
  // is negative), then the digits.  PDECIMAL: the digits, then the sign in
  // the last byte's low nibble (D is negative, any other nibble positive).
  // A digit nibble above 9 is read as 0 (see DecimalFieldDigitsValid);
  // digits whose position falls outside the register are ignored.
  static DecimalRegister LoadDecimal(std::span<const std::uint8_t> field, int decimals);
  static DecimalRegister LoadPDecimal(std::span<const std::uint8_t> field, int decimals);

  // Storing into a field of `field.size()` bytes with `decimals` decimals:
  // rounded half away from zero at the field's lowest position (a carry may
  // add a digit); digits above the field's highest position are dropped
  // silently, missing high digits are written as zeros; the sign is written
  // F (DECIMAL) or D (PDECIMAL) for a negative value, 0 (DECIMAL) or F
  // (PDECIMAL) for a positive one, and a value whose stored digits are all
  // zero is written positive.
  void StoreDecimal(std::span<std::uint8_t> field, int decimals) const;
  void StorePDecimal(std::span<std::uint8_t> field, int decimals) const;

  // Truncates towards zero; beyond the range of int64 gives its limit.
  std::int64_t ToInt64() const;
  // The double nearest to the value.
  double ToDouble() const;

  // "-" for a negative value, the integer digits without leading zeros (at
  // least "0"), and when the used range reaches below the units position a
  // "." and the fraction digits down to the lowest used position.  A loaded
  // field keeps its decimals ("1.50"); a computed value has no trailing
  // zeros ("1.5").
  std::string ToText() const;
  // Rounded half away from zero to `decimals` (0 to 32) and written with
  // exactly that many fraction digits; no "." when `decimals` is 0.
  std::string ToText(int decimals) const;

  bool IsZero() const;
  bool IsNegative() const { return negative_; }
  // The digit at a position 0 to 63; 0 for any other position.
  int Digit(int position) const;
  int Lowest() const { return lowest_; }
  int Highest() const { return highest_; }

  DecimalRegister Negated() const;
  // Rounded half away from zero, or truncated towards zero, to `decimals`
  // fraction digits; `decimals` is taken within 0 to 32.
  DecimalRegister Rounded(int decimals, DecimalStatus* status = nullptr) const;
  DecimalRegister Truncated(int decimals) const;

  friend bool operator==(const DecimalRegister& a, const DecimalRegister& b);

 private:
  friend class DecimalArithmetic;

  // Sets the used range to the non-zero digits (32..32 for zero) and makes
  // a zero positive.
  void Trim();

  std::array<std::uint8_t, kPositions> digits_{};
  bool negative_ = false;
  std::int8_t lowest_ = kUnits;
  std::int8_t highest_ = kUnits;
};

DecimalRegister Add(const DecimalRegister& a, const DecimalRegister& b,
                    DecimalStatus* status = nullptr);
DecimalRegister Subtract(const DecimalRegister& a, const DecimalRegister& b,
                         DecimalStatus* status = nullptr);
DecimalRegister Multiply(const DecimalRegister& a, const DecimalRegister& b,
                         DecimalStatus* status = nullptr);
// a / b; see the rules at the top of this file.
DecimalRegister Divide(const DecimalRegister& a, const DecimalRegister& b,
                       DecimalStatus* status = nullptr);
// −1, 0 or 1 as a is less than, equal to or greater than b.
int Compare(const DecimalRegister& a, const DecimalRegister& b);

// Whether every digit nibble of a DECIMAL (trailing_sign false) or PDECIMAL
// (trailing_sign true) field is 0 to 9; for checking files.
bool DecimalFieldDigitsValid(std::span<const std::uint8_t> field, bool trailing_sign);

// The register stack: a fixed number of registers that the evaluator uses
// for decimal expressions.  Misuse never touches memory outside the stack:
// a push onto a full stack and an operation with too few operands return
// false and leave the stack unchanged.
class DecimalStack {
 public:
  static constexpr int kCapacity = 32;

  int Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  void Clear() { size_ = 0; }

  bool Push(const DecimalRegister& value);
  // Removes the top into *value (which may be null); false when empty, and
  // *value is then set to zero.
  bool Pop(DecimalRegister* value);
  // The top register; zero when the stack is empty.
  DecimalRegister Top() const;

  // Replace the two top registers (a below b) by a op b.
  bool Add(DecimalStatus* status = nullptr);
  bool Subtract(DecimalStatus* status = nullptr);
  bool Multiply(DecimalStatus* status = nullptr);
  bool Divide(DecimalStatus* status = nullptr);
  // Negates the top register.
  bool Negate();
  // Pops b then a and sets *result to Compare(a, b).
  bool Compare(int* result);

 private:
  std::array<DecimalRegister, kCapacity> registers_{};
  int size_ = 0;
};

// The process-wide register stack (used by one thread at a time).
DecimalStack& ProcessDecimalStack();

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_DECIMAL_H_
