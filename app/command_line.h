// The command line of the guide program.
#ifndef TENTARIA_APP_COMMAND_LINE_H_
#define TENTARIA_APP_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace tentaria::app {

// Exit statuses of the program besides RunGuide's own (0 success, 1 a
// failed start-up or a failed scenario).
inline constexpr int kUsageExitCode = 2;
inline constexpr int kNoDisplayExitCode = 3;

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  std::string guide_folder;  // empty: the default guide
  std::string script_file;   // empty: the windows on the screen
  std::string problem;       // why the command line was refused
};

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

std::string UsageText();

}  // namespace tentaria::app

#endif  // TENTARIA_APP_COMMAND_LINE_H_
