#include "runtime/picture_date_time_compile.h"

#include <string>

#include "runtime/locale.h"
#include "runtime/picture_template.h"

namespace tentaria::runtime {
namespace {

constexpr int kLastDateFormat = 18;
constexpr int kLastTimeFormat = 8;
constexpr int kMaxWindowOption = 99;

using Kind = PicturePartKind;

PicturePart Digits(Kind kind, int width, bool zero_fill) { return {kind, width, zero_fill, ""}; }
PicturePart Separator(const char* text) {
  return {Kind::kSeparator, static_cast<int>(std::string(text).size()), true, text};
}
PicturePart Literal(const char* text) {
  return {Kind::kLiteral, static_cast<int>(std::string(text).size()), true, text};
}
PicturePart Name(int width) { return {Kind::kMonthName, width, true, ""}; }

// The fixed date formats 1 to 16.  "false" marks a part whose first digit
// is blank-filled.
LocalePicture DateFormat(int number) {
  const PicturePart month_blank = Digits(Kind::kMonth, 2, false);
  const PicturePart month = Digits(Kind::kMonth, 2, true);
  const PicturePart day_blank = Digits(Kind::kDay, 2, false);
  const PicturePart day = Digits(Kind::kDay, 2, true);
  const PicturePart year2 = Digits(Kind::kYear, 2, true);
  const PicturePart year4 = Digits(Kind::kYear, 4, true);
  const PicturePart slash = Separator("/");
  switch (number) {
    case 1:
      return {{month_blank, slash, day, slash, year2}};
    case 2:
      return {{month_blank, slash, day, slash, year4}};
    case 3:
      return {{Name(3), Literal(" "), day_blank, Separator(","), year4}};
    case 4:
      return {{Name(12), Literal(" "), day_blank, Separator(","), Literal(" "), year4}};
    case 5:
      return {{day_blank, slash, month, slash, year2}};
    case 6:
      return {{day_blank, slash, month, slash, year4}};
    case 7:
      return {{day_blank, Separator(" "), Name(3), Separator(" "), year2}};
    case 8:
      return {{day_blank, Separator(" "), Name(3), Separator(" "), year4}};
    case 9:
      return {{year2, slash, month, slash, day}};
    case 10:
      return {{year4, slash, month, slash, day}};
    case 11:
      return {{year2, month, day}};
    case 12:
      return {{year4, month, day}};
    case 13:
      return {{month, slash, year2}};
    case 14:
      return {{month, slash, year4}};
    case 15:
      return {{year2, slash, month}};
    case 16:
      return {{year4, slash, month}};
    case 17:
      return CurrentLocale().d17_picture();
    default:
      return CurrentLocale().d18_picture();
  }
}

LocalePicture TimeFormat(int number) {
  const PicturePart hour = Digits(Kind::kHour, 2, false);
  const PicturePart minute = Digits(Kind::kMinute, 2, true);
  const PicturePart second = Digits(Kind::kSecond, 2, true);
  const PicturePart colon = Separator(":");
  const PicturePart marker = {Kind::kAmPm, 2, true, ""};
  switch (number) {
    case 1:
      return {{hour, colon, minute}};
    case 2:
      return {{hour, minute}};
    case 3:
      return {{hour, colon, minute, marker}};
    case 4:
      return {{hour, colon, minute, colon, second}};
    case 5:
      return {{hour, minute, second}};
    case 6:
      return {{hour, colon, minute, colon, second, marker}};
    case 7:
      return CurrentLocale().t7_picture();
    default:
      return CurrentLocale().t8_picture();
  }
}

PositionCode DigitCode(Kind kind) {
  switch (kind) {
    case Kind::kHour:
      return PositionCode::kHourDigit;
    case Kind::kMinute:
      return PositionCode::kMinuteDigit;
    case Kind::kSecond:
      return PositionCode::kSecondDigit;
    case Kind::kDay:
      return PositionCode::kDayDigit;
    case Kind::kMonth:
      return PositionCode::kMonthDigit;
    default:
      return PositionCode::kYearDigit;
  }
}

// The options around the format number: [fill] number [<w | >w] [separator].
struct DateTimeOptions {
  char fill = '\0';  // the fill character shown, 0 when none was given
  int number = 0;
  int window = kDefaultPictureYearWindow;
  char separator = '\0';  // the separator shown, 0 when none was given
};

bool ParseOptions(std::string_view body, bool allow_window, DateTimeOptions* options) {
  PictureReader reader(body);
  const char fill = reader.Peek();
  if (fill == '0' || fill == '_' || fill == '*') {
    reader.Next();
    options->fill = fill == '_' ? ' ' : fill;
  }
  if (!reader.ReadNumber(&options->number)) return false;
  if (allow_window && (reader.Peek() == '<' || reader.Peek() == '>')) {
    const bool below = reader.Next() == '<';
    int w = 0;
    if (!reader.ReadNumber(&w) || w > kMaxWindowOption) return false;
    // A window option of 0 keeps the default window.
    if (w == 0) {
      options->window = kDefaultPictureYearWindow;
    } else {
      options->window = below ? w : kMaxWindowOption - w;
    }
  }
  if (!reader.AtEnd()) {
    options->separator = MapSeparator(reader.Next());
    if (options->separator == '\0') return false;
  }
  return reader.AtEnd();
}

void AddDigitPart(const PicturePart& part, char fill, TemplateBuilder* builder) {
  for (int i = 0; i < part.width; ++i) {
    char shown = (part.zero_fill || i > 0) ? '0' : ' ';
    if (fill != '\0') shown = fill;
    builder->Add(shown, DigitCode(part.kind));
  }
}

void AddPart(const PicturePart& part, const DateTimeOptions& options, const std::string& am_text,
             TemplateBuilder* builder) {
  switch (part.kind) {
    case Kind::kSeparator:
      for (int i = 0; i < part.width; ++i) {
        const char shown =
            i < static_cast<int>(part.text.size()) ? part.text[static_cast<size_t>(i)] : ' ';
        builder->Add(options.separator != '\0' ? options.separator : shown,
                     PositionCode::kDateSeparator);
      }
      break;
    case Kind::kLiteral:
      for (int i = 0; i < part.width; ++i) {
        builder->Add(
            i < static_cast<int>(part.text.size()) ? part.text[static_cast<size_t>(i)] : ' ',
            PositionCode::kLiteral);
      }
      break;
    case Kind::kMonthName:
      for (int i = 0; i < part.width; ++i) {
        builder->Add(options.fill != '\0' ? options.fill : ' ', PositionCode::kMonthNameLetter);
      }
      break;
    case Kind::kAmPm:
      builder->Add(am_text.empty() ? 'A' : am_text[0], PositionCode::kAmPm);
      builder->Add(am_text.size() < 2 ? 'M' : am_text[1], PositionCode::kLiteral);
      break;
    default:
      AddDigitPart(part, options.fill, builder);
      break;
  }
}

bool LayOut(const LocalePicture& format, const DateTimeOptions& options, PictureKind kind,
            bool blank_when_zero, const std::string& am_text, CompiledPicture* picture) {
  TemplateBuilder builder;
  for (const PicturePart& part : format.parts) AddPart(part, options, am_text, &builder);
  CompiledPicture result;
  if (!builder.Finish(kind, blank_when_zero, &result)) return false;
  result.set_window(options.window);
  result.set_format_number(options.number);
  *picture = result;
  return true;
}

}  // namespace

bool CompileDatePicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture) {
  DateTimeOptions options;
  if (!ParseOptions(body, true, &options)) return false;
  if (options.number < 1 || options.number > kLastDateFormat) return false;
  return LayOut(DateFormat(options.number), options, PictureKind::kDate, blank_when_zero, "",
                picture);
}

bool CompileTimePicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture) {
  DateTimeOptions options;
  if (!ParseOptions(body, false, &options)) return false;
  if (options.number < 1 || options.number > kLastTimeFormat) return false;
  const Locale& locale = CurrentLocale();
  const std::string am_text = options.number >= 7 ? locale.windows_am_text() : locale.am_text();
  return LayOut(TimeFormat(options.number), options, PictureKind::kTime, blank_when_zero, am_text,
                picture);
}

}  // namespace tentaria::runtime
