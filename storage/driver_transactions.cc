// The driver's side of transactions: enlisting an open table (LOGOUT),
// COMMIT and ROLLBACK of the process's transaction, the control file
// (SEND "TCF"), and the recovery check every open passes to its file.
#include <string>
#include <utility>

#include "storage/driver_state.h"
#include "storage/transaction.h"

namespace tentaria::storage {

bool InTransaction(const TavrinFileState& state) {
  return Transaction::Current().enlisted(state.table->record_file());
}

void LeaveTransaction(TavrinFileState* state) {
  RecordFile* file = state->table->record_file();
  Transaction::Current().Withdraw(file);
  file->DiscardChanges();
}

Status EnlistFile(const DriverCall& call) {
  TavrinFileState* state = call.state();
  return Transaction::Current().Enlist(state->table->record_file(), state->table->path());
}

Status EndTransaction(const DriverCall& call) {
  Transaction& transaction = Transaction::Current();
  return call.operation == op::COMMIT ? transaction.Commit() : transaction.Rollback();
}

std::string ControlFileName() { return Transaction::Current().control_file_name(); }

void SetControlFileName(std::string name) {
  Transaction::Current().set_control_file_name(std::move(name));
}

std::function<Status(std::string_view, bool*)> RecoveryCheck(platform::FileSystem* fs,
                                                             const std::string& path) {
  return TransactionPendingCheck(fs, path);
}

}  // namespace tentaria::storage
