// Corrupt, truncated and hostile files end in refusals or numbered
// internal faults, never in a crash, a hang or a read out of bounds (the
// sanitizer build checks the latter).
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/bytes.h"
#include "storage/file_header.h"
#include "storage/internal_fault.h"
#include "storage/record_file.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using testing::AllRecords;
using testing::OpenFile;
using testing::Problems;
using testing::RowRecord;
using testing::TempDir;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

Status TryOpen(const std::string& path, std::unique_ptr<RecordFile>* file) {
  return RecordFile::Open(platform::FileSystem::Default(), path, testing::kExclusive,
                          platform::Disposition::kOpenExisting, {}, file);
}

// Opens, walks every record both ways, looks one up and checks integrity;
// every failure must be a refusal (36) or an internal fault.
void ExpectHandled(const std::string& path, const std::string& context) {
  std::unique_ptr<RecordFile> file;
  Status s = TryOpen(path, &file);
  if (!s.ok()) {
    EXPECT_TRUE(s.code() == error_code::kInvalidDataFile || InternalFaultNumber(s) != 0)
        << context << ": " << s.ToString();
    return;
  }
  auto cursor = file->NewCursor();
  int steps = 0;
  for (s = cursor->SeekToFirst(); s.ok() && cursor->Valid() && steps < 100000; ++steps) {
    s = cursor->Next();
  }
  if (s.ok()) s = cursor->SeekToLast();
  while (s.ok() && cursor->Valid() && steps++ < 200000) s = cursor->Prev();
  if (!s.ok()) {
    EXPECT_NE(InternalFaultNumber(s), 0) << context << ": " << s.ToString();
  }
  std::string record;
  s = file->Get(testing::RowKey(77), &record);
  EXPECT_TRUE(s.ok() || s.code() == error_code::kRecordNotFound || InternalFaultNumber(s) != 0)
      << context << ": " << s.ToString();
  std::vector<std::string> problems;
  file->CheckIntegrity(&problems);
}

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    good_ = dir_.File("good.tvn");
    bad_ = dir_.File("bad.tvn");
    auto file = OpenFile(good_);
    for (uint32_t row = 0; row < 400; ++row) {
      ASSERT_TRUE(file->Put(RowRecord(row, 20 + row % 300), 9).ok());
    }
    ASSERT_TRUE(file->Flush().ok());
    bytes_ = ReadAll(good_);
  }

  TempDir dir_;
  std::string good_;
  std::string bad_;
  std::string bytes_;
};

TEST_F(BadInputTest, EmptyShortAndForeignFiles) {
  WriteAll(bad_, "");
  std::unique_ptr<RecordFile> file;
  ASSERT_TRUE(TryOpen(bad_, &file).ok());
  EXPECT_TRUE(AllRecords(file.get()).empty());
  file.reset();
  for (size_t length : {1, 100, 511}) {
    WriteAll(bad_, bytes_.substr(0, length));
    EXPECT_EQ(TryOpen(bad_, &file).code(), error_code::kInvalidDataFile) << length;
  }
  std::string foreign = bytes_;
  foreign[15] = 'a';
  WriteAll(bad_, foreign);
  EXPECT_EQ(TryOpen(bad_, &file).code(), error_code::kInvalidDataFile);
}

TEST_F(BadInputTest, TruncatedFilesFailWithFaults) {
  for (size_t length = 512; length < bytes_.size(); length += 97) {
    WriteAll(bad_, bytes_.substr(0, length));
    ExpectHandled(bad_, "truncated to " + std::to_string(length));
  }
}

TEST_F(BadInputTest, RandomlyCorruptedFiles) {
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    std::string corrupt = bytes_;
    int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i) {
      // Mostly pages; sometimes the header's fields.
      size_t at = random() % 4 == 0 ? random() % kHeaderSize : random() % corrupt.size();
      corrupt[at] = static_cast<char>(random());
    }
    WriteAll(bad_, corrupt);
    ExpectHandled(bad_, "round " + std::to_string(round));
  }
}

TEST_F(BadInputTest, HostileTreeShapes) {
  FileHeader header;
  ASSERT_TRUE(
      DecodeHeader(reinterpret_cast<const uint8_t*>(bytes_.data()), kHeaderSize, &header).ok());
  auto page_at = [&](int32_t ref) {
    return reinterpret_cast<uint8_t*>(bytes_.data()) + BlockOffset(ref);
  };
  uint8_t* root = page_at(header.root);
  ASSERT_NE(root[12], 0) << "the test needs an index root";

  // A child reference pointing back at the root: a cycle.
  std::string saved = bytes_;
  StoreU32(root + 13, static_cast<uint32_t>(header.root));
  WriteAll(bad_, bytes_);
  std::unique_ptr<RecordFile> file;
  ASSERT_TRUE(TryOpen(bad_, &file).ok());
  auto cursor = file->NewCursor();
  EXPECT_EQ(InternalFaultNumber(cursor->SeekToFirst()), fault::kTreeShape);
  file.reset();

  // A child reference outside every range.
  bytes_ = saved;
  root = page_at(header.root);
  StoreU32(root + 13, 0x7FFFFFF0);
  WriteAll(bad_, bytes_);
  ASSERT_TRUE(TryOpen(bad_, &file).ok());
  cursor = file->NewCursor();
  EXPECT_EQ(InternalFaultNumber(cursor->SeekToFirst()), fault::kNoSizeClass);
  file.reset();

  // A root reference that lies in no range.
  bytes_ = saved;
  StoreU32(reinterpret_cast<uint8_t*>(bytes_.data()) + 28, 0x10000);
  WriteAll(bad_, bytes_);
  ASSERT_TRUE(TryOpen(bad_, &file).ok());
  std::string record;
  EXPECT_EQ(InternalFaultNumber(file->Get(testing::RowKey(1), &record)), fault::kNoSizeClass);
  file.reset();

  // A journal declared over garbage is discarded, not replayed.
  bytes_ = saved;
  uint32_t end = LoadU32(reinterpret_cast<uint8_t*>(bytes_.data()) + 6);
  StoreU32(reinterpret_cast<uint8_t*>(bytes_.data()) + 10, end + 4096);
  bytes_.resize(end + 4096, '\x5A');
  WriteAll(bad_, bytes_);
  file = OpenFile(bad_);
  ASSERT_TRUE(file);
  EXPECT_EQ(AllRecords(file.get()).size(), 400u);
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
}

}  // namespace
}  // namespace tentaria::storage
