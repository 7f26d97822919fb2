#include "storage/key_build.h"

#include <memory>
#include <optional>
#include <span>

#include "runtime/locale.h"
#include "storage/bytes.h"
#include "storage/error_texts.h"
#include "storage/internal_fault.h"
#include "storage/key_entry.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {
namespace {

constexpr size_t kNumberAt = 5;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

Status ReadCounters(const TableAccess& table, uint8_t subtype, Counters* counters) {
  std::string key = CountersKey(table.table, subtype);
  std::string record;
  Status s = table.file->Get(key, &record);
  if (s.code() == error_code::kRecordNotFound) {
    return Status::Error(error_code::kInvalidDataFile, "a counters record is missing");
  }
  if (!s.ok()) return s;
  return DecodeCounters(std::string_view(record).substr(key.size()), counters);
}

Status WriteCounters(const TableAccess& table, uint8_t subtype, const Counters& counters) {
  std::string key = CountersKey(table.table, subtype);
  return table.file->Put(key + EncodeCounters(counters), key.size());
}

// The record number an entry names: the data of a unique key's entry, the
// end of the key of a DUP key's.  Nothing for a malformed entry.
std::optional<uint32_t> EntryRecordNumber(std::string_view key, std::string_view data) {
  if (data.size() == 4) return LoadBigU32(Bytes(data).data());
  if (data.empty() && key.size() >= kNumberAt + 4) {
    return LoadBigU32(Bytes(key).data() + key.size() - 4);
  }
  return std::nullopt;
}

Status Cancelled() { return Status::Error(error::kBuildCancelled, "BUILD Cancelled"); }

// Walks the table's rows from record number `from` in record order.
class RowWalk {
 public:
  RowWalk(const TableAccess& table, uint32_t from)
      : table_(table),
        prefix_(DataRowKey(table.table, 0).substr(0, kNumberAt)),
        cursor_(table.file->NewCursor()) {
    status_ = cursor_->Seek(DataRowKey(table.table, from));
  }

  // Moves to the next row; false at the end or on a failure (status()).
  bool Next(uint32_t* record_number, std::string_view* row) {
    if (started_ && status_.ok()) status_ = cursor_->Next();
    started_ = true;
    if (!status_.ok() || !cursor_->Valid() || !cursor_->key().starts_with(prefix_)) return false;
    std::string_view key = cursor_->key();
    *row = cursor_->record().substr(key.size());
    if (key.size() != kNumberAt + 4 || row->size() != table_.definition->layout.record_size) {
      status_ = Status::Error(error_code::kInvalidDataFile, "a row of the wrong length");
      return false;
    }
    *record_number = LoadBigU32(Bytes(key).data() + kNumberAt);
    return true;
  }
  const Status& status() const { return status_; }

 private:
  const TableAccess& table_;
  std::string prefix_;
  std::unique_ptr<RecordCursor> cursor_;
  Status status_;
  bool started_ = false;
};

// Asks the progress handler after each row; false when it cancels.
bool GoOn(const BuildOptions& options, size_t key_number, uint32_t done, uint32_t rows) {
  return !options.progress || options.progress(key_number, done, rows);
}

Status BuildInMemory(const TableAccess& table, size_t key_number, const BuildOptions& options,
                     uint32_t rows) {
  std::map<std::string, std::string>& entries = options.memory_keys->keys[key_number];
  entries.clear();
  RowWalk walk(table, 0);
  uint32_t record_number = 0;
  std::string_view row;
  Status s;
  for (uint32_t done = 1; s.ok() && walk.Next(&record_number, &row); ++done) {
    KeyedRecord entry;
    bool has_entry = false;
    s = BuildKeyEntry(*table.definition, table.table, key_number, Bytes(row), record_number,
                      table.collation, &entry, &has_entry);
    if (s.ok() && has_entry && !entries.emplace(entry.key, entry.data).second) {
      s = Status::Error(error_code::kDuplicateKey, "Creates Duplicate Key");
    }
    if (s.ok() && !GoOn(options, key_number, done, rows)) s = Cancelled();
  }
  if (s.ok()) s = walk.status();
  if (!s.ok()) entries.clear();
  return s;
}

Status BuildInFile(const TableAccess& table, size_t key_number, const BuildOptions& options,
                   uint32_t rows) {
  uint8_t subtype = static_cast<uint8_t>(key_number);
  Counters counters;
  Status s = ReadCounters(table, subtype, &counters);
  if (!s.ok()) return s;
  // Record numbers start at 1, so a full build starts there.
  uint32_t from = options.full_build ? 1 : counters.out_of_date;
  if (from == 0) return Status::Ok();
  // Until the build ends the key stays marked out of date from `from`.
  counters.out_of_date = from;
  s = WriteCounters(table, subtype, counters);

  // The entries of rows before `from` stay; the others are made again.
  uint32_t kept = 0;
  auto keep = [&](std::string_view key, std::string_view data) {
    std::optional<uint32_t> number = EntryRecordNumber(key, data);
    if (!number.has_value() || *number >= from) return false;
    ++kept;
    return true;
  };
  if (s.ok()) s = DeleteRecords(table.file, KeyEntryPrefix(table.table, subtype), keep);
  if (!s.ok()) return s;

  uint32_t added = 0;
  RowWalk walk(table, from);
  uint32_t record_number = 0;
  std::string_view row;
  for (uint32_t done = 1; s.ok() && walk.Next(&record_number, &row); ++done) {
    KeyedRecord entry;
    bool has_entry = false;
    s = BuildKeyEntry(*table.definition, table.table, key_number, Bytes(row), record_number,
                      table.collation, &entry, &has_entry);
    if (s.ok() && has_entry) {
      // A value that a key without DUP already holds is refused (40).
      s = table.file->Insert(entry.key + entry.data, entry.key.size());
      if (s.ok()) ++added;
    }
    if (s.ok() && !GoOn(options, key_number, done, rows)) s = Cancelled();
  }
  if (s.ok()) s = walk.status();
  if (!s.ok()) return s;
  counters.count = kept + added;
  counters.out_of_date = 0;
  return WriteCounters(table, subtype, counters);
}

// Marks a key out of date from the first row.
Status MarkOutOfDate(const TableAccess& table, size_t key_number) {
  uint8_t subtype = static_cast<uint8_t>(key_number);
  Counters counters;
  Status s = ReadCounters(table, subtype, &counters);
  if (!s.ok()) return s;
  counters.out_of_date = 1;
  return WriteCounters(table, subtype, counters);
}

// The sort order of the current locale replaces the stored one.
Status TakeLocaleSortOrder(TableAccess* table) {
  const runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  bool oem = table->collation.oem();
  std::string key = SortOrderKey(table->table);
  Status s = table->file->Put(key + EncodeSortOrder(tables, oem), key.size());
  if (!s.ok()) return s;
  bool changed = !(tables == table->collation.tables());
  table->collation = KeyCollation(tables, oem);
  // Keys built only on request are not built here; entries made with the
  // old order would be read in the wrong order, so they wait for their
  // build.
  for (size_t k = 0; changed && s.ok() && k < table->definition->keys.size(); ++k) {
    const KeyDescriptor& key_descriptor = table->definition->keys[k];
    if (key_descriptor.Has(key_attribute::kBuiltOnRequest) &&
        !key_descriptor.Has(key_attribute::kInMemory)) {
      s = MarkOutOfDate(*table, k);
    }
  }
  return s;
}

}  // namespace

Status BuildKey(TableAccess* table, size_t key_number, const BuildOptions& options) {
  if (key_number >= table->definition->keys.size()) {
    return Status::Error(error_code::kInvalidRecordDeclaration, "no such key");
  }
  Counters row_counters;
  Status s = ReadCounters(*table, kRowsCounter, &row_counters);
  if (!s.ok()) return s;
  if (!table->definition->keys[key_number].Has(key_attribute::kInMemory)) {
    return BuildInFile(*table, key_number, options, row_counters.count);
  }
  if (options.memory_keys == nullptr) return Status::Ok();
  return BuildInMemory(*table, key_number, options, row_counters.count);
}

Status BuildFile(TableAccess* table, const BuildOptions& options) {
  Status s;
  if (options.full_build) s = TakeLocaleSortOrder(table);
  for (size_t k = 0; s.ok() && k < table->definition->keys.size(); ++k) {
    if (!table->definition->keys[k].Has(key_attribute::kBuiltOnRequest)) {
      s = BuildKey(table, k, options);
    }
  }
  return s;
}

Status PackFile(TableAccess* table, const BuildOptions& options) {
  Status s = BuildFile(table, options);
  if (s.ok()) s = table->file->Flush();
  if (s.ok()) s = table->file->CutToUsedArea();
  return s;
}

}  // namespace tentaria::storage
