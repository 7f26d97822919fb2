// A window: its title and place, and its numbered controls in tab order
// (the order they were added), with their focus and the copying between
// controls and their use variables (display and update).
#ifndef TENTARIA_UI_WINDOW_H_
#define TENTARIA_UI_WINDOW_H_

#include <deque>
#include <set>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "ui/control.h"

namespace tentaria::ui {

class Window {
 public:
  explicit Window(std::string title) : title_(std::move(title)) {}
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Adds a control at the end of the tab order.  References stay valid
  // while the window lives.
  Control& Add(ControlKind kind, int number, std::string text, int parent = 0);
  // Unique numbers above 0, parents that exist and do not go round, list
  // formats that parse.
  Status Check() const;

  Control* Find(int number);
  const Control* Find(int number) const;
  // By the name the program gives the control ("Sluiten" or "?Sluiten"),
  // without regard to case.
  const Control* FindByName(std::string_view name) const;
  // By its text as it reads ("Sluiten" finds "&Sluiten"), trailing blanks
  // and case not counting; among `parent`'s children when parent is not 0.
  const Control* FindByText(std::string_view text, int parent = -1) const;

  const std::deque<Control>& controls() const { return controls_; }
  std::deque<Control>& controls() { return controls_; }

  // Whether the user can see the control: neither it nor what it sits in is
  // hidden, and a control on a tab sits on the sheet's chosen tab.
  bool IsShown(const Control& control) const;
  bool IsEnabled(const Control& control) const;
  // Controls that take the focus when tabbed to.
  bool TakesFocus(const Control& control) const;
  // The control after `number` in tab order that takes the focus (wrapping
  // round), or 0 when none does.
  int NextInTabOrder(int number) const;
  // The control before `number` in tab order that takes the focus (wrapping
  // round), or 0 when none does.
  int PreviousInTabOrder(int number) const;

  // Display: from the use variables into the controls (0: every control).
  void Display(int number = 0);
  // Update: from the controls into their use variables (0: every control).
  void Update(int number = 0);

  const std::string& title() const { return title_; }
  void set_title(std::string title) { title_ = std::move(title); }

  int focus() const { return focus_; }
  void set_focus(int number) { focus_ = number; }
  int selection_first() const { return selection_first_; }
  int selection_last() const { return selection_last_; }
  void set_selection(int first, int last) {
    selection_first_ = first;
    selection_last_ = last;
  }

  // Timer interval in hundredths of a second; 0: none.
  int timer() const { return timer_; }
  void set_timer(int hundredths) { timer_ = hundredths < 0 ? 0 : hundredths; }

  // Keys that give an alert-key event instead of their usual action.
  std::set<int>& alert_keys() { return alert_keys_; }
  const std::set<int>& alert_keys() const { return alert_keys_; }

  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  bool maximized = false;
  // Whether the user may change the window's size (by its frame or by
  // maximizing it); the program always may.
  bool resizable = true;
  // Limits of the size the user may give the window, in dialog units; 0: no
  // limit.
  int min_width = 0, min_height = 0, max_width = 0, max_height = 0;

  // A size brought within the limits (a maximum below the minimum counts
  // as the minimum).
  int LimitWidth(int value) const { return Limit(value, min_width, max_width); }
  int LimitHeight(int value) const { return Limit(value, min_height, max_height); }
  std::string icon;
  std::string wallpaper;
  Font font;

 private:
  static int Limit(int value, int least, int most) {
    if (most > 0 && value > most) value = most;
    return least > 0 && value < least ? least : value;
  }
  void DisplayControl(Control& control);
  void UpdateControl(Control& control);

  std::string title_;
  std::deque<Control> controls_;
  int focus_ = 0;
  int selection_first_ = 0;
  int selection_last_ = 0;
  int timer_ = 0;
  std::set<int> alert_keys_;
};

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_WINDOW_H_
