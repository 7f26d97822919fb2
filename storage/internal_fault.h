// Internal faults of the record file engine.
//
// A check that finds the file or the engine's own state inconsistent fails
// the operation with an internal fault: a Status with code 90 ("File System
// Error") whose message starts with "internal fault N".  The number tells
// which check failed; the driver shows it and refuses later operations on
// the file.  Faults are plain values, never exceptions.
#ifndef TENTARIA_STORAGE_INTERNAL_FAULT_H_
#define TENTARIA_STORAGE_INTERNAL_FAULT_H_

#include "platform/status.h"

namespace tentaria::storage {

namespace fault {
// Numbers fixed by the file format.
inline constexpr int kLiteralOverrun = 522;     // expansion: literal count beyond the room left
inline constexpr int kRunOverrun = 530;         // expansion: run count beyond the room left
inline constexpr int kRecordTooLong = 824;      // a record too long for any page
inline constexpr int kNumbersExhausted = 1173;  // number counter reached 0xFE000000
inline constexpr int kSplitTooFew = 1364;       // a page to split holds fewer than 2 records
inline constexpr int kPageLength = 1477;        // stored size does not match the blocks read
inline constexpr int kUnpackedSize = 1602;      // packed records do not fill the full size exactly
inline constexpr int kPageTooLarge = 1678;      // a page image needs more than 59 blocks
inline constexpr int kNoSizeClass = 1735;       // a block reference outside every range
inline constexpr int kMovedPageEmpty = 1891;    // a page to move holds no records
inline constexpr int kParentNotFound = 1894;    // no index entry refers to a page to move
inline constexpr int kCipherReadUnit = 2272;    // enciphered read not in whole 64-byte units
inline constexpr int kCipherWriteUnit = 2286;   // enciphered write not in whole 64-byte units
// The engine's own checks, numbered above the ones the format fixes.
inline constexpr int kRangeTable = 2401;    // header ranges not dense, ascending or aligned
inline constexpr int kHomeAddress = 2402;   // a page's home address is not its own offset
inline constexpr int kTreeShape = 2403;     // child level, empty page or key order is wrong
inline constexpr int kJournalEntry = 2404;  // a journal entry's home or length is impossible
inline constexpr int kPageHeader = 2405;    // sizes or counts in a page header are impossible
}  // namespace fault

Status InternalFault(int number);
// The fault number of an internal fault, 0 for any other status.
int InternalFaultNumber(const Status& status);

// Error codes of the record file engine beyond the platform's.
namespace error_code {
inline constexpr int kRecordNotFound = 35;
inline constexpr int kInvalidDataFile = 36;
inline constexpr int kDuplicateKey = 40;
}  // namespace error_code

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_INTERNAL_FAULT_H_
