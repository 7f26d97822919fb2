#include "views/plan_field.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/collation.h"
#include "runtime/locale.h"
#include "runtime/value_types.h"
#include "views/expression_evaluator.h"

namespace tentaria::views {

namespace {

using runtime::TypeCode;

bool Is(const storage::FieldDescriptor& field, TypeCode code) {
  return field.type == runtime::ToInt(code);
}

template <typename T>
void Store(char* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

template <typename T>
T Clamp(double value) {
  if (value != value) return T{};
  if (value <= static_cast<double>(std::numeric_limits<T>::lowest())) {
    return std::numeric_limits<T>::lowest();
  }
  if (value >= static_cast<double>(std::numeric_limits<T>::max())) {
    return std::numeric_limits<T>::max();
  }
  return static_cast<T>(value);
}

double RealOf(const Value& value) {
  switch (value.value_class) {
    case ValueClass::kTruth:
    case ValueClass::kInteger:
      return value.integer;
    case ValueClass::kReal:
      return value.real;
    default: {
      NodePtr text = MakeString(value.text);
      return EvaluateReal(*text);
    }
  }
}

void WriteNumber(const storage::FieldDescriptor& field, char* at, double value) {
  switch (static_cast<TypeCode>(field.type)) {
    case TypeCode::BYTE:
      Store(at, Clamp<uint8_t>(value));
      break;
    case TypeCode::SHORT:
      Store(at, Clamp<int16_t>(value));
      break;
    case TypeCode::USHORT:
      Store(at, Clamp<uint16_t>(value));
      break;
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
      Store(at, Clamp<int32_t>(value));
      break;
    case TypeCode::ULONG:
      Store(at, Clamp<uint32_t>(value));
      break;
    case TypeCode::SREAL:
      Store(at, Clamp<float>(value));
      break;
    case TypeCode::REAL:
      Store(at, value);
      break;
    default:
      break;
  }
}

bool IsText(const storage::FieldDescriptor& field) {
  return Is(field, TypeCode::STRING) || Is(field, TypeCode::CSTRING) ||
         Is(field, TypeCode::PSTRING);
}

void WriteText(const storage::FieldDescriptor& field, char* at, std::string_view text) {
  size_t size = field.size;
  if (Is(field, TypeCode::STRING)) {
    std::memset(at, ' ', size);
    std::memcpy(at, text.data(), std::min(size, text.size()));
  } else if (Is(field, TypeCode::CSTRING)) {
    std::memset(at, 0, size);
    if (size > 0) std::memcpy(at, text.data(), std::min(size - 1, text.size()));
  } else if (Is(field, TypeCode::PSTRING)) {
    std::memset(at, 0, size);
    if (size == 0) return;
    size_t n = std::min({size - 1, text.size(), size_t{255}});
    at[0] = static_cast<char>(n);
    std::memcpy(at + 1, text.data(), n);
  }
}

}  // namespace

std::optional<FieldRef> FieldOfVariable(std::span<const PlanFile> files, const Node& node) {
  if (node.kind != NodeKind::kVariable || !node.variable.dimensions.empty()) return std::nullopt;
  const auto* address = static_cast<const char*>(node.variable.address);
  for (size_t i = 0; i < files.size(); ++i) {
    std::span<char> record = files[i].file->record();
    if (address < record.data() || address >= record.data() + record.size()) continue;
    auto offset = static_cast<size_t>(address - record.data());
    const auto& fields = files[i].file->block().layout.fields;
    for (size_t f = 0; f < fields.size(); ++f) {
      if (fields[f].offset == offset && fields[f].type == node.variable.type &&
          fields[f].size == node.variable.size && fields[f].dimensions.empty()) {
        return FieldRef{static_cast<int>(i), static_cast<int>(f)};
      }
    }
    return std::nullopt;
  }
  return std::nullopt;
}

int LevelOfAddress(std::span<const PlanFile> files, const void* address) {
  const auto* at = static_cast<const char*>(address);
  for (const PlanFile& file : files) {
    std::span<char> record = file.file->record();
    if (at >= record.data() && at < record.data() + record.size()) return file.level;
  }
  return 0;
}

NodePtr FieldNode(storage::DeclaredFile& file, int field) {
  const storage::FieldDescriptor& descriptor = file.block().layout.fields.at(field);
  BoundVariable variable;
  variable.address = file.record().data() + descriptor.offset;
  variable.type = descriptor.type;
  variable.size = descriptor.size;
  variable.decimals = descriptor.decimals;
  return MakeVariable(descriptor.label, variable);
}

bool IsWritableField(const storage::FieldDescriptor& field) {
  if (!field.dimensions.empty()) return false;
  switch (static_cast<TypeCode>(field.type)) {
    case TypeCode::BYTE:
    case TypeCode::SHORT:
    case TypeCode::USHORT:
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
    case TypeCode::ULONG:
    case TypeCode::SREAL:
    case TypeCode::REAL:
    case TypeCode::STRING:
    case TypeCode::CSTRING:
    case TypeCode::PSTRING:
      return static_cast<int>(field.size) >= (IsText(field) ? 1 : runtime::TypeSize(field.type));
    default:
      return false;
  }
}

void WriteField(storage::DeclaredFile& file, int field, const Value& value) {
  const storage::FieldDescriptor& descriptor = file.block().layout.fields.at(field);
  if (!IsWritableField(descriptor)) return;
  char* at = file.record().data() + descriptor.offset;
  if (IsText(descriptor)) {
    if (value.value_class == ValueClass::kString || value.value_class == ValueClass::kPicture) {
      WriteText(descriptor, at, value.text);
    } else {
      NodePtr node = value.value_class == ValueClass::kReal ? MakeReal(value.real)
                                                            : MakeInteger(value.integer);
      WriteText(descriptor, at, EvaluateText(*node));
    }
    return;
  }
  WriteNumber(descriptor, at, RealOf(value));
}

void WriteExtreme(storage::DeclaredFile& file, int field, bool highest) {
  const storage::FieldDescriptor& descriptor = file.block().layout.fields.at(field);
  if (!IsWritableField(descriptor)) return;
  char* at = file.record().data() + descriptor.offset;
  if (IsText(descriptor)) {
    std::string text(descriptor.size, static_cast<char>(CharacterOfWeight(highest ? 255 : 0)));
    WriteText(descriptor, at, text);
    return;
  }
  double limit = std::numeric_limits<double>::max();
  WriteNumber(descriptor, at, highest ? limit : -limit);
}

void ClearRecord(storage::DeclaredFile& file) {
  std::span<char> record = file.record();
  std::memset(record.data(), 0, record.size());
  for (const storage::FieldDescriptor& field : file.block().layout.fields) {
    if (Is(field, TypeCode::STRING) && field.offset + field.size <= record.size()) {
      std::memset(record.data() + field.offset, ' ', field.size);
    }
  }
  for (std::string& memo : file.block().memo) memo.clear();
}

unsigned char CharacterOfWeight(int weight) {
  const runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  for (int c = 0; c < 256; ++c) {
    if (tables.weight[static_cast<size_t>(c)] == weight) return static_cast<unsigned char>(c);
  }
  return static_cast<unsigned char>(weight);
}

}  // namespace tentaria::views
