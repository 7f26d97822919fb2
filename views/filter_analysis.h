// What the view plan needs to know about a compiled filter: the deepest
// view file each node reads (its level), which parts can be decided from
// the files positioned so far, and which comparisons bound a key.
//
// Levels: 0 reads no view file; the plan numbers its files from 1 in the
// order in which they are read; kUnknownLevel marks a node that calls a
// bound procedure, whose reads cannot be known, so that it is evaluated
// only when every file holds its record.
#ifndef TENTARIA_VIEWS_FILTER_ANALYSIS_H_
#define TENTARIA_VIEWS_FILTER_ANALYSIS_H_

#include <climits>
#include <functional>
#include <optional>
#include <vector>

#include "views/expression_node.h"

namespace tentaria::views {

inline constexpr int kUnknownLevel = INT_MAX;

// The level of a variable: its view file's number, or 0 for a variable
// that belongs to no view file.
using LevelOfVariable = std::function<int(const BoundVariable&)>;

// Sets the level of every node of the tree: the deepest level read by the
// node and its operands.
void AssignLevels(Node& root, const LevelOfVariable& level_of);

// Whether the node can be evaluated once files 1..level hold their records.
inline bool ReadsOnlyUpTo(const Node& node, int level) { return node.level <= level; }

enum class Truth3 { kFalse, kTrue, kUndetermined };

// Three-valued evaluation with files 1..fixed_level positioned: AND, OR,
// XOR and NOT combine the values of their operands (false AND anything is
// false, true OR anything is true); a comparison or any other node whose
// level is at most fixed_level is evaluated; the rest is undetermined.
Truth3 StaticTruth(const Node& node, int fixed_level);

// A comparison between a field of the given level (plain, or wrapped in
// UPPER) and an expression of lower levels, seen with the field on the
// left: the operator is mirrored ("<" with ">", "<=" with ">=") when the
// field stands on the right.  "<>" bounds nothing.
struct RangeCondition {
  const Node* field = nullptr;  // the variable node
  bool upper = false;           // the field appears as UPPER(field)
  Op op = Op::kEqual;
  const Node* bound = nullptr;  // the other side
};
std::optional<RangeCondition> RangeConditionOf(const Node& comparison, int field_level);

// The conjuncts of a filter: the operands of its top-level ANDs, in order;
// the filter itself when it is no AND.
std::vector<NodePtr> SplitConjuncts(NodePtr filter);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_FILTER_ANALYSIS_H_
