#include "guide/print_menu.h"

#include <gtest/gtest.h>

#include "guide/globals.h"
#include "guide/records.h"
#include "runtime/decimal.h"
#include "tests/guide/guide_run.h"

namespace tentaria::guide {
namespace {

class PrintMenuTest : public testing::ProcedureTest {
 protected:
  uint16_t CampsiteUsers() { return files_.Manager(GuideFile::GezNAW).Info().OPENED; }
};

// The menu takes the campsite from GNAW's buffer (its name cut to 24
// characters), uses GezNAW while it is open, offers the documents still
// to come as disabled buttons, and "Terug naar vorig scherm" closes it.
TEST_F(PrintMenuTest, TakesTheCampsiteAndClosesWithTerug) {
  runtime::DecimalRegister::FromInt64(1218).StoreDecimal(GNAW.NUMMER, 0);
  Assign(GNAW.NAAMCAMP, "Camping Nommerlayen in het groene hart");
  Then([this](ui::HeadlessEngine& e) {
    ui::Window& menu = *e.ActiveWindow();
    EXPECT_EQ(CampsiteUsers(), 1);
    EXPECT_EQ(menu.Find(kPrintCampsiteLine)->text, "Camping: Camping Nommerlayen in h");
    for (int button :
         {kPrintAllButton, kPrintReserveringButton, kPrintAanmeldingButton, kPrintVerzoekButton}) {
      EXPECT_FALSE(menu.IsEnabled(*menu.Find(button))) << button;
      EXPECT_FALSE(e.Press(menu, button).ok());
    }
    const ui::Control& back = *menu.Find(kPrintBackButton);
    EXPECT_EQ(back.text, "Terug naar vorig scherm");
    EXPECT_EQ(back.tip, "Terug naar het vorige scherm van Tentaria");
    EXPECT_EQ(back.icon, "DOORWAY.ICO");
    EXPECT_EQ(menu.focus(), kPrintBackButton);
    ASSERT_TRUE(e.Press(menu, kPrintBackButton).ok());
  });
  TENTA013(guide_context_);
  EXPECT_TRUE(engine_.OpenWindows().empty());
  EXPECT_EQ(globals.print_campsite.number, 1218);
  EXPECT_EQ(globals.print_campsite.name, "Camping Nommerlayen in h");
  EXPECT_EQ(CampsiteUsers(), 0) << "the menu no longer uses GezNAW";
}

TEST_F(PrintMenuTest, ShortNameLosesItsPadding) {
  runtime::DecimalRegister::FromInt64(151).StoreDecimal(GNAW.NUMMER, 0);
  Assign(GNAW.NAAMCAMP, "De Heimolen");
  Then([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.RequestClose(*e.ActiveWindow()).ok()); });
  TENTA013(guide_context_);
  EXPECT_EQ(globals.print_campsite.number, 151);
  EXPECT_EQ(globals.print_campsite.name, "De Heimolen");
}

}  // namespace
}  // namespace tentaria::guide
