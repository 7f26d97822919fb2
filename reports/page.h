// The device-independent page model that reports render into, and that the
// engines preview, print and write to PDF.
//
// Measures are in points (1/72 inch) as doubles, with the origin at the top
// left corner of the page and y growing downwards, as a reader scans a page.
// A text run is placed by the left end of its baseline.  Text is
// Windows-1252, as everywhere inside the system.  Items are drawn in the
// order they were added, so a filled box added first lies under the text
// added after it.
#ifndef TENTARIA_REPORTS_PAGE_H_
#define TENTARIA_REPORTS_PAGE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "pictures/picture.h"

namespace tentaria::reports {

// A4, portrait.
inline constexpr double kA4Width = 595.28;
inline constexpr double kA4Height = 841.89;
// Points per millimetre, for layouts measured in millimetres.
inline constexpr double kPointsPerMm = 72.0 / 25.4;

// The three families every printer and PDF reader has.
enum class FontFamily : uint8_t { kHelvetica, kTimes, kCourier };

struct Font {
  FontFamily family = FontFamily::kHelvetica;
  double size = 10;  // points
  bool bold = false;
  bool italic = false;
  friend bool operator==(const Font&, const Font&) = default;
};

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

struct TextRun {
  double x = 0;
  double y = 0;  // the baseline
  Font font;
  Colour colour;
  std::string text;
};

struct Line {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double width = 0.5;
  Colour colour;
};

struct Box {
  double x = 0, y = 0, width = 0, height = 0;
  double line_width = 0.5;  // 0: no outline
  Colour line;
  std::optional<Colour> fill;
};

// A picture scaled into its rectangle.  `name` is what the report asked
// for (a picture name as picture loading takes it); `decoded` is the
// picture itself, null when the name yielded none.  The first frame is
// printed.
struct PagePicture {
  double x = 0, y = 0, width = 0, height = 0;
  std::string name;
  std::shared_ptr<const pictures::Picture> decoded;
};

using PageItem = std::variant<TextRun, Line, Box, PagePicture>;

struct Page {
  double width = kA4Width;
  double height = kA4Height;
  std::vector<PageItem> items;

  void AddText(double x, double y, const Font& font, std::string text, Colour colour = {});
  void AddLine(double x1, double y1, double x2, double y2, double line_width = 0.5);
  void AddBox(const Box& box) { items.emplace_back(box); }
  // Loads the picture by name; a name that yields no picture is kept with
  // no picture, so that the page still says what was asked for.
  void AddPicture(double x, double y, double box_width, double box_height, std::string name);
  void AddPicture(const PagePicture& picture) { items.emplace_back(picture); }
};

// A printed document: its pages in order, and a title that print queues,
// preview windows and PDF readers show.
struct Document {
  std::string title;
  std::vector<Page> pages;
};

}  // namespace tentaria::reports

#endif  // TENTARIA_REPORTS_PAGE_H_
