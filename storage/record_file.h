// RecordFile: one open record file, an ordered set of variable-length
// records kept in a B+-tree of compressed pages.
//
// Changes are kept in memory until Flush, which commits them crash-safely
// (journal.h).  Files opened deny none are shared with other processes
// through the locks of file_locks.h: the first change takes the writer byte
// until the end of the flush, and each operation re-reads the header first
// so that pages cached from an older state are dropped.  A read operation
// whose header bytes are exactly those last read under a lock runs from the
// page cache alone, without a lock: a writer declares its journal in the
// header before it overwrites any committed page, so the cached pages show
// the committed state as of that header read.  Only when it needs a page
// that is not cached does it take a reader slot and look again.
#ifndef TENTARIA_STORAGE_RECORD_FILE_H_
#define TENTARIA_STORAGE_RECORD_FILE_H_

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "storage/block_file.h"
#include "storage/file_header.h"
#include "storage/file_locks.h"
#include "storage/journal.h"
#include "storage/page_store.h"
#include "storage/record_tree.h"
#include "storage/space.h"

namespace tentaria::storage {

// The status code of a read inside a restartable bracket (BeginRead) that
// found the file changed by another process since the bracket began: what
// the bracket read before is gone, and its owner starts its reads again,
// still inside the bracket, which now holds the file's reader slot.
inline constexpr int kReadRestartCode = -2;

// The key of the transaction marker record.
inline constexpr std::string_view kTransactionMarkerKey = "\xFF";

struct RecordFileOptions {
  // Non-empty: the file is stored enciphered with this owner password.
  std::string owner_password;
  // Clean pages are kept while they take at most this many bytes of
  // memory; the least recently used go first.
  size_t cache_bytes = size_t{64} << 20;
  // Asked during recovery with the data of the file's transaction marker
  // record (key 0xFF), when there is one: sets *pending when that
  // transaction never reached its point of commit, so that its journal is
  // discarded instead of replayed.  Unset: every complete journal is
  // replayed.
  std::function<Status(std::string_view marker_data, bool* pending)> transaction_pending;
};

class RecordCursor;

class RecordFile {
 public:
  // Opens path with the runtime's open mode (access and sharing bits).  A
  // file of length 0 is a new, empty file; a shorter or foreign file is
  // refused with 36.
  static Status Open(platform::FileSystem* fs, const std::string& path, int mode,
                     platform::Disposition disposition, RecordFileOptions options,
                     std::unique_ptr<RecordFile>* file);
  ~RecordFile();

  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // The record with this key; 35 when there is none.
  Status Get(std::string_view key, std::string* record);
  // The first key_length bytes of record are its key.  Insert fails with 40
  // when the key exists; Put inserts or replaces.  A record longer than
  // kMaxRecordLength is refused with internal fault 824 before any change.
  Status Insert(std::string_view record, size_t key_length);
  Status Put(std::string_view record, size_t key_length);
  // 35 when there is no such record.
  Status Delete(std::string_view key);
  // The next table or record number from the header counter.
  Status IssueNumber(uint32_t* number);

  // Commits every change since the last flush; a failure leaves the file as
  // it was before the flush (or completes it on the next header read).
  Status Flush();
  // Flush in two phases, for a transaction over several files: Prepare
  // makes the changes survive a crash (journal declared); then either
  // Finish completes the commit or Abandon drops it, leaving the file as it
  // was.  Between them the file is held for writing and nothing else may be
  // done with it.
  Status PrepareFlush();
  Status FinishFlush();
  Status AbandonFlush();
  // Drops the changes since the last flush.
  Status DiscardChanges();
  // Changes kept outside the file (a table's counters) are written by this
  // hook at the start of every flush and before any access to the records
  // that does not come from inside an OwnerScope, so that nobody reads
  // them stale or overwrites them; a failure fails that access.
  void set_write_back(std::function<Status()> hook) { write_back_ = std::move(hook); }
  // Marks the accesses of the hook's owner while it lives.
  class OwnerScope {
   public:
    explicit OwnerScope(RecordFile* file) : file_(file) { ++file_->owner_depth_; }
    ~OwnerScope() { --file_->owner_depth_; }
    OwnerScope(const OwnerScope&) = delete;
    OwnerScope& operator=(const OwnerScope&) = delete;

   private:
    RecordFile* file_;
  };
  // Whether this open holds the file for writing (from its first change to
  // the end of the flush): no other process changes the file meanwhile.
  bool write_held() const { return writing_; }
  // Changes whenever the state in memory is dropped (changes discarded, a
  // failed flush, another process's commit seen): records read earlier
  // may differ now.
  uint64_t state_epoch() const { return store_.clear_count(); }
  // Cuts the file off at the end of its used area (file_header.h), giving
  // the free space after the last range back.  Fails with 5 while changes
  // are pending.
  Status CutToUsedArea();
  bool has_changes() const { return changed_; }

  std::unique_ptr<RecordCursor> NewCursor();
  // A cursor that copies only the key of the record it stands on; the rest
  // is read in place (data()), valid until the next operation on this file.
  // For a walk that hands each record on at once.
  std::unique_ptr<RecordCursor> NewKeyCursor();

  // Brackets several reads into one operation that sees one state.  A
  // restartable bracket may run from the page cache without the file's
  // lock; its reads may then fail with kReadRestartCode, after which the
  // owner undoes what it took from them and reads again.
  enum class Bracket { kLocked, kRestartable };
  Status BeginRead(Bracket bracket = Bracket::kLocked);
  Status EndRead();
  // Takes the file for writing now (shared files: the writer byte, held to
  // the end of the next flush), as an operation that may write begins.
  Status BeginWrite() { return StartWrite(); }
  // Row holds and table locks.
  Status LockNumber(uint32_t number, platform::LockWait wait);
  Status UnlockNumber(uint32_t number);

  // Checks the committed file: ranges, home addresses, sizes, compression,
  // key order across pages and index keys.  Problems are listed; the status
  // is an internal fault when there are any.  Fails with 5 while changes
  // are pending.
  Status CheckIntegrity(std::vector<std::string>* problems);

  // The header as this open currently sees it (pending changes included).
  const FileHeader& header() const { return store_.header(); }
  bool shared() const { return shared_; }

 private:
  friend class RecordCursor;

  RecordFile(std::unique_ptr<platform::File> file, int mode, RecordFileOptions options);

  // Reads the header, recovering a pending journal, into *disk.
  Status ReadHeader(FileHeader* disk);
  Status Recover(const FileHeader& disk, FileHeader* result);
  // Re-reads the header and drops stale cached pages.
  Status Refresh();
  // unlocked: the read only goes through the page cache and may run
  // without the reader slot while the header shows nothing changed.
  Status StartRead(bool unlocked);
  Status FinishRead();
  // Whether the header's bytes on disk are those last read under a lock,
  // with no journal pending: the cached pages still show the file.
  bool HeaderUnchanged();
  // For a read running without the lock that met a page not cached: takes
  // the reader slot and reads the header again.  Ok: go on under the lock
  // (the read starts its own step again; a state that changed has dropped
  // the cache).  kReadRestartCode: the state changed under a restartable
  // bracket, whose owner must start again.
  Status ResumeLocked();
  Status StartWrite();
  // Gives every changed page its place; *pages receives them in file order.
  Status PlacePages(std::vector<Page*>* pages);
  Status FreePlace(int32_t ref);
  Status Fail(Status status);
  // Runs the write-back hook for an access from outside its owner, or for
  // a flush (always).
  Status WriteBack(bool always);
  // Ends a flush: drops the memory state after a failure, releases locks.
  Status EndFlush(Status status);
  Status ImageOf(size_t i, std::string* image);

  std::unique_ptr<BlockFile> block_file_;
  int mode_;
  RecordFileOptions options_;
  std::function<Status()> write_back_;
  int owner_depth_ = 0;
  bool writing_back_ = false;
  bool shared_;
  bool writable_;
  PageStore store_;
  RecordTree tree_;
  Space space_;
  FileLocks locks_;
  FileHeader disk_header_;  // the header as it lies on disk
  // The header's bytes as last read (enciphered as stored) and what they
  // decoded to.
  std::array<uint8_t, kHeaderSize> last_header_bytes_{};
  FileHeader last_header_;
  bool last_header_known_ = false;
  bool changed_ = false;
  bool prepared_ = false;  // a flush waits between its two phases
  PreparedCommit prepared_commit_;
  std::vector<Page*> prepared_pages_;
  bool writing_ = false;  // holds the writer byte (shared files)
  int read_depth_ = 0;    // nested read operations holding a reader slot
  // The read operation under way runs from the page cache without the
  // reader slot (the page store refuses loads meanwhile).
  bool unlocked_ = false;
  // The header's bytes in memory, following the file, when the host offers
  // that; asked for once.
  const uint8_t* header_view_ = nullptr;
  bool header_view_asked_ = false;
};

// Walks the records in key order.  A cursor stays usable across changes of
// the file: after one it finds its place again by its current key.
class RecordCursor {
 public:
  explicit RecordCursor(RecordFile* file, bool copy_data = true)
      : file_(file), copy_data_(copy_data) {}

  Status Seek(std::string_view key);  // first record at or after key
  Status SeekToFirst();
  Status SeekToLast();
  Status Next();
  Status Prev();
  bool Valid() const { return valid_; }
  std::string_view key() const { return std::string_view(record_).substr(0, key_length_); }
  // The whole record; a cursor made by NewKeyCursor has only its key.
  std::string_view record() const { return record_; }
  // The record after its key.
  std::string_view data() const {
    return copy_data_ ? std::string_view(record_).substr(key_length_) : data_;
  }

 private:
  enum class Move { kSeek, kFirst, kLast, kNext, kPrev };
  Status Go(Move move, std::string_view key);
  Status Step(Move move, std::string_view key, bool* valid);
  void Capture(bool valid);

  RecordFile* file_;
  TreePath path_;
  // The path before a move that runs without the file's lock, put back
  // when the move has to be made again.
  TreePath saved_path_;
  uint64_t version_ = 0;
  bool valid_ = false;
  bool copy_data_;
  std::string record_;
  uint16_t key_length_ = 0;
  std::string_view data_;  // in the page, without copy_data_
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_RECORD_FILE_H_
