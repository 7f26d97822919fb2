#include "ui/window.h"

#include <set>

#include "platform/charset.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_deformat.h"
#include "runtime/picture_format.h"

namespace tentaria::ui {
namespace {

std::string_view TrimTrailing(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (platform::CharUpper(static_cast<unsigned char>(a[i])) !=
        platform::CharUpper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A value's text as a choice compares it: trailing blanks do not count.
bool SameChoice(const runtime::PictureValue& value, std::string_view text) {
  return TrimTrailing(value.text()) == TrimTrailing(text);
}

bool IsOn(const runtime::PictureValue& value) {
  std::string_view text = TrimTrailing(value.text());
  return !text.empty() && text != "0";
}

}  // namespace

Control& Window::Add(ControlKind kind, int number, std::string text, int parent) {
  Control& control = controls_.emplace_back();
  control.kind = kind;
  control.number = number;
  control.text = std::move(text);
  control.parent = parent;
  return control;
}

Status Window::Check() const {
  std::set<int> numbers;
  for (const Control& control : controls_) {
    std::string which = "control " + std::to_string(control.number);
    if (control.number <= 0) return Status::Error(1, which + ": numbers start at 1");
    if (!numbers.insert(control.number).second) {
      return Status::Error(1, which + ": number used twice");
    }
  }
  for (const Control& control : controls_) {
    std::string which = "control " + std::to_string(control.number);
    if (control.parent != 0 && numbers.count(control.parent) == 0) {
      return Status::Error(1, which + ": no parent " + std::to_string(control.parent));
    }
    const Control* up = &control;
    for (size_t depth = 0; up != nullptr && up->parent != 0; ++depth) {
      if (depth >= controls_.size()) return Status::Error(1, which + ": sits in itself");
      up = Find(up->parent);
    }
    if (!control.format_text.empty()) {
      std::vector<ListColumn> columns;
      Status status = ParseListFormat(control.format_text, &columns);
      if (!status.ok()) return Status::Error(1, which + ": " + status.message());
    }
  }
  return Status::Ok();
}

Control* Window::Find(int number) {
  for (Control& control : controls_) {
    if (control.number == number) return &control;
  }
  return nullptr;
}

const Control* Window::Find(int number) const { return const_cast<Window*>(this)->Find(number); }

const Control* Window::FindByName(std::string_view name) const {
  if (!name.empty() && name[0] == '?') name.remove_prefix(1);
  for (const Control& control : controls_) {
    if (!control.name.empty() && EqualNoCase(control.name, name)) return &control;
  }
  return nullptr;
}

const Control* Window::FindByText(std::string_view text, int parent) const {
  std::string wanted = TextWithoutAccessKey(TrimTrailing(text));
  for (const Control& control : controls_) {
    if (parent >= 0 && control.parent != parent) continue;
    std::string plain = TextWithoutAccessKey(control.text);
    if (EqualNoCase(TrimTrailing(plain), wanted)) return &control;
  }
  // Tab texts are often indented with blanks ("    Plaats").
  for (const Control& control : controls_) {
    if (parent >= 0 && control.parent != parent) continue;
    std::string plain = TextWithoutAccessKey(control.text);
    std::string_view view = TrimTrailing(plain);
    while (!view.empty() && view.front() == ' ') view.remove_prefix(1);
    if (EqualNoCase(view, wanted)) return &control;
  }
  return nullptr;
}

bool Window::IsShown(const Control& control) const {
  const Control* current = &control;
  // Bounded by the number of controls, so a cycle of parents cannot hang.
  for (size_t depth = 0; current != nullptr && depth <= controls_.size(); ++depth) {
    if (current->hidden) return false;
    if (current->parent == 0) return true;
    const Control* parent = Find(current->parent);
    if (parent != nullptr && current->kind == ControlKind::kTab &&
        parent->kind == ControlKind::kSheet) {
      // A tab itself is shown; what sits on it only while it is chosen.
      if (current != &control) {
        int index = 0;
        for (const Control& sibling : controls_) {
          if (sibling.parent == parent->number && sibling.kind == ControlKind::kTab) {
            ++index;
            if (&sibling == current) break;
          }
        }
        if (parent->selected != index) return false;
      }
    }
    current = parent;
  }
  return true;
}

bool Window::IsEnabled(const Control& control) const {
  const Control* current = &control;
  for (size_t depth = 0; current != nullptr && depth <= controls_.size(); ++depth) {
    if (!current->enabled) return false;
    if (current->parent == 0) return true;
    current = Find(current->parent);
  }
  return true;
}

bool Window::TakesFocus(const Control& control) const {
  switch (control.kind) {
    case ControlKind::kButton: {
      // A toolbar's buttons act on the control that has the focus (the
      // history button restores it), so they never take it themselves.
      const Control* holder = Find(control.parent);
      if (holder != nullptr && holder->kind == ControlKind::kToolbar) return false;
      return IsShown(control) && IsEnabled(control);
    }
    case ControlKind::kEntry:
    case ControlKind::kCheck:
    case ControlKind::kRadio:
    case ControlKind::kDropList:
    case ControlKind::kList:
    case ControlKind::kSheet:
    case ControlKind::kTextBox:
      return IsShown(control) && IsEnabled(control);
    default:
      return false;
  }
}

int Window::NextInTabOrder(int number) const {
  size_t start = 0;
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].number == number) start = i + 1;
  }
  for (size_t step = 0; step < controls_.size(); ++step) {
    const Control& control = controls_[(start + step) % controls_.size()];
    if (TakesFocus(control)) return control.number;
  }
  return 0;
}

int Window::PreviousInTabOrder(int number) const {
  const size_t count = controls_.size();
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    if (controls_[i].number == number) start = i;
  }
  for (size_t step = 1; step <= count; ++step) {
    const Control& control = controls_[(start + count - step) % count];
    if (TakesFocus(control)) return control.number;
  }
  return 0;
}

void Window::Display(int number) {
  for (Control& control : controls_) {
    if (number == 0 || control.number == number) DisplayControl(control);
  }
}

void Window::Update(int number) {
  for (Control& control : controls_) {
    if (number == 0 || control.number == number) UpdateControl(control);
  }
}

void Window::DisplayControl(Control& control) {
  if (!control.use) return;
  runtime::PictureValue value = control.use->Get();
  switch (control.kind) {
    case ControlKind::kEntry:
    case ControlKind::kString:
    case ControlKind::kTextBox:
    case ControlKind::kPrompt:
      control.contents = runtime::FormatPicture(value, runtime::CompilePicture(control.picture));
      break;
    case ControlKind::kCheck:
      control.checked = IsOn(value);
      break;
    case ControlKind::kOption: {
      control.selected = 0;
      int index = 0;
      for (const Control& radio : controls_) {
        if (radio.parent != control.number || radio.kind != ControlKind::kRadio) continue;
        ++index;
        if (SameChoice(value, radio.RadioValue())) {
          control.selected = index;
          break;
        }
      }
      break;
    }
    case ControlKind::kList:
    case ControlKind::kDropList:
      control.selected = 0;
      for (size_t row = 0; row < control.rows.size(); ++row) {
        if (!control.rows[row].empty() && SameChoice(value, control.rows[row][0].value.text())) {
          control.selected = static_cast<int>(row) + 1;
          break;
        }
      }
      break;
    case ControlKind::kSheet: {
      int64_t number = 0;
      for (char c : TrimTrailing(value.text())) {
        if (c < '0' || c > '9' || number > 1000000) break;
        number = number * 10 + (c - '0');
      }
      control.selected = static_cast<int>(number);
      break;
    }
    default:
      break;
  }
}

void Window::UpdateControl(Control& control) {
  if (!control.use) return;
  switch (control.kind) {
    case ControlKind::kEntry:
    case ControlKind::kTextBox: {
      runtime::CompiledPicture picture = runtime::CompilePicture(control.picture);
      // Text goes into a text variable as typed; reading it back through a
      // string picture would keep only what could form a number.
      if (picture.kind() == runtime::PictureKind::kString) {
        control.use->Set(runtime::PictureValue::Text(control.contents));
      } else {
        control.use->Set(runtime::DeformatPicture(control.contents, picture));
      }
      break;
    }
    case ControlKind::kCheck:
      control.use->Set(runtime::PictureValue::Integer(control.checked ? 1 : 0));
      break;
    case ControlKind::kOption: {
      int index = 0;
      for (const Control& radio : controls_) {
        if (radio.parent != control.number || radio.kind != ControlKind::kRadio) continue;
        if (++index == control.selected) {
          control.use->Set(runtime::PictureValue::Text(radio.RadioValue()));
        }
      }
      break;
    }
    case ControlKind::kList:
    case ControlKind::kDropList:
      if (control.selected >= 1 && control.selected <= static_cast<int>(control.rows.size()) &&
          !control.rows[control.selected - 1].empty()) {
        control.use->Set(control.rows[control.selected - 1][0].value);
      }
      break;
    case ControlKind::kSheet:
      control.use->Set(runtime::PictureValue::Integer(control.selected));
      break;
    default:
      break;
  }
}

}  // namespace tentaria::ui
