#include "framework/toolbar.h"

#include "ui/event_codes.h"
#include "ui/key_codes.h"

namespace tentaria::framework {

std::string PackToolTips(const std::vector<std::pair<int, std::string>>& tips) {
  std::string block(1, static_cast<char>(tips.size()));
  for (const auto& [control, text] : tips) {
    block += static_cast<char>(control & 0xFF);
    block += static_cast<char>((control >> 8) & 0xFF);
    block += static_cast<char>(text.size());
    block += text;
  }
  return block;
}

Status UnpackToolTips(std::string_view block, std::vector<std::pair<int, std::string>>* tips) {
  tips->clear();
  auto byte = [&](size_t at) { return static_cast<unsigned char>(block[at]); };
  if (block.empty()) return Status::Error(1, "tool tips: no count");
  size_t count = byte(0);
  size_t at = 1;
  for (size_t i = 0; i < count; ++i) {
    if (block.size() - at < 3) return Status::Error(1, "tool tips: entry cut short");
    int control = byte(at) | (byte(at + 1) << 8);
    size_t length = byte(at + 2);
    at += 3;
    if (block.size() - at < length) return Status::Error(1, "tool tips: text cut short");
    tips->emplace_back(control, std::string(block.substr(at, length)));
    at += length;
  }
  if (at != block.size()) return Status::Error(1, "tool tips: bytes after the last entry");
  return Status::Ok();
}

const std::string& StandardToolTips() {
  static const std::string block = PackToolTips({
      {toolbar::kInsert, "Insert a new Record"},
      {toolbar::kBottom, "Go to the Last Page"},
      {toolbar::kTop, "Go to the First Page"},
      {toolbar::kPageDown, "Go to the Next Page"},
      {toolbar::kPageUp, "Go to the Prior Page"},
      {toolbar::kDown, "Go to the Next Record"},
      {toolbar::kUp, "Go to the Prior Record"},
  });
  return block;
}

void Toolbar::Init(ui::Engine& engine, ui::Window& window, ui::Window& buttons) {
  engine_ = &engine;
  window_ = &window;
  buttons_ = &buttons;
  LIST.clear();
  current_ = -1;
  std::vector<std::pair<int, std::string>> tips;
  if (!UnpackToolTips(StandardToolTips(), &tips).ok()) return;
  for (const auto& [control, text] : tips) {
    if (ui::Control* button = buttons.Find(control)) button->tip = text;
  }
}

void Toolbar::Kill() {
  LIST.clear();
  current_ = -1;
  engine_ = nullptr;
  window_ = nullptr;
  buttons_ = nullptr;
}

void Toolbar::AddTarget(const ToolbarTarget& target) { LIST.push_back(target); }

const ToolbarTarget* Toolbar::CurrentTarget() const {
  return current_ < 0 ? nullptr : &LIST[static_cast<size_t>(current_)];
}

bool Toolbar::SetTarget(int control) {
  for (size_t i = 0; i < LIST.size(); ++i) {
    if (LIST[i].CONTROL == control) {
      current_ = static_cast<int>(i);
      UpdateButtons();
      return true;
    }
  }
  return false;
}

void Toolbar::Enable(int button, bool enabled) {
  if (buttons_ == nullptr) return;
  if (ui::Control* control = buttons_->Find(button)) control->enabled = enabled;
}

bool Toolbar::HasEnabled(int control) const {
  if (control == 0 || window_ == nullptr) return false;
  const ui::Control* button = window_->Find(control);
  return button != nullptr && window_->IsEnabled(*button);
}

void Toolbar::UpdateButtons() {
  const ToolbarTarget* target = CurrentTarget();
  if (target == nullptr) return;
  Enable(toolbar::kHistory, false);
  for (int button = toolbar::kBottom; button <= toolbar::kLocate; ++button) Enable(button, true);
  Enable(toolbar::kInsert, HasEnabled(target->INSERTBUTTON));
  Enable(toolbar::kChange, HasEnabled(target->CHANGEBUTTON));
  Enable(toolbar::kDelete, HasEnabled(target->DELETEBUTTON));
  Enable(toolbar::kSelect, HasEnabled(target->SELECTBUTTON));
  Enable(toolbar::kHelp, HasEnabled(target->HELPBUTTON));
}

bool Toolbar::HandleEvent() {
  const ToolbarTarget* target = CurrentTarget();
  if (engine_ == nullptr || target == nullptr) return false;
  if (engine_->EventCode() != ui::event::kAccepted) return false;
  int control = engine_->EventControl();
  // A button the target lacks is disabled on the toolbar; an event that
  // comes anyway does nothing.
  auto press = [&](int button) {
    if (HasEnabled(button)) engine_->Post(ui::event::kAccepted, button);
  };
  switch (control) {
    case toolbar::kInsert:
      press(target->INSERTBUTTON);
      return true;
    case toolbar::kChange:
      press(target->CHANGEBUTTON);
      return true;
    case toolbar::kDelete:
      press(target->DELETEBUTTON);
      return true;
    case toolbar::kSelect:
      if (target->BROWSE != nullptr && HasEnabled(target->SELECTBUTTON)) {
        target->BROWSE->SelectHighlighted();
      }
      return true;
    case toolbar::kBottom:
    case toolbar::kTop:
    case toolbar::kPageDown:
    case toolbar::kPageUp:
    case toolbar::kDown:
    case toolbar::kUp:
    case toolbar::kLocate:
      // 2004..2010 stand for the events 8 down to 3, then locate (9).
      engine_->Post(control == toolbar::kLocate ? ui::event::kLocate
                                                : ui::event::kScrollBottom - (control - 2004),
                    target->CONTROL);
      return true;
    case toolbar::kHistory:
      return true;
    case toolbar::kHelp:
      if (HasEnabled(target->HELPBUTTON)) {
        engine_->SetKeyCode(ui::key::kF1);
        engine_->Post(ui::event::kAccepted, target->HELPBUTTON);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace tentaria::framework
