// Read requests (hold, watch, no memos), releasing a held row, and table
// locks.  Every attempt on a number lock is a single request that does not
// wait; the operations repeat attempts on the runtime clock.
#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "storage/driver_state.h"
#include "storage/error_texts.h"

namespace tentaria::storage {
namespace {

// LOCKfilesec pauses this long after each refusal.
constexpr int64_t kLockPause = 100;

}  // namespace

void Pause(int64_t hundredths) {
  // Measured on the runtime clock; the thread sleeps in short steps rather
  // than spinning, so a waiting process leaves the processor to the one it
  // waits for.
  int64_t until = platform::ElapsedHundredths() + hundredths;
  while (platform::ElapsedHundredths() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

Status ReadRequest(const DriverCall& call) {
  TavrinFileState* state = call.state();
  switch (call.operation) {
    case op::HOLDfile:
      state->hold_requested = true;
      state->hold_seconds = -1;
      break;
    case op::HOLDfilesec:
      state->hold_requested = true;
      state->hold_seconds = call.Number(0) > 0 ? call.Number(0) : 0;
      break;
    case op::WATCH:
      state->watch_requested = true;
      break;
    default:  // NOMEMO
      state->nomemo_requested = true;
      break;
  }
  return Status::Ok();
}

Status ReleaseRow(const DriverCall& call) {
  ReleaseHeldRow(call.state());
  return Status::Ok();
}

Status LockTable(const DriverCall& call) {
  TavrinFileState* state = call.state();
  if (state->table_locked) return Status::Ok();
  RecordFile* file = state->table->record_file();
  uint32_t table = state->table->table_number();
  bool limited = call.operation == op::LOCKfilesec;
  int64_t limit = limited ? call.Number(0) * 100 : 0;
  int64_t started = platform::ElapsedHundredths();
  for (;;) {
    if (file->LockNumber(table, platform::LockWait::kNoWait).ok()) {
      state->table_locked = true;
      return Status::Ok();
    }
    if (limited && platform::ElapsedHundredths() - started >= limit) {
      return Status::Error(error::kFileIsAlreadyLocked, "another process locks the table");
    }
    Pause(limited ? kLockPause : 1);
  }
}

Status UnlockTable(const DriverCall& call) {
  TavrinFileState* state = call.state();
  if (!state->table_locked) return Status::Ok();
  state->table_locked = false;
  return state->table->record_file()->UnlockNumber(state->table->table_number());
}

}  // namespace tentaria::storage
