// The format text of a list control: its columns, each with a width in
// dialog units, an alignment, modifiers, a header and a display picture.
//
//   column    := width align ["(" indent ")"] modifiers
//                ["~" header "~" [align ["(" indent ")"]]]
//                ["@" picture "@"] modifiers
//   width     := digits            align := "L" | "R" | "C" | "D"
//   modifiers := any of  | _ F * M ? Y /  (kept as written)
//
// "*" gives the column its four colours (normal foreground and background,
// selected foreground and background) in the list's queue.  A column
// without a picture shows its values as text.
#ifndef TENTARIA_UI_LIST_FORMAT_H_
#define TENTARIA_UI_LIST_FORMAT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace tentaria::ui {

struct ListColumn {
  int width = 0;
  char align = 'L';
  int indent = 0;
  std::string modifiers;
  std::string header;
  char header_align = 'L';
  int header_indent = 0;
  std::string picture;  // without its enclosing "@"s

  bool has_colours() const { return modifiers.find('*') != std::string::npos; }
};

// Parses `text` into `columns`; a malformed text names the offset where it
// went wrong and leaves `columns` empty.
Status ParseListFormat(std::string_view text, std::vector<ListColumn>* columns);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_LIST_FORMAT_H_
