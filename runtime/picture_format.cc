#include "runtime/picture_format.h"

#include "runtime/picture_date_time_format.h"
#include "runtime/picture_number.h"
#include "runtime/picture_numeric_format.h"

namespace tentaria::runtime {
namespace {

// Day numbers and time values: the integer part, or a value no date or time
// has when it is out of range or not finite.
int64_t IntegerOf(const PictureValue& value) {
  constexpr int64_t kOutOfRange = -1;
  const PictureNumber number = ParsePictureNumber(value.text());
  if (!number.finite || number.IntegerDigits() > 12) return kOutOfRange;
  int64_t result = 0;
  for (int64_t power = number.IntegerDigits() - 1; power >= 0; --power) {
    result = result * 10 + number.DigitAt(power);
  }
  return number.negative ? -result : result;
}

bool IsInputCode(PositionCode code) {
  switch (code) {
    case PositionCode::kDigit:
    case PositionCode::kBlankDigit:
    case PositionCode::kKeyInAt:
    case PositionCode::kKeyInCaret:
    case PositionCode::kKeyInUnder:
    case PositionCode::kKeyInAny:
    case PositionCode::kKeyInBar:
      return true;
    default:
      return false;
  }
}

std::string FormatKeyIn(const std::string& text, const CompiledPicture& picture) {
  std::string out(static_cast<size_t>(picture.width()), ' ');
  size_t next = 0;
  for (int i = 0; i < picture.width(); ++i) {
    if (IsInputCode(picture.Code(i))) {
      if (next < text.size()) out[static_cast<size_t>(i)] = text[next++];
    } else {
      out[static_cast<size_t>(i)] = static_cast<char>(picture.TemplateChar(i));
    }
  }
  return out;
}

}  // namespace

std::string FormatPicture(const PictureValue& value, const CompiledPicture& picture) {
  if (!picture.valid()) return "";
  const size_t width = static_cast<size_t>(picture.width());
  switch (picture.kind()) {
    case PictureKind::kString: {
      std::string out = value.text().substr(0, width);
      out.resize(width, ' ');
      return out;
    }
    case PictureKind::kKeyIn:
      return FormatKeyIn(value.text(), picture);
    case PictureKind::kNumeric:
    case PictureKind::kPattern:
      return FormatNumericPicture(ParsePictureNumber(value.text()), picture);
    case PictureKind::kScientific:
      return FormatScientificPicture(ParsePictureNumber(value.text()), picture);
    case PictureKind::kDate:
      return FormatDatePicture(IntegerOf(value), picture);
    case PictureKind::kTime:
      return FormatTimePicture(IntegerOf(value), picture);
  }
  return std::string(width, ' ');
}

}  // namespace tentaria::runtime
