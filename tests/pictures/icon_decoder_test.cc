#include "pictures/icon_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictures/bytes.h"
#include "tests/pictures/reference_pictures.h"

namespace tentaria::pictures {
namespace {

using test::ConvertTest;
using test::ExpectSamePixels;

class IconDecoderTest : public ConvertTest {
 protected:
  // A 32 x 32 picture whose left half is transparent.
  void MakeHalfTransparent() {
    MakeBase();
    Convert("base.png -resize 32x32! -alpha set -channel A -fx 'i<w/2' +channel half.png");
  }
};

TEST_F(IconDecoderTest, TakesTheLargestImageAsConvertReadsIt) {
  MakeHalfTransparent();
  const struct {
    const char* name;
    const char* arguments;
    int bits;  // of the first (largest) image
  } kVariants[] = {
      // The 32-bit images keep alpha in their fourth byte; the 16 x 16 one
      // comes first in the directory so that the choice is tested.
      {"32 bits with alpha", "half.png \\( +clone -resize 16x16! \\) -reverse v.ico", 32},
      {"16 colours with an AND mask", "half.png +dither -colors 16 -type PaletteAlpha v.ico", 4},
  };
  for (const auto& v : kVariants) {
    SCOPED_TRACE(v.name);
    Convert(v.arguments);
    const std::vector<uint8_t> bytes = Bytes("v.ico");
    PicturePtr picture = DecodeIcon(bytes);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->width, 32);
    const size_t count = Le16(bytes.data() + 4);
    const uint32_t offset = Le32(bytes.data() + 6 + 16 * (count - 1) + 12);
    ASSERT_EQ(Le16(bytes.data() + offset + 14), v.bits);
    const std::string largest = "v.ico[" + std::to_string(count - 1) + "]";
    Convert("'" + largest + "' -depth 8 rgba:largest.rgba");
    test::Reference reference{32, 32, Bytes("largest.rgba")};
    ExpectSamePixels(*picture, 0, reference);
    // A cursor file differs only in its kind.
    std::vector<uint8_t> cursor = bytes;
    cursor[2] = 2;
    PicturePtr as_cursor = DecodeIcon(cursor);
    ASSERT_NE(as_cursor, nullptr);
    EXPECT_EQ(as_cursor->frames[0].rgba, picture->frames[0].rgba);
  }
}

// An animated cursor around an icon file: a header chunk, a chunk of odd
// size (padded), and the frame list.
std::vector<uint8_t> AnimatedCursor(const std::vector<uint8_t>& icon, uint32_t icon_size) {
  std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N'};
  auto chunk = [](std::vector<uint8_t>* out, const char* name, uint32_t size) {
    out->insert(out->end(), name, name + 4);
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(size >> (8 * i)));
  };
  chunk(&riff, "anih", 36);
  riff.resize(riff.size() + 36, 0);
  chunk(&riff, "junk", 3);
  riff.insert(riff.end(), {1, 2, 3, 0});
  chunk(&riff, "LIST", static_cast<uint32_t>(4 + 8 + icon.size()));
  riff.insert(riff.end(), {'f', 'r', 'a', 'm'});
  chunk(&riff, "icon", icon_size);
  riff.insert(riff.end(), icon.begin(), icon.end());
  return riff;
}

TEST_F(IconDecoderTest, AnimatedCursorGivesItsFirstFrame) {
  MakeHalfTransparent();
  Convert("half.png v.ico");
  const std::vector<uint8_t> icon = Bytes("v.ico");
  PicturePtr expected = DecodeIcon(icon);
  ASSERT_NE(expected, nullptr);
  PicturePtr cursor = DecodeIcon(AnimatedCursor(icon, static_cast<uint32_t>(icon.size())));
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->frames[0].rgba, expected->frames[0].rgba);
  EXPECT_EQ(DecodeIcon(AnimatedCursor(icon, static_cast<uint32_t>(icon.size() + 1))), nullptr);
}

TEST_F(IconDecoderTest, BrokenFilesGiveNoPicture) {
  MakeHalfTransparent();
  Convert("half.png v.ico");
  const std::vector<uint8_t> good = Bytes("v.ico");
  ASSERT_NE(DecodeIcon(good), nullptr);
  auto with = [&](size_t at, const std::vector<uint8_t>& field) {
    return test::Patched(good, at, field);
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kBroken[] = {
      {"reserved word set", with(0, {1, 0})},
      {"kind 3", with(2, {3, 0})},
      {"more images than the directory holds", with(4, {0xFF, 0xFF})},
      {"image past the end", with(6 + 12, {0xFF, 0xFF, 0, 0})},
      {"image size past the end", with(6 + 8, {0xFF, 0xFF, 0xFF, 0x7F})},
      {"an image in another format", with(22, {0x89, 'P', 'N', 'G'})},
      {"colour bits cut", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
  };
  for (const auto& b : kBroken) EXPECT_EQ(DecodeIcon(b.bytes), nullptr) << b.name;
}

TEST_F(IconDecoderTest, FlippedBytesAndCutsNeverCrash) {
  MakeHalfTransparent();
  Convert("half.png -resize 8x8! \\( +clone +dither -colors 16 -type PaletteAlpha \\) v.ico");
  const std::vector<uint8_t> good = Bytes("v.ico");
  ASSERT_NE(DecodeIcon(good), nullptr);
  test::FlipEveryByteAndCut(good, DecodeIcon);
}

}  // namespace
}  // namespace tentaria::pictures
