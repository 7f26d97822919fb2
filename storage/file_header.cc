#include "storage/file_header.h"

#include <cstring>

#include "storage/bytes.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {

namespace {

constexpr uint8_t kSignature[4] = {0x74, 0x41, 0x76, 0x52};  // "tAvR"
constexpr size_t kRangeStartOffset = 32;
constexpr size_t kRangeEndOffset = 272;

// Ranges must be aligned to their class and ascend without overlap, or
// every reference lookup and page move would read the wrong place.
bool RangesValid(const FileHeader& h) {
  if (h.range_start[0] != h.range_end[0]) return false;
  uint32_t previous_end = h.range_end[0];
  for (int i = 1; i <= kMaxClass; ++i) {
    if (h.range_start[i] < previous_end || h.range_end[i] < h.range_start[i]) return false;
    if ((h.range_end[i] - h.range_start[i]) % i != 0) return false;
    previous_end = h.range_end[i];
  }
  // The used area must be addressable with 32-bit file offsets.
  return previous_end <= (UINT32_MAX - kHeaderSize) / kBlockSize;
}

}  // namespace

uint32_t FileHeader::UsedEnd() const {
  for (int k = kMaxClass; k >= 1; --k) {
    if (range_end[k] != range_start[k]) {
      return static_cast<uint32_t>(range_end[k] * kBlockSize + kHeaderSize);
    }
  }
  return static_cast<uint32_t>(range_end[0] * kBlockSize + kHeaderSize);
}

Status FileHeader::ClassOf(int32_t ref, int* size_class) const {
  if (ref >= 0) {
    uint32_t block = static_cast<uint32_t>(ref);
    for (int i = 1; i <= kMaxClass; ++i) {
      if (range_start[i] <= block && block < range_end[i]) {
        *size_class = i;
        return Status::Ok();
      }
    }
  }
  return InternalFault(fault::kNoSizeClass);
}

Status FileHeader::IssueNumber(uint32_t* number) {
  std::array<uint8_t, 4> next = last_number;
  for (int i = 3; i >= 0; --i) {
    if (++next[i] != 0) break;
  }
  // Table numbers must never begin with 0xFE, the first byte of name records.
  if (next[0] >= 0xFE) return InternalFault(fault::kNumbersExhausted);
  last_number = next;
  *number = LoadBigU32(next.data());
  return Status::Ok();
}

FileHeader NewFileHeader() { return FileHeader(); }

void EncodeHeader(const FileHeader& h, uint8_t out[kHeaderSize]) {
  std::memset(out, 0, kHeaderSize);
  StoreU32(out + 0, 0);
  StoreU16(out + 4, kHeaderSize);
  StoreU32(out + 6, h.committed_end);
  StoreU32(out + 10, h.journal_end);
  std::memcpy(out + 14, kSignature, 4);
  std::memcpy(out + 20, h.last_number.data(), 4);
  StoreU32(out + 24, h.change_count);
  StoreU32(out + 28, static_cast<uint32_t>(h.root));
  for (int i = 0; i <= kMaxClass; ++i) {
    StoreU32(out + kRangeStartOffset + 4 * i, h.range_start[i]);
    StoreU32(out + kRangeEndOffset + 4 * i, h.range_end[i]);
  }
}

Status DecodeHeader(const uint8_t* data, size_t n, FileHeader* header) {
  if (n < kHeaderSize || std::memcmp(data + 14, kSignature, 4) != 0) {
    return Status::Error(error_code::kInvalidDataFile, "not a record file");
  }
  FileHeader h;
  h.committed_end = LoadU32(data + 6);
  h.journal_end = LoadU32(data + 10);
  std::memcpy(h.last_number.data(), data + 20, 4);
  h.change_count = LoadU32(data + 24);
  h.root = static_cast<int32_t>(LoadU32(data + 28));
  for (int i = 0; i <= kMaxClass; ++i) {
    h.range_start[i] = LoadU32(data + kRangeStartOffset + 4 * i);
    h.range_end[i] = LoadU32(data + kRangeEndOffset + 4 * i);
  }
  if (!RangesValid(h) || h.journal_end < h.committed_end ||
      (h.journal_pending() && h.committed_end < kHeaderSize)) {
    return InternalFault(fault::kRangeTable);
  }
  *header = h;
  return Status::Ok();
}

}  // namespace tentaria::storage
