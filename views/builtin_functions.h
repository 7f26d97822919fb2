// The built-in functions of the expression language and bound procedures.
#ifndef TENTARIA_VIEWS_BUILTIN_FUNCTIONS_H_
#define TENTARIA_VIEWS_BUILTIN_FUNCTIONS_H_

#include "views/expression_node.h"

namespace tentaria::views {

// Texts built from a length argument (ALL, CENTER, LEFT, RIGHT) are cut to
// this many bytes, so that a huge length cannot exhaust memory.
inline constexpr int kMaxBuiltTextLength = 65535;

// Evaluates a call node: its value in the function's result class.  A
// missing argument counts as 0 or "" unless the function says otherwise.
// A bound procedure gets its arguments evaluated from the last to the
// first.
Value CallFunction(const Node& call);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_BUILTIN_FUNCTIONS_H_
