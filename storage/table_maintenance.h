// Operations on a whole table: emptying, removing, copying and renaming.
//
// A table is every record whose key starts with its table number (rows,
// memo segments, key entries, counters, definition blocks, sort order),
// plus its name record (table_name.h), which gives that number.
//
// None of these flushes a file that the caller has open: changes to an
// open table wait for the caller's flush or commit like any other change.
// The operations that open files themselves (remove, copy, rename) write
// each file out in one flush, so a crash leaves it before or after.
#ifndef TENTARIA_STORAGE_TABLE_MAINTENANCE_H_
#define TENTARIA_STORAGE_TABLE_MAINTENANCE_H_

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/file.h"
#include "platform/status.h"
#include "storage/key_collation.h"
#include "storage/record_file.h"
#include "storage/table_definition.h"
#include "storage/table_file.h"

namespace tentaria::storage {

// An open table as the whole-table operations see it.
struct TableAccess {
  RecordFile* file = nullptr;
  uint32_t table = 0;
  const FileDescriptor* definition = nullptr;
  // The collation its string keys are built with.  A full BuildFile
  // replaces it (key_build.h); the caller then gives its table the new one.
  KeyCollation collation;
};
TableAccess AccessOf(TableFile* table);

// Answers whether a record (key, data) stays.
using RecordFilter = std::function<bool(std::string_view key, std::string_view data)>;
// Deletes every record whose key starts with `prefix`, except those that
// `keep` (when set) answers true for.
Status DeleteRecords(RecordFile* file, std::string_view prefix, const RecordFilter& keep);

// EMPTY: deletes every row, memo segment and key entry of the table and
// sets its counters back to 0 (row count, entry counts, out-of-date
// numbers).  The name record, definition and sort order stay as they are,
// so the table keeps its collation and character set.
Status EmptyTable(const TableAccess& table);

// REMOVE: deletes the table addressed by `name` ("path\!table", or a path
// for the unnamed table).  The file is opened read-write, deny none, with
// `options`; its stored definition is not looked at.  When no other table
// is left in the file, the whole file is deleted; otherwise the table's
// records and name record are deleted and the file is written out.  A
// missing file or table is "File Not Found" (2).
Status RemoveTable(platform::FileSystem* fs, std::string_view name,
                   const RecordFileOptions& options);

// COPY and RENAME.  When neither name addresses a table (no "\!"), the
// whole file is copied or moved:
//  - COPY writes the copy under a temporary name beside the target and
//    then puts it in the target's place, so an existing target is replaced
//    only by a complete copy;
//  - RENAME onto an existing file is "Access Denied" (5); nothing moves.
// Otherwise the table is copied into the target file (created if missing,
// opened read-write, deny none) under the target's table name, with a new
// table number from the target's counter.  The record numbers of its rows,
// memo segments and key entries, and the out-of-date numbers of its
// counters, are raised by one common offset, the new table number, so that
// they lie above every number the target had issued; the target's counter
// ends at the highest number used.
//  - COPY onto a table of the same name in the target replaces that table
//    (the target file is written in one flush, so it holds either the old
//    table or the copy); copying a table onto itself is 5.
//  - RENAME onto an existing table name is 5.  RENAME deletes the table's
//    records and name record from the source; the target is written out
//    first, so a crash in between leaves the table in both files rather
//    than in neither.  Within one file, RENAME only changes the name
//    record.
// Both files are opened here with `options`, deny none (the source for
// reading only when a table is copied into another file): the caller must
// not hold either open in a way that denies that.
Status CopyTable(platform::FileSystem* fs, std::string_view source_name,
                 std::string_view target_name, const RecordFileOptions& options);
Status RenameTable(platform::FileSystem* fs, std::string_view source_name,
                   std::string_view target_name, const RecordFileOptions& options);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TABLE_MAINTENANCE_H_
