#include "ui/headless_engine.h"

#include <algorithm>

#include "runtime/error_state.h"
#include "runtime/picture_compile.h"
#include "ui/event_codes.h"
#include "ui/key_codes.h"
#include "ui/typed_text.h"

namespace tentaria::ui {

struct HeadlessEngine::Record {
  Window* window = nullptr;
  std::unique_ptr<Window> owned;  // windows opened by Start
  LoopBody body;
  std::function<void()> release;
  int id = 0;
  int thread = 0;
  bool open = true;
  bool broken = false;
  bool started = false;
  int in_body = 0;
  int edited = 0;          // the control typed into since it got the focus
  int timer_interval = 0;  // hundredths, as last seen
  int64_t timer_due_ms = 0;
  bool pass_active = false;
  size_t pass_next = 0;
};

struct HeadlessEngine::Queued {
  Event event;
  int record_id = 0;
  bool advance_focus = false;  // an accepted event from leaving the control
  bool backwards = false;      // ... by Shift+Tab
  bool pass_step = false;      // the next step of the accept-all pass
};

struct HeadlessEngine::Context {
  Event event;
  int record_id = 0;
};

namespace {

const Event kNoEvent{};

bool TakesTypedText(ControlKind kind) {
  return kind == ControlKind::kEntry || kind == ControlKind::kTextBox;
}

bool VisitedByPass(ControlKind kind) {
  return kind == ControlKind::kEntry || kind == ControlKind::kTextBox ||
         kind == ControlKind::kCheck || kind == ControlKind::kOption ||
         kind == ControlKind::kDropList;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

int ChildCount(const Window& window, int parent, ControlKind kind) {
  int count = 0;
  for (const Control& control : window.controls()) {
    if (control.parent == parent && control.kind == kind) ++count;
  }
  return count;
}

}  // namespace

bool ActionInput::Next(HeadlessEngine& engine) {
  if (actions_.empty()) return false;
  Action action = std::move(actions_.front());
  actions_.pop_front();
  action(engine);
  return true;
}

HeadlessEngine::HeadlessEngine() = default;
HeadlessEngine::~HeadlessEngine() = default;

// --- windows and loops -----------------------------------------------------

Status HeadlessEngine::Open(Window& window) {
  if (halted_) return Status::Error(1, "the program has been halted");
  if (Find(window) != nullptr) return Status::Error(1, "window already open: " + window.title());
  Status check = window.Check();
  if (!check.ok()) return check;
  auto record = std::make_unique<Record>();
  record->window = &window;
  record->id = next_id_++;
  record->thread = CurrentThread();
  Record* previous = FindId(active_id_);
  if (previous == nullptr) {
    Window* active = ActiveWindow();
    previous = active ? Find(*active) : nullptr;
  }
  Record& added = *records_.emplace_back(std::move(record));
  added.timer_interval = window.timer();
  added.timer_due_ms = clock_ms_ + 10 * int64_t{window.timer()};
  window.Display();
  if (window.focus() == 0) window.set_focus(window.NextInTabOrder(0));
  Enqueue(added, Event{event::kOpenWindow, 0, 0, 0, added.thread});
  // A window of another thread stays usable, and learns it is no longer
  // the active one.
  if (previous != nullptr && previous->thread != added.thread) {
    Enqueue(*previous, Event{event::kLoseFocus, 0, 0, 0, previous->thread});
  }
  active_id_ = added.id;
  return Status::Ok();
}

void HeadlessEngine::Close(Window& window) {
  Record* record = Find(window);
  if (record != nullptr) CloseRecord(*record);
}

bool HeadlessEngine::IsOpen(const Window& window) const { return Find(window) != nullptr; }

LoopEnd HeadlessEngine::Accept(Window& window, LoopBody body) {
  Record* record = Find(window);
  if (record == nullptr) {
    runtime::RaiseRuntimeError(kAcceptWithoutWindowError, kAcceptWithoutWindowText);
    return LoopEnd::kNoWindow;
  }
  const int id = record->id;
  record->body = std::move(body);
  LoopEnd end = LoopEnd::kClosed;
  for (;;) {
    record = FindId(id);
    if (halted_) {
      end = LoopEnd::kHalted;
      break;
    }
    if (record == nullptr || !record->open) break;
    if (record->broken) {
      end = LoopEnd::kBroken;
      break;
    }
    if (DeliverOne()) continue;
    events_since_input_ = 0;
    if (input_ == nullptr || !input_->Next(*this)) Halt(0, "the input has ended");
  }
  record = FindId(id);
  if (record != nullptr) {
    CloseRecord(*record);
    Dispose(*record);
  }
  return end;
}

int HeadlessEngine::Start(std::unique_ptr<Window> window, LoopBody body,
                          std::function<void()> release) {
  if (halted_ || window == nullptr) return 0;
  // The new window opens on a thread of its own.
  int thread = ++next_thread_;
  contexts_.push_back(Context{Event{0, 0, 0, 0, thread}, 0});
  Status opened = Open(*window);
  contexts_.pop_back();
  if (!opened.ok()) {
    --next_thread_;
    return 0;
  }
  Record* record = Find(*window);
  record->owned = std::move(window);
  record->body = std::move(body);
  record->release = std::move(release);
  record->started = true;
  return thread;
}

int HeadlessEngine::ThreadOf(const Window& window) const {
  Record* record = Find(window);
  return record ? record->thread : 0;
}

HeadlessEngine::Record* HeadlessEngine::Find(const Window& window) const {
  for (const auto& record : records_) {
    if (record->window == &window && record->open) return record.get();
  }
  return nullptr;
}

HeadlessEngine::Record* HeadlessEngine::FindId(int id) const {
  for (const auto& record : records_) {
    if (record->id == id) return record.get();
  }
  return nullptr;
}

HeadlessEngine::Record* HeadlessEngine::TopOfThread(int thread) const {
  for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
    if ((*it)->thread == thread && (*it)->open) return it->get();
  }
  return nullptr;
}

int HeadlessEngine::CurrentThread() const {
  if (!contexts_.empty()) return contexts_.back().event.thread;
  return 1;
}

void HeadlessEngine::CloseRecord(Record& record) {
  if (!record.open) return;
  record.open = false;
  record.pass_active = false;
  std::erase_if(queue_, [&](const Queued& queued) { return queued.record_id == record.id; });
  if (active_id_ == record.id && !halted_) {
    active_id_ = 0;
    Window* next = ActiveWindow();
    if (next != nullptr) {
      Record* now = Find(*next);
      active_id_ = now->id;
      Enqueue(*now, Event{event::kGainFocus, 0, 0, 0, now->thread});
    }
  }
  if (record.started) Dispose(record);
}

// Forgets a closed record once no body of it runs; a started window's
// release runs then.
void HeadlessEngine::Dispose(Record& record) {
  if (record.open || record.in_body > 0) return;
  std::function<void()> release = std::move(record.release);
  int id = record.id;
  std::unique_ptr<Record> keep;
  for (auto& entry : records_) {
    if (entry->id == id) keep = std::move(entry);
  }
  std::erase(records_, nullptr);
  if (release) release();
}

// --- delivery ----------------------------------------------------------------

bool HeadlessEngine::Deliverable(const Record& record) const {
  return record.open && record.body && record.in_body == 0 && TopOfThread(record.thread) == &record;
}

bool HeadlessEngine::DeliverOne() {
  if (pending_ || halted_) return false;
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    Record* record = FindId(it->record_id);
    if (record == nullptr || !record->open) {
      queue_.erase(it);
      return true;
    }
    if (!Deliverable(*record)) continue;
    Queued queued = *it;
    queue_.erase(it);
    if (++events_since_input_ > kMaxEventsPerAction) {
      if (input_ != nullptr) {
        input_->Fail("the program's events did not settle after " +
                     std::to_string(kMaxEventsPerAction) + " events");
      }
      Halt(1, "endless event loop");
      return true;
    }
    Deliver(*record, queued);
    return true;
  }
  return false;
}

void HeadlessEngine::Deliver(Record& record, const Queued& queued) {
  Event event = queued.event;
  if (queued.pass_step) {
    std::optional<Event> step = NextPassEvent(record);
    if (!step) return;
    event = *step;
  }
  if (event.key_code != 0) {
    key_code_ = event.key_code;
    key_char_ = event.key_char;
  }
  const int id = record.id;
  ++events_delivered_;
  if (event_trace_) event_trace_(*record.window, event);
  contexts_.push_back(Context{event, id});
  ++record.in_body;
  // The body may open and close windows, which may move records in
  // records_; the record itself stays where it is until disposed of.
  LoopAction action = record.body(*this);
  --record.in_body;
  contexts_.pop_back();
  if (action == LoopAction::kBreak) {
    record.broken = true;
    if (record.started) CloseRecord(record);
  } else if (action == LoopAction::kContinue && record.open) {
    DefaultAction(record, event, queued.advance_focus, queued.backwards);
  }
  Record* still = FindId(id);
  if (still == nullptr) return;
  if (queued.pass_step && still->pass_active && still->open) {
    Enqueue(*still, Event{0, 0, 0, 0, still->thread}, false, true);
  }
  if (!still->open && still->started) Dispose(*still);
}

void HeadlessEngine::DefaultAction(Record& record, const Event& event, bool advance_focus,
                                   bool backwards) {
  switch (event.code) {
    case event::kCloseWindow:
    case event::kCloseDown:
      CloseRecord(record);
      break;
    case event::kAccepted:
      // Leaving a control moves on to the next, unless the body chose
      // another focus.
      if (advance_focus && record.window->focus() == event.control) {
        SetFocus(record, backwards ? record.window->PreviousInTabOrder(event.control)
                                   : record.window->NextInTabOrder(event.control));
      }
      break;
    default:
      break;
  }
}

std::optional<Event> HeadlessEngine::NextPassEvent(Record& record) {
  if (!record.pass_active) return std::nullopt;
  Window& window = *record.window;
  auto& controls = window.controls();
  while (record.pass_next < controls.size()) {
    Control& control = controls[record.pass_next++];
    if (!VisitedByPass(control.kind) || !window.IsShown(control) || !window.IsEnabled(control)) {
      continue;
    }
    if (TakesTypedText(control.kind) && !TypedTextReadsBack(control.contents, control.picture)) {
      record.pass_active = false;
      SetFocus(record, control.number);
      return Event{event::kRejected, control.number, 0, 0, record.thread};
    }
    window.Update(control.number);
    bool empty = TakesTypedText(control.kind)          ? IsBlank(control.contents)
                 : control.kind == ControlKind::kCheck ? false
                                                       : control.selected == 0;
    if (control.required && empty) {
      record.pass_active = false;
      SetFocus(record, control.number);
      return std::nullopt;
    }
    return Event{event::kAccepted, control.number, 0, 0, record.thread};
  }
  record.pass_active = false;
  return Event{event::kCompleted, 0, 0, 0, record.thread};
}

void HeadlessEngine::Enqueue(Record& record, Event event, bool advance_focus, bool pass_step,
                             bool backwards) {
  event.thread = record.thread;
  if (IsWindowEvent(event.code)) event.control = 0;
  queue_.push_back(Queued{event, record.id, advance_focus, backwards, pass_step});
}

bool HeadlessEngine::SetFocus(Record& record, int control) {
  if (control == 0 || record.window->focus() == control) return true;
  if (record.edited != 0 && record.edited != control &&
      AcceptEdited(record) == EditEnd::kRejected) {
    return false;
  }
  record.window->set_focus(control);
  Enqueue(record, UserEvent(record, event::kSelected, control));
  return true;
}

// The control typed into is left: its text goes into its variable and it
// is accepted, or, when its picture cannot read the text back, it is
// rejected and stays as typed, to be mended.
HeadlessEngine::EditEnd HeadlessEngine::AcceptEdited(Record& record, bool advance_focus,
                                                     bool backwards) {
  int control = record.edited;
  if (control == 0) return EditEnd::kNone;
  const Control* edited = record.window->Find(control);
  if (edited != nullptr && !TypedTextReadsBack(edited->contents, edited->picture)) {
    Enqueue(record, UserEvent(record, event::kRejected, control));
    return EditEnd::kRejected;
  }
  record.edited = 0;
  record.window->Update(control);
  Enqueue(record, UserEvent(record, event::kAccepted, control), advance_focus, false, backwards);
  return EditEnd::kAccepted;
}

Event HeadlessEngine::UserEvent(const Record& record, int code, int control) const {
  return Event{code, control, pending_key_code_, KeyCharacter(pending_key_code_), record.thread};
}

// --- the current event ---------------------------------------------------

const Event& HeadlessEngine::CurrentEvent() const {
  return contexts_.empty() ? kNoEvent : contexts_.back().event;
}

Window* HeadlessEngine::CurrentWindow() {
  if (contexts_.empty()) return nullptr;
  Record* record = FindId(contexts_.back().record_id);
  return record ? record->window : nullptr;
}

void HeadlessEngine::SetKeyCode(int key_code) {
  key_code_ = key_code & kKeyCodeMask;
  key_char_ = KeyCharacter(key_code_);
}

bool HeadlessEngine::Post(int code, int control, int thread) {
  if (halted_) return false;
  Record* record = TopOfThread(thread == 0 ? CurrentThread() : thread);
  if (record == nullptr) return false;
  Enqueue(*record, Event{code, control, 0, 0, record->thread});
  return true;
}

void HeadlessEngine::Select(Window& window, int control, int first, int last) {
  Record* record = Find(window);
  window.set_selection(first, last);
  if (record == nullptr) {
    window.set_focus(control);
    return;
  }
  record->pass_active = false;
  SetFocus(*record, control);
}

void HeadlessEngine::SelectAll(Window& window) {
  Record* record = Find(window);
  if (record == nullptr) return;
  record->pass_active = true;
  record->pass_next = 0;
  Enqueue(*record, Event{0, 0, 0, 0, record->thread}, false, true);
}

void HeadlessEngine::Display(Window& window, int control) { window.Display(control); }

void HeadlessEngine::Update(Window& window, int control) {
  window.Update(control);
  Record* record = Find(window);
  if (record != nullptr && (control == 0 || control == record->edited)) record->edited = 0;
}

// --- dialogs, sounds, pictures -------------------------------------------

bool HeadlessEngine::WaitForAnswer() {
  while (pending_->answer < 0) {
    if (halted_) return false;
    events_since_input_ = 0;
    if (input_ == nullptr || !input_->Next(*this)) {
      Halt(0, "the input has ended");
      return false;
    }
  }
  return true;
}

int HeadlessEngine::Message(const MessageBox& asked) {
  // A box without a button could never be answered: it gets OK.
  MessageBox box = asked;
  if ((box.buttons & (button::kOk | button::kYes | button::kNo | button::kCancel)) == 0) {
    box.buttons = button::kOk;
  }
  int fallback = box.default_button;
  if (fallback == 0) {
    for (int b : {button::kOk, button::kYes, button::kNo, button::kCancel}) {
      if ((box.buttons & b) != 0) {
        fallback = b;
        break;
      }
    }
  }
  if (halted_) return fallback;
  pending_ = PendingDialog{PendingDialog::Kind::kMessage, box, {}, nullptr, -1};
  int answer = WaitForAnswer() ? pending_->answer : fallback;
  pending_.reset();
  messages_.push_back(ShownMessage{box, answer});
  return answer;
}

void HeadlessEngine::Beep(int sound) { beeps_.push_back(sound); }

bool HeadlessEngine::PrinterSetup() {
  ++printer_setups_shown_;
  return true;
}

bool HeadlessEngine::Preview(const reports::Document& document) {
  if (halted_) return false;
  pending_ = PendingDialog{PendingDialog::Kind::kPreview, {}, {}, &document, -1};
  const bool printed = WaitForAnswer() && pending_->answer == 1;
  pending_.reset();
  if (printed) printed_.push_back(document);
  return printed;
}

bool HeadlessEngine::Print(const reports::Document& document) {
  printed_.push_back(document);
  return true;
}

int HeadlessEngine::Popup(std::string_view menu_text) {
  if (halted_) return 0;
  std::vector<PopupItem> items;
  if (!ParsePopupMenu(menu_text, &items).ok()) return 0;
  pending_ = PendingDialog{PendingDialog::Kind::kPopup, {}, std::move(items), nullptr, -1};
  int answer = WaitForAnswer() ? pending_->answer : 0;
  pending_.reset();
  return answer;
}

bool HeadlessEngine::ShowImage(Window& window, int control, std::string_view picture_name) {
  Control* image = window.Find(control);
  if (image == nullptr) return false;
  image->picture_name.assign(picture_name);
  return ImageSizeOf(picture_name).has_value();
}

std::optional<ImageSize> HeadlessEngine::ImageSizeOf(std::string_view picture_name) const {
  if (picture_name.empty() || !image_loader_) return std::nullopt;
  return image_loader_(picture_name);
}

void HeadlessEngine::Halt(int exit_code, std::string_view text) {
  if (halted_) return;
  halted_ = true;
  exit_code_ = exit_code;
  halt_text_.assign(text);
  queue_.clear();
  // Closing a started window disposes of its record, so go by ids.
  std::vector<int> ids;
  for (const auto& record : records_) ids.push_back(record->id);
  for (int id : ids) {
    if (Record* record = FindId(id)) CloseRecord(*record);
  }
}

// --- user actions ----------------------------------------------------------

std::vector<Window*> HeadlessEngine::OpenWindows() const {
  std::vector<Window*> windows;
  for (const auto& record : records_) {
    if (record->open) windows.push_back(record->window);
  }
  return windows;
}

Window* HeadlessEngine::ActiveWindow() const {
  Record* active = FindId(active_id_);
  if (active != nullptr && active->open && TopOfThread(active->thread) == active) {
    return active->window;
  }
  for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
    if ((*it)->open && TopOfThread((*it)->thread) == it->get()) return (*it)->window;
  }
  return nullptr;
}

bool HeadlessEngine::TakesInput(const Window& window) const {
  Record* record = Find(window);
  return record != nullptr && !halted_ && !pending_ && TopOfThread(record->thread) == record;
}

bool HeadlessEngine::IsStarted(const Window& window) const {
  Record* record = Find(window);
  return record != nullptr && record->started;
}

Status HeadlessEngine::CheckInput(const Window& window) const {
  if (halted_) return Status::Error(1, "the program has been halted");
  if (pending_) {
    return Status::Error(1, pending_->kind == PendingDialog::Kind::kMessage
                                ? "a message box is waiting for its answer"
                            : pending_->kind == PendingDialog::Kind::kPopup
                                ? "a popup menu is waiting for a choice"
                                : "the print preview is open");
  }
  Record* record = Find(window);
  if (record == nullptr) return Status::Error(1, "the window is not open");
  if (TopOfThread(record->thread) != record) {
    return Status::Error(1, "window \"" + window.title() + "\" waits for a window it opened");
  }
  return Status::Ok();
}

Status HeadlessEngine::CheckControl(const Window& window, int control,
                                    const Control** found) const {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  const Control* target = window.Find(control);
  if (target == nullptr) return Status::Error(1, "no control " + std::to_string(control));
  std::string which = "control " + std::to_string(control);
  if (!window.IsShown(*target)) return Status::Error(1, which + " is hidden");
  if (!window.IsEnabled(*target)) return Status::Error(1, which + " is disabled");
  *found = target;
  return Status::Ok();
}

Status HeadlessEngine::Activate(Window& window) {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  Record* record = Find(window);
  if (record->id == active_id_) return Status::Ok();
  Record* previous = FindId(active_id_);
  if (previous != nullptr && previous->open) {
    Enqueue(*previous, Event{event::kLoseFocus, 0, 0, 0, previous->thread});
  }
  active_id_ = record->id;
  Enqueue(*record, Event{event::kGainFocus, 0, 0, 0, record->thread});
  return Status::Ok();
}

Status HeadlessEngine::Press(Window& window, int control) {
  const Control* target = nullptr;
  Status status = CheckControl(window, control, &target);
  if (!status.ok()) return status;
  Record& record = *Find(window);
  pending_key_code_ = key::kMouseLeft;
  Control& pressed = *window.Find(control);
  switch (pressed.kind) {
    case ControlKind::kItem:
      // A menu item takes no focus.
      Enqueue(record, UserEvent(record, event::kAccepted, control));
      break;
    case ControlKind::kCheck:
      if (!SetFocus(record, control)) break;
      pressed.checked = !pressed.checked;
      window.Update(control);
      Enqueue(record, UserEvent(record, event::kAccepted, control));
      break;
    case ControlKind::kRadio: {
      Control* option = window.Find(pressed.parent);
      if (option == nullptr || option->kind != ControlKind::kOption) {
        return Status::Error(1, "radio " + std::to_string(control) + " is in no option group");
      }
      int index = 0;
      for (const Control& radio : window.controls()) {
        if (radio.parent == option->number && radio.kind == ControlKind::kRadio) {
          ++index;
          if (radio.number == control) break;
        }
      }
      if (!SetFocus(record, control)) break;
      option->selected = index;
      window.Update(option->number);
      Enqueue(record, UserEvent(record, event::kAccepted, option->number));
      break;
    }
    case ControlKind::kButton:
    case ControlKind::kList:
    case ControlKind::kDropList:
    case ControlKind::kEntry:
    case ControlKind::kTextBox:
      // Moving the focus accepts a control typed into before; a click on
      // the control typed into accepts it once.  A rejected text keeps the
      // focus, and the click is lost.
      if (window.TakesFocus(pressed) && !SetFocus(record, control)) break;
      if (record.edited == control) {
        AcceptEdited(record);
      } else if (AcceptEdited(record) != EditEnd::kRejected) {
        Enqueue(record, UserEvent(record, event::kAccepted, control));
      }
      break;
    default:
      pending_key_code_ = 0;
      return Status::Error(
          1, "a " + std::string(ControlKindName(pressed.kind)) + " cannot be pressed");
  }
  pending_key_code_ = 0;
  return Status::Ok();
}

Status HeadlessEngine::Focus(Window& window, int control) {
  const Control* target = nullptr;
  Status status = CheckControl(window, control, &target);
  if (!status.ok()) return status;
  if (!window.TakesFocus(*target)) {
    return Status::Error(1, "a " + std::string(ControlKindName(target->kind)) + " takes no focus");
  }
  pending_key_code_ = key::kMouseLeft;
  SetFocus(*Find(window), control);
  pending_key_code_ = 0;
  return Status::Ok();
}

Status HeadlessEngine::Type(Window& window, int control, std::string_view text) {
  const Control* target = nullptr;
  Status status = CheckControl(window, control, &target);
  if (!status.ok()) return status;
  if (!TakesTypedText(target->kind)) {
    return Status::Error(
        1, "a " + std::string(ControlKindName(target->kind)) + " takes no typed text");
  }
  Record& record = *Find(window);
  pending_key_code_ = key::kMouseLeft;
  const bool focused = SetFocus(record, control);
  pending_key_code_ = 0;
  if (!focused) return Status::Ok();
  Control& entry = *window.Find(control);
  // No more characters than the picture has places for.
  int width = runtime::CompilePicture(entry.picture).width();
  entry.contents.assign(text.substr(0, width > 0 ? static_cast<size_t>(width) : 0));
  record.edited = control;
  return Status::Ok();
}

Status HeadlessEngine::TabOut(Window& window, bool backwards) {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  Record& record = *Find(window);
  pending_key_code_ = backwards ? key::kTab | kShiftKey : key::kTab;
  int focus = window.focus();
  if (record.edited != 0 && record.edited == focus) {
    AcceptEdited(record, true, backwards);
  } else {
    SetFocus(record, backwards ? window.PreviousInTabOrder(focus) : window.NextInTabOrder(focus));
  }
  pending_key_code_ = 0;
  return Status::Ok();
}

Status HeadlessEngine::Pick(Window& window, int control, int index) {
  const Control* target = nullptr;
  Status status = CheckControl(window, control, &target);
  if (!status.ok()) return status;
  Record& record = *Find(window);
  Control& picked = *window.Find(control);
  int count = 0;
  switch (picked.kind) {
    case ControlKind::kList:
    case ControlKind::kDropList:
      count = static_cast<int>(picked.rows.size());
      break;
    case ControlKind::kSheet:
      count = ChildCount(window, control, ControlKind::kTab);
      break;
    case ControlKind::kOption:
      count = ChildCount(window, control, ControlKind::kRadio);
      break;
    default:
      return Status::Error(1, "nothing to pick in a " + std::string(ControlKindName(picked.kind)));
  }
  if (index < 1 || index > count) {
    return Status::Error(1, "control " + std::to_string(control) + " has no entry " +
                                std::to_string(index) + " (it has " + std::to_string(count) + ")");
  }
  pending_key_code_ = key::kMouseLeft;
  if (!SetFocus(record, control) || AcceptEdited(record) == EditEnd::kRejected) {
    pending_key_code_ = 0;
    return Status::Ok();
  }
  if (picked.kind == ControlKind::kSheet) {
    Enqueue(record, UserEvent(record, event::kTabChanging, control));
  }
  picked.selected = index;
  if (picked.kind == ControlKind::kList) {
    if (index < picked.top_row) picked.top_row = index;
    if (index >= picked.top_row + picked.PageRows()) picked.top_row = index - picked.PageRows() + 1;
  }
  window.Update(control);
  if (picked.kind == ControlKind::kOption || picked.kind == ControlKind::kDropList) {
    Enqueue(record, UserEvent(record, event::kAccepted, control));
  } else {
    Enqueue(record, UserEvent(record, event::kNewSelection, control));
  }
  pending_key_code_ = 0;
  return Status::Ok();
}

Status HeadlessEngine::Scroll(Window& window, int control, int code) {
  const Control* target = nullptr;
  Status status = CheckControl(window, control, &target);
  if (!status.ok()) return status;
  if (target->kind != ControlKind::kList) return Status::Error(1, "only a list scrolls");
  if (code < event::kScrollUp || code > event::kScrollBottom) {
    return Status::Error(1, "not a scroll event: " + std::to_string(code));
  }
  Record& record = *Find(window);
  Control& list = *window.Find(control);
  if (!SetFocus(record, control)) return Status::Ok();
  if (list.immediate) {
    Enqueue(record, UserEvent(record, code, control));
    return Status::Ok();
  }
  int count = static_cast<int>(list.rows.size());
  if (count == 0) return Status::Ok();
  int row = list.selected == 0 ? 1 : list.selected;
  switch (code) {
    case event::kScrollUp:
      row -= 1;
      break;
    case event::kScrollDown:
      row += 1;
      break;
    case event::kPageUp:
      row -= list.PageRows();
      break;
    case event::kPageDown:
      row += list.PageRows();
      break;
    case event::kScrollTop:
      row = 1;
      break;
    default:
      row = count;
      break;
  }
  row = std::clamp(row, 1, count);
  if (row == list.selected) return Status::Ok();
  return Pick(window, control, row);
}

Status HeadlessEngine::PressKey(Window& window, int key_code) {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  Record& record = *Find(window);
  key_code &= kKeyCodeMask;
  int focus = window.focus();
  Status result = Status::Ok();
  if (window.alert_keys().count(key_code) != 0) {
    pending_key_code_ = key_code;
    Enqueue(record, UserEvent(record, event::kAlertKey, focus));
  } else if (key_code == key::kTab || key_code == (key::kTab | kShiftKey)) {
    result = TabOut(window, key_code != key::kTab);
  } else if (key_code == key::kEsc) {
    pending_key_code_ = key_code;
    Enqueue(record, UserEvent(record, event::kCloseWindow, 0));
  } else if (key_code == key::kEnter) {
    pending_key_code_ = key_code;
    if (AcceptEdited(record) == EditEnd::kNone && focus != 0) {
      Enqueue(record, UserEvent(record, event::kAccepted, focus));
    }
  } else {
    // Any other key is only remembered as the last keystroke.
    key_code_ = key_code;
    key_char_ = KeyCharacter(key_code);
  }
  pending_key_code_ = 0;
  return result;
}

Status HeadlessEngine::RequestClose(Window& window) {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  Record& record = *Find(window);
  Enqueue(record, Event{event::kCloseWindow, 0, 0, 0, record.thread});
  return Status::Ok();
}

Status HeadlessEngine::Resize(Window& window, int width, int height) {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  if (width <= 0 || height <= 0) return Status::Error(1, "a window size must be positive");
  if (!window.resizable) return Status::Error(1, "the window's size cannot be changed");
  // As a window frame does, the size stops at the window's limits.
  width = window.LimitWidth(width);
  height = window.LimitHeight(height);
  Record& record = *Find(window);
  if (window.width == width && window.height == height) return Status::Ok();
  window.width = width;
  window.height = height;
  Enqueue(record, Event{event::kSize, 0, 0, 0, record.thread});
  Enqueue(record, Event{event::kSized, 0, 0, 0, record.thread});
  return Status::Ok();
}

Status HeadlessEngine::Move(Window& window, int x, int y) {
  Status status = CheckInput(window);
  if (!status.ok()) return status;
  Record& record = *Find(window);
  if (window.x == x && window.y == y) return Status::Ok();
  window.x = x;
  window.y = y;
  Enqueue(record, Event{event::kMove, 0, 0, 0, record.thread});
  Enqueue(record, Event{event::kMoved, 0, 0, 0, record.thread});
  return Status::Ok();
}

Status HeadlessEngine::AnswerMessage(int button) {
  if (!pending_ || pending_->kind != PendingDialog::Kind::kMessage) {
    return Status::Error(1, "no message box is waiting");
  }
  int buttons = pending_->box.buttons;
  bool single = button == button::kOk || button == button::kYes || button == button::kNo ||
                button == button::kCancel;
  if (!single || (buttons & button) == 0) {
    return Status::Error(1, "the message box has no button " + std::to_string(button));
  }
  pending_->answer = button;
  return Status::Ok();
}

Status HeadlessEngine::ChoosePopupItem(int item) {
  if (!pending_ || pending_->kind != PendingDialog::Kind::kPopup) {
    return Status::Error(1, "no popup menu is waiting");
  }
  if (item != 0) {
    if (item < 0 || item > static_cast<int>(pending_->items.size())) {
      return Status::Error(1, "the popup menu has no item " + std::to_string(item));
    }
    if (pending_->items[item - 1].disabled) {
      return Status::Error(1, "popup item " + std::to_string(item) + " is disabled");
    }
  }
  pending_->answer = item;
  return Status::Ok();
}

Status HeadlessEngine::PrintPreview() {
  if (!pending_ || pending_->kind != PendingDialog::Kind::kPreview) {
    return Status::Error(1, "no print preview is open");
  }
  pending_->answer = 1;
  return Status::Ok();
}

Status HeadlessEngine::ClosePreview() {
  if (!pending_ || pending_->kind != PendingDialog::Kind::kPreview) {
    return Status::Error(1, "no print preview is open");
  }
  pending_->answer = 0;
  return Status::Ok();
}

bool HeadlessEngine::AdvanceClock(int64_t target_ms) {
  Record* due = nullptr;
  for (const auto& record : records_) {
    if (!record->open) continue;
    int interval = record->window->timer();
    if (interval != record->timer_interval) {
      record->timer_interval = interval;
      record->timer_due_ms = clock_ms_ + 10 * int64_t{interval};
    }
    if (interval == 0) continue;
    if (due == nullptr || record->timer_due_ms < due->timer_due_ms) due = record.get();
  }
  if (due == nullptr || due->timer_due_ms > target_ms) {
    clock_ms_ = std::max(clock_ms_, target_ms);
    return false;
  }
  clock_ms_ = std::max(clock_ms_, due->timer_due_ms);
  due->timer_due_ms = clock_ms_ + 10 * int64_t{due->timer_interval};
  // Timer events do not pile up: one waiting is enough.
  bool waiting = std::any_of(queue_.begin(), queue_.end(), [&](const Queued& queued) {
    return queued.record_id == due->id && queued.event.code == event::kTimer;
  });
  if (!waiting) Enqueue(*due, Event{event::kTimer, 0, 0, 0, due->thread});
  return true;
}

}  // namespace tentaria::ui
