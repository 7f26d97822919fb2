#include "pictures/gif_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pictures/reference_pictures.h"

namespace tentaria::pictures {
namespace {

using test::ConvertTest;
using test::ExpectSamePixels;

class GifDecoderTest : public ConvertTest {};

TEST_F(GifDecoderTest, StillPicturesMatchConvert) {
  MakeBase();
  const struct {
    const char* name;
    const char* arguments;
  } kVariants[] = {
      {"200 colours", "base.png +dither -colors 200 v.gif"},
      {"4 colours (2-bit codes)", "base.png +dither -colors 4 v.gif"},
      {"2 colours", "base.png +dither -monochrome v.gif"},
      {"interlaced", "base.png +dither -colors 64 -interlace GIF v.gif"},
      {"transparent index",
       "base.png -alpha set -channel A -fx 'i<w/2' +channel +dither -colors 32 v.gif"},
      {"87a", "base.png +dither -colors 100 GIF87:v.gif"},
  };
  for (const auto& v : kVariants) {
    SCOPED_TRACE(v.name);
    Convert(v.arguments);
    PicturePtr picture = DecodeGif(Bytes("v.gif"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->frames.size(), 1u);
    EXPECT_FALSE(picture->loops);
    ExpectSamePixels(*picture, 0, ReferenceOf("v.gif"));
  }
}

// Four frames: the whole picture kept; a red box cleared to the background
// afterwards; a blue box undone afterwards; a green box.  convert composes
// the same frames with -coalesce.
TEST_F(GifDecoderTest, AnimationFramesDelaysDisposalAndLooping) {
  MakeBase();
  Convert(
      "+dither -loop 3 -dispose None -delay 7 base.png "
      "-dispose Background -delay 12 -page +5+3 -size 10x8 xc:red "
      "-dispose Previous -delay 20 -page +20+10 -size 8x6 xc:blue "
      "-dispose None -delay 30 -page +1+1 -size 6x6 xc:lime anim.gif");
  PicturePtr picture = DecodeGif(Bytes("anim.gif"));
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(picture->frames.size(), 4u);
  EXPECT_TRUE(picture->loops);
  // convert stores the passes after the first: "-loop 3" writes 2.
  EXPECT_EQ(picture->loop_count, 2);
  const int delays[] = {7, 12, 20, 30};
  const Disposal disposals[] = {Disposal::kKeep, Disposal::kBackground, Disposal::kPrevious,
                                Disposal::kKeep};
  const std::vector<test::Reference> frames = CoalescedFrames("anim.gif", 4);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(picture->frames[i].delay_cs, delays[i]);
    EXPECT_EQ(picture->frames[i].IntervalMs(), delays[i] * 10);
    EXPECT_EQ(picture->frames[i].disposal, disposals[i]);
    ExpectSamePixels(*picture, i, frames[i]);
  }
}

TEST_F(GifDecoderTest, LoopCountZeroStillLoops) {
  MakeBase();
  Convert("+dither -loop 0 -delay 5 base.png -page +2+2 -size 4x4 xc:red anim.gif");
  PicturePtr picture = DecodeGif(Bytes("anim.gif"));
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->loops);
  EXPECT_EQ(picture->loop_count, 0);
}

// A 2 x 2 GIF with two colours, built byte by byte.  image_data is the
// LZW minimum code size and the data sub-blocks; tail follows the image.
std::vector<uint8_t> TinyGif(const std::vector<uint8_t>& image_data,
                             const std::vector<uint8_t>& tail = {0x3B}) {
  std::vector<uint8_t> gif = {'G',  'I', 'F', '8', '9', 'a', 2,   0,   2,  0,
                              0x80, 0,   0,   0,   0,   0,   255, 255, 255};
  const std::vector<uint8_t> descriptor = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0};
  gif.insert(gif.end(), descriptor.begin(), descriptor.end());
  gif.insert(gif.end(), image_data.begin(), image_data.end());
  gif.insert(gif.end(), tail.begin(), tail.end());
  return gif;
}

// Codes of 3 bits, least significant first: clear (4), 1, 0, 1, 0 (the
// second and later literals add entries 6, 7: the width grows to 4 bits
// after entry 7), end (5).
const std::vector<uint8_t> kCheckerData = {2, 3, 0x0C, 0x02, 0x05, 0};

TEST(GifDecoderBytesTest, HandMadePictureDecodes) {
  PicturePtr picture = DecodeGif(TinyGif(kCheckerData));
  ASSERT_NE(picture, nullptr);
  const std::vector<uint8_t> expected = {255, 255, 255, 255, 0, 0, 0, 255,
                                         255, 255, 255, 255, 0, 0, 0, 255};
  EXPECT_EQ(picture->frames[0].rgba, expected);
}

TEST(GifDecoderBytesTest, LoopingExtensionRunningPastTheEndIsIgnored) {
  const std::vector<uint8_t> looping_extension = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A',
                                                  'P',  'E',  '2', '.', '0', 3,   1,   5,   0};
  PicturePtr cut = DecodeGif(TinyGif(kCheckerData, looping_extension));
  ASSERT_NE(cut, nullptr);
  EXPECT_FALSE(cut->loops);
  std::vector<uint8_t> whole = looping_extension;
  whole.insert(whole.end(), {0, 0x3B});
  PicturePtr looping = DecodeGif(TinyGif(kCheckerData, whole));
  ASSERT_NE(looping, nullptr);
  EXPECT_TRUE(looping->loops);
  EXPECT_EQ(looping->loop_count, 5);
}

TEST(GifDecoderBytesTest, BrokenFilesGiveNoPicture) {
  std::vector<uint8_t> huge = TinyGif(kCheckerData);
  huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
  std::vector<uint8_t> empty_screen = TinyGif(kCheckerData);
  empty_screen[6] = empty_screen[7] = 0;
  std::vector<uint8_t> not_gif = TinyGif(kCheckerData);
  not_gif[4] = '8';
  const std::vector<uint8_t> whole = TinyGif(kCheckerData);
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kBroken[] = {
      // Clear, then code 7, which no entry has yet.
      {"LZW code past the table", TinyGif({2, 1, 0x3C, 0})},
      // Code 6 right after a clear: no previous string to extend.
      {"LZW entry code right after clear", TinyGif({2, 1, 0x34, 0})},
      {"minimum code size 12", TinyGif({12, 1, 0x00, 0})},
      {"data sub-blocks cut", TinyGif({2, 9, 0x0C, 0x05})},
      {"13 bytes", std::vector<uint8_t>(whole.begin(), whole.begin() + 13)},
      {"65535 x 65535 screen", huge},
      {"empty screen", empty_screen},
      {"GIF88a", not_gif},
      {"no image", TinyGif({}, {})},
  };
  for (const auto& b : kBroken) EXPECT_EQ(DecodeGif(b.bytes), nullptr) << b.name;
}

TEST_F(GifDecoderTest, CutAnimationKeepsItsWholeFrames) {
  MakeBase();
  Convert("+dither -delay 5 base.png -page +2+2 -size 4x4 xc:red anim.gif");
  const std::vector<uint8_t> bytes = Bytes("anim.gif");
  PicturePtr whole = DecodeGif(bytes);
  ASSERT_NE(whole, nullptr);
  ASSERT_EQ(whole->frames.size(), 2u);
  // Cut inside the last frame's data (the trailer and the final blocks go).
  PicturePtr cut = DecodeGif(std::span<const uint8_t>(bytes.data(), bytes.size() - 4));
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->frames.size(), 1u);
  EXPECT_EQ(cut->frames[0].rgba, whole->frames[0].rgba);
}

TEST_F(GifDecoderTest, FlippedBytesAndCutsNeverCrash) {
  MakeBase();
  Convert(
      "+dither -delay 5 -loop 2 base.png -colors 16 -page +2+2 -size 4x4 xc:red -interlace GIF "
      "anim.gif");
  const std::vector<uint8_t> good = Bytes("anim.gif");
  for (size_t i = 0; i < good.size(); ++i) {
    std::vector<uint8_t> bytes = good;
    bytes[i] ^= 0xFF;
    if (PicturePtr p = DecodeGif(bytes)) {
      for (const Frame& f : p->frames) {
        EXPECT_EQ(f.rgba.size(), static_cast<size_t>(p->width) * p->height * 4);
      }
    }
    DecodeGif(std::span<const uint8_t>(good.data(), i));
  }
}

}  // namespace
}  // namespace tentaria::pictures
