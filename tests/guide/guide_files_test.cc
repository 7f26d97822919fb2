#include "guide/guide_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/record_fields.h"
#include "guide/dictionary.h"
#include "guide/records.h"
#include "guide/relations.h"
#include "platform/path.h"
#include "runtime/error_state.h"
#include "tests/support/temp_folder.h"
#include "ui/headless_engine.h"

namespace tentaria::guide {
namespace {

using framework::SeverityNotify;
using framework::SeverityQuiet;

size_t FieldOf(GuideFile file, std::string_view label) {
  return FieldNumber(Descriptor(file), label).value();
}
size_t KeyOf(GuideFile file, std::string_view label) {
  return KeyNumber(Descriptor(file), label).value();
}
std::string NumberLabel(GuideFile file) { return Descriptor(file).prefix + ":NUMMER"; }

int64_t NumberIn(storage::DeclaredFile& file, GuideFile guide_file) {
  return framework::FieldNumber(file, FieldOf(guide_file, NumberLabel(guide_file))).ToInt64();
}

// A small guide in a folder of its own, which is the guide folder while
// the test runs; the working files go to the drive table's drive C.
class GuideStartUpTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    old_folder_ = platform::CurrentFolder();
    platform::SetCurrentFolder(guide_.path());
    engine_.set_input(&input_);
    errors_.Init(engine_);
    runtime::ClearError();
    // Campsites 7 and 9; only 7 has details, two information records
    // and a mark in the own selection.
    Write(GuideFile::GezNAW, {7, 9});
    for (GuideFile file : {GuideFile::GezFAC, GuideFile::GezSEL, GuideFile::GezPRIJZ,
                           GuideFile::GEZFOTO, GuideFile::TagFile}) {
      Write(file, {7});
    }
    Write(GuideFile::GezINFO, {7, 7});
  }
  void TearDown() override {
    files_.ShutDown();
    platform::SetCurrentFolder(old_folder_);
    runtime::ClearError();
  }

  // Creates the file with one record per number, through a declaration
  // of its own (not the guide's record buffer).
  void Write(GuideFile file, const std::vector<int64_t>& numbers) {
    storage::DeclaredFile declared(Descriptor(file));
    declared.block().name = Settings(file).FILENAMEVALUE;
    if (IsWorkingFile(file)) {
      ASSERT_TRUE(MakeWorkingFolder().ok());
    }
    ASSERT_EQ(declared.Create(), 0) << Descriptor(file).name;
    ASSERT_EQ(declared.Open(0x12), 0);
    for (int64_t number : numbers) {
      framework::ClearRecord(declared);
      framework::SetFieldNumber(declared, FieldOf(file, NumberLabel(file)),
                                runtime::DecimalRegister::FromInt64(number));
      ASSERT_EQ(declared.Add(), 0);
    }
    ASSERT_EQ(declared.Close(), 0);
  }

  // Looks up the related records of the current record of `file` through
  // its relation manager: the number of relations whose record was found.
  int FoundRelated(GuideFile file) {
    int found = 0;
    for (framework::FileRelation& relation : files_.Relations(file).RELATIONS) {
      framework::FileManager& his = *relation.FILE->ME;
      for (const framework::RelationField& link : relation.FIELDS) {
        framework::CopyValue(files_.File(file), link.LEFT, *his.FILE, link.RIGHT);
      }
      if (his.FetchOrClear(relation.HISKEY) == SeverityQuiet) ++found;
    }
    return found;
  }

  test_support::TempFolder guide_;
  std::string old_folder_;
  ui::HeadlessEngine engine_;
  ui::ActionInput input_;
  framework::ErrorManager errors_;
  GuideFiles files_;
};

TEST_F(GuideStartUpTest, EveryFileOpensThroughItsManager) {
  ASSERT_TRUE(files_.StartUp(errors_).ok());
  for (GuideFile file : kGuideFiles) {
    SCOPED_TRACE(Descriptor(file).name);
    framework::FileManager& manager = files_.Manager(file);
    EXPECT_EQ(manager.FILENAMEVALUE, Settings(file).FILENAMEVALUE);
    EXPECT_EQ(manager.LOCKRECOVER, 10);
    EXPECT_EQ(manager.CREATE, Settings(file).CREATE ? 1 : 0);
    EXPECT_EQ(manager.KEYS.size(), Descriptor(file).keys.size());
    EXPECT_EQ(manager.Open(), SeverityQuiet);
    EXPECT_EQ(manager.EnsureOpen(), SeverityQuiet);
    EXPECT_EQ(manager.Info().USED, 1);
  }
  EXPECT_TRUE(engine_.messages().empty());
  // The working files were made in the working folder; the empty province
  // file in the guide folder.
  EXPECT_TRUE(std::filesystem::exists(HostFileName(GuideFile::Selectie)));
  EXPECT_TRUE(std::filesystem::exists(HostFileName(GuideFile::Gezvonde)));
  EXPECT_TRUE(std::filesystem::exists(HostFileName(GuideFile::PROVINCI)));
  EXPECT_EQ(files_.Manager(GuideFile::GezNAW).HASAUTOINC, 1);
  EXPECT_EQ(files_.Manager(GuideFile::GezFAC).HASAUTOINC, 0);

  // Shut-down closes them all: each can be had exclusively again.
  files_.ShutDown();
  for (GuideFile file : kGuideFiles) {
    storage::DeclaredFile other(Descriptor(file));
    other.block().name = Settings(file).FILENAMEVALUE;
    EXPECT_EQ(other.Open(0x12), 0) << Descriptor(file).name;
  }
}

TEST_F(GuideStartUpTest, DamagedGuideFileIsReportedByItsName) {
  test_support::WriteTextFile(HostFileName(GuideFile::GezFAC), std::string(4096, 'x'));
  ASSERT_TRUE(files_.StartUp(errors_).ok());
  framework::FileManager& manager = files_.Manager(GuideFile::GezFAC);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  input_.Add([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.AnswerMessage(ui::button::kOk).ok()); });
  EXPECT_EQ(manager.EnsureOpen(), framework::SeverityFatal);
  ASSERT_EQ(engine_.messages().size(), 1u);
  EXPECT_TRUE(engine_.messages()[0].box.text.starts_with(
      "File (GezFAC.TVN) could not be opened.  Error: "));
  EXPECT_TRUE(engine_.halted());

  // Missing files are made empty (their declarations ask for that).
  std::filesystem::remove(HostFileName(GuideFile::GezNAW));
  ASSERT_EQ(files_.Manager(GuideFile::GezNAW).Open(), SeverityQuiet);
  EXPECT_EQ(files_.Manager(GuideFile::GezNAW).TryNext(), SeverityNotify);
  EXPECT_EQ(files_.Manager(GuideFile::GezNAW).Info().ATEOF, 1);
}

TEST_F(GuideStartUpTest, RelatedRecordsAreFoundByCampsiteNumber) {
  ASSERT_TRUE(files_.StartUp(errors_).ok());
  for (GuideFile file : kGuideFiles) ASSERT_EQ(files_.Manager(file).Open(), SeverityQuiet);
  framework::FileManager& campsites = files_.Manager(GuideFile::GezNAW);
  const size_t by_number = KeyOf(GuideFile::GezNAW, "GNAW:BY_NUMMER");

  // Campsite 7 reaches its facilities, selection, information, prices,
  // pictures and its mark; the guide's record buffers hold them.
  framework::SetFieldNumber(files_.File(GuideFile::GezNAW),
                            FieldOf(GuideFile::GezNAW, "GNAW:NUMMER"),
                            runtime::DecimalRegister::FromInt64(7));
  ASSERT_EQ(campsites.FetchOrClear(by_number), SeverityQuiet);
  EXPECT_EQ(FoundRelated(GuideFile::GezNAW), 6);
  EXPECT_EQ(runtime::DecimalRegister::LoadDecimal(GFAC.NUMMER, 0).ToInt64(), 7);
  EXPECT_EQ(runtime::DecimalRegister::LoadDecimal(GPRI.NUMMER, 0).ToInt64(), 7);
  EXPECT_EQ(runtime::DecimalRegister::LoadDecimal(TAG.NUMMER, 2).ToInt64(), 7);

  // Campsite 9 has none: every related buffer is cleared.
  framework::SetFieldNumber(files_.File(GuideFile::GezNAW),
                            FieldOf(GuideFile::GezNAW, "GNAW:NUMMER"),
                            runtime::DecimalRegister::FromInt64(9));
  ASSERT_EQ(campsites.FetchOrClear(by_number), SeverityQuiet);
  EXPECT_EQ(FoundRelated(GuideFile::GezNAW), 0);
  EXPECT_EQ(NumberIn(files_.File(GuideFile::GezFAC), GuideFile::GezFAC), 0);
  EXPECT_EQ(std::string(GFAC.NUMMER, GFAC.NUMMER + 3), std::string(3, '\0'));

  // From the other end: the mark and the pictures find their campsite.
  framework::SetFieldNumber(files_.File(GuideFile::TagFile),
                            FieldOf(GuideFile::TagFile, "TAG:NUMMER"),
                            runtime::DecimalRegister::FromInt64(7));
  EXPECT_EQ(FoundRelated(GuideFile::TagFile), 1);
  EXPECT_EQ(runtime::DecimalRegister::LoadDecimal(GNAW.NUMMER, 0).ToInt64(), 7);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(GuideStartUpTest, RelationsHoldBothWays) {
  ASSERT_TRUE(files_.StartUp(errors_).ok());
  size_t relations = 0;
  for (GuideFile file : kGuideFiles) {
    for (const framework::FileRelation& relation : files_.Relations(file).RELATIONS) {
      ++relations;
      ASSERT_EQ(relation.FIELDS.size(), 1u);
      EXPECT_EQ(relation.UPDATEMODE, framework::relation_mode::kNone);
      EXPECT_EQ(relation.DELETEMODE, framework::relation_mode::kNone);
      // The related file holds the same link the other way round.
      int back = 0;
      for (const framework::FileRelation& other : relation.FILE->RELATIONS) {
        if (other.FILE == &files_.Relations(file) && other.FIELDS.size() == 1 &&
            other.FIELDS[0].LEFT == relation.FIELDS[0].RIGHT &&
            other.FIELDS[0].RIGHT == relation.FIELDS[0].LEFT) {
          ++back;
        }
      }
      EXPECT_EQ(back, 1) << Descriptor(file).name;
    }
  }
  EXPECT_EQ(relations, 2 * RelationLinks().size());
}

TEST_F(GuideStartUpTest, FieldRulesGuardTheWrites) {
  ASSERT_TRUE(files_.StartUp(errors_).ok());
  framework::FileManager& pictures = files_.Manager(GuideFile::GEZFOTO);
  ASSERT_EQ(pictures.Open(), SeverityQuiet);
  framework::ClearRecord(files_.File(GuideFile::GEZFOTO));
  GFOT.AANTALFOTOS = 6;
  input_.Add([](ui::HeadlessEngine& e) { ASSERT_TRUE(e.AnswerMessage(ui::button::kOk).ok()); });
  EXPECT_EQ(pictures.Insert(), SeverityNotify);
  ASSERT_EQ(engine_.messages().size(), 1u);
  EXPECT_EQ(engine_.messages()[0].box.caption, "Range Error");
  EXPECT_EQ(engine_.messages()[0].box.text,
            "The value of GFOT:AANTALFOTOS must be between 0 and 5.");
  GFOT.AANTALFOTOS = 5;
  EXPECT_EQ(pictures.Insert(), SeverityQuiet);
}

}  // namespace
}  // namespace tentaria::guide
