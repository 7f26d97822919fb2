// tvn eval, run as a real process.
#include <gtest/gtest.h>

#include <string>

#include "tests/tools/tvn_run.h"

namespace {

using tentaria::tvn_test::ProgramRun;
using tentaria::tvn_test::Quote;
using tentaria::tvn_test::Tvn;

ProgramRun Eval(const std::string& expression, bool type = false) {
  return Tvn(std::string("eval ") + (type ? "--type " : "") + Quote(expression));
}

TEST(TvnEvalTest, PrintsTheStringFormOfTheValue) {
  const struct {
    const char* expression;
    const char* out;
  } cases[] = {
      {"1 + 2 * 3", "7\n"},
      {"2 ^ 3 ^ 2", "64\n"},
      {"'Zee' & 'land'", "Zeeland\n"},
      {"UPPER('ijsselmeer')", "IJSSELMEER\n"},
      {"FORMAT(1234.5, @N10.2)", "  1,234.50\n"},
      {"DATE(2, 29, 2000) - DATE(2, 28, 2000)", "1\n"},
      {"'Nederland  ' = 'Nederland'", "1\n"},
  };
  for (const auto& c : cases) {
    ProgramRun run = Eval(c.expression);
    EXPECT_EQ(run.status, 0) << c.expression;
    EXPECT_EQ(run.out, c.out) << c.expression;
  }
}

TEST(TvnEvalTest, TextCrossesTheCommandLineAsUtf8) {
  ProgramRun run = Eval("'café' & SUB('€uro', 1, 1)");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "café€\n");
}

TEST(TvnEvalTest, TypeNamesTheValueClass) {
  EXPECT_EQ(Eval("1 < 2", true).out, "truth: 1\n");
  EXPECT_EQ(Eval("LEN('abc')", true).out, "integer: 3\n");
  EXPECT_EQ(Eval("SQRT(4)", true).out, "real: 2\n");
  EXPECT_EQ(Eval("CLIP('ab  ')", true).out, "string: ab\n");
}

TEST(TvnEvalTest, FailuresGoToStandardErrorWithAFailingStatus) {
  ProgramRun syntax = Eval("1 +");
  EXPECT_NE(syntax.status, 0);
  EXPECT_NE(syntax.out.find("syntax error"), std::string::npos) << syntax.out;

  ProgramRun unbound = Eval("GNAW:PLAATS = 'Ede'");
  EXPECT_NE(unbound.status, 0);
  EXPECT_NE(unbound.out.find("801"), std::string::npos) << unbound.out;
  EXPECT_NE(unbound.out.find("GNAW:PLAATS"), std::string::npos) << unbound.out;

  EXPECT_EQ(Tvn("eval").status, 2);
  EXPECT_EQ(Tvn("frobnicate").status, 2);
}

}  // namespace
