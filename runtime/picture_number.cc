#include "runtime/picture_number.h"

#include <algorithm>
#include <cctype>

namespace tentaria::runtime {
namespace {

constexpr int64_t kExponentLimit = 1000000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return true;
}

// Reads an exponent at text[*pos] ("e"/"E", optional sign, at least one
// digit); leaves *pos alone and gives 0 when there is none.
int64_t ReadExponent(std::string_view text, size_t* pos) {
  size_t i = *pos;
  if (i >= text.size() || (text[i] != 'e' && text[i] != 'E')) return 0;
  ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || !IsDigit(text[i])) return 0;
  int64_t exponent = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentLimit);
  }
  *pos = i;
  return negative ? -exponent : exponent;
}

void Normalise(PictureNumber* number) {
  const size_t first = number->digits.find_first_not_of('0');
  if (first == std::string::npos) {
    number->digits.clear();
    number->point = 0;
    number->negative = false;
    return;
  }
  number->digits.erase(0, first);
  number->point -= static_cast<int64_t>(first);
  number->digits.erase(number->digits.find_last_not_of('0') + 1);
}

}  // namespace

int64_t PictureNumber::IntegerDigits() const { return IsZero() ? 0 : std::max<int64_t>(point, 0); }

int PictureNumber::DigitAt(int64_t power) const {
  const int64_t index = point - 1 - power;
  if (index < 0 || index >= static_cast<int64_t>(digits.size())) return 0;
  return digits[static_cast<size_t>(index)] - '0';
}

void PictureNumber::Round(int decimals) {
  if (IsZero()) return;
  const int64_t keep = point + decimals;
  if (keep >= static_cast<int64_t>(digits.size())) return;
  if (keep < 0) {
    digits.clear();
    Normalise(this);
    return;
  }
  const bool round_up = digits[static_cast<size_t>(keep)] >= '5';
  digits.resize(static_cast<size_t>(keep));
  if (round_up) {
    int64_t i = keep - 1;
    while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      ++point;
    } else {
      ++digits[static_cast<size_t>(i)];
    }
  }
  Normalise(this);
}

PictureNumber ParsePictureNumber(std::string_view text) {
  PictureNumber number;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
  if (StartsWithWord(text.substr(i), "nan") || StartsWithWord(text.substr(i), "inf")) {
    number.finite = false;
    return number;
  }
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    number.digits.push_back(text[i]);
    ++number.point;
  }
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) number.digits.push_back(text[i]);
  }
  if (!number.digits.empty()) number.point += ReadExponent(text, &i);
  Normalise(&number);
  return number;
}

}  // namespace tentaria::runtime
