// Picture compile, format and deformat on arbitrary input: any picture
// text, any typed text, any value, and any 518 bytes taken as a compiled
// picture must give a result (or a refusal), never a crash or a hang.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/picture.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_deformat.h"
#include "runtime/picture_format.h"

namespace {

using tentaria::runtime::CompiledPicture;
using tentaria::runtime::PictureValue;

void Exercise(const CompiledPicture& picture, std::string_view typed) {
  const size_t width = picture.valid() ? static_cast<size_t>(picture.width()) : 0;
  for (const PictureValue& value :
       {PictureValue::Decimal(typed), PictureValue::Text(typed),
        PictureValue::Integer(static_cast<int64_t>(typed.size()) * 7919 - 40000)}) {
    const std::string shown = FormatPicture(value, picture);
    // Every picture shows exactly its width.
    if (shown.size() != width) std::abort();
    DeformatPicture(shown, picture);
  }
  DeformatPicture(typed, picture);
}

}  // namespace

// Input: one length byte, then that many bytes of picture text, then the
// typed text.  The whole input is also taken as a compiled picture.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t picture_length = std::min<size_t>(data[0], size - 1);
  const std::string_view picture_text = input.substr(1, picture_length);
  const std::string_view typed = input.substr(1 + picture_length);
  Exercise(tentaria::runtime::CompilePicture(picture_text), typed);

  CompiledPicture raw;
  std::memcpy(raw.bytes.data(), data, std::min(size, raw.bytes.size()));
  Exercise(raw, typed);
  return 0;
}
