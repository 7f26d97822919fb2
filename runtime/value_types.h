// Value type codes: their names, storage sizes and the
// conversion rules between value forms that every unit shares.
//
// The type code is the byte that record layouts, table definitions and the
// file interface carry; codes read from a file may lie outside the table, so
// every lookup takes a plain int and answers for any value.
#ifndef TENTARIA_RUNTIME_VALUE_TYPES_H_
#define TENTARIA_RUNTIME_VALUE_TYPES_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace tentaria::runtime {

// The enumerators carry the system's own type names.  Code 17 has the name
// "(17)" in the runtime's table and no identifier of its own; code 29 has no
// name at all.
enum class TypeCode : std::uint8_t {
  END = 0,
  BYTE = 1,
  SHORT = 2,
  USHORT = 3,
  DATE = 4,
  TIME = 5,
  LONG = 6,
  ULONG = 7,
  SREAL = 8,
  REAL = 9,
  DECIMAL = 10,
  PDECIMAL = 11,
  DUM1 = 12,
  BFLOAT4 = 13,
  BFLOAT8 = 14,
  ANY = 15,
  TEMPUFO = 16,
  RESERVED17 = 17,
  STRING = 18,
  CSTRING = 19,
  PSTRING = 20,
  MEMO = 21,
  GROUP = 22,
  CLASS = 23,
  ARRAY = 24,
  FIELD = 25,
  QUEUE = 26,
  BLOB = 27,
  STACKSTR = 28,
  STDNUM = 30,
};

constexpr int ToInt(TypeCode code) { return static_cast<int>(code); }

// The name in the runtime's name table: "END" for 0, "BYTE" for 1 ...
// "STACKSTR" for 28, "(17)" for 17, "STDNUM" for 30 (named by the declaration
// writer); "UNKNOWN" for any other code, 29 included, which has no name.
std::string_view TypeName(int code);
inline std::string_view TypeName(TypeCode code) { return TypeName(ToInt(code)); }

// The type name as the file declaration writer writes it: the same
// list from code 1 on; "UNKNOWN" outside 1 to 30 (so also for 0, END).
std::string_view DeclarationTypeName(int code);

// The code whose name is `name`, compared without regard to ASCII case;
// nothing for "UNKNOWN", "(17)" and names outside the table.
std::optional<TypeCode> TypeCodeFromName(std::string_view name);

// Fixed storage size: 1 for BYTE; 2 for SHORT, USHORT; 4 for DATE, TIME,
// LONG, ULONG, SREAL, BFLOAT4, ANY; 8 for REAL, BFLOAT8; 0 for every other
// code, whose size comes from its declaration.
int TypeSize(int code);
inline int TypeSize(TypeCode code) { return TypeSize(ToInt(code)); }

// Bytes of a DECIMAL or PDECIMAL of `digits` digits: digits div 2 + 1.
constexpr int DecimalByteCount(int digits) { return digits / 2 + 1; }
// Digits that a DECIMAL or PDECIMAL of `bytes` bytes holds: 2 × bytes − 1.
constexpr int DecimalDigitCount(int bytes) { return 2 * bytes - 1; }

// Whether a value of this type code can be read as a number or a text:
// BYTE to PDECIMAL, BFLOAT4, BFLOAT8, STRING, CSTRING, PSTRING, MEMO and
// GROUP.  A request for the value of any other code is run-time error 501.
bool HasValueForm(int code);

// Whether a text can be popped into a destination of this type: STRING,
// CSTRING, PSTRING, and MEMO and GROUP, which take a text as a STRING does.
bool IsTextDestination(int code);

// Real to integer, truncating towards zero.  A C++ cast of a double out of
// the target's range is undefined, so these saturate instead: NaN gives 0,
// a value at or beyond a limit gives that limit (+inf the maximum, -inf the
// minimum).
std::int64_t RealToInt64(double value);
std::int32_t RealToInt32(double value);

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_VALUE_TYPES_H_
