#include "guide/program_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/path.h"
#include "tests/guide/guide_run.h"

namespace tentaria::guide {
namespace {

class ProgramEntryTest : public testing::GuideRunTest {};

TEST_F(ProgramEntryTest, ClosingTheFrameEndsTheRunWithEverythingClosed) {
  const std::string folder_before = platform::CurrentFolder();
  ASSERT_EQ(RunScript(R"(
expect title "Tentaria Benelux 2000"
close
expect windows 0
)"),
            0)
      << error_;
  EXPECT_EQ(exit_status_, 0);
  EXPECT_EQ(platform::CurrentFolder(), folder_before);
  for (GuideFile file : kGuideFiles) {
    if (!IsWorkingFile(file)) {
      EXPECT_TRUE(Closed(file)) << Descriptor(file).name;
    }
  }
  // The INI file lives with the user's settings, not on the guide's disc.
  EXPECT_TRUE(std::filesystem::exists(platform::ConfigFolder() + "/tentaria2000.INI"));
  EXPECT_FALSE(std::filesystem::exists(guide_ / "tentaria2000.INI"));
}

TEST_F(ProgramEntryTest, MissingGuideFolderIsReportedAndEndsWithAFailure) {
  options_.guide_folder = guide_ / "nergens";
  ASSERT_EQ(RunScript(R"(
expect message "could not be opened"
expect message "Path Not Found"
answer ok
expect windows 0
)"),
            0)
      << error_;
  EXPECT_NE(exit_status_, 0);
  ASSERT_EQ(engine_.messages().size(), 1u);
  EXPECT_NE(engine_.messages()[0].box.text.find(guide_ / "nergens"), std::string::npos)
      << engine_.messages()[0].box.text;
}

TEST_F(ProgramEntryTest, MissingGuideFileIsReportedBeforeAnyWindowOpens) {
  for (const auto& entry : std::filesystem::directory_iterator(guide_.path())) {
    if (entry.path().filename() == "GezPRIJZ.TVN") std::filesystem::remove(entry.path());
  }
  ASSERT_EQ(RunScript(R"(
expect message "GezPRIJZ"
expect message "File Not Found"
expect no window "Tentaria Benelux 2000"
answer ok
)"),
            0)
      << error_;
  EXPECT_NE(exit_status_, 0);
  EXPECT_TRUE(engine_.beeps().empty()) << "the frame never opened";
  for (GuideFile file : {GuideFile::GezNAW, GuideFile::GezFAC, GuideFile::GezSEL}) {
    EXPECT_TRUE(Closed(file)) << Descriptor(file).name;
  }
  EXPECT_FALSE(std::filesystem::exists(guide_ / "GezPRIJZ.TVN")) << "no empty file in its place";
}

}  // namespace
}  // namespace tentaria::guide
