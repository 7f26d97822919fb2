#include "tools/make-guide/pictures/icons.h"

#include <string>

#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/scenes.h"

namespace tentaria::make_guide {
namespace {

// Icons are drawn in a 32-unit square scaled to the canvas.
double Unit(const Canvas& c) { return c.width() / 32.0; }

std::vector<Point> Scaled(const Canvas& c, std::initializer_list<Point> points) {
  std::vector<Point> out;
  for (Point p : points) out.push_back({p.x * Unit(c), p.y * Unit(c)});
  return out;
}

void Rect(Canvas& c, double x, double y, double w, double h, Colour colour) {
  const double u = Unit(c);
  c.FillRect(static_cast<int>(x * u), static_cast<int>(y * u), static_cast<int>(w * u + 0.5),
             static_cast<int>(h * u + 0.5), colour);
}

void Disc(Canvas& c, double x, double y, double r, Colour colour) {
  c.FillEllipse(x * Unit(c), y * Unit(c), r * Unit(c), r * Unit(c), colour);
}

void Letter(Canvas& c, char letter, Colour colour) {
  const int scale = c.width() >= 32 ? 3 : 1;
  const std::string text(1, letter);
  DrawText(c, (c.width() - TextWidth(text, scale)) / 2, (c.height() - 9 * scale) / 2 - scale, text,
           colour, scale);
}

void DrawDisc(Canvas& c) {
  Disc(c, 16, 16, 15, {120, 120, 130});
  Disc(c, 16, 16, 14, {214, 218, 228});
  c.FillPolygon(Scaled(c, {{16, 16}, {30, 10}, {30, 20}}), {250, 200, 210});
  c.FillPolygon(Scaled(c, {{16, 16}, {4, 8}, {2, 16}}), {190, 230, 250});
  Disc(c, 16, 16, 5, {150, 150, 160});
  Disc(c, 16, 16, 3, kIconClear);
}

void DrawDoorway(Canvas& c) {
  Rect(c, 6, 2, 20, 28, {120, 80, 40});
  Rect(c, 8, 4, 16, 26, {250, 240, 200});
  c.FillPolygon(Scaled(c, {{8, 4}, {18, 7}, {18, 31}, {8, 30}}), {160, 100, 50});
  Disc(c, 16, 18, 1.4, {240, 200, 60});
}

void DrawInfo(Canvas& c) {
  Disc(c, 16, 16, 15, {20, 70, 160});
  Disc(c, 16, 16, 13, {50, 110, 210});
  Letter(c, 'i', kWhite);
}

void DrawCalculator(Canvas& c) {
  Rect(c, 6, 2, 20, 28, {70, 70, 80});
  Rect(c, 9, 5, 14, 6, {180, 210, 170});
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) {
      Rect(c, 9 + column * 5, 14 + row * 4, 4, 3,
           row == 3 && column == 2 ? Colour{220, 90, 40} : Colour{230, 230, 230});
    }
  }
}

void DrawBook(Canvas& c) {
  Rect(c, 4, 5, 24, 23, {150, 30, 40});
  Rect(c, 7, 7, 19, 19, {250, 246, 230});
  Rect(c, 7, 7, 2, 19, {200, 190, 170});
  for (int line = 0; line < 4; ++line) Rect(c, 11, 10 + line * 4, 12, 1, {120, 120, 120});
}

void DrawCamera(Canvas& c) {
  Rect(c, 3, 9, 26, 18, {50, 50, 60});
  Rect(c, 9, 6, 8, 4, {50, 50, 60});
  Disc(c, 16, 18, 7, {170, 170, 180});
  Disc(c, 16, 18, 5, {40, 70, 120});
  Disc(c, 14, 16, 1.5, kWhite);
  Rect(c, 23, 11, 4, 3, {250, 220, 120});
}

void DrawQuestion(Canvas& c) {
  Disc(c, 16, 16, 15, {200, 150, 0});
  Disc(c, 16, 16, 13, {250, 210, 40});
  Letter(c, '?', {60, 40, 0});
}

void DrawTentIcon(Canvas& c, Colour colour) {
  c.FillPolygon(Scaled(c, {{2, 28}, {30, 28}, {16, 5}}), colour);
  c.FillPolygon(Scaled(c, {{16, 5}, {30, 28}, {24, 28}}), Shade(colour, -50));
  c.FillPolygon(Scaled(c, {{12, 28}, {19, 28}, {16, 16}}), {40, 30, 20});
  Rect(c, 0, 28, 32, 2, {60, 130, 50});
}

void DrawTent(Canvas& c) { DrawTentIcon(c, {230, 120, 30}); }
void DrawTent2(Canvas& c) { DrawTentIcon(c, {40, 130, 70}); }

void DrawRedlight(Canvas& c) {
  Rect(c, 10, 1, 12, 30, {40, 40, 40});
  Disc(c, 16, 7, 4, {240, 30, 30});
  Disc(c, 16, 16, 4, {90, 70, 20});
  Disc(c, 16, 25, 4, {20, 70, 30});
  Disc(c, 15, 6, 1.3, {255, 190, 190});
}

constexpr IconDrawing kIcons[] = {
    {"Cd.ico", DrawDisc},           {"Doorway.ico", DrawDoorway}, {"Info.ico", DrawInfo},
    {"CALC.ICO", DrawCalculator},   {"Boek.ico", DrawBook},       {"Foto.ico", DrawCamera},
    {"VRAAG.ICO", DrawQuestion},    {"Tent.ico", DrawTent},       {"Tent2.ico", DrawTent2},
    {"Redlight.ico", DrawRedlight},
};

}  // namespace

std::span<const IconDrawing> IconDrawings() { return kIcons; }

std::vector<Canvas> IconImages(const IconDrawing& icon) {
  std::vector<Canvas> images;
  for (int size : {32, 16}) {
    Canvas image(size, size, kIconClear);
    icon.draw(image);
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace tentaria::make_guide
