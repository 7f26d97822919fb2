// Compression of the packed part of a page image.
//
// The compressed form alternates literal stretches and runs:
//
//   count L (base-128), L literal bytes, count R (base-128): R more copies
//   of the last literal byte, ... , count L, L literal bytes
//
// Counts are unsigned base-128 numbers, 7 bits a byte, lowest group first,
// bit 7 set on every byte but the last.  Only runs of 4 or more equal bytes
// are encoded as runs; the literal stretch before a run includes the run's
// first byte, so the run count is the run length minus 1.  The form always
// ends with a literal stretch (possibly empty).
#ifndef TENTARIA_STORAGE_PAGE_COMPRESSION_H_
#define TENTARIA_STORAGE_PAGE_COMPRESSION_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace tentaria::storage {

// Appends the compressed form of input to out.  Returns false (and leaves
// out as it was) when the input holds no run of 4 or more, in which case
// the page is stored as is.
bool CompressPage(const uint8_t* input, size_t n, std::string* out);

// Expands input into exactly out_size bytes at out.  A count that overruns
// the room left is internal fault 522 (literal) or 530 (run); input that
// ends early is treated the same way.
Status ExpandPage(const uint8_t* input, size_t n, uint8_t* out, size_t out_size);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_COMPRESSION_H_
