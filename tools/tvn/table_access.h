// How tvn reaches the tables of a record file: the file opened for reading
// or writing, the tables it holds, and one table with the definition,
// collation and counters stored with it, read without a declaration of the
// program's own.
#ifndef TENTARIA_TOOLS_TVN_TABLE_ACCESS_H_
#define TENTARIA_TOOLS_TVN_TABLE_ACCESS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "storage/key_collation.h"
#include "storage/record_file.h"
#include "storage/table_definition.h"
#include "storage/table_definition_records.h"

namespace tentaria::tvn {

// Opens an existing record file for reading (others may read it too).
Status OpenForReading(const std::string& path, const std::string& owner,
                      std::unique_ptr<storage::RecordFile>* file);

struct TableEntry {
  std::string name;
  uint32_t number = 0;
};
// The tables of the file, in name order.
Status ListTables(storage::RecordFile* file, std::vector<TableEntry>* tables);

struct StoredTable {
  std::string name;
  uint32_t number = 0;
  storage::FileDescriptor definition;
  storage::KeyCollation collation;
};
// The table of this name (upper-case) with its stored definition; code 2
// when the file has no such table.
Status LoadTable(storage::RecordFile* file, std::string_view name, StoredTable* table);

// The counters of the rows (storage::kRowsCounter) or of a key.
Status ReadCounters(storage::RecordFile* file, uint32_t table, uint8_t subtype,
                    storage::Counters* counters);

// Splits "FILE[\!TABLE]" and opens the file for reading and the table in it.
Status OpenTableForReading(std::string_view name, const std::string& owner,
                           std::unique_ptr<storage::RecordFile>* file, StoredTable* table);

// The key whose label or external name is `name` (either case); -1 when
// there is none.
int FindKey(const storage::FileDescriptor& definition, std::string_view name);

}  // namespace tentaria::tvn

#endif  // TENTARIA_TOOLS_TVN_TABLE_ACCESS_H_
