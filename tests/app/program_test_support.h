// What the program's tests share: the built program run as a process with
// HOME and the XDG folders in a temporary folder, and scenario scripts
// written to files for it.
#ifndef TENTARIA_TESTS_APP_PROGRAM_TEST_SUPPORT_H_
#define TENTARIA_TESTS_APP_PROGRAM_TEST_SUPPORT_H_

#include <string>

#include "tests/support/temp_folder.h"
#include "tests/tools/tvn_run.h"

namespace tentaria::app_test {

using tvn_test::ProgramRun;
using tvn_test::Quote;

class ProgramTest : public test_support::TempHomeTest {
 protected:
  // Runs tentaria with the arguments as the shell reads them.
  ProgramRun Tentaria(const std::string& arguments) {
    return tvn_test::RunProgram(TENTARIA_PROGRAM, arguments);
  }

  // Writes the script to a file and runs it on `guide`.
  ProgramRun RunScript(const std::string& script,
                       const std::string& guide = TENTARIA_SAMPLE_GUIDE) {
    const std::string file = home_ / ("script" + std::to_string(++scripts_) + ".txt");
    test_support::WriteTextFile(file, script);
    return Tentaria("--guide " + Quote(guide) + " --script " + Quote(file));
  }

  std::string IniFile() { return home_ / "config/tentaria/tentaria2000.INI"; }

 private:
  int scripts_ = 0;
};

}  // namespace tentaria::app_test

#endif  // TENTARIA_TESTS_APP_PROGRAM_TEST_SUPPORT_H_
