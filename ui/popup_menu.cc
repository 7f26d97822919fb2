#include "ui/popup_menu.h"

#include <algorithm>

namespace tentaria::ui {
namespace {

// An entry's text without its prefixes, which go into `item`.
Status ReadPrefixes(std::string_view entry, PopupItem* item) {
  for (;;) {
    if (entry.size() > 1 && entry[0] == '~') {
      item->disabled = true;
    } else if (entry.size() > 1 && entry[0] == '+') {
      item->check = 1;
    } else if (entry.size() > 1 && entry[0] == '-') {
      item->check = 2;
    } else if (!entry.empty() && entry[0] == '[') {
      size_t close = entry.find(']');
      if (close == std::string_view::npos) return Status::Error(1, "popup menu: unclosed [");
      item->icon.assign(entry.substr(1, close - 1));
      entry.remove_prefix(close);
    } else {
      break;
    }
    entry.remove_prefix(1);
  }
  item->text.assign(entry);
  return Status::Ok();
}

}  // namespace

Status ParsePopupMenu(std::string_view text, std::vector<PopupItem>* items) {
  items->clear();
  std::vector<std::string> submenus;
  std::vector<PopupItem> parsed;
  // The shallowest depth at which a separator waits for the next entry.
  int separator = -1;
  size_t pos = 0;
  bool title_next = false;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("|{}", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view entry = text.substr(pos, end - pos);
    char separator_char = end < text.size() ? text[end] : '\0';
    const int depth = static_cast<int>(submenus.size());
    if (title_next) {
      submenus.emplace_back(entry);
      title_next = false;
    } else if (entry == "-") {
      separator = separator < 0 ? depth : std::min(separator, depth);
    } else if (!entry.empty()) {
      PopupItem item;
      Status status = ReadPrefixes(entry, &item);
      if (!status.ok()) return status;
      item.number = static_cast<int>(parsed.size()) + 1;
      item.submenu_path = submenus;
      for (const std::string& title : submenus) {
        if (!item.submenu.empty()) item.submenu += '/';
        item.submenu += title;
      }
      item.separator_depth = separator;
      separator = -1;
      parsed.push_back(std::move(item));
    }
    if (separator_char == '{') {
      title_next = true;
    } else if (separator_char == '}') {
      if (submenus.empty()) return Status::Error(1, "popup menu: } without {");
      submenus.pop_back();
      // A separator last in the closed sub-menu has nothing after it there.
      if (separator > static_cast<int>(submenus.size())) separator = -1;
    }
    pos = end + 1;
  }
  if (!submenus.empty()) return Status::Error(1, "popup menu: { without }");
  *items = std::move(parsed);
  return Status::Ok();
}

}  // namespace tentaria::ui
