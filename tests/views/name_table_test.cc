#include "views/name_table.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/string_stack.h"
#include "tests/views/expression_test_support.h"

namespace tentaria::views {
namespace {

using runtime::TypeCode;
using testing::ExpressionTest;
using testing::Scalar;

class ScopeTest : public ExpressionTest {
 protected:
  std::int32_t outer_ = 1;
  std::int32_t inner_ = 2;
};

TEST_F(ScopeTest, InnerBindingHidesOuterUntilPopped) {
  names_.Bind("X", Scalar(&outer_, TypeCode::LONG));
  names_.Bind("Y", Scalar(&outer_, TypeCode::LONG));
  names_.PushScope(true);
  names_.Bind("x", Scalar(&inner_, TypeCode::LONG));
  EXPECT_EQ(Integer("X"), 2);
  EXPECT_EQ(Integer("Y"), 1) << "an inheriting scope sees the outer names";
  EXPECT_TRUE(names_.PopScope());
  EXPECT_EQ(Integer("X"), 1);
}

TEST_F(ScopeTest, OpaqueScopeHidesOuterNamesButNotBuiltins) {
  names_.Bind("X", Scalar(&outer_, TypeCode::LONG));
  names_.PushScope(false);
  runtime::ClearError();
  EXPECT_FALSE(Compile("X", names_));
  EXPECT_EQ(runtime::ErrorCode(), kNoBindError);
  EXPECT_TRUE(Compile("UPPER('a') AND 1", names_));
  // An inheriting scope inside the opaque one still stops at it.
  names_.PushScope(true);
  EXPECT_FALSE(Compile("X", names_));
  names_.Bind("X", Scalar(&inner_, TypeCode::LONG));
  EXPECT_EQ(Integer("X"), 2);
  names_.PopScope();
  names_.PopScope();
  EXPECT_EQ(Integer("X"), 1);
}

TEST_F(ScopeTest, PoppingDiscardsTheScopesEntries) {
  names_.PushScope(true);
  names_.Bind("TEMP", Scalar(&inner_, TypeCode::LONG));
  NodePtr compiled = Tree("TEMP + 1");
  names_.PopScope();
  EXPECT_FALSE(Compile("TEMP", names_));
  ASSERT_TRUE(compiled);
  EXPECT_EQ(EvaluateInteger(*compiled), 3) << "a compiled tree keeps its own reference";
}

TEST_F(ScopeTest, PopWithoutPushRaises802) {
  EXPECT_FALSE(names_.PopScope());
  ASSERT_EQ(errors_.errors.size(), 1u);
  EXPECT_EQ(errors_.errors[0].number, kMismatchedScopeError);
  EXPECT_EQ(errors_.errors[0].text, "Mismatched PUSHSCOPE/POPSCOPE");
  names_.PushScope(true);
  EXPECT_TRUE(names_.PopScope());
  EXPECT_FALSE(names_.PopScope());
  EXPECT_EQ(names_.PushedScopes(), 0);
}

TEST_F(ScopeTest, BindReplacesAndCutsNames) {
  names_.Bind("X", Scalar(&outer_, TypeCode::LONG));
  names_.Bind("X", Scalar(&inner_, TypeCode::LONG));
  EXPECT_EQ(Integer("X"), 2);
  // The name ends at the first character that cannot be part of it; a
  // "#", "$" or double quote there still belongs to it.
  names_.Bind("TOTAL# extra", Scalar(&outer_, TypeCode::LONG));
  EXPECT_EQ(names_.Lookup("TOTAL#")->name, "TOTAL#");
  names_.Bind("PRIJS:LAAG=5", Scalar(&inner_, TypeCode::LONG));
  EXPECT_EQ(Integer("PRIJS:LAAG"), 2);
  std::string long_name(150, 'L');
  names_.Bind(long_name, Scalar(&outer_, TypeCode::LONG));
  EXPECT_TRUE(names_.Lookup(std::string(100, 'L')));
  EXPECT_FALSE(names_.Lookup(long_name));
  EXPECT_FALSE(names_.Bind("=5", Scalar(&outer_, TypeCode::LONG)));
}

TEST_F(ScopeTest, VariableClassFollowsTheTypeCode) {
  struct Row {
    TypeCode type;
    ValueClass value_class;
  } rows[] = {
      {TypeCode::BYTE, ValueClass::kInteger},  {TypeCode::DATE, ValueClass::kInteger},
      {TypeCode::LONG, ValueClass::kInteger},  {TypeCode::ULONG, ValueClass::kReal},
      {TypeCode::DECIMAL, ValueClass::kReal},  {TypeCode::BFLOAT8, ValueClass::kReal},
      {TypeCode::STRING, ValueClass::kString}, {TypeCode::MEMO, ValueClass::kString},
      {TypeCode::GROUP, ValueClass::kString},
  };
  for (const Row& row : rows) {
    names_.Bind("V", {&outer_, runtime::ToInt(row.type), 4, 0, {}});
    EXPECT_EQ(names_.Lookup("v")->value_class, row.value_class) << runtime::TypeName(row.type);
  }
}

TEST_F(ScopeTest, BindingAFunctionNameInAScopeReplacesTheBuiltinThere) {
  names_.PushScope(true);
  names_.Bind("LEN", Scalar(&inner_, TypeCode::LONG));
  EXPECT_EQ(Integer("LEN + 1"), 3);
  names_.PopScope();
  EXPECT_EQ(Integer("LEN('abc')"), 3);
}

TEST_F(ScopeTest, BindTakesTheNameFromTheStringStack) {
  runtime::StringStack& stack = runtime::ProcessStringStack();
  stack.Clear();
  stack.PushOwned("GNAW:NUMMER");
  EXPECT_TRUE(BindFromStringStack(names_, Scalar(&outer_, TypeCode::LONG)));
  EXPECT_TRUE(stack.Empty());
  EXPECT_EQ(Integer("GNAW:NUMMER"), 1);
}

TEST(ProcessNamesTest, BindsThroughTheProcessWideTable) {
  std::int32_t value = 9;
  NameScopes& names = ProcessNames();
  names.PushScope(true);
  names.Bind("PROCESS:VALUE", testing::Scalar(&value, TypeCode::LONG));
  NodePtr tree = Compile("PROCESS:VALUE * 2");
  ASSERT_TRUE(tree);
  EXPECT_EQ(EvaluateInteger(*tree), 18);
  EXPECT_TRUE(names.PopScope());
}

}  // namespace
}  // namespace tentaria::views
