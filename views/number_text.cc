#include "views/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tentaria::views {
namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

struct ScannedNumber {
  double value = 0;
  size_t end = 0;  // position after the number; 0 when there is none
};

// Copies the number into a plain lexeme ("." as the point) for from_chars,
// which reads the same text whatever the process's C locale says.
ScannedNumber ScanNumber(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  std::string lexeme;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    if (text[pos] == '-') lexeme += '-';
    ++pos;
  }
  size_t digits = 0;
  while (pos < text.size() && IsDigitChar(text[pos])) {
    lexeme += text[pos++];
    ++digits;
  }
  if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
    size_t fraction_start = pos + 1;
    size_t end = fraction_start;
    while (end < text.size() && IsDigitChar(text[end])) ++end;
    if (end > fraction_start || digits > 0) {
      lexeme += '.';
      lexeme.append(text.substr(fraction_start, end - fraction_start));
      digits += end - fraction_start;
      pos = end;
    }
  }
  if (digits == 0) return {};
  bool negative_exponent = false;
  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    size_t end = pos + 1;
    std::string exponent = "e";
    if (end < text.size() && (text[end] == '-' || text[end] == '+')) {
      negative_exponent = text[end] == '-';
      exponent += text[end++];
    }
    size_t exponent_digits = end;
    while (end < text.size() && IsDigitChar(text[end])) exponent += text[end++];
    if (end > exponent_digits) {
      lexeme += exponent;
      pos = end;
    }
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(lexeme.data(), lexeme.data() + lexeme.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: infinity or zero, keeping the sign.
    bool tiny = lexeme.find('e') != std::string::npos
                    ? negative_exponent
                    : lexeme.find_first_of("123456789") > lexeme.find('.');
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    if (lexeme[0] == '-') value = -value;
  }
  return {value, pos};
}

}  // namespace

std::string IntegerToText(std::int32_t value) {
  char buffer[16];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

std::string RealToText(double value) {
  if (value == 0) return "0";  // also for -0
  char buffer[32];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, end);
}

double TextToReal(std::string_view text) { return ScanNumber(text).value; }

bool IsNumericText(std::string_view text) {
  ScannedNumber number = ScanNumber(text);
  if (number.end == 0) return false;
  for (size_t pos = number.end; pos < text.size(); ++pos) {
    if (text[pos] != ' ' && text[pos] != '\t') return false;
  }
  return true;
}

}  // namespace tentaria::views
