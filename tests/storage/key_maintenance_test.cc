#include "storage/key_maintenance.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/value_types.h"

namespace tentaria::storage {
namespace {

using Row = std::vector<uint8_t>;

// Rows of two one-byte fields A and B; keys on A (unique, OPT), on B (DUP),
// on A built on request, and on B kept in memory.
FileDescriptor Table() {
  FileDescriptor file;
  file.layout.record_size = 2;
  for (uint16_t i = 0; i < 2; ++i) {
    FieldDescriptor field;
    field.type = static_cast<uint8_t>(runtime::TypeCode::BYTE);
    field.offset = i;
    field.size = 1;
    file.layout.fields.push_back(field);
  }
  file.keys = {{"K:A", "", key_attribute::OPT, {{0, 0}}},
               {"K:B", "", key_attribute::DUP, {{1, 0}}},
               {"K:LATER", "", key_attribute::kBuiltOnRequest, {{0, 0}}},
               {"K:MEMORY", "", key_attribute::kInMemory, {{1, 0}}}};
  return file;
}

std::vector<KeyChange> Plan(const Row& old_row, const Row& new_row, bool appending = false) {
  std::vector<KeyChange> plan;
  Status s = PlanKeyChanges(Table(), 9, old_row, new_row, 77, KeyCollation(), appending, &plan);
  EXPECT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(plan.size(), 4u);
  return plan;
}

TEST(KeyMaintenanceTest, AddChangeAndDelete) {
  struct Case {
    const char* name;
    Row old_row, new_row;
    // per entry-kept key (A, B): unchanged, check for a duplicate
    bool a_unchanged, a_check, b_unchanged, b_check;
  } cases[] = {
      {"add", {}, {1, 2}, false, true, false, false},
      {"add with empty A", {}, {0, 2}, true, false, false, false},
      {"change of B", {1, 2}, {1, 3}, true, false, false, false},
      {"change of A", {1, 2}, {4, 2}, false, true, true, false},
      {"A emptied", {1, 2}, {0, 2}, false, false, true, false},
      {"delete", {1, 2}, {}, false, false, false, false},
  };
  for (const Case& c : cases) {
    std::vector<KeyChange> plan = Plan(c.old_row, c.new_row);
    EXPECT_EQ(plan[0].unchanged(), c.a_unchanged) << c.name;
    EXPECT_EQ(plan[0].check_duplicate(), c.a_check) << c.name;
    EXPECT_EQ(plan[1].unchanged(), c.b_unchanged) << c.name;
    EXPECT_EQ(plan[1].check_duplicate(), c.b_check) << c.name;
    EXPECT_EQ(plan[0].old_entry.has_value(), !c.old_row.empty() && c.old_row[0] != 0) << c.name;
    EXPECT_EQ(plan[1].new_entry.has_value(), !c.new_row.empty()) << c.name;
  }
}

TEST(KeyMaintenanceTest, DeferredAndSkippedKeysHaveNoEntries) {
  std::vector<KeyChange> plan = Plan({}, {1, 2});
  EXPECT_EQ(plan[2].upkeep, KeyUpkeep::kDeferred);
  EXPECT_EQ(plan[3].upkeep, KeyUpkeep::kSkipped);
  for (size_t key : {2, 3}) {
    EXPECT_FALSE(plan[key].old_entry.has_value() || plan[key].new_entry.has_value());
    EXPECT_TRUE(plan[key].unchanged());
  }
  // Appending defers every key but the one kept in memory.
  plan = Plan({}, {1, 2}, true);
  EXPECT_EQ(plan[0].upkeep, KeyUpkeep::kDeferred);
  EXPECT_EQ(plan[1].upkeep, KeyUpkeep::kDeferred);
  EXPECT_EQ(plan[3].upkeep, KeyUpkeep::kSkipped);
  EXPECT_FALSE(plan[0].new_entry.has_value());
}

TEST(KeyMaintenanceTest, OutOfDateNumberOnlyMovesDown) {
  EXPECT_EQ(OutOfDateAfterChange(0, 50), 50u);
  EXPECT_EQ(OutOfDateAfterChange(60, 50), 50u);
  EXPECT_EQ(OutOfDateAfterChange(40, 50), 40u);
  EXPECT_EQ(OutOfDateAfterChange(50, 50), 50u);
}

TEST(KeyMaintenanceTest, RefusesShortRows) {
  std::vector<KeyChange> plan;
  Row short_row = {1};
  EXPECT_FALSE(PlanKeyChanges(Table(), 9, {}, short_row, 1, KeyCollation(), false, &plan).ok());
}

}  // namespace
}  // namespace tentaria::storage
