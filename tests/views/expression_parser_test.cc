#include "views/expression_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/locale.h"
#include "tests/views/expression_test_support.h"

namespace tentaria::views {
namespace {

using testing::ExpressionTest;
using testing::Fill;

class ParserTest : public ExpressionTest {
 protected:
  void SetUp() override {
    ExpressionTest::SetUp();
    Fill(a_, "A");
    Fill(b_, "B");
    names_.Bind("A", testing::StringField(a_, sizeof a_));
    names_.Bind("B", testing::StringField(b_, sizeof b_));
    names_.Bind("N", testing::Scalar(&n_, runtime::TypeCode::LONG));
  }

  char a_[4];
  char b_[4];
  std::int32_t n_ = 1;
};

TEST_F(ParserTest, PrecedenceAndAssociativity) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"1+2*3", 7},  {"2^3^2", 64},   {"-2^2", 4},       {"2^-1", 0.5},
      {"10-4-3", 3}, {"100/10/5", 2}, {"7%4", 3},        {"--3", 3},
      {"-(-3)", 3},  {"2*3+4*5", 26}, {"(1+2)*3", 9},    {"2+3 & 4", 54},
      {"+-+2", -2},  {"-2*-3", 6},    {"17 % 5 * 2", 4}, {"2 * 3 ^ 2", 18},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(Real(c.text), c.value) << c.text;
}

TEST_F(ParserTest, LogicalLevels) {
  struct Case {
    const char* text;
    bool value;
  } cases[] = {
      {"1+2 = 3", true},
      {"1 < 2 = 1", true},  // (1 < 2) = 1
      {"NOT 1 = 2", true},
      {"1=1 AND 2=3 OR 1=1", true},
      {"1=1 OR 1=1 AND 1=2", true},  // AND binds tighter than OR
      {"1=1 XOR 1=1", false},
      {"1=1 XOR 1=2", true},
      {"1=1 OR 1=1 XOR 1=1", false},  // OR and XOR share a level, left to right
      {"~ 1 = 1", false},
      {"NOT NOT NOT 1 = 1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Truth(c.text), c.value) << c.text;
}

TEST_F(ParserTest, EvenNotsCancel) {
  NodePtr doubled = Tree("NOT NOT N = 1");
  NodePtr plain = Tree("N = 1");
  ASSERT_TRUE(doubled && plain);
  EXPECT_TRUE(Equal(*doubled, *plain));
  NodePtr tilde = Tree("~ NOT N = 1");
  EXPECT_TRUE(Equal(*tilde, *plain));
}

TEST_F(ParserTest, ComparisonOperatorCombinations) {
  struct Case {
    const char* text;
    Op op;
  } cases[] = {
      {"A<>B", Op::kNotEqual},       {"A < > B", Op::kNotEqual},
      {"A ~= B", Op::kNotEqual},     {"A<=B", Op::kLessOrEqual},
      {"A=<B", Op::kLessOrEqual},    {"A~>B", Op::kLessOrEqual},
      {"A>=B", Op::kGreaterOrEqual}, {"A=>B", Op::kGreaterOrEqual},
      {"A~<B", Op::kGreaterOrEqual}, {"A<B", Op::kLess},
      {"A>B", Op::kGreater},         {"A=B", Op::kEqual},
  };
  for (const Case& c : cases) {
    NodePtr tree = Tree(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(tree->op(), c.op) << c.text;
    EXPECT_EQ(tree->value_class, ValueClass::kTruth);
  }
  EXPECT_TRUE(Equal(*Tree("A <> B"), *Tree("A ~= B")));
  EXPECT_TRUE(Equal(*Tree("A =< B"), *Tree("A <= B")));
  for (const char* text : {"A >< B", "A ~ B", "A == B", "A <= > B"}) {
    EXPECT_FALSE(Compile(text, names_)) << text;
  }
}

TEST_F(ParserTest, Numbers) {
  struct Case {
    const char* text;
    ValueClass value_class;
    double value;
  } cases[] = {
      {"0FFH", ValueClass::kInteger, 255},
      {"0ffh", ValueClass::kInteger, 255},
      {"17O", ValueClass::kInteger, 15},
      {"101B", ValueClass::kInteger, 5},
      {"1BH", ValueClass::kInteger, 27},
      {"0E1H", ValueClass::kInteger, 225},
      {"0FFFFFFFFH", ValueClass::kInteger, -1},
      {"255", ValueClass::kInteger, 255},
      {"000000000000007", ValueClass::kInteger, 7},
      {"2147483647", ValueClass::kInteger, 2147483647.0},
      {"2147483648", ValueClass::kReal, 2147483648.0},
      {"1.5", ValueClass::kReal, 1.5},
      {".5", ValueClass::kReal, 0.5},
      {"2E3", ValueClass::kReal, 2000},
      {"2e-1", ValueClass::kReal, 0.2},
      {"1.5E+2", ValueClass::kReal, 150},
      {"3.", ValueClass::kReal, 3},
      {"1E999", ValueClass::kReal, HUGE_VAL},
  };
  for (const Case& c : cases) {
    NodePtr tree = Tree(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(tree->value_class, c.value_class) << c.text;
    EXPECT_DOUBLE_EQ(EvaluateReal(*tree), c.value) << c.text;
  }
  EXPECT_EQ(Integer("0FFH + 1"), 256);
  for (const char* text : {"12B", "19O", "12AB", "1FFFFFFFFH", "1.5.3", "1.5X", "2E"}) {
    EXPECT_FALSE(Compile(text, names_)) << text;
  }
}

TEST_F(ParserTest, StringsAndPictures) {
  EXPECT_EQ(Text("'it''s'"), "it's");
  EXPECT_EQ(Text("''"), "");
  EXPECT_EQ(Text("'a' & 'b'"), "ab");
  struct Case {
    const char* text;
    const char* picture;
  } cases[] = {
      {"LEN(@N9.2)", "@N9.2"},       {"LEN(@P###-##PB)", "@P###-##PB"},
      {"LEN(@K#@K)", "@K#@K"},       {"LEN(@N~EUR ,~9.2)", "@N~EUR ,~9.2"},
      {"LEN(@N(10.2))", "@N(10.2)"}, {"LEN(@S30, 2)", "@S30"},
      {"LEN(@D6 )", "@D6"},
  };
  names_.BindProcedure("LEN", 2, ValueClass::kInteger,
                       [](std::span<const Value>) { return Value::Integer(0); });
  for (const Case& c : cases) {
    NodePtr tree = Tree(c.text);
    ASSERT_TRUE(tree) << c.text;
    ASSERT_FALSE(tree->operands.empty());
    EXPECT_EQ(tree->operands[0]->value_class, ValueClass::kPicture) << c.text;
    EXPECT_EQ(tree->operands[0]->text, c.picture) << c.text;
  }
  for (const char* text : {"'abc", "'abc''", "@P##", "@", "@ N9"}) {
    EXPECT_FALSE(Compile(text, names_)) << text;
  }
}

TEST_F(ParserTest, Names) {
  std::int32_t value = 7;
  names_.Bind("GNAW:NUMMER", testing::Scalar(&value, runtime::TypeCode::LONG));
  names_.Bind("Count#", testing::Scalar(&value, runtime::TypeCode::LONG));
  names_.Bind("?Flag", testing::Scalar(&value, runtime::TypeCode::LONG));
  names_.Bind("_x$", testing::Scalar(&value, runtime::TypeCode::LONG));
  EXPECT_EQ(Integer("gnaw:nummer + COUNT# + ?flag + _X$"), 28);
  EXPECT_EQ(Integer("upper('a') = 'A'"), 1);  // function names ignore case too
}

TEST_F(ParserTest, LocaleLettersStartNames) {
  std::int32_t value = 3;
  const char name[] = "\xC9T\xC9";  // ÉTÉ in Windows-1252
  EXPECT_FALSE(Compile(name, names_)) << "not a letter under the built-in tables";
  runtime::CollationTables saved = runtime::CurrentLocale().collation();
  runtime::SetSystemCase(&runtime::CurrentLocale().collation());
  names_.Bind(name, testing::Scalar(&value, runtime::TypeCode::LONG));
  EXPECT_EQ(Integer("\xE9t\xE9 * 2"), 6);  // été: found without regard to case
  runtime::CurrentLocale().collation() = saved;
}

TEST_F(ParserTest, SyntaxErrorsGiveNoTreeAndNoErrorCode) {
  const char* texts[] = {
      "1 +",
      "(1",
      "UPPER(",
      "UPPER('a', 'b')",
      "A[1",
      "TODAY",
      "1 2",
      "#",
      "'abc",
      "A AND",
      ")",
      "",
      "UPPER 'a'",
      "NOT",
      "1 + AND",
      "SUB('a',,1)",
      "A[1,2]",
      "(1))",
      "CHOOSE(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26)",
  };
  for (const char* text : texts) {
    runtime::ClearError();
    EXPECT_FALSE(Compile(text, names_)) << text;
    EXPECT_EQ(runtime::ErrorCode(), 0) << text;
  }
  EXPECT_TRUE(Compile("TODAY()", names_));
  EXPECT_TRUE(
      Compile("CHOOSE(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25)", names_));
}

TEST_F(ParserTest, UnboundNameSetsError801WithTheName) {
  EXPECT_FALSE(Compile("A = NOSUCH:FIELD + 1", names_));
  EXPECT_EQ(runtime::ErrorCode(), kNoBindError);
  EXPECT_EQ(runtime::CurrentError().driver_text, "No BIND on variable (NOSUCH:FIELD)");
}

TEST_F(ParserTest, PrefixCompileStopsAtTheFirstTokenThatCannotContinue) {
  std::string order = "A, -B + 1 X";
  size_t end = 0;
  NodePtr first = CompilePrefix(order, 0, &end, names_);
  ASSERT_TRUE(first);
  EXPECT_EQ(end, 1u);
  NodePtr second = CompilePrefix(order, 3, &end, names_);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->op(), Op::kAdd);
  EXPECT_EQ(end, 9u);
  // A bad token or an unbound name after a complete prefix ends it quietly.
  EXPECT_TRUE(CompilePrefix("A #", 0, &end, names_));
  EXPECT_TRUE(CompilePrefix("A UNBOUND", 0, &end, names_));
  EXPECT_EQ(runtime::ErrorCode(), 0);
  EXPECT_FALSE(CompilePrefix("(A", 0, &end, names_));
  EXPECT_FALSE(CompilePrefix("A", 5, &end, names_));
}

TEST_F(ParserTest, DeepOrLongTextIsRefusedWithoutCrashing) {
  std::string nested = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_FALSE(Compile(nested, names_));
  std::string chain = "1";
  for (int i = 0; i < 20000; ++i) chain += "+1";
  EXPECT_FALSE(Compile(chain, names_));
  std::string calls;
  for (int i = 0; i < 3000; ++i) calls += "ABS(";
  EXPECT_FALSE(Compile(calls + "1" + std::string(3000, ')'), names_));
  // Prefix operators fold while parsing, so any number of them is fine.
  EXPECT_EQ(Integer(std::string(10000, '-') + "5"), 5);
  std::string nots;
  for (int i = 0; i < 5001; ++i) nots += "NOT ";
  EXPECT_FALSE(Truth(nots + "1 = 1"));
  // Moderate depth still compiles.
  std::string moderate = "1";
  for (int i = 0; i < 150; ++i) moderate += "+1";
  EXPECT_EQ(Integer(moderate), 151);
}

}  // namespace
}  // namespace tentaria::views
