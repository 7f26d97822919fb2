#include "storage/page_store.h"

#include <algorithm>
#include <vector>

#include "storage/internal_fault.h"
#include "storage/page_image.h"

namespace tentaria::storage {

Status PageStore::Get(int32_t ref, Page** page) {
  auto it = pages_.find(ref);
  if (it != pages_.end()) {
    *page = it->second.get();
    return Status::Ok();
  }
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
  pages_.emplace(ref, std::move(loaded));
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

Page* PageStore::NewPage(uint8_t level) {
  int32_t ref = NextProvisionalRef();
  auto page = std::make_unique<Page>(ref, level);
  page->set_dirty(true);
  ++dirty_pages_;
  Page* result = page.get();
  pages_.emplace(ref, std::move(page));
  return result;
}

void PageStore::Rekey(Page* page, int32_t ref) {
  auto node = pages_.extract(page->ref());
  node.key() = ref;
  page->set_ref(ref);
  pages_.insert(std::move(node));
}

void PageStore::Forget(Page* page) {
  if (page->dirty()) --dirty_pages_;
  pages_.erase(page->ref());
  ++version_;
}

std::vector<Page*> PageStore::DirtyPages() const {
  std::vector<Page*> result;
  for (const auto& [ref, page] : pages_) {
    if (page->dirty()) result.push_back(page.get());
  }
  return result;
}

bool PageStore::HasChanges() const { return dirty_pages_ != 0; }

void PageStore::MarkAllClean() {
  for (auto& [ref, page] : pages_) page->set_dirty(false);
  dirty_pages_ = 0;
  // The flush rewrote places the window may hold.
  window_.clear();
}

void PageStore::Clear() {
  pages_.clear();
  dirty_pages_ = 0;
  journal_map_.clear();
  window_.clear();
  next_provisional_ = -2;
  ++version_;
}

void PageStore::Trim(size_t limit) {
  if (pages_.size() <= limit || pages_.size() - dirty_pages_ <= limit / 4) return;
  std::erase_if(pages_, [](const auto& item) { return !item.second->dirty(); });
  ++version_;
}

}  // namespace tentaria::storage
