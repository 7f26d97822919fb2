#include "reports/font_metrics.h"

#include <array>
#include <cstdint>

namespace tentaria::reports {
namespace {

// Widths of the characters 32 to 126, in thousandths of the font size.
using AsciiWidths = std::array<uint16_t, 95>;

constexpr AsciiWidths kHelvetica = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '-'/'
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // '0'-'?'
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // '@'-'O'
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // 'P'-'_'
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // '`'-'o'
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // 'p'-'~'
};

constexpr AsciiWidths kHelveticaBold = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '-'/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,  // '0'-'?'
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,  // '@'-'O'
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,  // 'P'-'_'
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,  // '`'-'o'
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,       // 'p'-'~'
};

constexpr AsciiWidths kTimes = {
    250, 333, 408, 500, 500, 833, 778, 180, 333, 333, 500, 564, 250, 333, 250, 278,  // ' '-'/'
    500, 500, 500, 500, 500, 500, 500, 500, 500, 500, 278, 278, 564, 564, 564, 444,  // '0'-'?'
    921, 722, 667, 667, 722, 611, 556, 722, 722, 333, 389, 722, 611, 889, 722, 722,  // '@'-'O'
    556, 722, 667, 556, 611, 722, 722, 944, 722, 722, 611, 333, 278, 333, 469, 500,  // 'P'-'_'
    333, 444, 500, 444, 500, 444, 333, 500, 500, 278, 278, 500, 278, 778, 500, 500,  // '`'-'o'
    500, 500, 333, 389, 278, 500, 500, 722, 500, 500, 444, 480, 200, 480, 541,       // 'p'-'~'
};

constexpr AsciiWidths kTimesBold = {
    250, 333, 555, 500, 500, 1000, 833, 278,  333, 333, 500, 570, 250, 333, 250, 278,  // ' '-'/'
    500, 500, 500, 500, 500, 500,  500, 500,  500, 500, 333, 333, 570, 570, 570, 500,  // '0'-'?'
    930, 722, 667, 722, 722, 667,  611, 778,  778, 389, 500, 778, 667, 944, 722, 778,  // '@'-'O'
    611, 778, 722, 556, 667, 722,  722, 1000, 722, 722, 667, 333, 278, 333, 581, 500,  // 'P'-'_'
    333, 500, 556, 444, 556, 444,  333, 500,  556, 278, 333, 556, 278, 833, 556, 500,  // '`'-'o'
    556, 556, 444, 389, 333, 556,  500, 722,  500, 500, 444, 394, 220, 394, 520,       // 'p'-'~'
};

// The base letter of an accented Windows-1252 letter, or 0.
char BaseLetter(unsigned char c) {
  static constexpr char kUpperHalf[] =
      // 0xC0-0xDF
      "AAAAAA\0CEEEEIIIIDNOOOOO\0OUUUUY\0\0"
      // 0xE0-0xFF
      "aaaaaa\0ceeeeiiiidnooooo\0ouuuuy\0y";
  if (c >= 0xC0) return kUpperHalf[c - 0xC0];
  switch (c) {
    case 0x8A:
      return 'S';
    case 0x9A:
      return 's';
    case 0x8E:
      return 'Z';
    case 0x9E:
      return 'z';
    case 0x9F:
      return 'Y';
    default:
      return 0;
  }
}

const AsciiWidths* WidthsOf(const Font& font) {
  switch (font.family) {
    case FontFamily::kHelvetica:
      return font.bold ? &kHelveticaBold : &kHelvetica;
    case FontFamily::kTimes:
      return font.bold ? &kTimesBold : &kTimes;
    case FontFamily::kCourier:
      return nullptr;
  }
  return nullptr;
}

// In thousandths of the font size.
int CharWidth(const AsciiWidths* widths, unsigned char c) {
  if (widths == nullptr) return 600;  // Courier: every character alike
  if (c >= 0x80) {
    char base = BaseLetter(c);
    c = base != 0 ? static_cast<unsigned char>(base) : '0';
  }
  if (c < 32 || c > 126) return 0;
  return (*widths)[c - 32];
}

}  // namespace

double TextWidth(const Font& font, std::string_view text) {
  const AsciiWidths* widths = WidthsOf(font);
  int64_t total = 0;
  for (char c : text) total += CharWidth(widths, static_cast<unsigned char>(c));
  return static_cast<double>(total) * font.size / 1000.0;
}

std::vector<std::string> WrapText(const Font& font, std::string_view text, double width) {
  std::vector<std::string> lines;
  auto finish = [&lines](std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(std::move(line));
  };
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    std::string_view paragraph =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    std::string line;
    size_t pos = 0;
    while (pos < paragraph.size()) {
      // The next word with the blanks before it.
      size_t word_end = paragraph.find(' ', paragraph.find_first_not_of(' ', pos));
      if (word_end == std::string_view::npos) word_end = paragraph.size();
      std::string_view word = paragraph.substr(pos, word_end - pos);
      if (word.find_first_not_of(' ') == std::string_view::npos) break;  // trailing blanks
      if (TextWidth(font, line) + TextWidth(font, word) <= width || line.empty()) {
        line += word;
      } else {
        finish(std::move(line));
        line.clear();
        word = word.substr(std::min(word.find_first_not_of(' '), word.size()));
        line += word;
      }
      // A word wider than the line is broken where it no longer fits.
      while (TextWidth(font, line) > width && line.size() > 1) {
        size_t fits = 1;
        while (fits < line.size() && TextWidth(font, line.substr(0, fits + 1)) <= width) ++fits;
        finish(line.substr(0, fits));
        line.erase(0, fits);
      }
      pos = word_end;
    }
    finish(std::move(line));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace tentaria::reports
