#include "runtime/picture_value.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tentaria::runtime {

PictureValue PictureValue::Integer(int64_t value) {
  return PictureValue(Kind::kNumber, std::to_string(value));
}

PictureValue PictureValue::Real(double value) {
  if (!std::isfinite(value)) return PictureValue(Kind::kNumber, "nan");
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (result.ec != std::errc()) return PictureValue(Kind::kNumber, "nan");
  return PictureValue(Kind::kNumber, std::string(buffer, result.ptr));
}

PictureValue PictureValue::Decimal(std::string_view text) {
  return PictureValue(Kind::kNumber, std::string(text));
}

PictureValue PictureValue::Decimal(const DecimalRegister& value) {
  return PictureValue(Kind::kNumber, value.ToText());
}

PictureValue PictureValue::Text(std::string_view text) {
  return PictureValue(Kind::kText, std::string(text));
}

}  // namespace tentaria::runtime
