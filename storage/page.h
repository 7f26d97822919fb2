// A page of the record tree as held in memory.
//
// A leaf page (level 0) holds whole records; an index page (level 1 and up)
// holds one entry per child: the key of the child's first record and the
// child's block reference.  Entries are kept in ascending key order.
#ifndef TENTARIA_STORAGE_PAGE_H_
#define TENTARIA_STORAGE_PAGE_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_header.h"

namespace tentaria::storage {

// Records are shorter than this (key and data together).
inline constexpr size_t kRecordLimit = 15094;
// The longest record the engine writes.  A page holding just one record, or
// an index page holding just its key, must stay within the split limit and
// within 59 blocks, or the page could neither be split nor stored.
inline constexpr size_t kMaxRecordLength = 15072;
// Fixed part of a page image: home address, sizes, count, level.
inline constexpr size_t kPageHeaderSize = 13;

// Orders keys bytewise, unsigned; on an equal common part the shorter first.
// Keys are short and compared by the million in a descent: eight bytes at
// a time as big-endian numbers, inline.
inline int CompareKeys(std::string_view a, std::string_view b) {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  size_t i = 0;
  for (; i + 8 <= common; i += 8) {
    uint64_t x = 0;
    uint64_t y = 0;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x == y) continue;
    if constexpr (std::endian::native == std::endian::little) {
      x = __builtin_bswap64(x);
      y = __builtin_bswap64(y);
    }
    return x < y ? -1 : 1;
  }
  for (; i < common; ++i) {
    auto x = static_cast<uint8_t>(a[i]);
    auto y = static_cast<uint8_t>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

struct PageEntry {
  std::string bytes;        // the record; for an index entry its key alone
  uint16_t key_length = 0;  // leading bytes of `bytes` that form the key
  int32_t child = kNoPage;  // index pages: the child's block reference

  std::string_view key() const { return std::string_view(bytes).substr(0, key_length); }
};

class Page {
 public:
  Page(int32_t ref, uint8_t level) : ref_(ref), level_(level) {}

  int32_t ref() const { return ref_; }
  void set_ref(int32_t ref) { ref_ = ref; }
  uint8_t level() const { return level_; }
  void set_level(uint8_t level);
  bool is_leaf() const { return level_ == 0; }
  bool dirty() const { return dirty_; }
  void set_dirty(bool dirty) { dirty_ = dirty; }

  const std::vector<PageEntry>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }
  const PageEntry& entry(size_t i) const { return entries_[i]; }

  // 13 + the sum of (record length + 5), + 4 per child on an index page:
  // the page's size without prefix sharing, which bounds its image.
  size_t content_size() const { return content_size_; }
  // A page is split after a change when it grows past these limits.
  bool NeedsSplit() const {
    return content_size_ > kRecordLimit || (content_size_ > 4096 && entries_.size() > 20);
  }

  // Index of the first entry whose key is not below key (size() if none).
  size_t LowerBound(std::string_view key) const;
  // Index page: the child to descend into for key (the last entry whose
  // key is at or below it, or the first entry).
  size_t ChildFor(std::string_view key) const;

  void Insert(size_t i, PageEntry entry);
  void Erase(size_t i);
  void Replace(size_t i, PageEntry entry);
  void SetChild(size_t i, int32_t child) { entries_[i].child = child; }
  // Moves entries [from, size()) to the end of other.
  void MoveTail(size_t from, Page* other);
  // Takes all entries of other, leaving it empty.
  void TakeAll(Page* other);
  void Assign(std::vector<PageEntry> entries);

 private:
  size_t EntryCost(const PageEntry& e) const { return e.bytes.size() + 5 + (level_ ? 4 : 0); }

  int32_t ref_;
  uint8_t level_;
  bool dirty_ = false;
  std::vector<PageEntry> entries_;
  size_t content_size_ = kPageHeaderSize;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_H_
