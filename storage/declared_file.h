// DeclaredFile: a file as a program declares it — the declaration, the
// record buffer, the memo buffers and the control block — with one method
// per file operation.  Each method is a single call of Dispatch through the
// driver's descriptor and returns the error code (0 for success); the
// error state is set as for any dispatched operation.  Answers of an
// operation come back through the out parameters.
#ifndef TENTARIA_STORAGE_DECLARED_FILE_H_
#define TENTARIA_STORAGE_DECLARED_FILE_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/file.h"
#include "storage/file_interface.h"
#include "storage/table_definition.h"

namespace tentaria::storage {

class DeclaredFile {
 public:
  // The file is reached through `driver`; by default the Tavrin driver on
  // the host's file system.
  explicit DeclaredFile(const FileDescriptor& declaration);
  DeclaredFile(const FileDescriptor& declaration, DriverDescriptor driver);
  // Closes the file when it is still open.
  ~DeclaredFile();
  DeclaredFile(const DeclaredFile&) = delete;
  DeclaredFile& operator=(const DeclaredFile&) = delete;

  // Any operation, with its arguments.
  int Call(int operation, OperationArguments args = {});

  int Open(int mode = platform::open_mode::kReadWrite | platform::open_mode::kDenyWrite);
  int Share(int mode = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone);
  int Create() { return Call(op::CREATE); }
  int Close() { return Call(op::CLOSE); }
  int Flush() { return Call(op::FLUSH); }

  int Add() { return Call(op::ADD); }
  int Append() { return Call(op::APPEND); }
  int Put() { return Call(op::PUT); }
  int Put(uint32_t record_number) { return Call(op::PUTfileptr, {{record_number}, {}}); }
  int Delete() { return Call(op::DELETE); }

  // Positioning; key numbers are positions in the declaration, from 0.
  int SetFile() { return Call(op::SETfile); }
  int SetFile(uint32_t record_number) { return Call(op::SETfileptr, {{record_number}, {}}); }
  int SetKey(size_t key) { return Call(op::SETkey, {{Key(key)}, {}}); }
  // From the key value in the record buffer.
  int SetKeyValue(size_t key) { return Call(op::SETkeykey, {{Key(key)}, {}}); }
  int SetKeyValue(size_t key, uint32_t record_number) {
    return Call(op::SETkeykeyptr, {{Key(key), record_number}, {}});
  }
  int SetKey(size_t key, uint32_t record_number) {
    return Call(op::SETkeyptr, {{Key(key), record_number}, {}});
  }
  int Next() { return Call(op::NEXT); }
  int Previous() { return Call(op::PREVIOUS); }
  int Skip(int64_t count) { return Call(op::SKIP, {{count}, {}}); }

  // Direct reads: by the key value in the record buffer, or by pointer.
  int GetByKey(size_t key) { return Call(op::GETfilekey, {{Key(key)}, {}}); }
  int Get(uint32_t record_number) { return Call(op::GETfileptr, {{record_number}, {}}); }
  int Get(size_t key, uint32_t record_number) {
    return Call(op::GETkeyptr, {{Key(key), record_number}, {}});
  }

  // Requests for the next read.
  int Hold() { return Call(op::HOLDfile); }
  int Hold(int64_t seconds) { return Call(op::HOLDfilesec, {{seconds}, {}}); }
  int Watch() { return Call(op::WATCH); }
  int NoMemo() { return Call(op::NOMEMO); }
  int Release() { return Call(op::RELEASE); }
  int Lock() { return Call(op::LOCKfile); }
  int Lock(int64_t seconds) { return Call(op::LOCKfilesec, {{seconds}, {}}); }
  int Unlock() { return Call(op::UNLOCK); }

  int Records(uint32_t* count);
  int Records(size_t key, uint32_t* count);
  int Pointer(uint32_t* record_number);
  int Bof(bool* at_start);
  int Eof(bool* at_end);
  int Duplicate(bool* found);
  int Duplicate(size_t key, bool* found);

  // Saved positions: the text from Position is given back to Reset (the
  // next read starts there) or Reget (the row is read again).
  int Position(std::string* saved);
  int Position(size_t key, std::string* saved);
  int Reset(const std::string& saved) { return Call(op::RESETfile, {{}, {saved}}); }
  int Reset(size_t key, const std::string& saved) {
    return Call(op::RESETkey, {{Key(key)}, {saved}});
  }
  int Reget(const std::string& saved) { return Call(op::REGETfile, {{}, {saved}}); }
  int Reget(size_t key, const std::string& saved) {
    return Call(op::REGETkey, {{Key(key)}, {saved}});
  }

  int Send(const std::string& command, std::string* answer);

  std::span<char> record() { return record_; }
  std::string& memo(size_t memo_number) { return block_.memo.at(memo_number); }
  FileControlBlock& block() { return block_; }

 private:
  static int64_t Key(size_t key) { return static_cast<int64_t>(key); }
  int Answer(int operation, OperationArguments args, int64_t* answer);

  DriverDescriptor driver_;
  std::vector<char> record_;
  FileControlBlock block_;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_DECLARED_FILE_H_
