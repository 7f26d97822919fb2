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
#include "tests/support/child_process.h"
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
constexpr int kToolbar = 5;
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
    window_.Add(ui::ControlKind::kToolbar, kToolbar, "");
    window_.Add(ui::ControlKind::kButton, kHistoryButton, "Ditto", kToolbar);
  }

  int Init() override {
    WindowManager::Init();
    AddToolbar(toolbar_, window_);
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
  Toolbar toolbar_;
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

TEST_F(WindowManagerTest, RecordAddedQuestionYesStartsTheNextRecord) {
  SetPlace(*file_, "BE", 8, "");
  PlaceForm form(engine_, errors_, relations_, request::kInsert);
  form.before_prime = [this](PlaceForm& f) {
    f.AddUpdateFile(places_);
    f.INSERTACTION = 4;
  };
  TypeName(form, "Putten");
  Press(form, kOkButton);
  Answer(ui::button::kYes);
  Then([&form, this](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_));
    EXPECT_EQ(Shown(form), "") << "the form starts on a new record";
    EXPECT_EQ(NumberOf(*file_), 4) << "numbered at once";
    ASSERT_TRUE(e.Type(form.window_, kNameEntry, "Hoorn").ok());
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  Answer(ui::button::kNo);
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Record Added", "Record Added"}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Epe", "Hoorn", "Putten"}));
  EXPECT_EQ(NameOf(*file_), "Hoorn");
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

// --- a change against another process ---------------------------------------

// Another station: a child process that runs `steps` over its own open of
// the place file, one step each time the test signals, and signals back
// after each.  Its exit status is 0 when every step succeeded.
class Station {
 public:
  using Action = std::function<bool(storage::DeclaredFile&)>;
  Station(const std::string& path, std::vector<Action> steps)
      : child_([&path, &steps](int to_parent, int from_parent) {
          storage::DeclaredFile file(PlaceDeclaration(path));
          if (file.Share() != 0) return 1;
          for (size_t i = 0; i < steps.size(); ++i) {
            if (!test_support::Await(from_parent)) return 2;
            if (!steps[i](file)) return 10 + static_cast<int>(i);
            test_support::Signal(to_parent);
          }
          return file.Close() == 0 ? 0 : 3;
        }) {}
  // Runs the next step and waits for it to end.
  bool Step() {
    child_.Signal();
    return child_.Await();
  }
  int Wait() { return child_.Wait(); }

 private:
  test_support::ChildProcess child_;
};

// Reads place `number` into the station's buffer (held when asked).
bool ReadPlace(storage::DeclaredFile& file, int32_t number, bool hold) {
  SetPlace(file, "NL", number, "");
  if (hold && file.Hold() != 0) return false;
  return file.GetByKey(testing::kByNumber) == 0;
}

bool RenamePlace(storage::DeclaredFile& file, int32_t number, const std::string& name) {
  if (!ReadPlace(file, number, false)) return false;
  SetPlace(file, "NL", number, name);
  return file.Put() == 0;
}

TEST_F(WindowManagerTest, ChangeOfARecordAnotherProcessChangedShowsItsValuesAndDittoRecallsOurs) {
  Station station(PlacePath(),
                  {[](storage::DeclaredFile& f) { return RenamePlace(f, 1, "Olst"); }});
  // The browse reads the record watched, as it does before a change form.
  Fetch(1);
  SetPlace(*file_, "NL", 1, "");
  ASSERT_EQ(file_->Watch(), 0);
  ASSERT_EQ(places_.TryFetchByKey(testing::kByNumber), SeverityQuiet);
  PlaceForm form(engine_, errors_, relations_, request::kChange);
  form.before_prime = [](PlaceForm& f) {
    f.AddHistoryField(kNameEntry, f.window_.Find(kNameEntry)->use);
  };
  TypeName(form, "Putten");
  Then([&form, &station](HeadlessEngine& e) {
    ASSERT_TRUE(station.Step());
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  Answer(ui::button::kOk);
  Then([&form](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_));
    EXPECT_EQ(Shown(form), "Olst") << "the other station's values are shown";
    EXPECT_EQ(form.window_.focus(), kNameEntry);
    ASSERT_TRUE(e.Press(form.window_, toolbar::kHistory).ok());
  });
  Then([&form](HeadlessEngine& e) {
    EXPECT_EQ(Shown(form), "Putten") << "the ditto button recalls what was typed";
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Record Was Not Updated"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Putten"}));
  EXPECT_EQ(station.Wait(), 0);
}

TEST_F(WindowManagerTest, ChangeOfARecordAnotherProcessHoldsReturnsToTheForm) {
  Station station(PlacePath(), {[](storage::DeclaredFile& f) { return ReadPlace(f, 1, true); },
                                [](storage::DeclaredFile& f) { return f.Release() == 0; }});
  ASSERT_TRUE(station.Step());
  Fetch(1);
  PlaceForm form(engine_, errors_, relations_, request::kChange);
  TypeName(form, "Putten");
  Press(form, kOkButton);
  Answer(ui::button::kOk);
  Then([&form, &station](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_)) << "no retry question: the form stays for another OK";
    EXPECT_EQ(Shown(form), "Putten");
    ASSERT_TRUE(station.Step());
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Record was not updated"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Putten"}));
  EXPECT_EQ(station.Wait(), 0);
}

// A relation manager whose refused updates ask for the retry question, as a
// procedure may want for a file that other stations hold often.
class RetryingRelations : public FileRelations {
 public:
  explicit RetryingRelations(const HeadlessEngine& engine) : engine_(engine) {}
  int Update(int mode) override {
    busy_while_updating = busy_while_updating && engine_.busy();
    int result = FileRelations::Update(mode);
    return result == SeverityNotify ? SeverityConfirm : result;
  }
  bool busy_while_updating = true;

 private:
  const HeadlessEngine& engine_;
};

TEST_F(WindowManagerTest, RetryQuestionOfAChangeRepeatsReturnsOrCloses) {
  // Both stations start before this process opens the file, so that each
  // has only its own open.
  Station station(PlacePath(), {[](storage::DeclaredFile& f) { return ReadPlace(f, 1, true); },
                                [](storage::DeclaredFile& f) { return f.Release() == 0; }});
  Station holder(PlacePath(), {[](storage::DeclaredFile& f) { return ReadPlace(f, 2, true); },
                               [](storage::DeclaredFile& f) { return f.Release() == 0; }});
  ASSERT_TRUE(station.Step());
  RetryingRelations retrying(engine_);
  retrying.Init(places_, false);
  Fetch(1);
  PlaceForm form(engine_, errors_, retrying, request::kChange);
  TypeName(form, "Putten");
  Press(form, kOkButton);
  std::vector<std::string> asked;
  auto answer_retry = [&](int button, std::function<void()> before = {}) {
    Answer(ui::button::kOk);
    Then([&asked, button, before](HeadlessEngine& e) {
      ASSERT_NE(e.pending_dialog(), nullptr);
      asked.push_back(e.pending_dialog()->box.caption);
      EXPECT_EQ(e.pending_dialog()->box.default_button, ui::button::kCancel);
      if (before) before();
      ASSERT_TRUE(e.AnswerMessage(button).ok());
    });
  };
  answer_retry(ui::button::kCancel);
  Then([&form](HeadlessEngine& e) {
    EXPECT_TRUE(e.IsOpen(form.window_)) << "Cancel returns to the form";
    ASSERT_TRUE(e.Press(form.window_, kOkButton).ok());
  });
  // Yes tries again at once; the other station has let go meanwhile.
  answer_retry(ui::button::kYes, [&station] { ASSERT_TRUE(station.Step()); });
  EXPECT_EQ(form.Run(), response::kCompleted);
  EXPECT_EQ(asked, std::vector<std::string>(2, "Record Update Error"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Putten"}));
  EXPECT_EQ(station.Wait(), 0);
  EXPECT_TRUE(retrying.busy_while_updating) << "the busy cursor shows while the record is saved";
  EXPECT_FALSE(engine_.busy());

  // No closes the form with the change not made.
  ASSERT_TRUE(holder.Step());
  Fetch(2);
  PlaceForm refused(engine_, errors_, retrying, request::kChange);
  TypeName(refused, "Hoorn");
  Press(refused, kOkButton);
  asked.clear();
  answer_retry(ui::button::kNo);
  // Closing a form whose record differs asks about saving, as any close does.
  Answer(ui::button::kNo);
  EXPECT_EQ(refused.Run(), response::kCancelled);
  EXPECT_EQ(asked, std::vector<std::string>{"Record Update Error"});
  ASSERT_TRUE(holder.Step());
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ede", "Putten"}));
  retrying.Release();
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

TEST_F(WindowDispatchTest, ANewRowIsLeftToTheBrowse) {
  ListWindow list(engine_, errors_);
  list.window_.Find(kList)->rows.resize(2, ui::ListRow(1));
  Then([&](HeadlessEngine& e) { ASSERT_TRUE(e.Pick(list.window_, kList, 2).ok()); });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.browse.resets.size(), 1u) << "only the first reset";
    EXPECT_NE(
        std::find(list.field_events.begin(), list.field_events.end(), ui::event::kNewSelection),
        list.field_events.end());
    ASSERT_TRUE(e.RequestClose(list.window_).ok());
  });
  list.Run();
}

TEST_F(WindowDispatchTest, RejectedTextIsSignalledAndItsControlSelectedAgain) {
  constexpr int kCount = 6;
  auto count = std::make_shared<ui::VariableBinding>(runtime::PictureValue::Integer(5));
  ListWindow list(engine_, errors_);
  list.set_up = [&](ListWindow& w) {
    ui::Control& entry = w.window_.Add(ui::ControlKind::kEntry, kCount, "");
    entry.picture = "@N3";
    entry.use = count;
  };
  Then([&](HeadlessEngine& e) {
    ASSERT_TRUE(e.Type(list.window_, kCount, "12a").ok());
    ASSERT_TRUE(e.TabOut(list.window_).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(e.beeps().size(), 1u);
    EXPECT_EQ(list.window_.focus(), kCount);
    EXPECT_EQ(count->Get().text(), "5") << "the variable keeps its value";
    EXPECT_NE(std::find(list.field_events.begin(), list.field_events.end(), ui::event::kRejected),
              list.field_events.end());
    ASSERT_TRUE(e.RequestClose(list.window_).ok());
  });
  list.Run();
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

// Two lists on the tabs of a sheet, each a target of the toolbar; only
// the first has an insert button.  The toolbar's buttons are on the window.
class TabbedLists : public WindowManager {
 public:
  static constexpr int kSheet = 10, kFirstTab = 11, kSecondTab = 12;
  static constexpr int kFirstList = 13, kSecondList = 14, kInsertButton = 15, kBar = 16;

  TabbedLists(ui::Engine& engine, ErrorManager& errors) : WindowManager(engine, window_, errors) {
    window_.Add(ui::ControlKind::kSheet, kSheet, "").selected = 1;
    window_.Add(ui::ControlKind::kTab, kFirstTab, "Namen", kSheet);
    window_.Add(ui::ControlKind::kTab, kSecondTab, "Plaatsen", kSheet);
    window_.Add(ui::ControlKind::kList, kFirstList, "", kFirstTab).format_text = "40L|M@s20@";
    window_.Add(ui::ControlKind::kButton, kInsertButton, "&Toevoegen", kFirstTab);
    window_.Add(ui::ControlKind::kList, kSecondList, "", kSecondTab).format_text = "40L|M@s20@";
    window_.Add(ui::ControlKind::kToolbar, kBar, "");
    for (int button = toolbar::kInsert; button <= toolbar::kHelp; ++button) {
      window_.Add(ui::ControlKind::kButton, button, "", kBar);
    }
  }
  int Init() override {
    WindowManager::Init();
    if (set_up) set_up(*this);
    AddToolbar(toolbar_, window_);
    toolbar_.AddTarget({kFirstList, 0, kInsertButton, 0, 0, 0, nullptr});
    toolbar_.AddTarget({kSecondList, 0, 0, 0, 0, 0, nullptr});
    toolbar_.SetTarget(kFirstList);
    AddBrowse(browse);
    return engine().Open(window_).ok() ? 0 : 1;
  }
  int HandleFieldEvent() override {
    field_events.emplace_back(engine().EventCode(), engine().EventControl());
    return window_result::kGoOn;
  }
  bool Enabled(int button) { return window_.Find(button)->enabled; }

  ui::Window window_{"Tabs"};
  Toolbar toolbar_;
  NotingBrowse browse;
  std::function<void(TabbedLists&)> set_up;
  std::vector<std::pair<int, int>> field_events;
};

TEST_F(WindowDispatchTest, ToolbarFollowsTheListOnTheChosenTab) {
  TabbedLists tabs(engine_, errors_);
  Then([&](HeadlessEngine& e) {
    EXPECT_TRUE(tabs.Enabled(toolbar::kInsert));
    EXPECT_FALSE(tabs.Enabled(toolbar::kHistory));
    ASSERT_TRUE(e.Pick(tabs.window_, TabbedLists::kSheet, 2).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(tabs.toolbar_.CurrentTarget()->CONTROL, TabbedLists::kSecondList);
    EXPECT_FALSE(tabs.Enabled(toolbar::kInsert)) << "the second list has no insert button";
    EXPECT_TRUE(tabs.Enabled(toolbar::kDown));
    // The toolbar's next-record button scrolls the list now targeted.
    ASSERT_TRUE(e.Press(tabs.window_, toolbar::kDown).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_NE(std::find(tabs.field_events.begin(), tabs.field_events.end(),
                        std::make_pair(int{ui::event::kScrollDown}, int{TabbedLists::kSecondList})),
              tabs.field_events.end());
    ASSERT_TRUE(e.Pick(tabs.window_, TabbedLists::kSheet, 1).ok());
  });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(tabs.toolbar_.CurrentTarget()->CONTROL, TabbedLists::kFirstList);
    EXPECT_TRUE(tabs.Enabled(toolbar::kInsert));
    ASSERT_TRUE(e.RequestClose(tabs.window_).ok());
  });
  tabs.Run();
  EXPECT_EQ(tabs.browse.resets, (std::vector<bool>{true, false, false}))
      << "each new tab resets the window";

  // Without AUTOTOOLBAR the toolbar stays with its target.
  TabbedLists fixed(engine_, errors_);
  fixed.set_up = [](TabbedLists& w) { w.AUTOTOOLBAR = 0; };
  Then([&](HeadlessEngine& e) { ASSERT_TRUE(e.Pick(fixed.window_, TabbedLists::kSheet, 2).ok()); });
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(fixed.toolbar_.CurrentTarget()->CONTROL, TabbedLists::kFirstList);
    EXPECT_TRUE(fixed.Enabled(toolbar::kInsert));
    ASSERT_TRUE(e.RequestClose(fixed.window_).ok());
  });
  fixed.Run();
}

TEST_F(WindowDispatchTest, TranslatorRewritesTheTextsWhenTheWindowOpens) {
  struct Dutch : WindowTranslator {
    int calls = 0;
    void Translate(ui::Window& window) override {
      ++calls;
      if (window.title() == "Campings") window.set_title("Alle campings");
      for (ui::Control& control : window.controls()) {
        if (control.text == "&OK") control.text = "&Akkoord";
      }
    }
  } dutch;
  ListWindow list(engine_, errors_);
  list.set_up = [&](ListWindow& w) { w.TRANSLATOR = &dutch; };
  Then([&](HeadlessEngine& e) {
    EXPECT_EQ(list.window_.title(), "Alle campings");
    EXPECT_EQ(list.window_.Find(kOkButton)->text, "&Akkoord");
    ASSERT_TRUE(e.Resize(list.window_, 300, 150).ok());
  });
  Then([&](HeadlessEngine& e) { ASSERT_TRUE(e.RequestClose(list.window_).ok()); });
  list.Run();
  EXPECT_EQ(dutch.calls, 1);
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
