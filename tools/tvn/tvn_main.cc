// tvn: inspect and evaluate from the shell.
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
    "                             --type also prints its value class\n";

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
  std::fprintf(stderr, "tvn: unknown command '%s'\n%s", command.c_str(), kUsage);
  return 2;
}
