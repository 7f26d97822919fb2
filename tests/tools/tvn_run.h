// Runs the tools as real processes, for their tests.
#ifndef TENTARIA_TESTS_TOOLS_TVN_RUN_H_
#define TENTARIA_TESTS_TOOLS_TVN_RUN_H_

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace tentaria::tvn_test {

struct ProgramRun {
  int status;
  std::string out;  // standard output and standard error together
};

// Single quotes inside an argument are written '\'' for the shell.
inline std::string Quote(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs `program` with `arguments` as the shell reads them: quote what must
// stay one word, and add redirections such as "< rows.csv" or
// "2>/dev/null".  Without a redirection of its own, standard error joins
// standard output.
inline ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                             bool join_errors = true) {
  std::string command = program + " " + arguments + (join_errors ? " 2>&1" : "");
  FILE* pipe = popen(command.c_str(), "r");
  ProgramRun run{-1, {}};
  if (pipe == nullptr) return run;
  std::array<char, 65536> buffer;
  size_t got;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.out.append(buffer.data(), got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline ProgramRun Tvn(const std::string& arguments, bool join_errors = true) {
  return RunProgram(TVN_PROGRAM, arguments, join_errors);
}

}  // namespace tentaria::tvn_test

#endif  // TENTARIA_TESTS_TOOLS_TVN_RUN_H_
