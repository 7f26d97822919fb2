#include "views/filter_analysis.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/views/expression_test_support.h"
#include "views/expression_text.h"

namespace tentaria::views {
namespace {

using runtime::TypeCode;
using testing::ExpressionTest;
using testing::Fill;

// Two view files: CAMP (level 1) and PRIJS (level 2); TODAY-like program
// variables belong to no file (level 0).
class FilterAnalysisTest : public ExpressionTest {
 protected:
  void SetUp() override {
    ExpressionTest::SetUp();
    names_.Bind("CAMP:NUMMER", testing::Scalar(&camp_nummer_, TypeCode::LONG));
    names_.Bind("CAMP:PLAATS", testing::StringField(camp_plaats_, sizeof camp_plaats_));
    names_.Bind("PRIJS:NUMMER", testing::Scalar(&prijs_nummer_, TypeCode::LONG));
    names_.Bind("LIMIET", testing::Scalar(&limiet_, TypeCode::LONG));
    names_.BindProcedure("CHECK", 1, ValueClass::kInteger,
                         [](std::span<const Value>) { return Value::Integer(1); });
    Fill(camp_plaats_, "Amsterdam");
  }

  NodePtr Analysed(std::string_view text) {
    NodePtr tree = Tree(text);
    if (tree) {
      AssignLevels(*tree, [this](const BoundVariable& variable) {
        if (variable.address == &camp_nummer_ || variable.address == camp_plaats_) return 1;
        if (variable.address == &prijs_nummer_) return 2;
        return 0;
      });
    }
    return tree;
  }

  std::int32_t camp_nummer_ = 7;
  char camp_plaats_[12];
  std::int32_t prijs_nummer_ = 7;
  std::int32_t limiet_ = 10;
};

TEST_F(FilterAnalysisTest, LevelIsTheDeepestFileRead) {
  struct Case {
    const char* text;
    int level;
  } cases[] = {
      {"1 = 1", 0},
      {"LIMIET > 3", 0},
      {"CAMP:NUMMER = LIMIET", 1},
      {"UPPER(CAMP:PLAATS) = 'X'", 1},
      {"PRIJS:NUMMER = CAMP:NUMMER", 2},
      {"CAMP:NUMMER = 1 OR PRIJS:NUMMER = 1", 2},
      {"CHECK(1) = 1", kUnknownLevel},
  };
  for (const Case& c : cases) {
    NodePtr tree = Analysed(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(tree->level, c.level) << c.text;
    EXPECT_TRUE(ReadsOnlyUpTo(*tree, c.level));
    if (c.level > 0) {
      EXPECT_FALSE(ReadsOnlyUpTo(*tree, c.level - 1));
    }
  }
}

TEST_F(FilterAnalysisTest, StaticTruthDecidesWhatTheFixedFilesAllow) {
  struct Case {
    const char* text;
    int fixed_level;
    Truth3 truth;
  } cases[] = {
      {"CAMP:NUMMER = 7", 1, Truth3::kTrue},
      {"CAMP:NUMMER = 7", 0, Truth3::kUndetermined},
      {"CAMP:NUMMER = 8 AND PRIJS:NUMMER = 7", 1, Truth3::kFalse},
      {"CAMP:NUMMER = 7 AND PRIJS:NUMMER = 7", 1, Truth3::kUndetermined},
      {"CAMP:NUMMER = 7 OR PRIJS:NUMMER = 9", 1, Truth3::kTrue},
      {"CAMP:NUMMER = 8 OR PRIJS:NUMMER = 9", 1, Truth3::kUndetermined},
      {"CAMP:NUMMER = 8 OR PRIJS:NUMMER = 9", 2, Truth3::kFalse},
      {"NOT CAMP:NUMMER = 8", 1, Truth3::kTrue},
      {"NOT PRIJS:NUMMER = 8", 1, Truth3::kUndetermined},
      {"CAMP:NUMMER = 7 XOR LIMIET = 10", 1, Truth3::kFalse},
      {"CHECK(1) = 1 AND 1 = 2", 2, Truth3::kFalse},
      {"CHECK(1) = 1", 2, Truth3::kUndetermined},
  };
  for (const Case& c : cases) {
    NodePtr tree = Analysed(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(StaticTruth(*tree, c.fixed_level), c.truth) << c.text << " at " << c.fixed_level;
  }
}

TEST_F(FilterAnalysisTest, RangeConditionsMirrorTheOperatorWhenTheFieldIsOnTheRight) {
  struct Case {
    const char* text;
    Op op;
    bool upper;
    const char* bound;
  } cases[] = {
      {"CAMP:NUMMER >= 5", Op::kGreaterOrEqual, false, "5"},
      {"5 < CAMP:NUMMER", Op::kGreater, false, "5"},
      {"LIMIET + 1 >= CAMP:NUMMER", Op::kLessOrEqual, false, "LIMIET + 1"},
      {"CAMP:NUMMER = LIMIET", Op::kEqual, false, "LIMIET"},
      {"'AMS' <= UPPER(CAMP:PLAATS)", Op::kGreaterOrEqual, true, "'AMS'"},
  };
  for (const Case& c : cases) {
    NodePtr tree = Analysed(c.text);
    ASSERT_TRUE(tree) << c.text;
    auto condition = RangeConditionOf(*tree, 1);
    ASSERT_TRUE(condition) << c.text;
    EXPECT_EQ(condition->op, c.op) << c.text;
    EXPECT_EQ(condition->upper, c.upper) << c.text;
    EXPECT_EQ(condition->field->variable.address,
              c.upper ? static_cast<void*>(camp_plaats_) : static_cast<void*>(&camp_nummer_));
    EXPECT_EQ(TextForm(*condition->bound), c.bound) << c.text;
  }
  // No bound: "<>", both sides of the field's level, a deeper bound, a
  // field of another level, an expression of the field.
  for (const char* text :
       {"CAMP:NUMMER <> 5", "CAMP:NUMMER = CAMP:NUMMER", "CAMP:NUMMER = PRIJS:NUMMER",
        "PRIJS:NUMMER = 5", "CAMP:NUMMER + 1 = 5", "CAMP:NUMMER AND 1"}) {
    NodePtr tree = Analysed(text);
    ASSERT_TRUE(tree) << text;
    EXPECT_FALSE(RangeConditionOf(*tree, 1)) << text;
  }
  NodePtr joined = Analysed("PRIJS:NUMMER = CAMP:NUMMER");
  auto condition = RangeConditionOf(*joined, 2);
  ASSERT_TRUE(condition);
  EXPECT_EQ(condition->field->variable.address, &prijs_nummer_);
}

TEST_F(FilterAnalysisTest, SplitsConjunctsAtTopLevelAnds) {
  NodePtr tree = Tree("CAMP:NUMMER = 1 AND (LIMIET = 2 AND PRIJS:NUMMER = 3) AND (1 = 1 OR 2 = 2)");
  std::vector<NodePtr> parts = SplitConjuncts(std::move(tree));
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(TextForm(*parts[0]), "CAMP:NUMMER = 1");
  EXPECT_EQ(TextForm(*parts[1]), "LIMIET = 2");
  EXPECT_EQ(TextForm(*parts[2]), "PRIJS:NUMMER = 3");
  EXPECT_EQ(TextForm(*parts[3]), "1 = 1 OR 2 = 2");
}

}  // namespace
}  // namespace tentaria::views
