// tvn export: a table's rows as CSV, in record order or in a key's order.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/charset.h"
#include "storage/key_entry.h"
#include "storage/memo_segments.h"
#include "storage/table_file.h"
#include "tools/tvn/command.h"
#include "tools/tvn/command_support.h"
#include "tools/tvn/csv.h"
#include "tools/tvn/field_text.h"
#include "tools/tvn/table_access.h"

namespace tentaria::tvn {
namespace {

constexpr int kKeyMustBeRebuilt = 46;
constexpr size_t kOutputChunk = 1 << 16;

class RowWriter {
 public:
  RowWriter(storage::RecordFile* file, const StoredTable& table)
      : file_(file),
        table_(table),
        definition_(table.definition),
        columns_(TableColumns(table.definition)) {
    std::vector<std::string> headings;
    for (const Column& column : columns_) headings.push_back(column.heading);
    AppendCsvRecord(headings, &out_);
  }
  ~RowWriter() { WriteOut(out_); }

  Status Write(uint32_t record_number, std::string_view row) {
    if (row.size() != definition_.layout.record_size) {
      return Status::Error(36, "a row of " + std::to_string(row.size()) + " bytes");
    }
    if (!definition_.memos.empty()) {
      storage::MemoOwner owner{file_, table_.number, record_number, table_.collation.oem()};
      Status s = storage::ReadRowMemos(owner, definition_, &memos_);
      if (!s.ok()) return s;
    }
    values_.clear();
    for (const Column& column : columns_) {
      values_.push_back(column.memo
                            ? MemoColumnText(definition_.memos[column.field], memos_[column.field])
                            : ColumnText(definition_, column, row));
    }
    AppendCsvRecord(values_, &out_);
    if (out_.size() >= kOutputChunk) {
      WriteOut(out_);
      out_.clear();
    }
    return Status::Ok();
  }

 private:
  storage::RecordFile* file_;
  const StoredTable& table_;
  const storage::FileDescriptor& definition_;
  std::vector<Column> columns_;
  std::vector<std::string> memos_;
  std::vector<std::string> values_;
  std::string out_;
};

Status ExportInRecordOrder(storage::RecordFile* file, const StoredTable& table, RowWriter* writer) {
  std::string prefix = storage::TablePrefix(table.number);
  prefix.push_back(static_cast<char>(storage::kDataRowKind));
  std::unique_ptr<storage::RecordCursor> cursor = file->NewCursor();
  Status s = cursor->Seek(prefix);
  for (; s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
    uint32_t record_number = 0;
    for (size_t i = 5; i < 9; ++i) {
      record_number = record_number << 8 | static_cast<uint8_t>(cursor->key()[i]);
    }
    s = writer->Write(record_number, cursor->record().substr(cursor->key().size()));
    if (!s.ok()) return s;
  }
  return s;
}

Status ExportInKeyOrder(storage::RecordFile* file, const StoredTable& table, size_t key_number,
                        RowWriter* writer) {
  const storage::KeyDescriptor& key = table.definition.keys[key_number];
  uint8_t number = static_cast<uint8_t>(key_number);
  storage::Counters counters;
  Status s = ReadCounters(file, table.number, number, &counters);
  if (!s.ok()) return s;
  if (counters.out_of_date != 0 || key.Has(storage::key_attribute::kInMemory)) {
    return Status::Error(kKeyMustBeRebuilt, "the key " + key.label + " is not built in the file");
  }
  std::string prefix = storage::KeyEntryPrefix(table.number, number);
  std::unique_ptr<storage::RecordCursor> cursor = file->NewCursor();
  s = cursor->Seek(prefix);
  std::string row;
  for (; s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
    storage::ParsedKeyEntry entry;
    s = storage::ParseKeyEntry(table.definition, cursor->key(),
                               cursor->record().substr(cursor->key().size()), &entry);
    if (s.ok()) {
      std::string row_key = storage::DataRowKey(table.number, entry.record_number);
      s = file->Get(row_key, &row);
      if (s.ok()) {
        s = writer->Write(entry.record_number, std::string_view(row).substr(row_key.size()));
      }
    }
    if (!s.ok()) return s;
  }
  return s;
}

}  // namespace

int ExportCommand(const Arguments& arguments) {
  ParsedArguments parsed;
  if (!ParseArguments(arguments, {"--key", "--owner"}, &parsed) || parsed.positional.size() != 1) {
    std::fputs("usage: tvn export FILE[\\!TABLE] [--key NAME] [--owner PASSWORD]\n", stderr);
    return 2;
  }
  const std::string& name = parsed.positional[0];
  std::unique_ptr<storage::RecordFile> file;
  StoredTable table;
  Status s =
      OpenTableForReading(platform::Utf8ToCp1252(name), parsed.options["--owner"], &file, &table);
  if (!s.ok()) return ReportFailure(name, s);
  int key_number = -1;
  if (parsed.options.contains("--key")) {
    key_number = FindKey(table.definition, platform::Utf8ToCp1252(parsed.options["--key"]));
    if (key_number < 0) {
      std::fprintf(stderr, "tvn: %s: the table has no key %s\n", name.c_str(),
                   parsed.options["--key"].c_str());
      return 1;
    }
  }
  // One read operation, so that the rows come from one state of the file.
  s = file->BeginRead();
  if (!s.ok()) return ReportFailure(name, s);
  {
    RowWriter writer(file.get(), table);
    s = key_number < 0
            ? ExportInRecordOrder(file.get(), table, &writer)
            : ExportInKeyOrder(file.get(), table, static_cast<size_t>(key_number), &writer);
  }
  Status ended = file->EndRead();
  if (s.ok()) s = ended;
  if (!s.ok()) return ReportFailure(name, s);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace tentaria::tvn
