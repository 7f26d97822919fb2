// Transactions over several record files, through transaction control
// files.
//
// A process has one transaction at a time (Transaction::Current()).  Files
// are enlisted (LOGOUT); their changes stay in memory until Commit or
// Rollback.  A commit with changes in one file is a plain flush.  With
// changes in two or more files:
//
//   (a) the control file of every changed file is opened: a record file
//       itself, created when missing, opened read-write deny none;
//   (b) a transaction number is chosen (the clock in seconds, raised while a
//       control file already holds it) and recorded in every control file;
//   (c) every changed file gets the transaction marker (key 0xFF) and its
//       journal declared; a failure drops the journals already declared;
//   (d) the number is deleted from the control files: the point of commit;
//   (e) every changed file copies its journal home.
//
// A crash leaves a changed file with a declared journal and a marker; the
// next process to read it asks the control file the marker names
// (TransactionPendingCheck): while the number is still there the journal
// is discarded, once it is gone the journal is replayed.
//
// Every marker of one transaction names the same control file, the
// transaction's first, and the number is deleted from that one first, so
// that the point of commit is a single change of a single file even when
// the changed files lie in different folders and so have different default
// control files.  The numbers in the other control files are cleared after.
//
// Control file record (one per transaction in progress):
//   offset  width  field
//   0       u32    transaction number, little-endian: the whole key
//                  (no data)
// Transaction marker record in a data file (kTransactionMarkerKey):
//   offset  width  field
//   0       u8     0xFF: the key
//   1       u32    transaction number, little-endian
//   5       ...    the control file's name, zero-terminated;
//                  kDefaultControlFileMarker stands for kDefaultControlFile
//                  in the data file's own folder
#ifndef TENTARIA_STORAGE_TRANSACTION_H_
#define TENTARIA_STORAGE_TRANSACTION_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "platform/status.h"
#include "storage/record_file.h"

namespace tentaria::storage {

// The control file a data file uses when none has been named.
inline constexpr std::string_view kDefaultControlFile = "tavrin.tcf";
// How a marker names that default control file.
inline constexpr std::string_view kDefaultControlFileMarker = "C:\\tAvriN.TCF";
// Different control files one transaction may use.
inline constexpr size_t kMaxControlFiles = 100;
// Internal fault: a transaction would need more control files than that.
inline constexpr int kTooManyControlFiles = 2410;

class Transaction {
 public:
  // fs is where control files are opened; it outlives the transaction.
  explicit Transaction(platform::FileSystem* fs = platform::FileSystem::Default());
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // The transaction of this process.
  static Transaction& Current();

  // LOGOUT: adds file (opened from the host path data_path) to the list;
  // its changes are then kept in memory until Commit or Rollback.  Its
  // control file is the one named now (control_file_name()) or, when none
  // is named, kDefaultControlFile in data_path's folder.  An enlisted file
  // gives 56 ("LOGOUT Already Active"); a file that would bring the
  // transaction's control files above kMaxControlFiles is refused with
  // internal fault kTooManyControlFiles.  The file must stay open until
  // the transaction ends or Withdraw is called.
  Status Enlist(RecordFile* file, const std::string& data_path);
  // Takes a file off the list without touching its changes (a file that is
  // being closed).
  void Withdraw(const RecordFile* file);
  bool active() const { return !members_.empty(); }
  bool enlisted(const RecordFile* file) const;

  // COMMIT: writes the changes of every enlisted file as one change and
  // ends the transaction.  91 ("LOGOUT Not Active") without a transaction.
  // A failure before the point of commit leaves every file as it was (its
  // changes dropped) and returns the error; once the point of commit is
  // passed the commit succeeds, and a file whose journal could not be
  // copied home yet is completed by the next read of its header.
  Status Commit();
  // ROLLBACK: drops the unwritten changes of every enlisted file and ends
  // the transaction.  91 without a transaction; 65 ("Unable To ROLLBACK
  // Transaction") when a file could not drop its changes.
  Status Rollback();

  // SEND "TCF": the named control file (a runtime name; empty: each file's
  // default).  A name set applies to files enlisted afterwards.
  const std::string& control_file_name() const { return control_file_name_; }
  void set_control_file_name(std::string name) { control_file_name_ = std::move(name); }

 private:
  struct Member {
    RecordFile* file;
    std::string data_path;
    std::string control_path;  // host path of its control file
    std::string marker_name;   // how a marker names that control file
  };
  struct ControlFile;

  Status CommitSeveral(const std::vector<Member*>& changed);
  Status OpenControlFiles(const std::vector<Member*>& changed,
                          std::vector<std::unique_ptr<ControlFile>>* controls);
  Status RecordNumber(std::vector<std::unique_ptr<ControlFile>>& controls, uint32_t* number);
  Status ClearNumber(ControlFile* control, uint32_t number);
  void End();

  platform::FileSystem* fs_;
  std::vector<Member> members_;
  std::string control_file_name_;
};

// The marker record for a transaction number and a control file name.
std::string TransactionMarker(uint32_t number, std::string_view control_name);
// Reads a marker's data (the bytes after the key); false when malformed.
bool ParseTransactionMarker(std::string_view marker_data, uint32_t* number,
                            std::string* control_name);

// The host path of the control file a marker names, for a data file at the
// host path data_path.
std::string ControlFileHostPath(std::string_view control_name, const std::string& data_path);

// The check to put into RecordFileOptions::transaction_pending for the data
// file at the host path data_path: it opens the control file that the
// marker names read-only, retrying while another process keeps it locked
// (for at most lock_wait_ms milliseconds), and reports the transaction
// pending while the control file holds its number.  A control file that
// cannot be opened or read counts as holding it; a marker that cannot be
// read counts as no marker.
std::function<Status(std::string_view marker_data, bool* pending)> TransactionPendingCheck(
    platform::FileSystem* fs, std::string data_path, int lock_wait_ms = 30000);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_TRANSACTION_H_
