#include "storage/record_tree.h"

#include <utility>

#include "storage/internal_fault.h"

namespace tentaria::storage {

namespace {
constexpr size_t kPathReserve = 8;
}  // namespace

void InsertIndexEntry(Page* parent, size_t i, const Page& child) {
  std::string_view key = child.key(0);
  parent->Insert(i, key, key.size(), child.ref());
}

Status RecordTree::Root(Page** root) {
  int32_t ref = store_->header().root;
  if (ref == kNoPage) return InternalFault(fault::kTreeShape);
  return store_->Get(ref, root);
}

// A child must sit exactly one level below its parent and, unlike the root,
// hold records; anything else would let a hostile file loop or misroute.
Status RecordTree::Child(Page* parent, size_t index, Page** child) {
  Status s = store_->Get(parent->entry(index).child, child);
  if (!s.ok()) return s;
  if ((*child)->level() + 1 != parent->level() || (*child)->size() == 0) {
    return InternalFault(fault::kTreeShape);
  }
  return Status::Ok();
}

Status RecordTree::Seek(std::string_view key, TreePath* path) {
  path->clear();
  // One allocation for any tree of ordinary depth, not one per level.
  path->reserve(kPathReserve);
  if (empty()) return Status::Ok();
  Page* page = nullptr;
  Status s = Root(&page);
  if (!s.ok()) return s;
  while (!page->is_leaf()) {
    if (page->size() == 0) return InternalFault(fault::kTreeShape);
    size_t index = page->ChildFor(key);
    path->push_back({page, index});
    s = Child(page, index, &page);
    if (!s.ok()) return s;
  }
  path->push_back({page, page->LowerBound(key)});
  return Status::Ok();
}

Status RecordTree::DescendTo(Page* page, bool last, TreePath* path) {
  while (true) {
    if (page->size() == 0) {
      if (!page->is_leaf()) return InternalFault(fault::kTreeShape);
      path->push_back({page, 0});
      return Status::Ok();
    }
    size_t index = last ? page->size() - 1 : 0;
    path->push_back({page, index});
    if (page->is_leaf()) return Status::Ok();
    Status s = Child(page, index, &page);
    if (!s.ok()) return s;
  }
}

Status RecordTree::SeekFirst(TreePath* path) {
  path->clear();
  path->reserve(kPathReserve);
  if (empty()) return Status::Ok();
  Page* root = nullptr;
  Status s = Root(&root);
  if (!s.ok()) return s;
  return DescendTo(root, false, path);
}

Status RecordTree::SeekLast(TreePath* path) {
  path->clear();
  path->reserve(kPathReserve);
  if (empty()) return Status::Ok();
  Page* root = nullptr;
  Status s = Root(&root);
  if (!s.ok()) return s;
  return DescendTo(root, true, path);
}

Status RecordTree::Next(TreePath* path, bool* valid) {
  *valid = false;
  if (path->empty()) return Status::Ok();
  PathStep& leaf = path->back();
  if (leaf.index < leaf.page->size()) ++leaf.index;
  if (leaf.index < leaf.page->size()) {
    *valid = true;
    return Status::Ok();
  }
  // Climb to the first ancestor with a later child, then take its leftmost
  // leaf.
  size_t depth = path->size() - 1;
  while (depth > 0 && (*path)[depth - 1].index + 1 >= (*path)[depth - 1].page->size()) --depth;
  if (depth == 0) return Status::Ok();
  PathStep& step = (*path)[depth - 1];
  ++step.index;
  path->resize(depth);
  Page* child = nullptr;
  Status s = Child(step.page, step.index, &child);
  if (!s.ok()) return s;
  s = DescendTo(child, false, path);
  if (!s.ok()) return s;
  *valid = AtRecord(*path);
  return Status::Ok();
}

Status RecordTree::Prev(TreePath* path, bool* valid) {
  *valid = false;
  if (path->empty()) return Status::Ok();
  PathStep& leaf = path->back();
  if (leaf.index > 0) {
    --leaf.index;
    *valid = true;
    return Status::Ok();
  }
  size_t depth = path->size() - 1;
  while (depth > 0 && (*path)[depth - 1].index == 0) --depth;
  if (depth == 0) return Status::Ok();
  PathStep& step = (*path)[depth - 1];
  --step.index;
  path->resize(depth);
  Page* child = nullptr;
  Status s = Child(step.page, step.index, &child);
  if (!s.ok()) return s;
  s = DescendTo(child, true, path);
  if (!s.ok()) return s;
  *valid = AtRecord(*path);
  return Status::Ok();
}

void RecordTree::UpdateFirstKeys(const TreePath& path, size_t depth) {
  for (size_t d = depth; d > 0; --d) {
    Page* child = path[d].page;
    PathStep parent = path[d - 1];
    if (child->size() == 0) return;
    std::string_view key = child->key(0);
    parent.page->Replace(parent.index, key, key.size(), child->ref());
    store_->MarkDirty(parent.page);
    if (parent.index != 0) return;
  }
}

Status RecordTree::Put(std::string_view record, size_t key_length, PutMode mode) {
  if (record.size() > kMaxRecordLength) return InternalFault(fault::kRecordTooLong);
  std::string_view key = record.substr(0, key_length);
  if (empty()) store_->header().root = store_->NewPage(0)->ref();
  TreePath path;
  Status s = Seek(key, &path);
  if (!s.ok()) return s;
  PathStep leaf = path.back();
  bool exists = leaf.index < leaf.page->size() && leaf.page->key(leaf.index) == key;
  if (exists && mode == PutMode::kInsert) {
    return Status::Error(error_code::kDuplicateKey, "key exists");
  }
  if (!exists && mode == PutMode::kReplace) {
    return Status::Error(error_code::kRecordNotFound, "no such key");
  }
  if (exists) {
    leaf.page->Replace(leaf.index, record, key_length);
  } else {
    leaf.page->Insert(leaf.index, record, key_length);
    if (leaf.index == 0) UpdateFirstKeys(path, path.size() - 1);
  }
  store_->MarkDirty(leaf.page);
  store_->BumpVersion();
  return Balance(path, path.size() - 1);
}

Status RecordTree::Balance(const TreePath& path, size_t depth) {
  for (size_t d = depth + 1; d-- > 0;) {
    Page* parent = d > 0 ? path[d - 1].page : nullptr;
    size_t index = d > 0 ? path[d - 1].index : 0;
    Status s = SplitIfNeeded(path[d].page, parent, index);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

Status RecordTree::SplitIfNeeded(Page* page, Page* parent, size_t index_in_parent) {
  if (!page->NeedsSplit()) return Status::Ok();
  if (page->size() < 2) return InternalFault(fault::kSplitTooFew);
  if (parent == nullptr) {
    // The root keeps its place: its records move one level down.
    if (page->level() == UINT8_MAX) return InternalFault(fault::kTreeShape);
    Page* child = store_->NewPage(page->level());
    child->TakeAll(page);
    page->set_level(static_cast<uint8_t>(page->level() + 1));
    InsertIndexEntry(page, 0, *child);
    store_->MarkDirty(page);
    Status s = SplitIfNeeded(child, page, 0);
    if (!s.ok()) return s;
    return SplitIfNeeded(page, nullptr, 0);
  }
  // The middle record and everything after it go to the new page: the
  // middle joins the half with fewer records, the new one on a tie.
  Page* sibling = store_->NewPage(page->level());
  page->MoveTail(page->size() / 2, sibling);
  InsertIndexEntry(parent, index_in_parent + 1, *sibling);
  store_->MarkDirty(page);
  store_->MarkDirty(parent);
  // The sibling first: its own splits land after it and leave the page's
  // position in the parent unchanged.
  Status s = SplitIfNeeded(sibling, parent, index_in_parent + 1);
  if (!s.ok()) return s;
  return SplitIfNeeded(page, parent, index_in_parent);
}

Status RecordTree::Delete(std::string_view key) {
  TreePath path;
  Status s = Seek(key, &path);
  if (!s.ok()) return s;
  if (!AtRecord(path) || path.back().page->key(path.back().index) != key) {
    return Status::Error(error_code::kRecordNotFound, "no such key");
  }
  PathStep leaf = path.back();
  leaf.page->Erase(leaf.index);
  store_->MarkDirty(leaf.page);
  store_->BumpVersion();

  // Pages left empty leave the tree, bottom up; only the root may be empty.
  std::vector<Page*> removed;
  size_t depth = path.size() - 1;
  bool first_changed = leaf.index == 0;
  while (depth > 0 && path[depth].page->size() == 0) {
    removed.push_back(path[depth].page);
    PathStep parent = path[depth - 1];
    parent.page->Erase(parent.index);
    store_->MarkDirty(parent.page);
    first_changed = parent.index == 0;
    --depth;
  }
  Page* top = path[depth].page;
  if (depth == 0 && top->size() == 0) {
    top->set_level(0);
  } else if (first_changed) {
    UpdateFirstKeys(path, depth);
  }
  s = Balance(path, depth);
  if (!s.ok()) return s;
  for (Page* page : removed) {
    s = RemovePage(page);
    if (!s.ok()) return s;
  }
  return CollapseRoot();
}

Status RecordTree::RemovePage(Page* page) {
  int32_t ref = page->ref();
  store_->Forget(page);
  if (ref < 0) return Status::Ok();
  return free_place_(ref);
}

// A root with a single child takes over the child's entries, keeping the
// tree as shallow as its records allow.
Status RecordTree::CollapseRoot() {
  while (true) {
    Page* root = nullptr;
    Status s = Root(&root);
    if (!s.ok()) return s;
    if (root->is_leaf() || root->size() != 1) return Status::Ok();
    Page* child = nullptr;
    s = Child(root, 0, &child);
    if (!s.ok()) return s;
    uint8_t level = child->level();
    root->TakeAll(child);
    root->set_level(level);
    store_->MarkDirty(root);
    s = RemovePage(child);
    if (!s.ok()) return s;
  }
}

Status RecordTree::Relocate(Page* page, int32_t new_ref) {
  if (store_->header().root == page->ref()) {
    store_->header().root = new_ref;
    store_->Rekey(page, new_ref);
    store_->MarkDirty(page);
    store_->BumpVersion();
    return Status::Ok();
  }
  if (page->size() == 0) return InternalFault(fault::kMovedPageEmpty);
  std::string_view key = page->key(0);
  Page* current = nullptr;
  Status s = Root(&current);
  if (!s.ok()) return s;
  while (!current->is_leaf() && current->size() != 0) {
    size_t index = current->ChildFor(key);
    if (current->entry(index).child == page->ref()) {
      current->SetChild(index, new_ref);
      store_->MarkDirty(current);
      store_->Rekey(page, new_ref);
      store_->MarkDirty(page);
      store_->BumpVersion();
      return Status::Ok();
    }
    s = Child(current, index, &current);
    if (!s.ok()) return s;
  }
  return InternalFault(fault::kParentNotFound);
}

}  // namespace tentaria::storage
