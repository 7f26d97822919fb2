// Key entries: one record per row and key in the record tree, ordered so
// that walking a key number's records in tree order lists the rows in key
// order.
//
//   Key-entry record of a key without DUP (key 5 + k bytes)
//     key   0      4   table number, big-endian
//           4      1   key number: the key's position in the definition,
//                      from 0 (always below 0xF3, the data row kind)
//           5      k   the encoded key value (key_component.h): the
//                      components one after another, k = the sum of their
//                      field sizes
//     data  0      4   the row's record number, big-endian
//
//   Key-entry record of a DUP key (key 5 + k + 4 bytes, no data)
//     key   0      4   table number, big-endian
//           4      1   key number
//           5      k   the encoded key value
//           5 + k  4   the row's record number, big-endian, so equal values
//                      are distinct and follow in record number order
//
// An OPT key has no entry for a row whose value is empty: every component
// empty (IsEmptyKeyComponent).
#ifndef TENTARIA_STORAGE_KEY_ENTRY_H_
#define TENTARIA_STORAGE_KEY_ENTRY_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "storage/key_collation.h"
#include "storage/table_definition.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {

// The encoded value of key `key_number` for a row.  The definition must
// have passed ValidateDefinition; a row shorter than the record size, or a
// key number out of range, fails with 47.
Status EncodeKeyValue(const FileDescriptor& file, size_t key_number, std::span<const uint8_t> row,
                      const KeyCollation& collation, std::string* value);

// Whether every component of the key is empty in the row (same
// preconditions; false when they do not hold).
bool IsEmptyKeyValue(const FileDescriptor& file, size_t key_number, std::span<const uint8_t> row);

// The entry record of a row in a key.  *has_entry is false (and *entry
// untouched) for an OPT key whose value is empty in the row.
Status BuildKeyEntry(const FileDescriptor& file, uint32_t table, size_t key_number,
                     std::span<const uint8_t> row, uint32_t record_number,
                     const KeyCollation& collation, KeyedRecord* entry, bool* has_entry);

// The first five bytes of every entry of a key.
std::string KeyEntryPrefix(uint32_t table, uint8_t key_number);
// The record key of an entry with this value; the record number is part of
// it for a DUP key only.  For a DUP key, record number 0 and 0xFFFFFFFF
// give the search keys before and after every entry with the value.
std::string KeyEntryKey(uint32_t table, uint8_t key_number, std::string_view value, bool dup,
                        uint32_t record_number);

struct ParsedKeyEntry {
  uint32_t table = 0;
  uint8_t key_number = 0;
  std::string value;
  uint32_t record_number = 0;
};
// Takes an entry record of the table apart.  A key number that is not one
// of the table's keys, or lengths that do not fit the key, is "Invalid
// Data File" (36).
Status ParseKeyEntry(const FileDescriptor& file, std::string_view record_key, std::string_view data,
                     ParsedKeyEntry* entry);

// Writes the fields of a key value back into a row image of the record
// size (other bytes as they were; *row is resized to the record size when
// shorter), for showing an entry.  A value of the wrong length fails with
// 36.  See DecodeKeyComponent for what comes back exactly.
Status DecodeKeyValue(const FileDescriptor& file, size_t key_number, std::string_view value,
                      const KeyCollation& collation, std::string* row);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_KEY_ENTRY_H_
