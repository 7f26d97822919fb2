// Adding, changing and deleting rows, duplicate tests and counts.
#include <string>
#include <vector>

#include "storage/driver_state.h"
#include "storage/error_texts.h"

namespace tentaria::storage {
namespace {

constexpr int kUnableToAccessIndex = 77;

// Takes the row's number lock for a change unless this open holds it
// already.
Status LockRowForChange(TavrinFileState* state, uint32_t row, int refused_code) {
  if (state->held_row == row) return Status::Ok();
  Status s = state->table->record_file()->LockNumber(row, platform::LockWait::kNoWait);
  if (!s.ok()) return Status::Error(refused_code, "the row is held by another process");
  return Status::Ok();
}

void UnlockRow(TavrinFileState* state, uint32_t row) {
  state->table->record_file()->UnlockNumber(row);
  if (state->held_row == row) state->held_row = 0;
}

}  // namespace

Status KeyArgument(const DriverCall& call, size_t index, size_t* key) {
  int64_t number = call.Number(index, -1);
  if (number < 0 || static_cast<size_t>(number) >= call.state()->declaration.keys.size()) {
    return Status::Error(kUnableToAccessIndex, "no such key");
  }
  *key = static_cast<size_t>(number);
  return Status::Ok();
}

void ReleaseHeldRow(TavrinFileState* state) {
  if (state->held_row == 0) return;
  state->table->record_file()->UnlockNumber(state->held_row);
  state->held_row = 0;
}

Status EndChange(TavrinFileState* state, Status status) {
  if (InTransaction(*state)) return status;
  RecordFile* file = state->table->record_file();
  if (!status.ok()) {
    file->DiscardChanges();
    return status;
  }
  return file->Flush();
}

Status AddRow(const DriverCall& call) {
  TavrinFileState* state = call.state();
  uint32_t number = 0;
  Status s = state->table->record_file()->BeginWrite();
  if (s.ok()) s = state->table->Add(RowBuffer(call.block), call.operation == op::APPEND, &number);
  if (s.ok() && !state->declaration.memos.empty()) {
    s = WriteRowMemos(MemosOf(*state, number), state->declaration, call.block.memo);
  }
  s = EndChange(state, s);
  if (s.ok()) state->current = number;
  return s;
}

Status PutRow(const DriverCall& call) {
  TavrinFileState* state = call.state();
  if (call.operation == op::PUTfileptr) {
    int64_t pointer = call.Number(0);
    state->current = pointer > 0 && pointer <= UINT32_MAX ? static_cast<uint32_t>(pointer) : 0;
  }
  Status s = state->table->record_file()->BeginWrite();
  if (s.ok() && state->current == 0) {
    s = Status::Error(error::kRecordNotAvailable, "there is no current row");
  }
  uint32_t row = state->current;
  if (s.ok()) s = LockRowForChange(state, row, error::kAccessDenied);
  bool locked = s.ok();
  std::string stored;
  if (s.ok()) s = state->table->GetByPointer(row, &stored);
  if (s.code() == error::kRecordNotFound) {
    s = Status::Error(error::kRecordNotAvailable, "the row is gone");
  }
  bool watched = state->watched_row.has_value() && state->watched_record == row;
  if (s.ok() && watched) {
    std::vector<std::string> memos;
    if (!state->declaration.memos.empty()) {
      s = ReadRowMemos(MemosOf(*state, row), state->declaration, &memos);
    }
    if (s.ok() && (*state->watched_row != stored || memos != state->watched_memos)) {
      s = Status::Error(error::kRecordChanged, "the row changed since it was read");
    }
  }
  std::string_view wanted = RowBuffer(call.block);
  if (s.ok() && wanted != stored) s = state->table->Put(row, wanted);
  // A row read without its memos has none in the buffers to write.
  if (s.ok() && !state->declaration.memos.empty() && !state->read_without_memos) {
    s = WriteRowMemos(MemosOf(*state, row), state->declaration, call.block.memo);
  }
  s = EndChange(state, s);
  if (locked) UnlockRow(state, row);
  state->watched_row.reset();
  state->watched_memos.clear();
  state->watched_record = 0;
  return s;
}

Status DeleteRow(const DriverCall& call) {
  TavrinFileState* state = call.state();
  Status s = state->table->record_file()->BeginWrite();
  if (s.ok() && state->current == 0) {
    s = Status::Error(error::kRecordNotAvailable, "there is no current row");
  }
  uint32_t row = state->current;
  if (s.ok()) s = LockRowForChange(state, row, error::kRecordNotAvailable);
  bool locked = s.ok();
  if (s.ok()) s = state->table->Delete(row);
  if (s.code() == error::kRecordNotFound) {
    s = Status::Error(error::kRecordNotAvailable, "the row is gone");
  }
  if (s.ok() && !state->declaration.memos.empty()) s = DeleteRowMemos(MemosOf(*state, row));
  s = EndChange(state, s);
  if (locked) UnlockRow(state, row);
  if (s.ok()) state->current = 0;
  return s;
}

Status TestDuplicate(const DriverCall& call) {
  TavrinFileState* state = call.state();
  size_t first = 0;
  size_t end = state->declaration.keys.size();
  if (call.operation == op::DUPLICATEkey) {
    Status s = KeyArgument(call, 0, &first);
    if (!s.ok()) return s;
    end = first + 1;
  }
  for (size_t key = first; key < end; ++key) {
    bool duplicate = false;
    Status s = state->table->HasDuplicate(key, RowBuffer(call.block), state->current, &duplicate);
    if (!s.ok()) return s;
    if (duplicate) {
      call.block.answer = 1;
      break;
    }
  }
  return Status::Ok();
}

Status CountRows(const DriverCall& call) {
  TavrinFileState* state = call.state();
  uint32_t count = 0;
  Status s;
  if (call.operation == op::RECORDSkey) {
    size_t key = 0;
    s = KeyArgument(call, 0, &key);
    if (s.ok()) s = state->table->RecordsInKey(key, &count);
  } else {
    s = state->table->Records(&count);
  }
  if (s.ok()) call.block.answer = count;
  return s;
}

}  // namespace tentaria::storage
