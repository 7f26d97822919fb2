// Adding, changing and deleting rows through the Tavrin driver: keys kept
// in step, duplicates refused without a trace, counts, watched changes.
#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "storage/error_texts.h"
#include "tests/storage/driver_fixture.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::kByName;
using testing::kByNumber;
using testing::NameOf;
using testing::NumberOf;
using testing::SetRow;

uint32_t Count(DeclaredFile& file, int key = -1) {
  uint32_t count = 0;
  EXPECT_EQ(key < 0 ? file.Records(&count) : file.Records(static_cast<size_t>(key), &count), 0);
  return count;
}

TEST_F(DriverTest, ADuplicateUniqueKeyIsRefusedAndChangesNothing) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  EXPECT_EQ(Count(*file), 0u);
  AddRows(*file, {{1, "Jansen"}, {2, "Peters"}});
  uint32_t current = 0;
  ASSERT_EQ(file->Pointer(&current), 0);

  SetRow(*file, 2, "Zwart");
  EXPECT_EQ(file->Add(), error::kCreatesDuplicateKey);
  EXPECT_EQ(CurrentErrorReport().text, "Creates Duplicate Key");
  EXPECT_EQ(Count(*file), 2u);
  EXPECT_EQ(Count(*file, kByName), 2u);
  uint32_t after = 0;
  ASSERT_EQ(file->Pointer(&after), 0);
  EXPECT_EQ(after, current);
  // The refused name left no entry behind in the name key.
  ASSERT_EQ(file->SetKey(kByName), 0);
  std::vector<std::string> names;
  while (file->Next() == 0) names.push_back(NameOf(*file));
  EXPECT_EQ(names, (std::vector<std::string>{"Jansen", "Peters"}));

  // The same after a reopen: nothing of the refused row reached the file.
  ASSERT_EQ(file->Close(), 0);
  ASSERT_EQ(file->Open(), 0);
  EXPECT_EQ(Count(*file), 2u);
  // COUNTRECORDS is answered although the descriptor does not list it.
  ASSERT_EQ(file->Call(op::COUNTRECORDS), 0);
  EXPECT_EQ(file->block().answer, 2);
}

TEST_F(DriverTest, DuplicateTestsTheRowBufferAgainstOtherRows) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  std::vector<uint32_t> rows = AddRows(*file, {{1, "Jansen"}, {2, "Jansen"}});
  bool found = true;
  SetRow(*file, 3, "Jansen");
  EXPECT_EQ(file->Duplicate(&found), 0);
  EXPECT_FALSE(found);  // the name key allows equal values
  SetRow(*file, 1, "Ander");
  EXPECT_EQ(file->Duplicate(&found), 0);
  EXPECT_TRUE(found);
  EXPECT_EQ(file->Duplicate(kByName, &found), 0);
  EXPECT_FALSE(found);
  // The current row does not count as its own duplicate.
  ASSERT_EQ(file->Get(rows[0]), 0);
  SetRow(*file, NumberOf(*file), "Nieuw");
  EXPECT_EQ(file->Duplicate(kByNumber, &found), 0);
  EXPECT_FALSE(found);
  EXPECT_EQ(file->Duplicate(7, &found), 77);
}

TEST_F(DriverTest, PutMovesKeyEntriesAndRefusesADuplicate) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  std::vector<uint32_t> rows = AddRows(*file, {{1, "Jansen"}, {2, "Peters"}, {3, "Smit"}});
  EXPECT_EQ(file->Put(), 0);  // unchanged row: nothing to do

  ASSERT_EQ(file->Get(rows[0]), 0);
  SetRow(*file, 10, "Aarts");
  ASSERT_EQ(file->Put(), 0);
  ASSERT_EQ(file->SetKey(kByNumber), 0);
  EXPECT_EQ(ReadAll(*file), (std::vector<int32_t>{2, 3, 10}));
  ASSERT_EQ(file->SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(*file), (std::vector<int32_t>{10, 2, 3}));

  // A change onto another row's unique value changes neither row nor keys.
  ASSERT_EQ(file->Get(rows[1]), 0);
  SetRow(*file, 3, "Veranderd");
  EXPECT_EQ(file->Put(), error::kCreatesDuplicateKey);
  ASSERT_EQ(file->Get(rows[1]), 0);
  EXPECT_EQ(NumberOf(*file), 2);
  EXPECT_EQ(NameOf(*file), "Peters");
  ASSERT_EQ(file->SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(*file), (std::vector<int32_t>{10, 2, 3}));

  // PUTfileptr changes the row it names.
  SetRow(*file, 30, "Smit");
  ASSERT_EQ(file->Put(rows[2]), 0);
  ASSERT_EQ(file->Get(rows[2]), 0);
  EXPECT_EQ(NumberOf(*file), 30);
  EXPECT_EQ(file->Put(9999), error::kRecordNotAvailable);
  EXPECT_EQ(Count(*file), 3u);
}

TEST_F(DriverTest, DeleteNeedsACurrentRowAndTakesItsEntries) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  EXPECT_EQ(file->Delete(), error::kRecordNotAvailable);
  EXPECT_EQ(file->Put(), error::kRecordNotAvailable);
  std::vector<uint32_t> rows = AddRows(*file, {{1, "Jansen"}, {2, "Peters"}, {3, "Smit"}});
  ASSERT_EQ(file->Get(rows[1]), 0);
  ASSERT_EQ(file->Delete(), 0);
  EXPECT_EQ(file->Delete(), error::kRecordNotAvailable);  // no current row now
  EXPECT_EQ(Count(*file), 2u);
  EXPECT_EQ(Count(*file, kByNumber), 2u);
  EXPECT_EQ(Count(*file, kByName), 2u);
  EXPECT_EQ(file->Get(rows[1]), error::kRecordNotFound);
  ASSERT_EQ(file->SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(*file), (std::vector<int32_t>{1, 3}));
  // The number stays issued: a new row gets a new one.
  std::vector<uint32_t> more = AddRows(*file, {{2, "Peters"}});
  EXPECT_GT(more[0], rows[2]);
}

TEST_F(DriverTest, AppendLeavesKeysOutOfDate) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  AddRows(*file, {{1, "Jansen"}});
  SetRow(*file, 2, "Peters");
  ASSERT_EQ(file->Append(), 0);
  EXPECT_EQ(Count(*file), 2u);
  EXPECT_EQ(Count(*file, kByNumber), 1u);
  ASSERT_EQ(file->SetFile(), 0);
  EXPECT_EQ(ReadAll(*file), (std::vector<int32_t>{1, 2}));
}

TEST_F(DriverTest, AWatchedRowChangedByAnotherOpenIsNotOverwritten) {
  auto mine = Declare();
  auto theirs = Declare();
  ASSERT_EQ(mine->Share(), 0);
  ASSERT_EQ(theirs->Share(), 0);
  std::vector<uint32_t> rows = AddRows(*mine, {{1, "Jansen"}});

  ASSERT_EQ(mine->Watch(), 0);
  ASSERT_EQ(mine->Get(rows[0]), 0);
  ASSERT_EQ(theirs->Get(rows[0]), 0);
  SetRow(*theirs, 1, "Janssen");
  ASSERT_EQ(theirs->Put(), 0);

  SetRow(*mine, 1, "Jansens");
  EXPECT_EQ(mine->Put(), error::kRecordChanged);
  ASSERT_EQ(mine->Get(rows[0]), 0);
  EXPECT_EQ(NameOf(*mine), "Janssen");

  // Without a watch the last change wins; a watch applies to one read only.
  ASSERT_EQ(mine->Watch(), 0);
  ASSERT_EQ(mine->Get(rows[0]), 0);
  ASSERT_EQ(mine->Get(rows[0]), 0);
  ASSERT_EQ(theirs->Get(rows[0]), 0);
  SetRow(*theirs, 1, "Anders");
  ASSERT_EQ(theirs->Put(), 0);
  SetRow(*mine, 1, "Mijn");
  EXPECT_EQ(mine->Put(), 0);
  ASSERT_EQ(theirs->Get(rows[0]), 0);
  EXPECT_EQ(NameOf(*theirs), "Mijn");
}

TEST_F(DriverTest, ChangesAreOnDiskAfterEachOperation) {
  auto writer = Declare();
  ASSERT_EQ(writer->Share(), 0);
  std::vector<uint32_t> rows = AddRows(*writer, {{1, "Jansen"}, {2, "Peters"}});
  // A second open of the file sees every change at once.
  auto reader = Declare();
  ASSERT_EQ(reader->Share(platform::open_mode::kRead | platform::open_mode::kDenyNone), 0);
  EXPECT_EQ(Count(*reader), 2u);
  ASSERT_EQ(writer->Get(rows[0]), 0);
  ASSERT_EQ(writer->Delete(), 0);
  EXPECT_EQ(Count(*reader), 1u);
  ASSERT_EQ(reader->SetFile(), 0);
  EXPECT_EQ(ReadAll(*reader), (std::vector<int32_t>{2}));
}

}  // namespace
}  // namespace tentaria::storage
