// Formatting day numbers through date pictures (@D) and time values
// through time pictures (@T).  The result is exactly the picture's width:
// where a month name is shorter than its positions the text closes up and
// is padded with blanks at the end.
#ifndef TENTARIA_RUNTIME_PICTURE_DATE_TIME_FORMAT_H_
#define TENTARIA_RUNTIME_PICTURE_DATE_TIME_FORMAT_H_

#include <cstdint>
#include <string>

#include "runtime/picture.h"

namespace tentaria::runtime {

// An invalid day number (0 included) shows blanks in every digit and name
// position, separators and literals staying; with blank-when-zero a 0 shows
// all blanks.  Names: formats 3, 7 and 8 show the three-letter name in
// capitals, the others the full name as stored in the locale.
std::string FormatDatePicture(int64_t day_number, const CompiledPicture& picture);

// An invalid time (0 included) shows blanks in every digit and marker
// position; with blank-when-zero a 0 shows all blanks.  With an AM/PM
// marker the hour is on the 12-hour clock (0 shows 12).  Formats 7 and 8
// take the marker texts of the regional settings, the others the runtime's.
std::string FormatTimePicture(int64_t time_value, const CompiledPicture& picture);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_DATE_TIME_FORMAT_H_
