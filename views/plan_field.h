// Fields of the files a view reads: finding the file and field that a
// compiled variable names, writing values into record buffers (key values
// for positioning, the extremes of a key component), and clearing a
// record buffer.
#ifndef TENTARIA_VIEWS_PLAN_FIELD_H_
#define TENTARIA_VIEWS_PLAN_FIELD_H_

#include <optional>
#include <span>
#include <vector>

#include "storage/declared_file.h"
#include "views/expression_node.h"

namespace tentaria::views {

// One file of an open view, in the order in which the plan reads the
// files (pre-order of the view's description); `level` counts from 1.
struct PlanFile {
  storage::DeclaredFile* file = nullptr;
  int join_key = -1;  // the key linking fields join on, -1 for none
  int level = 0;
  bool no_memo = false;     // the file has memos and none is projected
  std::vector<int> fields;  // projected fields (all when not projected)
  std::vector<int> memos;   // projected memos that are not blobs
};

struct FieldRef {
  int file = 0;   // index into the view's files (level - 1)
  int field = 0;  // position in the file's field list
};

// The file and field a variable node names: its storage must be the whole
// of a declared field (not an array element) of one of the files.
std::optional<FieldRef> FieldOfVariable(std::span<const PlanFile> files, const Node& node);

// The level of a bound variable: the level of the file whose record buffer
// holds it, 0 for any other variable.
int LevelOfAddress(std::span<const PlanFile> files, const void* address);

// A variable node for a field, named by its label.
NodePtr FieldNode(storage::DeclaredFile& file, int field);

// Whether values can be written into a field of this type (the numeric
// types kept as binary integers or reals, dates, times and texts).
bool IsWritableField(const storage::FieldDescriptor& field);

// Writes a value into the field, converted to its type; texts are cut or
// blank-padded to the field.  Nothing happens for a field that is not
// writable.
void WriteField(storage::DeclaredFile& file, int field, const Value& value);

// Writes the lowest (or highest) value the field's type can hold, as its
// key orders it: for texts the characters of the lowest or highest
// collation weight.
void WriteExtreme(storage::DeclaredFile& file, int field, bool highest);

// Clears a record buffer as after a failed read: texts to spaces (CSTRING
// and PSTRING to empty), everything else to zero; memo buffers emptied.
void ClearRecord(storage::DeclaredFile& file);

// The character of the given collation weight in the locale's tables.
unsigned char CharacterOfWeight(int weight);

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_PLAN_FIELD_H_
