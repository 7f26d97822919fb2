// The relations between the guide's files, as data for the relation
// managers.  Every link joins campsite numbers one to one; no relation
// changes or deletes related records (the guide files are never changed).
// The linking fields may differ in type (TAG:NUMMER has two decimal
// places, the others none): a link compares values, not bytes.
#ifndef TENTARIA_GUIDE_RELATIONS_H_
#define TENTARIA_GUIDE_RELATIONS_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "guide/file_descriptors.h"

namespace tentaria::guide {

// What changing or deleting a record does to the related records.
enum class RelationMode : uint8_t {
  kNone = 0,
  kClear = 1,     // their linking fields are set to blank or zero
  kRestrict = 2,  // refused while related records exist
  kCascade = 3,   // the change is carried to them, or they are deleted
};

// One link: a record of `parent` and the record of `child` with the same
// value in the linking fields, each reached by its key over that field.
struct RelationLink {
  GuideFile parent;
  std::string_view parent_field;
  std::string_view parent_key;
  GuideFile child;
  std::string_view child_field;
  std::string_view child_key;
};

const std::vector<RelationLink>& RelationLinks();

// A relation as one file's relation manager holds it.
struct Relation {
  GuideFile FILE;           // the related file
  std::string_view LEFT;    // the linking field in this file
  std::string_view RIGHT;   // the linking field in the related file
  std::string_view HISKEY;  // the related file's key over RIGHT
  RelationMode UPDATEMODE = RelationMode::kNone;
  RelationMode DELETEMODE = RelationMode::kNone;
};

// The relations of a file, from either end of each link, in link order.
std::vector<Relation> RelationsOf(GuideFile file);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_RELATIONS_H_
