// The tokens of the expression language.
//
// Blanks and tabs between tokens are skipped.  A name is looked up in the
// name table as it is scanned: a keyword becomes an operator token.  A
// malformed token (an unrecognised character, an unterminated string or
// picture, a bad number) is a kError token, so that a caller reading only a
// prefix of the text can stop before it.
#ifndef TENTARIA_VIEWS_EXPRESSION_SCANNER_H_
#define TENTARIA_VIEWS_EXPRESSION_SCANNER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "views/expression_node.h"
#include "views/name_table.h"

namespace tentaria::views {

enum class TokenKind : std::uint8_t {
  kEnd,
  kError,
  kName,      // entry is the bound entry, or nullptr when the name is unbound
  kInteger,   // integer
  kReal,      // real
  kString,    // text, quotes removed
  kPicture,   // text, "@" included
  kOperator,  // op; symbol is the character for a one-character operator
  kLeftParen,
  kRightParen,
  kLeftBracket,
  kRightBracket,
  kComma,
  kColon,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  size_t begin = 0;
  size_t end = 0;
  Op op = Op::kNot;
  char symbol = 0;
  std::int32_t integer = 0;
  double real = 0;
  std::string text;
  const NameEntry* entry = nullptr;
};

class Scanner {
 public:
  Scanner(std::string_view text, size_t start, const NameScopes& names)
      : text_(text), pos_(start), names_(names) {}

  Token Next();

 private:
  Token ScanName(size_t begin);
  Token ScanNumber(size_t begin);
  Token ScanString(size_t begin);
  Token ScanPicture(size_t begin);
  unsigned char At(size_t pos) const {
    return pos < text_.size() ? static_cast<unsigned char>(text_[pos]) : 0;
  }

  std::string_view text_;
  size_t pos_;
  const NameScopes& names_;
};

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_EXPRESSION_SCANNER_H_
