#include "tools/make-guide/pictures/maps.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/charset.h"
#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/scenes.h"

namespace tentaria::make_guide {
namespace {

constexpr std::string_view kZee[] = {"NL-ZE"}, kNoB[] = {"NL-NB"}, kLim[] = {"NL-LI"},
                           kZuH[] = {"NL-ZH"}, kNoH[] = {"NL-NH"}, kUtr[] = {"NL-UT"},
                           kOve[] = {"NL-OV"}, kGel[] = {"NL-GE"}, kFle[] = {"NL-FL"},
                           kDre[] = {"NL-DR"}, kFri[] = {"NL-FR"}, kGro[] = {"NL-GR"},
                           kOoV[] = {"BE-OV"}, kWeV[] = {"BE-WV"}, kAnt[] = {"BE-AN"},
                           kBLi[] = {"BE-LI"}, kHai[] = {"BE-HT"}, kNam[] = {"BE-NA"},
                           kLie[] = {"BE-LG"}, kBLu[] = {"BE-LX"}, kBra[] = {"BE-VB"},
                           kLux[] = {"LU-DI", "LU-GR", "LU-LU"};

constexpr ProvinceMap kMaps[] = {
    {"Ned_Zee.GIF", "Zeeland", "Nederland", kZee},
    {"Ned_NoB.GIF", "Noord-Brabant", "Nederland", kNoB},
    {"Ned_Lim.GIF", "Limburg", "Nederland", kLim},
    {"Ned_ZuH.GIF", "Zuid-Holland", "Nederland", kZuH},
    {"Ned_NoH.GIF", "Noord-Holland", "Nederland", kNoH},
    {"Ned_Utr.GIF", "Utrecht", "Nederland", kUtr},
    {"Ned_Ove.GIF", "Overijssel", "Nederland", kOve},
    {"Ned_Gel.GIF", "Gelderland", "Nederland", kGel},
    {"Ned_Fle.GIF", "Flevoland", "Nederland", kFle},
    {"Ned_Dre.GIF", "Drenthe", "Nederland", kDre},
    {"Ned_Fri.GIF", "Friesland", "Nederland", kFri},
    {"Ned_Gro.GIF", "Groningen", "Nederland", kGro},
    {"Bel_OoV.GIF", "Oost-Vlaanderen", "België", kOoV},
    {"Bel_WeV.GIF", "West-Vlaanderen", "België", kWeV},
    {"Bel_Ant.GIF", "Antwerpen", "België", kAnt},
    {"Bel_Lim.GIF", "Limburg", "België", kBLi},
    {"Bel_Hai.GIF", "Henegouwen (Hainaut)", "België", kHai},
    {"Bel_Nam.GIF", "Namen (Namur)", "België", kNam},
    {"Bel_Lie.GIF", "Luik (Liège)", "België", kLie},
    {"Bel_Lux.GIF", "Luxemburg", "België", kBLu},
    {"Bel_Bra.GIF", "Vlaams-Brabant", "België", kBra},
    {"Lux_Lux.GIF", "Luxemburg", "Groothertogdom", kLux},
};

// Short names for the labels of the regions around a province.
struct RegionName {
  std::string_view code;
  std::string_view name;
};
constexpr RegionName kNames[] = {
    {"NL-GR", "Groningen"},       {"NL-FR", "Friesland"},
    {"NL-DR", "Drenthe"},         {"NL-OV", "Overijssel"},
    {"NL-FL", "Flevoland"},       {"NL-GE", "Gelderland"},
    {"NL-UT", "Utrecht"},         {"NL-NH", "Noord-Holland"},
    {"NL-ZH", "Zuid-Holland"},    {"NL-ZE", "Zeeland"},
    {"NL-NB", "Noord-Brabant"},   {"NL-LI", "Limburg"},
    {"BE-WV", "West-Vlaanderen"}, {"BE-OV", "Oost-Vlaanderen"},
    {"BE-AN", "Antwerpen"},       {"BE-LI", "Limburg"},
    {"BE-VB", "Vlaams-Brabant"},  {"BE-BU", "Brussel"},
    {"BE-BW", "Waals-Brabant"},   {"BE-HT", "Henegouwen"},
    {"BE-NA", "Namen"},           {"BE-LG", "Luik"},
    {"BE-LX", "Luxemburg"},       {"LU-DI", "Diekirch"},
    {"LU-GR", "Grevenmacher"},    {"LU-LU", "Luxemburg"},
    {"FR", "FRANKRIJK"},          {"DE", "DUITSLAND"},
    {"GB", "ENGELAND"},
};

constexpr Colour kSea{172, 206, 234};
constexpr Colour kAbroad{226, 222, 210};
constexpr Colour kBorder{110, 110, 110};
constexpr Colour kInk{30, 40, 60};

bool IsNeighbour(const Outline& outline) { return outline.code.size() == 2; }

Colour LandColour(const Outline& outline, bool strong, int index) {
  if (IsNeighbour(outline)) return kAbroad;
  const char country = outline.code[0];
  Colour base = country == 'N'   ? Colour{244, 170, 90}
                : country == 'B' ? Colour{240, 214, 90}
                                 : Colour{140, 196, 110};
  if (strong) return base;
  return Shade(base, 120 + (index % 3) * 20);
}

// Longitude and latitude to pixels: an equirectangular view, corrected
// for the latitude, fitted into the canvas with a margin.
class Projection {
 public:
  Projection(double west, double south, double east, double north, int width, int height,
             int top_margin) {
    const double mid = (south + north) / 2 * 3.14159265358979 / 180;
    x_scale_ = std::cos(mid);
    const double w = (east - west) * x_scale_, h = north - south;
    const double usable_h = height - top_margin - 10;
    scale_ = std::min((width - 20) / w, usable_h / h);
    x0_ = width / 2.0 - (west + east) / 2 * x_scale_ * scale_;
    y0_ = top_margin + usable_h / 2 + (south + north) / 2 * scale_ + 5;
  }
  Point operator()(Point p) const { return {x0_ + p.x * x_scale_ * scale_, y0_ - p.y * scale_}; }
  double PixelsPerKm() const { return scale_ / 111.2; }

 private:
  double x_scale_ = 1, scale_ = 1, x0_ = 0, y0_ = 0;
};

std::vector<std::vector<Point>> Projected(const Outline& outline, const Projection& projection) {
  std::vector<std::vector<Point>> rings;
  for (const auto& ring : outline.rings) {
    std::vector<Point>& out = rings.emplace_back();
    for (Point p : ring) out.push_back(projection(p));
  }
  return rings;
}

// The centre of the largest ring, for a label.
Point LabelPoint(const std::vector<std::vector<Point>>& rings) {
  double best = -1;
  Point centre;
  for (const auto& ring : rings) {
    double area = 0, cx = 0, cy = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
      const Point& a = ring[i];
      const Point& b = ring[(i + 1) % ring.size()];
      const double cross = a.x * b.y - b.x * a.y;
      area += cross;
      cx += (a.x + b.x) * cross;
      cy += (a.y + b.y) * cross;
    }
    if (std::abs(area) > best && area != 0) {
      best = std::abs(area);
      centre = {cx / (3 * area), cy / (3 * area)};
    }
  }
  return centre;
}

std::string_view NameOf(std::string_view code) {
  for (const RegionName& name : kNames) {
    if (name.code == code) return name.name;
  }
  return code;
}

bool Contains(std::span<const std::string_view> codes, std::string_view code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

void DrawRegions(Canvas& canvas, std::span<const Outline> outlines, const Projection& projection,
                 std::span<const std::string_view> highlighted) {
  canvas.FillRect(0, 0, canvas.width(), canvas.height(), kSea);
  int index = 0;
  for (const Outline& outline : outlines) {
    const bool strong = Contains(highlighted, outline.code);
    canvas.FillPolygon(Projected(outline, projection), LandColour(outline, strong, index++));
  }
  for (const Outline& outline : outlines) {
    for (const auto& ring : Projected(outline, projection)) canvas.Polyline(ring, true, kBorder);
  }
  for (const Outline& outline : outlines) {
    if (!Contains(highlighted, outline.code)) continue;
    for (const auto& ring : Projected(outline, projection)) canvas.Polyline(ring, true, kInk, 2);
  }
}

void DrawTitle(Canvas& canvas, std::string_view title, std::string_view subtitle) {
  canvas.FillRect(0, 0, canvas.width(), 44, kWhite, 220);
  canvas.FillRect(0, 44, canvas.width(), 2, kInk);
  DrawCentredText(canvas, canvas.width() / 2, 4, title, kInk, 2);
  DrawCentredText(canvas, canvas.width() / 2, 30, subtitle, {80, 80, 80});
}

void DrawScaleBar(Canvas& canvas, const Projection& projection, int km) {
  const int length = static_cast<int>(std::lround(km * projection.PixelsPerKm()));
  const int x = 12, y = canvas.height() - 14;
  canvas.FillRect(x - 4, y - 13, length + 8 + 36, 22, kWhite, 200);
  canvas.FillRect(x, y, length, 3, kInk);
  canvas.FillRect(x, y - 3, 1, 6, kInk);
  canvas.FillRect(x + length - 1, y - 3, 1, 6, kInk);
  DrawText(canvas, x + length + 5, y - 8, std::to_string(km) + " km", kInk);
}

Status LineError(int line, std::string_view problem) {
  return Status::Error(1,
                       "outline data, line " + std::to_string(line) + ": " + std::string(problem));
}

bool ParseDouble(std::string_view text, double* value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(*value);
}

}  // namespace

Status ParseOutlines(std::string_view text, std::vector<Outline>* outlines) {
  outlines->clear();
  int line_number = 0;
  size_t points_left = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++line_number;
    if (points_left > 0) {
      const size_t space = line.find(' ');
      Point p;
      if (space == std::string_view::npos || !ParseDouble(line.substr(0, space), &p.x) ||
          !ParseDouble(line.substr(space + 1), &p.y) || std::abs(p.x) > 180 || std::abs(p.y) > 90) {
        return LineError(line_number, "expected \"longitude latitude\"");
      }
      outlines->back().rings.back().push_back(p);
      --points_left;
    } else if (line.empty() || line.front() == '#') {
      continue;
    } else if (line.starts_with("region ") && line.size() > 7) {
      outlines->push_back({std::string(line.substr(7)), {}});
    } else if (line.starts_with("ring ")) {
      size_t count = 0;
      const std::string_view number = line.substr(5);
      auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), count);
      if (error != std::errc() || stop != number.data() + number.size() || count < 3 ||
          count > 100000) {
        return LineError(line_number, "a ring needs a count of at least 3 points");
      }
      if (outlines->empty()) return LineError(line_number, "a ring before any region");
      outlines->back().rings.emplace_back();
      points_left = count;
    } else {
      return LineError(line_number, "expected \"region CODE\" or \"ring N\"");
    }
  }
  if (points_left > 0) return LineError(line_number, "the file ends inside a ring");
  return Status::Ok();
}

std::span<const ProvinceMap> ProvinceMaps() { return kMaps; }

Canvas DrawProvinceMap(const ProvinceMap& map, std::span<const Outline> outlines) {
  constexpr int kWidth = 440, kHeight = 400, kTop = 46;
  double west = 180, south = 90, east = -180, north = -90;
  for (const Outline& outline : outlines) {
    if (!Contains(map.codes, outline.code)) continue;
    for (const auto& ring : outline.rings) {
      for (Point p : ring) {
        west = std::min(west, p.x);
        east = std::max(east, p.x);
        south = std::min(south, p.y);
        north = std::max(north, p.y);
      }
    }
  }
  // Some of the surroundings, so that the province is seen in its place.
  const double pad_x = (east - west) * 0.3 + 0.05, pad_y = (north - south) * 0.3 + 0.05;
  const Projection projection(west - pad_x, south - pad_y, east + pad_x, north + pad_y, kWidth,
                              kHeight, kTop);
  Canvas canvas(kWidth, kHeight);
  DrawRegions(canvas, outlines, projection, map.codes);
  for (const Outline& outline : outlines) {
    if (Contains(map.codes, outline.code) || outline.code.starts_with("LU-")) continue;
    const Point at = LabelPoint(Projected(outline, projection));
    if (at.x < 30 || at.x > kWidth - 30 || at.y < kTop + 10 || at.y > kHeight - 10) continue;
    DrawCentredText(canvas, static_cast<int>(at.x), static_cast<int>(at.y) - 5,
                    NameOf(outline.code), {90, 90, 90});
  }
  DrawTitle(canvas, platform::Utf8ToCp1252(map.title), platform::Utf8ToCp1252(map.country));
  DrawScaleBar(canvas, projection, projection.PixelsPerKm() > 4 ? 10 : 20);
  return canvas;
}

Canvas DrawBeneluxMap(std::span<const Outline> outlines) {
  constexpr int kWidth = 420, kHeight = 540, kTop = 46;
  const Projection projection(2.45, 49.4, 7.3, 53.6, kWidth, kHeight, kTop);
  Canvas canvas(kWidth, kHeight);
  DrawRegions(canvas, outlines, projection, {});
  struct Label {
    std::string_view text;
    double longitude, latitude;
    int scale;
    Colour colour;
  };
  constexpr Label kLabels[] = {
      {"NEDERLAND", 5.7, 52.45, 2, kInk},
      {"BELGIË", 4.55, 50.65, 2, kInk},
      {"LUX.", 6.1, 49.8, 1, kInk},
      {"Noordzee", 3.55, 52.6, 1, {40, 80, 140}},
      {"DUITSLAND", 7.0, 51.05, 1, {90, 90, 90}},
      {"FRANKRIJK", 3.75, 49.6, 1, {90, 90, 90}},
  };
  for (const Label& label : kLabels) {
    const Point at = projection({label.longitude, label.latitude});
    DrawCentredText(canvas, static_cast<int>(at.x), static_cast<int>(at.y),
                    platform::Utf8ToCp1252(label.text), label.colour, label.scale);
  }
  DrawTitle(canvas, "De Benelux", platform::Utf8ToCp1252("Nederland - België - Luxemburg"));
  DrawScaleBar(canvas, projection, 50);
  return canvas;
}

}  // namespace tentaria::make_guide
