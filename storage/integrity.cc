#include "storage/integrity.h"

#include <array>
#include <memory>
#include <optional>
#include <unordered_set>

#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/page.h"
#include "storage/page_image.h"

namespace tentaria::storage {

namespace {

class Checker {
 public:
  Checker(BlockFile* file, const FileHeader& header,
          const std::unordered_map<uint64_t, uint64_t>& journal_map,
          std::vector<std::string>* problems)
      : file_(file), header_(header), journal_map_(journal_map), problems_(problems) {}

  void Run() {
    uint64_t length = 0;
    if (file_->Size(&length).ok() && header_.UsedEnd() > length && header_.root != kNoPage &&
        journal_map_.empty()) {
      Problem("used area ends at " + std::to_string(header_.UsedEnd()) + " beyond the file (" +
              std::to_string(length) + ")");
    }
    if (header_.root != kNoPage) Visit(header_.root, std::nullopt, true, nullptr);
    for (int c = 1; c <= kMaxClass; ++c) {
      if (seen_per_class_[c] != header_.PagesInRange(c)) {
        Problem("range " + std::to_string(c) + " holds " + std::to_string(header_.PagesInRange(c)) +
                " pages, the tree reaches " + std::to_string(seen_per_class_[c]));
      }
    }
  }

 private:
  void Problem(std::string text) { problems_->push_back(std::move(text)); }

  // Loads and checks the page at ref; *first_key receives its first key.
  void Visit(int32_t ref, std::optional<int> expected_level, bool is_root, std::string* first_key) {
    std::string where = "page " + std::to_string(ref) + ": ";
    int c = 0;
    if (!header_.ClassOf(ref, &c).ok()) {
      Problem(where + "in no range");
      return;
    }
    if ((static_cast<uint32_t>(ref) - header_.range_start[c]) % static_cast<uint32_t>(c) != 0) {
      Problem(where + "not on a page boundary of range " + std::to_string(c));
      return;
    }
    if (!seen_.insert(ref).second) {
      Problem(where + "reached twice");
      return;
    }
    ++seen_per_class_[c];
    size_t n = static_cast<size_t>(c) * kBlockSize;
    uint64_t offset = BlockOffset(ref);
    if (auto it = journal_map_.find(offset); it != journal_map_.end()) offset = it->second;
    std::vector<uint8_t> raw(n);
    size_t got = 0;
    Status s = file_->Read(offset, raw.data(), n, &got);
    if (!s.ok() || got != n) {
      Problem(where + "cannot be read");
      return;
    }
    std::unique_ptr<Page> page;
    s = DecodePageImage(raw.data(), n, ref, &page);
    if (!s.ok()) {
      Problem(where + s.message());
      return;
    }
    if (expected_level && page->level() != *expected_level) Problem(where + "wrong level");
    if (page->size() == 0 && !is_root) Problem(where + "holds no records");
    if (LoadU16(raw.data() + 8) != page->content_size()) Problem(where + "wrong content size");
    std::string image;
    if (EncodePageImage(*page, static_cast<uint32_t>(BlockOffset(ref)), &image).ok() &&
        LoadU16(reinterpret_cast<const uint8_t*>(image.data()) + 4) != LoadU16(raw.data() + 4)) {
      Problem(where + "stored form breaks the compression rule");
    }
    for (size_t i = 0; i < page->size(); ++i) {
      PageEntry e = page->entry(i);
      if (i > 0 && CompareKeys(page->entry(i - 1).key(), e.key()) >= 0) {
        Problem(where + "keys out of order");
      }
      if (page->is_leaf()) {
        if (last_key_ && CompareKeys(*last_key_, e.key()) >= 0) {
          Problem(where + "key not above the previous page's keys");
        }
        last_key_ = std::string(e.key());
        continue;
      }
      std::string child_first;
      Visit(e.child, page->level() - 1, false, &child_first);
      if (child_first != e.key()) Problem(where + "index key differs from its child's first key");
    }
    if (first_key && page->size() > 0) *first_key = std::string(page->entry(0).key());
  }

  BlockFile* file_;
  const FileHeader& header_;
  const std::unordered_map<uint64_t, uint64_t>& journal_map_;
  std::vector<std::string>* problems_;
  std::unordered_set<int32_t> seen_;
  std::array<int, kMaxClass + 1> seen_per_class_{};
  std::optional<std::string> last_key_;
};

}  // namespace

Status CheckFileIntegrity(BlockFile* file, const FileHeader& header,
                          const std::unordered_map<uint64_t, uint64_t>& journal_map,
                          std::vector<std::string>* problems) {
  size_t before = problems->size();
  Checker(file, header, journal_map, problems).Run();
  return problems->size() == before ? Status::Ok() : InternalFault(fault::kTreeShape);
}

}  // namespace tentaria::storage
