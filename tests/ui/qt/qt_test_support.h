// What the Qt engine's tests share: the application on the offscreen
// platform, pictures made by ImageMagick's `convert` in a temporary
// folder, and input driven from the engine's idle moments.
#ifndef TENTARIA_TESTS_UI_QT_QT_TEST_SUPPORT_H_
#define TENTARIA_TESTS_UI_QT_QT_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "ui/event_codes.h"
#include "ui/qt/qt_engine.h"

namespace tentaria::ui::qt::test {

inline QApplication& Application() {
  static int argc = 1;
  static char name[] = "ui_qt_tests";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

// Keeps a screenshot as build/screenshots/<name>.png.
inline void SaveScreenshot(const QImage& image, const std::string& name) {
  const QString folder = QStringLiteral(TENTARIA_SCREENSHOT_DIR);
  QDir().mkpath(folder);
  EXPECT_TRUE(image.save(folder + "/" + QString::fromStdString(name) + ".png"));
}

// Runs `convert` with the arguments; false when it failed or is missing.
inline bool Convert(const std::string& arguments) {
  return std::system(("convert " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// The user's actions, one each time the engine waits for the user.  A step
// added with a condition waits (doing nothing) until the condition holds;
// when the steps run out the program is halted, so that a test whose
// program waits for more than it was given ends instead of hanging.
class Steps {
 public:
  explicit Steps(QtEngine& engine) : engine_(engine) {
    engine.set_idle([this] { RunNext(); });
  }
  ~Steps() { engine_.set_idle({}); }

  void Add(std::function<void()> step) {
    Add([] { return true; }, std::move(step));
  }
  void Add(std::function<bool()> ready, std::function<void()> step) {
    steps_.push_back(Step{std::move(ready), std::move(step)});
  }
  bool done() const { return steps_.empty(); }

 private:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> run;
  };

  void RunNext() {
    if (steps_.empty()) {
      ADD_FAILURE() << "the program waits for more input than the test gives";
      engine_.Halt(1, "out of steps");
      return;
    }
    if (!steps_.front().ready()) return;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step.run();
  }

  QtEngine& engine_;
  std::deque<Step> steps_;
};

struct Delivered {
  std::string window;
  int code = 0;
  int control = 0;
  int key_code = 0;
};

// Records every event the engine delivers.
inline void TraceEvents(QtEngine& engine, std::vector<Delivered>* events) {
  engine.set_event_trace([events](const Window& window, const Event& event) {
    events->push_back(Delivered{window.title(), event.code, event.control, event.key_code});
  });
}

inline bool Has(const std::vector<Delivered>& events, const std::string& window, int code,
                int control) {
  for (const Delivered& event : events) {
    if (event.window == window && event.code == code && event.control == control) return true;
  }
  return false;
}

inline int Count(const std::vector<Delivered>& events, int code) {
  int count = 0;
  for (const Delivered& event : events) count += event.code == code ? 1 : 0;
  return count;
}

}  // namespace tentaria::ui::qt::test

#endif  // TENTARIA_TESTS_UI_QT_QT_TEST_SUPPORT_H_
