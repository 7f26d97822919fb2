#include "views/expression_node.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace tentaria::views {
namespace {

int HeightOf(const std::vector<NodePtr>& operands) {
  int height = 0;
  for (const NodePtr& operand : operands) height = std::max(height, operand->height);
  return height + 1;
}

NodePtr MakeWithOperands(NodeKind kind, int code, ValueClass value_class,
                         std::vector<NodePtr> operands) {
  for (const NodePtr& operand : operands) {
    if (!operand) return nullptr;
  }
  auto node = std::make_unique<Node>();
  node->kind = kind;
  node->code = code;
  node->value_class = value_class;
  node->height = HeightOf(operands);
  node->operands = std::move(operands);
  if (node->height > kMaxExpressionHeight) return nullptr;
  return node;
}

std::vector<NodePtr> Operands(NodePtr a, NodePtr b = nullptr, NodePtr c = nullptr) {
  std::vector<NodePtr> operands;
  operands.push_back(std::move(a));
  if (b) operands.push_back(std::move(b));
  if (c) operands.push_back(std::move(c));
  return operands;
}

}  // namespace

ValueClass ClassOfType(int type) {
  if (type < 7) return ValueClass::kInteger;
  if (type < 18) return ValueClass::kReal;
  return ValueClass::kString;
}

ValueClass ResultClass(Op op) {
  switch (op) {
    case Op::kSubstring:
    case Op::kConcatenate:
      return ValueClass::kString;
    case Op::kPower:
    case Op::kMultiply:
    case Op::kDivide:
    case Op::kModulo:
    case Op::kNegate:
    case Op::kAdd:
    case Op::kSubtract:
      return ValueClass::kReal;
    default:
      return ValueClass::kTruth;
  }
}

NodePtr MakeInteger(std::int32_t value) {
  auto node = std::make_unique<Node>();
  node->value_class = ValueClass::kInteger;
  node->integer = value;
  return node;
}

NodePtr MakeReal(double value) {
  auto node = std::make_unique<Node>();
  node->value_class = ValueClass::kReal;
  node->real = value;
  return node;
}

NodePtr MakeString(std::string value) {
  auto node = std::make_unique<Node>();
  node->value_class = ValueClass::kString;
  node->text = std::move(value);
  return node;
}

NodePtr MakePicture(std::string text) {
  auto node = std::make_unique<Node>();
  node->value_class = ValueClass::kPicture;
  node->text = std::move(text);
  return node;
}

NodePtr MakeVariable(std::string name, BoundVariable variable) {
  auto node = std::make_unique<Node>();
  node->kind = NodeKind::kVariable;
  node->value_class = ClassOfType(variable.type);
  node->text = std::move(name);
  node->variable = std::move(variable);
  return node;
}

NodePtr MakeUnary(Op op, NodePtr operand) {
  return MakeWithOperands(NodeKind::kUnary, static_cast<int>(op), ResultClass(op),
                          Operands(std::move(operand)));
}

NodePtr MakeBinary(Op op, NodePtr left, NodePtr right) {
  if (!left || !right) return nullptr;
  return MakeWithOperands(NodeKind::kBinary, static_cast<int>(op), ResultClass(op),
                          Operands(std::move(left), std::move(right)));
}

NodePtr MakeArrayElement(NodePtr base, NodePtr index) {
  if (!base || !index) return nullptr;
  ValueClass element_class = base->value_class;
  return MakeWithOperands(NodeKind::kSubscript, static_cast<int>(Op::kArrayElement), element_class,
                          Operands(std::move(base), std::move(index)));
}

NodePtr MakeSubstring(NodePtr base, NodePtr first, NodePtr last) {
  if (!base || !first || !last) return nullptr;
  return MakeWithOperands(NodeKind::kSubscript, static_cast<int>(Op::kSubstring),
                          ValueClass::kString,
                          Operands(std::move(base), std::move(first), std::move(last)));
}

NodePtr MakeCall(Fn function, std::string name, int max_arguments, ValueClass result,
                 std::vector<NodePtr> arguments, std::shared_ptr<const BoundProcedure> procedure) {
  NodePtr node =
      MakeWithOperands(NodeKind::kCall, static_cast<int>(function), result, std::move(arguments));
  if (!node) return nullptr;
  node->text = std::move(name);
  node->max_arguments = max_arguments;
  node->procedure = std::move(procedure);
  return node;
}

NodePtr Clone(const Node& node) {
  auto copy = std::make_unique<Node>();
  copy->value_class = node.value_class;
  copy->kind = node.kind;
  copy->code = node.code;
  copy->level = node.level;
  copy->height = node.height;
  copy->integer = node.integer;
  copy->real = node.real;
  copy->text = node.text;
  copy->variable = node.variable;
  copy->max_arguments = node.max_arguments;
  copy->procedure = node.procedure;
  for (const NodePtr& operand : node.operands) copy->operands.push_back(Clone(*operand));
  return copy;
}

bool Equal(const Node& a, const Node& b) {
  if (a.kind != b.kind || a.code != b.code || a.value_class != b.value_class ||
      a.operands.size() != b.operands.size()) {
    return false;
  }
  switch (a.kind) {
    case NodeKind::kConstant:
      // Reals compare by bits so that a tree equals itself even with NaN.
      if (a.integer != b.integer ||
          std::bit_cast<std::uint64_t>(a.real) != std::bit_cast<std::uint64_t>(b.real) ||
          a.text != b.text) {
        return false;
      }
      break;
    case NodeKind::kVariable:
      if (a.text != b.text || a.variable != b.variable) return false;
      break;
    case NodeKind::kCall:
      if (a.text != b.text || a.max_arguments != b.max_arguments || a.procedure != b.procedure) {
        return false;
      }
      break;
    default:
      break;
  }
  for (size_t i = 0; i < a.operands.size(); ++i) {
    if (!Equal(*a.operands[i], *b.operands[i])) return false;
  }
  return true;
}

}  // namespace tentaria::views
