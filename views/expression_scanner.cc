#include "views/expression_scanner.h"

#include <cstdint>

#include "views/number_text.h"
#include "views/text_rules.h"

namespace tentaria::views {
namespace {

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

unsigned char AsciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// The value of a digit or letter as a digit: 0-9, then A = 10 ... Z = 35.
int DigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return AsciiUpper(c) - 'A' + 10;
}

Token Error(size_t begin, size_t end) {
  Token token;
  token.kind = TokenKind::kError;
  token.begin = begin;
  token.end = end;
  return token;
}

Token Simple(TokenKind kind, size_t begin) {
  Token token;
  token.kind = kind;
  token.begin = begin;
  token.end = begin + 1;
  return token;
}

Token Operator(Op op, char symbol, size_t begin) {
  Token token = Simple(TokenKind::kOperator, begin);
  token.op = op;
  token.symbol = symbol;
  return token;
}

Token RealToken(std::string_view lexeme, size_t begin, size_t end) {
  Token token;
  token.kind = TokenKind::kReal;
  token.begin = begin;
  token.end = end;
  token.real = TextToReal(lexeme);
  return token;
}

Token IntegerToken(std::int32_t value, size_t begin, size_t end) {
  Token token;
  token.kind = TokenKind::kInteger;
  token.begin = begin;
  token.end = end;
  token.integer = value;
  return token;
}

// Digits of `digits` in the radix, as 32 bits (so 0FFFFFFFFH is -1); false
// when a digit is not below the radix or the value needs more than 32 bits.
bool ParseRadix(std::string_view digits, int radix, std::int32_t* value) {
  std::uint64_t result = 0;
  for (char c : digits) {
    int digit = DigitValue(static_cast<unsigned char>(c));
    if (digit >= radix) return false;
    result = result * radix + digit;
    if (result > UINT32_MAX) return false;
  }
  *value = static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
  return true;
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!IsDigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

Token Scanner::Next() {
  while (At(pos_) == ' ' || At(pos_) == '\t') ++pos_;
  size_t begin = pos_;
  if (pos_ >= text_.size()) {
    Token token;
    token.begin = token.end = begin;
    return token;
  }
  unsigned char c = At(pos_);
  Token token;
  if (IsNameLetter(c) || c == '_' || c == '?') {
    token = ScanName(begin);
  } else if (IsDigit(c) || (c == '.' && IsDigit(At(pos_ + 1)))) {
    token = ScanNumber(begin);
  } else if (c == '\'') {
    token = ScanString(begin);
  } else if (c == '@') {
    token = ScanPicture(begin);
  } else {
    switch (c) {
      case '+':
        token = Operator(Op::kAdd, '+', begin);
        break;
      case '-':
        token = Operator(Op::kSubtract, '-', begin);
        break;
      case '*':
        token = Operator(Op::kMultiply, '*', begin);
        break;
      case '/':
        token = Operator(Op::kDivide, '/', begin);
        break;
      case '%':
        token = Operator(Op::kModulo, '%', begin);
        break;
      case '^':
        token = Operator(Op::kPower, '^', begin);
        break;
      case '&':
        token = Operator(Op::kConcatenate, '&', begin);
        break;
      case '=':
        token = Operator(Op::kEqual, '=', begin);
        break;
      case '<':
        token = Operator(Op::kLess, '<', begin);
        break;
      case '>':
        token = Operator(Op::kGreater, '>', begin);
        break;
      case '~':
        token = Operator(Op::kNot, '~', begin);
        break;
      case ',':
        token = Simple(TokenKind::kComma, begin);
        break;
      case ':':
        token = Simple(TokenKind::kColon, begin);
        break;
      case '(':
        token = Simple(TokenKind::kLeftParen, begin);
        break;
      case ')':
        token = Simple(TokenKind::kRightParen, begin);
        break;
      case '[':
        token = Simple(TokenKind::kLeftBracket, begin);
        break;
      case ']':
        token = Simple(TokenKind::kRightBracket, begin);
        break;
      default:
        token = Error(begin, begin + 1);
        break;
    }
  }
  pos_ = token.end;
  return token;
}

Token Scanner::ScanName(size_t begin) {
  size_t end = begin + 1;
  while (IsNameLetter(At(end)) || IsDigit(At(end)) || At(end) == '_' || At(end) == ':') ++end;
  if (At(end) == '#' || At(end) == '$' || At(end) == '"') ++end;
  Token token;
  token.begin = begin;
  token.end = end;
  token.text = std::string(text_.substr(begin, end - begin));
  token.entry = names_.Lookup(token.text);
  if (token.entry && token.entry->kind == EntryKind::kKeyword) {
    token.kind = TokenKind::kOperator;
    token.op = token.entry->op;
  } else {
    token.kind = TokenKind::kName;
  }
  return token;
}

// "1.5", ".5", "2E3", "1E+5" are reals; "255", "0FFH", "17O", "101B" are
// integers; any other run of digits and letters is an error.  A decimal
// integer too large for 32 bits is taken as a real rather than refused.
Token Scanner::ScanNumber(size_t begin) {
  size_t run_end = begin;
  while (IsDigit(At(run_end)) || IsAsciiLetter(At(run_end))) ++run_end;
  std::string_view run = text_.substr(begin, run_end - begin);

  if (AllDigits(run) && At(run_end) == '.') {
    size_t end = run_end + 1;
    while (IsDigit(At(end))) ++end;
    if ((At(end) == 'E' || At(end) == 'e')) {
      size_t exponent = end + 1;
      if (At(exponent) == '+' || At(exponent) == '-') ++exponent;
      if (IsDigit(At(exponent))) {
        end = exponent;
        while (IsDigit(At(end))) ++end;
      }
    }
    if (IsAsciiLetter(At(end))) return Error(begin, end);
    return RealToken(text_.substr(begin, end - begin), begin, end);
  }

  if (AllDigits(run)) {
    std::int32_t value = 0;
    if (ParseRadix(run, 10, &value) && value >= 0) {
      return IntegerToken(value, begin, run_end);
    }
    return RealToken(run, begin, run_end);
  }

  int radix = 0;
  switch (AsciiUpper(static_cast<unsigned char>(run.back()))) {
    case 'H':
      radix = 16;
      break;
    case 'O':
      radix = 8;
      break;
    case 'B':
      radix = 2;
      break;
  }
  std::string_view digits = run.substr(0, run.size() - 1);
  std::int32_t value = 0;
  if (radix != 0 && ParseRadix(digits, radix, &value)) {
    return IntegerToken(value, begin, run_end);
  }

  // Digits, "E", digits: a real with an exponent; the exponent's sign, if
  // any, follows the run.
  size_t e = 0;
  while (e < run.size() && IsDigit(static_cast<unsigned char>(run[e]))) ++e;
  if (AsciiUpper(static_cast<unsigned char>(run[e])) == 'E') {
    std::string_view after = run.substr(e + 1);
    if (!after.empty() && AllDigits(after)) return RealToken(run, begin, run_end);
    if (after.empty() && (At(run_end) == '+' || At(run_end) == '-') && IsDigit(At(run_end + 1))) {
      size_t end = run_end + 1;
      while (IsDigit(At(end))) ++end;
      if (IsAsciiLetter(At(end))) return Error(begin, end);
      return RealToken(text_.substr(begin, end - begin), begin, end);
    }
  }
  return Error(begin, run_end);
}

Token Scanner::ScanString(size_t begin) {
  Token token;
  token.kind = TokenKind::kString;
  token.begin = begin;
  size_t pos = begin + 1;
  while (true) {
    if (pos >= text_.size()) return Error(begin, text_.size());
    if (text_[pos] == '\'') {
      if (At(pos + 1) != '\'') break;
      ++pos;  // two quotes stand for one
    }
    token.text += text_[pos++];
  }
  token.end = pos + 1;
  return token;
}

// "@P" and "@K" pictures run to their closing letter; others end at a
// blank, "," or ")" outside parentheses, the "~" currency text of an "@N"
// picture being passed over whole.  A "B" after a closing letter belongs to
// the picture.
Token Scanner::ScanPicture(size_t begin) {
  unsigned char kind = AsciiUpper(At(begin + 1));
  if (begin + 1 >= text_.size() || kind == ' ' || kind == '\t') return Error(begin, begin + 1);
  size_t end = begin + 2;
  if (kind == 'P' || kind == 'K') {
    while (end < text_.size() && AsciiUpper(At(end)) != kind) ++end;
    if (end >= text_.size()) return Error(begin, text_.size());
    ++end;
    if (AsciiUpper(At(end)) == 'B') ++end;
  } else {
    int depth = 0;
    bool in_currency = false;
    for (; end < text_.size(); ++end) {
      unsigned char c = At(end);
      if (kind == 'N' && c == '~') {
        in_currency = !in_currency;
        continue;
      }
      if (in_currency) continue;
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (depth == 0) break;
        --depth;
      } else if (depth == 0 && (c == ' ' || c == '\t' || c == ',')) {
        break;
      }
    }
  }
  Token token;
  token.kind = TokenKind::kPicture;
  token.begin = begin;
  token.end = end;
  token.text = std::string(text_.substr(begin, end - begin));
  return token;
}

}  // namespace tentaria::views
