// Several real processes share one file opened deny none: writers add
// records in small committed batches while checking what they read, and a
// reader walks the file throughout.  Afterwards every record is there
// exactly once and the file passes the integrity check.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/internal_fault.h"
#include "storage/record_file.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using testing::AllRecords;
using testing::OpenFile;
using testing::Problems;
using testing::RowKey;
using testing::RowRecord;
using testing::TempDir;

constexpr int kWriters = 4;
constexpr int kBatches = 15;
constexpr int kBatchSize = 10;

// Rows of all writers interleave, so that they change the same pages.
uint32_t RowOf(int writer, int n) { return static_cast<uint32_t>(n * kWriters + writer); }

std::unique_ptr<RecordFile> OpenShared(const std::string& path) {
  std::unique_ptr<RecordFile> file;
  Status s = RecordFile::Open(platform::FileSystem::Default(), path, testing::kShared,
                              platform::Disposition::kOpenOrCreate, {}, &file);
  if (!s.ok()) fprintf(stderr, "open: %s\n", s.ToString().c_str());
  return s.ok() ? std::move(file) : nullptr;
}

[[noreturn]] void RunWriter(const std::string& path, int writer) {
  auto file = OpenShared(path);
  if (!file) _exit(2);
  for (int batch = 0; batch < kBatches; ++batch) {
    for (int i = 0; i < kBatchSize; ++i) {
      int n = batch * kBatchSize + i;
      if (!file->Insert(RowRecord(RowOf(writer, n), 50 + (n * 37) % 400), 9).ok()) _exit(3);
    }
    if (!file->Flush().ok()) _exit(4);
    // Everything this writer committed is visible, once, in order.
    int own = 0;
    std::string previous;
    auto cursor = file->NewCursor();
    for (Status s = cursor->SeekToFirst(); cursor->Valid(); s = cursor->Next()) {
      if (!s.ok() || std::string(cursor->key()) <= previous) _exit(5);
      previous = std::string(cursor->key());
      uint32_t row = static_cast<uint8_t>(previous[8]) | static_cast<uint8_t>(previous[7]) << 8;
      own += static_cast<int>(row % kWriters) == writer;
    }
    if (own != (batch + 1) * kBatchSize) _exit(6);
    std::string record;
    if (!file->Get(RowKey(RowOf(writer, batch * kBatchSize)), &record).ok()) _exit(7);
  }
  _exit(0);
}

// Each committed state only adds records: a reader never sees fewer.  It
// gives up after a minute, should the writers never finish.
[[noreturn]] void RunReader(const std::string& path) {
  auto file = OpenShared(path);
  if (!file) _exit(2);
  size_t seen = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (seen < static_cast<size_t>(kWriters * kBatches * kBatchSize)) {
    if (std::chrono::steady_clock::now() > deadline) _exit(5);
    if (!file->BeginRead().ok()) _exit(3);
    std::vector<std::string> records = AllRecords(file.get());
    if (!file->EndRead().ok()) _exit(3);
    if (records.size() < seen || records.size() % kBatchSize != 0) _exit(4);
    seen = records.size();
  }
  _exit(0);
}

TEST(ConcurrencyTest, ForkedWritersAndAReaderShareOneFile) {
  TempDir dir;
  std::string path = dir.File("shared.tvn");
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) RunWriter(path, writer);
    children.push_back(pid);
  }
  pid_t reader = fork();
  ASSERT_GE(reader, 0);
  if (reader == 0) RunReader(path);
  children.push_back(reader);
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "child " << pid << " status " << status;
  }
  auto file = OpenFile(path);
  std::vector<std::string> expected;
  for (uint32_t row = 0; row < kWriters * kBatches * kBatchSize; ++row) {
    expected.push_back(RowRecord(row, 50 + (row / kWriters * 37) % 400));
  }
  EXPECT_TRUE(AllRecords(file.get()) == expected);
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

// A process keeps the pages it read; when another process commits, the
// next operation sees the new state, even where the changed pages keep
// their places in the file (records rewritten at the same length).
TEST(ConcurrencyTest, PagesCachedBeforeAnotherProcessCommitsAreReadAgain) {
  TempDir dir;
  std::string path = dir.File("cached.tvn");
  constexpr uint32_t kRows = 2000;
  auto file = OpenShared(path);
  ASSERT_TRUE(file);
  for (uint32_t row = 0; row < kRows; ++row) ASSERT_TRUE(file->Insert(RowRecord(row, 100), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  for (uint32_t round = 1; round <= 3; ++round) {
    std::vector<std::string> before = AllRecords(file.get());
    ASSERT_EQ(before.size(), kRows);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Every tenth row gets new bytes of the same length.
      auto other = OpenShared(path);
      if (!other) _exit(2);
      for (uint32_t row = 0; row < kRows; row += 10) {
        std::string record = RowRecord(row, 100);
        record[50] = static_cast<char>('0' + round);
        if (!other->Put(record, 9).ok()) _exit(3);
      }
      _exit(other->Flush().ok() ? 0 : 4);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::string record;
    ASSERT_TRUE(file->Get(RowKey(10), &record).ok());
    EXPECT_EQ(record[50], static_cast<char>('0' + round));
    std::vector<std::string> after = AllRecords(file.get());
    ASSERT_EQ(after.size(), kRows);
    for (uint32_t row = 0; row < kRows; ++row) {
      char expected = row % 10 == 0 ? static_cast<char>('0' + round) : before[row][50];
      ASSERT_EQ(after[row][50], expected) << row;
    }
  }
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

// Runs change in another process and waits for it to succeed.
void InOtherProcess(const std::function<bool()>& change) {
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) _exit(change() ? 0 : 3);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A reader in the middle of a walk holds bytes read ahead of the pages it
// has decoded.  Between its operations another process rewrites those
// rows in place and commits: the rest of the walk shows the new bytes, and
// a walk with nothing committed in between still shows every row.
TEST(ConcurrencyTest, BytesReadAheadAreDroppedWhenAnotherProcessCommits) {
  TempDir dir;
  std::string path = dir.File("ahead.tvn");
  constexpr uint32_t kRows = 3000;
  auto file = OpenShared(path);
  ASSERT_TRUE(file);
  for (uint32_t row = 0; row < kRows; ++row) ASSERT_TRUE(file->Insert(RowRecord(row, 100), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  ASSERT_EQ(AllRecords(file.get()).size(), kRows);
  file = OpenShared(path);
  ASSERT_TRUE(file);
  auto cursor = file->NewCursor();
  ASSERT_TRUE(cursor->SeekToFirst().ok());
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(cursor->Next().ok());
  std::string stopped(cursor->key());
  InOtherProcess([&] {
    auto other = OpenShared(path);
    if (!other) return false;
    for (uint32_t row = 0; row < kRows; ++row) {
      std::string record = RowRecord(row, 100);
      record[50] = '#';
      if (!other->Put(record, 9).ok()) return false;
    }
    return other->Flush().ok();
  });
  uint32_t seen = 0;
  for (Status s = cursor->Next(); cursor->Valid(); s = cursor->Next()) {
    ASSERT_TRUE(s.ok()) << s.ToString();
    ASSERT_GT(std::string(cursor->key()), stopped);
    ASSERT_EQ(cursor->record()[50], '#') << seen;
    ++seen;
  }
  EXPECT_EQ(seen, kRows - 6);
  EXPECT_EQ(AllRecords(file.get()).size(), kRows);
}

// A shared open of a file that was still empty sees the first commit of
// another process at its next operation.
TEST(ConcurrencyTest, AnEmptyFileOpenedSharedSeesAnotherProcessesFirstCommit) {
  TempDir dir;
  std::string path = dir.File("empty.tvn");
  auto file = OpenShared(path);
  ASSERT_TRUE(file);
  std::string record;
  EXPECT_EQ(file->Get(RowKey(7), &record).code(), storage::error_code::kRecordNotFound);
  InOtherProcess([&] {
    auto other = OpenShared(path);
    return other && other->Insert(RowRecord(7, 60), 9).ok() && other->Flush().ok();
  });
  ASSERT_TRUE(file->Get(RowKey(7), &record).ok());
  EXPECT_EQ(record, RowRecord(7, 60));
}

// An enciphered file opened shared by two processes: each commit of one
// is seen at the next read of the other, also when the header only
// changes in its counters.
TEST(ConcurrencyTest, AnEncipheredSharedFileShowsEachCommitOfAnotherProcess) {
  TempDir dir;
  std::string path = dir.File("secret.tvn");
  auto open = [&] {
    RecordFileOptions options;
    options.owner_password = "geheim";
    std::unique_ptr<RecordFile> file;
    Status s = RecordFile::Open(platform::FileSystem::Default(), path, testing::kShared,
                                platform::Disposition::kOpenOrCreate, options, &file);
    return s.ok() ? std::move(file) : nullptr;
  };
  auto file = open();
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->Insert(RowRecord(1, 80), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  std::string record;
  for (char round = '1'; round <= '3'; ++round) {
    ASSERT_TRUE(file->Get(RowKey(1), &record).ok());
    InOtherProcess([&] {
      auto other = open();
      std::string changed = RowRecord(1, 80);
      changed[40] = round;
      return other && other->Put(changed, 9).ok() && other->Flush().ok();
    });
    ASSERT_TRUE(file->Get(RowKey(1), &record).ok());
    EXPECT_EQ(record[40], round);
  }
}

// Row holds and table locks are single bytes per number; two opens of one
// file exclude each other even inside one process.
TEST(ConcurrencyTest, NumberLocksExcludeOtherOpens) {
  TempDir dir;
  std::string path = dir.File("locks.tvn");
  auto first = OpenShared(path);
  auto second = OpenShared(path);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(first->LockNumber(42, platform::LockWait::kNoWait).ok());
  EXPECT_EQ(second->LockNumber(42, platform::LockWait::kNoWait).code(),
            tentaria::error_code::kAccessDenied);
  EXPECT_TRUE(second->LockNumber(43, platform::LockWait::kNoWait).ok());
  // Holding a row does not stop the other open from writing the file.
  ASSERT_TRUE(second->Put(RowRecord(42, 10), 9).ok());
  ASSERT_TRUE(second->Flush().ok());
  std::string record;
  EXPECT_TRUE(first->Get(RowKey(42), &record).ok());
  ASSERT_TRUE(first->UnlockNumber(42).ok());
  EXPECT_TRUE(second->LockNumber(42, platform::LockWait::kNoWait).ok());
}

}  // namespace
}  // namespace tentaria::storage
