// Packed records: how the entries of a page follow one another in its image.
//
// Each record is written as:
//
//   Width       Field
//   u8          flags: bit 7 a record length follows, bit 6 a key length
//               follows, bits 0-5 how many leading bytes this record shares
//               with the previous one (0-63)
//   u16         record length, only with bit 7; else the previous record's
//   u16         key length, only with bit 6; else the previous record's
//   len-shared  the record's bytes after the shared ones
//
// The first record of a page carries both lengths and shares nothing.  The
// shared count is taken over at most 63 bytes and at most the previous
// record's length.
#ifndef TENTARIA_STORAGE_PAGE_CODEC_H_
#define TENTARIA_STORAGE_PAGE_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/status.h"
#include "storage/page.h"

namespace tentaria::storage {

inline constexpr size_t kMaxShared = 63;

// Appends the packed form of the page's entries to out.
void PackEntries(const Page& page, std::string* out);

// Appends count entries rebuilt from exactly n packed bytes to page (an
// empty page of the right level); internal fault 1602 when the form is
// inconsistent or does not end exactly at n.  Index entries must be keys
// alone.  bytes_hint, the expected total of the records' lengths, only
// sizes the page's buffer.
Status UnpackEntries(const uint8_t* data, size_t n, size_t count, bool index, size_t bytes_hint,
                     Page* page);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_PAGE_CODEC_H_
