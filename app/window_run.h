// The guide in its windows on the screen, through Qt.
#ifndef TENTARIA_APP_WINDOW_RUN_H_
#define TENTARIA_APP_WINDOW_RUN_H_

#include "guide/program_entry.h"

namespace tentaria::app {

// Whether Qt has somewhere to show windows: an X11 or Wayland display, or a
// platform named in QT_QPA_PLATFORM (offscreen, for instance).
bool HasDisplay();

// What to do without a display.
const char* NoDisplayHint();

// Runs the guide on the Qt engine; RunGuide's status.
int RunWindows(const char* program_path, const guide::GuideOptions& options);

}  // namespace tentaria::app

#endif  // TENTARIA_APP_WINDOW_RUN_H_
