// The locale-dependent text rules of the evaluator, kept in one place: the
// letters that may start a name, case conversion, the comparison of texts
// and the case-insensitive form under which names are bound.  All of them
// read the process-wide locale's character tables.
#ifndef TENTARIA_VIEWS_TEXT_RULES_H_
#define TENTARIA_VIEWS_TEXT_RULES_H_

#include <string>
#include <string_view>

namespace tentaria::views {

// A letter of the locale's character tables (A-Z and a-z always are).
bool IsNameLetter(unsigned char c);
bool IsDigit(unsigned char c);

std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);

// Texts compare by the collation, trailing blanks not counting (a field is
// blank-padded, so 'Nederland' equals the field holding it).  Returns -1, 0
// or 1.
int CompareTexts(std::string_view a, std::string_view b);

// The key under which a name is kept in a name table: its upper-case form.
// Two names are the same name when their keys are equal.
std::string NameKey(std::string_view name);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_TEXT_RULES_H_
