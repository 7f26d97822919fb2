// Popup: a context menu of named items, some standing for the window's
// buttons, run through the engine as one menu text (ui/popup_menu.h).
//
// An item's name comes from its text: "-" is a separator named
// "Separator"; otherwise every character but A-Z, a-z and 0-9 is dropped
// ("&Insert" is Insert).  Items are addressed by name (the first of that
// name).  An item deeper than the item before it opens a sub-menu whose
// title is that item.
//
// The toolbox shows the items as buttons in a small window of its own
// thread, one under the other, so that they stay at hand; pressing one
// acts as choosing the item.
#ifndef TENTARIA_FRAMEWORK_POPUP_H_
#define TENTARIA_FRAMEWORK_POPUP_H_

#include <string>
#include <string_view>
#include <vector>

#include "ui/engine.h"
#include "ui/window.h"

namespace tentaria::framework {

struct PopupItemEntry {
  int CONTROLID = 0;       // the button the item stands for; 0 for none
  int DEPTH = 0;           // nesting level
  int EVENT = 0;           // event posted to CONTROLID when chosen; 0 for none
  bool MIMICMODE = false;  // disabled and hidden as CONTROLID is
  bool DISABLED = false;
  int CHECK = 0;          // 0 none, 1 ticked, other: tickable and not ticked
  bool ONTOOLBOX = true;  // shown as a button on the toolbox
  std::string ICON;
  std::string NAME;
  std::string TEXT;
};

// The name an item of this text is addressed by.
std::string PopupItemName(std::string_view text);

class Popup {
 public:
  Popup() = default;
  Popup(const Popup&) = delete;
  Popup& operator=(const Popup&) = delete;
  ~Popup() { Kill(); }

  // The window whose buttons the items may stand for and whose thread gets
  // the events of chosen items.  The engine outlives the popup.
  void Init(ui::Engine& engine, ui::Window& window);
  // Closes the toolbox if it is open.
  void Kill();

  // Adds an item and returns its name.  A text that is empty or holds a
  // character of the menu text's syntax ("|", "{", "}") is refused: the
  // result is empty and nothing is added.
  std::string AddItem(std::string_view text, int depth = 0);
  // An item standing for a button: disabled and hidden as the button is;
  // choosing it posts an accepted event to the button.
  std::string AddItemMimic(std::string_view text, int control, int depth = 0);
  // Choosing the item posts `event` to `control`.  False for an unknown name.
  bool AddItemEvent(std::string_view name, int event, int control);
  bool DeleteItem(std::string_view name);
  bool SetItemEnable(std::string_view name, bool enabled);
  bool SetItemCheck(std::string_view name, bool checked);
  bool SetIcon(std::string_view name, std::string_view icon);
  PopupItemEntry* FindItem(std::string_view name);

  // The menu as the engine takes it, with the items as they stand now.
  std::string MenuText() const;
  // Shows the menu and acts on the choice; returns the chosen item's name,
  // empty when none was chosen.
  std::string Ask();
  // Opens the toolbox with the items as they stand now; false when it is
  // open already or cannot open.
  bool Toolbox();

  // Sizes of the toolbox's buttons, in dialog units.
  static constexpr int kToolboxButtonWidth = 64;
  static constexpr int kToolboxButtonHeight = 14;

  bool CLEARKEYCODE = false;
  std::string LASTSELECTION;
  std::vector<PopupItemEntry> POPUPITEMS;
  int MYTHREAD = 0;
  ui::Window* PARENTWINDOW = nullptr;
  bool INTOOLBOX = false;            // the toolbox is open
  ui::Window* THISWINDOW = nullptr;  // the toolbox

 private:
  // Whether the item shows, and whether it is disabled, as it stands now.
  bool Shown(const PopupItemEntry& item) const;
  bool Disabled(const PopupItemEntry& item) const;
  // Writes items [*index, end) of `depth` and their sub-menus; `chosen`
  // receives, in menu order, the index of every choosable item written.
  std::string Build(std::vector<size_t>* chosen) const;
  // LASTSELECTION, the key code and the item's event.
  void Choose(const PopupItemEntry& item);
  void WriteLevel(size_t* index, int depth, std::string* text, std::vector<size_t>* chosen) const;

  ui::Engine* engine_ = nullptr;
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_POPUP_H_
