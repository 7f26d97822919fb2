#include "runtime/picture_date_time_deformat.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "runtime/date_time.h"
#include "runtime/locale.h"

namespace tentaria::runtime {
namespace {

constexpr int kValueLimit = 100000;

struct Runs {
  std::vector<std::string> numbers;
  std::vector<std::string> words;
};

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return platform::IsCharAlpha(static_cast<unsigned char>(c)); }

Runs SplitRuns(std::string_view text) {
  Runs runs;
  size_t i = 0;
  while (i < text.size()) {
    const bool digit = IsDigitChar(text[i]);
    if (!digit && !IsLetter(text[i])) {
      ++i;
      continue;
    }
    std::string run;
    while (i < text.size() && (digit ? IsDigitChar(text[i]) : IsLetter(text[i]))) {
      run.push_back(text[i++]);
    }
    (digit ? runs.numbers : runs.words).push_back(std::move(run));
  }
  return runs;
}

int ValueOf(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = std::min(value * 10 + (c - '0'), kValueLimit);
  return value;
}

// A component of the picture in the order it appears: a code (one of the
// digit codes, or the month-name code) and its number of positions.
struct Slot {
  PositionCode code;
  int width;
};

std::vector<Slot> SlotsOf(const CompiledPicture& picture) {
  std::vector<Slot> slots;
  for (int i = 0; i < picture.width(); ++i) {
    const PositionCode code = picture.Code(i);
    switch (code) {
      case PositionCode::kMonthDigit:
      case PositionCode::kDayDigit:
      case PositionCode::kYearDigit:
      case PositionCode::kHourDigit:
      case PositionCode::kMinuteDigit:
      case PositionCode::kSecondDigit:
      case PositionCode::kMonthNameLetter:
        break;
      default:
        continue;
    }
    bool known = false;
    for (Slot& slot : slots) {
      if (slot.code == code) {
        ++slot.width;
        known = true;
      }
    }
    if (!known) slots.push_back({code, 1});
  }
  return slots;
}

// Gives each slot its typed value (-1 when nothing was typed for it).
std::vector<int> AssignNumbers(const std::vector<Slot>& slots,
                               const std::vector<std::string>& numbers) {
  std::vector<int> values(slots.size(), -1);
  size_t total_width = 0;
  std::string all_digits;
  for (const Slot& slot : slots) total_width += static_cast<size_t>(slot.width);
  for (const std::string& run : numbers) all_digits += run;
  const bool split =
      numbers.size() < slots.size() && (all_digits.size() == total_width ||
                                        (numbers.size() == 1 && all_digits.size() < total_width));
  if (split) {
    all_digits.insert(0, total_width - all_digits.size(), '0');
    size_t start = 0;
    for (size_t k = 0; k < slots.size(); ++k) {
      const size_t width = static_cast<size_t>(slots[k].width);
      values[k] = ValueOf(std::string_view(all_digits).substr(start, width));
      start += width;
    }
    return values;
  }
  for (size_t k = 0; k < slots.size() && k < numbers.size(); ++k) values[k] = ValueOf(numbers[k]);
  return values;
}

std::string Upper(std::string_view text) {
  std::string result;
  for (const char c : text) {
    result.push_back(static_cast<char>(platform::CharUpper(static_cast<unsigned char>(c))));
  }
  return result;
}

// The month (1-12) whose three-letter name (or the first three letters of
// its full name) the word starts with; 0 for none.
int MonthOfWord(const std::string& word) {
  const Locale& locale = CurrentLocale();
  const std::string typed = Upper(word);
  for (int month = 1; month <= 12; ++month) {
    for (const std::string& name : {locale.ShortMonthName(month), locale.MonthName(month)}) {
      const std::string prefix = Upper(name.substr(0, 3));
      if (!prefix.empty() && typed.compare(0, prefix.size(), prefix) == 0) return month;
    }
  }
  return 0;
}

int ValueOrZero(int value) { return value < 0 ? 0 : value; }

}  // namespace

int64_t DeformatDatePicture(std::string_view text, const CompiledPicture& picture) {
  const Runs runs = SplitRuns(text);
  std::vector<Slot> slots = SlotsOf(picture);
  int named_month = 0;
  for (const std::string& word : runs.words) {
    named_month = MonthOfWord(word);
    if (named_month != 0) break;
  }
  // Without a recognised name, a month number may stand in the name's
  // place, when enough numbers were typed for every slot.
  const bool number_for_name = named_month == 0 && runs.numbers.size() >= slots.size();
  std::vector<Slot> number_slots;
  for (const Slot& slot : slots) {
    if (slot.code != PositionCode::kMonthNameLetter || number_for_name)
      number_slots.push_back(slot);
  }
  const std::vector<int> values = AssignNumbers(number_slots, runs.numbers);
  int month = named_month;
  int day = -1;
  int year = -1;
  bool has_day = false;
  for (size_t k = 0; k < number_slots.size(); ++k) {
    switch (number_slots[k].code) {
      case PositionCode::kMonthDigit:
      case PositionCode::kMonthNameLetter:
        month = values[k] < 0 ? month : values[k];
        break;
      case PositionCode::kDayDigit:
        has_day = true;
        day = values[k];
        break;
      default:
        year = values[k];
        break;
    }
  }
  for (const Slot& slot : slots) has_day = has_day || slot.code == PositionCode::kDayDigit;
  if (month <= 0 && day < 0 && year < 0) return 0;
  if (!has_day) day = 1;
  year = ValueOrZero(year);
  if (year < 100) year = ExpandTwoDigitYear(year, picture.window());
  return PartsToDayNumber(year, ValueOrZero(month), ValueOrZero(day));
}

int64_t DeformatTimePicture(std::string_view text, const CompiledPicture& picture) {
  const Runs runs = SplitRuns(text);
  const std::vector<Slot> slots = SlotsOf(picture);
  const std::vector<int> values = AssignNumbers(slots, runs.numbers);
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  bool typed = false;
  for (size_t k = 0; k < slots.size(); ++k) {
    typed = typed || values[k] >= 0;
    const int value = ValueOrZero(values[k]);
    if (slots[k].code == PositionCode::kHourDigit) hours = value;
    if (slots[k].code == PositionCode::kMinuteDigit) minutes = value;
    if (slots[k].code == PositionCode::kSecondDigit) seconds = value;
  }
  bool has_marker = false;
  for (int i = 0; i < picture.width(); ++i) {
    has_marker = has_marker || picture.Code(i) == PositionCode::kAmPm;
  }
  if (has_marker && !runs.words.empty()) {
    const Locale& locale = CurrentLocale();
    const bool windows = picture.format_number() >= 7;
    const std::string am = Upper(windows ? locale.windows_am_text() : locale.am_text());
    const std::string pm = Upper(windows ? locale.windows_pm_text() : locale.pm_text());
    const std::string word = Upper(runs.words.front());
    const auto starts_with = [&word](const std::string& marker) {
      return !marker.empty() && word.compare(0, marker.size(), marker) == 0;
    };
    // The whole marker decides first, so texts that share a first letter
    // still tell morning from afternoon.
    const bool afternoon = starts_with(pm) || (!starts_with(am) && !pm.empty() && word[0] == pm[0]);
    const bool morning = !afternoon && !am.empty() && word[0] == am[0];
    if (afternoon && hours < 12) hours += 12;
    if (morning && hours == 12) hours = 0;
  }
  if (!typed) return 0;
  if (hours >= 24 || minutes >= 60 || seconds >= 60) return -1;
  return PartsToTimeValue(hours, minutes, seconds, 0);
}

}  // namespace tentaria::runtime
