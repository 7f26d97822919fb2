// The memos and blobs of a row, kept as segment records beside the row in
// the record tree.  A text is cut into segments of at most 256 bytes,
// numbered from 0:
//
//   Memo or blob segment (key 12 bytes)
//     key   0   4     table number, big-endian
//           4   1     0xFC
//           5   4     record number of the owning row, big-endian
//           9   1     memo number: the memo's position in the definition,
//                     from 0 (memos and blobs counted together)
//          10   2     segment number, big-endian, from 0
//     data  memo, every segment:
//           0   n     1 to 256 bytes of text
//           blob, segment 0:
//           0   u32   total length of the blob in bytes, little-endian
//           4   n     0 to 256 bytes of the blob
//           blob, later segments:
//           0   n     1 to 256 bytes of the blob
//
// Every segment but the last of a text is full (256 bytes of text).  A
// memo's trailing spaces are not stored, so an empty (or blank) memo has
// no segments; an empty blob has none either.  When the file keeps its
// text in the OEM character set, memo text is converted to OEM on writing
// and back on reading; blobs and memos marked BINARY are kept as given.
//
// Texts read back are checked: segments must follow one another without
// gaps, a blob's segments must add up to its total length and a memo must
// fit its declared size.  A file where they do not is "Invalid Data File"
// (36); nothing is allocated beyond what the segments really hold.
#ifndef TENTARIA_STORAGE_MEMO_SEGMENTS_H_
#define TENTARIA_STORAGE_MEMO_SEGMENTS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "storage/record_file.h"
#include "storage/table_definition.h"

namespace tentaria::storage {

inline constexpr uint8_t kMemoSegmentKind = 0xFC;
inline constexpr size_t kSegmentTextSize = 256;
// The longest text segment numbers can carry: 65536 full segments.
inline constexpr size_t kMaxMemoLength = 65536 * kSegmentTextSize;

std::string MemoSegmentKey(uint32_t table, uint32_t record_number, uint8_t memo_number,
                           uint16_t segment);

// Where the memos of one row live, and how their text is kept.
struct MemoOwner {
  RecordFile* file = nullptr;
  uint32_t table = 0;
  uint32_t record_number = 0;
  bool oem = false;  // the file keeps its text in the OEM character set
};

// Replaces the stored text of memo `memo_number` of the owner's row with
// `text` (Windows-1252 for a memo; any bytes for a blob or BINARY memo).
// A memo longer than its declared size (when that is not 0) is refused
// with "Invalid Record Declaration" (47), a text longer than
// kMaxMemoLength with "Access Denied" (5), before anything changes.  The
// changes wait for the file's next flush, like every other change.
Status WriteMemo(const MemoOwner& owner, const FileDescriptor& definition, size_t memo_number,
                 std::string_view text);

// The stored text of a memo, as it was written (a memo without its
// trailing spaces, converted back from OEM); empty when it has no
// segments.  Segments that do not add up are 36.
Status ReadMemo(const MemoOwner& owner, const FileDescriptor& definition, size_t memo_number,
                std::string* text);

// Every memo of the row in definition order: texts[i] is memo i.
// WriteRowMemos needs one text per memo of the definition (else 47).
Status WriteRowMemos(const MemoOwner& owner, const FileDescriptor& definition,
                     const std::vector<std::string>& texts);
Status ReadRowMemos(const MemoOwner& owner, const FileDescriptor& definition,
                    std::vector<std::string>* texts);

// Deletes every segment of every memo and blob of the row.
Status DeleteRowMemos(const MemoOwner& owner);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_MEMO_SEGMENTS_H_
