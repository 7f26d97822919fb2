// The generic file interface: the numbered file operations, what a driver
// declares about itself, and the dispatch of an operation to a driver.
//
// The runtime never calls a driver directly.  It sends an operation number
// with the file's control block to the driver that the file's declaration
// names; a driver answers only the operations its descriptor lists, and
// any other operation fails with code 80 without reaching the driver.
#ifndef TENTARIA_STORAGE_FILE_INTERFACE_H_
#define TENTARIA_STORAGE_FILE_INTERFACE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/table_definition.h"

namespace tentaria::storage {

// Operation numbers.  The number is also the operation's place in the table
// of operation names.
namespace op {
inline constexpr int ADD = 1;
inline constexpr int BOF = 2;
inline constexpr int BUILDfile = 3;
inline constexpr int APPEND = 4;
inline constexpr int BUILDdyn = 5;
inline constexpr int BUILDkey = 6;
inline constexpr int CLOSE = 7;
inline constexpr int COMMIT = 8;
inline constexpr int COPY = 9;
inline constexpr int CREATE = 10;
inline constexpr int DELETE = 11;
inline constexpr int DUPLICATE = 12;
inline constexpr int EMPTY = 13;
inline constexpr int EOF_ = 14;  // EOF is a macro of the C library
inline constexpr int GETfilekey = 15;
inline constexpr int GETfileptr = 16;
inline constexpr int GETkeyptr = 17;
inline constexpr int HOLDfile = 18;
inline constexpr int HOLDfilesec = 19;
inline constexpr int LOCKfile = 20;
inline constexpr int LOCKfilesec = 21;
inline constexpr int LOGOUT = 22;
inline constexpr int NAME = 23;
inline constexpr int NEXT = 24;
inline constexpr int OPEN = 25;
inline constexpr int PACK = 26;
inline constexpr int POINTERfile = 27;
inline constexpr int POINTERkey = 28;
inline constexpr int FLUSH = 29;
inline constexpr int PUT = 30;
inline constexpr int PREVIOUS = 31;
inline constexpr int RECORDSfile = 32;
inline constexpr int RECORDSkey = 33;
inline constexpr int BUILDdynfilter = 34;
inline constexpr int RELEASE = 36;
inline constexpr int REMOVE = 37;
inline constexpr int RENAME = 38;
inline constexpr int ROLLBACK = 40;
inline constexpr int SETfile = 41;
inline constexpr int SETfilekey = 42;
inline constexpr int SETfileptr = 43;
inline constexpr int SETkey = 44;
inline constexpr int SETkeykey = 45;
inline constexpr int SETkeyptr = 46;
inline constexpr int SETkeykeyptr = 47;
inline constexpr int SHARE = 48;
inline constexpr int SKIP = 49;
inline constexpr int UNLOCK = 50;
inline constexpr int ADDfilelen = 51;
inline constexpr int BYTES = 52;
inline constexpr int GETfileptrlen = 53;
inline constexpr int PUTfileptr = 54;
inline constexpr int PUTfileptrlen = 55;
inline constexpr int STREAM = 56;
inline constexpr int DUPLICATEkey = 57;
inline constexpr int WATCH = 58;
inline constexpr int APPENDlen = 59;
inline constexpr int SEND = 60;
inline constexpr int POSITIONfile = 61;
inline constexpr int POSITIONkey = 62;
inline constexpr int RESETfile = 63;
inline constexpr int RESETkey = 64;
inline constexpr int NOMEMO = 65;
inline constexpr int REGETfile = 66;
inline constexpr int REGETkey = 67;
inline constexpr int NULL_ = 68;  // NULL is a macro of the C library
inline constexpr int SETNULL = 69;
inline constexpr int SETNONULL = 70;
inline constexpr int SET_PROPERTY = 71;
inline constexpr int GET_PROPERTY = 72;
inline constexpr int QUERY_KEY = 73;
inline constexpr int QUERY_VIEW = 74;
inline constexpr int BLOB_YIELD = 75;
inline constexpr int BLOB_TAKE = 76;
inline constexpr int BLOB_SIZE = 77;
inline constexpr int BLOB_GET_PROP = 78;
inline constexpr int BLOB_SET_PROP = 79;
inline constexpr int BUFFER = 80;
inline constexpr int SETview = 81;
inline constexpr int CLEAR = 82;
inline constexpr int RESETviewfile = 83;
inline constexpr int BUILDevent = 84;
inline constexpr int SETPROPERTYkey = 85;
inline constexpr int GETPROPERTYkey = 86;
inline constexpr int DO_PROPERTY = 88;
inline constexpr int DOPROPERTYkey = 89;
inline constexpr int DOPROPERTYblob = 90;
inline constexpr int INVIEW = 92;
inline constexpr int ENDVIEW = 93;
inline constexpr int COUNTRECORDS = 95;
}  // namespace op

inline constexpr int kLastOperation = 95;

// The operation's name from the runtime's table: "ADD" for 1, "Internal" for
// 87, 91 and 94, and the number in parentheses ("(35)") for a number
// without a name, any number outside the table included.
std::string OperationName(int operation);

// What the runtime keeps for one declared file and hands to its driver:
// the declaration (driver, name, attributes, owner, fields, keys, memos),
// the record buffer and one buffer per memo or blob, and what the last
// operation answered.  The driver keeps its own state for the open file
// in driver_state.
struct FileControlBlock {
  std::string label;
  std::string driver;            // the driver name of the declaration
  std::string driver_options;    // the driver options string
  std::string name;              // the file name
  std::string owner;             // owner password, empty when none
  std::uint32_t attributes = 0;  // file_attribute bits of table_definition.h
  RecordLayout layout;           // record_size 0: no record buffer declared
  std::vector<KeyDescriptor> keys;
  std::vector<MemoDescriptor> memos;
  std::span<char> record;         // the record buffer
  std::vector<std::string> memo;  // one buffer per entry of memos
  std::int64_t answer = 0;        // a number the operation answers
  std::string answer_text;        // a text the operation answers
  std::shared_ptr<void> driver_state;
  int trace_silenced = 0;  // above 0: the operations are not traced (a view reads the file)
};

// The declaration that a control block carries, as the storage engine
// describes a table.
FileDescriptor DeclarationOf(const FileControlBlock& block);
// A control block for a declaration (no record buffer bound yet; the memo
// buffers sized to the memos).
FileControlBlock ControlBlockFor(const FileDescriptor& declaration);

// The arguments of one operation beyond the control block: numbers (a key
// number, a record pointer, a time in seconds, an open mode) and texts (a
// new name, a SEND command), in the order the operation defines.
struct OperationArguments {
  std::vector<std::int64_t> numbers;
  std::vector<std::string> texts;
};

// The driver's dispatch entry: carries out the operation and returns the
// error code (0 for success), having set the error state for a failure.
using DispatchEntry =
    std::function<int(int operation, FileControlBlock& block, const OperationArguments& args)>;

struct DriverDescriptor {
  std::string name;                      // upper case, at most 8 bytes
  std::vector<std::uint8_t> operations;  // supported operation numbers
  std::vector<std::uint8_t> types;       // supported value type codes
  std::string library;
  std::string linked_library;  // the variant linked into the program
  std::string description;
  DispatchEntry dispatch;

  // Operations the driver answers without listing them.
  std::vector<std::uint8_t> unlisted_operations;

  // Whether the operation is listed.
  bool Supports(int operation) const;
  // Whether a call reaches the driver: listed or answered unlisted.
  bool Answers(int operation) const;
  // The descriptor's fixed form: 8 name bytes, zero padded; then the count
  // byte and the operation numbers; then the count byte and the type codes.
  std::string Encode() const;
};

// The descriptor of the Tavrin driver without its dispatch entry, which the
// driver sets when it registers.
DriverDescriptor TavrinDescriptor();

// Sends an operation to the driver.  An operation that the driver does not
// answer, or a driver without a dispatch entry, fails with code 80 set for the
// file; a success clears the error state.
int Dispatch(const DriverDescriptor& driver, int operation, FileControlBlock& block,
             const OperationArguments& args);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_FILE_INTERFACE_H_
