// Transactions over several record files: commit through control files,
// recovery of a crashed commit in both directions, a commit cut at every
// write and flush, writers killed in the middle, and rollback.
#include "storage/transaction.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fault_injection.h"
#include "storage/bytes.h"
#include "storage/error_texts.h"
#include "storage/internal_fault.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using platform::Disposition;
using testing::AllRecords;
using testing::kExclusive;
using testing::kShared;
using testing::Problems;
using testing::RowKey;
using testing::TempDir;

constexpr uint32_t kRows = 150;

// Row `row` of generation `gen`: the generation is written into every row
// so that a torn commit shows as rows of different generations.
std::string Row(uint32_t row, uint32_t gen) {
  std::string record = RowKey(row);
  record += "gen" + std::to_string(gen) + "|";
  record.resize(9 + 90, static_cast<char>('a' + gen % 26));
  return record;
}

void WriteGeneration(RecordFile* file, uint32_t gen) {
  for (uint32_t row = 0; row < kRows; ++row) ASSERT_TRUE(file->Put(Row(row, gen), 9).ok());
}

// The generation every row of the file holds; -1 when the rows disagree.
int GenerationOf(RecordFile* file) {
  int gen = -2;
  for (const std::string& record : AllRecords(file)) {
    if (record[0] == '\xFF') continue;
    size_t bar = record.find('|');
    int found = std::stoi(record.substr(12, bar - 12));
    if (record != Row(LoadBigU32(reinterpret_cast<const uint8_t*>(record.data()) + 5), found)) {
      return -1;
    }
    if (gen != -2 && gen != found) return -1;
    gen = found;
  }
  return gen;
}

std::unique_ptr<RecordFile> OpenChecked(platform::FileSystem* fs, const std::string& path,
                                        int mode = kExclusive) {
  RecordFileOptions options;
  options.transaction_pending = TransactionPendingCheck(fs, path);
  std::unique_ptr<RecordFile> file;
  Status s = RecordFile::Open(fs, path, mode, Disposition::kOpenOrCreate, options, &file);
  EXPECT_TRUE(s.ok()) << path << ": " << s.ToString();
  return file;
}

std::unique_ptr<RecordFile> OpenChecked(const std::string& path, int mode = kExclusive) {
  return OpenChecked(platform::FileSystem::Default(), path, mode);
}

// Every record of a control file (none once transactions are done).
std::vector<std::string> ControlRecords(const std::string& path) {
  if (!std::filesystem::exists(path)) return {};
  return AllRecords(testing::OpenFile(path, kShared).get());
}

std::string MarkerOf(RecordFile* file) {
  std::string record;
  if (!file->Get(kTransactionMarkerKey, &record).ok()) return {};
  return record;
}

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a_path_ = dir_.File("a.tvn");
    b_path_ = dir_.File("b.tvn");
    for (const std::string& path : {a_path_, b_path_}) {
      auto file = OpenChecked(path);
      WriteGeneration(file.get(), 1);
      ASSERT_TRUE(file->Flush().ok());
    }
  }

  std::string ControlPath() const { return dir_.File("tavrin.tcf"); }

  TempDir dir_;
  std::string a_path_;
  std::string b_path_;
};

TEST_F(TransactionTest, CommitOfOneChangedFileIsAPlainFlush) {
  auto a = OpenChecked(a_path_);
  auto b = OpenChecked(b_path_);
  Transaction transaction;
  ASSERT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
  ASSERT_TRUE(transaction.Enlist(b.get(), b_path_).ok());
  WriteGeneration(a.get(), 2);
  ASSERT_TRUE(transaction.Commit().ok());
  EXPECT_FALSE(transaction.active());
  EXPECT_FALSE(std::filesystem::exists(ControlPath()));
  a.reset();
  a = OpenChecked(a_path_);
  EXPECT_EQ(GenerationOf(a.get()), 2);
  EXPECT_EQ(MarkerOf(a.get()), "");
  EXPECT_EQ(GenerationOf(b.get()), 1);
}

TEST_F(TransactionTest, CommitOfSeveralFilesMarksEachAndLeavesTheControlFileEmpty) {
  {
    auto a = OpenChecked(a_path_);
    auto b = OpenChecked(b_path_);
    Transaction transaction;
    ASSERT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
    ASSERT_TRUE(transaction.Enlist(b.get(), b_path_).ok());
    WriteGeneration(a.get(), 2);
    WriteGeneration(b.get(), 2);
    ASSERT_TRUE(transaction.Commit().ok());
    EXPECT_FALSE(a->has_changes());
    EXPECT_FALSE(b->has_changes());
  }
  EXPECT_TRUE(std::filesystem::exists(ControlPath()));
  EXPECT_EQ(ControlRecords(ControlPath()), std::vector<std::string>{});
  uint32_t numbers[2];
  int i = 0;
  for (const std::string& path : {a_path_, b_path_}) {
    auto file = OpenChecked(path);
    EXPECT_EQ(GenerationOf(file.get()), 2);
    EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
    std::string marker = MarkerOf(file.get());
    std::string name;
    ASSERT_TRUE(ParseTransactionMarker(std::string_view(marker).substr(1), &numbers[i++], &name));
    EXPECT_EQ(name, "C:\\tAvriN.TCF");
  }
  EXPECT_EQ(numbers[0], numbers[1]);
}

TEST_F(TransactionTest, EnlistAndEndCodes) {
  auto a = OpenChecked(a_path_);
  Transaction transaction;
  EXPECT_EQ(transaction.Commit().code(), error::kLogoutNotActive);
  EXPECT_EQ(transaction.Rollback().code(), error::kLogoutNotActive);
  ASSERT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
  EXPECT_EQ(transaction.Enlist(a.get(), a_path_).code(), error::kLogoutAlreadyActive);
  EXPECT_TRUE(transaction.enlisted(a.get()));
  transaction.Withdraw(a.get());
  EXPECT_FALSE(transaction.active());
}

TEST_F(TransactionTest, RollbackDropsTheChangesOfEveryFile) {
  auto a = OpenChecked(a_path_);
  auto b = OpenChecked(b_path_);
  Transaction transaction;
  ASSERT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
  ASSERT_TRUE(transaction.Enlist(b.get(), b_path_).ok());
  WriteGeneration(a.get(), 2);
  WriteGeneration(b.get(), 2);
  ASSERT_TRUE(transaction.Rollback().ok());
  EXPECT_FALSE(transaction.active());
  EXPECT_EQ(GenerationOf(a.get()), 1);
  EXPECT_EQ(GenerationOf(b.get()), 1);
  EXPECT_EQ(transaction.Commit().code(), error::kLogoutNotActive);
  a.reset();
  EXPECT_EQ(GenerationOf(OpenChecked(a_path_).get()), 1);
}

TEST_F(TransactionTest, NamedControlFileIsUsedAndNamedInTheMarkers) {
  std::string control = dir_.File("own.tcf");
  Transaction transaction;
  transaction.set_control_file_name(control);
  {
    auto a = OpenChecked(a_path_);
    auto b = OpenChecked(b_path_);
    ASSERT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
    ASSERT_TRUE(transaction.Enlist(b.get(), b_path_).ok());
    WriteGeneration(a.get(), 2);
    WriteGeneration(b.get(), 2);
    ASSERT_TRUE(transaction.Commit().ok());
  }
  EXPECT_TRUE(std::filesystem::exists(control));
  EXPECT_FALSE(std::filesystem::exists(ControlPath()));
  auto b = OpenChecked(b_path_);
  uint32_t number = 0;
  std::string name;
  ASSERT_TRUE(ParseTransactionMarker(MarkerOf(b.get()).substr(1), &number, &name));
  EXPECT_EQ(name, control);
}

// Files in two folders have two default control files; every marker names
// the first, so that one deletion decides the whole transaction.
TEST_F(TransactionTest, FilesInTwoFoldersShareOnePointOfCommit) {
  std::filesystem::create_directory(dir_.File("other"));
  std::string c_path = dir_.File("other/c.tvn");
  {
    auto c = OpenChecked(c_path);
    WriteGeneration(c.get(), 1);
    ASSERT_TRUE(c->Flush().ok());
    auto a = OpenChecked(a_path_);
    Transaction transaction;
    ASSERT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
    ASSERT_TRUE(transaction.Enlist(c.get(), c_path).ok());
    WriteGeneration(a.get(), 2);
    WriteGeneration(c.get(), 2);
    ASSERT_TRUE(transaction.Commit().ok());
  }
  EXPECT_TRUE(std::filesystem::exists(dir_.File("other/tavrin.tcf")));
  EXPECT_EQ(ControlRecords(dir_.File("other/tavrin.tcf")), std::vector<std::string>{});
  auto c = OpenChecked(c_path);
  EXPECT_EQ(GenerationOf(c.get()), 2);
  uint32_t number = 0;
  std::string name;
  ASSERT_TRUE(ParseTransactionMarker(MarkerOf(c.get()).substr(1), &number, &name));
  EXPECT_EQ(std::filesystem::path(name), std::filesystem::absolute(ControlPath()));
}

TEST_F(TransactionTest, AHundredControlFilesAtMost) {
  Transaction transaction;
  std::vector<std::unique_ptr<RecordFile>> files;
  for (size_t i = 0; i <= kMaxControlFiles; ++i) {
    std::string folder = dir_.File("f" + std::to_string(i));
    std::filesystem::create_directory(folder);
    std::string path = folder + "/x.tvn";
    files.push_back(OpenChecked(path));
    Status s = transaction.Enlist(files.back().get(), path);
    if (i < kMaxControlFiles) {
      ASSERT_TRUE(s.ok()) << i;
    } else {
      EXPECT_EQ(InternalFaultNumber(s), kTooManyControlFiles);
      EXPECT_FALSE(transaction.enlisted(files.back().get()));
    }
  }
  // One more file in a folder already used needs no further control file.
  auto a = OpenChecked(a_path_);
  auto extra = OpenChecked(dir_.File("f0/y.tvn"));
  EXPECT_TRUE(transaction.Enlist(extra.get(), dir_.File("f0/y.tvn")).ok());
  transaction.set_control_file_name(dir_.File("f1/tavrin.tcf"));
  EXPECT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
  EXPECT_TRUE(transaction.Rollback().ok());
}

// A crash after the journal is declared: a file closed between the two
// phases of its flush, with its transaction recorded in the control file.
class CrashedCommitTest : public TransactionTest {
 protected:
  void LeaveDeclaredJournal(uint32_t number) {
    auto control = testing::OpenFile(ControlPath(), kShared);
    std::string key(4, '\0');
    StoreU32(reinterpret_cast<uint8_t*>(key.data()), number);
    ASSERT_TRUE(control->Insert(key, 4).ok());
    ASSERT_TRUE(control->Flush().ok());
    auto a = testing::OpenFile(a_path_);
    WriteGeneration(a.get(), 2);
    ASSERT_TRUE(a->Put(TransactionMarker(number, kDefaultControlFileMarker), 1).ok());
    ASSERT_TRUE(a->PrepareFlush().ok());
  }

  void DeleteFromControlFile(uint32_t number) {
    auto control = testing::OpenFile(ControlPath(), kShared);
    std::string key(4, '\0');
    StoreU32(reinterpret_cast<uint8_t*>(key.data()), number);
    ASSERT_TRUE(control->Delete(key).ok());
    ASSERT_TRUE(control->Flush().ok());
  }
};

TEST_F(CrashedCommitTest, NumberStillInTheControlFileDiscardsTheJournal) {
  LeaveDeclaredJournal(4711);
  auto a = OpenChecked(a_path_);
  EXPECT_EQ(GenerationOf(a.get()), 1);
  EXPECT_EQ(MarkerOf(a.get()), "");
  EXPECT_EQ(Problems(a.get()), std::vector<std::string>{});
}

TEST_F(CrashedCommitTest, NumberGoneFromTheControlFileReplaysTheJournal) {
  LeaveDeclaredJournal(4711);
  DeleteFromControlFile(4711);
  auto a = OpenChecked(a_path_);
  EXPECT_EQ(GenerationOf(a.get()), 2);
  EXPECT_EQ(Problems(a.get()), std::vector<std::string>{});
}

TEST_F(CrashedCommitTest, MissingControlFileCountsAsHoldingTheNumber) {
  LeaveDeclaredJournal(4711);
  std::filesystem::remove(ControlPath());
  EXPECT_EQ(GenerationOf(OpenChecked(a_path_).get()), 1);
}

TEST_F(CrashedCommitTest, ReaderThatMayNotWriteSeesTheStateTheControlFileDecides) {
  LeaveDeclaredJournal(4711);
  int read_only = platform::open_mode::kRead | platform::open_mode::kDenyNone;
  EXPECT_EQ(GenerationOf(OpenChecked(a_path_, read_only).get()), 1);
  DeleteFromControlFile(4711);
  EXPECT_EQ(GenerationOf(OpenChecked(a_path_, read_only).get()), 2);
}

TEST_F(CrashedCommitTest, LockedControlFileIsWaitedFor) {
  LeaveDeclaredJournal(4711);
  DeleteFromControlFile(4711);
  std::unique_ptr<platform::File> holder;
  ASSERT_TRUE(platform::FileSystem::Default()
                  ->Open(ControlPath(), kExclusive, Disposition::kOpenExisting, &holder)
                  .ok());
  std::thread release([&holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    holder.reset();
  });
  bool pending = true;
  std::string marker = TransactionMarker(4711, kDefaultControlFileMarker);
  Status s = TransactionPendingCheck(platform::FileSystem::Default(), a_path_)(
      std::string_view(marker).substr(1), &pending);
  release.join();
  EXPECT_TRUE(s.ok());
  EXPECT_FALSE(pending);
}

TEST_F(CrashedCommitTest, ControlFileLockedForTooLongCountsAsHoldingTheNumber) {
  std::unique_ptr<platform::File> holder;
  testing::OpenFile(ControlPath(), kShared);
  ASSERT_TRUE(platform::FileSystem::Default()
                  ->Open(ControlPath(), kExclusive, Disposition::kOpenExisting, &holder)
                  .ok());
  bool pending = false;
  std::string marker = TransactionMarker(4711, kDefaultControlFileMarker);
  auto check = TransactionPendingCheck(platform::FileSystem::Default(), a_path_, 100);
  EXPECT_TRUE(check(std::string_view(marker).substr(1), &pending).ok());
  EXPECT_TRUE(pending);
}

TEST(TransactionMarkerTest, MalformedMarkersCountAsNoMarker) {
  uint32_t number = 0;
  std::string name;
  std::string good = TransactionMarker(0x01020304, "x.tcf");
  EXPECT_EQ(good, std::string("\xFF\x04\x03\x02\x01x.tcf\0", 11));
  EXPECT_TRUE(ParseTransactionMarker(std::string_view(good).substr(1), &number, &name));
  EXPECT_EQ(number, 0x01020304u);
  EXPECT_EQ(name, "x.tcf");
  for (std::string_view bad :
       {std::string_view("\x01\x02", 2), std::string_view("\x01\x02\x03\x04", 4),
        std::string_view("\x01\x02\x03\x04x.tcf", 9), std::string_view("\x01\x02\x03\x04\0", 5)}) {
    EXPECT_FALSE(ParseTransactionMarker(bad, &number, &name)) << bad.size();
    bool pending = true;
    EXPECT_TRUE(
        TransactionPendingCheck(platform::FileSystem::Default(), "/nowhere/a.tvn")(bad, &pending)
            .ok());
    EXPECT_FALSE(pending);
  }
}

// The commit of two files is cut at every write and flush in turn; after
// the restart both files hold the same generation and pass the check.
TEST_F(TransactionTest, CommitCutAtEveryPointLeavesBothFilesBeforeOrBothAfter) {
  std::string a_base = dir_.File("a.base");
  std::string b_base = dir_.File("b.base");
  std::filesystem::copy_file(a_path_, a_base);
  std::filesystem::copy_file(b_path_, b_base);
  // Runs the commit with power lost after point `cut` (-1: never) and
  // returns the number of points it passed.
  auto run = [&](int64_t cut) -> int64_t {
    for (const auto& [base, path] : {std::pair{a_base, a_path_}, std::pair{b_base, b_path_}}) {
      std::filesystem::copy_file(base, path, std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::remove(ControlPath());
    platform::FaultInjectionFileSystem fs;
    int64_t passed = 0;
    {
      auto a = OpenChecked(&fs, a_path_, kShared);
      auto b = OpenChecked(&fs, b_path_, kShared);
      Transaction transaction(&fs);
      EXPECT_TRUE(transaction.Enlist(a.get(), a_path_).ok());
      EXPECT_TRUE(transaction.Enlist(b.get(), b_path_).ok());
      WriteGeneration(a.get(), 2);
      WriteGeneration(b.get(), 2);
      fs.ResetCounts();
      fs.PowerLossAfterPoint(cut);
      Status s = transaction.Commit();
      if (cut < 0) {
        EXPECT_TRUE(s.ok()) << s.ToString();
      }
      passed = fs.point_count();
    }
    EXPECT_TRUE(fs.DropUnsyncedData().ok());
    return passed;
  };
  int64_t points = run(-1);
  bool saw_before = false;
  bool saw_after = false;
  for (int64_t k = 0; k <= points; ++k) {
    run(k);
    auto a = OpenChecked(a_path_, kShared);
    auto b = OpenChecked(b_path_, kShared);
    int gen = GenerationOf(a.get());
    EXPECT_TRUE(gen == 1 || gen == 2) << "cut after point " << k;
    EXPECT_EQ(GenerationOf(b.get()), gen) << "cut after point " << k;
    EXPECT_EQ(Problems(a.get()), std::vector<std::string>{}) << "cut after point " << k;
    EXPECT_EQ(Problems(b.get()), std::vector<std::string>{}) << "cut after point " << k;
    saw_before |= gen == 1;
    saw_after |= gen == 2;
  }
  EXPECT_GT(points, 10);
  EXPECT_TRUE(saw_before);
  EXPECT_TRUE(saw_after);
}

// A child commits generation after generation over two files until it is
// killed; whatever the moment, both files hold the same generation.
[[noreturn]] void RunCommitter(const std::string& a_path, const std::string& b_path) {
  auto a = OpenChecked(a_path, kShared);
  auto b = OpenChecked(b_path, kShared);
  if (!a || !b) _exit(2);
  Transaction transaction;
  for (uint32_t gen = 2;; ++gen) {
    if (!transaction.Enlist(a.get(), a_path).ok() || !transaction.Enlist(b.get(), b_path).ok()) {
      _exit(3);
    }
    for (uint32_t row = 0; row < kRows; ++row) {
      if (!a->Put(Row(row, gen), 9).ok() || !b->Put(Row(row, gen), 9).ok()) _exit(4);
    }
    if (!transaction.Commit().ok()) _exit(5);
  }
}

TEST_F(TransactionTest, KilledCommitterLeavesBothFilesOfOneGeneration) {
  std::mt19937 random(11);
  for (int round = 0; round < 12; ++round) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) RunCommitter(a_path_, b_path_);
    usleep(5000 + random() % 60000);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "committer ended by itself: " << status;

    auto a = OpenChecked(a_path_, kShared);
    auto b = OpenChecked(b_path_, kShared);
    int gen = GenerationOf(a.get());
    EXPECT_GE(gen, 1) << "round " << round;
    EXPECT_EQ(GenerationOf(b.get()), gen) << "round " << round;
    EXPECT_EQ(Problems(a.get()), std::vector<std::string>{}) << "round " << round;
    EXPECT_EQ(Problems(b.get()), std::vector<std::string>{}) << "round " << round;
  }
}

}  // namespace
}  // namespace tentaria::storage
