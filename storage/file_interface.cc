#include "storage/file_interface.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/error_state.h"
#include "storage/error_texts.h"

namespace tentaria::storage {
namespace {

// Indexed by operation number; empty entries show as the number.
constexpr std::array<std::string_view, kLastOperation + 1> kOperationNames = {
    "",
    "ADD",
    "BOF",
    "BUILDfile",
    "APPEND",
    "BUILDdyn",
    "BUILDkey",
    "CLOSE",
    "COMMIT",
    "COPY",
    "CREATE",
    "DELETE",
    "DUPLICATE",
    "EMPTY",
    "EOF",
    "GETfilekey",
    "GETfileptr",
    "GETkeyptr",
    "HOLDfile",
    "HOLDfilesec",
    "LOCKfile",
    "LOCKfilesec",
    "LOGOUT",
    "NAME",
    "NEXT",
    "OPEN",
    "PACK",
    "POINTERfile",
    "POINTERkey",
    "FLUSH",
    "PUT",
    "PREVIOUS",
    "RECORDSfile",
    "RECORDSkey",
    "BUILDdynfilter",
    "",
    "RELEASE",
    "REMOVE",
    "RENAME",
    "",
    "ROLLBACK",
    "SETfile",
    "SETfilekey",
    "SETfileptr",
    "SETkey",
    "SETkeykey",
    "SETkeyptr",
    "SETkeykeyptr",
    "SHARE",
    "SKIP",
    "UNLOCK",
    "ADDfilelen",
    "BYTES",
    "GETfileptrlen",
    "PUTfileptr",
    "PUTfileptrlen",
    "STREAM",
    "DUPLICATEkey",
    "WATCH",
    "APPENDlen",
    "SEND",
    "POSITIONfile",
    "POSITIONkey",
    "RESETfile",
    "RESETkey",
    "NOMEMO",
    "REGETfile",
    "REGETkey",
    "NULL",
    "SETNULL",
    "SETNONULL",
    "SET_PROPERTY",
    "GET_PROPERTY",
    "QUERY_KEY",
    "QUERY_VIEW",
    "BLOB_YIELD",
    "BLOB_TAKE",
    "BLOB_SIZE",
    "BLOB_GET_PROP",
    "BLOB_SET_PROP",
    "BUFFER",
    "SETview",
    "CLEAR",
    "RESETviewfile",
    "BUILDevent",
    "SETPROPERTYkey",
    "GETPROPERTYkey",
    "Internal",
    "DO_PROPERTY",
    "DOPROPERTYkey",
    "DOPROPERTYblob",
    "Internal",
    "INVIEW",
    "ENDVIEW",
    "Internal",
    "COUNTRECORDS",
};

constexpr std::size_t kDriverNameSize = 8;

std::vector<std::uint8_t> TavrinOperations() {
  std::vector<std::uint8_t> operations;
  for (int number = 1; number <= 67; ++number) {
    if (number == 35 || number == 39 || number == 51 || number == 53 || number == 55 ||
        number == 59) {
      continue;
    }
    operations.push_back(static_cast<std::uint8_t>(number));
  }
  for (int number : {71, 72, 75, 76, 77, 78, 79, 85, 86}) {
    operations.push_back(static_cast<std::uint8_t>(number));
  }
  return operations;
}

}  // namespace

std::string OperationName(int operation) {
  if (operation >= 0 && operation <= kLastOperation) {
    std::string_view name = kOperationNames[static_cast<std::size_t>(operation)];
    if (!name.empty()) return std::string(name);
  }
  return "(" + std::to_string(operation) + ")";
}

namespace {

// Every call asks this, so the byte lists are searched as bytes.
bool Listed(const std::vector<std::uint8_t>& list, int operation) {
  return operation >= 0 && operation <= UINT8_MAX && !list.empty() &&
         std::memchr(list.data(), operation, list.size()) != nullptr;
}

}  // namespace

bool DriverDescriptor::Supports(int operation) const { return Listed(operations, operation); }

bool DriverDescriptor::Answers(int operation) const {
  return Listed(operations, operation) || Listed(unlisted_operations, operation);
}

std::string DriverDescriptor::Encode() const {
  std::string out = name.substr(0, kDriverNameSize);
  out.resize(kDriverNameSize, '\0');
  out.push_back(static_cast<char>(operations.size()));
  out.append(operations.begin(), operations.end());
  out.push_back(static_cast<char>(types.size()));
  out.append(types.begin(), types.end());
  return out;
}

DriverDescriptor TavrinDescriptor() {
  DriverDescriptor descriptor;
  descriptor.name = "TAVRIN";
  descriptor.operations = TavrinOperations();
  // BYTE to DECIMAL, STRING, CSTRING, PSTRING, MEMO, BLOB, GROUP, ARRAY.
  descriptor.types = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 27, 22, 24};
  descriptor.library = "R5TVN.DLL";
  descriptor.linked_library = "R5TVNS.DLL";
  descriptor.description = "Tavrin (TVN)";
  descriptor.unlisted_operations = {op::QUERY_KEY, op::QUERY_VIEW, op::ENDVIEW, op::COUNTRECORDS};
  return descriptor;
}

FileDescriptor DeclarationOf(const FileControlBlock& block) {
  FileDescriptor file;
  file.prefix = block.label;
  file.driver = block.driver;
  file.driver_options = block.driver_options;
  file.name = block.name;
  file.owner_password = block.owner;
  file.attributes = block.attributes;
  file.layout = block.layout;
  file.keys = block.keys;
  file.memos = block.memos;
  return file;
}

FileControlBlock ControlBlockFor(const FileDescriptor& declaration) {
  FileControlBlock block;
  block.label = declaration.prefix;
  block.driver = declaration.driver;
  block.driver_options = declaration.driver_options;
  block.name = declaration.name;
  block.owner = declaration.owner_password;
  block.attributes = declaration.attributes;
  block.layout = declaration.layout;
  block.keys = declaration.keys;
  block.memos = declaration.memos;
  block.memo.resize(declaration.memos.size());
  return block;
}

int Dispatch(const DriverDescriptor& driver, int operation, FileControlBlock& block,
             const OperationArguments& args) {
  if (!driver.dispatch || !driver.Answers(operation)) {
    runtime::SetFileError(error::kUnsupportedFunction, block.name);
    return error::kUnsupportedFunction;
  }
  int code = driver.dispatch(operation, block, args);
  if (code == error::kNone) {
    // Most calls find the state clear already; clearing it costs more.
    const runtime::ErrorState& state = runtime::CurrentError();
    if (state.code != 0 || state.driver_code != 0 || !state.driver_text.empty() ||
        !state.file.empty()) {
      runtime::ClearError();
    }
  } else if (runtime::ErrorCode() != code) {
    // A driver that returned a code without setting the state still names
    // the file in the report.
    runtime::SetFileError(code, block.name);
  }
  return code;
}

}  // namespace tentaria::storage
