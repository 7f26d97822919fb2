// The Tavrin driver's state of one open file declaration, hung on the
// control block (FileControlBlock::driver_state), and the handlers of the
// operation groups that work on it.
#ifndef TENTARIA_STORAGE_DRIVER_STATE_H_
#define TENTARIA_STORAGE_DRIVER_STATE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/status.h"
#include "storage/driver_trace.h"
#include "storage/file_interface.h"
#include "storage/key_build.h"
#include "storage/memo_segments.h"
#include "storage/table_definition.h"
#include "storage/table_file.h"

namespace tentaria::storage {

// The order of sequential reads.
enum class ReadOrder { kRecord, kKey };

// Where the next NEXT or PREVIOUS starts.  `search` is a record-tree key in
// the order's range (a data row key, or a key entry key): kFromEnds reads
// the first or last record of the range; kFrom the record at `search` if
// there is one, else the nearest in the reading direction; kAfter the
// record beyond `search` in the reading direction (`search` is the record
// read last).
struct ReadPosition {
  enum class Start { kFromEnds, kFrom, kAfter };
  ReadOrder order = ReadOrder::kRecord;
  size_t key = 0;
  Start start = Start::kFromEnds;
  std::string search;
  // Where kFrom starts reading backwards: for a value of a DUP key the key
  // after every entry with the value, else `search`.  Unused by kAfter.
  std::string search_back;
};

struct TavrinFileState {
  FileDescriptor declaration;  // as the table holds it (OEM from its file)
  std::unique_ptr<TableFile> table;
  // The cursor of NEXT and PREVIOUS over the table's records or a stored
  // key, kept so that each read moves on from the row read last.
  std::unique_ptr<RecordCursor> read_cursor;
  int mode = 0;
  std::string file_name;  // the name the file was opened under

  uint32_t current = 0;  // the current row's record number, 0 for none
  ReadPosition position;

  // Requests for the next read only.
  bool hold_requested = false;
  int64_t hold_seconds = -1;  // HOLDfilesec's limit; -1 without a limit
  bool watch_requested = false;
  bool nomemo_requested = false;

  uint32_t held_row = 0;  // the row whose number lock this open holds
  bool table_locked = false;
  // The current row as the watched read saw it, for PUT to compare.
  std::optional<std::string> watched_row;
  uint32_t watched_record = 0;
  std::vector<std::string> watched_memos;
  bool read_without_memos = false;
  bool full_build = false;
  // Entries of the keys built in memory (key attribute bit 6).
  MemoryKeyStore memory_keys;
  std::shared_ptr<DriverTrace> trace;

  // The internal fault that broke the file, 0 when none.
  int fault = 0;
};

// One call of an operation handler.
struct DriverCall {
  int operation;
  FileControlBlock& block;
  const OperationArguments& args;
  platform::FileSystem* fs;

  TavrinFileState* state() const { return static_cast<TavrinFileState*>(block.driver_state.get()); }
  // The argument at `index`, or `fallback` when the caller gave fewer.
  int64_t Number(size_t index, int64_t fallback = 0) const {
    return index < args.numbers.size() ? args.numbers[index] : fallback;
  }
};

// The handlers, by operation group.  Each returns the operation's status;
// answers go to block.answer and block.answer_text.
Status OpenFile(const DriverCall& call);  // OPEN, SHARE
Status CreateFile(const DriverCall& call);
Status CloseFile(const DriverCall& call);
Status FileName(const DriverCall& call);
Status FlushFile(const DriverCall& call);
Status QueryKey(const DriverCall& call);
Status SendCommand(const DriverCall& call);

Status AddRow(const DriverCall& call);  // ADD, APPEND
Status PutRow(const DriverCall& call);  // PUT, PUTfileptr
Status DeleteRow(const DriverCall& call);
Status TestDuplicate(const DriverCall& call);  // DUPLICATE, DUPLICATEkey
Status CountRows(const DriverCall& call);      // RECORDSfile, RECORDSkey, COUNTRECORDS

Status SetPosition(const DriverCall& call);    // the SET family
Status ReadNext(const DriverCall& call);       // NEXT, PREVIOUS
Status SkipRows(const DriverCall& call);       // SKIP
Status ReadDirect(const DriverCall& call);     // GETfilekey, GETfileptr, GETkeyptr
Status AtEnd(const DriverCall& call);          // BOF, EOF
Status Pointer(const DriverCall& call);        // POINTERfile, POINTERkey
Status SavePosition(const DriverCall& call);   // POSITIONfile, POSITIONkey
Status ResetPosition(const DriverCall& call);  // RESETfile, RESETkey
Status ReadAgain(const DriverCall& call);      // REGETfile, REGETkey

Status ReadRequest(const DriverCall& call);  // HOLDfile, HOLDfilesec, WATCH, NOMEMO
Status ReleaseRow(const DriverCall& call);
Status LockTable(const DriverCall& call);  // LOCKfile, LOCKfilesec
Status UnlockTable(const DriverCall& call);

// A table name as the program gives it (a runtime name, "path\!table" or a
// path) with the path mapped to the host: *name to open the table by,
// *path the record file's host path.
struct HostTable {
  std::string name;
  std::string path;
};
Status MapTableName(std::string_view runtime_name, HostTable* host);

// The key named by argument `index`; "Unable To Access Index" (77) for a
// number that is not one of the table's keys.
Status KeyArgument(const DriverCall& call, size_t index, size_t* key);
// The row in the record buffer.
inline std::string_view RowBuffer(const FileControlBlock& block) {
  return {block.record.data(), block.record.size()};
}
// Waits on the runtime clock until `hundredths` have passed.
void Pause(int64_t hundredths);
// Whether a read refused with 43 is tried again, after a short pause,
// under the open's hold request.  *started (runtime clock) is when the row
// was first refused: kNotStarted before, so that reads that are never
// refused do not take the time.
inline constexpr int64_t kNotStarted = -1;
bool RetryHeldRead(const TavrinFileState& state, int64_t* started);
// Where the memos of a row of the open table live.
inline MemoOwner MemosOf(const TavrinFileState& state, uint32_t record_number) {
  return {state.table->record_file(), state.table->table_number(), record_number,
          state.table->oem()};
}
Status EmptyFile(const DriverCall& call);
Status RemoveFile(const DriverCall& call);
Status CopyFile(const DriverCall& call);   // COPY, RENAME
Status BuildKeys(const DriverCall& call);  // BUILDkey, BUILDfile, PACK

Status EnlistFile(const DriverCall& call);      // LOGOUT
Status EndTransaction(const DriverCall& call);  // COMMIT, ROLLBACK
// Whether the open file is enlisted in this process's transaction: its
// changes then wait for the commit.
bool InTransaction(const TavrinFileState& state);
// Takes a file that is being closed off the transaction, dropping its
// changes.
void LeaveTransaction(TavrinFileState* state);
// The transaction's control file (SEND "TCF"), and setting it.
std::string ControlFileName();
void SetControlFileName(std::string name);
// The recovery check for a data file at this host path.
std::function<Status(std::string_view, bool*)> RecoveryCheck(platform::FileSystem* fs,
                                                             const std::string& path);

// Frees the row number lock this open holds, if any.
void ReleaseHeldRow(TavrinFileState* state);
// Writes the changes of an operation out, or drops them after a failure,
// unless the file waits for its transaction's commit.
Status EndChange(TavrinFileState* state, Status status);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_DRIVER_STATE_H_
