#include "views/plan_sort.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "views/expression_evaluator.h"

namespace tentaria::views {

namespace {

std::string Indent(int depth) { return std::string(static_cast<size_t>(depth) * 2, ' '); }

void PutLength(std::string* out, size_t length) {
  auto n = static_cast<uint32_t>(length);
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

size_t GetLength(std::string_view* in) {
  if (in->size() < 4) {
    in->remove_prefix(in->size());
    return 0;
  }
  uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= static_cast<uint32_t>(static_cast<uint8_t>((*in)[i])) << (8 * i);
  in->remove_prefix(4);
  return std::min<size_t>(n, in->size());
}

std::vector<Value> OrderValues(std::span<const OrderEntry> order, size_t count) {
  std::vector<Value> values;
  values.reserve(count);
  for (size_t i = 0; i < count; ++i) values.push_back(EvaluateValue(*order[i].expression));
  return values;
}

}  // namespace

int CaptureRecord(const PlanContext& context, PlanNode& node, std::string* image) {
  image->clear();
  std::string position;
  int code = node.Position(&position);
  if (code != 0) return code;
  PutLength(image, position.size());
  image->append(position);
  for (int level = node.FirstLevel(); level <= node.LastLevel(); ++level) {
    const PlanFile& file = context.files[static_cast<size_t>(level - 1)];
    std::span<char> record = file.file->record();
    const auto& fields = file.file->block().layout.fields;
    for (int field : file.fields) {
      const auto& descriptor = fields[static_cast<size_t>(field)];
      image->append(record.data() + descriptor.offset, descriptor.size);
    }
    for (int memo : file.memos) {
      const std::string& text = file.file->memo(static_cast<size_t>(memo));
      PutLength(image, text.size());
      image->append(text);
    }
  }
  return 0;
}

std::string_view PositionOfImage(std::string_view image) {
  size_t length = GetLength(&image);
  return image.substr(0, length);
}

void RestoreRecord(const PlanContext& context, const PlanNode& node, std::string_view image) {
  size_t position = GetLength(&image);
  image.remove_prefix(position);
  for (int level = node.FirstLevel(); level <= node.LastLevel(); ++level) {
    const PlanFile& file = context.files[static_cast<size_t>(level - 1)];
    std::span<char> record = file.file->record();
    const auto& fields = file.file->block().layout.fields;
    for (int field : file.fields) {
      const auto& descriptor = fields[static_cast<size_t>(field)];
      size_t n = std::min<size_t>(descriptor.size, image.size());
      std::memcpy(record.data() + descriptor.offset, image.data(), n);
      image.remove_prefix(n);
    }
    for (int memo : file.memos) {
      size_t length = GetLength(&image);
      file.file->memo(static_cast<size_t>(memo)).assign(image.substr(0, length));
      image.remove_prefix(length);
    }
  }
}

int CompareOrderValues(std::span<const OrderEntry> order, std::span<const Value> a,
                       std::span<const Value> b, size_t count) {
  for (size_t i = 0; i < count && i < a.size() && i < b.size(); ++i) {
    int c = CompareValues(a[i], b[i]);
    if (order[i].descending) c = -c;
    if (c != 0) return c;
  }
  return 0;
}

GroupNode::GroupNode(const PlanContext* context, PlanNodePtr child)
    : PlanNode(context), child_(std::move(child)) {}

std::vector<Value> GroupNode::PrefixValues() const { return OrderValues(context_->order, prefix_); }

int GroupNode::Start() {
  in_group_ = false;
  held_ = false;
  child_done_ = false;
  skipping_ = false;
  return child_->Start();
}

int GroupNode::Fetch() {
  if (held_) {
    if (in_group_) {
      in_group_ = false;
      return kNoMoreRecords;
    }
    held_ = false;
    RestoreRecord(*context_, *child_, held_image_);
    group_values_ = std::move(held_values_);
    in_group_ = true;
    return 0;
  }
  for (;;) {
    if (child_done_) {
      in_group_ = false;
      return kNoMoreRecords;
    }
    int code = child_->Fetch();
    if (code == kNoMoreRecords) {
      child_done_ = true;
      continue;
    }
    if (code != 0) return code;
    std::vector<Value> values = PrefixValues();
    if (skipping_) {
      int order = CompareOrderValues(context_->order, values, skip_values_, prefix_);
      if (backward_ ? order >= 0 : order <= 0) continue;
      skipping_ = false;
    }
    if (in_group_ && CompareOrderValues(context_->order, values, group_values_, prefix_) != 0) {
      code = CaptureRecord(*context_, *child_, &held_image_);
      if (code != 0) return code;
      held_values_ = std::move(values);
      held_ = true;
      in_group_ = false;
      return kNoMoreRecords;
    }
    in_group_ = true;
    group_values_ = std::move(values);
    return 0;
  }
}

int GroupNode::StartAt(std::span<const Value> values) {
  int code = Start();
  return code == 0 ? child_->StartAt(values) : code;
}

int GroupNode::StartAtRecord(uint32_t record_number) {
  int code = Start();
  return code == 0 ? child_->StartAtRecord(record_number) : code;
}

void GroupNode::Reverse() {
  backward_ = !backward_;
  if (pass_through_) {
    child_->Reverse();
    child_done_ = false;
    return;
  }
  // One group holds every record; the child is read again only from its
  // start, in its own direction.
  if (prefix_ == 0) return;
  // The child turns round where it stands, past the group being read; the
  // records from there back to that group are passed over.
  child_->Reverse();
  held_ = false;
  child_done_ = false;
  skipping_ = true;
  skip_values_ = group_values_;
  in_group_ = false;
}

size_t GroupNode::OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) {
  static_cast<void>(self);
  return child_->OrderedPrefix(child_, order);
}

void GroupNode::Describe(std::string* out, int depth) const {
  *out += Indent(depth) + "GroupNode prefix " + std::to_string(prefix_) + "\n";
  child_->Describe(out, depth + 1);
}

SortNode::SortNode(const PlanContext* context, PlanNodePtr child)
    : PlanNode(context), group_(std::make_unique<GroupNode>(context, std::move(child))) {}

int SortNode::Prepare() {
  if (prepared_) return 0;
  prepared_ = true;
  PlanNodePtr self;
  prefix_ = group_->OrderedPrefix(self, context_->order);
  pass_through_ = prefix_ >= context_->order.size();
  group_->set_prefix(pass_through_ ? 0 : prefix_, pass_through_);
  return 0;
}

int SortNode::LoadGroup() {
  buffer_.Clear();
  values_.clear();
  sorted_.clear();
  current_ = -1;
  for (;;) {
    int code = group_->Fetch();
    if (code == kNoMoreRecords) break;
    if (code != 0) return code;
    code = CaptureRecord(*context_, *group_, &image_);
    if (code != 0) return code;
    Status s = buffer_.Add(image_);
    if (!s.ok()) return s.code();
    values_.push_back(OrderValues(context_->order, context_->order.size()));
  }
  if (values_.empty()) return kNoMoreRecords;
  sorted_.resize(values_.size());
  std::iota(sorted_.begin(), sorted_.end(), size_t{0});
  // Records read backwards came in reverse; equal records keep the order
  // in which reading forwards gives them.
  bool reversed = prefix_ > 0 && backward_;
  std::span<const OrderEntry> order = context_->order;
  size_t count = order.size();
  std::stable_sort(sorted_.begin(), sorted_.end(), [&](size_t a, size_t b) {
    int c = CompareOrderValues(order, values_[a], values_[b], count);
    if (c != 0) return c < 0;
    return reversed ? a > b : a < b;
  });
  current_ = backward_ ? static_cast<long>(sorted_.size()) : -1;
  return 0;
}

int SortNode::Start() {
  Prepare();
  fresh_ = true;
  load_pending_ = false;
  if (pass_through_) return group_->Start();
  int code = group_->Start();
  if (code != 0) return code;
  // The first group is read at the first fetch: the view starts again at
  // its end and at every positioning, mostly without reading from there.
  buffer_.Clear();
  values_.clear();
  sorted_.clear();
  current_ = -1;
  load_pending_ = true;
  return 0;
}

int SortNode::Fetch() {
  fresh_ = false;
  if (pass_through_) return group_->Fetch();
  if (load_pending_) {
    load_pending_ = false;
    int code = LoadGroup();
    if (code != 0) return code;
  }
  for (;;) {
    long next = current_ + (backward_ ? -1 : 1);
    if (next >= 0 && next < static_cast<long>(sorted_.size())) {
      current_ = next;
      Status s = buffer_.Read(sorted_[static_cast<size_t>(next)], &image_);
      if (!s.ok()) return s.code();
      RestoreRecord(*context_, *group_, image_);
      return 0;
    }
    if (group_->exhausted()) return kNoMoreRecords;
    int code = LoadGroup();
    if (code != 0) return code;
  }
}

std::optional<size_t> SortNode::Find(std::span<const Value> values) const {
  std::span<const OrderEntry> order = context_->order;
  size_t count = std::min(values.size(), order.size());
  auto before = [&](size_t record) {
    return CompareOrderValues(order, values_[record], values, count) < 0;
  };
  auto not_after = [&](size_t record) {
    return CompareOrderValues(order, values_[record], values, count) <= 0;
  };
  if (!backward_) {
    auto it = std::partition_point(sorted_.begin(), sorted_.end(), before);
    if (it == sorted_.end()) return std::nullopt;
    return static_cast<size_t>(it - sorted_.begin());
  }
  auto it = std::partition_point(sorted_.begin(), sorted_.end(), not_after);
  if (it == sorted_.begin()) return std::nullopt;
  return static_cast<size_t>(it - sorted_.begin()) - 1;
}

int SortNode::StartAt(std::span<const Value> values) {
  Prepare();
  if (pass_through_) return group_->StartAt(values);
  load_pending_ = false;
  int code = group_->Start();
  for (;;) {
    if (code == 0) code = LoadGroup();
    if (code == kNoMoreRecords) return 0;
    if (code != 0) return code;
    std::optional<size_t> place = Find(values);
    if (place) {
      current_ = static_cast<long>(*place) + (backward_ ? 1 : -1);
      return 0;
    }
    if (group_->exhausted()) {
      current_ = backward_ ? -1 : static_cast<long>(sorted_.size());
      return 0;
    }
  }
}

int SortNode::StartAtRecord(uint32_t record_number) {
  Prepare();
  if (pass_through_) return group_->StartAtRecord(record_number);
  return Start();
}

int SortNode::Position(std::string* position) {
  if (pass_through_) return group_->Position(position);
  if (current_ < 0 || current_ >= static_cast<long>(sorted_.size())) return kNoMoreRecords;
  position->append(PositionOfImage(image_));
  return 0;
}

int SortNode::Reget(std::string_view* position) {
  if (!pass_through_ && image_.empty()) return kNoMoreRecords;
  return group_->Reget(position);
}

int SortNode::Reset(std::string_view* position) {
  Prepare();
  if (pass_through_) return group_->Reset(position);
  // The position's items, one per file of the view.
  std::string_view wanted = *position;
  std::string_view rest = *position;
  std::string item;
  for (int level = FirstLevel(); level <= LastLevel(); ++level) {
    if (!TakePositionItem(&rest, &item)) return kUnknownErrorPosted;
  }
  wanted = wanted.substr(0, wanted.size() - rest.size());
  *position = rest;
  load_pending_ = false;
  int code = group_->Start();
  for (;;) {
    if (code == 0) code = LoadGroup();
    if (code == kNoMoreRecords) return Start();
    if (code != 0) return code;
    for (size_t i = 0; i < sorted_.size(); ++i) {
      Status s = buffer_.Read(sorted_[i], &image_);
      if (!s.ok()) return s.code();
      if (PositionOfImage(image_) == wanted) {
        current_ = static_cast<long>(i) + (backward_ ? 1 : -1);
        return 0;
      }
    }
    if (group_->exhausted()) return Start();
  }
}

void SortNode::Clear() { group_->Clear(); }

void SortNode::Reverse() {
  backward_ = !backward_;
  group_->Reverse();
  // Turned round before its first record, the view starts at its other
  // end, as a scan does.
  if (fresh_ && !pass_through_) Start();
}

void SortNode::Describe(std::string* out, int depth) const {
  *out += Indent(depth) + "SortNode";
  if (pass_through_) {
    *out += " (order delivered by the key)\n";
  } else {
    *out += " sorting components " + std::to_string(prefix_ + 1) + " to " +
            std::to_string(context_->order.size()) + "\n";
  }
  group_->Describe(out, depth + 1);
}

}  // namespace tentaria::views
