#include "framework/resizer.h"

#include <algorithm>
#include <cstdint>

#include "ui/event_codes.h"

namespace tentaria::framework {
namespace {

using ui::ControlKind;

// num / den (den > 0) to whole units, halves away from zero.
int Round(int64_t num, int64_t den) {
  return static_cast<int>((2 * num + (num >= 0 ? den : -den)) / (2 * den));
}

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::kGroup || kind == ControlKind::kOption || kind == ControlKind::kSheet;
}

bool IsPlaced(ControlKind kind) {
  return kind != ControlKind::kMenu && kind != ControlKind::kItem &&
         kind != ControlKind::kToolbar && kind != ControlKind::kTab;
}

// One axis of a control within its parent: its initial place and size, the
// parent's initial and new place and size.
struct Axis {
  int pos, size;
  int parent_pos, parent_size;
  int new_parent_pos, new_parent_size;
};

// Where the control's near edge goes under a strategy (one byte of the
// positional strategy); `locked`: its size is kept, so distances are not
// scaled.
int PlaceAxis(int strategy, bool locked, const Axis& a) {
  // The parent's growth as a ratio rn / rd; a parent that had no size gives 1.
  int64_t rn = a.parent_size > 0 ? a.new_parent_size : 1;
  int64_t rd = a.parent_size > 0 ? a.parent_size : 1;
  int64_t dx = static_cast<int64_t>(a.pos) - a.parent_pos;
  if (strategy == resize::kNearestEdge) {
    strategy = dx < a.parent_size - dx - a.size ? resize::kNearEdge : resize::kFarEdge;
  }
  int64_t far_edge = static_cast<int64_t>(a.new_parent_pos) + a.new_parent_size;
  switch (strategy) {
    case resize::kKeep:
      return a.pos;
    case resize::kFarEdge: {
      int64_t distance = a.parent_size - dx;
      if (locked) return static_cast<int>(far_edge - distance);
      return Round(far_edge * rd - distance * rn, rd);
    }
    case resize::kNearEdge:
      return static_cast<int>(a.new_parent_pos + dx);
    case resize::kCentred: {
      // Twice the offset from the parent's centre.
      int64_t offset2 = 2 * dx - a.parent_size;
      int64_t centre2 = 2 * static_cast<int64_t>(a.new_parent_pos) + a.new_parent_size;
      if (locked) return Round(centre2 + offset2, 2);
      return Round(centre2 * rd + offset2 * rn, 2 * rd);
    }
    default:
      return static_cast<int>(a.new_parent_pos + Round(dx * rn, rd));
  }
}

int SizeAxis(bool untouched, bool locked, int current, const Axis& a) {
  if (untouched) return current;
  if (locked || a.parent_size <= 0) return a.size;
  return Round(static_cast<int64_t>(a.size) * a.new_parent_size, a.parent_size);
}

}  // namespace

void Resizer::Init(ui::Window& window, int strategy, bool set_minimum, bool set_maximum) {
  window_ = &window;
  APPSTRATEGY = strategy;
  ORIGWIN = ResizeWindow{window.x, window.y, window.width, window.height, window.maximized, false};
  PREVIOUSWIN = ResizeRect{window.x, window.y, window.width, window.height};
  CONTROLQUEUE.clear();
  RESIZELIST.clear();
  for (const ui::Control& control : window.controls()) {
    if (!IsPlaced(control.kind)) continue;
    ResizeControl entry;
    entry.CONTROLID = control.number;
    entry.TYPE = control.kind;
    entry.initial = ResizeRect{control.x, control.y, control.width, control.height};
    // Placed within the nearest group, option group or sheet; controls in a
    // menu or on a toolbar are not placed at all.
    bool placed = true;
    const ui::Control* up = window.Find(control.parent);
    for (size_t depth = 0; up != nullptr && depth <= window.controls().size(); ++depth) {
      if (IsContainer(up->kind)) {
        entry.PARENTID = up->number;
        break;
      }
      if (up->kind != ControlKind::kTab) {
        placed = false;
        break;
      }
      up = window.Find(up->parent);
    }
    if (!placed) continue;
    if (strategy == resize::kScale) {
      entry.POSITIONALSTRATEGY = 0;
      entry.RESIZESTRATEGY = 0;
    } else {
      entry.POSITIONALSTRATEGY = resize::kKeep | resize::kKeep << 8;
      entry.RESIZESTRATEGY = resize::kLockWidth | resize::kLockHeight;
    }
    CONTROLQUEUE.push_back(entry);
  }
  for (ResizeControl& entry : CONTROLQUEUE) {
    for (const ResizeControl& other : CONTROLQUEUE) {
      if (other.PARENTID == entry.CONTROLID) entry.HASCHILDREN = true;
    }
  }
  if (strategy == resize::kAnchor) Prepare();
  if (set_minimum) {
    window.min_width = window.width;
    window.min_height = window.height;
  }
  if (set_maximum) {
    window.max_width = window.width;
    window.max_height = window.height;
  }
  DEFERMOVES = true;
}

void Resizer::Prepare() {
  for (ResizeControl& entry : CONTROLQUEUE) {
    bool grows = entry.HASCHILDREN || IsContainer(entry.TYPE) || entry.TYPE == ControlKind::kList ||
                 entry.TYPE == ControlKind::kTextBox;
    if (grows) {
      entry.POSITIONALSTRATEGY = resize::kNearEdge | resize::kNearEdge << 8;
      entry.RESIZESTRATEGY = 0;
    } else {
      entry.POSITIONALSTRATEGY = resize::kNearestEdge | resize::kNearestEdge << 8;
      entry.RESIZESTRATEGY = resize::kLockWidth | resize::kLockHeight;
    }
  }
}

void Resizer::Kill() {
  CONTROLQUEUE.clear();
  RESIZELIST.clear();
  window_ = nullptr;
}

bool Resizer::SetStrategy(int control, int positional, int resize) {
  for (ResizeControl& entry : CONTROLQUEUE) {
    if (entry.CONTROLID == control) {
      entry.POSITIONALSTRATEGY = positional;
      entry.RESIZESTRATEGY = resize;
      return true;
    }
  }
  return false;
}

void Resizer::TakeEvent(int event) {
  if (event == ui::event::kSized) Resize();
}

ResizeRect Resizer::Place(size_t index, const ResizeRect& window,
                          std::vector<std::optional<ResizeRect>>* placed, int depth) const {
  if ((*placed)[index]) return *(*placed)[index];
  const ResizeControl& entry = CONTROLQUEUE[index];
  ResizeRect parent_initial{0, 0, ORIGWIN.WIDTH, ORIGWIN.HEIGHT};
  ResizeRect parent_now = window;
  if (entry.PARENTID != 0 && depth < static_cast<int>(CONTROLQUEUE.size())) {
    for (size_t i = 0; i < CONTROLQUEUE.size(); ++i) {
      if (CONTROLQUEUE[i].CONTROLID == entry.PARENTID) {
        parent_initial = CONTROLQUEUE[i].initial;
        parent_now = Place(i, window, placed, depth + 1);
        break;
      }
    }
  }
  const ResizeRect& i = entry.initial;
  Axis h{i.XPOS,          i.WIDTH,         parent_initial.XPOS, parent_initial.WIDTH,
         parent_now.XPOS, parent_now.WIDTH};
  Axis v{i.YPOS,          i.HEIGHT,         parent_initial.YPOS, parent_initial.HEIGHT,
         parent_now.YPOS, parent_now.HEIGHT};
  const ui::Control* control = window_->Find(entry.CONTROLID);
  int rs = entry.RESIZESTRATEGY;
  ResizeRect result;
  result.XPOS = PlaceAxis(entry.POSITIONALSTRATEGY & 0xFF, rs & resize::kLockWidth, h);
  result.YPOS = PlaceAxis((entry.POSITIONALSTRATEGY >> 8) & 0xFF, rs & resize::kLockHeight, v);
  result.WIDTH = SizeAxis(rs & resize::kWidthUntouched, rs & resize::kLockWidth,
                          control != nullptr ? control->width : i.WIDTH, h);
  result.HEIGHT = SizeAxis(rs & resize::kHeightUntouched, rs & resize::kLockHeight,
                           control != nullptr ? control->height : i.HEIGHT, v);
  (*placed)[index] = result;
  return result;
}

void Resizer::Resize() {
  if (window_ == nullptr || RESIZECALLED) return;
  // A window sized beyond its limits (by a program, or by an engine that
  // lets it) lays its controls out as at the nearest size within them.
  const int width = window_->LimitWidth(window_->width);
  const int height = window_->LimitHeight(window_->height);
  if (width == PREVIOUSWIN.WIDTH && height == PREVIOUSWIN.HEIGHT) return;
  RESIZECALLED = true;
  bool back_to_initial = width == ORIGWIN.WIDTH && height == ORIGWIN.HEIGHT;
  ResizeRect now{0, 0, width, height};
  std::vector<std::optional<ResizeRect>> placed(CONTROLQUEUE.size());
  RESIZELIST.clear();
  for (size_t index = 0; index < CONTROLQUEUE.size(); ++index) {
    const ResizeControl& entry = CONTROLQUEUE[index];
    const ui::Control* control = window_->Find(entry.CONTROLID);
    if (control == nullptr) continue;
    ResizeMove move;
    move.CONTROLID = entry.CONTROLID;
    move.TYPE = entry.TYPE;
    move.BEFORE = ResizeRect{control->x, control->y, control->width, control->height};
    move.AFTER = back_to_initial ? entry.initial : Place(index, now, &placed, 0);
    move.PRIORITY = move.BEFORE.XPOS + move.BEFORE.YPOS;
    RESIZELIST.push_back(move);
  }
  if (DEFERMOVES) {
    // A growing window moves the controls farthest from its top left first,
    // a shrinking one the nearest first, so that no control is moved onto
    // one that has yet to move out of the way.
    bool growing = width + height > PREVIOUSWIN.WIDTH + PREVIOUSWIN.HEIGHT;
    std::stable_sort(RESIZELIST.begin(), RESIZELIST.end(),
                     [growing](const ResizeMove& a, const ResizeMove& b) {
                       return growing ? a.PRIORITY > b.PRIORITY : a.PRIORITY < b.PRIORITY;
                     });
  }
  for (const ResizeMove& move : RESIZELIST) {
    ui::Control* control = window_->Find(move.CONTROLID);
    control->x = move.AFTER.XPOS;
    control->y = move.AFTER.YPOS;
    control->width = move.AFTER.WIDTH;
    control->height = move.AFTER.HEIGHT;
  }
  PREVIOUSWIN = ResizeRect{window_->x, window_->y, width, height};
  RESIZECALLED = false;
}

}  // namespace tentaria::framework
