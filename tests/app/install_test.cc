// The program installed into a prefix finds its own guide and runs there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/program_test_support.h"

namespace tentaria::app_test {
namespace {

using ::testing::HasSubstr;

using ProgramInstallTest = ProgramTest;

TEST_F(ProgramInstallTest, TheInstalledProgramRunsOnTheInstalledGuide) {
  const std::string prefix = home_ / "prefix";
  ProgramRun install = tvn_test::RunProgram(
      "cmake", "--install " + Quote(TENTARIA_BUILD_DIR) + " --prefix " + Quote(prefix));
  ASSERT_EQ(install.status, 0) << install.out;

  for (const char* file :
       {"bin/tentaria", "bin/tvn", "bin/make-guide", "share/tentaria/guide/GezNAW.TVN",
        "share/applications/tentaria.desktop", "share/icons/hicolor/scalable/apps/tentaria.svg"}) {
    EXPECT_TRUE(std::filesystem::exists(prefix + "/" + file)) << file;
  }
  const std::string desktop =
      test_support::ReadTextFile(prefix + "/share/applications/tentaria.desktop");
  EXPECT_THAT(desktop, HasSubstr("Exec=tentaria"));
  EXPECT_THAT(desktop, HasSubstr("Icon=tentaria"));
  EXPECT_THAT(desktop, HasSubstr("Name[nl]="));
  EXPECT_THAT(desktop, HasSubstr("Comment[nl]="));

  // No --guide: the program finds ../share/tentaria/guide, and runs from a
  // folder of its own.
  const std::string script = home_ / "script.txt";
  test_support::WriteTextFile(script,
                              "expect title \"Tentaria Benelux 2000\"\n"
                              "choose \"&Advertenties\" \"Europa Tentaria\"\n"
                              "show\n"
                              "window \"Tentaria Benelux 2000\"\n"
                              "choose \"&Bestand\" \"&Afsluiten\"\n");
  ProgramRun run = tvn_test::RunProgram("cd / && " + Quote(prefix + "/bin/tentaria"),
                                        "--script " + Quote(script));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_THAT(run.out, HasSubstr("A10a.JPG"));
  EXPECT_THAT(tvn_test::RunProgram(Quote(prefix + "/bin/tentaria"), "--version").out,
              HasSubstr("tentaria " TENTARIA_VERSION_TEXT));
}

}  // namespace
}  // namespace tentaria::app_test
