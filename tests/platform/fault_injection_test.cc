#include "platform/fault_injection.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"

namespace tentaria::platform {
using test_support::ReadTextFile;
using test_support::TempFolder;
using test_support::WriteTextFile;
namespace {

using namespace open_mode;

class FaultInjectionTest : public ::testing::Test {
 protected:
  std::unique_ptr<File> Open(const std::string& name, int mode = kReadWrite | kDenyNone,
                             Disposition disposition = Disposition::kOpenOrCreate) {
    std::unique_ptr<File> file;
    Status status = fs_.Open(folder_ / name, mode, disposition, &file);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return file;
  }

  static Status Put(File* file, uint64_t offset, const std::string& text) {
    return file->Write(offset, text.data(), text.size());
  }

  std::string Content(const std::string& name) { return ReadTextFile(folder_ / name); }

  // A small "operation" with four cut points: two writes to A, a flush of
  // A, a write to B and a flush of B.  Returns the first failure.
  Status Operation() {
    std::unique_ptr<File> a;
    std::unique_ptr<File> b;
    Status status = fs_.Open(folder_ / "A", kReadWrite | kDenyNone, Disposition::kOpenOrCreate, &a);
    if (status.ok()) {
      status = fs_.Open(folder_ / "B", kReadWrite | kDenyNone, Disposition::kOpenOrCreate, &b);
    }
    if (status.ok()) status = Put(a.get(), 0, "alpha");
    if (status.ok()) status = Put(a.get(), 5, "-one");
    if (status.ok()) status = a->Flush();
    if (status.ok()) status = Put(b.get(), 0, "beta");
    if (status.ok()) status = b->Flush();
    return status;
  }

  TempFolder folder_;
  FaultInjectionFileSystem fs_;
};

TEST_F(FaultInjectionTest, PassesThroughAndCounts) {
  ASSERT_TRUE(Operation().ok());
  EXPECT_EQ(fs_.write_count(), 3);
  EXPECT_EQ(fs_.flush_count(), 2);
  EXPECT_EQ(fs_.point_count(), 5);
  EXPECT_EQ(Content("A"), "alpha-one");
  EXPECT_EQ(Content("B"), "beta");
  fs_.ResetCounts();
  EXPECT_EQ(fs_.point_count(), 0);
  auto a = Open("A");
  ASSERT_TRUE(a->SetEnd(2).ok());  // a change of length is a write
  EXPECT_EQ(fs_.write_count(), 1);
  char buffer[8];
  size_t got = 0;
  ASSERT_TRUE(a->Read(0, buffer, sizeof buffer, &got).ok());
  EXPECT_EQ(std::string(buffer, got), "al");
  EXPECT_TRUE(fs_.Exists(folder_ / "A"));
}

TEST_F(FaultInjectionTest, NthWriteFails) {
  fs_.FailWrite(2);
  Status status = Operation();
  EXPECT_EQ(status.code(), error_code::kAccessDenied);
  EXPECT_EQ(Content("A"), "alpha");  // the failed write wrote nothing
  // Only that write fails.
  auto a = Open("A");
  EXPECT_TRUE(Put(a.get(), 5, "-two").ok());
  EXPECT_EQ(Content("A"), "alpha-two");
}

TEST_F(FaultInjectionTest, NthFlushFails) {
  fs_.FailFlush(2);
  Status status = Operation();
  EXPECT_EQ(status.code(), error_code::kFileSystemError);
  EXPECT_EQ(fs_.flush_count(), 2);
  // The data was written, but B's flush did not count as synced.
  EXPECT_EQ(Content("B"), "beta");
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_EQ(Content("A"), "alpha-one");
  EXPECT_EQ(Content("B"), "");
}

TEST_F(FaultInjectionTest, PowerLossAfterAWriteFailsEverythingLater) {
  fs_.PowerLossAfterWrite(1);
  EXPECT_FALSE(fs_.power_lost());
  Status status = Operation();
  EXPECT_EQ(status.code(), error_code::kAccessDenied);
  EXPECT_TRUE(fs_.power_lost());
  auto a = Open("A", kReadWrite | kDenyNone, Disposition::kOpenExisting);
  EXPECT_EQ(a->Flush().code(), error_code::kFileSystemError);
  EXPECT_EQ(Put(a.get(), 0, "x").code(), error_code::kAccessDenied);
  EXPECT_EQ(a->SetEnd(0).code(), error_code::kAccessDenied);
  std::unique_ptr<File> file;
  EXPECT_EQ(fs_.Open(folder_ / "NEW", kReadWrite, Disposition::kOpenOrCreate, &file).code(),
            error_code::kFileSystemError);
  EXPECT_EQ(fs_.Delete(folder_ / "A").code(), error_code::kFileSystemError);
  a.reset();
  EXPECT_EQ(Content("A"), "alpha");  // on disk until the power goes
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_FALSE(fs_.power_lost());
  EXPECT_EQ(Content("A"), "");  // never flushed
  EXPECT_EQ(Content("B"), "");
}

TEST_F(FaultInjectionTest, PowerLossAfterAFlushKeepsWhatItFlushed) {
  fs_.PowerLossAfterFlush(1);
  EXPECT_EQ(Operation().code(), error_code::kAccessDenied);  // the write to B
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_EQ(Content("A"), "alpha-one");
  EXPECT_EQ(Content("B"), "");
}

TEST_F(FaultInjectionTest, DropRewindsToTheLastFlush) {
  {
    auto a = Open("A");
    ASSERT_TRUE(Put(a.get(), 0, "first").ok());
    ASSERT_TRUE(a->Flush().ok());
    ASSERT_TRUE(Put(a.get(), 0, "SECOND and longer").ok());
  }
  EXPECT_EQ(Content("A"), "SECOND and longer");
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_EQ(Content("A"), "first");
  // Content that was there before the first open counts as flushed.
  WriteTextFile(folder_ / "OLD", "old data");
  {
    auto old = Open("OLD");
    ASSERT_TRUE(Put(old.get(), 0, "new").ok());
  }
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_EQ(Content("OLD"), "old data");
}

TEST_F(FaultInjectionTest, CutAtEveryPoint) {
  // Count the points of the operation once.
  ASSERT_TRUE(Operation().ok());
  const int64_t points = fs_.point_count();
  ASSERT_EQ(points, 5);
  // The flushed content of A and B after each number of completed points.
  const std::string expected_a[] = {"", "", "", "alpha-one", "alpha-one", "alpha-one"};
  const std::string expected_b[] = {"", "", "", "", "", "beta"};
  // A cut before the first point finds no power even to create the files.
  for (int64_t cut = 0; cut <= points; ++cut) {
    fs_.ClearFaults();
    for (const char* name : {"A", "B"}) {
      if (fs_.Exists(folder_ / name)) {
        ASSERT_TRUE(fs_.Delete(folder_ / name).ok());
      }
    }
    fs_.ResetCounts();
    fs_.PowerLossAfterPoint(cut);
    Status status = Operation();
    EXPECT_EQ(status.ok(), cut == points) << "cut " << cut;
    ASSERT_TRUE(fs_.DropUnsyncedData().ok());
    EXPECT_EQ(Content("A"), expected_a[cut]) << "cut " << cut;
    EXPECT_EQ(Content("B"), expected_b[cut]) << "cut " << cut;
  }
}

TEST_F(FaultInjectionTest, WriteOnlyOpensStillRefuseReads) {
  auto file = Open("W", kWrite | kDenyNone);
  ASSERT_TRUE(Put(file.get(), 0, "data").ok());
  ASSERT_TRUE(file->Flush().ok());
  char c;
  size_t got;
  EXPECT_EQ(file->Read(0, &c, 1, &got).code(), error_code::kAccessDenied);
  file.reset();
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_EQ(Content("W"), "data");
}

TEST_F(FaultInjectionTest, RenameCarriesTheFlushedContent) {
  {
    auto a = Open("A");
    ASSERT_TRUE(Put(a.get(), 0, "synced").ok());
    ASSERT_TRUE(a->Flush().ok());
    ASSERT_TRUE(Put(a.get(), 0, "SYNCED?").ok());
  }
  ASSERT_TRUE(fs_.Rename(folder_ / "A", folder_ / "C").ok());
  ASSERT_TRUE(fs_.DropUnsyncedData().ok());
  EXPECT_FALSE(fs_.Exists(folder_ / "A"));
  EXPECT_EQ(Content("C"), "synced");
}

TEST_F(FaultInjectionTest, LocksAndSharingPassThrough) {
  auto a = Open("A", kReadWrite | kDenyWrite);
  std::unique_ptr<File> b;
  EXPECT_EQ(fs_.Open(folder_ / "A", kReadWrite | kDenyNone, Disposition::kOpenExisting, &b).code(),
            error_code::kAccessDenied);
  auto c = Open("A", kRead | kDenyNone);
  ASSERT_TRUE(a->Lock(0x80000000u, 1, LockWait::kNoWait).ok());
  EXPECT_EQ(c->Lock(0x80000000u, 1, LockWait::kNoWait).code(), error_code::kAccessDenied);
  ASSERT_TRUE(a->Unlock(0x80000000u, 1).ok());
  EXPECT_TRUE(c->Lock(0x80000000u, 1, LockWait::kNoWait).ok());
}

}  // namespace
}  // namespace tentaria::platform
