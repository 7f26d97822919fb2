// make-guide's drawing: shapes clipped at the canvas edges, calm
// wallpapers, advertisements whose title fits, small copies that average.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/canvas.h"
#include "tools/make-guide/pictures/advertisement.h"
#include "tools/make-guide/pictures/program_pictures.h"

namespace {

namespace make_guide = tentaria::make_guide;
using make_guide::Canvas;
using make_guide::Colour;
using make_guide::Point;

int Distance(Colour a, Colour b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

int Count(const Canvas& canvas, Colour colour, int x0, int y0, int x1, int y1) {
  int count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) count += canvas.At(x, y) == colour ? 1 : 0;
  }
  return count;
}

TEST(GuideDrawingTest, ShapesReachingPastTheEdgesAreClipped) {
  const Colour ink{200, 10, 10};
  Canvas canvas(20, 10);
  canvas.FillRect(-5, -5, 100, 7, ink);
  EXPECT_EQ(Count(canvas, ink, 0, 0, 20, 10), 20 * 2);
  canvas = Canvas(20, 10);
  canvas.FillEllipse(20, 10, 1e6, 5, ink);
  canvas.FillPolygon(std::vector<Point>{{-1e9, -1e9}, {1e9, 5}, {-1e9, 1e9}}, ink);
  canvas.Line({-50, 5}, {70, 5}, ink, 3);
  canvas.Plot(-1, 3, ink);
  canvas.Plot(20, 3, ink);
  EXPECT_GT(Count(canvas, ink, 0, 0, 20, 10), 0);
  // Nothing is drawn on an empty canvas.
  Canvas empty;
  empty.FillRect(0, 0, 5, 5, ink);
  empty.FillEllipse(0, 0, 3, 3, ink);
  EXPECT_TRUE(empty.pixels().empty());
}

TEST(GuideDrawingTest, PolygonsFillByTheEvenOddRule) {
  const Colour ink{0, 0, 255};
  Canvas canvas(20, 20);
  const std::vector<std::vector<Point>> rings = {{{0, 0}, {20, 0}, {20, 20}, {0, 20}},
                                                 {{5, 5}, {15, 5}, {15, 15}, {5, 15}}};
  canvas.FillPolygon(rings, ink);
  EXPECT_EQ(canvas.At(2, 2), ink);
  EXPECT_EQ(canvas.At(10, 10), Colour{});  // the hole
  EXPECT_EQ(Count(canvas, ink, 0, 0, 20, 20), 400 - 100);
}

TEST(GuideDrawingTest, WallpapersAreCalmAndTheSameForASeed) {
  for (const Canvas& tile : {make_guide::ListWallpaper(2000), make_guide::FrameWallpaper(2000)}) {
    ASSERT_EQ(tile.width(), 128);
    const Colour paper = tile.At(0, 0);
    for (Colour pixel : tile.pixels()) ASSERT_LE(Distance(pixel, paper), 80);
  }
  EXPECT_TRUE(std::ranges::equal(make_guide::ListWallpaper(7).pixels(),
                                 make_guide::ListWallpaper(7).pixels()));
  EXPECT_FALSE(std::ranges::equal(make_guide::ListWallpaper(7).pixels(),
                                  make_guide::ListWallpaper(8).pixels()));
}

TEST(GuideDrawingTest, AdvertisementTitlesFitOnOneOrTwoLines) {
  make_guide::AdvertText text;
  text.slogan = "Direct aan het water";
  text.lines = {"Tel. 0123-456789"};
  const Colour white{255, 255, 255};
  // A short name on one line at the largest size, inside the band.
  text.title = "Tony";
  Canvas short_name = make_guide::DrawAdvertisement(text, 1, 1);
  EXPECT_GT(Count(short_name, white, 12, 6, 388, 68), 100);
  // The longest name the guide holds (33 characters) wraps onto two lines,
  // with ink in both halves of the band and none at its sides.
  text.title = "Camping-Jachthaven De Kluft Noord";
  Canvas long_name = make_guide::DrawAdvertisement(text, 1, 1);
  EXPECT_GT(Count(long_name, white, 12, 10, 388, 36), 50);
  EXPECT_GT(Count(long_name, white, 12, 38, 388, 64), 50);
  EXPECT_EQ(Count(long_name, white, 6, 6, 10, 68), 0);
  EXPECT_EQ(Count(long_name, white, 390, 6, 394, 68), 0);
}

TEST(GuideDrawingTest, ShrinkAveragesThePixelsItCovers) {
  Canvas canvas(4, 2, {0, 0, 0});
  canvas.FillRect(0, 0, 1, 2, {200, 100, 40});
  const Canvas small = make_guide::Shrink(canvas, 2, 1);
  EXPECT_EQ(small.At(0, 0), (Colour{100, 50, 20}));
  EXPECT_EQ(small.At(1, 0), (Colour{0, 0, 0}));
  EXPECT_EQ(make_guide::Shrink(Canvas(), 3, 3).At(2, 2), Colour{});
}

}  // namespace
