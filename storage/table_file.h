// TableFile: one open table of a record file, as the driver's operations
// see it.  It keeps the table's rows, key entries and counters in step:
//
//   Data row (key 9 bytes)
//     key   0   4     table number, big-endian
//           4   1     0xF3
//           5   4     record number, big-endian
//     data  0   n     the row buffer, n = the record size
//
// The other records of a table (name, definition, sort order, counters,
// key entries) are described where they are built: table_name.h,
// table_definition_records.h and key_entry.h.
#ifndef TENTARIA_STORAGE_TABLE_FILE_H_
#define TENTARIA_STORAGE_TABLE_FILE_H_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file.h"
#include "platform/status.h"
#include "storage/key_collation.h"
#include "storage/record_file.h"
#include "storage/table_definition.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {

inline constexpr uint8_t kDataRowKind = 0xF3;

std::string DataRowKey(uint32_t table, uint32_t record_number);

// How an open treats a missing file or table.
struct TableOpenRequest {
  int mode = 0;  // the runtime open mode
  platform::Disposition disposition = platform::Disposition::kOpenExisting;
  bool create_table = false;  // a missing table is created
  // Asked during recovery of a pending journal (RecordFileOptions).
  std::function<Status(std::string_view marker_data, bool* pending)> transaction_pending;
};

class TableFile {
 public:
  // Opens the table that `name` ("path\!table", or a path for the unnamed
  // table) addresses, with the runtime open mode.  A declaration with the
  // CREATE attribute creates a missing file or table: name record with a
  // new table number, definition, sort order and counters.  Without it a
  // missing file or table is "File Not Found" (2).  An existing table's
  // definition is compared with the declaration; an essential difference
  // is "Invalid Record Declaration" (47).  The sort-order record decides
  // the collation of string keys and the OEM attribute.
  static Status Open(platform::FileSystem* fs, const FileDescriptor& declaration,
                     std::string_view name, int mode, std::unique_ptr<TableFile>* table);
  // The same with the file's disposition and the table's creation given
  // apart from the declaration.  A declaration without a record (record
  // size 0) of a table that is not created takes the stored definition.
  static Status Open(platform::FileSystem* fs, const FileDescriptor& declaration,
                     std::string_view name, const TableOpenRequest& request,
                     std::unique_ptr<TableFile>* table);

  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  // Adds the row under a new record number.  A duplicate in a key without
  // DUP is "Creates Duplicate Key" (40): the entries already inserted are
  // taken out again and no row is written.  The number stays issued.
  // With `append` the keys get no entries and are marked out of date.
  Status Add(std::string_view row, bool append, uint32_t* record_number);
  // Changes the row with this record number and moves its key entries.
  // 35 when there is no such row; a new value that a key without DUP
  // already holds is 40, with the row and every key left as they were.
  Status Put(uint32_t record_number, std::string_view row);
  // The row with this record number; 35 when there is none.
  Status GetByPointer(uint32_t record_number, std::string* row);
  // The first row whose value in key `key_number` equals that of `row`
  // (by record number among equal values); 35 when there is none.
  Status GetByKey(size_t key_number, std::string_view row, std::string* found,
                  uint32_t* record_number);
  // Whether a key without DUP already holds the value that `row` has in key
  // `key_number` for a row other than `except_record`.  Keys with DUP, and
  // an empty value of an OPT key, never do.
  Status HasDuplicate(size_t key_number, std::string_view row, uint32_t except_record,
                      bool* duplicate);
  // Deletes the row and its key entries; 35 when there is no such row.
  Status Delete(uint32_t record_number);
  // The row count, and a key's entry count, from the counters records.
  Status Records(uint32_t* count);
  Status RecordsInKey(size_t key_number, uint32_t* count);
  // Writes out the changes.
  Status Flush();

  uint32_t table_number() const { return table_; }
  // Whether this open created the table.
  bool created() const { return created_; }
  bool oem() const { return collation_.oem(); }
  const FileDescriptor& definition() const { return definition_; }
  const KeyCollation& collation() const { return collation_; }
  // A full key build rebuilds the sort order; the table keys with it after.
  void set_collation(KeyCollation collation) { collation_ = std::move(collation); }
  // The host path of the record file.
  const std::string& path() const { return path_; }
  // The record file under the table, for the operations that work on all
  // of a table's records at once (emptying, copying, key building, memos).
  // Counters kept in memory are written to it before any access there.
  RecordFile* record_file() { return file_.get(); }

 private:
  TableFile(std::unique_ptr<RecordFile> file, FileDescriptor definition, uint32_t table,
            KeyCollation collation);

  static Status CreateTable(RecordFile* file, const FileDescriptor& declaration,
                            std::string_view table_name, uint32_t* table);
  // The counters records are read and rewritten on every change of a row.
  // While this open holds the file for writing, no other process changes
  // them, so they are kept here and written to the file once: when it
  // flushes, or before anyone else reads or writes its records (the
  // file's write-back hook).  Anything that drops the file's state in
  // memory drops them too.
  struct CachedCounters {
    Counters counters;
    bool changed = false;
  };
  bool CountersCacheUsable();
  Status WriteBackCounters();
  Status ReadCounters(uint8_t subtype, Counters* counters);
  Status WriteCounters(uint8_t subtype, const Counters& counters);
  Status AdjustCount(uint8_t subtype, int delta);
  // A change at this record number leaves a key without entries out of
  // date from there, so that the next build remakes (or drops) its entry.
  Status MarkOutOfDate(size_t key_number, uint32_t record_number);

  std::unique_ptr<RecordFile> file_;
  FileDescriptor definition_;
  uint32_t table_ = 0;
  KeyCollation collation_;
  bool created_ = false;
  std::string path_;
  std::map<uint8_t, CachedCounters> counters_;
  uint64_t counters_epoch_ = 0;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TABLE_FILE_H_
