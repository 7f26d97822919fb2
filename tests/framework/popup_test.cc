#include "framework/popup.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ui/event_codes.h"
#include "ui/headless_engine.h"
#include "ui/key_codes.h"
#include "ui/popup_menu.h"

namespace tentaria::framework {
namespace {

using ui::ControlKind;

TEST(PopupItemNameTest, KeepsOnlyLettersAndDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Query", "Query"},       {"-", "Separator"},
      {"&Insert", "Insert"},     {"Naar 1e &pagina", "Naar1epagina"},
      {"C\xe9line...", "Cline"}, {"--", ""},
  };
  for (const auto& [text, name] : cases) EXPECT_EQ(PopupItemName(text), name) << text;
}

class PopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Add(ControlKind::kButton, 1, "&Insert");
    window_.Add(ControlKind::kButton, 2, "&Change").enabled = false;
    window_.Add(ControlKind::kButton, 3, "&Delete").hidden = true;
    ASSERT_TRUE(engine_.Open(window_).ok());
    engine_.set_input(&input_);
    popup_.Init(engine_, window_);
  }

  // The events the window receives until the user closes it.
  std::vector<std::pair<int, int>> EventsUntilClosed() {
    input_.Add([this](ui::HeadlessEngine& e) { (void)e.RequestClose(window_); });
    std::vector<std::pair<int, int>> events;
    engine_.Accept(window_, [&events](ui::Engine& e) {
      if (!ui::IsWindowEvent(e.EventCode())) events.emplace_back(e.EventCode(), e.EventControl());
      return ui::LoopAction::kContinue;
    });
    return events;
  }

  ui::HeadlessEngine engine_;
  ui::ActionInput input_;
  ui::Window window_{"Campings"};
  Popup popup_;
};

TEST_F(PopupTest, MenuTextFollowsItemsAndButtons) {
  EXPECT_EQ(popup_.AddItemMimic("&Insert", 1), "Insert");
  EXPECT_EQ(popup_.AddItemMimic("&Change", 2), "Change");
  EXPECT_EQ(popup_.AddItemMimic("&Delete", 3), "Delete");
  EXPECT_EQ(popup_.AddItem("-"), "Separator");
  popup_.AddItem("&Sorteer");
  popup_.AddItem("Op &naam", 1);
  popup_.AddItem("Op &plaats", 1);
  popup_.AddItem("&Toolbox");
  ASSERT_TRUE(popup_.SetItemCheck("Opnaam", true));
  ASSERT_TRUE(popup_.SetItemCheck("Opplaats", false));
  ASSERT_TRUE(popup_.SetIcon("Toolbox", "tools.ico"));
  EXPECT_EQ(popup_.MenuText(),
            "&Insert|~&Change|-|{&Sorteer|+Op &naam|-Op &plaats}|[tools.ico]&Toolbox");

  // The engine reads the same items back.
  std::vector<ui::PopupItem> items;
  ASSERT_TRUE(ui::ParsePopupMenu(popup_.MenuText(), &items).ok());
  ASSERT_EQ(items.size(), 5u);
  EXPECT_TRUE(items[1].disabled);
  EXPECT_EQ(items[2].submenu, "&Sorteer");
  EXPECT_EQ(items[4].icon, "tools.ico");

  // The button shows again: so does its item, and enabling follows.
  window_.Find(3)->hidden = false;
  window_.Find(2)->enabled = true;
  ASSERT_TRUE(popup_.SetItemEnable("Insert", false));
  EXPECT_EQ(popup_.MenuText().substr(0, 32), "~&Insert|&Change|&Delete|-|{&Sor");
}

TEST_F(PopupTest, RefusesTextsThatBreakTheMenu) {
  EXPECT_EQ(popup_.AddItem("a|b"), "");
  EXPECT_EQ(popup_.AddItem("{x}"), "");
  EXPECT_EQ(popup_.AddItem(""), "");
  popup_.AddItem("Ok");
  EXPECT_FALSE(popup_.SetIcon("Ok", "a]b"));
  EXPECT_FALSE(popup_.SetItemEnable("Missing", true));
  EXPECT_EQ(popup_.MenuText(), "Ok");
}

TEST_F(PopupTest, ChoiceOfAMimickingItemPressesItsButton) {
  popup_.AddItemMimic("&Insert", 1);
  popup_.AddItemMimic("&Delete", 3);  // hidden: not shown, not counted
  popup_.AddItem("&Sorteer");
  popup_.AddItem("Op &naam", 1);
  popup_.AddItem("Op &plaats", 1);
  popup_.CLEARKEYCODE = true;
  engine_.SetKeyCode(ui::key::kMouseLeft2);

  input_.Add([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.ChoosePopupItem(3).ok()); });
  EXPECT_EQ(popup_.Ask(), "Opplaats");
  EXPECT_EQ(popup_.LASTSELECTION, "Opplaats");
  EXPECT_EQ(engine_.KeyCode(), 0);

  input_.Add([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.ChoosePopupItem(1).ok()); });
  EXPECT_EQ(popup_.Ask(), "Insert");
  EXPECT_EQ(EventsUntilClosed(), (std::vector<std::pair<int, int>>{{ui::event::kAccepted, 1}}));
}

TEST_F(PopupTest, NoChoiceKeepsTheLastSelection) {
  popup_.AddItem("&Query");
  ASSERT_TRUE(popup_.AddItemEvent("Query", ui::event::kNewSelection, 2));
  input_.Add([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.ChoosePopupItem(1).ok()); });
  EXPECT_EQ(popup_.Ask(), "Query");
  input_.Add([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.ChoosePopupItem(0).ok()); });
  EXPECT_EQ(popup_.Ask(), "");
  EXPECT_EQ(popup_.LASTSELECTION, "Query");
  EXPECT_EQ(EventsUntilClosed(), (std::vector<std::pair<int, int>>{{ui::event::kNewSelection, 2}}));
}

TEST_F(PopupTest, ToolboxButtonsActAsTheItems) {
  popup_.AddItemMimic("&Insert", 1);
  popup_.AddItemMimic("&Change", 2);  // disabled
  popup_.AddItemMimic("&Delete", 3);  // hidden
  popup_.AddItem("-");
  popup_.AddItem("&Query");
  ASSERT_TRUE(popup_.Toolbox());
  EXPECT_FALSE(popup_.Toolbox());
  ASSERT_TRUE(popup_.INTOOLBOX);
  ui::Window& toolbox = *popup_.THISWINDOW;
  ASSERT_EQ(toolbox.controls().size(), 3u);
  EXPECT_EQ(toolbox.controls()[1].text, "&Change");
  EXPECT_FALSE(toolbox.controls()[1].enabled);
  EXPECT_EQ(toolbox.controls()[2].y, Popup::kToolboxButtonHeight * 2);

  input_.Add([&toolbox](ui::HeadlessEngine& e) { ASSERT_TRUE(e.Press(toolbox, 1).ok()); });
  input_.Add([&toolbox](ui::HeadlessEngine& e) { ASSERT_FALSE(e.Press(toolbox, 2).ok()); });
  input_.Add([&toolbox](ui::HeadlessEngine& e) { ASSERT_TRUE(e.Press(toolbox, 3).ok()); });
  input_.Add([&toolbox](ui::HeadlessEngine& e) { ASSERT_TRUE(e.RequestClose(toolbox).ok()); });
  EXPECT_EQ(EventsUntilClosed(), (std::vector<std::pair<int, int>>{{ui::event::kAccepted, 1}}));
  EXPECT_EQ(popup_.LASTSELECTION, "Query");
  EXPECT_FALSE(popup_.INTOOLBOX);
  EXPECT_EQ(popup_.THISWINDOW, nullptr);
  EXPECT_TRUE(popup_.Toolbox());  // opens again; Kill closes it
}

}  // namespace
}  // namespace tentaria::framework
