// Opening, sharing, creating and closing tables through the Tavrin driver,
// and what the dispatch answers around them.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "storage/error_texts.h"
#include "storage/tavrin_driver.h"
#include "tests/storage/driver_fixture.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::GuestDeclaration;
using testing::SetRow;

TEST_F(DriverTest, OperationsOnAFileNotOpenFail) {
  auto file = Declare();
  EXPECT_EQ(file->Next(), error::kFileNotOpen);
  EXPECT_EQ(file->Add(), error::kFileNotOpen);
  EXPECT_EQ(runtime::CurrentError().file, TableName());
  EXPECT_EQ(file->Close(), 0);
  EXPECT_EQ(file->Call(op::QUERY_VIEW), 0);
  EXPECT_EQ(file->Call(op::STREAM), 0);
}

TEST_F(DriverTest, OpenCreatesWithTheCreateAttributeOnly) {
  FileDescriptor plain = GuestDeclaration(TableName());
  plain.attributes = 0;
  DeclaredFile without_create(plain);
  EXPECT_EQ(without_create.Open(), error::kFileNotFound);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("guide.tvn")));

  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  EXPECT_EQ(file->Open(), error::kFileAlreadyOpen);
  uint32_t count = 99;
  EXPECT_EQ(file->Records(&count), 0);
  EXPECT_EQ(count, 0u);
  ASSERT_EQ(file->Close(), 0);
  EXPECT_EQ(without_create.Open(), 0);
  ASSERT_EQ(without_create.Close(), 0);
  // Another table of the same file is still missing.
  plain.name = TableName("ANDERE");
  DeclaredFile other(plain);
  EXPECT_EQ(other.Open(), error::kFileNotFound);
}

TEST_F(DriverTest, ADeclarationThatDiffersIsRefusedAndOneWithoutRecordLearnsIt) {
  {
    auto file = Declare();
    ASSERT_EQ(file->Open(), 0);
    SetRow(*file, 5, "Visser");
    ASSERT_EQ(file->Add(), 0);
  }
  FileDescriptor changed = GuestDeclaration(TableName());
  changed.layout.fields[1].size = 8;
  changed.layout.fields[1].string_length = 8;
  changed.layout.record_size = 12;
  DeclaredFile wrong(changed);
  EXPECT_EQ(wrong.Open(), error::kInvalidRecordDeclaration);

  FileDescriptor bare = GuestDeclaration(TableName());
  bare.attributes = 0;
  bare.layout = RecordLayout();
  bare.keys.clear();
  bare.memos.clear();
  DeclaredFile learner(bare);
  ASSERT_EQ(learner.Open(), 0);
  EXPECT_EQ(learner.block().layout.record_size, 14);
  EXPECT_EQ(learner.block().keys.size(), 2u);
  ASSERT_EQ(learner.record().size(), 14u);
  ASSERT_EQ(learner.Next(), 0);
  EXPECT_EQ(testing::NumberOf(learner), 5);
}

TEST_F(DriverTest, ARecordBufferOfTheWrongLengthIsRefused) {
  FileDescriptor declaration = GuestDeclaration(TableName());
  DeclaredFile file(declaration);
  std::vector<char> small(6);
  file.block().record = small;
  EXPECT_EQ(file.Open(), error::kInvalidRecordDeclaration);
}

TEST_F(DriverTest, AFileThatIsNoRecordFileIsInvalid) {
  std::ofstream(dir_.File("guide.tvn")) << "not a record file at all";
  auto file = Declare();
  EXPECT_EQ(file->Open(), error::kInvalidDataFile);
}

TEST_F(DriverTest, SharingModesDecideWhoMayOpen) {
  namespace mode = platform::open_mode;
  auto first = Declare();
  ASSERT_EQ(first->Open(mode::kReadWrite | mode::kDenyAll), 0);
  auto second = Declare();
  EXPECT_EQ(second->Open(mode::kRead | mode::kDenyNone), error::kAccessDenied);
  EXPECT_EQ(runtime::CurrentError().code, 5);
  ASSERT_EQ(first->Close(), 0);

  ASSERT_EQ(first->Share(), 0);
  ASSERT_EQ(second->Share(), 0);
  SetRow(*first, 1, "Bakker");
  ASSERT_EQ(first->Add(), 0);
  ASSERT_EQ(second->Next(), 0);
  EXPECT_EQ(testing::NameOf(*second), "Bakker");

  // Deny write keeps writers out but lets readers in.
  ASSERT_EQ(first->Close(), 0);
  ASSERT_EQ(second->Close(), 0);
  ASSERT_EQ(first->Open(mode::kReadWrite | mode::kDenyWrite), 0);
  EXPECT_EQ(second->Open(mode::kReadWrite | mode::kDenyNone), error::kAccessDenied);
  EXPECT_EQ(second->Open(mode::kRead | mode::kDenyNone), 0);
  SetRow(*second, 2, "Smit");
  EXPECT_EQ(second->Add(), error::kAccessDenied);
}

TEST_F(DriverTest, CreateMakesAnEmptyTableAndNeverOverwritesOne) {
  auto file = Declare();
  ASSERT_EQ(file->Create(), 0);
  ASSERT_EQ(file->Open(), 0);
  uint32_t count = 7;
  EXPECT_EQ(file->Records(&count), 0);
  EXPECT_EQ(count, 0u);
  SetRow(*file, 1, "De Vries");
  ASSERT_EQ(file->Add(), 0);
  EXPECT_EQ(file->Create(), error::kFileAlreadyOpen);
  ASSERT_EQ(file->Close(), 0);

  // A named table that exists keeps its rows.
  EXPECT_EQ(file->Create(), error::kAccessDenied);
  ASSERT_EQ(file->Open(), 0);
  EXPECT_EQ(file->Records(&count), 0);
  EXPECT_EQ(count, 1u);
  ASSERT_EQ(file->Close(), 0);

  // A file without table names is made anew.
  DeclaredFile whole(GuestDeclaration(dir_.File("los.tvn")));
  ASSERT_EQ(whole.Open(), 0);
  SetRow(whole, 3, "Mulder");
  ASSERT_EQ(whole.Add(), 0);
  ASSERT_EQ(whole.Close(), 0);
  ASSERT_EQ(whole.Create(), 0);
  ASSERT_EQ(whole.Open(), 0);
  EXPECT_EQ(whole.Records(&count), 0);
  EXPECT_EQ(count, 0u);
}

TEST_F(DriverTest, NameQueryKeyAndSend) {
  auto file = Declare();
  EXPECT_EQ(file->Call(op::NAME), 0);
  EXPECT_EQ(file->block().answer_text, TableName());
  ASSERT_EQ(file->Open(), 0);
  ASSERT_EQ(file->Call(op::QUERY_KEY, {{testing::kByName}, {}}), 0);
  EXPECT_EQ(file->block().answer_text, "G:KEYNAAM");
  EXPECT_EQ(file->block().answer, key_attribute::DUP | key_attribute::NOCASE);
  EXPECT_EQ(file->Call(op::QUERY_KEY, {{5}, {}}), 77);
  EXPECT_EQ(file->Call(op::QUERY_VIEW), 0);
  EXPECT_EQ(file->block().answer, 0);
  EXPECT_EQ(file->Call(op::ENDVIEW), 0);

  std::string answer;
  EXPECT_EQ(file->Send("FULLBUILD", &answer), 0);
  EXPECT_EQ(answer, "OFF");
  EXPECT_EQ(file->Send("fullbuild=on", &answer), 0);
  EXPECT_EQ(answer, "ON");
  EXPECT_EQ(file->Send("FULLBUILD", &answer), 0);
  EXPECT_EQ(answer, "ON");
  EXPECT_EQ(file->Send("FULLBUILD=MAYBE", &answer), error::kInvalidNumberOfParameters);
}

TEST_F(DriverTest, RuntimeNamesAreMappedToTheHost) {
  setenv("TENTARIA_DRIVE_Q", dir_.path().c_str(), 1);
  DeclaredFile file(GuestDeclaration("Q:\\GIDS\\!gasten"));
  ASSERT_EQ(file.Open(), 0);
  SetRow(file, 1, "Jansen");
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  // The default extension was added; an existing file is found without
  // regard to case.
  EXPECT_TRUE(std::filesystem::exists(dir_.File("GIDS.TVN")));
  FileDescriptor existing = GuestDeclaration("q:\\gids.tvn\\!GASTEN");
  existing.attributes = 0;
  DeclaredFile again(existing);
  ASSERT_EQ(again.Open(), 0);
  uint32_t count = 0;
  EXPECT_EQ(again.Records(&count), 0);
  EXPECT_EQ(count, 1u);
  unsetenv("TENTARIA_DRIVE_Q");
}

TEST_F(DriverTest, OperationsTheDriverDoesNotAnswerAreUnsupported) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  EXPECT_EQ(file->Call(op::NULL_), error::kUnsupportedFunction);
  EXPECT_EQ(file->Call(op::BUILDdyn), error::kUnsupportedFunction);
  EXPECT_EQ(CurrentErrorReport().text, "Unsupported File Driver Function");
}

}  // namespace
}  // namespace tentaria::storage
