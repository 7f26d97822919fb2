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

// The first eight bytes of a key as a big-endian number, zero-padded: a
// smaller head means a smaller key; equal heads settle nothing.
inline uint64_t KeyHead(std::string_view key) {
  uint8_t bytes[8] = {};
  std::memcpy(bytes, key.data(), key.size() < 8 ? key.size() : 8);
  uint64_t head = 0;
  std::memcpy(&head, bytes, 8);
  if constexpr (std::endian::native == std::endian::little) head = __builtin_bswap64(head);
  return head;
}

// One entry of a page, as a view into the page's buffer.  The view stays
// valid until the page itself is changed.
struct PageEntry {
  std::string_view bytes;   // the record; for an index entry its key alone
  uint16_t key_length = 0;  // leading bytes of `bytes` that form the key
  int32_t child = kNoPage;  // index pages: the child's block reference

  std::string_view key() const { return bytes.substr(0, key_length); }
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

  size_t size() const { return slots_.size(); }
  PageEntry entry(size_t i) const {
    const Slot& slot = slots_[i];
    return {std::string_view(buffer_.data() + slot.offset, slot.length), slot.key_length,
            slot.child};
  }
  std::string_view key(size_t i) const {
    const Slot& slot = slots_[i];
    return std::string_view(buffer_.data() + slot.offset, slot.key_length);
  }

  // 13 + the sum of (record length + 5), + 4 per child on an index page:
  // the page's size without prefix sharing, which bounds its image.
  size_t content_size() const { return content_size_; }
  // A page is split after a change when it grows past these limits.
  bool NeedsSplit() const {
    return content_size_ > kRecordLimit || (content_size_ > 4096 && slots_.size() > 20);
  }
  // Bytes of memory the page takes, for the cache's budget.
  size_t memory_size() const {
    return sizeof(Page) + buffer_.capacity() + slots_.capacity() * sizeof(Slot) +
           heads_.capacity() * sizeof(uint64_t);
  }

  // Index of the first entry whose key is not below key (size() if none).
  size_t LowerBound(std::string_view key) const;
  // Index page: the child to descend into for key (the last entry whose
  // key is at or below it, or the first entry).
  size_t ChildFor(std::string_view key) const;

  // The first key_length bytes of bytes are the entry's key.  bytes may lie
  // in this page's own buffer.
  void Insert(size_t i, std::string_view bytes, size_t key_length, int32_t child = kNoPage);
  void Erase(size_t i);
  void Replace(size_t i, std::string_view bytes, size_t key_length, int32_t child = kNoPage);
  void SetChild(size_t i, int32_t child) { slots_[i].child = child; }
  // Moves entries [from, size()) to the end of other.
  void MoveTail(size_t from, Page* other);
  // Takes all entries of other, leaving it empty.
  void TakeAll(Page* other);
  // Room for this many more entries and bytes, before a load fills the page.
  void Reserve(size_t entries, size_t bytes);
  // Empties the page to take the place of another, keeping its room.
  void Reset(int32_t ref, uint8_t level);
  // On an empty page: room for exactly this many entries and bytes, unless
  // the room it has already fits them with little to spare.  A recycled
  // page must not keep much more room than it uses: the cache's budget
  // counts room, not contents.
  void FitRoom(size_t entries, size_t bytes);
  // Loading a page: appends an entry whose first `shared` bytes are those
  // of the last entry, followed by rest.  FinishLoad follows the last one.
  void AppendShared(size_t shared, std::string_view rest, size_t key_length);
  void FinishLoad() { RebuildHeads(); }
  // Asks the processor to fetch the page's memory, ahead of a load into it.
  void Prefetch() const;

 private:
  // Where an entry's bytes lie in buffer_.  Bytes of erased or replaced
  // entries stay behind as garbage until the buffer is compacted.
  struct Slot {
    uint32_t offset;
    uint16_t length;
    uint16_t key_length;
    int32_t child;
  };

  size_t EntryCost(size_t length) const { return length + 5 + (level_ ? 4 : 0); }
  // Appends bytes to the buffer; the offset they start at.
  uint32_t Append(std::string_view bytes);
  void AddGarbage(size_t n);
  // Rewrites the buffer with the live entries only, in entry order.
  void Compact();
  void RebuildHeads();
  // After the key of entry i was added or changed.
  void KeyChanged(size_t i, bool added);
  uint64_t HeadOf(std::string_view key) const {
    return KeyHead(key.substr(key.size() < head_skip_ ? key.size() : head_skip_));
  }

  // What a descent reads comes first, within the object's first 64 bytes.
  int32_t ref_;
  uint8_t level_;
  bool dirty_ = false;
  uint16_t head_skip_ = 0;
  std::vector<Slot> slots_;
  // Index pages only, one per entry: the heads of the keys after the
  // head_skip_ leading bytes that all of them share, so that a descent's
  // binary search reads one small array and seldom the keys themselves.
  std::vector<uint64_t> heads_;
  uint64_t shared_head_ = 0;  // the head of those shared bytes
  std::string buffer_;
  size_t garbage_ = 0;
  size_t content_size_ = kPageHeaderSize;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_H_
