#include "tools/make-guide/drawing/bitmap_font.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tentaria::make_guide {
namespace {

// A glyph of 5 x 7 pixels drawn from the cell's row 2, or row 4 for the
// letters that descend.
struct Glyph {
  char code;
  bool descends;
  std::array<const char*, 7> rows;
};

constexpr Glyph kGlyphs[] = {
    {' ', false, {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'!', false, {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'"', false, {".#.#.", ".#.#.", ".....", ".....", ".....", ".....", "....."}},
    {'#', false, {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},
    {'$', false, {"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."}},
    {'%', false, {"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##"}},
    {'&', false, {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
    {'\'', false, {"..#..", "..#..", ".....", ".....", ".....", ".....", "....."}},
    {'(', false, {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', false, {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'*', false, {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},
    {'+', false, {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {',', true, {".....", ".....", ".....", "..##.", "..#..", ".#...", "....."}},
    {'-', false, {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'.', false, {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {'/', false, {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
    {'0', false, {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', false, {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', false, {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', false, {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', false, {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', false, {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', false, {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', false, {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', false, {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', false, {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {':', false, {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {';', true, {".....", ".##..", ".##..", ".....", ".##..", "..#..", ".#..."}},
    {'<', false, {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."}},
    {'=', false, {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
    {'>', false, {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."}},
    {'?', false, {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'@', false, {".###.", "#...#", "....#", ".##.#", "#.#.#", "#.#.#", ".###."}},
    {'A', false, {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', false, {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', false, {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', false, {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
    {'E', false, {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', false, {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', false, {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', false, {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', false, {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', false, {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', false, {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', false, {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', false, {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', false, {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', false, {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', false, {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', false, {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', false, {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', false, {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', false, {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', false, {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', false, {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', false, {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', false, {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', false, {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', false, {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'[', false, {".###.", ".#...", ".#...", ".#...", ".#...", ".#...", ".###."}},
    {'\\', false, {".....", "#....", ".#...", "..#..", "...#.", "....#", "....."}},
    {']', false, {".###.", "...#.", "...#.", "...#.", "...#.", "...#.", ".###."}},
    {'^', false, {"..#..", ".#.#.", "#...#", ".....", ".....", ".....", "....."}},
    {'_', true, {".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
    {'`', false, {".#...", "..#..", ".....", ".....", ".....", ".....", "....."}},
    {'a', false, {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'b', false, {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####."}},
    {'c', false, {".....", ".....", ".###.", "#....", "#....", "#...#", ".###."}},
    {'d', false, {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"}},
    {'e', false, {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'f', false, {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."}},
    {'g', true, {".####", "#...#", "#...#", ".####", "....#", "#...#", ".###."}},
    {'h', false, {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'i', false, {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'j', true, {"...#.", ".....", "..##.", "...#.", "...#.", "#..#.", ".##.."}},
    {'k', false, {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
    {'l', false, {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'m', false, {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"}},
    {'n', false, {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'o', false, {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'p', true, {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'q', true, {".####", "#...#", "#...#", ".####", "....#", "....#", "....#"}},
    {'r', false, {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'s', false, {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'t', false, {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."}},
    {'u', false, {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'v', false, {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'w', false, {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
    {'x', false, {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    {'y', true, {"#...#", "#...#", "#...#", ".####", "....#", "#...#", ".###."}},
    {'z', false, {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
    {'{', false, {"...#.", "..#..", "..#..", ".#...", "..#..", "..#..", "...#."}},
    {'|', false, {"..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'}', false, {".#...", "..#..", "..#..", "...#.", "..#..", "..#..", ".#..."}},
    {'~', false, {".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."}},
    // The dotless i that carries an accent.
    {'\x01', false, {".....", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
};

enum class Accent : uint8_t {
  kNone,
  kAcute,
  kGrave,
  kCircumflex,
  kDiaeresis,
  kTilde,
  kRing,
  kCedilla
};

constexpr std::array<const char*, 2> kAccentRows[] = {
    {".....", "....."},  // none
    {"...#.", "..#.."},  // acute
    {".#...", "..#.."},  // grave
    {"..#..", ".#.#."},  // circumflex
    {".....", ".#.#."},  // diaeresis
    {".##.#", "#..#."},  // tilde
    {"..#..", ".#.#."},  // ring (drawn as a small arch)
    {"..#..", ".##.."},  // cedilla, below the letter
};

// An accented letter of Windows-1252: its base glyph and accent.
struct Accented {
  uint8_t code;
  char base;
  Accent accent;
};

constexpr Accented kAccented[] = {
    {0xC0, 'A', Accent::kGrave},        {0xC1, 'A', Accent::kAcute},
    {0xC2, 'A', Accent::kCircumflex},   {0xC3, 'A', Accent::kTilde},
    {0xC4, 'A', Accent::kDiaeresis},    {0xC5, 'A', Accent::kRing},
    {0xC7, 'C', Accent::kCedilla},      {0xC8, 'E', Accent::kGrave},
    {0xC9, 'E', Accent::kAcute},        {0xCA, 'E', Accent::kCircumflex},
    {0xCB, 'E', Accent::kDiaeresis},    {0xCC, 'I', Accent::kGrave},
    {0xCD, 'I', Accent::kAcute},        {0xCE, 'I', Accent::kCircumflex},
    {0xCF, 'I', Accent::kDiaeresis},    {0xD1, 'N', Accent::kTilde},
    {0xD2, 'O', Accent::kGrave},        {0xD3, 'O', Accent::kAcute},
    {0xD4, 'O', Accent::kCircumflex},   {0xD5, 'O', Accent::kTilde},
    {0xD6, 'O', Accent::kDiaeresis},    {0xD9, 'U', Accent::kGrave},
    {0xDA, 'U', Accent::kAcute},        {0xDB, 'U', Accent::kCircumflex},
    {0xDC, 'U', Accent::kDiaeresis},    {0xDD, 'Y', Accent::kAcute},
    {0xE0, 'a', Accent::kGrave},        {0xE1, 'a', Accent::kAcute},
    {0xE2, 'a', Accent::kCircumflex},   {0xE3, 'a', Accent::kTilde},
    {0xE4, 'a', Accent::kDiaeresis},    {0xE5, 'a', Accent::kRing},
    {0xE7, 'c', Accent::kCedilla},      {0xE8, 'e', Accent::kGrave},
    {0xE9, 'e', Accent::kAcute},        {0xEA, 'e', Accent::kCircumflex},
    {0xEB, 'e', Accent::kDiaeresis},    {0xEC, '\x01', Accent::kGrave},
    {0xED, '\x01', Accent::kAcute},     {0xEE, '\x01', Accent::kCircumflex},
    {0xEF, '\x01', Accent::kDiaeresis}, {0xF1, 'n', Accent::kTilde},
    {0xF2, 'o', Accent::kGrave},        {0xF3, 'o', Accent::kAcute},
    {0xF4, 'o', Accent::kCircumflex},   {0xF5, 'o', Accent::kTilde},
    {0xF6, 'o', Accent::kDiaeresis},    {0xF9, 'u', Accent::kGrave},
    {0xFA, 'u', Accent::kAcute},        {0xFB, 'u', Accent::kCircumflex},
    {0xFC, 'u', Accent::kDiaeresis},    {0xFD, 'y', Accent::kAcute},
    {0xFF, 'y', Accent::kDiaeresis},
};

const Glyph* FindGlyph(char code) {
  for (const Glyph& glyph : kGlyphs) {
    if (glyph.code == code) return &glyph;
  }
  return nullptr;
}

void DrawRows(Canvas& canvas, int x, int y, const char* const* rows, int count, Colour colour,
              int scale) {
  for (int row = 0; row < count; ++row) {
    for (int column = 0; column < 5; ++column) {
      if (rows[row][column] == '#') {
        canvas.FillRect(x + column * scale, y + row * scale, scale, scale, colour);
      }
    }
  }
}

void DrawCharacter(Canvas& canvas, int x, int y, uint8_t code, Colour colour, int scale) {
  char base = static_cast<char>(code);
  Accent accent = Accent::kNone;
  for (const Accented& letter : kAccented) {
    if (letter.code == code) {
      base = letter.base;
      accent = letter.accent;
    }
  }
  const Glyph* glyph = FindGlyph(base);
  if (glyph == nullptr) glyph = FindGlyph('?');
  const int top = glyph->descends ? 4 : 2;
  DrawRows(canvas, x, y + top * scale, glyph->rows.data(), 7, colour, scale);
  if (accent == Accent::kNone) return;
  const bool capital = base >= 'A' && base <= 'Z';
  const int accent_row = accent == Accent::kCedilla ? 9 : capital ? 0 : 2;
  DrawRows(canvas, x, y + accent_row * scale, kAccentRows[static_cast<int>(accent)].data(), 2,
           colour, scale);
}

}  // namespace

int TextWidth(std::string_view text, int scale) {
  return text.empty() ? 0 : (static_cast<int>(text.size()) * kCellWidth - 1) * scale;
}

void DrawText(Canvas& canvas, int x, int y, std::string_view text, Colour colour, int scale) {
  for (char c : text) {
    DrawCharacter(canvas, x, y, static_cast<uint8_t>(c), colour, scale);
    x += kCellWidth * scale;
  }
}

void DrawCentredText(Canvas& canvas, int centre_x, int y, std::string_view text, Colour colour,
                     int scale, const Colour* shadow) {
  const int x = centre_x - TextWidth(text, scale) / 2;
  if (shadow != nullptr) DrawText(canvas, x + scale, y + scale, text, *shadow, scale);
  DrawText(canvas, x, y, text, colour, scale);
}

std::string_view FittingText(std::string_view text, int width, int scale) {
  const size_t fits = static_cast<size_t>(std::max(1, (width / scale + 1) / kCellWidth));
  if (text.size() <= fits) return text;
  const size_t space = text.rfind(' ', fits);
  return text.substr(0, space == std::string_view::npos || space == 0 ? fits : space);
}

}  // namespace tentaria::make_guide
