// Printing without a screen: the printer set-up, a print preview the user
// prints from or closes, and printing at once, driven and checked through
// the scenario runner, which prints the pages as text and can write them as
// PDF.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "ui/event_codes.h"
#include "ui/headless_engine.h"
#include "ui/scenario_runner.h"

namespace tentaria::ui {
namespace {

using runtime::PictureValue;

reports::Document FactSheet() {
  reports::Document document{"Campinggegevens", {}};
  reports::Page& page = document.pages.emplace_back();
  page.AddText(72, 100, reports::Font{reports::FontFamily::kHelvetica, 14, true, false},
               "Camping De Heimolen");
  page.AddText(72, 120, reports::Font{}, "Plaats:");
  page.AddText(150, 120, reports::Font{},
               "Caf\xE9"
               "dorp          ");
  document.pages.emplace_back().AddText(72, 100, reports::Font{}, "Tarieven");
  return document;
}

void RunFrame(Engine& engine) {
  Window w("Tentaria");
  w.Add(ControlKind::kMenu, 100, "&Bestand");
  w.Add(ControlKind::kItem, 101, "&Printerinstelling", 100);
  w.Add(ControlKind::kItem, 102, "Afdruk&voorbeeld", 100);
  w.Add(ControlKind::kItem, 103, "&Afdrukken", 100);
  w.Add(ControlKind::kItem, 104, "&Bezig", 100);
  Control& status = w.Add(ControlKind::kString, 5, "");
  status.name = "Status";
  status.picture = "@s20";
  status.use = std::make_shared<VariableBinding>();
  ASSERT_TRUE(engine.Open(w).ok());
  const reports::Document sheet = FactSheet();
  engine.Accept(w, [&](Engine& e) {
    std::string said;
    switch (e.AcceptedControl()) {
      case 101:
        said = e.PrinterSetup() ? "ingesteld" : "afgebroken";
        break;
      case 102:
        said = e.Preview(sheet) ? "afgedrukt" : "gesloten";
        break;
      case 103:
        said = e.Print(sheet) ? "afgedrukt" : "mislukt";
        break;
      case 104:
        e.SetBusy(true);
        said = "bezig";
        break;
      default:
        return LoopAction::kContinue;
    }
    status.use->Set(PictureValue::Text(said));
    w.Display(5);
    return LoopAction::kContinue;
  });
}

struct Outcome {
  int status;
  std::string output;
};

Outcome RunScript(const std::string& script, const std::string& pdf_folder = "") {
  HeadlessEngine engine;
  std::ostringstream out;
  ScenarioRunner runner(engine, out);
  runner.set_pdf_folder(pdf_folder);
  Status loaded = runner.Load(script);
  if (!loaded.ok()) return {2, loaded.message()};
  int status = runner.Run([&] { RunFrame(engine); });
  return {status, out.str()};
}

TEST(PrintingScenario, EachPrintingAction) {
  struct Case {
    const char* name;
    std::string script;
    int status;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"printer set-up", "choose \"Bestand\" \"Printerinstelling\"\nexpect setups 1\nshow\n", 0,
       "printer setup\n"},
      {"preview shown as text",
       "choose \"Bestand\" \"Afdrukvoorbeeld\"\nexpect preview \"Plaats: Caf\xC3\xA9"
       "dorp\"\nshow\n",
       0,
       "preview \"Campinggegevens\" 2 pages\n  --- page 1 of 2\n  Camping De Heimolen\n"
       "  Plaats: Caf\xC3\xA9"
       "dorp\n  --- page 2 of 2\n  Tarieven\n"},
      {"printed from the preview",
       "choose \"Bestand\" \"Afdrukvoorbeeld\"\npreview print\nexpect no message\n"
       "expect printed 1\nexpect printed \"Tarieven\"\nexpect ?Status value \"afgedrukt\"\nshow\n",
       0, "printed \"Campinggegevens\" 2 pages\n"},
      {"preview closed",
       "choose \"Bestand\" \"Afdrukvoorbeeld\"\npreview close\nexpect printed 0\n"
       "expect ?Status value \"gesloten\"\n",
       0, ""},
      {"printed at once", "choose \"Bestand\" \"Afdrukken\"\nexpect printed \"De Heimolen\"\n", 0,
       "printed \"Campinggegevens\" 2 pages\n  --- page 1 of 2\n"},
      {"input while the preview is open",
       "choose \"Bestand\" \"Afdrukvoorbeeld\"\nchoose \"Bestand\" \"Afdrukken\"\n", 1,
       "line 2: the print preview is open"},
      {"no preview to print", "preview print\n", 1, "line 1: no print preview is open"},
      {"preview expectation", "choose \"Bestand\" \"Afdrukvoorbeeld\"\nexpect preview \"Zee\"\n", 1,
       "line 2: expected the print preview to show \"Zee\""},
      {"printed expectation", "expect printed \"Tarieven\"\n", 1,
       "line 1: expected a printed page to show \"Tarieven\""},
      {"busy", "choose \"Bestand\" \"Bezig\"\nshow\n", 0, "?Status \"bezig\"\nbusy\n"},
      {"bad preview answer", "preview later\n", 2, "line 1: expected: preview print|close"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome outcome = RunScript(c.script);
    EXPECT_EQ(outcome.status, c.status) << outcome.output;
    EXPECT_NE(outcome.output.find(c.output), std::string::npos) << outcome.output;
  }
}

TEST(PrintingScenario, PrintedDocumentsAreWrittenAsPdfToTheChosenFolder) {
  test_support::TempFolder folder;
  Outcome outcome = RunScript(
      "choose \"Bestand\" \"Afdrukken\"\nchoose \"Bestand\" \"Afdrukvoorbeeld\"\npreview print\n",
      folder.path());
  EXPECT_EQ(outcome.status, 0) << outcome.output;
  for (const char* name : {"printed-1.pdf", "printed-2.pdf"}) {
    std::ifstream pdf(folder / name, std::ios::binary);
    std::string head(8, '\0');
    pdf.read(head.data(), 8);
    EXPECT_EQ(head, "%PDF-1.4") << name;
    EXPECT_NE(outcome.output.find("  pdf \"" + (folder / name) + "\"\n"), std::string::npos)
        << outcome.output;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "printed-3.pdf"));

  Outcome unwritable = RunScript("choose \"Bestand\" \"Afdrukken\"\n", folder / "missing");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.output.find("could not be written to"), std::string::npos)
      << unwritable.output;
}

TEST(PrintingScenario, TabBackAndShiftTabMoveTheFocusBackwards) {
  HeadlessEngine engine;
  std::ostringstream out;
  ScenarioRunner runner(engine, out);
  ASSERT_TRUE(runner
                  .Load("expect #1 focused\ntab back\nexpect #3 focused\nkey Shift+Tab\n"
                        "expect #2 focused\ntab\nexpect #3 focused\n")
                  .ok());
  int status = runner.Run([&] {
    Window w("Velden");
    for (int n = 1; n <= 3; ++n) w.Add(ControlKind::kEntry, n, "").picture = "@s5";
    ASSERT_TRUE(engine.Open(w).ok());
    engine.Accept(w, [](Engine&) { return LoopAction::kContinue; });
  });
  EXPECT_EQ(status, 0) << out.str();
}

}  // namespace
}  // namespace tentaria::ui
