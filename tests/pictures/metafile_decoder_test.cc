#include "pictures/metafile_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tentaria::pictures {
namespace {

// A placeable header with the given box and units, and one more byte
// standing for the records.
std::vector<uint8_t> Header(int16_t left, int16_t top, int16_t right, int16_t bottom,
                            uint16_t units_per_inch) {
  std::vector<uint8_t> bytes(23, 0);
  const uint32_t key = 0x9AC6CDD7;
  std::memcpy(bytes.data(), &key, 4);
  const int16_t box[] = {left, top, right, bottom};
  std::memcpy(bytes.data() + 6, box, 8);
  std::memcpy(bytes.data() + 14, &units_per_inch, 2);
  return bytes;
}

TEST(MetafileDecoderTest, SizeOnTheDisplay) {
  const struct {
    int16_t left, top, right, bottom;
    uint16_t units;
    Display display;
    int width, height;
  } kCases[] = {
      {0, 0, 1440, 720, 1440, {96, 96}, 96, 48},
      {100, 50, 1100, 550, 1440, {96, 96}, 67, 33},  // 66.67 and 33.33
      {0, 0, 1, 3, 64, {96, 96}, 2, 5},              // 1.5 and 4.5 round up
      {-500, -500, 500, 500, 1000, {120, 72}, 120, 72},
  };
  for (const auto& c : kCases) {
    PicturePtr picture =
        DecodeMetafile(Header(c.left, c.top, c.right, c.bottom, c.units), c.display);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind, PictureKind::kMetafile);
    EXPECT_EQ(picture->width, c.width) << c.right;
    EXPECT_EQ(picture->height, c.height) << c.bottom;
    EXPECT_TRUE(picture->frames.empty());
  }
}

TEST(MetafileDecoderTest, RefusedHeaders) {
  std::vector<uint8_t> wrong_key = Header(0, 0, 100, 100, 1440);
  wrong_key[0] = 0xD6;
  std::vector<uint8_t> short_header = Header(0, 0, 100, 100, 1440);
  short_header.resize(22);
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kRefused[] = {
      {"22 bytes", short_header},
      {"wrong key", wrong_key},
      // No units per inch would divide by zero.
      {"units per inch 0", Header(0, 0, 100, 100, 0)},
      {"box upside down", Header(0, 100, 100, 0, 1440)},
      {"empty box", Header(5, 5, 5, 9, 1440)},
      {"larger than any picture", Header(-32768, -32768, 32767, 32767, 1)},
  };
  for (const auto& r : kRefused) EXPECT_EQ(DecodeMetafile(r.bytes, Display{}), nullptr) << r.name;
}

TEST(MetafileDecoderTest, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);
  EXPECT_EQ(MulDiv(7, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
}

}  // namespace
}  // namespace tentaria::pictures
