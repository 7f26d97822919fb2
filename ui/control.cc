#include "ui/control.h"

#include "runtime/picture_compile.h"
#include "runtime/picture_format.h"

namespace tentaria::ui {
namespace {

constexpr std::string_view kKindNames[] = {
    "button", "entry", "prompt", "string", "check", "option", "radio", "drop",    "list",
    "sheet",  "tab",   "group",  "image",  "text",  "menu",   "item",  "toolbar",
};

// A list row is about 10 dialog units high.
constexpr int kRowHeight = 10;

}  // namespace

std::string_view ControlKindName(ControlKind kind) { return kKindNames[static_cast<int>(kind)]; }

Status Control::SetFormat(std::string_view format) {
  format_text.assign(format);
  return ParseListFormat(format, &columns);
}

std::string Control::CellText(int row, int column) const {
  if (row < 1 || row > static_cast<int>(rows.size())) return {};
  const ListRow& cells = rows[row - 1];
  if (column < 1 || column > static_cast<int>(cells.size())) return {};
  const runtime::PictureValue& cell = cells[column - 1].value;
  std::string_view picture_text;
  if (column <= static_cast<int>(columns.size())) picture_text = columns[column - 1].picture;
  if (picture_text.empty()) return cell.text();
  return runtime::FormatPicture(cell, runtime::CompilePicture(picture_text));
}

int Control::PageRows() const {
  if (visible_rows > 0) return visible_rows;
  return height >= kRowHeight ? height / kRowHeight : 1;
}

std::string Control::RadioValue() const {
  return value.empty() ? TextWithoutAccessKey(text) : value;
}

std::string TextWithoutAccessKey(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      plain.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      plain.push_back('&');
      ++i;
    }
  }
  return plain;
}

}  // namespace tentaria::ui
