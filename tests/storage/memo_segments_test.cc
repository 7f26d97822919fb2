#include "storage/memo_segments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/charset.h"
#include "storage/internal_fault.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

constexpr uint32_t kTable = 3;
constexpr uint32_t kRow = 7;

// A memo of 2000 characters, a binary memo and a blob.
FileDescriptor Notes() {
  FileDescriptor file;
  file.memos = {{"N:TEKST", "", 2000, 0},
                {"N:RUW", "", 100, memo_attribute::BINARY},
                {"N:FOTO", "", 0, memo_attribute::BLOB}};
  return file;
}

std::string Text(size_t length) {
  std::string text;
  for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + i % 26));
  return text;
}

class MemoSegmentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = testing::OpenFile(dir_.File("notes.tvn"));
    owner_ = {file_.get(), kTable, kRow, false};
  }

  // The data of every segment of memo `memo` of row `row`, in order.
  std::vector<std::string> Segments(uint8_t memo, uint32_t row = kRow) {
    std::string prefix = MemoSegmentKey(kTable, row, memo, 0).substr(0, 10);
    std::vector<std::string> data;
    for (const std::string& record : testing::AllRecords(file_.get())) {
      if (record.starts_with(prefix)) data.push_back(record.substr(12));
    }
    return data;
  }

  void PutSegment(uint8_t memo, uint16_t segment, const std::string& data) {
    std::string key = MemoSegmentKey(kTable, kRow, memo, segment);
    ASSERT_TRUE(file_->Put(key + data, key.size()).ok());
  }

  Status Read(size_t memo, std::string* text) { return ReadMemo(owner_, Notes(), memo, text); }

  testing::TempDir dir_;
  std::unique_ptr<RecordFile> file_;
  MemoOwner owner_;
};

TEST_F(MemoSegmentsTest, KeyIsTableKindRowMemoAndSegmentBigEndian) {
  EXPECT_EQ(MemoSegmentKey(0x01020304, 0x0A0B0C0D, 5, 0x0102),
            std::string("\x01\x02\x03\x04\xFC\x0A\x0B\x0C\x0D\x05\x01\x02", 12));
}

TEST_F(MemoSegmentsTest, MemosRoundTripAcrossSegmentBoundaries) {
  for (size_t length : {1, 255, 256, 257, 512, 513, 2000}) {
    SCOPED_TRACE(length);
    std::string text = Text(length);
    ASSERT_TRUE(WriteMemo(owner_, Notes(), 0, text).ok());
    std::vector<std::string> segments = Segments(0);
    ASSERT_EQ(segments.size(), (length + 255) / 256);
    for (size_t i = 0; i + 1 < segments.size(); ++i) EXPECT_EQ(segments[i].size(), 256u);
    std::string read;
    ASSERT_TRUE(Read(0, &read).ok());
    EXPECT_EQ(read, text);
  }
  // The text survives the file being written out and opened again.
  ASSERT_TRUE(file_->Flush().ok());
  file_.reset();
  file_ = testing::OpenFile(dir_.File("notes.tvn"));
  owner_.file = file_.get();
  std::string read;
  ASSERT_TRUE(Read(0, &read).ok());
  EXPECT_EQ(read, Text(2000));
}

TEST_F(MemoSegmentsTest, TrailingSpacesAreNotStoredAndABlankMemoHasNoSegments) {
  ASSERT_TRUE(WriteMemo(owner_, Notes(), 0, Text(256) + std::string(300, ' ')).ok());
  EXPECT_EQ(Segments(0).size(), 1u);
  std::string read;
  ASSERT_TRUE(Read(0, &read).ok());
  EXPECT_EQ(read, Text(256));

  // A shorter text leaves none of the longer one's segments behind.
  ASSERT_TRUE(WriteMemo(owner_, Notes(), 0, Text(600)).ok());
  ASSERT_TRUE(WriteMemo(owner_, Notes(), 0, std::string(2000, ' ')).ok());
  EXPECT_TRUE(Segments(0).empty());
  ASSERT_TRUE(Read(0, &read).ok());
  EXPECT_EQ(read, "");
}

TEST_F(MemoSegmentsTest, BlobsCarryTheirLengthAndKeepEveryByte) {
  std::string blob = Text(300) + std::string(20, ' ') + std::string(3, '\0');
  ASSERT_TRUE(WriteMemo(owner_, Notes(), 2, blob).ok());
  std::vector<std::string> segments = Segments(2);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0].size(), 4u + 256u);
  EXPECT_EQ(segments[0].substr(0, 4), std::string("\x43\x01\x00\x00", 4));  // 323
  EXPECT_EQ(segments[1].size(), 323u - 256u);
  std::string read;
  ASSERT_TRUE(Read(2, &read).ok());
  EXPECT_EQ(read, blob);

  ASSERT_TRUE(WriteMemo(owner_, Notes(), 2, "").ok());
  EXPECT_TRUE(Segments(2).empty());
}

TEST_F(MemoSegmentsTest, OemFilesKeepMemoTextInOemButNotBinaryMemosOrBlobs) {
  const std::string text = "Caf\xE9 \xE0 la gr\xE2ve";  // Windows-1252
  const std::string oem = platform::CharToOem(text);
  ASSERT_NE(oem, text);
  owner_.oem = true;
  std::vector<std::string> texts = {text, text, text};
  ASSERT_TRUE(WriteRowMemos(owner_, Notes(), texts).ok());
  EXPECT_EQ(Segments(0), std::vector<std::string>{oem});
  EXPECT_EQ(Segments(1), std::vector<std::string>{text});
  EXPECT_EQ(Segments(2)[0].substr(4), text);
  std::vector<std::string> read;
  ASSERT_TRUE(ReadRowMemos(owner_, Notes(), &read).ok());
  EXPECT_EQ(read, texts);

  // The same memo in a file that keeps Windows-1252 text is stored as is.
  owner_.oem = false;
  ASSERT_TRUE(WriteMemo(owner_, Notes(), 0, text).ok());
  EXPECT_EQ(Segments(0), std::vector<std::string>{text});
}

TEST_F(MemoSegmentsTest, TextsThatDoNotFitAreRefusedBeforeAnythingChanges) {
  ASSERT_TRUE(WriteMemo(owner_, Notes(), 0, "kept").ok());
  // The binary memo is declared 100 characters.
  EXPECT_EQ(WriteMemo(owner_, Notes(), 1, Text(101)).code(), 47);
  EXPECT_TRUE(WriteMemo(owner_, Notes(), 1, Text(100) + "   ").ok());
  EXPECT_EQ(WriteRowMemos(owner_, Notes(), {"changed", Text(101), ""}).code(), 47);
  EXPECT_EQ(WriteRowMemos(owner_, Notes(), {"too few"}).code(), 47);
  EXPECT_EQ(WriteMemo(owner_, Notes(), 3, "no such memo").code(), 47);
  EXPECT_EQ(WriteMemo(owner_, Notes(), 2, std::string(kMaxMemoLength + 1, 'x')).code(), 5);
  std::string read;
  ASSERT_TRUE(Read(0, &read).ok());
  EXPECT_EQ(read, "kept");
}

TEST_F(MemoSegmentsTest, DeletingARowsMemosLeavesOtherRowsAlone) {
  MemoOwner neighbour = owner_;
  neighbour.record_number = kRow + 1;
  ASSERT_TRUE(WriteRowMemos(owner_, Notes(), {Text(700), "x", Text(10)}).ok());
  ASSERT_TRUE(WriteRowMemos(neighbour, Notes(), {"buren", "", ""}).ok());
  ASSERT_TRUE(DeleteRowMemos(owner_).ok());
  for (uint8_t memo = 0; memo < 3; ++memo) EXPECT_TRUE(Segments(memo).empty());
  std::vector<std::string> read;
  ASSERT_TRUE(ReadRowMemos(neighbour, Notes(), &read).ok());
  EXPECT_EQ(read, (std::vector<std::string>{"buren", "", ""}));
}

TEST_F(MemoSegmentsTest, SegmentChainsThatDoNotAddUpAreInvalidDataFile) {
  std::string text;
  // A missing segment.
  PutSegment(0, 0, Text(256));
  PutSegment(0, 2, "end");
  EXPECT_EQ(Read(0, &text).code(), error_code::kInvalidDataFile);
  // A segment longer than 256 bytes.
  PutSegment(0, 1, Text(257));
  EXPECT_EQ(Read(0, &text).code(), error_code::kInvalidDataFile);
  // More text than the memo is declared to hold: 8 full segments.
  for (uint16_t i = 0; i < 8; ++i) PutSegment(0, i, Text(256));
  EXPECT_EQ(Read(0, &text).code(), error_code::kInvalidDataFile);

  // A blob whose segments hold less than its length says.
  PutSegment(2, 0, std::string("\xE8\x03\x00\x00", 4) + Text(256));
  PutSegment(2, 1, Text(44));
  EXPECT_EQ(Read(2, &text).code(), error_code::kInvalidDataFile);
  // A length far beyond anything segments can hold is refused without
  // being taken as a size to allocate.
  PutSegment(2, 0, std::string("\xFF\xFF\xFF\xFF", 4) + Text(256));
  EXPECT_EQ(Read(2, &text).code(), error_code::kInvalidDataFile);
  // A first segment too short for the length.
  PutSegment(2, 0, "ab");
  EXPECT_EQ(Read(2, &text).code(), error_code::kInvalidDataFile);

  // A record under the memo's prefix with a key of the wrong length.
  std::string key = MemoSegmentKey(kTable, kRow, 1, 0) + "!";
  ASSERT_TRUE(file_->Put(key + "x", key.size()).ok());
  EXPECT_EQ(Read(1, &text).code(), error_code::kInvalidDataFile);
}

}  // namespace
}  // namespace tentaria::storage
