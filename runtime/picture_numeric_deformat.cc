#include "runtime/picture_numeric_deformat.h"

#include <string>

namespace tentaria::runtime {
namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

// What has been read so far.
struct NumberText {
  bool negative = false;
  bool exponent_negative = false;
  std::string mantissa;  // digits and at most one "."
  std::string exponent;  // digits
  // A digit was typed before the point: from here on a blank in an integer
  // position is not a leading blank, so the text was not typed on the
  // template.
  bool integer_started = false;
};

enum class WalkResult { kRead, kOffTemplate, kOverflow };

char CharAt(std::string_view text, int i) {
  return i < static_cast<int>(text.size()) ? text[static_cast<size_t>(i)] : ' ';
}

// One digit position of the template.
WalkResult ReadDigit(char c, char stored, bool integer, std::string* digits, NumberText* number) {
  if (IsDigitChar(c)) {
    digits->push_back(c);
    if (integer) number->integer_started = true;
  } else if (integer && number->integer_started) {
    return WalkResult::kOffTemplate;
  } else if (c == ' ' || c == stored || c == '+') {
    digits->push_back('0');
  } else if (c == '-' || c == '(' || c == ')') {
    // A sign that floated into a leading position.
    number->negative = true;
    digits->push_back('0');
  } else if (c == '#') {
    return WalkResult::kOverflow;
  } else {
    return WalkResult::kOffTemplate;
  }
  return WalkResult::kRead;
}

WalkResult ReadPosition(const CompiledPicture& picture, int i, char c, bool* in_exponent,
                        NumberText* number) {
  const char stored = static_cast<char>(picture.TemplateChar(i));
  std::string* digits = *in_exponent ? &number->exponent : &number->mantissa;
  const bool integer = !*in_exponent && number->mantissa.find('.') == std::string::npos;
  switch (picture.Code(i)) {
    case PositionCode::kDigit:
    case PositionCode::kBlankDigit:
      return ReadDigit(c, stored, integer, digits, number);
    case PositionCode::kImpliedPoint:
      // Digits typed up to here and nothing in the decimals: the text was
      // typed left-aligned, its last digits being the decimals.
      if (c == ' ' && number->integer_started) return WalkResult::kOffTemplate;
      number->mantissa.push_back('.');
      return ReadDigit(c, stored, false, digits, number);
    case PositionCode::kDecimalPoint:
      if (c != stored && c != ' ') return WalkResult::kOffTemplate;
      number->mantissa.push_back('.');
      return WalkResult::kRead;
    case PositionCode::kGroupSeparator:
      if (c == '-' || c == '(') {
        number->negative = true;
      } else if (c != stored && c != ' ' && c != '*') {
        return WalkResult::kOffTemplate;
      }
      return WalkResult::kRead;
    case PositionCode::kSign:
      if (c == '-' || c == '(' || c == ')') {
        number->negative = true;
      } else if (c != ' ' && c != '+') {
        return WalkResult::kOffTemplate;
      }
      return WalkResult::kRead;
    case PositionCode::kExponentSign:
      if (c != '+' && c != '-' && c != ' ') return WalkResult::kOffTemplate;
      number->exponent_negative = c == '-';
      *in_exponent = true;
      return WalkResult::kRead;
    case PositionCode::kLiteral:
      if (picture.kind() == PictureKind::kScientific && (c == 'e' || c == 'E')) {
        return WalkResult::kRead;
      }
      [[fallthrough]];
    default:
      return (c == stored || c == ' ') ? WalkResult::kRead : WalkResult::kOffTemplate;
  }
}

WalkResult WalkTemplate(std::string_view text, const CompiledPicture& picture, NumberText* number) {
  const int width = picture.width();
  if (text.size() > static_cast<size_t>(width) &&
      text.find_first_not_of(' ', static_cast<size_t>(width)) != std::string_view::npos) {
    return WalkResult::kOffTemplate;
  }
  bool in_exponent = false;
  for (int i = 0; i < width; ++i) {
    const WalkResult result = ReadPosition(picture, i, CharAt(text, i), &in_exponent, number);
    if (result != WalkResult::kRead) return result;
  }
  return WalkResult::kRead;
}

struct PictureTraits {
  char point = '.';
  bool implied = false;
  int decimals = 0;
};

PictureTraits TraitsOf(const CompiledPicture& picture) {
  PictureTraits traits;
  char grouping = '\0';
  bool shown_point = false;
  bool after_point = false;
  for (int i = 0; i < picture.width(); ++i) {
    const PositionCode code = picture.Code(i);
    if (code == PositionCode::kGroupSeparator)
      grouping = static_cast<char>(picture.TemplateChar(i));
    if (code == PositionCode::kDecimalPoint) {
      shown_point = true;
      after_point = true;
      traits.point = static_cast<char>(picture.TemplateChar(i));
    }
    if (code == PositionCode::kImpliedPoint) {
      traits.implied = true;
      after_point = true;
    }
    if (code == PositionCode::kExponentSign) break;
    if (after_point && (code == PositionCode::kDigit || code == PositionCode::kImpliedPoint)) {
      ++traits.decimals;
    }
  }
  if (!shown_point && grouping == '.') traits.point = ',';
  return traits;
}

void ReadFreeForm(std::string_view text, const CompiledPicture& picture, NumberText* number) {
  const PictureTraits traits = TraitsOf(picture);
  const bool pattern = picture.kind() == PictureKind::kPattern;
  const bool scientific = picture.kind() == PictureKind::kScientific;
  bool in_exponent = false;
  for (const char c : text) {
    if (IsDigitChar(c)) {
      (in_exponent ? number->exponent : number->mantissa).push_back(c);
    } else if (pattern) {
      continue;
    } else if (scientific && !in_exponent && (c == 'e' || c == 'E')) {
      in_exponent = true;
    } else if (in_exponent && c == '-' && number->exponent.empty()) {
      number->exponent_negative = true;
    } else if (!in_exponent && c == traits.point &&
               number->mantissa.find('.') == std::string::npos) {
      number->mantissa.push_back('.');
    } else if (c == '-' || c == '(' || c == ')') {
      number->negative = true;
    }
  }
  if (traits.implied && number->mantissa.find('.') == std::string::npos) {
    const size_t decimals = static_cast<size_t>(traits.decimals);
    if (number->mantissa.size() < decimals) {
      number->mantissa.insert(0, decimals - number->mantissa.size(), '0');
    }
    number->mantissa.insert(number->mantissa.size() - decimals, 1, '.');
  }
}

std::string Canonical(const NumberText& number) {
  const std::string& mantissa = number.mantissa;
  const size_t point = mantissa.find('.');
  const std::string_view typed_integer = std::string_view(mantissa).substr(0, point);
  const std::string_view fraction = point == std::string::npos
                                        ? std::string_view()
                                        : std::string_view(mantissa).substr(point + 1);
  const size_t first = typed_integer.find_first_not_of('0');
  const std::string_view integer =
      first == std::string_view::npos ? std::string_view("0") : typed_integer.substr(first);
  const bool zero = mantissa.find_first_of("123456789") == std::string::npos;
  std::string result;
  if (number.negative && !zero) result.push_back('-');
  result.append(integer);
  if (!fraction.empty()) {
    result.push_back('.');
    result.append(fraction);
  }
  const size_t exponent_start = number.exponent.find_first_not_of('0');
  if (!zero && exponent_start != std::string::npos) {
    result.push_back('e');
    if (number.exponent_negative) result.push_back('-');
    result.append(number.exponent, exponent_start);
  }
  return result;
}

}  // namespace

PictureValue DeformatNumericPicture(std::string_view text, const CompiledPicture& picture) {
  NumberText number;
  const WalkResult walked = WalkTemplate(text, picture, &number);
  if (walked == WalkResult::kOverflow) return PictureValue();
  if (walked == WalkResult::kOffTemplate) {
    number = NumberText();
    ReadFreeForm(text, picture, &number);
  }
  return PictureValue::Decimal(Canonical(number));
}

}  // namespace tentaria::runtime
