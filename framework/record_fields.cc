#include "framework/record_fields.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "runtime/value_types.h"
#include "views/variable_value.h"

namespace tentaria::framework {
namespace {

using runtime::DecimalRegister;
using runtime::TypeCode;

const storage::FieldDescriptor& Descriptor(storage::DeclaredFile& file, size_t field) {
  return file.block().layout.fields.at(field);
}

// The field's bytes in the record buffer; empty when the field lies
// outside the buffer.
std::span<uint8_t> Storage(storage::DeclaredFile& file, size_t field) {
  const storage::FieldDescriptor& descriptor = Descriptor(file, field);
  std::span<char> record = file.block().record;
  if (static_cast<size_t>(descriptor.offset) + descriptor.size > record.size()) return {};
  return {reinterpret_cast<uint8_t*>(record.data()) + descriptor.offset, descriptor.size};
}

TypeCode TypeOf(const storage::FieldDescriptor& field) { return TypeCode{field.type}; }

template <typename Integer>
void StoreInteger(std::span<uint8_t> bytes, int64_t value) {
  value = std::clamp<int64_t>(value, std::numeric_limits<Integer>::min(),
                              std::numeric_limits<Integer>::max());
  Integer stored = static_cast<Integer>(value);
  std::memcpy(bytes.data(), &stored, std::min(sizeof stored, bytes.size()));
}

template <typename Integer>
int64_t Extreme(bool highest) {
  return highest ? static_cast<int64_t>(std::numeric_limits<Integer>::max())
                 : static_cast<int64_t>(std::numeric_limits<Integer>::min());
}

bool IsTextField(const storage::FieldDescriptor& field) {
  TypeCode type = TypeOf(field);
  return type == TypeCode::STRING || type == TypeCode::CSTRING || type == TypeCode::PSTRING;
}

std::string TextValue(storage::DeclaredFile& file, size_t field) {
  const storage::FieldDescriptor& descriptor = Descriptor(file, field);
  std::span<uint8_t> bytes = Storage(file, field);
  std::string text = views::ReadText(
      {bytes.data(), descriptor.type, static_cast<int>(bytes.size()), descriptor.decimals});
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

void StoreText(storage::DeclaredFile& file, size_t field, const std::string& text) {
  const storage::FieldDescriptor& descriptor = Descriptor(file, field);
  std::span<uint8_t> bytes = Storage(file, field);
  if (bytes.empty()) return;
  std::fill(bytes.begin(), bytes.end(), TypeOf(descriptor) == TypeCode::STRING ? ' ' : '\0');
  switch (TypeOf(descriptor)) {
    case TypeCode::CSTRING:  // keeps its terminating zero
      std::memcpy(bytes.data(), text.data(), std::min(text.size(), bytes.size() - 1));
      break;
    case TypeCode::PSTRING: {  // a length byte, then the characters
      size_t length = std::min({text.size(), bytes.size() - 1, size_t{255}});
      bytes[0] = static_cast<uint8_t>(length);
      std::memcpy(bytes.data() + 1, text.data(), length);
      break;
    }
    default:
      std::memcpy(bytes.data(), text.data(), std::min(text.size(), bytes.size()));
  }
}

}  // namespace

bool IsNumericField(const storage::FieldDescriptor& field) {
  switch (TypeOf(field)) {
    case TypeCode::BYTE:
    case TypeCode::SHORT:
    case TypeCode::USHORT:
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
    case TypeCode::ULONG:
    case TypeCode::SREAL:
    case TypeCode::REAL:
    case TypeCode::DECIMAL:
    case TypeCode::PDECIMAL:
      return true;
    default:
      return false;
  }
}

DecimalRegister FieldNumber(storage::DeclaredFile& file, size_t field) {
  const storage::FieldDescriptor& descriptor = Descriptor(file, field);
  std::span<uint8_t> bytes = Storage(file, field);
  if (bytes.empty() || !IsNumericField(descriptor)) return {};
  switch (TypeOf(descriptor)) {
    case TypeCode::DECIMAL:
      return DecimalRegister::LoadDecimal(bytes, descriptor.decimals);
    case TypeCode::PDECIMAL:
      return DecimalRegister::LoadPDecimal(bytes, descriptor.decimals);
    default:
      return DecimalRegister::FromDouble(views::ReadReal(
          {bytes.data(), descriptor.type, static_cast<int>(bytes.size()), descriptor.decimals}));
  }
}

void SetFieldNumber(storage::DeclaredFile& file, size_t field, const DecimalRegister& value) {
  const storage::FieldDescriptor& descriptor = Descriptor(file, field);
  std::span<uint8_t> bytes = Storage(file, field);
  if (bytes.empty()) return;
  switch (TypeOf(descriptor)) {
    case TypeCode::BYTE:
      return StoreInteger<uint8_t>(bytes, value.ToInt64());
    case TypeCode::SHORT:
      return StoreInteger<int16_t>(bytes, value.ToInt64());
    case TypeCode::USHORT:
      return StoreInteger<uint16_t>(bytes, value.ToInt64());
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
      return StoreInteger<int32_t>(bytes, value.ToInt64());
    case TypeCode::ULONG:
      return StoreInteger<uint32_t>(bytes, value.ToInt64());
    case TypeCode::SREAL: {
      float stored = static_cast<float>(value.ToDouble());
      std::memcpy(bytes.data(), &stored, std::min(sizeof stored, bytes.size()));
      return;
    }
    case TypeCode::REAL: {
      double stored = value.ToDouble();
      std::memcpy(bytes.data(), &stored, std::min(sizeof stored, bytes.size()));
      return;
    }
    case TypeCode::DECIMAL:
      return value.StoreDecimal(bytes, descriptor.decimals);
    case TypeCode::PDECIMAL:
      return value.StorePDecimal(bytes, descriptor.decimals);
    default:
      if (IsTextField(descriptor)) StoreText(file, field, value.ToText());
  }
}

void SetFieldExtreme(storage::DeclaredFile& file, size_t field, bool highest) {
  const storage::FieldDescriptor& descriptor = Descriptor(file, field);
  std::span<uint8_t> bytes = Storage(file, field);
  if (bytes.empty()) return;
  switch (TypeOf(descriptor)) {
    case TypeCode::BYTE:
      return StoreInteger<uint8_t>(bytes, Extreme<uint8_t>(highest));
    case TypeCode::SHORT:
      return StoreInteger<int16_t>(bytes, Extreme<int16_t>(highest));
    case TypeCode::USHORT:
      return StoreInteger<uint16_t>(bytes, Extreme<uint16_t>(highest));
    case TypeCode::ULONG:
      return StoreInteger<uint32_t>(bytes, Extreme<uint32_t>(highest));
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
      return StoreInteger<int32_t>(bytes, Extreme<int32_t>(highest));
    case TypeCode::DECIMAL:
    case TypeCode::PDECIMAL: {
      // Every digit a nine: the field's 2 × bytes − 1 digits.
      int digits = 2 * static_cast<int>(bytes.size()) - 1;
      std::string nines(static_cast<size_t>(digits - descriptor.decimals), '9');
      if (descriptor.decimals > 0) nines += "." + std::string(descriptor.decimals, '9');
      DecimalRegister value = DecimalRegister::FromText((highest ? "" : "-") + nines);
      return SetFieldNumber(file, field, value);
    }
    case TypeCode::SREAL:
    case TypeCode::REAL: {
      double value =
          highest ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
      if (TypeOf(descriptor) == TypeCode::SREAL) {
        float stored =
            highest ? std::numeric_limits<float>::max() : std::numeric_limits<float>::lowest();
        std::memcpy(bytes.data(), &stored, std::min(sizeof stored, bytes.size()));
      } else {
        std::memcpy(bytes.data(), &value, std::min(sizeof value, bytes.size()));
      }
      return;
    }
    default:
      std::fill(bytes.begin(), bytes.end(), highest ? 0xFF : 0x00);
  }
}

std::string FieldBytes(storage::DeclaredFile& file, size_t field) {
  std::span<uint8_t> bytes = Storage(file, field);
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void SetFieldBytes(storage::DeclaredFile& file, size_t field, std::string_view bytes) {
  std::span<uint8_t> target = Storage(file, field);
  std::fill(target.begin(), target.end(), 0);
  std::memcpy(target.data(), bytes.data(), std::min(bytes.size(), target.size()));
}

bool SameValue(storage::DeclaredFile& left, size_t left_field, storage::DeclaredFile& right,
               size_t right_field) {
  if (IsNumericField(Descriptor(left, left_field)) &&
      IsNumericField(Descriptor(right, right_field))) {
    return runtime::Compare(FieldNumber(left, left_field), FieldNumber(right, right_field)) == 0;
  }
  return TextValue(left, left_field) == TextValue(right, right_field);
}

void CopyValue(storage::DeclaredFile& from, size_t from_field, storage::DeclaredFile& to,
               size_t to_field) {
  if (IsNumericField(Descriptor(to, to_field))) {
    DecimalRegister value = IsNumericField(Descriptor(from, from_field))
                                ? FieldNumber(from, from_field)
                                : DecimalRegister::FromText(TextValue(from, from_field));
    SetFieldNumber(to, to_field, value);
    return;
  }
  if (IsTextField(Descriptor(to, to_field))) {
    StoreText(to, to_field, TextValue(from, from_field));
    return;
  }
  std::span<uint8_t> source = Storage(from, from_field);
  std::span<uint8_t> target = Storage(to, to_field);
  std::fill(target.begin(), target.end(), 0);
  std::memcpy(target.data(), source.data(), std::min(source.size(), target.size()));
}

void ClearField(storage::DeclaredFile& file, size_t field) {
  std::span<uint8_t> bytes = Storage(file, field);
  bool blanks = TypeOf(Descriptor(file, field)) == TypeCode::STRING;
  std::fill(bytes.begin(), bytes.end(), blanks ? ' ' : '\0');
}

void ClearRecord(storage::DeclaredFile& file) {
  std::span<char> record = file.block().record;
  std::fill(record.begin(), record.end(), '\0');
  for (size_t field = 0; field < file.block().layout.fields.size(); ++field) {
    if (TypeOf(Descriptor(file, field)) == TypeCode::STRING) ClearField(file, field);
  }
  for (std::string& memo : file.block().memo) memo.clear();
}

}  // namespace tentaria::framework
