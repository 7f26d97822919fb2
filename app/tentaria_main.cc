// tentaria: the camping guide Tentaria Benelux 2000, in its windows or,
// with a scenario script, headless.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/guide_location.h"
#include "app/guide_run.h"
#include "app/script_run.h"
#include "app/window_run.h"

namespace {

namespace app = tentaria::app;

std::optional<std::string> GuideFolder(const app::CommandLine& line) {
  if (!line.guide_folder.empty()) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(line.guide_folder, error);
    return error ? line.guide_folder : absolute.string();
  }
  const app::BuildTree build{TENTARIA_BUILD_PROGRAM_DIR, TENTARIA_BUILD_GUIDE_DIR};
  std::optional<std::filesystem::path> folder = app::DefaultGuideFolder(app::ProgramPath(), build);
  if (!folder) return std::nullopt;
  return folder->string();
}

}  // namespace

int main(int argc, char** argv) {
  const app::CommandLine line =
      app::ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
  switch (line.action) {
    case app::CommandLine::Action::kHelp:
      std::fputs(app::UsageText().c_str(), stdout);
      return 0;
    case app::CommandLine::Action::kVersion:
      std::printf("tentaria %s\n", TENTARIA_VERSION);
      return 0;
    case app::CommandLine::Action::kUsageError:
      std::fprintf(stderr, "tentaria: %s\n%s", line.problem.c_str(), app::UsageText().c_str());
      return app::kUsageExitCode;
    case app::CommandLine::Action::kRun:
      break;
  }
  if (line.script_file.empty() && !app::HasDisplay()) {
    std::fputs(app::NoDisplayHint(), stderr);
    return app::kNoDisplayExitCode;
  }
  const std::optional<std::string> guide = GuideFolder(line);
  if (!guide) {
    std::fputs(
        "tentaria: no guide was installed with the program; name the guide's folder with "
        "--guide DIR\n",
        stderr);
    return app::kUsageExitCode;
  }
  const std::filesystem::path program = app::ProgramPath();
  app::StartRuntime(program.empty() ? std::string(argv[0]) : program.string());
  const tentaria::guide::GuideOptions options = app::MakeGuideOptions(*guide);
  if (!line.script_file.empty()) return app::RunScript(line.script_file, options);
  return app::RunWindows(argv[0], options);
}
