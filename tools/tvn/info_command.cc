// tvn info: the file's header, its size-class ranges and its tables with
// their row counts.
#include <cstdio>
#include <string>

#include "platform/charset.h"
#include "tools/tvn/command.h"
#include "tools/tvn/command_support.h"
#include "tools/tvn/table_access.h"

namespace tentaria::tvn {

int InfoCommand(const Arguments& arguments) {
  ParsedArguments parsed;
  if (!ParseArguments(arguments, {"--owner"}, &parsed) || parsed.positional.size() != 1) {
    std::fputs("usage: tvn info FILE [--owner PASSWORD]\n", stderr);
    return 2;
  }
  const std::string& path = parsed.positional[0];
  std::unique_ptr<storage::RecordFile> file;
  Status s = OpenForReading(path, parsed.options["--owner"], &file);
  std::vector<TableEntry> tables;
  if (s.ok()) s = ListTables(file.get(), &tables);
  if (!s.ok()) return ReportFailure(path, s);

  const storage::FileHeader& header = file->header();
  const auto& n = header.last_number;
  char line[160];
  std::string out;
  std::snprintf(line, sizeof line,
                "committed end  %u\njournal end    %u%s\nlast number    %u\nchange count   %u\n"
                "root page      %d\n",
                header.committed_end, header.journal_end,
                header.journal_pending() ? "  (journal pending)" : "",
                static_cast<unsigned>(n[0]) << 24 | n[1] << 16 | n[2] << 8 | n[3],
                header.change_count, header.root);
  out += line;
  out += "size classes   class  first block  end block  pages\n";
  for (int i = 1; i <= storage::kMaxClass; ++i) {
    if (header.range_start[i] == header.range_end[i]) continue;
    std::snprintf(line, sizeof line, "               %5d  %11u  %9u  %5d\n", i,
                  header.range_start[i], header.range_end[i], header.PagesInRange(i));
    out += line;
  }
  out += "tables         number  rows  name\n";
  for (const TableEntry& table : tables) {
    storage::Counters rows;
    s = ReadCounters(file.get(), table.number, storage::kRowsCounter, &rows);
    if (!s.ok()) return ReportFailure(path + ", table " + table.name, s);
    std::snprintf(line, sizeof line, "               %6u  %4u  ", table.number, rows.count);
    out += line + platform::Cp1252ToUtf8(table.name) + "\n";
  }
  WriteOut(out);
  return 0;
}

}  // namespace tentaria::tvn
