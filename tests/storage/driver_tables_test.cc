// Whole-table operations through the driver (EMPTY, REMOVE, COPY, RENAME),
// key building (BUILDkey, BUILDfile, PACK, SEND "FULLBUILD") and the trace
// of operations.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/profile.h"
#include "storage/error_texts.h"
#include "storage/tavrin_driver.h"
#include "tests/storage/driver_fixture.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::kByName;
using testing::kByNumber;
using Numbers = std::vector<int32_t>;

uint32_t Count(DeclaredFile& file, int key = -1) {
  uint32_t count = 0;
  EXPECT_EQ(key < 0 ? file.Records(&count) : file.Records(static_cast<size_t>(key), &count), 0);
  return count;
}

TEST_F(DriverTest, EmptyKeepsTheTableWithoutRows) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  AddRows(*file, {{1, "Jansen"}, {2, "Peters"}});
  ASSERT_EQ(file->Call(op::EMPTY), 0);
  EXPECT_EQ(Count(*file), 0u);
  EXPECT_EQ(Count(*file, kByName), 0u);
  ASSERT_EQ(file->SetFile(), 0);
  EXPECT_EQ(file->Next(), error::kRecordNotAvailable);
  AddRows(*file, {{1, "Jansen"}});
  EXPECT_EQ(Count(*file), 1u);
}

TEST_F(DriverTest, RemoveCopyAndRename) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  AddRows(*file, {{1, "Jansen"}, {2, "Peters"}});
  // The copy opens the file itself, which an open denying writers forbids.
  EXPECT_EQ(file->Call(op::COPY, {{}, {TableName("KOPIE")}}), error::kAccessDenied);
  ASSERT_EQ(file->Close(), 0);
  ASSERT_EQ(file->Share(), 0);
  ASSERT_EQ(file->Call(op::COPY, {{}, {TableName("KOPIE")}}), 0);
  EXPECT_EQ(file->Call(op::RENAME, {{}, {TableName("ANDERS")}}), error::kFileAlreadyOpen);
  EXPECT_EQ(file->Call(op::REMOVE), error::kFileAlreadyOpen);
  EXPECT_EQ(file->Call(op::COPY, {{}, {""}}), error::kInvalidFilename);
  ASSERT_EQ(file->Close(), 0);

  auto copy = Declare("KOPIE");
  ASSERT_EQ(copy->Open(), 0);
  ASSERT_EQ(copy->SetKey(kByNumber), 0);
  EXPECT_EQ(ReadAll(*copy), (Numbers{1, 2}));
  ASSERT_EQ(copy->Close(), 0);

  ASSERT_EQ(file->Call(op::RENAME, {{}, {TableName("ANDERS")}}), 0);
  FileDescriptor old_name = testing::GuestDeclaration(TableName());
  old_name.attributes = 0;
  DeclaredFile gone(old_name);
  EXPECT_EQ(gone.Open(), error::kFileNotFound);
  auto renamed = Declare("ANDERS");
  ASSERT_EQ(renamed->Open(), 0);
  EXPECT_EQ(Count(*renamed), 2u);
  ASSERT_EQ(renamed->Close(), 0);

  // Removing one table leaves the others; the last one takes the file.
  ASSERT_EQ(renamed->Call(op::REMOVE), 0);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("guide.tvn")));
  ASSERT_EQ(copy->Call(op::REMOVE), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("guide.tvn")));
  EXPECT_EQ(copy->Call(op::REMOVE), error::kFileNotFound);
}

TEST_F(DriverTest, BuildingKeysAfterAppend) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  AddRows(*file, {{3, "Smit"}});
  for (auto [number, name] :
       std::vector<std::pair<int32_t, std::string>>{{1, "Jansen"}, {2, "Bakker"}}) {
    testing::SetRow(*file, number, name);
    ASSERT_EQ(file->Append(), 0);
  }
  EXPECT_EQ(Count(*file, kByNumber), 1u);
  ASSERT_EQ(file->Call(op::BUILDkey, {{kByNumber}, {}}), 0);
  EXPECT_EQ(Count(*file, kByNumber), 3u);
  EXPECT_EQ(Count(*file, kByName), 1u);
  EXPECT_EQ(file->Call(op::BUILDkey, {{9}, {}}), 77);

  std::string answer;
  ASSERT_EQ(file->Send("FULLBUILD=ON", &answer), 0);
  ASSERT_EQ(file->Call(op::BUILDfile), 0);
  EXPECT_EQ(Count(*file, kByName), 3u);
  ASSERT_EQ(file->SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(*file), (Numbers{2, 1, 3}));
  ASSERT_EQ(file->Close(), 0);

  // A closed file is opened for the build alone; PACK leaves it whole.
  ASSERT_EQ(file->Call(op::PACK), 0);
  ASSERT_EQ(file->Open(), 0);
  ASSERT_EQ(file->SetKey(kByNumber), 0);
  EXPECT_EQ(ReadAll(*file), (Numbers{1, 2, 3}));
}

TEST_F(DriverTest, ACancelledBuildEndsWith93) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  testing::SetRow(*file, 1, "Jansen");
  ASSERT_EQ(file->Append(), 0);
  BuildProgress previous = SetBuildProgressHook([](size_t, uint32_t, uint32_t) { return false; });
  EXPECT_EQ(file->Call(op::BUILDkey, {{kByNumber}, {}}), error::kBuildCancelled);
  SetBuildProgressHook(previous);
  EXPECT_EQ(Count(*file, kByNumber), 0u);
  ASSERT_EQ(file->Call(op::BUILDkey, {{kByNumber}, {}}), 0);
  EXPECT_EQ(Count(*file, kByNumber), 1u);
}

TEST_F(DriverTest, AKeyBuiltInMemoryIsReadFromTheOpen) {
  FileDescriptor declaration = testing::GuestDeclaration(TableName());
  declaration.keys[kByName].attributes |= key_attribute::kInMemory;
  DeclaredFile file(declaration);
  ASSERT_EQ(file.Open(), 0);
  AddRows(file, {{3, "Smit"}, {1, "Jansen"}, {2, "Bakker"}});
  // Nothing is kept for the key until it is built.
  ASSERT_EQ(file.SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(file), Numbers{});
  ASSERT_EQ(file.Call(op::BUILDkey, {{kByName}, {}}), 0);
  ASSERT_EQ(file.SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(file), (Numbers{2, 1, 3}));
  EXPECT_EQ(ReadAll(file, false), (Numbers{1, 2}));
  testing::SetRow(file, 0, "JANSEN");
  ASSERT_EQ(file.GetByKey(kByName), 0);
  EXPECT_EQ(testing::NumberOf(file), 1);
  testing::SetRow(file, 0, "Janse");
  EXPECT_EQ(file.GetByKey(kByName), error::kRecordNotFound);
  // Another open of the file has its own store.
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(file.Open(), 0);
  ASSERT_EQ(file.SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(file), Numbers{});
}

class DriverTraceTest : public test_support::TempHomeTest {
 protected:
  testing::TempDir dir_;
};

TEST_F(DriverTraceTest, TracedOperationsReachTheTraceFile) {
  std::filesystem::create_directories(
      std::filesystem::path(platform::UserProfilePath()).parent_path());
  test_support::WriteTextFile(platform::UserProfilePath(), "[RTTAVRIN]\r\nProfile=1\r\n");
  std::string name = dir_.File("guide.tvn") + "\\!GASTEN";
  DeclaredFile file(testing::GuestDeclaration(name));
  ASSERT_EQ(file.Open(), 0);
  testing::SetRow(file, 1, "Jansen");
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.SetKey(kByName), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(file.Next(), error::kRecordNotAvailable);
  ASSERT_EQ(file.Close(), 0);

  std::string log = test_support::ReadTextFile(platform::StateFolder() + "/TAVRIN.LOG");
  EXPECT_TRUE(log.starts_with("OPEN ")) << log;
  EXPECT_NE(log.find("\r\nADD "), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nSETkey " + name + " (1)"), std::string::npos) << log;
  EXPECT_NE(log.find("Error: Record Not Available Time Taken: "), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nCLOSE "), std::string::npos) << log;
  EXPECT_TRUE(log.ends_with(" secs\r\n")) << log;
}

}  // namespace
}  // namespace tentaria::storage
