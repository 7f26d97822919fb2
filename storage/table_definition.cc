#include "storage/table_definition.h"

#include <string_view>

#include "storage/page.h"

namespace tentaria::storage {
namespace {

// A data row record is the table number, the kind byte and the record
// number (9 bytes) followed by the row.
constexpr size_t kRowKeyLength = 9;
// A key-entry record: table number and key number (5 bytes), the value,
// and the record number (4 bytes, in the key or as the data).
constexpr size_t kEntryOverhead = 9;

bool HasZeroByte(std::string_view text) { return text.find('\0') != std::string_view::npos; }

Status Fault(int error_code, std::string message) {
  return Status::Error(error_code, std::move(message));
}

Status ValidateField(const FileDescriptor& file, size_t index, int error_code) {
  const FieldDescriptor& field = file.layout.fields[index];
  std::string where = "field " + std::to_string(index + 1);
  if (static_cast<size_t>(field.offset) + field.size > file.layout.record_size) {
    return Fault(error_code, where + " lies outside the record");
  }
  uint32_t elements = field.Elements();
  if (elements == 0 || elements > 0xFFFF) {
    return Fault(error_code, where + " has an impossible number of elements");
  }
  if (field.size % elements != 0) {
    return Fault(error_code, where + " is not a whole number of elements");
  }
  if (HasZeroByte(field.label) || HasZeroByte(field.external_name) || HasZeroByte(field.picture)) {
    return Fault(error_code, where + " has a zero byte in a text");
  }
  return Status::Ok();
}

Status ValidateKey(const FileDescriptor& file, size_t index, int error_code) {
  const KeyDescriptor& key = file.keys[index];
  std::string where = "key " + std::to_string(index + 1);
  if (key.components.empty()) return Fault(error_code, where + " has no components");
  size_t length = 0;
  for (const KeyComponent& component : key.components) {
    if (component.field >= file.layout.fields.size()) {
      return Fault(error_code, where + " names a field that does not exist");
    }
    const FieldDescriptor& field = file.layout.fields[component.field];
    if (field.size == 0) return Fault(error_code, where + " has a component of no bytes");
    length += field.size;
    if (length + kEntryOverhead > kMaxRecordLength) {
      return Fault(error_code, where + " is too long for an entry record");
    }
  }
  if (HasZeroByte(key.label) || HasZeroByte(key.external_name)) {
    return Fault(error_code, where + " has a zero byte in a text");
  }
  return Status::Ok();
}

}  // namespace

uint32_t FieldDescriptor::Elements() const {
  uint32_t elements = 1;
  for (uint16_t dimension : dimensions) {
    elements *= dimension;
    if (elements > 0xFFFF) return 0x10000;
  }
  return elements;
}

uint16_t DefinitionVersion(const FileDescriptor& file) {
  for (const MemoDescriptor& memo : file.memos) {
    if (memo.blob()) return 2;
  }
  return 1;
}

size_t KeyValueLength(const FileDescriptor& file, const KeyDescriptor& key) {
  size_t length = 0;
  for (const KeyComponent& component : key.components) {
    if (component.field < file.layout.fields.size()) {
      length += file.layout.fields[component.field].size;
    }
  }
  return length;
}

Status ValidateDefinition(const FileDescriptor& file, int error_code) {
  if (file.layout.record_size + kRowKeyLength > kMaxRecordLength) {
    return Fault(error_code, "the record is too long for the file");
  }
  if (file.layout.fields.size() > 0xFFFF) return Fault(error_code, "too many fields");
  if (file.keys.size() > kMaxKeys) return Fault(error_code, "too many keys");
  if (file.memos.size() > kMaxMemos) return Fault(error_code, "too many memos");
  for (size_t i = 0; i < file.layout.fields.size(); ++i) {
    if (Status s = ValidateField(file, i, error_code); !s.ok()) return s;
  }
  for (size_t i = 0; i < file.keys.size(); ++i) {
    if (Status s = ValidateKey(file, i, error_code); !s.ok()) return s;
  }
  for (size_t i = 0; i < file.memos.size(); ++i) {
    const MemoDescriptor& memo = file.memos[i];
    if (HasZeroByte(memo.label) || HasZeroByte(memo.external_name)) {
      return Fault(error_code, "memo " + std::to_string(i + 1) + " has a zero byte in a text");
    }
  }
  return Status::Ok();
}

}  // namespace tentaria::storage
