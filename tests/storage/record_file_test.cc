#include "storage/record_file.h"

#include <map>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "storage/internal_fault.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using testing::AllRecords;
using testing::OpenFile;
using testing::Problems;
using testing::RowKey;
using testing::RowRecord;
using testing::TempDir;

// Random inserts, replacements and deletes against a std::map, flushed and
// reopened now and then; record sizes vary so that pages change size class
// and the space rules move pages around.  With a cache budget of one byte
// every clean page is dropped between operations, changed ones stay.
class RecordFileModelTest : public ::testing::TestWithParam<size_t> {};

TEST_P(RecordFileModelTest, MatchesAModelThroughFlushesAndReopens) {
  TempDir dir;
  std::string path = dir.File("model.tvn");
  std::mt19937 random(42);
  std::map<std::string, std::string> model;
  RecordFileOptions options;
  options.cache_bytes = GetParam();
  auto file = OpenFile(path, testing::kExclusive, options);
  for (int round = 0; round < 12; ++round) {
    for (int op = 0; op < 700; ++op) {
      uint32_t row = random() % 1500;
      std::string key = RowKey(row);
      int what = static_cast<int>(random() % 10);
      if (what < 6) {
        size_t length = (random() % 4 == 0) ? random() % 3000 : random() % 300;
        std::string record = RowRecord(row, length);
        ASSERT_TRUE(file->Put(record, key.size()).ok());
        model[key] = record;
      } else {
        Status s = file->Delete(key);
        ASSERT_EQ(s.ok(), model.erase(key) == 1) << s.ToString();
        if (!s.ok()) {
          EXPECT_EQ(s.code(), error_code::kRecordNotFound);
        }
      }
    }
    ASSERT_TRUE(file->Flush().ok());
    EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
    if (round % 3 == 2) {
      file.reset();
      file = OpenFile(path, testing::kExclusive, options);
    }
    std::vector<std::string> expected;
    for (const auto& [key, record] : model) expected.push_back(record);
    ASSERT_EQ(AllRecords(file.get()), expected) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(CacheBudgets, RecordFileModelTest,
                         ::testing::Values(size_t{64} << 20, size_t{1}));

// A cursor keeps its place while look-ups elsewhere push its pages out of
// a small cache, and while records before and after it change.
TEST(RecordFileTest, CursorKeepsItsPlaceWhileItsPagesAreDropped) {
  TempDir dir;
  RecordFileOptions options;
  options.cache_bytes = 20000;
  auto file = OpenFile(dir.File("walk.tvn"), testing::kExclusive, options);
  for (uint32_t row = 0; row < 4000; row += 2)
    ASSERT_TRUE(file->Insert(RowRecord(row, 200), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  std::mt19937 random(8);
  auto cursor = file->NewCursor();
  uint32_t expected = 0;
  std::string record;
  for (Status s = cursor->SeekToFirst(); s.ok() && cursor->Valid(); s = cursor->Next()) {
    ASSERT_EQ(cursor->key(), RowKey(expected));
    ASSERT_EQ(cursor->record(), RowRecord(expected, 200));
    ASSERT_TRUE(file->Get(RowKey(random() % 2000 * 2), &record).ok());
    // An odd row inserted behind the cursor is not met; one ahead of it is.
    if (expected % 100 == 0) {
      ASSERT_TRUE(file->Insert(RowRecord(expected + 1, 200), 9).ok());
      if (expected >= 2) {
        ASSERT_TRUE(file->Insert(RowRecord(expected - 1, 200), 9).ok());
      }
    }
    expected += expected % 100 == 0 ? 1 : (expected % 2 ? 1 : 2);
  }
  EXPECT_EQ(expected, 4000u);
  ASSERT_TRUE(file->Flush().ok());
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

// After a flush the ranges lie close: a range of at most one page sits on
// the range below it, a larger one leaves less than one of its pages free
// below it.  Freed space is reused, so the used area shrinks with the data.
TEST(RecordFileTest, FlushClosesGapsAndReusesFreedSpace) {
  TempDir dir;
  auto file = OpenFile(dir.File("space.tvn"));
  std::mt19937 random(5);
  for (uint32_t row = 0; row < 3000; ++row) {
    ASSERT_TRUE(file->Put(RowRecord(row, random() % 2000), 9).ok());
  }
  ASSERT_TRUE(file->Flush().ok());
  uint32_t full_end = file->header().UsedEnd();
  for (uint32_t row = 0; row < 3000; ++row) {
    if (row % 10 == 0) continue;
    ASSERT_TRUE(file->Delete(RowKey(row)).ok());
  }
  ASSERT_TRUE(file->Flush().ok());
  const FileHeader& h = file->header();
  for (int i = 2; i <= kMaxClass; ++i) {
    uint32_t gap = h.range_start[i] - h.range_end[i - 1];
    if (h.PagesInRange(i) <= 1) {
      EXPECT_EQ(gap, 0u) << "range " << i;
    } else {
      EXPECT_LT(gap, static_cast<uint32_t>(i)) << "range " << i;
    }
  }
  EXPECT_LT(h.UsedEnd(), full_end / 5);
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  EXPECT_EQ(AllRecords(file.get()).size(), 300u);
}

TEST(RecordFileTest, GetInsertAndDeleteReportMissingAndDuplicateKeys) {
  TempDir dir;
  auto file = OpenFile(dir.File("codes.tvn"));
  std::string record;
  EXPECT_EQ(file->Get(RowKey(1), &record).code(), error_code::kRecordNotFound);
  ASSERT_TRUE(file->Insert(RowRecord(1, 10), 9).ok());
  EXPECT_EQ(file->Insert(RowRecord(1, 20), 9).code(), error_code::kDuplicateKey);
  ASSERT_TRUE(file->Get(RowKey(1), &record).ok());
  EXPECT_EQ(record, RowRecord(1, 10));
  EXPECT_EQ(file->Delete(RowKey(2)).code(), error_code::kRecordNotFound);
  ASSERT_TRUE(file->Delete(RowKey(1)).ok());
  EXPECT_EQ(file->Get(RowKey(1), &record).code(), error_code::kRecordNotFound);
}

TEST(RecordFileTest, CursorSeeksAndWalksBothWays) {
  TempDir dir;
  auto file = OpenFile(dir.File("cursor.tvn"));
  for (uint32_t row = 0; row < 2000; row += 2) ASSERT_TRUE(file->Put(RowRecord(row, 200), 9).ok());
  auto cursor = file->NewCursor();
  ASSERT_TRUE(cursor->Seek(RowKey(501)).ok());
  ASSERT_TRUE(cursor->Valid());
  EXPECT_EQ(cursor->key(), RowKey(502));
  ASSERT_TRUE(cursor->Prev().ok());
  EXPECT_EQ(cursor->key(), RowKey(500));
  ASSERT_TRUE(cursor->Seek(RowKey(1999)).ok());
  EXPECT_FALSE(cursor->Valid());
  ASSERT_TRUE(cursor->SeekToLast().ok());
  EXPECT_EQ(cursor->key(), RowKey(1998));
  int count = 1;
  while (cursor->Prev().ok() && cursor->Valid()) ++count;
  EXPECT_EQ(count, 1000);
  // A change under the cursor: it goes on from its key.
  ASSERT_TRUE(cursor->Seek(RowKey(100)).ok());
  ASSERT_TRUE(file->Delete(RowKey(102)).ok());
  ASSERT_TRUE(file->Put(RowRecord(101, 5), 9).ok());
  ASSERT_TRUE(cursor->Next().ok());
  EXPECT_EQ(cursor->key(), RowKey(101));
  ASSERT_TRUE(cursor->Next().ok());
  EXPECT_EQ(cursor->key(), RowKey(104));
}

// A key cursor copies only keys: each step's data is the record's rest as
// stored, also with every clean page dropped between operations, and after
// changes under it the walk goes on from its key.
TEST(RecordFileTest, KeyCursorReadsDataInPlaceAndKeepsItsPlace) {
  TempDir dir;
  RecordFileOptions options;
  options.cache_bytes = 1;
  auto file = OpenFile(dir.File("keys.tvn"), testing::kExclusive, options);
  for (uint32_t row = 0; row < 600; row += 2) {
    ASSERT_TRUE(file->Put(RowRecord(row, 100 + row % 700), 9).ok());
  }
  ASSERT_TRUE(file->Flush().ok());
  auto cursor = file->NewKeyCursor();
  int count = 0;
  for (Status s = cursor->SeekToFirst(); s.ok() && cursor->Valid(); s = cursor->Next()) {
    // The data is taken before the next operation on the file.
    std::string data(cursor->data());
    EXPECT_EQ(cursor->record(), cursor->key());
    std::string record;
    ASSERT_TRUE(file->Get(cursor->key(), &record).ok());
    EXPECT_EQ(data, std::string_view(record).substr(9));
    ++count;
  }
  EXPECT_EQ(count, 300);
  ASSERT_TRUE(cursor->Seek(RowKey(100)).ok());
  ASSERT_TRUE(file->Delete(RowKey(102)).ok());
  ASSERT_TRUE(file->Put(RowRecord(101, 5), 9).ok());
  ASSERT_TRUE(cursor->Next().ok());
  EXPECT_EQ(cursor->key(), RowKey(101));
  EXPECT_EQ(cursor->data(), RowRecord(101, 5).substr(9));
  ASSERT_TRUE(cursor->Next().ok());
  EXPECT_EQ(cursor->key(), RowKey(104));
}

TEST(RecordFileTest, KeysOrderBytewiseWithShorterKeysFirst) {
  TempDir dir;
  auto file = OpenFile(dir.File("order.tvn"));
  for (std::string key : {"\xFF", "ab", "a", "\x80", "abc", "b"}) {
    ASSERT_TRUE(file->Put(key + "-data", key.size()).ok());
  }
  std::vector<std::string> keys;
  for (const std::string& record : AllRecords(file.get()))
    keys.push_back(record.substr(0, record.find('-')));
  EXPECT_EQ(keys, (std::vector<std::string>{"a", "ab", "abc", "b", "\x80", "\xFF"}));
}

TEST(RecordFileTest, RootKeepsItsPlaceAndEmptyTreeKeepsAnEmptyRoot) {
  TempDir dir;
  std::string path = dir.File("root.tvn");
  auto file = OpenFile(path);
  ASSERT_TRUE(file->Put(RowRecord(0, 100), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  int32_t root = file->header().root;
  for (uint32_t row = 1; row < 3000; ++row) ASSERT_TRUE(file->Put(RowRecord(row, 100), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  for (uint32_t row = 0; row < 3000; ++row) ASSERT_TRUE(file->Delete(RowKey(row)).ok());
  ASSERT_TRUE(file->Flush().ok());
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  EXPECT_TRUE(AllRecords(file.get()).empty());
  file.reset();
  file = OpenFile(path);
  EXPECT_NE(file->header().root, kNoPage);
  EXPECT_TRUE(AllRecords(file.get()).empty());
  (void)root;
}

TEST(RecordFileTest, RefusesRecordsNoPageCouldHold) {
  TempDir dir;
  auto file = OpenFile(dir.File("long.tvn"));
  EXPECT_TRUE(file->Put(RowRecord(1, kMaxRecordLength - 9), 9).ok());
  EXPECT_TRUE(file->Put(RowRecord(2, kMaxRecordLength - 9), 9).ok());
  Status s = file->Put(RowRecord(3, kMaxRecordLength - 8), 9);
  EXPECT_EQ(InternalFaultNumber(s), fault::kRecordTooLong);
  ASSERT_TRUE(file->Flush().ok());
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  EXPECT_EQ(AllRecords(file.get()).size(), 2u);
}

TEST(RecordFileTest, OpenModes) {
  TempDir dir;
  std::string path = dir.File("modes.tvn");
  {
    auto file = OpenFile(path, platform::open_mode::kWrite | platform::open_mode::kDenyAll);
    ASSERT_TRUE(file->Put(RowRecord(1, 10), 9).ok());
    ASSERT_TRUE(file->Flush().ok());
    EXPECT_EQ(AllRecords(file.get()).size(), 1u);
  }
  auto reader = OpenFile(path, platform::open_mode::kRead | platform::open_mode::kDenyNone);
  EXPECT_EQ(reader->Put(RowRecord(2, 10), 9).code(), tentaria::error_code::kAccessDenied);
  EXPECT_EQ(AllRecords(reader.get()).size(), 1u);
}

TEST(RecordFileTest, NumbersAreIssuedAndKeptAcrossFlushes) {
  TempDir dir;
  std::string path = dir.File("numbers.tvn");
  auto file = OpenFile(path);
  uint32_t first = 0;
  uint32_t second = 0;
  ASSERT_TRUE(file->IssueNumber(&first).ok());
  ASSERT_TRUE(file->IssueNumber(&second).ok());
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(second, 2u);
  ASSERT_TRUE(file->Flush().ok());
  file.reset();
  file = OpenFile(path);
  ASSERT_TRUE(file->IssueNumber(&first).ok());
  EXPECT_EQ(first, 3u);
}

TEST(RecordFileTest, DiscardedChangesLeaveTheFileAsItWas) {
  TempDir dir;
  auto file = OpenFile(dir.File("discard.tvn"));
  ASSERT_TRUE(file->Put(RowRecord(1, 50), 9).ok());
  ASSERT_TRUE(file->Flush().ok());
  for (uint32_t row = 2; row < 500; ++row) ASSERT_TRUE(file->Put(RowRecord(row, 50), 9).ok());
  ASSERT_TRUE(file->Delete(RowKey(1)).ok());
  ASSERT_TRUE(file->DiscardChanges().ok());
  EXPECT_EQ(AllRecords(file.get()), std::vector<std::string>{RowRecord(1, 50)});
}

TEST(RecordFileTest, EncipheredFileReadsBackOnlyWithItsPassword) {
  TempDir dir;
  std::string path = dir.File("secret.tvn");
  RecordFileOptions options;
  options.owner_password = "geheim";
  {
    auto file = OpenFile(path, testing::kExclusive, options);
    for (uint32_t row = 0; row < 300; ++row) ASSERT_TRUE(file->Put(RowRecord(row, 100), 9).ok());
    ASSERT_TRUE(file->Flush().ok());
  }
  std::string raw;
  {
    FILE* f = std::fopen(path.c_str(), "rb");
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) raw.append(buffer, n);
    std::fclose(f);
  }
  EXPECT_EQ(raw.find("tAvR"), std::string::npos);
  auto file = OpenFile(path, testing::kExclusive, options);
  EXPECT_EQ(AllRecords(file.get()).size(), 300u);
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  std::unique_ptr<RecordFile> wrong;
  options.owner_password = "anders";
  Status s = RecordFile::Open(platform::FileSystem::Default(), path, testing::kExclusive,
                              platform::Disposition::kOpenExisting, options, &wrong);
  EXPECT_FALSE(s.ok());
}

}  // namespace
}  // namespace tentaria::storage
