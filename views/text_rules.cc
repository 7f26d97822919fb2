#include "views/text_rules.h"

#include "runtime/collation.h"
#include "runtime/locale.h"

namespace tentaria::views {
namespace {

const runtime::CollationTables& Tables() { return runtime::CurrentLocale().collation(); }

}  // namespace

bool IsNameLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return (Tables().flags[c] & (runtime::kClassUpper | runtime::kClassLower)) != 0;
}

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

std::string UpperText(std::string_view text) { return runtime::ToUpper(Tables(), text); }

std::string LowerText(std::string_view text) { return runtime::ToLower(Tables(), text); }

int CompareTexts(std::string_view a, std::string_view b) {
  return runtime::CompareBlankPadded(Tables(), a, b);
}

std::string NameKey(std::string_view name) { return UpperText(name); }

}  // namespace tentaria::views
