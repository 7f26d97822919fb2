#include "framework/error_manager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/error_messages.h"
#include "runtime/error_state.h"
#include "ui/headless_engine.h"

namespace tentaria::framework {
namespace {

using ui::button::kCancel;
using ui::button::kNo;
using ui::button::kOk;
using ui::button::kYes;

std::string Block(const std::vector<ErrorEntry>& entries) {
  std::string block;
  EXPECT_TRUE(PackMessages(entries, &block).ok());
  return block;
}

TEST(ErrorMessagesTest, BuiltInBlockHoldsEveryNumberButTwentyNine) {
  std::vector<ErrorEntry> entries;
  ASSERT_TRUE(UnpackMessages(DefaultErrors(), &entries).ok());
  std::set<int> numbers;
  for (const ErrorEntry& entry : entries) EXPECT_TRUE(numbers.insert(entry.ID).second);
  EXPECT_EQ(numbers.size(), 39u);
  EXPECT_EQ(*numbers.begin(), 1);
  EXPECT_EQ(*numbers.rbegin(), 40);
  EXPECT_EQ(numbers.count(29), 0u);
  for (const ErrorEntry& entry : entries) {
    if (entry.ID == 19) {
      EXPECT_EQ(entry.MESSAGE, "%File File Load Error.  Error: %ErrorText.");
      EXPECT_EQ(entry.FATALITY, SeverityNotify);
    }
    if (entry.ID == 39) {
      EXPECT_EQ(entry.FATALITY, SeverityProgram);
    }
  }
}

TEST(ErrorMessagesTest, PackedBlocksRoundTripAndBadOnesAreRefused) {
  std::vector<ErrorEntry> entries = {{300, "Tekst \xe9\xe9n", "Titel", SeverityNotify},
                                     {301, "", "", SeverityQuiet}};
  std::string block = Block(entries);
  std::vector<ErrorEntry> back;
  ASSERT_TRUE(UnpackMessages(block, &back).ok());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].ID, 300);
  EXPECT_EQ(back[0].MESSAGE, "Tekst \xe9\xe9n");
  EXPECT_EQ(back[0].TITLE, "Titel");
  EXPECT_EQ(back[1].FATALITY, SeverityQuiet);

  // Every cut, and a byte too many, is refused and reads nothing.
  for (size_t length = 0; length < block.size(); ++length) {
    std::vector<ErrorEntry> read = {{1, "blijft", "", 0}};
    EXPECT_FALSE(UnpackMessages(block.substr(0, length), &read).ok()) << length;
    EXPECT_EQ(read.size(), 1u);
  }
  EXPECT_FALSE(UnpackMessages(block + "x", &back).ok());

  std::string too_long;
  EXPECT_FALSE(PackMessages({{1, std::string(256, 'x'), "", 0}}, &too_long).ok());
  EXPECT_TRUE(too_long.empty());
}

class ErrorManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.set_input(&input_);
    errors_.Init(engine_);
    runtime::ClearError();
  }
  void TearDown() override { runtime::ClearError(); }

  // The user answers the next message box with `button`.
  void Answer(int button) {
    input_.Add([button](ui::HeadlessEngine& e) { ASSERT_TRUE(e.AnswerMessage(button).ok()); });
  }
  const ui::MessageBox& LastBox() const { return engine_.messages().back().box; }
  std::string Shown(uint16_t id) {
    Answer(kOk);
    errors_.HandleError(id);
    return LastBox().text;
  }

  ui::HeadlessEngine engine_;
  ui::ActionInput input_;
  ErrorManager errors_;
};

TEST_F(ErrorManagerTest, FatalOpenErrorShowsFileAndErrorThenHaltsWithFailure) {
  runtime::SetFileError(2, "GezNAW.TVN");
  errors_.SetFile("GezNAW.TVN");
  Answer(kOk);
  EXPECT_EQ(errors_.Raise(23), SeverityFatal);

  ASSERT_EQ(engine_.messages().size(), 1u);
  const ui::MessageBox& box = LastBox();
  EXPECT_EQ(box.text,
            "File (GezNAW.TVN) could not be opened.  Error: File Not Found (2).  Press OK to end "
            "this application");
  EXPECT_EQ(box.caption, "File Access Error");
  EXPECT_EQ(box.buttons, kOk);
  EXPECT_EQ(ui::SystemIconNumber(box.icon), kInformationIcon);
  EXPECT_EQ(box.icon, std::string("\xff\x01\x04\x7f", 4));
  EXPECT_TRUE(engine_.halted());
  EXPECT_NE(engine_.exit_code(), 0);
  EXPECT_EQ(engine_.halt_text(), "File Access Error");
}

TEST_F(ErrorManagerTest, ConfirmationsAnswerZeroForYesAndFourOtherwise) {
  Answer(kNo);
  EXPECT_EQ(errors_.Raise(9), SeverityCancel);
  const ui::MessageBox& box = LastBox();
  EXPECT_EQ(box.text, "Are you sure you want to delete the highlighted record?");
  EXPECT_EQ(box.caption, "Confirm Delete");
  EXPECT_EQ(box.buttons, kYes | kNo);
  EXPECT_EQ(box.default_button, kYes);
  EXPECT_EQ(ui::SystemIconNumber(box.icon), kExclamationIcon);
  Answer(kYes);
  EXPECT_EQ(errors_.Raise(9), SeverityQuiet);

  // Severity 4 asks the same question.
  ASSERT_TRUE(errors_.AddMessages(Block({{200, "Doorgaan?", "Vraag", SeverityCancel}})).ok());
  Answer(kYes);
  EXPECT_EQ(errors_.Raise(200), SeverityQuiet);
  Answer(kNo);
  EXPECT_EQ(errors_.Raise(200), SeverityCancel);
  EXPECT_FALSE(engine_.halted());
}

TEST_F(ErrorManagerTest, EveryNotifyMessageGivesFiveAfterOk) {
  std::vector<ErrorEntry> entries;
  ASSERT_TRUE(UnpackMessages(DefaultErrors(), &entries).ok());
  int shown = 0;
  for (const ErrorEntry& entry : entries) {
    if (entry.FATALITY != SeverityNotify) continue;
    Answer(kOk);
    EXPECT_EQ(errors_.Raise(entry.ID), SeverityNotify) << entry.ID;
    EXPECT_EQ(LastBox().buttons, kOk);
    EXPECT_EQ(LastBox().caption, entry.TITLE);
    EXPECT_EQ(ui::SystemIconNumber(LastBox().icon), kInformationIcon);
    ++shown;
  }
  EXPECT_EQ(shown, static_cast<int>(engine_.messages().size()));
  EXPECT_GT(shown, 20);
}

TEST_F(ErrorManagerTest, QuietShowsNothingAndUnknownSeveritiesAreFatal) {
  ASSERT_TRUE(
      errors_
          .AddMessages(Block({{201, "Stil", "Stil", SeverityQuiet}, {202, "Vreemd", "Vreemd", 9}}))
          .ok());
  EXPECT_EQ(errors_.Raise(201), SeverityQuiet);
  EXPECT_TRUE(engine_.messages().empty());

  Answer(kOk);
  EXPECT_EQ(errors_.Raise(202), SeverityFatal);
  EXPECT_EQ(LastBox().text, "Vreemd  Press OK to end this application");
  EXPECT_TRUE(engine_.halted());
  EXPECT_NE(engine_.exit_code(), 0);
}

TEST_F(ErrorManagerTest, ProgrammingErrorsEndTheProgram) {
  errors_.SetFile("TagFile");
  Answer(kOk);
  EXPECT_EQ(errors_.Raise(39), SeverityFatal);
  EXPECT_EQ(LastBox().text,
            "Attempt to use file (TagFile) before it was opened  Press OK to end this application");
  EXPECT_TRUE(engine_.halted());
  EXPECT_EQ(engine_.halt_text(), "File Usage Error");
}

TEST_F(ErrorManagerTest, NumberInNoBlockIsShownAsProgrammingError) {
  Answer(kOk);
  EXPECT_EQ(errors_.Raise(29), SeverityFatal);
  EXPECT_EQ(LastBox().caption, "Program Error");
  EXPECT_EQ(LastBox().text,
            "The message 29 has not been defined.  Press OK to end this application");
  EXPECT_TRUE(engine_.halted());
}

TEST_F(ErrorManagerTest, LaterBlockTakesPrecedenceAndPreviousBringsTheEarlierText) {
  ASSERT_TRUE(errors_
                  .AddMessages(Block({{9, "%Previous Dit kan niet ongedaan worden.", "Verwijderen?",
                                       SeverityConfirm}}))
                  .ok());
  Answer(kYes);
  EXPECT_EQ(errors_.Raise(9), SeverityQuiet);
  EXPECT_EQ(LastBox().text,
            "Are you sure you want to delete the highlighted record? Dit kan niet ongedaan "
            "worden.");
  EXPECT_EQ(LastBox().caption, "Verwijderen?");

  // A third entry chains through both earlier ones.
  ASSERT_TRUE(errors_.AddMessages(Block({{9, "%PREVIOUS Zeker?", "Echt?", 1}})).ok());
  Answer(kYes);
  errors_.Raise(9);
  EXPECT_EQ(LastBox().text,
            "Are you sure you want to delete the highlighted record? Dit kan niet ongedaan "
            "worden. Zeker?");
}

TEST_F(ErrorManagerTest, PreviousWithoutEarlierEntryIsRemoved) {
  ASSERT_TRUE(errors_.AddMessages(Block({{210, "Begin%Previous eind", "T", 5}})).ok());
  EXPECT_EQ(Shown(210), "Begin eind");
}

TEST_F(ErrorManagerTest, PreviousTextGetsItsPlaceholdersFilled) {
  ASSERT_TRUE(errors_.AddMessages(Block({{19, "%Previous Bel de helpdesk.", "T", 5}})).ok());
  runtime::SetFileError(2, "");
  errors_.SetFile("GezFAC.TVN");
  Answer(kOk);
  errors_.Raise(19);
  EXPECT_EQ(LastBox().text,
            "GezFAC.TVN File Load Error.  Error: File Not Found (2). Bel de helpdesk.");
}

TEST_F(ErrorManagerTest, PlaceholdersAreFoundWithoutRegardToCaseAndInOrder) {
  runtime::SetDriverError(90, 13, "Permission denied   ", "GezNAW.TVN");
  errors_.SetFile("GezNAW.TVN   ");
  errors_.SetField("GFOT:AANTALFOTOS");
  ASSERT_TRUE(errors_
                  .AddMessages(Block({{220,
                                       "[%fileerrorcode][%FileError][%file][%ErrorCode][%ErrorText]"
                                       "[%Error][%MESSAGE][%Field]",
                                       "T", 5}}))
                  .ok());
  Answer(kOk);
  errors_.RaiseWithText(220, "0 and 5   ");
  EXPECT_EQ(LastBox().text,
            "[13][Permission denied][GezNAW.TVN][90][Permission denied (13)][File System Error]"
            "[0 and 5][GFOT:AANTALFOTOS]");
}

TEST_F(ErrorManagerTest, ErrorStateIsSavedWhenRaised) {
  runtime::SetFileError(5, "GezSEL.TVN");
  errors_.SetFile("GezSEL.TVN");
  Answer(kOk);
  errors_.Raise(1);
  runtime::ClearError();
  // HandleError shows what the last raise saved.
  EXPECT_EQ(Shown(1),
            "Error: (Access Denied (5)) attempting to access a record from the GezSEL.TVN file.  "
            "Returning to previous window.");
}

TEST_F(ErrorManagerTest, ValuesHoldingPlaceholdersNeitherLoopNorOverflow) {
  ASSERT_TRUE(
      errors_
          .AddMessages(Block({{230, "%File en %File", "T", 5},
                              {231,
                               std::string(40, 'x') + "%Message%Message%Message"
                                                      "%Message%Message%Message%Message%Message",
                               "T", 5}}))
          .ok());
  errors_.SetFile("%File.TVN");
  EXPECT_EQ(Shown(230), "%File.TVN en %File.TVN");

  // Text brought in is searched by the later steps.
  errors_.SetFile("%Field");
  errors_.SetField("NAAM");
  EXPECT_EQ(Shown(230), "NAAM en NAAM");

  errors_.MESSAGETEXT = std::string(255, 'm');
  std::string text = Shown(231);
  EXPECT_EQ(text.size(), ErrorManager::kWorkBufferSize);
  EXPECT_EQ(text.substr(0, 41), std::string(40, 'x') + "m");
}

TEST_F(ErrorManagerTest, FixedTextsAreCutTo255Characters) {
  errors_.SetFile(std::string(300, 'f'));
  errors_.SetField(std::string(300, 'v'));
  Answer(kOk);
  errors_.RaiseWithText(16, std::string(300, 'm'));
  EXPECT_EQ(errors_.FILENAME.size(), 255u);
  EXPECT_EQ(errors_.FIELDNAME.size(), 255u);
  EXPECT_EQ(errors_.MESSAGETEXT.size(), 255u);
}

TEST_F(ErrorManagerTest, AskReturnsTheButtonPressed) {
  Answer(kCancel);
  EXPECT_EQ(errors_.Ask(35, kYes | kNo | kCancel, kYes), kCancel);
  EXPECT_EQ(LastBox().text, "Do you want to save the changes to this record?");
  EXPECT_EQ(LastBox().caption, "Save Record");
  EXPECT_EQ(LastBox().buttons, 70);
  EXPECT_EQ(ui::SystemIconNumber(LastBox().icon), kExclamationIcon);
  EXPECT_EQ(errors_.Current().ID, 35);
}

TEST_F(ErrorManagerTest, MalformedBlockIsRefusedWhole) {
  size_t before = errors_.ERRORS.size();
  std::string block = Block({{240, "Een", "T", 5}, {241, "Twee", "T", 5}});
  EXPECT_FALSE(errors_.AddMessages(block.substr(0, block.size() - 1)).ok());
  EXPECT_EQ(errors_.ERRORS.size(), before);
}

// A manager that keeps the program running on programming errors.
class LenientErrors : public ErrorManager {
 public:
  int OnProgram() override {
    ++programming_errors;
    return SeverityProgram;
  }
  int programming_errors = 0;
};

TEST_F(ErrorManagerTest, DerivedHandlersReplaceTheChain) {
  LenientErrors errors;
  errors.Init(engine_);
  ASSERT_TRUE(errors.AddMessages(Block({{250, "Anders", "T", 77}})).ok());
  EXPECT_EQ(errors.Raise(250), SeverityProgram);  // OnOther goes through OnProgram
  EXPECT_EQ(errors.Raise(39), SeverityProgram);
  EXPECT_EQ(errors.programming_errors, 2);
  EXPECT_FALSE(engine_.halted());
  EXPECT_TRUE(engine_.messages().empty());
}

}  // namespace
}  // namespace tentaria::framework
