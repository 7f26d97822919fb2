#include "framework/window_manager.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/file_relations.h"
#include "tests/framework/file_manager_fixture.h"
#include "ui/event_codes.h"
#include "ui/key_codes.h"

namespace tentaria::framework {
namespace {

using testing::ManagerTest;
using testing::NameOf;
using testing::NumberOf;
using testing::PlaceDeclaration;
using testing::SetPlace;
using ui::HeadlessEngine;

constexpr int kNameEntry = 1;
constexpr int kOkButton = 2;
constexpr int kCancelButton = 3;
constexpr int kList = 4;
constexpr int kHistoryKey = ui::key::kF1 + 2;  // F3

// The place's name field as a form control edits it.
class NameField : public ui::Binding {
 public:
  explicit NameField(storage::DeclaredFile& file) : file_(file) {}
  runtime::PictureValue Get() const override { return runtime::PictureValue::Text(NameOf(file_)); }
  void Set(const runtime::PictureValue& value) override {
    std::string name = value.text();
    name.resize(10, ' ');
    std::memcpy(file_.record().data() + 6, name.data(), 10);
  }

 private:
  storage::DeclaredFile& file_;
};

// A browse as the window sees it: it notes what the manager asks of it.
class NotingBrowse : public ManagedBrowse {
 public:
  void SetSelecting(bool selecting) override { selecting_ = selecting; }
  void TakeEvent() override { ++events; }
  bool NeedsRefresh() const override { return std::exchange(stale, false); }
  void Reset(bool force) override { resets.push_back(force); }
  void UpdateBuffer() override {}
  void RegisterAlertKeys(ui::Window& window) override { window.alert_keys().insert(ui::key::kF1); }
  void Release() override { released = true; }

  bool selecting_ = false;
  int events = 0;
  mutable bool stale = false;
  std::vector<bool> resets;
  bool released = false;
};

// The form's Cancel button.
class CancelHandler : public ButtonHandler {
 public:
  explicit CancelHandler(WindowManager& manager) : manager_(manager) {}
  int Control() const override { return kCancelButton; }
  void TakeAccepted() override { manager_.SetResponse(response::kCancelled); }

 private:
  WindowManager& manager_;
};

// A form over the place file: a name entry, OK and Cancel.
class PlaceForm : public WindowManager {
 public:
  PlaceForm(ui::Engine& engine, ErrorManager& errors, FileRelations& places, uint8_t request)
      : WindowManager(engine, window_, errors), places_(places), cancel_(*this) {
    REQUEST = request;
    ui::Control& name = window_.Add(ui::ControlKind::kEntry, kNameEntry, "");
    name.picture = "@s10";
    name.use = std::make_shared<NameField>(*places.ME->FILE);
    window_.Add(ui::ControlKind::kButton, kOkButton, "&OK");
    window_.Add(ui::ControlKind::kButton, kCancelButton, "&Annuleren");
  }

  int Init() override {
    WindowManager::Init();
    if (before_prime) before_prime(*this);
    places_.ME->Open();
    PRIMARY = &places_;
    OKCONTROL = kOkButton;
    FIRSTFIELD = kNameEntry;
    if (PrimeForm() != 0) return 1;
    engine().Open(window_);
    AddButton(cancel_);
    return 0;
  }
  void Release() override {
    WindowManager::Release();
    places_.ME->Close();
  }

  std::function<void(PlaceForm&)> before_prime;
  ui::Window window_{"Plaats"};

 private:
  FileRelations& places_;
  CancelHandler cancel_;
};

// What the name entry shows, without its trailing blanks.
std::string Shown(PlaceForm& form) {
  std::string text = form.window_.Find(kNameEntry)->contents;
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

class WindowManagerTest : public ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
    file_ = std::make_unique<storage::DeclaredFile>(PlaceDeclaration(PlacePath()));
    places_.Init(*file_, errors_);
    places_.AddKey(testing::kByNumber, "Nummer", 1);
    places_.AddKey(testing::kByName, "Naam");
    relations_.Init(places_, false);
  }
  void TearDown() override {
    if (browsing_) places_.Close();
    relations_.Release();
    places_.Release();
    ManagerTest::TearDown();
  }

  // Reads place `number` into the buffer, as a browse does before a change.
  // The browse keeps the file open while its forms run.
  void Fetch(int32_t number) {
    if (!browsing_) {
      ASSERT_EQ(places_.Open(), SeverityQuiet);
    }
    browsing_ = true;
    SetPlace(*file_, "NL", number, "");
    ASSERT_EQ(places_.TryFetchByKey(testing::kByNumber), SeverityQuiet);
  }

  // The names in the file, in number order.
  std::vector<std::string> Names() {
    storage::DeclaredFile reader(PlaceDeclaration(PlacePath()));
    EXPECT_EQ(reader.Open(0x40), 0);
    std::vector<std::string> names;
    EXPECT_EQ(reader.SetKey(testing::kByName), 0);
    while (reader.Next() == 0) names.push_back(NameOf(reader));
    reader.Close();
    return names;
  }

  template <typename F>
  void Then(F action) {
    input_.Add([action](HeadlessEngine& engine) { action(engine); });
  }
  void TypeName(PlaceForm& form, std::string name) {
    Then([&form, name](HeadlessEngine& e) {
      ASSERT_TRUE(e.Type(form.window_, kNameEntry, name).ok());
    });
  }
  void Press(PlaceForm& form, int control) {
    Then([&form, control](HeadlessEngine& e) { ASSERT_TRUE(e.Press(form.window_, control).ok()); });
  }
  void Close(PlaceForm& form) {
    Then([&form](HeadlessEngine& e) { ASSERT_TRUE(e.RequestClose(form.window_).ok()); });
  }

  std::unique_ptr<storage::DeclaredFile> file_;
  FileManager places_;
  FileRelations relations_;
  bool browsing_ = false;
};

TEST_F(WindowManagerTest, CancelOnAnUnchangedChangeFormAsksNothing) {
  Fetch(1);
  PlaceForm form(engine_, errors_, relations_, request::kChange);
  Close(form);
  EXPECT_EQ(form.Run(), response::kCancelled);
  EXPECT_TRUE(engine_.messages().empty());
  EXPECT_EQ(NameOf(*file_), "Epe");
  EXPECT_EQ(places_.Info().OPENED, 1) << "the form's own use of the file has ended";
}

TEST_F(WindowManagerTest, CancelOnAChangedFormOffersToSave) {
  // Yes: the form saves as if OK were pressed.
  Fetch(1);
  PlaceForm form(engine_, errors_, relations_, request::kChange);
  TypeName(form, "Putten");
  Close(form);
  Answer(ui::button::kYes);
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Save Record"});
  EXPECT_EQ(engine_.messages()[0].box.default_button, ui::button::kCancel);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Putten"}));
  EXPECT_EQ(NameOf(*file_), "Putten") << "the caller sees the saved record";
}

TEST_F(WindowManagerTest, CancelledSaveQuestionKeepsTheFormAndNoLosesTheChange) {
  Fetch(1);
  PlaceForm form(engine_, errors_, relations_, request::kChange);
  TypeName(form, "Putten");
  Close(form);
  Answer(ui::button::kCancel);
  Then([&form](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_));
    EXPECT_EQ(form.window_.focus(), kNameEntry);
    ASSERT_TRUE(e.RequestClose(form.window_).ok());
  });
  Answer(ui::button::kNo);
  EXPECT_EQ(form.Run(), response::kCancelled);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Save Record", "Save Record"}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe"}));
  EXPECT_EQ(NameOf(*file_), "Epe") << "the buffer is as it was before the form";
}

TEST_F(WindowManagerTest, CancelWithoutTheSaveQuestionWarnsOfTheLoss) {
  Fetch(2);
  PlaceForm form(engine_, errors_, relations_, request::kChange);
  form.before_prime = [](PlaceForm& f) { f.CANCELACTION = 2; };
  TypeName(form, "Putten");
  Press(form, kCancelButton);
  Answer(ui::button::kNo);
  Then([&form](HeadlessEngine& e) { ASSERT_TRUE(e.Press(form.window_, kCancelButton).ok()); });
  Answer(ui::button::kYes);
  EXPECT_EQ(form.Run(), response::kCancelled);
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"Changes will be lost!", "Changes will be lost!"}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe"}));
}

TEST_F(WindowManagerTest, OkOnAChangedFormSavesAndOnAnUnchangedOneCompletesNothing) {
  Fetch(1);
  PlaceForm changed(engine_, errors_, relations_, request::kChange);
  TypeName(changed, "Putten");
  Press(changed, kOkButton);
  EXPECT_EQ(changed.Run(), response::kCompleted);

  Fetch(2);
  PlaceForm unchanged(engine_, errors_, relations_, request::kChange);
  Press(unchanged, kOkButton);
  EXPECT_EQ(unchanged.Run(), response::kCancelled);
  EXPECT_TRUE(engine_.messages().empty());
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Putten"}));
}

TEST_F(WindowManagerTest, AddAnotherClearsTheFormAndALaterCancelCompletes) {
  SetPlace(*file_, "BE", 7, "");
  PlaceForm form(engine_, errors_, relations_, request::kInsert);
  form.before_prime = [this](PlaceForm& f) {
    f.AddUpdateFile(places_);
    f.INSERTACTION = 3;
  };
  TypeName(form, "Putten");
  Press(form, kOkButton);
  Then([&form, this](HeadlessEngine& e) {
    EXPECT_EQ(NameOf(*file_), "") << "the next record starts from the primed values";
    EXPECT_EQ(form.window_.focus(), kNameEntry);
    ASSERT_TRUE(e.Type(form.window_, kNameEntry, "Hoorn").ok());
  });
  Press(form, kOkButton);
  Close(form);
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_TRUE(engine_.messages().empty()) << "an unchanged new record is left without a question";
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe", "Hoorn", "Putten"}));
  EXPECT_EQ(NameOf(*file_), "Hoorn") << "the last record added is in the buffer";
  EXPECT_EQ(NumberOf(*file_), 4);
}

TEST_F(WindowManagerTest, RecordAddedQuestionNoCloses) {
  SetPlace(*file_, "BE", 8, "");
  PlaceForm form(engine_, errors_, relations_, request::kInsert);
  form.before_prime = [](PlaceForm& f) { f.INSERTACTION = 4; };
  TypeName(form, "Putten");
  Press(form, kOkButton);
  Answer(ui::button::kNo);
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Record Added"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe", "Putten"}));
}

TEST_F(WindowManagerTest, FailedInsertKeepsTheForm) {
  // A second "Epe" breaks the unique name key.
  SetPlace(*file_, "BE", 9, "");
  PlaceForm form(engine_, errors_, relations_, request::kInsert);
  TypeName(form, "Epe");
  Press(form, kOkButton);
  Answer(ui::button::kNo);
  Then([&form](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_));
    ASSERT_TRUE(e.Type(form.window_, kNameEntry, "Putten").ok());
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Auto Increment Error"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe", "Putten"}));
}

TEST_F(WindowManagerTest, DeleteRequestConfirmsWithoutShowingTheForm) {
  Fetch(1);
  PlaceForm form(engine_, errors_, relations_, request::kDelete);
  int windows_seen = 0;
  input_.Add([&](HeadlessEngine& e) {
    windows_seen = static_cast<int>(e.OpenWindows().size());
    ASSERT_TRUE(e.AnswerMessage(ui::button::kYes).ok());
  });
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(windows_seen, 0);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Confirm Delete"});
  EXPECT_EQ(Names(), std::vector<std::string>{"Ede"});

  Fetch(2);
  PlaceForm silent(engine_, errors_, relations_, request::kDelete);
  silent.before_prime = [](PlaceForm& f) { f.DELETEACTION = 4; };
  EXPECT_EQ(silent.Run(), response::kCompleted);
  EXPECT_EQ(engine_.messages().size(), 1u) << "no confirmation";
  EXPECT_TRUE(Names().empty());
}

TEST_F(WindowManagerTest, HistoryKeyRestoresTheValueOfTheLastSavedRecord) {
  SetPlace(*file_, "BE", 7, "");
  PlaceForm form(engine_, errors_, relations_, request::kInsert);
  form.before_prime = [this](PlaceForm& f) {
    f.AddUpdateFile(places_);
    f.INSERTACTION = 3;
    f.HISTORYKEY = kHistoryKey;
    f.AddHistoryField(kNameEntry, f.window_.Find(kNameEntry)->use);
  };
  Then([&form](HeadlessEngine& e) {
    // Nothing saved yet: the key leaves the field alone.
    ASSERT_TRUE(e.Type(form.window_, kNameEntry, "Putten").ok());
    ASSERT_TRUE(e.PressKey(form.window_, kHistoryKey).ok());
  });
  Then([&form](HeadlessEngine& e) {
    EXPECT_EQ(Shown(form), "Putten");
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  Then([&form](HeadlessEngine& e) {
    EXPECT_EQ(Shown(form), "");
    ASSERT_TRUE(e.PressKey(form.window_, kHistoryKey).ok());
  });
  Then([&form](HeadlessEngine& e) {
    EXPECT_EQ(Shown(form), "Putten");
    ASSERT_TRUE(e.RequestClose(form.window_).ok());
  });
  Answer(ui::button::kNo);
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe", "Putten"}));
}

TEST_F(WindowManagerTest, RefusedDeleteOffersARetry) {
  // Campsites of place 1 restrict its deletion.
  MakePlaces({{"NL", 1, "Kamp"}}, "KAMPEN.TVN");
  storage::DeclaredFile camps_file(PlaceDeclaration(PlacePath("KAMPEN.TVN")));
  FileManager camps;
  camps.Init(camps_file, errors_);
  FileRelations camp_relations;
  camp_relations.Init(camps, false);
  relations_.AddRelation(camp_relations, relation_mode::kNone, relation_mode::kRestrict,
                         testing::kByNumber);
  relations_.AddLink(testing::kNumber, testing::kNumber);

  Fetch(1);
  PlaceForm form(engine_, errors_, relations_, request::kDelete);
  form.before_prime = [](PlaceForm& f) { f.DELETEACTION = 1; };
  Press(form, kOkButton);
  // The relation reports the refusal, then the form asks to try again.
  std::vector<std::string> asked;
  auto answer_retry = [&](int button) {
    Answer(ui::button::kOk);
    Then([&asked, button](HeadlessEngine& e) {
      ASSERT_NE(e.pending_dialog(), nullptr);
      asked.push_back(e.pending_dialog()->box.caption);
      EXPECT_EQ(e.pending_dialog()->box.default_button, ui::button::kCancel);
      ASSERT_TRUE(e.AnswerMessage(button).ok());
    });
  };
  answer_retry(ui::button::kYes);
  answer_retry(ui::button::kCancel);
  Then([&form](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_)) << "Cancel returns to the form";
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  answer_retry(ui::button::kNo);
  EXPECT_EQ(form.Run(), response::kCancelled);
  EXPECT_EQ(asked, std::vector<std::string>(3, "Record Delete Error"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe"}));
  camp_relations.Release();
  camps.Release();
}

// --- windows without a form record ------------------------------------------

class ListWindow : public WindowManager {
 public:
  ListWindow(ui::Engine& engine, ErrorManager& errors) : WindowManager(engine, window_, errors) {
    window_.Add(ui::ControlKind::kList, kList, "").format_text = "40L(2)|M~Naam~@s20@";
    window_.Add(ui::ControlKind::kButton, kOkButton, "&OK");
    window_.width = 200;
    window_.height = 100;
  }
  int Init() override {
    WindowManager::Init();
    if (set_up) set_up(*this);
    AddBrowse(browse);
    return engine().Open(window_).ok() ? 0 : 1;
  }
  int HandleFieldEvent() override {
    field_events.push_back(engine().EventCode());
    return window_result::kGoOn;
  }

  ui::Window window_{"Campings"};
  NotingBrowse browse;
  std::function<void(ListWindow&)> set_up;
  std::vector<int> field_events;
};

class WindowDispatchTest : public ManagerTest {
 protected:
  template <typename F>
  void Then(F action) {
    input_.Add([action](HeadlessEngine& engine) { action(engine); });
  }
};

TEST_F(WindowDispatchTest, EventsReachTheBrowseAndTheBrowseIsReleased) {
  ListWindow list(engine_, errors_);
  list.REQUEST = request::kSelect;
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.INITED & kInitedOpened, kInitedOpened);
    EXPECT_EQ(list.browse.resets, std::vector<bool>{true}) << "the first reset is forced";
    EXPECT_EQ(list.window_.alert_keys().count(ui::key::kF1), 1u);
    list.browse.stale = true;
    ASSERT_TRUE(e.Press(list.window_, kOkButton).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.browse.resets, (std::vector<bool>{true, false})) << "a stale browse is reset";
    EXPECT_EQ(std::count(list.field_events.begin(), list.field_events.end(), ui::event::kAccepted),
              1);
    ASSERT_TRUE(e.RequestClose(list.window_).ok());
  });
  EXPECT_EQ(list.Run(), response::kCancelled) << "nothing set: cancelled";
  EXPECT_TRUE(list.browse.selecting_);
  EXPECT_GE(list.browse.events, 3);
  EXPECT_TRUE(list.browse.released);
}

TEST_F(WindowDispatchTest, OnlyResizesAfterTheFirstResetTheBrowse) {
  ListWindow list(engine_, errors_);
  Then([&](HeadlessEngine& e) { ASSERT_TRUE(e.Resize(list.window_, 300, 150).ok()); });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.INITED & kInitedFirstSize, kInitedFirstSize);
    EXPECT_EQ(list.browse.resets.size(), 1u) << "the first sized event resets nothing";
    ASSERT_TRUE(e.Resize(list.window_, 320, 160).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.browse.resets.size(), 2u);
    ASSERT_TRUE(e.Resize(list.window_, 330, 170).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.browse.resets.size(), 3u);
    ASSERT_TRUE(e.RequestClose(list.window_).ok());
  });
  list.Run();
}

TEST_F(WindowDispatchTest, ButtonHandlerConsumesTheEventAndResponseEndsTheWindow) {
  struct Completing : ButtonHandler {
    WindowManager* manager = nullptr;
    int Control() const override { return kOkButton; }
    void TakeAccepted() override { manager->SetResponse(response::kCompleted); }
  } ok;
  int32_t vcr = 0;
  ListWindow list(engine_, errors_);
  list.set_up = [&](ListWindow& w) {
    ok.manager = &w;
    w.AddButton(ok);
    w.VCRREQUEST = &vcr;
  };
  Then([&](HeadlessEngine& e) { ASSERT_TRUE(e.Press(list.window_, kOkButton).ok()); });
  EXPECT_EQ(list.Run(), response::kCompleted);
  EXPECT_EQ(std::count(list.field_events.begin(), list.field_events.end(), ui::event::kAccepted), 0)
      << "a handled event goes no further";
}

TEST_F(WindowDispatchTest, WindowPlaceIsSavedAndRestoredThroughTheIniFile) {
  IniManager ini;
  ini.Init(folder_ / "tentaria2000.INI");
  {
    ListWindow list(engine_, errors_);
    list.set_up = [&](ListWindow& w) { w.AddIni(ini, "TENTA006", true); };
    Then([&](HeadlessEngine& e) {
      ASSERT_TRUE(e.Move(list.window_, 40, 30).ok());
      ASSERT_TRUE(e.Resize(list.window_, 260, 140).ok());
    });
    Then([&](HeadlessEngine& e) { ASSERT_TRUE(e.RequestClose(list.window_).ok()); });
    list.Run();
  }
  EXPECT_EQ(ini.Fetch("TENTA006", "XPos"), "40");
  EXPECT_EQ(ini.Fetch("TENTA006", "Width"), "260");

  ListWindow again(engine_, errors_);
  again.set_up = [&](ListWindow& w) { w.AddIni(ini, "TENTA006", true); };
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(again.window_.x, 40);
    EXPECT_EQ(again.window_.y, 30);
    EXPECT_EQ(again.window_.width, 260);
    EXPECT_EQ(again.window_.height, 140);
    ASSERT_TRUE(e.RequestClose(again.window_).ok());
  });
  again.Run();
}

TEST_F(WindowDispatchTest, DeadManagerRunsNoLoop) {
  ListWindow list(engine_, errors_);
  list.set_up = [](ListWindow& w) { w.DEAD = 1; };
  EXPECT_EQ(list.Run(), response::kCancelled);
  EXPECT_EQ(list.browse.events, 0);
  EXPECT_FALSE(list.browse.released);
  engine_.Close(list.window_);
}

}  // namespace
}  // namespace tentaria::framework
