#include "ui/scenario_view.h"

#include <cstdio>

#include "platform/charset.h"
#include "reports/page_text.h"
#include "ui/key_codes.h"

namespace tentaria::ui {
namespace {

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : platform::Cp1252ToUtf8(text)) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string TrimTrailing(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Colour(int32_t colour) {
  if (colour == kDefaultColour) return "-1";
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(colour));
  return text;
}

std::string ButtonNames(int buttons) {
  std::string names;
  for (auto [value, name] : {std::pair{1, "OK"}, {2, "Yes"}, {4, "No"}, {64, "Cancel"}}) {
    if ((buttons & value) == 0) continue;
    if (!names.empty()) names += ' ';
    names += name;
  }
  return names;
}

int Depth(const Window& window, const Control& control) {
  int depth = 0;
  const Control* current = &control;
  while (current->parent != 0 && depth <= static_cast<int>(window.controls().size())) {
    current = window.Find(current->parent);
    if (current == nullptr) break;
    ++depth;
  }
  return depth;
}

const Control* ChosenChild(const Window& window, const Control& parent, ControlKind kind) {
  int index = 0;
  for (const Control& child : window.controls()) {
    if (child.parent == parent.number && child.kind == kind && ++index == parent.selected) {
      return &child;
    }
  }
  return nullptr;
}

void PrintList(const Control& list, const std::string& indent, std::ostream& out) {
  if (!list.columns.empty()) {
    out << indent << "  columns";
    for (const ListColumn& column : list.columns) {
      out << ' ' << Quoted(column.header) << ' ' << column.width;
    }
    out << '\n';
  }
  for (int row = 1; row <= static_cast<int>(list.rows.size()); ++row) {
    const ListRow& cells = list.rows[row - 1];
    out << indent << "  " << (row == list.selected ? '>' : ' ') << "row " << row << ':';
    for (int column = 1; column <= static_cast<int>(cells.size()); ++column) {
      out << (column == 1 ? " " : " | ") << Quoted(TrimTrailing(list.CellText(row, column)));
    }
    for (int column = 1; column <= static_cast<int>(cells.size()); ++column) {
      const CellColours& c = cells[column - 1].colours;
      if (c == CellColours{}) continue;
      out << "  {" << column << ": " << Colour(c.normal_fg) << ' ' << Colour(c.normal_bg) << ' '
          << Colour(c.selected_fg) << ' ' << Colour(c.selected_bg) << '}';
    }
    out << '\n';
  }
}

void PrintControl(const HeadlessEngine& engine, const Window& window, const Control& control,
                  std::ostream& out) {
  std::string indent(2 * (Depth(window, control) + 1), ' ');
  out << indent << '#' << control.number << ' ' << ControlKindName(control.kind);
  if (!control.name.empty()) out << " ?" << platform::Cp1252ToUtf8(control.name);
  switch (control.kind) {
    case ControlKind::kEntry:
    case ControlKind::kTextBox:
      out << ' ' << Quoted(TrimTrailing(control.contents));
      break;
    case ControlKind::kCheck:
      out << ' ' << Quoted(control.text) << (control.checked ? " on" : " off");
      break;
    case ControlKind::kOption:
    case ControlKind::kSheet: {
      out << ' ' << Quoted(control.text);
      ControlKind child =
          control.kind == ControlKind::kOption ? ControlKind::kRadio : ControlKind::kTab;
      const Control* chosen = ChosenChild(window, control, child);
      out << " chosen " << control.selected;
      if (chosen != nullptr) out << ' ' << Quoted(chosen->text);
      break;
    }
    case ControlKind::kList:
    case ControlKind::kDropList:
      out << " rows " << control.rows.size() << " chosen " << control.selected;
      break;
    case ControlKind::kImage: {
      out << ' ' << Quoted(control.picture_name);
      std::optional<ImageSize> size = engine.ImageSizeOf(control.picture_name);
      if (size) {
        out << ' ' << size->width << 'x' << size->height;
      } else {
        out << " none";
      }
      break;
    }
    case ControlKind::kString:
    case ControlKind::kPrompt:
      out << ' ' << Quoted(TrimTrailing(control.use ? control.contents : control.text));
      break;
    default:
      out << ' ' << Quoted(control.text);
      break;
  }
  if (!window.IsEnabled(control)) out << " disabled";
  if (!window.IsShown(control)) out << " hidden";
  if (window.focus() == control.number) out << " focused";
  if (!control.tip.empty()) out << " tip " << Quoted(control.tip);
  out << '\n';
  if (control.kind == ControlKind::kList || control.kind == ControlKind::kDropList) {
    PrintList(control, indent, out);
  }
}

}  // namespace

std::string ControlValue(const Window& window, const Control& control) {
  switch (control.kind) {
    case ControlKind::kEntry:
    case ControlKind::kTextBox:
      return control.contents;
    case ControlKind::kString:
    case ControlKind::kPrompt:
      return control.use ? control.contents : control.text;
    case ControlKind::kCheck:
      return control.checked ? "on" : "off";
    case ControlKind::kOption: {
      const Control* radio = ChosenChild(window, control, ControlKind::kRadio);
      return radio ? radio->RadioValue() : "";
    }
    case ControlKind::kList:
    case ControlKind::kSheet:
      return control.selected == 0 ? "" : std::to_string(control.selected);
    case ControlKind::kDropList:
      return control.CellText(control.selected, 1);
    case ControlKind::kImage:
      return control.picture_name;
    default:
      return control.text;
  }
}

bool WindowShows(const Window& window, std::string_view text) {
  auto has = [&](std::string_view where) {
    return where.find(text) != std::string_view::npos ||
           TextWithoutAccessKey(where).find(text) != std::string::npos;
  };
  if (has(window.title())) return true;
  for (const Control& control : window.controls()) {
    if (!window.IsShown(control)) continue;
    if (has(control.text) || has(ControlValue(window, control))) return true;
    for (int row = 1; row <= static_cast<int>(control.rows.size()); ++row) {
      for (int column = 1; column <= static_cast<int>(control.rows[row - 1].size()); ++column) {
        if (has(control.CellText(row, column))) return true;
      }
    }
  }
  return false;
}

void PrintWindow(const HeadlessEngine& engine, const Window& window, std::ostream& out) {
  out << "window " << Quoted(window.title()) << " thread " << engine.ThreadOf(window);
  if (engine.IsStarted(window)) out << " started";
  if (engine.ActiveWindow() == &window) out << " active";
  if (!engine.TakesInput(window)) out << " waiting";
  out << '\n';
  if (window.width != 0 || window.height != 0) {
    out << "  size " << window.width << 'x' << window.height << '\n';
  }
  for (const Control& control : window.controls()) PrintControl(engine, window, control, out);
}

void PrintDocument(const reports::Document& document, std::ostream& out) {
  out << Quoted(document.title) << ' ' << document.pages.size()
      << (document.pages.size() == 1 ? " page\n" : " pages\n");
  const size_t count = document.pages.size();
  for (size_t page = 0; page < count; ++page) {
    out << "  --- page " << page + 1 << " of " << count << '\n';
    for (const std::string& line : reports::PageLines(document.pages[page])) {
      out << "  " << platform::Cp1252ToUtf8(line) << '\n';
    }
  }
}

bool DocumentShows(const reports::Document& document, std::string_view text) {
  for (const reports::Page& page : document.pages) {
    for (const std::string& line : reports::PageLines(page)) {
      if (line.find(text) != std::string::npos) return true;
    }
  }
  return false;
}

void PrintWindows(const HeadlessEngine& engine, std::ostream& out) {
  for (const Window* window : engine.OpenWindows()) PrintWindow(engine, *window, out);
  if (engine.OpenWindows().empty()) out << "no windows\n";
  if (const PendingDialog* dialog = engine.pending_dialog()) {
    if (dialog->kind == PendingDialog::Kind::kMessage) {
      out << "message " << Quoted(dialog->box.caption) << ' ' << Quoted(dialog->box.text) << " ["
          << ButtonNames(dialog->box.buttons) << ']';
      int icon = SystemIconNumber(dialog->box.icon);
      if (icon != 0) {
        out << " icon " << icon;
      } else if (!dialog->box.icon.empty()) {
        out << " icon " << Quoted(dialog->box.icon);
      }
      out << '\n';
    } else if (dialog->kind == PendingDialog::Kind::kPreview) {
      out << "preview ";
      PrintDocument(*dialog->document, out);
    } else {
      out << "popup\n";
      for (const PopupItem& item : dialog->items) {
        if (item.separator_depth >= 0) out << "  -\n";
        out << "  " << item.number << ' ';
        if (!item.submenu.empty()) out << Quoted(item.submenu) << " / ";
        out << Quoted(item.text) << (item.disabled ? " disabled" : "")
            << (item.check == 1 ? " ticked" : "") << '\n';
      }
    }
  }
}

}  // namespace tentaria::ui
