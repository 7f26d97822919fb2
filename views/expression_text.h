// The text form of an expression tree, for traces and for building filters
// as text.  It compiles back to an equal tree: an operand is put in
// parentheses wherever the grammar needs it (a right operand of the same
// precedence, a negated or NOTed operand that is not a primary, ...), not
// only where its operator binds less tightly.
#ifndef TENTARIA_VIEWS_EXPRESSION_TEXT_H_
#define TENTARIA_VIEWS_EXPRESSION_TEXT_H_

#include <string>

#include "views/expression_node.h"

namespace tentaria::views {

std::string TextForm(const Node& node);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_EXPRESSION_TEXT_H_
