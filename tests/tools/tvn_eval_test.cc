// tvn eval, run as a real process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct ProgramRun {
  int status;
  std::string out;  // standard output and standard error together
};

// Single quotes inside an argument are written '\'' for the shell.
std::string Quote(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

ProgramRun Tvn(const std::string& arguments) {
  std::string command = std::string(TVN_PROGRAM) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ProgramRun run{-1, {}};
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  size_t got;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.out.append(buffer.data(), got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

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
