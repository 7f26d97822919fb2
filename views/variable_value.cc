#include "views/variable_value.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "runtime/bfloat.h"
#include "runtime/date_time.h"
#include "runtime/decimal.h"
#include "runtime/error_state.h"
#include "runtime/string_stack.h"
#include "runtime/value_types.h"
#include "views/number_text.h"

namespace tentaria::views {
namespace {

using runtime::TypeCode;

template <typename T>
T Load(const unsigned char* address) {
  T value;
  std::memcpy(&value, address, sizeof value);
  return value;
}

// Only what the declared size covers is read, whatever the type asks for.
bool Fits(const VariableView& view, int bytes) {
  return view.address != nullptr && view.size >= bytes;
}

void NoValueForm() {
  runtime::RaiseRuntimeError(runtime::kStringStackError, runtime::kStringStackErrorText);
}

std::span<const std::uint8_t> Bytes(const VariableView& view) {
  return {view.address, static_cast<size_t>(std::max(view.size, 0))};
}

bool IsText(int type) {
  return type == runtime::ToInt(TypeCode::STRING) || type == runtime::ToInt(TypeCode::CSTRING) ||
         type == runtime::ToInt(TypeCode::PSTRING) || type == runtime::ToInt(TypeCode::MEMO) ||
         type == runtime::ToInt(TypeCode::GROUP);
}

}  // namespace

bool ReadsWithoutEffects(int type) {
  switch (static_cast<TypeCode>(type)) {
    case TypeCode::BYTE:
    case TypeCode::SHORT:
    case TypeCode::USHORT:
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
    case TypeCode::ULONG:
    case TypeCode::SREAL:
    case TypeCode::REAL:
    case TypeCode::DECIMAL:
    case TypeCode::PDECIMAL:
    case TypeCode::BFLOAT4:
    case TypeCode::BFLOAT8:
      return runtime::HasValueForm(type);
    case TypeCode::STRING:
    case TypeCode::CSTRING:
    case TypeCode::PSTRING:
      return true;
    default:
      return false;
  }
}

std::int32_t ReadInteger(const VariableView& view) {
  switch (static_cast<TypeCode>(view.type)) {
    case TypeCode::BYTE:
      return Fits(view, 1) ? Load<std::uint8_t>(view.address) : 0;
    case TypeCode::SHORT:
      return Fits(view, 2) ? Load<std::int16_t>(view.address) : 0;
    case TypeCode::USHORT:
      return Fits(view, 2) ? Load<std::uint16_t>(view.address) : 0;
    case TypeCode::DATE:
      return Fits(view, 4) ? runtime::UnpackDate(Load<std::uint32_t>(view.address)) : 0;
    case TypeCode::TIME:
      return Fits(view, 4) ? runtime::UnpackTime(Load<std::uint32_t>(view.address)) : 0;
    case TypeCode::LONG:
      return Fits(view, 4) ? Load<std::int32_t>(view.address) : 0;
    default:
      return runtime::RealToInt32(ReadReal(view));
  }
}

double ReadReal(const VariableView& view) {
  switch (static_cast<TypeCode>(view.type)) {
    case TypeCode::BYTE:
    case TypeCode::SHORT:
    case TypeCode::USHORT:
    case TypeCode::DATE:
    case TypeCode::TIME:
    case TypeCode::LONG:
      return ReadInteger(view);
    case TypeCode::ULONG:
      return Fits(view, 4) ? Load<std::uint32_t>(view.address) : 0;
    case TypeCode::SREAL:
      return Fits(view, 4) ? Load<float>(view.address) : 0;
    case TypeCode::REAL:
      return Fits(view, 8) ? Load<double>(view.address) : 0;
    case TypeCode::DECIMAL:
      return Fits(view, 1)
                 ? runtime::DecimalRegister::LoadDecimal(Bytes(view), view.decimals).ToDouble()
                 : 0;
    case TypeCode::PDECIMAL:
      return Fits(view, 1)
                 ? runtime::DecimalRegister::LoadPDecimal(Bytes(view), view.decimals).ToDouble()
                 : 0;
    case TypeCode::BFLOAT4:
      return Fits(view, 4)
                 ? runtime::Bfloat4ToDouble(std::span<const std::uint8_t, 4>(view.address, 4))
                 : 0;
    case TypeCode::BFLOAT8:
      return Fits(view, 8)
                 ? runtime::Bfloat8ToDouble(std::span<const std::uint8_t, 8>(view.address, 8))
                 : 0;
    default:
      if (IsText(view.type)) return TextToReal(ReadText(view));
      NoValueForm();
      return 0;
  }
}

std::string ReadText(const VariableView& view) {
  std::string_view bytes;
  if (ReadTextView(view, &bytes)) return std::string(bytes);
  const char* chars = reinterpret_cast<const char*>(view.address);
  switch (static_cast<TypeCode>(view.type)) {
    case TypeCode::CSTRING:
      if (!Fits(view, 1)) return {};
      return std::string(chars, strnlen(chars, view.size));
    case TypeCode::PSTRING:
      if (!Fits(view, 1)) return {};
      return std::string(chars + 1, std::min<int>(view.address[0], view.size - 1));
    case TypeCode::DECIMAL:
      return Fits(view, 1)
                 ? runtime::DecimalRegister::LoadDecimal(Bytes(view), view.decimals).ToText()
                 : std::string();
    case TypeCode::PDECIMAL:
      return Fits(view, 1)
                 ? runtime::DecimalRegister::LoadPDecimal(Bytes(view), view.decimals).ToText()
                 : std::string();
    default:
      if (!runtime::HasValueForm(view.type)) {
        NoValueForm();
        return {};
      }
      if (ClassOfType(view.type) == ValueClass::kInteger) return IntegerToText(ReadInteger(view));
      return RealToText(ReadReal(view));
  }
}

}  // namespace tentaria::views
