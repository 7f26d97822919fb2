// The byte-range locks through which processes share one record file.
//
//   Lock               Offset                  Length  Held
//   reader slot s      0x80000000 + s          1       for an operation that only
//                                                      reads (s in 0..1022)
//   writer             0x80000000 + 1023       1       from the first change to the
//                                                      end of the flush
//   all reader slots   0x80000000              1023    by a writer while it commits,
//                                                      so readers inside an operation
//                                                      finish first
//   number lock n      0x80000000 + 1025 + n   1       a held row or a locked table
//
// The offsets lie beyond any real data.  Reader slots and the writer byte
// are used by files opened deny none; the lock on all reader slots also by
// files opened deny write.
#ifndef TENTARIA_STORAGE_FILE_LOCKS_H_
#define TENTARIA_STORAGE_FILE_LOCKS_H_

#include <cstdint>

#include "platform/file.h"

namespace tentaria::storage {

inline constexpr uint64_t kLockBase = 0x80000000u;
inline constexpr uint32_t kReaderSlots = 1023;

class FileLocks {
 public:
  // first_slot: where this open starts looking for a free reader slot.
  FileLocks(platform::File* file, uint32_t first_slot)
      : file_(file), slot_(first_slot % kReaderSlots) {}

  // Takes a reader slot, moving on to the next slot after each refusal;
  // waits on its slot once every slot has been refused.
  Status LockReader();
  Status UnlockReader();
  Status LockWriter(platform::LockWait wait);
  Status UnlockWriter();
  Status LockAllReaders();
  Status UnlockAllReaders();
  Status LockNumber(uint32_t number, platform::LockWait wait);
  Status UnlockNumber(uint32_t number);

 private:
  platform::File* file_;
  uint32_t slot_;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_FILE_LOCKS_H_
