#include "storage/space.h"

namespace tentaria::storage {

Status Space::Move(uint32_t from, uint32_t to) {
  Page* page = nullptr;
  Status s = store_->Get(static_cast<int32_t>(from), &page);
  if (!s.ok()) return s;
  return tree_->Relocate(page, static_cast<int32_t>(to));
}

Status Space::Free(int32_t ref) {
  int c = 0;
  Status s = h().ClassOf(ref, &c);
  if (!s.ok()) return s;
  uint32_t last = h().range_end[c] - static_cast<uint32_t>(c);
  if (last != static_cast<uint32_t>(ref)) {
    s = Move(last, static_cast<uint32_t>(ref));
    if (!s.ok()) return s;
  }
  h().range_end[c] = last;
  return Status::Ok();
}

Status Space::WidenBelow(int k, uint32_t need, bool* done) {
  uint32_t gap = h().range_start[k] - h().range_end[k - 1];
  *done = gap >= need;
  if (*done) return Status::Ok();
  int j = k - 1;
  if (j == 0) return Status::Ok();
  uint32_t uj = static_cast<uint32_t>(j);
  uint32_t missing = need - gap;
  uint32_t pages = static_cast<uint32_t>(h().PagesInRange(j));
  // An empty range moves by exactly what is missing; a range with pages
  // moves by whole pages.
  uint32_t shift = pages == 0 ? missing : (missing + uj - 1) / uj * uj;
  Status s = WidenBelow(j, shift, done);
  if (!s.ok() || !*done) return s;
  if (pages == 0) {
    h().range_start[j] -= shift;
    h().range_end[j] -= shift;
    return Status::Ok();
  }
  for (uint32_t moved = 0; moved < shift; moved += uj) {
    s = Move(h().range_end[j] - uj, h().range_start[j] - uj);
    if (!s.ok()) return s;
    h().range_start[j] -= uj;
    h().range_end[j] -= uj;
  }
  return Status::Ok();
}

Status Space::ShiftUp(int k, uint32_t delta) {
  uint32_t uk = static_cast<uint32_t>(k);
  // From the top down, so that no page lands on one not yet moved.
  for (uint32_t place = h().range_end[k]; place > h().range_start[k];) {
    place -= uk;
    Status s = Move(place, place + delta);
    if (!s.ok()) return s;
  }
  h().range_start[k] += delta;
  h().range_end[k] += delta;
  return Status::Ok();
}

Status Space::MakeRoomAbove(int k, uint32_t need) {
  if (k == kMaxClass) return Status::Ok();
  int up = k + 1;
  uint32_t uup = static_cast<uint32_t>(up);
  uint32_t gap = h().range_start[up] - h().range_end[k];
  if (gap >= need) return Status::Ok();
  uint32_t missing = need - gap;
  uint32_t pages = static_cast<uint32_t>(h().PagesInRange(up));
  uint32_t whole_pages = (missing + uup - 1) / uup;
  if (pages > 1 && whole_pages < pages) {
    // Rotate: the first pages of the range move to its end.
    Status s = MakeRoomAbove(up, whole_pages * uup);
    if (!s.ok()) return s;
    for (uint32_t i = 0; i < whole_pages; ++i) {
      s = Move(h().range_start[up], h().range_end[up]);
      if (!s.ok()) return s;
      h().range_start[up] += uup;
      h().range_end[up] += uup;
    }
    return Status::Ok();
  }
  Status s = MakeRoomAbove(up, missing);
  if (!s.ok()) return s;
  return ShiftUp(up, missing);
}

Status Space::Allocate(int c, int count, int32_t* first) {
  uint32_t uc = static_cast<uint32_t>(c);
  uint32_t need = uc * static_cast<uint32_t>(count);
  bool below = false;
  Status s = WidenBelow(c, need, &below);
  if (!s.ok()) return s;
  if (below) {
    h().range_start[c] -= need;
    *first = static_cast<int32_t>(h().range_start[c]);
    return Status::Ok();
  }
  s = MakeRoomAbove(c, need);
  if (!s.ok()) return s;
  *first = static_cast<int32_t>(h().range_end[c]);
  h().range_end[c] += need;
  return Status::Ok();
}

Status Space::CloseGaps() {
  for (int i = 2; i <= kMaxClass; ++i) {
    uint32_t ui = static_cast<uint32_t>(i);
    uint32_t floor = h().range_end[i - 1];
    if (h().PagesInRange(i) <= 1) {
      uint32_t delta = h().range_start[i] - floor;
      if (delta == 0) continue;
      if (h().PagesInRange(i) == 1) {
        Status s = Move(h().range_start[i], floor);
        if (!s.ok()) return s;
      }
      h().range_start[i] -= delta;
      h().range_end[i] -= delta;
      continue;
    }
    while (h().range_start[i] - floor >= ui) {
      Status s = Move(h().range_end[i] - ui, h().range_start[i] - ui);
      if (!s.ok()) return s;
      h().range_start[i] -= ui;
      h().range_end[i] -= ui;
    }
  }
  return Status::Ok();
}

}  // namespace tentaria::storage
