// Whether text typed into an entry reads back through the entry's display
// picture.  The engine refuses text that does not (the rejected event):
// the control keeps what was typed and the focus, and its variable keeps
// its value.
#ifndef TENTARIA_UI_TYPED_TEXT_H_
#define TENTARIA_UI_TYPED_TEXT_H_

#include <string_view>

namespace tentaria::ui {

// Blank text always reads back, as do string and key-in pictures.
// - Date and time pictures: a date or time that does not exist ("31/02",
//   "25:00"), or letters that name no month, are refused.
// - Numeric, pattern and scientific pictures: a number too wide for the
//   picture (it would show as "###"), or a letter that the picture does not
//   show itself (a currency text, the exponent of a scientific picture), is
//   refused.
bool TypedTextReadsBack(std::string_view text, std::string_view picture_text);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_TYPED_TEXT_H_
