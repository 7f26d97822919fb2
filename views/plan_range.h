// Key ranges taken from filter conditions: which values of a field a
// condition allows at most, as a lower and an upper bound whose values are
// worked out when a scan positions (they may read files of earlier levels).
//
// The range of a condition is a superset of the records it accepts; the
// condition itself stays in the filter, so a range only saves reads.
#ifndef TENTARIA_VIEWS_PLAN_RANGE_H_
#define TENTARIA_VIEWS_PLAN_RANGE_H_

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "views/expression_node.h"
#include "views/plan_field.h"

namespace tentaria::views {

// A bound: one side of a comparison, or the tighter (AND) or looser (OR)
// of two bounds.
struct BoundTerm {
  enum class Kind { kLeaf, kTighter, kLooser };
  Kind kind = Kind::kLeaf;
  const Node* node = nullptr;  // kLeaf: the bound expression
  bool strict = false;         // kLeaf: "<" or ">" rather than "<=" or ">="
  std::shared_ptr<const BoundTerm> a, b;
};
using BoundPtr = std::shared_ptr<const BoundTerm>;

struct FieldRange {
  FieldRef field;
  bool upper = false;  // the condition compares UPPER(field)
  BoundPtr low, high;  // either may be missing
};

// The ranges a condition puts on fields of the file at `level`: comparisons
// between such a field (plain or in UPPER) and an expression of earlier
// levels, also under NOT, and AND and OR of them.  Levels must have been
// assigned to the condition.  The nodes stay owned by the condition.
std::vector<FieldRange> RangesOf(const Node& condition, int level, std::span<const PlanFile> files);

struct BoundValue {
  Value value;
  bool strict = false;
};
// The value of a bound on the current record buffers; `low` tells which
// side it bounds.
BoundValue EvaluateBound(const BoundTerm& term, bool low);

// The order of two values under the evaluator's comparison rules: -1, 0, 1.
int CompareValues(const Value& a, const Value& b);

// The value of a field, or of UPPER(field), on the current record buffer.
Value FieldValue(const Node& field_expression);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_RANGE_H_
