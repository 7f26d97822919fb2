#include "storage/table_file.h"

#include <utility>
#include <vector>

#include "storage/key_entry.h"
#include "storage/key_maintenance.h"
#include "storage/table_definition_records.h"
#include "storage/table_definition_stream.h"
#include "storage/table_name.h"

namespace tentaria::storage {
namespace {

constexpr int kAccessDenied = 5;
constexpr int kRecordNotFound = 35;
constexpr int kFileNotFound = 2;
constexpr int kInvalidRecordDeclaration = 47;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string Record(const KeyedRecord& record) { return record.key + record.data; }

DefinitionBlockSource StoredBlocks(RecordFile* file, uint32_t table) {
  return [file, table](uint16_t block, std::string* data, bool* found) {
    std::string key = DefinitionBlockKey(table, block);
    std::string record;
    Status s = file->Get(key, &record);
    *found = s.ok();
    if (s.code() == kRecordNotFound) return Status::Ok();
    if (!s.ok()) return s;
    *data = record.substr(key.size());
    return Status::Ok();
  };
}

}  // namespace

std::string DataRowKey(uint32_t table, uint32_t record_number) {
  std::string key = TablePrefix(table);
  key.push_back(static_cast<char>(kDataRowKind));
  key.append(EncodeTableNumber(record_number));  // the same big-endian form
  return key;
}

TableFile::TableFile(std::unique_ptr<RecordFile> file, FileDescriptor definition, uint32_t table,
                     KeyCollation collation)
    : file_(std::move(file)),
      definition_(std::move(definition)),
      table_(table),
      collation_(std::move(collation)) {
  file_->set_write_back([this] {
    Status s = WriteBackCounters();
    counters_.clear();
    return s;
  });
}

bool TableFile::CountersCacheUsable() {
  if (!file_->write_held() || file_->state_epoch() != counters_epoch_) {
    // Changes not yet written went with the state they belonged to.
    counters_.clear();
    counters_epoch_ = file_->state_epoch();
  }
  return file_->write_held();
}

Status TableFile::WriteBackCounters() {
  if (!CountersCacheUsable()) return Status::Ok();
  for (auto& [subtype, cached] : counters_) {
    if (!cached.changed) continue;
    std::string key = CountersKey(table_, subtype);
    Status s = file_->Put(key + EncodeCounters(cached.counters), key.size());
    if (!s.ok()) return s;
    cached.changed = false;
  }
  return Status::Ok();
}

Status TableFile::CreateTable(RecordFile* file, const FileDescriptor& declaration,
                              std::string_view table_name, uint32_t* table) {
  std::vector<std::string> blocks;
  Status s = WriteDefinition(declaration, &blocks);
  if (s.ok()) s = file->IssueNumber(table);
  if (!s.ok()) return s;
  std::string name_key = TableNameKey(table_name);
  s = file->Insert(name_key + EncodeTableNumber(*table), name_key.size());
  for (size_t i = 0; s.ok() && i < blocks.size(); ++i) {
    std::string key = DefinitionBlockKey(*table, static_cast<uint16_t>(i));
    s = file->Insert(key + blocks[i], key.size());
  }
  if (s.ok()) {
    std::string key = SortOrderKey(*table);
    bool oem = declaration.Has(file_attribute::OEM);
    s = file->Insert(key + EncodeSortOrder(runtime::CollationTables(), oem), key.size());
  }
  for (const KeyedRecord& counters : NewTableCounters(*table, declaration.keys.size())) {
    if (s.ok()) s = file->Insert(Record(counters), counters.key.size());
  }
  return s;
}

Status TableFile::Open(platform::FileSystem* fs, const FileDescriptor& declaration,
                       std::string_view name, int mode, std::unique_ptr<TableFile>* table) {
  bool create = declaration.Has(file_attribute::CREATE);
  TableOpenRequest request;
  request.mode = mode;
  request.disposition =
      create ? platform::Disposition::kOpenOrCreate : platform::Disposition::kOpenExisting;
  request.create_table = create;
  return Open(fs, declaration, name, request, table);
}

Status TableFile::Open(platform::FileSystem* fs, const FileDescriptor& declared,
                       std::string_view name, const TableOpenRequest& request,
                       std::unique_ptr<TableFile>* table) {
  TableName split;
  Status s = SplitTableName(name, IsDirectory(), &split);
  if (!s.ok()) return s;
  bool create = request.create_table;
  std::unique_ptr<RecordFile> file;
  RecordFileOptions options;
  options.owner_password = declared.owner_password;
  options.transaction_pending = request.transaction_pending;
  s = RecordFile::Open(fs, split.path, request.mode, request.disposition, std::move(options),
                       &file);
  if (!s.ok()) return s;
  FileDescriptor declaration = declared;

  uint32_t number = 0;
  bool created = false;
  std::string name_record;
  std::string name_key = TableNameKey(split.table);
  s = file->Get(name_key, &name_record);
  if (s.code() == kRecordNotFound) {
    if (!create) return Status::Error(kFileNotFound, "no table " + split.table);
    s = CreateTable(file.get(), declaration, split.table, &number);
    if (s.ok()) s = file->Flush();
    if (!s.ok()) return s;
    created = true;
  } else if (s.ok()) {
    s = DecodeTableNumber(std::string_view(name_record).substr(name_key.size()), &number);
    if (!s.ok()) return s;
  } else {
    return s;
  }

  if (declaration.layout.record_size == 0) {
    s = ReadDefinition(StoredBlocks(file.get(), number), &declaration);
    if (!s.ok()) return s;
  } else {
    DefinitionMatch match = DefinitionMatch::kSame;
    s = CompareDefinition(StoredBlocks(file.get(), number), declaration, &match);
    if (!s.ok()) return s;
    if (match == DefinitionMatch::kEssential) {
      return Status::Error(kInvalidRecordDeclaration, "the declaration differs from the file");
    }
  }

  // Without a sort-order record the built-in collation holds.
  KeyCollation collation;
  std::string sort_order;
  std::string sort_key = SortOrderKey(number);
  s = file->Get(sort_key, &sort_order);
  if (s.ok()) {
    runtime::CollationTables tables;
    bool oem = false;
    s = DecodeSortOrder(std::string_view(sort_order).substr(sort_key.size()), &tables, &oem);
    if (!s.ok()) return s;
    collation = KeyCollation(tables, oem);
  } else if (s.code() != kRecordNotFound) {
    return s;
  }
  FileDescriptor definition = declaration;
  if (collation.oem()) {
    definition.attributes |= file_attribute::OEM;
  } else {
    definition.attributes &= ~file_attribute::OEM;
  }
  table->reset(new TableFile(std::move(file), std::move(definition), number, collation));
  (*table)->created_ = created;
  (*table)->path_ = split.path;
  return Status::Ok();
}

Status TableFile::ReadCounters(uint8_t subtype, Counters* counters) {
  bool usable = CountersCacheUsable();
  if (usable) {
    auto it = counters_.find(subtype);
    if (it != counters_.end()) {
      *counters = it->second.counters;
      return Status::Ok();
    }
  }
  std::string key = CountersKey(table_, subtype);
  std::string record;
  Status s = file_->Get(key, &record);
  if (s.ok()) s = DecodeCounters(std::string_view(record).substr(key.size()), counters);
  if (s.ok() && usable) counters_[subtype] = {*counters, false};
  return s;
}

Status TableFile::WriteCounters(uint8_t subtype, const Counters& counters) {
  // Only counters records that exist are kept: a missing one must be
  // reported by the read before any change.
  if (CountersCacheUsable() && counters_.count(subtype) != 0) {
    counters_[subtype] = {counters, true};
    return Status::Ok();
  }
  std::string key = CountersKey(table_, subtype);
  return file_->Put(key + EncodeCounters(counters), key.size());
}

Status TableFile::MarkOutOfDate(size_t key_number, uint32_t record_number) {
  uint8_t subtype = static_cast<uint8_t>(key_number);
  Counters counters;
  Status s = ReadCounters(subtype, &counters);
  if (!s.ok()) return s;
  counters.out_of_date = OutOfDateAfterChange(counters.out_of_date, record_number);
  return WriteCounters(subtype, counters);
}

Status TableFile::AdjustCount(uint8_t subtype, int delta) {
  Counters counters;
  Status s = ReadCounters(subtype, &counters);
  if (!s.ok()) return s;
  counters.count = static_cast<uint32_t>(static_cast<int64_t>(counters.count) + delta);
  return WriteCounters(subtype, counters);
}

Status TableFile::Add(std::string_view row, bool append, uint32_t* record_number) {
  RecordFile::OwnerScope owner(file_.get());
  if (row.size() != definition_.layout.record_size) {
    return Status::Error(kInvalidRecordDeclaration, "row of the wrong size");
  }
  Status s = file_->IssueNumber(record_number);
  if (!s.ok()) return s;
  std::vector<KeyChange> plan;
  s = PlanKeyChanges(definition_, table_, {}, Bytes(row), *record_number, collation_, append,
                     &plan);
  if (!s.ok()) return s;

  std::vector<const KeyedRecord*> inserted;
  for (const KeyChange& change : plan) {
    if (change.upkeep == KeyUpkeep::kDeferred) {
      s = MarkOutOfDate(change.key_number, *record_number);
    } else if (change.new_entry.has_value()) {
      s = file_->Insert(Record(*change.new_entry), change.new_entry->key.size());
      if (s.ok()) inserted.push_back(&*change.new_entry);
    }
    if (!s.ok()) break;
  }
  if (s.ok()) {
    std::string key = DataRowKey(table_, *record_number);
    s = file_->Insert(key + std::string(row), key.size());
  }
  if (!s.ok()) {
    // Take back the entries of the keys before the one that failed, so
    // that no key points to a row that was not written.
    for (const KeyedRecord* entry : inserted) {
      Status undo = file_->Delete(entry->key);
      if (!undo.ok()) return undo;
    }
    return s;
  }
  // The row count must come out above 0 from a counters record that is
  // there; anything else means the table's records do not agree.
  Counters rows;
  s = ReadCounters(kRowsCounter, &rows);
  if (s.code() == kRecordNotFound || (s.ok() && rows.count + 1 == 0)) {
    return Status::Error(kAccessDenied, "the table's row count cannot be raised");
  }
  ++rows.count;
  if (s.ok()) s = WriteCounters(kRowsCounter, rows);
  for (const KeyChange& change : plan) {
    if (s.ok() && change.upkeep == KeyUpkeep::kEntries && change.new_entry.has_value()) {
      s = AdjustCount(static_cast<uint8_t>(change.key_number), 1);
    }
  }
  return s;
}

Status TableFile::Put(uint32_t record_number, std::string_view row) {
  RecordFile::OwnerScope owner(file_.get());
  if (row.size() != definition_.layout.record_size) {
    return Status::Error(kInvalidRecordDeclaration, "row of the wrong size");
  }
  std::string old_row;
  Status s = GetByPointer(record_number, &old_row);
  if (!s.ok()) return s;
  std::vector<KeyChange> plan;
  s = PlanKeyChanges(definition_, table_, Bytes(old_row), Bytes(row), record_number, collation_,
                     false, &plan);
  if (!s.ok()) return s;

  // Applied entry moves, so that a refused change can be undone.
  std::vector<const KeyedRecord*> removed;
  std::vector<const KeyedRecord*> inserted;
  for (const KeyChange& change : plan) {
    if (change.upkeep != KeyUpkeep::kEntries || change.unchanged()) continue;
    if (change.old_entry.has_value()) {
      s = file_->Delete(change.old_entry->key);
      if (s.ok()) removed.push_back(&*change.old_entry);
      if (s.code() == kRecordNotFound) s = Status::Ok();
    }
    if (s.ok() && change.new_entry.has_value()) {
      s = file_->Insert(Record(*change.new_entry), change.new_entry->key.size());
      if (s.ok()) inserted.push_back(&*change.new_entry);
    }
    if (!s.ok()) break;
  }
  if (s.ok()) {
    std::string key = DataRowKey(table_, record_number);
    s = file_->Put(key + std::string(row), key.size());
  }
  if (!s.ok()) {
    for (const KeyedRecord* entry : inserted) {
      Status undo = file_->Delete(entry->key);
      if (!undo.ok()) return undo;
    }
    for (const KeyedRecord* entry : removed) {
      Status undo = file_->Insert(Record(*entry), entry->key.size());
      if (!undo.ok()) return undo;
    }
    return s;
  }
  for (const KeyChange& change : plan) {
    if (!s.ok()) break;
    uint8_t subtype = static_cast<uint8_t>(change.key_number);
    if (change.upkeep == KeyUpkeep::kDeferred) {
      s = MarkOutOfDate(change.key_number, record_number);
    } else if (change.upkeep == KeyUpkeep::kEntries &&
               change.old_entry.has_value() != change.new_entry.has_value()) {
      s = AdjustCount(subtype, change.new_entry.has_value() ? 1 : -1);
    }
  }
  return s;
}

Status TableFile::GetByPointer(uint32_t record_number, std::string* row) {
  RecordFile::OwnerScope owner(file_.get());
  std::string key = DataRowKey(table_, record_number);
  std::string record;
  Status s = file_->Get(key, &record);
  if (!s.ok()) return s;
  *row = record.substr(key.size());
  return Status::Ok();
}

Status TableFile::GetByKey(size_t key_number, std::string_view row, std::string* found,
                           uint32_t* record_number) {
  RecordFile::OwnerScope owner(file_.get());
  if (key_number >= definition_.keys.size() || row.size() != definition_.layout.record_size) {
    return Status::Error(kInvalidRecordDeclaration, "no such key, or a row of the wrong size");
  }
  std::string value;
  Status s = EncodeKeyValue(definition_, key_number, Bytes(row), collation_, &value);
  if (!s.ok()) return s;
  uint8_t number = static_cast<uint8_t>(key_number);
  bool dup = definition_.keys[key_number].Has(key_attribute::DUP);
  std::string first = KeyEntryKey(table_, number, value, dup, 0);
  std::unique_ptr<RecordCursor> cursor = file_->NewCursor();
  s = cursor->Seek(first);
  if (!s.ok()) return s;
  ParsedKeyEntry entry;
  if (!cursor->Valid() || cursor->key().substr(0, 5) != KeyEntryPrefix(table_, number) ||
      !ParseKeyEntry(definition_, cursor->key(), cursor->record().substr(cursor->key().size()),
                     &entry)
           .ok() ||
      entry.value != value) {
    return Status::Error(kRecordNotFound);
  }
  *record_number = entry.record_number;
  return GetByPointer(entry.record_number, found);
}

Status TableFile::HasDuplicate(size_t key_number, std::string_view row, uint32_t except_record,
                               bool* duplicate) {
  RecordFile::OwnerScope owner(file_.get());
  *duplicate = false;
  if (key_number >= definition_.keys.size() || row.size() != definition_.layout.record_size) {
    return Status::Error(kInvalidRecordDeclaration, "no such key, or a row of the wrong size");
  }
  const KeyDescriptor& key = definition_.keys[key_number];
  if (key.Has(key_attribute::DUP) || UpkeepOf(key, false) != KeyUpkeep::kEntries) {
    return Status::Ok();
  }
  KeyedRecord entry;
  bool has_entry = false;
  Status s = BuildKeyEntry(definition_, table_, key_number, Bytes(row), except_record, collation_,
                           &entry, &has_entry);
  if (!s.ok() || !has_entry) return s;
  std::string stored;
  s = file_->Get(entry.key, &stored);
  if (s.code() == kRecordNotFound) return Status::Ok();
  if (!s.ok()) return s;
  ParsedKeyEntry parsed;
  s = ParseKeyEntry(definition_, entry.key, std::string_view(stored).substr(entry.key.size()),
                    &parsed);
  if (s.ok()) *duplicate = parsed.record_number != except_record;
  return s;
}

Status TableFile::Delete(uint32_t record_number) {
  RecordFile::OwnerScope owner(file_.get());
  std::string row;
  Status s = GetByPointer(record_number, &row);
  if (!s.ok()) return s;
  std::vector<KeyChange> plan;
  s = PlanKeyChanges(definition_, table_, Bytes(row), {}, record_number, collation_, false, &plan);
  for (const KeyChange& change : plan) {
    if (!s.ok()) return s;
    // The deleted row may have an entry from an earlier build.
    if (change.upkeep == KeyUpkeep::kDeferred) {
      s = MarkOutOfDate(change.key_number, record_number);
      continue;
    }
    if (change.upkeep == KeyUpkeep::kEntries && change.old_entry.has_value()) {
      s = file_->Delete(change.old_entry->key);
      // A missing entry leaves a key that must be rebuilt; the row still goes.
      if (s.code() == kRecordNotFound) {
        s = Status::Ok();
        continue;
      }
      if (s.ok()) s = AdjustCount(static_cast<uint8_t>(change.key_number), -1);
    }
  }
  if (s.ok()) s = file_->Delete(DataRowKey(table_, record_number));
  if (s.ok()) s = AdjustCount(kRowsCounter, -1);
  return s;
}

Status TableFile::Records(uint32_t* count) {
  RecordFile::OwnerScope owner(file_.get());
  Counters counters;
  Status s = ReadCounters(kRowsCounter, &counters);
  if (s.ok()) *count = counters.count;
  return s;
}

Status TableFile::RecordsInKey(size_t key_number, uint32_t* count) {
  RecordFile::OwnerScope owner(file_.get());
  if (key_number >= definition_.keys.size()) {
    return Status::Error(kInvalidRecordDeclaration, "no such key");
  }
  Counters counters;
  Status s = ReadCounters(static_cast<uint8_t>(key_number), &counters);
  if (s.ok()) *count = counters.count;
  return s;
}

Status TableFile::Flush() { return file_->Flush(); }

}  // namespace tentaria::storage
