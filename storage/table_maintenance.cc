#include "storage/table_maintenance.h"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/memo_segments.h"
#include "storage/table_definition_records.h"
#include "storage/table_name.h"

namespace tentaria::storage {
namespace {

constexpr int kSharedReadWrite = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;
constexpr int kSharedRead = platform::open_mode::kRead | platform::open_mode::kDenyNone;
// Table number and kind: where a record number starts in the keys that
// carry one.
constexpr size_t kNumberAt = 5;
constexpr size_t kCopyChunk = 64 * 1024;
// Numbers from here on are refused by the header counter.
constexpr uint64_t kNumberLimit = 0xFE000000;

Status AccessDenied(const char* what) {
  return Status::Error(tentaria::error_code::kAccessDenied, what);
}

// Two paths name the same file when they agree once made absolute and
// normal (links are not followed).
bool SamePath(const std::string& a, const std::string& b) {
  std::error_code error_a;
  std::error_code error_b;
  std::filesystem::path pa = std::filesystem::absolute(a, error_a).lexically_normal();
  std::filesystem::path pb = std::filesystem::absolute(b, error_b).lexically_normal();
  return error_a || error_b ? a == b : pa == pb;
}

Status OpenRecordFile(platform::FileSystem* fs, const std::string& path,
                      platform::Disposition disposition, const RecordFileOptions& options,
                      std::unique_ptr<RecordFile>* file, int mode = kSharedReadWrite) {
  return RecordFile::Open(fs, path, mode, disposition, options, file);
}

// The number of the named table; *found is false when it has none.
Status FindTable(RecordFile* file, const std::string& name, uint32_t* table, bool* found) {
  std::string key = TableNameKey(name);
  std::string record;
  Status s = file->Get(key, &record);
  *found = s.ok();
  if (s.code() == error_code::kRecordNotFound) return Status::Ok();
  if (!s.ok()) return s;
  return DecodeTableNumber(std::string_view(record).substr(key.size()), table);
}

Status FindExistingTable(RecordFile* file, const std::string& name, uint32_t* table) {
  bool found = false;
  Status s = FindTable(file, name, table, &found);
  if (s.ok() && !found) s = Status::Error(tentaria::error_code::kFileNotFound, "no table " + name);
  return s;
}

// Whether any table name record is left.
Status AnyTableName(RecordFile* file, bool* any) {
  std::string prefix = TableNameKey("");
  std::unique_ptr<RecordCursor> cursor = file->NewCursor();
  Status s = cursor->Seek(prefix);
  *any = s.ok() && cursor->Valid() && cursor->key().starts_with(prefix);
  return s;
}

// Deletes the table's records and name record.
Status DropTable(RecordFile* file, const std::string& name, uint32_t table) {
  Status s = DeleteRecords(file, TablePrefix(table), {});
  if (s.ok()) s = file->Delete(TableNameKey(name));
  return s;
}

uint32_t LoadNumber(std::string_view bytes) {
  return LoadBigU32(reinterpret_cast<const uint8_t*>(bytes.data()));
}

void StoreNumber(std::string* bytes, size_t at, uint32_t number) {
  StoreBigU32(reinterpret_cast<uint8_t*>(bytes->data()) + at, number);
}

// Moves the record numbers of one table into another file (or the same
// one) under a new table number, as a copy of every record.
class TableCopier {
 public:
  TableCopier(RecordFile* target, uint32_t new_table, uint32_t offset)
      : target_(target), new_table_(new_table), offset_(offset) {}

  // Copies one record of the source table.
  Status Copy(std::string_view key, std::string_view data) {
    if (key.size() < kNumberAt) return BadRecord();
    std::string new_key(key);
    std::string new_data(data);
    StoreNumber(&new_key, 0, new_table_);
    uint8_t kind = static_cast<uint8_t>(key[4]);
    Status s;
    if (kind < kDataRowKind) {
      // A key entry: the record number is the data of a unique key's
      // entry and the end of the key of a DUP key's.
      if (data.size() == 4) {
        s = Shift(&new_data, 0);
      } else if (data.empty() && key.size() >= kNumberAt + 4) {
        s = Shift(&new_key, key.size() - 4);
      } else {
        return BadRecord();
      }
    } else if (kind == kDataRowKind || kind == kMemoSegmentKind) {
      if (key.size() < kNumberAt + 4) return BadRecord();
      s = Shift(&new_key, kNumberAt);
    } else if (kind == kCountersKind) {
      Counters counters;
      s = DecodeCounters(data, &counters);
      if (s.ok() && counters.out_of_date != 0) {
        s = Raise(counters.out_of_date, &counters.out_of_date);
        new_data.replace(0, 8, EncodeCounters(counters));
      }
    }
    // Definition blocks, the sort order and any other kind move as they are.
    if (s.ok()) s = target_->Insert(new_key + new_data, new_key.size());
    return s;
  }

  // Brings the target's counter up to the highest number used.
  Status SettleCounter() {
    uint32_t issued = new_table_;
    Status s;
    while (s.ok() && issued < highest_) s = target_->IssueNumber(&issued);
    return s;
  }

 private:
  static Status BadRecord() {
    return Status::Error(error_code::kInvalidDataFile, "a record of the table is malformed");
  }

  Status Raise(uint32_t number, uint32_t* raised) {
    uint64_t shifted = static_cast<uint64_t>(number) + offset_;
    if (shifted >= kNumberLimit) return InternalFault(fault::kNumbersExhausted);
    *raised = static_cast<uint32_t>(shifted);
    if (*raised > highest_) highest_ = *raised;
    return Status::Ok();
  }

  Status Shift(std::string* bytes, size_t at) {
    uint32_t raised = 0;
    Status s = Raise(LoadNumber(std::string_view(*bytes).substr(at, 4)), &raised);
    if (s.ok()) StoreNumber(bytes, at, raised);
    return s;
  }

  RecordFile* target_;
  uint32_t new_table_;
  uint32_t offset_;
  uint32_t highest_ = 0;
};

// Copies the table into `target` under `target_name` (whose old table, if
// any, the caller has dropped), deleting each source record after it when
// `move`.
Status CopyRecords(RecordFile* source, uint32_t table, RecordFile* target,
                   const std::string& target_name, bool move) {
  uint32_t new_table = 0;
  Status s = target->IssueNumber(&new_table);
  if (!s.ok()) return s;
  std::string name_key = TableNameKey(target_name);
  s = target->Insert(name_key + EncodeTableNumber(new_table), name_key.size());
  // Every number of the table is raised by the counter's value, so all lie
  // above every number the target has issued.
  TableCopier copier(target, new_table, new_table);
  std::string prefix = TablePrefix(table);
  std::unique_ptr<RecordCursor> cursor = source->NewCursor();
  if (s.ok()) s = cursor->Seek(prefix);
  while (s.ok() && cursor->Valid() && cursor->key().starts_with(prefix)) {
    std::string key(cursor->key());
    s = copier.Copy(key, cursor->record().substr(key.size()));
    if (s.ok() && move) s = source->Delete(key);
    if (s.ok()) s = cursor->Next();
  }
  if (s.ok()) s = copier.SettleCounter();
  return s;
}

Status CopyWholeFile(platform::FileSystem* fs, const std::string& from, const std::string& to) {
  if (SamePath(from, to)) return AccessDenied("a file cannot be copied onto itself");
  std::unique_ptr<platform::File> source;
  Status s = fs->Open(from, platform::open_mode::kRead | platform::open_mode::kDenyWrite,
                      platform::Disposition::kOpenExisting, &source);
  if (!s.ok()) return s;
  // The copy takes the target's place only once it is whole.
  std::string temporary = to + ".$copy";
  std::unique_ptr<platform::File> copy;
  s = fs->Open(temporary, platform::open_mode::kReadWrite | platform::open_mode::kDenyAll,
               platform::Disposition::kCreateNew, &copy);
  if (!s.ok()) return s;
  std::vector<char> buffer(kCopyChunk);
  for (uint64_t at = 0; s.ok();) {
    size_t got = 0;
    s = source->Read(at, buffer.data(), buffer.size(), &got);
    if (!s.ok() || got == 0) break;
    s = copy->Write(at, buffer.data(), got);
    at += got;
  }
  if (s.ok()) s = copy->Flush();
  copy.reset();
  source.reset();
  if (s.ok()) s = fs->Rename(temporary, to);
  if (!s.ok()) fs->Delete(temporary);
  return s;
}

Status MoveWholeFile(platform::FileSystem* fs, const std::string& from, const std::string& to) {
  if (!fs->Exists(from)) return Status::Error(tentaria::error_code::kFileNotFound, from);
  if (fs->Exists(to)) return AccessDenied("the new name exists");
  return fs->Rename(from, to);
}

// Copies or moves a table between or within files.
Status TransferTable(platform::FileSystem* fs, const TableName& from, const TableName& to,
                     const RecordFileOptions& options, bool move) {
  bool same_file = SamePath(from.path, to.path);
  if (same_file && from.table == to.table) return AccessDenied("a table onto itself");
  // A copy into another file only reads the source.
  int source_mode = move || same_file ? kSharedReadWrite : kSharedRead;
  std::unique_ptr<RecordFile> source;
  Status s = OpenRecordFile(fs, from.path, platform::Disposition::kOpenExisting, options, &source,
                            source_mode);
  if (!s.ok()) return s;
  uint32_t table = 0;
  s = FindExistingTable(source.get(), from.table, &table);
  if (!s.ok()) return s;
  std::unique_ptr<RecordFile> other;
  if (!same_file) {
    s = OpenRecordFile(fs, to.path, platform::Disposition::kOpenOrCreate, options, &other);
    if (!s.ok()) return s;
  }
  RecordFile* target = same_file ? source.get() : other.get();

  uint32_t existing = 0;
  bool exists = false;
  s = FindTable(target, to.table, &existing, &exists);
  if (!s.ok()) return s;
  if (exists && move) return AccessDenied("a table of the new name exists");
  // Two names of one table: replacing the one would drop the other's rows.
  if (exists && same_file && existing == table) return AccessDenied("a table onto itself");
  if (exists) s = DropTable(target, to.table, existing);

  if (s.ok() && same_file && move) {
    // Within one file the records keep their numbers; only the name moves.
    std::string name_key = TableNameKey(to.table);
    s = source->Delete(TableNameKey(from.table));
    if (s.ok()) s = source->Insert(name_key + EncodeTableNumber(table), name_key.size());
  } else if (s.ok()) {
    s = CopyRecords(source.get(), table, target, to.table, move);
    if (s.ok() && move) s = source->Delete(TableNameKey(from.table));
  }
  // The target first: a crash before the source is written leaves the
  // table in both files.
  if (s.ok()) s = target->Flush();
  if (s.ok() && !same_file && move) s = source->Flush();
  if (!s.ok()) {
    source->DiscardChanges();
    if (other) other->DiscardChanges();
  }
  return s;
}

Status Transfer(platform::FileSystem* fs, std::string_view source_name,
                std::string_view target_name, const RecordFileOptions& options, bool move) {
  TableName from;
  TableName to;
  Status s = SplitTableName(source_name, IsDirectory(), &from);
  if (s.ok()) s = SplitTableName(target_name, IsDirectory(), &to);
  if (!s.ok()) return s;
  if (!from.named && !to.named) {
    return move ? MoveWholeFile(fs, from.path, to.path) : CopyWholeFile(fs, from.path, to.path);
  }
  return TransferTable(fs, from, to, options, move);
}

}  // namespace

TableAccess AccessOf(TableFile* table) {
  return {table->record_file(), table->table_number(), &table->definition(), table->collation()};
}

Status DeleteRecords(RecordFile* file, std::string_view prefix, const RecordFilter& keep) {
  std::unique_ptr<RecordCursor> cursor = file->NewCursor();
  Status s = cursor->Seek(prefix);
  while (s.ok() && cursor->Valid() && cursor->key().starts_with(prefix)) {
    std::string_view key = cursor->key();
    if (!keep || !keep(key, cursor->record().substr(key.size()))) s = file->Delete(key);
    // After a delete the cursor finds its place again by the deleted key.
    if (s.ok()) s = cursor->Next();
  }
  return s;
}

Status EmptyTable(const TableAccess& table) {
  auto keep = [](std::string_view key, std::string_view) {
    uint8_t kind = static_cast<uint8_t>(key[4]);
    return kind == kDefinitionBlockKind || kind == kSortOrderKind;
  };
  Status s = DeleteRecords(table.file, TablePrefix(table.table), keep);
  for (const KeyedRecord& counters : NewTableCounters(table.table, table.definition->keys.size())) {
    if (s.ok()) s = table.file->Put(counters.key + counters.data, counters.key.size());
  }
  return s;
}

Status RemoveTable(platform::FileSystem* fs, std::string_view name,
                   const RecordFileOptions& options) {
  TableName split;
  Status s = SplitTableName(name, IsDirectory(), &split);
  if (!s.ok()) return s;
  std::unique_ptr<RecordFile> file;
  s = OpenRecordFile(fs, split.path, platform::Disposition::kOpenExisting, options, &file);
  if (!s.ok()) return s;
  uint32_t table = 0;
  s = FindExistingTable(file.get(), split.table, &table);
  if (s.ok()) s = file->Delete(TableNameKey(split.table));
  bool any = false;
  if (s.ok()) s = AnyTableName(file.get(), &any);
  if (s.ok() && !any) {
    // The last table goes with its file.
    file->DiscardChanges();
    file.reset();
    return fs->Delete(split.path);
  }
  if (s.ok()) s = DeleteRecords(file.get(), TablePrefix(table), {});
  if (s.ok()) s = file->Flush();
  if (!s.ok()) file->DiscardChanges();
  return s;
}

Status CopyTable(platform::FileSystem* fs, std::string_view source_name,
                 std::string_view target_name, const RecordFileOptions& options) {
  return Transfer(fs, source_name, target_name, options, false);
}

Status RenameTable(platform::FileSystem* fs, std::string_view source_name,
                   std::string_view target_name, const RecordFileOptions& options) {
  return Transfer(fs, source_name, target_name, options, true);
}

}  // namespace tentaria::storage
