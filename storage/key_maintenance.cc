#include "storage/key_maintenance.h"

#include "storage/key_entry.h"

namespace tentaria::storage {
namespace {

Status EntryOf(const FileDescriptor& file, uint32_t table, size_t key_number,
               std::span<const uint8_t> row, uint32_t record_number, const KeyCollation& collation,
               std::optional<KeyedRecord>* entry) {
  if (row.empty()) return Status::Ok();
  KeyedRecord built;
  bool has_entry = false;
  Status s =
      BuildKeyEntry(file, table, key_number, row, record_number, collation, &built, &has_entry);
  if (s.ok() && has_entry) *entry = std::move(built);
  return s;
}

}  // namespace

KeyUpkeep UpkeepOf(const KeyDescriptor& key, bool appending) {
  if (key.Has(key_attribute::kInMemory)) return KeyUpkeep::kSkipped;
  if (appending || key.Has(key_attribute::kBuiltOnRequest)) return KeyUpkeep::kDeferred;
  return KeyUpkeep::kEntries;
}

bool KeyChange::unchanged() const {
  if (old_entry.has_value() != new_entry.has_value()) return false;
  return !old_entry.has_value() ||
         (old_entry->key == new_entry->key && old_entry->data == new_entry->data);
}

Status PlanKeyChanges(const FileDescriptor& file, uint32_t table, std::span<const uint8_t> old_row,
                      std::span<const uint8_t> new_row, uint32_t record_number,
                      const KeyCollation& collation, bool appending, std::vector<KeyChange>* plan) {
  plan->clear();
  for (size_t key_number = 0; key_number < file.keys.size(); ++key_number) {
    KeyChange change;
    change.key_number = key_number;
    change.upkeep = UpkeepOf(file.keys[key_number], appending);
    change.dup = file.keys[key_number].Has(key_attribute::DUP);
    if (change.upkeep == KeyUpkeep::kEntries) {
      Status s =
          EntryOf(file, table, key_number, old_row, record_number, collation, &change.old_entry);
      if (s.ok()) {
        s = EntryOf(file, table, key_number, new_row, record_number, collation, &change.new_entry);
      }
      if (!s.ok()) return s;
    }
    plan->push_back(std::move(change));
  }
  return Status::Ok();
}

uint32_t OutOfDateAfterChange(uint32_t out_of_date, uint32_t record_number) {
  return out_of_date == 0 || out_of_date > record_number ? record_number : out_of_date;
}

}  // namespace tentaria::storage
