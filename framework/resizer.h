// Resizer: moves and sizes a window's controls when the user resizes it.
//
// Each control has a positional strategy (low byte horizontal, high byte
// vertical: 1 keep, 2 fixed to the far edge, 3 fixed to the near edge,
// 4 centred, 5 nearest edge, other: scaled) and a resize strategy (bits:
// 1 keep the initial width, 2 keep the initial height, 4 leave the width
// untouched, 8 leave the height untouched; otherwise scaled).  A control is
// placed within its parent: the window, or the group, option group or
// sheet it sits in.
//
// Window strategies (APPSTRATEGY), which give every control its strategies:
//   kFixed   controls stay where they are
//   kScale   every control scales with its parent
//   kAnchor  a preparation step anchors each control to its nearest edges
//            keeping its size, while lists, text boxes, sheets, groups and
//            option groups stay at their top left and scale
#ifndef TENTARIA_FRAMEWORK_RESIZER_H_
#define TENTARIA_FRAMEWORK_RESIZER_H_

#include <optional>
#include <vector>

#include "ui/control.h"
#include "ui/window.h"

namespace tentaria::framework {

namespace resize {
inline constexpr int kFixed = 0;
inline constexpr int kScale = 1;
inline constexpr int kAnchor = 2;

inline constexpr int kKeep = 1;
inline constexpr int kFarEdge = 2;   // right, or bottom (in the high byte)
inline constexpr int kNearEdge = 3;  // left, or top
inline constexpr int kCentred = 4;
inline constexpr int kNearestEdge = 5;

inline constexpr int kLockWidth = 1;
inline constexpr int kLockHeight = 2;
inline constexpr int kWidthUntouched = 4;
inline constexpr int kHeightUntouched = 8;
}  // namespace resize

struct ResizeRect {
  int XPOS = 0, YPOS = 0, WIDTH = 0, HEIGHT = 0;
  friend bool operator==(const ResizeRect&, const ResizeRect&) = default;
};

struct ResizeWindow {
  int XPOS = 0, YPOS = 0, WIDTH = 0, HEIGHT = 0;
  bool MAXIMIZED = false;
  bool ICONIZED = false;
};

struct ResizeControl {
  int CONTROLID = 0;
  ui::ControlKind TYPE = ui::ControlKind::kButton;
  bool HASCHILDREN = false;
  int PARENTID = 0;  // the control it is placed within; 0: the window
  int POSITIONALSTRATEGY = 0;
  int RESIZESTRATEGY = 0;
  ResizeRect initial;  // XPOS, YPOS, WIDTH, HEIGHT as the window opened
};

struct ResizeMove {
  int PRIORITY = 0;
  int CONTROLID = 0;
  ui::ControlKind TYPE = ui::ControlKind::kButton;
  ResizeRect BEFORE;
  ResizeRect AFTER;
};

class Resizer {
 public:
  // Records the window's and every placed control's initial rectangle and
  // gives each control its strategies by `strategy`.  With `set_minimum`
  // (`set_maximum`) the window's initial size becomes its least (greatest)
  // size.  Controls are laid out for the window's size within its limits.
  void Init(ui::Window& window, int strategy, bool set_minimum = false, bool set_maximum = false);
  void Kill();

  // Overrides one control's strategies; false for a control not placed.
  bool SetStrategy(int control, int positional, int resize);
  // The window's sized event lays the controls out; other events are
  // ignored.
  void TakeEvent(int event);
  // Lays the controls out for the window's current size, if it changed
  // since the last time.
  void Resize();

  int APPSTRATEGY = resize::kFixed;
  ResizeWindow ORIGWIN;
  std::vector<ResizeControl> CONTROLQUEUE;
  bool DEFERMOVES = false;
  ResizeRect PREVIOUSWIN;
  bool RESIZECALLED = false;
  // The moves of the last resize, in the order they were applied.
  std::vector<ResizeMove> RESIZELIST;

 private:
  void Prepare();
  const ResizeControl* Entry(int control) const;
  // The control's rectangle for a window of the given size (memoised in
  // `placed`, by position in CONTROLQUEUE).
  ResizeRect Place(size_t index, const ResizeRect& window,
                   std::vector<std::optional<ResizeRect>>* placed, int depth) const;

  ui::Window* window_ = nullptr;
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_RESIZER_H_
