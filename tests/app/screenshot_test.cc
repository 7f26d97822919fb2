// The guide's frame and an advertisement window drawn by the Qt engine on
// the offscreen platform, kept as build/screenshots/guide-*.png.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <set>
#include <string>
#include <string_view>

#include "guide/program_entry.h"
#include "pictures/linked_pictures.h"
#include "runtime/locale.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/qt/qt_test_support.h"
#include "tools/make-guide/linked/guide_linked_pictures.h"

namespace tentaria::app_test {
namespace {

using ui::qt::QtEngine;
using ui::qt::test::Application;
using ui::qt::test::SaveScreenshot;
using ui::qt::test::Steps;

class ProgramScreenshotTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    Application();
    runtime::InitLocale(TENTARIA_PROGRAM);
    RegisterGuideLinkedPictures(pictures::ProgramPictures());
  }

  QMainWindow* WidgetTitled(QtEngine& engine, std::string_view title) {
    for (ui::Window* window : engine.OpenWindows()) {
      if (window->title() == title) return engine.WidgetOf(*window);
    }
    return nullptr;
  }

  // Chooses a menu item as a click on it does.
  static bool Choose(QMainWindow* top, const QString& text) {
    for (QAction* action : top->findChildren<QAction*>()) {
      if (action->text() == text && action->isEnabled()) {
        action->trigger();
        return true;
      }
    }
    return false;
  }

  // A drawn window, not an empty one: many colours, as a photo or a
  // wallpaper with menus has.
  static size_t Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
      for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
    }
    return colours.size();
  }
};

TEST_F(ProgramScreenshotTest, TheFrameAndAnAdvertisementWindow) {
  QtEngine engine;
  Steps steps(engine);
  QImage frame;
  QImage advertisement;
  steps.Add([&] {
    QMainWindow* top = WidgetTitled(engine, "Tentaria Benelux 2000");
    ASSERT_NE(top, nullptr);
    frame = top->grab().toImage();
    EXPECT_TRUE(Choose(top, "Domain de L'Eau Rouge"));
  });
  steps.Add([&] { return WidgetTitled(engine, "Advertentie") != nullptr; },
            [&] {
              advertisement = WidgetTitled(engine, "Advertentie")->grab().toImage();
              EXPECT_TRUE(Choose(WidgetTitled(engine, "Tentaria Benelux 2000"), "&Afsluiten"));
            });
  guide::GuideOptions options;
  options.guide_folder = TENTARIA_SAMPLE_GUIDE;
  EXPECT_EQ(guide::RunGuide(engine, options), 0);
  EXPECT_TRUE(steps.done());

  ASSERT_FALSE(frame.isNull());
  ASSERT_FALSE(advertisement.isNull());
  SaveScreenshot(frame, "guide-frame");
  SaveScreenshot(advertisement, "guide-advertisement");
  EXPECT_GT(Colours(frame), 8u);
  EXPECT_GT(Colours(advertisement), 8u);
}

}  // namespace
}  // namespace tentaria::app_test
