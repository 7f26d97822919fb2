// FileManager: the record operations (insert with automatic numbering,
// update, sequential reads, fetch by key).
#include <string>

#include "framework/file_manager.h"
#include "framework/file_relations.h"
#include "framework/record_fields.h"
#include "storage/error_texts.h"

namespace tentaria::framework {
namespace {

// Message numbers of the error manager's table.
constexpr uint8_t kRetrievalError = 1;
constexpr uint8_t kInsertError = 4;
constexpr uint8_t kChangedByOther = 6;
constexpr uint8_t kChangedByOtherShown = 7;
constexpr uint8_t kDuplicateKey = 13;
constexpr uint8_t kUpdateError = 25;
constexpr uint8_t kHeldRecord = 28;
constexpr uint8_t kNumberingError = 32;

// Failed adds in a row before numbering asks whether to go on.
constexpr int kNumberingAttempts = 3;

}  // namespace

int FileManager::NumberRecord() { return NumberAndAdd(true); }
int FileManager::TryNumberRecord() { return NumberAndAdd(false); }

int FileManager::NumberAndAdd(bool report) {
  if (EnsureOpen() != SeverityQuiet) return SeverityFatal;
  if (!HASAUTOINC || SelectInfo().AUTOINCDONE) return SeverityQuiet;
  int attempts = 0;
  for (;;) {
    for (const FileManagerKey& key : KEYS) {
      int result = SeverityQuiet;
      if (key.AUTOINC != 0 && !NextNumber(key, report, &result)) return result;
    }
    if (FILE->Add() == storage::error::kNone) {
      SelectInfo().AUTOINCDONE = 1;
      return SeverityQuiet;
    }
    if (++attempts < kNumberingAttempts) continue;
    NoteError(kNumberingError);
    if (!report || RaiseNoted() != SeverityQuiet) return SeverityNotify;
    attempts = 0;
  }
}

bool FileManager::NextNumber(const FileManagerKey& key, bool report, int* result) {
  const FileManagerKeyField& numbered = key.FIELDS[key.AUTOINC - 1];
  int32_t saved = SaveBuffer();
  FILE->NoMemo();
  // Reading the key backwards from its end (forwards for a descending
  // component) gives the highest number first.
  bool forward = !numbered.ASCEND;
  std::string prefix;
  int code;
  if (key.FIELDS.size() == 1) {
    code = FILE->SetKey(key.KEY);
  } else {
    for (size_t i = 0; i + 1 < key.AUTOINC; ++i) prefix += FieldBytes(*FILE, key.FIELDS[i].FIELD);
    prefix.resize(std::min(prefix.size(), kPrefixTextSize));
    // Positioned past every number of this prefix, the read lands on its
    // highest one.
    SetFieldExtreme(*FILE, numbered.FIELD, numbered.ASCEND);
    code = FILE->SetKeyValue(key.KEY);
  }
  if (code == storage::error::kNone) code = forward ? FILE->Next() : FILE->Previous();
  runtime::DecimalRegister number = runtime::DecimalRegister::FromInt64(1);
  if (code == storage::error::kNone) {
    std::string found_prefix;
    for (size_t i = 0; i + 1 < key.AUTOINC; ++i) {
      found_prefix += FieldBytes(*FILE, key.FIELDS[i].FIELD);
    }
    found_prefix.resize(std::min(found_prefix.size(), kPrefixTextSize));
    if (found_prefix == prefix) {
      number =
          runtime::Add(FieldNumber(*FILE, numbered.FIELD), runtime::DecimalRegister::FromInt64(1));
    }
  } else if (code != storage::error::kRecordNotAvailable) {
    NoteError(kRetrievalError);
    RestoreBuffer(saved, true);
    *result = report ? RaiseNoted() : SeverityNotify;
    if (*result == SeverityQuiet) *result = SeverityNotify;
    return false;
  }
  RestoreBuffer(saved, true);
  SetFieldNumber(*FILE, numbered.FIELD, number);
  return true;
}

int FileManager::Insert() { return InsertRecord(true); }
int FileManager::TryInsert() { return InsertRecord(false); }

int FileManager::InsertRecord(bool report) {
  if (EnsureOpen() != SeverityQuiet) return SeverityFatal;
  if (CheckRecord() != SeverityQuiet) return SeverityNotify;
  int code;
  if (HASAUTOINC) {
    if (SelectInfo().AUTOINCDONE) {
      code = FILE->Put();
    } else {
      if (NumberAndAdd(report) != SeverityQuiet) return SeverityNotify;
      code = storage::error::kNone;
    }
  } else {
    code = FILE->Add();
  }
  if (code == storage::error::kNone) {
    SelectInfo().AUTOINCDONE = 0;
    return SeverityQuiet;
  }
  if (code == storage::error::kCreatesDuplicateKey) return ReportDuplicate(report);
  NoteError(kInsertError);
  return report ? RaiseNoted() : SeverityNotify;
}

int FileManager::ReportDuplicate(bool report) {
  NoteError(kDuplicateKey);
  // A new record is compared with every record: no record is current.
  // (Written to record 0, which never exists, the put fails and leaves
  // none current.)
  if (!HASAUTOINC) FILE->Put(0);
  for (const FileManagerKey& key : KEYS) {
    bool found = false;
    if (FILE->Duplicate(key.KEY, &found) != storage::error::kNone || !found) continue;
    if (!report) {
      ERRORS->MESSAGETEXT = key.PDESCRIPTION;
      return SeverityNotify;
    }
    RaiseWithText(kDuplicateKey, key.PDESCRIPTION);
    return SeverityNotify;
  }
  if (report) RaiseNoted();
  return SeverityNotify;
}

int FileManager::Update(int mode) { return UpdateRecord(mode); }
int FileManager::TryUpdate() { return UpdateRecord(0); }

int FileManager::UpdateRecord(int mode) {
  if (EnsureOpen() != SeverityQuiet) return SeverityFatal;
  if (CheckRecord() != SeverityQuiet) return SeverityNotify;
  std::string position;
  Position(&position);
  int code = FILE->Put();
  if (code == storage::error::kNone) return SeverityQuiet;
  if (code == storage::error::kRecordChanged) {
    NoteError(mode == 2 ? kChangedByOtherShown : kChangedByOther);
    if (mode != 0) RaiseNoted();
    // The buffer shows the other station's values, watched again for the
    // next attempt.
    FILE->Watch();
    Reget(position);
    return SeverityNotify;
  }
  NoteError(kUpdateError);
  return mode != 0 ? RaiseNoted() : SeverityNotify;
}

int FileManager::Next() { return ReadSequence(true, true); }
int FileManager::TryNext() { return ReadSequence(true, false); }
int FileManager::Previous() { return ReadSequence(false, true); }
int FileManager::TryPrevious() { return ReadSequence(false, false); }

int FileManager::ReadSequence(bool forward, bool report) {
  if (EnsureOpen() != SeverityQuiet) return SeverityFatal;
  SelectInfo().ATEOF = 0;
  for (;;) {
    int code = forward ? FILE->Next() : FILE->Previous();
    if (code == storage::error::kNone) return SeverityQuiet;
    if (code == storage::error::kRecordNotAvailable) {
      SelectInfo().ATEOF = 1;
      return SeverityNotify;
    }
    if (code == storage::error::kRecordIsAlreadyHeld) {
      // The read stays before a held record; stepping over it reads on.
      if (SKIPHELDRECORDS && FILE->Skip(forward ? 1 : -1) == storage::error::kNone) continue;
      NoteError(kHeldRecord);
      return report ? RaiseNoted() : SeverityNotify;
    }
    NoteError(kRetrievalError);
    return report ? RaiseNoted() : SeverityFatal;
  }
}

int FileManager::TryFetchByKey(size_t key) {
  if (EnsureOpen() != SeverityQuiet) return SeverityFatal;
  return FILE->GetByKey(key) == storage::error::kNone ? SeverityQuiet : SeverityNotify;
}

int FileManager::FetchOrClear(size_t key) {
  int result = TryFetchByKey(key);
  if (result != SeverityQuiet) ClearRecord(*FILE);
  return result;
}

int FileManager::CancelNumbering(FileRelations* relations) {
  FileManagerInfo& info = SelectInfo();
  if (!HASAUTOINC || !info.AUTOINCDONE) return SeverityQuiet;
  int result;
  if (relations != nullptr) {
    result = relations->Delete(false);
  } else {
    result = FILE->Delete() == storage::error::kNone ? SeverityQuiet : SeverityNotify;
  }
  if (result == SeverityQuiet) SelectInfo().AUTOINCDONE = 0;
  return result;
}

}  // namespace tentaria::framework
