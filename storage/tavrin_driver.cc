#include "storage/tavrin_driver.h"

#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/clock.h"
#include "runtime/error_state.h"
#include "storage/driver_state.h"
#include "storage/error_texts.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {
namespace {

using Handler = Status (*)(const DriverCall&);

Status Succeed(const DriverCall&) { return Status::Ok(); }

Handler HandlerOf(int operation) {
  switch (operation) {
    case op::OPEN:
    case op::SHARE:
      return OpenFile;
    case op::CREATE:
      return CreateFile;
    case op::CLOSE:
      return CloseFile;
    case op::NAME:
      return FileName;
    case op::FLUSH:
      return FlushFile;
    case op::STREAM:
    case op::QUERY_VIEW:
    case op::ENDVIEW:
      return Succeed;
    case op::QUERY_KEY:
      return QueryKey;
    case op::SEND:
      return SendCommand;
    case op::ADD:
    case op::APPEND:
      return AddRow;
    case op::PUT:
    case op::PUTfileptr:
      return PutRow;
    case op::DELETE:
      return DeleteRow;
    case op::DUPLICATE:
    case op::DUPLICATEkey:
      return TestDuplicate;
    case op::RECORDSfile:
    case op::RECORDSkey:
    case op::COUNTRECORDS:
      return CountRows;
    case op::SETfile:
    case op::SETfilekey:
    case op::SETfileptr:
    case op::SETkey:
    case op::SETkeykey:
    case op::SETkeyptr:
    case op::SETkeykeyptr:
      return SetPosition;
    case op::NEXT:
    case op::PREVIOUS:
      return ReadNext;
    case op::SKIP:
      return SkipRows;
    case op::GETfilekey:
    case op::GETfileptr:
    case op::GETkeyptr:
      return ReadDirect;
    case op::BOF:
    case op::EOF_:
      return AtEnd;
    case op::POINTERfile:
    case op::POINTERkey:
      return Pointer;
    case op::POSITIONfile:
    case op::POSITIONkey:
      return SavePosition;
    case op::RESETfile:
    case op::RESETkey:
      return ResetPosition;
    case op::REGETfile:
    case op::REGETkey:
      return ReadAgain;
    case op::WATCH:
    case op::NOMEMO:
    case op::HOLDfile:
    case op::HOLDfilesec:
      return ReadRequest;
    case op::RELEASE:
      return ReleaseRow;
    case op::LOCKfile:
    case op::LOCKfilesec:
      return LockTable;
    case op::UNLOCK:
      return UnlockTable;
    case op::EMPTY:
      return EmptyFile;
    case op::REMOVE:
      return RemoveFile;
    case op::COPY:
    case op::RENAME:
      return CopyFile;
    case op::BUILDkey:
    case op::BUILDfile:
    case op::PACK:
      return BuildKeys;
    case op::LOGOUT:
      return EnlistFile;
    case op::COMMIT:
    case op::ROLLBACK:
      return EndTransaction;
    default:
      return nullptr;
  }
}

// Operations that work without an open file.
bool NeedsOpenFile(int operation) {
  switch (operation) {
    case op::OPEN:
    case op::SHARE:
    case op::CREATE:
    case op::CLOSE:
    case op::NAME:
    case op::STREAM:
    case op::QUERY_VIEW:
    case op::ENDVIEW:
    case op::SEND:
    case op::REMOVE:
    case op::COPY:
    case op::RENAME:
    case op::BUILDkey:
    case op::BUILDfile:
    case op::PACK:
    case op::COMMIT:
    case op::ROLLBACK:
      return false;
    default:
      return true;
  }
}

struct FaultMessages {
  std::mutex mutex;
  FaultMessageHook hook;
  ShownFault last;
};

FaultMessages& Messages() {
  static FaultMessages* messages = new FaultMessages;
  return *messages;
}

void ShowFault(int fault, std::string_view text, std::string_view file) {
  FaultMessageHook hook;
  {
    std::lock_guard<std::mutex> lock(Messages().mutex);
    hook = Messages().hook;
    if (!hook) Messages().last = ShownFault{fault, std::string(text), std::string(file)};
  }
  if (hook) hook(fault, text, file);
}

// Reports a fault found earlier or now, and fails with 90.
int FailWithFault(const FileControlBlock& block, int fault, std::string_view text) {
  ShowFault(fault, text, block.name);
  runtime::SetDriverError(error::kFileSystemError, fault, text, block.name);
  return error::kFileSystemError;
}

// What a trace line tells about the call: the file, and the numbers given
// (a key, a pointer, seconds).
std::string TraceContext(const FileControlBlock& block, const OperationArguments& args) {
  std::string context = block.name;
  for (size_t i = 0; i < args.numbers.size(); ++i) {
    context += (i == 0 ? " (" : ",") + std::to_string(args.numbers[i]);
  }
  if (!args.numbers.empty()) context += ")";
  return context;
}

int CarryOut(platform::FileSystem* fs, int operation, FileControlBlock& block,
             const OperationArguments& args) {
  DriverCall call{operation, block, args, fs};
  TavrinFileState* state = call.state();
  if (state != nullptr && state->fault != 0 && operation != op::CLOSE && operation != op::NAME) {
    return FailWithFault(block, state->fault, kCorruptionText);
  }
  Handler handler = HandlerOf(operation);
  if (handler == nullptr) {
    runtime::SetFileError(error::kUnsupportedFunction, block.name);
    return error::kUnsupportedFunction;
  }
  if (NeedsOpenFile(operation) && (state == nullptr || !state->table)) {
    runtime::SetFileError(error::kFileNotOpen, block.name);
    return error::kFileNotOpen;
  }
  block.answer = 0;
  block.answer_text.clear();
  Status s = handler(call);
  if (s.ok()) return error::kNone;

  if (int fault = InternalFaultNumber(s); fault != 0) {
    state = call.state();
    if (state == nullptr || !state->table) return FailWithFault(block, fault, kDriverErrorText);
    // What the operation changed before the check failed is not trusted.
    state->table->record_file()->DiscardChanges();
    state->fault = fault;
    return FailWithFault(block, fault, kCorruptionText);
  }
  if (s.code() == error::kFileSystemError) {
    runtime::SetDriverError(s.code(), 0, s.message(), block.name);
  } else {
    runtime::SetFileError(s.code(), block.name);
  }
  return s.code();
}

int DispatchOperation(platform::FileSystem* fs, int operation, FileControlBlock& block,
                      const OperationArguments& args) {
  auto* state = static_cast<TavrinFileState*>(block.driver_state.get());
  // Taken before the operation, so that CLOSE is traced too; only the
  // operations that drop or replace the state keep the trace alive.
  DriverTrace* trace = state != nullptr ? state->trace.get() : nullptr;
  std::shared_ptr<DriverTrace> kept;
  if (trace != nullptr &&
      (operation == op::CLOSE || operation == op::OPEN || operation == op::SHARE)) {
    kept = state->trace;
  }
  // The clock is read only for a trace; one that the operation turned on
  // times it from its end.
  bool timed = trace && trace->on();
  int64_t started = timed ? platform::ElapsedHundredths() : 0;
  int code = CarryOut(fs, operation, block, args);
  state = static_cast<TavrinFileState*>(block.driver_state.get());
  if (trace == nullptr && state != nullptr) trace = state->trace.get();
  if (trace && trace->on() && block.trace_silenced == 0) {
    if (!timed) started = platform::ElapsedHundredths();
    bool row = trace->details() && block.record.size() == block.layout.record_size;
    trace->Write(operation, TraceContext(block, args), code,
                 code == error::kFileSystemError ? runtime::CurrentError().driver_text : "",
                 started, row ? &block.layout : nullptr, RowBuffer(block));
  }
  return code;
}

}  // namespace

DriverDescriptor TavrinDriver(platform::FileSystem* fs) {
  DriverDescriptor descriptor = TavrinDescriptor();
  descriptor.dispatch = [fs](int operation, FileControlBlock& block,
                             const OperationArguments& args) {
    return DispatchOperation(fs, operation, block, args);
  };
  return descriptor;
}

FaultMessageHook SetFaultMessageHook(FaultMessageHook hook) {
  std::lock_guard<std::mutex> lock(Messages().mutex);
  return std::exchange(Messages().hook, std::move(hook));
}

ShownFault LastShownFault() {
  std::lock_guard<std::mutex> lock(Messages().mutex);
  return Messages().last;
}

}  // namespace tentaria::storage
