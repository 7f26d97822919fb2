#include "storage/table_maintenance.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/fault_injection.h"
#include "runtime/locale.h"
#include "runtime/value_types.h"
#include "storage/bytes.h"
#include "storage/key_build.h"
#include "storage/key_entry.h"
#include "storage/memo_segments.h"
#include "storage/table_name.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

// Rows of a LONG number and a 10-byte name, with a memo.  Keys: 0 unique
// on the number, 1 DUP NOCASE on the name, 2 DUP OPT on the name; with
// `extra_keys` also 3, built on request, on the number and 4, kept in
// memory, on the name.
FileDescriptor Guests(bool extra_keys = false) {
  FileDescriptor file;
  file.attributes = file_attribute::CREATE;
  file.layout.record_size = 14;
  FieldDescriptor number;
  number.type = static_cast<uint8_t>(TypeCode::LONG);
  number.size = 4;
  number.label = "G:NR";
  FieldDescriptor name;
  name.type = static_cast<uint8_t>(TypeCode::STRING);
  name.offset = 4;
  name.size = 10;
  name.string_length = 10;
  name.label = "G:NAAM";
  file.layout.fields = {number, name};
  file.keys = {{"G:KEYNR", "", key_attribute::PRIMARY, {{0, 0}}},
               {"G:KEYNAAM", "", key_attribute::DUP | key_attribute::NOCASE, {{1, 0}}},
               {"G:OPTNAAM", "", key_attribute::OPT | key_attribute::DUP, {{1, 0}}}};
  if (extra_keys) {
    file.keys.push_back({"G:LATERNR", "", key_attribute::kBuiltOnRequest, {{0, 0}}});
    file.keys.push_back(
        {"G:GEHEUGEN", "", key_attribute::kInMemory | key_attribute::DUP, {{1, 0}}});
  }
  file.memos = {{"G:OPM", "", 1000, 0}};
  return file;
}

std::string Row(int32_t number, std::string name) {
  std::string row(14, ' ');
  std::memcpy(row.data(), &number, 4);
  name.resize(10, ' ');
  row.replace(4, 10, name);
  return row;
}

uint32_t BigNumber(std::string_view bytes) {
  return LoadBigU32(reinterpret_cast<const uint8_t*>(bytes.data()));
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TableMaintenanceTest : public ::testing::Test {
 protected:
  std::string Name(const std::string& file, const std::string& table) {
    return dir_.File(file) + std::string(kTableSeparator) + table;
  }

  std::unique_ptr<TableFile> Open(const std::string& file, const std::string& table,
                                  const FileDescriptor& declaration = Guests()) {
    std::unique_ptr<TableFile> opened;
    Status s = TableFile::Open(fs_, declaration, Name(file, table), testing::kShared, &opened);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return opened;
  }

  uint32_t Add(TableFile* table, const std::string& row, const std::string& memo = "",
               bool append = false) {
    uint32_t number = 0;
    Status s = table->Add(row, append, &number);
    EXPECT_TRUE(s.ok()) << s.ToString();
    MemoOwner owner{table->record_file(), table->table_number(), number, table->oem()};
    s = WriteMemo(owner, table->definition(), 0, memo);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return number;
  }

  // A table of four guests, the last one appended; flushed and closed.
  // Returns the table number; *rows receives the record numbers.
  uint32_t MakeGuests(const std::string& file, const std::string& table,
                      std::vector<uint32_t>* rows = nullptr) {
    std::unique_ptr<TableFile> guests = Open(file, table);
    std::vector<uint32_t> added = {Add(guests.get(), Row(1, "Jansen"), "Komt elk jaar terug."),
                                   Add(guests.get(), Row(2, "de Vries"), std::string(600, 'v')),
                                   Add(guests.get(), Row(3, "")),
                                   Add(guests.get(), Row(4, "Peeters"), "Aangekondigd", true)};
    EXPECT_TRUE(guests->Flush().ok());
    if (rows != nullptr) *rows = added;
    return guests->table_number();
  }

  // Every record of a file (none of its tables may be open), after
  // checking the file's integrity.
  std::vector<std::string> Records(const std::string& file) {
    std::unique_ptr<RecordFile> opened = testing::OpenFile(dir_.File(file));
    if (!opened) return {};
    EXPECT_EQ(testing::Problems(opened.get()), std::vector<std::string>());
    return testing::AllRecords(opened.get());
  }

  static std::vector<std::string> OfTable(const std::vector<std::string>& records, uint32_t table) {
    std::vector<std::string> found;
    for (const std::string& record : records) {
      if (record.size() >= 5 && record.starts_with(TablePrefix(table))) found.push_back(record);
    }
    return found;
  }

  static std::map<uint8_t, int> KindsOf(const std::vector<std::string>& records) {
    std::map<uint8_t, int> kinds;
    for (const std::string& record : records) ++kinds[static_cast<uint8_t>(record[4])];
    return kinds;
  }

  Counters CountersOf(TableFile* table, uint8_t subtype) {
    std::string key = CountersKey(table->table_number(), subtype);
    std::string record;
    Counters counters;
    EXPECT_TRUE(table->record_file()->Get(key, &record).ok());
    EXPECT_TRUE(DecodeCounters(std::string_view(record).substr(key.size()), &counters).ok());
    return counters;
  }

  std::vector<std::string> KeyEntries(TableFile* table, uint8_t key_number) {
    std::string prefix = KeyEntryPrefix(table->table_number(), key_number);
    std::vector<std::string> entries;
    for (const std::string& record : testing::AllRecords(table->record_file())) {
      if (record.starts_with(prefix)) entries.push_back(record);
    }
    return entries;
  }

  platform::FileSystem* fs_ = platform::FileSystem::Default();
  testing::TempDir dir_;
};

// --- EMPTY and REMOVE --------------------------------------------------------

TEST_F(TableMaintenanceTest, EmptyKeepsDefinitionSortOrderAndOtherTables) {
  uint32_t guests = MakeGuests("guide.tvn", "GASTEN");
  uint32_t others = MakeGuests("guide.tvn", "ANDEREN");
  std::vector<std::string> before = Records("guide.tvn");
  {
    std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN");
    ASSERT_TRUE(EmptyTable(AccessOf(table.get())).ok());
    ASSERT_TRUE(table->Flush().ok());
  }
  std::vector<std::string> after = Records("guide.tvn");
  EXPECT_EQ(OfTable(after, others), OfTable(before, others));
  // Definition blocks, sort order and the counters (rows and three keys).
  EXPECT_EQ(
      KindsOf(OfTable(after, guests)),
      (std::map<uint8_t, int>{{kCountersKind, 4}, {kDefinitionBlockKind, 1}, {kSortOrderKind, 1}}));
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN");
  for (uint8_t subtype : {kRowsCounter, uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    Counters counters = CountersOf(table.get(), subtype);
    EXPECT_EQ(counters.count, 0u);
    EXPECT_EQ(counters.out_of_date, 0u);
  }
  // The emptied table takes rows again, under its old number.
  EXPECT_EQ(table->table_number(), guests);
  Add(table.get(), Row(1, "Jansen"));
  uint32_t count = 0;
  ASSERT_TRUE(table->Records(&count).ok());
  EXPECT_EQ(count, 1u);
}

TEST_F(TableMaintenanceTest, RemoveDeletesTheTableAndWithTheLastTableTheFile) {
  uint32_t guests = MakeGuests("guide.tvn", "GASTEN");
  uint32_t others = MakeGuests("guide.tvn", "ANDEREN");
  std::vector<std::string> before = Records("guide.tvn");

  ASSERT_TRUE(RemoveTable(fs_, Name("guide.tvn", "gasten"), {}).ok());
  std::vector<std::string> after = Records("guide.tvn");
  EXPECT_TRUE(OfTable(after, guests).empty());
  EXPECT_EQ(OfTable(after, others), OfTable(before, others));
  for (const std::string& record : after) EXPECT_NE(record.substr(0, 7), "\xFEGASTEN");
  std::unique_ptr<TableFile> gone;
  FileDescriptor no_create = Guests();
  no_create.attributes = 0;
  EXPECT_EQ(
      TableFile::Open(fs_, no_create, Name("guide.tvn", "GASTEN"), testing::kShared, &gone).code(),
      2);
  EXPECT_EQ(RemoveTable(fs_, Name("guide.tvn", "GASTEN"), {}).code(), 2);

  ASSERT_TRUE(RemoveTable(fs_, Name("guide.tvn", "ANDEREN"), {}).ok());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("guide.tvn")));
  EXPECT_EQ(RemoveTable(fs_, Name("guide.tvn", "ANDEREN"), {}).code(), 2);
}

// --- COPY and RENAME of a table ------------------------------------------------

TEST_F(TableMaintenanceTest, CopyRenumbersEveryRecordAboveTheTargetsNumbers) {
  std::vector<uint32_t> rows;
  uint32_t source_table = MakeGuests("guide.tvn", "GASTEN", &rows);
  // The target holds another table whose numbers run past the source's.
  uint32_t prices = 0;
  {
    std::unique_ptr<TableFile> table = Open("target.tvn", "PRIJZEN");
    for (int i = 0; i < 12; ++i) Add(table.get(), Row(i, "prijs"));
    ASSERT_TRUE(table->Flush().ok());
    prices = table->table_number();
  }
  std::vector<std::string> source_before = Records("guide.tvn");
  std::vector<std::string> target_before = Records("target.tvn");

  ASSERT_TRUE(CopyTable(fs_, Name("guide.tvn", "GASTEN"), Name("target.tvn", "GASTEN"), {}).ok());
  EXPECT_EQ(Records("guide.tvn"), source_before);
  std::vector<std::string> target_after = Records("target.tvn");
  EXPECT_EQ(OfTable(target_after, prices), OfTable(target_before, prices));

  std::unique_ptr<TableFile> source = Open("guide.tvn", "GASTEN");
  std::unique_ptr<TableFile> copy = Open("target.tvn", "GASTEN");
  // The new number is the next of the target's counter, and it is the
  // offset of every record number.
  uint32_t offset = copy->table_number();
  EXPECT_EQ(offset, 1u + 12u + 1u);
  EXPECT_EQ(KindsOf(OfTable(target_after, offset)), KindsOf(OfTable(source_before, source_table)));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    std::string row, copied;
    ASSERT_TRUE(source->GetByPointer(rows[i], &row).ok());
    ASSERT_TRUE(copy->GetByPointer(rows[i] + offset, &copied).ok());
    EXPECT_EQ(copied, row);
    std::string memo, copied_memo;
    ASSERT_TRUE(ReadMemo({source->record_file(), source_table, rows[i], false},
                         source->definition(), 0, &memo)
                    .ok());
    ASSERT_TRUE(ReadMemo({copy->record_file(), offset, rows[i] + offset, false}, copy->definition(),
                         0, &copied_memo)
                    .ok());
    EXPECT_EQ(copied_memo, memo);
    // The key entries name the new numbers (the appended row has none).
    uint32_t found_number = 0;
    Status s = copy->GetByKey(0, row, &copied, &found_number);
    if (i + 1 < rows.size()) {
      ASSERT_TRUE(s.ok()) << s.ToString();
      EXPECT_EQ(found_number, rows[i] + offset);
    } else {
      EXPECT_EQ(s.code(), 35);
    }
  }
  // Counts stay; out-of-date numbers move with the rows.
  for (uint8_t subtype : {kRowsCounter, uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    Counters before = CountersOf(source.get(), subtype);
    Counters after = CountersOf(copy.get(), subtype);
    EXPECT_EQ(after.count, before.count);
    EXPECT_EQ(after.out_of_date, before.out_of_date == 0 ? 0 : before.out_of_date + offset);
  }
  EXPECT_EQ(CountersOf(copy.get(), 0).out_of_date, rows.back() + offset);
  // The target's counter ends at the highest number used.
  uint32_t next = 0;
  ASSERT_TRUE(copy->Add(Row(9, "nieuw"), false, &next).ok());
  EXPECT_EQ(next, rows.back() + offset + 1);
}

TEST_F(TableMaintenanceTest, CopyReplacesATableOfTheSameNameButNeverItself) {
  MakeGuests("guide.tvn", "GASTEN");
  {
    std::unique_ptr<TableFile> old = Open("target.tvn", "GASTEN");
    Add(old.get(), Row(77, "Oud"), "oude notitie");
    ASSERT_TRUE(old->Flush().ok());
  }
  ASSERT_TRUE(CopyTable(fs_, Name("guide.tvn", "GASTEN"), Name("target.tvn", "GASTEN"), {}).ok());
  std::unique_ptr<TableFile> copy = Open("target.tvn", "GASTEN");
  uint32_t count = 0;
  ASSERT_TRUE(copy->Records(&count).ok());
  EXPECT_EQ(count, 4u);
  std::string found;
  uint32_t number = 0;
  EXPECT_EQ(copy->GetByKey(0, Row(77, ""), &found, &number).code(), 35);
  copy.reset();
  // Only the copy's table is left: no record of the old one remains.
  std::vector<std::string> records = Records("target.tvn");
  std::vector<std::string> names;
  size_t of_tables = 0;
  for (const std::string& record : records) {
    if (record[0] == '\xFE') names.push_back(record);
  }
  ASSERT_EQ(names.size(), 1u);
  of_tables = OfTable(records, BigNumber(names[0].substr(names[0].size() - 4))).size();
  EXPECT_EQ(of_tables, records.size() - 1);

  std::vector<std::string> before = Records("guide.tvn");
  EXPECT_EQ(CopyTable(fs_, Name("guide.tvn", "GASTEN"), Name("guide.tvn", "gasten"), {}).code(), 5);
  EXPECT_EQ(Records("guide.tvn"), before);
}

TEST_F(TableMaintenanceTest, CopyWithinOneFileMakesASecondTable) {
  uint32_t guests = MakeGuests("guide.tvn", "GASTEN");
  ASSERT_TRUE(CopyTable(fs_, Name("guide.tvn", "GASTEN"), Name("guide.tvn", "KOPIE"), {}).ok());
  std::vector<std::string> records = Records("guide.tvn");
  std::unique_ptr<TableFile> copy = Open("guide.tvn", "KOPIE");
  EXPECT_GT(copy->table_number(), guests);
  EXPECT_EQ(OfTable(records, copy->table_number()).size(), OfTable(records, guests).size());
  std::string found;
  uint32_t number = 0;
  ASSERT_TRUE(copy->GetByKey(1, Row(0, "JANSEN"), &found, &number).ok());
  EXPECT_EQ(found, Row(1, "Jansen"));
}

TEST_F(TableMaintenanceTest, RenameMovesTheTableAndRefusesAnExistingName) {
  uint32_t guests = MakeGuests("guide.tvn", "GASTEN");
  uint32_t others = MakeGuests("guide.tvn", "ANDEREN");
  MakeGuests("target.tvn", "BEZET");
  std::vector<std::string> source_before = Records("guide.tvn");
  std::vector<std::string> target_before = Records("target.tvn");

  EXPECT_EQ(RenameTable(fs_, Name("guide.tvn", "GASTEN"), Name("target.tvn", "BEZET"), {}).code(),
            5);
  EXPECT_EQ(RenameTable(fs_, Name("guide.tvn", "GASTEN"), Name("guide.tvn", "ANDEREN"), {}).code(),
            5);
  EXPECT_EQ(Records("guide.tvn"), source_before);
  EXPECT_EQ(Records("target.tvn"), target_before);

  ASSERT_TRUE(
      RenameTable(fs_, Name("guide.tvn", "GASTEN"), Name("target.tvn", "VERHUISD"), {}).ok());
  std::vector<std::string> source_after = Records("guide.tvn");
  EXPECT_TRUE(OfTable(source_after, guests).empty());
  EXPECT_EQ(OfTable(source_after, others), OfTable(source_before, others));
  EXPECT_EQ(source_after.size(), source_before.size() - OfTable(source_before, guests).size() - 1);
  std::unique_ptr<TableFile> moved = Open("target.tvn", "VERHUISD");
  uint32_t count = 0;
  ASSERT_TRUE(moved->Records(&count).ok());
  EXPECT_EQ(count, 4u);
}

TEST_F(TableMaintenanceTest, RenameWithinOneFileKeepsTheTablesNumber) {
  uint32_t guests = MakeGuests("guide.tvn", "GASTEN");
  std::vector<std::string> before = Records("guide.tvn");
  ASSERT_TRUE(RenameTable(fs_, Name("guide.tvn", "GASTEN"), Name("guide.tvn", "GAST"), {}).ok());
  std::vector<std::string> after = Records("guide.tvn");
  EXPECT_EQ(OfTable(after, guests), OfTable(before, guests));
  std::unique_ptr<TableFile> renamed = Open("guide.tvn", "GAST");
  EXPECT_EQ(renamed->table_number(), guests);
  EXPECT_EQ(after.size(), before.size());
}

// --- COPY and RENAME of a whole file -------------------------------------------

TEST_F(TableMaintenanceTest, WholeFilesAreCopiedWholeAndMovedOnlyOntoFreeNames) {
  MakeGuests("a.tvn", "UNNAMED");
  MakeGuests("old.tvn", "UNNAMED");
  std::string bytes = FileBytes(dir_.File("a.tvn"));

  ASSERT_TRUE(CopyTable(fs_, dir_.File("a.tvn"), dir_.File("old.tvn"), {}).ok());
  EXPECT_EQ(FileBytes(dir_.File("old.tvn")), bytes);
  EXPECT_EQ(CopyTable(fs_, dir_.File("a.tvn"), dir_.File("a.tvn"), {}).code(), 5);
  EXPECT_EQ(CopyTable(fs_, dir_.File("missing.tvn"), dir_.File("c.tvn"), {}).code(), 2);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("c.tvn")));

  EXPECT_EQ(RenameTable(fs_, dir_.File("a.tvn"), dir_.File("old.tvn"), {}).code(), 5);
  EXPECT_EQ(FileBytes(dir_.File("a.tvn")), bytes);
  ASSERT_TRUE(RenameTable(fs_, dir_.File("a.tvn"), dir_.File("moved.tvn"), {}).ok());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("a.tvn")));
  EXPECT_EQ(FileBytes(dir_.File("moved.tvn")), bytes);
  // Nothing but the files named is left in the folder.
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2u);
}

// --- Crashes ------------------------------------------------------------------

TEST_F(TableMaintenanceTest, RenameCutAtEveryPointLeavesTheTableWholeInAFile) {
  MakeGuests("guide.tvn", "GASTEN");
  MakeGuests("target.tvn", "ANDER");
  const std::string source = FileBytes(dir_.File("guide.tvn"));
  const std::string target = FileBytes(dir_.File("target.tvn"));
  auto restore = [&] {
    test_support::WriteTextFile(dir_.File("guide.tvn"), source);
    test_support::WriteTextFile(dir_.File("target.tvn"), target);
  };
  auto rename = [&](platform::FileSystem* fs) {
    return RenameTable(fs, Name("guide.tvn", "GASTEN"), Name("target.tvn", "VERHUISD"), {});
  };
  int64_t points = 0;
  {
    platform::FaultInjectionFileSystem counting;
    ASSERT_TRUE(rename(&counting).ok());
    points = counting.point_count();
  }
  ASSERT_GT(points, 4);
  FileDescriptor existing = Guests();
  existing.attributes = 0;
  for (int64_t cut = 0; cut <= points; ++cut) {
    SCOPED_TRACE(cut);
    restore();
    {
      platform::FaultInjectionFileSystem faulty;
      faulty.PowerLossAfterPoint(cut);
      rename(&faulty);
      ASSERT_TRUE(faulty.DropUnsyncedData().ok());
    }
    Records("guide.tvn");
    Records("target.tvn");
    int whole = 0;
    for (const std::string& name : {Name("guide.tvn", "GASTEN"), Name("target.tvn", "VERHUISD")}) {
      std::unique_ptr<TableFile> table;
      if (!TableFile::Open(fs_, existing, name, testing::kShared, &table).ok()) continue;
      uint32_t count = 0;
      ASSERT_TRUE(table->Records(&count).ok());
      EXPECT_EQ(count, 4u);
      ++whole;
    }
    EXPECT_GE(whole, 1);
  }
}

TEST_F(TableMaintenanceTest, AFailedFileCopyLeavesTheOldTargetInPlace) {
  MakeGuests("a.tvn", "UNNAMED");
  MakeGuests("old.tvn", "OUD");
  const std::string old_bytes = FileBytes(dir_.File("old.tvn"));
  platform::FaultInjectionFileSystem faulty;
  faulty.FailWrite(1);
  EXPECT_EQ(CopyTable(&faulty, dir_.File("a.tvn"), dir_.File("old.tvn"), {}).code(), 5);
  EXPECT_TRUE(FileBytes(dir_.File("old.tvn")) == old_bytes);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("old.tvn.$copy")));
}

// --- Building keys --------------------------------------------------------------

class KeyBuildTest : public TableMaintenanceTest {
 protected:
  void TearDown() override { runtime::ResetLocale(); }

  // The names of the rows in the order of key `key_number` (a DUP key).
  std::vector<std::string> NamesInKeyOrder(TableFile* table, uint8_t key_number) {
    std::vector<std::string> names;
    for (const std::string& entry : KeyEntries(table, key_number)) {
      std::string row;
      EXPECT_TRUE(table->GetByPointer(BigNumber(entry.substr(entry.size() - 4)), &row).ok());
      names.push_back(row.substr(4, row.find_last_not_of(' ') - 3));
    }
    return names;
  }
};

const std::vector<std::string> kNames = {"Jansen", "de Vries", "", "JANSEN", "Peeters", "", "Maes"};

TEST_F(KeyBuildTest, BuildAfterAppendGivesTheEntriesAndCountsOfRowsAddedWithThem) {
  {
    std::unique_ptr<TableFile> reference = Open("reference.tvn", "GASTEN");
    for (size_t i = 0; i < kNames.size(); ++i) Add(reference.get(), Row(int32_t(i), kNames[i]));
    ASSERT_TRUE(reference->Flush().ok());
  }
  {
    std::unique_ptr<TableFile> table = Open("appended.tvn", "GASTEN");
    std::vector<uint32_t> rows;
    for (size_t i = 0; i < kNames.size(); ++i) {
      rows.push_back(Add(table.get(), Row(int32_t(i), kNames[i]), "", i >= 3));
    }
    Counters marked = CountersOf(table.get(), 2);
    EXPECT_EQ(marked.out_of_date, rows[3]);
    EXPECT_EQ(marked.count, 2u);  // the third row's name is blank
    TableAccess access = AccessOf(table.get());
    ASSERT_TRUE(BuildFile(&access, {}).ok());
    ASSERT_TRUE(table->Flush().ok());
  }
  EXPECT_EQ(Records("appended.tvn"), Records("reference.tvn"));
}

TEST_F(KeyBuildTest, AFailedOrCancelledBuildLeavesTheKeyOutOfDateFromItsStart) {
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN");
  for (int32_t i = 0; i < 3; ++i) Add(table.get(), Row(i, "vast"));
  uint32_t first = Add(table.get(), Row(10, "A"), "", true);
  uint32_t twin = Add(table.get(), Row(10, "B"), "", true);
  Add(table.get(), Row(11, "C"), "", true);
  TableAccess access = AccessOf(table.get());

  EXPECT_EQ(BuildKey(&access, 0, {}).code(), 40);
  EXPECT_EQ(CountersOf(table.get(), 0).out_of_date, first);
  ASSERT_TRUE(table->Delete(twin).ok());
  ASSERT_TRUE(BuildKey(&access, 0, {}).ok());
  Counters built = CountersOf(table.get(), 0);
  EXPECT_EQ(built.count, 5u);
  EXPECT_EQ(built.out_of_date, 0u);
  std::string found;
  uint32_t number = 0;
  ASSERT_TRUE(table->GetByKey(0, Row(10, ""), &found, &number).ok());
  EXPECT_EQ(number, first);

  // A cancel part-way through: the progress handler says no on the
  // second row.
  uint32_t later = Add(table.get(), Row(20, "D"), "", true);
  for (int32_t i = 21; i < 25; ++i) Add(table.get(), Row(i, "E"), "", true);
  BuildOptions cancelling;
  uint32_t seen = 0;
  cancelling.progress = [&](size_t key_number, uint32_t done, uint32_t rows) {
    EXPECT_EQ(key_number, 0u);
    EXPECT_EQ(rows, 10u);
    seen = done;
    return done < 2;
  };
  EXPECT_EQ(BuildKey(&access, 0, cancelling).code(), 93);
  EXPECT_EQ(seen, 2u);
  EXPECT_EQ(CountersOf(table.get(), 0).out_of_date, later);
  ASSERT_TRUE(BuildKey(&access, 0, {}).ok());
  EXPECT_EQ(CountersOf(table.get(), 0).count, 10u);
  EXPECT_EQ(KeyEntries(table.get(), 0).size(), 10u);

  // A cancelled full build of a complete key leaves it marked, not
  // complete with entries missing.
  BuildOptions full_cancelled;
  full_cancelled.full_build = true;
  full_cancelled.progress = [](size_t, uint32_t, uint32_t) { return false; };
  EXPECT_EQ(BuildKey(&access, 1, full_cancelled).code(), 93);
  EXPECT_EQ(CountersOf(table.get(), 1).out_of_date, 1u);
  ASSERT_TRUE(BuildKey(&access, 1, {}).ok());
  EXPECT_EQ(KeyEntries(table.get(), 1).size(), 10u);
}

TEST_F(KeyBuildTest, OnlyAFullBuildRebuildsACompleteKey) {
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN");
  for (size_t i = 0; i < kNames.size(); ++i) Add(table.get(), Row(int32_t(i), kNames[i]));
  std::vector<std::string> entries = KeyEntries(table.get(), 1);
  ASSERT_TRUE(table->record_file()->Delete(entries[2]).ok());
  TableAccess access = AccessOf(table.get());
  ASSERT_TRUE(BuildFile(&access, {}).ok());
  EXPECT_EQ(KeyEntries(table.get(), 1).size(), entries.size() - 1);
  BuildOptions full;
  full.full_build = true;
  ASSERT_TRUE(BuildFile(&access, full).ok());
  EXPECT_EQ(KeyEntries(table.get(), 1), entries);
  EXPECT_EQ(CountersOf(table.get(), 1).count, entries.size());
}

TEST_F(KeyBuildTest, FullBuildTakesTheLocalesSortOrder) {
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN", Guests(true));
  int32_t number = 0;
  for (const char* name : {"alfa", "Bravo", "charlie", "delta"}) {
    Add(table.get(), Row(++number, name));
  }
  TableAccess access = AccessOf(table.get());
  ASSERT_TRUE(BuildKey(&access, 3, {}).ok());
  EXPECT_EQ(NamesInKeyOrder(table.get(), 1),
            (std::vector<std::string>{"alfa", "Bravo", "charlie", "delta"}));

  runtime::CollationTables& locale = runtime::CurrentLocale().collation();
  runtime::SetSequenceWeights(&locale, "DCBA");
  BuildOptions full;
  full.full_build = true;
  ASSERT_TRUE(BuildFile(&access, full).ok());
  EXPECT_TRUE(access.collation.tables() == locale);
  EXPECT_FALSE(access.collation.oem());
  std::string sort_order;
  std::string key = SortOrderKey(table->table_number());
  ASSERT_TRUE(table->record_file()->Get(key, &sort_order).ok());
  EXPECT_EQ(sort_order.substr(key.size()), EncodeSortOrder(locale, false));
  EXPECT_EQ(NamesInKeyOrder(table.get(), 1),
            (std::vector<std::string>{"delta", "charlie", "Bravo", "alfa"}));
  // The key built only on request waits for its own build under the new
  // order.
  EXPECT_EQ(CountersOf(table.get(), 3).out_of_date, 1u);
}

TEST_F(KeyBuildTest, InMemoryKeysGoToTheStoreAndKeysBuiltOnRequestWait) {
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN", Guests(true));
  for (size_t i = 0; i < kNames.size(); ++i) Add(table.get(), Row(int32_t(i), kNames[i]));
  uint32_t waiting = CountersOf(table.get(), 3).out_of_date;
  ASSERT_NE(waiting, 0u);
  TableAccess access = AccessOf(table.get());

  ASSERT_TRUE(BuildKey(&access, 4, {}).ok());  // without a store: left alone
  MemoryKeyStore store;
  BuildOptions options;
  options.memory_keys = &store;
  ASSERT_TRUE(BuildFile(&access, options).ok());
  ASSERT_EQ(store.keys.count(4), 1u);
  EXPECT_EQ(store.keys[4].size(), kNames.size());
  EXPECT_TRUE(KeyEntries(table.get(), 4).empty());
  EXPECT_EQ(CountersOf(table.get(), 3).out_of_date, waiting);
  EXPECT_TRUE(KeyEntries(table.get(), 3).empty());
  // The store holds the entries the file would: the first is a blank name.
  KeyedRecord expected;
  bool has_entry = false;
  std::string blank = Row(2, "");
  ASSERT_TRUE(BuildKeyEntry(table->definition(), table->table_number(), 4,
                            {reinterpret_cast<const uint8_t*>(blank.data()), blank.size()}, 4,
                            table->collation(), &expected, &has_entry)
                  .ok());
  EXPECT_EQ(store.keys[4].begin()->first, expected.key);
  EXPECT_EQ(BuildKey(&access, 9, options).code(), 47);
}

TEST_F(KeyBuildTest, DeletingARowLeavesAKeyBuiltOnRequestOutOfDateFromIt) {
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN", Guests(true));
  std::vector<uint32_t> numbers;
  for (size_t i = 0; i < kNames.size(); ++i) {
    numbers.push_back(Add(table.get(), Row(int32_t(i), kNames[i])));
  }
  TableAccess access = AccessOf(table.get());
  ASSERT_TRUE(BuildKey(&access, 3, {}).ok());
  ASSERT_EQ(KeyEntries(table.get(), 3).size(), kNames.size());

  ASSERT_TRUE(table->Delete(numbers[4]).ok());
  EXPECT_EQ(CountersOf(table.get(), 3).out_of_date, numbers[4]);
  ASSERT_TRUE(BuildKey(&access, 3, {}).ok());
  std::vector<std::string> entries = KeyEntries(table.get(), 3);
  ASSERT_EQ(entries.size(), kNames.size() - 1);
  for (const std::string& entry : entries) {
    std::string row;
    EXPECT_TRUE(table->GetByPointer(BigNumber(entry.substr(entry.size() - 4)), &row).ok());
  }
  EXPECT_EQ(CountersOf(table.get(), 3).count, kNames.size() - 1);
}

TEST_F(KeyBuildTest, PackCutsTheFileToItsUsedArea) {
  std::vector<uint32_t> rows;
  {
    std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN");
    for (int32_t i = 0; i < 200; ++i) {
      rows.push_back(Add(table.get(), Row(i, "gast"), std::string(900, char('a' + i % 26))));
    }
    ASSERT_TRUE(table->Flush().ok());
    for (size_t i = 5; i < rows.size(); ++i) {
      ASSERT_TRUE(table->Delete(rows[i]).ok());
      ASSERT_TRUE(
          DeleteRowMemos({table->record_file(), table->table_number(), rows[i], false}).ok());
    }
    ASSERT_TRUE(table->Flush().ok());
    uint64_t before = std::filesystem::file_size(dir_.File("guide.tvn"));
    TableAccess access = AccessOf(table.get());
    ASSERT_TRUE(PackFile(&access, {}).ok());
    uint64_t after = std::filesystem::file_size(dir_.File("guide.tvn"));
    EXPECT_LT(after, before / 4);
    EXPECT_EQ(after, table->record_file()->header().UsedEnd());
  }
  EXPECT_FALSE(Records("guide.tvn").empty());
  std::unique_ptr<TableFile> table = Open("guide.tvn", "GASTEN");
  for (size_t i = 0; i < 5; ++i) {
    std::string memo;
    ASSERT_TRUE(ReadMemo({table->record_file(), table->table_number(), rows[i], false},
                         table->definition(), 0, &memo)
                    .ok());
    EXPECT_EQ(memo, std::string(900, char('a' + i % 26)));
  }
}

}  // namespace
}  // namespace tentaria::storage
