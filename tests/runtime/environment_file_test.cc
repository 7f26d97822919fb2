#include "runtime/environment_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/profile.h"
#include "runtime/error_state.h"
#include "runtime/locale.h"
#include "tests/support/temp_folder.h"

namespace tentaria::runtime {
namespace {

using Items = std::vector<std::string>;

Items Parse(std::string_view raw, bool commas = true) {
  return ParseEnvironmentValue(raw, false, commas);
}

TEST(EnvironmentValueTest, Escapes) {
  EXPECT_EQ(Parse("<65>"), Items{"A"});
  EXPECT_EQ(Parse("<65>BC"), Items{"ABC"});
  EXPECT_EQ(Parse("<65"), Items{"A"});
  EXPECT_EQ(Parse("<65 x"), Items{"Ax"});  // the character after the digits is consumed
  EXPECT_EQ(Parse("<x"), Items{"x"});
  EXPECT_EQ(Parse("a<<b"), Items{"a<b"});
  EXPECT_EQ(Parse("ab<"), Items{"ab<"});
  EXPECT_EQ(Parse("<233>t<233>"), Items{"\xE9t\xE9"});
  EXPECT_EQ(Parse("<321>"), Items{"A"});                            // modulo 256
  EXPECT_EQ(Parse("<99999999999999999999999999>"), Items{"\xFF"});  // 10^26 - 1 modulo 256
  EXPECT_EQ(Parse("<0>"), Items{std::string(1, '\0')});
}

TEST(EnvironmentValueTest, EscapedCharactersAreOrdinary) {
  EXPECT_EQ(Parse("a<44>b,c"), (Items{"a,b", "c"}));
  EXPECT_EQ(Parse("a<,b"), (Items{"a,b"}));
  EXPECT_EQ(Parse("<34>a<34>"), (Items{"\"a\""}));
  EXPECT_EQ(Parse("abc<32>"), (Items{"abc "}));
  EXPECT_EQ(Parse("<32>abc"), (Items{" abc"}));
  EXPECT_EQ(Parse("abc< "), (Items{"abc "}));
}

TEST(EnvironmentValueTest, ListsAndQuotes) {
  EXPECT_EQ(Parse("Jan,Feb,Mar"), (Items{"Jan", "Feb", "Mar"}));
  EXPECT_EQ(Parse("Jan, Feb ,\tMar"), (Items{"Jan", "Feb", "Mar"}));
  EXPECT_EQ(Parse("a,,b"), (Items{"a", "", "b"}));
  EXPECT_EQ(Parse("a,"), (Items{"a", ""}));
  EXPECT_EQ(Parse("\"a,b\",c"), (Items{"a,b", "c"}));
  EXPECT_EQ(Parse("\"say \"\"hi\"\"\""), (Items{"say \"hi\""}));
  EXPECT_EQ(Parse("\"\"\"\""), (Items{"\""}));
  EXPECT_EQ(Parse("\"\""), (Items{""}));
  EXPECT_EQ(Parse(" \" a \" , b"), (Items{" a ", "b"}));
  EXPECT_EQ(Parse("\"open,ended"), (Items{"open,ended"}));
  EXPECT_EQ(Parse("\"&OK\",\"&Yes\",\"&No\""), (Items{"&OK", "&Yes", "&No"}));
  EXPECT_EQ(Parse("in\"side\"out"), (Items{"insideout"}));
}

TEST(EnvironmentValueTest, TrailingBlanksEmptyValuesAndLength) {
  EXPECT_EQ(Parse("abc  \t "), (Items{"abc"}));
  EXPECT_EQ(Parse(""), Items{});
  EXPECT_EQ(Parse("   \t"), Items{});
  std::string long_value(5000, 'x');
  Items items = Parse(long_value);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].size(), kMaxEnvironmentValueLength);
}

TEST(EnvironmentValueTest, CommasCanBeOrdinary) {
  EXPECT_EQ(Parse("a,b, c", false), (Items{"a,b, c"}));
  EXPECT_EQ(Parse("\"a\",\"b\"", false), (Items{"a,b"}));
  EXPECT_EQ(Parse(",", false), (Items{","}));
}

TEST(EnvironmentValueTest, OemConversion) {
  // Code page 850: 82h is é, 81h is ü; escapes give OEM codes too.
  EXPECT_EQ(ParseEnvironmentValue("caf\x82,<129>ber", true, true), (Items{"caf\xE9",
                                                                          "\xFC"
                                                                          "ber"}));
  EXPECT_EQ(ParseEnvironmentValue("caf\x82", false, true), (Items{"caf\x82"}));
}

// Each test starts and ends with the built-in locale and a clean error
// state, with HOME and the XDG folders in a temporary folder.
class EnvironmentFileTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    test_support::TempHomeTest::SetUp();
    ResetLocale();
    ClearError();
  }
  void TearDown() override {
    ResetLocale();
    ClearError();
  }

  // Writes an environment file into the temporary folder; its host path.
  std::string WriteEnv(const std::string& text, const std::string& name = "TEST.ENV") {
    std::string path = files_ / name;
    test_support::WriteTextFile(path, text);
    return path;
  }

  const Locale& locale() { return CurrentLocale(); }

  test_support::TempFolder files_;
};

TEST_F(EnvironmentFileTest, MonthNamesFromAFile) {
  std::string path = WriteEnv(
      "RTXMONTH=januari,februari,maart,april,mei,juni,juli,augustus,september,oktober,"
      "november,december\r\n"
      "RTXMON=jan,feb,mrt,apr,mei,jun,jul,aug,sep,okt,nov,dec\r\n");
  ASSERT_TRUE(LoadEnvironment(path));
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(locale().MonthName(1), "januari");
  EXPECT_EQ(locale().MonthName(12), "december");
  EXPECT_EQ(locale().ShortMonthName(3), "mrt");
}

TEST_F(EnvironmentFileTest, MonthNamesAreCutAndMayBeFewer) {
  ApplyEnvironmentText(
      "RTXMONTH=Januarymonthlong,,\"M\xE4rz\"\n"
      "RTXMON=Janu,Febr\n",
      &CurrentLocale());
  EXPECT_EQ(locale().MonthName(1), "Januarymonth");
  EXPECT_EQ(locale().MonthName(2), "February");  // empty item keeps the name
  EXPECT_EQ(locale().MonthName(3), "M\xE4rz");
  EXPECT_EQ(locale().MonthName(4), "April");
  EXPECT_EQ(locale().ShortMonthName(1), "Jan");
  EXPECT_EQ(locale().ShortMonthName(2), "Feb");
  EXPECT_EQ(locale().ShortMonthName(3), "Mar");
}

TEST_F(EnvironmentFileTest, NamesIgnoreBlanksAndCase) {
  ApplyEnvironmentText(" R T X\tAMPM = vm , nm \nrtxlfn=On\n", &CurrentLocale());
  EXPECT_EQ(locale().am_text(), "vm");
  EXPECT_EQ(locale().pm_text(), "nm");
  EXPECT_TRUE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, LinesEndInCrOrLf) {
  ApplyEnvironmentText("RTXMON=a1\rRTXLFN=on\n\n\r\nRTXAMPM=x,y", &CurrentLocale());
  EXPECT_EQ(locale().ShortMonthName(1), "a1");
  EXPECT_TRUE(locale().long_file_names());
  EXPECT_EQ(locale().am_text(), "x");  // the last line needs no line end
  EXPECT_EQ(locale().pm_text(), "y");
}

TEST_F(EnvironmentFileTest, CtrlZEndsTheFile) {
  std::string path = WriteEnv("RTXMON=one\r\nRTXAMPM=vm,nm\x1A\r\nRTXLFN=on\r\n");
  ASSERT_TRUE(LoadEnvironment(path));
  EXPECT_EQ(locale().ShortMonthName(1), "one");
  EXPECT_EQ(locale().am_text(), "vm");  // the line before Ctrl-Z counts
  EXPECT_FALSE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, UnknownKeysAndMalformedLinesAreIgnored) {
  Locale before = locale();
  ApplyEnvironmentText(
      "RTXNONSENSE=1\n"
      "no equals sign here\n"
      "=value without name\n"
      "RTXMSG=no number\n"
      "RTXMSG12a=not a number\n"
      "RTXMSG1234567890=too many digits\n"
      "RTXMONTHS=Jan\n",
      &CurrentLocale());
  EXPECT_EQ(locale().MonthName(1), before.MonthName(1));
  EXPECT_EQ(FindMessageOverride(12), nullptr);
  EXPECT_EQ(FindMessageOverride(1234567890), nullptr);
  EXPECT_TRUE(locale().collation() == before.collation());
}

TEST_F(EnvironmentFileTest, OverlongNamesAndLinesAreHandledSafely) {
  std::string name31 = "RTXMON" + std::string(25, ' ') + "X";  // blanks do not count
  std::string long_name = "RTXMSG" + std::string(30, '0') + "7";
  std::string huge_line = "RTXMONTH=" + std::string(200000, 'y') + ",second";
  ApplyEnvironmentText("RTXMON" + std::string(40, ' ') + "=ok1\n" + long_name + "=x\n" + name31 +
                           "=bad\n" + huge_line + "\nRTXLFN=on\n",
                       &CurrentLocale());
  EXPECT_EQ(locale().ShortMonthName(1), "ok1");
  EXPECT_EQ(FindMessageOverride(7), nullptr);
  EXPECT_EQ(locale().MonthName(1), std::string(12, 'y'));
  EXPECT_EQ(locale().MonthName(2), "February");  // beyond the bytes read of the line
  EXPECT_TRUE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, MissingNamedFileSetsErrorTwo) {
  EXPECT_FALSE(LoadEnvironment(files_ / "NOSUCH.ENV"));
  EXPECT_EQ(ErrorCode(), 2);
  EXPECT_FALSE(LoadEnvironment(files_ / "nofolder/NOSUCH.ENV"));
  EXPECT_EQ(ErrorCode(), 2);
  std::string path = WriteEnv("RTXLFN=on\n");
  EXPECT_TRUE(LoadEnvironment(path));
  EXPECT_EQ(ErrorCode(), 0);
}

TEST_F(EnvironmentFileTest, FileNamesAreFoundWithoutRegardToCase) {
  WriteEnv("RTXLFN=on\n", "Mixed.Env");
  EXPECT_TRUE(LoadEnvironment(files_ / "MIXED.ENV"));
  EXPECT_TRUE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, WindowsNameAppliesSystemDefaults) {
  IntlSettings intl;
  intl.s1159 = "vm";
  intl.s2359 = "nm";
  CurrentLocale().SetIntl(intl);
  SetError(7);
  ASSERT_TRUE(LoadEnvironment("windows"));
  EXPECT_EQ(ErrorCode(), 0);
  CollationTables system;
  SetSystemWeights(&system);
  SetSystemCase(&system);
  EXPECT_TRUE(locale().collation() == system);
  EXPECT_EQ(locale().am_text(), "vm");
  EXPECT_EQ(locale().pm_text(), "nm");
}

TEST_F(EnvironmentFileTest, CollatingSequence) {
  ApplyEnvironmentText("RTXCOLSEQ=,;AB\n", &CurrentLocale());
  const CollationTables& tables = locale().collation();
  EXPECT_EQ(tables.weight[static_cast<uint8_t>(',')], ',');
  EXPECT_EQ(tables.weight[static_cast<uint8_t>(';')], ',' + 1);
  EXPECT_EQ(tables.weight[static_cast<uint8_t>('A')], ',' + 2);
  EXPECT_EQ(tables.weight[static_cast<uint8_t>('B')], ',' + 3);
  EXPECT_EQ(tables.weight[static_cast<uint8_t>('-')], ',' + 4);

  ApplyEnvironmentText("RTXCOLSEQ=\"b,a\"\n", &CurrentLocale());
  EXPECT_LT(tables.weight[static_cast<uint8_t>('b')], tables.weight[static_cast<uint8_t>(',')]);
  EXPECT_LT(tables.weight[static_cast<uint8_t>(',')], tables.weight[static_cast<uint8_t>('a')]);

  ApplyEnvironmentText("RTXCOLSEQ=Windows\n", &CurrentLocale());
  CollationTables system;
  SetSystemWeights(&system);
  EXPECT_EQ(tables.weight, system.weight);

  ApplyEnvironmentText("RTXCOLSEQ=\n", &CurrentLocale());
  EXPECT_EQ(tables.weight, CollationTables().weight);
}

TEST_F(EnvironmentFileTest, CasePairs) {
  ApplyEnvironmentText("RTXCASE=\"\xC9\xC4\",\"\xE9\xE4\"\n", &CurrentLocale());
  const CollationTables& tables = locale().collation();
  EXPECT_EQ(tables.upper[0xE9], 0xC9);
  EXPECT_EQ(tables.lower[0xC4], 0xE4);
  EXPECT_EQ(tables.flags[0xC4], kClassUpper);

  ApplyEnvironmentText("RTXCASE=WINDOWS\n", &CurrentLocale());
  CollationTables system;
  SetSystemCase(&system);
  EXPECT_EQ(tables.upper, system.upper);
  EXPECT_EQ(tables.flags, system.flags);

  ApplyEnvironmentText("RTXCASE=\n", &CurrentLocale());
  EXPECT_EQ(tables.upper, CollationTables().upper);
  EXPECT_EQ(tables.flags, CollationTables().flags);
}

TEST_F(EnvironmentFileTest, AmPmTexts) {
  ApplyEnvironmentText("RTXAMPM=a.m.,p.m.\n", &CurrentLocale());
  EXPECT_EQ(locale().am_text(), "a.");
  EXPECT_EQ(locale().pm_text(), "p.");
  ApplyEnvironmentText("RTXAMPM=vm\n", &CurrentLocale());
  EXPECT_EQ(locale().am_text(), "vm");
  EXPECT_EQ(locale().pm_text(), "p.");
  ApplyEnvironmentText("RTXAMPM=WINDOWS\n", &CurrentLocale());
  EXPECT_EQ(locale().am_text(), "AM");
  EXPECT_EQ(locale().pm_text(), "PM");
}

TEST_F(EnvironmentFileTest, Digraphs) {
  ApplyEnvironmentText(
      "RTXDIGRAPH=\xC6"
      "AE,\xE6"
      "ae,long,ab\n",
      &CurrentLocale());
  const CollationTables& tables = locale().collation();
  EXPECT_EQ(CollationCompare(tables,
                             "\xC6"
                             "gir",
                             "AEgir"),
            0);
  EXPECT_EQ(CollationCompare(tables, "\xE6", "ae"), 0);
  EXPECT_EQ(FindDigraph(tables, 'l'), nullptr);
  EXPECT_EQ(FindDigraph(tables, 'a'), nullptr);
}

TEST_F(EnvironmentFileTest, ButtonCaptionsAndMessages) {
  ApplyEnvironmentText(
      "RTXBUTTON=\"&Ja\",\"&Nee\",,\"Annuleren\"\n"
      "RTXMSG2=Bestand niet gevonden, controleer de naam\n"
      "RTXMSG035=\"Record niet gevonden\"\n"
      "RTXMSG7=\n",
      &CurrentLocale());
  ASSERT_NE(FindMessageOverride(0x7F00), nullptr);
  EXPECT_EQ(*FindMessageOverride(0x7F00), "&Ja");
  EXPECT_EQ(*FindMessageOverride(0x7F01), "&Nee");
  EXPECT_EQ(FindMessageOverride(0x7F02), nullptr);
  EXPECT_EQ(*FindMessageOverride(0x7F03), "Annuleren");
  ASSERT_NE(FindMessageOverride(2), nullptr);
  EXPECT_EQ(*FindMessageOverride(2), "Bestand niet gevonden, controleer de naam");
  ASSERT_NE(FindMessageOverride(35), nullptr);
  EXPECT_EQ(*FindMessageOverride(35), "Record niet gevonden");
  ASSERT_NE(FindMessageOverride(7), nullptr);
  EXPECT_EQ(*FindMessageOverride(7), "");
  EXPECT_EQ(FindMessageOverride(3), nullptr);
}

TEST_F(EnvironmentFileTest, LongFileNames) {
  ApplyEnvironmentText("RTXLFN=ON\n", &CurrentLocale());
  EXPECT_TRUE(locale().long_file_names());
  ApplyEnvironmentText("RTXLFN=yes\n", &CurrentLocale());
  EXPECT_FALSE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, OemCharsetAppliesToLaterLines) {
  std::string path = WriteEnv(
      "RTXMONTH=caf\x82\r\n"
      "RTXCHARSET=OEM\r\n"
      "RTXMON=\x81"
      "b\r\n"
      "RTXMSG9=\"\x84\"\r\n"
      "RTXCHARSET=ANSI\r\n"
      "RTXAMPM=\x82\r\n");
  ASSERT_TRUE(LoadEnvironment(path));
  EXPECT_EQ(locale().MonthName(1), "caf\x82");
  EXPECT_EQ(locale().ShortMonthName(1),
            "\xFC"
            "b");
  EXPECT_EQ(*FindMessageOverride(9), "\xE4");
  EXPECT_EQ(locale().am_text(), "\x82");

  // The character set is per file: a new file starts as ANSI.
  std::string second = WriteEnv("RTXCHARSET=oem\n", "A.ENV");
  std::string third = WriteEnv("RTXMON=\x82\n", "B.ENV");
  ASSERT_TRUE(LoadEnvironment(second));
  ASSERT_TRUE(LoadEnvironment(third));
  EXPECT_EQ(locale().ShortMonthName(1), "\x82");
}

TEST_F(EnvironmentFileTest, DefaultFileIsNamedLikeTheProgram) {
  WriteEnv("RTXLFN=on\nRTXMON=ja\n", "TENTARIA.ENV");
  SetError(7);
  LoadDefaultEnvironmentFile(files_ / "tentaria");
  EXPECT_TRUE(locale().long_file_names());
  EXPECT_EQ(locale().ShortMonthName(1), "ja");
  EXPECT_EQ(ErrorCode(), 7);  // untouched

  ResetLocale();
  LoadDefaultEnvironmentFile(files_ / "tentaria.exe");
  EXPECT_TRUE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, MissingDefaultFileIsNoError) {
  LoadDefaultEnvironmentFile(files_ / "other");
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_FALSE(locale().long_file_names());
}

TEST_F(EnvironmentFileTest, InitLocaleReadsIntlThenTheEnvironmentFile) {
  test_support::WriteTextFile(platform::UserProfilePath(),
                              "[intl]\r\niTime=1\r\nsShortDate=dd-MM-yyyy\r\ns1159=vm\r\n");
  WriteEnv("RTXAMPM=windows\nRTXMON=jan\n", "PROG.ENV");
  CurrentLocale().SetMonthName(5, "changed");
  InitLocale(files_ / "prog");
  EXPECT_EQ(locale().MonthName(5), "May");  // rebuilt from the defaults
  EXPECT_EQ(locale().ShortMonthName(1), "jan");
  EXPECT_EQ(locale().intl().i_time, 1);
  EXPECT_EQ(locale().d17_picture().Width(), 10);
  EXPECT_EQ(locale().am_text(), "vm");
}

}  // namespace
}  // namespace tentaria::runtime
