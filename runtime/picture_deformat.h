// Reading typed or formatted text back through a compiled picture
// (DEFORMAT, entry fields).  What FORMAT shows reads back to the value it
// showed.
#ifndef TENTARIA_RUNTIME_PICTURE_DEFORMAT_H_
#define TENTARIA_RUNTIME_PICTURE_DEFORMAT_H_

#include <string_view>

#include "runtime/picture.h"
#include "runtime/picture_value.h"

namespace tentaria::runtime {

// - Invalid picture: the empty value.
// - String picture: a text reduced to the characters that can form a
//   number: a "-" at the start or after "e"/"E", a "+" after "e"/"E", the
//   first "e"/"E", the first "." and the digits.
// - Key-in picture: the text, the characters typed into the picture's
//   input positions in order, the literals left out (a literal may be
//   typed or not), trailing blanks removed.  A digit position keeps only a
//   digit (anything else reads as a blank).
// - Numeric, pattern and scientific pictures: a number
//   (picture_numeric_deformat.h).
// - Date and time pictures: the day number or time value as a number
//   (picture_date_time_deformat.h).
PictureValue DeformatPicture(std::string_view text, const CompiledPicture& picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_DEFORMAT_H_
