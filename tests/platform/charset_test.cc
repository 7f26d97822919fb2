#include "platform/charset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tentaria::platform {
namespace {

std::string Byte(int c) { return std::string(1, static_cast<char>(c)); }

TEST(CharsetTest, Cp1252ToUtf8KnownCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
  EXPECT_EQ(Cp1252ToUtf8(Byte(0x80)), "\xE2\x82\xAC");  // €
  EXPECT_EQ(Cp1252ToUtf8(Byte(0x9F)), "\xC5\xB8");      // Ÿ
  EXPECT_EQ(Cp1252ToUtf8(Byte(0xE9)), "\xC3\xA9");      // é
  EXPECT_EQ(Cp1252ToUtf8(Byte(0x81)), "\xC2\x81");      // unassigned: C1 control
  EXPECT_EQ(Cp1252ToUtf8(Byte(0x93) + "x" + Byte(0x94)), "\xE2\x80\x9Cx\xE2\x80\x9D");
}

TEST(CharsetTest, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(Byte(c))), Byte(c)) << "byte " << c;
  }
}

TEST(CharsetTest, Utf8WithoutCp1252FormBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToCp1252("\xCE\xB1"), "?");             // Greek alpha
  EXPECT_EQ(Utf8ToCp1252("a\xE2\x82\xACz"), "a\x80z");  // €
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");     // emoji
  EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");             // U+0080 is not 1252's 80 (€)
}

TEST(CharsetTest, MalformedUtf8) {
  EXPECT_EQ(Utf8ToCp1252("\x80"), "?");                  // stray continuation
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");                // truncated at the end
  EXPECT_EQ(Utf8ToCp1252("\xC3x"), "?x");                // broken by ASCII
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");             // overlong '/'
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "???");        // overlong, three bytes
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");        // surrogate
  EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "????");   // above U+10FFFF
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "?");              // truncated three-byte
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xC3\xA9"), "?\xE9");  // truncated then é
  EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");
  EXPECT_EQ(Utf8ToCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CharsetTest, OemKnownCharacters) {
  EXPECT_EQ(CharToOem("\xE9"), "\x82");  // é
  EXPECT_EQ(CharToOem("\xC7"), "\x80");  // Ç
  EXPECT_EQ(CharToOem("\xFC"), "\x81");  // ü
  EXPECT_EQ(CharToOem("\xA0"), "\xFF");  // no-break space
  EXPECT_EQ(CharToOem("\x83"), "\x9F");  // ƒ
  EXPECT_EQ(OemToChar("\x82"), "\xE9");
  EXPECT_EQ(OemToChar("\xE1"), "\xDF");  // ß
  EXPECT_EQ(OemToChar("\x9E"), "\xD7");  // ×
  EXPECT_EQ(CharToOem("Abc 123"), "Abc 123");
}

TEST(CharsetTest, OemBestFit) {
  EXPECT_EQ(CharToOem("\x80"), "E");       // €
  EXPECT_EQ(CharToOem("\x8A\x9A"), "Ss");  // Š š
  EXPECT_EQ(CharToOem("\x93x\x94"), "\"x\"");
  EXPECT_EQ(CharToOem("\x96\x97"), "--");
  EXPECT_EQ(CharToOem("\x9F"), "Y");
  EXPECT_EQ(CharToOem("\x81\x8D\x8F\x90\x9D"), "?????");
  EXPECT_EQ(OemToChar("\xC4\xB3\xC5\xCD\xDB\xD5\xF2"), "-|+=#i_");
}

TEST(CharsetTest, OemInPlace) {
  char text[] = "caf\xE9";
  CharToOem(text, 4);
  EXPECT_EQ(std::string(text), "caf\x82");
  OemToChar(text, 4);
  EXPECT_EQ(std::string(text), "caf\xE9");
}

// Every Windows-1252 character that code page 850 also has comes back
// unchanged; and every code page 850 character that Windows-1252 has.
TEST(CharsetTest, OemRoundTripForSharedCharacters) {
  int shared = 0;
  for (int c = 0; c < 256; ++c) {
    unsigned char oem = static_cast<unsigned char>(CharToOem(Byte(c))[0]);
    // Code page 850 has ASCII, all of A0-FF and ƒ; the rest of 80-9F only
    // has best fits.
    bool exact = c < 0x80 || c >= 0xA0 || c == 0x83;
    if (!exact) continue;
    ++shared;
    EXPECT_EQ(OemToChar(CharToOem(Byte(c))), Byte(c)) << "byte " << c;
    EXPECT_TRUE(c < 0x80 || oem >= 0x80) << "byte " << c;
  }
  EXPECT_EQ(shared, 128 + 96 + 1);
  // Distinct characters map to distinct OEM codes.
  std::vector<bool> seen(256);
  for (int c = 0; c < 256; ++c) {
    if (!(c < 0x80 || c >= 0xA0 || c == 0x83)) continue;
    unsigned char oem = static_cast<unsigned char>(CharToOem(Byte(c))[0]);
    EXPECT_FALSE(seen[oem]) << "byte " << c;
    seen[oem] = true;
  }
  int oem_shared = 0;
  for (int o = 0; o < 256; ++o) {
    std::string ansi = OemToChar(Byte(o));
    if (CharToOem(ansi) == Byte(o)) ++oem_shared;
  }
  // Code page 850 has 31 characters outside Windows-1252 (ı, ‗, box
  // drawing and blocks).
  EXPECT_EQ(oem_shared, 256 - 31);
}

TEST(CharsetTest, LetterTests) {
  for (int c = 0; c < 256; ++c) {
    bool expected_alpha = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0x8A || c == 0x9A ||
                          c == 0x8C || c == 0x9C || c == 0x8E || c == 0x9E || c == 0x9F ||
                          c == 0x83 || c == 0xAA || c == 0xBA || c == 0xB5;
    EXPECT_EQ(IsCharAlpha(static_cast<unsigned char>(c)), expected_alpha) << "byte " << c;
    if (!expected_alpha) {
      EXPECT_FALSE(IsCharUpper(static_cast<unsigned char>(c))) << c;
      EXPECT_FALSE(IsCharLower(static_cast<unsigned char>(c))) << c;
    } else {
      EXPECT_NE(IsCharUpper(static_cast<unsigned char>(c)),
                IsCharLower(static_cast<unsigned char>(c)))
          << c;
    }
  }
  EXPECT_TRUE(IsCharUpper(0xC9));  // É
  EXPECT_TRUE(IsCharLower(0xDF));  // ß
  EXPECT_TRUE(IsCharLower(0xB5));  // µ
  EXPECT_TRUE(IsCharUpper(0x9F));  // Ÿ
  EXPECT_FALSE(IsCharAlpha('1'));
  EXPECT_FALSE(IsCharAlpha(0xD7));  // ×
}

TEST(CharsetTest, CaseConversion) {
  EXPECT_EQ(CharUpper('a'), 'A');
  EXPECT_EQ(CharUpper(0xE9), 0xC9);  // é
  EXPECT_EQ(CharUpper(0xFF), 0x9F);  // ÿ
  EXPECT_EQ(CharUpper(0xDF), 0xDF);  // ß stays
  EXPECT_EQ(CharUpper(0xB5), 0xB5);  // µ stays
  EXPECT_EQ(CharUpper(0xF7), 0xF7);  // ÷
  EXPECT_EQ(CharUpper(0x9A), 0x8A);  // š
  EXPECT_EQ(CharLower(0x9F), 0xFF);
  EXPECT_EQ(CharLower(0xD7), 0xD7);  // ×
  EXPECT_EQ(CharLower(0x8C), 0x9C);  // Œ
  for (int c = 0; c < 256; ++c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (IsCharUpper(u)) {
      EXPECT_TRUE(IsCharLower(CharLower(u))) << c;
      EXPECT_EQ(CharUpper(CharLower(u)), u) << c;
    }
    if (IsCharLower(u) && CharUpper(u) != u) {
      EXPECT_TRUE(IsCharUpper(CharUpper(u))) << c;
      EXPECT_EQ(CharLower(CharUpper(u)), u) << c;
    }
    if (!IsCharAlpha(u)) {
      EXPECT_EQ(CharUpper(u), u) << c;
      EXPECT_EQ(CharLower(u), u) << c;
    }
  }
}

TEST(CharsetTest, CompareStringSystemOrder) {
  EXPECT_EQ(CompareStringSystem("abc", "abc"), 0);
  EXPECT_LT(CompareStringSystem("abc", "abd"), 0);
  EXPECT_LT(CompareStringSystem("ab", "abc"), 0);
  EXPECT_LT(CompareStringSystem("a", "B"), 0);  // letters before case
  EXPECT_GT(CompareStringSystem("b", "A"), 0);
  EXPECT_LT(CompareStringSystem("a", "A"), 0);     // lower before upper
  EXPECT_LT(CompareStringSystem("e", "\xE9"), 0);  // e < é
  EXPECT_LT(CompareStringSystem("\xE9", "f"), 0);  // é < f
  EXPECT_LT(CompareStringSystem("\xC9", "f"), 0);  // É < f
  EXPECT_LT(CompareStringSystem("E", "\xE9"), 0);  // the accent decides before the case
  EXPECT_LT(CompareStringSystem("1", "a"), 0);     // digits before letters
  EXPECT_LT(CompareStringSystem("!", "0"), 0);     // punctuation before digits
  EXPECT_LT(CompareStringSystem(" ", "!"), 0);
  EXPECT_LT(CompareStringSystem("9", "A"), 0);
  EXPECT_LT(CompareStringSystem("ae", "\xE6"), 0);  // æ after ae
  EXPECT_LT(CompareStringSystem("\xE6", "af"), 0);  // but before af
  EXPECT_LT(CompareStringSystem("ss", "\xDF"), 0);  // ß
  EXPECT_LT(CompareStringSystem("\xDF", "st"), 0);
  EXPECT_LT(CompareStringSystem("z", "\xFE"), 0);  // þ after z
  EXPECT_LT(CompareStringSystem("cote", "cot\xE9"), 0);
  EXPECT_LT(CompareStringSystem("cot\xE9", "c\xF4te"), 0);
  EXPECT_LT(CompareStringSystem("Cote", "c\xF4te"), 0);   // accent outweighs case
  EXPECT_LT(CompareStringSystem("\xE9t\xE9", "etz"), 0);  // base letters first
  EXPECT_LT(CompareStringSystem("e", "E"), 0);
  EXPECT_LT(CompareStringSystem("E", "\xE9"), 0);
  EXPECT_LT(CompareStringSystem("\xE9", "\xC9"), 0);
  EXPECT_LT(CompareStringSystem("\xC9", "f"), 0);
}

TEST(CharsetTest, CompareStringSystemIsATotalOrderOnSingleCharacters) {
  std::vector<std::string> chars;
  for (int c = 1; c < 256; ++c) chars.push_back(Byte(c));
  for (const auto& a : chars) {
    EXPECT_EQ(CompareStringSystem(a, a), 0);
    for (const auto& b : chars) {
      if (a == b) continue;
      int ab = CompareStringSystem(a, b);
      int ba = CompareStringSystem(b, a);
      ASSERT_NE(ab, 0);
      ASSERT_EQ(ab, -ba);
    }
  }
  std::sort(chars.begin(), chars.end(), [](const std::string& a, const std::string& b) {
    return CompareStringSystem(a, b) < 0;
  });
  for (size_t i = 1; i < chars.size(); ++i) {
    ASSERT_LT(CompareStringSystem(chars[i - 1], chars[i]), 0);
  }
  auto position = [&](int c) {
    return std::find(chars.begin(), chars.end(), Byte(c)) - chars.begin();
  };
  EXPECT_LT(position('!'), position('0'));
  EXPECT_LT(position('9'), position('a'));
  EXPECT_LT(position('a'), position('A'));
  EXPECT_LT(position('A'), position(0xE1));  // á
  EXPECT_LT(position(0xC1), position('b'));  // Á
  EXPECT_LT(position('z'), position(0xFE));
}

}  // namespace
}  // namespace tentaria::platform
