#include "ui/typed_text.h"

#include "platform/charset.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_deformat.h"
#include "runtime/picture_format.h"

namespace tentaria::ui {
namespace {

bool HasLetter(std::string_view text) {
  for (char c : text) {
    if (platform::IsCharAlpha(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

// A letter of the typed text that the picture's own texts do not hold.  The
// picture's kind letter ("@N") does not count as a text of it.
bool HasForeignLetter(std::string_view text, std::string_view picture_text, bool exponent) {
  std::string_view own = picture_text.size() > 2 ? picture_text.substr(2) : std::string_view{};
  for (char c : text) {
    const unsigned char letter = static_cast<unsigned char>(c);
    if (!platform::IsCharAlpha(letter)) continue;
    if (exponent && (c == 'e' || c == 'E')) continue;
    bool shown = false;
    for (char p : own) {
      if (platform::CharUpper(static_cast<unsigned char>(p)) == platform::CharUpper(letter)) {
        shown = true;
      }
    }
    if (!shown) return true;
  }
  return false;
}

}  // namespace

bool TypedTextReadsBack(std::string_view text, std::string_view picture_text) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return true;
  const runtime::CompiledPicture picture = runtime::CompilePicture(picture_text);
  if (!picture.valid()) return true;
  const runtime::PictureValue value = runtime::DeformatPicture(text, picture);
  switch (picture.kind()) {
    case runtime::PictureKind::kDate:
    case runtime::PictureKind::kTime:
      if (value.text().starts_with('-')) return false;
      return !(value.text() == "0" && HasLetter(text));
    case runtime::PictureKind::kNumeric:
    case runtime::PictureKind::kPattern:
    case runtime::PictureKind::kScientific: {
      if (value.empty()) return false;
      if (HasForeignLetter(text, picture_text,
                           picture.kind() == runtime::PictureKind::kScientific)) {
        return false;
      }
      const std::string shown = runtime::FormatPicture(value, picture);
      return shown.find('#') == std::string::npos ||
             shown.find_first_not_of("# ") != std::string::npos;
    }
    default:
      return true;
  }
}

}  // namespace tentaria::ui
