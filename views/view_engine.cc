#include "views/view_engine.h"

#include <cinttypes>
#include <cstdio>
#include <utility>

#include "platform/clock.h"
#include "platform/profile.h"
#include "runtime/error_state.h"
#include "storage/driver_trace.h"
#include "views/expression_evaluator.h"
#include "views/expression_parser.h"

namespace tentaria::views {

namespace {

namespace op = storage::op;

constexpr std::string_view kViewSection = "RTVIEW";

int64_t Number(const storage::OperationArguments& args, size_t index, int64_t fallback = 0) {
  return index < args.numbers.size() ? args.numbers[index] : fallback;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

ViewEngine::ViewEngine(ViewDescriptor descriptor, const NameScopes* names)
    : descriptor_(std::move(descriptor)), names_(names) {
  Status s = DecodeViewNodes(descriptor_.nodes, &nodes_);
  if (s.ok() && (descriptor_.files.empty() || CountViewNodes(nodes_) != descriptor_.files.size())) {
    s = Status::Error(47, "the view's file list does not match its nodes");
  }
  nodes_error_ = s.code();
  profile_ = platform::ReadProfileInt(kViewSection, "Profile", 0) != 0;
  trace_into_files_ = platform::ReadProfileInt(kViewSection, "TraceIntoFiles", 0) != 0;
  if (profile_) {
    trace_file_ = platform::ReadProfileString(kViewSection, "TraceFile", "VIEW.LOG");
    if (trace_file_.size() > storage::kMaxTraceFileName) {
      trace_file_.resize(storage::kMaxTraceFileName);
    }
  }
}

int ViewEngine::Call(int operation, const storage::OperationArguments& args) {
  // The clock is read only for the trace; a step is too short to pay for it.
  int64_t started = profile_ ? platform::ElapsedHundredths() : 0;
  int code = Dispatch(operation, args);
  if (code == 0) {
    // A step mostly finds the state clear (the file's read cleared it);
    // clearing it again costs more than looking.
    const runtime::ErrorState& state = runtime::CurrentError();
    if (state.code != 0 || state.driver_code != 0 || !state.driver_text.empty() ||
        !state.file.empty()) {
      runtime::ClearError();
    }
  } else if (runtime::ErrorCode() != code) {
    runtime::SetError(code);
  }
  Trace(operation, code, started);
  return code;
}

int ViewEngine::Dispatch(int operation, const storage::OperationArguments& args) {
  if (operation == op::OPEN) {
    if (nodes_error_ != 0) return nodes_error_;
    DiscardPlan();
    open_ = true;
    return 0;
  }
  if (!open_) return kFileNotOpen;
  switch (operation) {
    case op::CLOSE:
      DiscardPlan();
      open_ = false;
      return 0;
    case op::SETview: {
      DiscardIfStale();
      pending_ = 1;
      auto count = static_cast<size_t>(
          std::clamp<int64_t>(Number(args, 0), 0, static_cast<int64_t>(order_.size())));
      positioning_.resize(count);
      for (size_t i = 0; i < count; ++i) {
        if (!positioning_[i]) positioning_[i] = EvaluateValue(*order_[i].expression);
      }
      return 0;
    }
    case op::NEXT:
      return Step(false);
    case op::PREVIOUS:
      return Step(true);
    case op::SKIP: {
      int64_t count = Number(args, 0);
      for (int64_t i = 0; i < (count < 0 ? -count : count); ++i) {
        int code = Step(count < 0);
        if (code != 0) return code;
      }
      return 0;
    }
    case op::POSITIONfile: {
      if (!plan_.root) return kNoMoreRecords;
      answer_text_.clear();
      return plan_.root->Position(&answer_text_);
    }
    case op::REGETfile: {
      if (!plan_.root) {
        int code = Build();
        if (code != 0) return code;
      }
      std::string_view position = args.texts.empty() ? std::string_view() : args.texts[0];
      return plan_.root->Reget(&position);
    }
    case op::RESETfile: {
      DiscardIfStale();
      if (!plan_.root) {
        int code = Build();
        if (code != 0) return code;
      }
      pending_ = 0;
      std::string_view position = args.texts.empty() ? std::string_view() : args.texts[0];
      return plan_.root->Reset(&position);
    }
    case op::RESETviewfile: {
      DiscardIfStale();
      uint32_t record = 0;
      int code = primary().Pointer(&record);
      if (code != 0) return code;
      saved_record_ = record;
      pending_ = 2;
      return 0;
    }
    case op::RECORDSfile: {
      if (!plan_.root) {
        int code = Build();
        if (code != 0) return code;
      }
      answer_ = plan_.root->Count();
      return 0;
    }
    case op::WATCH:
      watch_pending_ = true;
      return 0;
    case op::FLUSH:
      stale_ = true;
      return 0;
    case op::DELETE:
    case op::PUT:
    case op::HOLDfile:
    case op::HOLDfilesec:
    case op::RELEASE:
      return primary().Call(operation, args);
    case op::SET_PROPERTY:
      return SetProperty(args);
    case op::GET_PROPERTY:
      return GetProperty(args);
    default:
      return 0;
  }
}

int ViewEngine::Build() {
  PlanInputs inputs;
  inputs.nodes = &nodes_;
  inputs.files = descriptor_.files;
  inputs.filter = filter_;
  inputs.order = order_;
  inputs.order_set = order_set_;
  inputs.names = names_;
  inputs.trace_into_files = trace_into_files_;
  backward_ = false;
  return BuildPlan(inputs, &plan_);
}

void ViewEngine::DiscardPlan() {
  plan_.root.reset();
  plan_ = Plan();
  stale_ = false;
}

void ViewEngine::DiscardIfStale() {
  if (stale_) DiscardPlan();
}

int ViewEngine::Step(bool backward) {
  if (!plan_.root) {
    int code = Build();
    if (code != 0) return code;
  }
  PlanNode& root = *plan_.root;
  if (watch_pending_) {
    watch_pending_ = false;
    root.Watch();
  }
  if (backward != backward_) {
    root.Reverse();
    backward_ = backward;
  }
  int code = 0;
  if (pending_ == 1) {
    std::vector<Value> values;
    for (const std::optional<Value>& value : positioning_) {
      if (!value) break;
      values.push_back(*value);
    }
    code = values.empty() ? root.Start() : root.StartAt(values);
  } else if (pending_ == 2) {
    code = root.StartAtRecord(saved_record_);
  }
  pending_ = 0;
  if (code == 0) code = root.Fetch();
  if (code == kNoMoreRecords) {
    root.Clear();
    root.Start();
  }
  positioning_.clear();
  return code;
}

int ViewEngine::Position(std::string* position) {
  int code = Call(op::POSITIONfile);
  if (code == 0) *position = answer_text_;
  return code;
}

int ViewEngine::Records(int64_t* count) {
  int code = Call(op::RECORDSfile);
  if (code == 0) *count = answer_;
  return code;
}

int ViewEngine::SetFilter(const std::string& text) {
  return Call(op::SET_PROPERTY, {{view_property::FilterProperty}, {text}});
}

int ViewEngine::SetOrder(const std::string& text) {
  return Call(op::SET_PROPERTY, {{view_property::OrderProperty}, {text}});
}

int ViewEngine::SetOrderValue(int64_t component, const std::string& value) {
  return Call(op::SET_PROPERTY, {{view_property::OrderValueProperty, component}, {value}});
}

void ViewEngine::ParseOrder(const std::string& text) {
  order_.clear();
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at == text.size()) break;
    OrderEntry entry;
    if (text[at] == '-' || text[at] == '+') {
      entry.descending = text[at] == '-';
      ++at;
    }
    size_t end = at;
    entry.expression = CompilePrefix(text, at, &end, *names_);
    // A component that does not compile ends the list.
    if (!entry.expression) break;
    entry.offset = static_cast<uint32_t>(at);
    entry.length = static_cast<uint32_t>(end - at);
    order_.push_back(std::move(entry));
    at = end;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at < text.size()) {
      if (text[at] != ',') break;
      ++at;
    }
  }
}

int ViewEngine::SetProperty(const storage::OperationArguments& args) {
  int64_t property = Number(args, 0);
  int64_t index = Number(args, 1);
  std::string value = args.texts.empty() ? std::string() : args.texts[0];
  switch (property) {
    case view_property::FilterProperty: {
      filter_ = value;
      stale_ = true;
      if (filter_.empty()) return 0;
      // Compiled once now, so that an unbound name is reported at once.
      runtime::ClearError();
      NodePtr compiled = Compile(filter_, *names_);
      return compiled ? 0 : runtime::ErrorCode();
    }
    case view_property::OrderProperty:
      order_text_ = value;
      runtime::ClearError();
      ParseOrder(order_text_);
      order_set_ = true;
      positioning_.clear();
      stale_ = true;
      return runtime::ErrorCode();
    case view_property::OrderValueProperty: {
      if (index < 1 || static_cast<size_t>(index) > order_.size()) return 0;
      if (positioning_.size() < static_cast<size_t>(index))
        positioning_.resize(static_cast<size_t>(index));
      positioning_[static_cast<size_t>(index - 1)] =
          args.texts.empty() ? Value::Integer(static_cast<int32_t>(Number(args, 2)))
                             : Value::String(value);
      return 0;
    }
    default:
      return 0;
  }
}

int ViewEngine::GetProperty(const storage::OperationArguments& args) {
  int64_t property = Number(args, 0);
  int64_t index = Number(args, 1);
  answer_ = 0;
  answer_text_.clear();
  answer_file_ = nullptr;
  switch (property) {
    case view_property::FilterProperty:
      answer_text_ = filter_;
      return 0;
    case view_property::OrderProperty:
      if (index <= 0) {
        answer_text_ = order_text_;
      } else if (static_cast<size_t>(index) <= order_.size()) {
        const OrderEntry& entry = order_[static_cast<size_t>(index - 1)];
        answer_text_ = order_text_.substr(entry.offset, entry.length);
      }
      return 0;
    case view_property::OrderValueProperty: {
      if (index < 1 || static_cast<size_t>(index) > order_.size()) return 0;
      auto i = static_cast<size_t>(index - 1);
      Value value = i < positioning_.size() && positioning_[i]
                        ? *positioning_[i]
                        : EvaluateValue(*order_[i].expression);
      if (value.value_class == ValueClass::kString) {
        answer_text_ = value.text;
      } else {
        NodePtr number = value.value_class == ValueClass::kReal ? MakeReal(value.real)
                                                                : MakeInteger(value.integer);
        answer_text_ = EvaluateText(*number);
      }
      answer_ =
          value.value_class == ValueClass::kReal ? static_cast<int64_t>(value.real) : value.integer;
      return 0;
    }
    case view_property::FileCountProperty:
      answer_ = static_cast<int64_t>(descriptor_.files.size());
      return 0;
    case view_property::FileProperty:
      if (index >= 1 && static_cast<size_t>(index) <= descriptor_.files.size()) {
        answer_file_ = descriptor_.files[static_cast<size_t>(index - 1)].file;
      }
      return 0;
    default:
      return 0;
  }
}

std::string ViewEngine::DescribePlan() const {
  std::string out;
  if (plan_.root) plan_.root->Describe(&out, 0);
  return out;
}

void ViewEngine::Trace(int operation, int code, int64_t started) {
  if (!profile_) return;
  char identity[32];
  std::snprintf(identity, sizeof identity, "VIEW:%" PRIXPTR ":", reinterpret_cast<uintptr_t>(this));
  std::string text;
  if (!traced_) {
    traced_ = true;
    text += identity + ViewDescriptorText(nodes_);
  }
  const runtime::ErrorState& error = runtime::CurrentError();
  text += identity + storage::FormatTraceLine(operation, primary().block().name, code,
                                              error.driver_text,
                                              platform::ElapsedHundredths() - started);
  std::unique_ptr<platform::File> file;
  Status s = platform::FileSystem::Default()->Open(
      storage::TraceFileHostPath(trace_file_),
      platform::open_mode::kReadWrite | platform::open_mode::kDenyNone,
      platform::Disposition::kOpenOrCreate, &file);
  uint64_t end = 0;
  if (s.ok()) s = file->Size(&end);
  if (s.ok()) static_cast<void>(file->Write(end, text.data(), text.size()));
}

}  // namespace tentaria::views
