#include "views/filter_analysis.h"

#include <algorithm>
#include <utility>

#include "views/expression_evaluator.h"

namespace tentaria::views {
namespace {

Op Mirrored(Op op) {
  switch (op) {
    case Op::kLess:
      return Op::kGreater;
    case Op::kGreater:
      return Op::kLess;
    case Op::kLessOrEqual:
      return Op::kGreaterOrEqual;
    case Op::kGreaterOrEqual:
      return Op::kLessOrEqual;
    default:
      return op;
  }
}

// The variable node of a plain field or of UPPER(field), else nullptr.
const Node* FieldOf(const Node& node, bool* upper) {
  *upper = false;
  if (node.kind == NodeKind::kVariable) return &node;
  if (node.kind == NodeKind::kCall && !node.procedure && node.function() == Fn::kUpper &&
      node.operands.size() == 1 && node.operands[0]->kind == NodeKind::kVariable) {
    *upper = true;
    return node.operands[0].get();
  }
  return nullptr;
}

Truth3 FromBool(bool value) { return value ? Truth3::kTrue : Truth3::kFalse; }

}  // namespace

void AssignLevels(Node& root, const LevelOfVariable& level_of) {
  int level = 0;
  for (NodePtr& operand : root.operands) {
    AssignLevels(*operand, level_of);
    level = std::max(level, operand->level);
  }
  if (root.kind == NodeKind::kVariable) level = std::max(level, level_of(root.variable));
  if (root.kind == NodeKind::kCall && root.procedure) level = kUnknownLevel;
  root.level = level;
}

Truth3 StaticTruth(const Node& node, int fixed_level) {
  if (node.kind == NodeKind::kUnary && node.op() == Op::kNot) {
    Truth3 inner = StaticTruth(*node.operands[0], fixed_level);
    if (inner == Truth3::kUndetermined) return inner;
    return FromBool(inner == Truth3::kFalse);
  }
  if (node.kind == NodeKind::kBinary &&
      (node.op() == Op::kAnd || node.op() == Op::kOr || node.op() == Op::kXor)) {
    Truth3 a = StaticTruth(*node.operands[0], fixed_level);
    Truth3 b = StaticTruth(*node.operands[1], fixed_level);
    switch (node.op()) {
      case Op::kAnd:
        if (a == Truth3::kFalse || b == Truth3::kFalse) return Truth3::kFalse;
        if (a == Truth3::kTrue && b == Truth3::kTrue) return Truth3::kTrue;
        return Truth3::kUndetermined;
      case Op::kOr:
        if (a == Truth3::kTrue || b == Truth3::kTrue) return Truth3::kTrue;
        if (a == Truth3::kFalse && b == Truth3::kFalse) return Truth3::kFalse;
        return Truth3::kUndetermined;
      default:
        if (a == Truth3::kUndetermined || b == Truth3::kUndetermined) {
          return Truth3::kUndetermined;
        }
        return FromBool(a != b);
    }
  }
  if (!ReadsOnlyUpTo(node, fixed_level)) return Truth3::kUndetermined;
  return FromBool(EvaluateTruth(node));
}

std::optional<RangeCondition> RangeConditionOf(const Node& comparison, int field_level) {
  if (comparison.kind != NodeKind::kBinary || !IsComparison(comparison.op()) ||
      comparison.op() == Op::kNotEqual) {
    return std::nullopt;
  }
  for (int side = 0; side < 2; ++side) {
    bool upper = false;
    const Node* field = FieldOf(*comparison.operands[side], &upper);
    const Node& other = *comparison.operands[1 - side];
    if (!field || field->level != field_level || other.level >= field_level) continue;
    RangeCondition condition;
    condition.field = field;
    condition.upper = upper;
    condition.op = side == 0 ? comparison.op() : Mirrored(comparison.op());
    condition.bound = &other;
    return condition;
  }
  return std::nullopt;
}

std::vector<NodePtr> SplitConjuncts(NodePtr filter) {
  std::vector<NodePtr> conjuncts;
  if (!filter) return conjuncts;
  if (filter->kind == NodeKind::kBinary && filter->op() == Op::kAnd) {
    for (NodePtr& operand : filter->operands) {
      std::vector<NodePtr> inner = SplitConjuncts(std::move(operand));
      for (NodePtr& conjunct : inner) conjuncts.push_back(std::move(conjunct));
    }
  } else {
    conjuncts.push_back(std::move(filter));
  }
  return conjuncts;
}

}  // namespace tentaria::views
