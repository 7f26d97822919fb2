#include "pictures/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pictures/bytes.h"
#include "tests/pictures/reference_pictures.h"

namespace tentaria::pictures {
namespace {

using test::ConvertTest;
using test::ExpectSamePixels;

struct Variant {
  const char* name;
  const char* options;  // convert options applied to the base picture
  const char* format;   // convert's output format
  int bits_per_pixel;   // what the file must hold, so the variant is real
  int compression;
};

const Variant kVariants[] = {
    {"1 bit", "+dither -monochrome", "BMP3", 1, 0},
    {"4 bits", "+dither -colors 16 -type Palette", "BMP3", 4, 0},
    {"8 bits", "+dither -colors 200 -type Palette -compress None", "BMP3", 8, 0},
    {"RLE8", "+dither -colors 200 -type Palette -compress RLE", "BMP3", 8, 1},
    {"24 bits", "-type TrueColor", "BMP3", 24, 0},
    {"32 bits, fourth byte unused", "-alpha set -define bmp3:alpha=true", "BMP3", 32, 0},
    {"32 bits with alpha mask", "-alpha set -channel A -fx i/w +channel", "BMP", 32, 3},
    {"16 bits 5-6-5", "-define bmp:subtype=RGB565", "BMP", 16, 3},
    {"16 bits 5-5-5", "-define bmp:subtype=RGB555", "BMP", 16, 3},
};

// Rows of an uncompressed bottom-up file reversed and the height negated:
// the same picture stored top-down.
std::vector<uint8_t> TopDown(std::vector<uint8_t> bmp) {
  const uint32_t offset = Le32(bmp.data() + 10);
  const int32_t width = Le32Signed(bmp.data() + 18), height = Le32Signed(bmp.data() + 22);
  const int bits = Le16(bmp.data() + 28);
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  std::vector<uint8_t> flipped = bmp;
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(flipped.data() + offset + row * stride,
                bmp.data() + offset + (height - 1 - row) * stride, stride);
  }
  const int32_t negative = -height;
  std::memcpy(flipped.data() + 22, &negative, 4);
  return flipped;
}

class BmpDecoderTest : public ConvertTest {};

TEST_F(BmpDecoderTest, MatchesConvertInEveryVariant) {
  MakeBase();
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.name);
    Convert(std::string("base.png ") + v.options + " " + v.format + ":v.bmp");
    const std::vector<uint8_t> bytes = Bytes("v.bmp");
    ASSERT_GT(bytes.size(), 34u);
    ASSERT_EQ(Le16(bytes.data() + 28), v.bits_per_pixel);
    ASSERT_EQ(Le32(bytes.data() + 30), static_cast<uint32_t>(v.compression));
    PicturePtr picture = DecodeBmp(bytes);
    ASSERT_NE(picture, nullptr);
    const test::Reference reference = ReferenceOf("v.bmp");
    ExpectSamePixels(*picture, 0, reference);
    if (v.compression == 0) {
      PicturePtr top_down = DecodeBmp(TopDown(bytes));
      ASSERT_NE(top_down, nullptr);
      ExpectSamePixels(*top_down, 0, reference);
    }
  }
}

TEST_F(BmpDecoderTest, KeepsThePalette) {
  MakeBase();
  Convert("base.png +dither -colors 16 -type Palette BMP3:v.bmp");
  PicturePtr picture = DecodeBmp(Bytes("v.bmp"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->palette.size(), 16u);
}

// A hand-made 7 x 3 run-length file; colour i of the table is red i,
// green 255 - 16 i, blue 16 i.
std::vector<uint8_t> RleFile(int bits_per_pixel, uint32_t compression,
                             const std::vector<uint8_t>& bits) {
  const size_t colours = size_t{1} << bits_per_pixel;
  std::vector<uint8_t> file(14 + 40 + colours * 4, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(file.data() + at, &v, 4); };
  file[0] = 'B', file[1] = 'M';
  put32(10, static_cast<uint32_t>(file.size()));
  put32(14, 40);
  put32(18, 7);
  put32(22, 3);
  file[26] = 1;
  file[28] = static_cast<uint8_t>(bits_per_pixel);
  put32(30, compression);
  for (size_t i = 0; i < colours; ++i) {
    file[54 + i * 4] = static_cast<uint8_t>(i * 16);
    file[55 + i * 4] = static_cast<uint8_t>(255 - i * 16);
    file[56 + i * 4] = static_cast<uint8_t>(i);
  }
  file.insert(file.end(), bits.begin(), bits.end());
  return file;
}

// Red and alpha of each pixel, row by row from the top; red is the index.
std::vector<std::pair<int, int>> RedAndAlpha(const Picture& picture) {
  std::vector<std::pair<int, int>> pixels;
  for (size_t i = 0; i < picture.frames[0].rgba.size(); i += 4) {
    pixels.emplace_back(picture.frames[0].rgba[i], picture.frames[0].rgba[i + 3]);
  }
  return pixels;
}

// No tool at hand writes RLE4, so the file is made here.  Stored rows run
// bottom-up:
//   bottom row: a run of 2 (indexes 1, 2 in turn), then 5 indexes as they
//               are (3 to 7), padded to an even byte count; end of row
//   middle row: a run of 7 alternating 10 and 11; end of row
//   top row:    a move 3 right, a run of 2 of index 12, end of bitmap; the
//               pixels never reached stay transparent
TEST(BmpDecoderRleTest, Rle4RunsAbsoluteMovesAndEnd) {
  PicturePtr picture =
      DecodeBmp(RleFile(4, 2, {0x02, 0x12, 0x00, 0x05, 0x34, 0x56, 0x70, 0x00, 0x00, 0x00, 0x07,
                               0xAB, 0x00, 0x00, 0x00, 0x02, 0x03, 0x00, 0x02, 0xCC, 0x00, 0x01}));
  ASSERT_NE(picture, nullptr);
  const std::vector<std::pair<int, int>> expected = {
      {0, 0},    {0, 0},    {0, 0},    {12, 255}, {12, 255}, {0, 0},    {0, 0},
      {10, 255}, {11, 255}, {10, 255}, {11, 255}, {10, 255}, {11, 255}, {10, 255},
      {1, 255},  {2, 255},  {3, 255},  {4, 255},  {5, 255},  {6, 255},  {7, 255}};
  EXPECT_EQ(RedAndAlpha(*picture), expected);
}

TEST(BmpDecoderRleTest, OverrunsAreDroppedNotWritten) {
  const std::pair<int, int> none{0, 0}, five{5, 255};
  const struct {
    const char* name;
    std::vector<uint8_t> bits;
    std::vector<std::pair<int, int>> expected;
  } kCases[] = {
      {"a run of 255 in a row of 7, then a move past the last row",
       {0xFF, 0x05, 0x00, 0x00, 0x00, 0x02, 0x00, 0xFF, 0x02, 0x07},
       {none, none, none, none, none, none, none, none, none, none, none,
        none, none, none, five, five, five, five, five, five, five}},
      {"an absolute run of 200 cut short by the end of the data",
       {0x00, 0xC8, 0x05, 0x05},
       std::vector<std::pair<int, int>>(21, none)},
      {"a move right past the row, then a run",
       {0x00, 0x02, 0xFF, 0x00, 0x03, 0x05, 0x00, 0x00, 0x01, 0x05},
       {none, none, none, none, none, none, none, five, none, none, none,
        none, none, none, none, none, none, none, none, none, none}},
  };
  for (const auto& c : kCases) {
    PicturePtr picture = DecodeBmp(RleFile(8, 1, c.bits));
    ASSERT_NE(picture, nullptr) << c.name;
    EXPECT_EQ(RedAndAlpha(*picture), c.expected) << c.name;
  }
}

TEST_F(BmpDecoderTest, BrokenFilesGiveNoPicture) {
  MakeBase();
  Convert("base.png -type TrueColor BMP3:v.bmp");
  const std::vector<uint8_t> good = Bytes("v.bmp");
  ASSERT_NE(DecodeBmp(good), nullptr);
  auto with = [&](size_t at, const std::vector<uint8_t>& field) {
    return test::Patched(good, at, field);
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kBroken[] = {
      {"58 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 58)},
      {"not BM", with(0, {'B', 'A'})},
      {"last row cut", std::vector<uint8_t>(good.begin(), good.end() - 4)},
      {"width 2^31-1, height 2^31-1", with(18, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F})},
      {"5000 x 5000 without the bits", with(18, {0x88, 0x13, 0, 0, 0x88, 0x13, 0, 0})},
      {"negative width", with(18, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"height -2^31", with(22, {0, 0, 0, 0x80})},
      {"7 bits per pixel", with(28, {7, 0})},
      {"JPEG compression", with(30, {4, 0, 0, 0})},
      {"bits inside the header", with(10, {20, 0, 0, 0})},
      {"bits past the end", with(10, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"header size 2^32-1", with(14, {0xFF, 0xFF, 0xFF, 0xFF})},
  };
  for (const auto& broken : kBroken) EXPECT_EQ(DecodeBmp(broken.bytes), nullptr) << broken.name;
}

// Every single byte flipped, and every length cut: no crash (the sanitizer
// build checks the reads), and any picture has the file's size.
TEST_F(BmpDecoderTest, FlippedBytesAndCutsNeverCrash) {
  MakeBase();
  for (const char* options :
       {"+dither -colors 16 -type Palette BMP3", "+dither -colors 200 -compress RLE BMP3",
        "-alpha set -channel A -fx i/w +channel BMP"}) {
    Convert(std::string("base.png ") + options + ":v.bmp");
    const std::vector<uint8_t> good = Bytes("v.bmp");
    test::FlipEveryByteAndCut(good, DecodeBmp);
  }
}

}  // namespace
}  // namespace tentaria::pictures
