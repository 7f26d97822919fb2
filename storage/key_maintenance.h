// The rules that keep a table's key entries in step with its rows: for an
// add, change or delete, which entry of each key goes and which comes, and
// which keys are only marked out of date.  The caller applies the plan to
// the record tree in key order, testing for duplicates where the plan says
// so and putting back the keys already changed when one is found.
#ifndef TENTARIA_STORAGE_KEY_MAINTENANCE_H_
#define TENTARIA_STORAGE_KEY_MAINTENANCE_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/status.h"
#include "storage/key_collation.h"
#include "storage/table_definition.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {

enum class KeyUpkeep {
  kEntries,   // entries follow every change
  kDeferred,  // no entries now; the key's out-of-date number is lowered
  kSkipped,   // kept in memory by the build, never in the file
};

// A key with the in-memory bit is skipped; one built on request, or any
// key while rows are appended without their entries, is deferred.
KeyUpkeep UpkeepOf(const KeyDescriptor& key, bool appending);

struct KeyChange {
  size_t key_number = 0;
  KeyUpkeep upkeep = KeyUpkeep::kEntries;
  bool dup = false;  // the key allows equal values
  // The entries of the old and the new row; absent for a row that is not
  // there, for an empty value of an OPT key, and for keys without entries.
  std::optional<KeyedRecord> old_entry;
  std::optional<KeyedRecord> new_entry;

  // Nothing to do in the tree: the entries are equal or both absent.
  bool unchanged() const;
  // The new entry must be refused when a record with its key exists: a
  // changed entry of a key without DUP.
  bool check_duplicate() const { return new_entry.has_value() && !dup && !unchanged(); }
};

// The plan for one row, one change per key in definition order.  An empty
// span stands for no row: old_row empty for an add, new_row empty for a
// delete.  Fails as BuildKeyEntry does.
Status PlanKeyChanges(const FileDescriptor& file, uint32_t table, std::span<const uint8_t> old_row,
                      std::span<const uint8_t> new_row, uint32_t record_number,
                      const KeyCollation& collation, bool appending, std::vector<KeyChange>* plan);

// The out-of-date number of a deferred key after a change at record
// number n: n when the key was complete (0) or out of date only from a
// later row; otherwise as it was.
uint32_t OutOfDateAfterChange(uint32_t out_of_date, uint32_t record_number);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_KEY_MAINTENANCE_H_
