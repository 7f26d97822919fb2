#include "tools/tvn/command_support.h"

#include <algorithm>
#include <cstdio>

#include "platform/charset.h"
#include "storage/error_texts.h"

namespace tentaria::tvn {

bool ParseArguments(const Arguments& arguments, const std::vector<std::string>& known,
                    ParsedArguments* parsed) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!argument.starts_with("--")) {
      parsed->positional.push_back(argument);
      continue;
    }
    if (std::find(known.begin(), known.end(), argument) == known.end() ||
        i + 1 >= arguments.size()) {
      return false;
    }
    parsed->options[argument] = arguments[++i];
  }
  return true;
}

int ReportFailure(std::string_view what, const Status& status) {
  std::string line = "tvn: " + std::string(what) + ": ";
  // Code 1 marks the tool's own complaints (bad CSV, bad values), which
  // have no runtime code.
  if (status.code() != 1) {
    line += "error " + std::to_string(status.code()) + ": " +
            platform::Cp1252ToUtf8(storage::ErrorText(status.code()));
    if (!status.message().empty()) line += ": ";
  }
  line += platform::Cp1252ToUtf8(status.message()) + "\n";
  std::fputs(line.c_str(), stderr);
  return 1;
}

void WriteOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace tentaria::tvn
