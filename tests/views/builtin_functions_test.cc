#include "views/builtin_functions.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "platform/profile.h"
#include "tests/views/expression_test_support.h"

namespace tentaria::views {
namespace {

using testing::ExpressionTest;

struct Case {
  const char* text;
  const char* result;  // the value's string form
};

class BuiltinTextTest : public ExpressionTest {
 protected:
  void ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(Text(c.text), c.result) << c.text;
  }
};

TEST_F(BuiltinTextTest, TextFunctions) {
  ExpectAll({
      {"SUB('abcdef', 2, 3)", "bcd"},
      {"SUB('abcdef', -2, 2)", "ef"},
      {"SUB('abc', 2)", "bc"},
      {"SUB('abc', 5, 1)", ""},
      {"SUB('abc', 0, 2)", "a"},
      {"SUB('abc', 2, -1)", ""},
      {"CLIP('ab  ')", "ab"},
      {"CLIP('  ab')", "  ab"},
      {"ALL('ab', 5)", "ababa"},
      {"LEN(ALL('-'))", "255"},
      {"LEN(ALL('x', 1E9))", "65535"},
      {"ALL('', 2)", "  "},
      {"CENTER('ab', 6)", "  ab  "},
      {"CENTER('  ab', 5)", " ab  "},
      {"CENTER('ab  ')", " ab "},
      {"CENTER('abcdef', 3)", "abc"},
      {"LEFT('  ab', 5)", "ab   "},
      {"LEFT('  ab')", "ab  "},
      {"LEFT('abcdef', 3)", "abc"},
      {"RIGHT('ab  ')", "  ab"},
      {"RIGHT('ab', 4)", "  ab"},
      {"LEFT('ab', -3)", ""},
      {"CHR(65)", "A"},
      {"CHR(321)", "A"},
      {"LEN('abc ')", "4"},
      {"LOWER('AbC')", "abc"},
      {"UPPER('aBc1')", "ABC1"},
      {"VAL('A')", "65"},
      {"VAL('')", "0"},
      {"VAL(CHR(200))", "200"},
      {"NUMERIC('12.5')", "1"},
      {"NUMERIC(' -3 ')", "1"},
      {"NUMERIC('1,5')", "1"},
      {"NUMERIC('12a')", "0"},
      {"NUMERIC('')", "0"},
      {"NUMERIC('.')", "0"},
      {"INSTRING('cd', 'abcdcd', 1, 1)", "3"},
      {"INSTRING('cd', 'abcdcd', 1, 4)", "5"},
      {"INSTRING('bc', 'abcbc', 2, 1)", "0"},
      {"INSTRING('c', 'abcabc', -1)", "6"},
      {"INSTRING('aab', 'aaab')", "2"},
      {"INSTRING('aa', 'aaaa', 2, 2)", "2"},
      {"INSTRING('aa', 'xaaaa', 2, 1)", "3"},
      {"INSTRING('a', 'abca', -1, 3)", "1"},
      {"INSTRING('a', 'abca', -2, 3)", "1"},
      {"INSTRING('c', 'abcabc', -2, 5)", "3"},
      {"INSTRING('c', 'abc', 1, 0)", "0"},
      {"INSTRING(ALL('a', 60000) & 'b', ALL('a', 65535) & ALL('a', 65535) & 'b')", "71071"},
      {"INSTRING('x', 'abc')", "0"},
      {"INSTRING('', 'abc')", "0"},
      {"INSTRING('AMS', UPPER('Amsterdam'), 1, 1)", "1"},
      {"CHOOSE(2, 'a', 'b', 'c')", "b"},
      {"CHOOSE(9, 'a', 'b')", "b"},
      {"CHOOSE(1 = 1, 'yes', 'no')", "yes"},
      {"CHOOSE(1 = 2, 'yes', 'no')", "no"},
      {"CHOOSE(2, 1.5, 2.5)", "2.5"},
      {"CHOOSE(1)", ""},
      {"INLIST('b', 'a', 'b', 'c')", "2"},
      {"INLIST(5, '5', 5)", "1"},
      {"INLIST('x', 'a')", "0"},
      {"INLIST('b ', 'a', 'b')", "2"},
      {"NULL(1)", "0"},
  });
}

TEST_F(BuiltinTextTest, NumericFunctions) {
  ExpectAll({
      {"ABS(-2.5)", "2.5"},
      {"INRANGE(5, 1, 10)", "1"},
      {"INRANGE('b', 'a', 'c')", "1"},
      {"INRANGE(11, 1, 10)", "0"},
      {"INT(-3.7)", "-3"},
      {"INT(3.7)", "3"},
      {"LOGE(1)", "0"},
      {"LOG10(1000)", "3"},
      {"SQRT(16)", "4"},
      {"SIN(0)", "0"},
      {"COS(0)", "1"},
      {"TAN(0)", "0"},
      {"ASIN(1) * 2", "3.14159265358979"},
      {"ACOS(1)", "0"},
      {"ATAN(1) * 4", "3.14159265358979"},
      {"ROUND(2.5, 1)", "3"},
      {"ROUND(-2.5, 1)", "-3"},
      {"ROUND(1.005, 0.01)", "1.01"},
      {"ROUND(-1.005, .01)", "-1.01"},
      {"ROUND(1234, 100)", "1200"},
      {"ROUND(1250, 100)", "1300"},
      {"ROUND(2.4)", "2"},
      {"ROUND(2.567, 0)", "2.567"},
      {"ROUND(0.285, 0.01)", "0.29"},
      {"BAND(12, 10)", "8"},
      {"BOR(12, 10)", "14"},
      {"BXOR(12, 10)", "6"},
      {"BSHIFT(1, 4)", "16"},
      {"BSHIFT(16, -4)", "1"},
      {"BSHIFT(-1, -28)", "15"},
      {"BSHIFT(1, 40)", "0"},
      {"BSHIFT(1, 31)", "-2147483648"},
      {"RANDOM(5, 5)", "5"},
  });
  for (int i = 0; i < 200; ++i) {
    int value = Integer("RANDOM(6, 1)");
    ASSERT_GE(value, 1);
    ASSERT_LE(value, 6);
  }
  EXPECT_GT(Real("MEMORY(0)"), 0);
}

TEST_F(BuiltinTextTest, DateFunctions) {
  platform::LocalTime midnight{2000, 1, 1, 0, 0, 0, 0};
  platform::SetLocalTimeForTesting(&midnight);
  EXPECT_EQ(Integer("TODAY()"), 72687);
  EXPECT_EQ(Integer("CLOCK()"), 0) << "midnight reads as the empty time";
  platform::LocalTime ten{2000, 1, 1, 10, 0, 0, 500};
  platform::SetLocalTimeForTesting(&ten);
  EXPECT_EQ(Integer("CLOCK()"), 10 * 360000 + 50 + 1);
  EXPECT_EQ(Text("AGE(DATE(12, 2, 1999))"), "30 DAYS");
  platform::SetLocalTimeForTesting(nullptr);

  ExpectAll({
      {"DATE(13, 1, 2014) = DATE(1, 1, 2015)", "1"},
      {"DATE(2, 30, 2014) = DATE(3, 2, 2014)", "1"},
      {"DATE(2, 29, 1900) = DATE(3, 1, 1900)", "1"},
      {"DATE(1, 1, 1801)", "4"},
      {"DATE(1, 1, 1800)", "-1"},
      {"DAY(DATE(2, 29, 2000)) & '/' & MONTH(DATE(2, 29, 2000)) & '/' & "
       "YEAR(DATE(2, 29, 2000))",
       "29/2/2000"},
      {"AGE(DATE(1, 1, 2000), DATE(1, 31, 2000))", "30 DAYS"},
      {"AGE(DATE(1, 1, 2000), DATE(3, 2, 2000))", "2 MOS"},
      {"AGE(DATE(1, 1, 1970), DATE(6, 1, 2006))", "36 YRS"},
  });
}

TEST_F(BuiltinTextTest, Match) {
  ExpectAll({
      {"MATCH('Amsterdam', 'Ams*')", "1"},     {"MATCH('Amsterdam', 'ams*', 0)", "0"},
      {"MATCH('Amsterdam', 'ams*', 16)", "1"}, {"MATCH('abc', 'a?c')", "1"},
      {"MATCH('abc  ', '*c')", "1"},           {"MATCH('abc', 'a*d')", "0"},
      {"MATCH('Robert', 'Rupert', 2)", "1"},   {"MATCH('Robert', 'Rubin', 2)", "0"},
      {"MATCH('abc ', 'abc', 3)", "1"},        {"MATCH('abc', 'ABC', 3 + 16)", "1"},
      {"MATCH('hello world', 'o w', 1)", "1"}, {"MATCH('abc', '^b', 1)", "0"},
      {"MATCH('abc', '^a.c$', 1)", "1"},       {"MATCH('aaa', '^a+$', 1)", "1"},
      {"MATCH('ac', '^ab?c$', 1)", "1"},       {"MATCH('x9', '[0-9]', 1)", "1"},
      {"MATCH('x', '[^x]', 1)", "0"},          {"MATCH('a.b', 'a\\.b', 1)", "1"},
      {"MATCH('axb', 'a\\.b', 1)", "0"},       {"MATCH('abc', 'abc', 7)", "0"},
  });
  // A pattern that backtracks without end gives up instead of hanging.
  EXPECT_EQ(Integer("MATCH(ALL('a', 60), 'a*a*a*a*a*a*a*a*a*a*a*a*b', 1)"), 0);
}

TEST_F(BuiltinTextTest, GetIniReadsProfiles) {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("views_getini_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::string saved = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  ASSERT_TRUE(platform::WritePrivateProfileString("Venster", "X", "120", "test2000.INI"));
  ASSERT_TRUE(platform::WriteProfileString("intl", "sTime", "."));
  EXPECT_EQ(Text("GETINI('Venster', 'X', '0', 'test2000.INI')"), "120");
  EXPECT_EQ(Text("GETINI('venster', 'x', '0', 'test2000.INI') + 1"), "121");
  EXPECT_EQ(Text("GETINI('Venster', 'Y', 'none', 'test2000.INI')"), "none");
  EXPECT_EQ(Text("GETINI('intl', 'sTime', ':')"), ".");
  if (saved.empty()) {
    unsetenv("XDG_CONFIG_HOME");
  } else {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  }
  std::filesystem::remove_all(folder);
}

TEST_F(BuiltinTextTest, FormatAndDeformatGoThroughDisplayPictures) {
  std::uint8_t price[3] = {0x01, 0x23, 0x45};  // DECIMAL(5,2) 123.45
  names_.Bind("PRIJS", {price, runtime::ToInt(runtime::TypeCode::DECIMAL), 3, 2, {}});
  ExpectAll({
      {"FORMAT(12.5, @N9.2)", "    12.50"},
      {"FORMAT(PRIJS, @N9.2)", "   123.45"},
      {"FORMAT(1234567, '@N12')", "   1,234,567"},
      {"FORMAT('abc', @S5)", "abc  "},
      {"FORMAT(123456789, @P###-##-####P)", "123-45-6789"},
      {"DEFORMAT('123-45-6789', @P###-##-####P)", "123456789"},
      {"DEFORMAT('    12.50', @N9.2) = 12.5", "1"},
      {"DEFORMAT(FORMAT(-1234.5, @N12.2), @N12.2) = -1234.5", "1"},
      {"DEFORMAT(FORMAT(DATE(2, 29, 2000), @D6), @D6) = DATE(2, 29, 2000)", "1"},
      {"FORMAT(1, @X)", ""},
      {"LEN(FORMAT(1))", "255"},  // no picture: a string picture of 255
  });
  EXPECT_TRUE(errors_.errors.empty());
}

TEST(BuiltinTableTest, NamesArgumentCountsAndResultClasses) {
  struct Row {
    const char* name;
    int max_arguments;
    Fn function;
    ValueClass result;
  } rows[] = {
      {"MEMORY", 1, Fn::kMemory, ValueClass::kInteger},
      {"SUB", 3, Fn::kSub, ValueClass::kString},
      {"INSTRING", 4, Fn::kInString, ValueClass::kInteger},
      {"DEFORMAT", 2, Fn::kDeformat, ValueClass::kString},
      {"FORMAT", 2, Fn::kFormat, ValueClass::kString},
      {"ABS", 1, Fn::kAbs, ValueClass::kReal},
      {"INT", 1, Fn::kInt, ValueClass::kInteger},
      {"ROUND", 2, Fn::kRound, ValueClass::kReal},
      {"TODAY", 0, Fn::kToday, ValueClass::kInteger},
      {"AGE", 2, Fn::kAge, ValueClass::kString},
      {"CHOOSE", 25, Fn::kChoose, ValueClass::kString},
      {"INLIST", 25, Fn::kInList, ValueClass::kInteger},
      {"GETINI", 4, Fn::kGetIni, ValueClass::kString},
      {"MATCH", 3, Fn::kMatch, ValueClass::kInteger},
      {"NULL", 1, Fn::kNull, ValueClass::kInteger},
  };
  for (const Row& row : rows) {
    const NameEntry* entry = FindBuiltin(row.name);
    ASSERT_TRUE(entry) << row.name;
    EXPECT_EQ(entry->max_arguments, row.max_arguments) << row.name;
    EXPECT_EQ(entry->function, row.function) << row.name;
    EXPECT_EQ(entry->value_class, row.result) << row.name;
  }
  EXPECT_EQ(static_cast<int>(Fn::kNull), 46);
  EXPECT_FALSE(FindBuiltin("AND")) << "keywords are no functions";
}

}  // namespace
}  // namespace tentaria::views
