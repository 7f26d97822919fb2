// Reads of a shared file that run from the page cache without a lock while
// the header shows nothing changed: another process's commit is seen by
// the next read, a commit that lands while a read runs makes it look again
// (a cursor keeps its place, a bracket starts again), every read sees one
// state, and a writer that dies mid-commit leaves readers the right state.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fault_injection.h"
#include "platform/file_mapping.h"
#include "storage/file_locks.h"
#include "storage/record_file.h"
#include "tests/storage/test_util.h"
#include "tests/support/child_process.h"

namespace tentaria::storage {
namespace {

using platform::Disposition;
using platform::LockWait;
using test_support::ChildProcess;
using testing::RowKey;
using testing::TempDir;

constexpr uint32_t kRows = 3000;
constexpr size_t kDataLength = 60;

// A row whose data is its generation, repeated: every row of one commit
// carries the same one.
std::string GenerationRow(uint32_t row, uint32_t generation) {
  std::string record = RowKey(row);
  std::string mark = std::to_string(generation) + ";";
  while (record.size() < 9 + kDataLength) record += mark;
  record.resize(9 + kDataLength);
  return record;
}

uint32_t GenerationOf(std::string_view record) {
  return static_cast<uint32_t>(std::stoul(std::string(record.substr(9, 12))));
}

// Counts the reader slots taken through it and can run a hook, once, just
// before the next reader slot is asked for.  It offers the host's view of
// a file's first bytes or not, so that both ways of comparing the header
// are tried.
class WatchedFileSystem : public platform::FileSystem {
 public:
  explicit WatchedFileSystem(bool offer_view) : offer_view_(offer_view) {}

  Status Open(const std::string& path, int mode, Disposition disposition,
              std::unique_ptr<platform::File>* file) override {
    std::unique_ptr<platform::File> base;
    Status s = platform::FileSystem::Default()->Open(path, mode, disposition, &base);
    if (s.ok()) *file = std::make_unique<WatchedFile>(std::move(base), this);
    return s;
  }
  Status Delete(const std::string& path) override {
    return platform::FileSystem::Default()->Delete(path);
  }
  Status Rename(const std::string& from, const std::string& to) override {
    return platform::FileSystem::Default()->Rename(from, to);
  }
  bool Exists(const std::string& path) override {
    return platform::FileSystem::Default()->Exists(path);
  }

  int reader_locks = 0;
  std::function<void()> before_next_reader_lock;

 private:
  class WatchedFile : public platform::File, public platform::StartMapping {
   public:
    WatchedFile(std::unique_ptr<platform::File> base, WatchedFileSystem* fs)
        : base_(std::move(base)), fs_(fs) {}
    Status Read(uint64_t offset, void* buffer, size_t n, size_t* got) override {
      return base_->Read(offset, buffer, n, got);
    }
    Status Write(uint64_t offset, const void* buffer, size_t n) override {
      return base_->Write(offset, buffer, n);
    }
    Status Flush() override { return base_->Flush(); }
    Status SetEnd(uint64_t length) override { return base_->SetEnd(length); }
    Status Size(uint64_t* length) override { return base_->Size(length); }
    Status Lock(uint64_t offset, uint64_t length, LockWait wait) override {
      if (length == 1 && offset >= kLockBase && offset < kLockBase + kReaderSlots) {
        ++fs_->reader_locks;
        if (auto hook = std::move(fs_->before_next_reader_lock)) {
          fs_->before_next_reader_lock = nullptr;
          hook();
        }
      }
      return base_->Lock(offset, length, wait);
    }
    Status Unlock(uint64_t offset, uint64_t length) override {
      return base_->Unlock(offset, length);
    }
    const std::string& path() const override { return base_->path(); }
    const uint8_t* MapStart(size_t n) override {
      auto* mapping = dynamic_cast<platform::StartMapping*>(base_.get());
      return fs_->offer_view_ && mapping != nullptr ? mapping->MapStart(n) : nullptr;
    }

   private:
    std::unique_ptr<platform::File> base_;
    WatchedFileSystem* fs_;
  };

  bool offer_view_;
};

std::unique_ptr<RecordFile> OpenShared(platform::FileSystem* fs, const std::string& path) {
  std::unique_ptr<RecordFile> file;
  Status s = RecordFile::Open(fs, path, testing::kShared, Disposition::kOpenOrCreate, {}, &file);
  EXPECT_TRUE(s.ok()) << s.ToString();
  return file;
}

// Another process rewrites the given rows (all when empty) with a
// generation, in one commit.
void CommitElsewhere(const std::string& path, uint32_t generation,
                     std::vector<uint32_t> rows = {}) {
  if (rows.empty()) {
    for (uint32_t row = 0; row < kRows; ++row) rows.push_back(row);
  }
  ChildProcess child([&](int, int) {
    std::unique_ptr<RecordFile> other;
    if (!RecordFile::Open(platform::FileSystem::Default(), path, testing::kShared,
                          Disposition::kOpenExisting, {}, &other)
             .ok()) {
      return 2;
    }
    for (uint32_t row : rows) {
      if (!other->Put(GenerationRow(row, generation), 9).ok()) return 3;
    }
    return other->Flush().ok() ? 0 : 4;
  });
  ASSERT_EQ(child.Wait(), 0);
}

// The parameter: whether the header is compared in the host's view.
class UnlockedReadTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    path_ = dir_.File("shared.tvn");
    auto file = OpenShared(platform::FileSystem::Default(), path_);
    for (uint32_t row = 0; row < kRows; ++row) {
      ASSERT_TRUE(file->Insert(GenerationRow(row, 1), 9).ok());
    }
    ASSERT_TRUE(file->Flush().ok());
    reader_ = OpenShared(&fs_, path_);
  }

  uint32_t GenerationAt(uint32_t row) {
    std::string record;
    Status s = reader_->Get(RowKey(row), &record);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return s.ok() ? GenerationOf(record) : 0;
  }

  TempDir dir_;
  std::string path_;
  WatchedFileSystem fs_{GetParam()};
  std::unique_ptr<RecordFile> reader_;
};

// Rows 0..99 lie on the first pages; the last rows on pages read only
// when asked for.
TEST_P(UnlockedReadTest, CachedReadsTakeNoLockAndSeeTheNextCommitOnAnyPage) {
  for (uint32_t row = 0; row < 100; ++row) ASSERT_EQ(GenerationAt(row), 1u);
  int locks = fs_.reader_locks;
  for (uint32_t row = 0; row < 100; ++row) ASSERT_EQ(GenerationAt(row), 1u);
  auto cursor = reader_->NewCursor();
  ASSERT_TRUE(cursor->Seek(RowKey(10)).ok());
  ASSERT_TRUE(cursor->Next().ok());
  EXPECT_EQ(fs_.reader_locks, locks) << "reads of cached pages of an unchanged file";

  CommitElsewhere(path_, 2, {5, kRows - 5});
  EXPECT_EQ(GenerationAt(5), 2u) << "a cached page";
  EXPECT_EQ(GenerationAt(kRows - 5), 2u) << "a page not cached";
  EXPECT_EQ(GenerationAt(6), 1u);
  ASSERT_TRUE(cursor->Prev().ok());
  EXPECT_EQ(cursor->key(), RowKey(10));
  EXPECT_GT(fs_.reader_locks, locks);
}

// The commit lands after a read found the header unchanged and before it
// needed a page not cached: the cursor finds its place again in the new
// state and goes on without skipping or repeating a row.
TEST_P(UnlockedReadTest, ACommitWhileACursorRunsUnlockedIsSeenFromItsPlaceOn) {
  auto cursor = reader_->NewCursor();
  ASSERT_TRUE(cursor->SeekToFirst().ok());
  for (uint32_t row = 1; row < 100; ++row) ASSERT_TRUE(cursor->Next().ok());
  bool committed = false;
  fs_.before_next_reader_lock = [&] {
    CommitElsewhere(path_, 2);
    committed = true;
  };
  uint32_t expected = 100;
  uint32_t generation = 1;
  for (Status s = cursor->Next(); cursor->Valid(); s = cursor->Next(), ++expected) {
    ASSERT_TRUE(s.ok()) << s.ToString();
    ASSERT_EQ(cursor->key(), RowKey(expected));
    uint32_t found = GenerationOf(cursor->record());
    if (committed) generation = 2;
    ASSERT_EQ(found, generation) << "row " << expected;
  }
  EXPECT_TRUE(committed);
  EXPECT_EQ(expected, kRows);
}

// Inside a restartable bracket the read that meets the changed state says
// so, keeps the cursor where it was, and the bracket's reads are then made
// under the lock on the new state.
TEST_P(UnlockedReadTest, ARestartableBracketStartsAgainWhenTheFileChangedUnderIt) {
  auto cursor = reader_->NewCursor();
  ASSERT_TRUE(cursor->Seek(RowKey(50)).ok());
  ASSERT_TRUE(reader_->BeginRead(RecordFile::Bracket::kRestartable).ok());
  fs_.before_next_reader_lock = [&] { CommitElsewhere(path_, 2); };
  std::string record;
  Status s = reader_->Get(RowKey(kRows - 1), &record);
  ASSERT_EQ(s.code(), kReadRestartCode) << s.ToString();
  ASSERT_TRUE(cursor->Valid());
  EXPECT_EQ(cursor->key(), RowKey(50));
  ASSERT_TRUE(reader_->Get(RowKey(kRows - 1), &record).ok());
  EXPECT_EQ(GenerationOf(record), 2u);
  ASSERT_TRUE(cursor->Next().ok());
  EXPECT_EQ(cursor->key(), RowKey(51));
  EXPECT_EQ(GenerationOf(cursor->record()), 2u);
  EXPECT_TRUE(reader_->EndRead().ok());

  // A plain bracket holds the lock throughout and never restarts.
  ASSERT_TRUE(reader_->BeginRead().ok());
  EXPECT_TRUE(reader_->Get(RowKey(7), &record).ok());
  EXPECT_TRUE(reader_->EndRead().ok());
}

// One process rewrites every row in one commit, again and again; another
// reads the whole file in restartable brackets (starting again when told)
// and single rows, and never sees two generations at once or a generation
// going back.
TEST_P(UnlockedReadTest, EveryReadSeesOneStateWhileAnotherProcessCommits) {
  ChildProcess writer([&](int to_parent, int) {
    std::unique_ptr<RecordFile> other;
    if (!RecordFile::Open(platform::FileSystem::Default(), path_, testing::kShared,
                          Disposition::kOpenExisting, {}, &other)
             .ok()) {
      return 2;
    }
    test_support::Signal(to_parent);
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (uint32_t generation = 2; std::chrono::steady_clock::now() < until; ++generation) {
      // Half the rows grow, so that pages also move between commits.
      for (uint32_t row = generation % 2; row < kRows; row += 2) {
        if (!other->Put(GenerationRow(row, generation), 9).ok()) return 3;
      }
      for (uint32_t row = 1 - generation % 2; row < kRows; row += 2) {
        std::string longer = GenerationRow(row, generation) + std::string(generation % 7 * 10, 'x');
        if (!other->Put(longer, 9).ok()) return 3;
      }
      if (!other->Flush().ok()) return 4;
    }
    return 0;
  });
  ASSERT_TRUE(writer.Await());
  uint32_t last = 1;
  int passes = 0;
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (std::chrono::steady_clock::now() < until) {
    ASSERT_TRUE(reader_->BeginRead(RecordFile::Bracket::kRestartable).ok());
    std::vector<uint32_t> generations;
    auto cursor = reader_->NewCursor();
    Status s = cursor->SeekToFirst();
    while (s.ok() && cursor->Valid()) {
      generations.push_back(GenerationOf(cursor->record()));
      s = cursor->Next();
    }
    if (s.code() == kReadRestartCode) {
      // The restart holds the lock: this time the walk completes.
      generations.clear();
      for (s = cursor->SeekToFirst(); s.ok() && cursor->Valid(); s = cursor->Next()) {
        generations.push_back(GenerationOf(cursor->record()));
      }
    }
    ASSERT_TRUE(s.ok()) << s.ToString();
    ASSERT_TRUE(reader_->EndRead().ok());
    ASSERT_EQ(generations.size(), kRows);
    for (uint32_t g : generations) ASSERT_EQ(g, generations[0]);
    ASSERT_GE(generations[0], last);
    last = generations[0];
    uint32_t single = GenerationAt(static_cast<uint32_t>(passes * 97) % kRows);
    ASSERT_GE(single, last);
    ++passes;
  }
  EXPECT_EQ(writer.Wait(), 0);
  EXPECT_GT(last, 2u) << "the reader saw commits";
}

// A writer whose commit fails at each of its writes in turn (and which
// then dies) leaves readers with cached pages the state before the commit
// or after it, whole.
TEST_P(UnlockedReadTest, AWriterDyingMidCommitLeavesReadersARightState) {
  for (uint32_t row = 0; row < kRows; ++row) ASSERT_EQ(GenerationAt(row), 1u);
  uint32_t previous = 1;
  for (int64_t cut = 1;; ++cut) {
    uint32_t generation = previous + 1;
    ChildProcess child([&](int, int) {
      platform::FaultInjectionFileSystem faults;
      std::unique_ptr<RecordFile> other;
      if (!RecordFile::Open(&faults, path_, testing::kShared, Disposition::kOpenExisting, {},
                            &other)
               .ok()) {
        return 2;
      }
      for (uint32_t row = 0; row < kRows; row += 3) {
        if (!other->Put(GenerationRow(row, generation), 9).ok()) return 3;
      }
      faults.ResetCounts();
      faults.PowerLossAfterWrite(cut);
      // 1: the whole commit went through without reaching the cut.
      return other->Flush().ok() ? 1 : 0;
    });
    int status = child.Wait();
    ASSERT_TRUE(status == 0 || status == 1) << "cut " << cut << " status " << status;
    uint32_t seen = GenerationAt(0);
    ASSERT_TRUE(seen == previous || seen == generation) << "cut " << cut;
    for (uint32_t row = 0; row < kRows; row += 3) {
      ASSERT_EQ(GenerationAt(row), seen) << "cut " << cut << " row " << row;
    }
    ASSERT_EQ(GenerationAt(1), 1u);
    previous = seen;
    if (status == 1) break;
  }
  EXPECT_EQ(previous, GenerationAt(0));
}

INSTANTIATE_TEST_SUITE_P(HeaderComparedInMemoryOrRead, UnlockedReadTest, ::testing::Bool());

}  // namespace
}  // namespace tentaria::storage
