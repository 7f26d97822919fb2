#include "framework/file_relations.h"

#include <algorithm>

#include "framework/record_fields.h"
#include "storage/error_texts.h"
#include "storage/file_interface.h"

namespace tentaria::framework {
namespace {

// Message numbers of the error manager's table.
constexpr uint8_t kConfirmDelete = 9;
constexpr uint8_t kNotDeleted = 11;
constexpr uint8_t kTransactionCancelled = 21;
constexpr uint8_t kNotUpdated = 25;
constexpr uint8_t kDeleteRestricted = 30;
constexpr uint8_t kUpdateRestricted = 31;
constexpr uint8_t kDeleteAgain = 33;

// The engine's busy cursor from construction to Stop (or the end of scope).
class BusyCursor {
 public:
  explicit BusyCursor(ui::Engine* engine) : engine_(engine) {
    if (engine_ != nullptr) engine_->SetBusy(true);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  ~BusyCursor() { Stop(); }
  void Stop() {
    if (engine_ != nullptr) engine_->SetBusy(false);
    engine_ = nullptr;
  }

 private:
  ui::Engine* engine_;
};

bool Contains(const std::vector<FileManager*>& files, const FileManager* file) {
  return std::find(files.begin(), files.end(), file) != files.end();
}

}  // namespace

void FileRelations::Init(FileManager& me, bool use_logout) {
  ME = &me;
  USELOGOUT = use_logout ? 1 : 0;
}

void FileRelations::AddRelation(FileRelations& related, uint8_t update_mode, uint8_t delete_mode,
                                size_t his_key) {
  RELATIONS.push_back({&related, {}, his_key, update_mode, delete_mode});
}

void FileRelations::AddLink(size_t left, size_t right) {
  if (!RELATIONS.empty()) RELATIONS.back().FIELDS.push_back({left, right, {}});
}

void FileRelations::Release() { RELATIONS.clear(); }

void FileRelations::Save() {
  for (FileRelation& relation : RELATIONS) {
    for (RelationField& link : relation.FIELDS) link.saved = FieldBytes(*ME->FILE, link.LEFT);
  }
}

std::vector<std::string> FileRelations::CurrentValues(const FileRelation& relation) {
  std::vector<std::string> values;
  for (const RelationField& link : relation.FIELDS) {
    values.push_back(FieldBytes(*ME->FILE, link.LEFT));
  }
  return values;
}

std::vector<std::string> FileRelations::SavedValues(const FileRelation& relation) {
  std::vector<std::string> values;
  for (const RelationField& link : relation.FIELDS) values.push_back(link.saved);
  return values;
}

std::vector<std::string> FileRelations::LinkValues(const FileRelation& relation,
                                                   const std::vector<std::string>& values) {
  storage::DeclaredFile& mine = *ME->FILE;
  storage::DeclaredFile& his = *relation.FILE->ME->FILE;
  ClearRecord(his);
  std::vector<std::string> wanted;
  for (size_t i = 0; i < relation.FIELDS.size(); ++i) {
    const RelationField& link = relation.FIELDS[i];
    // The value goes through this file's field so that it is converted
    // from this field's type to the related one's.
    std::string current = FieldBytes(mine, link.LEFT);
    SetFieldBytes(mine, link.LEFT, values[i]);
    CopyValue(mine, link.LEFT, his, link.RIGHT);
    SetFieldBytes(mine, link.LEFT, current);
    wanted.push_back(FieldBytes(his, link.RIGHT));
  }
  return wanted;
}

bool FileRelations::FirstRelated(const FileRelation& relation,
                                 const std::vector<std::string>& values) {
  std::vector<std::string> wanted = LinkValues(relation, values);
  if (relation.FILE->ME->FILE->SetKeyValue(relation.HISKEY) != storage::error::kNone) return false;
  return NextRelated(relation, wanted);
}

bool FileRelations::NextRelated(const FileRelation& relation,
                                const std::vector<std::string>& wanted) {
  storage::DeclaredFile& his = *relation.FILE->ME->FILE;
  if (his.Next() != storage::error::kNone) return false;
  for (size_t i = 0; i < relation.FIELDS.size(); ++i) {
    if (FieldBytes(his, relation.FIELDS[i].RIGHT) != wanted[i]) return false;
  }
  return true;
}

bool FileRelations::Join(FileManager& file, Frame& frame) {
  if (&file != ME && !Contains(frame.opened, &file)) {
    file.Open();
    frame.opened.push_back(&file);
  }
  if (file.EnsureOpen() != SeverityQuiet) {
    frame.refused = true;
    return false;
  }
  if (frame.logout && !Contains(frame.enlisted, &file)) {
    if (file.FILE->Call(storage::op::LOGOUT) != storage::error::kNone) {
      file.RaiseError(kTransactionCancelled);
      frame.refused = true;
      return false;
    }
    frame.enlisted.push_back(&file);
  }
  return true;
}

bool FileRelations::End(Frame& frame, bool ok) {
  if (!frame.enlisted.empty()) {
    storage::DeclaredFile& file = *frame.enlisted.front()->FILE;
    if (ok) {
      // A commit that fails leaves every file as it was.
      ok = file.Call(storage::op::COMMIT) == storage::error::kNone;
    } else {
      file.Call(storage::op::ROLLBACK);
    }
  }
  for (auto file = frame.opened.rbegin(); file != frame.opened.rend(); ++file) (*file)->Close();
  return ok;
}

int FileRelations::Delete(bool ask) {
  if (ask && ME->RaiseError(kConfirmDelete) != SeverityQuiet) return SeverityNotify;
  if (ME->EnsureOpen() != SeverityQuiet) return SeverityFatal;
  // Remembered once: a failed attempt leaves no current record, and every
  // attempt reads the record again from here.
  std::string position;
  if (ME->Position(&position) != storage::error::kNone) {
    ME->RaiseError(kNotDeleted);
    return SeverityNotify;
  }
  for (;;) {
    if (ME->EnsureOpen() != SeverityQuiet) return SeverityFatal;
    // A cascade can touch many records: the busy cursor shows until the
    // attempt has ended, and before any question is asked.
    BusyCursor busy(ME->ERRORS != nullptr ? ME->ERRORS->engine() : nullptr);
    Frame frame;
    frame.logout = USELOGOUT != 0;
    bool ok = Join(*ME, frame);
    for (FileRelation& relation : RELATIONS) {
      if (!ok) break;
      if (relation.DELETEMODE != relation_mode::kNone) ok = Join(*relation.FILE->ME, frame);
    }
    if (ok) ok = DeleteAt(position, frame);
    const bool ended = End(frame, ok);
    busy.Stop();
    if (ended) return SeverityQuiet;
    // The record stays the current one, as it was before the attempt.
    ME->Reget(position);
    // A refusal is final; any other failure may pass when tried again.
    if (frame.refused || ME->RaiseError(kDeleteAgain) != SeverityQuiet) return SeverityNotify;
  }
}

bool FileRelations::DeleteCurrent(Frame& frame) {
  std::string position;
  if (ME->Position(&position) != storage::error::kNone) {
    ME->RaiseError(kNotDeleted);
    return false;
  }
  return DeleteAt(position, frame);
}

bool FileRelations::DeleteAt(const std::string& position, Frame& frame) {
  if (ME->Reget(position) != SeverityQuiet) {
    ME->RaiseError(kNotDeleted);
    return false;
  }
  for (FileRelation& relation : RELATIONS) {
    if (!DeleteRelated(relation, frame)) return false;
  }
  if (ME->FILE->Delete() != storage::error::kNone) {
    ME->RaiseError(kNotDeleted);
    return false;
  }
  return true;
}

bool FileRelations::DeleteRelated(FileRelation& relation, Frame& frame) {
  if (relation.DELETEMODE == relation_mode::kNone || relation.FILE == this) return true;
  FileManager& his = *relation.FILE->ME;
  if (!Join(his, frame)) return false;
  std::vector<std::string> values = CurrentValues(relation);
  switch (relation.DELETEMODE) {
    case relation_mode::kRestrict:
      if (!FirstRelated(relation, values)) return true;
      his.RaiseError(kDeleteRestricted);
      frame.refused = true;
      return false;
    case relation_mode::kClear: {
      std::vector<std::string> wanted = LinkValues(relation, values);
      if (his.FILE->SetKeyValue(relation.HISKEY) != storage::error::kNone) return true;
      // The cleared record leaves the linking values behind it; reading on
      // reaches the next one.
      while (NextRelated(relation, wanted)) {
        for (const RelationField& link : relation.FIELDS) ClearField(*his.FILE, link.RIGHT);
        if (his.FILE->Put() != storage::error::kNone) {
          his.RaiseError(kNotUpdated);
          return false;
        }
      }
      return true;
    }
    case relation_mode::kCascade:
      // Each deleted record is gone from the key: the first related
      // record is the next one to delete.
      while (FirstRelated(relation, values)) {
        if (!relation.FILE->DeleteCurrent(frame)) return false;
      }
      return true;
    default:
      return true;
  }
}

int FileRelations::Update(int mode) {
  if (ME->EnsureOpen() != SeverityQuiet) return SeverityFatal;
  Frame frame;
  frame.logout = USELOGOUT != 0;
  bool ok = Join(*ME, frame);
  for (FileRelation& relation : RELATIONS) {
    if (!ok) break;
    ok = UpdateRelated(relation, frame);
  }
  if (ok) ok = ME->Update(mode) == SeverityQuiet;
  if (!End(frame, ok)) return SeverityNotify;
  Save();
  return SeverityQuiet;
}

bool FileRelations::UpdateRelated(FileRelation& relation, Frame& frame) {
  if (relation.UPDATEMODE == relation_mode::kNone || relation.FILE == this) return true;
  bool changed = false;
  for (const RelationField& link : relation.FIELDS) {
    if (!link.saved.empty() && link.saved != FieldBytes(*ME->FILE, link.LEFT)) changed = true;
  }
  if (!changed) return true;
  FileManager& his = *relation.FILE->ME;
  if (!Join(his, frame)) return false;
  std::vector<std::string> wanted = LinkValues(relation, SavedValues(relation));
  if (his.FILE->SetKeyValue(relation.HISKEY) != storage::error::kNone) return true;
  bool found = NextRelated(relation, wanted);
  if (relation.UPDATEMODE == relation_mode::kRestrict) {
    if (!found) return true;
    his.RaiseError(kUpdateRestricted);
    for (const RelationField& link : relation.FIELDS) {
      SetFieldBytes(*ME->FILE, link.LEFT, link.saved);
    }
    frame.refused = true;
    return false;
  }
  // A changed record's entry moves away from the old values; reading on
  // reaches the next record that still holds them.
  for (; found; found = NextRelated(relation, wanted)) {
    for (const RelationField& link : relation.FIELDS) {
      if (relation.UPDATEMODE == relation_mode::kClear) {
        ClearField(*his.FILE, link.RIGHT);
      } else {
        CopyValue(*ME->FILE, link.LEFT, *his.FILE, link.RIGHT);
      }
    }
    if (his.FILE->Put() != storage::error::kNone) {
      his.RaiseError(kNotUpdated);
      return false;
    }
  }
  return true;
}

}  // namespace tentaria::framework
