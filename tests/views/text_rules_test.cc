// Text comparison of the evaluator: the same order as the locale's full
// collation, whatever the texts share at their start or end.
#include "views/text_rules.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/collation.h"
#include "runtime/locale.h"

namespace tentaria::views {
namespace {

class TextRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = runtime::CurrentLocale().collation(); }
  void TearDown() override { runtime::CurrentLocale().collation() = saved_; }

  // Random texts over few characters, so that common starts, blank ends
  // and digraphs meet often.
  static std::string RandomText(std::mt19937* random, std::string_view alphabet) {
    std::string text(std::uniform_int_distribution<size_t>(0, 6)(*random), ' ');
    for (char& c : text) {
      c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(*random)];
    }
    return text;
  }

  // Every pair of random texts compares as the full collation does.
  static void ExpectSameOrder(std::string_view alphabet) {
    const runtime::CollationTables& tables = runtime::CurrentLocale().collation();
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
      std::string a = RandomText(&random, alphabet);
      std::string b = RandomText(&random, alphabet);
      ASSERT_EQ(CompareTexts(a, b), runtime::CompareBlankPadded(tables, a, b))
          << "'" << a << "' against '" << b << "'";
    }
  }

  runtime::CollationTables saved_;
};

TEST_F(TextRulesTest, BlankEndsDoNotCountAndCaseWeightsDecide) {
  EXPECT_EQ(CompareTexts("Nederland   ", "Nederland"), 0);
  EXPECT_EQ(CompareTexts("Neder", "Nederland"), -1);
  EXPECT_EQ(CompareTexts("Nederland", "Neder  "), 1);
  EXPECT_EQ(CompareTexts("", "   "), 0);
  // A character below the blank sorts before the end.
  EXPECT_EQ(CompareTexts("ab\t", "ab"), -1);
  runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  runtime::SetSequenceWeights(&tables, "aAbB");
  ExpectSameOrder("aAbB \t");
}

TEST_F(TextRulesTest, DigraphsCompareAsTheirTwoCharacters) {
  runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  tables.digraphs[0] = {static_cast<uint8_t>('\xDF'), 's', 's'};
  tables.digraphs[1] = {'x', 'a', 0};
  EXPECT_EQ(CompareTexts("Stra\xDF"
                         "e",
                         "Strasse"),
            0);
  EXPECT_EQ(CompareTexts("Stra\xDF", "Strass  "), 0);
  ExpectSameOrder("as\xDFx \t");
  // A blank that reads as two characters is no longer equal to the end.
  tables.digraphs[2] = {' ', 'a', 'a'};
  EXPECT_EQ(CompareTexts("ab ", "ab"), 1);
  ExpectSameOrder("ab ");
}

}  // namespace
}  // namespace tentaria::views
