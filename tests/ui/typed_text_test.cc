// Text typed into an entry that its picture cannot read back is rejected:
// the program gets the rejected event, the entry keeps the text and the
// focus, and its variable keeps its value.  Shift+Tab walks the tab order
// backwards.
#include "ui/typed_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/event_codes.h"
#include "ui/headless_engine.h"
#include "ui/key_codes.h"

namespace tentaria::ui {
namespace {

using runtime::PictureValue;

TEST(TypedText, WhatReadsBackThroughItsPicture) {
  struct Case {
    const char* text;
    const char* picture;
    bool reads_back;
  };
  const std::vector<Case> cases = {
      {"          ", "@D6", true},  // nothing typed
      {"14/07/2000", "@D6", true},
      {"14072000", "@D6", true},
      {"31/02/2000", "@D6", false},  // no such day
      {"morgen", "@D6", false},      // letters naming no month
      {"09:30", "@T1", true},
      {"25:00", "@T1", false},
      {"123", "@N3", true},
      {"1234", "@N3", false},  // shows as ###
      {"12a", "@N3", false},
      {"-12,50", "@N-9.2", true},
      {"1.5e3", "@E12.2", true},
      {"12,50 EUR", "@N9.2~ EUR~", true},  // the picture's own text
      {"anything at all", "@S20", true},
      {"AB12", "@K##@@K", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TypedTextReadsBack(c.text, c.picture), c.reads_back)
        << '"' << c.text << "\" through " << c.picture;
  }
}

// A form with a date entry, an amount entry and an OK button; every event
// is kept.
class DateForm {
 public:
  explicit DateForm(HeadlessEngine& engine) : engine_(engine), window_("Datum") {
    Control& date = window_.Add(ControlKind::kEntry, 1, "");
    date.picture = "@D6";
    date.use = std::make_shared<VariableBinding>(PictureValue::Integer(72882));
    Control& amount = window_.Add(ControlKind::kEntry, 2, "");
    amount.picture = "@N3";
    amount.use = std::make_shared<VariableBinding>(PictureValue::Integer(7));
    window_.Add(ControlKind::kButton, 3, "&OK");
  }

  void Run(ActionInput& input) {
    engine_.set_input(&input);
    ASSERT_TRUE(engine_.Open(window_).ok());
    engine_.Accept(window_, [this](Engine& e) {
      events.push_back({e.EventCode(), e.EventControl()});
      if (e.AcceptedControl() == 3) e.SelectAll(window_);
      if (e.EventCode() == event::kCompleted) return LoopAction::kBreak;
      return LoopAction::kContinue;
    });
  }

  Window& window() { return window_; }
  std::string Value(int control) { return window_.Find(control)->use->Get().text(); }
  bool Saw(int code, int control) const {
    for (const auto& [c, n] : events) {
      if (c == code && n == control) return true;
    }
    return false;
  }
  std::vector<std::pair<int, int>> events;

 private:
  HeadlessEngine& engine_;
  Window window_;
};

TEST(TypedText, ARejectedEntryKeepsItsTextFocusAndValueUntilMended) {
  HeadlessEngine engine;
  DateForm form(engine);
  ActionInput input;
  Window& w = form.window();
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Type(w, 1, "31/02/2000").ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.TabOut(w).ok()); });
  input.Add([&](HeadlessEngine&) {
    EXPECT_TRUE(form.Saw(event::kRejected, 1));
    EXPECT_FALSE(form.Saw(event::kAccepted, 1));
    EXPECT_EQ(w.focus(), 1);
    EXPECT_EQ(w.Find(1)->contents, "31/02/2000");
    EXPECT_EQ(form.Value(1), "72882");
  });
  // A click elsewhere is lost while the text stays wrong.
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(w, 3).ok()); });
  input.Add([&](HeadlessEngine&) {
    EXPECT_FALSE(form.Saw(event::kAccepted, 3));
    EXPECT_EQ(w.focus(), 1);
    form.events.clear();
  });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Type(w, 1, "28/02/2000").ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.TabOut(w).ok()); });
  input.Add([&](HeadlessEngine&) {
    EXPECT_TRUE(form.Saw(event::kAccepted, 1));
    EXPECT_FALSE(form.Saw(event::kRejected, 1));
    EXPECT_EQ(w.focus(), 2);
    EXPECT_EQ(form.Value(1), "72745");
  });
  input.Add([&](HeadlessEngine& e) { e.Halt(0, "done"); });
  form.Run(input);
  EXPECT_EQ(input.failure(), "");
}

TEST(TypedText, TheAcceptAllPassStopsAtARejectedEntry) {
  HeadlessEngine engine;
  DateForm form(engine);
  ActionInput input;
  Window& w = form.window();
  // Text put into the control without leaving it, as a program's display of
  // a bad value could leave it.
  input.Add([&](HeadlessEngine& e) {
    w.Find(2)->contents = "9999";
    ASSERT_TRUE(e.Press(w, 3).ok());
  });
  input.Add([&](HeadlessEngine&) {
    EXPECT_TRUE(form.Saw(event::kRejected, 2));
    EXPECT_FALSE(form.Saw(event::kCompleted, 0));
    EXPECT_EQ(w.focus(), 2);
    EXPECT_EQ(form.Value(2), "7");
  });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Type(w, 2, "42").ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(w, 3).ok()); });
  input.Add([&](HeadlessEngine& e) { e.Halt(1, "the pass should have completed"); });
  form.Run(input);
  EXPECT_TRUE(form.Saw(event::kCompleted, 0));
  EXPECT_EQ(form.Value(2), "42");
  EXPECT_FALSE(engine.halted());
}

TEST(TypedText, ShiftTabWalksTheTabOrderBackwardsAndWraps) {
  HeadlessEngine engine;
  DateForm form(engine);
  ActionInput input;
  Window& w = form.window();
  std::vector<int> focus;
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Focus(w, 2).ok()); });
  input.Add([&](HeadlessEngine& e) {
    focus.push_back(w.focus());
    ASSERT_TRUE(e.PressKey(w, key::kTab | kShiftKey).ok());
  });
  input.Add([&](HeadlessEngine& e) {
    focus.push_back(w.focus());
    ASSERT_TRUE(e.TabOut(w, true).ok());
  });
  input.Add([&](HeadlessEngine& e) {
    focus.push_back(w.focus());
    // Typed text is accepted on the way back, and the key tells Shift+Tab.
    ASSERT_TRUE(e.Type(w, 3 - 1, "5").ok());
  });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.PressKey(w, key::kTab | kShiftKey).ok()); });
  input.Add([&](HeadlessEngine& e) {
    focus.push_back(w.focus());
    EXPECT_EQ(e.KeyCode(), key::kTab | kShiftKey);
    e.Halt(0, "done");
  });
  form.Run(input);
  EXPECT_EQ(focus, (std::vector<int>{2, 1, 3, 1}));
  EXPECT_EQ(form.Value(2), "5");
}

}  // namespace
}  // namespace tentaria::ui
