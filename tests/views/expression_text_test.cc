#include "views/expression_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/views/expression_test_support.h"

namespace tentaria::views {
namespace {

using runtime::TypeCode;
using testing::ExpressionTest;

class TextFormTest : public ExpressionTest {
 protected:
  void SetUp() override {
    ExpressionTest::SetUp();
    names_.Bind("A", testing::Scalar(&a_, TypeCode::LONG));
    names_.Bind("B", testing::Scalar(&a_, TypeCode::LONG));
    names_.Bind("GNAW:PLAATS", testing::StringField(plaats_, sizeof plaats_));
    names_.Bind("V", {vector_, runtime::ToInt(TypeCode::LONG), 4, 0, {{2, 12}, {3, 4}}});
  }

  std::int32_t a_ = 0;
  std::int32_t vector_[6] = {};
  char plaats_[10] = {};
};

TEST_F(TextFormTest, WritesOperatorsAndLiterals) {
  struct Case {
    const char* text;
    const char* form;
  } cases[] = {
      {"1+2*3", "1 + 2 * 3"},
      {"(1+2)*3", "(1 + 2) * 3"},
      {"a<>b", "A <> B"},
      {"A ~= B", "A <> B"},
      {"A =< B", "A <= B"},
      {"not a=1 and b>2", "NOT A = 1 AND B > 2"},
      {"'it''s' & 'x'", "'it''s' & 'x'"},
      {"0FFH", "255"},
      {"upper(gnaw:plaats) >= 'AMS'", "UPPER(GNAW:PLAATS) >= 'AMS'"},
      {"sub(gnaw:plaats,1,3)", "SUB(GNAW:PLAATS, 1, 3)"},
      {"gnaw:plaats[2:3]", "GNAW:PLAATS[2 : 3]"},
      {"v[1,2]", "V[1, 2]"},
      {"1.5", "1.5"},
      {"3.", "3.0"},
      {"1E20", "1.0e+20"},
      {"TODAY()", "TODAY()"},
      {"-2^2", "-2 ^ 2"},
  };
  for (const Case& c : cases) {
    NodePtr tree = Tree(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(TextForm(*tree), c.form) << c.text;
  }
}

// Every form must compile back to an equal tree, including the shapes that
// need parentheses beyond binding strength.
TEST_F(TextFormTest, RoundTripsToAnEqualTree) {
  const char* texts[] = {
      "1 - (2 - 3)",
      "2 ^ (3 ^ 2)",
      "(2 ^ 3) ^ 2",
      "-(2 ^ 2)",
      "(-2) ^ 2",
      "-(-A)",
      "NOT (NOT A = 1)",
      "NOT (A = 1 AND B = 2)",
      "A = (B = 1)",
      "(A = B) = 1",
      "'a' & ('b' & 'c')",
      "A OR (B XOR A)",
      "A AND (B OR A)",
      "-(A + B) * 2",
      "(A & B) + 1",
      "A / (B * 2)",
      "A - -B",
      "2 ^ -A",
      "NOT A",
      "CHOOSE(A, 'x', 1.25, @N9.2)",
      "V[A + 1, 2] + V[1, 1]",
      "GNAW:PLAATS[A : B + 1]",
      "GNAW:PLAATS[@N3 ]",
      "1E300 * 1E300",
      "0FFFFFFFFH",
      "0.1",
      "123456789012.5",
      "2147483648",
      "1.0E999",
      "(((1)))",
      "LEN(@P##-##P)",
      "'' = ''",
  };
  for (const char* text : texts) {
    NodePtr tree = Tree(text);
    ASSERT_TRUE(tree) << text;
    std::string form = TextForm(*tree);
    NodePtr again = Compile(form, names_);
    ASSERT_TRUE(again) << text << " -> " << form;
    EXPECT_TRUE(Equal(*tree, *again)) << text << " -> " << form;
  }
}

TEST_F(TextFormTest, NegativeIntegerConstantsReadBack) {
  NodePtr tree = MakeBinary(Op::kAdd, MakeInteger(-5), MakeInteger(2));
  std::string form = TextForm(*tree);
  NodePtr again = Compile(form, names_);
  ASSERT_TRUE(again) << form;
  EXPECT_TRUE(Equal(*tree, *again)) << form;
  EXPECT_EQ(EvaluateInteger(*again), -3);
}

}  // namespace
}  // namespace tentaria::views
