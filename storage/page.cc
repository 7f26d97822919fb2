#include "storage/page.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace tentaria::storage {

namespace {
constexpr size_t kLeafReserve = 21;
}  // namespace

void Page::set_level(uint8_t level) {
  level_ = level;
  content_size_ = kPageHeaderSize;
  for (const PageEntry& e : entries_) content_size_ += EntryCost(e);
}

size_t Page::LowerBound(std::string_view key) const {
  auto it = std::lower_bound(
      entries_.begin(), entries_.end(), key,
      [](const PageEntry& e, std::string_view k) { return CompareKeys(e.key(), k) < 0; });
  return static_cast<size_t>(it - entries_.begin());
}

size_t Page::ChildFor(std::string_view key) const {
  auto it = std::upper_bound(
      entries_.begin(), entries_.end(), key,
      [](std::string_view k, const PageEntry& e) { return CompareKeys(k, e.key()) < 0; });
  size_t after = static_cast<size_t>(it - entries_.begin());
  return after == 0 ? 0 : after - 1;
}

void Page::Insert(size_t i, PageEntry entry) {
  // A leaf splits above 20 records: room for them all at once, rather than
  // growing step by step.
  if (entries_.capacity() == 0 && is_leaf()) entries_.reserve(kLeafReserve);
  content_size_ += EntryCost(entry);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i), std::move(entry));
}

void Page::Erase(size_t i) {
  content_size_ -= EntryCost(entries_[i]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

void Page::Replace(size_t i, PageEntry entry) {
  content_size_ -= EntryCost(entries_[i]);
  content_size_ += EntryCost(entry);
  entries_[i] = std::move(entry);
}

void Page::MoveTail(size_t from, Page* other) {
  for (size_t i = from; i < entries_.size(); ++i) {
    content_size_ -= EntryCost(entries_[i]);
    other->content_size_ += other->EntryCost(entries_[i]);
  }
  other->entries_.insert(
      other->entries_.end(),
      std::make_move_iterator(entries_.begin() + static_cast<std::ptrdiff_t>(from)),
      std::make_move_iterator(entries_.end()));
  entries_.resize(from);
}

void Page::TakeAll(Page* other) {
  entries_ = std::move(other->entries_);
  other->entries_.clear();
  other->content_size_ = kPageHeaderSize;
  set_level(level_);
}

void Page::Assign(std::vector<PageEntry> entries) {
  entries_ = std::move(entries);
  set_level(level_);
}

}  // namespace tentaria::storage
