// tvn: inspect guide files, move tables in and out as CSV, and evaluate
// expressions from the shell.
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/locale.h"
#include "tools/tvn/command.h"

namespace {

constexpr char kUsage[] =
    "usage: tvn COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  eval [--type] EXPRESSION   print the value of an expression as text;\n"
    "                             --type also prints its value class\n"
    "  info FILE                  the file's header, size classes and tables\n"
    "  schema FILE[\\!TABLE]       a table's declaration as text\n"
    "  export FILE[\\!TABLE] [--key NAME]\n"
    "                             the rows as CSV, in record or key order\n"
    "  import FILE[\\!TABLE] --decl DECLFILE < rows.csv\n"
    "                             create the table and add the rows\n"
    "  check FILE                 check the file, its keys and counters\n"
    "  query FILE[\\!TABLE] [--filter EXPRESSION] [--order ORDERTEXT] [--key NAME]\n"
    "        [--from VALUES] [--backward] [--limit N] [--plan]\n"
    "                             the rows through a view, as CSV; --plan shows\n"
    "                             how the view reads them\n"
    "\n"
    "The file commands take --owner PASSWORD for an enciphered file.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  tentaria::runtime::InitLocale(argv[0]);
  const std::string command = argv[1];
  tentaria::tvn::Arguments arguments(argv + 2, argv + argc);
  if (command == "eval") return tentaria::tvn::EvalCommand(arguments);
  if (command == "info") return tentaria::tvn::InfoCommand(arguments);
  if (command == "schema") return tentaria::tvn::SchemaCommand(arguments);
  if (command == "export") return tentaria::tvn::ExportCommand(arguments);
  if (command == "import") return tentaria::tvn::ImportCommand(arguments);
  if (command == "check") return tentaria::tvn::CheckCommand(arguments);
  if (command == "query") return tentaria::tvn::QueryCommand(arguments);
  std::fprintf(stderr, "tvn: unknown command '%s'\n%s", command.c_str(), kUsage);
  return 2;
}
