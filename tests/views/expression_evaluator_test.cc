#include "views/expression_evaluator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/string_stack.h"
#include "tests/views/expression_test_support.h"

namespace tentaria::views {
namespace {

using runtime::TypeCode;
using testing::ExpressionTest;
using testing::Fill;
using testing::Scalar;

class EvaluatorTest : public ExpressionTest {
 protected:
  void SetUp() override {
    ExpressionTest::SetUp();
    Fill(land_, "Nederland");
    names_.Bind("LAND", testing::StringField(land_, sizeof land_));
    names_.Bind("N", Scalar(&n_, TypeCode::LONG));
  }

  char land_[20];
  std::int32_t n_ = 0;
};

TEST_F(EvaluatorTest, ComparisonsPickIntegersTextsOrReals) {
  struct Case {
    const char* text;
    bool value;
  } cases[] = {
      {"'5' = 5", true},  // string and integer: as reals
      {"'5.0' = 5", true},
      {"'abc' < 'abd'", true},       // both strings: by the collation
      {"'10' < '9'", true},          // ... so '10' sorts before '9'
      {"'10' < 9", false},           // but as reals it does not
      {"LAND = 'Nederland'", true},  // trailing blanks do not count
      {"'a' = 'a  '", true},
      {"'a' < 'a '", false},
      {"'a ' < 'a'", false},
      {"'' = '   '", true},
      {"(1 = 1) = 1", true},  // truth value and integer: as integers
      {"(1 = 1) = 1.0", true},
      {"0.1 + 0.2 = 0.3", false},  // reals are compared exactly
      {"SQRT(-1) = SQRT(-1)", false},
      {"SQRT(-1) <> SQRT(-1)", true},
      {"SQRT(-1) < 1", false},
      {"'B' > 'A' AND 'b' > 'B'", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Truth(c.text), c.value) << c.text;
}

TEST_F(EvaluatorTest, ValueForms) {
  EXPECT_EQ(Integer("7/2"), 3);
  EXPECT_EQ(Integer("-7/2"), -3);
  EXPECT_EQ(Integer("1E20"), INT_MAX);
  EXPECT_EQ(Integer("-1E20"), INT_MIN);
  EXPECT_EQ(Integer("SQRT(-1)"), 0);
  EXPECT_EQ(Integer("'12abc'"), 12);
  EXPECT_DOUBLE_EQ(Real("7 % 2.5"), 2);
  EXPECT_DOUBLE_EQ(Real("'1,5' * 2"), 3);
  EXPECT_EQ(Text("1+2"), "3");
  EXPECT_EQ(Text("7/2"), "3.5");
  EXPECT_EQ(Text("1/3"), "0.333333333333333");
  EXPECT_EQ(Text("-0.0"), "0");
  EXPECT_EQ(Text("1=1"), "1");
  EXPECT_EQ(Text("1 & 2"), "12");
  EXPECT_EQ(Text("'x' & 1.5"), "x1.5");
  EXPECT_EQ(Text("2^40"), "1099511627776");
  EXPECT_EQ(Text("1E20"), "1e+20");
  EXPECT_EQ(Text("1/0"), "inf");
  // Truth values of non-logical nodes: non-zero is true, strings by their
  // numeric value.
  EXPECT_TRUE(Truth("0.5"));
  EXPECT_FALSE(Truth("'abc'"));
  EXPECT_TRUE(Truth("'2'"));
  EXPECT_FALSE(Truth("0"));
}

TEST_F(EvaluatorTest, NegationOfAnIntegerWrapsInsteadOfOverflowing) {
  n_ = INT_MIN;
  EXPECT_EQ(Integer("-N"), INT_MIN);
  n_ = 5;
  EXPECT_EQ(Integer("-N"), -5);
  EXPECT_EQ(Integer("NOT N"), 0);
}

TEST_F(EvaluatorTest, VariablesOfEveryValueType) {
  std::uint8_t byte = 200;
  std::int16_t short_value = -300;
  std::uint16_t ushort = 60000;
  std::uint32_t ulong = 4000000000u;
  float sreal = 1.5f;
  double real = -2.25;
  std::uint8_t decimal[3] = {0x01, 0x23, 0x45};   // DECIMAL(5,2) 123.45
  std::uint8_t pdecimal[3] = {0x12, 0x34, 0x5D};  // PDECIMAL(5,2) -123.45
  std::uint32_t date = (2000u << 16) | (1u << 8) | 1u;
  std::uint32_t time = (1u << 24) | (2u << 16) | (3u << 8) | 4u;  // 01:02:03.04
  std::uint8_t bfloat4[4] = {0x00, 0x00, 0x00, 0x81};             // 1.0
  char cstring[8] = "abc";
  char pstring[8] = {3, 'x', 'y', 'z', 'q', 'q', 'q', 'q'};
  char group[4] = {'g', 'r', ' ', ' '};
  names_.Bind("BY", Scalar(&byte, TypeCode::BYTE));
  names_.Bind("SH", Scalar(&short_value, TypeCode::SHORT));
  names_.Bind("US", Scalar(&ushort, TypeCode::USHORT));
  names_.Bind("UL", Scalar(&ulong, TypeCode::ULONG));
  names_.Bind("SR", Scalar(&sreal, TypeCode::SREAL));
  names_.Bind("RE", Scalar(&real, TypeCode::REAL));
  names_.Bind("DE", {decimal, runtime::ToInt(TypeCode::DECIMAL), 3, 2, {}});
  names_.Bind("PD", {pdecimal, runtime::ToInt(TypeCode::PDECIMAL), 3, 2, {}});
  names_.Bind("DA", Scalar(&date, TypeCode::DATE));
  names_.Bind("TI", Scalar(&time, TypeCode::TIME));
  names_.Bind("BF", {bfloat4, runtime::ToInt(TypeCode::BFLOAT4), 4, 0, {}});
  names_.Bind("CS", {cstring, runtime::ToInt(TypeCode::CSTRING), 8, 0, {}});
  names_.Bind("PS", {pstring, runtime::ToInt(TypeCode::PSTRING), 8, 0, {}});
  names_.Bind("GR", {group, runtime::ToInt(TypeCode::GROUP), 4, 0, {}});

  EXPECT_EQ(Integer("BY"), 200);
  EXPECT_EQ(Integer("SH"), -300);
  EXPECT_EQ(Integer("US"), 60000);
  EXPECT_DOUBLE_EQ(Real("UL"), 4000000000.0);
  EXPECT_EQ(Tree("UL")->value_class, ValueClass::kReal);
  EXPECT_DOUBLE_EQ(Real("SR"), 1.5);
  EXPECT_DOUBLE_EQ(Real("RE"), -2.25);
  EXPECT_DOUBLE_EQ(Real("DE"), 123.45);
  EXPECT_EQ(Text("DE"), "123.45");
  EXPECT_DOUBLE_EQ(Real("PD"), -123.45);
  EXPECT_EQ(Integer("DA"), 72687);  // the day number of 1 January 2000
  EXPECT_EQ(Integer("TI"), 1 * 360000 + 2 * 6000 + 3 * 100 + 4 + 1);
  EXPECT_DOUBLE_EQ(Real("BF"), 1.0);
  EXPECT_EQ(Text("CS"), "abc");
  EXPECT_EQ(Text("PS"), "xyz");
  EXPECT_EQ(Text("GR"), "gr  ");
  EXPECT_EQ(Tree("GR")->value_class, ValueClass::kString);
  EXPECT_TRUE(Truth("GR = 'gr'"));
  EXPECT_EQ(Text("BY & SH"), "200-300");
  EXPECT_TRUE(errors_.errors.empty());

  // Every field that a filter may leave unread reads in every form without
  // an error.
  for (const char* name : {"BY", "SH", "US", "UL", "SR", "RE", "DE", "PD", "DA", "TI", "BF", "CS",
                           "PS", "GR", "LAND", "N"}) {
    NodePtr tree = Tree(name);
    if (!FreeOfEffects(*tree)) continue;
    EvaluateTruth(*tree);
    EvaluateInteger(*tree);
    EvaluateReal(*tree);
    EvaluateText(*tree);
    EXPECT_TRUE(errors_.errors.empty()) << name;
  }
}

TEST_F(EvaluatorTest, OnlyReadsOfFieldsAndConstantsAreFreeOfEffects) {
  char object[8] = {};
  names_.Bind("OBJ", {object, runtime::ToInt(TypeCode::CLASS), 8, 0, {}});
  names_.BindProcedure("P", 1, ValueClass::kInteger,
                       [](std::span<const Value> args) { return args[0]; });
  EXPECT_TRUE(FreeOfEffects(*Tree("N > 1 AND LAND <> 'x' OR NOT (-N = 2) XOR 'a' < 'b'")));
  EXPECT_FALSE(FreeOfEffects(*Tree("OBJ = 1")));  // raises on reading
  EXPECT_FALSE(FreeOfEffects(*Tree("P(N) = 1")));
  EXPECT_FALSE(FreeOfEffects(*Tree("UPPER(LAND) = 'X'")));
  EXPECT_FALSE(FreeOfEffects(*Tree("LAND[1 : 2] = 'Ne'")));
  EXPECT_FALSE(FreeOfEffects(*Tree("N + 1 = 2")));
}

TEST_F(EvaluatorTest, TypeWithoutValueFormRaises501) {
  char object[8] = {};
  names_.Bind("OBJ", {object, runtime::ToInt(TypeCode::CLASS), 8, 0, {}});
  EXPECT_EQ(Text("OBJ"), "");
  ASSERT_EQ(errors_.errors.size(), 1u);
  EXPECT_EQ(errors_.errors[0].number, runtime::kStringStackError);
}

TEST_F(EvaluatorTest, ArrayElementsAndSubstrings) {
  std::int32_t vector[3] = {10, 20, 30};
  std::int32_t matrix[2][3] = {{1, 2, 3}, {4, 5, 6}};
  char names[2][4] = {{'a', 'b', 'c', 'd'}, {'w', 'x', 'y', 'z'}};
  names_.Bind("V", {vector, runtime::ToInt(TypeCode::LONG), 4, 0, {{3, 4}}});
  names_.Bind("M", {matrix, runtime::ToInt(TypeCode::LONG), 4, 0, {{2, 12}, {3, 4}}});
  names_.Bind("S", {names, runtime::ToInt(TypeCode::STRING), 4, 0, {{2, 4}}});
  EXPECT_EQ(Integer("V[2]"), 20);
  EXPECT_EQ(Integer("V[1+2]"), 30);
  EXPECT_EQ(Integer("M[2, 3]"), 6);
  EXPECT_EQ(Integer("M[1, 1] + M[2, 1]"), 5);
  EXPECT_EQ(Text("S[2]"), "wxyz");
  // Outside the array: 0 or "", never memory beyond it.
  EXPECT_EQ(Integer("V[0]"), 0);
  EXPECT_EQ(Integer("V[4]"), 0);
  EXPECT_EQ(Integer("M[3, 1]"), 0);
  EXPECT_EQ(Text("S[-1]"), "");
  EXPECT_FALSE(Compile("V[1, 1]", names_)) << "more indices than dimensions";

  EXPECT_EQ(Text("LAND[2 : 4]"), "ede");
  EXPECT_EQ(Text("LAND[4]"), "e");
  EXPECT_EQ(Text("LAND[0 : 2]"), "Ne");
  EXPECT_EQ(Text("LAND[18 : 99]"), "   ");
  EXPECT_EQ(Text("LAND[5 : 4]"), "");
  EXPECT_EQ(Tree("LAND[1 : 2]")->value_class, ValueClass::kString);
}

TEST_F(EvaluatorTest, UnsupportedOperatorFormsRaise406) {
  NodePtr separator = MakeBinary(Op::kArgumentSeparator, MakeInteger(1), MakeInteger(2));
  EXPECT_EQ(EvaluateReal(*separator), 0);
  EXPECT_FALSE(EvaluateTruth(*separator));
  NodePtr unknown = MakeCall(static_cast<Fn>(99), "F", 0, ValueClass::kString, {});
  EXPECT_EQ(EvaluateText(*unknown), "");
  ASSERT_EQ(errors_.errors.size(), 3u);
  for (const auto& error : errors_.errors) EXPECT_EQ(error.number, kUnsupportedOperatorError);
}

TEST_F(EvaluatorTest, BoundProceduresGetArgumentsLastToFirst) {
  std::vector<int> order;
  names_.BindProcedure("MARK", 1, ValueClass::kInteger, [&](std::span<const Value> args) {
    order.push_back(args[0].integer);
    return Value::Integer(args[0].integer);
  });
  names_.BindProcedure("JOIN", 3, ValueClass::kString, [](std::span<const Value> args) {
    std::string text;
    for (const Value& arg : args) {
      text += arg.value_class == ValueClass::kString ? arg.text
              : arg.value_class == ValueClass::kReal ? "r"
                                                     : std::to_string(arg.integer);
    }
    return Value::String(text);
  });
  names_.BindProcedure("HALF", 1, ValueClass::kReal,
                       [](std::span<const Value> args) { return Value::Real(args[0].real / 2); });
  EXPECT_EQ(Text("JOIN(MARK(1), MARK(2), MARK(3))"), "123");
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(Text("JOIN('a', 1.5, 1 = 1)"), "ar1");
  EXPECT_DOUBLE_EQ(Real("HALF(3.0)"), 1.5);
  EXPECT_EQ(Integer("HALF(7.0)"), 3);
  EXPECT_FALSE(Compile("MARK(1, 2)", names_));
}

TEST_F(EvaluatorTest, LogicalOperatorsEvaluateBothOperands) {
  int calls = 0;
  names_.BindProcedure("COUNTED", 1, ValueClass::kInteger, [&](std::span<const Value> args) {
    ++calls;
    return Value::Integer(args[0].integer);
  });
  EXPECT_FALSE(Truth("COUNTED(0) = 1 AND COUNTED(1) = 1"));
  EXPECT_TRUE(Truth("COUNTED(1) = 1 OR COUNTED(0) = 1"));
  EXPECT_TRUE(Truth("COUNTED(1) = 1 XOR COUNTED(0) = 1"));
  EXPECT_EQ(calls, 6);
}

TEST_F(EvaluatorTest, StringResultGoesOnTheStringStack) {
  runtime::StringStack& stack = runtime::ProcessStringStack();
  stack.Clear();
  NodePtr tree = Tree("UPPER(LAND[1 : 3]) & '!'");
  EvaluateString(*tree);
  ASSERT_EQ(stack.Size(), 1);
  EXPECT_EQ(stack.PopText(), "NED!");
}

}  // namespace
}  // namespace tentaria::views
