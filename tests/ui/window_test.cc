// Controls and their variables: display and update for each kind of
// control, what is shown on sheets, and finding controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/window.h"

namespace tentaria::ui {
namespace {

using runtime::PictureValue;

// A window with one bound control of each kind that holds a choice.
struct Choices {
  Window window{"Choices"};
  std::shared_ptr<VariableBinding> check = std::make_shared<VariableBinding>();
  std::shared_ptr<VariableBinding> option = std::make_shared<VariableBinding>();
  std::shared_ptr<VariableBinding> drop = std::make_shared<VariableBinding>();
  std::shared_ptr<VariableBinding> sheet = std::make_shared<VariableBinding>();

  Choices() {
    window.Add(ControlKind::kCheck, 1, "&Zwembad").use = check;
    window.Add(ControlKind::kOption, 2, "Land").use = option;
    window.Add(ControlKind::kRadio, 3, "&Nederland", 2);
    window.Add(ControlKind::kRadio, 4, "&Belgi\xEB", 2).value = "B";
    Control& d = window.Add(ControlKind::kDropList, 5, "");
    d.use = drop;
    d.rows = {{{PictureValue::Text("Zeeland"), {}}}, {{PictureValue::Text("Limburg"), {}}}};
    window.Add(ControlKind::kSheet, 6, "").use = sheet;
    window.Add(ControlKind::kTab, 7, "Naam", 6);
    window.Add(ControlKind::kTab, 8, "Plaats", 6);
    window.Add(ControlKind::kEntry, 9, "", 8);
  }
};

TEST(WindowTest, DisplayShowsTheVariablesAndUpdateReadsThemBack) {
  struct Case {
    const char* name;
    PictureValue check, option, drop, sheet;
    bool checked;
    int option_chosen, drop_chosen, tab;
  };
  const std::vector<Case> cases = {
      {"first choices", PictureValue::Integer(1), PictureValue::Text("Nederland"),
       PictureValue::Text("Zeeland"), PictureValue::Integer(1), true, 1, 1, 1},
      {"trailing blanks do not count", PictureValue::Text("1  "), PictureValue::Text("B   "),
       PictureValue::Text("Limburg   "), PictureValue::Integer(2), true, 2, 2, 2},
      {"values that match nothing", PictureValue::Text("0"), PictureValue::Text("Frankrijk"),
       PictureValue::Text("Drenthe"), PictureValue::Integer(0), false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Choices choices;
    choices.check->Set(c.check);
    choices.option->Set(c.option);
    choices.drop->Set(c.drop);
    choices.sheet->Set(c.sheet);
    choices.window.Display();
    EXPECT_EQ(choices.window.Find(1)->checked, c.checked);
    EXPECT_EQ(choices.window.Find(2)->selected, c.option_chosen);
    EXPECT_EQ(choices.window.Find(5)->selected, c.drop_chosen);
    EXPECT_EQ(choices.window.Find(6)->selected, c.tab);
    EXPECT_EQ(choices.window.IsShown(*choices.window.Find(9)), c.tab == 2);
    choices.window.Update();
    EXPECT_EQ(choices.check->Get(), PictureValue::Integer(c.checked ? 1 : 0));
    EXPECT_EQ(choices.sheet->Get(), PictureValue::Integer(c.tab));
    if (c.option_chosen != 0) {
      EXPECT_EQ(choices.option->Get().text(), c.option_chosen == 1 ? "Nederland" : "B");
    } else {
      EXPECT_EQ(choices.option->Get(), c.option);  // no choice: the variable is kept
    }
  }
}

TEST(WindowTest, FindingControls) {
  Window window("Find");
  window.Add(ControlKind::kButton, 1, "&Sluiten").name = "Sluiten";
  window.Add(ControlKind::kMenu, 2, "&Bestand");
  window.Add(ControlKind::kItem, 3, "&Sluiten", 2);
  window.Add(ControlKind::kSheet, 4, "");
  window.Add(ControlKind::kTab, 5, "    Plaats", 4);
  EXPECT_EQ(window.FindByName("?sluiten")->number, 1);
  EXPECT_EQ(window.FindByName("Nope"), nullptr);
  EXPECT_EQ(window.FindByText("sluiten")->number, 1);
  EXPECT_EQ(window.FindByText("Sluiten", 2)->number, 3);
  EXPECT_EQ(window.FindByText("Plaats")->number, 5);
  EXPECT_EQ(window.FindByText("    Plaats  ")->number, 5);
  EXPECT_EQ(window.FindByText("Plaatsen"), nullptr);
}

TEST(WindowTest, TabOrderSkipsWhatCannotTakeTheFocus) {
  Window window("Tabs");
  window.Add(ControlKind::kEntry, 1, "");
  window.Add(ControlKind::kString, 2, "label");
  window.Add(ControlKind::kButton, 3, "off").enabled = false;
  window.Add(ControlKind::kGroup, 4, "group").hidden = true;
  window.Add(ControlKind::kButton, 5, "in hidden group", 4);
  window.Add(ControlKind::kButton, 6, "&OK");
  EXPECT_EQ(window.NextInTabOrder(0), 1);
  EXPECT_EQ(window.NextInTabOrder(1), 6);
  EXPECT_EQ(window.NextInTabOrder(6), 1);  // round again
  EXPECT_EQ(window.PreviousInTabOrder(6), 1);
  EXPECT_EQ(window.PreviousInTabOrder(1), 6);  // round back
  EXPECT_EQ(window.PreviousInTabOrder(0), 6);
  Window empty("Empty");
  empty.Add(ControlKind::kString, 1, "label");
  EXPECT_EQ(empty.NextInTabOrder(0), 0);
  // A toolbar's buttons leave the focus where it is.
  window.Add(ControlKind::kToolbar, 7, "");
  window.Add(ControlKind::kButton, 2011, "Ditto", 7);
  EXPECT_FALSE(window.TakesFocus(*window.Find(2011)));
  EXPECT_EQ(window.NextInTabOrder(6), 1);
}

TEST(WindowTest, SizesAreKeptWithinTheLimits) {
  Window window("Limits");
  EXPECT_EQ(window.LimitWidth(5), 5) << "no limits";
  EXPECT_EQ(window.LimitHeight(5000), 5000);
  window.min_width = 100;
  window.max_width = 300;
  window.min_height = 50;
  EXPECT_EQ(window.LimitWidth(80), 100);
  EXPECT_EQ(window.LimitWidth(320), 300);
  EXPECT_EQ(window.LimitWidth(200), 200);
  EXPECT_EQ(window.LimitHeight(5000), 5000) << "no greatest height";
  window.max_width = 90;
  EXPECT_EQ(window.LimitWidth(200), 100) << "a greatest size below the least counts as the least";
}

TEST(WindowTest, ParentCyclesDoNotHang) {
  Window window("Cycle");
  window.Add(ControlKind::kGroup, 1, "", 2);
  window.Add(ControlKind::kGroup, 2, "", 1);
  EXPECT_TRUE(window.IsShown(*window.Find(1)));
  EXPECT_TRUE(window.IsEnabled(*window.Find(2)));
  EXPECT_FALSE(window.Check().ok());
  Window self("Self");
  self.Add(ControlKind::kGroup, 1, "", 1);
  EXPECT_FALSE(self.Check().ok());
}

}  // namespace
}  // namespace tentaria::ui
