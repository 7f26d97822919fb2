#include "storage/page_map.h"

#include <algorithm>
#include <utility>

namespace tentaria::storage {

PageMap::Entry* PageMap::Insert(int32_t ref, std::unique_ptr<Page> page) {
  if ((size_ + 1) * 2 > entries_.size()) Grow();
  ++size_;
  return Place(Entry{std::move(page), 0, ref, 0});
}

PageMap::Entry* PageMap::Place(Entry entry) {
  size_t i = Home(entry.ref);
  while (entries_[i].page) i = (i + 1) & mask();
  entries_[i] = std::move(entry);
  return &entries_[i];
}

void PageMap::Grow() {
  std::vector<Entry> old(entries_.size() * 2);
  old.swap(entries_);
  for (Entry& entry : old) {
    if (entry.page) Place(std::move(entry));
  }
}

std::unique_ptr<Page> PageMap::Erase(int32_t ref) {
  Entry* found = Find(ref);
  if (found == nullptr) return nullptr;
  std::unique_ptr<Page> page = std::move(found->page);
  --size_;
  // Each later entry of the same run moves into the hole when its home
  // does not lie between the hole and itself (cyclically): otherwise a
  // look-up starting at its home would stop at the hole.
  size_t hole = static_cast<size_t>(found - entries_.data());
  for (size_t i = (hole + 1) & mask(); entries_[i].page; i = (i + 1) & mask()) {
    size_t home = Home(entries_[i].ref);
    bool reachable = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (reachable) continue;
    entries_[hole] = std::move(entries_[i]);
    hole = i;
  }
  entries_[hole] = Entry{};
  return page;
}

void PageMap::Rekey(int32_t from, int32_t to) {
  Entry* found = Find(from);
  Entry moved{nullptr, found->used, to, found->bytes};
  moved.page = Erase(from);
  ++size_;
  Place(std::move(moved));
}

PageMap::~PageMap() { Clear(); }

void PageMap::Clear() {
  // Pages are freed in the order of their addresses, roughly the order
  // they were made in: the allocator merges freed neighbours far faster
  // than pages freed in the table's random order.
  std::vector<std::unique_ptr<Page>> pages;
  pages.reserve(size_);
  for (Entry& entry : entries_) {
    if (entry.page) pages.push_back(std::move(entry.page));
    entry = Entry{};
  }
  std::sort(pages.begin(), pages.end());
  size_ = 0;
}

}  // namespace tentaria::storage
