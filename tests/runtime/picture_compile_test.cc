#include "runtime/picture_compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/locale.h"

namespace tentaria::runtime {
namespace {

// The template as text: the stored characters, and the position codes as
// letters ("a" + code) so a whole layout compares in one line.
std::string Characters(const CompiledPicture& picture) {
  std::string text;
  for (int i = 0; i < picture.width(); ++i)
    text.push_back(static_cast<char>(picture.TemplateChar(i)));
  return text;
}

std::string Codes(const CompiledPicture& picture) {
  std::string text;
  for (int i = 0; i < picture.width(); ++i) {
    text.push_back(static_cast<char>('a' + static_cast<int>(picture.Code(i))));
  }
  return text;
}

class PictureCompileTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLocale(); }
  void TearDown() override { ResetLocale(); }
};

TEST_F(PictureCompileTest, HeaderBitsFollowTheByteLayout) {
  const CompiledPicture picture = CompilePicture("@N9.2B");
  // kind 0, class 3 (bits 3-5), blank-when-zero (bit 6), width 9 (bits 7-14).
  const unsigned word = picture.bytes[0] | (picture.bytes[1] << 8);
  EXPECT_EQ(word, 0u | (3u << 3) | 0x40u | (9u << 7));
  EXPECT_EQ(picture.bytes[2], 0);
  EXPECT_EQ(picture.bytes[3], 0);
  EXPECT_EQ(picture.bytes[516], 0);
  EXPECT_EQ(picture.bytes[517], 0);
  // Position 0 sits at offset 6: blank-filled digit; the units digit at 11.
  EXPECT_EQ(picture.bytes[6], ' ');
  EXPECT_EQ(picture.bytes[7], static_cast<uint8_t>(PositionCode::kBlankDigit));
  EXPECT_EQ(picture.bytes[6 + 2 * 5], '0');
  EXPECT_EQ(picture.bytes[7 + 2 * 5], static_cast<uint8_t>(PositionCode::kDigit));
  // Nothing beyond the width.
  for (size_t i = 6 + 2 * 9; i < kCompiledPictureSize; ++i) ASSERT_EQ(picture.bytes[i], 0) << i;

  const CompiledPicture date = CompilePicture("@D6");
  EXPECT_EQ(date.kind(), PictureKind::kDate);
  EXPECT_EQ(date.picture_class(), 1);
  EXPECT_EQ(date.bytes[4], 80);
  EXPECT_EQ(date.bytes[5], 6);
}

struct LayoutCase {
  const char* picture;
  PictureKind kind;
  const char* characters;
  const char* codes;  // "a" + position code
};

class PictureLayoutTest : public PictureCompileTest,
                          public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PictureLayoutTest, LaysOutTheTemplate) {
  const LayoutCase& c = GetParam();
  const CompiledPicture picture = CompilePicture(c.picture);
  ASSERT_TRUE(picture.valid()) << c.picture;
  EXPECT_EQ(picture.kind(), c.kind) << c.picture;
  EXPECT_EQ(Characters(picture), c.characters) << c.picture;
  EXPECT_EQ(Codes(picture), c.codes) << c.picture;
  EXPECT_EQ(PictureStorageWidth(picture), 2 * picture.width() + 2);
}

// Codes: a literal, b group, c point, d digit, e blank digit, f sign,
// g currency, h month, i day, j year, k month name, l hour, m minute,
// n second, o-r key-in @ ^ _ ?, t date/time separator, u AM/PM,
// v exponent sign, w implied point, x key-in |.
INSTANTIATE_TEST_SUITE_P(
    Kinds, PictureLayoutTest,
    ::testing::Values(
        LayoutCase{"@N9.2", PictureKind::kNumeric, "  ,  0.00", "eebeedcdd"},
        LayoutCase{"@N9`2", PictureKind::kNumeric, "  .  0,00", "eebeedcdd"},
        // Explicit grouping wins; "_" shows as a blank.
        LayoutCase{"@N9_.2", PictureKind::kNumeric, "     0.00", "eebeedcdd"},
        // A lone indicator without decimals is the grouping character.
        LayoutCase{"@N6.", PictureKind::kNumeric, "  .  0", "eebeed"},
        // Fill "0" or "_": no grouping; fill "*": "*"-filled digits.
        LayoutCase{"@N07", PictureKind::kNumeric, "0000000", "ddddddd"},
        LayoutCase{"@N_7", PictureKind::kNumeric, "      0", "eeeeeed"},
        LayoutCase{"@N*7", PictureKind::kNumeric, "******0", "ddddddd"},
        // The leftmost position is never a grouping position.
        LayoutCase{"@N4", PictureKind::kNumeric, "   0", "eeed"},
        LayoutCase{"@N-5", PictureKind::kNumeric, "-,  0", "fbeed"},
        LayoutCase{"@N(8.1)", PictureKind::kNumeric, "(,  0.0)", "fbeedcdf"},
        LayoutCase{"@N$6.2", PictureKind::kNumeric, "$ 0.00", "gedcdd"},
        LayoutCase{"@N8.2~ F~", PictureKind::kNumeric, "  0.00 F", "eedcddgg"},
        LayoutCase{"@N6V2", PictureKind::kNumeric, "   000", "eeedwd"},
        LayoutCase{"@E12.3", PictureKind::kScientific, "-  0.00E+000", "feedcddavddd"},
        LayoutCase{"@E14.4", PictureKind::kScientific, "- ,  0.00E+000", "febeedcddavddd"},
        LayoutCase{"@P##-<#P", PictureKind::kPattern, "00- 0", "ddaed"},
        LayoutCase{"@K#@^_?|<\\#xK", PictureKind::kKeyIn, "0      #x", "dopqrxeaa"},
        LayoutCase{"@D1", PictureKind::kDate, " 0/00/00", "hhtiitjj"},
        LayoutCase{"@D3", PictureKind::kDate, "     0,0000", "kkkaiitjjjj"},
        LayoutCase{"@D7", PictureKind::kDate, " 0     00", "iitkkktjj"},
        LayoutCase{"@D_12", PictureKind::kDate, "        ", "jjjjhhii"},
        LayoutCase{"@D*13-", PictureKind::kDate, "**-**", "hhtjj"},
        LayoutCase{"@T3", PictureKind::kTime, " 0:00AM", "lltmmua"},
        LayoutCase{"@T05.", PictureKind::kTime, "000000", "llmmnn"},
        LayoutCase{"@T4_", PictureKind::kTime, " 0 00 00", "lltmmtnn"}));

TEST_F(PictureCompileTest, DateFormatThreeAndFourHaveTheirSeparators) {
  EXPECT_EQ(Characters(CompilePicture("@D3")), "     0,0000");
  EXPECT_EQ(Characters(CompilePicture("@D4-")).substr(12), "  0- 0000");
  EXPECT_EQ(CompilePicture("@D4").width(), 21);
  EXPECT_EQ(CompilePicture("@D8").width(), 11);
}

TEST_F(PictureCompileTest, WindowOptions) {
  struct Case {
    const char* picture;
    int window;
  };
  for (const Case& c : {Case{"@D1", 80}, Case{"@D1<50", 50}, Case{"@D1<0", 80}, Case{"@D1>10", 89},
                        Case{"@D1>0", 80}, Case{"@D06<30.", 30}}) {
    const CompiledPicture picture = CompilePicture(c.picture);
    ASSERT_TRUE(picture.valid()) << c.picture;
    EXPECT_EQ(picture.window(), c.window) << c.picture;
  }
}

TEST_F(PictureCompileTest, StringAndMissingPictures) {
  EXPECT_EQ(CompilePicture("@S30").width(), 30);
  EXPECT_EQ(CompilePicture("@s255").width(), 255);
  EXPECT_EQ(PictureStorageWidth(CompilePicture("@S30")), 2);
  // Missing (or blank-padded empty) text: a string picture of width 255.
  for (const char* text : {"", "     "}) {
    const CompiledPicture picture = CompilePicture(text);
    EXPECT_EQ(picture.kind(), PictureKind::kString);
    EXPECT_EQ(picture.width(), 255);
  }
  // Trailing blanks of a padded field do not count.
  EXPECT_EQ(CompilePicture("@N9.2      ").width(), 9);
}

TEST_F(PictureCompileTest, InvalidPicturesAreAllZero) {
  const std::string too_long = "@S10" + std::string(251, 'x');
  for (const std::string& text : std::vector<std::string>{
           "N9",      "@",      "@B",      "B",     "@X9",    "@N",    "@N0",     "@N255",
           "@N9x",    "@N-9-",  "@N(9",    "@N9)",  "@N-9)",  "@N$9$", "@N~EUR9", "@N$9~F~",
           "@N3.3",   "@N9._2", "@S0",     "@S256", "@S10x",  "@D0",   "@D19",    "@D6<",
           "@D6<100", "@D6/",   "@T0",     "@T9",   "@T1<50", "@E6",   "@E255",   "@E9.3",
           "@PABC",   "@P##p",  "@K##\\K", "@K##",  too_long}) {
    const CompiledPicture picture = CompilePicture(text);
    EXPECT_EQ(picture.bytes, CompiledPicture().bytes) << text;
    EXPECT_EQ(PictureStorageWidth(picture), 0) << text;
  }
}

TEST_F(PictureCompileTest, FixedPositionsMayFillTheWidth) {
  // Sign, parentheses, currency and decimals may take every position.
  EXPECT_EQ(Codes(CompilePicture("@N4.2-")), "cddf");
  EXPECT_EQ(Codes(CompilePicture("@E7.0")), "fcavddd");
}

TEST_F(PictureCompileTest, LocalePicturesFollowTheRegionalSettings) {
  IntlSettings intl;
  intl.i_time = 1;
  intl.s_time = ".";
  intl.s_short_date = "d-M-yyyy";
  CurrentLocale().SetIntl(intl);
  EXPECT_EQ(Characters(CompilePicture("@T7")), "00.00");
  EXPECT_EQ(Codes(CompilePicture("@T8")), "lltmmtnn");
  EXPECT_EQ(Characters(CompilePicture("@D17")), " 0- 0-0000");
  EXPECT_EQ(Codes(CompilePicture("@D17")), "iithhtjjjj");
  // A picture's own separator replaces the locale's.
  EXPECT_EQ(Characters(CompilePicture("@D17.")), " 0. 0.0000");
  EXPECT_EQ(CompilePicture("@D18").format_number(), 18);
}

}  // namespace
}  // namespace tentaria::runtime
