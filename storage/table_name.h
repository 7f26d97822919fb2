// Tables in one record file: the name by which a program addresses a
// table (path\!name), and the name record that gives the table's number.
//
//   Table name record
//     key   0   1     0xFE
//           1   n     the table's name, upper-case (no table number, no
//                     terminator)
//     data  0   4     the table number, big-endian (the same four bytes
//                     that start every other record of the table)
#ifndef TENTARIA_STORAGE_TABLE_NAME_H_
#define TENTARIA_STORAGE_TABLE_NAME_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace tentaria::storage {

inline constexpr std::string_view kTableSeparator = "\\!";
inline constexpr std::string_view kUnnamedTable = "UNNAMED";
inline constexpr std::string_view kDefaultExtension = ".TVN";
// A path of this many characters or more is refused.
inline constexpr size_t kMaxPathLength = 260;
inline constexpr uint8_t kTableNameKind = 0xFE;

struct TableName {
  std::string path;    // the file's path, with the default extension added
  std::string table;   // the table's name, upper-case
  bool named = false;  // whether the name held a separator
};

// Whether a path names an existing directory (the caller asks the file
// system; the split itself touches no file).  An empty function answers
// false for every path.
using IsDirectory = std::function<bool(std::string_view path)>;

// Splits a name into the file's path and the table's name.  Trailing blanks
// of the name do not count (names often come from blank-padded fields).
// The separator "\!" is looked for from the left; the first one whose left
// part is not an existing directory splits the name, so a directory whose
// name begins with "!" is passed over.  The table name is upper-cased; an
// empty one, or a name without a separator, gives "UNNAMED".  A path whose
// last part has no "." gets ".TVN".  An empty path, or a path of
// kMaxPathLength characters or more, is "Invalid Filename" (45).
Status SplitTableName(std::string_view name, const IsDirectory& is_directory, TableName* result);

std::string TableNameKey(std::string_view table);
std::string EncodeTableNumber(uint32_t table);
// Anything but 4 bytes is "Invalid Data File" (36).
Status DecodeTableNumber(std::string_view data, uint32_t* table);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TABLE_NAME_H_
