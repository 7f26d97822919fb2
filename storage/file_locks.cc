#include "storage/file_locks.h"

namespace tentaria::storage {

using platform::LockWait;

Status FileLocks::LockReader() {
  for (uint32_t tries = 0; tries < kReaderSlots; ++tries) {
    Status s = file_->Lock(kLockBase + slot_, 1, LockWait::kNoWait);
    if (s.ok()) return s;
    slot_ = (slot_ + 1) % kReaderSlots;
  }
  // Every slot refused: a writer is committing.  Wait for it.
  return file_->Lock(kLockBase + slot_, 1, LockWait::kWait);
}

Status FileLocks::UnlockReader() { return file_->Unlock(kLockBase + slot_, 1); }

Status FileLocks::LockWriter(LockWait wait) {
  return file_->Lock(kLockBase + kReaderSlots, 1, wait);
}

Status FileLocks::UnlockWriter() { return file_->Unlock(kLockBase + kReaderSlots, 1); }

Status FileLocks::LockAllReaders() { return file_->Lock(kLockBase, kReaderSlots, LockWait::kWait); }

Status FileLocks::UnlockAllReaders() { return file_->Unlock(kLockBase, kReaderSlots); }

Status FileLocks::LockNumber(uint32_t number, LockWait wait) {
  return file_->Lock(kLockBase + 1025 + number, 1, wait);
}

Status FileLocks::UnlockNumber(uint32_t number) {
  return file_->Unlock(kLockBase + 1025 + number, 1);
}

}  // namespace tentaria::storage
