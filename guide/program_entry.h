// The program's entry as a library function, so that the executable, the
// scenario runner and the tests run the same start-up and shut-down:
//
// 1. the guide folder becomes the current folder;
// 2. the error manager starts on the engine and the INI manager on the
//    INI file;
// 3. the dictionary start-up makes every guide file's managers, and each
//    guide file is opened once to see that it is there: a missing folder
//    or file is reported through the error manager;
// 4. the application frame TENTA002 runs until the user closes it;
// 5. the dictionary shut-down closes every file still open, then the INI
//    and error managers end.
#ifndef TENTARIA_GUIDE_PROGRAM_ENTRY_H_
#define TENTARIA_GUIDE_PROGRAM_ENTRY_H_

#include <string>
#include <string_view>

#include "ui/engine.h"

namespace tentaria::guide {

inline constexpr std::string_view kIniFile = "tentaria2000.INI";

// Exit statuses of RunGuide besides 0.
inline constexpr int kStartUpFailedExitCode = 1;

struct GuideOptions {
  // The host folder holding the guide files and their picture folders.
  std::string guide_folder;
  // The INI file of window places; a name without a folder lives in the
  // user's configuration folder.
  std::string ini_file = std::string(kIniFile);
};

// Runs the guide on `engine` until its frame closes.  0 when the frame was
// closed by the user; non-zero when the start-up failed (its message was
// shown through the error manager) or the program was halted.
int RunGuide(ui::Engine& engine, const GuideOptions& options);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_PROGRAM_ENTRY_H_
