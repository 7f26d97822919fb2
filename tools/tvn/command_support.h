// What the file commands of tvn share: their options and how they report
// a failure.
#ifndef TENTARIA_TOOLS_TVN_COMMAND_SUPPORT_H_
#define TENTARIA_TOOLS_TVN_COMMAND_SUPPORT_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "tools/tvn/command.h"

namespace tentaria::tvn {

struct ParsedArguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // "--key" -> its value
};

// Splits the arguments into positional ones and options that take a value
// ("--key NAME"); an option not in `known`, or one without its value,
// fails.  The text of the failure is the usage line to print.
bool ParseArguments(const Arguments& arguments, const std::vector<std::string>& known,
                    ParsedArguments* parsed);

// "tvn: WHAT: error 47: Invalid Record Declaration: line 3: ..." on
// standard error, the error's text taken from the runtime's table; returns
// the exit status for a failure.
int ReportFailure(std::string_view what, const Status& status);

void WriteOut(std::string_view text);

}  // namespace tentaria::tvn

#endif  // TENTARIA_TOOLS_TVN_COMMAND_SUPPORT_H_
