// Formatting a value through a compiled picture (FORMAT, entry fields, list
// columns, reports).
#ifndef TENTARIA_RUNTIME_PICTURE_FORMAT_H_
#define TENTARIA_RUNTIME_PICTURE_FORMAT_H_

#include <string>

#include "runtime/picture.h"
#include "runtime/picture_value.h"

namespace tentaria::runtime {

// The text of exactly the picture's width; an empty text for an invalid
// picture.
//
// - String pictures show the value's text, cut or padded to the width.
// - Key-in pictures show the template's literals and put the value's
//   characters one by one into the other positions (so that reading the
//   text back gives the value again).
// - Numeric, pattern and scientific pictures read a number from the value's
//   text (a text that does not start with a number reads as 0).
// - Date and time pictures take the integer part of the number as a day
//   number or a time value.
std::string FormatPicture(const PictureValue& value, const CompiledPicture& picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_FORMAT_H_
