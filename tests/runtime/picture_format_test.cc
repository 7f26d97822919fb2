#include "runtime/picture_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/date_time.h"
#include "runtime/locale.h"
#include "runtime/picture_compile.h"

namespace tentaria::runtime {
namespace {

std::string Format(const PictureValue& value, const char* picture) {
  return FormatPicture(value, CompilePicture(picture));
}

std::string FormatNumber(const char* decimal, const char* picture) {
  return Format(PictureValue::Decimal(decimal), picture);
}

class PictureFormatTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLocale(); }
  void TearDown() override { ResetLocale(); }
};

struct NumberCase {
  const char* value;
  const char* picture;
  const char* shown;
};

TEST_F(PictureFormatTest, Numbers) {
  const NumberCase cases[] = {
      {"12345.678", "@N9.2", "12,345.68"},
      {"12345.678", "@N9`2", "12.345,68"},
      {"0", "@N9.2", "     0.00"},
      {"0.995", "@N9.2", "     1.00"},
      {"1234567", "@N10", " 1,234,567"},
      // Blank when zero, also when the value rounds to zero.
      {"0", "@N9.2B", "         "},
      {"0.001", "@N9.2b", "         "},
      // Overflow, also by a rounding carry.
      {"12345", "@N3", "###"},
      {"99999.995", "@N9.2", "##,###.##"},
      {"1e300", "@N9", "#,###,###"},
      // Fills.
      {"12.5", "@N*9.2", "****12.50"},
      {"12.5", "@N09.2", "000012.50"},
      {"12.5", "@N_9.2", "    12.50"},
      {"34.5", "@N*10`.2", "*****34.50"},
      {"1234.5", "@N*10`.2", "**1,234.50"},
      // Signs: fixed, floating over a grouping position, parentheses, trailing.
      {"-12.5", "@N-9.2", "-   12.50"},
      {"12.5", "@N-9.2", "    12.50"},
      {"-234", "@N-5", " -234"},
      {"234", "@N-5", "  234"},
      {"-12.5", "@N(9.2)", " ( 12.50)"},
      {"-12.5", "@N9.2-", "   12.50-"},
      {"-0", "@N9.2-", "    0.00 "},
      // Currencies.
      {"12.5", "@N$9.2", "$   12.50"},
      {"1234", "@N12.2~ EUR~", "1,234.00 EUR"},
      // A picture without a sign position still shows a negative value's sign.
      {"-1234.5", "@N9.2", "-1,234.50"},
      {"-123", "@N9.2", "  -123.00"},
      {"-0.5", "@N9.2", "    -0.50"},
      {"-5", "@N07", "-000005"},
      {"-12345.5", "@N9.2", "##,###.##"},
      {"-5", "@P###P", "-05"},
      {"-123", "@P###P", "###"},
      // Implied decimal point: nothing shown, the decimals follow the units.
      {"12.34", "@N6V2", "  1234"},
      // Patterns take the digits right-aligned.
      {"123456", "@P##-##-##P", "12-34-56"},
      {"5", "@P##-##-##P", "00-00-05"},
      {"5", "@P<<#P", "  5"},
      {"12.7", "@P###P", "013"},
      // Scientific.
      {"12345.678", "@E12.3", " 123.46E+002"},
      {"-0.00012", "@E12.3", "-120.00E-006"},
      {"0", "@E12.3", "   0.00E+000"},
      {"0", "@E12.3B", "            "},
      {"9.999", "@E10.1", " 1.00E+001"},
      {"12345.678", "@E14.4", " 1,234.57E+001"},
      {"12345.678", "@E12`3", " 123,46E+002"},
      {"1e1000", "@E10.1", " #.##E+###"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.picture), c.shown) << c.value << " " << c.picture;
  }
}

TEST_F(PictureFormatTest, IntegersRealsAndTexts) {
  EXPECT_EQ(Format(PictureValue::Integer(-42), "@N5"), "  -42");
  EXPECT_EQ(Format(PictureValue::Real(0.1), "@N9.2"), "     0.10");
  // A register of 32 integer and 32 fraction digits, shown to the last digit.
  const std::string wide = "-" + std::string(32, '9') + ".12345678901234567890123456789012";
  EXPECT_EQ(Format(PictureValue::Decimal(DecimalRegister::FromText(wide)), "@N_70.32"),
            "    " + wide);
  EXPECT_EQ(Format(PictureValue::Real(12345.678), "@N9.2"), "12,345.68");
  EXPECT_EQ(Format(PictureValue::Real(std::nan("")), "@N4"), "####");
  EXPECT_EQ(Format(PictureValue::Real(-INFINITY), "@E10.1"), " #.##E+###");
  // A text is read as a number as far as it goes.
  EXPECT_EQ(Format(PictureValue::Text("  12,5 kg"), "@N6.2"), " 12.50");
  EXPECT_EQ(Format(PictureValue::Text("kg"), "@N6.2"), "  0.00");
  EXPECT_EQ(Format(PictureValue(), "@N6.2"), "  0.00");
}

TEST_F(PictureFormatTest, EveryDateFormat) {
  const int64_t day = PartsToDayNumber(2014, 3, 5);
  const char* const shown[] = {
      " 3/05/14",    " 3/05/2014",
      "MAR  5,2014", "March  5, 2014       ",
      " 5/03/14",    " 5/03/2014",
      " 5 MAR 14",   " 5 MAR 2014",
      "14/03/05",    "2014/03/05",
      "140305",      "20140305",
      "03/14",       "03/2014",
      "14/03",       "2014/03",
      "03/05/14",    "05 March 2014       ",
  };
  for (int format = 1; format <= 18; ++format) {
    const std::string picture = "@D" + std::to_string(format);
    EXPECT_EQ(FormatPicture(PictureValue::Integer(day), CompilePicture(picture)), shown[format - 1])
        << picture;
  }
}

TEST_F(PictureFormatTest, DateFillsSeparatorsAndNames) {
  const PictureValue march5 = PictureValue::Integer(PartsToDayNumber(2014, 3, 5));
  const PictureValue may2 = PictureValue::Integer(PartsToDayNumber(2014, 5, 2));
  EXPECT_EQ(Format(march5, "@D6."), " 5.03.2014");
  EXPECT_EQ(Format(march5, "@D06."), "05.03.2014");
  // A fill character replaces every leading zero of every part.
  EXPECT_EQ(Format(march5, "@D*1-"), "*3-*5-14");
  EXPECT_EQ(Format(march5, "@D_10`"), "2014, 3, 5");
  EXPECT_EQ(Format(march5, "@D7_"), " 5 MAR 14");
  // The name closes up; the text is padded at the end to the full width.
  EXPECT_EQ(Format(may2, "@D4"), "May  2, 2014         ");
  EXPECT_EQ(Format(may2, "@D3"), "MAY  2,2014");
  EXPECT_EQ(Format(PictureValue::Integer(PartsToDayNumber(1999, 12, 31)), "@D1"), "12/31/99");
  CurrentLocale().SetMonthName(3, "Maart");
  CurrentLocale().SetShortMonthName(3, "Mrt");
  EXPECT_EQ(Format(march5, "@D4"), "Maart  5, 2014       ");
  EXPECT_EQ(Format(march5, "@D8"), " 5 MRT 2014");
}

TEST_F(PictureFormatTest, EmptyAndInvalidDates) {
  for (const int64_t day :
       {int64_t{0}, int64_t{3}, int64_t{2994627}, int64_t{-1}, int64_t{1} << 40}) {
    EXPECT_EQ(Format(PictureValue::Integer(day), "@D6"), "  /  /    ") << day;
  }
  EXPECT_EQ(Format(PictureValue::Integer(0), "@D6B"), "          ");
  EXPECT_EQ(Format(PictureValue::Integer(0), "@D4"),
            std::string(15, ' ') + "," + std::string(5, ' '));
}

TEST_F(PictureFormatTest, EveryTimeFormat) {
  const int64_t time = PartsToTimeValue(14, 7, 9, 55);
  const char* const shown[] = {"14:07",  "1407",       " 2:07PM",  "14:07:09",
                               "140709", " 2:07:09PM", "02:07 PM", "02:07:09 PM"};
  for (int format = 1; format <= 8; ++format) {
    const std::string picture = "@T" + std::to_string(format);
    EXPECT_EQ(FormatPicture(PictureValue::Integer(time), CompilePicture(picture)),
              shown[format - 1])
        << picture;
  }
}

TEST_F(PictureFormatTest, TwelveHourClockAndMarkers) {
  struct Case {
    int hours, minutes;
    const char* picture;
    const char* shown;
  };
  const Case cases[] = {
      {0, 0, "@T3", "12:00AM"}, {12, 0, "@T3", "12:00PM"},   {23, 59, "@T3", "11:59PM"},
      {9, 5, "@T1", " 9:05"},   {9, 5, "@T01", "09:05"},     {9, 5, "@T*2", "*9*5"},
      {9, 5, "@T1.", " 9.05"},  {1, 2, "@T6", " 1:02:00AM"},
  };
  for (const Case& c : cases) {
    const int64_t time = c.hours * 360000 + c.minutes * 6000 + 1;
    EXPECT_EQ(Format(PictureValue::Integer(time), c.picture), c.shown) << c.picture;
  }
  IntlSettings intl;
  intl.s1159 = "vm";
  intl.s2359 = "nm";
  intl.i_tl_zero = 0;
  CurrentLocale().SetIntl(intl);
  CurrentLocale().SetAmPm("am", "pm");
  const int64_t afternoon = PartsToTimeValue(14, 7, 0, 0);
  EXPECT_EQ(Format(PictureValue::Integer(afternoon), "@T7"), " 2:07 nm");
  EXPECT_EQ(Format(PictureValue::Integer(afternoon), "@T3"), " 2:07pm");
}

TEST_F(PictureFormatTest, EmptyAndInvalidTimes) {
  for (const int64_t time : {int64_t{0}, int64_t{-5}, int64_t{8640001}}) {
    EXPECT_EQ(Format(PictureValue::Integer(time), "@T1"), "  :  ") << time;
    EXPECT_EQ(Format(PictureValue::Integer(time), "@T3"), "  :    ") << time;
  }
  EXPECT_EQ(Format(PictureValue::Integer(0), "@T1B"), "     ");
}

TEST_F(PictureFormatTest, StringsKeyInsAndInvalidPictures) {
  EXPECT_EQ(Format(PictureValue::Text("abcdefg"), "@S5"), "abcde");
  EXPECT_EQ(Format(PictureValue::Text("ab"), "@S5"), "ab   ");
  EXPECT_EQ(Format(PictureValue::Decimal("12.5"), "@S5"), "12.5 ");
  EXPECT_EQ(Format(PictureValue::Text("x"), ""), "x" + std::string(254, ' '));
  EXPECT_EQ(Format(PictureValue::Text("123AB"), "@K###-@@K"), "123-AB");
  EXPECT_EQ(Format(PictureValue::Text("12"), "@K###-@@K"), "12 -  ");
  EXPECT_EQ(Format(PictureValue::Text("123ABCDEF"), "@K(###)\\#@@K"), "(123)#AB");
  EXPECT_EQ(Format(PictureValue::Decimal("12"), "@N9x"), "");
  EXPECT_EQ(Format(PictureValue::Integer(5), "@D99"), "");
}

}  // namespace
}  // namespace tentaria::runtime
