// Whole-table operations: EMPTY, REMOVE, COPY, RENAME, and key building
// (BUILDkey, BUILDfile, PACK).
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "storage/driver_state.h"
#include "storage/error_texts.h"
#include "storage/table_maintenance.h"
#include "storage/tavrin_driver.h"

namespace tentaria::storage {
namespace {

constexpr int kUnableToAccessIndex = 77;

struct ProgressHook {
  std::mutex mutex;
  BuildProgress progress;
};

ProgressHook& Progress() {
  static ProgressHook* hook = new ProgressHook;
  return *hook;
}

bool IsOpen(const DriverCall& call) { return call.state() != nullptr && call.state()->table; }

// The host name of the file's table, and the options of the files the
// whole-table operations open themselves.
Status Prepare(const DriverCall& call, HostTable* host, RecordFileOptions* options) {
  Status s = MapTableName(call.block.name, host);
  if (!s.ok()) return s;
  options->owner_password = call.block.owner;
  options->transaction_pending = RecoveryCheck(call.fs, host->path);
  return Status::Ok();
}

// A file that is not open is opened for the build alone, exclusively.
Status OpenForBuild(const DriverCall& call, std::unique_ptr<TableFile>* table) {
  HostTable host;
  Status s = MapTableName(call.block.name, &host);
  if (!s.ok()) return s;
  TableOpenRequest request;
  request.mode = platform::open_mode::kReadWrite | platform::open_mode::kDenyAll;
  request.transaction_pending = RecoveryCheck(call.fs, host.path);
  return TableFile::Open(call.fs, DeclarationOf(call.block), host.name, request, table);
}

}  // namespace

BuildProgress SetBuildProgressHook(BuildProgress progress) {
  std::lock_guard<std::mutex> lock(Progress().mutex);
  return std::exchange(Progress().progress, std::move(progress));
}

Status EmptyFile(const DriverCall& call) {
  TavrinFileState* state = call.state();
  Status s = state->table->record_file()->BeginWrite();
  if (s.ok()) s = EmptyTable(AccessOf(state->table.get()));
  s = EndChange(state, s);
  if (s.ok()) state->current = 0;
  return s;
}

Status RemoveFile(const DriverCall& call) {
  if (IsOpen(call)) return Status::Error(error::kFileAlreadyOpen, "close the file first");
  HostTable host;
  RecordFileOptions options;
  Status s = Prepare(call, &host, &options);
  if (!s.ok()) return s;
  return RemoveTable(call.fs, host.name, options);
}

Status CopyFile(const DriverCall& call) {
  if (call.operation == op::RENAME && IsOpen(call)) {
    return Status::Error(error::kFileAlreadyOpen, "close the file first");
  }
  std::string target = call.args.texts.empty() ? std::string() : call.args.texts[0];
  if (target.empty()) return Status::Error(error::kInvalidFilename, "no target name");
  HostTable host;
  HostTable host_target;
  RecordFileOptions options;
  Status s = Prepare(call, &host, &options);
  if (s.ok()) s = MapTableName(target, &host_target);
  if (!s.ok()) return s;
  return call.operation == op::COPY ? CopyTable(call.fs, host.name, host_target.name, options)
                                    : RenameTable(call.fs, host.name, host_target.name, options);
}

Status BuildKeys(const DriverCall& call) {
  TavrinFileState* state = call.state();
  std::unique_ptr<TableFile> own;
  TableFile* table = nullptr;
  Status s;
  if (IsOpen(call)) {
    table = state->table.get();
    s = table->record_file()->BeginWrite();
  } else {
    s = OpenForBuild(call, &own);
    table = own.get();
  }
  if (!s.ok()) return s;

  BuildOptions options;
  options.full_build = state != nullptr && state->full_build;
  options.memory_keys = IsOpen(call) ? &state->memory_keys : nullptr;
  {
    std::lock_guard<std::mutex> lock(Progress().mutex);
    options.progress = Progress().progress;
  }
  TableAccess access = AccessOf(table);
  if (call.operation == op::BUILDkey) {
    int64_t key = call.Number(0, -1);
    if (key < 0 || static_cast<size_t>(key) >= table->definition().keys.size()) {
      s = Status::Error(kUnableToAccessIndex, "no such key");
    } else {
      s = BuildKey(&access, static_cast<size_t>(key), options);
    }
  } else {
    s = call.operation == op::PACK ? PackFile(&access, options) : BuildFile(&access, options);
    if (s.ok()) table->set_collation(access.collation);
  }
  if (own) return s.ok() ? own->Flush() : s;
  return EndChange(state, s);
}

}  // namespace tentaria::storage
