#include "views/name_table.h"

#include <algorithm>
#include <utility>

#include "runtime/error_state.h"
#include "runtime/string_stack.h"
#include "views/text_rules.h"

namespace tentaria::views {
namespace {

struct BuiltinRow {
  const char* name;
  int max_arguments;
  Fn function;
  ValueClass result;
};

constexpr ValueClass kInt = ValueClass::kInteger;
constexpr ValueClass kReal = ValueClass::kReal;
constexpr ValueClass kStr = ValueClass::kString;

constexpr BuiltinRow kBuiltins[] = {
    {"MEMORY", 1, Fn::kMemory, kInt},     {"SUB", 3, Fn::kSub, kStr},
    {"INSTRING", 4, Fn::kInString, kInt}, {"CLIP", 1, Fn::kClip, kStr},
    {"ALL", 2, Fn::kAll, kStr},           {"CENTER", 2, Fn::kCenter, kStr},
    {"CHR", 1, Fn::kChr, kStr},           {"DEFORMAT", 2, Fn::kDeformat, kStr},
    {"FORMAT", 2, Fn::kFormat, kStr},     {"LEFT", 2, Fn::kLeft, kStr},
    {"LEN", 1, Fn::kLen, kInt},           {"LOWER", 1, Fn::kLower, kStr},
    {"NUMERIC", 1, Fn::kNumeric, kInt},   {"RIGHT", 2, Fn::kRight, kStr},
    {"UPPER", 1, Fn::kUpper, kStr},       {"VAL", 1, Fn::kVal, kInt},
    {"ABS", 1, Fn::kAbs, kReal},          {"INRANGE", 3, Fn::kInRange, kInt},
    {"INT", 1, Fn::kInt, kInt},           {"LOGE", 1, Fn::kLogE, kReal},
    {"LOG10", 1, Fn::kLog10, kReal},      {"RANDOM", 2, Fn::kRandom, kInt},
    {"ROUND", 2, Fn::kRound, kReal},      {"SQRT", 1, Fn::kSqrt, kReal},
    {"SIN", 1, Fn::kSin, kReal},          {"COS", 1, Fn::kCos, kReal},
    {"TAN", 1, Fn::kTan, kReal},          {"ASIN", 1, Fn::kASin, kReal},
    {"ACOS", 1, Fn::kACos, kReal},        {"ATAN", 1, Fn::kATan, kReal},
    {"BAND", 2, Fn::kBAnd, kInt},         {"BOR", 2, Fn::kBOr, kInt},
    {"BXOR", 2, Fn::kBXor, kInt},         {"BSHIFT", 2, Fn::kBShift, kInt},
    {"TODAY", 0, Fn::kToday, kInt},       {"CLOCK", 0, Fn::kClock, kInt},
    {"DATE", 3, Fn::kDate, kInt},         {"DAY", 1, Fn::kDay, kInt},
    {"MONTH", 1, Fn::kMonth, kInt},       {"YEAR", 1, Fn::kYear, kInt},
    {"AGE", 2, Fn::kAge, kStr},           {"CHOOSE", 25, Fn::kChoose, kStr},
    {"INLIST", 25, Fn::kInList, kInt},    {"GETINI", 4, Fn::kGetIni, kStr},
    {"MATCH", 3, Fn::kMatch, kInt},       {"NULL", 1, Fn::kNull, kInt},
};

struct KeywordRow {
  const char* name;
  Op op;
};

constexpr KeywordRow kKeywords[] = {
    {"NOT", Op::kNot}, {"AND", Op::kAnd}, {"OR", Op::kOr}, {"XOR", Op::kXor}};

using EntryMap = std::map<std::string, NameEntry, std::less<>>;

const EntryMap& Builtins() {
  static const EntryMap* builtins = [] {
    auto* map = new EntryMap;
    for (const BuiltinRow& row : kBuiltins) {
      NameEntry entry;
      entry.name = row.name;
      entry.kind = EntryKind::kFunction;
      entry.function = row.function;
      entry.max_arguments = row.max_arguments;
      entry.value_class = row.result;
      map->emplace(row.name, std::move(entry));
    }
    for (const KeywordRow& row : kKeywords) {
      NameEntry entry;
      entry.name = row.name;
      entry.kind = EntryKind::kKeyword;
      entry.op = row.op;
      map->emplace(row.name, std::move(entry));
    }
    return map;
  }();
  return *builtins;
}

const NameEntry* Find(const EntryMap& map, std::string_view key) {
  auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

bool IsNameCharacter(unsigned char c) {
  return IsNameLetter(c) || IsDigit(c) || c == '_' || c == ':';
}

std::string CutBoundName(std::string_view name) {
  name = name.substr(0, kMaxBoundNameLength);
  // A name may start with "?", as the scanner allows.
  size_t end = !name.empty() && name[0] == '?' ? 1 : 0;
  while (end < name.size() && IsNameCharacter(static_cast<unsigned char>(name[end]))) ++end;
  if (end < name.size() && (name[end] == '#' || name[end] == '$' || name[end] == '"')) ++end;
  return std::string(name.substr(0, end));
}

}  // namespace

const NameEntry* FindBuiltin(std::string_view name) {
  const NameEntry* entry = Find(Builtins(), NameKey(name));
  return entry && entry->kind == EntryKind::kFunction ? entry : nullptr;
}

NameScopes::NameScopes() : scopes_(1) {}

bool NameScopes::Insert(NameEntry entry) {
  if (entry.name.empty()) return false;
  std::string key = NameKey(entry.name);
  scopes_.back().entries.insert_or_assign(std::move(key), std::move(entry));
  return true;
}

bool NameScopes::Bind(std::string_view name, BoundVariable variable) {
  NameEntry entry;
  entry.name = CutBoundName(name);
  entry.kind = EntryKind::kVariable;
  entry.value_class = ClassOfType(variable.type);
  entry.variable = std::move(variable);
  return Insert(std::move(entry));
}

bool NameScopes::BindProcedure(std::string_view name, int max_arguments, ValueClass result,
                               BoundProcedure procedure) {
  if (!procedure) return false;
  NameEntry entry;
  entry.name = CutBoundName(name);
  entry.kind = EntryKind::kFunction;
  entry.function = Fn::kProcedure;
  entry.max_arguments = std::clamp(max_arguments, 0, kMaxCallArguments);
  entry.value_class = result;
  entry.procedure = std::make_shared<const BoundProcedure>(std::move(procedure));
  return Insert(std::move(entry));
}

void NameScopes::PushScope(bool inherit) {
  Scope scope;
  scope.opaque = !inherit;
  scopes_.push_back(std::move(scope));
}

bool NameScopes::PopScope() {
  if (scopes_.size() <= 1) {
    runtime::RaiseRuntimeError(kMismatchedScopeError, "Mismatched PUSHSCOPE/POPSCOPE");
    return false;
  }
  scopes_.pop_back();
  return true;
}

const NameEntry* NameScopes::Lookup(std::string_view name) const {
  std::string key = NameKey(name);
  if (const NameEntry* entry = Find(scopes_.back().entries, key)) return entry;
  if (const NameEntry* entry = Find(Builtins(), key)) return entry;
  for (size_t i = scopes_.size() - 1; i > 0 && !scopes_[i].opaque; --i) {
    if (const NameEntry* entry = Find(scopes_[i - 1].entries, key)) return entry;
  }
  return nullptr;
}

bool BindFromStringStack(NameScopes& names, BoundVariable variable) {
  std::string name = runtime::ProcessStringStack().PopText();
  return names.Bind(name, std::move(variable));
}

NameScopes& ProcessNames() {
  static NameScopes* names = new NameScopes;
  return *names;
}

}  // namespace tentaria::views
