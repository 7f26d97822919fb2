#include "runtime/value_types.h"

#include <array>
#include <cmath>
#include <limits>

namespace tentaria::runtime {
namespace {

// The runtime's name table in code order; index 29 has no known name.
constexpr std::array<std::string_view, 31> kNames = {
    "END",     "BYTE",  "SHORT",   "USHORT",   "DATE",     "TIME",    "LONG",    "ULONG",
    "SREAL",   "REAL",  "DECIMAL", "PDECIMAL", "DUM1",     "BFLOAT4", "BFLOAT8", "ANY",
    "TEMPUFO", "(17)",  "STRING",  "CSTRING",  "PSTRING",  "MEMO",    "GROUP",   "CLASS",
    "ARRAY",   "FIELD", "QUEUE",   "BLOB",     "STACKSTR", "UNKNOWN", "STDNUM"};

constexpr std::string_view kUnknown = "UNKNOWN";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string_view TypeName(int code) {
  if (code < 0 || code >= static_cast<int>(kNames.size())) return kUnknown;
  return kNames[static_cast<std::size_t>(code)];
}

std::string_view DeclarationTypeName(int code) {
  if (code < 1) return kUnknown;
  return TypeName(code);
}

std::optional<TypeCode> TypeCodeFromName(std::string_view name) {
  for (std::size_t code = 0; code < kNames.size(); ++code) {
    if (code == 17 || kNames[code] == kUnknown) continue;
    if (EqualIgnoringCase(name, kNames[code])) return static_cast<TypeCode>(code);
  }
  return std::nullopt;
}

int TypeSize(int code) {
  switch (code) {
    case 1:
      return 1;
    case 2:
    case 3:
      return 2;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 13:
    case 15:
      return 4;
    case 9:
    case 14:
      return 8;
    default:
      return 0;
  }
}

bool HasValueForm(int code) {
  return (code >= 1 && code <= 11) || code == 13 || code == 14 || (code >= 18 && code <= 22);
}

bool IsTextDestination(int code) { return code >= 18 && code <= 22; }

std::int64_t RealToInt64(double value) {
  using Limits = std::numeric_limits<std::int64_t>;
  if (std::isnan(value)) return 0;
  // 2^63 is exact in a double; every double below it and above -2^63 - 1
  // truncates to a value in range.
  if (value >= 9223372036854775808.0) return Limits::max();
  if (value < -9223372036854775808.0) return Limits::min();
  return static_cast<std::int64_t>(value);
}

std::int32_t RealToInt32(double value) {
  using Limits = std::numeric_limits<std::int32_t>;
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return Limits::max();
  if (value <= -2147483649.0) return Limits::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace tentaria::runtime
