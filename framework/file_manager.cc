// FileManager: set-up, state records, opening and closing, messages, field
// checks and saved copies.  The record operations are in
// file_manager_records.cc.
#include "framework/file_manager.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "storage/error_texts.h"
#include "storage/file_interface.h"

namespace tentaria::framework {
namespace {

// Message numbers of the error manager's table.
constexpr uint8_t kAccessDeniedReadOnly = 2;
constexpr uint8_t kCreationError = 10;
constexpr uint8_t kKeyNotBuilt = 26;
constexpr uint8_t kInvalidKey = 27;
constexpr uint8_t kFileAccessError = 23;
constexpr uint8_t kFileUsageError = 39;

// The access bits of an open mode, and the bits the read-only fall-back
// clears.
constexpr uint8_t kAccessBits = 0x03;
constexpr uint8_t kReadOnlyMask = 0xF0;

// Small thread numbers, given out in the order threads first use a file.
int32_t ThisThreadNumber() {
  static std::atomic<int32_t> next{2};
  thread_local int32_t number = next.fetch_add(1);
  return number;
}

}  // namespace

void FileManager::Init(storage::DeclaredFile& file, ErrorManager& errors) {
  FILE = &file;
  ERRORS = &errors;
  OPENMODE = kDefaultOpenMode;
  CREATE = 1;
  LOCKRECOVER = 10;
  LAZYOPEN = 1;
  SKIPHELDRECORDS = 0;
  PRIMARYKEY = 0;
  FILENAMEVALUE = file.block().name.substr(0, 256);
}

void FileManager::AddKey(size_t key, std::string_view description, size_t numbered_component) {
  const storage::FileControlBlock& block = FILE->block();
  const storage::KeyDescriptor& declared = block.keys.at(key);
  FileManagerKey entry;
  entry.KEY = key;
  entry.PDESCRIPTION = description;
  for (const storage::KeyComponent& component : declared.components) {
    entry.FIELDS.push_back(
        {component.field, block.layout.fields.at(component.field).label, !component.descending()});
  }
  entry.AUTOINC = numbered_component <= entry.FIELDS.size() ? numbered_component : 0;
  entry.DUPS = declared.Has(storage::key_attribute::DUP);
  entry.NOCASE = declared.Has(storage::key_attribute::NOCASE);
  if (entry.AUTOINC != 0) HASAUTOINC = 1;
  KEYS.push_back(std::move(entry));
}

void FileManager::Release() {
  bool used = std::any_of(INFO.begin(), INFO.end(),
                          [](const FileManagerInfo& info) { return info.USED != 0; });
  if (used) FILE->Close();
  KEYS.clear();
  BUFFERS.clear();
  SAVED.clear();
  INFO.clear();
}

int32_t FileManager::ThreadId() const {
  return FILE->block().attributes & storage::file_attribute::THREAD ? ThisThreadNumber() : 1;
}

FileManagerInfo& FileManager::SelectInfo() {
  int32_t id = ThreadId();
  auto found = std::find_if(INFO.begin(), INFO.end(),
                            [id](const FileManagerInfo& info) { return info.ID == id; });
  if (found == INFO.end()) {
    INFO.push_back({});
    INFO.back().ID = id;
    found = INFO.end() - 1;
  }
  ERRORS->SetFile(FILENAMEVALUE);
  return *found;
}

void FileManager::NoteError(uint8_t id) {
  ERRORS->SaveErrorState();
  SelectInfo().LASTERROR = id;
}

int FileManager::RaiseNoted() { return ERRORS->HandleError(SelectInfo().LASTERROR); }

int FileManager::RaiseError(uint8_t id) {
  NoteError(id);
  return RaiseNoted();
}

int FileManager::RaiseWithText(uint8_t id, std::string_view text) {
  return ERRORS->RaiseWithText(id, text);
}

int FileManager::Open() { return OpenFile(true, true, false); }
int FileManager::TryOpen() { return OpenFile(false, true, false); }

int FileManager::OpenFile(bool report, bool count, bool force) {
  FileManagerInfo& info = SelectInfo();
  if (!force && (LAZYOPEN || info.OPENED != 0)) {
    if (count) ++info.OPENED;
    AfterOpen();
    return SeverityQuiet;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    int code = FILE->Open(OPENMODE);
    if (code == storage::error::kAccessDenied) {
      std::string ignored;
      FILE->Send("Recover=" + std::to_string(LOCKRECOVER), &ignored);
      code = FILE->Open(OPENMODE);
    }
    if (code == storage::error::kNone || code == storage::error::kFileAlreadyOpen) {
      FileManagerInfo& opened = SelectInfo();
      opened.USED = 1;
      opened.ATEOF = 0;
      opened.AUTOINCDONE = 0;
      if (count) ++opened.OPENED;
      AfterOpen();
      return SeverityQuiet;
    }
    if (code == storage::error::kAccessDenied) {
      if ((OPENMODE & kAccessBits) == 0) break;
      OPENMODE &= kReadOnlyMask;
      if (report) {
        RaiseError(kAccessDeniedReadOnly);
      } else {
        NoteError(kAccessDeniedReadOnly);
      }
      continue;
    }
    if (code == storage::error::kFileNotFound) {
      if (!CREATE) break;
      if (FILE->Create() == storage::error::kNone) continue;
      NoteError(kCreationError);
      if (report) RaiseNoted();
      return SeverityNotify;
    }
    if (code == storage::error::kKeyFileMustBeRebuilt) {
      NoteError(kInvalidKey);
      if (!report) return SeverityNotify;
      RaiseNoted();
      if (FILE->Call(storage::op::BUILDfile) == storage::error::kNone) continue;
      return RaiseError(kKeyNotBuilt);
    }
    break;
  }
  NoteError(kFileAccessError);
  return report ? RaiseNoted() : SeverityNotify;
}

int FileManager::Close() {
  FileManagerInfo& info = SelectInfo();
  if (info.OPENED == 0) return SeverityQuiet;
  if (--info.OPENED == 0 && info.USED) {
    FILE->Close();
    info.USED = 0;
  }
  return SeverityQuiet;
}

int FileManager::EnsureOpen() {
  FileManagerInfo& info = SelectInfo();
  if (info.USED) return SeverityQuiet;
  if (info.OPENED == 0) return RaiseError(kFileUsageError);
  int32_t saved = SaveBuffer();
  int result = OpenFile(true, false, true);
  RestoreBuffer(saved, true);
  return result;
}

int FileManager::CheckField(size_t) { return SeverityQuiet; }

int FileManager::CheckFields(size_t first, size_t last, size_t* failed) {
  if (ALIASEDFILE != nullptr) {
    std::span<char> mine = Record();
    std::span<char> theirs = ALIASEDFILE->Record();
    std::copy_n(mine.begin(), std::min(mine.size(), theirs.size()), theirs.begin());
    return ALIASEDFILE->CheckFields(first, last, failed);
  }
  for (size_t field = first; field <= last; ++field) {
    int result = CheckField(field);
    if (result != SeverityQuiet) {
      if (failed != nullptr) *failed = field;
      return result;
    }
  }
  return SeverityQuiet;
}

int FileManager::CheckRecord(size_t* failed) {
  size_t count = FILE->block().layout.fields.size();
  if (count == 0) return SeverityQuiet;
  return CheckFields(0, count - 1, failed);
}

void FileManager::PrimeRecord() {
  SelectInfo();
  for (std::string& memo : FILE->block().memo) memo.clear();
  PrimeFields();
}

int32_t FileManager::NextBufferId() const {
  int32_t highest = 0;
  for (const SavedBuffer& saved : BUFFERS) highest = std::max(highest, saved.ID);
  return highest + 1;
}

int32_t FileManager::SaveBuffer() {
  int32_t id = NextBufferId();
  std::span<char> record = Record();
  BUFFERS.push_back({id, std::string(record.begin(), record.end())});
  int32_t memo_id = id;
  for (const std::string& memo : FILE->block().memo) BUFFERS.push_back({++memo_id, memo});
  return id;
}

void FileManager::RestoreBuffer(int32_t id, bool restore) {
  auto first = std::find_if(BUFFERS.begin(), BUFFERS.end(),
                            [id](const SavedBuffer& saved) { return saved.ID == id; });
  if (first == BUFFERS.end()) return;
  std::vector<std::string>& memos = FILE->block().memo;
  size_t count = std::min<size_t>(1 + memos.size(), BUFFERS.end() - first);
  if (restore) {
    std::span<char> record = Record();
    std::copy_n(first->BUFFER.begin(), std::min(record.size(), first->BUFFER.size()),
                record.begin());
    for (size_t memo = 0; memo + 1 < count; ++memo) memos[memo] = first[memo + 1].BUFFER;
  }
  BUFFERS.erase(first, first + static_cast<ptrdiff_t>(count));
}

int FileManager::EqualBuffer(int32_t id) {
  if (EnsureOpen() != SeverityQuiet) return 0;
  auto first = std::find_if(BUFFERS.begin(), BUFFERS.end(),
                            [id](const SavedBuffer& saved) { return saved.ID == id; });
  if (first == BUFFERS.end()) return 0;
  std::span<char> record = Record();
  if (std::string_view(record.data(), record.size()) != first->BUFFER) return 0;
  const std::vector<std::string>& memos = FILE->block().memo;
  if (static_cast<size_t>(BUFFERS.end() - first) < 1 + memos.size()) return 0;
  for (size_t memo = 0; memo < memos.size(); ++memo) {
    if (memos[memo] != first[memo + 1].BUFFER) return 0;
  }
  return 1;
}

int FileManager::Position(std::string* saved) {
  if (PRIMARYKEY != 0) return FILE->Position(PRIMARYKEY - 1u, saved);
  return FILE->Position(saved);
}

int FileManager::Reget(const std::string& saved) {
  int code = PRIMARYKEY != 0 ? FILE->Reget(PRIMARYKEY - 1u, saved) : FILE->Reget(saved);
  return code == storage::error::kNone ? SeverityQuiet : SeverityNotify;
}

int32_t FileManager::SaveFile() {
  FileManagerInfo& info = SelectInfo();
  SavedFileState state;
  for (const SavedFileState& saved : SAVED) state.ID = std::max(state.ID, saved.ID);
  ++state.ID;
  state.by_primary_key = PRIMARYKEY != 0;
  state.ATEOF = info.ATEOF;
  state.AUTOINCDONE = info.AUTOINCDONE;
  if (info.USED && Position(&state.position) != storage::error::kNone) state.position.clear();
  if (!state.position.empty()) {
    std::string answer;
    state.held = FILE->Send("HELD", &answer) == storage::error::kNone && answer == "ON";
    state.watched = FILE->Send("WATCHED", &answer) == storage::error::kNone && answer == "ON";
  }
  SAVED.push_back(std::move(state));
  return SAVED.back().ID;
}

void FileManager::RestoreFile(int32_t id, bool restore) {
  auto found = std::find_if(SAVED.begin(), SAVED.end(),
                            [id](const SavedFileState& saved) { return saved.ID == id; });
  if (found == SAVED.end()) return;
  SavedFileState state = std::move(*found);
  SAVED.erase(found);
  if (!restore) return;
  FileManagerInfo& info = SelectInfo();
  info.ATEOF = state.ATEOF;
  info.AUTOINCDONE = state.AUTOINCDONE;
  if (state.position.empty() || !info.USED) return;
  // Reading the saved record again makes it current and continues the
  // sequence after it; the buffer the caller has now stays as it is.
  int32_t buffer = SaveBuffer();
  uint8_t primary = PRIMARYKEY;
  PRIMARYKEY = state.by_primary_key ? primary : 0;
  // Read as the caller had it: held again, and watched again so that its
  // update still notices another station's change.
  if (state.held) FILE->Hold();
  if (state.watched) FILE->Watch();
  Reget(state.position);
  PRIMARYKEY = primary;
  RestoreBuffer(buffer, true);
}

}  // namespace tentaria::framework
