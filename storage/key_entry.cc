#include "storage/key_entry.h"

#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/key_component.h"

namespace tentaria::storage {
namespace {

constexpr size_t kPrefixLength = 5;
constexpr size_t kRecordNumberLength = 4;

Status CheckRow(const FileDescriptor& file, size_t key_number, std::span<const uint8_t> row) {
  if (key_number >= file.keys.size()) {
    return Status::Error(error_code::kInvalidRecordDeclaration, "no such key");
  }
  if (row.size() < file.layout.record_size) {
    return Status::Error(error_code::kInvalidRecordDeclaration, "row shorter than the record");
  }
  return Status::Ok();
}

std::span<const uint8_t> FieldBytes(const FieldDescriptor& field, std::span<const uint8_t> row) {
  return row.subspan(field.offset, field.size);
}

std::string RecordNumberBytes(uint32_t record_number) {
  std::string bytes(kRecordNumberLength, '\0');
  StoreBigU32(reinterpret_cast<uint8_t*>(bytes.data()), record_number);
  return bytes;
}

uint32_t LoadRecordNumber(std::string_view bytes) {
  return LoadBigU32(reinterpret_cast<const uint8_t*>(bytes.data()));
}

Status Malformed(const char* what) {
  return Status::Error(error_code::kInvalidDataFile, std::string("key entry: ") + what);
}

}  // namespace

Status EncodeKeyValue(const FileDescriptor& file, size_t key_number, std::span<const uint8_t> row,
                      const KeyCollation& collation, std::string* value) {
  if (Status s = CheckRow(file, key_number, row); !s.ok()) return s;
  const KeyDescriptor& key = file.keys[key_number];
  value->assign(KeyValueLength(file, key), '\0');
  std::span<uint8_t> out(reinterpret_cast<uint8_t*>(value->data()), value->size());
  bool nocase = key.Has(key_attribute::NOCASE);
  size_t at = 0;
  for (const KeyComponent& component : key.components) {
    const FieldDescriptor& field = file.layout.fields[component.field];
    EncodeKeyComponent(field, FieldBytes(field, row), nocase, component.descending(), collation,
                       out.subspan(at, field.size));
    at += field.size;
  }
  return Status::Ok();
}

bool IsEmptyKeyValue(const FileDescriptor& file, size_t key_number, std::span<const uint8_t> row) {
  if (!CheckRow(file, key_number, row).ok()) return false;
  for (const KeyComponent& component : file.keys[key_number].components) {
    const FieldDescriptor& field = file.layout.fields[component.field];
    if (!IsEmptyKeyComponent(field, FieldBytes(field, row))) return false;
  }
  return true;
}

Status BuildKeyEntry(const FileDescriptor& file, uint32_t table, size_t key_number,
                     std::span<const uint8_t> row, uint32_t record_number,
                     const KeyCollation& collation, KeyedRecord* entry, bool* has_entry) {
  if (Status s = CheckRow(file, key_number, row); !s.ok()) return s;
  const KeyDescriptor& key = file.keys[key_number];
  if (key.Has(key_attribute::OPT) && IsEmptyKeyValue(file, key_number, row)) {
    *has_entry = false;
    return Status::Ok();
  }
  std::string value;
  if (Status s = EncodeKeyValue(file, key_number, row, collation, &value); !s.ok()) return s;
  bool dup = key.Has(key_attribute::DUP);
  entry->key = KeyEntryKey(table, static_cast<uint8_t>(key_number), value, dup, record_number);
  entry->data = dup ? std::string() : RecordNumberBytes(record_number);
  *has_entry = true;
  return Status::Ok();
}

std::string KeyEntryPrefix(uint32_t table, uint8_t key_number) {
  std::string prefix = TablePrefix(table);
  prefix.push_back(static_cast<char>(key_number));
  return prefix;
}

std::string KeyEntryKey(uint32_t table, uint8_t key_number, std::string_view value, bool dup,
                        uint32_t record_number) {
  std::string key = KeyEntryPrefix(table, key_number);
  key.append(value);
  if (dup) key.append(RecordNumberBytes(record_number));
  return key;
}

Status ParseKeyEntry(const FileDescriptor& file, std::string_view record_key, std::string_view data,
                     ParsedKeyEntry* entry) {
  if (record_key.size() < kPrefixLength) return Malformed("key too short");
  uint8_t key_number = static_cast<uint8_t>(record_key[4]);
  if (key_number >= file.keys.size()) return Malformed("no such key");
  const KeyDescriptor& key = file.keys[key_number];
  size_t length = KeyValueLength(file, key);
  bool dup = key.Has(key_attribute::DUP);
  size_t key_length = kPrefixLength + length + (dup ? kRecordNumberLength : 0);
  size_t data_length = dup ? 0 : kRecordNumberLength;
  if (record_key.size() != key_length || data.size() != data_length) {
    return Malformed("lengths do not fit the key");
  }
  entry->table = LoadBigU32(reinterpret_cast<const uint8_t*>(record_key.data()));
  entry->key_number = key_number;
  entry->value.assign(record_key.substr(kPrefixLength, length));
  entry->record_number = LoadRecordNumber(dup ? record_key.substr(kPrefixLength + length) : data);
  return Status::Ok();
}

Status DecodeKeyValue(const FileDescriptor& file, size_t key_number, std::string_view value,
                      const KeyCollation& collation, std::string* row) {
  if (key_number >= file.keys.size()) return Malformed("no such key");
  const KeyDescriptor& key = file.keys[key_number];
  if (value.size() != KeyValueLength(file, key)) return Malformed("value of the wrong length");
  if (row->size() < file.layout.record_size) row->resize(file.layout.record_size, '\0');
  std::span<const uint8_t> in(reinterpret_cast<const uint8_t*>(value.data()), value.size());
  std::span<uint8_t> out(reinterpret_cast<uint8_t*>(row->data()), row->size());
  size_t at = 0;
  for (const KeyComponent& component : key.components) {
    const FieldDescriptor& field = file.layout.fields[component.field];
    DecodeKeyComponent(field, in.subspan(at, field.size), component.descending(), collation,
                       out.subspan(field.offset, field.size));
    at += field.size;
  }
  return Status::Ok();
}

}  // namespace tentaria::storage
