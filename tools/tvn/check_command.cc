// tvn check: the integrity check of the record file, and for every table
// that its rows, key entries and counters agree: each key holds exactly the
// entries its rows give, the counters hold the numbers of rows and
// entries, each row's memos read back whole, and no record of the table
// belongs to a key it does not have or to a row that is not there.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "storage/key_entry.h"
#include "storage/memo_segments.h"
#include "storage/table_file.h"
#include "tools/tvn/command.h"
#include "tools/tvn/command_support.h"
#include "tools/tvn/table_access.h"

namespace tentaria::tvn {
namespace {

// Differences of one kind shown for one key; the rest are counted.
constexpr size_t kShownDifferences = 5;

uint32_t RecordNumberOfRow(std::string_view key) {
  uint32_t number = 0;
  for (size_t i = 5; i < 9 && i < key.size(); ++i) {
    number = number << 8 | static_cast<uint8_t>(key[i]);
  }
  return number;
}

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex.push_back(kDigits[c >> 4]);
    hex.push_back(kDigits[c & 15]);
  }
  return hex;
}

class TableCheck {
 public:
  TableCheck(storage::RecordFile* file, const StoredTable& table,
             std::vector<std::string>* problems)
      : file_(file), table_(table), problems_(problems), expected_(table.definition.keys.size()) {}

  Status Run() {
    Status s = ReadRows();
    for (size_t k = 0; s.ok() && k < expected_.size(); ++k) s = CheckKey(k);
    if (s.ok()) s = CheckStrayRecords();
    return s;
  }

 private:
  void Problem(const std::string& text) {
    problems_->push_back("table " + table_.name + ": " + text);
  }

  // Walks the rows, counting them and building every key's entries.
  Status ReadRows() {
    const storage::FileDescriptor& definition = table_.definition;
    std::string prefix = storage::TablePrefix(table_.number);
    prefix.push_back(static_cast<char>(storage::kDataRowKind));
    std::unique_ptr<storage::RecordCursor> cursor = file_->NewCursor();
    uint32_t rows = 0;
    Status s = cursor->Seek(prefix);
    for (; s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
      ++rows;
      std::string_view key = cursor->key();
      std::string_view row = cursor->record().substr(key.size());
      uint32_t number = RecordNumberOfRow(key);
      row_numbers_.push_back(number);
      if (key.size() != 9 || row.size() != definition.layout.record_size) {
        Problem("row " + std::to_string(number) + " has " + std::to_string(row.size()) +
                " bytes, not " + std::to_string(definition.layout.record_size));
        continue;
      }
      if (!definition.memos.empty()) {
        storage::MemoOwner owner{file_, table_.number, number, table_.collation.oem()};
        Status memos = storage::ReadRowMemos(owner, definition, &memo_texts_);
        if (!memos.ok()) {
          Problem("the memos of row " + std::to_string(number) + ": " + memos.ToString());
        }
      }
      std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(row.data()), row.size());
      for (size_t k = 0; k < expected_.size(); ++k) {
        storage::KeyedRecord entry;
        bool has_entry = false;
        s = storage::BuildKeyEntry(definition, table_.number, k, bytes, number, table_.collation,
                                   &entry, &has_entry);
        if (!s.ok()) return s;
        if (has_entry) expected_[k].push_back(entry.key + entry.data);
      }
    }
    if (!s.ok()) return s;
    storage::Counters counters;
    s = ReadCounters(file_, table_.number, storage::kRowsCounter, &counters);
    if (!s.ok()) return s;
    if (counters.count != rows) {
      Problem("the row counter says " + std::to_string(counters.count) + ", the table holds " +
              std::to_string(rows) + " rows");
    }
    return Status::Ok();
  }

  Status CheckKey(size_t k) {
    const storage::KeyDescriptor& key = table_.definition.keys[k];
    std::string name = "key " + key.label;
    if (key.Has(storage::key_attribute::kInMemory)) return Status::Ok();
    uint8_t number = static_cast<uint8_t>(k);
    storage::Counters counters;
    Status s = ReadCounters(file_, table_.number, number, &counters);
    if (!s.ok()) return s;
    if (counters.out_of_date != 0) {
      Problem(name + " is out of date from record " + std::to_string(counters.out_of_date) +
              " and must be built");
      return Status::Ok();
    }
    std::vector<std::string>& expected = expected_[k];
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> actual;
    std::string prefix = storage::KeyEntryPrefix(table_.number, number);
    std::unique_ptr<storage::RecordCursor> cursor = file_->NewCursor();
    s = cursor->Seek(prefix);
    for (; s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
      actual.emplace_back(cursor->record());
    }
    if (!s.ok()) return s;
    // The tree orders records by key, the sort above by the whole record;
    // entries of one key differ in their keys, so both orders agree.
    std::sort(actual.begin(), actual.end());
    std::vector<std::string> missing;
    std::vector<std::string> extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    Report(name + ": no entry for a row: ", missing);
    Report(name + ": an entry that no row gives: ", extra);
    if (counters.count != actual.size()) {
      Problem(name + ": the counter says " + std::to_string(counters.count) +
              " entries, the key holds " + std::to_string(actual.size()));
    }
    expected.clear();
    expected.shrink_to_fit();
    return Status::Ok();
  }

  // Records of the table that belong to nothing: entries of a key the
  // table does not have, memo segments of a row that is not there.  Rows
  // come in record number order, so row_numbers_ is sorted.
  Status CheckStrayRecords() {
    std::string prefix = storage::TablePrefix(table_.number);
    std::unique_ptr<storage::RecordCursor> cursor = file_->NewCursor();
    std::vector<std::string> strays;
    Status s = cursor->Seek(prefix);
    for (; s.ok() && cursor->Valid() && cursor->key().starts_with(prefix); s = cursor->Next()) {
      std::string_view key = cursor->key();
      if (key.size() < 5) continue;
      uint8_t kind = static_cast<uint8_t>(key[4]);
      if (kind < storage::kDataRowKind && kind >= expected_.size()) {
        strays.push_back("an entry of key number " + std::to_string(kind) +
                         ", which the table does not have: " + Hex(key));
      } else if (kind == storage::kMemoSegmentKind &&
                 !std::binary_search(row_numbers_.begin(), row_numbers_.end(),
                                     RecordNumberOfRow(key))) {
        strays.push_back("a memo segment of row " + std::to_string(RecordNumberOfRow(key)) +
                         ", which is not there");
      }
    }
    for (size_t i = 0; i < strays.size() && i < kShownDifferences; ++i) Problem(strays[i]);
    if (strays.size() > kShownDifferences) {
      Problem(std::to_string(strays.size() - kShownDifferences) +
              " more records that belong "
              "to nothing");
    }
    return s;
  }

  void Report(const std::string& what, const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size() && i < kShownDifferences; ++i) {
      Problem(what + Hex(entries[i]));
    }
    if (entries.size() > kShownDifferences) {
      Problem(what + std::to_string(entries.size() - kShownDifferences) + " more");
    }
  }

  storage::RecordFile* file_;
  const StoredTable& table_;
  std::vector<std::string>* problems_;
  std::vector<std::vector<std::string>> expected_;  // per key: entry records
  std::vector<std::string> memo_texts_;
  std::vector<uint32_t> row_numbers_;
};

}  // namespace

int CheckCommand(const Arguments& arguments) {
  ParsedArguments parsed;
  if (!ParseArguments(arguments, {"--owner"}, &parsed) || parsed.positional.size() != 1) {
    std::fputs("usage: tvn check FILE [--owner PASSWORD]\n", stderr);
    return 2;
  }
  const std::string& path = parsed.positional[0];
  std::unique_ptr<storage::RecordFile> file;
  Status s = OpenForReading(path, parsed.options["--owner"], &file);
  if (!s.ok()) return ReportFailure(path, s);

  std::vector<std::string> problems;
  s = file->CheckIntegrity(&problems);
  if (!s.ok() && problems.empty()) return ReportFailure(path, s);
  // The tables are read through the tree only when it is sound.
  if (problems.empty()) {
    std::vector<TableEntry> tables;
    s = file->BeginRead();
    if (s.ok()) s = ListTables(file.get(), &tables);
    for (size_t i = 0; s.ok() && i < tables.size(); ++i) {
      StoredTable table;
      s = LoadTable(file.get(), tables[i].name, &table);
      if (s.ok()) s = TableCheck(file.get(), table, &problems).Run();
    }
    Status ended = file->EndRead();
    if (s.ok()) s = ended;
    if (!s.ok()) problems.push_back("reading the tables failed: " + s.ToString());
  }
  if (problems.empty()) {
    std::puts("OK");
    return 0;
  }
  std::string out;
  for (const std::string& problem : problems) out += platform::Cp1252ToUtf8(problem) + "\n";
  WriteOut(out);
  return 1;
}

}  // namespace tentaria::tvn
