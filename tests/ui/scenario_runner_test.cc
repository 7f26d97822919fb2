// The scenario runner driving a small program through its script actions.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ui/event_codes.h"
#include "ui/headless_engine.h"
#include "ui/key_codes.h"
#include "ui/scenario_runner.h"

namespace tentaria::ui {
namespace {

using runtime::PictureValue;

void SetText(Window& window, int control, const std::string& text) {
  Control* target = window.Find(control);
  target->use->Set(PictureValue::Text(text));
  window.Display(control);
}

Control& AddBoundString(Window& window, int number, const std::string& name) {
  Control& string = window.Add(ControlKind::kString, number, "");
  string.name = name;
  string.picture = "@s20";
  string.use = std::make_shared<VariableBinding>();
  return string;
}

// A browse-like window run modally from the frame.
void RunCampings(Engine& engine) {
  Window w("Campings");
  w.height = 100;
  Control& name = w.Add(ControlKind::kEntry, 1, "");
  name.name = "Naam";
  name.picture = "@s10";
  name.use = std::make_shared<VariableBinding>();
  name.required = true;
  w.Add(ControlKind::kCheck, 2, "&Gemarkeerd").use = std::make_shared<VariableBinding>();
  Control& land = w.Add(ControlKind::kOption, 3, "Land");
  land.use = std::make_shared<VariableBinding>(PictureValue::Text("Nederland"));
  w.Add(ControlKind::kRadio, 4, "&Nederland", 3);
  w.Add(ControlKind::kRadio, 5, "&Belgi\xEB", 3).value = "B";
  Control& province = w.Add(ControlKind::kDropList, 6, "");
  province.name = "Provincie";
  province.rows = {{{PictureValue::Text("Zeeland"), {}}}, {{PictureValue::Text("Limburg"), {}}}};
  Control& list = w.Add(ControlKind::kList, 7, "");
  list.name = "Lijst";
  list.height = 20;
  EXPECT_TRUE(list.SetFormat("40L(1)|_*~Camping~@s12@20R~Nr~@n4@").ok());
  CellColours marked{0, 0xC0C0C0, 0xFFFFFF, -1};
  list.rows = {{{PictureValue::Text("De Heimolen"), {}}, {PictureValue::Integer(151), {}}},
               {{PictureValue::Text("Zilverstrand"), marked}, {PictureValue::Integer(1183), {}}},
               {{PictureValue::Text("Roland"), {}}, {PictureValue::Integer(940), {}}}};
  Control& sheet = w.Add(ControlKind::kSheet, 8, "");
  sheet.selected = 1;
  w.Add(ControlKind::kTab, 9, "    Naam", 8).tip = "Gesorteerd op naam";
  w.Add(ControlKind::kTab, 10, "    Plaats", 8);
  w.Add(ControlKind::kString, 11, "Op plaats", 10);
  w.Add(ControlKind::kImage, 12, "").picture_name = "logo.bmp";
  w.Add(ControlKind::kButton, 13, "&OK");
  w.Add(ControlKind::kButton, 14, "&Terug");
  AddBoundString(w, 15, "Keuze");
  w.Add(ControlKind::kButton, 16, "&Wis").enabled = false;
  w.alert_keys().insert(key::kF1);
  w.Add(ControlKind::kImage, 17, "").picture_name = "missing.gif";
  ASSERT_TRUE(engine.Open(w).ok());
  engine.Accept(w, [&](Engine& e) {
    switch (e.EventCode()) {
      case event::kNewSelection:
        if (e.EventControl() == 7) SetText(w, 15, w.Find(7)->CellText(w.Find(7)->selected, 1));
        break;
      case event::kAccepted:
        if (e.EventControl() == 13) e.SelectAll(w);
        if (e.EventControl() == 14) e.Post(event::kCloseWindow);
        break;
      case event::kAlertKey:
        SetText(w, 15, "help " + std::to_string(e.KeyCode()));
        break;
      case event::kSized:
        SetText(w, 15, "sized " + std::to_string(w.width));
        break;
      case event::kCompleted:
        return LoopAction::kBreak;
    }
    return LoopAction::kContinue;
  });
}

LoopAction PictureWindowBody(Engine& e) {
  if (e.AcceptedControl() == 2) return LoopAction::kBreak;
  return LoopAction::kContinue;
}

void RunProgram(Engine& engine) {
  Window w("Tentaria");
  w.set_timer(100);
  w.Add(ControlKind::kMenu, 100, "&Bestand");
  w.Add(ControlKind::kItem, 101, "&Zoeken", 100).name = "Zoeken";
  w.Add(ControlKind::kItem, 102, "&Versie", 100);
  w.Add(ControlKind::kItem, 103, "&Afsluiten", 100);
  w.Add(ControlKind::kMenu, 110, "&Extra");
  w.Add(ControlKind::kItem, 111, "Ge&luid", 110);
  w.Add(ControlKind::kItem, 112, "&Vraag", 110);
  w.Add(ControlKind::kItem, 113, "&Popup", 110);
  w.Add(ControlKind::kItem, 114, "&Lus", 110);
  AddBoundString(w, 5, "Status");
  AddBoundString(w, 6, "Ticks");
  int ticks = 0;
  ASSERT_TRUE(engine.Open(w).ok());
  engine.Accept(w, [&](Engine& e) {
    if (e.EventCode() == event::kTimer) SetText(w, 6, std::to_string(++ticks));
    if (e.EventCode() == event::kNotify) e.Post(event::kNotify);
    switch (e.AcceptedControl()) {
      case 101:
        RunCampings(e);
        break;
      case 102: {
        auto version = std::make_unique<Window>("Versie");
        version->Add(ControlKind::kImage, 1, "").picture_name = "intro.bmp";
        version->Add(ControlKind::kButton, 2, "&Sluiten");
        e.Start(std::move(version), PictureWindowBody);
        break;
      }
      case 103:
        return LoopAction::kBreak;
      case 111:
        e.Beep(beep::kExclamation);
        break;
      case 112: {
        int answer = e.Message(MessageBox{"Zeker weten?", "Vraag", SystemIconReference(32514),
                                          button::kYes | button::kNo, button::kYes});
        SetText(w, 5, answer == button::kYes ? "Yes" : "No");
        break;
      }
      case 113: {
        int item = e.Popup("&Insert|-|&Delete");
        SetText(w, 5, "item " + std::to_string(item));
        break;
      }
      case 114:
        e.Post(event::kNotify);
        break;
    }
    return LoopAction::kContinue;
  });
}

struct Outcome {
  int status;
  std::string output;
};

Outcome RunScript(const std::string& script) {
  HeadlessEngine engine;
  engine.set_image_loader([](std::string_view name) -> std::optional<ImageSize> {
    if (name == "logo.bmp") return ImageSize{32, 16};
    return std::nullopt;
  });
  std::ostringstream out;
  ScenarioRunner runner(engine, out);
  Status loaded = runner.Load(script);
  if (!loaded.ok()) return {2, loaded.message()};
  int status = runner.Run([&] { RunProgram(engine); });
  return {status, out.str()};
}

const char kOpenCampings[] = "choose \"&Bestand\" \"&Zoeken\"\n";

struct Case {
  const char* name;
  std::string script;
  int status;
  std::string output;  // a part of what the run prints
};

TEST(ScenarioRunnerTest, EachAction) {
  const std::vector<Case> cases = {
      {"choose by menu path",
       std::string(kOpenCampings) + "expect window \"Campings\"\n"
                                    "expect windows 2\nexpect title \"Campings\"\n",
       0, ""},
      {"choose by name", "choose ?Zoeken\nexpect window \"Campings\"\n", 0, ""},
      {"comments",
       "# start\n  ## heading\nchoose ?Zoeken   # opens the list\n\nexpect windows 2 #\n", 0, ""},
      {"choose a menu, not an item", "choose \"&Bestand\"\n", 1, "line 1: #100 is not a menu item"},
      {"press", std::string(kOpenCampings) + "press \"Terug\"\nexpect no window \"Campings\"\n", 0,
       ""},
      {"type and tab",
       std::string(kOpenCampings) + "type ?Naam \"Dennenoord aan zee\"\ntab\n"
                                    "expect ?Naam value \"Dennenoord\"\nexpect #2 focused\n",
       0, ""},
      {"pick a list row by number and text",
       std::string(kOpenCampings) + "pick ?Lijst 2\nexpect ?Keuze value \"Zilverstrand\"\n"
                                    "pick ?Lijst \"Roland\"\nexpect ?Lijst value \"3\"\n",
       0, ""},
      {"pick a radio and a drop row",
       std::string(kOpenCampings) + "expect #3 value \"Nederland\"\npick #3 2\n"
                                    "expect #3 value \"B\"\npick ?Provincie \"Limburg\"\n"
                                    "expect ?Provincie value \"Limburg\"\n",
       0, ""},
      {"pick a tab",
       std::string(kOpenCampings) + "expect #11 hidden\npick #8 \"Plaats\"\nexpect #11 visible\n"
                                    "expect #8 value \"2\"\n",
       0, ""},
      {"scroll",
       std::string(kOpenCampings) +
           "scroll ?Lijst bottom\nexpect ?Lijst value \"3\"\nscroll ?Lijst up\n"
           "expect ?Keuze value \"Zilverstrand\"\nscroll ?Lijst pageup\n"
           "expect ?Lijst value \"1\"\n",
       0, ""},
      {"rows and colours",
       std::string(kOpenCampings) +
           "expect ?Lijst rows 3\nexpect ?Lijst row 2 \"Zilverstrand\" \"1183\"\n"
           "expect ?Lijst row 2 colours 1 0 0xC0C0C0 0xFFFFFF -1\n",
       0, ""},
      {"alert key", std::string(kOpenCampings) + "key F1\nexpect ?Keuze value \"help 112\"\n", 0,
       ""},
      {"escape closes", std::string(kOpenCampings) + "key Esc\nexpect windows 1\n", 0, ""},
      {"answer a message box",
       "choose \"Extra\" \"Vraag\"\nexpect message \"Zeker\"\n"
       "answer no\nexpect no message\nexpect ?Status value \"No\"\n",
       0, ""},
      {"popup by text",
       "choose \"Extra\" \"Popup\"\npopup \"Delete\"\n"
       "expect ?Status value \"item 2\"\n",
       0, ""},
      {"popup shows its separators", "choose \"Extra\" \"Popup\"\nshow\npopup \"Delete\"\n", 0,
       "popup\n  1 \"&Insert\"\n  -\n  2 \"&Delete\"\n"},
      {"popup none", "choose \"Extra\" \"Popup\"\npopup none\nexpect ?Status value \"item 0\"\n", 0,
       ""},
      {"close", std::string(kOpenCampings) + "close\nexpect no window \"Campings\"\n", 0, ""},
      {"resize", std::string(kOpenCampings) + "resize 300 200\nexpect ?Keuze value \"sized 300\"\n",
       0, ""},
      {"wait lets timers run",
       "wait 3s\nexpect ?Ticks value \"3\"\nwait 500ms\n"
       "expect ?Ticks value \"3\"\nwait 500ms\nexpect ?Ticks value \"4\"\n",
       0, ""},
      {"beeps", "choose \"Extra\" \"Geluid\"\nexpect beeps 1\nshow\n", 0, "beep 48\n"},
      {"started window and window",
       "choose \"Bestand\" \"Versie\"\nwindow \"Tentaria\"\n"
       "choose \"Bestand\" \"Versie\"\n"
       "expect windows 3\nwindow \"Versie\"\npress \"Sluiten\"\n"
       "expect windows 2\n",
       0, ""},
      {"completed ends the form",
       std::string(kOpenCampings) + "type ?Naam \"X\"\npress \"OK\"\nexpect windows 1\n", 0, ""},
      {"required entry stops the accept-all pass",
       std::string(kOpenCampings) + "press \"OK\"\nexpect windows 2\nexpect ?Naam focused\n", 0,
       ""},
      {"show", std::string(kOpenCampings) + "pick ?Lijst 2\nshow\n", 0,
       "window \"Campings\" thread 1 active\n"
       "  size 0x100\n"
       "  #1 entry ?Naam \"\"\n"
       "  #2 check \"&Gemarkeerd\" off\n"
       "  #3 option \"Land\" chosen 1 \"&Nederland\"\n"
       "    #4 radio \"&Nederland\"\n"
       "    #5 radio \"&België\"\n"
       "  #6 drop ?Provincie rows 2 chosen 0\n"
       "     row 1: \"Zeeland\"\n"
       "     row 2: \"Limburg\"\n"
       "  #7 list ?Lijst rows 3 chosen 2 focused\n"
       "    columns \"Camping\" 40 \"Nr\" 20\n"
       "     row 1: \"De Heimolen\" | \" 151\"\n"
       "    >row 2: \"Zilverstrand\" | \"1183\"  {1: 0x000000 0xC0C0C0 0xFFFFFF -1}\n"
       "     row 3: \"Roland\" | \" 940\"\n"
       "  #8 sheet \"\" chosen 1 \"    Naam\"\n"
       "    #9 tab \"    Naam\" tip \"Gesorteerd op naam\"\n"
       "    #10 tab \"    Plaats\"\n"
       "      #11 string \"Op plaats\" hidden\n"
       "  #12 image \"logo.bmp\" 32x16\n"
       "  #13 button \"&OK\"\n"
       "  #14 button \"&Terug\"\n"
       "  #15 string ?Keuze \"Zilverstrand\"\n"
       "  #16 button \"&Wis\" disabled\n"
       "  #17 image \"missing.gif\" none\n"},
      {"trace", "trace on\nchoose \"Extra\" \"Vraag\"\n", 0,
       "--- after line 2\nwindow \"Tentaria\" thread 1 active waiting\n"},
      {"message in the view", "trace on\nchoose \"Extra\" \"Vraag\"\n", 0,
       "message \"Vraag\" \"Zeker weten?\" [Yes No] icon 32514\n"},
      {"event trace", "events on\nchoose \"Extra\" \"Geluid\"\n", 0,
       "event EVENT:Accepted control 111 window \"Tentaria\"\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome outcome = RunScript(c.script);
    EXPECT_EQ(outcome.status, c.status) << outcome.output;
    EXPECT_NE(outcome.output.find(c.output), std::string::npos) << outcome.output;
  }
}

TEST(ScenarioRunnerTest, ErrorsNameTheirLine) {
  const std::vector<Case> cases = {
      {"unknown action", "show\njump ?Naam\n", 2, "line 2: unknown action \"jump\""},
      {"bad arguments", "press\n", 2, "line 1: expected: press <control>"},
      {"unclosed text", "type ?Naam \"Den\n", 2, "line 1: a text without its closing quote"},
      {"bad control number", "press #x1\n", 2, "line 1: #x1 is not a control number"},
      {"line beginning with a control", "\n?Naam\n", 2, "line 2: a line begins with an action"},
      {"lone question mark", "press ?\n", 2, "line 1: a control reference without a name"},
      {"wait without unit", "wait 5\n", 2, "line 1: expected: wait"},
      {"wait without amount", "wait ms\n", 2, "line 1: expected: wait"},
      {"extra argument", "pick ?Lijst 1 2\n", 2, "line 1: expected: pick"},
      {"colours short", "expect ?Lijst row 1 colours 1 0 0\n", 2, "line 1: expected: expect"},
      {"colours not numbers", "expect ?Lijst row 1 colours 1 a b c d\n", 2,
       "line 1: expected: expect"},
      {"answer unknown", "answer maybe\n", 2, "line 1: expected: answer ok|yes|no|cancel"},
      {"row zero", std::string(kOpenCampings) + "expect ?Lijst row 0 \"x\"\n", 1,
       "line 2: expected ?Lijst to have a row 0, but it has 3 rows"},
      {"unknown control", std::string(kOpenCampings) + "\npress ?Nope\n", 1,
       "error: line 3: window \"Campings\" has no control ?Nope"},
      {"disabled control", std::string(kOpenCampings) + "press \"Wis\"\n", 1,
       "line 2: control 16 is disabled"},
      {"hidden control", std::string(kOpenCampings) + "type #11 \"x\"\n", 1,
       "line 2: control 11 is hidden"},
      {"no entry to pick", std::string(kOpenCampings) + "pick ?Lijst 4\n", 1,
       "line 2: control 7 has no entry 4 (it has 3)"},
      {"answer without a box", "answer yes\n", 1, "line 1: no message box is waiting"},
      {"wrong button", "choose \"Extra\" \"Vraag\"\nanswer cancel\n", 1,
       "line 2: the message box has no button 64"},
      {"input while a box waits", "choose \"Extra\" \"Vraag\"\nchoose \"Extra\" \"Geluid\"\n", 1,
       "line 2: a message box is waiting for its answer"},
      {"blocked window", std::string(kOpenCampings) + "window \"Tentaria\"\n", 1,
       "line 2: window \"Tentaria\" waits for a window it opened"},
      {"unknown key", "key Hyper+Q\n", 1, "line 1: unknown key Hyper+Q"},
      {"expectation", std::string(kOpenCampings) + "type ?Naam \"A\"\nexpect ?Naam value \"B\"\n",
       1, "line 3: expected ?Naam to have the value \"B\", but it has \"A\""},
      {"endless wait", "wait 99999999s\n", 1,
       "line 1: the wait fires more than 10000 timer events"},
      {"endless events", "choose \"Extra\" \"Lus\"\nshow\n", 1,
       "line 1: the program's events did not settle"},
      {"after the program ended",
       "choose \"Bestand\" \"Afsluiten\"\nexpect windows 0\n"
       "choose \"Bestand\" \"Zoeken\"\n",
       1, "line 3: the program has ended"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome outcome = RunScript(c.script);
    EXPECT_EQ(outcome.status, c.status) << outcome.output;
    EXPECT_NE(outcome.output.find(c.output), std::string::npos) << outcome.output;
  }
}

}  // namespace
}  // namespace tentaria::ui
