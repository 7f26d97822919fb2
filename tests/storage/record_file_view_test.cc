// A record file whose pages are read in place from its view in memory:
// another process grows the file far past what the view first covered and
// rewrites rows the reader has cached; the reader then sees every row as
// committed.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "storage/record_file.h"
#include "tests/storage/test_util.h"
#include "tests/support/child_process.h"

namespace tentaria::storage {
namespace {

using testing::AllRecords;
using testing::Problems;
using testing::RowKey;
using testing::TempDir;

// Bytes that do not pack, so that the file grows by their full length.
std::string NoisyRecord(uint32_t row, char mark) {
  std::string record = RowKey(row);
  std::mt19937 noise(row);
  for (int i = 0; i < 450; ++i) record.push_back(static_cast<char>(noise()));
  record[20] = mark;
  return record;
}

TEST(RecordFileViewTest, AReaderSeesRowsAnotherProcessAddedAndRewrote) {
  TempDir dir;
  std::string path = dir.File("grown.tvn");
  constexpr uint32_t kFirstRows = 500;
  constexpr uint32_t kAllRows = 50000;  // some 24 MB
  auto file = testing::OpenFile(path, testing::kShared);
  ASSERT_TRUE(file);
  for (uint32_t row = 0; row < kFirstRows; ++row) {
    ASSERT_TRUE(file->Insert(NoisyRecord(row, 'a'), 9).ok());
  }
  ASSERT_TRUE(file->Flush().ok());
  ASSERT_EQ(AllRecords(file.get()).size(), kFirstRows);

  test_support::ChildProcess child([&](int, int) {
    auto other = testing::OpenFile(path, testing::kShared);
    if (!other) return 2;
    for (uint32_t row = kFirstRows; row < kAllRows; ++row) {
      if (!other->Insert(NoisyRecord(row, 'a'), 9).ok()) return 3;
    }
    for (uint32_t row = 0; row < kFirstRows; row += 7) {
      if (!other->Put(NoisyRecord(row, 'b'), 9).ok()) return 4;
    }
    return other->Flush().ok() ? 0 : 5;
  });
  ASSERT_EQ(child.Wait(), 0);

  ASSERT_TRUE(file->BeginRead().ok());
  std::vector<std::string> records = AllRecords(file.get());
  ASSERT_TRUE(file->EndRead().ok());
  ASSERT_EQ(records.size(), kAllRows);
  for (uint32_t row = 0; row < kAllRows; ++row) {
    char mark = row < kFirstRows && row % 7 == 0 ? 'b' : 'a';
    ASSERT_EQ(records[row], NoisyRecord(row, mark)) << row;
  }
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

}  // namespace
}  // namespace tentaria::storage
