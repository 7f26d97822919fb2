#include "views/expression_parser.h"

#include <deque>
#include <string>
#include <utility>

#include "runtime/error_state.h"
#include "views/expression_scanner.h"

namespace tentaria::views {
namespace {

// Parentheses, calls and subscripts nest the parser; deeper text is refused
// before it can exhaust the stack.
constexpr int kMaxNesting = 100;

class Parser {
 public:
  Parser(std::string_view text, size_t start, const NameScopes& names)
      : scanner_(text, start, names), last_end_(start) {}

  NodePtr ParseOr();
  const Token& Peek(size_t i = 0);
  size_t last_end() const { return last_end_; }

 private:
  Token Take();
  bool TakeIf(TokenKind kind);
  bool PeekOperator(Op op, size_t i = 0);

  NodePtr ParseAnd();
  NodePtr ParseNot();
  NodePtr ParseComparison();
  bool TakeComparison(Op* op);
  NodePtr ParseConcatenation();
  NodePtr ParseSum();
  NodePtr ParseProduct();
  NodePtr ParsePower();
  NodePtr ParseSigned();
  NodePtr ParsePrimary();
  NodePtr ParseNested();
  NodePtr ParseCall(const NameEntry& entry);
  NodePtr ParseVariable(const NameEntry& entry);

  Scanner scanner_;
  std::deque<Token> lookahead_;
  size_t last_end_;
  int nesting_ = 0;
};

const Token& Parser::Peek(size_t i) {
  while (lookahead_.size() <= i) lookahead_.push_back(scanner_.Next());
  return lookahead_[i];
}

Token Parser::Take() {
  Peek();
  Token token = std::move(lookahead_.front());
  lookahead_.pop_front();
  last_end_ = token.end;
  return token;
}

bool Parser::TakeIf(TokenKind kind) {
  if (Peek().kind != kind) return false;
  Take();
  return true;
}

bool Parser::PeekOperator(Op op, size_t i) {
  const Token& token = Peek(i);
  return token.kind == TokenKind::kOperator && token.op == op;
}

NodePtr Parser::ParseOr() {
  NodePtr left = ParseAnd();
  while (left && (PeekOperator(Op::kOr) || PeekOperator(Op::kXor))) {
    Op op = Take().op;
    left = MakeBinary(op, std::move(left), ParseAnd());
  }
  return left;
}

NodePtr Parser::ParseAnd() {
  NodePtr left = ParseNot();
  while (left && PeekOperator(Op::kAnd)) {
    Take();
    left = MakeBinary(Op::kAnd, std::move(left), ParseNot());
  }
  return left;
}

NodePtr Parser::ParseNot() {
  bool invert = false;
  while (PeekOperator(Op::kNot)) {
    Take();
    invert = !invert;
  }
  NodePtr operand = ParseComparison();
  if (!invert || !operand) return operand;
  return MakeUnary(Op::kNot, std::move(operand));
}

// One comparison operator, made of one token or of two adjacent ones.
bool Parser::TakeComparison(Op* op) {
  const Token& first = Peek();
  if (first.kind != TokenKind::kOperator || first.symbol == 0) return false;
  char second = Peek(1).kind == TokenKind::kOperator ? Peek(1).symbol : 0;
  Op single;
  Op combined;
  switch (first.symbol) {
    case '<':
      single = Op::kLess;
      combined = second == '>' ? Op::kNotEqual : second == '=' ? Op::kLessOrEqual : single;
      break;
    case '>':
      single = Op::kGreater;
      combined = second == '=' ? Op::kGreaterOrEqual : single;
      break;
    case '=':
      single = Op::kEqual;
      combined = second == '<' ? Op::kLessOrEqual : second == '>' ? Op::kGreaterOrEqual : single;
      break;
    case '~':
      combined = second == '='   ? Op::kNotEqual
                 : second == '<' ? Op::kGreaterOrEqual
                 : second == '>' ? Op::kLessOrEqual
                                 : Op::kNot;
      if (combined == Op::kNot) return false;  // a lone "~" is no comparison
      single = Op::kNot;
      break;
    default:
      return false;
  }
  Take();
  if (combined != single) Take();
  *op = combined;
  return true;
}

NodePtr Parser::ParseComparison() {
  NodePtr left = ParseConcatenation();
  Op op;
  while (left && TakeComparison(&op)) {
    left = MakeBinary(op, std::move(left), ParseConcatenation());
  }
  return left;
}

NodePtr Parser::ParseConcatenation() {
  NodePtr left = ParseSum();
  while (left && PeekOperator(Op::kConcatenate)) {
    Take();
    left = MakeBinary(Op::kConcatenate, std::move(left), ParseSum());
  }
  return left;
}

NodePtr Parser::ParseSum() {
  NodePtr left = ParseProduct();
  while (left && (PeekOperator(Op::kAdd) || PeekOperator(Op::kSubtract))) {
    Op op = Take().op;
    left = MakeBinary(op, std::move(left), ParseProduct());
  }
  return left;
}

NodePtr Parser::ParseProduct() {
  NodePtr left = ParsePower();
  while (left &&
         (PeekOperator(Op::kMultiply) || PeekOperator(Op::kDivide) || PeekOperator(Op::kModulo))) {
    Op op = Take().op;
    left = MakeBinary(op, std::move(left), ParsePower());
  }
  return left;
}

NodePtr Parser::ParsePower() {
  NodePtr left = ParseSigned();
  while (left && PeekOperator(Op::kPower)) {
    Take();
    left = MakeBinary(Op::kPower, std::move(left), ParseSigned());
  }
  return left;
}

NodePtr Parser::ParseSigned() {
  bool negate = false;
  while (PeekOperator(Op::kAdd) || PeekOperator(Op::kSubtract)) {
    if (Take().op == Op::kSubtract) negate = !negate;
  }
  NodePtr operand = ParsePrimary();
  if (!negate || !operand) return operand;
  return MakeUnary(Op::kNegate, std::move(operand));
}

// An or-expression one nesting level deeper.
NodePtr Parser::ParseNested() {
  if (nesting_ >= kMaxNesting) return nullptr;
  ++nesting_;
  NodePtr node = ParseOr();
  --nesting_;
  return node;
}

NodePtr Parser::ParsePrimary() {
  const Token& token = Peek();
  switch (token.kind) {
    case TokenKind::kLeftParen: {
      Take();
      NodePtr inner = ParseNested();
      if (!inner || !TakeIf(TokenKind::kRightParen)) return nullptr;
      return inner;
    }
    case TokenKind::kInteger:
      return MakeInteger(Take().integer);
    case TokenKind::kReal:
      return MakeReal(Take().real);
    case TokenKind::kString:
      return MakeString(Take().text);
    case TokenKind::kPicture:
      return MakePicture(Take().text);
    case TokenKind::kName: {
      Token name = Take();
      if (!name.entry) {
        runtime::SetDriverError(kNoBindError, 0, "No BIND on variable (" + name.text + ")", {});
        return nullptr;
      }
      if (name.entry->kind == EntryKind::kFunction) return ParseCall(*name.entry);
      return ParseVariable(*name.entry);
    }
    default:
      return nullptr;
  }
}

NodePtr Parser::ParseCall(const NameEntry& entry) {
  if (!TakeIf(TokenKind::kLeftParen)) return nullptr;
  std::vector<NodePtr> arguments;
  if (!TakeIf(TokenKind::kRightParen)) {
    while (true) {
      if (static_cast<int>(arguments.size()) >= entry.max_arguments) return nullptr;
      NodePtr argument = ParseNested();
      if (!argument) return nullptr;
      arguments.push_back(std::move(argument));
      if (TakeIf(TokenKind::kRightParen)) break;
      if (!TakeIf(TokenKind::kComma)) return nullptr;
    }
  }
  return MakeCall(entry.function, entry.name, entry.max_arguments, entry.value_class,
                  std::move(arguments), entry.procedure);
}

// A variable with an optional subscript: "[i, j]" picks an element of an
// array, one level per index; "[first : last]" a substring.  A single index
// on a variable that is no array picks one character.
NodePtr Parser::ParseVariable(const NameEntry& entry) {
  NodePtr node = MakeVariable(entry.name, entry.variable);
  if (!TakeIf(TokenKind::kLeftBracket)) return node;
  NodePtr first = ParseNested();
  if (!first) return nullptr;
  if (TakeIf(TokenKind::kColon)) {
    NodePtr last = ParseNested();
    if (!last || !TakeIf(TokenKind::kRightBracket)) return nullptr;
    return MakeSubstring(std::move(node), std::move(first), std::move(last));
  }
  size_t dimensions = entry.variable.dimensions.size();
  if (dimensions == 0) {
    if (!TakeIf(TokenKind::kRightBracket)) return nullptr;
    NodePtr last = Clone(*first);
    return MakeSubstring(std::move(node), std::move(first), std::move(last));
  }
  node = MakeArrayElement(std::move(node), std::move(first));
  for (size_t used = 1; node && TakeIf(TokenKind::kComma); ++used) {
    if (used >= dimensions) return nullptr;
    node = MakeArrayElement(std::move(node), ParseNested());
  }
  if (!node || !TakeIf(TokenKind::kRightBracket)) return nullptr;
  return node;
}

}  // namespace

NodePtr Compile(std::string_view text, const NameScopes& names) {
  Parser parser(text, 0, names);
  NodePtr tree = parser.ParseOr();
  if (!tree || parser.Peek().kind != TokenKind::kEnd) return nullptr;
  return tree;
}

NodePtr CompilePrefix(std::string_view text, size_t start, size_t* end, const NameScopes& names) {
  if (start > text.size()) return nullptr;
  Parser parser(text, start, names);
  NodePtr tree = parser.ParseOr();
  if (tree && end) *end = parser.last_end();
  return tree;
}

}  // namespace tentaria::views
