#include "runtime/picture_deformat.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "runtime/date_time.h"
#include "runtime/locale.h"
#include "runtime/picture_compile.h"
#include "runtime/picture_format.h"

namespace tentaria::runtime {
namespace {

PictureValue Deformat(std::string_view text, const char* picture) {
  return DeformatPicture(text, CompilePicture(picture));
}

std::string DeformatText(std::string_view text, const char* picture) {
  return Deformat(text, picture).text();
}

int64_t DeformatInteger(std::string_view text, const char* picture) {
  return std::stoll(Deformat(text, picture).text());
}

// Two-digit years are read in 2014.
class PictureDeformatTest : public ::testing::Test {
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

struct TextCase {
  const char* typed;
  const char* picture;
  const char* value;
};

TEST_F(PictureDeformatTest, Numbers) {
  const TextCase cases[] = {
      // As shown.
      {"12,345.68", "@N9.2", "12345.68"},
      {"12.345,68", "@N9`2", "12345.68"},
      {"-   12.50", "@N-9.2", "-12.50"},
      {" ( 12.50)", "@N(9.2)", "-12.50"},
      {"   12.50-", "@N9.2-", "-12.50"},
      {"  -123.00", "@N9.2", "-123.00"},
      {"****12.50", "@N*9.2", "12.50"},
      {"1,234.00 EUR", "@N12.2~ EUR~", "1234.00"},
      {"         ", "@N9.2B", "0.00"},
      {"  1234", "@N6V2", "12.34"},
      {" 123.46E+002", "@E12.3", "123.46e2"},
      {"-120.00E-006", "@E12.3", "-120.00e-6"},
      {"   0.00E+000", "@E12.3", "0.00"},
      {"12-34-56", "@P##-##-##P", "123456"},
      // Typed another way: left-aligned, without grouping, extra blanks,
      // missing or other separators, letters, signs anywhere.
      {"1234.5", "@N9.2", "1234.5"},
      {"12", "@N9.2", "12"},
      {"  1 234 , 5", "@N9`2", "1234.5"},
      {"  12  ", "@N9.2", "12"},
      {"12-", "@N9.2", "-12"},
      {"(12)", "@N9.2", "-12"},
      {"$ 12.50", "@N9.2", "12.50"},
      {"12a3", "@N9.2", "123"},
      {"abc", "@N9.2", "0"},
      {"", "@N9.2", "0.00"},
      {"-0", "@N9.2", "0"},
      {"1234", "@N6V2", "12.34"},
      {"5", "@N6V2", "0.05"},
      {"12.3", "@N6V2", "12.3"},
      {"123456", "@P##-##-##P", "123456"},
      {"12 34 56", "@P##-##-##P", "123456"},
      {"1.5e3", "@E12.3", "1.5e3"},
      {"-2E-4", "@E12.3", "-2e-4"},
  };
  for (const TextCase& c : cases) {
    const PictureValue value = Deformat(c.typed, c.picture);
    EXPECT_TRUE(value.is_number()) << c.typed << " " << c.picture;
    EXPECT_EQ(value.text(), c.value) << "'" << c.typed << "' " << c.picture;
  }
}

TEST_F(PictureDeformatTest, OverflowAndInvalidPicturesGiveTheEmptyValue) {
  EXPECT_TRUE(Deformat("##,###.##", "@N9.2").empty());
  EXPECT_TRUE(Deformat(" #.##E+###", "@E10.1").empty());
  EXPECT_TRUE(Deformat("12", "@N0").empty());
  EXPECT_TRUE(Deformat("12", "@Q9").empty());
}

TEST_F(PictureDeformatTest, HostileLengthsGiveAValue) {
  const std::string digits(1 << 20, '9');
  const std::string noise = std::string(1 << 19, '-') + std::string(1 << 19, 'z');
  EXPECT_EQ(DeformatText(digits, "@N9.2"), digits);
  EXPECT_EQ(DeformatText(noise, "@N9.2"), "0");
  EXPECT_EQ(DeformatInteger(digits, "@D6"), -1);
  EXPECT_EQ(DeformatInteger(noise, "@D6"), 0);
  EXPECT_EQ(DeformatInteger(digits + ":" + digits, "@T1"), -1);
  EXPECT_EQ(DeformatText(digits, "@K##K"), "99");
  EXPECT_EQ(FormatPicture(PictureValue::Decimal(digits), CompilePicture("@N9.2")), "##,###.##");
  EXPECT_EQ(FormatPicture(PictureValue::Decimal("1e999999999999"), CompilePicture("@E10.1")),
            " #.##E+###");
  EXPECT_EQ(FormatPicture(PictureValue::Decimal("-1e-999999999999"), CompilePicture("@N6.2")),
            "  0.00");
}

TEST_F(PictureDeformatTest, Dates) {
  const DayNumber march5 = PartsToDayNumber(2014, 3, 5);
  const TextCase cases[] = {
      {" 5.03.2014", "@D6.", nullptr},    {"05.03.2014", "@D06.", nullptr},
      {"5/3/2014", "@D6", nullptr},       {"5-3-14", "@D6", nullptr},
      {"05032014", "@D6", nullptr},       {" 5 / 03 / 2014 ", "@D6", nullptr},
      {"3/5/14", "@D1", nullptr},         {"MAR  5,2014", "@D3", nullptr},
      {"March  5, 2014", "@D4", nullptr}, {"march 5 2014", "@D4", nullptr},
      {" 5 mar 14", "@D7", nullptr},      {"5 3 2014", "@D8", nullptr},
      {"140305", "@D11", nullptr},        {"2014/3/5", "@D10", nullptr},
      {"20140305", "@D12", nullptr},      {"03/05/14", "@D17", nullptr},
      {"5 Maart 2014", "@D18", nullptr},
  };
  CurrentLocale().SetMonthName(3, "Maart");
  for (const TextCase& c : cases) {
    EXPECT_EQ(DeformatInteger(c.typed, c.picture), march5) << c.typed << " " << c.picture;
  }
  // Pictures without a day take the first of the month.
  EXPECT_EQ(DeformatInteger("03/14", "@D13"), PartsToDayNumber(2014, 3, 1));
  EXPECT_EQ(DeformatInteger("2014/03", "@D16"), PartsToDayNumber(2014, 3, 1));
  // Nothing typed: no date.  A date that does not exist: -1.
  for (const char* typed : {"", "  /  /    ", "abc", "--"}) {
    EXPECT_EQ(DeformatInteger(typed, "@D6"), 0) << typed;
  }
  for (const char* typed : {"31/02/2014", "5/13/2014", "0/3/2014", "5 xyz 2014"}) {
    EXPECT_EQ(DeformatInteger(typed, typed[2] == 'x' ? "@D8" : "@D6"), -1) << typed;
  }
}

TEST_F(PictureDeformatTest, TwoDigitYearsFollowThePictureWindow) {
  struct Case {
    const char* picture;
    const char* typed;
    int year;
  };
  const Case cases[] = {
      {"@D6", "1/1/34", 1934},    {"@D6", "1/1/33", 2033},    {"@D6<50", "1/1/34", 2034},
      {"@D6<50", "1/1/64", 1964}, {"@D6>10", "1/1/24", 2024}, {"@D6>10", "1/1/25", 1925},
      {"@D6", "1/1/1834", 1834},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeformatInteger(c.typed, c.picture), PartsToDayNumber(c.year, 1, 1))
        << c.picture << " " << c.typed;
  }
}

TEST_F(PictureDeformatTest, Times) {
  struct Case {
    const char* typed;
    const char* picture;
    int64_t value;
  };
  const int64_t t1407 = PartsToTimeValue(14, 7, 0, 0);
  const Case cases[] = {
      {"14:07", "@T1", t1407},
      {"1407", "@T2", t1407},
      {" 2:07PM", "@T3", t1407},
      {"2:07 pm", "@T3", t1407},
      {"2.07p", "@T3", t1407},
      {"12:30PM", "@T3", PartsToTimeValue(12, 30, 0, 0)},
      {"12:30AM", "@T3", PartsToTimeValue(0, 30, 0, 0)},
      {"14:07:09", "@T4", PartsToTimeValue(14, 7, 9, 0)},
      {"140709", "@T5", PartsToTimeValue(14, 7, 9, 0)},
      {"930", "@T1", PartsToTimeValue(9, 30, 0, 0)},
      {"9", "@T1", PartsToTimeValue(0, 9, 0, 0)},
      {"14 : 7", "@T1", t1407},
      {"02:07 PM", "@T7", t1407},
      // Out of range gives -1; midnight in parts, or nothing typed, gives 0.
      {"25:00", "@T1", -1},
      {"14:60", "@T1", -1},
      {"23:59:60", "@T4", -1},
      {"12:00AM", "@T3", 0},
      {"00:00", "@T1", 0},
      {"  :  ", "@T1", 0},
      {"abc", "@T1", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeformatInteger(c.typed, c.picture), c.value) << c.typed << " " << c.picture;
  }
}

TEST_F(PictureDeformatTest, StringsAndKeyIns) {
  const TextCase cases[] = {
      {"  -12.5abc", "@S10", "-12.5"},
      {"x1e-5y", "@S10", "1e-5"},
      {"1.2.3", "@S10", "1.23"},
      {"+5", "@S10", "5"},
      {"1E+3", "@S10", "1E+3"},
      {"", "@S10", ""},
      {"123-AB", "@K###-@@K", "123AB"},
      {"123AB", "@K###-@@K", "123AB"},
      {"12x-AB", "@K###-@@K", "12 AB"},
      {"12 -  ", "@K###-@@K", "12"},
      {"(123)#AB", "@K(###)\\#@@K", "123AB"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(DeformatText(c.typed, c.picture), c.value) << c.typed << " " << c.picture;
  }
}

}  // namespace
}  // namespace tentaria::runtime
