// Keystrokes from Qt as the model's key codes, and the keys that scroll a
// list.
#ifndef TENTARIA_UI_QT_KEY_MAPPING_H_
#define TENTARIA_UI_QT_KEY_MAPPING_H_

#include <QKeyEvent>

namespace tentaria::ui::qt {

// The model's key code of a keystroke (modifiers included), 0 for a key
// it has none for.
int ModelKeyCode(const QKeyEvent& event);

// The scroll event a navigation key gives in a list, 0 for none.
int ListScrollOf(int key_code);

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_KEY_MAPPING_H_
