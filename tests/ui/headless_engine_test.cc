// Modal and modeless windows with their threads, timers, dialogs and the
// bound on a program whose events never settle.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/event_codes.h"
#include "ui/headless_engine.h"

namespace tentaria::ui {
namespace {

std::unique_ptr<Window> PictureWindow(const std::string& title) {
  auto window = std::make_unique<Window>(title);
  window->Add(ControlKind::kImage, 1, "");
  window->Add(ControlKind::kButton, 2, "&Sluiten");
  return window;
}

// A frame whose button 1 runs a modal window and whose button 2 starts a
// window on a new thread; every window closes on its "&Sluiten".
class Frame {
 public:
  explicit Frame(HeadlessEngine& engine) : engine_(engine), frame_("Frame") {
    frame_.Add(ControlKind::kButton, 1, "&Modal");
    frame_.Add(ControlKind::kButton, 2, "&Thread");
    frame_.Add(ControlKind::kButton, 3, "&Sluiten");
  }

  void Run() {
    ASSERT_TRUE(engine_.Open(frame_).ok());
    frame_thread = engine_.ThreadOf(frame_);
    engine_.Accept(frame_, [this](Engine& e) { return FrameEvent(e); });
  }

  Window& frame() { return frame_; }
  Window* modal = nullptr;
  int frame_thread = 0;
  int modal_thread = 0;
  std::vector<int> started_threads;
  int releases = 0;
  int modal_runs = 0;

 private:
  LoopAction FrameEvent(Engine& e) {
    switch (e.AcceptedControl()) {
      case 1: {
        std::unique_ptr<Window> window = PictureWindow("Modal");
        modal = window.get();
        ++modal_runs;
        EXPECT_TRUE(e.Open(*window).ok());
        modal_thread = e.ThreadOf(*window);
        e.Accept(*window, CloseOnSluiten);
        modal = nullptr;
        break;
      }
      case 2:
        started_threads.push_back(
            e.Start(PictureWindow("Thread"), CloseOnSluiten, [this] { ++releases; }));
        break;
      case 3:
        return LoopAction::kBreak;
    }
    return LoopAction::kContinue;
  }

  static LoopAction CloseOnSluiten(Engine& e) {
    if (e.AcceptedControl() == 2) e.Post(event::kCloseWindow);
    return LoopAction::kContinue;
  }

  HeadlessEngine& engine_;
  Window frame_;
};

Window* Titled(HeadlessEngine& engine, const std::string& title) {
  for (Window* window : engine.OpenWindows()) {
    if (window->title() == title) return window;
  }
  return nullptr;
}

TEST(HeadlessEngineTest, ModalWindowsBlockTheirThreadAndStartedOnesDoNot) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Frame program(engine);
  Window& frame = program.frame();
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(frame, 2).ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(frame, 2).ok()); });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(frame, 1).ok()); });
  input.Add([&](HeadlessEngine& e) {
    // The frame waits for its modal window; the started windows do not.
    EXPECT_EQ(e.OpenWindows().size(), 4u);
    EXPECT_FALSE(e.TakesInput(frame));
    Status refused = e.Press(frame, 1);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.message().find("waits"), std::string::npos);
    Window* thread_window = Titled(e, "Thread");
    ASSERT_NE(thread_window, nullptr);
    EXPECT_TRUE(e.TakesInput(*thread_window));
    ASSERT_TRUE(e.Press(*thread_window, 2).ok());
  });
  input.Add([&](HeadlessEngine& e) {
    EXPECT_EQ(program.releases, 1);
    ASSERT_NE(program.modal, nullptr);  // the modal loop still runs
    ASSERT_TRUE(e.Press(*program.modal, 2).ok());
  });
  input.Add([&](HeadlessEngine& e) {
    EXPECT_EQ(program.modal, nullptr);
    EXPECT_TRUE(e.TakesInput(frame));
    ASSERT_TRUE(e.Press(frame, 3).ok());
  });
  program.Run();
  EXPECT_EQ(program.frame_thread, 1);
  EXPECT_EQ(program.modal_thread, 1);
  EXPECT_EQ(program.started_threads, (std::vector<int>{2, 3}));
  EXPECT_EQ(program.modal_runs, 1);
  EXPECT_FALSE(engine.IsOpen(frame));
  // The frame's loop ended with one started window still open; the program
  // ends and closes it.
  EXPECT_EQ(engine.OpenWindows().size(), 1u);
  engine.Halt(0, "end");
  EXPECT_TRUE(engine.OpenWindows().empty());
  EXPECT_EQ(program.releases, 2);
}

TEST(HeadlessEngineTest, PostGoesToTheLastWindowOfTheThread) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window frame("Frame");
  std::vector<std::pair<std::string, int>> notified;
  int thread = 0;
  LoopBody record = [&](Engine& e) {
    if (e.EventCode() == event::kNotify) {
      notified.emplace_back(e.CurrentWindow()->title(), e.CurrentEvent().thread);
    }
    return LoopAction::kContinue;
  };
  input.Add([&](HeadlessEngine& e) {
    thread = e.Start(std::make_unique<Window>("Other"), record);
    EXPECT_TRUE(e.Post(event::kNotify, 0, thread));
    EXPECT_TRUE(e.Post(event::kNotify, 0, 1));
    EXPECT_FALSE(e.Post(event::kNotify, 0, 99));
  });
  ASSERT_TRUE(engine.Open(frame).ok());
  engine.Accept(frame, record);
  EXPECT_EQ(thread, 2);
  const std::vector<std::pair<std::string, int>> expected = {{"Other", 2}, {"Frame", 1}};
  EXPECT_EQ(notified, expected);
}

TEST(HeadlessEngineTest, AModalWindowOfAStartedThreadBlocksOnlyThatThread) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window frame("Frame");
  frame.Add(ControlKind::kButton, 1, "&Start");
  Window* started = nullptr;
  int child_thread = 0;
  LoopBody started_body = [&](Engine& e) {
    if (e.AcceptedControl() == 1) {
      Window child("Child");
      child.Add(ControlKind::kButton, 1, "&Sluiten");
      EXPECT_TRUE(e.Open(child).ok());
      child_thread = e.ThreadOf(child);
      e.Accept(child, [](Engine& inner) {
        return inner.AcceptedControl() == 1 ? LoopAction::kBreak : LoopAction::kContinue;
      });
    }
    return LoopAction::kContinue;
  };
  input.Add([&](HeadlessEngine& e) {
    auto window = std::make_unique<Window>("Started");
    window->Add(ControlKind::kButton, 1, "&Child");
    started = window.get();
    EXPECT_EQ(e.Start(std::move(window), started_body), 2);
  });
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(*started, 1).ok()); });
  input.Add([&](HeadlessEngine& e) {
    EXPECT_EQ(child_thread, 2);
    EXPECT_FALSE(e.TakesInput(*started));
    EXPECT_TRUE(e.TakesInput(frame));
    EXPECT_EQ(e.ActiveWindow()->title(), "Child");
    ASSERT_TRUE(e.Press(frame, 1).ok());
  });
  int frame_presses = 0;
  ASSERT_TRUE(engine.Open(frame).ok());
  engine.Accept(frame, [&](Engine& e) {
    if (e.AcceptedControl() == 1) ++frame_presses;
    return LoopAction::kContinue;
  });
  EXPECT_EQ(frame_presses, 1);
}

TEST(HeadlessEngineTest, TimersFollowTheVirtualClockAndDoNotPileUpWhileBlocked) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window frame("Frame");
  frame.set_timer(50);  // half a second
  frame.Add(ControlKind::kButton, 1, "&Modal");
  Window child("Child");
  child.Add(ControlKind::kButton, 1, "&Sluiten");
  std::vector<int64_t> ticks;
  auto wait = [](int64_t ms) {
    return [ms](HeadlessEngine& e) {
      int64_t until = e.clock_ms() + ms;
      while (e.AdvanceClock(until)) {
      }
    };
  };
  input.Add([&](HeadlessEngine& e) {
    // Two intervals; the events are delivered after this action.
    int64_t until = e.clock_ms() + 1200;
    EXPECT_TRUE(e.AdvanceClock(until));
    EXPECT_EQ(e.clock_ms(), 500);
  });
  input.Add([&](HeadlessEngine& e) {
    EXPECT_TRUE(e.AdvanceClock(1200));
    EXPECT_EQ(e.clock_ms(), 1000);
  });
  input.Add([&](HeadlessEngine& e) {
    EXPECT_FALSE(e.AdvanceClock(1200));
    EXPECT_EQ(e.clock_ms(), 1200);
    ASSERT_TRUE(e.Press(frame, 1).ok());
  });
  input.Add(wait(3000));  // the frame waits for its child: one timer event waits for it
  input.Add([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(child, 1).ok()); });
  ASSERT_TRUE(engine.Open(frame).ok());
  engine.Accept(frame, [&](Engine& e) {
    if (e.EventCode() == event::kTimer) ticks.push_back(engine.clock_ms());
    if (e.AcceptedControl() == 1) {
      EXPECT_TRUE(e.Open(child).ok());
      e.Accept(child, [](Engine& inner) {
        return inner.AcceptedControl() == 1 ? LoopAction::kBreak : LoopAction::kContinue;
      });
    }
    return LoopAction::kContinue;
  });
  EXPECT_EQ(ticks, (std::vector<int64_t>{500, 1000, 4200}));
}

TEST(HeadlessEngineTest, MessageBoxesWaitForAValidAnswerAndAreRecorded) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window frame("Frame");
  std::vector<int> answers;
  input.Add([&](HeadlessEngine& e) {
    ASSERT_NE(e.pending_dialog(), nullptr);
    EXPECT_FALSE(e.AnswerMessage(button::kCancel).ok());  // not a button of the box
    EXPECT_FALSE(e.AnswerMessage(button::kYes | button::kNo).ok());
    EXPECT_FALSE(e.Press(frame, 1).ok());  // the box is modal
    ASSERT_TRUE(e.AnswerMessage(button::kNo).ok());
  });
  input.Add([&](HeadlessEngine& e) {
    EXPECT_EQ(e.pending_dialog()->items.size(), 4u);
    EXPECT_FALSE(e.ChoosePopupItem(3).ok());  // disabled
    ASSERT_TRUE(e.ChoosePopupItem(4).ok());
  });
  ASSERT_TRUE(engine.Open(frame).ok());
  engine.Accept(frame, [&](Engine& e) {
    if (e.EventCode() != event::kOpenWindow) return LoopAction::kContinue;
    MessageBox box{"Are you sure?", "Confirm Delete", SystemIconReference(32515),
                   button::kYes | button::kNo, button::kYes};
    answers.push_back(e.Message(box));
    answers.push_back(e.Popup("&Insert|-|{Sub|A|~B}|+C"));
    e.Beep(beep::kExclamation);
    // The input has ended: a box now gets its default answer.
    return LoopAction::kContinue;
  });
  EXPECT_EQ(answers, (std::vector<int>{button::kNo, 4}));
  ASSERT_EQ(engine.messages().size(), 1u);
  EXPECT_EQ(engine.messages()[0].answer, button::kNo);
  EXPECT_EQ(SystemIconNumber(engine.messages()[0].box.icon), 32515);
  EXPECT_EQ(engine.beeps(), (std::vector<int>{48}));
  EXPECT_EQ(engine.Message(MessageBox{"x", "y", "", button::kOk | button::kCancel, 0}),
            button::kOk);
}

TEST(HeadlessEngineTest, EventsThatNeverSettleHaltTheProgram) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window frame("Frame");
  ASSERT_TRUE(engine.Open(frame).ok());
  LoopEnd end = engine.Accept(frame, [](Engine& e) {
    e.Post(event::kNotify);
    return LoopAction::kContinue;
  });
  EXPECT_EQ(end, LoopEnd::kHalted);
  EXPECT_TRUE(engine.halted());
  EXPECT_NE(input.failure().find("did not settle"), std::string::npos);
  EXPECT_EQ(engine.events_delivered(), HeadlessEngine::kMaxEventsPerAction);
}

TEST(HeadlessEngineTest, TheUserResizesWithinTheWindowsLimitsOnly) {
  HeadlessEngine engine;
  ActionInput input;
  engine.set_input(&input);
  Window window("Venster");
  window.Add(ControlKind::kButton, 1, "&Sluiten");
  window.width = 200;
  window.height = 100;
  window.min_width = 150;
  window.max_height = 120;
  std::vector<std::string> results;
  input.Add([&](HeadlessEngine& e) {
    EXPECT_TRUE(e.Resize(window, 100, 300).ok());
    results.push_back(std::to_string(window.width) + "x" + std::to_string(window.height));
  });
  input.Add([&](HeadlessEngine& e) {
    window.resizable = false;
    Status refused = e.Resize(window, 250, 110);
    results.push_back(refused.ok() ? "resized" : "refused");
    EXPECT_TRUE(e.Press(window, 1).ok());
  });
  ASSERT_TRUE(engine.Open(window).ok());
  int sized = 0;
  engine.Accept(window, [&sized](Engine& e) {
    if (e.EventCode() == event::kSized) ++sized;
    return e.AcceptedControl() == 1 ? LoopAction::kBreak : LoopAction::kContinue;
  });
  EXPECT_EQ(results, (std::vector<std::string>{"150x120", "refused"}));
  EXPECT_EQ(window.width, 150);
  EXPECT_EQ(sized, 1);
}

TEST(HeadlessEngineTest, BrokenWindowsAndWindowsThatDoNotCheckAreRefused) {
  HeadlessEngine engine;
  Window twice("Twice");
  twice.Add(ControlKind::kButton, 1, "A");
  twice.Add(ControlKind::kButton, 1, "B");
  EXPECT_FALSE(engine.Open(twice).ok());
  Window orphan("Orphan");
  orphan.Add(ControlKind::kTab, 2, "Tab", 7);
  EXPECT_FALSE(engine.Open(orphan).ok());
  Window list("List");
  list.Add(ControlKind::kList, 1, "").format_text = "12L~unclosed";
  EXPECT_FALSE(engine.Open(list).ok());
  Window fine("Fine");
  ASSERT_TRUE(engine.Open(fine).ok());
  EXPECT_FALSE(engine.Open(fine).ok());
}

}  // namespace
}  // namespace tentaria::ui
