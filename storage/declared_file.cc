#include "storage/declared_file.h"

#include <utility>

#include "storage/tavrin_driver.h"

namespace tentaria::storage {

DeclaredFile::DeclaredFile(const FileDescriptor& declaration)
    : DeclaredFile(declaration, TavrinDriver()) {}

DeclaredFile::DeclaredFile(const FileDescriptor& declaration, DriverDescriptor driver)
    : driver_(std::move(driver)),
      record_(declaration.layout.record_size, '\0'),
      block_(ControlBlockFor(declaration)) {
  block_.record = record_;
}

DeclaredFile::~DeclaredFile() {
  if (block_.driver_state) Close();
}

int DeclaredFile::Call(int operation, OperationArguments args) {
  int code = Dispatch(driver_, operation, block_, args);
  // A file declared without a record learns its record at open.
  if (operation == op::OPEN || operation == op::SHARE) {
    if (code == 0 && record_.size() != block_.layout.record_size) {
      record_.assign(block_.layout.record_size, '\0');
      block_.record = record_;
    }
  }
  return code;
}

int DeclaredFile::Open(int mode) { return Call(op::OPEN, {{mode}, {}}); }
int DeclaredFile::Share(int mode) { return Call(op::SHARE, {{mode}, {}}); }

int DeclaredFile::Answer(int operation, OperationArguments args, int64_t* answer) {
  int code = Call(operation, std::move(args));
  *answer = code == 0 ? block_.answer : 0;
  return code;
}

int DeclaredFile::Records(uint32_t* count) {
  int64_t answer = 0;
  int code = Answer(op::RECORDSfile, {}, &answer);
  *count = static_cast<uint32_t>(answer);
  return code;
}

int DeclaredFile::Records(size_t key, uint32_t* count) {
  int64_t answer = 0;
  int code = Answer(op::RECORDSkey, {{Key(key)}, {}}, &answer);
  *count = static_cast<uint32_t>(answer);
  return code;
}

int DeclaredFile::Pointer(uint32_t* record_number) {
  int64_t answer = 0;
  int code = Answer(op::POINTERfile, {}, &answer);
  *record_number = static_cast<uint32_t>(answer);
  return code;
}

int DeclaredFile::Bof(bool* at_start) {
  int64_t answer = 0;
  int code = Answer(op::BOF, {}, &answer);
  *at_start = answer != 0;
  return code;
}

int DeclaredFile::Eof(bool* at_end) {
  int64_t answer = 0;
  int code = Answer(op::EOF_, {}, &answer);
  *at_end = answer != 0;
  return code;
}

int DeclaredFile::Duplicate(bool* found) {
  int64_t answer = 0;
  int code = Answer(op::DUPLICATE, {}, &answer);
  *found = answer != 0;
  return code;
}

int DeclaredFile::Duplicate(size_t key, bool* found) {
  int64_t answer = 0;
  int code = Answer(op::DUPLICATEkey, {{Key(key)}, {}}, &answer);
  *found = answer != 0;
  return code;
}

int DeclaredFile::Position(std::string* saved) {
  int code = Call(op::POSITIONfile);
  *saved = code == 0 ? block_.answer_text : std::string();
  return code;
}

int DeclaredFile::Position(size_t key, std::string* saved) {
  int code = Call(op::POSITIONkey, {{Key(key)}, {}});
  *saved = code == 0 ? block_.answer_text : std::string();
  return code;
}

int DeclaredFile::Send(const std::string& command, std::string* answer) {
  int code = Call(op::SEND, {{}, {command}});
  *answer = code == 0 ? block_.answer_text : std::string();
  return code;
}

}  // namespace tentaria::storage
