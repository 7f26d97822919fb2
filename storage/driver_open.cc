// Opening, creating and closing a table, its name, flush, the description
// of a key and the driver commands.
#include <cctype>
#include <memory>
#include <string>
#include <utility>

#include "platform/path.h"
#include "storage/driver_state.h"
#include "storage/error_texts.h"
#include "storage/table_name.h"

namespace tentaria::storage {
namespace {

constexpr int kDefaultOpenMode = platform::open_mode::kReadWrite | platform::open_mode::kDenyWrite;
constexpr int kDefaultShareMode = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;
constexpr int kModeBits = platform::open_mode::kAccessMask | platform::open_mode::kShareMask;
// Bits of a create request.
constexpr int kCreateReplaces = 0x200;
constexpr int kUnableToAccessIndex = 77;

// The sharing a creation asks of the operating system: read and write for
// the shared modes, read only for deny write, none otherwise; the file is
// open for reading and writing unless the access bits ask for reading.
int CreationMode(int request) {
  int access = (request & platform::open_mode::kAccessMask) == platform::open_mode::kRead
                   ? platform::open_mode::kRead
                   : platform::open_mode::kReadWrite;
  int sharing = request & 0x30;
  if (sharing == 0) return access | platform::open_mode::kDenyNone;
  if (sharing == platform::open_mode::kDenyWrite) return access | platform::open_mode::kDenyWrite;
  return access | platform::open_mode::kDenyAll;
}

bool NamesTable(const std::string& name) { return name.find("\\!") != std::string::npos; }

// The record buffer must be as long as the declared record.
Status CheckRecordBuffer(const FileControlBlock& block) {
  if (block.layout.record_size != 0 && block.record.size() != block.layout.record_size) {
    return Status::Error(error::kInvalidRecordDeclaration,
                         "the record buffer does not have the declared length");
  }
  return Status::Ok();
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

Status MapTableName(std::string_view runtime_name, HostTable* host) {
  TableName split;
  Status s = SplitTableName(runtime_name, IsDirectory(), &split);
  if (!s.ok()) return s;
  host->path = platform::HostPath(split.path);
  host->name = split.named ? host->path + std::string(kTableSeparator) + split.table : host->path;
  return Status::Ok();
}

Status OpenFile(const DriverCall& call) {
  FileControlBlock& block = call.block;
  if (call.state() != nullptr && call.state()->table) {
    return Status::Error(error::kFileAlreadyOpen, "the file is open already");
  }
  Status s = CheckRecordBuffer(block);
  if (!s.ok()) return s;
  int fallback = call.operation == op::SHARE ? kDefaultShareMode : kDefaultOpenMode;
  int mode = static_cast<int>(call.Number(0, fallback)) & kModeBits;

  FileDescriptor declaration = DeclarationOf(block);
  TableOpenRequest request;
  request.mode = mode;
  request.create_table = declaration.Has(file_attribute::CREATE);
  request.disposition = request.create_table ? platform::Disposition::kOpenOrCreate
                                             : platform::Disposition::kOpenExisting;
  HostTable host;
  s = MapTableName(block.name, &host);
  if (!s.ok()) return s;
  request.transaction_pending = RecoveryCheck(call.fs, host.path);
  std::unique_ptr<TableFile> table;
  s = TableFile::Open(call.fs, declaration, host.name, request, &table);
  if (!s.ok()) return s;

  auto state = std::make_shared<TavrinFileState>();
  state->trace = std::make_shared<DriverTrace>(
      ReadTraceSettings(declaration.Has(file_attribute::ENCRYPT), declaration.driver_options),
      call.fs);
  state->declaration = table->definition();
  state->table = std::move(table);
  state->mode = mode;
  state->file_name = block.name;
  if (block.layout.record_size == 0) {
    // Declared without a record: the program learns the stored one.
    block.layout = state->declaration.layout;
    block.keys = state->declaration.keys;
    block.memos = state->declaration.memos;
  }
  block.attributes = (block.attributes & ~file_attribute::OEM) |
                     (state->declaration.attributes & file_attribute::OEM);
  block.memo.resize(block.memos.size());
  block.driver_state = std::move(state);
  return Status::Ok();
}

Status CreateFile(const DriverCall& call) {
  FileControlBlock& block = call.block;
  if (call.state() != nullptr && call.state()->table) {
    return Status::Error(error::kFileAlreadyOpen, "the file is open");
  }
  int fallback = platform::open_mode::kReadWrite | platform::open_mode::kDenyAll |
                 (NamesTable(block.name) ? 0 : kCreateReplaces);
  int request_bits = static_cast<int>(call.Number(0, fallback));
  TableOpenRequest request;
  request.mode = CreationMode(request_bits);
  request.disposition = (request_bits & kCreateReplaces) != 0
                            ? platform::Disposition::kCreateNew
                            : platform::Disposition::kOpenOrCreate;
  request.create_table = true;
  HostTable host;
  Status s = MapTableName(block.name, &host);
  if (!s.ok()) return s;
  std::unique_ptr<TableFile> table;
  s = TableFile::Open(call.fs, DeclarationOf(block), host.name, request, &table);
  if (!s.ok()) return s;
  // A table that is there already keeps its rows: creating it again would
  // lose them without the program asking for that.
  if (!table->created()) return Status::Error(error::kAccessDenied, "the table exists already");
  return Status::Ok();
}

Status CloseFile(const DriverCall& call) {
  TavrinFileState* state = call.state();
  if (state == nullptr || !state->table) {
    call.block.driver_state.reset();
    return Status::Ok();
  }
  Status s;
  if (state->fault == 0) {
    ReleaseHeldRow(state);
    if (state->table_locked)
      state->table->record_file()->UnlockNumber(state->table->table_number());
    // A file closed inside its transaction takes no part in the commit:
    // its changes are dropped rather than written outside the transaction.
    if (InTransaction(*state)) {
      LeaveTransaction(state);
    } else {
      s = state->table->Flush();
    }
  }
  call.block.driver_state.reset();
  return s;
}

Status FileName(const DriverCall& call) {
  TavrinFileState* state = call.state();
  call.block.answer_text = state != nullptr && state->table ? state->file_name : call.block.name;
  return Status::Ok();
}

Status FlushFile(const DriverCall& call) {
  TavrinFileState* state = call.state();
  // Changes of a file in a transaction wait for its commit.
  if (InTransaction(*state)) return Status::Ok();
  return state->table->Flush();
}

Status QueryKey(const DriverCall& call) {
  const FileDescriptor& declaration = call.state()->declaration;
  // Without a key number: the key the file is set to read by, -1 for
  // record order (a view follows that key).
  if (call.args.numbers.empty()) {
    const ReadPosition& position = call.state()->position;
    call.block.answer = position.order == ReadOrder::kKey ? static_cast<int64_t>(position.key) : -1;
    call.block.answer_text.clear();
    return Status::Ok();
  }
  int64_t key = call.Number(0, -1);
  if (key < 0 || static_cast<size_t>(key) >= declaration.keys.size()) {
    return Status::Error(kUnableToAccessIndex, "no such key");
  }
  const KeyDescriptor& descriptor = declaration.keys[static_cast<size_t>(key)];
  call.block.answer = descriptor.attributes;
  call.block.answer_text = descriptor.label;
  return Status::Ok();
}

Status SendCommand(const DriverCall& call) {
  std::string command = call.args.texts.empty() ? std::string() : call.args.texts[0];
  std::string command_value;
  size_t equals = command.find('=');
  bool setting = equals != std::string::npos;
  if (setting) {
    command_value = command.substr(equals + 1);
    command.resize(equals);
  }
  std::string value = Upper(command_value);
  command = Upper(command);
  if (command == "TCF") {
    if (setting) SetControlFileName(command_value);
    call.block.answer_text = ControlFileName();
    return Status::Ok();
  }
  if (command == "FULLBUILD") {
    TavrinFileState* state = call.state();
    if (state == nullptr || !state->table) {
      return Status::Error(error::kFileNotOpen, "FULLBUILD is kept per open table");
    }
    if (setting) {
      if (value != "ON" && value != "OFF") {
        return Status::Error(error::kInvalidNumberOfParameters, "FULLBUILD takes ON or OFF");
      }
      state->full_build = value == "ON";
    }
    call.block.answer_text = state->full_build ? "ON" : "OFF";
    return Status::Ok();
  }
  // Whether this open holds (watches) its current row, so that a caller can
  // read elsewhere in the file and take its row back as it had it.
  if ((command == "HELD" || command == "WATCHED") && !setting) {
    TavrinFileState* state = call.state();
    if (state == nullptr || !state->table) return Status::Error(error::kFileNotOpen, command);
    bool on = command == "HELD"
                  ? state->current != 0 && state->held_row == state->current
                  : state->watched_row.has_value() && state->watched_record == state->current;
    call.block.answer_text = on ? "ON" : "OFF";
    return Status::Ok();
  }
  // Commands the driver does not know answer nothing.
  return Status::Ok();
}

}  // namespace tentaria::storage
