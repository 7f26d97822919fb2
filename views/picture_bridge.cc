#include "views/picture_bridge.h"

#include "runtime/picture.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_deformat.h"
#include "runtime/picture_format.h"
#include "runtime/picture_value.h"

namespace tentaria::views {
namespace {

runtime::PictureValue ToPictureValue(const Value& value) {
  switch (value.value_class) {
    case ValueClass::kTruth:
    case ValueClass::kInteger:
      return runtime::PictureValue::Integer(value.integer);
    case ValueClass::kReal:
      return runtime::PictureValue::Real(value.real);
    case ValueClass::kPicture:
    case ValueClass::kString:
      break;
  }
  return runtime::PictureValue::Text(value.text);
}

}  // namespace

std::string FormatWithPicture(const Value& value, std::string_view picture) {
  return runtime::FormatPicture(ToPictureValue(value), runtime::CompilePicture(picture));
}

std::string DeformatWithPicture(std::string_view text, std::string_view picture) {
  return runtime::DeformatPicture(text, runtime::CompilePicture(picture)).text();
}

}  // namespace tentaria::views
