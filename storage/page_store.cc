#include "storage/page_store.h"

#include <algorithm>
#include <vector>

#include "storage/internal_fault.h"
#include "storage/page_image.h"

namespace tentaria::storage {

Status PageStore::Get(int32_t ref, Page** page) {
  if (PageMap::Entry* entry = pages_.Find(ref)) {
    entry->used = ++use_count_;
    *page = entry->page.get();
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
  // The spare is taken first: its memory is fetched into the processor's
  // cache while the file is read.
  std::unique_ptr<Page> loaded = TakeSpare(ref);
  const uint8_t* image = nullptr;
  s = ReadImage(offset, n, &image);
  if (s.ok()) s = DecodePageImage(image, n, ref, loaded.get());
  if (!s.ok()) {
    // What the failed load left in the page does not matter to a spare.
    spares_.push_back(std::move(loaded));
    return s;
  }
  *page = loaded.get();
  PageMap::Entry* entry = pages_.Insert(ref, std::move(loaded));
  entry->used = ++use_count_;
  AddClean(entry);
  return Status::Ok();
}

std::unique_ptr<Page> PageStore::TakeSpare(int32_t ref) {
  if (spares_.empty()) return std::make_unique<Page>(ref, 0);
  std::unique_ptr<Page> page = std::move(spares_.back());
  spares_.pop_back();
  // Spares were dropped for being used least recently: their memory is
  // cold.  This one's object was fetched ahead by the last call; the next
  // one's is fetched now.
  page->Prefetch();
  if (!spares_.empty()) __builtin_prefetch(spares_.back().get(), 1);
  return page;
}

Status PageStore::ReadImage(uint64_t offset, size_t n, const uint8_t** image) {
  // The file's view in memory serves a page without a call into the host;
  // its bytes are decoded at once, before the view may move.
  if (const uint8_t* viewed = file_->View(offset, n)) {
    *image = viewed;
    return Status::Ok();
  }
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

void PageStore::AddClean(PageMap::Entry* entry) {
  entry->bytes = static_cast<uint32_t>(entry->page->memory_size());
  clean_bytes_ += entry->bytes;
}

void PageStore::RemoveClean(PageMap::Entry* entry) {
  clean_bytes_ -= entry->bytes;
  entry->bytes = 0;
}

Page* PageStore::NewPage(uint8_t level) {
  int32_t ref = NextProvisionalRef();
  auto page = std::make_unique<Page>(ref, level);
  page->set_dirty(true);
  ++dirty_pages_;
  Page* result = page.get();
  pages_.Insert(ref, std::move(page))->used = ++use_count_;
  return result;
}

void PageStore::MarkDirty(Page* page) {
  if (page->dirty()) return;
  page->set_dirty(true);
  ++dirty_pages_;
  RemoveClean(pages_.Find(page->ref()));
}

void PageStore::Rekey(Page* page, int32_t ref) {
  pages_.Rekey(page->ref(), ref);
  page->set_ref(ref);
}

void PageStore::Forget(Page* page) {
  PageMap::Entry* entry = pages_.Find(page->ref());
  if (page->dirty()) {
    --dirty_pages_;
  } else {
    RemoveClean(entry);
  }
  pages_.Erase(page->ref());
  ++version_;
}

std::vector<Page*> PageStore::DirtyPages() const {
  std::vector<std::pair<int32_t, Page*>> dirty;
  pages_.ForEach([&dirty](const PageMap::Entry& entry) {
    if (entry.bytes == 0) dirty.emplace_back(entry.ref, entry.page.get());
  });
  // New pages in the order they were made (their provisional references
  // count down), then the others in file order: the order the table holds
  // them in is random, and a flush that walks pages in it misses the
  // processor's cache on every one.
  std::sort(dirty.begin(), dirty.end(), [](const auto& a, const auto& b) {
    if ((a.first < 0) != (b.first < 0)) return a.first < 0;
    return a.first < 0 ? a.first > b.first : a.first < b.first;
  });
  std::vector<Page*> result;
  result.reserve(dirty.size());
  for (const auto& [ref, page] : dirty) result.push_back(page);
  return result;
}

bool PageStore::HasChanges() const { return dirty_pages_ != 0; }

void PageStore::MarkAllClean() {
  pages_.ForEach([this](PageMap::Entry& entry) {
    if (!entry.page->dirty()) return;
    entry.page->set_dirty(false);
    AddClean(&entry);
  });
  dirty_pages_ = 0;
  // The flush rewrote places the window may hold.
  window_.clear();
}

void PageStore::Clear() {
  pages_.Clear();
  spares_.clear();
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
  // Spares the last drop left unused are freed, and a drop keeps at most a
  // quarter of the budget as spares (an ordinary drop takes an eighth): a
  // flush of a large change leaves far more clean pages than fit, and
  // their memory is returned at once.
  spares_.clear();
  size_t spare_bytes = 0;
  by_use_.clear();
  pages_.ForEach([this](const PageMap::Entry& entry) {
    if (entry.bytes != 0) by_use_.emplace_back(entry.used, entry.ref);
  });
  // The least recently used pages come first, found a batch at a time
  // (sized from the pages' average) rather than by sorting them all.
  auto next = by_use_.begin();
  while (clean_bytes_ > target && next != by_use_.end()) {
    size_t excess = clean_bytes_ - target;
    auto left = static_cast<size_t>(by_use_.end() - next);
    size_t batch = std::min(left, excess / std::max<size_t>(1, clean_bytes_ / left) + 16);
    auto batch_end = next + static_cast<std::ptrdiff_t>(batch);
    std::nth_element(next, batch_end - 1, by_use_.end());
    std::sort(next, batch_end);
    for (; next != batch_end && clean_bytes_ > target; ++next) {
      PageMap::Entry* entry = pages_.Find(next->second);
      size_t bytes = entry->bytes;
      RemoveClean(entry);
      std::unique_ptr<Page> dropped = pages_.Erase(next->second);
      if (spare_bytes + bytes <= budget / 4) {
        spare_bytes += bytes;
        spares_.push_back(std::move(dropped));
      }
    }
  }
  ++version_;
}

}  // namespace tentaria::storage
