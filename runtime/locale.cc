#include "runtime/locale.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/profile.h"
#include "runtime/environment_file.h"

namespace tentaria::runtime {
namespace {

constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
constexpr size_t kMaxTimeSeparator = 3;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDateLetter(char c) {
  c = LowerAscii(c);
  return c == 'd' || c == 'm' || c == 'y';
}

// A run of one date letter ("dd", "MMMM", "yyyy") outside quotes.
struct LetterRun {
  char letter;  // lower case
  size_t start;
  size_t length;
};

std::vector<LetterRun> LetterRuns(std::string_view format) {
  std::vector<LetterRun> runs;
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c == '\'') {
      size_t close = format.find('\'', i + 1);
      i = close == std::string_view::npos ? format.size() : close + 1;
    } else if (IsDateLetter(c)) {
      size_t start = i;
      char letter = LowerAscii(c);
      while (i < format.size() && LowerAscii(format[i]) == letter) ++i;
      runs.push_back(LetterRun{letter, start, i - start});
    } else {
      ++i;
    }
  }
  return runs;
}

bool HasRun(const std::vector<LetterRun>& runs, char letter, size_t min_length, size_t max_length) {
  for (const LetterRun& run : runs) {
    if (run.letter == letter && run.length >= min_length && run.length <= max_length) return true;
  }
  return false;
}

PicturePart Digits(PicturePartKind kind, int width, bool zero_fill) {
  return PicturePart{kind, width, zero_fill, {}};
}

PicturePart Text(PicturePartKind kind, std::string text) {
  int width = static_cast<int>(text.size());
  return PicturePart{kind, width, true, std::move(text)};
}

LocalePicture BuildTimePicture(const IntlSettings& intl, bool seconds) {
  LocalePicture picture;
  std::string separator = intl.s_time.substr(0, kMaxTimeSeparator);
  picture.parts.push_back(Digits(PicturePartKind::kHour, 2, intl.i_tl_zero != 0));
  if (!separator.empty()) picture.parts.push_back(Text(PicturePartKind::kSeparator, separator));
  picture.parts.push_back(Digits(PicturePartKind::kMinute, 2, true));
  if (seconds) {
    if (!separator.empty()) picture.parts.push_back(Text(PicturePartKind::kSeparator, separator));
    picture.parts.push_back(Digits(PicturePartKind::kSecond, 2, true));
  }
  if (intl.i_time == 0) {
    picture.parts.push_back(Text(PicturePartKind::kLiteral, " "));
    picture.parts.push_back(PicturePart{PicturePartKind::kAmPm, 2, true, {}});
  }
  return picture;
}

}  // namespace

IntlSettings ReadIntlSettings() {
  IntlSettings defaults;
  IntlSettings intl;
  intl.i_time = platform::ReadProfileInt("intl", "iTime", defaults.i_time);
  intl.i_tl_zero = platform::ReadProfileInt("intl", "iTLzero", defaults.i_tl_zero);
  intl.s_time = platform::ReadProfileString("intl", "sTime", defaults.s_time);
  intl.s1159 = platform::ReadProfileString("intl", "s1159", defaults.s1159);
  intl.s2359 = platform::ReadProfileString("intl", "s2359", defaults.s2359);
  intl.s_short_date = platform::ReadProfileString("intl", "sShortDate", defaults.s_short_date);
  intl.s_long_date = platform::ReadProfileString("intl", "sLongDate", defaults.s_long_date);
  return intl;
}

int LocalePicture::Width() const {
  int width = 0;
  for (const PicturePart& part : parts) width += part.width;
  return width;
}

LocalePicture BuildT7Picture(const IntlSettings& intl) { return BuildTimePicture(intl, false); }

LocalePicture BuildT8Picture(const IntlSettings& intl) { return BuildTimePicture(intl, true); }

LocalePicture BuildD17Picture(const IntlSettings& intl) {
  const std::string& format = intl.s_short_date;
  std::vector<LetterRun> runs = LetterRuns(format);

  char first = format.empty() ? '\0' : LowerAscii(format[0]);
  PicturePart day = Digits(PicturePartKind::kDay, 2, HasRun(runs, 'd', 2, SIZE_MAX));
  PicturePart month = Digits(PicturePartKind::kMonth, 2, HasRun(runs, 'm', 2, SIZE_MAX));
  PicturePart year = Digits(PicturePartKind::kYear, HasRun(runs, 'y', 4, SIZE_MAX) ? 4 : 2, true);

  char separator = '/';
  std::optional<size_t> after_month;
  for (const LetterRun& run : runs) {
    if (run.letter == 'm') after_month = run.start + run.length;
  }
  if (after_month) {
    size_t at = *after_month;
    if (at < format.size() && format[at] == '\'') ++at;
    if (at < format.size() && format[at] != '\'' && !IsDateLetter(format[at])) {
      separator = format[at];
    }
  }
  PicturePart sep = Text(PicturePartKind::kSeparator, std::string(1, separator));

  LocalePicture picture;
  if (first == 'd') {
    picture.parts = {day, sep, month, sep, year};
  } else if (first == 'y') {
    picture.parts = {year, sep, month, sep, day};
  } else {
    picture.parts = {month, sep, day, sep, year};
  }
  return picture;
}

LocalePicture BuildD18Picture(const IntlSettings& intl) {
  std::vector<LetterRun> runs = LetterRuns(intl.s_long_date);
  PicturePart day = Digits(PicturePartKind::kDay, 2, HasRun(runs, 'd', 2, 2));
  PicturePart month = Digits(PicturePartKind::kMonthName, 12, true);
  PicturePart year = Digits(PicturePartKind::kYear, HasRun(runs, 'y', 4, SIZE_MAX) ? 4 : 2, true);

  std::vector<char> order;
  for (const LetterRun& run : runs) {
    bool seen = false;
    for (char letter : order) seen = seen || letter == run.letter;
    if (!seen) order.push_back(run.letter);
  }
  for (char letter : {'d', 'm', 'y'}) {
    bool seen = false;
    for (char present : order) seen = seen || present == letter;
    if (!seen) order.push_back(letter);
  }

  LocalePicture picture;
  for (char letter : order) {
    if (!picture.parts.empty()) picture.parts.push_back(Text(PicturePartKind::kSeparator, " "));
    picture.parts.push_back(letter == 'd' ? day : letter == 'm' ? month : year);
  }
  return picture;
}

Locale::Locale() {
  for (int m = 0; m < 12; ++m) {
    month_names_[m] = kMonthNames[m];
    short_month_names_[m] = std::string(kMonthNames[m], kShortMonthNameLength);
  }
  am_text_ = "AM";
  pm_text_ = "PM";
  SetIntl(IntlSettings{});
}

const std::string& Locale::MonthName(int month) const {
  static const std::string empty;
  return month >= 1 && month <= 12 ? month_names_[month - 1] : empty;
}

const std::string& Locale::ShortMonthName(int month) const {
  static const std::string empty;
  return month >= 1 && month <= 12 ? short_month_names_[month - 1] : empty;
}

void Locale::SetMonthName(int month, std::string_view name) {
  if (month < 1 || month > 12) return;
  month_names_[month - 1] = std::string(name.substr(0, kMonthNameLength));
}

void Locale::SetShortMonthName(int month, std::string_view name) {
  if (month < 1 || month > 12) return;
  short_month_names_[month - 1] = std::string(name.substr(0, kShortMonthNameLength));
}

void Locale::SetAmPm(std::string_view am, std::string_view pm) {
  am_text_ = std::string(am.substr(0, kAmPmLength));
  pm_text_ = std::string(pm.substr(0, kAmPmLength));
}

void Locale::SetIntl(const IntlSettings& intl) {
  intl_ = intl;
  t7_ = BuildT7Picture(intl_);
  t8_ = BuildT8Picture(intl_);
  d17_ = BuildD17Picture(intl_);
  d18_ = BuildD18Picture(intl_);
}

std::string Locale::windows_am_text() const { return intl_.s1159.substr(0, kAmPmLength); }

std::string Locale::windows_pm_text() const { return intl_.s2359.substr(0, kAmPmLength); }

void Locale::SetMessageOverride(int number, std::string_view text) {
  message_overrides_[number] = std::string(text);
}

const std::string* Locale::MessageOverride(int number) const {
  auto it = message_overrides_.find(number);
  return it == message_overrides_.end() ? nullptr : &it->second;
}

Locale& CurrentLocale() {
  static Locale locale;
  return locale;
}

void ResetLocale() { CurrentLocale() = Locale(); }

void InitLocale(std::string_view program_path) {
  ResetLocale();
  CurrentLocale().SetIntl(ReadIntlSettings());
  LoadDefaultEnvironmentFile(program_path);
}

const std::string* FindMessageOverride(int number) {
  return CurrentLocale().MessageOverride(number);
}

}  // namespace tentaria::runtime
