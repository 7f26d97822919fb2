#include "pictures/pcx_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/pictures/reference_pictures.h"

namespace tentaria::pictures {
namespace {

using test::ConvertTest;
using test::ExpectSamePixels;
using test::Reference;

class PcxDecoderTest : public ConvertTest {};

TEST_F(PcxDecoderTest, MatchesConvert) {
  MakeBase();
  const struct {
    const char* name;
    const char* options;
    int bits, planes;  // what the file must hold
  } kVariants[] = {
      {"256 colours", "+dither -colors 200", 8, 1},
      {"16 colours in 8 bits", "+dither -colors 16 -type Palette", 8, 1},
      {"24 bits in 3 planes", "-type TrueColor", 8, 3},
      {"alpha in a fourth plane", "-alpha set -channel A -fx i/w +channel", 8, 4},
  };
  for (const auto& v : kVariants) {
    SCOPED_TRACE(v.name);
    Convert(std::string("base.png ") + v.options + " PCX:v.pcx");
    std::vector<uint8_t> bytes = Bytes("v.pcx");
    ASSERT_GT(bytes.size(), 128u);
    ASSERT_EQ(bytes[1], 5);
    ASSERT_EQ(bytes[3], v.bits);
    ASSERT_EQ(bytes[65], v.planes);
    const Reference reference = ReferenceOf("v.pcx");
    PicturePtr picture = DecodePcx(bytes);
    ASSERT_NE(picture, nullptr);
    ExpectSamePixels(*picture, 0, reference);
    bytes[1] = 2;  // the same file marked version 2
    PicturePtr version2 = DecodePcx(bytes);
    ASSERT_NE(version2, nullptr);
    ExpectSamePixels(*version2, 0, reference);
  }
}

// convert writes only 8-bit planes, so files of fewer bits are written
// here, by the plain reading of the format, from convert's own pixels:
// each row holds the planes in turn, plane p carrying bits p*bits up of
// each pixel's index, most significant bit first, runs of up to 63.
std::vector<uint8_t> EncodePcx(const Reference& picture, const std::vector<Rgb>& colours, int bits,
                               int planes, bool header_map) {
  const size_t bytes_per_line = ((static_cast<size_t>(picture.width) * bits + 7) / 8 + 1) & ~1u;
  std::vector<uint8_t> file(128, 0);
  file[0] = 0x0A, file[1] = 5, file[2] = 1, file[3] = static_cast<uint8_t>(bits);
  file[8] = static_cast<uint8_t>(picture.width - 1), file[9] = 0;
  file[10] = static_cast<uint8_t>(picture.height - 1), file[11] = 0;
  for (size_t i = 0; i < colours.size() && header_map; ++i) {
    file[16 + i * 3] = colours[i].r, file[17 + i * 3] = colours[i].g,
                  file[18 + i * 3] = colours[i].b;
  }
  file[65] = static_cast<uint8_t>(planes);
  file[66] = static_cast<uint8_t>(bytes_per_line), file[67] = 0;
  for (int y = 0; y < picture.height; ++y) {
    std::vector<uint8_t> row(bytes_per_line * planes, 0);
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* px = picture.rgba.data() + (y * picture.width + x) * 4;
      const size_t index =
          std::find(colours.begin(), colours.end(), Rgb{px[0], px[1], px[2]}) - colours.begin();
      for (int p = 0; p < planes; ++p) {
        const unsigned value = (index >> (p * bits)) & ((1u << bits) - 1);
        const size_t bit = static_cast<size_t>(x) * bits;
        row[p * bytes_per_line + bit / 8] |= static_cast<uint8_t>(value << (8 - bits - bit % 8));
      }
    }
    for (size_t i = 0; i < row.size();) {
      size_t n = 1;
      while (i + n < row.size() && row[i + n] == row[i] && n < 63) ++n;
      if (n > 1 || row[i] >= 0xC0) file.push_back(static_cast<uint8_t>(0xC0 | n));
      file.push_back(row[i]);
      i += n;
    }
  }
  return file;
}

std::vector<Rgb> ColoursOf(const Reference& picture) {
  std::vector<Rgb> colours;
  for (size_t i = 0; i < picture.rgba.size(); i += 4) {
    const Rgb c{picture.rgba[i], picture.rgba[i + 1], picture.rgba[i + 2]};
    if (std::find(colours.begin(), colours.end(), c) == colours.end()) colours.push_back(c);
  }
  return colours;
}

TEST_F(PcxDecoderTest, FewerBitsAndPlanes) {
  MakeBase();
  Convert("base.png +dither -colors 16 -type Palette c16.png");
  Convert("base.png +dither -colors 4 -type Palette c4.png");
  Convert("base.png +dither -monochrome c2.png");
  const struct {
    const char* name;
    const char* source;
    int bits, planes;
    bool header_map;
  } kVariants[] = {
      {"16 colours in 4 planes of 1 bit", "c16.png", 1, 4, true},
      {"16 colours in 1 plane of 4 bits", "c16.png", 4, 1, true},
      {"4 colours in 1 plane of 2 bits", "c4.png", 2, 1, true},
      {"4 colours in 2 planes of 1 bit", "c4.png", 1, 2, true},
      {"black and white with a map", "c2.png", 1, 1, true},
      {"black and white with an empty map", "c2.png", 1, 1, false},
  };
  for (const auto& v : kVariants) {
    SCOPED_TRACE(v.name);
    const Reference reference = ReferenceOf(v.source);
    std::vector<Rgb> colours = ColoursOf(reference);
    ASSERT_LE(colours.size(), size_t{1} << (v.bits * v.planes));
    if (!v.header_map) {
      // An empty map means index 0 black, 1 white.
      std::sort(colours.begin(), colours.end(), [](Rgb a, Rgb b) { return a.r < b.r; });
      ASSERT_EQ(colours.front(), (Rgb{0, 0, 0}));
    }
    PicturePtr picture = DecodePcx(EncodePcx(reference, colours, v.bits, v.planes, v.header_map));
    ASSERT_NE(picture, nullptr);
    ExpectSamePixels(*picture, 0, reference);
  }
}

TEST_F(PcxDecoderTest, BrokenFilesGiveNoPicture) {
  MakeBase();
  Convert("base.png -type TrueColor PCX:v.pcx");
  const std::vector<uint8_t> good = Bytes("v.pcx");
  ASSERT_NE(DecodePcx(good), nullptr);
  auto with = [&](size_t at, const std::vector<uint8_t>& field) {
    return test::Patched(good, at, field);
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kBroken[] = {
      {"version 3", with(1, {3})},
      {"version 4", with(1, {4})},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 128)},
      {"rows cut", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
      {"65535 x 65535", with(8, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"3000 x 3000 from a short file", with(8, {0xB7, 0x0B, 0xB7, 0x0B, 0, 0, 0, 0})},
      {"x max before x min", with(4, {40, 0})},
      {"bytes per line shorter than a row", with(66, {4, 0})},
      {"5 planes", with(65, {5})},
      {"3 bits", with(3, {3})},
  };
  for (const auto& b : kBroken) EXPECT_EQ(DecodePcx(b.bytes), nullptr) << b.name;
}

TEST_F(PcxDecoderTest, FlippedBytesAndCutsNeverCrash) {
  MakeBase();
  Convert("base.png +dither -colors 40 PCX:v.pcx");
  const std::vector<uint8_t> good = Bytes("v.pcx");
  test::FlipEveryByteAndCut(good, DecodePcx);
}

}  // namespace
}  // namespace tentaria::pictures
