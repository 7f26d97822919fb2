#include "guide/picture_windows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "guide/globals.h"
#include "guide/records.h"
#include "runtime/decimal.h"
#include "tests/guide/guide_run.h"
#include "ui/event_codes.h"

namespace tentaria::guide {
namespace {

using test_support::WriteTextFile;

class PictureWindowsTest : public testing::ProcedureTest {
 protected:
  void SetCampsite(int64_t number) {
    runtime::DecimalRegister::FromInt64(number).StoreDecimal(GNAW.NUMMER, 0);
  }
  static const ui::Control& Image(ui::HeadlessEngine& engine) {
    return *engine.ActiveWindow()->Find(kPictureImage);
  }
};

// The campsite's advertisement is named after its number; a picture that
// does not load leaves the image empty without a message.
TEST_F(PictureWindowsTest, CampsiteAdvertisementIsNamedAfterItsNumber) {
  SetCampsite(1218);
  Then([](ui::HeadlessEngine& e) {
    EXPECT_EQ(e.ActiveWindow()->title(), "Advertentie");
    EXPECT_EQ(Image(e).picture_name, "FAdvert/A1218.JPG");
    EXPECT_FALSE(e.ImageSizeOf(Image(e).picture_name));
    ASSERT_TRUE(e.RequestClose(*e.ActiveWindow()).ok());
  });
  TENTA001(guide_context_);
  EXPECT_EQ(globals.picture_name, "FAdvert/A1218.JPG");
  EXPECT_TRUE(engine_.messages().empty());
  EXPECT_TRUE(engine_.OpenWindows().empty());
}

// Picture names with backslashes and in another case than the file are
// found through the guide folder.
TEST_F(PictureWindowsTest, PictureNameIsFoundWhateverItsSeparatorsAndCase) {
  std::filesystem::create_directory(guide_ / "fadvert");
  WriteTextFile(guide_ / "fadvert/Proef.BMP", testing::TinyBitmap());
  SetPictureName("FAdvert\\PROEF.bmp");
  Then([](ui::HeadlessEngine& e) {
    std::optional<ui::ImageSize> size = e.ImageSizeOf(Image(e).picture_name);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 2);
    EXPECT_EQ(size->height, 1);
    ASSERT_TRUE(e.RequestClose(*e.ActiveWindow()).ok());
  });
  TENTA025(guide_context_);
}

// A started window keeps the picture name it was started with, lives beside
// its starter, and is forgotten once its thread has closed it.
TEST_F(PictureWindowsTest, StartedWindowsKeepTheirPictureAndCloseOnTheirThread) {
  ui::Window frame("Frame");
  ASSERT_TRUE(engine_.Open(frame).ok());
  SetPictureName("FAdvert\\A151.JPG");
  const int first = StartTENTA025(guide_context_);
  SetPictureName("FAdvert\\A159.JPG");
  const int second = StartTENTA025(guide_context_);
  SetCampsite(940);
  const int third = StartTENTA001(guide_context_);
  const int version = StartTENTA024(guide_context_);
  ASSERT_NE(first, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(started_.open_count(), 4u);
  Then([&](ui::HeadlessEngine& e) {
    std::vector<std::string> shown;
    for (ui::Window* window : e.OpenWindows()) {
      if (window != &frame) shown.push_back(window->Find(kPictureImage)->picture_name);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"FAdvert\\A151.JPG", "FAdvert\\A159.JPG",
                                               "FAdvert/A940.JPG", "Intro.bmp"}));
    EXPECT_TRUE(e.TakesInput(frame));
    EXPECT_TRUE(e.Post(ui::event::kCloseWindow, 0, second));
  });
  Then([&](ui::HeadlessEngine& e) {
    EXPECT_EQ(e.OpenWindows().size(), 4u);
    EXPECT_EQ(started_.open_count(), 3u);
    ASSERT_TRUE(e.RequestClose(frame).ok());
  });
  engine_.Accept(frame, [](ui::Engine&) { return ui::LoopAction::kContinue; });
  started_.CloseAll(engine_);
  EXPECT_EQ(started_.open_count(), 0u);
  EXPECT_TRUE(engine_.OpenWindows().empty());
  EXPECT_NE(third, version);
}

}  // namespace
}  // namespace tentaria::guide
