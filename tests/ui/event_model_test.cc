// The event loop contract on the headless engine: what a loop body sees,
// in which order events arrive, and what each loop instruction does.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/error_state.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_format.h"
#include "ui/event_codes.h"
#include "ui/headless_engine.h"
#include "ui/key_codes.h"

namespace tentaria::ui {
namespace {

using Seen = std::pair<int, int>;  // code, control

// A form: entry 2 (required), entry 4, OK button 5.
struct Form {
  Window window{"Form"};
  Form() {
    Control& name = window.Add(ControlKind::kEntry, 2, "");
    name.picture = "@s10";
    name.required = true;
    name.use = std::make_shared<VariableBinding>();
    Control& place = window.Add(ControlKind::kEntry, 4, "");
    place.picture = "@s10";
    place.use = std::make_shared<VariableBinding>();
    window.Add(ControlKind::kButton, 5, "&OK");
  }
};

TEST(EventCodesTest, TraceNamesAndKinds) {
  const std::vector<std::pair<int, std::string_view>> cases = {{1, "EVENT:Accepted"},
                                                               {15, "EVENT:AlertKey"},
                                                               {26, "EVENT:Rejected"},
                                                               {30, "EVENT:ColumnResize"},
                                                               {257, "EVENT:Selected"},
                                                               {513, "EVENT:CloseWindow"},
                                                               {523, "EVENT:Timer"},
                                                               {549, "EVENT:Completed"},
                                                               {561, "EVENT:Sized"},
                                                               {578, "EVENT:BuildDone"},
                                                               {0, ""},
                                                               {31, ""},
                                                               {519, ""},
                                                               {1 + kEngineEventOffset, ""}};
  for (const auto& [code, name] : cases) EXPECT_EQ(EventTraceName(code), name) << code;
  EXPECT_FALSE(IsWindowEvent(event::kSelected));
  EXPECT_TRUE(IsWindowEvent(event::kCloseWindow));
}

TEST(EventModelTest, CompletedPostedByOkArrivesAfterTheAcceptedEventFinished) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Form form;
  std::vector<Seen> seen;
  size_t seen_when_posted = 0;
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(form.window, 5).ok()); });
  ASSERT_TRUE(engine.Open(form.window).ok());
  LoopEnd end = engine.Accept(form.window, [&](Engine& e) {
    seen.emplace_back(e.EventCode(), e.EventControl());
    if (e.EventCode() == event::kAccepted && e.AcceptedControl() == 5) {
      // Posted with a control: a window event carries none all the same.
      EXPECT_TRUE(e.Post(event::kCompleted, 5));
      seen_when_posted = seen.size();
    }
    return e.EventCode() == event::kCompleted ? LoopAction::kBreak : LoopAction::kContinue;
  });
  EXPECT_EQ(end, LoopEnd::kBroken);
  EXPECT_FALSE(engine.IsOpen(form.window));
  const std::vector<Seen> expected = {{event::kOpenWindow, 0},
                                      {event::kSelected, 5},
                                      {event::kAccepted, 5},
                                      {event::kCompleted, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(seen_when_posted, 3u);
}

TEST(EventModelTest, PostedEventsFollowTheCurrentOneInOrder) {
  HeadlessEngine engine;
  Form form;
  std::vector<Seen> seen;
  ASSERT_TRUE(engine.Open(form.window).ok());
  engine.Accept(form.window, [&](Engine& e) {
    seen.emplace_back(e.EventCode(), e.EventControl());
    if (e.EventCode() == event::kOpenWindow) {
      e.Post(event::kNotify);
      e.Post(event::kAccepted, 4, e.CurrentEvent().thread);
      EXPECT_EQ(seen.size(), 1u);  // nothing delivered inside the handler
    }
    return seen.size() == 3 ? LoopAction::kBreak : LoopAction::kContinue;
  });
  const std::vector<Seen> expected = {
      {event::kOpenWindow, 0}, {event::kNotify, 0}, {event::kAccepted, 4}};
  EXPECT_EQ(seen, expected);
}

TEST(EventModelTest, CycledCloseKeepsTheWindowOpenAndContinuedCloseEndsTheLoop) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Form form;
  int closes = 0;
  bool open_after_cycle = false;
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.RequestClose(form.window).ok()); });
  input.Add([&](HeadlessEngine& e) {
    open_after_cycle = e.IsOpen(form.window);
    ASSERT_TRUE(e.RequestClose(form.window).ok());
  });
  ASSERT_TRUE(engine.Open(form.window).ok());
  LoopEnd end = engine.Accept(form.window, [&](Engine& e) {
    if (e.EventCode() != event::kCloseWindow) return LoopAction::kContinue;
    return ++closes == 1 ? LoopAction::kCycle : LoopAction::kContinue;
  });
  EXPECT_TRUE(open_after_cycle);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(end, LoopEnd::kClosed);
  EXPECT_FALSE(engine.halted());
}

// The accept-all pass under three outcomes.
TEST(EventModelTest, AcceptAllPass) {
  struct Case {
    const char* name;
    const char* first;        // typed into control 2 before OK
    int select_on_accepted;   // the body selects this control when 4 is accepted
    std::vector<Seen> after;  // what follows OK's accepted event
    int focus;
  };
  const std::vector<Case> cases = {
      {"all pass", "Jan", 0, {{1, 2}, {1, 4}, {549, 0}}, 5},
      {"required control empty", "", 0, {{257, 2}}, 2},
      {"validation selects a control", "Jan", 4, {{1, 2}, {1, 4}, {257, 4}}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessEngine engine;
    ActionInput input;
    engine.set_input(&input);
    Form form;
    form.window.Find(2)->use->Set(runtime::PictureValue::Text(c.first));
    std::vector<Seen> seen;
    input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(form.window, 5).ok()); });
    ASSERT_TRUE(engine.Open(form.window).ok());
    engine.Accept(form.window, [&](Engine& e) {
      seen.emplace_back(e.EventCode(), e.EventControl());
      if (e.AcceptedControl() == 5) e.SelectAll(form.window);
      if (e.AcceptedControl() == 4 && c.select_on_accepted != 0) {
        e.Select(form.window, c.select_on_accepted);
      }
      return LoopAction::kContinue;
    });
    auto ok = std::find(seen.begin(), seen.end(), Seen{event::kAccepted, 5});
    ASSERT_NE(ok, seen.end());
    EXPECT_EQ(std::vector<Seen>(ok + 1, seen.end()), c.after);
    EXPECT_EQ(form.window.focus(), c.focus);
  }
}

TEST(EventModelTest, AcceptWithoutAnOpenWindowIsARuntimeError) {
  HeadlessEngine engine;
  Form form;
  std::vector<std::pair<int, std::string>> raised;
  auto previous = runtime::SetRuntimeErrorHandler(
      [&](int number, std::string_view text) { raised.emplace_back(number, text); });
  bool called = false;
  LoopEnd end = engine.Accept(form.window, [&](Engine&) {
    called = true;
    return LoopAction::kContinue;
  });
  runtime::SetRuntimeErrorHandler(previous);
  EXPECT_EQ(end, LoopEnd::kNoWindow);
  EXPECT_FALSE(called);
  ASSERT_EQ(raised.size(), 1u);
  EXPECT_EQ(raised[0].first, kAcceptWithoutWindowError);
  EXPECT_EQ(raised[0].second, "ACCEPT loop requires a window");
}

TEST(EventModelTest, KeyCodesOfAlertKeysAndTheirClearing) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Form form;
  form.window.alert_keys().insert(key::kF1);
  form.window.alert_keys().insert(kShiftKey | 'A');
  std::vector<std::pair<int, char>> keys;
  int after_clear = -1;
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.PressKey(form.window, key::kF1).ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.PressKey(form.window, kShiftKey | 'A').ok()); });
  input.Add([&](HeadlessEngine& e) { after_clear = e.KeyCode(); });
  ASSERT_TRUE(engine.Open(form.window).ok());
  engine.Accept(form.window, [&](Engine& e) {
    if (e.EventCode() == event::kAlertKey) {
      EXPECT_EQ(e.EventControl(), 2);  // the control that has the focus
      EXPECT_EQ(e.FocusControl(), 2);
      keys.emplace_back(e.KeyCode(), e.KeyChar());
      e.SetKeyCode(0);
    }
    return LoopAction::kContinue;
  });
  const std::vector<std::pair<int, char>> expected = {{112, 0}, {0x141, 'A'}};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(after_clear, 0);
}

TEST(EventModelTest, TypedTextReachesTheVariableThroughThePictureWhenTheControlIsLeft) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window window("Amount");
  auto amount = std::make_shared<VariableBinding>(runtime::PictureValue::Decimal("7.5"));
  Control& entry = window.Add(ControlKind::kEntry, 1, "");
  entry.picture = "@n9.2";
  entry.use = amount;
  auto name = std::make_shared<VariableBinding>();
  Control& text = window.Add(ControlKind::kEntry, 2, "");
  text.picture = "@s5";
  text.use = name;
  std::string shown_at_open;
  std::vector<Seen> seen;
  input.Add([&](HeadlessEngine& e) {
    ASSERT_TRUE(e.Type(window, 1, "12.50").ok());
    EXPECT_EQ(amount->Get().text(), "7.5");  // not yet: the entry is still being typed in
    ASSERT_TRUE(e.TabOut(window).ok());
  });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Type(window, 2, "Jansen").ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(window, 1).ok()); });
  ASSERT_TRUE(engine.Open(window).ok());
  shown_at_open = window.Find(1)->contents;
  engine.Accept(window, [&](Engine& e) {
    seen.emplace_back(e.EventCode(), e.EventControl());
    return LoopAction::kContinue;
  });
  runtime::CompiledPicture picture = runtime::CompilePicture("@n9.2");
  EXPECT_EQ(shown_at_open, runtime::FormatPicture(runtime::PictureValue::Decimal("7.5"), picture));
  EXPECT_EQ(runtime::FormatPicture(amount->Get(), picture),
            runtime::FormatPicture(runtime::PictureValue::Decimal("12.5"), picture));
  // Five places: the rest was never typed.  Leaving by a click accepts it.
  EXPECT_EQ(name->Get(), runtime::PictureValue::Text("Janse"));
  const std::vector<Seen> expected = {{515, 0}, {1, 1}, {257, 2}, {1, 2}, {257, 1}, {1, 1}};
  EXPECT_EQ(seen, expected);
}

TEST(EventModelTest, ClickingTheControlTypedIntoAcceptsItOnce) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Form form;
  std::vector<Seen> seen;
  input.Add([&](HeadlessEngine& e) {
    ASSERT_TRUE(e.Type(form.window, 4, "Ede").ok());
    ASSERT_TRUE(e.Press(form.window, 4).ok());
  });
  ASSERT_TRUE(engine.Open(form.window).ok());
  engine.Accept(form.window, [&](Engine& e) {
    seen.emplace_back(e.EventCode(), e.EventControl());
    return LoopAction::kContinue;
  });
  const std::vector<Seen> expected = {{515, 0}, {257, 4}, {1, 4}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(form.window.Find(4)->use->Get(), runtime::PictureValue::Text("Ede"));
}

}  // namespace
}  // namespace tentaria::ui
