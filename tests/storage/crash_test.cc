// Crash safety: a commit cut at every write and flush point, and a writer
// process killed at random moments.  After each crash the file must show
// the state before or after the commit and pass the integrity check.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fault_injection.h"
#include "storage/record_file.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using platform::Disposition;
using platform::FaultInjectionFileSystem;
using testing::AllRecords;
using testing::OpenFile;
using testing::Problems;
using testing::RowKey;
using testing::RowRecord;
using testing::TempDir;

// A base file whose pages already went through one journaled commit.
void MakeBase(const std::string& path) {
  auto file = OpenFile(path);
  for (uint32_t row = 0; row < 300; ++row) {
    ASSERT_TRUE(file->Put(RowRecord(row, 100 + row % 500), 9).ok());
  }
  ASSERT_TRUE(file->Flush().ok());
  for (uint32_t row = 0; row < 300; row += 5) ASSERT_TRUE(file->Put(RowRecord(row, 40), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
}

// One batch that changes many pages: records grow and shrink (pages change
// size class and move), some go, new ones come.
Status ChangeAndFlush(RecordFile* file) {
  for (uint32_t row = 0; row < 300; row += 3) {
    Status s = file->Put(RowRecord(row, row % 2 ? 900 : 20), 9);
    if (!s.ok()) return s;
  }
  for (uint32_t row = 1; row < 300; row += 7) {
    Status s = file->Delete(RowKey(row));
    if (!s.ok()) return s;
  }
  for (uint32_t row = 300; row < 360; ++row) {
    Status s = file->Put(RowRecord(row, 250), 9);
    if (!s.ok()) return s;
  }
  return file->Flush();
}

Status OpenThrough(platform::FileSystem* fs, const std::string& path,
                   std::unique_ptr<RecordFile>* file) {
  return RecordFile::Open(fs, path, testing::kExclusive, Disposition::kOpenExisting, {}, file);
}

class CommitCutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_.File("base.tvn");
    work_ = dir_.File("work.tvn");
    MakeBase(base_);
    before_ = AllRecords(OpenFile(base_).get());
    std::filesystem::copy_file(base_, work_);
    auto file = OpenFile(work_);
    ASSERT_TRUE(ChangeAndFlush(file.get()).ok());
    after_ = AllRecords(file.get());
    ASSERT_NE(before_, after_);
  }

  void FreshWork() {
    std::filesystem::copy_file(base_, work_, std::filesystem::copy_options::overwrite_existing);
  }

  // The file as a restarted process finds it.
  void ExpectBeforeOrAfter(bool* was_after, const std::string& context) {
    auto file = OpenFile(work_);
    ASSERT_TRUE(file);
    std::vector<std::string> records = AllRecords(file.get());
    EXPECT_TRUE(records == before_ || records == after_) << context;
    EXPECT_EQ(Problems(file.get()), std::vector<std::string>{}) << context;
    *was_after = records == after_;
  }

  TempDir dir_;
  std::string base_;
  std::string work_;
  std::vector<std::string> before_;
  std::vector<std::string> after_;
};

TEST_F(CommitCutTest, PowerLossAfterEveryPoint) {
  int64_t points = 0;
  {
    FreshWork();
    FaultInjectionFileSystem fs;
    std::unique_ptr<RecordFile> file;
    ASSERT_TRUE(OpenThrough(&fs, work_, &file).ok());
    fs.ResetCounts();
    ASSERT_TRUE(ChangeAndFlush(file.get()).ok());
    points = fs.point_count();
  }
  ASSERT_GT(points, 20);
  int afters = 0;
  for (int64_t k = 0; k <= points; ++k) {
    FreshWork();
    FaultInjectionFileSystem fs;
    {
      std::unique_ptr<RecordFile> file;
      ASSERT_TRUE(OpenThrough(&fs, work_, &file).ok());
      fs.ResetCounts();
      fs.PowerLossAfterPoint(k);
      Status s = ChangeAndFlush(file.get());
      EXPECT_EQ(s.ok(), k == points) << k;
    }
    ASSERT_TRUE(fs.DropUnsyncedData().ok());
    bool was_after = false;
    ExpectBeforeOrAfter(&was_after, "cut after point " + std::to_string(k));
    afters += was_after;
  }
  // Cuts after the journal is declared are finished by recovery.
  EXPECT_GT(afters, 0);
  EXPECT_LT(afters, points + 1);
}

TEST_F(CommitCutTest, FailedWriteOrFlushLeavesAUsableFile) {
  int64_t writes = 0;
  int64_t flushes = 0;
  {
    FreshWork();
    FaultInjectionFileSystem fs;
    std::unique_ptr<RecordFile> file;
    ASSERT_TRUE(OpenThrough(&fs, work_, &file).ok());
    fs.ResetCounts();
    ASSERT_TRUE(ChangeAndFlush(file.get()).ok());
    writes = fs.write_count();
    flushes = fs.flush_count();
  }
  for (int64_t n = 1; n <= writes + flushes; ++n) {
    FreshWork();
    FaultInjectionFileSystem fs;
    std::unique_ptr<RecordFile> file;
    ASSERT_TRUE(OpenThrough(&fs, work_, &file).ok());
    fs.ResetCounts();
    if (n <= writes) {
      fs.FailWrite(n);
    } else {
      fs.FailFlush(n - writes);
    }
    EXPECT_FALSE(ChangeAndFlush(file.get()).ok()) << n;
    fs.ClearFaults();
    // The same open goes on: it sees one of the two states, and can commit.
    std::vector<std::string> records = AllRecords(file.get());
    EXPECT_TRUE(records == before_ || records == after_) << n;
    ASSERT_TRUE(file->Put(RowRecord(9999, 10), 9).ok());
    ASSERT_TRUE(file->Flush().ok());
    EXPECT_EQ(Problems(file.get()), std::vector<std::string>{}) << n;
  }
}

TEST(FirstCommitCutTest, NewFileIsEmptyOrComplete) {
  TempDir dir;
  std::string path = dir.File("new.tvn");
  auto fill = [](RecordFile* file) {
    for (uint32_t row = 0; row < 200; ++row) {
      Status s = file->Put(RowRecord(row, 300), 9);
      if (!s.ok()) return s;
    }
    return file->Flush();
  };
  int64_t points = 0;
  for (int64_t k = 0; k == 0 || k <= points; ++k) {
    std::filesystem::remove(path);
    FaultInjectionFileSystem fs;
    {
      std::unique_ptr<RecordFile> file;
      ASSERT_TRUE(
          RecordFile::Open(&fs, path, testing::kExclusive, Disposition::kOpenOrCreate, {}, &file)
              .ok());
      fs.ResetCounts();
      if (points > 0) fs.PowerLossAfterPoint(k);
      Status s = fill(file.get());
      if (points == 0) {
        ASSERT_TRUE(s.ok());
        points = fs.point_count();
        k = -1;
        continue;
      }
    }
    ASSERT_TRUE(fs.DropUnsyncedData().ok());
    auto file = OpenFile(path);
    ASSERT_TRUE(file) << k;
    size_t count = AllRecords(file.get()).size();
    EXPECT_TRUE(count == 0 || count == 200) << k;
    EXPECT_EQ(Problems(file.get()), std::vector<std::string>{}) << k;
  }
}

// Generation g of the killed writer's file: the marker record "gen" and
// rows whose number and sizes depend on g.
std::map<std::string, std::string> Generation(uint32_t g) {
  std::map<std::string, std::string> records;
  records["gen"] = "gen" + std::to_string(g);
  for (uint32_t row = 0; row < 120 + g % 60; ++row) {
    std::string record = RowRecord(row, (g * 31 + row * 17) % 700);
    record.replace(9, 0, std::to_string(g) + ";");
    records[RowKey(row)] = record;
  }
  return records;
}

[[noreturn]] void RunWriter(const std::string& path) {
  std::unique_ptr<RecordFile> file;
  Status s = RecordFile::Open(platform::FileSystem::Default(), path, testing::kExclusive,
                              Disposition::kOpenOrCreate, {}, &file);
  if (!s.ok()) _exit(2);
  for (int round = 0; round < 100000; ++round) {
    std::string gen;
    uint32_t g = file->Get("gen", &gen).ok() ? std::stoul(gen.substr(3)) + 1 : 0;
    std::map<std::string, std::string> next = Generation(g);
    for (const std::string& record : AllRecords(file.get())) {
      std::string key = record == "gen" + gen.substr(3) ? "gen" : record.substr(0, 9);
      if (!next.count(key) && !file->Delete(key).ok()) _exit(3);
    }
    for (const auto& [key, record] : next) {
      if (!file->Put(record, key.size()).ok()) _exit(4);
    }
    if (!file->Flush().ok()) _exit(5);
  }
  _exit(0);
}

TEST(KilledWriterTest, RestartFindsACommittedGeneration) {
  TempDir dir;
  std::string path = dir.File("killed.tvn");
  std::mt19937 random(7);
  for (int kill_round = 0; kill_round < 12; ++kill_round) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) RunWriter(path);
    usleep(5000 + random() % 60000);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended by itself: " << status;

    auto file = OpenFile(path);
    ASSERT_TRUE(file);
    std::string gen;
    if (!file->Get("gen", &gen).ok()) {
      EXPECT_TRUE(AllRecords(file.get()).empty());
      continue;
    }
    std::vector<std::string> expected;
    for (const auto& [key, record] : Generation(std::stoul(gen.substr(3)))) {
      expected.push_back(record);
    }
    EXPECT_EQ(AllRecords(file.get()), expected) << "after kill " << kill_round;
    EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace tentaria::storage
