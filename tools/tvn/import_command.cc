// tvn import: creates a table from a declaration in the text form of tvn
// schema and adds the rows of a CSV text read from standard input.
//
// The work is done in a copy beside the file (a new, empty file when there
// is none), which replaces the file only when every row was added: a bad
// declaration, a bad row or a failing write leaves the file as it was and
// no copy behind.  While the copy is made and filled, the file may be read
// by others but not changed.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/file.h"
#include "storage/declaration_reader.h"
#include "storage/memo_segments.h"
#include "storage/table_file.h"
#include "storage/table_name.h"
#include "tools/tvn/command.h"
#include "tools/tvn/command_support.h"
#include "tools/tvn/csv.h"
#include "tools/tvn/field_text.h"
#include "tools/tvn/table_access.h"

namespace tentaria::tvn {
namespace {

constexpr int kFileNotFound = 2;
// Rows added between two flushes of the copy, which bounds the memory the
// pending changes take.
constexpr size_t kRowsPerFlush = 20000;
constexpr size_t kCopyChunk = 1 << 20;

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

Status ReadWholeFile(const std::string& path, std::string* text) {
  std::unique_ptr<platform::File> file;
  Status s = platform::FileSystem::Default()->Open(
      path, platform::open_mode::kRead | platform::open_mode::kDenyNone,
      platform::Disposition::kOpenExisting, &file);
  uint64_t size = 0;
  if (s.ok()) s = file->Size(&size);
  if (!s.ok()) return s;
  text->resize(size);
  size_t got = 0;
  s = file->Read(0, text->data(), text->size(), &got);
  text->resize(got);
  return s;
}

Status CopyFile(const std::string& from, const std::string& to) {
  platform::FileSystem* fs = platform::FileSystem::Default();
  std::unique_ptr<platform::File> source;
  std::unique_ptr<platform::File> target;
  Status s = fs->Open(from, platform::open_mode::kRead | platform::open_mode::kDenyWrite,
                      platform::Disposition::kOpenExisting, &source);
  if (s.ok()) {
    s = fs->Open(to, platform::open_mode::kReadWrite | platform::open_mode::kDenyAll,
                 platform::Disposition::kCreateNew, &target);
  }
  std::string buffer(kCopyChunk, '\0');
  for (uint64_t offset = 0; s.ok();) {
    size_t got = 0;
    s = source->Read(offset, buffer.data(), buffer.size(), &got);
    if (s.ok() && got > 0) s = target->Write(offset, buffer.data(), got);
    if (got < buffer.size()) break;
    offset += got;
  }
  if (s.ok()) s = target->Flush();
  return s;
}

// Which column of the table each CSV column fills.
Status MapColumns(const std::vector<Column>& table_columns, const std::vector<std::string>& header,
                  std::vector<Column>* columns) {
  for (const std::string& heading : header) {
    const Column* found = nullptr;
    for (const Column& column : table_columns) {
      if (Upper(column.heading) == Upper(heading)) found = &column;
    }
    if (found == nullptr) return Status::Error(1, "line 1: the table has no column " + heading);
    for (const Column& earlier : *columns) {
      if (earlier.heading == found->heading) {
        return Status::Error(1, "line 1: the column " + heading + " is named twice");
      }
    }
    columns->push_back(*found);
  }
  return Status::Ok();
}

// Adds the rows of the CSV text to the table; *rows counts them.  A
// failure names the line of the row.
Status AddRows(storage::TableFile* table, CsvReader* csv, size_t* rows) {
  const storage::FileDescriptor& definition = table->definition();
  std::vector<std::string> fields;
  bool more = false;
  Status s = csv->Next(&fields, &more);
  if (!s.ok()) return s;
  if (!more) return Status::Error(1, "line 1: no header of column names");
  std::vector<Column> columns;
  s = MapColumns(TableColumns(definition), fields, &columns);
  if (!s.ok()) return s;

  const std::string empty_row = EmptyRow(definition);
  std::vector<std::string> memos(definition.memos.size());
  for (;;) {
    s = csv->Next(&fields, &more);
    if (!s.ok() || !more) return s;
    std::string where = "line " + std::to_string(csv->line());
    if (fields.size() != columns.size()) {
      return Status::Error(1, where + ": " + std::to_string(fields.size()) + " values for " +
                                  std::to_string(columns.size()) + " columns");
    }
    std::string row = empty_row;
    bool has_memo = false;
    for (std::string& memo : memos) memo.clear();
    for (size_t i = 0; i < columns.size(); ++i) {
      const Column& column = columns[i];
      if (column.memo) {
        s = StoreMemoColumnText(definition.memos[column.field], fields[i], &memos[column.field]);
        has_memo = has_memo || !memos[column.field].empty();
      } else {
        s = StoreColumnText(definition, column, fields[i], &row);
      }
      if (!s.ok()) {
        return Status::Error(s.code(), where + ", column " + columns[i].heading + ": " +
                                           platform::Utf8ToCp1252(s.message()));
      }
    }
    uint32_t record_number = 0;
    s = table->Add(row, false, &record_number);
    if (s.ok() && has_memo) {
      storage::MemoOwner owner{table->record_file(), table->table_number(), record_number,
                               table->oem()};
      s = storage::WriteRowMemos(owner, definition, memos);
    }
    if (s.ok() && ++*rows % kRowsPerFlush == 0) s = table->Flush();
    if (!s.ok()) {
      return Status::Error(s.code(), s.message().empty() ? where : where + ": " + s.message());
    }
  }
}

}  // namespace

int ImportCommand(const Arguments& arguments) {
  ParsedArguments parsed;
  if (!ParseArguments(arguments, {"--decl", "--owner"}, &parsed) || parsed.positional.size() != 1 ||
      !parsed.options.contains("--decl")) {
    std::fputs("usage: tvn import FILE[\\!TABLE] --decl DECLFILE [--owner PASSWORD] < rows.csv\n",
               stderr);
    return 2;
  }
  const std::string& target = parsed.positional[0];
  const std::string& declaration_path = parsed.options["--decl"];
  const std::string& owner = parsed.options["--owner"];

  std::string text;
  Status s = ReadWholeFile(declaration_path, &text);
  std::string label;
  storage::FileDescriptor declaration;
  if (s.ok()) s = storage::ReadDeclaration(platform::Utf8ToCp1252(text), &label, &declaration);
  if (!s.ok()) return ReportFailure(declaration_path, s);
  if (Upper(declaration.driver) != "TAVRIN") {
    std::fprintf(stderr, "tvn: %s: the declaration names the driver %s; tvn writes TAVRIN files\n",
                 declaration_path.c_str(), platform::Cp1252ToUtf8(declaration.driver).c_str());
    return 1;
  }
  declaration.attributes |= storage::file_attribute::CREATE;
  declaration.owner_password = owner;

  storage::TableName split;
  s = storage::SplitTableName(platform::Utf8ToCp1252(target), storage::IsDirectory(), &split);
  if (!s.ok()) return ReportFailure(target, s);
  platform::FileSystem* fs = platform::FileSystem::Default();
  bool existing = fs->Exists(split.path);
  if (existing) {
    std::unique_ptr<storage::RecordFile> file;
    StoredTable table;
    s = OpenForReading(split.path, owner, &file);
    if (s.ok()) s = LoadTable(file.get(), split.table, &table);
    if (s.ok()) {
      std::fprintf(stderr, "tvn: %s: the file already has a table %s\n", target.c_str(),
                   platform::Cp1252ToUtf8(split.table).c_str());
      return 1;
    }
    if (s.code() != kFileNotFound) return ReportFailure(target, s);
  }

  // Others may read the file meanwhile but not change it: their changes
  // would be lost when the copy takes its place.
  std::unique_ptr<platform::File> guard;
  if (existing) {
    s = fs->Open(split.path, platform::open_mode::kRead | platform::open_mode::kDenyWrite,
                 platform::Disposition::kOpenExisting, &guard);
    if (!s.ok()) return ReportFailure(target, s);
  }
  const std::string copy = split.path + ".import-" + std::to_string(getpid());
  size_t rows = 0;
  std::string failed_at = target;
  s = existing ? CopyFile(split.path, copy) : Status::Ok();
  if (s.ok()) {
    std::unique_ptr<storage::TableFile> table;
    s = storage::TableFile::Open(
        fs, declaration, copy + std::string(storage::kTableSeparator) + split.table,
        platform::open_mode::kReadWrite | platform::open_mode::kDenyAll, &table);
    if (s.ok()) {
      CsvReader csv(stdin);
      s = AddRows(table.get(), &csv, &rows);
      if (!s.ok()) failed_at = "standard input";
      if (s.ok()) s = table->Flush();
    }
  }
  // A file that is open cannot be replaced.
  guard.reset();
  if (s.ok()) s = fs->Rename(copy, split.path);
  if (!s.ok()) {
    fs->Delete(copy);
    return ReportFailure(failed_at, s);
  }
  std::printf("%zu rows added to the table %s of %s\n", rows,
              platform::Cp1252ToUtf8(split.table).c_str(),
              platform::Cp1252ToUtf8(split.path).c_str());
  return 0;
}

}  // namespace tentaria::tvn
