// Reading typed text back through numeric (@N), pattern (@P) and
// scientific (@E) pictures.
#ifndef TENTARIA_RUNTIME_PICTURE_NUMERIC_DEFORMAT_H_
#define TENTARIA_RUNTIME_PICTURE_NUMERIC_DEFORMAT_H_

#include <string_view>

#include "runtime/picture.h"
#include "runtime/picture_value.h"

namespace tentaria::runtime {

// A text that lies on the template (as the picture shows it, or typed into
// its positions) is walked position by position: digits are collected,
// blanks and fill characters in digit positions count as 0, grouping,
// currency and literal positions are skipped, the point position gives
// the point, an implied point gives the point before its digit, and "-",
// "(" or ")" anywhere make the number negative.
//
// Any other text (typed left-aligned, without grouping, with extra blanks
// or letters) is read character by character: digits, the picture's point
// character and the signs count, everything else is skipped; in a picture
// with an implied point, digits typed without a point fill the decimals
// from the right.  Pattern pictures then take the digits alone.
//
// The result is a number text: "-" when negative, the integer digits
// without leading zeros, the fraction as typed, and for @E an exponent
// ("e-12").  No digits at all read as "0"; a text that shows overflow ("#"
// in a digit position) reads as the empty value.
PictureValue DeformatNumericPicture(std::string_view text, const CompiledPicture& picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_NUMERIC_DEFORMAT_H_
