// Toolbar: routes the application toolbar's standard buttons to the list
// or form that has the focus (the current target), and enables the buttons
// for that target.
//
//   2000 insert, 2001 change, 2002 delete: an accepted event on the
//        target's own button
//   2003 select: the target's browse takes the highlighted record
//   2004 last page, 2005 first page, 2006 next page, 2007 prior page,
//   2008 next record, 2009 prior record, 2010 locate: the scroll or locate
//        event on the target's list
//   2011 history: left to the window manager (restores the focused field)
//   2012 help: the help key
#ifndef TENTARIA_FRAMEWORK_TOOLBAR_H_
#define TENTARIA_FRAMEWORK_TOOLBAR_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"
#include "ui/engine.h"
#include "ui/window.h"

namespace tentaria::framework {

namespace toolbar {
inline constexpr int kInsert = 2000;
inline constexpr int kChange = 2001;
inline constexpr int kDelete = 2002;
inline constexpr int kSelect = 2003;
inline constexpr int kBottom = 2004;
inline constexpr int kTop = 2005;
inline constexpr int kPageDown = 2006;
inline constexpr int kPageUp = 2007;
inline constexpr int kDown = 2008;
inline constexpr int kUp = 2009;
inline constexpr int kLocate = 2010;
inline constexpr int kHistory = 2011;
inline constexpr int kHelp = 2012;
}  // namespace toolbar

// What the toolbar asks of a browse it routes to.
class ToolbarBrowse {
 public:
  virtual ~ToolbarBrowse() = default;
  // Select button: take the highlighted record, answer the caller with
  // "completed" and close the window.
  virtual void SelectHighlighted() = 0;
};

struct ToolbarTarget {
  int CONTROL = 0;     // the list control
  int HELPBUTTON = 0;  // the window's own buttons; 0 when absent
  int INSERTBUTTON = 0;
  int CHANGEBUTTON = 0;
  int DELETEBUTTON = 0;
  int SELECTBUTTON = 0;
  ToolbarBrowse* BROWSE = nullptr;
};

// Tool tips as a packed block:
//   offset  size  field
//   0       1     count of entries
//   then per entry:
//   +0      2     control number, little-endian
//   +2      1     text length n
//   +3      n     text (Windows-1252)
std::string PackToolTips(const std::vector<std::pair<int, std::string>>& tips);
// Refuses a block that is cut short or has bytes after its last entry.
Status UnpackToolTips(std::string_view block, std::vector<std::pair<int, std::string>>* tips);
// The tips of the standard buttons, packed.
const std::string& StandardToolTips();

class Toolbar {
 public:
  // `window` holds the targets; `buttons` holds the toolbar buttons (the
  // application frame), which may be the same window.  The tips are set on
  // the buttons that exist.
  void Init(ui::Engine& engine, ui::Window& window, ui::Window& buttons);
  void Kill();

  void AddTarget(const ToolbarTarget& target);
  // Makes the target of `control` current and updates the buttons; false
  // when no target has that control.
  bool SetTarget(int control);
  // Enables the buttons for the current target.
  void UpdateButtons();
  // Acts on an accepted toolbar button of the current event; true when the
  // event was one of the toolbar's and there is a target to route it to.
  bool HandleEvent();

  // The current target, or none.
  const ToolbarTarget* CurrentTarget() const;

  std::vector<ToolbarTarget> LIST;

 private:
  void Enable(int button, bool enabled);
  bool HasEnabled(int control) const;

  ui::Engine* engine_ = nullptr;
  ui::Window* window_ = nullptr;
  ui::Window* buttons_ = nullptr;
  int current_ = -1;  // index into LIST; -1: none
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_TOOLBAR_H_
