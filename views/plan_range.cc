#include "views/plan_range.h"

#include <map>
#include <utility>

#include "runtime/value_types.h"
#include "views/expression_evaluator.h"
#include "views/filter_analysis.h"

namespace tentaria::views {

namespace {

using RangeMap = std::map<std::pair<std::pair<int, int>, bool>, FieldRange>;

std::pair<std::pair<int, int>, bool> KeyOf(const FieldRange& range) {
  return {{range.field.file, range.field.field}, range.upper};
}

BoundPtr Leaf(const Node* node, bool strict) {
  auto term = std::make_shared<BoundTerm>();
  term->node = node;
  term->strict = strict;
  return term;
}

BoundPtr Combine(BoundTerm::Kind kind, BoundPtr a, BoundPtr b) {
  if (!a) return kind == BoundTerm::Kind::kTighter ? b : nullptr;
  if (!b) return kind == BoundTerm::Kind::kTighter ? a : nullptr;
  auto term = std::make_shared<BoundTerm>();
  term->kind = kind;
  term->a = std::move(a);
  term->b = std::move(b);
  return term;
}

Op Negated(Op op) {
  switch (op) {
    case Op::kLess:
      return Op::kGreaterOrEqual;
    case Op::kLessOrEqual:
      return Op::kGreater;
    case Op::kGreater:
      return Op::kLessOrEqual;
    case Op::kGreaterOrEqual:
      return Op::kLess;
    case Op::kEqual:
      return Op::kNotEqual;
    default:
      return Op::kEqual;
  }
}

bool IsTextType(int type) {
  return type == runtime::ToInt(runtime::TypeCode::STRING) ||
         type == runtime::ToInt(runtime::TypeCode::CSTRING) ||
         type == runtime::ToInt(runtime::TypeCode::PSTRING);
}

// Only comparisons that order values as the key does give a range: a text
// field against a text, a number field against a number.
bool ComparesLikeKey(const RangeCondition& condition) {
  bool text_bound = condition.bound->value_class == ValueClass::kString ||
                    condition.bound->value_class == ValueClass::kPicture;
  if (IsTextType(condition.field->variable.type)) return text_bound;
  return !condition.upper && !text_bound && runtime::HasValueForm(condition.field->variable.type);
}

RangeMap Ranges(const Node& node, int level, std::span<const PlanFile> files, bool negated);

RangeMap ComparisonRanges(const Node& node, int level, std::span<const PlanFile> files,
                          bool negated) {
  RangeMap ranges;
  std::optional<RangeCondition> condition = RangeConditionOf(node, level);
  if (!condition || !ComparesLikeKey(*condition)) return ranges;
  std::optional<FieldRef> field = FieldOfVariable(files, *condition->field);
  if (!field) return ranges;
  Op op = negated ? Negated(condition->op) : condition->op;
  FieldRange range;
  range.field = *field;
  range.upper = condition->upper;
  switch (op) {
    case Op::kEqual:
      range.low = Leaf(condition->bound, false);
      range.high = range.low;
      break;
    case Op::kLess:
    case Op::kLessOrEqual:
      range.high = Leaf(condition->bound, op == Op::kLess);
      break;
    case Op::kGreater:
    case Op::kGreaterOrEqual:
      range.low = Leaf(condition->bound, op == Op::kGreater);
      break;
    default:
      return ranges;
  }
  ranges.emplace(KeyOf(range), range);
  return ranges;
}

RangeMap Ranges(const Node& node, int level, std::span<const PlanFile> files, bool negated) {
  if (node.kind == NodeKind::kUnary && node.op() == Op::kNot) {
    return Ranges(*node.operands[0], level, files, !negated);
  }
  if (node.kind == NodeKind::kBinary && (node.op() == Op::kAnd || node.op() == Op::kOr)) {
    // NOT (a AND b) is NOT a OR NOT b, and the other way round.
    bool conjunction = (node.op() == Op::kAnd) != negated;
    RangeMap a = Ranges(*node.operands[0], level, files, negated);
    RangeMap b = Ranges(*node.operands[1], level, files, negated);
    RangeMap merged;
    auto kind = conjunction ? BoundTerm::Kind::kTighter : BoundTerm::Kind::kLooser;
    for (auto& [key, range] : a) {
      auto other = b.find(key);
      if (other == b.end()) {
        if (conjunction) merged.emplace(key, range);
        continue;
      }
      FieldRange combined = range;
      combined.low = Combine(kind, range.low, other->second.low);
      combined.high = Combine(kind, range.high, other->second.high);
      if (combined.low || combined.high) merged.emplace(key, combined);
    }
    if (conjunction) {
      for (auto& [key, range] : b) merged.emplace(key, range);
    }
    return merged;
  }
  if (node.kind == NodeKind::kBinary && IsComparison(node.op())) {
    return ComparisonRanges(node, level, files, negated);
  }
  return {};
}

NodePtr ConstantOf(const Value& value) {
  switch (value.value_class) {
    case ValueClass::kString:
    case ValueClass::kPicture:
      return MakeString(value.text);
    case ValueClass::kReal:
      return MakeReal(value.real);
    default:
      return MakeInteger(value.integer);
  }
}

}  // namespace

std::vector<FieldRange> RangesOf(const Node& condition, int level,
                                 std::span<const PlanFile> files) {
  std::vector<FieldRange> ranges;
  for (auto& [key, range] : Ranges(condition, level, files, false)) ranges.push_back(range);
  return ranges;
}

BoundValue EvaluateBound(const BoundTerm& term, bool low) {
  if (term.kind == BoundTerm::Kind::kLeaf) return {EvaluateValue(*term.node), term.strict};
  BoundValue a = EvaluateBound(*term.a, low);
  BoundValue b = EvaluateBound(*term.b, low);
  int order = CompareValues(a.value, b.value);
  bool tighter = term.kind == BoundTerm::Kind::kTighter;
  if (order == 0) {
    a.strict = tighter ? (a.strict || b.strict) : (a.strict && b.strict);
    return a;
  }
  // The tighter of two lower bounds is the higher one.
  bool take_a = (order > 0) == (low == tighter);
  return take_a ? a : b;
}

int CompareValues(const Value& a, const Value& b) {
  NodePtr left = ConstantOf(a);
  NodePtr right = ConstantOf(b);
  int order = CompareOperands(*left, *right);
  return order == kUnordered ? 0 : order;
}

Value FieldValue(const Node& field_expression) { return EvaluateValue(field_expression); }

}  // namespace tentaria::views
