#include "runtime/picture_numeric_format.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tentaria::runtime {
namespace {

bool IsDigitCode(PositionCode code) {
  return code == PositionCode::kDigit || code == PositionCode::kBlankDigit;
}

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

// An integer digit position and the power of ten it stands for.
struct IntegerPosition {
  int index;
  int power;
};

// The digit positions of one number (the whole of @N and @P, the mantissa
// of @E) within [begin, end).
struct DigitLayout {
  std::vector<IntegerPosition> integers;  // left to right
  int decimals = 0;
};

DigitLayout ScanDigits(const CompiledPicture& picture, int begin, int end) {
  DigitLayout layout;
  bool after_point = false;
  std::vector<int> integer_indexes;
  for (int i = begin; i < end; ++i) {
    const PositionCode code = picture.Code(i);
    if (code == PositionCode::kDecimalPoint) after_point = true;
    if (code == PositionCode::kImpliedPoint) {
      after_point = true;
      ++layout.decimals;
    }
    if (!IsDigitCode(code)) continue;
    if (after_point) {
      ++layout.decimals;
    } else {
      integer_indexes.push_back(i);
    }
  }
  const int count = static_cast<int>(integer_indexes.size());
  for (int k = 0; k < count; ++k) {
    layout.integers.push_back({integer_indexes[static_cast<size_t>(k)], count - 1 - k});
  }
  return layout;
}

// Digits, points, literals and currency; sign and grouping positions stay
// blank for the later passes.
void FillDigits(const CompiledPicture& picture, int begin, int end, const DigitLayout& layout,
                const PictureNumber& value, bool overflow, std::string* out) {
  const int64_t integer_digits = value.IntegerDigits();
  for (const IntegerPosition& position : layout.integers) {
    char shown = '#';
    if (!overflow) {
      if (position.power >= integer_digits) {
        shown = picture.Code(position.index) == PositionCode::kDigit
                    ? static_cast<char>(picture.TemplateChar(position.index))
                    : ' ';
      } else {
        shown = static_cast<char>('0' + value.DigitAt(position.power));
      }
    }
    (*out)[static_cast<size_t>(position.index)] = shown;
  }
  bool after_point = false;
  int fraction = 0;
  for (int i = begin; i < end; ++i) {
    const PositionCode code = picture.Code(i);
    const char stored = static_cast<char>(picture.TemplateChar(i));
    char& shown = (*out)[static_cast<size_t>(i)];
    switch (code) {
      case PositionCode::kDecimalPoint:
        shown = stored;
        after_point = true;
        break;
      case PositionCode::kImpliedPoint:
        after_point = true;
        shown = overflow ? '#' : static_cast<char>('0' + value.DigitAt(-1 - fraction++));
        break;
      case PositionCode::kDigit:
      case PositionCode::kBlankDigit:
        if (after_point) {
          shown = overflow ? '#' : static_cast<char>('0' + value.DigitAt(-1 - fraction++));
        }
        break;
      case PositionCode::kLiteral:
      case PositionCode::kCurrency:
        shown = stored;
        break;
      default:
        break;
    }
  }
}

// A negative value in a picture without a sign position: the "-" goes in
// the rightmost leading position when that one is blank-filled, else in the
// leftmost.  False when the number leaves no leading position.
bool PlaceFloatingMinus(const CompiledPicture& picture, const DigitLayout& layout,
                        const PictureNumber& value, std::string* out) {
  const int64_t first_leading = std::max<int64_t>(value.IntegerDigits(), 1);
  const IntegerPosition* leftmost = nullptr;
  const IntegerPosition* rightmost = nullptr;
  for (const IntegerPosition& position : layout.integers) {
    if (position.power < first_leading) continue;
    if (leftmost == nullptr) leftmost = &position;
    rightmost = &position;
  }
  if (rightmost == nullptr) return false;
  const bool blank = picture.Code(rightmost->index) == PositionCode::kBlankDigit;
  (*out)[static_cast<size_t>(blank ? rightmost->index : leftmost->index)] = '-';
  return true;
}

// Signs show only for a negative value.  A grouping position shows the
// grouping character after a digit (or "#"), "*" after "*", and otherwise
// a blank; a "-" or "(" just before it floats one position to the right.
void FillSignsAndGroups(const CompiledPicture& picture, int begin, int end, bool negative,
                        std::string* out) {
  for (int i = begin; i < end; ++i) {
    const PositionCode code = picture.Code(i);
    char& shown = (*out)[static_cast<size_t>(i)];
    if (code == PositionCode::kSign) {
      shown = negative ? static_cast<char>(picture.TemplateChar(i)) : ' ';
    } else if (code == PositionCode::kGroupSeparator) {
      const char before = i > begin ? (*out)[static_cast<size_t>(i - 1)] : ' ';
      if (IsDigitChar(before) || before == '#') {
        shown = static_cast<char>(picture.TemplateChar(i));
      } else if (before == '*') {
        shown = '*';
      } else if (before == '-' || before == '(') {
        shown = before;
        (*out)[static_cast<size_t>(i - 1)] = ' ';
      } else {
        shown = ' ';
      }
    }
  }
}

bool HasSignPosition(const CompiledPicture& picture) {
  for (int i = 0; i < picture.width(); ++i) {
    if (picture.Code(i) == PositionCode::kSign) return true;
  }
  return false;
}

}  // namespace

std::string FormatNumericPicture(PictureNumber value, const CompiledPicture& picture) {
  const int width = picture.width();
  const DigitLayout layout = ScanDigits(picture, 0, width);
  value.Round(layout.decimals);
  if (picture.blank_when_zero() && value.finite && value.IsZero()) {
    return std::string(static_cast<size_t>(width), ' ');
  }
  const bool negative = value.negative && !value.IsZero();
  bool overflow =
      !value.finite || value.IntegerDigits() > static_cast<int64_t>(layout.integers.size());
  std::string out(static_cast<size_t>(width), ' ');
  FillDigits(picture, 0, width, layout, value, overflow, &out);
  if (negative && !overflow && !HasSignPosition(picture) &&
      !PlaceFloatingMinus(picture, layout, value, &out)) {
    overflow = true;
    out.assign(static_cast<size_t>(width), ' ');
    FillDigits(picture, 0, width, layout, value, overflow, &out);
  }
  FillSignsAndGroups(picture, 0, width, negative, &out);
  return out;
}

std::string FormatScientificPicture(PictureNumber value, const CompiledPicture& picture) {
  const int width = picture.width();
  int exponent_sign = width;
  for (int i = 0; i < width; ++i) {
    if (picture.Code(i) == PositionCode::kExponentSign) exponent_sign = i;
  }
  // The mantissa ends before the "E" that precedes the exponent sign.
  const int mantissa_end = exponent_sign - 1;
  if (mantissa_end < 0 || exponent_sign + 3 >= width) return std::string(width, ' ');
  const DigitLayout layout = ScanDigits(picture, 0, mantissa_end);
  const int before_point = static_cast<int>(layout.integers.size());
  int64_t exponent = 0;
  if (value.finite && !value.IsZero()) {
    exponent = value.point - before_point;
    value.point = before_point;
    value.Round(layout.decimals);
    if (value.point > before_point) {
      value.point = before_point;
      ++exponent;
    }
  }
  if (picture.blank_when_zero() && value.finite && value.IsZero()) {
    return std::string(static_cast<size_t>(width), ' ');
  }
  const bool overflow = !value.finite || std::llabs(exponent) > 999;
  std::string out(static_cast<size_t>(width), ' ');
  FillDigits(picture, 0, mantissa_end, layout, value, overflow, &out);
  FillSignsAndGroups(picture, 0, mantissa_end, value.negative && !value.IsZero(), &out);
  out[static_cast<size_t>(mantissa_end)] = static_cast<char>(picture.TemplateChar(mantissa_end));
  out[static_cast<size_t>(exponent_sign)] = exponent < 0 ? '-' : '+';
  const int64_t magnitude = std::llabs(exponent);
  for (int j = 0; j < 3; ++j) {
    static constexpr int64_t kPowers[] = {100, 10, 1};
    out[static_cast<size_t>(exponent_sign + 1 + j)] =
        overflow ? '#' : static_cast<char>('0' + (magnitude / kPowers[j]) % 10);
  }
  return out;
}

}  // namespace tentaria::runtime
