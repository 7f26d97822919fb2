// The exact decimal that numeric pictures work on: any number of digits,
// so that a picture 254 positions wide, a DECIMAL of 64 digits or a real of
// 1e300 are all shown (or shown as overflow) without loss.
#ifndef TENTARIA_RUNTIME_PICTURE_NUMBER_H_
#define TENTARIA_RUNTIME_PICTURE_NUMBER_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tentaria::runtime {

struct PictureNumber {
  bool negative = false;
  // False for NaN and the infinities: such a value is shown as overflow.
  bool finite = true;
  // Significant digits without leading or trailing zeros; empty for zero.
  std::string digits;
  // value = 0.digits * 10^point
  int64_t point = 0;

  bool IsZero() const { return digits.empty(); }
  // Count of digits before the decimal point (0 for a value below 1).
  int64_t IntegerDigits() const;
  // The digit that stands for 10^power.
  int DigitAt(int64_t power) const;
  // Half away from zero to `decimals` fraction digits (decimals >= 0); a
  // carry may add a leading digit.  A value that rounds to zero is positive.
  void Round(int decimals);
};

// Reads a number from text: leading blanks, an optional sign, digits, "." or
// "," and fraction digits, then an optional exponent ("e" or "E", optional
// sign, digits).  Reading stops at the first byte that cannot continue the
// number; no digits reads as zero.  "nan" and "inf" (any case) read as not
// finite.  Exponents are taken up to a billion, which is far beyond any
// picture.
PictureNumber ParsePictureNumber(std::string_view text);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_NUMBER_H_
