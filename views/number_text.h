// Numbers as text inside expressions: the string form of an integer or real
// value, and the numeric value of a text.
#ifndef TENTARIA_VIEWS_NUMBER_TEXT_H_
#define TENTARIA_VIEWS_NUMBER_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tentaria::views {

// Decimal, "-" for a negative value, no blanks or leading zeros.
std::string IntegerToText(std::int32_t value);
// At most 15 significant digits (what a double holds reliably), without
// trailing zeros or a trailing "."; integral values have no fraction ("3");
// exponent form only for very large or small magnitudes ("1e+20").
std::string RealToText(double value);

// The leading number of a text: blanks skipped, an optional sign, digits,
// "." or "," and fraction digits, and an exponent ("E" or "e", optional sign,
// digits).  A text without a leading number is 0.
double TextToReal(std::string_view text);
// Whether the whole text (blanks around it allowed) is one number as read
// by TextToReal.
bool IsNumericText(std::string_view text);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_NUMBER_TEXT_H_
