#include "framework/resizer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "ui/event_codes.h"
#include "ui/headless_engine.h"

namespace tentaria::framework {

void PrintTo(const ResizeRect& rect, std::ostream* out) {
  *out << "(" << rect.XPOS << ", " << rect.YPOS << ", " << rect.WIDTH << " x " << rect.HEIGHT
       << ")";
}

namespace {

using ui::ControlKind;

ui::Control& AddAt(ui::Window& window, ControlKind kind, int number, ResizeRect rect,
                   int parent = 0) {
  ui::Control& control = window.Add(kind, number, "", parent);
  control.x = rect.XPOS;
  control.y = rect.YPOS;
  control.width = rect.WIDTH;
  control.height = rect.HEIGHT;
  return control;
}

ResizeRect RectOf(const ui::Window& window, int number) {
  const ui::Control* control = window.Find(number);
  return ResizeRect{control->x, control->y, control->width, control->height};
}

constexpr int H(int strategy) { return strategy; }
constexpr int V(int strategy) { return strategy << 8; }

struct StrategyCase {
  const char* what;
  ResizeRect initial;
  int positional;
  int resize;
  ResizeRect expected;
};

// A 200 x 100 window grown to 300 x 150: every ratio is 1.5.
TEST(ResizerTest, StrategiesPlaceAControlInTheWindow) {
  const int lock = resize::kLockWidth | resize::kLockHeight;
  const StrategyCase cases[] = {
      {"keep", {20, 10, 40, 20}, H(1) | V(1), lock, {20, 10, 40, 20}},
      {"far edge, scaled", {20, 10, 40, 20}, H(2) | V(2), 0, {30, 15, 60, 30}},
      {"far edge, locked", {150, 70, 40, 20}, H(2) | V(2), lock, {250, 120, 40, 20}},
      {"near edge", {20, 10, 40, 20}, H(3) | V(3), lock, {20, 10, 40, 20}},
      {"centred, locked", {20, 10, 40, 20}, H(4) | V(4), lock, {70, 35, 40, 20}},
      {"centred, scaled", {20, 10, 40, 20}, H(4) | V(4), 0, {30, 15, 60, 30}},
      {"nearest edge, near the left", {20, 10, 40, 20}, H(5) | V(5), lock, {20, 10, 40, 20}},
      {"nearest edge, near the right", {150, 70, 40, 20}, H(5) | V(5), lock, {250, 120, 40, 20}},
      {"scaled", {20, 10, 40, 20}, 0, 0, {30, 15, 60, 30}},
      {"rounded halves", {1, 1, 3, 3}, 0, 0, {2, 2, 5, 5}},
      {"mixed axes", {20, 10, 40, 20}, H(3) | V(2), resize::kLockHeight, {20, 60, 60, 20}},
  };
  for (const StrategyCase& c : cases) {
    ui::Window window("W");
    window.width = 200;
    window.height = 100;
    AddAt(window, ControlKind::kButton, 1, c.initial);
    Resizer resizer;
    resizer.Init(window, resize::kFixed);
    ASSERT_TRUE(resizer.SetStrategy(1, c.positional, c.resize));
    window.width = 300;
    window.height = 150;
    resizer.TakeEvent(ui::event::kSized);
    EXPECT_EQ(RectOf(window, 1), c.expected) << c.what;
  }
}

TEST(ResizerTest, FarEdgeWithLockedWidthFollowsTheEdge) {
  ui::Window window("W");
  window.width = 200;
  window.height = 100;
  AddAt(window, ControlKind::kButton, 1, {150, 10, 40, 12});  // 10 from the right edge
  Resizer resizer;
  resizer.Init(window, resize::kFixed);
  resizer.SetStrategy(1, H(resize::kFarEdge) | V(resize::kKeep), resize::kLockWidth);
  window.width = 300;
  resizer.Resize();
  EXPECT_EQ(RectOf(window, 1), (ResizeRect{250, 10, 40, 12}));
}

TEST(ResizerTest, UntouchedSizeAndReturnToTheInitialSize) {
  ui::Window window("W");
  window.width = 200;
  window.height = 100;
  AddAt(window, ControlKind::kList, 1, {10, 10, 33, 33});
  AddAt(window, ControlKind::kButton, 2, {50, 50, 20, 20});
  Resizer resizer;
  resizer.Init(window, resize::kScale);
  resizer.SetStrategy(2, 0, resize::kWidthUntouched | resize::kHeightUntouched);
  window.Find(2)->width = 25;  // the program changed it
  window.width = 333;
  window.height = 77;
  resizer.Resize();
  EXPECT_EQ(RectOf(window, 1), (ResizeRect{17, 8, 55, 25}));
  EXPECT_EQ(window.Find(2)->width, 25);
  // Back at the designed size, every control is exactly where it started,
  // whatever rounding happened on the way.
  window.width = 200;
  window.height = 100;
  resizer.Resize();
  EXPECT_EQ(RectOf(window, 1), (ResizeRect{10, 10, 33, 33}));
  EXPECT_EQ(RectOf(window, 2), (ResizeRect{50, 50, 20, 20}));
}

TEST(ResizerTest, ControlsArePlacedWithinTheirGroupOrSheet) {
  ui::Window window("W");
  window.width = 200;
  window.height = 100;
  AddAt(window, ControlKind::kGroup, 1, {100, 0, 100, 100});
  AddAt(window, ControlKind::kButton, 2, {110, 10, 20, 20}, 1);
  AddAt(window, ControlKind::kSheet, 3, {0, 0, 100, 100});
  window.Add(ControlKind::kTab, 4, "Tab", 3);
  AddAt(window, ControlKind::kEntry, 5, {90, 10, 10, 10}, 4);
  ui::Control& menu = window.Add(ControlKind::kMenu, 6, "&Bestand");
  AddAt(window, ControlKind::kItem, 7, {1, 1, 1, 1}, menu.number);
  Resizer resizer;
  resizer.Init(window, resize::kScale);
  ASSERT_EQ(resizer.CONTROLQUEUE.size(), 4u);  // no tab, menu or item
  EXPECT_TRUE(resizer.CONTROLQUEUE[0].HASCHILDREN);
  EXPECT_EQ(resizer.CONTROLQUEUE[3].PARENTID, 3);  // the sheet, through its tab
  resizer.SetStrategy(5, H(resize::kFarEdge) | V(resize::kNearEdge), resize::kLockWidth);
  window.width = 400;
  window.height = 200;
  resizer.Resize();
  EXPECT_EQ(RectOf(window, 1), (ResizeRect{200, 0, 200, 200}));
  // Scaled within the group: the group's new left edge plus the scaled
  // distance from it.
  EXPECT_EQ(RectOf(window, 2), (ResizeRect{220, 20, 40, 40}));
  // Fixed to the sheet's right edge, which moved from 100 to 200.
  EXPECT_EQ(RectOf(window, 5), (ResizeRect{190, 10, 10, 20}));
}

TEST(ResizerTest, AnchorStrategyKeepsButtonsAtTheirEdges) {
  ui::Window window("W");
  window.width = 200;
  window.height = 100;
  AddAt(window, ControlKind::kList, 1, {5, 5, 190, 70});
  AddAt(window, ControlKind::kButton, 2, {150, 80, 40, 14});
  AddAt(window, ControlKind::kButton, 3, {5, 80, 40, 14});
  Resizer resizer;
  resizer.Init(window, resize::kAnchor);
  window.width = 300;
  window.height = 200;
  resizer.Resize();
  EXPECT_EQ(RectOf(window, 1), (ResizeRect{5, 5, 285, 140}));
  EXPECT_EQ(RectOf(window, 2), (ResizeRect{250, 180, 40, 14}));
  EXPECT_EQ(RectOf(window, 3), (ResizeRect{5, 180, 40, 14}));
}

TEST(ResizerTest, MinimumSizeLaysOutAsTheDesignedSize) {
  ui::Window window("W");
  window.width = 200;
  window.height = 100;
  AddAt(window, ControlKind::kList, 1, {10, 10, 100, 50});
  Resizer resizer;
  resizer.Init(window, resize::kScale, /*set_minimum=*/true);
  EXPECT_EQ(window.min_width, 200) << "the engine keeps the user above it";
  EXPECT_EQ(window.min_height, 100);
  EXPECT_EQ(window.max_width, 0);
  window.width = 100;
  window.height = 300;
  resizer.Resize();
  EXPECT_EQ(RectOf(window, 1), (ResizeRect{10, 30, 100, 150}));

  // Limits the window had before are kept; a greatest size lays out as at it.
  ui::Window limited("L");
  limited.width = 200;
  limited.height = 100;
  limited.min_width = 120;
  AddAt(limited, ControlKind::kList, 1, {10, 10, 100, 50});
  Resizer second;
  second.Init(limited, resize::kScale, false, /*set_maximum=*/true);
  EXPECT_EQ(limited.min_width, 120);
  EXPECT_EQ(limited.max_width, 200);
  limited.width = 400;
  limited.height = 50;
  second.Resize();
  EXPECT_EQ(RectOf(limited, 1), (ResizeRect{10, 5, 100, 25}));
}

// Growing and shrinking by the same amount, through the engine's sized
// events: the moves come in opposite orders.
TEST(ResizerTest, GrowingAndShrinkingMoveInOppositeOrders) {
  ui::HeadlessEngine engine;
  ui::Window window("W");
  window.width = 200;
  window.height = 100;
  AddAt(window, ControlKind::kButton, 1, {10, 10, 20, 10});
  AddAt(window, ControlKind::kButton, 2, {100, 50, 20, 10});
  AddAt(window, ControlKind::kButton, 3, {50, 30, 20, 10});
  ASSERT_TRUE(engine.Open(window).ok());
  Resizer resizer;
  resizer.Init(window, resize::kScale);
  ASSERT_TRUE(resizer.DEFERMOVES);

  std::vector<std::vector<int>> orders;
  ui::ActionInput input;
  input.Add([&window](ui::HeadlessEngine& e) { ASSERT_TRUE(e.Resize(window, 260, 130).ok()); });
  input.Add([&window](ui::HeadlessEngine& e) { ASSERT_TRUE(e.Resize(window, 200, 100).ok()); });
  input.Add([&window](ui::HeadlessEngine& e) { (void)e.RequestClose(window); });
  engine.set_input(&input);
  engine.Accept(window, [&](ui::Engine& e) {
    resizer.TakeEvent(e.EventCode());
    if (e.EventCode() == ui::event::kSized) {
      std::vector<int> order;
      for (const ResizeMove& move : resizer.RESIZELIST) order.push_back(move.CONTROLID);
      orders.push_back(order);
    }
    return ui::LoopAction::kContinue;
  });
  ASSERT_EQ(orders.size(), 2u);
  EXPECT_EQ(orders[0], (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(orders[1], (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(resizer.PREVIOUSWIN.WIDTH, 200);
  EXPECT_EQ(RectOf(window, 2), (ResizeRect{100, 50, 20, 10}));
}

}  // namespace
}  // namespace tentaria::framework
