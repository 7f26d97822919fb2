#include "app/command_line.h"

namespace tentaria::app {

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
  CommandLine line;
  auto refuse = [&line](std::string problem) {
    line.action = CommandLine::Action::kUsageError;
    line.problem = std::move(problem);
    return line;
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view option = arguments[i];
    if (option == "--help" || option == "-h") {
      line.action = CommandLine::Action::kHelp;
      return line;
    }
    if (option == "--version") {
      line.action = CommandLine::Action::kVersion;
      return line;
    }
    if (option != "--guide" && option != "--script") {
      return refuse("unknown argument '" + std::string(option) + "'");
    }
    if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
      return refuse(std::string(option) + " needs a value");
    }
    std::string& value = option == "--guide" ? line.guide_folder : line.script_file;
    if (!value.empty()) return refuse(std::string(option) + " is given twice");
    value = std::string(arguments[++i]);
  }
  return line;
}

std::string UsageText() {
  return "usage: tentaria [--guide DIR] [--script FILE]\n"
         "       tentaria --help | --version\n"
         "\n"
         "Starts the camping guide Tentaria Benelux 2000 in its window.\n"
         "\n"
         "  --guide DIR    the folder of the guide files and their pictures; by\n"
         "                 default the guide installed with the program\n"
         "                 (../share/tentaria/guide beside its bin folder), or,\n"
         "                 for the program in its build folder, the sample guide\n"
         "                 written there by the build\n"
         "  --script FILE  runs without a screen: the scenario script FILE acts\n"
         "                 as the user, and what the windows show is printed\n"
         "  --help         this text\n"
         "  --version      the program's version\n"
         "\n"
         "Without a display, run headless with --script, or set\n"
         "QT_QPA_PLATFORM=offscreen to run the windows off the screen.\n"
         "\n"
         "Window places are kept in $XDG_CONFIG_HOME/tentaria/tentaria2000.INI;\n"
         "working files (searches, marked campsites, personal data) in\n"
         "$XDG_DATA_HOME/tentaria/C.\n"
         "\n"
         "Exit status: 0 when the guide was closed normally (or every line of\n"
         "the script ran and held); 1 when the guide could not start or the\n"
         "script failed; 2 for a wrong command line; 3 without a display.\n";
}

}  // namespace tentaria::app
