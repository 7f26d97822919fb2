// The nodes that combine record sources: FilterNode keeps the records for
// which its conditions hold, JoinNode reads joined files in nested loops,
// OuterJoinNode gives a parent without a matching record one row with the
// joined record cleared.
#ifndef TENTARIA_VIEWS_PLAN_JOIN_H_
#define TENTARIA_VIEWS_PLAN_JOIN_H_

#include <vector>

#include "views/plan_node.h"

namespace tentaria::views {

class FilterNode : public PlanNode {
 public:
  FilterNode(const PlanContext* context, PlanNodePtr child);

  int Start() override;
  int Fetch() override;
  int Position(std::string* position) override { return child_->Position(position); }
  int Reget(std::string_view* position) override { return child_->Reget(position); }
  int Reset(std::string_view* position) override;
  void Clear() override { child_->Clear(); }
  void Reverse() override { child_->Reverse(); }
  int StartAt(std::span<const Value> values) override;
  int StartAtRecord(uint32_t record_number) override;
  int FirstLevel() const override { return child_->FirstLevel(); }
  int LastLevel() const override { return child_->LastLevel(); }
  PlanNodePtr Attach(PlanNodePtr self, NodePtr condition) override;
  size_t OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) override;
  void Watch() override { child_->Watch(); }
  void Describe(std::string* out, int depth) const override;

 private:
  // Offers the conditions' key ranges to the child, once.
  void Prepare();
  bool Holds() const;

  PlanNodePtr child_;
  std::vector<NodePtr> conditions_;
  // Per condition, its AND operands in evaluation order when every one but
  // the first is free of effects: the test then stops at the first false
  // one, with the same outcome.  Empty for a condition evaluated whole.
  std::vector<std::vector<const Node*>> conjuncts_;
  bool prepared_ = false;
};

class JoinNode : public PlanNode {
 public:
  // levels[0] reads the parent file; each further level a joined subtree.
  JoinNode(const PlanContext* context, std::vector<PlanNodePtr> levels);

  int Start() override;
  int Fetch() override;
  int Position(std::string* position) override;
  int Reget(std::string_view* position) override;
  int Reset(std::string_view* position) override;
  void Clear() override;
  void Reverse() override;
  int StartAt(std::span<const Value> values) override;
  int StartAtRecord(uint32_t record_number) override;
  int FirstLevel() const override { return levels_.front()->FirstLevel(); }
  int LastLevel() const override { return levels_.back()->LastLevel(); }
  PlanNodePtr Attach(PlanNodePtr self, NodePtr condition) override;
  size_t OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) override;
  void Watch() override;
  void Describe(std::string* out, int depth) const override;

 private:
  std::vector<PlanNodePtr> levels_;
  size_t current_ = 0;
};

class OuterJoinNode : public PlanNode {
 public:
  OuterJoinNode(const PlanContext* context, PlanNodePtr child)
      : PlanNode(context), child_(std::move(child)) {}

  int Start() override;
  int Fetch() override;
  int Position(std::string* position) override { return child_->Position(position); }
  int Reget(std::string_view* position) override { return child_->Reget(position); }
  int Reset(std::string_view* position) override;
  void Clear() override { child_->Clear(); }
  void Reverse() override { child_->Reverse(); }
  int FirstLevel() const override { return child_->FirstLevel(); }
  int LastLevel() const override { return child_->LastLevel(); }
  void Watch() override { child_->Watch(); }
  void Describe(std::string* out, int depth) const override;

 private:
  PlanNodePtr child_;
  bool matched_ = false;  // the child gave a record for the current parent
  bool yielded_ = false;  // the cleared row was given
};

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_JOIN_H_
