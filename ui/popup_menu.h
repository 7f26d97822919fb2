// The text a popup menu is handed to the engine as: items separated by
// "|"; a sub-menu written "{" title "|" items "}"; "-" alone a separator;
// before an item's text "~" for disabled, "+" ticked, "-" tickable and not
// ticked, and an icon between "[" and "]".
//
// The engine answers with the number of the chosen item: items (not
// separators, not sub-menu titles) count from 1 in the order written.
#ifndef TENTARIA_UI_POPUP_MENU_H_
#define TENTARIA_UI_POPUP_MENU_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace tentaria::ui {

struct PopupItem {
  int number = 0;
  std::string text;
  std::string submenu;  // the titles of the sub-menus it sits in, joined by "/"
  std::string icon;
  bool disabled = false;
  int check = 0;  // 0 none, 1 ticked, 2 tickable and not ticked
};

Status ParsePopupMenu(std::string_view text, std::vector<PopupItem>* items);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_POPUP_MENU_H_
