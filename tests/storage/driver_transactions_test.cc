// Transactions through the driver: enlisted files keep their changes until
// COMMIT or ROLLBACK, a commit of one changed file needs no control file,
// and an open recovers a file left in the middle of a commit according to
// its control file.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "storage/error_texts.h"
#include "storage/table_file.h"
#include "storage/transaction.h"
#include "tests/storage/driver_fixture.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::SetRow;

uint32_t Count(DeclaredFile& file) {
  uint32_t count = 0;
  EXPECT_EQ(file.Records(&count), 0);
  return count;
}

class DriverTransactionTest : public DriverTest {
 protected:
  std::string OtherName() const { return dir_.File("ander.tvn") + "\\!GASTEN"; }
  std::unique_ptr<DeclaredFile> DeclareOther() const {
    return std::make_unique<DeclaredFile>(testing::GuestDeclaration(OtherName()));
  }
};

TEST_F(DriverTransactionTest, ChangesWaitForTheCommitAndGoWithARollback) {
  auto guests = Declare();
  auto others = DeclareOther();
  ASSERT_EQ(guests->Share(), 0);
  ASSERT_EQ(others->Share(), 0);
  auto reader = Declare();
  ASSERT_EQ(reader->Share(), 0);

  ASSERT_EQ(guests->Call(op::LOGOUT), 0);
  ASSERT_EQ(others->Call(op::LOGOUT), 0);
  EXPECT_EQ(guests->Call(op::LOGOUT), error::kLogoutAlreadyActive);
  AddRows(*guests, {{1, "Jansen"}, {2, "Peters"}});
  AddRows(*others, {{7, "Smit"}});
  EXPECT_EQ(Count(*reader), 0u);  // nothing committed yet
  ASSERT_EQ(guests->Call(op::COMMIT), 0);
  EXPECT_EQ(Count(*reader), 2u);
  EXPECT_EQ(Count(*others), 1u);
  // The control file of the folder took part and is empty again.
  EXPECT_TRUE(std::filesystem::exists(dir_.File("tavrin.tcf")));
  EXPECT_EQ(guests->Call(op::COMMIT), error::kLogoutNotActive);

  ASSERT_EQ(guests->Call(op::LOGOUT), 0);
  AddRows(*guests, {{3, "Bakker"}});
  ASSERT_EQ(guests->Call(op::ROLLBACK), 0);
  EXPECT_EQ(Count(*guests), 2u);
  EXPECT_EQ(Count(*reader), 2u);
  // Outside a transaction every change is written out at once.
  AddRows(*guests, {{3, "Bakker"}});
  EXPECT_EQ(Count(*reader), 3u);
}

TEST_F(DriverTransactionTest, ACommitOfOneChangedFileNeedsNoControlFile) {
  auto guests = Declare();
  auto others = DeclareOther();
  ASSERT_EQ(guests->Open(), 0);
  ASSERT_EQ(others->Open(), 0);
  ASSERT_EQ(guests->Call(op::LOGOUT), 0);
  ASSERT_EQ(others->Call(op::LOGOUT), 0);
  AddRows(*guests, {{1, "Jansen"}});
  ASSERT_EQ(others->Call(op::COMMIT), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("tavrin.tcf")));
  ASSERT_EQ(guests->Close(), 0);
  ASSERT_EQ(guests->Open(), 0);
  EXPECT_EQ(Count(*guests), 1u);
}

TEST_F(DriverTransactionTest, SendNamesTheControlFile) {
  auto guests = Declare();
  std::string answer = "x";
  ASSERT_EQ(guests->Send("TCF", &answer), 0);
  EXPECT_EQ(answer, "");
  ASSERT_EQ(guests->Send("TCF=" + dir_.File("eigen.tcf"), &answer), 0);
  EXPECT_EQ(answer, dir_.File("eigen.tcf"));
  ASSERT_EQ(guests->Send("TCF=", &answer), 0);
  EXPECT_EQ(answer, "");
}

// A process that dies with its commit prepared in the guest file: the
// journal is declared and the marker names the folder's control file.
void DieInTheMiddleOfACommit(const std::string& table_name, uint32_t number) {
  pid_t pid = fork();
  if (pid == 0) {
    std::unique_ptr<TableFile> table;
    FileDescriptor declaration = testing::GuestDeclaration(table_name);
    if (!TableFile::Open(platform::FileSystem::Default(), declaration, table_name, testing::kShared,
                         &table)
             .ok()) {
      _exit(1);
    }
    DeclaredFile rows(declaration);
    SetRow(rows, 99, "Halverwege");
    uint32_t record = 0;
    RecordFile* file = table->record_file();
    if (!table->Add({rows.record().data(), rows.record().size()}, false, &record).ok() ||
        !file->Put(TransactionMarker(number, kDefaultControlFileMarker), 1).ok() ||
        !file->PrepareFlush().ok()) {
      _exit(2);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

void RecordInControlFile(const std::string& path, uint32_t number) {
  auto control = testing::OpenFile(path, testing::kShared);
  ASSERT_TRUE(control);
  std::string key(4, '\0');
  for (int i = 0; i < 4; ++i) key[static_cast<size_t>(i)] = static_cast<char>(number >> (8 * i));
  ASSERT_TRUE(control->Insert(key, 4).ok());
  ASSERT_TRUE(control->Flush().ok());
}

TEST_F(DriverTransactionTest, AnOpenDiscardsAJournalWhoseTransactionDidNotCommit) {
  {
    auto guests = Declare();
    ASSERT_EQ(guests->Open(), 0);
    AddRows(*guests, {{1, "Jansen"}});
  }
  RecordInControlFile(dir_.File("tavrin.tcf"), 4242);
  DieInTheMiddleOfACommit(TableName(), 4242);
  auto guests = Declare();
  ASSERT_EQ(guests->Open(), 0);
  EXPECT_EQ(Count(*guests), 1u);
}

TEST_F(DriverTransactionTest, AnOpenReplaysAJournalWhoseTransactionCommitted) {
  {
    auto guests = Declare();
    ASSERT_EQ(guests->Open(), 0);
    AddRows(*guests, {{1, "Jansen"}});
  }
  // The control file no longer holds the number: the point of commit was
  // passed before the process died.
  RecordInControlFile(dir_.File("tavrin.tcf"), 1);
  DieInTheMiddleOfACommit(TableName(), 4242);
  auto guests = Declare();
  ASSERT_EQ(guests->Open(), 0);
  EXPECT_EQ(Count(*guests), 2u);
}

}  // namespace
}  // namespace tentaria::storage
