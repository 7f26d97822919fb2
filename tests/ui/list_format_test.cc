// List format texts, popup menu texts, key names and control texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/key_codes.h"
#include "ui/list_format.h"
#include "ui/popup_menu.h"

namespace tentaria::ui {
namespace {

TEST(ListFormatTest, ColumnsOfTheBrowseFormats) {
  std::vector<ListColumn> columns;
  ASSERT_TRUE(ParseListFormat("119L(1)|_F*~ Camping~@s25@82L(1)|_F*~ Plaats~@s20@81L(1)|_F*~ "
                              "Streek~@s20@/70L(1)|_*~ Provincie~@s15@69L(1)|_*~ "
                              "Land~@s10@/0L@s1@0L@s1@25L@s7@0L~ADVER~@s1@",
                              &columns)
                  .ok());
  ASSERT_EQ(columns.size(), 9u);
  EXPECT_EQ(columns[0].width, 119);
  EXPECT_EQ(columns[0].indent, 1);
  EXPECT_EQ(columns[0].header, " Camping");
  EXPECT_EQ(columns[0].picture, "@s25");
  EXPECT_TRUE(columns[0].has_colours());
  EXPECT_EQ(columns[2].modifiers, "|_F*/");  // the "/" after its picture
  EXPECT_FALSE(columns[5].has_colours());
  EXPECT_EQ(columns[5].width, 0);
  EXPECT_EQ(columns[8].header, "ADVER");

  ASSERT_TRUE(ParseListFormat("60L(1)|_*~Provincie~@s15@40L(1)|_*~Land~L(2)@s10@", &columns).ok());
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[1].header_align, 'L');
  EXPECT_EQ(columns[1].header_indent, 2);
  EXPECT_EQ(columns[1].picture, "@s10");
}

TEST(ListFormatTest, MalformedTextsAreRefusedWithTheirOffset) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"L~x~@s1@", "a column width at offset 0"},
      {"12~x~", "an alignment at offset 2"},
      {"12L~unclosed", "the closing ~ of a header"},
      {"12L@s10", "the closing @ of a picture"},
      {"12L(3", "an alignment"},
      {"12L@s1@x", "a column width at offset 7"},
      {"99999999L@s1@", "a column width"},
  };
  for (const auto& [text, message] : cases) {
    std::vector<ListColumn> columns(1);
    Status status = ParseListFormat(text, &columns);
    EXPECT_FALSE(status.ok()) << text;
    EXPECT_NE(status.message().find(message), std::string::npos) << status.message();
    EXPECT_TRUE(columns.empty());
  }
}

TEST(PopupMenuTest, ItemsCountedInOrderWithTheirMarks) {
  std::vector<PopupItem> items;
  ASSERT_TRUE(
      ParsePopupMenu("&Insert|-|{Extra|~&Delete|+Ticked|{Deeper|-Unticked}}|[icon.ico]Last", &items)
          .ok());
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].text, "&Insert");
  EXPECT_TRUE(items[1].disabled);
  EXPECT_EQ(items[1].submenu, "Extra");
  EXPECT_EQ(items[2].check, 1);
  EXPECT_EQ(items[3].check, 2);
  EXPECT_EQ(items[3].submenu, "Extra/Deeper");
  EXPECT_EQ(items[4].icon, "icon.ico");
  EXPECT_EQ(items[4].number, 5);
  for (const char* broken : {"{Sub|A", "A}|B", "[icon|A"}) {
    EXPECT_FALSE(ParsePopupMenu(broken, &items).ok()) << broken;
  }
}

TEST(KeyCodesTest, NamesAndCharacters) {
  const std::vector<std::pair<std::string, int>> cases = {{"F1", 112},
                                                          {"f12", 123},
                                                          {"Enter", 13},
                                                          {"esc", 27},
                                                          {"A", 65},
                                                          {"a", 65},
                                                          {"Ctrl+F", 0x200 | 70},
                                                          {"Shift+Tab", 0x100 | 9},
                                                          {"Alt+Ctrl+1", 0x600 | 49},
                                                          {"2047", 2047}};
  for (const auto& [name, code] : cases) {
    EXPECT_EQ(KeyCodeFromName(name), code) << name;
    EXPECT_EQ(KeyCodeFromName(KeyName(code)), code) << KeyName(code);
  }
  for (const char* bad : {"", "F13", "Ctrl+", "Hyper+A", "2048", "-1", "AB"}) {
    EXPECT_FALSE(KeyCodeFromName(bad).has_value()) << bad;
  }
  EXPECT_EQ(KeyCharacter(65), 'a');
  EXPECT_EQ(KeyCharacter(0x100 | 65), 'A');
  EXPECT_EQ(KeyCharacter(0x200 | 65), 0);
  EXPECT_EQ(KeyCharacter(112), 0);
}

TEST(ControlTextTest, AccessKeyMarks) {
  EXPECT_EQ(TextWithoutAccessKey("&Sluiten"), "Sluiten");
  EXPECT_EQ(TextWithoutAccessKey("Ge&markeerde"), "Gemarkeerde");
  EXPECT_EQ(TextWithoutAccessKey("A && B"), "A & B");
  EXPECT_EQ(TextWithoutAccessKey("end&"), "end");
}

}  // namespace
}  // namespace tentaria::ui
