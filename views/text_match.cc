#include "views/text_match.h"

#include <string>

#include "views/text_rules.h"

namespace tentaria::views {
namespace {

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Matching gives up (no match) after this many steps, so that hostile
// patterns on long texts cannot stall an evaluation.
constexpr long kMaxSteps = 20000000;

// The classic greedy wildcard walk: on a mismatch, let the last "*" take one
// more character.  Time is at most text length times pattern length.
bool MatchWild(std::string_view text, std::string_view pattern) {
  size_t t = 0, p = 0, star = std::string_view::npos, resume = 0;
  for (long steps = 0; t < text.size(); ++steps) {
    if (steps > kMaxSteps) return false;
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// A small backtracking matcher.  Backtracking can take exponential time on
// hostile patterns, so it too gives up after kMaxSteps.
class RegularMatcher {
 public:
  explicit RegularMatcher(std::string_view pattern) : pattern_(pattern) {}

  bool Search(std::string_view text) {
    text_ = text;
    if (!pattern_.empty() && pattern_[0] == '^') return MatchHere(1, 0);
    for (size_t start = 0; start <= text_.size(); ++start) {
      if (MatchHere(0, start)) return true;
      if (steps_ > kMaxSteps) return false;
    }
    return false;
  }

 private:
  static constexpr int kMaxDepth = 200;

  // Length of the item at p: a character, an escaped character or a class.
  size_t ItemLength(size_t p) const {
    if (pattern_[p] == '\\') return p + 1 < pattern_.size() ? 2 : 1;
    if (pattern_[p] != '[') return 1;
    size_t end = p + 1;
    if (end < pattern_.size() && pattern_[end] == '^') ++end;
    if (end < pattern_.size() && pattern_[end] == ']') ++end;
    while (end < pattern_.size() && pattern_[end] != ']') ++end;
    return end < pattern_.size() ? end - p + 1 : pattern_.size() - p;
  }

  bool ItemMatches(size_t p, size_t length, char c) const {
    if (pattern_[p] == '\\') return length == 2 ? pattern_[p + 1] == c : c == '\\';
    if (pattern_[p] == '.') return true;
    if (pattern_[p] != '[') return pattern_[p] == c;
    size_t i = p + 1, end = p + length - 1;
    bool negate = i < end && pattern_[i] == '^';
    if (negate) ++i;
    bool found = false;
    for (; i < end; ++i) {
      if (i + 2 < end && pattern_[i + 1] == '-') {
        auto u = static_cast<unsigned char>(c);
        if (u >= static_cast<unsigned char>(pattern_[i]) &&
            u <= static_cast<unsigned char>(pattern_[i + 2])) {
          found = true;
        }
        i += 2;
      } else if (pattern_[i] == c) {
        found = true;
      }
    }
    return found != negate;
  }

  // Iterative over the pattern, recursing only for repetitions; patterns
  // with more nested repetitions than kMaxDepth match nothing.
  bool MatchHere(size_t p, size_t t) {
    while (true) {
      if (++steps_ > kMaxSteps) return false;
      if (p == pattern_.size()) return true;
      if (pattern_[p] == '$' && p + 1 == pattern_.size()) return t == text_.size();
      size_t length = ItemLength(p);
      char repeat = p + length < pattern_.size() ? pattern_[p + length] : 0;
      if (repeat == '*' || repeat == '+' || repeat == '?') {
        size_t min = repeat == '+' ? 1 : 0;
        size_t max = repeat == '?' ? 1 : text_.size() - t;
        size_t count = 0;
        while (count < max && t + count < text_.size() &&
               ItemMatches(p, length, text_[t + count])) {
          ++count;
        }
        if (depth_ >= kMaxDepth) return false;
        ++depth_;
        bool matched = false;
        for (size_t n = count + 1; !matched && n-- > min && steps_ <= kMaxSteps;) {
          matched = MatchHere(p + length + 1, t + n);
        }
        --depth_;
        return matched;
      }
      if (t >= text_.size() || !ItemMatches(p, length, text_[t])) return false;
      p += length;
      ++t;
    }
  }

  std::string_view pattern_;
  std::string_view text_;
  long steps_ = 0;
  int depth_ = 0;
};

// The four-character sound code: the first letter, then the digits of the
// following consonant groups, zeros to fill.
std::string SoundCode(std::string_view text) {
  static constexpr char kDigits[] = "01230120022455012623010202";  // A..Z
  std::string code;
  char previous = 0;
  for (char raw : text) {
    char c = raw >= 'a' && raw <= 'z' ? static_cast<char>(raw - 'a' + 'A') : raw;
    if (c < 'A' || c > 'Z') continue;
    char digit = kDigits[c - 'A'];
    if (code.empty()) {
      code += c;
    } else if (digit != '0' && digit != previous) {
      code += digit;
    }
    if (c != 'H' && c != 'W') previous = digit;
    if (code.size() == 4) break;
  }
  if (!code.empty()) code.resize(4, '0');
  return code;
}

}  // namespace

bool MatchText(std::string_view text, std::string_view pattern, int mode) {
  std::string folded_text, folded_pattern;
  if (mode & kMatchNoCase) {
    folded_text = UpperText(text);
    folded_pattern = UpperText(pattern);
    text = folded_text;
    pattern = folded_pattern;
  }
  switch (mode & ~kMatchNoCase) {
    case kMatchWild:
      return MatchWild(WithoutTrailingBlanks(text), WithoutTrailingBlanks(pattern));
    case kMatchRegular:
      return RegularMatcher(pattern).Search(text);
    case kMatchSoundex: {
      std::string code = SoundCode(text);
      return !code.empty() && code == SoundCode(pattern);
    }
    case kMatchSimple:
      return CompareTexts(text, pattern) == 0;
    default:
      return false;
  }
}

}  // namespace tentaria::views
