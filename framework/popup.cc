#include "framework/popup.h"

#include <memory>

#include "ui/event_codes.h"

namespace tentaria::framework {

std::string PopupItemName(std::string_view text) {
  if (text == "-") return "Separator";
  std::string name;
  for (char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) name += c;
  }
  return name;
}

void Popup::Init(ui::Engine& engine, ui::Window& window) {
  engine_ = &engine;
  PARENTWINDOW = &window;
  MYTHREAD = engine.ThreadOf(window);
  POPUPITEMS.clear();
  LASTSELECTION.clear();
}

void Popup::Kill() {
  if (INTOOLBOX && engine_ != nullptr && THISWINDOW != nullptr) engine_->Close(*THISWINDOW);
  INTOOLBOX = false;
  THISWINDOW = nullptr;
  POPUPITEMS.clear();
  engine_ = nullptr;
  PARENTWINDOW = nullptr;
}

std::string Popup::AddItem(std::string_view text, int depth) {
  if (text.empty() || text.find_first_of("|{}") != std::string_view::npos || depth < 0) return {};
  PopupItemEntry item;
  item.DEPTH = depth;
  item.TEXT = text;
  item.NAME = PopupItemName(text);
  item.ONTOOLBOX = text != "-";
  POPUPITEMS.push_back(item);
  return item.NAME;
}

std::string Popup::AddItemMimic(std::string_view text, int control, int depth) {
  std::string name = AddItem(text, depth);
  if (name.empty()) return name;
  PopupItemEntry& item = POPUPITEMS.back();
  item.CONTROLID = control;
  item.EVENT = ui::event::kAccepted;
  item.MIMICMODE = true;
  return name;
}

PopupItemEntry* Popup::FindItem(std::string_view name) {
  for (PopupItemEntry& item : POPUPITEMS) {
    if (item.NAME == name) return &item;
  }
  return nullptr;
}

bool Popup::AddItemEvent(std::string_view name, int event, int control) {
  PopupItemEntry* item = FindItem(name);
  if (item == nullptr) return false;
  item->EVENT = event;
  item->CONTROLID = control;
  return true;
}

bool Popup::DeleteItem(std::string_view name) {
  for (auto it = POPUPITEMS.begin(); it != POPUPITEMS.end(); ++it) {
    if (it->NAME == name) {
      POPUPITEMS.erase(it);
      return true;
    }
  }
  return false;
}

bool Popup::SetItemEnable(std::string_view name, bool enabled) {
  PopupItemEntry* item = FindItem(name);
  if (item != nullptr) item->DISABLED = !enabled;
  return item != nullptr;
}

bool Popup::SetItemCheck(std::string_view name, bool checked) {
  PopupItemEntry* item = FindItem(name);
  if (item != nullptr) item->CHECK = checked ? 1 : 2;
  return item != nullptr;
}

bool Popup::SetIcon(std::string_view name, std::string_view icon) {
  // "]" would end the icon early in the menu text.
  if (icon.find_first_of("]|{}") != std::string_view::npos) return false;
  PopupItemEntry* item = FindItem(name);
  if (item != nullptr) item->ICON = icon;
  return item != nullptr;
}

bool Popup::Shown(const PopupItemEntry& item) const {
  if (!item.MIMICMODE || PARENTWINDOW == nullptr) return true;
  const ui::Control* button = PARENTWINDOW->Find(item.CONTROLID);
  return button != nullptr && PARENTWINDOW->IsShown(*button);
}

bool Popup::Disabled(const PopupItemEntry& item) const {
  if (item.DISABLED) return true;
  if (!item.MIMICMODE || PARENTWINDOW == nullptr) return false;
  const ui::Control* button = PARENTWINDOW->Find(item.CONTROLID);
  return button == nullptr || !PARENTWINDOW->IsEnabled(*button);
}

void Popup::WriteLevel(size_t* index, int depth, std::string* text,
                       std::vector<size_t>* chosen) const {
  bool first = true;
  while (*index < POPUPITEMS.size() && POPUPITEMS[*index].DEPTH >= depth) {
    size_t at = (*index)++;
    const PopupItemEntry& item = POPUPITEMS[at];
    bool opens = *index < POPUPITEMS.size() && POPUPITEMS[*index].DEPTH > item.DEPTH;
    if (!Shown(item)) {
      // A hidden sub-menu title hides its sub-menu.
      while (opens && *index < POPUPITEMS.size() && POPUPITEMS[*index].DEPTH > item.DEPTH) ++*index;
      continue;
    }
    if (!first) *text += '|';
    first = false;
    if (opens) {
      *text += '{';
      *text += item.TEXT;
      std::string inner;
      WriteLevel(index, POPUPITEMS[*index].DEPTH, &inner, chosen);
      if (!inner.empty()) *text += '|' + inner;
      *text += '}';
      continue;
    }
    if (item.TEXT == "-") {
      *text += '-';
      continue;
    }
    if (Disabled(item)) *text += '~';
    if (item.CHECK == 1) {
      *text += '+';
    } else if (item.CHECK != 0) {
      *text += '-';
    }
    if (!item.ICON.empty()) *text += '[' + item.ICON + ']';
    *text += item.TEXT;
    chosen->push_back(at);
  }
}

std::string Popup::Build(std::vector<size_t>* chosen) const {
  std::string text;
  size_t index = 0;
  while (index < POPUPITEMS.size()) {
    std::string level;
    WriteLevel(&index, POPUPITEMS[index].DEPTH, &level, chosen);
    if (!text.empty() && !level.empty()) text += '|';
    text += level;
  }
  return text;
}

std::string Popup::MenuText() const {
  std::vector<size_t> chosen;
  return Build(&chosen);
}

std::string Popup::Ask() {
  if (engine_ == nullptr) return {};
  std::vector<size_t> chosen;
  std::string text = Build(&chosen);
  int number = engine_->Popup(text);
  if (number < 1 || number > static_cast<int>(chosen.size())) return {};
  const PopupItemEntry& item = POPUPITEMS[chosen[number - 1]];
  Choose(item);
  return item.NAME;
}

void Popup::Choose(const PopupItemEntry& item) {
  LASTSELECTION = item.NAME;
  if (CLEARKEYCODE) engine_->SetKeyCode(0);
  if (item.EVENT != 0 && item.CONTROLID != 0) engine_->Post(item.EVENT, item.CONTROLID, MYTHREAD);
}

bool Popup::Toolbox() {
  if (engine_ == nullptr || INTOOLBOX) return false;
  auto window = std::make_unique<ui::Window>("Toolbox");
  // Each button's number is its item's place in POPUPITEMS plus one; the
  // names are kept so that a button still finds its item after items
  // before it were deleted.
  std::vector<std::string> names;
  for (size_t at = 0; at < POPUPITEMS.size(); ++at) {
    const PopupItemEntry& item = POPUPITEMS[at];
    if (!item.ONTOOLBOX || !Shown(item)) continue;
    bool opens = at + 1 < POPUPITEMS.size() && POPUPITEMS[at + 1].DEPTH > item.DEPTH;
    if (opens || item.TEXT == "-") continue;
    names.push_back(item.NAME);
    ui::Control& button =
        window->Add(ui::ControlKind::kButton, static_cast<int>(names.size()), item.TEXT);
    button.enabled = !Disabled(item);
    button.icon = item.ICON;
    button.x = 0;
    button.y = (static_cast<int>(names.size()) - 1) * kToolboxButtonHeight;
    button.width = kToolboxButtonWidth;
    button.height = kToolboxButtonHeight;
  }
  window->width = kToolboxButtonWidth;
  window->height = static_cast<int>(names.size()) * kToolboxButtonHeight;
  ui::Window* toolbox = window.get();
  auto body = [this, names](ui::Engine& engine) {
    int pressed = engine.AcceptedControl();
    if (pressed < 1 || pressed > static_cast<int>(names.size())) return ui::LoopAction::kContinue;
    PopupItemEntry* item = FindItem(names[static_cast<size_t>(pressed - 1)]);
    if (item == nullptr || Disabled(*item)) return ui::LoopAction::kCycle;
    Choose(*item);
    return ui::LoopAction::kCycle;
  };
  auto release = [this, toolbox] {
    if (THISWINDOW == toolbox) {
      THISWINDOW = nullptr;
      INTOOLBOX = false;
    }
  };
  if (engine_->Start(std::move(window), body, release) == 0) return false;
  THISWINDOW = toolbox;
  INTOOLBOX = true;
  return true;
}

}  // namespace tentaria::framework
