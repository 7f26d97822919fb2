// The records that carry a table's definition and bookkeeping in the record
// tree: definition blocks, counters and the sort order.  Every key starts
// with the table number, big-endian, so all records of a table lie
// together; the fifth byte names the kind.
//
//   Definition block (key 7 bytes)
//     key   0   4     table number, big-endian
//           4   1     0xFA
//           5   2     block number, little-endian, from 0
//     data  up to 512 bytes of the definition stream
//
//   Counters (key 6 bytes)
//     key   0   4     table number, big-endian
//           4   1     0xF6
//           5   1     0xF3 for the rows, else the key number
//     data  0   u32   count of rows, or of the key's entries
//           4   u32   lowest record number from which the key's entries
//                     are out of date; 0 when complete (and for the rows)
//
//   Sort order (key 6 bytes)
//     key   0   4     table number, big-endian
//           4   1     0xFB
//           5   1     always 1
//     data  0   1     1 when the file keeps its text in the OEM character
//                     set, else 0 (any non-zero byte is read as OEM)
//           1   1152  the collation tables the string keys were built with
//                     (runtime/collation.h)
#ifndef TENTARIA_STORAGE_TABLE_DEFINITION_RECORDS_H_
#define TENTARIA_STORAGE_TABLE_DEFINITION_RECORDS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "runtime/collation.h"

namespace tentaria::storage {

inline constexpr uint8_t kDefinitionBlockKind = 0xFA;
inline constexpr uint8_t kCountersKind = 0xF6;
inline constexpr uint8_t kSortOrderKind = 0xFB;
// The counters subtype of the rows; a key's subtype is its key number.
inline constexpr uint8_t kRowsCounter = 0xF3;

// The four bytes every record of the table starts with.
std::string TablePrefix(uint32_t table);

std::string DefinitionBlockKey(uint32_t table, uint16_t block);

std::string CountersKey(uint32_t table, uint8_t subtype);
struct Counters {
  uint32_t count = 0;
  uint32_t out_of_date = 0;
};
std::string EncodeCounters(const Counters& counters);
// Fewer than 8 bytes is "Invalid Data File" (36).
Status DecodeCounters(std::string_view data, Counters* counters);

// A record as the tree holds it: key, then data.
struct KeyedRecord {
  std::string key;
  std::string data;
};
// The counters records a new (or emptied) table starts with: the rows', then
// one per key in key order, all counts 0.
std::vector<KeyedRecord> NewTableCounters(uint32_t table, size_t key_count);

std::string SortOrderKey(uint32_t table);
std::string EncodeSortOrder(const runtime::CollationTables& tables, bool oem);
// Anything but 1 + 1152 bytes is "Invalid Data File" (36).
Status DecodeSortOrder(std::string_view data, runtime::CollationTables* tables, bool* oem);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TABLE_DEFINITION_RECORDS_H_
