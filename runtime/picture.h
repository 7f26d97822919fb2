// Display pictures: the compiled form that every picture is turned into
// once (picture_compile.h) and then used for formatting (picture_format.h)
// and for reading typed text back (picture_deformat.h).
//
// The compiled form is a fixed block of 518 bytes that the caller owns:
//
//   offset  size  field
//   0       2     flags and width, one little-endian 16-bit word:
//                   bits 0-2   kind (PictureKind)
//                   bits 3-5   class: 1 date and time, 2 scientific,
//                              3 numeric and pattern, 0 string and key-in
//                   bit 6      blank-when-zero (the picture ended in "B"/"b")
//                   bits 7-14  width: the number of template positions, which
//                              is the display width; 0 = invalid picture
//                   bit 15     always 0
//   2       2     reserved, always 0
//   4       1     two-digit-year window of a date picture (80 by default)
//   5       1     format number (the number after "@D" or "@T")
//   6       510   template: 255 positions of 2 bytes each, position i at
//                 offset 6 + 2i:
//                   +0  the character shown by default at the position
//                       (literal, separator or fill character)
//                   +1  the position code (PositionCode)
//                 positions at and beyond the width are 0
//   516     2     reserved, always 0
//
// An invalid picture is all zero bytes.  A string picture keeps no template
// (its width alone says how many characters it shows).
#ifndef TENTARIA_RUNTIME_PICTURE_H_
#define TENTARIA_RUNTIME_PICTURE_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace tentaria::runtime {

inline constexpr size_t kCompiledPictureSize = 518;
inline constexpr int kMaxPictureWidth = 255;
inline constexpr int kDefaultPictureYearWindow = 80;

enum class PictureKind : uint8_t {
  kNumeric = 0,     // @N
  kScientific = 1,  // @E
  kDate = 2,        // @D
  kTime = 3,        // @T
  kPattern = 4,     // @P
  kString = 5,      // @S
  kKeyIn = 6,       // @K
};

// What a template position holds.
enum class PositionCode : uint8_t {
  kLiteral = 0,
  kGroupSeparator = 1,
  kDecimalPoint = 2,  // the character stored is the point shown
  kDigit = 3,         // a leading zero shows the stored fill character
  kBlankDigit = 4,    // a leading zero shows a blank
  kSign = 5,          // "-", "(" or ")"
  kCurrency = 6,
  kMonthDigit = 7,
  kDayDigit = 8,
  kYearDigit = 9,
  kMonthNameLetter = 10,
  kHourDigit = 11,
  kMinuteDigit = 12,
  kSecondDigit = 13,
  kKeyInAt = 14,     // "@"
  kKeyInCaret = 15,  // "^"
  kKeyInUnder = 16,  // "_"
  kKeyInAny = 17,    // "?"
  kDateSeparator = 19,
  kAmPm = 20,  // first of two positions; the marker's second letter follows
  kExponentSign = 21,
  kImpliedPoint = 22,  // shows nothing of its own: holds the first decimal digit
  kKeyInBar = 23,      // "|"
};

class CompiledPicture {
 public:
  static constexpr size_t kTemplateOffset = 6;

  std::array<uint8_t, kCompiledPictureSize> bytes{};

  PictureKind kind() const { return static_cast<PictureKind>(bytes[0] & 0x07); }
  int picture_class() const { return (bytes[0] >> 3) & 0x07; }
  bool blank_when_zero() const { return (bytes[0] & 0x40) != 0; }
  int width() const { return (bytes[0] >> 7) | ((bytes[1] & 0x7F) << 1); }
  bool valid() const { return width() != 0; }
  int window() const { return bytes[4]; }
  int format_number() const { return bytes[5]; }

  // Template position i, 0 <= i < width(); outside that range a literal blank.
  uint8_t TemplateChar(int i) const;
  PositionCode Code(int i) const;

  void SetHeader(PictureKind kind, bool blank_when_zero, int width);
  void set_window(int window) { bytes[4] = static_cast<uint8_t>(window); }
  void set_format_number(int number) { bytes[5] = static_cast<uint8_t>(number); }
  void SetPosition(int i, uint8_t character, PositionCode code);
};

// Template storage a picture needs: 2 * width + 2 bytes for a valid
// picture with a template, 2 for a string picture, 0 for an invalid one.
int PictureStorageWidth(const CompiledPicture& picture);

// The class stored with each kind.
int PictureClassOf(PictureKind kind);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_H_
