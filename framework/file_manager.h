// FileManager: the policy every record file of the program is used with.
// It wraps a declared file (storage/declared_file.h) with:
//  - opening on demand with a use count: Open only counts when LAZYOPEN is
//    set, the first record operation opens the file for real, and the
//    file closes when the last user has called Close;
//  - two open attempts: a locked file is handed to the driver's lock
//    recovery and tried again, a file that gives no write access is opened
//    read-only, a missing file is created when CREATE is set, a file whose
//    keys must be rebuilt is rebuilt;
//  - automatic numbering of new records by a key's numbered component;
//  - duplicate-key reporting, optimistic update against another station's
//    change, saved copies of the record buffer and of the reading state;
//  - one reporting path through the shared ErrorManager.
// Every record operation comes in two forms: the plain form shows a
// failure through the ErrorManager and returns what the message gives;
// the Try form only notes the message number (LASTERROR, shown later by
// RaiseNoted) and returns a fixed severity.  Results are severities:
// 0 done, 3 fatal, 4 declined by the user, 5 failed.
#ifndef TENTARIA_FRAMEWORK_FILE_MANAGER_H_
#define TENTARIA_FRAMEWORK_FILE_MANAGER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/error_manager.h"
#include "storage/declared_file.h"

namespace tentaria::framework {

class FileRelations;

// The state of a file for one thread that uses it.
struct FileManagerInfo {
  int32_t ID = 1;           // the thread's number, or 1
  uint8_t USED = 0;         // the file is physically open
  uint16_t OPENED = 0;      // Open calls not yet matched by Close
  uint8_t ATEOF = 0;        // the last Next or Previous ran off the end
  uint8_t AUTOINCDONE = 0;  // the numbered record of this insert exists
  uint8_t LASTERROR = 0;    // the message noted by the last failure
};

struct FileManagerKeyField {
  size_t FIELD = 0;  // position in the record's field list
  std::string FIELDNAME;
  bool ASCEND = true;
};

struct FileManagerKey {
  size_t KEY = 0;            // position in the declaration's key list
  std::string PDESCRIPTION;  // how the user knows the key: %Message of 13
  std::vector<FileManagerKeyField> FIELDS;
  size_t AUTOINC = 0;  // the numbered component, from 1; 0 for none
  bool DUPS = false;
  bool NOCASE = false;
};

// A saved copy: the record buffer, or one memo after it.
struct SavedBuffer {
  int32_t ID = 0;
  std::string BUFFER;
};

// A saved reading state (SaveFile).
struct SavedFileState {
  int32_t ID = 0;
  std::string position;  // empty: no current record then
  bool by_primary_key = false;
  uint8_t ATEOF = 0;
  uint8_t AUTOINCDONE = 0;
  bool held = false;     // the record was held by this open
  bool watched = false;  // the record was read watched, for an update to check
};

class FileManager {
 public:
  // The open mode that Init gives: read and write, others may read and
  // write.
  static constexpr uint8_t kDefaultOpenMode = 0x42;
  // The longest prefix text compared when numbering by a key of several
  // components.
  static constexpr size_t kPrefixTextSize = 2000;

  FileManager() = default;
  FileManager(const FileManager&) = delete;
  FileManager& operator=(const FileManager&) = delete;
  virtual ~FileManager() = default;

  // Sets the file and the error manager, both of which outlive the
  // manager, and the defaults; FILENAMEVALUE becomes the file's name.
  void Init(storage::DeclaredFile& file, ErrorManager& errors);
  // Appends a key (its position in the declaration), with the text that
  // names it in the duplicate-key message and its numbered component (from
  // 1; 0 for none).  Its fields and flags come from the declaration.
  void AddKey(size_t key, std::string_view description, size_t numbered_component = 0);
  // Closes the file when it is still open, and drops the keys, the saved
  // buffers and states and the state records.
  void Release();

  // Overridable operations.
  virtual void AfterOpen() {}
  // Deletes the record that NumberRecord added for an insert the user
  // cancelled: through `relations` (without asking) when given.
  virtual int CancelNumbering(FileRelations* relations = nullptr);
  virtual int Close();
  // 1 when the record buffer and every memo equal the copies saved under
  // `id`, else 0 (also when the file cannot be used).
  virtual int EqualBuffer(int32_t id);
  virtual int Insert();
  virtual int Next();
  virtual int Open();
  virtual int Previous();
  virtual int NumberRecord();
  // Gives a new record its initial values; the base gives none.
  virtual void PrimeFields() {}
  // Prepares the record buffer for a new record after the caller has put
  // the values it wants kept (range limits) into it: the memos are
  // emptied, those values are kept, PrimeFields gives the rest.
  virtual void PrimeRecord();
  virtual int RaiseError(uint8_t id);
  virtual int RaiseNoted();
  virtual int RaiseWithText(uint8_t id, std::string_view text);
  virtual int TryInsert();
  virtual int TryNext();
  virtual int TryOpen();
  virtual int TryPrevious();
  virtual int TryNumberRecord();
  virtual int TryUpdate();
  // mode 1 plain, 0 Try, 2 plain from a form that then shows the other
  // station's changes.
  virtual int Update(int mode = 1);
  // 0 when the field's value (position from 0) is acceptable; the base
  // accepts everything.
  virtual int CheckField(size_t field);
  // Checks fields first to last (from 0), stopping at the first failure,
  // whose result is returned and whose field is put into *failed.
  virtual int CheckFields(size_t first, size_t last, size_t* failed);
  virtual int CheckRecord(size_t* failed = nullptr);

  FileManagerInfo& SelectInfo();
  // Opens the file for real when it was opened lazily; 0 when the file is
  // usable.
  int EnsureOpen();
  void NoteError(uint8_t id);
  // Reads the record whose values of `key` are in the buffer: 0, or 5 when
  // there is none, 3 when the file cannot be used.
  int TryFetchByKey(size_t key);
  // TryFetchByKey, and on failure a cleared record buffer.
  int FetchOrClear(size_t key);
  // A text from which Reget reads the current record again: by the
  // primary key when PRIMARYKEY is set, else by its place in the file.
  int Position(std::string* saved);
  int Reget(const std::string& saved);
  int32_t SaveBuffer();
  void RestoreBuffer(int32_t id, bool restore);
  int32_t SaveFile();
  void RestoreFile(int32_t id, bool restore = true);

  // The file's record buffer.
  std::span<char> Record() { return FILE->block().record; }
  const FileManagerInfo& Info() { return SelectInfo(); }

  FileManager* ALIASEDFILE = nullptr;
  std::vector<SavedBuffer> BUFFERS;
  uint8_t CREATE = 1;
  ErrorManager* ERRORS = nullptr;
  storage::DeclaredFile* FILE = nullptr;
  std::string FILENAMEVALUE;
  uint8_t HASAUTOINC = 0;
  std::vector<FileManagerInfo> INFO;
  std::vector<FileManagerKey> KEYS;
  uint8_t LAZYOPEN = 1;
  int16_t LOCKRECOVER = 10;
  uint8_t OPENMODE = kDefaultOpenMode;
  uint8_t PRIMARYKEY = 0;  // the key's number from 1; 0 for none
  std::vector<SavedFileState> SAVED;
  uint8_t SKIPHELDRECORDS = 0;

 protected:
  // Open and TryOpen: `report` shows failures, `count` adds a user,
  // `force` opens even when the open would only count.
  int OpenFile(bool report, bool count, bool force);
  int InsertRecord(bool report);
  int UpdateRecord(int mode);
  int ReadSequence(bool forward, bool report);
  int NumberAndAdd(bool report);
  // The next number for a numbered key into the buffer; false after a
  // read error (noted, and raised when reporting).
  bool NextNumber(const FileManagerKey& key, bool report, int* result);
  // Raises 13 for the first key whose values another record has.
  int ReportDuplicate(bool report);

 private:
  // The thread number a state record is kept under.
  int32_t ThreadId() const;
  int32_t NextBufferId() const;
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_FILE_MANAGER_H_
