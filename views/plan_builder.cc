#include "views/plan_builder.h"

#include <utility>

#include "runtime/collation.h"
#include "runtime/error_state.h"
#include "runtime/locale.h"
#include "runtime/value_types.h"
#include "storage/file_interface.h"
#include "views/expression_evaluator.h"
#include "views/expression_parser.h"
#include "views/filter_analysis.h"
#include "views/plan_join.h"
#include "views/plan_scan.h"
#include "views/plan_sort.h"

namespace tentaria::views {

namespace {

bool IsTextType(int type) {
  return type == runtime::ToInt(runtime::TypeCode::STRING) ||
         type == runtime::ToInt(runtime::TypeCode::CSTRING) ||
         type == runtime::ToInt(runtime::TypeCode::PSTRING);
}

class Builder {
 public:
  explicit Builder(const PlanInputs& inputs) : inputs_(inputs) {}

  int Build(Plan* plan) {
    plan->context = std::make_unique<PlanContext>();
    context_ = plan->context.get();
    context_->order = inputs_.order;
    if (CountViewNodes(*inputs_.nodes) != inputs_.files.size()) return 47;
    AddFiles(*inputs_.nodes);
    int code = 0;
    size_t next = 0;
    PlanNodePtr root = BuildNode(*inputs_.nodes, nullptr, &next, &code);
    if (code != 0) return code;
    if (!inputs_.filter.empty()) {
      runtime::ClearError();
      NodePtr filter = Compile(inputs_.filter, *inputs_.names);
      if (!filter) {
        // A syntax error leaves no code and no filter; an unbound name 801.
        if (runtime::ErrorCode() != 0) return runtime::ErrorCode();
      } else {
        AssignLevels(*filter, LevelOf());
        NormaliseFilter(&filter);
        root = root->Attach(std::move(root), std::move(filter));
      }
    }
    if (!inputs_.order.empty()) root = std::make_unique<SortNode>(context_, std::move(root));
    if (!inputs_.trace_into_files) {
      std::vector<storage::DeclaredFile*> files;
      for (const PlanFile& file : context_->files) files.push_back(file.file);
      plan->silence = TraceSilence(std::move(files));
    }
    code = root->Start();
    if (code != 0) return code;
    plan->root = std::move(root);
    return 0;
  }

 private:
  LevelOfVariable LevelOf() const {
    const PlanContext* context = context_;
    return [context](const BoundVariable& variable) {
      return LevelOfAddress(context->files, variable.address);
    };
  }

  void AddFiles(const ViewNodeSpec& node) {
    size_t index = context_->files.size();
    const ViewFileEntry& entry = inputs_.files[index];
    PlanFile file;
    file.file = entry.file;
    file.join_key = node.link_fields.empty() || node.join_expression ? -1 : entry.key;
    file.level = static_cast<int>(index) + 1;
    const auto& block = entry.file->block();
    if (!node.projected) {
      for (size_t f = 0; f < block.layout.fields.size(); ++f)
        file.fields.push_back(static_cast<int>(f));
      for (size_t m = 0; m < block.memos.size(); ++m) {
        if (!block.memos[m].blob()) file.memos.push_back(static_cast<int>(m));
      }
    } else {
      bool any_memo = false;
      for (const ProjectionEntry& projected : node.projection) {
        if (projected.number == 0) continue;
        size_t number = projected.number - 1u;
        if (projected.memo) {
          if (number >= block.memos.size()) continue;
          any_memo = true;
          if (!block.memos[number].blob()) file.memos.push_back(static_cast<int>(number));
        } else if (number < block.layout.fields.size()) {
          file.fields.push_back(static_cast<int>(number));
        }
      }
      file.no_memo = !block.memos.empty() && !any_memo;
    }
    context_->files.push_back(std::move(file));
    for (const ViewNodeSpec& child : node.children) AddFiles(child);
  }

  PlanNodePtr Scan(size_t index) {
    if (index > 0 || inputs_.order_set) {
      return std::make_unique<FileScan>(context_, static_cast<int>(index), false);
    }
    // Without an order the view follows the key the primary file is set to.
    storage::DeclaredFile& file = *context_->files[0].file;
    int64_t key = -1;
    if (file.Call(storage::op::QUERY_KEY) == 0) key = file.block().answer;
    if (key < 0 || static_cast<size_t>(key) >= file.block().keys.size()) {
      return std::make_unique<FileScan>(context_, 0, true);
    }
    std::vector<int> usable(file.block().keys.size(), 0);
    usable[static_cast<size_t>(key)] = 1;
    FileScan scan(context_, 0, false);
    PlanNodePtr node = std::make_unique<KeyScan>(scan, std::move(usable), true);
    return std::make_unique<FilterNode>(context_, std::move(node));
  }

  // The conditions that join a node to its parent.
  int JoinConditions(const ViewNodeSpec& node, size_t index, size_t parent,
                     std::vector<NodePtr>* conditions) {
    if (node.join_expression) {
      runtime::ClearError();
      NodePtr condition = Compile(*node.join_expression, *inputs_.names);
      if (!condition) return runtime::ErrorCode();
      conditions->push_back(std::move(condition));
      return 0;
    }
    storage::DeclaredFile& joined = *context_->files[index].file;
    storage::DeclaredFile& parent_file = *context_->files[parent].file;
    int key_number = context_->files[index].join_key;
    if (key_number < 0 || static_cast<size_t>(key_number) >= joined.block().keys.size()) return 47;
    const storage::KeyDescriptor& key = joined.block().keys[static_cast<size_t>(key_number)];
    const auto& parent_fields = parent_file.block().layout.fields;
    bool nocase = key.Has(storage::key_attribute::NOCASE);
    for (size_t i = 0; i < node.link_fields.size() && i < key.components.size(); ++i) {
      size_t link = node.link_fields[i] - 1u;
      if (node.link_fields[i] == 0 || link >= parent_fields.size()) return 47;
      NodePtr left = FieldNode(parent_file, static_cast<int>(link));
      NodePtr right = FieldNode(joined, key.components[i].field);
      if (nocase && IsTextType(left->variable.type) && IsTextType(right->variable.type)) {
        left = Upper(std::move(left));
        right = Upper(std::move(right));
      }
      conditions->push_back(MakeBinary(Op::kEqual, std::move(left), std::move(right)));
    }
    return 0;
  }

  static NodePtr Upper(NodePtr operand) {
    std::vector<NodePtr> arguments;
    arguments.push_back(std::move(operand));
    return MakeCall(Fn::kUpper, "UPPER", 1, ValueClass::kString, std::move(arguments));
  }

  PlanNodePtr BuildNode(const ViewNodeSpec& node, const size_t* parent, size_t* next, int* code) {
    size_t index = (*next)++;
    PlanNodePtr own = Scan(index);
    if (parent) {
      std::vector<NodePtr> conditions;
      *code = JoinConditions(node, index, *parent, &conditions);
      if (*code != 0) return nullptr;
      for (NodePtr& condition : conditions) {
        AssignLevels(*condition, LevelOf());
        own = own->Attach(std::move(own), std::move(condition));
      }
    }
    if (node.children.empty()) return own;
    std::vector<PlanNodePtr> levels;
    levels.push_back(std::move(own));
    for (const ViewNodeSpec& child : node.children) {
      PlanNodePtr subtree = BuildNode(child, &index, next, code);
      if (*code != 0) return nullptr;
      if (!child.inner) subtree = std::make_unique<OuterJoinNode>(context_, std::move(subtree));
      levels.push_back(std::move(subtree));
    }
    return std::make_unique<JoinNode>(context_, std::move(levels));
  }

  const PlanInputs& inputs_;
  PlanContext* context_ = nullptr;
};

bool IsConstantOne(const Node& node) {
  return node.kind == NodeKind::kConstant && node.value_class == ValueClass::kInteger &&
         node.integer == 1;
}

bool IsPlainTextField(const Node& node) {
  return node.kind == NodeKind::kVariable && node.level > 0 && node.variable.dimensions.empty() &&
         IsTextType(node.variable.type);
}

// UPPER(f) of a plain text field: a case-free key orders by it, and the
// query window writes prefixes of case-free fields as SUB(UPPER(f),1,n).
bool IsUpperOfTextField(const Node& node) {
  return node.kind == NodeKind::kCall && !node.procedure && node.function() == Fn::kUpper &&
         node.operands.size() == 1 && IsPlainTextField(*node.operands[0]);
}

// f when `node` is SUB(f, 1, n) with a plain text field f of a view file
// (level above 0), or UPPER of one, and an n that reads no view file;
// *length receives n.
const Node* SubPrefixField(const Node& node, int* length) {
  if (node.kind != NodeKind::kCall || node.procedure || node.function() != Fn::kSub ||
      node.operands.size() != 3) {
    return nullptr;
  }
  const Node& field = *node.operands[0];
  if ((!IsPlainTextField(field) && !IsUpperOfTextField(field)) ||
      !IsConstantOne(*node.operands[1]) || node.operands[2]->level != 0) {
    return nullptr;
  }
  *length = EvaluateInteger(*node.operands[2]);
  return &field;
}

void Normalise(NodePtr* slot) {
  Node& node = **slot;
  if ((node.kind == NodeKind::kBinary && (node.op() == Op::kAnd || node.op() == Op::kOr)) ||
      (node.kind == NodeKind::kUnary && node.op() == Op::kNot)) {
    for (NodePtr& operand : node.operands) Normalise(&operand);
    return;
  }
  if (node.kind != NodeKind::kBinary || node.op() != Op::kEqual) return;
  for (int side = 0; side < 2; ++side) {
    int length = 0;
    const Node* field = SubPrefixField(*node.operands[side], &length);
    const Node& other = *node.operands[1 - side];
    if (!field || other.level != 0 ||
        (other.value_class != ValueClass::kString && other.value_class != ValueClass::kPicture)) {
      continue;
    }
    std::string text = EvaluateText(other);
    if (length <= 0 || text.size() != static_cast<size_t>(length)) continue;
    std::optional<std::string> successor = CollationSuccessor(text);
    if (!successor) continue;
    NodePtr low = MakeBinary(Op::kGreaterOrEqual, Clone(*field), MakeString(text));
    NodePtr high = MakeBinary(Op::kLess, Clone(*field), MakeString(*successor));
    if (!low || !high) return;
    int level = field->level;
    for (Node* part : {low.get(), high.get()}) part->level = level;
    NodePtr both = MakeBinary(Op::kAnd, std::move(low), std::move(high));
    if (!both) return;
    both->level = level;
    *slot = std::move(both);
    return;
  }
}

}  // namespace

TraceSilence::TraceSilence(std::vector<storage::DeclaredFile*> files) : files_(std::move(files)) {
  for (storage::DeclaredFile* file : files_) ++file->block().trace_silenced;
}

TraceSilence& TraceSilence::operator=(TraceSilence&& other) noexcept {
  if (this != &other) {
    Restore();
    files_ = std::exchange(other.files_, {});
  }
  return *this;
}

void TraceSilence::Restore() {
  for (storage::DeclaredFile* file : files_) --file->block().trace_silenced;
  files_.clear();
}

int BuildPlan(const PlanInputs& inputs, Plan* plan) {
  Builder builder(inputs);
  int code = builder.Build(plan);
  if (code != 0) *plan = Plan();
  return code;
}

void NormaliseFilter(NodePtr* filter) {
  if (*filter) Normalise(filter);
}

std::optional<std::string> CollationSuccessor(std::string_view text) {
  const runtime::CollationTables& tables = runtime::CurrentLocale().collation();
  // Prefixes under digraphs do not follow the character order.
  for (const runtime::Digraph& digraph : tables.digraphs) {
    if (digraph.character != 0) return std::nullopt;
  }
  // A text ending in a space matches texts that the blank-padded
  // comparison puts on both sides of it; no range covers them exactly.
  if (text.empty() || text.back() == ' ') return std::nullopt;
  std::string successor(text);
  for (size_t i = successor.size(); i-- > 0;) {
    int weight = tables.weight[static_cast<uint8_t>(successor[i])];
    if (weight == 255) {
      successor[i] = ' ';
      continue;
    }
    successor[i] = static_cast<char>(CharacterOfWeight(weight + 1));
    return successor;
  }
  return std::nullopt;
}

}  // namespace tentaria::views
