#include "storage/page_store.h"

#include <algorithm>
#include <vector>

#include "storage/internal_fault.h"
#include "storage/page_image.h"

namespace tentaria::storage {

Status PageStore::Get(int32_t ref, Page** page) {
  auto it = pages_.find(ref);
  if (it != pages_.end()) {
    Cached& cached = it->second;
    if (!cached.page->dirty()) lru_.splice(lru_.begin(), lru_, cached.lru);
    *page = cached.page.get();
    return Status::Ok();
  }
  if (cached_only_) return Status::Error(kNotCachedCode, "page not cached");
  int size_class = 0;
  Status s = header_.ClassOf(ref, &size_class);
  if (!s.ok()) return s;
  size_t n = static_cast<size_t>(size_class) * kBlockSize;
  uint64_t offset = BlockOffset(ref);
  auto journal = journal_map_.find(offset);
  if (journal != journal_map_.end()) offset = journal->second;
  const uint8_t* image = nullptr;
  s = ReadImage(offset, n, &image);
  if (!s.ok()) return s;
  std::unique_ptr<Page> loaded;
  s = DecodePageImage(image, n, ref, &loaded);
  if (!s.ok()) return s;
  *page = loaded.get();
  auto [inserted, unused] = pages_.emplace(ref, Cached{std::move(loaded), {}, 0});
  AddClean(&inserted->second);
  return Status::Ok();
}

Status PageStore::ReadImage(uint64_t offset, size_t n, const uint8_t** image) {
  if (offset >= window_offset_ && offset - window_offset_ <= window_.size() &&
      n <= window_.size() - (offset - window_offset_)) {
    *image = window_.data() + (offset - window_offset_);
    return Status::Ok();
  }
  // A load right after the previous one reads ahead: an ordered scan meets
  // its pages in file order when they were written in key order.
  bool sequential = journal_map_.empty() && offset == next_offset_;
  next_offset_ = offset + n;
  size_t want = sequential ? std::max(n, kReadAhead) : n;
  window_.resize(want);
  window_offset_ = offset;
  size_t got = 0;
  Status s = file_->Read(offset, window_.data(), want, &got);
  if (s.ok() && got != want && want != n) {
    // The file ends inside the read-ahead: read the page alone.
    want = n;
    window_.resize(want);
    s = file_->Read(offset, window_.data(), want, &got);
  }
  if (!s.ok() || got != want) {
    window_.clear();
    return s.ok() ? InternalFault(fault::kPageLength) : s;
  }
  *image = window_.data();
  return Status::Ok();
}

void PageStore::AddClean(Cached* cached) {
  lru_.push_front(cached->page.get());
  cached->lru = lru_.begin();
  cached->bytes = cached->page->memory_size();
  clean_bytes_ += cached->bytes;
}

void PageStore::RemoveClean(Cached* cached) {
  lru_.erase(cached->lru);
  clean_bytes_ -= cached->bytes;
  cached->bytes = 0;
}

Page* PageStore::NewPage(uint8_t level) {
  int32_t ref = NextProvisionalRef();
  auto page = std::make_unique<Page>(ref, level);
  page->set_dirty(true);
  ++dirty_pages_;
  Page* result = page.get();
  pages_.emplace(ref, Cached{std::move(page), {}, 0});
  return result;
}

void PageStore::MarkDirty(Page* page) {
  if (page->dirty()) return;
  page->set_dirty(true);
  ++dirty_pages_;
  RemoveClean(&pages_.at(page->ref()));
}

void PageStore::Rekey(Page* page, int32_t ref) {
  auto node = pages_.extract(page->ref());
  node.key() = ref;
  page->set_ref(ref);
  pages_.insert(std::move(node));
}

void PageStore::Forget(Page* page) {
  auto it = pages_.find(page->ref());
  if (page->dirty()) {
    --dirty_pages_;
  } else {
    RemoveClean(&it->second);
  }
  pages_.erase(it);
  ++version_;
}

std::vector<Page*> PageStore::DirtyPages() const {
  std::vector<Page*> result;
  for (const auto& [ref, cached] : pages_) {
    if (cached.page->dirty()) result.push_back(cached.page.get());
  }
  return result;
}

bool PageStore::HasChanges() const { return dirty_pages_ != 0; }

void PageStore::MarkAllClean() {
  for (auto& [ref, cached] : pages_) {
    if (!cached.page->dirty()) continue;
    cached.page->set_dirty(false);
    AddClean(&cached);
  }
  dirty_pages_ = 0;
  // The flush rewrote places the window may hold.
  window_.clear();
}

void PageStore::Clear() {
  pages_.clear();
  lru_.clear();
  clean_bytes_ = 0;
  dirty_pages_ = 0;
  journal_map_.clear();
  window_.clear();
  next_provisional_ = -2;
  ++version_;
  ++clear_count_;
}

void PageStore::Trim(size_t budget) {
  if (clean_bytes_ <= budget) return;
  size_t target = budget - budget / 8;
  while (clean_bytes_ > target && !lru_.empty()) {
    auto it = pages_.find(lru_.back()->ref());
    RemoveClean(&it->second);
    pages_.erase(it);
  }
  ++version_;
}

}  // namespace tentaria::storage
