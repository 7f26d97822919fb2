#include "runtime/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/charset.h"

namespace tentaria::runtime {
namespace {

uint8_t U(char c) { return static_cast<uint8_t>(c); }

bool IsPermutation(const std::array<uint8_t, 256>& weights) {
  std::array<bool, 256> seen{};
  for (uint8_t w : weights) {
    if (seen[w]) return false;
    seen[w] = true;
  }
  return true;
}

TEST(CollationTest, BuiltInTables) {
  CollationTables tables;
  for (int c = 0; c < 256; ++c) EXPECT_EQ(tables.weight[c], c);
  EXPECT_EQ(tables.upper[U('a')], U('A'));
  EXPECT_EQ(tables.upper[U('z')], U('Z'));
  EXPECT_EQ(tables.upper[U('A')], U('A'));
  EXPECT_EQ(tables.lower[U('A')], U('a'));
  EXPECT_EQ(tables.lower[U('a')], U('a'));
  EXPECT_EQ(tables.upper[0xE9], 0xE9);  // é has no partner by default
  EXPECT_EQ(tables.lower[0xC9], 0xC9);
  EXPECT_EQ(tables.flags[U('A')], kClassUpper);
  EXPECT_EQ(tables.flags[U('z')], kClassLower);
  EXPECT_EQ(tables.flags[U('0')], kClassDigit);
  EXPECT_EQ(tables.flags[U('9')], kClassDigit);
  EXPECT_EQ(tables.flags[U('@')], 0);
  EXPECT_EQ(tables.flags[0xC9], 0);
  for (const Digraph& digraph : tables.digraphs) EXPECT_EQ(digraph.character, 0);
}

TEST(CollationTest, SerialisedLayout) {
  CollationTables tables;
  SetSequenceWeights(&tables, "ba");
  SetCasePairs(&tables, "\xC9", "\xE9");
  std::vector<std::string> digraphs = {
      "\xC6"
      "AE",
      "\xE6"
      "ae"};
  SetDigraphs(&tables, digraphs);

  uint8_t bytes[kCollationTablesSize];
  std::fill(bytes, bytes + kCollationTablesSize, 0xAA);
  SerializeCollation(tables, bytes);
  EXPECT_EQ(bytes[U('b')], tables.weight[U('b')]);
  EXPECT_EQ(bytes[U('a')], tables.weight[U('a')]);
  EXPECT_EQ(bytes[256 + U('a')], U('A'));  // upper-case form of a
  EXPECT_EQ(bytes[256 + 0xE9], 0xC9);      // upper-case form of é
  EXPECT_EQ(bytes[512 + U('A')], U('a'));  // lower-case form of A
  EXPECT_EQ(bytes[512 + 0xC9], 0xE9);      // lower-case form of É
  EXPECT_EQ(bytes[768 + U('A')], 1);       // class flags
  EXPECT_EQ(bytes[768 + U('a')], 2);
  EXPECT_EQ(bytes[768 + U('5')], 4);
  EXPECT_EQ(bytes[768 + 0xC9], 1);
  EXPECT_EQ(bytes[1024], 0xC6);  // digraph 0: character, first, second
  EXPECT_EQ(bytes[1025], U('A'));
  EXPECT_EQ(bytes[1026], U('E'));
  EXPECT_EQ(bytes[1027], 0xE6);
  for (size_t i = 1024 + 6; i < kCollationTablesSize; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(CollationTest, DefaultTablesSerialiseAsIdentity) {
  uint8_t bytes[kCollationTablesSize];
  SerializeCollation(CollationTables(), bytes);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(bytes[c], c);
}

TEST(CollationTest, SerialisedFormRoundTrips) {
  CollationTables tables;
  SetSystemWeights(&tables);
  SetSystemCase(&tables);
  std::vector<std::string> digraphs = {
      "\xC6"
      "AE",
      "\xDF"
      "ss",
      "\xE6"
      "ae"};
  SetDigraphs(&tables, digraphs);
  uint8_t bytes[kCollationTablesSize];
  SerializeCollation(tables, bytes);

  CollationTables read;
  ASSERT_TRUE(DeserializeCollation(bytes, sizeof bytes, &read));
  EXPECT_TRUE(read == tables);

  uint8_t again[kCollationTablesSize];
  SerializeCollation(read, again);
  EXPECT_TRUE(std::equal(bytes, bytes + kCollationTablesSize, again));
}

TEST(CollationTest, DeserialiseRefusesWrongSizesAndIgnoresTheTail) {
  uint8_t bytes[kCollationTablesSize + 1] = {};
  CollationTables tables;
  SetSequenceWeights(&tables, "zyx");
  CollationTables before = tables;
  EXPECT_FALSE(DeserializeCollation(bytes, kCollationTablesSize - 1, &tables));
  EXPECT_FALSE(DeserializeCollation(bytes, kCollationTablesSize + 1, &tables));
  EXPECT_FALSE(DeserializeCollation(nullptr, kCollationTablesSize, &tables));
  EXPECT_TRUE(tables == before);

  SerializeCollation(CollationTables(), bytes);
  std::fill(bytes + 1072, bytes + kCollationTablesSize, 0x5A);  // tail not zero
  bytes[1024 + 3] = 0;                                          // unused entry with left-over bytes
  bytes[1024 + 4] = U('x');
  ASSERT_TRUE(DeserializeCollation(bytes, kCollationTablesSize, &tables));
  EXPECT_TRUE(tables == CollationTables());
}

TEST(CollationTest, CompareByWeights) {
  CollationTables tables;
  EXPECT_EQ(CollationCompare(tables, "abc", "abc"), 0);
  EXPECT_EQ(CollationCompare(tables, "abc", "abd"), -1);
  EXPECT_EQ(CollationCompare(tables, "abd", "abc"), 1);
  EXPECT_EQ(CollationCompare(tables, "", ""), 0);
  // The end of a text is code 0.
  EXPECT_EQ(CollationCompare(tables, "ab", "abc"), -1);
  EXPECT_EQ(CollationCompare(tables, "abc", "ab"), 1);
  EXPECT_EQ(CollationCompare(tables, "ab", std::string("ab\0", 3)), 0);
  EXPECT_EQ(CollationCompare(tables, "abc", "abc "), -1);
  // Bytes above 127 compare unsigned.
  EXPECT_EQ(CollationCompare(tables, "\xE9", "z"), 1);

  SetSequenceWeights(&tables, "ba");
  EXPECT_EQ(CollationCompare(tables, "b", "a"), -1);
  EXPECT_EQ(CollationCompare(tables, "ab", "ba"), 1);
}

TEST(CollationTest, BlankPaddedComparisonIgnoresTrailingBlanks) {
  CollationTables tables;
  EXPECT_EQ(CompareBlankPadded(tables, "Nederland", "Nederland      "), 0);
  EXPECT_EQ(CompareBlankPadded(tables, "Nederland   ", "Nederland"), 0);
  EXPECT_EQ(CompareBlankPadded(tables, "", "    "), 0);
  EXPECT_EQ(CompareBlankPadded(tables, "abc", "abd  "), -1);
  // The shorter text is padded with blanks, which sort above control codes.
  EXPECT_EQ(CompareBlankPadded(tables, "abc", "abc\x01"), 1);
  EXPECT_EQ(CompareBlankPadded(tables, "abc", "abcd"), -1);
  EXPECT_EQ(CompareBlankPadded(tables, "ab ", "ab!"), -1);
}

TEST(CollationTest, DigraphsReadAsTwoCharacters) {
  CollationTables tables;
  std::vector<std::string> digraphs = {
      "\xC6"
      "AE",
      "\xDF"
      "ss"};
  SetDigraphs(&tables, digraphs);
  EXPECT_EQ(CollationCompare(tables, "\xC6", "AE"), 0);
  EXPECT_EQ(CollationCompare(tables,
                             "\xC6"
                             "B",
                             "AEB"),
            0);
  EXPECT_EQ(CollationCompare(tables, "\xC6", "AD"), 1);
  EXPECT_EQ(CollationCompare(tables, "\xC6", "AF"), -1);
  EXPECT_EQ(CollationCompare(tables, "\xC6", "A"), 1);
  EXPECT_EQ(CollationCompare(tables,
                             "Stra\xDF"
                             "e",
                             "Strasse"),
            0);
  EXPECT_EQ(CollationCompare(tables, "Stra\xDF", "Strass"), 0);
  EXPECT_EQ(CompareBlankPadded(tables,
                               "Stra\xDF"
                               "e  ",
                               "Strasse"),
            0);
  EXPECT_EQ(CollationCompare(tables, "\xDF\xDF", "ssst"), -1);
  ASSERT_NE(FindDigraph(tables, 0xC6), nullptr);
  EXPECT_EQ(FindDigraph(tables, U('A')), nullptr);
  EXPECT_EQ(FindDigraph(tables, 0), nullptr);
}

TEST(CollationTest, DigraphItemsOfOtherLengthsAreSkippedAndAtMostSixteenKept) {
  CollationTables tables;
  std::vector<std::string> items = {"ab", "abcd", "",
                                    "\xC6"
                                    "AE"};
  for (int i = 0; i < 20; ++i) items.push_back(std::string(1, static_cast<char>(0xA0 + i)) + "xy");
  SetDigraphs(&tables, items);
  EXPECT_EQ(tables.digraphs[0].character, 0xC6);
  EXPECT_EQ(tables.digraphs[15].character, 0xA0 + 14);
  EXPECT_EQ(FindDigraph(tables, 0xA0 + 15), nullptr);
  SetDigraphs(&tables, {});
  EXPECT_EQ(FindDigraph(tables, 0xC6), nullptr);
}

TEST(CollationTest, SequenceWeightsFormAPermutation) {
  CollationTables tables;
  SetSequenceWeights(&tables, "BAbAa");  // the repeated A counts at its first place
  EXPECT_TRUE(IsPermutation(tables.weight));
  for (int c = 0; c < U('A'); ++c) EXPECT_EQ(tables.weight[c], c);
  EXPECT_EQ(tables.weight[U('B')], U('A'));
  EXPECT_EQ(tables.weight[U('A')], U('A') + 1);
  EXPECT_EQ(tables.weight[U('b')], U('A') + 2);
  EXPECT_EQ(tables.weight[U('a')], U('A') + 3);
  EXPECT_EQ(tables.weight[U('C')], U('A') + 4);  // the others follow in code order
  EXPECT_EQ(tables.weight[255], 255);

  SetSequenceWeights(&tables, "");
  for (int c = 0; c < 256; ++c) EXPECT_EQ(tables.weight[c], c);

  std::string everything;
  for (int c = 255; c >= 0; --c) everything.push_back(static_cast<char>(c));
  SetSequenceWeights(&tables, everything);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(tables.weight[c], 255 - c);
}

TEST(CollationTest, SystemWeightsSortByTheSystemComparison) {
  CollationTables tables;
  SetSystemWeights(&tables);
  EXPECT_TRUE(IsPermutation(tables.weight));
  EXPECT_EQ(tables.weight[0], 0);
  EXPECT_EQ(tables.weight[1], 1);
  EXPECT_EQ(tables.weight[255], 255);

  std::array<uint8_t, 256> by_weight{};
  for (int c = 0; c < 256; ++c) by_weight[tables.weight[c]] = static_cast<uint8_t>(c);
  for (int w = 3; w <= 254; ++w) {
    char a = static_cast<char>(by_weight[w - 1]);
    char b = static_cast<char>(by_weight[w]);
    int order = platform::CompareStringSystem(std::string_view(&a, 1), std::string_view(&b, 1));
    // Sorted, and equal characters keep code order (insertion is stable).
    ASSERT_LE(order, 0) << "weights " << w - 1 << ", " << w;
    if (order == 0) {
      ASSERT_LT(static_cast<uint8_t>(a), static_cast<uint8_t>(b));
    }
  }
  // Letters alphabetically, case and accents as lesser differences.
  EXPECT_LT(tables.weight[U('a')], tables.weight[U('B')]);
  EXPECT_LT(tables.weight[U('A')], tables.weight[U('b')]);
  EXPECT_LT(tables.weight[0xE9], tables.weight[U('f')]);  // é before f
  EXPECT_GT(tables.weight[0xE9], tables.weight[U('d')]);  // é after d
}

TEST(CollationTest, SystemCaseForTheUpperHalf) {
  CollationTables tables;
  SetSystemCase(&tables);
  EXPECT_EQ(tables.upper[0xE9], 0xC9);  // é -> É
  EXPECT_EQ(tables.lower[0xC9], 0xE9);
  EXPECT_EQ(tables.flags[0xC9], kClassUpper);
  EXPECT_EQ(tables.flags[0xE9], kClassLower);
  EXPECT_EQ(tables.flags[0xDF], kClassLower);  // ß is a lower-case letter without partner
  EXPECT_EQ(tables.upper[0xDF], 0xDF);
  EXPECT_EQ(tables.flags[0xD7], 0);  // × is no letter
  EXPECT_EQ(tables.flags[0xB2], 0);  // ² is no digit here
  CollationTables builtin;
  for (int c = 0; c < 128; ++c) {
    EXPECT_EQ(tables.upper[c], builtin.upper[c]);
    EXPECT_EQ(tables.lower[c], builtin.lower[c]);
    EXPECT_EQ(tables.flags[c], builtin.flags[c]);
  }
  for (int c = 128; c < 256; ++c) {
    uint8_t ch = static_cast<uint8_t>(c);
    if (!platform::IsCharAlpha(ch)) {
      EXPECT_EQ(tables.flags[c], 0) << c;
      continue;
    }
    EXPECT_EQ(tables.flags[c], platform::IsCharUpper(ch) ? kClassUpper : kClassLower) << c;
  }
}

TEST(CollationTest, CasePairsFromLists) {
  CollationTables tables;
  SetSystemCase(&tables);
  SetCasePairs(&tables,
               "\xC9\xC4"
               "Q\xD6",
               "\xE9\xE4"
               "x\xF6\xFC");
  EXPECT_EQ(tables.upper[0xE9], 0xC9);
  EXPECT_EQ(tables.lower[0xC4], 0xE4);
  EXPECT_EQ(tables.upper[0xF6], 0xD6);
  EXPECT_EQ(tables.flags[0xD6], kClassUpper);
  EXPECT_EQ(tables.flags[0xF6], kClassLower);
  // A pair with a character below 128 is not taken; A-Z/a-z stay.
  EXPECT_EQ(tables.lower[U('Q')], U('q'));
  EXPECT_EQ(tables.upper[U('x')], U('X'));
  // The extra character of the longer list has no partner; neither has a
  // letter the lists leave out (the system case is replaced).
  EXPECT_EQ(tables.upper[0xFC], 0xFC);
  EXPECT_EQ(tables.flags[0xFC], 0);
  EXPECT_EQ(tables.lower[0xC0], 0xC0);
  EXPECT_EQ(tables.flags[0xC0], 0);
}

TEST(CollationTest, UpperAndLowerCaseTexts) {
  CollationTables tables;
  EXPECT_EQ(ToUpper(tables, "Caf\xE9 1a"), "CAF\xE9 1A");
  SetSystemCase(&tables);
  EXPECT_EQ(ToUpper(tables, "Caf\xE9 1a"), "CAF\xC9 1A");
  EXPECT_EQ(ToLower(tables, "CAF\xC9 1A"), "caf\xE9 1a");
}

}  // namespace
}  // namespace tentaria::runtime
