#include "runtime/picture_compile.h"

#include "runtime/picture_date_time_compile.h"
#include "runtime/picture_numeric_compile.h"
#include "runtime/picture_template.h"

namespace tentaria::runtime {
namespace {

// "@S"n: n from 1 to 255, nothing else after it (trailing blanks are
// already gone).
bool CompileStringPicture(std::string_view body, bool blank_when_zero, CompiledPicture* picture) {
  PictureReader reader(body);
  int width = 0;
  if (!reader.ReadNumber(&width) || width < 1 || width > kMaxPictureWidth || !reader.AtEnd()) {
    return false;
  }
  CompiledPicture result;
  result.SetHeader(PictureKind::kString, blank_when_zero, width);
  *picture = result;
  return true;
}

PositionCode KeyInCode(char c) {
  switch (c) {
    case '#':
      return PositionCode::kDigit;
    case '<':
      return PositionCode::kBlankDigit;
    case '@':
      return PositionCode::kKeyInAt;
    case '^':
      return PositionCode::kKeyInCaret;
    case '_':
      return PositionCode::kKeyInUnder;
    case '?':
      return PositionCode::kKeyInAny;
    case '|':
      return PositionCode::kKeyInBar;
    default:
      return PositionCode::kLiteral;
  }
}

// "@P...P" and "@K...K": the body must end with the letter that follows
// "@" (same case); the characters between are the template.
bool CompileTemplatePicture(std::string_view body, char letter, bool key_in, bool blank_when_zero,
                            CompiledPicture* picture) {
  if (body.empty() || body.back() != letter) return false;
  const std::string_view content = body.substr(0, body.size() - 1);
  TemplateBuilder builder;
  for (size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (key_in && c == '\\') {
      // A backslash makes the next character a literal; one that escapes
      // the closing letter leaves the picture unclosed.
      if (++i >= content.size()) return false;
      builder.Add(content[i], PositionCode::kLiteral);
      continue;
    }
    PositionCode code = PositionCode::kLiteral;
    if (c == '#') code = PositionCode::kDigit;
    if (c == '<') code = PositionCode::kBlankDigit;
    if (key_in) code = KeyInCode(c);
    char shown = c;
    if (code == PositionCode::kDigit) shown = '0';
    if (code != PositionCode::kLiteral && code != PositionCode::kDigit) shown = ' ';
    builder.Add(shown, code);
  }
  return builder.Finish(key_in ? PictureKind::kKeyIn : PictureKind::kPattern, blank_when_zero,
                        picture);
}

bool CompileBody(char letter, std::string_view body, bool blank_when_zero,
                 CompiledPicture* picture) {
  switch (letter) {
    case 'N':
    case 'n':
      return CompileNumericPicture(body, blank_when_zero, picture);
    case 'E':
    case 'e':
      return CompileScientificPicture(body, blank_when_zero, picture);
    case 'D':
    case 'd':
      return CompileDatePicture(body, blank_when_zero, picture);
    case 'T':
    case 't':
      return CompileTimePicture(body, blank_when_zero, picture);
    case 'S':
    case 's':
      return CompileStringPicture(body, blank_when_zero, picture);
    case 'P':
    case 'p':
      return CompileTemplatePicture(body, letter, false, blank_when_zero, picture);
    case 'K':
    case 'k':
      return CompileTemplatePicture(body, letter, true, blank_when_zero, picture);
    default:
      return false;
  }
}

}  // namespace

CompiledPicture CompilePicture(std::string_view text) {
  CompiledPicture picture;
  const size_t end = text.find_last_not_of(' ');
  if (end == std::string_view::npos) {
    picture.SetHeader(PictureKind::kString, false, kMaxPictureWidth);
    return picture;
  }
  text = text.substr(0, end + 1);
  if (text.size() > kMaxPictureTextLength) return picture;
  bool blank_when_zero = false;
  if (text.back() == 'B' || text.back() == 'b') {
    blank_when_zero = true;
    text.remove_suffix(1);
  }
  if (text.size() < 2 || text[0] != '@') return picture;
  if (!CompileBody(text[1], text.substr(2), blank_when_zero, &picture)) return CompiledPicture();
  return picture;
}

}  // namespace tentaria::runtime
