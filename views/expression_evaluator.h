// Evaluating a compiled expression tree as a truth value, an integer, a
// real or a text.
//
// Comparisons compare their operands as integers when both are of class
// truth or integer, as texts (collation order, trailing blanks not
// counting) when both are strings, and otherwise as reals.  AND, OR and XOR
// evaluate both operands.  Arithmetic is done in double precision; the
// integer value of a node is its real value truncated towards zero (and
// kept within 32 bits).  A string is true when its numeric value is
// non-zero, as any other non-logical node.
//
// A node that has no evaluation in the requested form raises run-time error
// 406 and yields 0 or "".
#ifndef TENTARIA_VIEWS_EXPRESSION_EVALUATOR_H_
#define TENTARIA_VIEWS_EXPRESSION_EVALUATOR_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "views/expression_node.h"

namespace tentaria::views {

inline constexpr int kUnsupportedOperatorError = 406;

bool EvaluateTruth(const Node& node);
std::int32_t EvaluateInteger(const Node& node);
double EvaluateReal(const Node& node);
std::string EvaluateText(const Node& node);
// The text value, borrowed where it already exists as text (string and
// picture constants, STRING, MEMO and GROUP fields) and otherwise evaluated
// into *scratch.  Valid while the node, the field and *scratch are.
std::string_view EvaluateTextView(const Node& node, std::string* scratch);
// Whether evaluating the node has no effect beyond its value: it reads
// only constants and fields of types with a value form, through
// comparisons and logical operators (no call, no indexing, nothing that
// raises an error), so that leaving it unevaluated cannot be noticed.
bool FreeOfEffects(const Node& node);
// Pushes the text value onto the process-wide string stack.
void EvaluateString(const Node& node);
// The node's value in its own class (truth values as integers 0 and 1,
// pictures as strings).
Value EvaluateValue(const Node& node);

// The order of two operands under the comparison rules above: -1, 0, 1, or
// kUnordered when a real operand is not a number.
inline constexpr int kUnordered = 2;
int CompareOperands(const Node& a, const Node& b);

// Whether a comparison operator holds for an order given by CompareOperands.
bool ComparisonHolds(Op op, int order);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_EXPRESSION_EVALUATOR_H_
