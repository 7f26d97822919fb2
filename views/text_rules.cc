#include "views/text_rules.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>

#include "runtime/collation.h"
#include "runtime/locale.h"

namespace tentaria::views {
namespace {

// The process-wide locale stays the one object; changes go into it.
const runtime::CollationTables& Tables() {
  static const runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  return tables;
}

// The characters that read as two in comparisons, as a set, rebuilt when
// the locale's digraph entries change (a filter asks for every row).
class DigraphCharacters {
 public:
  explicit DigraphCharacters(const runtime::CollationTables& tables) {
    // The entries are plain bytes; compared as one block they cost little.
    static_assert(sizeof(runtime::Digraph) == 3);
    if (!known_ || std::memcmp(tables.digraphs.data(), seen_.data(), sizeof seen_) != 0) {
      seen_ = tables.digraphs;
      set_.reset();
      for (const runtime::Digraph& digraph : seen_) {
        if (digraph.character != 0) set_.set(digraph.character);
      }
      known_ = true;
    }
  }
  bool Has(uint8_t c) const { return set_.test(c); }

 private:
  static thread_local inline bool known_ = false;
  static thread_local inline std::array<runtime::Digraph, runtime::kMaxDigraphs> seen_{};
  static thread_local inline std::bitset<256> set_;
};

}  // namespace

bool IsNameLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return (Tables().flags[c] & (runtime::kClassUpper | runtime::kClassLower)) != 0;
}

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

std::string UpperText(std::string_view text) { return runtime::ToUpper(Tables(), text); }

std::string LowerText(std::string_view text) { return runtime::ToLower(Tables(), text); }

int CompareTexts(std::string_view a, std::string_view b) {
  // Equal bytes read as equal characters, so a common start decides
  // nothing; a filter mostly compares texts that share their start or
  // differ in their first bytes.
  size_t common = 0;
  size_t shorter = std::min(a.size(), b.size());
  while (common < shorter && a[common] == b[common]) ++common;
  a.remove_prefix(common);
  b.remove_prefix(common);
  const runtime::CollationTables& tables = Tables();
  DigraphCharacters digraphs(tables);
  // What is left of a field beside a shorter text is often blanks only;
  // they equal the end when a blank is no digraph.
  if (a.empty() || b.empty()) {
    std::string_view rest = a.empty() ? b : a;
    if (rest.find_first_not_of(' ') == std::string_view::npos && !digraphs.Has(' ')) return 0;
  }
  // The first characters that differ mostly decide by their weights.
  if (!a.empty() && !b.empty()) {
    auto x = static_cast<uint8_t>(a[0]);
    auto y = static_cast<uint8_t>(b[0]);
    if (tables.weight[x] != tables.weight[y] && !digraphs.Has(x) && !digraphs.Has(y)) {
      return tables.weight[x] < tables.weight[y] ? -1 : 1;
    }
  }
  return runtime::CompareBlankPadded(tables, a, b);
}

std::string NameKey(std::string_view name) { return UpperText(name); }

}  // namespace tentaria::views
