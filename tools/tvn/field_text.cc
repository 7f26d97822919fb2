#include "tools/tvn/field_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/charset.h"
#include "runtime/bfloat.h"
#include "runtime/date_time.h"
#include "runtime/decimal.h"
#include "runtime/value_types.h"

namespace tentaria::tvn {
namespace {

using runtime::TypeCode;

TypeCode TypeOf(const storage::FieldDescriptor& field) { return static_cast<TypeCode>(field.type); }

size_t ElementSize(const storage::FieldDescriptor& field) {
  uint32_t elements = field.Elements();
  return elements == 0 ? field.size : field.size / elements;
}

std::string Heading(const storage::FieldDescriptor& field, size_t element) {
  std::string heading = platform::Cp1252ToUtf8(field.label);
  if (field.dimensions.empty()) return heading;
  // Row-major indices from 1, the last dimension running fastest.
  std::vector<size_t> indices(field.dimensions.size());
  size_t rest = element;
  for (size_t d = field.dimensions.size(); d-- > 0;) {
    indices[d] = rest % field.dimensions[d] + 1;
    rest /= field.dimensions[d];
  }
  heading.push_back('[');
  for (size_t d = 0; d < indices.size(); ++d) {
    if (d > 0) heading.push_back(',');
    heading.append(std::to_string(indices[d]));
  }
  heading.push_back(']');
  return heading;
}

// Whether a later field lies inside the group's bytes: its members carry
// its value.
bool HasMembers(const storage::FileDescriptor& definition, size_t group) {
  const storage::FieldDescriptor& g = definition.layout.fields[group];
  for (size_t i = group + 1; i < definition.layout.fields.size(); ++i) {
    const storage::FieldDescriptor& f = definition.layout.fields[i];
    if (f.offset >= g.offset && f.offset + f.size <= g.offset + g.size) return true;
  }
  return false;
}

uint64_t LittleEndian(const uint8_t* bytes, size_t n) {
  uint64_t value = 0;
  for (size_t i = n; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

void PutLittleEndian(uint64_t value, size_t n, char* out) {
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

template <typename T>
std::string Shortest(T value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string TwoDigits(unsigned value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
         static_cast<char>('0' + value % 10);
}

std::string WithoutTrailingBlanks(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return platform::Cp1252ToUtf8(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

template <typename T>
bool ParseWhole(std::string_view text, T* value) {
  auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
  return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "1999-12-31" or "23:59:59.99": digit groups of fixed widths between
// fixed separators.
bool ParseParts(std::string_view text, std::string_view pattern, std::vector<int>* parts) {
  if (text.size() != pattern.size()) return false;
  int value = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || pattern[i] != '9') {
      parts->push_back(value);
      value = 0;
      if (i < text.size() && text[i] != pattern[i]) return false;
      continue;
    }
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

Status Refused(std::string_view text, const std::string& why) {
  return Status::Error(1, "'" + std::string(text) + "': " + why);
}

Status StoreInteger(TypeCode type, std::string_view text, size_t size, char* out) {
  int64_t value = 0;
  if (!ParseWhole(text, &value)) return Refused(text, "not a whole number");
  int64_t low = 0;
  int64_t high = 0;
  switch (type) {
    case TypeCode::BYTE:
      high = 0xFF;
      break;
    case TypeCode::SHORT:
      low = std::numeric_limits<int16_t>::min();
      high = std::numeric_limits<int16_t>::max();
      break;
    case TypeCode::USHORT:
      high = 0xFFFF;
      break;
    case TypeCode::LONG:
      low = std::numeric_limits<int32_t>::min();
      high = std::numeric_limits<int32_t>::max();
      break;
    default:
      high = 0xFFFFFFFF;
      break;
  }
  if (value < low || value > high) {
    return Refused(text, "out of range " + std::to_string(low) + " to " + std::to_string(high));
  }
  PutLittleEndian(static_cast<uint64_t>(value), size, out);
  return Status::Ok();
}

Status StoreReal(TypeCode type, std::string_view text, char* out) {
  if (type == TypeCode::SREAL) {
    float value = 0;
    if (!ParseWhole(text, &value)) return Refused(text, "not a number");
    std::memcpy(out, &value, sizeof value);
    return Status::Ok();
  }
  double value = 0;
  if (!ParseWhole(text, &value)) return Refused(text, "not a number");
  if (type == TypeCode::REAL) {
    std::memcpy(out, &value, sizeof value);
  } else if (type == TypeCode::BFLOAT4) {
    auto bytes = runtime::DoubleToBfloat4(value);
    std::memcpy(out, bytes.data(), bytes.size());
  } else {
    auto bytes = runtime::DoubleToBfloat8(value);
    std::memcpy(out, bytes.data(), bytes.size());
  }
  return Status::Ok();
}

Status StoreDecimal(const storage::FieldDescriptor& field, std::string_view text, size_t size,
                    char* out) {
  size_t length = 0;
  runtime::DecimalStatus status;
  runtime::DecimalRegister value = runtime::DecimalRegister::FromText(text, &length, &status);
  if (text.empty() || length != text.size() || text.front() == ' ' || status.overflow) {
    return Refused(text, "not a decimal number");
  }
  std::span<uint8_t> bytes(reinterpret_cast<uint8_t*>(out), size);
  bool trailing_sign = TypeOf(field) == TypeCode::PDECIMAL;
  if (trailing_sign) {
    value.StorePDecimal(bytes, field.decimals);
  } else {
    value.StoreDecimal(bytes, field.decimals);
  }
  runtime::DecimalRegister stored =
      trailing_sign ? runtime::DecimalRegister::LoadPDecimal(bytes, field.decimals)
                    : runtime::DecimalRegister::LoadDecimal(bytes, field.decimals);
  if (!(stored == value.Rounded(field.decimals))) {
    return Refused(text, "more integer digits than the field holds");
  }
  return Status::Ok();
}

Status StoreDate(std::string_view text, char* out) {
  std::vector<int> parts;
  if (!ParseParts(text, "9999-99-99", &parts) ||
      runtime::PartsToDayNumber(parts[0], parts[1], parts[2]) <= 0 || parts[0] < 100) {
    return Refused(text, "not a date (year-month-day, 1801-01-01 to 9999-12-31)");
  }
  PutLittleEndian(static_cast<uint64_t>(parts[0]) << 16 | parts[1] << 8 | parts[2], 4, out);
  return Status::Ok();
}

Status StoreTime(std::string_view text, char* out) {
  std::vector<int> parts;
  if (!ParseParts(text, "99:99:99.99", &parts) ||
      runtime::PartsToTimeValue(parts[0], parts[1], parts[2], parts[3]) < 0) {
    return Refused(text, "not a time (hours:minutes:seconds.hundredths)");
  }
  PutLittleEndian(static_cast<uint64_t>(parts[0]) << 24 | parts[1] << 16 | parts[2] << 8 | parts[3],
                  4, out);
  return Status::Ok();
}

Status StoreText(TypeCode type, std::string_view utf8, size_t size, char* out) {
  std::string text = platform::Utf8ToCp1252(utf8);
  size_t room = type == TypeCode::STRING || type == TypeCode::GROUP ? size : size - 1;
  if (text.size() > room || (type == TypeCode::PSTRING && text.size() > 255)) {
    return Refused(utf8, "longer than the field's " + std::to_string(room) + " characters");
  }
  if (type == TypeCode::CSTRING && text.find('\0') != std::string::npos) {
    return Refused(utf8, "a zero byte cannot be part of the text");
  }
  std::memset(out, type == TypeCode::STRING || type == TypeCode::GROUP ? ' ' : 0, size);
  if (type == TypeCode::PSTRING) {
    out[0] = static_cast<char>(text.size());
    std::memcpy(out + 1, text.data(), text.size());
  } else {
    std::memcpy(out, text.data(), text.size());
  }
  return Status::Ok();
}

}  // namespace

std::vector<Column> TableColumns(const storage::FileDescriptor& definition) {
  std::vector<Column> columns;
  for (size_t f = 0; f < definition.layout.fields.size(); ++f) {
    const storage::FieldDescriptor& field = definition.layout.fields[f];
    if (TypeOf(field) == TypeCode::GROUP && HasMembers(definition, f)) continue;
    for (size_t e = 0; e < field.Elements(); ++e) {
      columns.push_back({Heading(field, e), false, f, e});
    }
  }
  for (size_t m = 0; m < definition.memos.size(); ++m) {
    columns.push_back({platform::Cp1252ToUtf8(definition.memos[m].label), true, m, 0});
  }
  return columns;
}

std::string MemoColumnText(const storage::MemoDescriptor& memo, std::string_view stored) {
  if (!memo.blob() && !memo.binary()) return platform::Cp1252ToUtf8(stored);
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(stored.size() * 2);
  for (unsigned char c : stored) {
    hex.push_back(kDigits[c >> 4]);
    hex.push_back(kDigits[c & 15]);
  }
  return hex;
}

Status StoreMemoColumnText(const storage::MemoDescriptor& memo, std::string_view text,
                           std::string* stored) {
  if (!memo.blob() && !memo.binary()) {
    *stored = platform::Utf8ToCp1252(text);
    return Status::Ok();
  }
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  stored->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    int high = digit(text[i]);
    int low = i + 1 < text.size() ? digit(text[i + 1]) : -1;
    if (high < 0 || low < 0) {
      return Status::Error(1, "not hexadecimal digits, two for each byte");
    }
    stored->push_back(static_cast<char>(high << 4 | low));
  }
  return Status::Ok();
}

std::string ColumnText(const storage::FileDescriptor& definition, const Column& column,
                       std::string_view row) {
  const storage::FieldDescriptor& field = definition.layout.fields[column.field];
  size_t size = ElementSize(field);
  std::string_view value = row.substr(field.offset + column.element * size, size);
  const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
  switch (TypeOf(field)) {
    case TypeCode::BYTE:
    case TypeCode::USHORT:
    case TypeCode::ULONG:
      return std::to_string(LittleEndian(bytes, size));
    case TypeCode::SHORT:
      return std::to_string(static_cast<int16_t>(LittleEndian(bytes, 2)));
    case TypeCode::LONG:
      return std::to_string(static_cast<int32_t>(LittleEndian(bytes, 4)));
    case TypeCode::SREAL: {
      float real = 0;
      std::memcpy(&real, bytes, sizeof real);
      return Shortest(real);
    }
    case TypeCode::REAL: {
      double real = 0;
      std::memcpy(&real, bytes, sizeof real);
      return Shortest(real);
    }
    case TypeCode::BFLOAT4:
      return Shortest(runtime::Bfloat4ToDouble(std::span<const uint8_t, 4>(bytes, 4)));
    case TypeCode::BFLOAT8:
      return Shortest(runtime::Bfloat8ToDouble(std::span<const uint8_t, 8>(bytes, 8)));
    case TypeCode::DECIMAL:
      return runtime::DecimalRegister::LoadDecimal({bytes, size}, field.decimals).ToText();
    case TypeCode::PDECIMAL:
      return runtime::DecimalRegister::LoadPDecimal({bytes, size}, field.decimals).ToText();
    case TypeCode::DATE: {
      uint64_t packed = LittleEndian(bytes, 4);
      if (packed == 0) return "";
      return std::to_string(packed >> 16) + "-" + TwoDigits(bytes[1]) + "-" + TwoDigits(bytes[0]);
    }
    case TypeCode::TIME:
      if (LittleEndian(bytes, 4) == 0) return "";
      return TwoDigits(bytes[3]) + ":" + TwoDigits(bytes[2]) + ":" + TwoDigits(bytes[1]) + "." +
             TwoDigits(bytes[0]);
    case TypeCode::CSTRING:
      return WithoutTrailingBlanks(value.substr(0, value.find('\0')));
    case TypeCode::PSTRING:
      return WithoutTrailingBlanks(value.substr(1, std::min<size_t>(bytes[0], size - 1)));
    default:
      return WithoutTrailingBlanks(value);
  }
}

Status StoreColumnText(const storage::FileDescriptor& definition, const Column& column,
                       std::string_view text, std::string* row) {
  const storage::FieldDescriptor& field = definition.layout.fields[column.field];
  size_t size = ElementSize(field);
  char* out = row->data() + field.offset + column.element * size;
  TypeCode type = TypeOf(field);
  bool text_type = type == TypeCode::STRING || type == TypeCode::CSTRING ||
                   type == TypeCode::PSTRING || type == TypeCode::GROUP;
  if (text.empty() && !text_type) {
    // An empty cell is the empty value: zero, no date, no time.
    std::memset(out, 0, size);
    return Status::Ok();
  }
  switch (type) {
    case TypeCode::BYTE:
    case TypeCode::SHORT:
    case TypeCode::USHORT:
    case TypeCode::LONG:
    case TypeCode::ULONG:
      return StoreInteger(type, text, size, out);
    case TypeCode::SREAL:
    case TypeCode::REAL:
    case TypeCode::BFLOAT4:
    case TypeCode::BFLOAT8:
      return StoreReal(type, text, out);
    case TypeCode::DECIMAL:
    case TypeCode::PDECIMAL:
      return StoreDecimal(field, text, size, out);
    case TypeCode::DATE:
      return StoreDate(text, out);
    case TypeCode::TIME:
      return StoreTime(text, out);
    default:
      return StoreText(type, text, size, out);
  }
}

std::string EmptyRow(const storage::FileDescriptor& definition) {
  std::string row(definition.layout.record_size, '\0');
  for (const storage::FieldDescriptor& field : definition.layout.fields) {
    TypeCode type = TypeOf(field);
    if (type == TypeCode::STRING || type == TypeCode::GROUP) {
      std::memset(row.data() + field.offset, ' ', field.size);
    }
  }
  return row;
}

}  // namespace tentaria::tvn
