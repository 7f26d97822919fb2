// The columns of a table in CSV and the text of each value, UTF-8:
//
//   BYTE, SHORT, USHORT, LONG, ULONG   the number: -12
//   SREAL, REAL, BFLOAT4, BFLOAT8      the shortest text that reads back
//                                      as the same number: 0.1, -2.5e-07
//   DECIMAL, PDECIMAL                  plain decimal text with the field's
//                                      decimal places: -1234.50
//   DATE                               year-month-day, 2000-07-14; empty
//                                      for no date
//   TIME                               hours:minutes:seconds.hundredths,
//                                      08:30:00.00; empty for no time
//   STRING, CSTRING, PSTRING, GROUP    the text without trailing blanks
//
// A memo gives a column of its own after the fields, named by its label:
// its text, or for a blob and a BINARY memo, which may hold any bytes, two
// hexadecimal digits per byte.  An array gives one column per element, named LABEL[i] (LABEL[i,j]
// ... for several dimensions).  A group whose bytes later fields lie in is shown through those
// fields and has no column of its own.
//
// Reading a value back takes an empty cell as the empty value (zero, no
// date, no time, blanks) and refuses what the field cannot hold: text that
// is not a number, a number out of range or with more integer digits than
// the field (extra decimal places are rounded, as storing a decimal does),
// a date or time that does not exist, a text longer than the field.
#ifndef TENTARIA_TOOLS_TVN_FIELD_TEXT_H_
#define TENTARIA_TOOLS_TVN_FIELD_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "storage/table_definition.h"

namespace tentaria::tvn {

struct Column {
  std::string heading;  // UTF-8
  bool memo = false;    // a memo or blob column
  size_t field = 0;     // position in the field list, or the memo number
  size_t element = 0;   // element of an array, from 0
};

std::vector<Column> TableColumns(const storage::FileDescriptor& definition);

// The value of a field column in a row of the record size, as UTF-8 text.
std::string ColumnText(const storage::FileDescriptor& definition, const Column& column,
                       std::string_view row);

// Stores a field column's value (UTF-8 text) into the row.  A value the field
// cannot hold fails with a message saying why.
Status StoreColumnText(const storage::FileDescriptor& definition, const Column& column,
                       std::string_view text, std::string* row);

// The text of a memo column, from the memo's stored text.
std::string MemoColumnText(const storage::MemoDescriptor& memo, std::string_view stored);
// The text to store for a memo column's value; fails on hexadecimal text
// that is not.
Status StoreMemoColumnText(const storage::MemoDescriptor& memo, std::string_view text,
                           std::string* stored);

// A row with every field empty: blanks in strings and groups, zeros
// elsewhere.
std::string EmptyRow(const storage::FileDescriptor& definition);

}  // namespace tentaria::tvn

#endif  // TENTARIA_TOOLS_TVN_FIELD_TEXT_H_
