#include "tools/make-guide/drawing/scenes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tentaria::make_guide {

Colour BrightColour(Random& random) {
  static constexpr Colour kColours[] = {
      {214, 48, 39},  {238, 130, 20}, {244, 196, 48}, {52, 140, 60}, {32, 110, 180},
      {120, 70, 160}, {200, 40, 110}, {20, 150, 150}, {150, 90, 40}, {60, 60, 140},
  };
  return random.Pick(kColours);
}

void DrawSky(Canvas& canvas, int horizon, Colour top, Colour bottom) {
  canvas.FillGradient(0, 0, canvas.width(), horizon, top, bottom);
}

void DrawSun(Canvas& canvas, double x, double y, double radius) {
  canvas.FillEllipse(x, y, radius * 1.6, radius * 1.6, {255, 240, 180}, 90);
  canvas.FillEllipse(x, y, radius, radius, kSunYellow);
}

void DrawCloud(Canvas& canvas, double x, double y, double size) {
  canvas.FillEllipse(x, y, size, size * 0.45, kWhite, 220);
  canvas.FillEllipse(x - size * 0.5, y + size * 0.1, size * 0.6, size * 0.35, kWhite, 220);
  canvas.FillEllipse(x + size * 0.3, y - size * 0.2, size * 0.55, size * 0.4, kWhite, 220);
}

void DrawHills(Canvas& canvas, Random& random, int crest, int amplitude, Colour colour) {
  const double phase1 = random.Between(0, 628) / 100.0;
  const double phase2 = random.Between(0, 628) / 100.0;
  const double wave1 = random.Between(8, 20) / 1000.0;
  const double wave2 = random.Between(25, 45) / 1000.0;
  std::vector<Point> ring;
  for (int x = 0; x <= canvas.width(); x += 4) {
    const double y = crest + amplitude * (0.7 * std::sin(x * wave1 + phase1) +
                                          0.3 * std::sin(x * wave2 + phase2));
    ring.push_back({static_cast<double>(x), y});
  }
  ring.push_back({static_cast<double>(canvas.width()), static_cast<double>(canvas.height())});
  ring.push_back({0, static_cast<double>(canvas.height())});
  canvas.FillPolygon(ring, colour);
}

void DrawWater(Canvas& canvas, Random& random, int top, int bottom) {
  canvas.FillGradient(0, top, canvas.width(), bottom - top, Shade(kWater, 40), Shade(kWater, -30));
  const int ripples = canvas.width() * (bottom - top) / 400;
  for (int i = 0; i < ripples; ++i) {
    const int y = random.Between(top + 2, std::max(top + 2, bottom - 2));
    const int x = random.Between(0, canvas.width());
    const int length = random.Between(6, 18);
    canvas.FillRect(x, y, length, 1, Shade(kWater, 90), 160);
  }
}

void DrawLeafTree(Canvas& canvas, double x, double ground, double size, Colour leaves) {
  canvas.FillRect(static_cast<int>(x - size * 0.06), static_cast<int>(ground - size * 0.45),
                  std::max(2, static_cast<int>(size * 0.12)), static_cast<int>(size * 0.45) + 1,
                  kBark);
  canvas.FillEllipse(x, ground - size * 0.62, size * 0.34, size * 0.36, Shade(leaves, -25));
  canvas.FillEllipse(x - size * 0.06, ground - size * 0.68, size * 0.26, size * 0.27, leaves);
  canvas.FillEllipse(x - size * 0.12, ground - size * 0.76, size * 0.1, size * 0.1,
                     Shade(leaves, 45));
}

void DrawPine(Canvas& canvas, double x, double ground, double size, Colour needles) {
  canvas.FillRect(static_cast<int>(x - size * 0.04), static_cast<int>(ground - size * 0.15),
                  std::max(2, static_cast<int>(size * 0.08)), static_cast<int>(size * 0.15) + 1,
                  kBark);
  for (int tier = 0; tier < 3; ++tier) {
    const double base = ground - size * (0.12 + tier * 0.24);
    const double half = size * (0.3 - tier * 0.07);
    canvas.FillPolygon(
        std::vector<Point>{{x - half, base}, {x + half, base}, {x, base - size * 0.42}},
        tier == 2 ? Shade(needles, 20) : needles);
  }
}

void DrawTent(Canvas& canvas, double x, double ground, double width, Colour colour) {
  const double height = width * 0.62;
  const double half = width / 2;
  // Body, a darker side and the open door.
  canvas.FillPolygon(
      std::vector<Point>{{x - half, ground}, {x + half, ground}, {x, ground - height}}, colour);
  canvas.FillPolygon(
      std::vector<Point>{{x, ground - height}, {x + half, ground}, {x + half * 0.45, ground}},
      Shade(colour, -45));
  canvas.FillPolygon(std::vector<Point>{{x - half * 0.28, ground},
                                        {x + half * 0.12, ground},
                                        {x - half * 0.08, ground - height * 0.55}},
                     Shade(colour, -110));
  canvas.Line({x, ground - height}, {x, ground - height - width * 0.12}, {60, 50, 40});
  canvas.FillRect(static_cast<int>(x - half - 2), static_cast<int>(ground),
                  static_cast<int>(width) + 4, 1, {60, 50, 40}, 120);
}

void DrawCaravan(Canvas& canvas, double x, double ground, double width, Colour colour) {
  const double height = width * 0.45;
  const int left = static_cast<int>(x - width / 2);
  const int top = static_cast<int>(ground - height - width * 0.08);
  canvas.FillRect(left, top, static_cast<int>(width), static_cast<int>(height), {240, 236, 226});
  canvas.FillRect(left, top + static_cast<int>(height * 0.55), static_cast<int>(width),
                  std::max(2, static_cast<int>(height * 0.12)), colour);
  canvas.FillRect(left + static_cast<int>(width * 0.15), top + static_cast<int>(height * 0.18),
                  static_cast<int>(width * 0.3), static_cast<int>(height * 0.28), {150, 190, 220});
  canvas.FillRect(left + static_cast<int>(width * 0.62), top + static_cast<int>(height * 0.2),
                  static_cast<int>(width * 0.16), static_cast<int>(height * 0.8), {205, 200, 190});
  canvas.FillEllipse(x - width * 0.1, ground - width * 0.07, width * 0.08, width * 0.08,
                     {40, 40, 40});
  canvas.FrameRect(left, top, static_cast<int>(width), static_cast<int>(height), {120, 120, 120});
}

void DrawLandscape(Canvas& canvas, Random& random, int kind) {
  const int w = canvas.width(), h = canvas.height();
  const int horizon = h * random.Between(38, 55) / 100;
  const bool evening = random.Percent(15);
  DrawSky(canvas, horizon + h / 5, evening ? Colour{250, 150, 90} : Colour{70, 130, 210},
          evening ? Colour{255, 220, 160} : Colour{190, 220, 245});
  // One draw per statement: the order of evaluating arguments is unspecified.
  if (random.Percent(70)) {
    const double x = w * random.Between(10, 90) / 100.0;
    const double y = horizon * random.Between(20, 50) / 100.0;
    DrawSun(canvas, x, y, h * 0.07);
  }
  for (int i = random.Between(1, 4); i > 0; --i) {
    const double x = random.Between(0, w);
    const double y = horizon * random.Between(10, 60) / 100.0;
    const double size = h * random.Between(5, 11) / 100.0;
    DrawCloud(canvas, x, y, size);
  }
  const Colour grass = kind == 1 ? Colour{222, 204, 150} : Colour{96, 160, 72};
  DrawHills(canvas, random, horizon, kind == 2 ? h / 8 : h / 30, Shade(grass, -30));
  if (kind == 1 || kind == 3) {
    const int water_bottom = horizon + h * random.Between(12, 22) / 100;
    DrawWater(canvas, random, horizon + h / 40, water_bottom);
    DrawHills(canvas, random, water_bottom + h / 20, h / 40, grass);
  } else {
    DrawHills(canvas, random, horizon + h / 8, h / 25, grass);
  }
  // Trees at the back, smaller; then tents and caravans in front.
  const int trees = kind == 0 ? random.Between(6, 12) : random.Between(2, 6);
  for (int i = 0; i < trees; ++i) {
    const double x = random.Between(0, w);
    const double ground = horizon + h * random.Between(10, 26) / 100.0;
    const double size = h * random.Between(18, 34) / 100.0;
    if (kind == 0 || random.Percent(40)) {
      DrawPine(canvas, x, ground, size, kPineGreen);
    } else {
      DrawLeafTree(canvas, x, ground, size, kLeafGreen);
    }
  }
  const int shelters = random.Between(1, 3);
  for (int i = 0; i < shelters; ++i) {
    const double x = w * (i + 0.5) / shelters + random.Between(-w / 12, w / 12);
    const double ground = h * random.Between(78, 92) / 100.0;
    const double width = w * random.Between(14, 22) / 100.0;
    if (random.Percent(30)) {
      DrawCaravan(canvas, x, ground, width * 1.2, BrightColour(random));
    } else {
      DrawTent(canvas, x, ground, width, BrightColour(random));
    }
  }
}

}  // namespace tentaria::make_guide
