// The text a popup menu is handed to the engine as: items separated by
// "|"; a sub-menu written "{" title "|" items "}"; "-" alone a separator;
// before an item's text "~" for disabled, "+" ticked, "-" tickable and not
// ticked, and an icon between "[" and "]".
//
// The engine answers with the number of the chosen item: items (not
// separators, not sub-menu titles) count from 1 in the order written.
// A separator is no item: it travels with the item written after it in the
// same menu, or after the sub-menu that item opens, so that the items keep
// their numbers.  A separator with nothing after it in its menu draws no
// line and is dropped; so is a run of separators beyond the first.
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
  std::string submenu;                    // the titles of the sub-menus it sits in, joined by "/"
  std::vector<std::string> submenu_path;  // the same titles, outermost first
  std::string icon;
  bool disabled = false;
  int check = 0;  // 0 none, 1 ticked, 2 tickable and not ticked
  // A separator line goes before this item in the menu this many sub-menus
  // deep (0: the popup itself), or, when that is shallower than the item,
  // before the sub-menu that leads to it there; -1: none.
  int separator_depth = -1;
};

Status ParsePopupMenu(std::string_view text, std::vector<PopupItem>* items);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_POPUP_MENU_H_
