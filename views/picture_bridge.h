// FORMAT and DEFORMAT reach display pictures only through this unit.
//
// The picture unit is not part of the build yet: until it is connected
// here, both functions report run-time error kPictureUnavailableError and
// yield an empty text, so an expression that uses them fails visibly
// instead of showing unformatted values.
#ifndef TENTARIA_VIEWS_PICTURE_BRIDGE_H_
#define TENTARIA_VIEWS_PICTURE_BRIDGE_H_

#include <optional>
#include <string>
#include <string_view>

namespace tentaria::views {

// The run-time error raised while no picture unit is connected.
inline constexpr int kPictureUnavailableError = 406;

// FORMAT(value, picture): the value shown through the picture.  `text` is
// the value's string form, `number` its real value and `is_number` tells
// which of the two the picture should take.
std::optional<std::string> FormatWithPicture(std::string_view text, double number, bool is_number,
                                             std::string_view picture);
// DEFORMAT(text, picture): the value read back from typed text, as text.
std::optional<std::string> DeformatWithPicture(std::string_view text, std::string_view picture);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PICTURE_BRIDGE_H_
