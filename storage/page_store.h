// The page cache of one open record file.
//
// Pages are loaded on demand from their place on disk (or from a pending
// journal entry that holds their newer image) and kept by block reference.
// Pages made since the last flush carry provisional negative references.
// Changed pages stay in memory until the flush gives them a place and
// writes them; each fetch stamps a page with a use count, and the least
// recently used clean pages are dropped, between operations, when they take
// more memory than the cache's budget.  Dropped pages (up to a quarter of
// the budget) are kept as spares until the next drop and loads reuse them
// and their room, so that a scan through more pages than fit does not
// allocate and free for each one.
#ifndef TENTARIA_STORAGE_PAGE_STORE_H_
#define TENTARIA_STORAGE_PAGE_STORE_H_

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/status.h"
#include "storage/block_file.h"
#include "storage/file_header.h"
#include "storage/page.h"
#include "storage/page_map.h"

namespace tentaria::storage {

// The status code of a Get refused because the page is not cached while
// loads are refused.  It never leaves the record file: the operation that
// meets it takes the file's lock and goes on or starts again.
inline constexpr int kNotCachedCode = -1;

class PageStore {
 public:
  explicit PageStore(BlockFile* file) : file_(file) {}

  FileHeader& header() { return header_; }
  const FileHeader& header() const { return header_; }

  // The page at ref, loaded when not cached.
  Status Get(int32_t ref, Page** page);
  // While set, Get fails with kNotCachedCode instead of loading a page, so
  // that a read running without the file's lock stops before it touches
  // the file.
  void set_cached_only(bool on) { cached_only_ = on; }
  // A new empty page with a provisional reference, marked changed.
  Page* NewPage(uint8_t level);
  // Call before or after changing a page; a changed page stays cached.
  void MarkDirty(Page* page);
  // Gives a cached page another reference.
  void Rekey(Page* page, int32_t ref);
  int32_t NextProvisionalRef() { return next_provisional_--; }
  // Forgets a page that left the tree.
  void Forget(Page* page);

  // Pages changed since the last flush.
  std::vector<Page*> DirtyPages() const;
  bool HasChanges() const;
  void MarkAllClean();
  // Drops every cached page (changes included) and the journal map.
  void Clear();
  // Drops the least recently used clean pages once clean pages take more
  // than budget bytes, down to seven eighths of it, so that cursors (which
  // look their place up again after pages are dropped) seldom have to.
  void Trim(size_t budget);
  size_t cached_pages() const { return pages_.size(); }
  size_t clean_bytes() const { return clean_bytes_; }
  // Dropped pages waiting to be reused by a load.
  size_t spare_pages() const { return spares_.size(); }

  // While a journal is pending and cannot be copied home, pages whose home
  // offset has an entry are read from the entry: home offset -> entry offset.
  // Setting it also forgets the bytes read ahead: the header was read
  // again, and another process may have written since.
  void SetJournalMap(std::unordered_map<uint64_t, uint64_t> map) {
    journal_map_ = std::move(map);
    window_.clear();
  }
  const std::unordered_map<uint64_t, uint64_t>& journal_map() const { return journal_map_; }

  // Bumped by Clear: whatever was read or changed before may be gone.
  uint64_t clear_count() const { return clear_count_; }

  // Bumped whenever pages are dropped or the tree changes, so that cursors
  // know their remembered pages are no longer valid.
  uint64_t version() const { return version_; }
  void BumpVersion() { ++version_; }

 private:
  // Bytes read ahead on a sequential load; a page found whole in them is
  // not read again.
  static constexpr size_t kReadAhead = 64 * 1024;

  // The n bytes of the image at offset, from the window or the file.
  Status ReadImage(uint64_t offset, size_t n, const uint8_t** image);
  // A page to load into: a spare when there is one.
  std::unique_ptr<Page> TakeSpare(int32_t ref);
  void AddClean(PageMap::Entry* entry);
  void RemoveClean(PageMap::Entry* entry);

  BlockFile* file_;
  FileHeader header_;
  PageMap pages_;
  uint64_t use_count_ = 0;  // bumped by every fetch
  size_t clean_bytes_ = 0;
  std::vector<std::unique_ptr<Page>> spares_;
  // Trim's list of clean pages (use count, reference), kept for its room.
  std::vector<std::pair<uint64_t, int32_t>> by_use_;
  std::unordered_map<uint64_t, uint64_t> journal_map_;
  std::vector<uint8_t> window_;  // file bytes from window_offset_ on
  uint64_t window_offset_ = 0;
  uint64_t next_offset_ = 0;       // just after the page loaded last
  int32_t next_provisional_ = -2;  // -1 means "no page" in the header
  size_t dirty_pages_ = 0;         // cached pages that are changed
  uint64_t version_ = 0;
  uint64_t clear_count_ = 0;
  bool cached_only_ = false;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_STORE_H_
