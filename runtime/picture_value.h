// The values that display pictures format and read back.
//
// A number travels as its decimal text ("-12345.678", "1.5e+003"), so a
// DECIMAL register (its ToText()), an integer, a real, a day number or a
// time value all reach a picture exactly; a text travels as it is.
#ifndef TENTARIA_RUNTIME_PICTURE_VALUE_H_
#define TENTARIA_RUNTIME_PICTURE_VALUE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/decimal.h"

namespace tentaria::runtime {

class PictureValue {
 public:
  enum class Kind : uint8_t { kEmpty, kNumber, kText };

  // The empty value: what an invalid picture reads back.
  PictureValue() = default;

  static PictureValue Integer(int64_t value);
  // The shortest decimal text that reads back as `value`; NaN and the
  // infinities keep a text that no picture can show (it shows as overflow).
  static PictureValue Real(double value);
  // A decimal text: optional blanks, sign, digits, "." or "," and fraction,
  // optional exponent.  Taken as given; the picture reads what it can.
  static PictureValue Decimal(std::string_view text);
  // A decimal register, exactly (with the decimals it keeps).
  static PictureValue Decimal(const DecimalRegister& value);
  static PictureValue Text(std::string_view text);

  Kind kind() const { return kind_; }
  bool empty() const { return kind_ == Kind::kEmpty; }
  bool is_number() const { return kind_ == Kind::kNumber; }
  const std::string& text() const { return text_; }

  friend bool operator==(const PictureValue&, const PictureValue&) = default;

 private:
  PictureValue(Kind kind, std::string text) : kind_(kind), text_(std::move(text)) {}

  Kind kind_ = Kind::kEmpty;
  std::string text_;
};

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_VALUE_H_
