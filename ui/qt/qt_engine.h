// The Qt engine: the window model on the screen.
//
// The engine is the in-memory engine with Qt as its user: windows, loops,
// threads, events, focus and dialogs are kept and delivered by the same
// model code, so a procedure sees exactly the events it sees headless.
// What differs is where the user actions come from and where the windows
// show: each open window is drawn as a top-level Qt window (window_view.h),
// brought up to date from the model whenever every event has been handled,
// and Qt input on it becomes the model's user actions (a click presses,
// typing types, Tab leaves the control, the close box asks to close).
// While the model waits for the user the engine runs Qt's event loop; a
// modal procedure's loop is thereby a nested loop, and a window that waits
// for a window it opened is shown disabled.  Message boxes and popup menus
// are Qt dialogs; timers follow the real clock.  The engine keeps one
// printer: the printer set-up dialog chooses it, and printing and the print
// preview's print button use it.
//
// A QApplication must exist before the engine and outlive it.
#ifndef TENTARIA_UI_QT_QT_ENGINE_H_
#define TENTARIA_UI_QT_QT_ENGINE_H_

#include <QElapsedTimer>
#include <QMainWindow>
#include <QObject>
#include <QPrinter>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "ui/headless_engine.h"
#include "ui/qt/picture_cache.h"

namespace tentaria::ui::qt {

class WindowView;

class QtEngine : public HeadlessEngine, private InputSource {
 public:
  QtEngine();
  ~QtEngine() override;

  Status Open(Window& window) override;
  LoopEnd Accept(Window& window, LoopBody body) override;
  void Beep(int sound) override;
  bool PrinterSetup() override;
  bool Print(const reports::Document& document) override;
  void SetBusy(bool busy) override;

  // The printer printing goes to, made on first use.
  QPrinter& printer();

  // Brings the widgets of every open window up to date with the model,
  // and removes those of closed windows.  Done each time the engine waits
  // for the user.
  void Refresh();
  // The top-level widget of an open window, or null.
  QMainWindow* WidgetOf(const Window& window) const;
  PictureCache& pictures() { return pictures_; }

  // Called each time every event has been handled and the windows are
  // drawn, just before the engine waits for the user.
  void set_idle(std::function<void()> idle) { idle_ = std::move(idle); }

  // Called by the windows' widgets after each user action they carried out.
  void UserActed() { acted_ = true; }
  // Whether widgets are being brought up to date; the changes this makes
  // to them are not the user's.
  bool refreshing() const { return refreshing_; }

 private:
  class InputFilter;

  bool Next(HeadlessEngine& engine) override;
  void Fail(std::string_view why) override;
  void AnswerDialog(const PendingDialog& dialog);
  void ShowDialog(const PendingDialog& dialog);
  // The window that dialogs belong to: the active one.
  QWidget* DialogParent();
  WindowView* ViewOfWidget(const QWidget* top) const;
  bool FilterInput(QObject* receiver, QEvent* event);
  bool AnyTimer() const;

  std::map<const Window*, std::unique_ptr<WindowView>> views_;
  PictureCache pictures_;
  std::unique_ptr<InputFilter> filter_;
  QElapsedTimer clock_;
  QTimer tick_;  // wakes the event loop while a window's timer runs
  std::function<void()> idle_;
  std::unique_ptr<QPrinter> printer_;
  bool busy_cursor_ = false;
  bool acted_ = false;
  bool refreshing_ = false;
};

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_QT_ENGINE_H_
