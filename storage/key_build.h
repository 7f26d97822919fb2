// Building keys: bringing a key's entries up to date with the rows
// (BUILDkey, BUILDfile) and packing the file (PACK).
//
// A key is built from its out-of-date record number (the second number of
// its counters record, table_definition_records.h): its entries of rows
// from that number on are taken out and made again from the rows, and the
// counters record then holds the new entry count and 0.  A key that is
// complete (0) is left alone.  With the full-build flag every key is built
// from the first row.
//
// While a build runs, the key's out-of-date number is set to where the
// build started, so a build that is cancelled or fails (a duplicate in a
// key without DUP: 40) leaves the key marked out of date from there, and
// the next build starts there again.
//
// A key with the in-memory bit gets its entries in a MemoryKeyStore, never
// in the file; it is always built whole.
#ifndef TENTARIA_STORAGE_KEY_BUILD_H_
#define TENTARIA_STORAGE_KEY_BUILD_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/status.h"
#include "storage/table_maintenance.h"

namespace tentaria::storage {

// Entries of the in-memory keys, by key number: record key -> data, in key
// order (the same records the file would hold, key_entry.h).
struct MemoryKeyStore {
  std::map<size_t, std::map<std::string, std::string>> keys;
};

// Told after each row a build reads: the key being built, the rows read so
// far for it and the table's row count.  Answering false cancels the
// build, which then ends with "BUILD Cancelled" (93).
using BuildProgress = std::function<bool(size_t key_number, uint32_t rows_done, uint32_t rows)>;

struct BuildOptions {
  // The table's full-build flag (SEND "FULLBUILD").
  bool full_build = false;
  BuildProgress progress;
  // Where keys with the in-memory bit are built; without a store they
  // are left alone.
  MemoryKeyStore* memory_keys = nullptr;
};

// BUILDkey: builds one key.  A key number out of range is 47.
Status BuildKey(TableAccess* table, size_t key_number, const BuildOptions& options);

// BUILDfile: builds every key but those built on request (attribute bit
// 5).  With the full-build flag it first writes the sort-order record
// again from the current locale's collation (the file's character set
// stays) and builds with that; table->collation is replaced by it.
Status BuildFile(TableAccess* table, const BuildOptions& options);

// PACK: BuildFile, then writes the file out and cuts it off at the end of
// its used area.
Status PackFile(TableAccess* table, const BuildOptions& options);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_KEY_BUILD_H_
