// The declaration of a table: its record layout (fields), keys, memos and
// blobs, and the file attributes, as a program declares it and as the
// driver rebuilds it from a table's stored definition.
//
// Numbers that the stored definition keeps in 16 bits (record size, field
// offsets and sizes, counts) are held as uint16_t, so every declaration
// that can be held can also be written.  ValidateDefinition checks the
// rules that the codecs rely on (fields inside the record, key components
// naming fields, limits of the record tree); every unit that reads a row
// through a definition relies on a definition that passed it.
#ifndef TENTARIA_STORAGE_TABLE_DEFINITION_H_
#define TENTARIA_STORAGE_TABLE_DEFINITION_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace tentaria::storage {

namespace error_code {
inline constexpr int kInvalidFilename = 45;
inline constexpr int kInvalidRecordDeclaration = 47;
}  // namespace error_code

// File attribute bits of a declaration.
namespace file_attribute {
inline constexpr uint32_t ENCRYPT = 1;
inline constexpr uint32_t CREATE = 2;
inline constexpr uint32_t RECLAIM = 4;
inline constexpr uint32_t THREAD = 8;
// The file keeps its text in the OEM character set.  The sort-order record
// of an existing table decides this, whatever the declaration says.
inline constexpr uint32_t OEM = 16;
}  // namespace file_attribute

// Key attribute bits.  Only the low eight bits are stored with a table.
namespace key_attribute {
inline constexpr uint32_t DUP = 1u << 0;      // equal values allowed
inline constexpr uint32_t OPT = 1u << 1;      // rows with an empty value get no entry
inline constexpr uint32_t NOCASE = 1u << 2;   // text upper-cased before encoding
inline constexpr uint32_t PRIMARY = 1u << 4;  // marks the primary key only
// The key gets no entries when rows are added or changed; its counters
// record holds the lowest record number from which it is out of date, and
// the build operations bring it up to date.
inline constexpr uint32_t kBuiltOnRequest = 1u << 5;
// The key is skipped when rows change and built into a store held in
// memory, never into the file.
inline constexpr uint32_t kInMemory = 1u << 6;
inline constexpr uint32_t INDEX = 1u << 14;  // declared as an index; not stored
inline constexpr uint32_t kStoredBits = 0xFF;
}  // namespace key_attribute

// Memo attribute bits.
namespace memo_attribute {
inline constexpr uint16_t BINARY = 1u << 1;  // no character-set conversion
inline constexpr uint16_t BLOB = 1u << 2;
}  // namespace memo_attribute

// Key component attribute bits.  Other bits are carried unchanged.
inline constexpr uint16_t kComponentDescending = 1;

// Key numbers are the kind byte of key-entry records, which lies below
// 0xF3; memo numbers are one byte of a segment's key.
inline constexpr size_t kMaxKeys = 0xF3;
inline constexpr size_t kMaxMemos = 256;

struct FieldDescriptor {
  uint8_t type = 0;  // runtime::TypeCode
  uint16_t offset = 0;
  uint16_t size = 0;  // bytes of the whole field (of the whole array)
  std::string label;  // the full prefixed label, "GNAW:NAAMCAMP"
  // The field's name in the file; the label stands in when empty.
  std::string external_name;
  // Empty for a field that is not an array.
  std::vector<uint16_t> dimensions;
  std::string picture;   // without the leading '@'
  uint8_t digits = 0;    // DECIMAL, PDECIMAL: digits
  uint8_t decimals = 0;  // DECIMAL, PDECIMAL: decimal places
  // STRING, CSTRING, PSTRING: declared length of one element.
  uint16_t string_length = 0;
  // Two further attribute words, carried from the declaration into the
  // stored definition and compared exactly; this system gives them no
  // meaning of its own.
  std::array<uint16_t, 2> further_attributes{};

  // The number of elements: the product of the dimensions, 1 when there
  // are none.  Saturates above 65535.
  uint32_t Elements() const;
  // The name kept in the stored definition.
  const std::string& StoredName() const { return external_name.empty() ? label : external_name; }
};

struct RecordLayout {
  uint16_t record_size = 0;
  std::vector<FieldDescriptor> fields;
};

struct KeyComponent {
  uint16_t field = 0;  // position in the field list, from 0
  uint16_t attributes = 0;

  bool descending() const { return (attributes & kComponentDescending) != 0; }
};

struct KeyDescriptor {
  std::string label;
  std::string external_name;
  uint32_t attributes = 0;  // key_attribute bits
  std::vector<KeyComponent> components;

  bool Has(uint32_t attribute) const { return (attributes & attribute) != 0; }
};

struct MemoDescriptor {
  std::string label;
  std::string external_name;
  uint16_t size = 0;        // the declared maximum; not binding for a blob
  uint16_t attributes = 0;  // memo_attribute bits

  bool blob() const { return (attributes & memo_attribute::BLOB) != 0; }
  bool binary() const { return (attributes & memo_attribute::BINARY) != 0; }
};

struct FileDescriptor {
  std::string prefix;  // "GNAW"
  std::string driver = "TAVRIN";
  std::string driver_options;
  std::string name;  // the file name as declared, "GezNAW.TVN"
  std::string owner_password;
  uint32_t attributes = 0;  // file_attribute bits
  RecordLayout layout;
  std::vector<KeyDescriptor> keys;
  std::vector<MemoDescriptor> memos;

  bool Has(uint32_t attribute) const { return (attributes & attribute) != 0; }
};

// Stored definition version: 2 when the table has a blob, else 1.
uint16_t DefinitionVersion(const FileDescriptor& file);

// Bytes of a key's encoded value: the sum of its components' field sizes.
// Only meaningful for a validated definition.
size_t KeyValueLength(const FileDescriptor& file, const KeyDescriptor& key);

// Checks a declaration, or a definition read from a file, against the rules
// the codecs rely on:
//  - the record fits a data row record of the file;
//  - every field lies inside the record, has at least one element, and its
//    size is a whole number of elements;
//  - at most kMaxKeys keys and kMaxMemos memos;
//  - every key has a component; each names a field of at least one byte;
//    the key's entry record fits the file;
//  - no text holds a zero byte (the stored definition ends texts with one).
// Fails with `error_code` (the caller's choice: 47 for a declaration, 36
// for a stored definition) and a message naming the first fault.
Status ValidateDefinition(const FileDescriptor& file, int error_code);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TABLE_DEFINITION_H_
