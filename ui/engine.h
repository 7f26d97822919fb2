// The engine: what a window procedure asks of the windowing system.  Every
// window runs on the one GUI thread; a logical thread number groups the
// windows a procedure opened from the window that a procedure started on a
// new thread, and only the last opened window of a thread takes input.
//
// - Open puts a window on the current thread (the thread of the event being
//   handled; 1 outside any loop).  Accept then runs its loop until the
//   window closes or the body breaks: a modal, nested loop, in which the
//   other threads' windows go on receiving their events.  The window closes
//   when its loop ends.
// - Start opens a window on a new thread and returns at once; the engine
//   calls its body from whichever loop is running, and runs `release` and
//   disposes of the window when its loop ends.
#ifndef TENTARIA_UI_ENGINE_H_
#define TENTARIA_UI_ENGINE_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "reports/page.h"
#include "ui/event.h"
#include "ui/window.h"

namespace tentaria::ui {

// Run-time error raised by a loop started without an open window.
inline constexpr int kAcceptWithoutWindowError = 601;
inline constexpr std::string_view kAcceptWithoutWindowText = "ACCEPT loop requires a window";

// Message-box buttons; a set is their sum (Yes+No is 6).
namespace button {
inline constexpr int kOk = 1;
inline constexpr int kYes = 2;
inline constexpr int kNo = 4;
inline constexpr int kCancel = 64;
}  // namespace button

// Sounds of Beep.
namespace beep {
inline constexpr int kDefault = 0;
inline constexpr int kHand = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;  // the system warning beep
inline constexpr int kAsterisk = 64;
}  // namespace beep

struct MessageBox {
  std::string text;
  std::string caption;
  // An icon file name, or a system icon as four bytes: 255, 1 and its
  // number, low byte first (see SystemIconReference).
  std::string icon;
  int buttons = button::kOk;
  int default_button = 0;  // 0: the first button of the set
};

std::string SystemIconReference(int number);
// The system icon number of a four-byte reference, or 0.
int SystemIconNumber(std::string_view icon);

class Engine {
 public:
  virtual ~Engine() = default;

  virtual Status Open(Window& window) = 0;
  virtual void Close(Window& window) = 0;
  virtual bool IsOpen(const Window& window) const = 0;
  virtual LoopEnd Accept(Window& window, LoopBody body) = 0;
  // Returns the new thread's number, or 0 when the window could not open.
  virtual int Start(std::unique_ptr<Window> window, LoopBody body,
                    std::function<void()> release = {}) = 0;
  // The thread a window is open on, or 0.
  virtual int ThreadOf(const Window& window) const = 0;

  // The current event: valid inside a loop body; outside, all zero.
  virtual const Event& CurrentEvent() const = 0;
  // The window of the current event, or none.
  virtual Window* CurrentWindow() = 0;
  virtual void SetKeyCode(int key_code) = 0;

  int EventCode() const { return CurrentEvent().code; }
  int EventControl() const { return CurrentEvent().control; }
  int AcceptedControl() const;
  int FocusControl();
  // The last keystroke (a click counts as key::kMouseLeft), until the
  // program clears it with SetKeyCode.
  virtual int KeyCode() const = 0;
  virtual char KeyChar() const = 0;

  // Queues an event for the last opened window of `thread` (0: the current
  // thread), delivered after the current event.  False when that thread has
  // no open window.
  virtual bool Post(int code, int control = 0, int thread = 0) = 0;
  // Gives the focus to a control (first and last select part of its text;
  // 0 for none).
  virtual void Select(Window& window, int control, int first = 0, int last = 0) = 0;
  // Select with no control: the accept-all pass.  Every control that takes
  // input is updated and gets an accepted event in turn; a required control
  // left empty, or a Select during the pass, stops it; when all pass the
  // window gets the completed event.
  virtual void SelectAll(Window& window) = 0;
  virtual void Display(Window& window, int control = 0) = 0;
  virtual void Update(Window& window, int control = 0) = 0;

  // Shows a message box and returns the button pressed.
  virtual int Message(const MessageBox& box) = 0;
  virtual void Beep(int sound) = 0;
  // Shows a popup menu given as its menu text and returns the number of the
  // item chosen, 0 for none (popup_menu.h).
  virtual int Popup(std::string_view menu_text) = 0;
  // Puts a picture into an image control; false when it yields no picture
  // (the control is then left empty).
  virtual bool ShowImage(Window& window, int control, std::string_view picture_name) = 0;
  // Shows the printer set-up dialog: the printer, paper and orientation
  // later printing uses.  False when the user cancelled it.
  virtual bool PrinterSetup() = 0;
  // Shows a document in the print preview, from which the user may print
  // it; returns when the preview closes.  True when it was printed.
  virtual bool Preview(const reports::Document& document) = 0;
  // Prints a document on the printer of the printer set-up, without asking.
  // False when it could not be printed.
  virtual bool Print(const reports::Document& document) = 0;
  // Long work under way: the busy cursor shows until SetBusy(false).
  virtual void SetBusy(bool busy) = 0;
  // Ends the program: every loop ends, every window closes.
  virtual void Halt(int exit_code, std::string_view text) = 0;
};

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_ENGINE_H_
