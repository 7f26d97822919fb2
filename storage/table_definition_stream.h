// The stored definition of a table: one byte stream, written when the table
// is created, read back when a program opens the table without a
// declaration of its own, and compared with the program's declaration
// otherwise.  The three are one walk over the same elements.
//
// Elements, all little-endian: a byte; a u16; a text, written as its bytes
// and a terminating zero byte (an empty text is the zero byte alone).
//
// Stream layout (E: a difference is essential, T: tolerated, -: not
// compared):
//
//   Header
//     u16   version: 1, or 2 when the table has a blob                E
//     u16   record size in bytes                                      E
//     u16   number of fields                                          E
//     u16   number of memos and blobs                                 E
//     u16   number of keys                                            E
//   Each field, in declaration order
//     byte  type code                                                 E
//     u16   offset in the record                                      E
//     text  name (the external name, else the label)                  T
//     u16   number of elements (1 for a field that is not an array)   E
//     u16   size in bytes (of the whole array)                        E
//     u16   further attribute word 1                                  E
//     u16   further attribute word 2                                  E
//     DECIMAL and PDECIMAL only:
//       byte  digits                                                  T
//       byte  decimal places                                          T
//     STRING, CSTRING and PSTRING only:
//       u16   declared string length                                  T
//       text  picture                                                 T
//   Each memo or blob, in declaration order
//     text  external name                                             T
//     text  name                                                      T
//     u16   size (the declared maximum)                    E (T for a blob)
//     u16   attributes: 2 binary, 4 blob                              -
//   Each key, in declaration order (its position is its key number)
//     text  external name                                             T
//     text  name                                                      T
//     byte  the low eight attribute bits                E (except PRIMARY)
//     u16   number of components                                      E
//     each component:
//       u16   field number (from 0)                                   E
//       u16   attributes: 1 descending                                E
//
// The stream is cut into blocks of 512 bytes, each the data of one
// definition block record (table_definition_records.h), numbered from 0.
// Every block but the last holds exactly 512 bytes, so a stream whose
// length is a multiple of 512 ends with an empty block.  On reading, a
// block that is not found reads as 512 zero bytes and a short block is
// read as if padded with zero bytes.
#ifndef TENTARIA_STORAGE_TABLE_DEFINITION_STREAM_H_
#define TENTARIA_STORAGE_TABLE_DEFINITION_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"
#include "storage/table_definition.h"

namespace tentaria::storage {

inline constexpr size_t kDefinitionBlockSize = 512;
// Block numbers are 16 bits.
inline constexpr size_t kMaxDefinitionBlocks = 0x10000;

// Supplies the data of definition block `block`: *found false when the
// table has no such block.  A failure ends the walk with that status.
using DefinitionBlockSource = std::function<Status(uint16_t block, std::string* data, bool* found)>;

// A source over blocks held in memory (blocks past the end are not found).
// The vector must outlive the source.
DefinitionBlockSource BlockListSource(const std::vector<std::string>& blocks);

// The result of comparing a stored definition with a declaration.
enum class DefinitionMatch {
  kSame = 0,
  kTolerated = 1,  // only tolerated elements differ: the open goes on
  kEssential = 2,  // the open fails with 47
};

// Write mode.  A declaration that fails ValidateDefinition, or whose stream
// would need more than kMaxDefinitionBlocks blocks, fails with 47.
Status WriteDefinition(const FileDescriptor& declaration, std::vector<std::string>* blocks);

// Read mode: rebuilds the record layout, memos and keys of *file from the
// stored stream (its other members are left as they are).  Fields take
// their stored name as label; an array comes back with one dimension.
// A stream that cannot be read, or that yields a definition failing
// ValidateDefinition or a version other than 1 and 2, fails with 36 and
// leaves *file untouched.
Status ReadDefinition(const DefinitionBlockSource& source, FileDescriptor* file);

// Compare mode: walks the stored stream against the declaration and stops
// at the first essential difference.  A declaration that fails
// ValidateDefinition fails with 47; a stream that cannot be read fails
// with 36.
Status CompareDefinition(const DefinitionBlockSource& source, const FileDescriptor& declaration,
                         DefinitionMatch* match);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TABLE_DEFINITION_STREAM_H_
