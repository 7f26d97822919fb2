// The program's command line, as a user types it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/app/program_test_support.h"

namespace tentaria::app_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using ProgramCommandLineTest = ProgramTest;

TEST_F(ProgramCommandLineTest, HelpAndVersionAnswerWithoutStartingTheGuide) {
  ProgramRun help = Tentaria("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("usage: tentaria [--guide DIR] [--script FILE]"));
  EXPECT_THAT(help.out, HasSubstr("../share/tentaria/guide"));
  EXPECT_THAT(help.out, HasSubstr("QT_QPA_PLATFORM=offscreen"));

  ProgramRun version = Tentaria("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tentaria " TENTARIA_VERSION_TEXT "\n");
}

TEST_F(ProgramCommandLineTest, AWrongCommandLineIsRefusedWithTheUsage) {
  for (const char* arguments :
       {"--gids /tmp", "--guide", "--script", "--guide a --guide b", "extra"}) {
    ProgramRun run = Tentaria(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_THAT(run.out, HasSubstr("usage: tentaria")) << arguments;
  }
}

TEST_F(ProgramCommandLineTest, WithoutADisplayItSaysHowToRunHeadless) {
  ProgramRun run =
      tvn_test::RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " TENTARIA_PROGRAM,
                           "--guide " + Quote(TENTARIA_SAMPLE_GUIDE));
  EXPECT_EQ(run.status, 3);
  EXPECT_THAT(run.out, HasSubstr("no display"));
  EXPECT_THAT(run.out, HasSubstr("--script"));
  EXPECT_THAT(run.out, HasSubstr("QT_QPA_PLATFORM=offscreen"));
  // Qt was never asked for a platform it cannot have.
  EXPECT_THAT(run.out, Not(HasSubstr("qt.qpa")));
}

TEST_F(ProgramCommandLineTest, AScriptThatCannotBeReadOrIsMalformedIsNamed) {
  ProgramRun missing = Tentaria("--guide " + Quote(TENTARIA_SAMPLE_GUIDE) + " --script " +
                                Quote(home_ / "missing.txt"));
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.out, HasSubstr("cannot read the script " + home_ / "missing.txt"));

  ProgramRun malformed = RunScript("show\nfly away\n");
  EXPECT_EQ(malformed.status, 1);
  EXPECT_THAT(malformed.out, HasSubstr("line 2: unknown action \"fly\""));
}

}  // namespace
}  // namespace tentaria::app_test
