// Dates and times as plain integers, the date functions and the
// packed storage forms of the DATE and TIME field types.
//
// A DayNumber counts days since 28 December 1800: day 4 is 1 January 1801,
// day 72687 is 1 January 2000, day 2994626 is 31 December 9999; 0 is the
// empty date.  A TimeValue counts centiseconds since midnight plus one: 1 is
// 00:00:00.00, 8640000 is 23:59:59.99; 0 is the empty time.
//
// The calendar is the proleptic Gregorian one.  The runtime's tables keep a
// day-length table whose February entry is set whenever a year is taken for
// a conversion; here month lengths are computed for the year at hand, which
// gives the same results without shared state.
#ifndef TENTARIA_RUNTIME_DATE_TIME_H_
#define TENTARIA_RUNTIME_DATE_TIME_H_

#include <cstdint>
#include <string>

namespace tentaria::runtime {

using DayNumber = int32_t;
using TimeValue = int32_t;

inline constexpr DayNumber kFirstDayNumber = 4;       // 1 January 1801
inline constexpr DayNumber kLastDayNumber = 2994626;  // 31 December 9999
inline constexpr TimeValue kLastTimeValue = 8640000;  // 23:59:59.99
inline constexpr int kFirstYear = 1801;
inline constexpr int kLastYear = 9999;
inline constexpr int kDefaultYearWindow = 80;

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct TimeParts {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  int hundredths = 0;
};

bool IsLeapYear(int year);
// Days in month (1-12) of year; 0 for a month out of range.
int MonthLength(int month, int year);

// Two-digit years.  With the current year C and window P, y (0-99) becomes
// the year with last two digits y in C - P .. C - P + 99.  A year outside
// 0-99 is returned unchanged.  The second form takes C from the local clock.
int ExpandTwoDigitYear(int year, int window, int current_year);
int ExpandTwoDigitYear(int year, int window = kDefaultYearWindow);

// DayNumber -> parts.  False (and all parts 0) outside 4..2994626.
bool DayNumberToParts(DayNumber day_number, DateParts* parts);
// Parts -> DayNumber.  A year of 0-99 is first expanded with window 80;
// then the date must lie in 1801-9999 with month 1-12 and day 1 to the
// month's length, else -1.  No normalisation (see Date).
DayNumber PartsToDayNumber(int year, int month, int day);

// TimeValue -> parts.  False (and all parts 0) for 0 and anything outside
// 1..8640000.
bool TimeValueToParts(TimeValue time, TimeParts* parts);
// Parts -> TimeValue: all parts 0 gives 0 (the empty time: midnight cannot
// be told from "no time" in parts form); hours > 23, minutes > 59,
// seconds > 59, hundredths > 99 or any negative part gives -1.
TimeValue PartsToTimeValue(int hours, int minutes, int seconds, int hundredths);

// DATE(month, day, year).  The year (0-99 expanded with window 80) is
// normalised with the month: months above 12 carry into the years; then
// days above the month's length carry into the following months (February
// by the leap rule of the year reached at that point).  A normalised date
// outside 1801-9999 gives -1.  Only carrying upwards is defined: a
// month or day below 1 gives -1.
DayNumber Date(int month, int day, int year);

// DAY, MONTH, YEAR: the parts of a day number, 0 for an invalid one.
int Day(DayNumber day_number);
int Month(DayNumber day_number);
int Year(DayNumber day_number);

// AGE(birth, base): "N DAYS" below 61 days, "N MOS" up to 24 months, else
// "N YRS".  A birth after base is first taken 100 years earlier; still after
// base, or not a valid date then, gives 255 asterisks.  An invalid birth or
// base day number also gives 255 asterisks.  The first form uses TODAY.
std::string Age(DayNumber birth);
std::string Age(DayNumber birth, DayNumber base);

// TODAY: the local date (-1 when the clock's date lies outside 1801-9999).
DayNumber Today();
// CLOCK: the local time (hours, minutes, seconds, milliseconds / 10),
// converted as PartsToTimeValue does.  So at exactly 00:00:00.00 CLOCK
// gives 0, not 1: the runtime treats midnight in parts form as the empty
// time throughout (typed "00:00" deformats to 0 as well).
TimeValue Clock();
// Centiseconds since the program started (profiling).
int64_t ElapsedClock();

// Packed forms, 4 bytes each (little-endian in a record):
//   date: year * 65536 + month * 256 + day   (byte 0 day, 1 month, 2-3 year)
//   time: hours * 16777216 + minutes * 65536 + seconds * 256 + hundredths
// Packing an invalid DayNumber / TimeValue gives 0.  Unpacking a date
// normalises it as Date does and gives 0 (not -1) for a date outside
// 1801-9999, for a month or day of 0, and for the empty packed value 0.
// Unpacking a time converts its parts as PartsToTimeValue does (all zero
// gives 0, a part out of range -1).
uint32_t PackDate(DayNumber day_number);
DayNumber UnpackDate(uint32_t packed);
uint32_t PackTime(TimeValue time);
TimeValue UnpackTime(uint32_t packed);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_DATE_TIME_H_
