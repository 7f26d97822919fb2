// The engine without a screen: windows, events, timers and dialogs kept in
// memory.  User input comes from an input source (the scenario runner, or
// a test), asked for whenever no event can be delivered; the clock is
// virtual and moves only when the input source advances it.
#ifndef TENTARIA_UI_HEADLESS_ENGINE_H_
#define TENTARIA_UI_HEADLESS_ENGINE_H_

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/engine.h"
#include "ui/popup_menu.h"

namespace tentaria::ui {

class HeadlessEngine;

class InputSource {
 public:
  virtual ~InputSource() = default;
  // Called when no event can be delivered: applies the next user action.
  // False when the input has ended; the engine then halts the program.
  virtual bool Next(HeadlessEngine& engine) = 0;
  // The engine gave up on the current action (its events did not settle).
  virtual void Fail(std::string_view why) = 0;
};

// Input given as a list of actions, for programs and tests that drive the
// engine directly.
class ActionInput : public InputSource {
 public:
  using Action = std::function<void(HeadlessEngine&)>;
  void Add(Action action) { actions_.push_back(std::move(action)); }
  bool Next(HeadlessEngine& engine) override;
  void Fail(std::string_view why) override { failure_ = why; }
  const std::string& failure() const { return failure_; }

 private:
  std::deque<Action> actions_;
  std::string failure_;
};

struct ImageSize {
  int width = 0;
  int height = 0;
};

// A message box, popup menu or print preview waiting for its answer (for
// a preview: 1 printed, 0 closed).
struct PendingDialog {
  enum class Kind { kMessage, kPopup, kPreview };
  Kind kind = Kind::kMessage;
  MessageBox box;
  std::vector<PopupItem> items;
  const reports::Document* document = nullptr;
  int answer = -1;
};

// A message box as it was shown, with its answer.
struct ShownMessage {
  MessageBox box;
  int answer = 0;
};

class HeadlessEngine : public Engine {
 public:
  // More events than this between two user actions: the program is taken to
  // loop without end, and is halted.
  static constexpr int kMaxEventsPerAction = 10000;

  HeadlessEngine();
  ~HeadlessEngine() override;

  // Engine.
  Status Open(Window& window) override;
  void Close(Window& window) override;
  bool IsOpen(const Window& window) const override;
  LoopEnd Accept(Window& window, LoopBody body) override;
  int Start(std::unique_ptr<Window> window, LoopBody body,
            std::function<void()> release = {}) override;
  int ThreadOf(const Window& window) const override;
  const Event& CurrentEvent() const override;
  Window* CurrentWindow() override;
  int KeyCode() const override { return key_code_; }
  char KeyChar() const override { return key_char_; }
  void SetKeyCode(int key_code) override;
  bool Post(int code, int control = 0, int thread = 0) override;
  void Select(Window& window, int control, int first = 0, int last = 0) override;
  void SelectAll(Window& window) override;
  void Display(Window& window, int control = 0) override;
  void Update(Window& window, int control = 0) override;
  int Message(const MessageBox& box) override;
  void Beep(int sound) override;
  int Popup(std::string_view menu_text) override;
  bool ShowImage(Window& window, int control, std::string_view picture_name) override;
  // Records that the dialog was shown; without a screen it is confirmed as
  // it stands.
  bool PrinterSetup() override;
  // Waits for the user to print or close the preview (PrintPreview,
  // ClosePreview).
  bool Preview(const reports::Document& document) override;
  // Keeps the document among the printed ones.
  bool Print(const reports::Document& document) override;
  void SetBusy(bool busy) override { busy_ = busy; }
  void Halt(int exit_code, std::string_view text) override;

  // Set-up.
  void set_input(InputSource* input) { input_ = input; }
  // Decodes a picture by name for its size; none when it yields no picture.
  using ImageLoader = std::function<std::optional<ImageSize>(std::string_view name)>;
  void set_image_loader(ImageLoader loader) { image_loader_ = std::move(loader); }
  std::optional<ImageSize> ImageSizeOf(std::string_view picture_name) const;
  // Called for every event delivered (for event traces).
  using EventTrace = std::function<void(const Window& window, const Event& event)>;
  void set_event_trace(EventTrace trace) { event_trace_ = std::move(trace); }

  // What the user sees.
  std::vector<Window*> OpenWindows() const;  // in the order they were opened
  // The window the user works in: the one last opened or activated among
  // those that take input.
  Window* ActiveWindow() const;
  // The last opened window of its thread, no dialog waiting, not halted.
  bool TakesInput(const Window& window) const;
  // Opened by Start (the first window of its thread).
  bool IsStarted(const Window& window) const;
  const PendingDialog* pending_dialog() const { return pending_ ? &*pending_ : nullptr; }
  const std::vector<ShownMessage>& messages() const { return messages_; }
  const std::vector<int>& beeps() const { return beeps_; }
  int printer_setups_shown() const { return printer_setups_shown_; }
  // Every document printed, in order, through Print or from a preview.
  const std::vector<reports::Document>& printed() const { return printed_; }
  bool busy() const { return busy_; }
  bool halted() const { return halted_; }
  int exit_code() const { return exit_code_; }
  const std::string& halt_text() const { return halt_text_; }
  int64_t clock_ms() const { return clock_ms_; }
  int events_delivered() const { return events_delivered_; }

  // User actions.  Each refuses (with a reason) a window that does not take
  // input and a control that is unknown, hidden, disabled or of the wrong
  // kind.
  Status Activate(Window& window);
  Status Press(Window& window, int control);
  // Gives the focus to a control without acting on it (a click into an
  // entry); a control typed into before is accepted.
  Status Focus(Window& window, int control);
  Status Type(Window& window, int control, std::string_view text);
  // Leaves the focused control for the next one in tab order, or the
  // previous one (Shift+Tab).
  Status TabOut(Window& window, bool backwards = false);
  // List and drop rows, sheet tabs, option radios: 1-based.
  Status Pick(Window& window, int control, int index);
  // code: one of the scroll events 3 to 8.
  Status Scroll(Window& window, int control, int code);
  Status PressKey(Window& window, int key_code);
  Status RequestClose(Window& window);
  Status Resize(Window& window, int width, int height);
  // The user moves the window to a place on the screen (dialog units).
  Status Move(Window& window, int x, int y);
  Status AnswerMessage(int button);
  Status ChoosePopupItem(int item);
  // The print preview that waits: print the document, or close it.
  Status PrintPreview();
  Status ClosePreview();
  // Moves the clock towards `target_ms`: to the first timer due before it,
  // posting its event (true), or to the target when none is due (false).
  bool AdvanceClock(int64_t target_ms);

 private:
  struct Record;
  struct Queued;

  Record* Find(const Window& window) const;
  Record* FindId(int id) const;
  Record* TopOfThread(int thread) const;
  bool Deliverable(const Record& record) const;
  bool DeliverOne();
  void Deliver(Record& record, const Queued& queued);
  void DefaultAction(Record& record, const Event& event, bool advance_focus, bool backwards);
  std::optional<Event> NextPassEvent(Record& record);
  void Enqueue(Record& record, Event event, bool advance_focus = false, bool pass_step = false,
               bool backwards = false);
  void CloseRecord(Record& record);
  void Dispose(Record& record);
  // False when the control typed into refused its text and kept the focus.
  bool SetFocus(Record& record, int control);
  // What leaving the control typed into did.
  enum class EditEnd { kNone, kAccepted, kRejected };
  EditEnd AcceptEdited(Record& record, bool advance_focus = false, bool backwards = false);
  int CurrentThread() const;
  bool WaitForAnswer();
  Status CheckInput(const Window& window) const;
  Status CheckControl(const Window& window, int control, const Control** found) const;
  Event UserEvent(const Record& record, int code, int control) const;

  std::vector<std::unique_ptr<Record>> records_;
  std::deque<Queued> queue_;
  struct Context;
  std::vector<Context> contexts_;
  InputSource* input_ = nullptr;
  ImageLoader image_loader_;
  EventTrace event_trace_;
  std::optional<PendingDialog> pending_;
  std::vector<ShownMessage> messages_;
  std::vector<int> beeps_;
  int printer_setups_shown_ = 0;
  std::vector<reports::Document> printed_;
  bool busy_ = false;
  int next_id_ = 1;
  int next_thread_ = 1;
  int active_id_ = 0;
  int key_code_ = 0;
  char key_char_ = 0;
  int pending_key_code_ = 0;  // the keystroke of the user action being posted
  int64_t clock_ms_ = 0;
  int events_delivered_ = 0;
  int events_since_input_ = 0;
  bool halted_ = false;
  int exit_code_ = 0;
  std::string halt_text_;
};

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_HEADLESS_ENGINE_H_
