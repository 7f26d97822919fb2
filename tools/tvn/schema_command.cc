// tvn schema: a table's stored definition as a declaration in the text
// form that tvn import reads back.
#include <cstdio>
#include <string>

#include "platform/charset.h"
#include "storage/declaration_writer.h"
#include "tools/tvn/command.h"
#include "tools/tvn/command_support.h"
#include "tools/tvn/table_access.h"

namespace tentaria::tvn {

int SchemaCommand(const Arguments& arguments) {
  ParsedArguments parsed;
  if (!ParseArguments(arguments, {"--owner"}, &parsed) || parsed.positional.size() != 1) {
    std::fputs("usage: tvn schema FILE[\\!TABLE] [--owner PASSWORD]\n", stderr);
    return 2;
  }
  const std::string& name = parsed.positional[0];
  std::unique_ptr<storage::RecordFile> file;
  StoredTable table;
  Status s =
      OpenTableForReading(platform::Utf8ToCp1252(name), parsed.options["--owner"], &file, &table);
  if (!s.ok()) return ReportFailure(name, s);
  WriteOut(platform::Cp1252ToUtf8(storage::WriteDeclaration(table.name, table.definition)));
  return 0;
}

}  // namespace tentaria::tvn
