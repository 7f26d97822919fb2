#include "views/plan_join.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "views/expression_evaluator.h"
#include "views/expression_text.h"
#include "views/filter_analysis.h"

namespace tentaria::views {

namespace {

std::string Indent(int depth) { return std::string(static_cast<size_t>(depth) * 2, ' '); }

// The operands of nested ANDs, in the order they are evaluated.
void AndOperands(const Node& node, std::vector<const Node*>* operands) {
  if (node.kind == NodeKind::kBinary && node.op() == Op::kAnd) {
    for (const NodePtr& operand : node.operands) AndOperands(*operand, operands);
  } else {
    operands->push_back(&node);
  }
}

}  // namespace

PlanNodePtr PlanNode::Attach(PlanNodePtr self, NodePtr condition) {
  auto filter = std::make_unique<FilterNode>(context_, std::move(self));
  return filter->Attach(std::move(filter), std::move(condition));
}

FilterNode::FilterNode(const PlanContext* context, PlanNodePtr child)
    : PlanNode(context), child_(std::move(child)) {}

PlanNodePtr FilterNode::Attach(PlanNodePtr self, NodePtr condition) {
  std::vector<const Node*> conjuncts;
  AndOperands(*condition, &conjuncts);
  bool cut_short = conjuncts.size() > 1 &&
                   std::all_of(conjuncts.begin() + 1, conjuncts.end(),
                               [](const Node* conjunct) { return FreeOfEffects(*conjunct); });
  if (!cut_short) conjuncts.clear();
  conjuncts_.push_back(std::move(conjuncts));
  conditions_.push_back(std::move(condition));
  prepared_ = false;
  return self;
}

void FilterNode::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  if (child_->FirstLevel() != child_->LastLevel() || !context_) return;
  int level = child_->FirstLevel();
  // A scan that takes a range may turn into another scan, which may take
  // ranges the first did not; offer until nothing more is taken.
  std::vector<bool> taken;
  for (const NodePtr& condition : conditions_) {
    for (const FieldRange& range : RangesOf(*condition, level, context_->files)) {
      static_cast<void>(range);
      taken.push_back(false);
    }
  }
  for (bool progress = true; progress;) {
    progress = false;
    size_t i = 0;
    for (const NodePtr& condition : conditions_) {
      for (const FieldRange& range : RangesOf(*condition, level, context_->files)) {
        if (!taken[i] && child_->OfferRange(child_, range)) {
          taken[i] = true;
          progress = true;
        }
        ++i;
      }
    }
  }
}

int FilterNode::Start() {
  Prepare();
  return child_->Start();
}

int FilterNode::StartAt(std::span<const Value> values) {
  Prepare();
  return child_->StartAt(values);
}

int FilterNode::StartAtRecord(uint32_t record_number) {
  Prepare();
  return child_->StartAtRecord(record_number);
}

int FilterNode::Reset(std::string_view* position) {
  Prepare();
  return child_->Reset(position);
}

bool FilterNode::Holds() const {
  for (size_t i = 0; i < conditions_.size(); ++i) {
    if (conjuncts_[i].empty()) {
      if (!EvaluateTruth(*conditions_[i])) return false;
      continue;
    }
    for (const Node* conjunct : conjuncts_[i]) {
      if (!EvaluateTruth(*conjunct)) return false;
    }
  }
  return true;
}

int FilterNode::Fetch() {
  for (;;) {
    int code = child_->Fetch();
    if (code != 0) return code;
    if (Holds()) return 0;
  }
}

size_t FilterNode::OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) {
  static_cast<void>(self);
  return child_->OrderedPrefix(child_, order);
}

void FilterNode::Describe(std::string* out, int depth) const {
  *out += Indent(depth) + "FilterNode\n";
  for (const NodePtr& condition : conditions_) {
    *out += Indent(depth + 1) + "condition " + TextForm(*condition) + "\n";
  }
  child_->Describe(out, depth + 1);
}

JoinNode::JoinNode(const PlanContext* context, std::vector<PlanNodePtr> levels)
    : PlanNode(context), levels_(std::move(levels)) {}

int JoinNode::Start() {
  current_ = 0;
  for (PlanNodePtr& level : levels_) {
    int code = level->Start();
    if (code != 0) return code;
  }
  return 0;
}

int JoinNode::StartAt(std::span<const Value> values) {
  current_ = 0;
  int code = levels_.front()->StartAt(values);
  for (size_t i = 1; code == 0 && i < levels_.size(); ++i) code = levels_[i]->Start();
  return code;
}

int JoinNode::StartAtRecord(uint32_t record_number) {
  current_ = 0;
  int code = levels_.front()->StartAtRecord(record_number);
  for (size_t i = 1; code == 0 && i < levels_.size(); ++i) code = levels_[i]->Start();
  return code;
}

int JoinNode::Fetch() {
  for (;;) {
    int code = levels_[current_]->Fetch();
    if (code == 0) {
      if (current_ + 1 == levels_.size()) return 0;
      ++current_;
      continue;
    }
    if (code != kNoMoreRecords || current_ == 0) return code;
    --current_;
  }
}

int JoinNode::Position(std::string* position) {
  for (PlanNodePtr& level : levels_) {
    int code = level->Position(position);
    if (code != 0) return code;
  }
  return 0;
}

int JoinNode::Reget(std::string_view* position) {
  for (PlanNodePtr& level : levels_) {
    int code = level->Reget(position);
    if (code != 0) return code;
  }
  return 0;
}

int JoinNode::Reset(std::string_view* position) {
  // The records are read first, so that each joined level works out its
  // range from its parent's record; the next fetch then gives the
  // combination at the position again.
  std::string_view records = *position;
  int code = Reget(&records);
  for (size_t i = 0; code == 0 && i < levels_.size(); ++i) code = levels_[i]->Reset(position);
  current_ = levels_.size() - 1;
  return code;
}

void JoinNode::Clear() {
  for (PlanNodePtr& level : levels_) level->Clear();
}

void JoinNode::Reverse() {
  for (PlanNodePtr& level : levels_) level->Reverse();
}

PlanNodePtr JoinNode::Attach(PlanNodePtr self, NodePtr condition) {
  for (NodePtr& conjunct : SplitConjuncts(std::move(condition))) {
    // The deepest level whose file the conjunct reads; one that reads no
    // file goes first, one whose reads cannot be known last.
    size_t target = 0;
    if (conjunct->level == kUnknownLevel) {
      target = levels_.size() - 1;
    } else {
      for (size_t i = 0; i < levels_.size(); ++i) {
        if (conjunct->level >= levels_[i]->FirstLevel() &&
            conjunct->level <= levels_[i]->LastLevel()) {
          target = i;
        }
      }
    }
    levels_[target] = levels_[target]->Attach(std::move(levels_[target]), std::move(conjunct));
  }
  return self;
}

size_t JoinNode::OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) {
  static_cast<void>(self);
  // The joined rows of one parent record follow in the parent's order.
  return levels_.front()->OrderedPrefix(levels_.front(), order);
}

void JoinNode::Watch() {
  for (PlanNodePtr& level : levels_) level->Watch();
}

void JoinNode::Describe(std::string* out, int depth) const {
  *out += Indent(depth) + "JoinNode\n";
  for (const PlanNodePtr& level : levels_) level->Describe(out, depth + 1);
}

int OuterJoinNode::Start() {
  matched_ = false;
  yielded_ = false;
  return child_->Start();
}

int OuterJoinNode::Fetch() {
  if (yielded_) {
    yielded_ = false;
    return kNoMoreRecords;
  }
  int code = child_->Fetch();
  if (code == 0) {
    matched_ = true;
    return 0;
  }
  if (code == kNoMoreRecords && !matched_) {
    child_->Clear();
    yielded_ = true;
    return 0;
  }
  matched_ = false;
  return code;
}

int OuterJoinNode::Reset(std::string_view* position) {
  matched_ = false;
  yielded_ = false;
  return child_->Reset(position);
}

void OuterJoinNode::Describe(std::string* out, int depth) const {
  *out += Indent(depth) + "OuterJoinNode\n";
  child_->Describe(out, depth + 1);
}

}  // namespace tentaria::views
