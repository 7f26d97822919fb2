// make-guide's picture writers, read back with the program's own decoders:
// sizes, row order, padding, palettes, LZW codes past 12 bits with table
// resets, icon transparency; the bitmap font and the outline data.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/icon_decoder.h"
#include "pictures/picture_loader.h"
#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/canvas.h"
#include "tools/make-guide/drawing/encoders.h"
#include "tools/make-guide/pictures/maps.h"

namespace {

namespace make_guide = tentaria::make_guide;
namespace pictures = tentaria::pictures;
using make_guide::Canvas;
using make_guide::Colour;

pictures::PicturePtr Decode(const std::vector<uint8_t>& bytes) {
  return pictures::DecodePicture(bytes);
}

Colour PixelOf(const pictures::Picture& picture, int x, int y, uint8_t* alpha = nullptr) {
  const uint8_t* p =
      &picture.frames.at(0).rgba.at((static_cast<size_t>(y) * picture.width + x) * 4);
  if (alpha != nullptr) *alpha = p[3];
  return {p[0], p[1], p[2]};
}

// A canvas whose every pixel differs from its neighbours: x in red, y in
// green, and a blue that mixes both.
Canvas Ramp(int width, int height) {
  Canvas canvas(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      canvas.Plot(x, y,
                  {static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 11),
                   static_cast<uint8_t>((x * 3 + y * 5) & 0xFF)});
    }
  }
  return canvas;
}

int Distance(Colour a, Colour b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

TEST(PictureWritersTest, Bmp24KeepsEveryPixelWithOddWidthsAndRowsBottomUp) {
  for (int width : {1, 2, 3, 7, 33}) {
    const Canvas canvas = Ramp(width, 5);
    pictures::PicturePtr picture = Decode(make_guide::EncodeBmp24(canvas));
    ASSERT_NE(picture, nullptr) << width;
    ASSERT_EQ(picture->width, width);
    ASSERT_EQ(picture->height, 5);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < width; ++x) ASSERT_EQ(PixelOf(*picture, x, y), canvas.At(x, y));
    }
  }
}

TEST(PictureWritersTest, Bmp8IsExactForFewColoursAndCloseForMany) {
  Canvas few(13, 9, {10, 20, 30});
  few.FillRect(2, 2, 5, 3, {200, 100, 0});
  few.Plot(12, 8, {255, 255, 255});
  pictures::PicturePtr picture = Decode(make_guide::EncodeBmp8(few));
  ASSERT_NE(picture, nullptr);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 13; ++x) ASSERT_EQ(PixelOf(*picture, x, y), few.At(x, y));
  }

  Canvas many(64, 64);
  many.FillGradient(0, 0, 64, 64, {0, 0, 255}, {255, 255, 0});
  many.FillEllipse(32, 32, 20, 20, {250, 30, 30});
  for (int x = 0; x < 64; ++x) many.Plot(x, 0, {static_cast<uint8_t>(x * 4), 128, 77});
  picture = Decode(make_guide::EncodeBmp8(many));
  ASSERT_NE(picture, nullptr);
  EXPECT_LE(picture->palette.size(), 256u);
  EXPECT_EQ(PixelOf(*picture, 32, 32), (Colour{250, 30, 30}));
  for (int y = 0; y < 64; y += 9) {
    for (int x = 0; x < 64; x += 7) EXPECT_LE(Distance(PixelOf(*picture, x, y), many.At(x, y)), 40);
  }
}

TEST(PictureWritersTest, GifRoundTripsThroughWideCodesAndTableResets) {
  // 256 colours in a pattern that repeats little: the string table fills
  // up, codes reach 12 bits and the writer starts the table again.
  Canvas noisy(300, 211);
  uint32_t state = 12345;
  std::vector<Colour> palette;
  for (int i = 0; i < 256; ++i) {
    palette.push_back(
        {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 37)});
  }
  for (int y = 0; y < noisy.height(); ++y) {
    for (int x = 0; x < noisy.width(); ++x) {
      state = state * 1103515245 + 12345;
      // Runs of a colour now and then, so that long strings are coded too.
      noisy.Plot(x, y, palette[(x / 9 + y) % 3 == 0 ? 5 : (state >> 16) & 0xFF]);
    }
  }
  for (const Canvas& canvas : {noisy, Canvas(1, 1, {9, 8, 7}), Ramp(5, 3), Canvas(17, 3)}) {
    pictures::PicturePtr picture = Decode(make_guide::EncodeGif(canvas));
    ASSERT_NE(picture, nullptr) << canvas.width();
    ASSERT_EQ(picture->width, canvas.width());
    ASSERT_EQ(picture->height, canvas.height());
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        ASSERT_EQ(PixelOf(*picture, x, y), canvas.At(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(PictureWritersTest, IconsKeepBothSizesAndTheirTransparency) {
  const Colour clear{255, 0, 255};
  std::vector<Canvas> images;
  for (int size : {32, 16}) {
    Canvas image(size, size, clear);
    image.FillRect(0, 0, size / 2, size, {20, 120, 220});
    images.push_back(image);
  }
  const std::vector<uint8_t> bytes = make_guide::EncodeIcon(images, clear);
  ASSERT_EQ(bytes[4], 2);  // two images in the directory
  pictures::PicturePtr picture = pictures::DecodeIcon(bytes);
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(picture->width, 32);
  ASSERT_EQ(picture->height, 32);
  uint8_t alpha = 0;
  EXPECT_EQ(PixelOf(*picture, 3, 30, &alpha), (Colour{20, 120, 220}));
  EXPECT_EQ(alpha, 255);
  PixelOf(*picture, 20, 1, &alpha);
  EXPECT_EQ(alpha, 0);
}

TEST(PictureWritersTest, JpegDecodesToItsSizeAndColours) {
  Canvas canvas(123, 45, {200, 60, 40});
  canvas.FillRect(62, 0, 61, 45, {30, 90, 200});
  pictures::PicturePtr picture = Decode(make_guide::EncodeJpeg(canvas));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 123);
  EXPECT_EQ(picture->height, 45);
  EXPECT_LE(Distance(PixelOf(*picture, 20, 20), canvas.At(20, 20)), 24);
  EXPECT_LE(Distance(PixelOf(*picture, 100, 20), canvas.At(100, 20)), 24);
  EXPECT_TRUE(make_guide::EncodeJpeg(Canvas()).empty());
}

int InkIn(const Canvas& canvas, int x0, int y0, int x1, int y1) {
  int ink = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) ink += canvas.At(x, y) == Colour{} ? 0 : 1;
  }
  return ink;
}

TEST(PictureWritersTest, FontDrawsAccentsAboveTheirLettersAndMarksUnknownCharacters) {
  // "e" and "é": the same letter, the accent in the rows above it.
  Canvas plain(12, 11), accented(12, 11);
  make_guide::DrawText(plain, 0, 0, "e", {255, 255, 255});
  make_guide::DrawText(accented, 0, 0, "\xE9", {255, 255, 255});
  EXPECT_EQ(InkIn(plain, 0, 4, 6, 11), InkIn(accented, 0, 4, 6, 11));
  EXPECT_EQ(InkIn(plain, 0, 0, 6, 4), 0);
  EXPECT_GT(InkIn(accented, 0, 0, 6, 4), 0);
  // A capital's accent sits above the capital, in the cell's top rows.
  Canvas capital(12, 11);
  make_guide::DrawText(capital, 0, 0, "\xCB", {255, 255, 255});
  EXPECT_GT(InkIn(capital, 0, 0, 6, 2), 0);
  // A character without a glyph is drawn as "?".
  Canvas unknown(12, 11), question(12, 11);
  make_guide::DrawText(unknown, 0, 0, "\x80", {255, 255, 255});
  make_guide::DrawText(question, 0, 0, "?", {255, 255, 255});
  EXPECT_EQ(unknown.pixels().size(), question.pixels().size());
  EXPECT_TRUE(
      std::equal(unknown.pixels().begin(), unknown.pixels().end(), question.pixels().begin()));
  EXPECT_EQ(make_guide::TextWidth("abc", 2), (3 * 6 - 1) * 2);
  EXPECT_EQ(make_guide::FittingText("Camping De Roland", 8 * 6), "Camping");
}

TEST(PictureWritersTest, OutlineDataHoldsEveryMappedRegionInsideTheBenelux) {
  const auto bytes = make_guide::OutlineText();
  std::vector<make_guide::Outline> outlines;
  ASSERT_TRUE(
      make_guide::ParseOutlines(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &outlines)
          .ok());
  for (const make_guide::ProvinceMap& map : make_guide::ProvinceMaps()) {
    for (std::string_view code : map.codes) {
      const auto found = std::find_if(outlines.begin(), outlines.end(),
                                      [&](const auto& outline) { return outline.code == code; });
      ASSERT_NE(found, outlines.end()) << code;
      ASSERT_FALSE(found->rings.empty()) << code;
      for (const auto& ring : found->rings) {
        ASSERT_GE(ring.size(), 3u);
        for (const make_guide::Point& p : ring) {
          ASSERT_TRUE(p.x > 2.5 && p.x < 7.3 && p.y > 49.4 && p.y < 53.6) << code;
        }
      }
    }
  }
}

TEST(PictureWritersTest, MalformedOutlineDataNamesItsLine) {
  std::vector<make_guide::Outline> outlines;
  tentaria::Status s =
      make_guide::ParseOutlines("# c\nregion NL-ZE\nring 3\n3 51\n4 51\n", &outlines);
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.message().find("ends inside a ring"), std::string::npos) << s.message();
  s = make_guide::ParseOutlines("ring 3\n", &outlines);
  EXPECT_NE(s.message().find("line 1"), std::string::npos) << s.message();
  s = make_guide::ParseOutlines("region X\nring 3\n1 2\nzwei 3\n", &outlines);
  EXPECT_NE(s.message().find("line 4"), std::string::npos) << s.message();
  s = make_guide::ParseOutlines("region X\nring 2\n", &outlines);
  EXPECT_FALSE(s.ok());
  EXPECT_TRUE(make_guide::ParseOutlines("region X\nring 3\n1 2\n3 4\n5 -6\n", &outlines).ok());
  ASSERT_EQ(outlines.size(), 1u);
  EXPECT_EQ(outlines[0].rings.at(0).at(2).y, -6);
}

}  // namespace
