#include "pictures/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pictures/reference_pictures.h"

namespace tentaria::pictures {
namespace {

using test::ConvertTest;
using test::ExpectSamePixels;

class JpegDecoderTest : public ConvertTest {};

// The offset of the frame header's height field (after a baseline or
// progressive start-of-frame marker), or 0.
size_t FrameSizeOffset(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 0; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i + 5;
  }
  return 0;
}

TEST_F(JpegDecoderTest, MatchesConvert) {
  MakeBase();
  const struct {
    const char* name;
    const char* options;
    int tolerance;
  } kVariants[] = {
      {"baseline 4:2:0", "-quality 90 -sampling-factor 2x2", 1},
      {"baseline 4:4:4", "-quality 75 -sampling-factor 1x1", 1},
      {"progressive", "-quality 85 -interlace Plane", 1},
      {"grey", "-colorspace Gray -quality 90", 1},
      {"CMYK", "-colorspace CMYK -quality 95", 3},
  };
  for (const auto& v : kVariants) {
    SCOPED_TRACE(v.name);
    Convert(std::string("base.png ") + v.options + " v.jpg");
    PicturePtr picture = DecodeJpeg(Bytes("v.jpg"));
    ASSERT_NE(picture, nullptr);
    Convert("v.jpg -colorspace sRGB v.png");
    ExpectSamePixels(*picture, 0, ReferenceOf("v.png"), v.tolerance);
  }
}

TEST_F(JpegDecoderTest, RejectedStreamsGiveNoPicture) {
  MakeBase();
  Convert("base.png -quality 80 v.jpg");
  const std::vector<uint8_t> good = Bytes("v.jpg");
  const size_t size_at = FrameSizeOffset(good);
  ASSERT_NE(size_at, 0u);
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kBroken[] = {
      {"empty", {}},
      {"start marker only", {0xFF, 0xD8}},
      {"header cut before the frame", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
      // 65500 x 65500: libjpeg would allocate for it; refused before that.
      {"huge claimed size", test::Patched(good, size_at, {0xFF, 0xDC, 0xFF, 0xDC})},
      {"zero width", test::Patched(good, size_at + 2, {0, 0})},
      {"not a JPEG", {'B', 'M', 0, 0, 0, 0}},
  };
  for (const auto& b : kBroken) EXPECT_EQ(DecodeJpeg(b.bytes), nullptr) << b.name;
}

TEST_F(JpegDecoderTest, DataCutShortStillDecodesAsFarAsItGoes) {
  MakeBase();
  Convert("base.png -quality 80 v.jpg");
  const std::vector<uint8_t> good = Bytes("v.jpg");
  PicturePtr cut = DecodeJpeg(std::span<const uint8_t>(good.data(), good.size() * 3 / 4));
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->width, 37);
  EXPECT_EQ(cut->height, 23);
}

TEST_F(JpegDecoderTest, FlippedBytesAndCutsNeverCrash) {
  MakeBase();
  for (const char* options : {"-quality 50", "-quality 50 -interlace Plane"}) {
    Convert(std::string("base.png ") + options + " v.jpg");
    const std::vector<uint8_t> good = Bytes("v.jpg");
    for (size_t i = 0; i < good.size(); ++i) {
      std::vector<uint8_t> bytes = good;
      bytes[i] ^= 0xFF;
      if (PicturePtr p = DecodeJpeg(bytes)) {
        EXPECT_EQ(p->frames[0].rgba.size(), static_cast<size_t>(p->width) * p->height * 4);
      }
      DecodeJpeg(std::span<const uint8_t>(good.data(), i));
    }
  }
}

}  // namespace
}  // namespace tentaria::pictures
