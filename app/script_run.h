// The guide without a screen: a scenario script acts as the user on the
// headless engine, and what the windows show is printed on standard output.
#ifndef TENTARIA_APP_SCRIPT_RUN_H_
#define TENTARIA_APP_SCRIPT_RUN_H_

#include <string>

#include "guide/program_entry.h"

namespace tentaria::app {

// 0 when every line of the script ran and held and the guide ended well;
// 1 when the script failed or the guide could not start; kUsageExitCode
// when the script cannot be read.
int RunScript(const std::string& script_file, const guide::GuideOptions& options);

}  // namespace tentaria::app

#endif  // TENTARIA_APP_SCRIPT_RUN_H_
