// Runs the whole guide, from its program entry, on a headless engine over
// a small sample guide in a temporary folder, with a scenario script or a
// list of actions as the user.
#ifndef TENTARIA_TESTS_GUIDE_GUIDE_RUN_H_
#define TENTARIA_TESTS_GUIDE_GUIDE_RUN_H_

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "framework/error_manager.h"
#include "framework/ini_manager.h"
#include "guide/guide_context.h"
#include "guide/guide_files.h"
#include "guide/program_entry.h"
#include "guide/started_windows.h"
#include "pictures/picture_loader.h"
#include "platform/path.h"
#include "runtime/error_state.h"
#include "storage/declared_file.h"
#include "tests/guide/sample_guide.h"
#include "tests/support/temp_folder.h"
#include "ui/headless_engine.h"
#include "ui/scenario_runner.h"

namespace tentaria::guide::testing {

// Pictures as the program decodes them.
inline std::optional<ui::ImageSize> DecodedSize(std::string_view name) {
  pictures::PicturePtr picture = pictures::LoadPicture(name);
  if (!picture) return std::nullopt;
  return ui::ImageSize{picture->width, picture->height};
}

// A 2x1 24-bit bitmap.
inline std::string TinyBitmap() {
  const unsigned char bytes[] = {
      'B', 'M', 62,  0,   0,   0,   0, 0, 0, 0, 54, 0, 0, 0,                     // file header
      40,  0,   0,   0,   2,   0,   0, 0, 1, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header
      8,   0,   0,   0,   0,   0,   0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,
      0,   0,   255, 255, 255, 255, 0, 0,  // two pixels and the row's padding
  };
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

class GuideRunTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    runtime::ClearError();
    WriteSampleGuide(guide_.path());
    options_.guide_folder = guide_.path();
  }
  void TearDown() override { runtime::ClearError(); }

  // Runs the guide with `script` as the user; 0 when every line ran and
  // held.  What the script printed is in out_, the run's exit status in
  // exit_status_.
  int RunScript(std::string_view script) { return RunScript(engine_, script); }
  int RunScript(ui::HeadlessEngine& engine, std::string_view script) {
    engine.set_image_loader(DecodedSize);
    ui::ScenarioRunner runner(engine, out_);
    EXPECT_TRUE(runner.Load(script).ok());
    const int result = runner.Run([&] { exit_status_ = RunGuide(engine, options_); });
    error_ = runner.error();
    return result;
  }

  // Runs the guide with `input` as the user.
  void RunActions(ui::HeadlessEngine& engine, ui::ActionInput& input) {
    engine.set_image_loader(DecodedSize);
    engine.set_input(&input);
    exit_status_ = RunGuide(engine, options_);
    EXPECT_EQ(input.failure(), "");
  }

  // Whether no one holds the guide file open: it opens denying everyone
  // else.
  bool Closed(GuideFile file) {
    storage::DeclaredFile declared(Descriptor(file));
    declared.block().name = guide_.path() + "/" + std::string(Settings(file).FILENAMEVALUE);
    if (declared.Open(0x10) != 0) return false;
    declared.Close();
    return true;
  }

  test_support::TempFolder guide_;
  GuideOptions options_;
  ui::HeadlessEngine engine_;
  std::ostringstream out_;
  std::string error_;
  int exit_status_ = -1;
};

// One procedure run on its own over the sample guide, with the managers
// the program entry would give it.
class ProcedureTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    runtime::ClearError();
    WriteSampleGuide(guide_.path());
    previous_folder_ = platform::CurrentFolder();
    platform::SetCurrentFolder(guide_.path());
    engine_.set_image_loader(DecodedSize);
    engine_.set_input(&input_);
    errors_.Init(engine_);
    ini_.Init("tentaria2000.INI");
    ASSERT_TRUE(files_.StartUp(errors_).ok());
  }
  void TearDown() override {
    files_.ShutDown();
    platform::SetCurrentFolder(previous_folder_);
    runtime::ClearError();
  }

  template <typename F>
  void Then(F action) {
    input_.Add([action](ui::HeadlessEngine& engine) { action(engine); });
  }

  test_support::TempFolder guide_;
  std::string previous_folder_;
  ui::HeadlessEngine engine_;
  ui::ActionInput input_;
  framework::ErrorManager errors_;
  framework::IniManager ini_;
  GuideFiles files_;
  StartedWindows started_;
  GuideContext guide_context_{engine_, errors_, ini_, files_, started_};
};

}  // namespace tentaria::guide::testing

#endif  // TENTARIA_TESTS_GUIDE_GUIDE_RUN_H_
