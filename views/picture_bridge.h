// FORMAT and DEFORMAT reach the runtime's display pictures only through
// this unit.  The picture text is compiled at each call; an invalid picture
// formats to an empty text and reads back an empty value.
#ifndef TENTARIA_VIEWS_PICTURE_BRIDGE_H_
#define TENTARIA_VIEWS_PICTURE_BRIDGE_H_

#include <string>
#include <string_view>

#include "views/expression_node.h"

namespace tentaria::views {

// FORMAT(value, picture): the value shown through the picture, exactly the
// picture's width.  Integers and reals go to the picture as numbers, texts
// as texts.
std::string FormatWithPicture(const Value& value, std::string_view picture);
// DEFORMAT(text, picture): the value read back from the text, as its text
// form (a number as its decimal digits).
std::string DeformatWithPicture(std::string_view text, std::string_view picture);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PICTURE_BRIDGE_H_
