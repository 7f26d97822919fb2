// Placeholders in message texts ("%File", "%ErrorText", ...): found without
// regard to letter case and replaced within the error manager's work
// buffer.
#ifndef TENTARIA_FRAMEWORK_ERROR_PLACEHOLDERS_H_
#define TENTARIA_FRAMEWORK_ERROR_PLACEHOLDERS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace tentaria::framework {

// The first occurrence of `placeholder` at or after `from`, comparing
// ASCII letters without regard to case; npos when there is none.
size_t FindPlaceholder(std::string_view text, std::string_view placeholder, size_t from = 0);

// Replaces every occurrence of `placeholder` in *text by `value`, keeping
// *text within `limit` bytes (what does not fit is cut off at the end).
// The search goes on after the text just brought in, so a value that
// holds the placeholder itself is not replaced again: a file named
// "%File.TVN" would otherwise be expanded without end.
void ReplacePlaceholder(std::string* text, std::string_view placeholder, std::string_view value,
                        size_t limit);

// The text without its trailing blanks, as a fixed-length field is shown.
std::string_view TrimTrailingBlanks(std::string_view text);

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_ERROR_PLACEHOLDERS_H_
