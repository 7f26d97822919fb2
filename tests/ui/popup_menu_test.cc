#include "ui/popup_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tentaria::ui {
namespace {

// The items' texts, with "-@d" before an item that has a separator at depth d.
std::vector<std::string> Layout(const std::vector<PopupItem>& items) {
  std::vector<std::string> layout;
  for (const PopupItem& item : items) {
    if (item.separator_depth >= 0) layout.push_back("-@" + std::to_string(item.separator_depth));
    layout.push_back(std::to_string(item.number) + ":" + item.text);
  }
  return layout;
}

TEST(PopupMenuSeparatorTest, SeparatorsTravelWithTheNextItemAndKeepTheNumbering) {
  std::vector<PopupItem> items;
  ASSERT_TRUE(
      ParsePopupMenu("&Insert|-|&Change|-|-|{Sorteer|-|Op &naam|Op &plaats|-}|-|Einde", &items)
          .ok());
  EXPECT_EQ(Layout(items),
            (std::vector<std::string>{"1:&Insert", "-@0", "2:&Change", "-@0", "3:Op &naam",
                                      "4:Op &plaats", "-@0", "5:Einde"}))
      << "a run of separators is one line; the one leading the sub-menu is before the sub-menu; "
         "the one closing it draws nothing";
  EXPECT_EQ(items[2].submenu_path, std::vector<std::string>{"Sorteer"});
  EXPECT_EQ(items[2].submenu, "Sorteer");
}

TEST(PopupMenuSeparatorTest, SeparatorsInsideSubMenusAndAtTheEnds) {
  std::vector<PopupItem> items;
  ASSERT_TRUE(ParsePopupMenu("-|A|{In/uit|B|-|{Diep|C}}|-", &items).ok());
  EXPECT_EQ(Layout(items), (std::vector<std::string>{"-@0", "1:A", "2:B", "-@1", "3:C"}));
  EXPECT_EQ(items[2].submenu_path, (std::vector<std::string>{"In/uit", "Diep"}))
      << "a title with a slash stays one title";

  // Only separators: nothing to choose and nothing to draw.
  ASSERT_TRUE(ParsePopupMenu("-|-", &items).ok());
  EXPECT_TRUE(items.empty());
  // "-" before a text is the tickable mark, not a separator.
  ASSERT_TRUE(ParsePopupMenu("-Vinkje", &items).ok());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].check, 2);
  EXPECT_EQ(items[0].separator_depth, -1);
}

}  // namespace
}  // namespace tentaria::ui
