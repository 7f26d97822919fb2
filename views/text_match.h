// MATCH(text, pattern, mode): whether a text matches a pattern.
//
// Modes (the runtime's own numbering):
//   0  wildcard: "*" any run of characters, "?" any one character
//   1  regular expression: "." any character, "[...]" a class ("^" first
//      negates, "a-z" ranges), "*", "+" and "?" after an item, "^" and "$"
//      anchors, "\" takes the next character literally; unanchored, so the
//      pattern may match anywhere in the text
//   2  sound-alike: both texts give the same four-character sound code
//   3  simple: the texts are equal (trailing blanks do not count)
// Adding kMatchNoCase compares without regard to case.  Wildcard and
// simple patterns must match the whole text, trailing blanks of the text
// not counting.  An unknown mode matches nothing.  Wildcard and regular
// matching give up, as no match, after a fixed budget of steps: only hostile
// patterns on very long texts reach it.
#ifndef TENTARIA_VIEWS_TEXT_MATCH_H_
#define TENTARIA_VIEWS_TEXT_MATCH_H_

#include <string_view>

namespace tentaria::views {

inline constexpr int kMatchWild = 0;
inline constexpr int kMatchRegular = 1;
inline constexpr int kMatchSoundex = 2;
inline constexpr int kMatchSimple = 3;
inline constexpr int kMatchNoCase = 16;

bool MatchText(std::string_view text, std::string_view pattern, int mode);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_TEXT_MATCH_H_
