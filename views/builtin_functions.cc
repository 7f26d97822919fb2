#include "views/builtin_functions.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "runtime/date_time.h"
#include "runtime/error_state.h"
#include "runtime/value_types.h"
#include "views/expression_evaluator.h"
#include "views/number_text.h"
#include "views/picture_bridge.h"
#include "views/text_match.h"
#include "views/text_rules.h"

namespace tentaria::views {
namespace {

class Arguments {
 public:
  explicit Arguments(const Node& call) : call_(call) {}

  size_t count() const { return call_.operands.size(); }
  bool has(size_t i) const { return i < count(); }
  const Node& node(size_t i) const { return *call_.operands[i]; }
  std::int32_t Integer(size_t i, std::int32_t missing = 0) const {
    return has(i) ? EvaluateInteger(node(i)) : missing;
  }
  double Real(size_t i, double missing = 0) const {
    return has(i) ? EvaluateReal(node(i)) : missing;
  }
  std::string Text(size_t i) const { return has(i) ? EvaluateText(node(i)) : std::string(); }
  // Borrowed where possible, for functions that only read their argument.
  std::string_view View(size_t i, std::string* scratch) const {
    return has(i) ? EvaluateTextView(node(i), scratch) : std::string_view();
  }

 private:
  const Node& call_;
};

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The length argument of ALL, CENTER, LEFT and RIGHT, within 0 and the cap.
size_t LengthArgument(const Arguments& args, size_t i, size_t missing) {
  std::int64_t length = args.has(i) ? args.Integer(i) : static_cast<std::int64_t>(missing);
  return static_cast<size_t>(std::clamp<std::int64_t>(length, 0, kMaxBuiltTextLength));
}

// Places `text` at `offset` in a field of `width` blanks; what does not fit
// is cut at the end.
std::string Justify(std::string_view text, size_t width, size_t offset) {
  std::string result(width, ' ');
  if (offset < width) {
    size_t n = std::min(text.size(), width - offset);
    result.replace(offset, n, text.substr(0, n));
  }
  return result;
}

// SUB(text, start, length): counts from 1; a negative start counts from the
// end (-1 is the last character); without a length, to the end of the
// text.  Positions outside the text are dropped.
std::string Sub(const Arguments& args) {
  std::string text = args.Text(0);
  auto size = static_cast<std::int64_t>(text.size());
  std::int64_t start = args.Integer(1, 1);
  if (start < 0) start += size + 1;
  std::int64_t length = args.has(2) ? args.Integer(2) : size;
  std::int64_t first = std::max<std::int64_t>(start, 1);
  std::int64_t last = std::min<std::int64_t>(start + length - 1, size);
  if (first > last) return {};
  return text.substr(first - 1, last - first + 1);
}

// Calls found(p) for each position p (from 1) where sought occurs in text,
// in increasing order, until found returns true.  Knuth-Morris-Pratt, so the
// time is linear in the two lengths however long the texts are.
template <typename Found>
void ForEachOccurrence(std::string_view text, std::string_view sought, Found found) {
  std::vector<size_t> border(sought.size(), 0);
  for (size_t i = 1, k = 0; i < sought.size(); ++i) {
    while (k > 0 && sought[i] != sought[k]) k = border[k - 1];
    if (sought[i] == sought[k]) ++k;
    border[i] = k;
  }
  for (size_t i = 0, k = 0; i < text.size(); ++i) {
    while (k > 0 && text[i] != sought[k]) k = border[k - 1];
    if (text[i] == sought[k]) ++k;
    if (k == sought.size()) {
      if (found(static_cast<std::int64_t>(i + 2 - k))) return;
      k = border[k - 1];
    }
  }
}

// INSTRING(sought, text, step, start): the first position (from 1) among
// start, start + step, start + 2 * step, ... where sought occurs in text; 0
// when none.  A missing or zero step is 1; a missing start is 1 (the last
// possible position for a negative step).  An empty sought text is found
// nowhere.
std::int32_t InString(const Arguments& args) {
  std::string sought = args.Text(0);
  std::string text = args.Text(1);
  std::int64_t step = args.Integer(2, 1);
  if (step == 0) step = 1;
  std::int64_t last =
      static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(sought.size()) + 1;
  std::int64_t start = args.has(3) ? args.Integer(3) : step > 0 ? 1 : last;
  if (sought.empty() || start < 1 || start > last) return 0;
  std::int64_t result = 0;
  ForEachOccurrence(text, sought, [&](std::int64_t position) {
    if (step > 0) {
      if (position < start || (position - start) % step != 0) return false;
      result = position;
      return true;
    }
    if (position > start) return true;
    if ((start - position) % -step == 0) result = position;
    return false;
  });
  return static_cast<std::int32_t>(result);
}

// ALL(text, length): text repeated to length (255 without one); an empty
// text repeats a blank.
std::string All(const Arguments& args) {
  std::string unit = args.Text(0);
  if (unit.empty()) unit = " ";
  size_t length = LengthArgument(args, 1, 255);
  std::string result;
  result.reserve(length);
  while (result.size() < length) result += unit;
  result.resize(length);
  return result;
}

// CENTER, LEFT, RIGHT(text, length): the text without its surrounding
// blanks, centred (an odd blank goes to the right), left- or
// right-justified in a field of length blanks, by default the text's own
// length.
std::string Center(const Arguments& args) {
  std::string text = args.Text(0);
  std::string_view core = TrimRight(TrimLeft(text));
  size_t width = LengthArgument(args, 1, text.size());
  size_t offset = core.size() < width ? (width - core.size()) / 2 : 0;
  return Justify(core, width, offset);
}

std::string Left(const Arguments& args) {
  std::string text = args.Text(0);
  size_t width = LengthArgument(args, 1, text.size());
  return Justify(TrimLeft(text), width, 0);
}

std::string Right(const Arguments& args) {
  std::string text = args.Text(0);
  std::string_view core = TrimRight(text);
  size_t width = LengthArgument(args, 1, text.size());
  return Justify(core, width, core.size() < width ? width - core.size() : 0);
}

// MEMORY(n): the free physical memory in bytes, at most 2^31 - 1; the
// argument is accepted for compatibility and not used.
std::int32_t Memory() {
  long pages = sysconf(_SC_AVPHYS_PAGES);
  long page_size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  double bytes = static_cast<double>(pages) * static_cast<double>(page_size);
  return runtime::RealToInt32(bytes);
}

// RANDOM(low, high): an integer in low..high, both included (in either
// order).
std::int32_t Random(const Arguments& args) {
  static std::mt19937 generator{std::random_device{}()};
  std::int32_t low = args.Integer(0);
  std::int32_t high = args.Integer(1);
  if (low > high) std::swap(low, high);
  return std::uniform_int_distribution<std::int32_t>(low, high)(generator);
}

// ROUND(x, step): x rounded to a multiple of step, half away from zero.
// A missing step is 1; a zero step leaves x as it is.  Binary reals cannot
// hold most decimal halves (1.005 is stored as 1.00499...), so a quotient
// within a few units of the last place of a half counts as that half.
double Round(const Arguments& args) {
  double x = args.Real(0);
  double step = std::fabs(args.Real(1, 1));
  if (step == 0 || !std::isfinite(step) || !std::isfinite(x)) return x;
  double quotient = std::fabs(x) / step;
  double whole = std::floor(quotient);
  double fraction = quotient - whole;
  double tolerance = 8 * std::numeric_limits<double>::epsilon() * std::max(quotient, 1.0);
  if (fraction >= 0.5 - tolerance) whole += 1;
  double result = whole * step;
  return std::signbit(x) ? -result : result;
}

// BSHIFT(value, count): shifted left by count bits, right (filling with
// zeros) for a negative count; 32 or more places give 0.
std::int32_t BShift(const Arguments& args) {
  auto bits = static_cast<std::uint32_t>(args.Integer(0));
  std::int32_t count = args.Integer(1);
  if (count >= 32 || count <= -32) return 0;
  bits = count >= 0 ? bits << count : bits >> -count;
  return static_cast<std::int32_t>(bits);
}

// CHOOSE(n, a, b, ...): the n-th of the items; outside 1..count the last
// one, so that CHOOSE(condition, when_true, when_false) works as well.
std::string Choose(const Arguments& args) {
  size_t items = args.count() > 0 ? args.count() - 1 : 0;
  if (items == 0) return {};
  std::int64_t n = args.Integer(0);
  size_t pick = n >= 1 && n <= static_cast<std::int64_t>(items) ? static_cast<size_t>(n) : items;
  return args.Text(pick);
}

// INLIST(v, a, b, ...): the position of the first item equal to v under the
// comparison rules, 0 when none.
std::int32_t InList(const Arguments& args) {
  for (size_t i = 1; i < args.count(); ++i) {
    if (CompareOperands(args.node(0), args.node(i)) == 0) return static_cast<std::int32_t>(i);
  }
  return 0;
}

// INRANGE(v, low, high): whether low <= v <= high under the comparison
// rules.
std::int32_t InRange(const Arguments& args) {
  if (args.count() < 3) return 0;
  return ComparisonHolds(Op::kGreaterOrEqual, CompareOperands(args.node(0), args.node(1))) &&
         ComparisonHolds(Op::kLessOrEqual, CompareOperands(args.node(0), args.node(2)));
}

// GETINI(section, key, default, file): a value of a private profile, or of
// the user profile when no file is named.
std::string GetIni(const Arguments& args) {
  std::string section = args.Text(0);
  std::string key = args.Text(1);
  std::string fallback = args.Text(2);
  std::string file = args.Text(3);
  if (TrimRight(file).empty()) return platform::ReadProfileString(section, key, fallback);
  return platform::ReadPrivateProfileString(section, key, fallback, file);
}

// FORMAT(value, picture) and DEFORMAT(text, picture).
std::string Format(const Arguments& args) {
  Value value = args.has(0) ? EvaluateValue(args.node(0)) : Value::String({});
  return FormatWithPicture(value, args.Text(1));
}

std::string Deformat(const Arguments& args) {
  std::string scratch;
  return DeformatWithPicture(args.Text(0), args.View(1, &scratch));
}

// AGE(birth, base): base defaults to today.
std::string Age(const Arguments& args) {
  if (args.has(1)) return runtime::Age(args.Integer(0), args.Integer(1));
  return runtime::Age(args.Integer(0));
}

Value CallProcedure(const Node& call) {
  // Evaluated from the last argument to the first.
  std::vector<Value> arguments(call.operands.size());
  for (size_t i = arguments.size(); i-- > 0;) arguments[i] = EvaluateValue(*call.operands[i]);
  Value result = (*call.procedure)(arguments);
  switch (call.value_class) {
    case ValueClass::kTruth:
    case ValueClass::kInteger:
      if (result.value_class == ValueClass::kReal)
        return Value::Integer(runtime::RealToInt32(result.real));
      if (result.value_class == ValueClass::kString) {
        return Value::Integer(runtime::RealToInt32(TextToReal(result.text)));
      }
      return Value::Integer(result.integer);
    case ValueClass::kReal:
      if (result.value_class == ValueClass::kString) return Value::Real(TextToReal(result.text));
      if (result.value_class != ValueClass::kReal) return Value::Real(result.integer);
      return result;
    default:
      if (result.value_class == ValueClass::kReal) return Value::String(RealToText(result.real));
      if (result.value_class != ValueClass::kString) {
        return Value::String(IntegerToText(result.integer));
      }
      return result;
  }
}

Value Integer(std::int32_t value) { return Value::Integer(value); }
Value Real(double value) { return Value::Real(value); }
Value Text(std::string value) { return Value::String(std::move(value)); }

}  // namespace

Value CallFunction(const Node& call) {
  if (call.procedure) return CallProcedure(call);
  Arguments args(call);
  std::string scratch;
  switch (call.function()) {
    case Fn::kMemory:
      return Integer(Memory());
    case Fn::kSub:
      return Text(Sub(args));
    case Fn::kInString:
      return Integer(InString(args));
    case Fn::kClip:
      return Text(std::string(TrimRight(args.View(0, &scratch))));
    case Fn::kAll:
      return Text(All(args));
    case Fn::kCenter:
      return Text(Center(args));
    // CHR(code): the character of that code (taken modulo 256).
    case Fn::kChr:
      return Text(std::string(1, static_cast<char>(args.Integer(0) & 0xFF)));
    case Fn::kDeformat:
      return Text(Deformat(args));
    case Fn::kFormat:
      return Text(Format(args));
    case Fn::kLeft:
      return Text(Left(args));
    case Fn::kLen:
      return Integer(static_cast<std::int32_t>(args.View(0, &scratch).size()));
    case Fn::kLower:
      return Text(LowerText(args.View(0, &scratch)));
    // NUMERIC(text): 1 when the text, blanks around it aside, is a number.
    case Fn::kNumeric:
      return Integer(IsNumericText(args.View(0, &scratch)) ? 1 : 0);
    case Fn::kRight:
      return Text(Right(args));
    case Fn::kUpper:
      return Text(UpperText(args.View(0, &scratch)));
    // VAL(text): the code of the first character, 0 for an empty text.
    case Fn::kVal: {
      std::string text = args.Text(0);
      return Integer(text.empty() ? 0 : static_cast<unsigned char>(text[0]));
    }
    case Fn::kAbs:
      return Real(std::fabs(args.Real(0)));
    case Fn::kInRange:
      return Integer(InRange(args));
    // INT(x): truncated towards zero.
    case Fn::kInt:
      return Integer(runtime::RealToInt32(args.Real(0)));
    case Fn::kLogE:
      return Real(std::log(args.Real(0)));
    case Fn::kLog10:
      return Real(std::log10(args.Real(0)));
    case Fn::kRandom:
      return Integer(Random(args));
    case Fn::kRound:
      return Real(Round(args));
    case Fn::kSqrt:
      return Real(std::sqrt(args.Real(0)));
    case Fn::kSin:
      return Real(std::sin(args.Real(0)));
    case Fn::kCos:
      return Real(std::cos(args.Real(0)));
    case Fn::kTan:
      return Real(std::tan(args.Real(0)));
    case Fn::kASin:
      return Real(std::asin(args.Real(0)));
    case Fn::kACos:
      return Real(std::acos(args.Real(0)));
    case Fn::kATan:
      return Real(std::atan(args.Real(0)));
    case Fn::kBAnd:
      return Integer(args.Integer(0) & args.Integer(1));
    case Fn::kBOr:
      return Integer(args.Integer(0) | args.Integer(1));
    case Fn::kBXor:
      return Integer(args.Integer(0) ^ args.Integer(1));
    case Fn::kBShift:
      return Integer(BShift(args));
    case Fn::kToday:
      return Integer(runtime::Today());
    case Fn::kClock:
      return Integer(runtime::Clock());
    case Fn::kDate:
      return Integer(runtime::Date(args.Integer(0), args.Integer(1), args.Integer(2)));
    case Fn::kDay:
      return Integer(runtime::Day(args.Integer(0)));
    case Fn::kMonth:
      return Integer(runtime::Month(args.Integer(0)));
    case Fn::kYear:
      return Integer(runtime::Year(args.Integer(0)));
    case Fn::kAge:
      return Text(Age(args));
    case Fn::kChoose:
      return Text(Choose(args));
    case Fn::kInList:
      return Integer(InList(args));
    case Fn::kGetIni:
      return Text(GetIni(args));
    case Fn::kMatch:
      return Integer(MatchText(args.Text(0), args.Text(1), args.Integer(2)) ? 1 : 0);
    // NULL(x): record fields of this system never hold a null value.
    case Fn::kNull:
      return Integer(0);
    case Fn::kProcedure:
      break;
  }
  runtime::RaiseRuntimeError(kUnsupportedOperatorError,
                             "Unknown expression function " + std::to_string(call.code));
  return Value::String({});
}

}  // namespace tentaria::views
