// Reading a bound variable's storage as an integer, a real or a text,
// according to its type code.
//
// DATE and TIME fields read as their day number and time value; DECIMAL,
// PDECIMAL, BFLOAT4 and BFLOAT8 through their runtime layouts.  A type that
// has no value form raises run-time error 501 and reads as 0 or "".
#ifndef TENTARIA_VIEWS_VARIABLE_VALUE_H_
#define TENTARIA_VIEWS_VARIABLE_VALUE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/value_types.h"
#include "views/expression_node.h"

namespace tentaria::views {

// The storage of one element: the variable itself, or one element of it
// after indexing (address moved, dimensions consumed).
struct VariableView {
  const unsigned char* address = nullptr;
  int type = 0;
  int size = 0;
  int decimals = 0;
};

inline VariableView ViewOf(const BoundVariable& variable) {
  return {static_cast<const unsigned char*>(variable.address), variable.type, variable.size,
          variable.decimals};
}

// Whether a variable of the type reads as integer, real and text without
// raising an error.
bool ReadsWithoutEffects(int type);

std::int32_t ReadInteger(const VariableView& view);
double ReadReal(const VariableView& view);
// STRING, MEMO and GROUP: every byte; CSTRING: up to the zero byte; PSTRING:
// the counted bytes.  Numbers: their text form.
std::string ReadText(const VariableView& view);
// The bytes of a STRING, MEMO or GROUP without copying; false for other
// types.
inline bool ReadTextView(const VariableView& view, std::string_view* text) {
  using runtime::TypeCode;
  int type = view.type;
  if (type != runtime::ToInt(TypeCode::STRING) && type != runtime::ToInt(TypeCode::MEMO) &&
      type != runtime::ToInt(TypeCode::GROUP)) {
    return false;
  }
  if (view.address == nullptr || view.size <= 0) {
    *text = {};
  } else {
    *text = std::string_view(reinterpret_cast<const char*>(view.address), view.size);
  }
  return true;
}

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_VARIABLE_VALUE_H_
