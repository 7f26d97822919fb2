// What both ways of running the guide share: the runtime's start, the
// pictures linked into the program, and a failure told on standard error
// as well as in its message box, so that it is seen from a terminal.
#ifndef TENTARIA_APP_GUIDE_RUN_H_
#define TENTARIA_APP_GUIDE_RUN_H_

#include <string>
#include <string_view>

#include "guide/program_entry.h"
#include "ui/headless_engine.h"

namespace tentaria::app {

// Starts the runtime (locale from the user profile and the environment
// file beside the program) and registers the linked pictures.
void StartRuntime(std::string_view program_path);

guide::GuideOptions MakeGuideOptions(const std::string& guide_folder);

// Runs the guide on the engine; when it fails, the last message it showed
// (the error manager's report) is written to standard error.
int RunGuideReporting(ui::HeadlessEngine& engine, const guide::GuideOptions& options);

}  // namespace tentaria::app

#endif  // TENTARIA_APP_GUIDE_RUN_H_
