#include "framework/toolbar.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ui/event_codes.h"
#include "ui/headless_engine.h"
#include "ui/key_codes.h"

namespace tentaria::framework {
namespace {

using ui::ControlKind;

constexpr int kList = 10, kInsert = 11, kChange = 12, kDelete = 13, kSelect = 14, kHelp = 15;
constexpr int kOtherList = 20;

class CountingBrowse : public ToolbarBrowse {
 public:
  void SelectHighlighted() override { ++selections; }
  int selections = 0;
};

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Control& bar = window_.Add(ControlKind::kToolbar, 1, "");
    for (int button = toolbar::kInsert; button <= toolbar::kHelp; ++button) {
      window_.Add(ControlKind::kButton, button, "", bar.number);
    }
    window_.Add(ControlKind::kList, kList, "");
    window_.Add(ControlKind::kButton, kInsert, "&Insert");
    window_.Add(ControlKind::kButton, kChange, "&Change");
    window_.Add(ControlKind::kButton, kDelete, "&Delete");
    window_.Add(ControlKind::kButton, kSelect, "&Select");
    window_.Add(ControlKind::kButton, kHelp, "&Help");
    window_.Add(ControlKind::kList, kOtherList, "");
    toolbar_.Init(engine_, window_, window_);
    toolbar_.AddTarget({kList, kHelp, kInsert, kChange, kDelete, kSelect, &browse_});
    toolbar_.AddTarget({kOtherList, 0, kInsert, 0, 0, 0, nullptr});
  }

  std::vector<int> EnabledButtons() {
    std::vector<int> enabled;
    for (int button = toolbar::kInsert; button <= toolbar::kHelp; ++button) {
      if (window_.Find(button)->enabled) enabled.push_back(button);
    }
    return enabled;
  }

  ui::HeadlessEngine engine_;
  ui::Window window_{"Campings"};
  CountingBrowse browse_;
  Toolbar toolbar_;
};

TEST_F(ToolbarTest, ButtonsFollowTheTarget) {
  ASSERT_TRUE(toolbar_.SetTarget(kList));
  EXPECT_EQ(EnabledButtons(), (std::vector<int>{2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007,
                                                2008, 2009, 2010, 2012}));
  // A disabled button of the window disables its toolbar button.
  window_.Find(kDelete)->enabled = false;
  toolbar_.UpdateButtons();
  EXPECT_FALSE(window_.Find(toolbar::kDelete)->enabled);

  // No change button on the focused list.
  ASSERT_TRUE(toolbar_.SetTarget(kOtherList));
  EXPECT_EQ(EnabledButtons(), (std::vector<int>{2000, 2004, 2005, 2006, 2007, 2008, 2009, 2010}));
  EXPECT_EQ(toolbar_.CurrentTarget()->CONTROL, kOtherList);
  EXPECT_FALSE(toolbar_.SetTarget(kInsert));
  EXPECT_EQ(toolbar_.CurrentTarget()->CONTROL, kOtherList);
}

TEST_F(ToolbarTest, TipsOnTheButtonsThatExist) {
  EXPECT_EQ(window_.Find(toolbar::kInsert)->tip, "Insert a new Record");
  EXPECT_EQ(window_.Find(toolbar::kBottom)->tip, "Go to the Last Page");
  EXPECT_EQ(window_.Find(toolbar::kUp)->tip, "Go to the Prior Record");
  EXPECT_EQ(window_.Find(toolbar::kChange)->tip, "");

  std::vector<std::pair<int, std::string>> tips;
  ASSERT_TRUE(UnpackToolTips(StandardToolTips(), &tips).ok());
  EXPECT_EQ(tips.size(), 7u);
  EXPECT_EQ(tips[3], (std::pair<int, std::string>{2006, "Go to the Next Page"}));
  const std::string block = StandardToolTips();
  for (size_t cut : {size_t{0}, size_t{1}, size_t{3}, block.size() - 1}) {
    EXPECT_FALSE(UnpackToolTips(block.substr(0, cut), &tips).ok()) << cut;
  }
  EXPECT_FALSE(UnpackToolTips(block + "x", &tips).ok());
}

TEST_F(ToolbarTest, ButtonsAreRoutedToTheTarget) {
  const std::pair<int, std::pair<int, int>> cases[] = {
      {toolbar::kInsert, {ui::event::kAccepted, kInsert}},
      {toolbar::kChange, {ui::event::kAccepted, kChange}},
      {toolbar::kDelete, {ui::event::kAccepted, kDelete}},
      {toolbar::kBottom, {ui::event::kScrollBottom, kList}},
      {toolbar::kTop, {ui::event::kScrollTop, kList}},
      {toolbar::kPageDown, {ui::event::kPageDown, kList}},
      {toolbar::kPageUp, {ui::event::kPageUp, kList}},
      {toolbar::kDown, {ui::event::kScrollDown, kList}},
      {toolbar::kUp, {ui::event::kScrollUp, kList}},
      {toolbar::kLocate, {ui::event::kLocate, kList}},
      {toolbar::kHelp, {ui::event::kAccepted, kHelp}},
  };
  ASSERT_TRUE(engine_.Open(window_).ok());
  ASSERT_TRUE(toolbar_.SetTarget(kList));
  ui::ActionInput input;
  engine_.set_input(&input);
  for (const auto& [button, routed] : cases) {
    input.Add([this, button = button](ui::HeadlessEngine& e) {
      ASSERT_TRUE(e.Press(window_, button).ok()) << button;
    });
  }
  input.Add(
      [this](ui::HeadlessEngine& e) { ASSERT_TRUE(e.Press(window_, toolbar::kSelect).ok()); });
  input.Add([this](ui::HeadlessEngine& e) { (void)e.RequestClose(window_); });
  std::vector<std::pair<int, int>> routed_events;
  int help_key = 0;
  engine_.Accept(window_, [&](ui::Engine& e) {
    if (e.EventControl() == kHelp) help_key = e.KeyCode();
    if (toolbar_.HandleEvent()) return ui::LoopAction::kCycle;
    // Pressing a button first selects it; only what the toolbar sent counts.
    if (!ui::IsWindowEvent(e.EventCode()) && e.EventCode() != ui::event::kSelected) {
      routed_events.emplace_back(e.EventCode(), e.EventControl());
    }
    return ui::LoopAction::kCycle;
  });
  ASSERT_EQ(routed_events.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(routed_events[i], cases[i].second) << cases[i].first;
  }
  EXPECT_EQ(browse_.selections, 1);
  EXPECT_EQ(help_key, ui::key::kF1);
}

TEST_F(ToolbarTest, MissingButtonsAndNoTargetDoNothing) {
  ASSERT_TRUE(engine_.Open(window_).ok());
  ui::ActionInput input;
  engine_.set_input(&input);
  // Before any target is set the toolbar lets its events pass.
  input.Add(
      [this](ui::HeadlessEngine& e) { ASSERT_TRUE(e.Press(window_, toolbar::kChange).ok()); });
  input.Add([this](ui::HeadlessEngine&) { ASSERT_TRUE(toolbar_.SetTarget(kOtherList)); });
  // The target has no change button; the event comes even so.
  input.Add([](ui::HeadlessEngine& e) { e.Post(ui::event::kAccepted, toolbar::kChange); });
  input.Add([](ui::HeadlessEngine& e) { e.Post(ui::event::kAccepted, toolbar::kSelect); });
  input.Add([this](ui::HeadlessEngine& e) { (void)e.RequestClose(window_); });
  std::vector<std::pair<int, bool>> seen;
  engine_.Accept(window_, [&](ui::Engine& e) {
    if (e.EventCode() == ui::event::kAccepted)
      seen.emplace_back(e.EventControl(), toolbar_.HandleEvent());
    return ui::LoopAction::kCycle;
  });
  EXPECT_EQ(seen,
            (std::vector<std::pair<int, bool>>{
                {toolbar::kChange, false}, {toolbar::kChange, true}, {toolbar::kSelect, true}}));
  EXPECT_EQ(browse_.selections, 0);
}

}  // namespace
}  // namespace tentaria::framework
