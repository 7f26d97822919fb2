// Space management: the places of pages in the size class ranges.
//
// Range i holds the pages of class i (i blocks each) without holes; ranges
// ascend by class with free gaps allowed between them.  Freeing a place
// moves the range's last page into it.  A new place of class c is taken
// just below range c when the gap there holds c blocks or can be widened by
// moving lower ranges down; otherwise just above range c after making room
// by moving higher ranges up.  Every page move updates the one reference to
// the page (record_tree.h).
#ifndef TENTARIA_STORAGE_SPACE_H_
#define TENTARIA_STORAGE_SPACE_H_

#include <cstdint>

#include "platform/status.h"
#include "storage/page_store.h"
#include "storage/record_tree.h"

namespace tentaria::storage {

class Space {
 public:
  Space(PageStore* store, RecordTree* tree) : store_(store), tree_(tree) {}

  // Frees the place at ref (the page there has left it).
  Status Free(int32_t ref);
  // Gives count consecutive places of class c; the first is *first.
  Status Allocate(int c, int count, int32_t* first);
  // Moves ranges down over the gaps below them: a range with at most one
  // page moves whole onto the end of the range below, a larger one moves
  // its last page below its first while the gap holds a page.
  Status CloseGaps();

 private:
  FileHeader& h() { return store_->header(); }
  Status Move(uint32_t from, uint32_t to);
  // Tries to make the gap below range k at least need blocks by moving the
  // ranges below it down; *done is false (and nothing moved) when that
  // would reach range 0.
  Status WidenBelow(int k, uint32_t need, bool* done);
  // Makes the gap above range k at least need blocks by moving the ranges
  // above it up; range 59 grows at the end of the file.
  Status MakeRoomAbove(int k, uint32_t need);
  // Shifts range k up by delta blocks, moving each of its pages once.
  Status ShiftUp(int k, uint32_t delta);

  PageStore* store_;
  RecordTree* tree_;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_SPACE_H_
