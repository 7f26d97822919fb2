#include "runtime/picture_deformat.h"

#include <string>

#include "runtime/picture_date_time_deformat.h"
#include "runtime/picture_numeric_deformat.h"

namespace tentaria::runtime {
namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

std::string ReduceToNumber(std::string_view text) {
  std::string result;
  bool exponent = false;
  bool point = false;
  for (const char c : text) {
    const bool after_e = !result.empty() && (result.back() == 'e' || result.back() == 'E');
    if (IsDigitChar(c)) {
      result.push_back(c);
    } else if (c == '-' && (result.empty() || after_e)) {
      result.push_back(c);
    } else if (c == '+' && after_e) {
      result.push_back(c);
    } else if ((c == 'e' || c == 'E') && !exponent) {
      exponent = true;
      result.push_back(c);
    } else if (c == '.' && !point) {
      point = true;
      result.push_back(c);
    }
  }
  return result;
}

std::string ReadKeyIn(std::string_view text, const CompiledPicture& picture) {
  std::string result;
  size_t next = 0;
  for (int i = 0; i < picture.width(); ++i) {
    const PositionCode code = picture.Code(i);
    if (code == PositionCode::kLiteral) {
      if (next < text.size() && text[next] == static_cast<char>(picture.TemplateChar(i))) ++next;
      continue;
    }
    const char c = next < text.size() ? text[next++] : ' ';
    const bool digit_position = code == PositionCode::kDigit || code == PositionCode::kBlankDigit;
    result.push_back(digit_position && !IsDigitChar(c) ? ' ' : c);
  }
  result.erase(result.find_last_not_of(' ') + 1);
  return result;
}

}  // namespace

PictureValue DeformatPicture(std::string_view text, const CompiledPicture& picture) {
  if (!picture.valid()) return PictureValue();
  switch (picture.kind()) {
    case PictureKind::kString:
      return PictureValue::Text(ReduceToNumber(text));
    case PictureKind::kKeyIn:
      return PictureValue::Text(ReadKeyIn(text, picture));
    case PictureKind::kNumeric:
    case PictureKind::kPattern:
    case PictureKind::kScientific:
      return DeformatNumericPicture(text, picture);
    case PictureKind::kDate:
      return PictureValue::Integer(DeformatDatePicture(text, picture));
    case PictureKind::kTime:
      return PictureValue::Integer(DeformatTimePicture(text, picture));
  }
  return PictureValue();
}

}  // namespace tentaria::runtime
