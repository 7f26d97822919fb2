#include "runtime/picture_template.h"

namespace tentaria::runtime {

bool PictureReader::Accept(char c) {
  if (AtEnd() || Peek() != c) return false;
  ++pos_;
  return true;
}

bool PictureReader::ReadNumber(int* value) {
  if (!AtDigit()) return false;
  int number = 0;
  while (AtDigit()) {
    number = number * 10 + (Next() - '0');
    if (number > 1000) number = 1000;
  }
  *value = number;
  return true;
}

char MapSeparator(char c) {
  switch (c) {
    case '.':
    case '-':
      return c;
    case '_':
      return ' ';
    case '`':
      return ',';
    default:
      return '\0';
  }
}

void TemplateBuilder::Add(char character, PositionCode code) {
  positions_.push_back({character, code});
}

void TemplateBuilder::AddFront(char character, PositionCode code) {
  positions_.insert(positions_.begin(), {character, code});
}

bool TemplateBuilder::Finish(PictureKind kind, bool blank_when_zero,
                             CompiledPicture* picture) const {
  if (positions_.empty() || positions_.size() > static_cast<size_t>(kMaxPictureWidth)) {
    return false;
  }
  CompiledPicture result;
  result.SetHeader(kind, blank_when_zero, size());
  for (int i = 0; i < size(); ++i) {
    const Position& position = positions_[static_cast<size_t>(i)];
    result.SetPosition(i, static_cast<uint8_t>(position.character), position.code);
  }
  *picture = result;
  return true;
}

}  // namespace tentaria::runtime
