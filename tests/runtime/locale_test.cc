#include "runtime/locale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile.h"
#include "tests/support/temp_folder.h"

namespace tentaria::runtime {
namespace {

using Kind = PicturePartKind;

PicturePart D(Kind kind, int width, bool zero_fill = true) {
  return PicturePart{kind, width, zero_fill, {}};
}
PicturePart Sep(const std::string& text) {
  return PicturePart{Kind::kSeparator, static_cast<int>(text.size()), true, text};
}
PicturePart Lit(const std::string& text) {
  return PicturePart{Kind::kLiteral, static_cast<int>(text.size()), true, text};
}

using Parts = std::vector<PicturePart>;

IntlSettings ShortDate(const std::string& format) {
  IntlSettings intl;
  intl.s_short_date = format;
  return intl;
}

IntlSettings LongDate(const std::string& format) {
  IntlSettings intl;
  intl.s_long_date = format;
  return intl;
}

TEST(LocaleTest, BuiltInMonthNamesAndTexts) {
  Locale locale;
  EXPECT_EQ(locale.MonthName(1), "January");
  EXPECT_EQ(locale.MonthName(9), "September");
  EXPECT_EQ(locale.MonthName(12), "December");
  EXPECT_EQ(locale.ShortMonthName(1), "Jan");
  EXPECT_EQ(locale.ShortMonthName(9), "Sep");
  EXPECT_EQ(locale.MonthName(0), "");
  EXPECT_EQ(locale.MonthName(13), "");
  EXPECT_EQ(locale.ShortMonthName(-1), "");
  EXPECT_EQ(locale.am_text(), "AM");
  EXPECT_EQ(locale.pm_text(), "PM");
  EXPECT_FALSE(locale.long_file_names());
  EXPECT_TRUE(locale.collation() == CollationTables());
  EXPECT_EQ(locale.MessageOverride(2), nullptr);
}

TEST(LocaleTest, SettersCutToTheirLengths) {
  Locale locale;
  locale.SetMonthName(3, "Maartmaandlang");
  locale.SetShortMonthName(3, "Maart");
  locale.SetMonthName(13, "ignored");
  locale.SetAmPm("a.m.", "p.m.");
  EXPECT_EQ(locale.MonthName(3), "Maartmaandla");
  EXPECT_EQ(locale.ShortMonthName(3), "Maa");
  EXPECT_EQ(locale.am_text(), "a.");
  EXPECT_EQ(locale.pm_text(), "p.");
}

TEST(LocaleTest, DefaultTimePictures) {
  IntlSettings intl;
  EXPECT_EQ(BuildT7Picture(intl).parts,
            (Parts{D(Kind::kHour, 2), Sep(":"), D(Kind::kMinute, 2), Lit(" "), D(Kind::kAmPm, 2)}));
  EXPECT_EQ(BuildT7Picture(intl).Width(), 8);
  EXPECT_EQ(BuildT8Picture(intl).parts,
            (Parts{D(Kind::kHour, 2), Sep(":"), D(Kind::kMinute, 2), Sep(":"), D(Kind::kSecond, 2),
                   Lit(" "), D(Kind::kAmPm, 2)}));
  EXPECT_EQ(BuildT8Picture(intl).Width(), 11);
}

TEST(LocaleTest, TimePicturesFollowTheSettings) {
  IntlSettings intl;
  intl.i_time = 1;
  intl.i_tl_zero = 0;
  intl.s_time = ".";
  EXPECT_EQ(BuildT7Picture(intl).parts,
            (Parts{D(Kind::kHour, 2, false), Sep("."), D(Kind::kMinute, 2)}));
  EXPECT_EQ(BuildT8Picture(intl).parts,
            (Parts{D(Kind::kHour, 2, false), Sep("."), D(Kind::kMinute, 2), Sep("."),
                   D(Kind::kSecond, 2)}));
  EXPECT_EQ(BuildT8Picture(intl).Width(), 8);

  intl.i_time = 2;  // any non-zero value is the 24-hour clock
  intl.s_time = "h.mm";
  EXPECT_EQ(BuildT7Picture(intl).parts,
            (Parts{D(Kind::kHour, 2, false), Sep("h.m"), D(Kind::kMinute, 2)}));
  intl.s_time = "";
  EXPECT_EQ(BuildT7Picture(intl).parts, (Parts{D(Kind::kHour, 2, false), D(Kind::kMinute, 2)}));
}

TEST(LocaleTest, DefaultShortDatePicture) {
  LocalePicture picture = BuildD17Picture(IntlSettings{});
  EXPECT_EQ(picture.parts,
            (Parts{D(Kind::kMonth, 2), Sep("/"), D(Kind::kDay, 2), Sep("/"), D(Kind::kYear, 2)}));
  EXPECT_EQ(picture.Width(), 8);
}

TEST(LocaleTest, ShortDatePictureOrdersFillsAndSeparators) {
  EXPECT_EQ(BuildD17Picture(ShortDate("dd-MM-yyyy")).parts,
            (Parts{D(Kind::kDay, 2), Sep("-"), D(Kind::kMonth, 2), Sep("-"), D(Kind::kYear, 4)}));
  EXPECT_EQ(BuildD17Picture(ShortDate("dd-MM-yyyy")).Width(), 10);
  EXPECT_EQ(BuildD17Picture(ShortDate("d.M.yy")).parts,
            (Parts{D(Kind::kDay, 2, false), Sep("."), D(Kind::kMonth, 2, false), Sep("."),
                   D(Kind::kYear, 2)}));
  EXPECT_EQ(BuildD17Picture(ShortDate("yyyy-MM-dd")).parts,
            (Parts{D(Kind::kYear, 4), Sep("-"), D(Kind::kMonth, 2), Sep("-"), D(Kind::kDay, 2)}));
  EXPECT_EQ(BuildD17Picture(ShortDate("M/d/yyyy")).parts,
            (Parts{D(Kind::kMonth, 2, false), Sep("/"), D(Kind::kDay, 2, false), Sep("/"),
                   D(Kind::kYear, 4)}));
  // Quoted separators, no separator after the month, an empty format.
  EXPECT_EQ(BuildD17Picture(ShortDate("dd'.'MM'.'yyyy")).parts[1], Sep("."));
  EXPECT_EQ(BuildD17Picture(ShortDate("yyyyMMdd")).parts[1], Sep("/"));
  EXPECT_EQ(BuildD17Picture(ShortDate("dd/yy MM")).parts[1], Sep("/"));
  EXPECT_EQ(BuildD17Picture(ShortDate("")).parts,
            (Parts{D(Kind::kMonth, 2, false), Sep("/"), D(Kind::kDay, 2, false), Sep("/"),
                   D(Kind::kYear, 2)}));
  // The separator follows the last "M".
  EXPECT_EQ(BuildD17Picture(ShortDate("M-d M_yy")).parts[1], Sep("_"));
}

TEST(LocaleTest, DefaultLongDatePicture) {
  // "ddd', 'MMMM' 'dd', 'yyyy": "d" occurs first (the weekday), so day,
  // month name, year; the day is zero-filled because "dd" occurs.
  LocalePicture picture = BuildD18Picture(IntlSettings{});
  EXPECT_EQ(picture.parts, (Parts{D(Kind::kDay, 2), Sep(" "), D(Kind::kMonthName, 12), Sep(" "),
                                  D(Kind::kYear, 4)}));
  EXPECT_EQ(picture.Width(), 20);
}

TEST(LocaleTest, LongDatePictureFollowsTheFormat) {
  EXPECT_EQ(BuildD18Picture(LongDate("MMMM d, yyyy")).parts,
            (Parts{D(Kind::kMonthName, 12), Sep(" "), D(Kind::kDay, 2, false), Sep(" "),
                   D(Kind::kYear, 4)}));
  EXPECT_EQ(BuildD18Picture(LongDate("dddd d MMMM yyyy")).parts,
            (Parts{D(Kind::kDay, 2, false), Sep(" "), D(Kind::kMonthName, 12), Sep(" "),
                   D(Kind::kYear, 4)}));
  EXPECT_EQ(
      BuildD18Picture(LongDate("yy MMMM dd")).parts,
      (Parts{D(Kind::kYear, 2), Sep(" "), D(Kind::kMonthName, 12), Sep(" "), D(Kind::kDay, 2)}));
  // A letter inside quotes does not count; a missing part goes last.
  EXPECT_EQ(BuildD18Picture(LongDate("'day' yyyy MMMM")).parts,
            (Parts{D(Kind::kYear, 4), Sep(" "), D(Kind::kMonthName, 12), Sep(" "),
                   D(Kind::kDay, 2, false)}));
  EXPECT_EQ(BuildD18Picture(LongDate("")).parts,
            (Parts{D(Kind::kDay, 2, false), Sep(" "), D(Kind::kMonthName, 12), Sep(" "),
                   D(Kind::kYear, 2)}));
}

TEST(LocaleTest, SetIntlRebuildsThePictures) {
  Locale locale;
  EXPECT_EQ(locale.t7_picture().Width(), 8);
  IntlSettings intl;
  intl.i_time = 1;
  intl.s_short_date = "dd-MM-yyyy";
  intl.s1159 = "vorm";
  intl.s2359 = "n";
  locale.SetIntl(intl);
  EXPECT_EQ(locale.t7_picture().Width(), 5);
  EXPECT_EQ(locale.t8_picture().Width(), 8);
  EXPECT_EQ(locale.d17_picture().parts[0], D(Kind::kDay, 2));
  EXPECT_EQ(locale.d18_picture().Width(), 20);
  EXPECT_EQ(locale.windows_am_text(), "vo");
  EXPECT_EQ(locale.windows_pm_text(), "n");
  EXPECT_EQ(locale.am_text(), "AM");  // the runtime's texts are separate
}

TEST(LocaleTest, MessageOverrides) {
  Locale locale;
  locale.SetMessageOverride(35, "Record niet gevonden");
  locale.SetMessageOverride(Locale::kButtonMessageBase, "&Ja");
  ASSERT_NE(locale.MessageOverride(35), nullptr);
  EXPECT_EQ(*locale.MessageOverride(35), "Record niet gevonden");
  EXPECT_EQ(*locale.MessageOverride(0x7F00), "&Ja");
  EXPECT_EQ(locale.MessageOverride(36), nullptr);
  locale.SetMessageOverride(35, "Anders");
  EXPECT_EQ(*locale.MessageOverride(35), "Anders");
}

class LocaleProfileTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    test_support::TempHomeTest::SetUp();
    ResetLocale();
  }
  void TearDown() override { ResetLocale(); }
};

TEST_F(LocaleProfileTest, MissingIntlGivesTheDefaults) {
  IntlSettings intl = ReadIntlSettings();
  IntlSettings defaults;
  EXPECT_EQ(intl.i_time, defaults.i_time);
  EXPECT_EQ(intl.i_tl_zero, 1);
  EXPECT_EQ(intl.s_time, ":");
  EXPECT_EQ(intl.s1159, "AM");
  EXPECT_EQ(intl.s2359, "PM");
  EXPECT_EQ(intl.s_short_date, "MM/dd/yy");
  EXPECT_EQ(intl.s_long_date, "ddd', 'MMMM' 'dd', 'yyyy");
}

TEST_F(LocaleProfileTest, IntlIsReadFromTheUserProfile) {
  test_support::WriteTextFile(platform::UserProfilePath(),
                              "[Intl]\r\n"
                              "iTime=1\r\n"
                              "iTLZero=0\r\n"
                              "sTime=.\r\n"
                              "s1159=vm\r\n"
                              "s2359=nm\r\n"
                              "sShortDate=dd-MM-yyyy\r\n"
                              "sLongDate=dddd d MMMM yyyy\r\n");
  IntlSettings intl = ReadIntlSettings();
  EXPECT_EQ(intl.i_time, 1);
  EXPECT_EQ(intl.i_tl_zero, 0);
  EXPECT_EQ(intl.s_time, ".");
  EXPECT_EQ(intl.s1159, "vm");
  EXPECT_EQ(intl.s2359, "nm");
  EXPECT_EQ(intl.s_short_date, "dd-MM-yyyy");
  EXPECT_EQ(intl.s_long_date, "dddd d MMMM yyyy");

  InitLocale(home_ / "nowhere/prog");
  const Locale& locale = CurrentLocale();
  EXPECT_EQ(locale.t7_picture().parts,
            (Parts{D(Kind::kHour, 2, false), Sep("."), D(Kind::kMinute, 2)}));
  EXPECT_EQ(locale.d17_picture().parts,
            (Parts{D(Kind::kDay, 2), Sep("-"), D(Kind::kMonth, 2), Sep("-"), D(Kind::kYear, 4)}));
  EXPECT_EQ(locale.d18_picture().parts[0], D(Kind::kDay, 2, false));
  EXPECT_EQ(locale.windows_am_text(), "vm");
}

TEST_F(LocaleProfileTest, ResetReturnsToTheBuiltInLocale) {
  CurrentLocale().SetMonthName(1, "januari");
  CurrentLocale().set_long_file_names(true);
  CurrentLocale().SetMessageOverride(2, "x");
  SetSequenceWeights(&CurrentLocale().collation(), "ba");
  ResetLocale();
  EXPECT_EQ(CurrentLocale().MonthName(1), "January");
  EXPECT_FALSE(CurrentLocale().long_file_names());
  EXPECT_EQ(FindMessageOverride(2), nullptr);
  EXPECT_TRUE(CurrentLocale().collation() == CollationTables());
}

}  // namespace
}  // namespace tentaria::runtime
