#include "storage/memo_segments.h"

#include <memory>

#include "platform/charset.h"
#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {
namespace {

constexpr size_t kSegmentKeySize = 12;
constexpr size_t kBlobLengthSize = 4;
// Table number, kind, record number and memo number: the part every
// segment of a memo shares.
constexpr size_t kMemoPrefixSize = 10;

std::string RowPrefix(uint32_t table, uint32_t record_number) {
  std::string prefix = TablePrefix(table);
  prefix.push_back(static_cast<char>(kMemoSegmentKind));
  prefix.append(4, '\0');
  StoreBigU32(reinterpret_cast<uint8_t*>(prefix.data()) + 5, record_number);
  return prefix;
}

bool Converted(const MemoOwner& owner, const MemoDescriptor& memo) {
  return owner.oem && !memo.blob() && !memo.binary();
}

Status BadSegments(const char* what) {
  return Status::Error(error_code::kInvalidDataFile, std::string("memo segments: ") + what);
}

Status CheckMemoNumber(const FileDescriptor& definition, size_t memo_number) {
  if (memo_number >= definition.memos.size()) {
    return Status::Error(error_code::kInvalidRecordDeclaration, "no such memo");
  }
  return Status::Ok();
}

// The part of `text` that is stored: a memo without its trailing spaces.
// A text that does not fit is refused.
Status StoredPart(const MemoDescriptor& memo, std::string_view text, std::string_view* stored) {
  if (!memo.blob()) {
    size_t end = text.find_last_not_of(' ');
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    if (memo.size != 0 && text.size() > memo.size) {
      return Status::Error(error_code::kInvalidRecordDeclaration,
                           "memo text longer than its declared size");
    }
  }
  if (text.size() > kMaxMemoLength) {
    return Status::Error(tentaria::error_code::kAccessDenied, "memo or blob longer than 16 MiB");
  }
  *stored = text;
  return Status::Ok();
}

// Deletes the segments under `prefix` from segment number `first` on.
Status DeleteSegmentsFrom(RecordFile* file, const std::string& prefix, uint16_t first) {
  std::string start = prefix;
  if (prefix.size() == kMemoPrefixSize) {
    start.push_back(static_cast<char>(first >> 8));
    start.push_back(static_cast<char>(first & 0xFF));
  }
  std::unique_ptr<RecordCursor> cursor = file->NewCursor();
  Status s = cursor->Seek(start);
  while (s.ok() && cursor->Valid() && cursor->key().starts_with(prefix)) {
    std::string key(cursor->key());
    s = file->Delete(key);
    if (s.ok()) s = cursor->Next();
  }
  return s;
}

}  // namespace

std::string MemoSegmentKey(uint32_t table, uint32_t record_number, uint8_t memo_number,
                           uint16_t segment) {
  std::string key = RowPrefix(table, record_number);
  key.push_back(static_cast<char>(memo_number));
  key.push_back(static_cast<char>(segment >> 8));
  key.push_back(static_cast<char>(segment & 0xFF));
  return key;
}

Status WriteMemo(const MemoOwner& owner, const FileDescriptor& definition, size_t memo_number,
                 std::string_view text) {
  Status s = CheckMemoNumber(definition, memo_number);
  if (!s.ok()) return s;
  const MemoDescriptor& memo = definition.memos[memo_number];
  s = StoredPart(memo, text, &text);
  if (!s.ok()) return s;
  std::string stored(text);
  if (Converted(owner, memo)) platform::CharToOem(stored.data(), stored.size());

  uint8_t number = static_cast<uint8_t>(memo_number);
  size_t segments = (stored.size() + kSegmentTextSize - 1) / kSegmentTextSize;
  for (size_t i = 0; i < segments; ++i) {
    std::string record =
        MemoSegmentKey(owner.table, owner.record_number, number, static_cast<uint16_t>(i));
    if (memo.blob() && i == 0) {
      uint8_t length[kBlobLengthSize];
      StoreU32(length, static_cast<uint32_t>(stored.size()));
      record.append(reinterpret_cast<const char*>(length), kBlobLengthSize);
    }
    record.append(std::string_view(stored).substr(i * kSegmentTextSize, kSegmentTextSize));
    s = owner.file->Put(record, kSegmentKeySize);
    if (!s.ok()) return s;
  }
  // A shorter text leaves no segments of the old one behind.
  std::string prefix = RowPrefix(owner.table, owner.record_number);
  prefix.push_back(static_cast<char>(number));
  return DeleteSegmentsFrom(owner.file, prefix, static_cast<uint16_t>(segments));
}

Status ReadMemo(const MemoOwner& owner, const FileDescriptor& definition, size_t memo_number,
                std::string* text) {
  Status s = CheckMemoNumber(definition, memo_number);
  if (!s.ok()) return s;
  const MemoDescriptor& memo = definition.memos[memo_number];
  std::string prefix = RowPrefix(owner.table, owner.record_number);
  prefix.push_back(static_cast<char>(memo_number));
  size_t limit = memo.blob() || memo.size == 0 ? kMaxMemoLength : memo.size;

  text->clear();
  uint32_t blob_length = 0;
  size_t expected_segment = 0;
  std::unique_ptr<RecordCursor> cursor = owner.file->NewCursor();
  for (s = cursor->Seek(prefix); s.ok() && cursor->Valid() && cursor->key().starts_with(prefix);
       s = cursor->Next()) {
    std::string_view key = cursor->key();
    std::string_view data = cursor->record().substr(key.size());
    if (key.size() != kSegmentKeySize) return BadSegments("a segment key of the wrong length");
    auto segment =
        static_cast<size_t>(static_cast<uint8_t>(key[10]) << 8 | static_cast<uint8_t>(key[11]));
    if (segment != expected_segment) return BadSegments("a segment is missing");
    if (memo.blob() && segment == 0) {
      if (data.size() < kBlobLengthSize) return BadSegments("blob without its length");
      blob_length = LoadU32(reinterpret_cast<const uint8_t*>(data.data()));
      if (blob_length > limit) return BadSegments("blob length out of range");
      data.remove_prefix(kBlobLengthSize);
    }
    if (data.size() > kSegmentTextSize) return BadSegments("a segment too long");
    if (text->size() + data.size() > limit) return BadSegments("text longer than its memo");
    text->append(data);
    ++expected_segment;
  }
  if (!s.ok()) return s;
  if (memo.blob() && text->size() != blob_length) {
    return BadSegments("blob segments do not add up to its length");
  }
  if (Converted(owner, memo)) platform::OemToChar(text->data(), text->size());
  return Status::Ok();
}

Status WriteRowMemos(const MemoOwner& owner, const FileDescriptor& definition,
                     const std::vector<std::string>& texts) {
  if (texts.size() != definition.memos.size()) {
    return Status::Error(error_code::kInvalidRecordDeclaration, "one text per memo expected");
  }
  // Every text is checked before any segment changes.
  for (size_t i = 0; i < texts.size(); ++i) {
    std::string_view stored;
    Status s = StoredPart(definition.memos[i], texts[i], &stored);
    if (!s.ok()) return s;
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    Status s = WriteMemo(owner, definition, i, texts[i]);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

Status ReadRowMemos(const MemoOwner& owner, const FileDescriptor& definition,
                    std::vector<std::string>* texts) {
  texts->assign(definition.memos.size(), std::string());
  for (size_t i = 0; i < texts->size(); ++i) {
    Status s = ReadMemo(owner, definition, i, &(*texts)[i]);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

Status DeleteRowMemos(const MemoOwner& owner) {
  return DeleteSegmentsFrom(owner.file, RowPrefix(owner.table, owner.record_number), 0);
}

}  // namespace tentaria::storage
