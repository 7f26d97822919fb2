#include "platform/charset.h"

#include <array>
#include <cstdint>

namespace tentaria::platform {
namespace {

// Unicode of the Windows-1252 codes 80-9F (A0-FF are U+00A0-U+00FF and
// 00-7F are ASCII).  The five unassigned codes keep the C1 control of the
// same number, so every byte survives a trip through UTF-8.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

uint32_t Cp1252ToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80];
  return c;
}

// The Windows-1252 code of a Unicode character, or -1 when it has none.
int UnicodeToCp1252(uint32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == u) return static_cast<int>(0x80 + i);
  }
  return -1;
}

void AppendUtf8(uint32_t u, std::string* out) {
  if (u < 0x80) {
    out->push_back(static_cast<char>(u));
  } else if (u < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (u >> 6)));
    out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (u >> 12)));
    out->push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
  }
}

// Windows-1252 to code page 850.  00-7F are the same in both.  Every
// character of A0-FF, and ƒ (83), exists in code page 850.  The rest of
// 80-9F has no equivalent and takes the closest form: € 'E', ‚ ',', „ '"',
// … '.', † and ‡ '+', ˆ '^', ‰ '%', Š 'S', ‹ '<', Œ 'O', Ž 'Z', ‘ and ’ '\'',
// “ and ” '"', • the middle dot (FA), – and — '-', ˜ '~', ™ 'T', š 's', › '>',
// œ 'o', ž 'z', Ÿ 'Y'; the unassigned 81, 8D, 8F, 90, 9D become '?'.
constexpr std::array<unsigned char, 256> kCp1252ToCp850 = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
    0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,  // 00
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
    0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,  // 10
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,
    0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // 20
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 30
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47,
    0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 40
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57,
    0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,  // 50
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67,
    0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,  // 60
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77,
    0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,  // 70
    0x45, 0x3F, 0x2C, 0x9F, 0x22, 0x2E, 0x2B, 0x2B,
    0x5E, 0x25, 0x53, 0x3C, 0x4F, 0x3F, 0x5A, 0x3F,  // 80
    0x3F, 0x27, 0x27, 0x22, 0x22, 0xFA, 0x2D, 0x2D,
    0x7E, 0x54, 0x73, 0x3E, 0x6F, 0x3F, 0x7A, 0x59,  // 90
    0xFF, 0xAD, 0xBD, 0x9C, 0xCF, 0xBE, 0xDD, 0xF5,
    0xF9, 0xB8, 0xA6, 0xAE, 0xAA, 0xF0, 0xA9, 0xEE,  // A0
    0xF8, 0xF1, 0xFD, 0xFC, 0xEF, 0xE6, 0xF4, 0xFA,
    0xF7, 0xFB, 0xA7, 0xAF, 0xAC, 0xAB, 0xF3, 0xA8,  // B0
    0xB7, 0xB5, 0xB6, 0xC7, 0x8E, 0x8F, 0x92, 0x80,
    0xD4, 0x90, 0xD2, 0xD3, 0xDE, 0xD6, 0xD7, 0xD8,  // C0
    0xD1, 0xA5, 0xE3, 0xE0, 0xE2, 0xE5, 0x99, 0x9E,
    0x9D, 0xEB, 0xE9, 0xEA, 0x9A, 0xED, 0xE8, 0xE1,  // D0
    0x85, 0xA0, 0x83, 0xC6, 0x84, 0x86, 0x91, 0x87,
    0x8A, 0x82, 0x88, 0x89, 0x8D, 0xA1, 0x8C, 0x8B,  // E0
    0xD0, 0xA4, 0x95, 0xA2, 0x93, 0xE4, 0x94, 0xF6,
    0x9B, 0x97, 0xA3, 0x96, 0x81, 0xEC, 0xE7, 0x98,  // F0
};

// Code page 850 to Windows-1252.  Every letter and sign of code page 850
// exists in Windows-1252 except these, which take the closest form: ı (D5)
// 'i', ‗ (F2) '_', the box-drawing lines ─ '-', ═ '=', │ and ║ '|', every
// box corner, tee and cross '+', and the shades and blocks ░ ▒ ▓ █ ▄ ▀ ■ '#'.
constexpr std::array<unsigned char, 256> kCp850ToCp1252 = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
    0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,  // 00
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
    0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,  // 10
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,
    0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // 20
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 30
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47,
    0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 40
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57,
    0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,  // 50
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67,
    0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,  // 60
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77,
    0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,  // 70
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7,
    0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,  // 80
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9,
    0xFF, 0xD6, 0xDC, 0xF8, 0xA3, 0xD8, 0xD7, 0x83,  // 90
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA,
    0xBF, 0xAE, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,  // A0
    0x23, 0x23, 0x23, 0x7C, 0x2B, 0xC1, 0xC2, 0xC0,
    0xA9, 0x2B, 0x7C, 0x2B, 0x2B, 0xA2, 0xA5, 0x2B,  // B0
    0x2B, 0x2B, 0x2B, 0x2B, 0x2D, 0x2B, 0xE3, 0xC3,
    0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x3D, 0x2B, 0xA4,  // C0
    0xF0, 0xD0, 0xCA, 0xCB, 0xC8, 0x69, 0xCD, 0xCE,
    0xCF, 0x2B, 0x2B, 0x23, 0x23, 0xA6, 0xCC, 0x23,  // D0
    0xD3, 0xDF, 0xD4, 0xD2, 0xF5, 0xD5, 0xB5, 0xFE,
    0xDE, 0xDA, 0xDB, 0xD9, 0xFD, 0xDD, 0xAF, 0xB4,  // E0
    0xAD, 0xB1, 0x5F, 0xBE, 0xB6, 0xA7, 0xF7, 0xB8,
    0xB0, 0xA8, 0xB7, 0xB9, 0xB3, 0xB2, 0x23, 0xA0,  // F0
};

bool IsUpperLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F ||
         (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

bool IsLowerLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || c == 0x83 || c == 0x9A || c == 0x9C || c == 0x9E || c == 0xAA ||
         c == 0xB5 || c == 0xBA || (c >= 0xDF && c != 0xF7);
}

// --- The system string order -------------------------------------------
//
// Each character becomes one or two collation elements of three levels:
//   primary:   what the character is: symbols and controls first (ordered by
//              the code of their base sign), then digits, then letters by
//              their base letter a-z, then þ and µ after z;
//   secondary: the accent or variant (none, acute, grave, circumflex,
//              diaeresis, tilde, ring, cedilla, stroke, caron, other
//              variant, ligature);
//   tertiary:  case, lower before upper.
// Two texts compare by their primaries first (element by element, a text
// that ends first is less), then by secondaries, then by tertiaries, and
// when all three agree by their bytes, so that different texts never
// compare equal.  Æ, Œ and ß expand to "ae", "oe" and "ss" with the
// ligature mark; ª and º are a variant of a and o, ¹ ² ³ of the digits;
// quotes, dashes and the no-break space are variants of their ASCII sign.

enum Accent : uint8_t {
  kNone,
  kAcute,
  kGrave,
  kCircumflex,
  kDiaeresis,
  kTilde,
  kRing,
  kCedilla,
  kStroke,
  kCaron,
  kVariant,
  kLigature,
};

struct Element {
  uint16_t primary;
  uint8_t secondary;
  uint8_t tertiary;
};

constexpr uint16_t kDigitBase = 0x200;
constexpr uint16_t kLetterBase = 0x300;

uint16_t LetterPrimary(char base) { return static_cast<uint16_t>(kLetterBase + (base - 'a') * 2); }

// A character's base letter (lower case, 0 when none) and accent, for the
// letters beyond ASCII.  Index by code - 0xC0 over À..ÿ.
struct LetterForm {
  char base;
  Accent accent;
};
constexpr std::array<LetterForm, 64> kLatin1Letters = {{
    {'a', kGrave},      {'a', kAcute}, {'a', kCircumflex}, {'a', kTilde},       // C0 À Á Â Ã
    {'a', kDiaeresis},  {'a', kRing},  {0, kLigature},     {'c', kCedilla},     // C4 Ä Å Æ Ç
    {'e', kGrave},      {'e', kAcute}, {'e', kCircumflex}, {'e', kDiaeresis},   // C8 È É Ê Ë
    {'i', kGrave},      {'i', kAcute}, {'i', kCircumflex}, {'i', kDiaeresis},   // CC Ì Í Î Ï
    {'d', kStroke},     {'n', kTilde}, {'o', kGrave},      {'o', kAcute},       // D0 Ð Ñ Ò Ó
    {'o', kCircumflex}, {'o', kTilde}, {'o', kDiaeresis},  {0, kNone},          // D4 Ô Õ Ö ×
    {'o', kStroke},     {'u', kGrave}, {'u', kAcute},      {'u', kCircumflex},  // D8 Ø Ù Ú Û
    {'u', kDiaeresis},  {'y', kAcute}, {0, kNone},         {0, kLigature},      // DC Ü Ý Þ ß
    {'a', kGrave},      {'a', kAcute}, {'a', kCircumflex}, {'a', kTilde},       // E0
    {'a', kDiaeresis},  {'a', kRing},  {0, kLigature},     {'c', kCedilla},     // E4
    {'e', kGrave},      {'e', kAcute}, {'e', kCircumflex}, {'e', kDiaeresis},   // E8
    {'i', kGrave},      {'i', kAcute}, {'i', kCircumflex}, {'i', kDiaeresis},   // EC
    {'d', kStroke},     {'n', kTilde}, {'o', kGrave},      {'o', kAcute},       // F0
    {'o', kCircumflex}, {'o', kTilde}, {'o', kDiaeresis},  {0, kNone},          // F4 ô õ ö ÷
    {'o', kStroke},     {'u', kGrave}, {'u', kAcute},      {'u', kCircumflex},  // F8
    {'u', kDiaeresis},  {'y', kAcute}, {0, kNone},         {'y', kDiaeresis},   // FC ü ý þ ÿ
}};

// The ASCII sign a symbol of 80-BF is a variant of, or 0 when it stands on
// its own.
unsigned char SymbolBase(unsigned char c) {
  switch (c) {
    case 0x82:  // ‚
    case 0x91:  // ‘
    case 0x92:  // ’
    case 0xB4:  // ´
      return '\'';
    case 0x84:  // „
    case 0x93:  // “
    case 0x94:  // ”
      return '"';
    case 0x8B:  // ‹
    case 0xAB:  // «
      return '<';
    case 0x9B:  // ›
    case 0xBB:  // »
      return '>';
    case 0x88:  // ˆ
      return '^';
    case 0x98:  // ˜
      return '~';
    case 0x96:  // –
    case 0x97:  // —
    case 0xAD:  // soft hyphen
      return '-';
    case 0xA0:  // no-break space
      return ' ';
    case 0x89:  // ‰
      return '%';
    case 0xA6:  // ¦
      return '|';
    case 0xB7:  // ·
    case 0x95:  // •
      return '.';
    default:
      return 0;
  }
}

// Fills elements for byte c; returns how many (1 or 2).
int Elements(unsigned char c, Element* out) {
  const uint8_t upper = IsUpperLetter(c) ? 1 : 0;
  if (c >= '0' && c <= '9') {
    out[0] = {static_cast<uint16_t>(kDigitBase + (c - '0')), kNone, 0};
    return 1;
  }
  if (c == 0xB9 || c == 0xB2 || c == 0xB3) {  // ¹ ² ³
    int digit = c == 0xB9 ? 1 : c - 0xB0;
    out[0] = {static_cast<uint16_t>(kDigitBase + digit), kVariant, 0};
    return 1;
  }
  if (c >= 'A' && c <= 'Z') {
    out[0] = {LetterPrimary(static_cast<char>(c - 'A' + 'a')), kNone, 1};
    return 1;
  }
  if (c >= 'a' && c <= 'z') {
    out[0] = {LetterPrimary(static_cast<char>(c)), kNone, 0};
    return 1;
  }
  switch (c) {
    case 0x83:  // ƒ
      out[0] = {LetterPrimary('f'), kVariant, 0};
      return 1;
    case 0x8A:  // Š
    case 0x9A:  // š
      out[0] = {LetterPrimary('s'), kCaron, upper};
      return 1;
    case 0x8E:  // Ž
    case 0x9E:  // ž
      out[0] = {LetterPrimary('z'), kCaron, upper};
      return 1;
    case 0x9F:  // Ÿ
      out[0] = {LetterPrimary('y'), kDiaeresis, 1};
      return 1;
    case 0xAA:  // ª
      out[0] = {LetterPrimary('a'), kVariant, 0};
      return 1;
    case 0xBA:  // º
      out[0] = {LetterPrimary('o'), kVariant, 0};
      return 1;
    case 0x8C:  // Œ
    case 0x9C:  // œ
      out[0] = {LetterPrimary('o'), kLigature, upper};
      out[1] = {LetterPrimary('e'), kLigature, upper};
      return 2;
    case 0xC6:  // Æ
    case 0xE6:  // æ
      out[0] = {LetterPrimary('a'), kLigature, upper};
      out[1] = {LetterPrimary('e'), kLigature, upper};
      return 2;
    case 0xDF:  // ß
      out[0] = {LetterPrimary('s'), kLigature, 0};
      out[1] = {LetterPrimary('s'), kLigature, 0};
      return 2;
    case 0xDE:  // Þ
    case 0xFE:  // þ
      out[0] = {static_cast<uint16_t>(LetterPrimary('z') + 2), kNone, upper};
      return 1;
    case 0xB5:  // µ
      out[0] = {static_cast<uint16_t>(LetterPrimary('z') + 4), kNone, 0};
      return 1;
    default:
      break;
  }
  if (c >= 0xC0 && c != 0xD7 && c != 0xF7) {
    const LetterForm& form = kLatin1Letters[c - 0xC0];
    out[0] = {LetterPrimary(form.base), form.accent, upper};
    return 1;
  }
  // Controls, signs and symbols: by the code of their base sign, with
  // variants after it.
  unsigned char base = SymbolBase(c);
  if (base != 0) {
    out[0] = {base, kVariant, 0};
  } else {
    out[0] = {c, kNone, 0};
  }
  return 1;
}

struct CollationTable {
  std::array<std::array<Element, 2>, 256> elements;
  std::array<int, 256> counts;
  CollationTable() {
    for (int c = 0; c < 256; ++c) {
      counts[c] = Elements(static_cast<unsigned char>(c), elements[c].data());
    }
  }
};

const CollationTable& Collation() {
  static const CollationTable table;
  return table;
}

// Compares one level of the two texts' element sequences.
template <typename Level>
int CompareLevel(std::string_view a, std::string_view b, Level level) {
  const CollationTable& table = Collation();
  size_t ia = 0, ib = 0;
  int ea = 0, eb = 0;  // element within the current character
  while (true) {
    bool end_a = ia >= a.size();
    bool end_b = ib >= b.size();
    if (end_a || end_b) return end_a && end_b ? 0 : (end_a ? -1 : 1);
    unsigned char ca = static_cast<unsigned char>(a[ia]);
    unsigned char cb = static_cast<unsigned char>(b[ib]);
    int va = level(table.elements[ca][ea]);
    int vb = level(table.elements[cb][eb]);
    if (va != vb) return va < vb ? -1 : 1;
    if (++ea == table.counts[ca]) {
      ea = 0;
      ++ia;
    }
    if (++eb == table.counts[cb]) {
      eb = 0;
      ++ib;
    }
  }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(Cp1252ToUnicode(static_cast<unsigned char>(c)), &out);
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    // The length of the sequence and the range of its second byte, which
    // excludes overlong forms, surrogates and code points above U+10FFFF.
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      out.push_back('?');  // a stray continuation byte or an invalid lead
      ++i;
      continue;
    }
    // A malformed sequence becomes one '?' for its longest valid beginning;
    // the byte that broke it starts the next character.
    size_t next = i + 1;
    bool complete = true;
    for (int k = 1; k < length; ++k, ++next) {
      if (next >= text.size()) {
        complete = false;
        break;
      }
      unsigned char byte = static_cast<unsigned char>(text[next]);
      unsigned char min = k == 1 ? low : 0x80;
      unsigned char max = k == 1 ? high : 0xBF;
      if (byte < min || byte > max) {
        complete = false;
        break;
      }
      code = (code << 6) | (byte & 0x3F);
    }
    i = next;
    if (!complete) {
      out.push_back('?');
      continue;
    }
    int mapped = UnicodeToCp1252(code);
    out.push_back(mapped < 0 ? '?' : static_cast<char>(mapped));
  }
  return out;
}

void CharToOem(char* text, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    text[i] = static_cast<char>(kCp1252ToCp850[static_cast<unsigned char>(text[i])]);
  }
}

void OemToChar(char* text, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    text[i] = static_cast<char>(kCp850ToCp1252[static_cast<unsigned char>(text[i])]);
  }
}

std::string CharToOem(std::string_view text) {
  std::string out(text);
  CharToOem(out.data(), out.size());
  return out;
}

std::string OemToChar(std::string_view text) {
  std::string out(text);
  OemToChar(out.data(), out.size());
  return out;
}

bool IsCharAlpha(unsigned char c) { return IsUpperLetter(c) || IsLowerLetter(c); }

bool IsCharUpper(unsigned char c) { return IsUpperLetter(c); }

bool IsCharLower(unsigned char c) { return IsLowerLetter(c); }

unsigned char CharUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<unsigned char>(c - 0x10);
    case 0xFF:  // ÿ -> Ÿ
      return 0x9F;
    default:
      break;
  }
  // ß and ÷ have no upper-case partner in the same row.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

unsigned char CharLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:  // Š
    case 0x8C:  // Œ
    case 0x8E:  // Ž
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:  // Ÿ -> ÿ
      return 0xFF;
    default:
      break;
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  return c;
}

int CompareStringSystem(std::string_view a, std::string_view b) {
  int result = CompareLevel(a, b, [](const Element& e) { return static_cast<int>(e.primary); });
  if (result == 0) {
    result = CompareLevel(a, b, [](const Element& e) { return static_cast<int>(e.secondary); });
  }
  if (result == 0) {
    result = CompareLevel(a, b, [](const Element& e) { return static_cast<int>(e.tertiary); });
  }
  if (result == 0) {
    int bytes = a.compare(b);
    result = bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
  }
  return result;
}

}  // namespace tentaria::platform
