#include "tools/make-guide/pictures/program_pictures.h"

#include <cmath>
#include <vector>

#include "platform/charset.h"
#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/scenes.h"
#include "tools/make-guide/random.h"

namespace tentaria::make_guide {
namespace {

constexpr int kTile = 128;
// Streams of the program's pictures, apart from the campsite numbers.
constexpr uint64_t kWallpaperStream = 1'000'001;
constexpr uint64_t kIntroStream = 1'000'002;

// Draws `draw` at (x, y) and at its copies one tile away, so that a motif
// crossing an edge of the tile continues on the other side.
template <typename Draw>
void Wrapped(double x, double y, Draw draw) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) draw(x + dx * kTile, y + dy * kTile);
  }
}

void FaintLeaf(Canvas& tile, double x, double y, Colour colour) {
  tile.FillEllipse(x, y, 7, 3.5, colour);
  tile.Line({x - 9, y + 1}, {x + 8, y - 1}, Shade(colour, -12));
}

void FaintTent(Canvas& tile, double x, double y, Colour colour) {
  tile.FillPolygon(std::vector<Point>{{x - 9, y + 6}, {x + 9, y + 6}, {x, y - 6}}, colour);
  tile.FillPolygon(std::vector<Point>{{x - 2, y + 6}, {x + 2, y + 6}, {x, y}}, Shade(colour, 30));
}

}  // namespace

Canvas ListWallpaper(uint64_t seed) {
  const Colour paper{236, 243, 226};
  const Colour motif = Shade(paper, -14);
  Canvas tile(kTile, kTile, paper);
  Random random(seed, kWallpaperStream);
  // A loose grid with jitter keeps the motifs apart and the tile calm.
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const double x = column * 32 + 16 + random.Between(-6, 6) + (row % 2) * 16;
      const double y = row * 32 + 16 + random.Between(-5, 5);
      const bool tent = random.Percent(25);
      Wrapped(x, y, [&](double wx, double wy) {
        if (tent) {
          FaintTent(tile, wx, wy, motif);
        } else {
          FaintLeaf(tile, wx, wy, motif);
        }
      });
    }
  }
  return tile;
}

Canvas FrameWallpaper(uint64_t seed) {
  const Colour paper{228, 238, 248};
  Canvas tile(kTile, kTile, paper);
  Random random(seed, kWallpaperStream + 1);
  // Waves whose period divides the tile, so rows join at the edges.
  for (int band = 0; band < 8; ++band) {
    const double base = band * 16 + 8;
    const double phase = random.Between(0, 628) / 100.0;
    const Colour wave = Shade(paper, band % 2 == 0 ? -12 : -7);
    for (int x = 0; x < kTile; ++x) {
      const double y = base + 2.5 * std::sin(x * 2 * 3.14159265358979 / 64 + phase);
      const int row = static_cast<int>(std::lround(y)) % kTile;
      tile.Plot(x, row, wave);
      tile.Plot(x, (row + 1) % kTile, wave, 128);
    }
  }
  return tile;
}

Canvas IntroPicture(uint64_t seed) {
  Canvas canvas(480, 300);
  Random random(seed, kIntroStream);
  DrawLandscape(canvas, random, 3);
  // The title on a light band across the sky.
  canvas.FillRect(0, 22, canvas.width(), 74, kWhite, 170);
  const Colour ink{20, 60, 120};
  const Colour shadow{200, 210, 230};
  DrawCentredText(canvas, canvas.width() / 2, 26, "Tentaria Benelux 2000", ink, 3, &shadow);
  DrawCentredText(canvas, canvas.width() / 2, 66,
                  platform::Utf8ToCp1252("Campinggids Nederland - België - Luxemburg"),
                  {40, 40, 40}, 1);
  DrawCentredText(canvas, canvas.width() / 2, 80, "Versie 1.0", {40, 40, 40}, 1);
  canvas.FrameRect(0, 0, canvas.width(), canvas.height(), ink, 3);
  return canvas;
}

Canvas PublisherLogo(bool small) {
  const int scale = small ? 1 : 2;
  Canvas logo(small ? 120 : 240, small ? 48 : 96, kWhite);
  const Colour green{30, 110, 60};
  const Colour blue{30, 80, 150};
  const double s = scale;
  // A tent under a sun, beside the initials.
  logo.FillEllipse(24 * s, 16 * s, 8 * s, 8 * s, kSunYellow);
  logo.FillPolygon(std::vector<Point>{{6 * s, 38 * s}, {42 * s, 38 * s}, {24 * s, 14 * s}}, green);
  logo.FillPolygon(std::vector<Point>{{20 * s, 38 * s}, {28 * s, 38 * s}, {24 * s, 26 * s}},
                   kWhite);
  logo.FillRect(4 * scale, 38 * scale, 40 * scale, 2 * scale, blue);
  DrawText(logo, 48 * scale, 8 * scale, "OKV", blue, 2 * scale);
  DrawText(logo, 48 * scale, 32 * scale, "Kampeergids", green, scale);
  return logo;
}

}  // namespace tentaria::make_guide
