// The record tree: one ordered set of variable-length records in a B+-tree
// of pages.  Leaf pages hold whole records; index pages hold the first key
// of each child.  The root's block reference is kept in the header and never
// changes because of a split: a full root pushes its records down into a
// new page and rises one level.
//
// Deletion removes a page left without records (only the root may be
// empty) and, when the root is left with a single child, pulls that child
// up into the root.  Pages that are merely underfull are not merged: every
// reader accepts them, and merging would cost writes on every delete.
#ifndef TENTARIA_STORAGE_RECORD_TREE_H_
#define TENTARIA_STORAGE_RECORD_TREE_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "storage/page_store.h"

namespace tentaria::storage {

struct PathStep {
  Page* page;
  size_t index;  // entry in that page: the child taken, or the leaf position
};
using TreePath = std::vector<PathStep>;

enum class PutMode { kInsert, kReplace, kUpsert };

class RecordTree {
 public:
  // free_place is called for each page that leaves the tree and has a place
  // on disk, so that the space manager can reuse it.
  using FreePlace = std::function<Status(int32_t ref)>;

  RecordTree(PageStore* store, FreePlace free_place)
      : store_(store), free_place_(std::move(free_place)) {}

  // Whether the tree has never had a root page.
  bool empty() const { return store_->header().root == kNoPage; }
  // Path to the leaf position (an empty path for an empty tree) of the first record at or after
  // key.
  Status Seek(std::string_view key, TreePath* path);
  Status SeekFirst(TreePath* path);
  Status SeekLast(TreePath* path);
  // Moves a path that points at a record (or past the end of its leaf, as
  // Seek may leave it) to the next or previous record; *valid is false when
  // there is none.
  Status Next(TreePath* path, bool* valid);
  Status Prev(TreePath* path, bool* valid);
  // Whether a path points at a record.
  static bool AtRecord(const TreePath& path) {
    return !path.empty() && path.back().index < path.back().page->size();
  }

  // Inserts or replaces the record whose first key_length bytes are its key.
  // kInsert fails with 40 when the key exists, kReplace with 35 when not.
  Status Put(std::string_view record, size_t key_length, PutMode mode);
  // Removes the record with this key; 35 when there is none.
  Status Delete(std::string_view key);

  // Gives page the reference new_ref and updates the one reference to it:
  // its parent's child entry, found by descending with its first key, or
  // the header's root field.  Faults 1891 (page without records) and 1894
  // (no parent refers to it).
  Status Relocate(Page* page, int32_t new_ref);

 private:
  Status Root(Page** root);
  Status Child(Page* parent, size_t index, Page** child);
  Status DescendTo(Page* page, bool last, TreePath* path);
  // After the first key of the page at path[depth] changed, makes the
  // index entries above it agree.
  void UpdateFirstKeys(const TreePath& path, size_t depth);
  // Splits every page on the path that grew past the limits, bottom up.
  Status Balance(const TreePath& path, size_t depth);
  Status SplitIfNeeded(Page* page, Page* parent, size_t index_in_parent);
  Status RemovePage(Page* page);
  Status CollapseRoot();

  PageStore* store_;
  FreePlace free_place_;
};

// Inserts at i of parent the index entry of child: its first key and its
// reference.
void InsertIndexEntry(Page* parent, size_t i, const Page& child);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_RECORD_TREE_H_
