// A control of a window: its kind, number and the properties the engines
// draw (text, state, position and size in dialog units, tip, icon, font,
// colours), its use binding with a display picture, and for lists, drop
// lists, sheets and option groups what is chosen in them.
#ifndef TENTARIA_UI_CONTROL_H_
#define TENTARIA_UI_CONTROL_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "runtime/picture_value.h"
#include "ui/binding.h"
#include "ui/list_format.h"

namespace tentaria::ui {

enum class ControlKind {
  kButton,
  kEntry,   // typed text through a display picture
  kPrompt,  // a label before an entry
  kString,  // fixed text, or a variable shown through a picture
  kCheck,
  kOption,  // a group of radios; its value is the chosen radio's value
  kRadio,
  kDropList,  // a list that shows its chosen row
  kList,
  kSheet,  // tabs; its value is the chosen tab's number
  kTab,
  kGroup,
  kImage,
  kTextBox,  // several lines of text
  kMenu,     // a menu of the menu bar, or a sub-menu
  kItem,     // a menu item
  kToolbar,
};

std::string_view ControlKindName(ControlKind kind);

// Colour values as 0xBBGGRR; kDefaultColour is the control's own colour.
inline constexpr int32_t kDefaultColour = -1;

struct CellColours {
  int32_t normal_fg = kDefaultColour;
  int32_t normal_bg = kDefaultColour;
  int32_t selected_fg = kDefaultColour;
  int32_t selected_bg = kDefaultColour;

  friend bool operator==(const CellColours&, const CellColours&) = default;
};

struct ListCell {
  runtime::PictureValue value;
  CellColours colours;
};
using ListRow = std::vector<ListCell>;

struct Font {
  std::string name;  // empty: the window's font
  int size = 0;      // points; 0: the window's size
  int weight = 0;    // 0: normal, 700: bold
  bool italic = false;
};

struct Control {
  ControlKind kind = ControlKind::kButton;
  int number = 0;
  int parent = 0;    // the menu, sheet, tab, option group or toolbar it sits in
  std::string name;  // the label it is known by in the program ("Sluiten" for ?Sluiten)
  std::string text;
  bool enabled = true;
  bool hidden = false;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  std::string tip;
  std::string icon;
  std::string picture_name;  // image controls
  Font font;
  int32_t fg = kDefaultColour;
  int32_t bg = kDefaultColour;

  std::string picture;  // display picture text of entries, strings and list values
  std::shared_ptr<Binding> use;
  std::string contents;   // what an entry or a bound string shows
  bool required = false;  // an entry that may not be left empty
  // A list that reports scrolling to the program and leaves moving to it
  // (lists filled page by page); other lists move their selection themselves.
  bool immediate = false;
  bool checked = false;
  std::string value;  // a radio's value; empty: its text without "&"
  int selected = 0;   // list and drop rows, sheet tabs, option radios: 1-based, 0 none
  int top_row = 1;    // first visible row of a list

  std::string format_text;  // a list's format; its columns after SetFormat
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;  // a list's queue
  int visible_rows = 0;       // rows a page of the list shows; 0: from its height

  Status SetFormat(std::string_view format);
  // The text a list cell shows, formatted by its column's picture.
  std::string CellText(int row, int column) const;
  int PageRows() const;
  // The value a radio stands for.
  std::string RadioValue() const;
};

// "&Sluiten" as it reads: without the "&" that marks the access key ("&&"
// stands for one "&").
std::string TextWithoutAccessKey(std::string_view text);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_CONTROL_H_
