// A guide that is not there or cannot be opened: the error manager's
// message, told on standard error too, and a failed exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/app/program_test_support.h"

namespace tentaria::app_test {
namespace {

using ::testing::HasSubstr;

class ProgramStartTest : public ProgramTest {
 protected:
  // A copy of the sample guide's record files, to spoil.
  std::string CopyGuide() {
    const std::string copy = home_ / "guide";
    std::filesystem::create_directories(copy);
    for (const auto& entry : std::filesystem::directory_iterator(TENTARIA_SAMPLE_GUIDE)) {
      if (entry.is_regular_file()) {
        std::filesystem::copy_file(entry.path(), copy / entry.path().filename());
      }
    }
    return copy;
  }

  // The start-up's message waits for its answer.
  ProgramRun Start(const std::string& guide) { return RunScript("show\nanswer ok\n", guide); }
};

TEST_F(ProgramStartTest, AMissingGuideFolderIsReported) {
  ProgramRun run = Start(home_ / "no-such-guide");
  EXPECT_NE(run.status, 0);
  EXPECT_THAT(run.out, HasSubstr("message \"File Access Error\""));
  EXPECT_THAT(run.out, HasSubstr("Path Not Found"));
  // Told on standard error as well, with the folder's name.
  EXPECT_THAT(run.out, HasSubstr("tentaria: File Access Error: File (" + home_ / "no-such-guide"));
}

TEST_F(ProgramStartTest, AMissingGuideFileIsReportedByName) {
  const std::string guide = CopyGuide();
  std::filesystem::remove(guide + "/GezPRIJZ.TVN");
  ProgramRun run = Start(guide);
  EXPECT_NE(run.status, 0);
  EXPECT_THAT(run.out, HasSubstr("tentaria: File Access Error: File (GezPRIJZ.TVN)"));
  EXPECT_THAT(run.out, HasSubstr("File Not Found"));
}

TEST_F(ProgramStartTest, ADamagedGuideFileIsReportedByName) {
  const std::string guide = CopyGuide();
  {
    std::ofstream spoil(guide + "/GezFAC.TVN", std::ios::binary | std::ios::in);
    spoil.write("not a record file at all", 24);
  }
  ProgramRun run = Start(guide);
  EXPECT_NE(run.status, 0);
  EXPECT_THAT(run.out, HasSubstr("tentaria: File Access Error: File (GezFAC.TVN)"));
}

}  // namespace
}  // namespace tentaria::app_test
