// The real program run headless over the sample guide, a scenario script
// acting as its user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/app/program_test_support.h"

namespace tentaria::app_test {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;

using ProgramScenarioTest = ProgramTest;

constexpr char kFrame[] = "Tentaria Benelux 2000";

TEST_F(ProgramScenarioTest, PictureWindowsOnTheirOwnThreadOpenBesideTheFrameAndCloseWithIt) {
  ProgramRun run = RunScript(R"(
expect title "Tentaria Benelux 2000"
expect beeps 1
choose "&Advertenties" "Campings in België" "Domain de L'Eau Rouge"
expect window "Advertentie"
window "Tentaria Benelux 2000"
choose "&Advertenties" "Campings in België" "Domain de L'Eau Rouge"
window "Tentaria Benelux 2000"
choose "&Advertenties" "Campings in Luxemburg" "Trois Frontiéres"
window "Tentaria Benelux 2000"
choose "Extra" "Versie"
expect windows 5
show
window "Tentaria Benelux 2000"
choose "&Bestand" "&Afsluiten"
expect windows 0
)");
  EXPECT_EQ(run.status, 0) << run.out;
  // Each shows its decoded picture; the version picture is linked into the
  // program.
  EXPECT_THAT(run.out, ContainsRegex(R"(image \?Afbeelding "FAdvert\\A1366\.JPG" [0-9]+x[0-9]+)"));
  EXPECT_THAT(run.out, ContainsRegex(R"(image \?Afbeelding "FAdvert\\A1215\.JPG" [0-9]+x[0-9]+)"));
  EXPECT_THAT(run.out, ContainsRegex(R"(image \?Afbeelding "Intro\.bmp" [0-9]+x[0-9]+)"));
}

TEST_F(ProgramScenarioTest, AModalAdvertisementHoldsTheFrameUntilItCloses) {
  ProgramRun run = RunScript(R"(
choose "&Advertenties" "Campings in Nederland" "Eurocamping Vessem"
expect windows 2
expect title "Advertentie"
close
expect windows 1
expect title "Tentaria Benelux 2000"
choose "&Advertenties" "Kinderkampen"
window "Tentaria Benelux 2000"
choose "&Bestand" "&Afsluiten"
)");
  // The frame is refused while it waits for its advertisement.
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_THAT(run.out,
              HasSubstr("line 9: window \"Tentaria Benelux 2000\" waits for a window it opened"));
}

TEST_F(ProgramScenarioTest, TheProgramInItsBuildFolderRunsOnTheBuildsSampleGuide) {
  const std::string script = home_ / "script.txt";
  test_support::WriteTextFile(script,
                              "expect title \"Tentaria Benelux 2000\"\n"
                              "choose \"&Advertenties\" \"Slender You\"\n"
                              "show\n");
  ProgramRun run = tvn_test::RunProgram("cd " + Quote(home_.path()) + " && " TENTARIA_PROGRAM,
                                        "--script " + Quote(script));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_THAT(run.out, ContainsRegex(R"(image \?Afbeelding "FAdvert\\A1218b\.JPG" [0-9]+x[0-9]+)"));
}

TEST_F(ProgramScenarioTest, TheFrameOpensWhereItWasLastClosed) {
  ProgramRun first = RunScript(R"(
resize 420 260
choose "&Bestand" "&Afsluiten"
)");
  ASSERT_EQ(first.status, 0) << first.out;
  EXPECT_THAT(test_support::ReadTextFile(IniFile()), HasSubstr("[Main]"));

  ProgramRun second = RunScript(R"(
show
choose "&Bestand" "&Afsluiten"
)");
  EXPECT_EQ(second.status, 0) << second.out;
  EXPECT_THAT(second.out, HasSubstr(std::string("window \"") + kFrame));
  EXPECT_THAT(second.out, HasSubstr("size 420x260"));
}

}  // namespace
}  // namespace tentaria::app_test
