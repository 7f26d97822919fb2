#include "guide/frame.h"

#include <gtest/gtest.h>

#include <string>

#include "guide/globals.h"
#include "platform/path.h"
#include "tests/guide/guide_run.h"
#include "ui/event_codes.h"

namespace tentaria::guide {
namespace {

using test_support::ReadTextFile;
using test_support::WriteTextFile;

class FrameTest : public testing::GuideRunTest {
 protected:
  // Every guide file is closed again.
  void ExpectGuideClosed() {
    for (GuideFile file : kGuideFiles) {
      if (!IsWorkingFile(file)) {
        EXPECT_TRUE(Closed(file)) << Descriptor(file).name;
      }
    }
  }
};

// The frame as it opens: the warning beep, and every menu, item and tip;
// the items whose windows are not there yet are disabled.
TEST_F(FrameTest, OpensWithEveryMenuItemAndTip) {
  globals.title.clear();
  ASSERT_EQ(RunScript("show\n"), 0) << error_;
  EXPECT_EQ(out_.str(), R"(--- after line 1
window "Tentaria Benelux 2000" thread 1 active
  size 560x360
  #1 menu ?Bestand "&Bestand"
    #2 item ?NAW "Uw N.A.W. gegevens" disabled tip "Uw naam, adres en woonplaatsgegevens"
    #3 item ?Printerinstelling "&Printerinstelling" tip "Instellingen van printer"
    #4 item ?Afsluiten "&Afsluiten" tip "Sluit Veldwijzer af"
  #10 menu ?Campings "&Campings"
    #11 item ?AlleCampings "&Alle Campings uit het bestand" disabled tip "Lijst met alle beschikbare campings"
    #12 item ?GeselecteerdeCampings "&Geselecteerde Campings" disabled tip "Lijst met campings welke aan uw selectie voldoen"
    #13 item ?GemarkeerdeCampings "Ge&markeerde Campings" disabled tip "Lijst met gemarkeerde campings"
    #14 item ?SelectieMaken "&Selectie maken" disabled tip "Hier kunnen uw wensen worden aangegeven"
  #20 menu ?Advertenties "&Advertenties"
    #21 menu ?Belgie "Campings in België"
      #100 item ?A1366 "Domain de L'Eau Rouge"
      #101 item ?A1408 "île de Faigneul"
      #102 item ?A198 "Sud"
      #103 item ?A1183 "Zilverstrand"
      #104 item ?A6a "Kempen Campings"
    #22 menu ?Nederland "Campings in Nederland"
      #105 item ?A151 "De Heimolen"
      #106 item ?A159 "Dennenoord"
      #107 item ?A1030 "Eurocamping Vessem"
      #108 item ?A171 "Lithse Ham"
      #109 item ?A16a "Nivon Campings"
      #110 item ?A940 "Roland"
      #111 item ?A7a "Peelrand Campings"
    #23 menu ?Luxemburg "Campings in Luxemburg"
      #112 item ?A1218 "Nommerlayen"
      #113 item ?A1220 "Steinfort"
      #114 item ?A1215 "Trois Frontiéres"
      #115 item ?A1245 "Woltzdal"
    #116 item ?A11a "Ingenieursburo Walvers"
    #117 item ?A12a "Kinderkampen"
    #118 item ?A1218b "Slender You"
    #119 item ?A10a "Europa Tentaria"
  #30 menu ?Extra "Extra"
    #31 item ?Internet "&Internet"
    #32 item ?Stichting "&Stichting O.K.V."
    #33 item ?Versie "Versie"
beep 48
)");
  EXPECT_EQ(globals.title, "Tentaria Benelux 2000");
}

TEST_F(FrameTest, DisabledItemsCannotBeChosen) {
  for (const char* item : {"?NAW", "?AlleCampings", "?GeselecteerdeCampings",
                           "?GemarkeerdeCampings", "?SelectieMaken"}) {
    SCOPED_TRACE(item);
    ui::HeadlessEngine engine;
    EXPECT_EQ(RunScript(engine, std::string("choose ") + item + "\n"), 1);
    EXPECT_NE(error_.find("disabled"), std::string::npos) << error_;
  }
}

// Every item that works: the printer set-up, the two information windows,
// the version window beside the frame, and "&Afsluiten".
TEST_F(FrameTest, ExtraAndBestandItemsAct) {
  WriteTextFile(guide_ / "Intro.bmp", testing::TinyBitmap());
  ASSERT_EQ(RunScript(R"(
choose "&Bestand" "&Printerinstelling"
choose "Extra" "&Internet"
expect title "Internet"
expect shows "Bent u in het bezit van Windows Explorer of Netscape ?"
expect ?Terug focused
press "&Terug"
expect windows 1
choose "Extra" "&Stichting O.K.V."
expect title "Stichting O.K.V."
expect ?Logo value "okvlgkl.gif"
expect shows "Alle gegevens in dit programma zijn door de campinghouder zelf verstrekt."
expect shows "Zij weten immers als geen ander welke faciliteiten op en rond hun camping"
expect shows "aanwezig zijn. St.O.K.V. en/of de uitgever zijn niet verantwoordelijk voor"
expect shows "eventuele fouten en/of tussentijdse veranderingen."
key Esc
expect windows 1
choose "Extra" "Versie"
expect windows 2
expect title "Versie"
show
window "Tentaria Benelux 2000"
choose "&Bestand" "&Afsluiten"
expect windows 0
)"),
            0)
      << error_;
  EXPECT_EQ(engine_.printer_setups_shown(), 1);
  EXPECT_NE(out_.str().find("#1 image ?Afbeelding \"Intro.bmp\" 2x1"), std::string::npos)
      << out_.str();
  EXPECT_EQ(exit_status_, 0);
  EXPECT_TRUE(engine_.messages().empty());
}

// A threaded advertisement leaves the frame usable: choosing one twice
// opens two windows.  Closing the frame closes them and ends the run.
TEST_F(FrameTest, ThreadedAdvertisementsOpenBesideTheFrameAndCloseWithIt) {
  ASSERT_EQ(RunScript(R"(
choose "&Advertenties" "Campings in België" "Zilverstrand"
expect title "Advertentie"
expect ?Afbeelding value "FAdvert\A1183.JPG"
window "Tentaria Benelux 2000"
choose "&Advertenties" "Campings in België" "Zilverstrand"
expect windows 3
window "Tentaria Benelux 2000"
choose "&Advertenties" "Campings in Luxemburg" "Nommerlayen"
expect windows 4
expect ?Afbeelding value "FAdvert\A1218.JPG"
window "Tentaria Benelux 2000"
choose ?Afsluiten
expect windows 0
)"),
            0)
      << error_;
  EXPECT_EQ(exit_status_, 0);
  EXPECT_TRUE(engine_.messages().empty()) << "a missing picture is not reported";
  ExpectGuideClosed();
}

// A modal advertisement blocks the frame until it is closed, so there is
// only one at a time.
TEST_F(FrameTest, ModalAdvertisementBlocksTheFrame) {
  ASSERT_EQ(RunScript(R"(
choose "&Advertenties" "Campings in België" "Kempen Campings"
expect windows 2
expect ?Afbeelding value "FAdvert\A6a.JPG"
close
expect windows 1
choose "&Advertenties" "Kinderkampen"
expect ?Afbeelding value "FAdvert\A12a.JPG"
close
choose "&Advertenties" "Campings in Nederland" "Eurocamping Vessem"
expect windows 2
window "Tentaria Benelux 2000"
)"),
            1);
  EXPECT_NE(error_.find("line 12:"), std::string::npos) << error_;
  EXPECT_NE(error_.find("waits for a window it opened"), std::string::npos) << error_;
}

// The frame's place and size are kept under "Main" and come back at the
// next start.
TEST_F(FrameTest, PlaceIsKeptUnderMainBetweenRuns) {
  {
    ui::HeadlessEngine engine;
    ui::ActionInput input;
    input.Add([](ui::HeadlessEngine& e) {
      ui::Window& frame = *e.ActiveWindow();
      ASSERT_TRUE(e.Move(frame, 30, 40).ok());
      ASSERT_TRUE(e.Resize(frame, 400, 300).ok());
    });
    input.Add([](ui::HeadlessEngine& e) {
      ui::Window& frame = *e.ActiveWindow();
      ASSERT_TRUE(e.Press(frame, frame.FindByName("Afsluiten")->number).ok());
    });
    RunActions(engine, input);
    EXPECT_EQ(exit_status_, 0);
  }
  const std::string ini = ReadTextFile(platform::ConfigFolder() + "/tentaria2000.INI");
  EXPECT_NE(ini.find("[Main]"), std::string::npos) << ini;
  {
    ui::HeadlessEngine engine;
    ui::ActionInput input;
    input.Add([](ui::HeadlessEngine& e) {
      ui::Window& frame = *e.ActiveWindow();
      EXPECT_EQ(frame.title(), "Tentaria Benelux 2000");
      EXPECT_EQ(frame.x, 30);
      EXPECT_EQ(frame.y, 40);
      EXPECT_EQ(frame.width, 400);
      EXPECT_EQ(frame.height, 300);
      ASSERT_TRUE(e.RequestClose(frame).ok());
    });
    RunActions(engine, input);
    EXPECT_EQ(exit_status_, 0);
  }
}

}  // namespace
}  // namespace tentaria::guide
