#include "runtime/picture_date_time_format.h"

#include <array>
#include <limits>
#include <string>

#include "platform/charset.h"
#include "runtime/date_time.h"
#include "runtime/locale.h"

namespace tentaria::runtime {
namespace {

// The digit components in position-code order: month, day, year (codes
// 7-9) and hour, minute, second (codes 11-13).
int ComponentOf(PositionCode code) {
  switch (code) {
    case PositionCode::kMonthDigit:
      return 0;
    case PositionCode::kDayDigit:
      return 1;
    case PositionCode::kYearDigit:
      return 2;
    case PositionCode::kHourDigit:
      return 3;
    case PositionCode::kMinuteDigit:
      return 4;
    case PositionCode::kSecondDigit:
      return 5;
    default:
      return -1;
  }
}

constexpr int kComponents = 6;

struct ComponentValues {
  std::array<int, kComponents> value{};
  std::array<int, kComponents> width{};
};

void CountWidths(const CompiledPicture& picture, ComponentValues* values) {
  for (int i = 0; i < picture.width(); ++i) {
    const int component = ComponentOf(picture.Code(i));
    if (component >= 0) ++values->width[static_cast<size_t>(component)];
  }
}

// Digit `index` (from the left) of `value` written in `width` digits, the
// value taken modulo 10^width; a leading zero shows `fill`.
char ComponentDigit(int value, int width, int index, char fill) {
  std::string digits(static_cast<size_t>(width), '0');
  for (int i = width - 1; i >= 0 && value > 0; --i) {
    digits[static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  const size_t first_significant = digits.find_first_not_of('0');
  const bool leading = index < width - 1 && (first_significant == std::string::npos ||
                                             first_significant > static_cast<size_t>(index));
  return leading ? fill : digits[static_cast<size_t>(index)];
}

bool UsesCapitals(int format_number) {
  return format_number == 3 || format_number == 7 || format_number == 8;
}

// Lays the picture out for valid component values; `valid` false blanks
// every digit, name and marker position.
std::string LayOut(const CompiledPicture& picture, const ComponentValues& values, bool valid,
                   const std::string& month_name, const std::string& marker) {
  std::string out;
  std::array<int, kComponents> seen{};
  int name_index = 0;
  const int width = picture.width();
  for (int i = 0; i < width; ++i) {
    const PositionCode code = picture.Code(i);
    const char stored = static_cast<char>(picture.TemplateChar(i));
    const int component = ComponentOf(code);
    if (component >= 0) {
      const size_t c = static_cast<size_t>(component);
      out.push_back(valid ? ComponentDigit(values.value[c], values.width[c], seen[c], stored)
                          : ' ');
      ++seen[c];
    } else if (code == PositionCode::kMonthNameLetter) {
      if (!valid) {
        out.push_back(' ');
      } else if (name_index < static_cast<int>(month_name.size())) {
        out.push_back(month_name[static_cast<size_t>(name_index)]);
      }
      ++name_index;
    } else if (code == PositionCode::kAmPm) {
      out.push_back(valid && !marker.empty() ? marker[0] : ' ');
      out.push_back(valid && marker.size() > 1 ? marker[1] : ' ');
      ++i;
    } else {
      out.push_back(stored);
    }
  }
  out.resize(static_cast<size_t>(width), ' ');
  return out;
}

std::string MonthNameFor(int month, int format_number) {
  const Locale& locale = CurrentLocale();
  if (!UsesCapitals(format_number)) return locale.MonthName(month);
  std::string name = locale.ShortMonthName(month);
  for (char& c : name) c = static_cast<char>(platform::CharUpper(static_cast<unsigned char>(c)));
  return name;
}

bool HasMarker(const CompiledPicture& picture) {
  for (int i = 0; i < picture.width(); ++i) {
    if (picture.Code(i) == PositionCode::kAmPm) return true;
  }
  return false;
}

}  // namespace

std::string FormatDatePicture(int64_t day_number, const CompiledPicture& picture) {
  if (picture.blank_when_zero() && day_number == 0) {
    return std::string(static_cast<size_t>(picture.width()), ' ');
  }
  DateParts parts;
  const bool valid = day_number >= std::numeric_limits<DayNumber>::min() &&
                     day_number <= std::numeric_limits<DayNumber>::max() &&
                     DayNumberToParts(static_cast<DayNumber>(day_number), &parts);
  ComponentValues values;
  CountWidths(picture, &values);
  values.value[0] = parts.month;
  values.value[1] = parts.day;
  values.value[2] = parts.year;
  const std::string name = valid ? MonthNameFor(parts.month, picture.format_number()) : "";
  return LayOut(picture, values, valid, name, "");
}

std::string FormatTimePicture(int64_t time_value, const CompiledPicture& picture) {
  if (picture.blank_when_zero() && time_value == 0) {
    return std::string(static_cast<size_t>(picture.width()), ' ');
  }
  TimeParts parts;
  const bool valid = time_value >= 1 && time_value <= kLastTimeValue &&
                     TimeValueToParts(static_cast<TimeValue>(time_value), &parts);
  ComponentValues values;
  CountWidths(picture, &values);
  values.value[3] = parts.hours;
  values.value[4] = parts.minutes;
  values.value[5] = parts.seconds;
  std::string marker;
  if (HasMarker(picture)) {
    const Locale& locale = CurrentLocale();
    const bool afternoon = parts.hours >= 12;
    values.value[3] = parts.hours % 12 == 0 ? 12 : parts.hours % 12;
    if (picture.format_number() >= 7) {
      marker = afternoon ? locale.windows_pm_text() : locale.windows_am_text();
    } else {
      marker = afternoon ? locale.pm_text() : locale.am_text();
    }
  }
  return LayOut(picture, values, valid, "", marker);
}

}  // namespace tentaria::runtime
