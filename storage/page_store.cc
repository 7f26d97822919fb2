#include "storage/page_store.h"

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
  if (read_buffer_.size() < n) read_buffer_.resize(n);
  size_t got = 0;
  s = file_->Read(offset, read_buffer_.data(), n, &got);
  if (!s.ok()) return s;
  if (got != n) return InternalFault(fault::kPageLength);
  std::unique_ptr<Page> loaded;
  s = DecodePageImage(read_buffer_.data(), n, ref, &loaded);
  if (!s.ok()) return s;
  *page = loaded.get();
  pages_.emplace(ref, std::move(loaded));
  return Status::Ok();
}

Page* PageStore::NewPage(uint8_t level) {
  int32_t ref = NextProvisionalRef();
  auto page = std::make_unique<Page>(ref, level);
  page->set_dirty(true);
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

bool PageStore::HasChanges() const {
  for (const auto& [ref, page] : pages_) {
    if (page->dirty()) return true;
  }
  return false;
}

void PageStore::MarkAllClean() {
  for (auto& [ref, page] : pages_) page->set_dirty(false);
}

void PageStore::Clear() {
  pages_.clear();
  journal_map_.clear();
  next_provisional_ = -2;
  ++version_;
}

void PageStore::Trim(size_t limit) {
  if (pages_.size() <= limit) return;
  std::erase_if(pages_, [](const auto& item) { return !item.second->dirty(); });
  ++version_;
}

}  // namespace tentaria::storage
