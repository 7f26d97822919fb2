#include "runtime/picture.h"

namespace tentaria::runtime {

uint8_t CompiledPicture::TemplateChar(int i) const {
  if (i < 0 || i >= width()) return ' ';
  return bytes[kTemplateOffset + 2 * static_cast<size_t>(i)];
}

PositionCode CompiledPicture::Code(int i) const {
  if (i < 0 || i >= width()) return PositionCode::kLiteral;
  return static_cast<PositionCode>(bytes[kTemplateOffset + 2 * static_cast<size_t>(i) + 1]);
}

void CompiledPicture::SetHeader(PictureKind kind, bool blank_when_zero, int width) {
  const unsigned word =
      static_cast<unsigned>(kind) | (static_cast<unsigned>(PictureClassOf(kind)) << 3) |
      (blank_when_zero ? 0x40u : 0u) | ((static_cast<unsigned>(width) & 0xFF) << 7);
  bytes[0] = static_cast<uint8_t>(word & 0xFF);
  bytes[1] = static_cast<uint8_t>(word >> 8);
}

void CompiledPicture::SetPosition(int i, uint8_t character, PositionCode code) {
  if (i < 0 || i >= kMaxPictureWidth) return;
  bytes[kTemplateOffset + 2 * static_cast<size_t>(i)] = character;
  bytes[kTemplateOffset + 2 * static_cast<size_t>(i) + 1] = static_cast<uint8_t>(code);
}

int PictureStorageWidth(const CompiledPicture& picture) {
  if (!picture.valid()) return 0;
  if (picture.kind() == PictureKind::kString) return 2;
  return 2 * picture.width() + 2;
}

int PictureClassOf(PictureKind kind) {
  switch (kind) {
    case PictureKind::kDate:
    case PictureKind::kTime:
      return 1;
    case PictureKind::kScientific:
      return 2;
    case PictureKind::kNumeric:
    case PictureKind::kPattern:
      return 3;
    case PictureKind::kString:
    case PictureKind::kKeyIn:
      return 0;
  }
  return 0;
}

}  // namespace tentaria::runtime
