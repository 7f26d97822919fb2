// Sorting a view: GroupNode cuts its child's records into groups where the
// values of the order's already-delivered prefix change; SortNode reads
// each group into a RecordBuffer and gives its records in the order of the
// remaining components.
#ifndef TENTARIA_VIEWS_PLAN_SORT_H_
#define TENTARIA_VIEWS_PLAN_SORT_H_

#include <string>
#include <vector>

#include "views/plan_node.h"
#include "views/record_buffer.h"

namespace tentaria::views {

// A record's image in a RecordBuffer:
//
//   offset  size  field
//   0       4     P, the length of the position value (little-endian)
//   4       P     the record's view position (PlanNode::Position)
//   4 + P   ...   per file of the node, in level order: the projected
//                 fields' bytes in field order, then per projected memo a
//                 4-byte little-endian length and the memo's bytes
int CaptureRecord(const PlanContext& context, PlanNode& node, std::string* image);
void RestoreRecord(const PlanContext& context, const PlanNode& node, std::string_view image);
// The position value kept in an image.
std::string_view PositionOfImage(std::string_view image);

// The view order of two records' order values over the first `count`
// components (descending components reversed): -1, 0, 1.
int CompareOrderValues(std::span<const OrderEntry> order, std::span<const Value> a,
                       std::span<const Value> b, size_t count);

class GroupNode : public PlanNode {
 public:
  GroupNode(const PlanContext* context, PlanNodePtr child);

  int Start() override;
  // The next record of the current group; 33 at the group's end (the first
  // record of the next group is held back) or when the child has no more.
  int Fetch() override;
  int Position(std::string* position) override { return child_->Position(position); }
  int Reget(std::string_view* position) override { return child_->Reget(position); }
  int Reset(std::string_view* position) override { return child_->Reset(position); }
  void Clear() override { child_->Clear(); }
  void Reverse() override;
  int FirstLevel() const override { return child_->FirstLevel(); }
  int LastLevel() const override { return child_->LastLevel(); }
  size_t OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) override;
  void Watch() override { child_->Watch(); }
  void Describe(std::string* out, int depth) const override;

  int StartAt(std::span<const Value> values) override;
  int StartAtRecord(uint32_t record_number) override;
  // With `pass_through` the child already delivers the whole order: no
  // groups are cut and the child turns round with the node.
  void set_prefix(size_t prefix, bool pass_through) {
    prefix_ = prefix;
    pass_through_ = pass_through;
  }
  // Whether the child has reported its end.
  bool exhausted() const { return child_done_ && !held_; }

 private:
  std::vector<Value> PrefixValues() const;

  PlanNodePtr child_;
  size_t prefix_ = 0;
  bool pass_through_ = false;
  bool backward_ = false;
  bool in_group_ = false;
  std::vector<Value> group_values_;
  bool held_ = false;  // the first record of the next group is held back
  std::string held_image_;
  std::vector<Value> held_values_;
  bool child_done_ = false;
  // After a reverse: records up to the group being read are passed over.
  bool skipping_ = false;
  std::vector<Value> skip_values_;
};

class SortNode : public PlanNode {
 public:
  SortNode(const PlanContext* context, PlanNodePtr child);

  int Start() override;
  int Fetch() override;
  int Position(std::string* position) override;
  int Reget(std::string_view* position) override;
  int Reset(std::string_view* position) override;
  void Clear() override;
  void Reverse() override;
  int StartAt(std::span<const Value> values) override;
  // A view that sorts in memory starts at its beginning; one whose order
  // the key delivers at the record.
  int StartAtRecord(uint32_t record_number) override;
  int FirstLevel() const override { return group_->FirstLevel(); }
  int LastLevel() const override { return group_->LastLevel(); }
  void Watch() override { group_->Watch(); }
  void Describe(std::string* out, int depth) const override;

  // Whether the records of the last group went through the temporary file.
  bool spilled() const { return buffer_.spilled(); }

 private:
  int Prepare();
  int LoadGroup();
  // The place in the current group of the first record at or after the
  // values in the current direction, or none.
  std::optional<size_t> Find(std::span<const Value> values) const;

  std::unique_ptr<GroupNode> group_;
  bool prepared_ = false;
  bool pass_through_ = false;  // the child delivers the whole order
  size_t prefix_ = 0;
  bool backward_ = false;
  RecordBuffer buffer_;
  std::vector<std::vector<Value>> values_;  // order values per buffered record
  std::vector<size_t> sorted_;              // buffered records in view order
  long current_ = -1;                       // place in sorted_ of the current record
  bool fresh_ = false;                      // started, nothing fetched since
  bool load_pending_ = false;               // started; the first group is read at the fetch
  std::string image_;                       // the current record's image
};

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_SORT_H_
