// Recovery of a journal that a crash left declared but not copied home:
// replayed by a writer, served in place to a reader that may not write,
// and discarded when its transaction never reached its point of commit.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fault_injection.h"
#include "storage/bytes.h"
#include "storage/record_file.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using platform::Disposition;
using testing::AllRecords;
using testing::OpenFile;
using testing::Problems;
using testing::RowKey;
using testing::RowRecord;
using testing::TempDir;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool JournalPending(const std::string& path) {
  std::string bytes = ReadAll(path);
  auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  return bytes.size() >= 512 && LoadU32(p + 6) != LoadU32(p + 10);
}

class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_.File("base.tvn");
    pending_ = dir_.File("pending.tvn");
    work_ = dir_.File("work.tvn");
    {
      auto file = OpenFile(base_);
      for (uint32_t row = 0; row < 200; ++row) ASSERT_TRUE(file->Put(RowRecord(row, 120), 9).ok());
      ASSERT_TRUE(file->Flush().ok());
      before_ = AllRecords(file.get());
    }
    // Cut the commit at each point until one leaves the journal declared.
    for (int64_t k = 0; k < 1000 && !JournalPending(pending_); ++k) {
      std::filesystem::copy_file(base_, pending_,
                                 std::filesystem::copy_options::overwrite_existing);
      platform::FaultInjectionFileSystem fs;
      {
        std::unique_ptr<RecordFile> file;
        ASSERT_TRUE(RecordFile::Open(&fs, pending_, testing::kExclusive, Disposition::kOpenExisting,
                                     {}, &file)
                        .ok());
        fs.ResetCounts();
        fs.PowerLossAfterPoint(k);
        Change(file.get());
      }
      ASSERT_TRUE(fs.DropUnsyncedData().ok());
    }
    ASSERT_TRUE(JournalPending(pending_));
    std::filesystem::copy_file(base_, work_);
    auto file = OpenFile(work_);
    Change(file.get());
    after_ = AllRecords(file.get());
  }

  // Rewrites records over the committed area and sets the transaction
  // marker: the marker's data is a transaction number and a control file.
  static void Change(RecordFile* file) {
    for (uint32_t row = 0; row < 200; row += 2) file->Put(RowRecord(row, 300), 9);
    file->Put(std::string("\xFF\x07\x00\x00\x00tavrin.tcf", 15), 1);
    file->Flush();
  }

  std::unique_ptr<RecordFile> OpenPending(int mode, RecordFileOptions options = {}) {
    std::filesystem::copy_file(pending_, work_, std::filesystem::copy_options::overwrite_existing);
    return OpenFile(work_, mode, std::move(options));
  }

  TempDir dir_;
  std::string base_;
  std::string pending_;
  std::string work_;
  std::vector<std::string> before_;
  std::vector<std::string> after_;
};

TEST_F(RecoveryTest, WriterReplaysTheJournal) {
  auto file = OpenPending(testing::kExclusive);
  EXPECT_EQ(AllRecords(file.get()), after_);
  EXPECT_FALSE(JournalPending(work_));
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

TEST_F(RecoveryTest, ReaderIsServedFromTheJournalAndWritesNothing) {
  std::filesystem::copy_file(pending_, work_, std::filesystem::copy_options::overwrite_existing);
  std::string bytes = ReadAll(work_);
  auto file = OpenFile(work_, platform::open_mode::kRead | platform::open_mode::kDenyNone);
  EXPECT_EQ(AllRecords(file.get()), after_);
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  EXPECT_EQ(ReadAll(work_), bytes);
}

TEST_F(RecoveryTest, UnfinishedTransactionIsDiscarded) {
  std::string seen;
  RecordFileOptions options;
  options.transaction_pending = [&](std::string_view marker, bool* pending) {
    seen = std::string(marker);
    *pending = true;
    return Status::Ok();
  };
  auto file = OpenPending(testing::kExclusive, options);
  EXPECT_EQ(seen, std::string("\x07\x00\x00\x00tavrin.tcf", 14));
  EXPECT_EQ(AllRecords(file.get()), before_);
  EXPECT_FALSE(JournalPending(work_));
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

TEST_F(RecoveryTest, FinishedTransactionIsReplayed) {
  RecordFileOptions options;
  options.transaction_pending = [](std::string_view, bool* pending) {
    *pending = false;
    return Status::Ok();
  };
  auto file = OpenPending(testing::kExclusive, options);
  EXPECT_EQ(AllRecords(file.get()), after_);
}

// The two phases of a flush, as a transaction over several files uses them.
TEST_F(RecoveryTest, PreparedFlushIsFinishedAbandonedOrRecovered) {
  auto change = [](RecordFile* file) {
    for (uint32_t row = 0; row < 200; row += 2) ASSERT_TRUE(file->Put(RowRecord(row, 300), 9).ok());
  };
  std::filesystem::copy_file(base_, work_, std::filesystem::copy_options::overwrite_existing);
  {
    auto file = OpenFile(work_);
    change(file.get());
    ASSERT_TRUE(file->PrepareFlush().ok());
    EXPECT_TRUE(JournalPending(work_));
    EXPECT_EQ(file->Put(RowRecord(1, 1), 9).code(), tentaria::error_code::kAccessDenied);
    ASSERT_TRUE(file->AbandonFlush().ok());
    EXPECT_FALSE(JournalPending(work_));
    EXPECT_EQ(AllRecords(file.get()), before_);
    change(file.get());
    ASSERT_TRUE(file->PrepareFlush().ok());
    ASSERT_TRUE(file->FinishFlush().ok());
    EXPECT_FALSE(JournalPending(work_));
  }
  std::vector<std::string> changed = AllRecords(OpenFile(work_).get());
  EXPECT_NE(changed, before_);
  // Prepared and then the process goes: the next open finishes the commit.
  std::filesystem::copy_file(base_, work_, std::filesystem::copy_options::overwrite_existing);
  {
    auto file = OpenFile(work_);
    change(file.get());
    ASSERT_TRUE(file->PrepareFlush().ok());
  }
  auto file = OpenFile(work_);
  EXPECT_EQ(AllRecords(file.get()), changed);
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

}  // namespace
}  // namespace tentaria::storage
