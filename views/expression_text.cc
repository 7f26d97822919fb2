#include "views/expression_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "views/number_text.h"

namespace tentaria::views {
namespace {

// Grammar tiers, loosest first; a node's operand must come from its own
// tier or a tighter one (the right operand of a left-associative operator
// from a strictly tighter one), or be put in parentheses.
enum Tier : int {
  kOrTier = 1,
  kAndTier,
  kNotTier,
  kComparisonTier,
  kConcatenationTier,
  kSumTier,
  kProductTier,
  kPowerTier,
  kSignedTier,
  kPrimaryTier,
};

Tier TierOf(const Node& node) {
  if (node.kind == NodeKind::kConstant && node.value_class == ValueClass::kReal &&
      std::signbit(node.real)) {
    return kSignedTier;
  }
  if (node.kind != NodeKind::kUnary && node.kind != NodeKind::kBinary) return kPrimaryTier;
  switch (node.op()) {
    case Op::kOr:
    case Op::kXor:
      return kOrTier;
    case Op::kAnd:
      return kAndTier;
    case Op::kNot:
      return kNotTier;
    case Op::kConcatenate:
      return kConcatenationTier;
    case Op::kAdd:
    case Op::kSubtract:
      return kSumTier;
    case Op::kMultiply:
    case Op::kDivide:
    case Op::kModulo:
      return kProductTier;
    case Op::kPower:
      return kPowerTier;
    case Op::kNegate:
      return kSignedTier;
    default:
      return IsComparison(node.op()) ? kComparisonTier : kPrimaryTier;
  }
}

const char* OperatorText(Op op) {
  switch (op) {
    case Op::kPower:
      return " ^ ";
    case Op::kMultiply:
      return " * ";
    case Op::kDivide:
      return " / ";
    case Op::kModulo:
      return " % ";
    case Op::kNegate:
      return "-";
    case Op::kAdd:
      return " + ";
    case Op::kSubtract:
      return " - ";
    case Op::kConcatenate:
      return " & ";
    case Op::kEqual:
      return " = ";
    case Op::kNotEqual:
      return " <> ";
    case Op::kLess:
      return " < ";
    case Op::kGreater:
      return " > ";
    case Op::kLessOrEqual:
      return " <= ";
    case Op::kGreaterOrEqual:
      return " >= ";
    case Op::kNot:
      return "NOT ";
    case Op::kAnd:
      return " AND ";
    case Op::kOr:
      return " OR ";
    case Op::kXor:
      return " XOR ";
    case Op::kArgumentSeparator:
      return ", ";
    case Op::kRangeSeparator:
      return " : ";
    default:
      return " ? ";
  }
}

// A real that reads back as the same double: the shortest exact digits,
// with a "." so that it does not read as an integer.
std::string RealLiteral(double value) {
  if (std::isinf(value)) return "1.0E999";
  char buffer[40];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value));
  std::string text(buffer, end);
  size_t exponent = text.find('e');
  if (text.find('.') == std::string::npos) {
    text.insert(exponent == std::string::npos ? text.size() : exponent, ".0");
  }
  return text;
}

// A negative integer has no literal of its own; its 32 bits in hexadecimal
// read back as the same value.
std::string IntegerLiteral(std::int32_t value) {
  if (value >= 0) return IntegerToText(value);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0%XH", static_cast<std::uint32_t>(value));
  return buffer;
}

std::string StringLiteral(const std::string& text) {
  std::string literal = "'";
  for (char c : text) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  literal += '\'';
  return literal;
}

class Writer {
 public:
  std::string text;

  void Write(const Node& node);

 private:
  void Operand(const Node& operand, int min_tier);
  void Append(std::string_view part) {
    text += part;
    ended_with_picture_ = false;
  }
  void CloseBracket() {
    // A picture literal runs on through "]"; a blank ends it.
    if (ended_with_picture_) text += ' ';
    Append("]");
  }
  void Indices(const Node& node);

  bool ended_with_picture_ = false;
};

void Writer::Operand(const Node& operand, int min_tier) {
  if (TierOf(operand) >= min_tier) {
    Write(operand);
    return;
  }
  Append("(");
  Write(operand);
  Append(")");
}

// The indices of an array element chain, outermost first.
void Writer::Indices(const Node& node) {
  const Node& base = *node.operands[0];
  if (base.kind == NodeKind::kSubscript && base.op() == Op::kArrayElement) {
    Indices(base);
    Append(", ");
  } else {
    Write(base);
    Append("[");
  }
  Write(*node.operands[1]);
}

void Writer::Write(const Node& node) {
  switch (node.kind) {
    case NodeKind::kConstant:
      switch (node.value_class) {
        case ValueClass::kReal:
          if (std::signbit(node.real)) Append("-");
          Append(RealLiteral(node.real));
          return;
        case ValueClass::kPicture:
          Append(node.text);
          ended_with_picture_ = true;
          return;
        case ValueClass::kString:
          Append(StringLiteral(node.text));
          return;
        default:
          Append(IntegerLiteral(node.integer));
          return;
      }
    case NodeKind::kVariable:
      Append(node.text);
      return;
    case NodeKind::kUnary: {
      Append(OperatorText(node.op()));
      Operand(*node.operands[0], node.op() == Op::kNot ? kComparisonTier : kPrimaryTier);
      return;
    }
    case NodeKind::kBinary: {
      int tier = TierOf(node);
      Operand(*node.operands[0], tier);
      Append(OperatorText(node.op()));
      Operand(*node.operands[1], tier + 1);
      return;
    }
    case NodeKind::kCall:
      Append(node.text);
      Append("(");
      for (size_t i = 0; i < node.operands.size(); ++i) {
        if (i > 0) Append(", ");
        Write(*node.operands[i]);
      }
      Append(")");
      return;
    case NodeKind::kSubscript:
      if (node.op() == Op::kSubstring) {
        Write(*node.operands[0]);
        Append("[");
        Write(*node.operands[1]);
        Append(" : ");
        Write(*node.operands[2]);
      } else {
        Indices(node);
      }
      CloseBracket();
      return;
  }
}

}  // namespace

std::string TextForm(const Node& node) {
  Writer writer;
  writer.Write(node);
  return writer.text;
}

}  // namespace tentaria::views
