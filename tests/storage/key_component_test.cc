#include "storage/key_component.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/charset.h"
#include "runtime/bfloat.h"
#include "runtime/collation.h"
#include "runtime/value_types.h"

namespace tentaria::storage {
namespace {

using runtime::CollationTables;
using runtime::TypeCode;
using Bytes = std::vector<uint8_t>;

FieldDescriptor Field(TypeCode type, uint16_t size, std::vector<uint16_t> dimensions = {}) {
  FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.size = size;
  field.dimensions = std::move(dimensions);
  return field;
}

Bytes Encode(const FieldDescriptor& field, const Bytes& value, bool descending,
             const KeyCollation& collation, bool nocase = false) {
  Bytes out(field.size);
  EXPECT_TRUE(EncodeKeyComponent(field, value, nocase, descending, collation, out));
  return out;
}

int Sign(int c) { return (c > 0) - (c < 0); }
int CompareBytes(const Bytes& a, const Bytes& b) {
  return Sign(std::memcmp(a.data(), b.data(), std::min(a.size(), b.size())));
}
template <typename T>
int Three(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}
std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }
Bytes ToBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }
std::string Hex(const Bytes& b) {
  std::string out;
  char buffer[4];
  for (uint8_t c : b) {
    std::snprintf(buffer, sizeof buffer, "%02X ", c);
    out += buffer;
  }
  return out;
}

template <typename T>
T LoadLittle(const Bytes& b, size_t at = 0) {
  using U = std::make_unsigned_t<T>;
  U v = 0;
  for (size_t i = sizeof(T); i-- > 0;) v = static_cast<U>(v << 8 | b[at + i]);
  return static_cast<T>(v);
}
template <typename T>
Bytes StoreLittle(T value) {
  Bytes b(sizeof(T));
  std::memcpy(b.data(), &value, sizeof(T));
  return b;
}

// Packed decimal of 7 digits (4 bytes), written by hand: sign half first
// (DECIMAL) or last (PDECIMAL).
Bytes PackDecimal(int64_t value, bool trailing_sign, uint8_t positive_sign = 0xF) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  digits.insert(0, 7 - digits.size(), '0');
  std::vector<uint8_t> nibbles;
  if (!trailing_sign) nibbles.push_back(value < 0 ? 0xF : 0x0);
  for (char d : digits) nibbles.push_back(static_cast<uint8_t>(d - '0'));
  if (trailing_sign) nibbles.push_back(value < 0 ? 0xD : positive_sign);
  Bytes out;
  for (size_t i = 0; i < nibbles.size(); i += 2) {
    out.push_back(static_cast<uint8_t>(nibbles[i] << 4 | nibbles[i + 1]));
  }
  return out;
}
int64_t UnpackDecimal(const Bytes& b, bool trailing_sign) {
  int64_t magnitude = 0;
  size_t nibbles = 2 * b.size();
  bool negative = false;
  for (size_t k = 0; k < nibbles; ++k) {
    uint8_t n = k % 2 == 0 ? b[k / 2] >> 4 : b[k / 2] & 0x0F;
    bool sign_place = trailing_sign ? k == nibbles - 1 : k == 0;
    if (sign_place) {
      negative = trailing_sign ? n == 0xD : n != 0;
    } else {
      magnitude = magnitude * 10 + n;
    }
  }
  return negative ? -magnitude : magnitude;
}

// Reals in the order an index must keep them: by value, with -0 just
// before +0 (the two signs of zero are distinct stored values).
template <typename T>
int CompareReal(T a, T b) {
  if (a == b && a == 0) return Three(!std::signbit(a), !std::signbit(b));
  return Three(a, b);
}

template <typename T>
T RandomReal(std::mt19937& rng) {
  static const T kSpecial[] = {T(0),
                               -T(0),
                               T(1),
                               T(-1),
                               T(-2),
                               std::numeric_limits<T>::infinity(),
                               -std::numeric_limits<T>::infinity(),
                               std::numeric_limits<T>::max(),
                               std::numeric_limits<T>::lowest(),
                               std::numeric_limits<T>::denorm_min(),
                               -std::numeric_limits<T>::denorm_min()};
  switch (rng() % 3) {
    case 0:
      return kSpecial[rng() % std::size(kSpecial)];
    case 1:
      return static_cast<T>(std::uniform_real_distribution<double>(-100, 100)(rng));
    default:
      for (;;) {
        Bytes bits(sizeof(T));
        for (uint8_t& b : bits) b = static_cast<uint8_t>(rng());
        T value;
        std::memcpy(&value, bits.data(), sizeof(T));
        if (!std::isnan(value)) return value;
      }
  }
}

Bytes RandomBytes(std::mt19937& rng, size_t n) {
  Bytes b(n);
  for (uint8_t& c : b) c = static_cast<uint8_t>(rng());
  return b;
}

// Text from a small alphabet that mixes case, accents, digits and blanks,
// padded with blanks to `size`.
Bytes RandomText(std::mt19937& rng, size_t size, size_t max_length) {
  static const std::string kAlphabet = platform::Utf8ToCp1252("aAbBeEéÉzZ09 -ßæÆ");
  size_t length = rng() % (max_length + 1);
  Bytes b(size, ' ');
  for (size_t i = 0; i < length; ++i)
    b[i] = static_cast<uint8_t>(kAlphabet[rng() % kAlphabet.size()]);
  return b;
}

CollationTables SystemTables() {
  CollationTables tables;
  runtime::SetSystemWeights(&tables);
  runtime::SetSystemCase(&tables);
  return tables;
}

CollationTables DigraphTables() {
  CollationTables tables = SystemTables();
  std::vector<std::string> digraphs = {platform::Utf8ToCp1252("ßss"), platform::Utf8ToCp1252("ÆAE"),
                                       platform::Utf8ToCp1252("æae")};
  runtime::SetDigraphs(&tables, digraphs);
  return tables;
}

// One row of the order table: a field, how to make random values of it,
// and the order an index must give them, written without the encoder.
struct OrderCase {
  std::string name;
  FieldDescriptor field;
  KeyCollation collation;
  bool nocase = false;
  std::function<Bytes(std::mt19937&)> generate;
  std::function<int(const Bytes&, const Bytes&)> compare;
  // Whether decoding gives back the very bytes (canonical values only).
  bool round_trips = true;
};

std::vector<OrderCase> OrderCases() {
  std::vector<OrderCase> cases;
  auto add = [&](OrderCase c) { cases.push_back(std::move(c)); };
  auto random_bytes = [](size_t n) {
    return [n](std::mt19937& rng) { return RandomBytes(rng, n); };
  };
  add({"BYTE",
       Field(TypeCode::BYTE, 1),
       {},
       false,
       random_bytes(1),
       [](const Bytes& a, const Bytes& b) { return Three(a[0], b[0]); }});
  add({"SHORT",
       Field(TypeCode::SHORT, 2),
       {},
       false,
       random_bytes(2),
       [](const Bytes& a, const Bytes& b) {
         return Three(LoadLittle<int16_t>(a), LoadLittle<int16_t>(b));
       }});
  add({"USHORT",
       Field(TypeCode::USHORT, 2),
       {},
       false,
       random_bytes(2),
       [](const Bytes& a, const Bytes& b) {
         return Three(LoadLittle<uint16_t>(a), LoadLittle<uint16_t>(b));
       }});
  add({"LONG",
       Field(TypeCode::LONG, 4),
       {},
       false,
       random_bytes(4),
       [](const Bytes& a, const Bytes& b) {
         return Three(LoadLittle<int32_t>(a), LoadLittle<int32_t>(b));
       }});
  add({"ULONG",
       Field(TypeCode::ULONG, 4),
       {},
       false,
       random_bytes(4),
       [](const Bytes& a, const Bytes& b) {
         return Three(LoadLittle<uint32_t>(a), LoadLittle<uint32_t>(b));
       }});
  add({"DATE",
       Field(TypeCode::DATE, 4),
       {},
       false,
       [](std::mt19937& rng) {
         if (rng() % 10 == 0) return Bytes(4, 0);  // no date
         uint16_t year = static_cast<uint16_t>(1801 + rng() % 8199);
         return Bytes{static_cast<uint8_t>(1 + rng() % 28), static_cast<uint8_t>(1 + rng() % 12),
                      static_cast<uint8_t>(year), static_cast<uint8_t>(year >> 8)};
       },
       [](const Bytes& a, const Bytes& b) {
         auto parts = [](const Bytes& d) {
           return std::make_tuple(LoadLittle<uint16_t>(d, 2), d[1], d[0]);
         };
         return Three(parts(a), parts(b));
       }});
  add({"TIME",
       Field(TypeCode::TIME, 4),
       {},
       false,
       [](std::mt19937& rng) {
         return Bytes{static_cast<uint8_t>(rng() % 100), static_cast<uint8_t>(rng() % 60),
                      static_cast<uint8_t>(rng() % 60), static_cast<uint8_t>(rng() % 24)};
       },
       [](const Bytes& a, const Bytes& b) {
         auto parts = [](const Bytes& t) { return std::make_tuple(t[3], t[2], t[1], t[0]); };
         return Three(parts(a), parts(b));
       }});
  add({"SREAL",
       Field(TypeCode::SREAL, 4),
       {},
       false,
       [](std::mt19937& rng) { return StoreLittle(RandomReal<float>(rng)); },
       [](const Bytes& a, const Bytes& b) {
         float x, y;
         std::memcpy(&x, a.data(), 4);
         std::memcpy(&y, b.data(), 4);
         return CompareReal(x, y);
       }});
  add({"REAL",
       Field(TypeCode::REAL, 8),
       {},
       false,
       [](std::mt19937& rng) { return StoreLittle(RandomReal<double>(rng)); },
       [](const Bytes& a, const Bytes& b) {
         double x, y;
         std::memcpy(&x, a.data(), 8);
         std::memcpy(&y, b.data(), 8);
         return CompareReal(x, y);
       }});
  auto random_decimal = [](std::mt19937& rng) {
    return std::uniform_int_distribution<int64_t>(-9999999, 9999999)(rng);
  };
  add({"DECIMAL",
       Field(TypeCode::DECIMAL, 4),
       {},
       false,
       [=](std::mt19937& rng) { return PackDecimal(random_decimal(rng), false); },
       [](const Bytes& a, const Bytes& b) {
         return Three(UnpackDecimal(a, false), UnpackDecimal(b, false));
       }});
  add({"PDECIMAL",
       Field(TypeCode::PDECIMAL, 4),
       {},
       false,
       [=](std::mt19937& rng) { return PackDecimal(random_decimal(rng), true); },
       [](const Bytes& a, const Bytes& b) {
         return Three(UnpackDecimal(a, true), UnpackDecimal(b, true));
       }});
  auto random_moderate = [](std::mt19937& rng) {
    double magnitude = std::ldexp(std::uniform_real_distribution<double>(0.5, 1)(rng),
                                  static_cast<int>(rng() % 200) - 100);
    return rng() % 8 == 0 ? 0.0 : (rng() % 2 ? -magnitude : magnitude);
  };
  add({"BFLOAT4",
       Field(TypeCode::BFLOAT4, 4),
       {},
       false,
       [=](std::mt19937& rng) {
         auto b = runtime::DoubleToBfloat4(random_moderate(rng));
         return Bytes(b.begin(), b.end());
       },
       [](const Bytes& a, const Bytes& b) {
         return Three(runtime::Bfloat4ToDouble(std::span<const uint8_t, 4>(a.data(), 4)),
                      runtime::Bfloat4ToDouble(std::span<const uint8_t, 4>(b.data(), 4)));
       }});
  add({"BFLOAT8",
       Field(TypeCode::BFLOAT8, 8),
       {},
       false,
       [=](std::mt19937& rng) {
         auto b = runtime::DoubleToBfloat8(random_moderate(rng));
         return Bytes(b.begin(), b.end());
       },
       [](const Bytes& a, const Bytes& b) {
         return Three(runtime::Bfloat8ToDouble(std::span<const uint8_t, 8>(a.data(), 8)),
                      runtime::Bfloat8ToDouble(std::span<const uint8_t, 8>(b.data(), 8)));
       }});
  add({"SHORT array",
       Field(TypeCode::SHORT, 6, {3}),
       {},
       false,
       random_bytes(6),
       [](const Bytes& a, const Bytes& b) {
         auto elements = [](const Bytes& x) {
           return std::make_tuple(LoadLittle<int16_t>(x, 0), LoadLittle<int16_t>(x, 2),
                                  LoadLittle<int16_t>(x, 4));
         };
         return Three(elements(a), elements(b));
       }});
  add({"GROUP",
       Field(TypeCode::GROUP, 5),
       {},
       false,
       random_bytes(5),
       [](const Bytes& a, const Bytes& b) { return Three(a, b); }});

  // Text keys compare as the runtime compares texts through the same tables.
  CollationTables system = SystemTables();
  auto text_order = [](CollationTables tables, bool upper) {
    return [tables, upper](const Bytes& a, const Bytes& b) {
      std::string x = Text(a), y = Text(b);
      if (upper) x = runtime::ToUpper(tables, x), y = runtime::ToUpper(tables, y);
      return runtime::CompareBlankPadded(tables, x, y);
    };
  };
  add({"STRING", Field(TypeCode::STRING, 8), KeyCollation(system, false), false,
       [](std::mt19937& rng) { return RandomText(rng, 8, 8); }, text_order(system, false), false});
  add({"STRING NOCASE", Field(TypeCode::STRING, 8), KeyCollation(system, false), true,
       [](std::mt19937& rng) { return RandomText(rng, 8, 8); }, text_order(system, true), false});
  // A digraph takes two places; texts leave room for every expansion.
  CollationTables digraphs = DigraphTables();
  add({"STRING digraphs", Field(TypeCode::STRING, 10), KeyCollation(digraphs, false), false,
       [](std::mt19937& rng) { return RandomText(rng, 10, 5); }, text_order(digraphs, false),
       false});
  // An OEM file's tables are in OEM terms; its text is compared in its
  // OEM form.
  add({"STRING OEM", Field(TypeCode::STRING, 8), KeyCollation(system, true), false,
       [](std::mt19937& rng) { return RandomText(rng, 8, 8); },
       [system](const Bytes& a, const Bytes& b) {
         return runtime::CompareBlankPadded(system, platform::CharToOem(Text(a)),
                                            platform::CharToOem(Text(b)));
       },
       false});
  add({"CSTRING", Field(TypeCode::CSTRING, 8), KeyCollation(system, false), false,
       [](std::mt19937& rng) {
         // Bytes after the terminator are left over from older values.
         Bytes b = RandomBytes(rng, 8);
         Bytes text = RandomText(rng, 7, 7);
         size_t length = rng() % 8;
         std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), b.begin());
         b[length] = 0;
         return b;
       },
       [system](const Bytes& a, const Bytes& b) {
         return runtime::CollationCompare(system, Text(a).c_str(), Text(b).c_str());
       },
       false});
  add({"PSTRING", Field(TypeCode::PSTRING, 8), KeyCollation(system, false), false,
       [](std::mt19937& rng) {
         Bytes b = RandomBytes(rng, 8);
         Bytes text = RandomText(rng, 7, 7);
         b[0] = static_cast<uint8_t>(rng() % 8);
         std::copy(text.begin(), text.begin() + b[0], b.begin() + 1);
         return b;
       },
       [system](const Bytes& a, const Bytes& b) {
         return runtime::CollationCompare(system, Text(a).substr(1, a[0]), Text(b).substr(1, b[0]));
       },
       false});
  return cases;
}

class KeyOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(KeyOrderTest, BytewiseOrderIsValueOrder) {
  const OrderCase& c = GetParam();
  std::mt19937 rng(20260);
  std::vector<Bytes> values;
  for (int i = 0; i < 250; ++i) values.push_back(c.generate(rng));
  std::vector<Bytes> ascending, descending;
  for (const Bytes& v : values) {
    ascending.push_back(Encode(c.field, v, false, c.collation, c.nocase));
    descending.push_back(Encode(c.field, v, true, c.collation, c.nocase));
  }
  for (size_t i = 0; i < values.size(); ++i) {
    for (size_t j = i + 1; j < values.size(); ++j) {
      int expected = c.compare(values[i], values[j]);
      ASSERT_EQ(CompareBytes(ascending[i], ascending[j]), expected)
          << Hex(values[i]) << "vs " << Hex(values[j]);
      ASSERT_EQ(CompareBytes(descending[i], descending[j]), -expected)
          << Hex(values[i]) << "vs " << Hex(values[j]);
    }
  }
  if (!c.round_trips) return;
  for (size_t i = 0; i < values.size(); ++i) {
    for (bool desc : {false, true}) {
      Bytes decoded(c.field.size);
      ASSERT_TRUE(DecodeKeyComponent(c.field, desc ? descending[i] : ascending[i], desc,
                                     c.collation, decoded));
      ASSERT_EQ(Hex(decoded), Hex(values[i])) << (desc ? "descending" : "ascending");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Types, KeyOrderTest, ::testing::ValuesIn(OrderCases()),
                         [](const ::testing::TestParamInfo<OrderCase>& param) {
                           std::string name = param.param.name;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

struct ExactCase {
  const char* name;
  FieldDescriptor field;
  Bytes row;
  bool descending;
  Bytes key;
};

TEST(KeyComponentTest, ExactBytes) {
  const ExactCase cases[] = {
      {"SHORT -1", Field(TypeCode::SHORT, 2), {0xFF, 0xFF}, false, {0x7F, 0xFF}},
      {"SHORT 0", Field(TypeCode::SHORT, 2), {0x00, 0x00}, false, {0x80, 0x00}},
      {"SHORT 1", Field(TypeCode::SHORT, 2), {0x01, 0x00}, false, {0x80, 0x01}},
      {"LONG", Field(TypeCode::LONG, 4), {4, 3, 2, 1}, false, {0x81, 2, 3, 4}},
      {"LONG descending", Field(TypeCode::LONG, 4), {4, 3, 2, 1}, true, {0x7E, 0xFD, 0xFC, 0xFB}},
      {"ULONG", Field(TypeCode::ULONG, 4), {4, 3, 2, 1}, false, {1, 2, 3, 4}},
      {"DATE", Field(TypeCode::DATE, 4), {8, 12, 0xD0, 0x07}, false, {0x07, 0xD0, 12, 8}},
      {"BYTE descending", Field(TypeCode::BYTE, 1), {0x10}, true, {0xEF}},
      {"REAL 1.0",
       Field(TypeCode::REAL, 8),
       StoreLittle(1.0),
       false,
       {0xBF, 0xF0, 0, 0, 0, 0, 0, 0}},
      {"REAL -1.0",
       Field(TypeCode::REAL, 8),
       StoreLittle(-1.0),
       false,
       {0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      // A descending negative number is not inverted.
      {"REAL -1.0 descending",
       Field(TypeCode::REAL, 8),
       StoreLittle(-1.0),
       true,
       {0xBF, 0xF0, 0, 0, 0, 0, 0, 0}},
      {"DECIMAL 5", Field(TypeCode::DECIMAL, 2), {0x00, 0x05}, false, {0x80, 0x05}},
      {"DECIMAL -5", Field(TypeCode::DECIMAL, 2), {0xF0, 0x05}, false, {0x7F, 0xFA}},
      {"DECIMAL -5 descending", Field(TypeCode::DECIMAL, 2), {0xF0, 0x05}, true, {0x80, 0x05}},
      {"PDECIMAL -5", Field(TypeCode::PDECIMAL, 2), {0x00, 0x5D}, false, {0x7F, 0xFA}},
      {"PSTRING AB",
       Field(TypeCode::PSTRING, 10),
       {2, 'A', 'B', 'x', 'x', 'x', 'x', 'x', 'x', 'x'},
       false,
       {'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0}},
      // A length byte beyond the field reads as the whole field.
      {"PSTRING long",
       Field(TypeCode::PSTRING, 4),
       {255, 'A', 'B', 'C'},
       false,
       {'A', 'B', 'C', 0}},
      {"CSTRING", Field(TypeCode::CSTRING, 5), {'A', 'B', 0, 'x', 'y'}, false, {'A', 'B', 0, 0, 0}},
      {"CSTRING unterminated",
       Field(TypeCode::CSTRING, 3),
       {'A', 'B', 'C'},
       false,
       {'A', 'B', 'C'}},
  };
  KeyCollation collation;
  for (const ExactCase& c : cases) {
    EXPECT_EQ(Hex(Encode(c.field, c.row, c.descending, collation)), Hex(c.key)) << c.name;
  }
}

TEST(KeyComponentTest, SignedNumbersListInValueOrder) {
  KeyCollation collation;
  FieldDescriptor real = Field(TypeCode::REAL, 8);
  std::vector<Bytes> reals = {StoreLittle(-2.0), StoreLittle(-1.0), StoreLittle(0.0),
                              StoreLittle(1.0)};
  for (size_t i = 0; i + 1 < reals.size(); ++i) {
    EXPECT_LT(Encode(real, reals[i], false, collation),
              Encode(real, reals[i + 1], false, collation));
  }
  // A descending decimal key lists 5, 0, -5.
  FieldDescriptor decimal = Field(TypeCode::DECIMAL, 4);
  Bytes five = Encode(decimal, PackDecimal(5, false), true, collation);
  Bytes zero = Encode(decimal, PackDecimal(0, false), true, collation);
  Bytes minus_five = Encode(decimal, PackDecimal(-5, false), true, collation);
  EXPECT_LT(five, zero);
  EXPECT_LT(zero, minus_five);
  // Every sign half but D is positive in a PDECIMAL: C sorts as F does.
  FieldDescriptor pdecimal = Field(TypeCode::PDECIMAL, 4);
  EXPECT_EQ(Encode(pdecimal, PackDecimal(42, true, 0xC), false, collation),
            Encode(pdecimal, PackDecimal(42, true, 0xF), false, collation));
}

TEST(KeyComponentTest, NocaseMakesCaseVariantsEqual) {
  KeyCollation collation(SystemTables(), false);
  FieldDescriptor field = Field(TypeCode::STRING, 8);
  Bytes lower = ToBytes(platform::Utf8ToCp1252("émile   "));
  Bytes upper = ToBytes(platform::Utf8ToCp1252("ÉMILE   "));
  EXPECT_EQ(Encode(field, lower, false, collation, true),
            Encode(field, upper, false, collation, true));
  EXPECT_NE(Encode(field, lower, false, collation), Encode(field, upper, false, collation));
}

TEST(KeyComponentTest, DigraphExpansionIsCutAtTheFieldSize) {
  KeyCollation collation(DigraphTables(), false);
  FieldDescriptor field = Field(TypeCode::STRING, 3);
  Bytes row = ToBytes(platform::Utf8ToCp1252("aßß"));
  Bytes expected = Encode(field, ToBytes("ass"), false, collation);
  EXPECT_EQ(Encode(field, row, false, collation), expected);
}

TEST(KeyComponentTest, EmptyValues) {
  struct Case {
    const char* name;
    FieldDescriptor field;
    Bytes row;
    bool empty;
  } cases[] = {
      {"blank STRING", Field(TypeCode::STRING, 3), ToBytes("   "), true},
      {"STRING", Field(TypeCode::STRING, 3), ToBytes("  a"), false},
      {"zero STRING", Field(TypeCode::STRING, 3), Bytes(3, 0), false},
      {"blank GROUP", Field(TypeCode::GROUP, 2), ToBytes("  "), true},
      {"CSTRING", Field(TypeCode::CSTRING, 3), {0, 'a', 'b'}, true},
      {"PSTRING", Field(TypeCode::PSTRING, 3), {0, 'a', 'b'}, true},
      {"PSTRING with text", Field(TypeCode::PSTRING, 3), {1, 'a', 0}, false},
      {"LONG 0", Field(TypeCode::LONG, 4), Bytes(4, 0), true},
      {"LONG", Field(TypeCode::LONG, 4), {0, 0, 0, 1}, false},
      {"DECIMAL -0", Field(TypeCode::DECIMAL, 2), {0xF0, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsEmptyKeyComponent(c.field, c.row), c.empty) << c.name;
}

TEST(KeyComponentTest, RefusesBuffersOfTheWrongSize) {
  KeyCollation collation;
  FieldDescriptor field = Field(TypeCode::LONG, 4);
  Bytes row(3), out(4);
  EXPECT_FALSE(EncodeKeyComponent(field, row, false, false, collation, out));
  EXPECT_FALSE(DecodeKeyComponent(field, row, false, collation, out));
}

}  // namespace
}  // namespace tentaria::storage
