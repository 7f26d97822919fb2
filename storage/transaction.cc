#include "storage/transaction.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <set>
#include <thread>
#include <utility>

#include "platform/path.h"
#include "storage/bytes.h"
#include "storage/error_texts.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {

namespace {

constexpr int kControlFileMode = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;
constexpr int kCheckMode = platform::open_mode::kRead | platform::open_mode::kDenyNone;
// A clash of transaction numbers means another commit chose the same
// second; the next free number is never far.
constexpr int kNumberAttempts = 10000;
constexpr auto kLockRetryPause = std::chrono::milliseconds(50);

std::string NumberKey(uint32_t number) {
  std::string key(4, '\0');
  StoreU32(reinterpret_cast<uint8_t*>(key.data()), number);
  return key;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string FolderOf(const std::string& host_path) {
  std::filesystem::path folder = std::filesystem::absolute(host_path).parent_path();
  return folder.string();
}

}  // namespace

struct Transaction::ControlFile {
  std::string path;
  std::unique_ptr<RecordFile> file;
};

Transaction::Transaction(platform::FileSystem* fs) : fs_(fs) {}

Transaction::~Transaction() = default;

Transaction& Transaction::Current() {
  static Transaction transaction;
  return transaction;
}

Status Transaction::Enlist(RecordFile* file, const std::string& data_path) {
  if (enlisted(file)) {
    return Status::Error(error::kLogoutAlreadyActive, "the file is already in the transaction");
  }
  Member member{file, data_path, {}, {}};
  if (control_file_name_.empty()) {
    member.marker_name = std::string(kDefaultControlFileMarker);
  } else {
    member.marker_name = control_file_name_;
  }
  member.control_path =
      std::filesystem::absolute(ControlFileHostPath(member.marker_name, data_path)).string();
  std::set<std::string> control_paths{member.control_path};
  for (const Member& m : members_) control_paths.insert(m.control_path);
  if (control_paths.size() > kMaxControlFiles) return InternalFault(kTooManyControlFiles);
  members_.push_back(std::move(member));
  return Status::Ok();
}

void Transaction::Withdraw(const RecordFile* file) {
  std::erase_if(members_, [file](const Member& m) { return m.file == file; });
}

bool Transaction::enlisted(const RecordFile* file) const {
  return std::any_of(members_.begin(), members_.end(),
                     [file](const Member& m) { return m.file == file; });
}

void Transaction::End() { members_.clear(); }

Status Transaction::Commit() {
  if (!active()) return Status::Error(error::kLogoutNotActive, "no transaction");
  std::vector<Member*> changed;
  for (Member& member : members_) {
    if (member.file->has_changes()) changed.push_back(&member);
  }
  Status s;
  if (changed.size() == 1) {
    s = changed.front()->file->Flush();
  } else if (changed.size() > 1) {
    s = CommitSeveral(changed);
  }
  End();
  return s;
}

Status Transaction::Rollback() {
  if (!active()) return Status::Error(error::kLogoutNotActive, "no transaction");
  Status result;
  for (Member& member : members_) {
    Status s = member.file->DiscardChanges();
    if (!s.ok() && result.ok()) {
      result = Status::Error(error::kUnableToRollback, s.message());
    }
  }
  End();
  return result;
}

Status Transaction::OpenControlFiles(const std::vector<Member*>& changed,
                                     std::vector<std::unique_ptr<ControlFile>>* controls) {
  for (const Member* member : changed) {
    bool known = std::any_of(controls->begin(), controls->end(),
                             [member](const auto& c) { return c->path == member->control_path; });
    if (known) continue;
    auto control = std::make_unique<ControlFile>();
    control->path = member->control_path;
    Status s = RecordFile::Open(fs_, control->path, kControlFileMode,
                                platform::Disposition::kOpenOrCreate, {}, &control->file);
    if (!s.ok()) return s;
    controls->push_back(std::move(control));
  }
  return Status::Ok();
}

Status Transaction::RecordNumber(std::vector<std::unique_ptr<ControlFile>>& controls,
                                 uint32_t* number) {
  // The control files are taken for writing in the order of their paths, so
  // that two processes committing over the same control files never wait
  // for each other in a circle.
  std::vector<ControlFile*> ordered;
  for (auto& control : controls) ordered.push_back(control.get());
  std::sort(ordered.begin(), ordered.end(),
            [](const ControlFile* a, const ControlFile* b) { return a->path < b->path; });
  uint32_t candidate = static_cast<uint32_t>(std::time(nullptr));
  for (int attempt = 0; attempt < kNumberAttempts; ++attempt, ++candidate) {
    std::string key = NumberKey(candidate);
    Status s;
    for (ControlFile* control : ordered) {
      s = control->file->Insert(key, key.size());
      if (!s.ok()) break;
    }
    if (s.code() == error::kCreatesDuplicateKey) {
      for (ControlFile* control : ordered) control->file->DiscardChanges();
      continue;
    }
    for (ControlFile* control : ordered) {
      if (s.ok()) {
        s = control->file->Flush();
      } else {
        control->file->DiscardChanges();
      }
    }
    if (!s.ok()) {
      // Numbers already recorded in some control files are cleared again.
      for (ControlFile* control : ordered) ClearNumber(control, candidate);
      return s;
    }
    *number = candidate;
    return Status::Ok();
  }
  return Status::Error(error::kUnableToLogTransaction, "no free transaction number");
}

Status Transaction::ClearNumber(ControlFile* control, uint32_t number) {
  Status s = control->file->Delete(NumberKey(number));
  if (s.code() == error::kRecordNotFound) return control->file->DiscardChanges();
  if (!s.ok()) {
    control->file->DiscardChanges();
    return s;
  }
  return control->file->Flush();
}

Status Transaction::CommitSeveral(const std::vector<Member*>& changed) {
  auto drop_all = [&changed](size_t prepared) {
    for (size_t i = 0; i < changed.size(); ++i) {
      if (i < prepared) {
        changed[i]->file->AbandonFlush();
      } else {
        changed[i]->file->DiscardChanges();
      }
    }
  };

  // (a) and (b).
  std::vector<std::unique_ptr<ControlFile>> controls;
  Status s = OpenControlFiles(changed, &controls);
  uint32_t number = 0;
  if (s.ok()) s = RecordNumber(controls, &number);
  if (!s.ok()) {
    drop_all(0);
    return s;
  }
  ControlFile* primary = controls.front().get();
  auto clear_others = [&] {
    for (size_t i = 1; i < controls.size(); ++i) ClearNumber(controls[i].get(), number);
  };

  // (c) Every marker names the primary control file: in the member's own
  // words when it is the member's control file, else by its host path.
  for (size_t i = 0; i < changed.size(); ++i) {
    Member* member = changed[i];
    std::string name = member->control_path == primary->path ? member->marker_name : primary->path;
    s = member->file->Put(TransactionMarker(number, name), kTransactionMarkerKey.size());
    if (s.ok()) {
      s = member->file->PrepareFlush();
    } else {
      member->file->DiscardChanges();
    }
    if (!s.ok()) {
      // The failed file has dropped its changes; the others follow.
      drop_all(i);
      ClearNumber(primary, number);
      clear_others();
      return s;
    }
  }

  // (d) The point of commit.  When the flush of the control file reports a
  // failure, the control file itself tells whether the deletion reached the
  // disk.
  s = ClearNumber(primary, number);
  if (!s.ok()) {
    std::string record;
    Status gone = primary->file->Get(NumberKey(number), &record);
    if (gone.code() != error::kRecordNotFound) {
      drop_all(changed.size());
      clear_others();
      return s;
    }
  }
  clear_others();

  // (e) A file whose journal cannot be copied home now keeps it declared;
  // the next read of its header completes it.
  for (Member* member : changed) member->file->FinishFlush();
  return Status::Ok();
}

std::string TransactionMarker(uint32_t number, std::string_view control_name) {
  std::string record(kTransactionMarkerKey);
  uint8_t bytes[4];
  StoreU32(bytes, number);
  record.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
  record.append(control_name);
  record.push_back('\0');
  return record;
}

bool ParseTransactionMarker(std::string_view marker_data, uint32_t* number,
                            std::string* control_name) {
  if (marker_data.size() < 5) return false;
  size_t end = marker_data.find('\0', 4);
  if (end == std::string_view::npos || end == 4) return false;
  *number = LoadU32(reinterpret_cast<const uint8_t*>(marker_data.data()));
  *control_name = std::string(marker_data.substr(4, end - 4));
  return true;
}

std::string ControlFileHostPath(std::string_view control_name, const std::string& data_path) {
  if (EqualsIgnoringCase(control_name, kDefaultControlFileMarker)) {
    return platform::HostPathIn(FolderOf(data_path), kDefaultControlFile);
  }
  return platform::HostPath(control_name);
}

std::function<Status(std::string_view, bool*)> TransactionPendingCheck(platform::FileSystem* fs,
                                                                       std::string data_path,
                                                                       int lock_wait_ms) {
  return [fs, data_path = std::move(data_path), lock_wait_ms](std::string_view marker_data,
                                                              bool* pending) {
    uint32_t number = 0;
    std::string name;
    if (!ParseTransactionMarker(marker_data, &number, &name)) {
      *pending = false;
      return Status::Ok();
    }
    std::string path = ControlFileHostPath(name, data_path);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(lock_wait_ms);
    std::unique_ptr<RecordFile> control;
    Status s;
    while (true) {
      s = RecordFile::Open(fs, path, kCheckMode, platform::Disposition::kOpenExisting, {},
                           &control);
      if (s.code() != error::kAccessDenied || std::chrono::steady_clock::now() >= deadline) break;
      std::this_thread::sleep_for(kLockRetryPause);
    }
    if (!s.ok()) {
      *pending = true;
      return Status::Ok();
    }
    std::string record;
    s = control->Get(NumberKey(number), &record);
    *pending = s.code() != error::kRecordNotFound;
    return Status::Ok();
  };
}

}  // namespace tentaria::storage
