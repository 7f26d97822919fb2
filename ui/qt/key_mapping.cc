#include "ui/qt/key_mapping.h"

#include "ui/event_codes.h"
#include "ui/key_codes.h"

namespace tentaria::ui::qt {

namespace {

struct KeyPair {
  int qt;
  int model;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Tab, key::kTab},       {Qt::Key_Backtab, key::kTab},   {Qt::Key_Return, key::kEnter},
    {Qt::Key_Enter, key::kEnter},   {Qt::Key_Escape, key::kEsc},    {Qt::Key_Space, key::kSpace},
    {Qt::Key_PageUp, key::kPgUp},   {Qt::Key_PageDown, key::kPgDn}, {Qt::Key_End, key::kEnd},
    {Qt::Key_Home, key::kHome},     {Qt::Key_Left, key::kLeft},     {Qt::Key_Up, key::kUp},
    {Qt::Key_Right, key::kRight},   {Qt::Key_Down, key::kDown},     {Qt::Key_Insert, key::kInsert},
    {Qt::Key_Delete, key::kDelete},
};

}  // namespace

int ModelKeyCode(const QKeyEvent& event) {
  const int key = event.key();
  int code = 0;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    code = 'A' + (key - Qt::Key_A);
  } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    code = '0' + (key - Qt::Key_0);
  } else if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    code = key::kF1 + (key - Qt::Key_F1);
  } else {
    for (const KeyPair& pair : kKeys) {
      if (pair.qt == key) code = pair.model;
    }
    if (code == 0) return 0;
  }
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  // Shift+Tab comes as its own key.
  if ((modifiers & Qt::ShiftModifier) != 0 || key == Qt::Key_Backtab) code |= kShiftKey;
  if ((modifiers & Qt::ControlModifier) != 0) code |= kCtrlKey;
  if ((modifiers & Qt::AltModifier) != 0) code |= kAltKey;
  return code;
}

int ListScrollOf(int key_code) {
  switch (key_code) {
    case key::kUp:
      return event::kScrollUp;
    case key::kDown:
      return event::kScrollDown;
    case key::kPgUp:
      return event::kPageUp;
    case key::kPgDn:
      return event::kPageDown;
    case key::kHome:
      return event::kScrollTop;
    case key::kEnd:
      return event::kScrollBottom;
    default:
      return 0;
  }
}

}  // namespace tentaria::ui::qt
