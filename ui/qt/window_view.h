// The widgets of one open window: a top-level QMainWindow whose client
// area holds a widget per control, each placed by its dialog units.  A
// window with a menu bar or a toolbar (the application frame) gets them
// with a status bar that shows the tips of the menu items.
//
// Refresh brings the widgets up to date with the model; what the user does
// to them goes to the engine as user actions.  The view keeps no state of
// its own beyond what it last applied, so the model always decides.
#ifndef TENTARIA_UI_QT_WINDOW_VIEW_H_
#define TENTARIA_UI_QT_WINDOW_VIEW_H_

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSize>
#include <QToolBar>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/status.h"
#include "ui/qt/control_widgets.h"
#include "ui/qt/dialog_units.h"
#include "ui/window.h"

class QKeyEvent;
class QWheelEvent;

namespace tentaria::ui::qt {

class QtEngine;

class WindowView {
 public:
  WindowView(QtEngine& engine, Window& window);
  // Does not touch the model: the window may be gone already.
  ~WindowView();
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;

  void Refresh();

  QMainWindow* widget() const { return top_.get(); }
  Window& window() const { return window_; }
  const DialogUnits& units() const { return units_; }
  // The number of the control a widget (or a widget inside it) stands
  // for, 0 for none.
  int ControlOf(const QWidget* widget) const;

  // Input the engine's filter hands over; true when it was used up.
  bool KeyPressed(QWidget* receiver, QKeyEvent* event);
  bool Wheeled(QWidget* receiver, QWheelEvent* event);
  void FocusedByUser(QWidget* receiver);
  void Activated();

 private:
  class TopWindow;

  // What the window's size may be, as last applied.
  struct SizeLimits {
    bool resizable = true;
    int min_width = 0, min_height = 0, max_width = 0, max_height = 0;
    friend bool operator==(const SizeLimits&, const SizeLimits&) = default;
  };

  struct ControlView {
    int number = 0;
    QWidget* widget = nullptr;  // on the canvas; null for menus, items, tabs, toolbars
    QMenu* menu = nullptr;
    QAction* action = nullptr;  // menu items and toolbar buttons
    QToolBar* toolbar = nullptr;
    std::string shown_picture;  // image name, or icon name, last applied
    bool picture_applied = false;
    std::string list_contents;  // what the list or drop list last showed
    std::string style;          // the font and colours last applied
  };

  void Build();
  // Carries out a user action unless the widgets are being refreshed.
  void Act(const std::function<Status()>& action);
  void BuildControl(Control& control);
  void Connect(const Control& control, ControlView& view);
  void Stack();
  void RefreshWindow();
  void RefreshControl(Control& control, ControlView& view);
  void RefreshList(const Control& control, ControlView& view);
  void RefreshDropList(const Control& control, ControlView& view);
  void RefreshSheet(const Control& control, ControlView& view);
  void RefreshFocus();
  void ApplySize();
  void ApplyPlace();
  void UserResized(QSize pixels);
  void UserMoved(QPoint position);
  void UserChangedState();
  Status DoubleClicked(int list, int row);
  int TabIndex(const Control& tab) const;
  int RadioIndex(const Control& radio) const;
  QFont WindowFont() const;
  ControlView* ViewOf(int number);

  QtEngine& engine_;
  Window& window_;
  std::unique_ptr<QMainWindow> top_;
  Canvas* canvas_ = nullptr;
  DialogUnits units_;
  std::map<int, ControlView> controls_;
  bool shown_ = false;
  int applied_focus_ = 0;
  QSize applied_units_;
  QSize applied_pixels_;
  SizeLimits applied_limits_;
  std::optional<QPoint> applied_place_;  // dialog units
  QPoint applied_position_;              // pixels
  bool applied_maximized_ = false;
  std::string applied_wallpaper_;
  std::string applied_icon_;
  bool icon_applied_ = false;
  bool wallpaper_applied_ = false;
};

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_WINDOW_VIEW_H_
