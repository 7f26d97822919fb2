// Compiling expression text into a tree.
//
// Grammar, lowest precedence first; every two-operand level is
// left-associative:
//   or-expression   and { (OR | XOR) and }
//   and-expression  not { AND not }
//   not-expression  { NOT | "~" } comparison     (an even count cancels out)
//   comparison      concatenation { compare-op concatenation }
//   concatenation   sum { "&" sum }
//   sum             product { ("+" | "-") product }
//   product         power { ("*" | "/" | "%") power }
//   power           signed { "^" signed }          (2^3^2 is 64)
//   signed          { "+" | "-" } primary           (-2^2 is 4)
//   primary         "(" or ")" | constant | picture | function "(" args ")"
//                   | variable [ "[" index {"," index} "]" | "[" first ":" last "]" ]
// Two adjacent operator tokens combine into one comparison: "<" ">" is "<>",
// "<" "=" and "=" "<" are "<=", ">" "=" and "=" ">" are ">=", "~" "=" is
// "<>", "~" "<" is ">=", "~" ">" is "<=".
//
// A syntax error gives no tree and sets no error code.  An unbound name gives
// no tree and sets error 801 "No BIND on variable (name)".
#ifndef TENTARIA_VIEWS_EXPRESSION_PARSER_H_
#define TENTARIA_VIEWS_EXPRESSION_PARSER_H_

#include <cstddef>
#include <string_view>

#include "views/expression_node.h"
#include "views/name_table.h"

namespace tentaria::views {

inline constexpr int kNoBindError = 801;

// The whole text must form one expression.
NodePtr Compile(std::string_view text, const NameScopes& names = ProcessNames());

// Reads one expression from `start`; it ends at the first token that cannot
// continue it.  *end receives the position after its last token (the
// trailing text is the caller's).
NodePtr CompilePrefix(std::string_view text, size_t start, size_t* end,
                      const NameScopes& names = ProcessNames());

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_EXPRESSION_PARSER_H_
