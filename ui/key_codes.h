// Key codes: 11 bits, the low 8 the key itself (letters and digits as
// their upper-case character, F1 112 to F12 123, Enter 13, Esc 27, ...),
// bit 8 Shift, bit 9 Ctrl, bit 10 Alt.
#ifndef TENTARIA_UI_KEY_CODES_H_
#define TENTARIA_UI_KEY_CODES_H_

#include <optional>
#include <string>
#include <string_view>

namespace tentaria::ui {

inline constexpr int kKeyCodeMask = 0x7FF;
inline constexpr int kShiftKey = 0x100;
inline constexpr int kCtrlKey = 0x200;
inline constexpr int kAltKey = 0x400;

namespace key {
inline constexpr int kMouseLeft = 2;     // a click
inline constexpr int kMouseLeft2 = 130;  // a double click
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEsc = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPgUp = 33;
inline constexpr int kPgDn = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kF1 = 112;
}  // namespace key

// "F1", "Ctrl+F", "Shift+Tab", "Enter", "A", or a number ("112").
// Names compare without regard to case; none for an unknown name.
std::optional<int> KeyCodeFromName(std::string_view name);
std::string KeyName(int code);
// The character a key types (0 for keys that type none): letters in lower
// case unless Shift is held, digits, the blank.
char KeyCharacter(int code);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_KEY_CODES_H_
