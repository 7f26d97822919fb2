#include "app/window_run.h"

#include <QApplication>
#include <cstdlib>
#include <string>

#include "app/guide_run.h"
#include "ui/qt/qt_engine.h"

namespace tentaria::app {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool HasDisplay() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

const char* NoDisplayHint() {
  return "tentaria: there is no display to show the guide's windows on (neither\n"
         "DISPLAY nor WAYLAND_DISPLAY is set).  To run without a screen:\n"
         "  tentaria --script FILE          a scenario script acts as the user and\n"
         "                                  what the windows show is printed\n"
         "  QT_QPA_PLATFORM=offscreen tentaria\n"
         "                                  the windows run off the screen\n";
}

int RunWindows(const char* program_path, const guide::GuideOptions& options) {
  // Qt reads no options of its own from the guide's command line.
  int argc = 1;
  std::string name = program_path;
  char* argv[] = {name.data(), nullptr};
  QApplication application(argc, argv);
  QApplication::setApplicationName("tentaria");
  QApplication::setApplicationDisplayName("Tentaria Benelux 2000");
  QApplication::setDesktopFileName("tentaria");
  ui::qt::QtEngine engine;
  return RunGuideReporting(engine, options);
}

}  // namespace tentaria::app
