#include "framework/error_placeholders.h"

namespace tentaria::framework {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, size_t at, std::string_view placeholder) {
  if (text.size() - at < placeholder.size()) return false;
  for (size_t i = 0; i < placeholder.size(); ++i) {
    if (AsciiLower(text[at + i]) != AsciiLower(placeholder[i])) return false;
  }
  return true;
}

}  // namespace

size_t FindPlaceholder(std::string_view text, std::string_view placeholder, size_t from) {
  if (placeholder.empty()) return std::string_view::npos;
  for (size_t at = from; at < text.size(); ++at) {
    if (MatchesAt(text, at, placeholder)) return at;
  }
  return std::string_view::npos;
}

void ReplacePlaceholder(std::string* text, std::string_view placeholder, std::string_view value,
                        size_t limit) {
  size_t at = FindPlaceholder(*text, placeholder);
  while (at != std::string::npos) {
    text->replace(at, placeholder.size(), value);
    if (text->size() > limit) text->resize(limit);
    at = FindPlaceholder(*text, placeholder, at + value.size());
  }
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace tentaria::framework
