// The cached pages of a page store, by block reference.
//
// An open-addressing table with linear probing: a look-up touches one or
// two neighbouring entries instead of a chain of separately allocated
// nodes, which matters because every step of every descent looks a page
// up.  Entries are removed by shifting the entries after them back, so no
// markers of removed entries pile up.
#ifndef TENTARIA_STORAGE_PAGE_MAP_H_
#define TENTARIA_STORAGE_PAGE_MAP_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "storage/page.h"

namespace tentaria::storage {

class PageMap {
 public:
  struct Entry {
    std::unique_ptr<Page> page;  // null in a free entry
    uint64_t used = 0;           // the store's use count when last fetched
    int32_t ref = 0;
    uint32_t bytes = 0;  // clean pages: the memory counted for them; else 0
  };

  PageMap() : entries_(kInitialEntries) {}
  PageMap(const PageMap&) = delete;
  PageMap& operator=(const PageMap&) = delete;
  ~PageMap();

  // The entry of ref, or null.
  Entry* Find(int32_t ref) {
    for (size_t i = Home(ref);; i = (i + 1) & mask()) {
      Entry& entry = entries_[i];
      if (!entry.page) return nullptr;
      if (entry.ref == ref) return &entry;
    }
  }
  // Adds page under ref, which must not be present yet.  Entry pointers
  // taken before are no longer valid.
  Entry* Insert(int32_t ref, std::unique_ptr<Page> page);
  // Removes ref's entry and gives back its page (null when absent).
  // Entry pointers taken before are no longer valid.
  std::unique_ptr<Page> Erase(int32_t ref);
  // Moves the entry of from (which must be present) to to (which must not),
  // keeping what it holds.
  void Rekey(int32_t from, int32_t to);
  void Clear();

  size_t size() const { return size_; }
  // Calls f(Entry&) on every entry in use; f must not add or remove any.
  template <typename F>
  void ForEach(F f) {
    for (Entry& entry : entries_) {
      if (entry.page) f(entry);
    }
  }
  template <typename F>
  void ForEach(F f) const {
    for (const Entry& entry : entries_) {
      if (entry.page) f(entry);
    }
  }

 private:
  static constexpr size_t kInitialEntries = 64;

  size_t mask() const { return entries_.size() - 1; }
  // Block references are small neighbouring numbers: a multiplicative hash
  // spreads them over the table.
  size_t Home(int32_t ref) const {
    uint64_t h = static_cast<uint64_t>(static_cast<uint32_t>(ref)) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h >> 32) & mask();
  }
  Entry* Place(Entry entry);
  void Grow();

  std::vector<Entry> entries_;  // a power of two of them, at most half in use
  size_t size_ = 0;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_MAP_H_
