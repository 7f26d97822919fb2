// What a picture shows reads back to the value it showed.
#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "runtime/date_time.h"
#include "runtime/locale.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_deformat.h"
#include "runtime/picture_format.h"
#include "runtime/picture_number.h"

namespace tentaria::runtime {
namespace {

class PictureRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLocale();
    const platform::LocalTime fixed{2014, 6, 1, 12, 0, 0, 0};
    platform::SetLocalTimeForTesting(&fixed);
  }
  void TearDown() override {
    platform::SetLocalTimeForTesting(nullptr);
    ResetLocale();
  }
};

bool SameNumber(const PictureNumber& a, const PictureNumber& b) {
  return a.negative == b.negative && a.digits == b.digits && (a.IsZero() || a.point == b.point);
}

TEST_F(PictureRoundTripTest, NumbersReadBackRoundedToTheDecimalsShown) {
  struct Picture {
    const char* text;
    int decimals;
  };
  const Picture pictures[] = {
      {"@N9.2", 2},       {"@N9`2", 2},    {"@N-12.3", 3},  {"@N(12.2)", 2}, {"@N12.2-", 2},
      {"@N*12.2", 2},     {"@N012.2", 2},  {"@N_12.2", 2},  {"@N$12.2", 2},  {"@N~EUR ~14.2", 2},
      {"@N12.2~ F~", 2},  {"@N10V2", 2},   {"@N-10V3", 3},  {"@N12_.2", 2},  {"@N12..2", 2},
      {"@N12v.2", 2},     {"@N12`.2", 2},  {"@N-15.4B", 4}, {"@N*12`.2", 2}, {"@N12", 0},
      {"@P###-####P", 0}, {"@P<<<<#P", 0},
  };
  const char* const values[] = {"0",         "1",          "-1",       "0.5",  "-0.5",
                                "12.345",    "-1234.5678", "99999.99", "1e-7", "-3.14159",
                                "123456789", "7000",       "-1000000"};
  for (const Picture& p : pictures) {
    const CompiledPicture picture = CompilePicture(p.text);
    ASSERT_TRUE(picture.valid()) << p.text;
    for (const char* value : values) {
      const std::string shown = FormatPicture(PictureValue::Decimal(value), picture);
      ASSERT_EQ(shown.size(), static_cast<size_t>(picture.width())) << p.text << " " << value;
      if (shown.find('#') != std::string::npos) continue;
      const PictureValue read = DeformatPicture(shown, picture);
      PictureNumber expected = ParsePictureNumber(value);
      expected.Round(p.decimals);
      const bool pattern = picture.kind() == PictureKind::kPattern;
      if (pattern && expected.negative) continue;  // a pattern never shows a sign
      EXPECT_TRUE(SameNumber(ParsePictureNumber(read.text()), expected))
          << p.text << " " << value << " shown '" << shown << "' read " << read.text();
    }
  }
}

TEST_F(PictureRoundTripTest, ScientificReadsBackWhatItShows) {
  for (const char* text : {"@E12.3", "@E15.4", "@E12`3", "@E10.0", "@E20_.5"}) {
    const CompiledPicture picture = CompilePicture(text);
    ASSERT_TRUE(picture.valid()) << text;
    for (const char* value : {"0", "1", "-1", "12345.678", "-0.00012", "9.9999", "1e300"}) {
      const std::string shown = FormatPicture(PictureValue::Decimal(value), picture);
      const PictureValue read = DeformatPicture(shown, picture);
      EXPECT_EQ(FormatPicture(read, picture), shown) << text << " " << value;
      EXPECT_EQ(ParsePictureNumber(read.text()).negative, value[0] == '-') << text << " " << value;
    }
  }
}

TEST_F(PictureRoundTripTest, EveryDateFormat) {
  CurrentLocale().SetMonthName(5, "Mei");
  CurrentLocale().SetShortMonthName(5, "Mei");
  struct Date {
    int year, month, day;
  };
  // Years inside the default window (1934 to 2033 in 2014) for the
  // two-digit formats; the whole range for the four-digit ones.
  const Date in_window[] = {{1934, 1, 1},   {2014, 3, 5}, {2000, 2, 29},
                            {2033, 12, 31}, {1999, 5, 9}, {2014, 9, 30}};
  const Date any_year[] = {{1801, 1, 1}, {9999, 12, 31}, {1900, 2, 28}, {2400, 2, 29}};
  for (int format = 1; format <= 18; ++format) {
    const std::string text = "@D" + std::to_string(format);
    const CompiledPicture picture = CompilePicture(text);
    ASSERT_TRUE(picture.valid()) << text;
    int year_positions = 0;
    for (int i = 0; i < picture.width(); ++i) {
      year_positions += picture.Code(i) == PositionCode::kYearDigit ? 1 : 0;
    }
    const bool has_day = format < 13 || format > 16;
    auto check = [&](const Date& d) {
      const DayNumber day = PartsToDayNumber(d.year, d.month, d.day);
      const std::string shown = FormatPicture(PictureValue::Integer(day), picture);
      EXPECT_EQ(shown.size(), static_cast<size_t>(picture.width()));
      const DayNumber expected = has_day ? day : PartsToDayNumber(d.year, d.month, 1);
      EXPECT_EQ(DeformatPicture(shown, picture).text(), std::to_string(expected))
          << text << " '" << shown << "'";
    };
    for (const Date& d : in_window) check(d);
    if (year_positions == 4) {
      for (const Date& d : any_year) check(d);
    }
    // No date reads back as no date.
    EXPECT_EQ(DeformatPicture(FormatPicture(PictureValue::Integer(0), picture), picture).text(),
              "0")
        << text;
  }
}

TEST_F(PictureRoundTripTest, EveryTimeFormat) {
  struct Time {
    int hours, minutes, seconds, hundredths;
  };
  const Time times[] = {{0, 1, 0, 0},    {0, 0, 1, 0},   {11, 59, 59, 99}, {12, 0, 0, 0},
                        {12, 30, 15, 0}, {13, 5, 7, 50}, {23, 59, 59, 99}};
  for (const int i_time : {0, 1}) {
    IntlSettings intl;
    intl.i_time = i_time;
    CurrentLocale().SetIntl(intl);
    for (int format = 1; format <= 8; ++format) {
      const std::string text = "@T" + std::to_string(format);
      const CompiledPicture picture = CompilePicture(text);
      ASSERT_TRUE(picture.valid()) << text;
      bool shows_seconds = false;
      for (int i = 0; i < picture.width(); ++i) {
        shows_seconds = shows_seconds || picture.Code(i) == PositionCode::kSecondDigit;
      }
      for (const Time& t : times) {
        const TimeValue time = PartsToTimeValue(t.hours, t.minutes, t.seconds, t.hundredths);
        const std::string shown = FormatPicture(PictureValue::Integer(time), picture);
        // Read back at the precision shown; midnight in parts is no time.
        const TimeValue expected =
            PartsToTimeValue(t.hours, t.minutes, shows_seconds ? t.seconds : 0, 0);
        EXPECT_EQ(DeformatPicture(shown, picture).text(), std::to_string(expected))
            << text << " '" << shown << "'";
      }
    }
  }
}

TEST_F(PictureRoundTripTest, StringsAndKeyIns) {
  for (const char* value : {"12.5", "-0.25", "1e-5", "7"}) {
    const CompiledPicture picture = CompilePicture("@S12");
    EXPECT_EQ(DeformatPicture(FormatPicture(PictureValue::Decimal(value), picture), picture).text(),
              value);
  }
  for (const char* value : {"123AB", "1 3-x", "12", ""}) {
    const CompiledPicture picture = CompilePicture("@K###-@@K");
    EXPECT_EQ(DeformatPicture(FormatPicture(PictureValue::Text(value), picture), picture).text(),
              value);
  }
}

}  // namespace
}  // namespace tentaria::runtime
