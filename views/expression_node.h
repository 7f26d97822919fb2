// The compiled form of a run-time expression: a tree of nodes.
//
// Every node carries the value class it naturally yields, its kind, an
// operator or function code, its operands and a level (the deepest view file
// it reads, filled in by filter analysis).  Trees come from the parser or
// from the factory functions below (the view plan builds rewritten filters
// with them).
#ifndef TENTARIA_VIEWS_EXPRESSION_NODE_H_
#define TENTARIA_VIEWS_EXPRESSION_NODE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tentaria::views {

enum class ValueClass : std::uint8_t {
  kTruth = 0,
  kInteger = 1,
  kReal = 2,
  kPicture = 3,
  kString = 4,
};

enum class NodeKind : std::uint8_t {
  kConstant,
  kVariable,
  kUnary,
  kBinary,
  kCall,
  kSubscript,
};

// Operator codes; a lower code binds tighter.
enum class Op : std::uint8_t {
  kArrayElement = 0,
  kSubstring = 1,
  kPower = 2,
  kMultiply = 3,
  kDivide = 4,
  kModulo = 5,
  kNegate = 6,
  kAdd = 7,
  kSubtract = 8,
  kConcatenate = 9,
  kEqual = 10,
  kNotEqual = 11,
  kLess = 12,
  kGreater = 13,
  kLessOrEqual = 14,
  kGreaterOrEqual = 15,
  kNot = 16,
  kAnd = 17,
  kOr = 18,
  kXor = 19,
  kArgumentSeparator = 20,
  kRangeSeparator = 21,
};

inline bool IsComparison(Op op) { return op >= Op::kEqual && op <= Op::kGreaterOrEqual; }

// Built-in function codes, named after the functions; 0 marks a bound
// procedure.
enum class Fn : std::uint8_t {
  kProcedure = 0,
  kMemory = 1,
  kSub = 2,
  kInString = 3,
  kClip = 4,
  kAll = 5,
  kCenter = 6,
  kChr = 7,
  kDeformat = 8,
  kFormat = 9,
  kLeft = 10,
  kLen = 11,
  kLower = 12,
  kNumeric = 13,
  kRight = 14,
  kUpper = 15,
  kVal = 16,
  kAbs = 17,
  kInRange = 18,
  kInt = 19,
  kLogE = 20,
  kLog10 = 21,
  kRandom = 22,
  kRound = 23,
  kSqrt = 24,
  kSin = 25,
  kCos = 26,
  kTan = 27,
  kASin = 28,
  kACos = 29,
  kATan = 30,
  kBAnd = 31,
  kBOr = 32,
  kBXor = 33,
  kBShift = 34,
  kToday = 35,
  kClock = 36,
  kDate = 37,
  kDay = 38,
  kMonth = 39,
  kYear = 40,
  kAge = 41,
  kChoose = 42,
  kInList = 43,
  kGetIni = 44,
  kMatch = 45,
  kNull = 46,
};

// One dimension of an array variable: element count and the distance in
// bytes between consecutive elements.
struct ArrayDimension {
  int count = 0;
  int stride = 0;

  friend bool operator==(const ArrayDimension&, const ArrayDimension&) = default;
};

// A typed reference to program storage: a field of a record buffer or a
// program variable.  `type` is a runtime::TypeCode value; `size` the
// declared byte size (strings: declared length; DECIMAL: byte count);
// `decimals` the decimals of a DECIMAL or PDECIMAL.
struct BoundVariable {
  void* address = nullptr;
  int type = 0;
  int size = 0;
  int decimals = 0;
  std::vector<ArrayDimension> dimensions;  // outermost first; empty for a scalar

  friend bool operator==(const BoundVariable&, const BoundVariable&) = default;
};

// The value class that a variable of this type code yields: codes below 7
// integer, 7 to 17 real, 18 and above string.
ValueClass ClassOfType(int type);

// A value handed to or returned by a bound procedure.
struct Value {
  ValueClass value_class = ValueClass::kInteger;
  std::int32_t integer = 0;
  double real = 0;
  std::string text;

  static Value Integer(std::int32_t v) { return {ValueClass::kInteger, v, 0, {}}; }
  static Value Real(double v) { return {ValueClass::kReal, 0, v, {}}; }
  static Value String(std::string v) { return {ValueClass::kString, 0, 0, std::move(v)}; }
};

// A procedure that the program binds by name; its arguments arrive in
// source order, each in its own value class.
using BoundProcedure = std::function<Value(std::span<const Value> arguments)>;

struct Node;
using NodePtr = std::unique_ptr<Node>;

struct Node {
  ValueClass value_class = ValueClass::kInteger;
  NodeKind kind = NodeKind::kConstant;
  int code = 0;  // Op for operators and subscripts, Fn for calls
  std::vector<NodePtr> operands;
  int level = 0;
  int height = 1;  // longest path to a leaf, bounded by kMaxExpressionHeight

  // Constants: the integer or real value, or the text of a string or
  // picture.  Variables and calls: `text` holds the name as bound.
  std::int32_t integer = 0;
  double real = 0;
  std::string text;

  BoundVariable variable;  // variables
  int max_arguments = 0;   // calls
  std::shared_ptr<const BoundProcedure> procedure;

  Op op() const { return static_cast<Op>(code); }
  Fn function() const { return static_cast<Fn>(code); }
};

// Deeper trees are refused, so that every walk over a tree (evaluation,
// text form, analysis, destruction) has a bounded recursion depth.
inline constexpr int kMaxExpressionHeight = 200;

NodePtr MakeInteger(std::int32_t value);
NodePtr MakeReal(double value);
NodePtr MakeString(std::string value);
NodePtr MakePicture(std::string text);
NodePtr MakeVariable(std::string name, BoundVariable variable);
// Null when the result would exceed kMaxExpressionHeight.
NodePtr MakeUnary(Op op, NodePtr operand);
NodePtr MakeBinary(Op op, NodePtr left, NodePtr right);
NodePtr MakeArrayElement(NodePtr base, NodePtr index);
NodePtr MakeSubstring(NodePtr base, NodePtr first, NodePtr last);
NodePtr MakeCall(Fn function, std::string name, int max_arguments, ValueClass result,
                 std::vector<NodePtr> arguments,
                 std::shared_ptr<const BoundProcedure> procedure = nullptr);

// The result class of an operator node.
ValueClass ResultClass(Op op);

NodePtr Clone(const Node& node);
// Structural equality: kinds, codes, classes, constants, names, bound
// storage and operands (levels are analysis results and do not count).
bool Equal(const Node& a, const Node& b);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_EXPRESSION_NODE_H_
