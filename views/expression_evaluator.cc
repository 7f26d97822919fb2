#include "views/expression_evaluator.h"

#include <cmath>
#include <string>
#include <vector>

#include "runtime/error_state.h"
#include "runtime/string_stack.h"
#include "runtime/value_types.h"
#include "views/builtin_functions.h"
#include "views/number_text.h"
#include "views/text_rules.h"
#include "views/variable_value.h"

namespace tentaria::views {
namespace {

void Unsupported(const Node& node) {
  runtime::RaiseRuntimeError(kUnsupportedOperatorError,
                             "Unsupported expression operator " + std::to_string(node.code));
}

bool IsIntegral(ValueClass value_class) {
  return value_class == ValueClass::kTruth || value_class == ValueClass::kInteger;
}

bool IsLogical(const Node& node) {
  if (node.kind == NodeKind::kUnary) return node.op() == Op::kNot;
  if (node.kind != NodeKind::kBinary) return false;
  Op op = node.op();
  return IsComparison(op) || op == Op::kAnd || op == Op::kOr || op == Op::kXor;
}

// The storage that a variable or array element node stands for: the
// element's bytes, the variable it belongs to and how many of its
// dimensions the indices used.
struct Storage {
  VariableView view;
  const BoundVariable* variable = nullptr;
  size_t used_dimensions = 0;
};

// False for an index outside the array (which reads as 0 or "") and for a
// node that stands for no storage.
bool Resolve(const Node& node, Storage* storage) {
  if (node.kind == NodeKind::kVariable) {
    *storage = {ViewOf(node.variable), &node.variable, 0};
    return true;
  }
  if (node.kind != NodeKind::kSubscript || node.op() != Op::kArrayElement ||
      !Resolve(*node.operands[0], storage)) {
    return false;
  }
  const std::vector<ArrayDimension>& dimensions = storage->variable->dimensions;
  if (storage->used_dimensions >= dimensions.size()) return false;
  const ArrayDimension& dimension = dimensions[storage->used_dimensions];
  std::int32_t index = EvaluateInteger(*node.operands[1]);
  if (index < 1 || index > dimension.count) return false;
  storage->view.address += static_cast<std::ptrdiff_t>(index - 1) * dimension.stride;
  ++storage->used_dimensions;
  return true;
}

bool ResolveStorage(const Node& node, VariableView* view) {
  Storage storage;
  if (!Resolve(node, &storage)) return false;
  *view = storage.view;
  return true;
}

std::string Substring(const Node& node) {
  std::string text = EvaluateText(*node.operands[0]);
  std::int64_t first = EvaluateInteger(*node.operands[1]);
  std::int64_t last = EvaluateInteger(*node.operands[2]);
  if (first < 1) first = 1;
  if (last > static_cast<std::int64_t>(text.size())) last = static_cast<std::int64_t>(text.size());
  if (first > last) return {};
  return text.substr(first - 1, last - first + 1);
}

double Arithmetic(const Node& node) {
  double a = EvaluateReal(*node.operands[0]);
  double b = EvaluateReal(*node.operands[1]);
  switch (node.op()) {
    case Op::kPower:
      return std::pow(a, b);
    case Op::kMultiply:
      return a * b;
    case Op::kDivide:
      return a / b;
    case Op::kModulo:
      return std::fmod(a, b);
    case Op::kAdd:
      return a + b;
    case Op::kSubtract:
      return a - b;
    default:
      break;
  }
  Unsupported(node);
  return 0;
}

}  // namespace

bool ComparisonHolds(Op op, int order) {
  if (order == kUnordered) return op == Op::kNotEqual;
  switch (op) {
    case Op::kEqual:
      return order == 0;
    case Op::kNotEqual:
      return order != 0;
    case Op::kLess:
      return order < 0;
    case Op::kGreater:
      return order > 0;
    case Op::kLessOrEqual:
      return order <= 0;
    case Op::kGreaterOrEqual:
      return order >= 0;
    default:
      return false;
  }
}

int CompareOperands(const Node& a, const Node& b) {
  if (IsIntegral(a.value_class) && IsIntegral(b.value_class)) {
    std::int32_t x = EvaluateInteger(a);
    std::int32_t y = EvaluateInteger(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (a.value_class == ValueClass::kString && b.value_class == ValueClass::kString) {
    std::string scratch_a;
    std::string scratch_b;
    std::string_view x = EvaluateTextView(a, &scratch_a);
    std::string_view y = EvaluateTextView(b, &scratch_b);
    return CompareTexts(x, y);
  }
  double x = EvaluateReal(a);
  double y = EvaluateReal(b);
  if (std::isnan(x) || std::isnan(y)) return kUnordered;
  return x < y ? -1 : x > y ? 1 : 0;
}

bool FreeOfEffects(const Node& node) {
  switch (node.kind) {
    case NodeKind::kConstant:
      return true;
    case NodeKind::kVariable:
      return ReadsWithoutEffects(node.variable.type);
    case NodeKind::kUnary:
      if (node.op() != Op::kNot && node.op() != Op::kNegate) return false;
      break;
    case NodeKind::kBinary:
      if (!IsLogical(node)) return false;
      break;
    case NodeKind::kCall:
    case NodeKind::kSubscript:
      return false;
  }
  for (const NodePtr& operand : node.operands) {
    if (!FreeOfEffects(*operand)) return false;
  }
  return true;
}

bool EvaluateTruth(const Node& node) {
  if (node.kind == NodeKind::kUnary && node.op() == Op::kNot) {
    return !EvaluateTruth(*node.operands[0]);
  }
  if (node.kind == NodeKind::kBinary) {
    Op op = node.op();
    if (IsComparison(op)) {
      return ComparisonHolds(op, CompareOperands(*node.operands[0], *node.operands[1]));
    }
    if (op == Op::kAnd || op == Op::kOr || op == Op::kXor) {
      bool a = EvaluateTruth(*node.operands[0]);
      bool b = EvaluateTruth(*node.operands[1]);
      return op == Op::kAnd ? a && b : op == Op::kOr ? a || b : a != b;
    }
  }
  if (IsIntegral(node.value_class)) return EvaluateInteger(node) != 0;
  return EvaluateReal(node) != 0;
}

std::int32_t EvaluateInteger(const Node& node) {
  switch (node.kind) {
    case NodeKind::kConstant:
      if (node.value_class == ValueClass::kInteger) return node.integer;
      break;
    case NodeKind::kVariable: {
      return ReadInteger(ViewOf(node.variable));
    }
    case NodeKind::kUnary:
      if (node.op() == Op::kNot) return EvaluateTruth(node) ? 1 : 0;
      if (node.op() == Op::kNegate && IsIntegral(node.operands[0]->value_class)) {
        // Wraps like the 32-bit negation it stands for, without overflow.
        auto magnitude = static_cast<std::uint32_t>(EvaluateInteger(*node.operands[0]));
        return static_cast<std::int32_t>(0u - magnitude);
      }
      break;
    case NodeKind::kBinary:
      if (IsLogical(node)) return EvaluateTruth(node) ? 1 : 0;
      break;
    case NodeKind::kCall:
      if (IsIntegral(node.value_class)) return CallFunction(node).integer;
      break;
    case NodeKind::kSubscript:
      if (node.op() == Op::kArrayElement) {
        VariableView view;
        return ResolveStorage(node, &view) ? ReadInteger(view) : 0;
      }
      break;
  }
  return runtime::RealToInt32(EvaluateReal(node));
}

double EvaluateReal(const Node& node) {
  switch (node.kind) {
    case NodeKind::kConstant:
      if (node.value_class == ValueClass::kInteger) return node.integer;
      if (node.value_class == ValueClass::kReal) return node.real;
      return TextToReal(node.text);
    case NodeKind::kVariable:
      return ReadReal(ViewOf(node.variable));
    case NodeKind::kUnary:
      if (node.op() == Op::kNegate) return -EvaluateReal(*node.operands[0]);
      if (node.op() == Op::kNot) return EvaluateTruth(node) ? 1 : 0;
      break;
    case NodeKind::kBinary:
      if (IsLogical(node)) return EvaluateTruth(node) ? 1 : 0;
      if (node.op() == Op::kConcatenate) return TextToReal(EvaluateText(node));
      return Arithmetic(node);
    case NodeKind::kCall: {
      Value value = CallFunction(node);
      if (IsIntegral(value.value_class)) return value.integer;
      if (value.value_class == ValueClass::kReal) return value.real;
      return TextToReal(value.text);
    }
    case NodeKind::kSubscript:
      if (node.op() == Op::kArrayElement) {
        VariableView view;
        return ResolveStorage(node, &view) ? ReadReal(view) : 0;
      }
      if (node.op() == Op::kSubstring) return TextToReal(Substring(node));
      break;
  }
  Unsupported(node);
  return 0;
}

std::string EvaluateText(const Node& node) {
  switch (node.kind) {
    case NodeKind::kConstant:
      if (node.value_class == ValueClass::kInteger) return IntegerToText(node.integer);
      if (node.value_class == ValueClass::kReal) return RealToText(node.real);
      return node.text;
    case NodeKind::kVariable:
      return ReadText(ViewOf(node.variable));
    case NodeKind::kBinary:
      if (node.op() == Op::kConcatenate) {
        std::string text = EvaluateText(*node.operands[0]);
        text += EvaluateText(*node.operands[1]);
        return text;
      }
      break;
    case NodeKind::kCall: {
      Value value = CallFunction(node);
      if (IsIntegral(value.value_class)) return IntegerToText(value.integer);
      if (value.value_class == ValueClass::kReal) return RealToText(value.real);
      return std::move(value.text);
    }
    case NodeKind::kSubscript:
      if (node.op() == Op::kSubstring) return Substring(node);
      if (node.op() == Op::kArrayElement) {
        VariableView view;
        return ResolveStorage(node, &view) ? ReadText(view) : std::string();
      }
      break;
    case NodeKind::kUnary:
      break;
  }
  if (IsIntegral(node.value_class)) return IntegerToText(EvaluateInteger(node));
  return RealToText(EvaluateReal(node));
}

std::string_view EvaluateTextView(const Node& node, std::string* scratch) {
  if (node.kind == NodeKind::kConstant &&
      (node.value_class == ValueClass::kString || node.value_class == ValueClass::kPicture)) {
    return node.text;
  }
  if (node.kind == NodeKind::kVariable) {
    std::string_view text;
    if (ReadTextView(ViewOf(node.variable), &text)) return text;
  }
  *scratch = EvaluateText(node);
  return *scratch;
}

void EvaluateString(const Node& node) {
  runtime::ProcessStringStack().PushOwned(EvaluateText(node));
}

Value EvaluateValue(const Node& node) {
  switch (node.value_class) {
    case ValueClass::kTruth:
    case ValueClass::kInteger:
      return Value::Integer(EvaluateInteger(node));
    case ValueClass::kReal:
      return Value::Real(EvaluateReal(node));
    case ValueClass::kPicture:
    case ValueClass::kString:
      break;
  }
  return Value::String(EvaluateText(node));
}

}  // namespace tentaria::views
