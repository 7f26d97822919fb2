#include "runtime/date_time.h"

#include "platform/clock.h"

namespace tentaria::runtime {
namespace {

constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Days of the months before month m (index m - 1) in a common year.
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// L(a): leap years from year 1 to a.
int64_t LeapYearsThrough(int64_t a) { return FloorDiv(a, 4) + FloorDiv(a, 400) - FloorDiv(a, 100); }

// D(y): days before year y.
int64_t DaysBeforeYear(int64_t y) { return 365 * y + LeapYearsThrough(y - 1); }

bool IsLeap64(int64_t year) { return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0); }

// The day number of a date whose month is 1-12 and day at least 1; the day
// may run past the end of the month (it then counts on into later months),
// and the year may be any value.  Wide enough for every int argument.
int64_t SerialDay(int64_t year, int month, int64_t day) {
  int64_t before_month = kDaysBeforeMonth[month - 1] + (month > 2 && IsLeap64(year) ? 1 : 0);
  return DaysBeforeYear(year) - DaysBeforeYear(kFirstYear) + before_month + day - 1 +
         kFirstDayNumber;
}

const std::string& Asterisks() {
  static const std::string text(255, '*');
  return text;
}

}  // namespace

bool IsLeapYear(int year) { return IsLeap64(year); }

int MonthLength(int month, int year) {
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kMonthLengths[month - 1];
}

int ExpandTwoDigitYear(int year, int window, int current_year) {
  if (year < 0 || year > 99) return year;
  int d = current_year % 100;
  int k = d - year;
  int result = year + current_year - d;
  if (k <= window - 100) {
    result -= 100;
  } else if (k > window) {
    result += 100;
  }
  return result;
}

int ExpandTwoDigitYear(int year, int window) {
  if (year < 0 || year > 99) return year;
  return ExpandTwoDigitYear(year, window, platform::GetLocalTime().year);
}

bool DayNumberToParts(DayNumber day_number, DateParts* parts) {
  *parts = DateParts{};
  if (day_number < kFirstDayNumber || day_number > kLastDayNumber) return false;
  int64_t a = day_number + DaysBeforeYear(kFirstYear) - kFirstDayNumber;
  int64_t y = a / 365;
  while (DaysBeforeYear(y) > a) --y;
  int day_of_year = static_cast<int>(a - DaysBeforeYear(y) + 1);
  int year = static_cast<int>(y);
  int month = 1;
  while (day_of_year > MonthLength(month, year)) {
    day_of_year -= MonthLength(month, year);
    ++month;
  }
  *parts = DateParts{year, month, day_of_year};
  return true;
}

DayNumber PartsToDayNumber(int year, int month, int day) {
  year = ExpandTwoDigitYear(year, kDefaultYearWindow);
  if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1 ||
      day > MonthLength(month, year)) {
    return -1;
  }
  return static_cast<DayNumber>(SerialDay(year, month, day));
}

bool TimeValueToParts(TimeValue time, TimeParts* parts) {
  *parts = TimeParts{};
  if (time < 1 || time > kLastTimeValue) return false;
  int t = time - 1;
  parts->hours = t / 360000;
  parts->minutes = t / 6000 % 60;
  parts->seconds = t / 100 % 60;
  parts->hundredths = t % 100;
  return true;
}

TimeValue PartsToTimeValue(int hours, int minutes, int seconds, int hundredths) {
  if (hours == 0 && minutes == 0 && seconds == 0 && hundredths == 0) return 0;
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 ||
      hundredths < 0 || hundredths > 99) {
    return -1;
  }
  return hours * 360000 + minutes * 6000 + seconds * 100 + hundredths + 1;
}

DayNumber Date(int month, int day, int year) {
  if (month < 1 || day < 1) return -1;
  int64_t full_year = ExpandTwoDigitYear(year, kDefaultYearWindow);
  full_year += (month - 1) / 12;
  int normal_month = (month - 1) % 12 + 1;
  // Carrying the days forward month by month ends where counting them on
  // from the first of the month does.
  int64_t n = SerialDay(full_year, normal_month, day);
  if (n < kFirstDayNumber || n > kLastDayNumber) return -1;
  return static_cast<DayNumber>(n);
}

int Day(DayNumber day_number) {
  DateParts parts;
  DayNumberToParts(day_number, &parts);
  return parts.day;
}

int Month(DayNumber day_number) {
  DateParts parts;
  DayNumberToParts(day_number, &parts);
  return parts.month;
}

int Year(DayNumber day_number) {
  DateParts parts;
  DayNumberToParts(day_number, &parts);
  return parts.year;
}

std::string Age(DayNumber birth) { return Age(birth, Today()); }

std::string Age(DayNumber birth, DayNumber base) {
  DateParts born, now;
  if (!DayNumberToParts(birth, &born) || !DayNumberToParts(base, &now)) return Asterisks();
  if (birth > base) {
    birth = PartsToDayNumber(born.year - 100, born.month, born.day);
    if (birth < 0 || birth > base) return Asterisks();
    born.year -= 100;
  }
  if (base - birth < 61) return std::to_string(base - birth) + " DAYS";
  int months = 12 * (now.year - born.year) + now.month - born.month;
  if (now.day < born.day) --months;
  if (months <= 24) return std::to_string(months) + " MOS";
  int years = now.year - born.year;
  if (now.month < born.month || (now.month == born.month && now.day < born.day)) --years;
  return std::to_string(years) + " YRS";
}

DayNumber Today() {
  platform::LocalTime now = platform::GetLocalTime();
  return PartsToDayNumber(now.year, now.month, now.day);
}

TimeValue Clock() {
  platform::LocalTime now = platform::GetLocalTime();
  return PartsToTimeValue(now.hour, now.minute, now.second, now.millisecond / 10);
}

int64_t ElapsedClock() { return platform::ElapsedHundredths(); }

uint32_t PackDate(DayNumber day_number) {
  DateParts parts;
  if (!DayNumberToParts(day_number, &parts)) return 0;
  return static_cast<uint32_t>(parts.year) * 65536u + static_cast<uint32_t>(parts.month) * 256u +
         static_cast<uint32_t>(parts.day);
}

DayNumber UnpackDate(uint32_t packed) {
  int year = static_cast<int>(packed >> 16);
  int month = static_cast<int>((packed >> 8) & 0xFF);
  int day = static_cast<int>(packed & 0xFF);
  DayNumber n = Date(month, day, year);
  return n < 0 ? 0 : n;
}

uint32_t PackTime(TimeValue time) {
  TimeParts parts;
  if (!TimeValueToParts(time, &parts)) return 0;
  return static_cast<uint32_t>(parts.hours) * 16777216u +
         static_cast<uint32_t>(parts.minutes) * 65536u +
         static_cast<uint32_t>(parts.seconds) * 256u + static_cast<uint32_t>(parts.hundredths);
}

TimeValue UnpackTime(uint32_t packed) {
  return PartsToTimeValue(static_cast<int>(packed >> 24), static_cast<int>((packed >> 16) & 0xFF),
                          static_cast<int>((packed >> 8) & 0xFF), static_cast<int>(packed & 0xFF));
}

}  // namespace tentaria::runtime
