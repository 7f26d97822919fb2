// Reading typed text back through date (@D) and time (@T) pictures.
//
// The text is read as runs of digits and runs of letters; anything else
// separates them, so extra blanks, other separators and a month name
// shorter than its positions are all read alike.  The runs of digits go to
// the picture's components in the picture's order.  When there are fewer
// runs than components but the digits together have exactly the width of
// the components (or a single run is shorter than that), the digits are
// split by the components' widths, right-aligned: "050314" reads as
// 05/03/14, "930" as 09:30.
#ifndef TENTARIA_RUNTIME_PICTURE_DATE_TIME_DEFORMAT_H_
#define TENTARIA_RUNTIME_PICTURE_DATE_TIME_DEFORMAT_H_

#include <cstdint>
#include <string_view>

#include "runtime/picture.h"

namespace tentaria::runtime {

// The day number; 0 when nothing was typed; -1 when the typed date does
// not exist.  A month name is recognised by its first three letters
// (without regard to case); a picture with a month name also takes a month
// number typed in its place.  A two-digit year is expanded with the
// picture's window; a picture without a day takes day 1.
int64_t DeformatDatePicture(std::string_view text, const CompiledPicture& picture);

// The time value; 0 when nothing was typed or every part is 0; -1 for an
// hour of 24 or more, or minutes or seconds of 60 or more.  A word whose
// first letter is that of the PM text adds 12 to an hour below 12; one
// that starts like the AM text turns 12 into 0.
int64_t DeformatTimePicture(std::string_view text, const CompiledPicture& picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_DATE_TIME_DEFORMAT_H_
