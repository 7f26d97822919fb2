#include "storage/table_file.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/fault_injection.h"
#include "runtime/value_types.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

// Rows of a LONG number and a 10-byte name; a unique key on the number, a
// DUP NOCASE key on the name and a DUP OPT key on the name.
FileDescriptor Guests() {
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
  return file;
}

std::string Row(int32_t number, std::string name) {
  std::string row(14, ' ');
  std::memcpy(row.data(), &number, 4);
  name.resize(10, ' ');
  row.replace(4, 10, name);
  return row;
}

class TableFileTest : public ::testing::Test {
 protected:
  Status Open(const FileDescriptor& declaration, std::unique_ptr<TableFile>* table,
              const std::string& table_name = "GASTEN") {
    return TableFile::Open(platform::FileSystem::Default(), declaration,
                           dir_.File("guide.tvn") + "\\!" + table_name, testing::kShared, table);
  }
  std::unique_ptr<TableFile> OpenOk(const FileDescriptor& declaration) {
    std::unique_ptr<TableFile> table;
    Status s = Open(declaration, &table);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return table;
  }
  uint32_t AddOk(TableFile* table, const std::string& row) {
    uint32_t number = 0;
    Status s = table->Add(row, false, &number);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return number;
  }
  uint32_t Count(TableFile* table, int key = -1) {
    uint32_t count = 0;
    Status s = key < 0 ? table->Records(&count) : table->RecordsInKey(key, &count);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return count;
  }
  testing::TempDir dir_;
};

TEST_F(TableFileTest, CreateAddReopenAndRead) {
  uint32_t first = 0, second = 0;
  {
    std::unique_ptr<TableFile> table = OpenOk(Guests());
    ASSERT_TRUE(table);
    first = AddOk(table.get(), Row(7, "Jansen"));
    second = AddOk(table.get(), Row(3, ""));
    ASSERT_TRUE(table->Flush().ok());
  }
  FileDescriptor without_create = Guests();
  without_create.attributes = 0;
  std::unique_ptr<TableFile> table = OpenOk(without_create);
  ASSERT_TRUE(table);
  EXPECT_EQ(Count(table.get()), 2u);
  EXPECT_EQ(Count(table.get(), 0), 2u);
  EXPECT_EQ(Count(table.get(), 1), 2u);
  EXPECT_EQ(Count(table.get(), 2), 1u);  // the empty name has no OPT entry

  std::string row;
  ASSERT_TRUE(table->GetByPointer(second, &row).ok());
  EXPECT_EQ(row, Row(3, ""));
  EXPECT_EQ(table->GetByPointer(second + 100, &row).code(), 35);

  uint32_t found = 0;
  ASSERT_TRUE(table->GetByKey(1, Row(0, "JANSEN"), &row, &found).ok());
  EXPECT_EQ(found, first);
  EXPECT_EQ(row, Row(7, "Jansen"));
  EXPECT_EQ(table->GetByKey(2, Row(0, "JANSEN"), &row, &found).code(), 35);  // not NOCASE
  EXPECT_EQ(table->GetByKey(0, Row(8, ""), &row, &found).code(), 35);
}

TEST_F(TableFileTest, DuplicateKeyTakesBackEarlierEntries) {
  std::unique_ptr<TableFile> table = OpenOk(Guests());
  ASSERT_TRUE(table);
  uint32_t first = AddOk(table.get(), Row(7, "Jansen"));
  uint32_t number = 0;
  EXPECT_EQ(table->Add(Row(7, "Pietersen"), false, &number).code(), 40);
  EXPECT_GT(number, first);  // the number stays issued
  EXPECT_EQ(Count(table.get()), 1u);
  EXPECT_EQ(Count(table.get(), 1), 1u);
  std::string row;
  EXPECT_EQ(table->GetByPointer(number, &row).code(), 35);

  // A second table whose unique key comes last: the entries of the keys
  // before it are taken back.  The first table's changes are written out
  // first, as its open holds the file for writing until then.
  ASSERT_TRUE(table->Flush().ok());
  FileDescriptor last_unique = Guests();
  last_unique.keys = {last_unique.keys[1], last_unique.keys[2], last_unique.keys[0]};
  std::unique_ptr<TableFile> other;
  ASSERT_TRUE(Open(last_unique, &other, "ANDERE").ok());
  AddOk(other.get(), Row(1, "Smit"));
  EXPECT_EQ(other->Add(Row(1, "De Vries"), false, &number).code(), 40);
  EXPECT_EQ(Count(other.get()), 1u);
  EXPECT_EQ(Count(other.get(), 0), 1u);
  EXPECT_EQ(Count(other.get(), 1), 1u);
  uint32_t found = 0;
  EXPECT_EQ(other->GetByKey(0, Row(0, "De Vries"), &row, &found).code(), 35);
  EXPECT_EQ(other->GetByKey(1, Row(0, "De Vries"), &row, &found).code(), 35);
}

TEST_F(TableFileTest, DeleteRemovesRowAndEntries) {
  std::unique_ptr<TableFile> table = OpenOk(Guests());
  ASSERT_TRUE(table);
  uint32_t jansen = AddOk(table.get(), Row(7, "Jansen"));
  uint32_t smit = AddOk(table.get(), Row(8, "Jansen"));
  ASSERT_TRUE(table->Delete(jansen).ok());
  EXPECT_EQ(table->Delete(jansen).code(), 35);
  EXPECT_EQ(Count(table.get()), 1u);
  for (int key = 0; key < 3; ++key) EXPECT_EQ(Count(table.get(), key), 1u) << key;
  std::string row;
  uint32_t found = 0;
  ASSERT_TRUE(table->GetByKey(1, Row(0, "jansen"), &row, &found).ok());
  EXPECT_EQ(found, smit);
  EXPECT_EQ(table->GetByKey(0, Row(7, ""), &row, &found).code(), 35);
  // The number of a deleted row can be added again under the unique key.
  AddOk(table.get(), Row(7, "Bakker"));
}

TEST_F(TableFileTest, PutMovesEntriesOrChangesNothing) {
  std::unique_ptr<TableFile> table = OpenOk(Guests());
  ASSERT_TRUE(table);
  uint32_t jansen = AddOk(table.get(), Row(7, "Jansen"));
  AddOk(table.get(), Row(8, "Smit"));
  std::string row;
  uint32_t found = 0;

  ASSERT_TRUE(table->Put(jansen, Row(9, "")).ok());
  ASSERT_TRUE(table->GetByKey(0, Row(9, ""), &row, &found).ok());
  EXPECT_EQ(found, jansen);
  EXPECT_EQ(table->GetByKey(0, Row(7, ""), &row, &found).code(), 35);
  EXPECT_EQ(Count(table.get(), 2), 1u);  // the emptied name left the OPT key

  // Taking Smit's number is refused and leaves every key as it was.
  EXPECT_EQ(table->Put(jansen, Row(8, "Bakker")).code(), 40);
  ASSERT_TRUE(table->GetByPointer(jansen, &row).ok());
  EXPECT_EQ(row, Row(9, ""));
  ASSERT_TRUE(table->GetByKey(0, Row(9, ""), &row, &found).ok());
  EXPECT_EQ(found, jansen);
  EXPECT_EQ(table->GetByKey(1, Row(0, "Bakker"), &row, &found).code(), 35);
  for (int key = 0; key < 2; ++key) EXPECT_EQ(Count(table.get(), key), 2u) << key;

  EXPECT_EQ(table->Put(jansen + 100, Row(1, "")).code(), 35);
}

TEST_F(TableFileTest, AppendMarksKeysOutOfDate) {
  std::unique_ptr<TableFile> table = OpenOk(Guests());
  ASSERT_TRUE(table);
  uint32_t number = 0;
  ASSERT_TRUE(table->Add(Row(7, "Jansen"), true, &number).ok());
  ASSERT_TRUE(table->Add(Row(7, "Jansen"), true, &number).ok());  // no key, no duplicate
  EXPECT_EQ(Count(table.get()), 2u);
  EXPECT_EQ(Count(table.get(), 0), 0u);
  std::string row;
  EXPECT_TRUE(table->GetByPointer(number, &row).ok());
}

// The counters are kept in memory during a change and reach the file when
// it flushes, when the file is handed out, or not at all when the change
// is dropped; a change committed by another process is counted.
TEST_F(TableFileTest, CountsFollowFlushesDiscardsAndOtherProcesses) {
  std::unique_ptr<TableFile> table = OpenOk(Guests());
  ASSERT_TRUE(table);
  for (int i = 0; i < 10; ++i) AddOk(table.get(), Row(i, "Jansen"));
  ASSERT_TRUE(table->Flush().ok());
  for (int i = 10; i < 15; ++i) AddOk(table.get(), Row(i, i % 2 ? "" : "Visser"));
  EXPECT_EQ(Count(table.get()), 15u);
  EXPECT_EQ(Count(table.get(), 2), 13u);  // the OPT key leaves out blank names
  // Read where it lies, by a caller that goes to the file itself.
  std::string key = CountersKey(table->table_number(), kRowsCounter);
  std::string record;
  ASSERT_TRUE(table->record_file()->Get(key, &record).ok());
  Counters stored;
  ASSERT_TRUE(DecodeCounters(std::string_view(record).substr(key.size()), &stored).ok());
  EXPECT_EQ(stored.count, 15u);
  ASSERT_TRUE(table->record_file()->DiscardChanges().ok());
  EXPECT_EQ(Count(table.get()), 10u);
  EXPECT_EQ(Count(table.get(), 0), 10u);

  // Counted again after a discard that the table itself does not see.
  AddOk(table.get(), Row(20, "Bakker"));
  RecordFile* file = table->record_file();
  AddOk(table.get(), Row(21, "Bakker"));
  ASSERT_TRUE(file->DiscardChanges().ok());
  AddOk(table.get(), Row(22, "Bakker"));
  ASSERT_TRUE(table->Flush().ok());
  EXPECT_EQ(Count(table.get()), 11u);

  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::unique_ptr<TableFile> other;
    if (!Open(Guests(), &other).ok()) _exit(2);
    uint32_t number = 0;
    for (int i = 30; i < 37; ++i) {
      if (!other->Add(Row(i, "Smit"), false, &number).ok()) _exit(3);
    }
    _exit(other->Flush().ok() ? 0 : 4);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Count(table.get()), 18u);
  AddOk(table.get(), Row(40, "Smit"));
  EXPECT_EQ(Count(table.get(), 1), 19u);
  ASSERT_TRUE(table->Flush().ok());
  table.reset();
  table = OpenOk(Guests());
  EXPECT_EQ(Count(table.get()), 19u);
  EXPECT_EQ(Count(table.get(), 0), 19u);
}

// A flush that fails part-way leaves the counts of the file as they were,
// in this open and on disk.
TEST_F(TableFileTest, FailedFlushKeepsTheCountsOfTheFile) {
  platform::FaultInjectionFileSystem fs;
  std::unique_ptr<TableFile> table;
  ASSERT_TRUE(TableFile::Open(&fs, Guests(), dir_.File("guide.tvn") + "\\!GASTEN",
                              testing::kExclusive, &table)
                  .ok());
  for (int i = 0; i < 50; ++i) AddOk(table.get(), Row(i, "Jansen"));
  ASSERT_TRUE(table->Flush().ok());
  for (int i = 50; i < 80; ++i) AddOk(table.get(), Row(i, "Jansen"));
  fs.ResetCounts();
  fs.FailWrite(2);
  EXPECT_FALSE(table->Flush().ok());
  fs.ClearFaults();
  EXPECT_EQ(Count(table.get()), 50u);
  AddOk(table.get(), Row(90, "Jansen"));
  ASSERT_TRUE(table->Flush().ok());
  table.reset();
  table = OpenOk(Guests());
  ASSERT_TRUE(table);
  EXPECT_EQ(Count(table.get()), 51u);
  EXPECT_EQ(Count(table.get(), 1), 51u);
}

TEST_F(TableFileTest, OpenRefusals) {
  FileDescriptor declaration = Guests();
  declaration.attributes = 0;
  std::unique_ptr<TableFile> table;
  EXPECT_EQ(Open(declaration, &table).code(), 2);  // no file
  ASSERT_TRUE(OpenOk(Guests()));
  EXPECT_EQ(Open(declaration, &table, "ANDERE").code(), 2);  // no such table

  FileDescriptor changed = Guests();
  changed.layout.fields[1].string_length = 9;
  changed.layout.fields[1].size = 9;
  changed.layout.record_size = 13;
  EXPECT_EQ(Open(changed, &table).code(), 47);

  std::string row;
  uint32_t number = 0;
  table = OpenOk(Guests());
  ASSERT_TRUE(table);
  EXPECT_EQ(table->Add(Row(1, "").substr(0, 5), false, &number).code(), 47);
  EXPECT_EQ(table->GetByKey(3, Row(1, ""), &row, &number).code(), 47);
}

}  // namespace
}  // namespace tentaria::storage
