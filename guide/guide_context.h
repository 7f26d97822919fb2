// What every procedure of the guide works with: the engine its windows
// run on, the error and INI managers, the dictionary's files and the
// windows started on new threads.  The program entry makes one for the
// run; it outlives every window.
#ifndef TENTARIA_GUIDE_GUIDE_CONTEXT_H_
#define TENTARIA_GUIDE_GUIDE_CONTEXT_H_

#include "framework/error_manager.h"
#include "framework/ini_manager.h"
#include "guide/guide_files.h"
#include "guide/started_windows.h"
#include "ui/engine.h"

namespace tentaria::guide {

struct GuideContext {
  ui::Engine& engine;
  framework::ErrorManager& errors;
  framework::IniManager& ini;
  GuideFiles& files;
  StartedWindows& started;
};

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_GUIDE_CONTEXT_H_
