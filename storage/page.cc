#include "storage/page.h"

#include <algorithm>
#include <utility>

namespace tentaria::storage {

namespace {
// A fresh page's buffer starts at this size rather than growing from a few
// bytes in many steps.
constexpr size_t kInitialBuffer = 512;
// Garbage below this is never worth a compaction.
constexpr size_t kGarbageSlack = 1024;
// The room a recycled page keeps beyond what it needs: a sixteenth of it and
// this many bytes.
constexpr size_t kRoomSlack = 128;

bool RoomFits(size_t room, size_t need) {
  return room >= need && room <= need + need / 16 + kRoomSlack;
}
}  // namespace

void Page::set_level(uint8_t level) {
  level_ = level;
  content_size_ = kPageHeaderSize;
  for (const Slot& slot : slots_) content_size_ += EntryCost(slot.length);
  RebuildHeads();
}

void Page::RebuildHeads() {
  heads_.clear();
  head_skip_ = 0;
  shared_head_ = 0;
  if (level_ == 0) {
    heads_.shrink_to_fit();
    return;
  }
  if (!slots_.empty()) {
    // Keys are in order: what the first and the last share, all share.
    std::string_view first = key(0);
    std::string_view last = key(slots_.size() - 1);
    size_t common = std::min(first.size(), last.size());
    while (head_skip_ < common && first[head_skip_] == last[head_skip_]) ++head_skip_;
    shared_head_ = KeyHead(first.substr(0, std::min<size_t>(head_skip_, 8)));
  }
  heads_.reserve(slots_.size());
  for (size_t i = 0; i < slots_.size(); ++i) heads_.push_back(HeadOf(key(i)));
}

void Page::KeyChanged(size_t i, bool added) {
  if (level_ == 0) return;
  std::string_view changed = key(i);
  std::string_view other = slots_.size() > 1 ? key(i == 0 ? 1 : 0) : std::string_view();
  // Only a key that does not share the page's leading bytes moves the
  // heads' starting point: rare, as keys of one page are close.
  if (slots_.size() == 1 || changed.size() < head_skip_ ||
      std::memcmp(changed.data(), other.data(), head_skip_) != 0) {
    RebuildHeads();
  } else if (added) {
    heads_.insert(heads_.begin() + static_cast<std::ptrdiff_t>(i), HeadOf(changed));
  } else {
    heads_[i] = HeadOf(changed);
  }
}

size_t Page::LowerBound(std::string_view key) const {
  size_t low = 0;
  size_t high = slots_.size();
  while (low < high) {
    size_t middle = low + (high - low) / 2;
    if (CompareKeys(this->key(middle), key) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

size_t Page::ChildFor(std::string_view key) const {
  // The first entry whose key is above key, then one back.
  size_t low = 0;
  size_t high = slots_.size();
  if (level_ != 0 && high != 0) {
    // A key that differs from the page's shared leading bytes lies before
    // or after all its keys; else the heads settle most comparisons.
    size_t common = std::min<size_t>(key.size(), head_skip_);
    int shared = 0;
    if (head_skip_ <= 8) {
      // The shared bytes fit in a head: the page's keys are not touched.
      uint64_t head = KeyHead(key.substr(0, common));
      if (head != shared_head_) {
        shared = head < shared_head_ ? -1 : 1;
      } else if (common < head_skip_) {
        shared = -1;
      }
    } else {
      shared = CompareKeys(key.substr(0, common), this->key(0).substr(0, head_skip_));
    }
    if (shared != 0) return shared < 0 ? 0 : high - 1;
    uint64_t head = HeadOf(key);
    while (low < high) {
      size_t middle = low + (high - low) / 2;
      bool below =
          head != heads_[middle] ? head < heads_[middle] : CompareKeys(key, this->key(middle)) < 0;
      if (below) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    return low == 0 ? 0 : low - 1;
  }
  while (low < high) {
    size_t middle = low + (high - low) / 2;
    if (CompareKeys(key, this->key(middle)) < 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low == 0 ? 0 : low - 1;
}

uint32_t Page::Append(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > buffer_.capacity()) {
    // Reuse the room of erased entries before growing.
    if (garbage_ >= bytes.size() && garbage_ * 4 >= buffer_.size()) {
      Compact();
    } else if (buffer_.capacity() < kInitialBuffer) {
      buffer_.reserve(std::max(kInitialBuffer, buffer_.size() + bytes.size()));
    }
  }
  auto offset = static_cast<uint32_t>(buffer_.size());
  buffer_.append(bytes);
  return offset;
}

void Page::AddGarbage(size_t n) {
  garbage_ += n;
  if (slots_.empty()) {
    buffer_.clear();
    garbage_ = 0;
  } else if (garbage_ > kGarbageSlack && garbage_ * 2 > buffer_.size()) {
    Compact();
  }
}

void Page::Compact() {
  std::string fresh;
  fresh.reserve(buffer_.size() - garbage_);
  for (Slot& slot : slots_) {
    auto offset = static_cast<uint32_t>(fresh.size());
    fresh.append(buffer_, slot.offset, slot.length);
    slot.offset = offset;
  }
  buffer_.swap(fresh);
  garbage_ = 0;
}

void Page::Insert(size_t i, std::string_view bytes, size_t key_length, int32_t child) {
  if (bytes.data() >= buffer_.data() && bytes.data() < buffer_.data() + buffer_.size()) {
    // Appending may move the buffer under the bytes.
    std::string copy(bytes);
    Insert(i, copy, key_length, child);
    return;
  }
  uint32_t offset = Append(bytes);
  content_size_ += EntryCost(bytes.size());
  slots_.insert(
      slots_.begin() + static_cast<std::ptrdiff_t>(i),
      Slot{offset, static_cast<uint16_t>(bytes.size()), static_cast<uint16_t>(key_length), child});
  KeyChanged(i, true);
}

void Page::Erase(size_t i) {
  size_t length = slots_[i].length;
  content_size_ -= EntryCost(length);
  slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(i));
  if (level_ != 0) heads_.erase(heads_.begin() + static_cast<std::ptrdiff_t>(i));
  AddGarbage(length);
}

void Page::Replace(size_t i, std::string_view bytes, size_t key_length, int32_t child) {
  Slot& slot = slots_[i];
  content_size_ -= EntryCost(slot.length);
  content_size_ += EntryCost(bytes.size());
  slot.key_length = static_cast<uint16_t>(key_length);
  slot.child = child;
  if (bytes.size() == slot.length) {
    // A record of the same length, such as a rewritten count, stays where it is.
    std::memmove(buffer_.data() + slot.offset, bytes.data(), bytes.size());
    KeyChanged(i, false);
    return;
  }
  std::string copy;
  if (bytes.data() >= buffer_.data() && bytes.data() < buffer_.data() + buffer_.size()) {
    copy.assign(bytes);
    bytes = copy;
  }
  size_t old_length = slot.length;
  uint32_t offset = Append(bytes);
  // Append may have compacted the buffer, which moves every slot: look the
  // entry up again.
  slots_[i].offset = offset;
  slots_[i].length = static_cast<uint16_t>(bytes.size());
  AddGarbage(old_length);
  KeyChanged(i, false);
}

void Page::MoveTail(size_t from, Page* other) {
  size_t bytes = 0;
  for (size_t i = from; i < slots_.size(); ++i) bytes += slots_[i].length;
  other->Reserve(slots_.size() - from, bytes);
  for (size_t i = from; i < slots_.size(); ++i) {
    const Slot& slot = slots_[i];
    other->Insert(other->size(), std::string_view(buffer_.data() + slot.offset, slot.length),
                  slot.key_length, slot.child);
    content_size_ -= EntryCost(slot.length);
  }
  slots_.resize(from);
  if (level_ != 0) {
    heads_.resize(from);
    heads_.shrink_to_fit();
  }
  // What stays is copied to a buffer of its own size: after a split in key
  // order this half takes no more records.
  garbage_ += bytes;
  Compact();
  buffer_.shrink_to_fit();
  slots_.shrink_to_fit();
}

void Page::TakeAll(Page* other) {
  buffer_ = std::move(other->buffer_);
  slots_ = std::move(other->slots_);
  garbage_ = other->garbage_;
  other->buffer_.clear();
  other->slots_.clear();
  other->heads_.clear();
  other->garbage_ = 0;
  other->content_size_ = kPageHeaderSize;
  set_level(level_);
}

void Page::Reserve(size_t entries, size_t bytes) {
  slots_.reserve(slots_.size() + entries);
  if (level_ != 0) heads_.reserve(heads_.size() + entries);
  buffer_.reserve(buffer_.size() + bytes);
}

void Page::Reset(int32_t ref, uint8_t level) {
  ref_ = ref;
  level_ = level;
  dirty_ = false;
  buffer_.clear();
  slots_.clear();
  heads_.clear();
  head_skip_ = 0;
  shared_head_ = 0;
  garbage_ = 0;
  content_size_ = kPageHeaderSize;
}

void Page::FitRoom(size_t entries, size_t bytes) {
  if (!RoomFits(buffer_.capacity(), bytes)) {
    std::string fresh;
    fresh.reserve(bytes);
    buffer_.swap(fresh);
  }
  if (!RoomFits(slots_.capacity() * sizeof(Slot), entries * sizeof(Slot))) {
    std::vector<Slot> fresh;
    fresh.reserve(entries);
    slots_.swap(fresh);
  }
  size_t heads = level_ != 0 ? entries : 0;
  if (!RoomFits(heads_.capacity() * sizeof(uint64_t), heads * sizeof(uint64_t))) {
    std::vector<uint64_t> fresh;
    fresh.reserve(heads);
    heads_.swap(fresh);
  }
}

void Page::Prefetch() const {
  constexpr size_t kLine = 64;
  const char* buffer = buffer_.data();
  for (size_t i = 0; i < buffer_.capacity(); i += kLine) __builtin_prefetch(buffer + i, 1);
  const char* slots = reinterpret_cast<const char*>(slots_.data());
  for (size_t i = 0; i < slots_.capacity() * sizeof(Slot); i += kLine) {
    __builtin_prefetch(slots + i, 1);
  }
}

void Page::AppendShared(size_t shared, std::string_view rest, size_t key_length) {
  size_t length = shared + rest.size();
  if (buffer_.size() + length > buffer_.capacity()) {
    buffer_.reserve(std::max(buffer_.capacity() * 2, buffer_.size() + length));
  }
  auto offset = static_cast<uint32_t>(buffer_.size());
  if (shared != 0) buffer_.append(buffer_, slots_.back().offset, shared);
  buffer_.append(rest);
  content_size_ += EntryCost(length);
  slots_.push_back(
      Slot{offset, static_cast<uint16_t>(length), static_cast<uint16_t>(key_length), kNoPage});
}

}  // namespace tentaria::storage
