#include "views/plan_scan.h"

#include <algorithm>
#include <utility>

#include "runtime/value_types.h"
#include "views/expression_text.h"

namespace tentaria::views {

namespace {

std::string Indent(int depth) { return std::string(static_cast<size_t>(depth) * 2, ' '); }

std::string FileName(storage::DeclaredFile& file) {
  return file.block().label.empty() ? file.block().name : file.block().label;
}

bool IsTextField(const storage::FieldDescriptor& field) {
  return field.type == runtime::ToInt(runtime::TypeCode::STRING) ||
         field.type == runtime::ToInt(runtime::TypeCode::CSTRING) ||
         field.type == runtime::ToInt(runtime::TypeCode::PSTRING);
}

// The field an order component sorts by in file `index`: a plain field, or
// UPPER of one (*upper set).
std::optional<int> OrderField(const PlanContext& context, int index, const Node& expression,
                              bool* upper) {
  *upper = false;
  const Node* node = &expression;
  if (node->kind == NodeKind::kCall && !node->procedure && node->function() == Fn::kUpper &&
      node->operands.size() == 1) {
    *upper = true;
    node = node->operands[0].get();
  }
  std::optional<FieldRef> field = FieldOfVariable(context.files, *node);
  if (!field || field->file != index) return std::nullopt;
  return field->field;
}

std::string DescribeBound(const BoundTerm& term) {
  if (term.kind == BoundTerm::Kind::kLeaf) return TextForm(*term.node);
  const char* name = term.kind == BoundTerm::Kind::kTighter ? "tighter(" : "looser(";
  return name + DescribeBound(*term.a) + ", " + DescribeBound(*term.b) + ")";
}

}  // namespace

FileScan::FileScan(const PlanContext* context, int index, bool record_order)
    : PlanNode(context), index_(index), record_order_(record_order) {}

int FileScan::Start() {
  positioned_ = false;
  return 0;
}

int FileScan::Begin() { return file().SetFile(); }

int FileScan::ReadOne() {
  if (plan_file().no_memo) file().NoMemo();
  if (watch_) {
    watch_ = false;
    int code = file().Watch();
    if (code != 0) return code;
  }
  return ReadsBackward() ? file().Previous() : file().Next();
}

int FileScan::Fetch() {
  if (!positioned_) {
    int code = Begin();
    if (code != 0) return code;
    positioned_ = true;
  }
  int code = ReadOne();
  if (code == 0 && BeyondRange()) code = kNoMoreRecords;
  // A scan that reported its end starts again at its next fetch, so that a
  // joined file is read anew for each record of its parent.
  if (code != 0) positioned_ = false;
  return code;
}

int FileScan::Position(std::string* position) {
  std::string saved;
  int key = ReadKey();
  int code = key < 0 ? file().Position(&saved) : file().Position(static_cast<size_t>(key), &saved);
  if (code != 0) {
    // A joined file without a current record (an outer join's cleared row)
    // has an empty item.
    if (index_ == 0) return code;
    saved.clear();
  }
  AppendPositionItem(position, saved);
  return 0;
}

int FileScan::Reget(std::string_view* position) {
  std::string item;
  if (!TakePositionItem(position, &item)) return kUnknownErrorPosted;
  if (item.empty()) {
    Clear();
    return 0;
  }
  int key = ReadKey();
  return key < 0 ? file().Reget(item) : file().Reget(static_cast<size_t>(key), item);
}

int FileScan::Reset(std::string_view* position) {
  std::string item;
  if (!TakePositionItem(position, &item)) return kUnknownErrorPosted;
  positioned_ = false;
  if (item.empty()) return 0;
  int key = ReadKey();
  int code = key < 0 ? file().Reset(item) : file().Reset(static_cast<size_t>(key), item);
  if (code == 0) positioned_ = true;
  return code;
}

int FileScan::StartAtRecord(uint32_t record_number) {
  positioned_ = false;
  if (index_ != 0) return 0;
  int code = file().SetFile(record_number);
  if (code == 0) positioned_ = true;
  return code;
}

void FileScan::Clear() { ClearRecord(file()); }

int64_t FileScan::Count() {
  uint32_t count = 0;
  if (file().Records(&count) != 0) return -1;
  return count;
}

bool FileScan::OfferRange(PlanNodePtr& self, const FieldRange& range) {
  if (record_order_ || range.field.file != index_) return false;
  std::vector<int> usable(file().block().keys.size(), 1);
  auto scan = std::make_unique<KeyScan>(*this, std::move(usable), false);
  PlanNodePtr replacement = std::move(scan);
  if (!replacement->OfferRange(replacement, range)) return false;
  self = std::move(replacement);
  return true;
}

size_t FileScan::OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) {
  if (record_order_) return 0;
  std::vector<int> usable(file().block().keys.size(), 1);
  size_t prefix = ChooseKeysForOrder(*context_, index_, order, &usable);
  if (prefix == 0) return 0;
  PlanNodePtr replacement = std::make_unique<KeyScan>(*this, std::move(usable), true);
  replacement->OrderedPrefix(replacement, order);
  self = std::move(replacement);
  return prefix;
}

void FileScan::Describe(std::string* out, int depth) const {
  *out += Indent(depth) + "FileScan " + FileName(file()) +
          (record_order_ ? " record order" : " any order") +
          (backward_ ? " backward\n" : " forward\n");
}

size_t ChooseKeysForOrder(const PlanContext& context, int index, std::span<const OrderEntry> order,
                          std::vector<int>* usable) {
  const auto& keys = context.files[static_cast<size_t>(index)].file->block().keys;
  const auto& fields = context.files[static_cast<size_t>(index)].file->block().layout.fields;
  std::vector<int> current = *usable;
  size_t matched = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    bool upper = false;
    std::optional<int> field = OrderField(context, index, *order[i].expression, &upper);
    if (!field) break;
    std::vector<int> next(keys.size(), 0);
    bool any = false;
    for (size_t k = 0; k < keys.size(); ++k) {
      if (current[k] == 0 || keys[k].components.size() <= i) continue;
      const storage::KeyComponent& component = keys[k].components[i];
      if (component.field != *field) continue;
      // UPPER(field) is the order of a case-free key only.
      if (upper && !(keys[k].Has(storage::key_attribute::NOCASE) &&
                     IsTextField(fields[static_cast<size_t>(*field)]))) {
        continue;
      }
      int direction = order[i].descending != component.descending() ? -1 : 1;
      if (i > 0 && direction != current[k]) continue;
      next[k] = direction;
      any = true;
    }
    if (!any) break;
    current = std::move(next);
    matched = i + 1;
  }
  if (matched > 0) *usable = std::move(current);
  return matched;
}

KeyScan::KeyScan(const FileScan& scan, std::vector<int> usable, bool order_fixed)
    : FileScan(scan), usable_(std::move(usable)), order_fixed_(order_fixed) {}

int KeyScan::StartAt(std::span<const Value> values) {
  start_values_.assign(values.begin(), values.end());
  start_at_values_ = true;
  positioned_ = false;
  return 0;
}

int64_t KeyScan::Count() {
  uint32_t count = 0;
  if (file().Records(static_cast<size_t>(ChosenKey()), &count) != 0) return -1;
  return count;
}

bool KeyScan::Fits(const FieldRange& range, size_t key) const {
  const storage::KeyDescriptor& descriptor = file().block().keys[key];
  const auto& field = file().block().layout.fields[static_cast<size_t>(range.field.field)];
  bool in_key =
      std::any_of(descriptor.components.begin(), descriptor.components.end(),
                  [&](const storage::KeyComponent& c) { return c.field == range.field.field; });
  if (!in_key) return false;
  // A case-free key orders UPPER(field); any other key the field itself.
  bool nocase = descriptor.Has(storage::key_attribute::NOCASE) && IsTextField(field);
  return range.upper == nocase;
}

bool KeyScan::OfferRange(PlanNodePtr& self, const FieldRange& range) {
  static_cast<void>(self);
  if (range.field.file != index_) return false;
  const auto& fields = file().block().layout.fields;
  if (!IsWritableField(fields[static_cast<size_t>(range.field.field)])) return false;
  bool fits = false;
  for (size_t k = 0; k < usable_.size(); ++k) fits = fits || (usable_[k] != 0 && Fits(range, k));
  if (!fits) return false;
  for (FieldRange& existing : ranges_) {
    if (existing.field.field == range.field.field && existing.upper == range.upper) {
      auto tighter = [](BoundPtr a, BoundPtr b) -> BoundPtr {
        if (!a) return b;
        if (!b) return a;
        auto term = std::make_shared<BoundTerm>();
        term->kind = BoundTerm::Kind::kTighter;
        term->a = std::move(a);
        term->b = std::move(b);
        return term;
      };
      existing.low = tighter(existing.low, range.low);
      existing.high = tighter(existing.high, range.high);
      return true;
    }
  }
  ranges_.push_back(range);
  if (!order_fixed_) chosen_ = -1;
  return true;
}

size_t KeyScan::OrderedPrefix(PlanNodePtr& self, std::span<const OrderEntry> order) {
  static_cast<void>(self);
  std::vector<int> usable = usable_;
  size_t prefix = ChooseKeysForOrder(*context_, index_, order, &usable);
  if (prefix > 0) {
    usable_ = std::move(usable);
    order_fixed_ = true;
    chosen_ = -1;
  }
  ordered_components_ = prefix;
  return prefix;
}

const FieldRange* KeyScan::RangeFor(size_t key, size_t component) const {
  int field = file().block().keys[key].components[component].field;
  for (const FieldRange& range : ranges_) {
    if (range.field.field == field && Fits(range, key)) return &range;
  }
  return nullptr;
}

int KeyScan::ChosenKey() const {
  if (chosen_ >= 0) return chosen_;
  const auto& keys = file().block().keys;
  int join = plan_file().join_key;
  auto usable = [&](int k) { return k >= 0 && static_cast<size_t>(k) < keys.size() && usable_[k]; };
  if (order_fixed_) {
    if (usable(join)) return chosen_ = join;
    for (size_t k = 0; k < keys.size(); ++k) {
      if (usable_[k] != 0) return chosen_ = static_cast<int>(k);
    }
    return chosen_ = 0;
  }
  // Without an order, the key whose leading components the ranges bound
  // furthest; the join key, then the first key, among equals.
  int best = usable(join) ? join : -1;
  int best_score = -1;
  auto score_of = [&](size_t k) {
    int score = 0;
    for (size_t c = 0; c < keys[k].components.size(); ++c) {
      const FieldRange* range = RangeFor(k, c);
      if (!range) break;
      if (!range->low || !range->high) return score + 1;
      score += 2;
    }
    return score;
  };
  if (best >= 0) best_score = score_of(static_cast<size_t>(best));
  for (size_t k = 0; k < keys.size(); ++k) {
    if (usable_[k] == 0) continue;
    int score = score_of(k);
    if (score > best_score) {
      best = static_cast<int>(k);
      best_score = score;
    }
  }
  return chosen_ = std::max(best, 0);
}

bool KeyScan::ChosenBackward() const { return usable_[static_cast<size_t>(ChosenKey())] < 0; }

bool KeyScan::ComponentDescendsInScan(size_t key, size_t component) const {
  bool descending = file().block().keys[key].components[component].descending();
  return descending != (ChosenBackward() != backward_);
}

int KeyScan::Reset(std::string_view* position) {
  int code = FileScan::Reset(position);
  if (code == 0 && positioned_ && !ComputeRange(false)) checks_.clear();
  return code;
}

int KeyScan::StartAtRecord(uint32_t record_number) {
  positioned_ = false;
  if (index_ != 0) return 0;
  // The record's key value, then the key at that value and record.
  int code = file().Get(record_number);
  if (code != 0) return code;
  if (!ComputeRange(false)) checks_.clear();
  code = file().SetKeyValue(static_cast<size_t>(ChosenKey()), record_number);
  if (code == 0) positioned_ = true;
  return code;
}

int KeyScan::Begin() {
  auto key = static_cast<size_t>(ChosenKey());
  const auto& components = file().block().keys[key].components;
  bool from_values = start_at_values_;
  start_at_values_ = false;
  if (!ComputeRange(!from_values)) return kNoMoreRecords;
  if (from_values) {
    size_t values = std::min({start_values_.size(), components.size(), ordered_components_});
    for (size_t c = 0; c < components.size(); ++c) {
      if (c < values) {
        WriteField(file(), components[c].field, start_values_[c]);
      } else {
        WriteExtreme(file(), components[c].field, ComponentDescendsInScan(key, c));
      }
    }
  }
  if (!from_values && ranges_.empty()) return file().SetKey(key);
  return file().SetKeyValue(key);
}

bool KeyScan::ComputeRange(bool write) {
  auto key = static_cast<size_t>(ChosenKey());
  const auto& components = file().block().keys[key].components;
  checks_.clear();
  for (size_t c = 0; c < components.size(); ++c) {
    int field = components[c].field;
    bool descends = ComponentDescendsInScan(key, c);
    const FieldRange* range = RangeFor(key, c);
    if (!range) {
      for (size_t rest = c; write && rest < components.size(); ++rest) {
        WriteExtreme(file(), components[rest].field, ComponentDescendsInScan(key, rest));
      }
      break;
    }
    std::optional<BoundValue> low, high;
    if (range->low) low = EvaluateBound(*range->low, true);
    if (range->high) high = EvaluateBound(*range->high, false);
    NodePtr expression = FieldNode(file(), field);
    if (range->upper) {
      std::vector<NodePtr> arguments;
      arguments.push_back(std::move(expression));
      expression = MakeCall(Fn::kUpper, "UPPER", 1, ValueClass::kString, std::move(arguments));
    }
    if (low && high) {
      int order = CompareValues(low->value, high->value);
      if (order > 0 || (order == 0 && (low->strict || high->strict))) return false;
      if (order == 0) {
        if (write) WriteField(file(), field, low->value);
        checks_.push_back({field, std::move(expression), low->value, false, true, descends});
        continue;
      }
    }
    std::optional<BoundValue>& start = descends ? high : low;
    std::optional<BoundValue>& end = descends ? low : high;
    if (write) {
      if (start) {
        WriteField(file(), field, start->value);
      } else {
        WriteExtreme(file(), field, descends);
      }
      for (size_t rest = c + 1; rest < components.size(); ++rest) {
        WriteExtreme(file(), components[rest].field, ComponentDescendsInScan(key, rest));
      }
    }
    if (end) {
      checks_.push_back({field, std::move(expression), end->value, end->strict, false, descends});
    }
    break;
  }
  return true;
}

bool KeyScan::BeyondRange() const {
  for (const RangeCheck& check : checks_) {
    int order = CompareValues(FieldValue(*check.expression), check.bound);
    if (check.values_descend) order = -order;
    if (check.equality) {
      if (order != 0) return order > 0;
      continue;
    }
    return order > 0 || (order == 0 && check.strict);
  }
  return false;
}

void KeyScan::Describe(std::string* out, int depth) const {
  const storage::KeyDescriptor& key = file().block().keys[static_cast<size_t>(ChosenKey())];
  bool backward = ChosenBackward() != backward_;
  *out += Indent(depth) + "KeyScan " + FileName(file()) + " key " + key.label +
          (backward ? " backward\n" : " forward\n");
  for (const FieldRange& range : ranges_) {
    const auto& field = file().block().layout.fields[static_cast<size_t>(range.field.field)];
    std::string name = range.upper ? "UPPER(" + field.label + ")" : field.label;
    *out += Indent(depth + 1) + "range " + name;
    if (range.low) *out += " from " + DescribeBound(*range.low);
    if (range.high) *out += " to " + DescribeBound(*range.high);
    *out += "\n";
  }
}

}  // namespace tentaria::views
