// The record file header and the size classes it describes.
//
// A record file is a 512-byte header followed by an area counted in blocks
// of 256 bytes: block reference ref stands for file offset 512 + 256 * ref.
// Every page takes a whole number i of blocks (its size class, 1..59) and
// lies in range i; the ranges are dense (no holes inside a range) and lie in
// ascending order of class, with free gaps between them allowed.
//
// Header layout (integers little-endian unless noted):
//
//   Offset  Width      Field
//   0       u32        home address: always 0, where a page keeps its own offset
//   4       u16        header size: 0x200
//   6       u32        committed end: file offset where committed data ends
//                      and the journal begins
//   10      u32        journal end: file offset where the journal ends; equal
//                      to committed end when no journal is pending
//   14      4 bytes    signature "tAvR"
//   18      2 bytes    reserved, zero
//   20      4 bytes    last issued number, big-endian: table and record
//                      numbers are drawn from it
//   24      u32        change count: raised by every commit, so that other
//                      processes see their cached pages are stale
//   28      i32        root page: block reference of the root of the record
//                      tree, -1 while the tree has never been written
//   32      60 x u32   range start[0..59]: first block of size class i
//   272     60 x u32   range end[0..59]: block after the last block of class i
#ifndef TENTARIA_STORAGE_FILE_HEADER_H_
#define TENTARIA_STORAGE_FILE_HEADER_H_

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/status.h"

namespace tentaria::storage {

inline constexpr size_t kHeaderSize = 512;
inline constexpr size_t kBlockSize = 256;
inline constexpr int kMaxClass = 59;
inline constexpr size_t kMaxPageBytes = kMaxClass * kBlockSize;  // 15104
inline constexpr int32_t kNoPage = -1;

// File offset of a block reference.
inline uint64_t BlockOffset(int32_t ref) {
  return kHeaderSize + kBlockSize * static_cast<uint64_t>(static_cast<uint32_t>(ref));
}
inline size_t RoundUpToBlock(size_t n) { return (n + kBlockSize - 1) / kBlockSize * kBlockSize; }

struct FileHeader {
  uint32_t committed_end = kHeaderSize;
  uint32_t journal_end = kHeaderSize;
  std::array<uint8_t, 4> last_number{};  // big-endian
  uint32_t change_count = 0;
  int32_t root = kNoPage;
  std::array<uint32_t, kMaxClass + 1> range_start{};
  std::array<uint32_t, kMaxClass + 1> range_end{};

  bool journal_pending() const { return committed_end != journal_end; }
  // File offset after the highest non-empty range (512 when all are empty).
  uint32_t UsedEnd() const;
  int PagesInRange(int size_class) const {
    return static_cast<int>((range_end[size_class] - range_start[size_class]) / size_class);
  }
  // The size class of a block reference; internal fault 1735 when the
  // reference lies in no range.
  Status ClassOf(int32_t ref, int* size_class) const;
  // Issues the next number from the counter (adds 1 at the lowest byte and
  // carries); internal fault 1173 once the highest byte would reach 0xFE.
  Status IssueNumber(uint32_t* number);
};

// The header of a file of length 0: nothing committed, empty tree.
FileHeader NewFileHeader();

void EncodeHeader(const FileHeader& header, uint8_t out[kHeaderSize]);
// Decodes a header read from disk; n is how many bytes were read.  Fewer
// than 512 bytes or a foreign signature is "Invalid Data File" (36); a range
// table that breaks the size class rules is internal fault 2401.
Status DecodeHeader(const uint8_t* data, size_t n, FileHeader* header);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_FILE_HEADER_H_
