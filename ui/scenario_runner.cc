#include "ui/scenario_runner.h"

#include <charconv>
#include <cstdlib>

#include "platform/charset.h"
#include "reports/pdf_writer.h"
#include "ui/event_codes.h"
#include "ui/key_codes.h"
#include "ui/scenario_view.h"

namespace tentaria::ui {
namespace {

using Kind = ScenarioToken::Kind;

int ToInt(std::string_view text) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value, base);
  return static_cast<int>(negative ? -value : value);
}

std::string Utf8(std::string_view text) { return "\"" + platform::Cp1252ToUtf8(text) + "\""; }

std::string TrimTrailing(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Describe(const Control& control) {
  if (!control.name.empty()) return "?" + platform::Cp1252ToUtf8(control.name);
  return "#" + std::to_string(control.number);
}

Status Error(std::string message) { return Status::Error(1, std::move(message)); }

int ScrollCode(const ScenarioToken& token) {
  if (token.IsWord("up")) return event::kScrollUp;
  if (token.IsWord("down")) return event::kScrollDown;
  if (token.IsWord("pageup")) return event::kPageUp;
  if (token.IsWord("pagedown")) return event::kPageDown;
  if (token.IsWord("top")) return event::kScrollTop;
  return event::kScrollBottom;
}

int ButtonOf(const ScenarioToken& token) {
  if (token.IsWord("ok")) return button::kOk;
  if (token.IsWord("yes")) return button::kYes;
  if (token.IsWord("no")) return button::kNo;
  return button::kCancel;
}

Window* WindowTitled(const HeadlessEngine& engine, std::string_view title) {
  for (Window* window : engine.OpenWindows()) {
    if (TrimTrailing(window->title()) == TrimTrailing(std::string(title))) return window;
  }
  return nullptr;
}

}  // namespace

ScenarioRunner::ScenarioRunner(HeadlessEngine& engine, std::ostream& out)
    : engine_(engine), out_(out) {
  if (const char* folder = std::getenv("TENTARIA_PDF_DIR")) pdf_folder_ = folder;
}

Status ScenarioRunner::Load(std::string_view script) {
  next_ = 0;
  return ParseScenario(script, &actions_);
}

int ScenarioRunner::Run(const std::function<void()>& program) {
  engine_.set_input(this);
  program();
  if (!engine_.halted()) engine_.Halt(0, "the program has ended");
  if (stepped_ && trace_) PrintStep();
  stepped_ = false;
  while (error_.empty() && Next(engine_)) {
  }
  PrintPrinted();
  engine_.set_input(nullptr);
  if (!error_.empty()) {
    out_ << "error: " << error_ << '\n';
    return 1;
  }
  return 0;
}

void ScenarioRunner::Fail(std::string_view why) {
  if (error_.empty()) error_ = "line " + std::to_string(line_) + ": " + std::string(why);
}

void ScenarioRunner::PrintStep() {
  out_ << "--- after line " << line_ << '\n';
  PrintWindows(engine_, out_);
  const std::vector<int>& beeps = engine_.beeps();
  for (; beeps_printed_ < beeps.size(); ++beeps_printed_) {
    out_ << "beep " << beeps[beeps_printed_] << '\n';
  }
  PrintPrinted();
  if (engine_.busy()) out_ << "busy\n";
  if (engine_.halted()) {
    out_ << "halted " << engine_.exit_code() << ' ' << Utf8(engine_.halt_text()) << '\n';
  }
}

void ScenarioRunner::PrintPrinted() {
  for (; setups_printed_ < engine_.printer_setups_shown(); ++setups_printed_) {
    out_ << "printer setup\n";
  }
  const std::vector<reports::Document>& printed = engine_.printed();
  for (; documents_printed_ < printed.size(); ++documents_printed_) {
    out_ << "printed ";
    PrintDocument(printed[documents_printed_], out_);
    if (pdf_folder_.empty()) continue;
    const std::string path =
        pdf_folder_ + "/printed-" + std::to_string(documents_printed_ + 1) + ".pdf";
    Status written = reports::WritePdf(printed[documents_printed_], path);
    if (written.ok()) {
      out_ << "  pdf " << Utf8(path) << '\n';
    } else {
      Fail("the printed document could not be written to " + path + ": " + written.message());
    }
  }
}

bool ScenarioRunner::Next(HeadlessEngine& engine) {
  (void)engine;
  if (!error_.empty()) return false;
  if (stepped_ && trace_) PrintStep();
  stepped_ = false;
  while (next_ < actions_.size() || waiting_) {
    if (waiting_) {
      if (engine_.AdvanceClock(wait_until_ms_)) {
        if (++wait_steps_ > HeadlessEngine::kMaxEventsPerAction) {
          Fail("the wait fires more than " + std::to_string(HeadlessEngine::kMaxEventsPerAction) +
               " timer events");
          return false;
        }
        return true;
      }
      waiting_ = false;
      if (trace_) PrintStep();
      continue;
    }
    const ScenarioAction& action = actions_[next_++];
    line_ = action.line;
    bool input = false;
    Status status = Execute(action, &input);
    if (!status.ok()) {
      Fail(status.message());
      return false;
    }
    if (input) {
      stepped_ = true;
      return true;
    }
  }
  return false;
}

Status ScenarioRunner::TargetWindow(Window** window) {
  *window = engine_.ActiveWindow();
  if (*window == nullptr) {
    return Error(engine_.halted() ? "the program has ended" : "no window is open");
  }
  return Status::Ok();
}

Status ScenarioRunner::ResolveControl(const Window& window, const ScenarioToken& token,
                                      const Control** control) {
  if (token.kind == Kind::kControl && token.text[0] == '#') {
    *control = window.Find(ToInt(token.text.substr(1)));
  } else if (token.kind == Kind::kControl) {
    *control = window.FindByName(token.text);
  } else {
    *control = window.FindByText(token.text);
  }
  if (*control == nullptr) {
    std::string shown =
        token.kind == Kind::kText ? Utf8(token.text) : platform::Cp1252ToUtf8(token.text);
    return Error("window " + Utf8(window.title()) + " has no control " + shown);
  }
  return Status::Ok();
}

Status ScenarioRunner::Choose(Window& window, const std::vector<ScenarioToken>& args) {
  const Control* item = nullptr;
  if (args.size() == 1 && args[0].kind == Kind::kControl) {
    Status status = ResolveControl(window, args[0], &item);
    if (!status.ok()) return status;
  } else {
    // A path of texts from a menu of the menu bar down to the item.
    int parent = -1;
    for (const ScenarioToken& step : args) {
      const Control* found = nullptr;
      for (const Control& control : window.controls()) {
        if ((control.kind != ControlKind::kMenu && control.kind != ControlKind::kItem) ||
            (parent >= 0 && control.parent != parent) ||
            (parent < 0 && control.kind != ControlKind::kMenu)) {
          continue;
        }
        if (window.FindByText(step.text, control.parent) == &control) {
          found = &control;
          break;
        }
      }
      if (found == nullptr) return Error("no menu entry " + Utf8(step.text));
      item = found;
      parent = found->number;
    }
  }
  if (item->kind != ControlKind::kItem) return Error(Describe(*item) + " is not a menu item");
  return engine_.Press(window, item->number);
}

Status ScenarioRunner::PickEntry(Window& window, const Control& control,
                                 const ScenarioToken& which) {
  if (which.IsNumber()) return engine_.Pick(window, control.number, ToInt(which.text));
  std::string wanted = TrimTrailing(which.text);
  int index = 0;
  if (control.kind == ControlKind::kList || control.kind == ControlKind::kDropList) {
    for (int row = 1; row <= static_cast<int>(control.rows.size()); ++row) {
      if (TrimTrailing(control.CellText(row, 1)) == wanted) {
        index = row;
        break;
      }
    }
  } else {
    ControlKind child =
        control.kind == ControlKind::kSheet ? ControlKind::kTab : ControlKind::kRadio;
    const Control* found = window.FindByText(which.text, control.number);
    int count = 0;
    for (const Control& c : window.controls()) {
      if (c.parent != control.number || c.kind != child) continue;
      ++count;
      if (&c == found) index = count;
    }
  }
  if (index == 0) return Error(Describe(control) + " has no entry " + Utf8(which.text));
  return engine_.Pick(window, control.number, index);
}

Status ScenarioRunner::Execute(const ScenarioAction& action, bool* input) {
  const std::string& verb = action.verb;
  const auto& args = action.args;
  if (verb == "show") {
    PrintStep();
    return Status::Ok();
  }
  if (verb == "trace") {
    trace_ = args[0].IsWord("on");
    return Status::Ok();
  }
  if (verb == "events") {
    if (args[0].IsWord("on")) {
      engine_.set_event_trace([this](const Window& window, const Event& event) {
        out_ << "event " << EventTraceName(event.code) << " control " << event.control << " window "
             << Utf8(window.title()) << '\n';
      });
    } else {
      engine_.set_event_trace({});
    }
    return Status::Ok();
  }
  if (verb == "expect") return Expect(action);
  *input = true;
  if (verb == "answer") return engine_.AnswerMessage(ButtonOf(args[0]));
  if (verb == "preview") {
    return args[0].IsWord("print") ? engine_.PrintPreview() : engine_.ClosePreview();
  }
  if (verb == "popup") {
    const PendingDialog* dialog = engine_.pending_dialog();
    if (dialog == nullptr || dialog->kind != PendingDialog::Kind::kPopup) {
      return Error("no popup menu is waiting");
    }
    if (args[0].IsWord("none")) return engine_.ChoosePopupItem(0);
    if (args[0].IsNumber()) return engine_.ChoosePopupItem(ToInt(args[0].text));
    for (const PopupItem& item : dialog->items) {
      if (TextWithoutAccessKey(item.text) == TextWithoutAccessKey(args[0].text)) {
        return engine_.ChoosePopupItem(item.number);
      }
    }
    return Error("the popup menu has no item " + Utf8(args[0].text));
  }
  if (verb == "wait") {
    std::string_view text = args[0].text;
    int64_t amount = ToInt(text.substr(0, text.find_first_not_of("0123456789")));
    wait_until_ms_ = engine_.clock_ms() + (text.ends_with("ms") ? amount : amount * 1000);
    waiting_ = true;
    wait_steps_ = 0;
    *input = false;
    return Status::Ok();
  }
  Window* window = nullptr;
  if (verb == "window") {
    window = WindowTitled(engine_, args[0].text);
    if (window == nullptr) return Error("no window " + Utf8(args[0].text) + " is open");
    return engine_.Activate(*window);
  }
  Status status = TargetWindow(&window);
  if (!status.ok()) return status;
  if (verb == "choose") return Choose(*window, args);
  if (verb == "tab") return engine_.TabOut(*window, !args.empty());
  if (verb == "close") return engine_.RequestClose(*window);
  if (verb == "resize") {
    return engine_.Resize(*window, ToInt(args[0].text), ToInt(args[1].text));
  }
  if (verb == "key") {
    std::optional<int> code = KeyCodeFromName(args[0].text);
    if (!code) return Error("unknown key " + platform::Cp1252ToUtf8(args[0].text));
    return engine_.PressKey(*window, *code);
  }
  const Control* control = nullptr;
  status = ResolveControl(*window, args[0], &control);
  if (!status.ok()) return status;
  if (verb == "press") return engine_.Press(*window, control->number);
  if (verb == "type") return engine_.Type(*window, control->number, args[1].text);
  if (verb == "pick") return PickEntry(*window, *control, args[1]);
  return engine_.Scroll(*window, control->number, ScrollCode(args[1]));
}

Status ScenarioRunner::Expect(const ScenarioAction& action) {
  const auto& a = action.args;
  if (a[0].kind == Kind::kWord) {
    if (a[0].IsWord("window")) {
      if (WindowTitled(engine_, a[1].text) == nullptr) {
        return Error("expected window " + Utf8(a[1].text) + " to be open");
      }
      return Status::Ok();
    }
    if (a[0].IsWord("no")) {
      if (a[1].IsWord("message")) {
        if (engine_.pending_dialog() != nullptr) return Error("expected no message box");
        return Status::Ok();
      }
      if (WindowTitled(engine_, a[2].text) != nullptr) {
        return Error("expected window " + Utf8(a[2].text) + " to be closed");
      }
      return Status::Ok();
    }
    if (a[0].IsWord("windows")) {
      size_t open = engine_.OpenWindows().size();
      if (open != static_cast<size_t>(ToInt(a[1].text))) {
        return Error("expected " + a[1].text + " windows open, but " + std::to_string(open) +
                     " are");
      }
      return Status::Ok();
    }
    if (a[0].IsWord("setups")) {
      int shown = engine_.printer_setups_shown();
      if (shown != ToInt(a[1].text)) {
        return Error("expected the printer set-up shown " + a[1].text + " times, but it was " +
                     std::to_string(shown));
      }
      return Status::Ok();
    }
    if (a[0].IsWord("printed")) {
      const std::vector<reports::Document>& printed = engine_.printed();
      if (a[1].kind != Kind::kText) {
        if (printed.size() != static_cast<size_t>(ToInt(a[1].text))) {
          return Error("expected " + a[1].text + " documents printed, but " +
                       std::to_string(printed.size()) + " were");
        }
        return Status::Ok();
      }
      for (const reports::Document& document : printed) {
        if (DocumentShows(document, a[1].text)) return Status::Ok();
      }
      return Error("expected a printed page to show " + Utf8(a[1].text));
    }
    if (a[0].IsWord("preview")) {
      const PendingDialog* dialog = engine_.pending_dialog();
      if (dialog == nullptr || dialog->kind != PendingDialog::Kind::kPreview) {
        return Error("expected a print preview showing " + Utf8(a[1].text) + ", but none is open");
      }
      if (!DocumentShows(*dialog->document, a[1].text)) {
        return Error("expected the print preview to show " + Utf8(a[1].text));
      }
      return Status::Ok();
    }
    if (a[0].IsWord("beeps")) {
      size_t beeps = engine_.beeps().size();
      if (beeps != static_cast<size_t>(ToInt(a[1].text))) {
        return Error("expected " + a[1].text + " beeps, but there were " + std::to_string(beeps));
      }
      return Status::Ok();
    }
    if (a[0].IsWord("message")) {
      const PendingDialog* dialog = engine_.pending_dialog();
      if (dialog == nullptr || dialog->kind != PendingDialog::Kind::kMessage) {
        return Error("expected a message box showing " + Utf8(a[1].text) + ", but none waits");
      }
      if (dialog->box.text.find(a[1].text) == std::string::npos &&
          dialog->box.caption.find(a[1].text) == std::string::npos) {
        return Error("expected the message box to show " + Utf8(a[1].text) + ", but it shows " +
                     Utf8(dialog->box.text));
      }
      return Status::Ok();
    }
    Window* window = nullptr;
    Status status = TargetWindow(&window);
    if (!status.ok()) return status;
    if (a[0].IsWord("title")) {
      if (TrimTrailing(window->title()) != TrimTrailing(a[1].text)) {
        return Error("expected the title " + Utf8(a[1].text) + ", but it is " +
                     Utf8(window->title()));
      }
      return Status::Ok();
    }
    if (!WindowShows(*window, a[1].text)) {
      return Error("expected window " + Utf8(window->title()) + " to show " + Utf8(a[1].text));
    }
    return Status::Ok();
  }
  Window* window = nullptr;
  Status status = TargetWindow(&window);
  if (!status.ok()) return status;
  const Control* control = nullptr;
  status = ResolveControl(*window, a[0], &control);
  if (!status.ok()) return status;
  return ExpectControl(*window, *control, a);
}

Status ScenarioRunner::ExpectControl(const Window& window, const Control& control,
                                     const std::vector<ScenarioToken>& a) {
  const std::string name = Describe(control);
  const ScenarioToken& what = a[1];
  if (what.IsWord("value")) {
    std::string value = TrimTrailing(ControlValue(window, control));
    if (value != TrimTrailing(a[2].text)) {
      return Error("expected " + name + " to have the value " + Utf8(a[2].text) + ", but it has " +
                   Utf8(value));
    }
    return Status::Ok();
  }
  if (what.IsWord("rows")) {
    if (control.rows.size() != static_cast<size_t>(ToInt(a[2].text))) {
      return Error("expected " + name + " to have " + a[2].text + " rows, but it has " +
                   std::to_string(control.rows.size()));
    }
    return Status::Ok();
  }
  if (what.IsWord("row")) {
    int row = ToInt(a[2].text);
    if (row < 1 || row > static_cast<int>(control.rows.size())) {
      return Error("expected " + name + " to have a row " + a[2].text + ", but it has " +
                   std::to_string(control.rows.size()) + " rows");
    }
    if (a[3].IsWord("colours")) {
      int column = ToInt(a[4].text);
      const ListRow& cells = control.rows[row - 1];
      if (column < 1 || column > static_cast<int>(cells.size())) {
        return Error(name + " row " + a[2].text + " has no column " + a[4].text);
      }
      CellColours wanted{ToInt(a[5].text), ToInt(a[6].text), ToInt(a[7].text), ToInt(a[8].text)};
      if (!(cells[column - 1].colours == wanted)) {
        return Error("expected other colours in " + name + " row " + a[2].text + " column " +
                     a[4].text);
      }
      return Status::Ok();
    }
    for (size_t i = 3; i < a.size(); ++i) {
      int column = static_cast<int>(i) - 2;
      std::string cell = TrimTrailing(control.CellText(row, column));
      if (cell != TrimTrailing(a[i].text)) {
        return Error("expected " + name + " row " + a[2].text + " column " +
                     std::to_string(column) + " to show " + Utf8(a[i].text) + ", but it shows " +
                     Utf8(cell));
      }
    }
    return Status::Ok();
  }
  bool holds = false;
  if (what.IsWord("enabled")) holds = window.IsEnabled(control);
  if (what.IsWord("disabled")) holds = !window.IsEnabled(control);
  if (what.IsWord("hidden")) holds = !window.IsShown(control);
  if (what.IsWord("visible")) holds = window.IsShown(control);
  if (what.IsWord("focused")) holds = window.focus() == control.number;
  if (what.IsWord("checked")) holds = control.checked;
  if (what.IsWord("unchecked")) holds = !control.checked;
  if (!holds) return Error("expected " + name + " to be " + what.text);
  return Status::Ok();
}

}  // namespace tentaria::ui
