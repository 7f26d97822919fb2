// FileRelations: a file's relations to other files, and the referential
// integrity kept when one of its records is deleted or its linking fields
// change.  Each relation names the related file's relations object, the
// pairs of linking fields (a field of this file, LEFT, and the field of
// the related file that holds the same value, RIGHT), the related file's
// key over its linking fields (HISKEY), and what a change (UPDATEMODE) or
// a delete (DELETEMODE) does to the related records:
//   0 nothing, 1 clear their linking fields (blank or zero),
//   2 restrict (refused while related records exist),
//   3 cascade (the new values are carried to them, or they are deleted).
// With USELOGOUT the whole change, related records included, is one
// transaction over the files it touches: it is written whole or not at
// all.
#ifndef TENTARIA_FRAMEWORK_FILE_RELATIONS_H_
#define TENTARIA_FRAMEWORK_FILE_RELATIONS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/file_manager.h"

namespace tentaria::framework {

namespace relation_mode {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kClear = 1;
inline constexpr uint8_t kRestrict = 2;
inline constexpr uint8_t kCascade = 3;
}  // namespace relation_mode

struct RelationField {
  size_t LEFT = 0;    // field of this file, from 0
  size_t RIGHT = 0;   // field of the related file, from 0
  std::string saved;  // LEFT's bytes before the change (Save)
};

struct FileRelation {
  class FileRelations* FILE = nullptr;
  std::vector<RelationField> FIELDS;
  size_t HISKEY = 0;  // position in the related file's declaration
  uint8_t UPDATEMODE = relation_mode::kNone;
  uint8_t DELETEMODE = relation_mode::kNone;
};

class FileRelations {
 public:
  FileRelations() = default;
  FileRelations(const FileRelations&) = delete;
  FileRelations& operator=(const FileRelations&) = delete;
  virtual ~FileRelations() = default;

  void Init(FileManager& me, bool use_logout);
  void AddRelation(FileRelations& related, uint8_t update_mode, uint8_t delete_mode,
                   size_t his_key);
  // Adds a pair of linking fields to the relation added last.
  void AddLink(size_t left, size_t right);
  void Release();

  // Keeps the linking fields' values of the record in the buffer, so that
  // Update can tell which of them the user changed.
  void Save();
  // Deletes the current record with what its relations ask of the related
  // records; `ask` first asks the user.  0, or 5 when nothing was deleted.
  virtual int Delete(bool ask = true);
  // Carries changed linking fields to the related records as their
  // relations ask, then writes the record (FileManager::Update in `mode`).
  // 0, or 5 (3 when the file cannot be used) when nothing was written.
  virtual int Update(int mode = 1);

  FileManager* ME = nullptr;
  std::vector<FileRelation> RELATIONS;
  uint8_t USELOGOUT = 0;

 private:
  // The files one change touches, opened and enlisted as it reaches them.
  struct Frame {
    bool logout = false;
    std::vector<FileManager*> opened;
    std::vector<FileManager*> enlisted;
    bool refused = false;  // a restriction refused the change
  };

  bool Join(FileManager& file, Frame& frame);
  bool End(Frame& frame, bool ok);
  // Positions the related file on the first record whose linking fields
  // hold `values` (one per link, in LEFT's form); false when there is none.
  bool FirstRelated(const FileRelation& relation, const std::vector<std::string>& values);
  bool NextRelated(const FileRelation& relation, const std::vector<std::string>& wanted);
  std::vector<std::string> CurrentValues(const FileRelation& relation);
  std::vector<std::string> SavedValues(const FileRelation& relation);
  bool DeleteCurrent(Frame& frame);
  // Reads the record at the position again and deletes it.
  bool DeleteAt(const std::string& position, Frame& frame);
  bool DeleteRelated(FileRelation& relation, Frame& frame);
  bool UpdateRelated(FileRelation& relation, Frame& frame);
  // Puts LEFT's values into the related buffer's RIGHT fields; the values
  // the related records then hold in RIGHT.
  std::vector<std::string> LinkValues(const FileRelation& relation,
                                      const std::vector<std::string>& values);
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_FILE_RELATIONS_H_
