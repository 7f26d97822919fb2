// Reading through the Tavrin driver: the SET family in both directions,
// NEXT and PREVIOUS at the ends, SKIP, direct reads, BOF and EOF, and saved
// positions.
#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "storage/error_texts.h"
#include "tests/storage/driver_fixture.h"
#include "tests/support/child_process.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::kByName;
using testing::kByNumber;
using testing::NameOf;
using testing::NumberOf;
using testing::SetRow;
using Numbers = std::vector<int32_t>;
using test_support::ChildProcess;

class DriverReadTest : public DriverTest {
 protected:
  void SetUp() override {
    file_ = Declare();
    ASSERT_EQ(file_->Open(), 0);
    // Record order 40, 10, 30, 20, 50; names with equal values in any case.
    rows_ = AddRows(*file_,
                    {{40, "smit"}, {10, "Jansen"}, {30, "Bakker"}, {20, "SMIT"}, {50, "Visser"}});
  }
  std::unique_ptr<DeclaredFile> file_;
  std::vector<uint32_t> rows_;
};

TEST_F(DriverReadTest, RecordOrderFromBothEndsStopsWith33) {
  ASSERT_EQ(file_->SetFile(), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{40, 10, 30, 20, 50}));
  EXPECT_EQ(file_->Next(), error::kRecordNotAvailable);  // stays at the end
  EXPECT_EQ(CurrentErrorReport().text, "Record Not Available");
  // From the end the position runs back.
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{20, 30, 10, 40}));
  ASSERT_EQ(file_->SetFile(), 0);
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{50, 20, 30, 10, 40}));
}

TEST_F(DriverReadTest, SetFilePointerStartsAtTheRowOrTheNearest) {
  ASSERT_EQ(file_->SetFile(rows_[2]), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{30, 20, 50}));
  ASSERT_EQ(file_->SetFile(rows_[2]), 0);
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{30, 10, 40}));
  // A deleted row's number reads on from its neighbour.
  ASSERT_EQ(file_->Get(rows_[2]), 0);
  ASSERT_EQ(file_->Delete(), 0);
  ASSERT_EQ(file_->SetFile(rows_[2]), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 20);
  ASSERT_EQ(file_->SetFile(rows_[2]), 0);
  ASSERT_EQ(file_->Previous(), 0);
  EXPECT_EQ(NumberOf(*file_), 10);
  // 0 acts as SETfile.
  ASSERT_EQ(file_->SetFile(0u), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 40);
}

TEST_F(DriverReadTest, KeyOrderWithEqualValuesInRecordNumberOrder) {
  ASSERT_EQ(file_->SetKey(kByNumber), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{10, 20, 30, 40, 50}));
  ASSERT_EQ(file_->SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{30, 10, 40, 20, 50}));
  ASSERT_EQ(file_->SetKey(kByName), 0);
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{50, 20, 40, 10, 30}));
  EXPECT_EQ(file_->SetKey(9), 77);
}

TEST_F(DriverReadTest, SetByKeyValueReadsEveryEqualRowInEitherDirection) {
  SetRow(*file_, 0, "Smit");
  ASSERT_EQ(file_->SetKeyValue(kByName), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{40, 20, 50}));
  SetRow(*file_, 0, "SMIT");
  ASSERT_EQ(file_->SetKeyValue(kByName), 0);
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{20, 40, 10, 30}));
  // A value between entries starts at the nearest in the reading direction.
  SetRow(*file_, 0, "Klaassen");
  ASSERT_EQ(file_->SetKeyValue(kByName), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 40);
  SetRow(*file_, 0, "Klaassen");  // the read filled the buffer
  ASSERT_EQ(file_->SetKeyValue(kByName), 0);
  ASSERT_EQ(file_->Previous(), 0);
  EXPECT_EQ(NumberOf(*file_), 10);
  // A unique key: the equal entry first in both directions.
  SetRow(*file_, 30, "");
  ASSERT_EQ(file_->Call(op::SETfilekey, {{kByNumber}, {}}), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{30, 40, 50}));
  SetRow(*file_, 30, "");
  ASSERT_EQ(file_->SetKeyValue(kByNumber), 0);
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{30, 20, 10}));
}

TEST_F(DriverReadTest, SetByKeyAndPointer) {
  // Value and record number: the second "smit" onwards.
  SetRow(*file_, 0, "smit");
  ASSERT_EQ(file_->SetKeyValue(kByName, rows_[3]), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{20, 50}));
  // A row's entry in the key, whatever the buffer holds.
  SetRow(*file_, 0, "");
  ASSERT_EQ(file_->SetKey(kByName, rows_[3]), 0);
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{20, 40, 10, 30}));
  // A row that is not there: from the ends.
  ASSERT_EQ(file_->SetKey(kByName, 99999), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 30);
}

TEST_F(DriverReadTest, SkipPassesOverRowsAndStopsAtTheEnd) {
  ASSERT_EQ(file_->SetKey(kByNumber), 0);
  ASSERT_EQ(file_->Skip(2), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 30);
  // Backwards from 30: over 20, then 10 is read.
  ASSERT_EQ(file_->Skip(-1), 0);
  ASSERT_EQ(file_->Previous(), 0);
  EXPECT_EQ(NumberOf(*file_), 10);
  // Skipping stops at the last row it could pass.
  EXPECT_EQ(file_->Skip(10), error::kRecordNotAvailable);
  EXPECT_EQ(file_->Next(), error::kRecordNotAvailable);
  ASSERT_EQ(file_->Previous(), 0);
  EXPECT_EQ(NumberOf(*file_), 40);
}

TEST_F(DriverReadTest, BofAndEofLookAheadInTheCurrentOrder) {
  bool at = false;
  ASSERT_EQ(file_->SetKey(kByNumber), 0);
  ASSERT_EQ(file_->Eof(&at), 0);
  EXPECT_FALSE(at);
  ASSERT_EQ(file_->Next(), 0);
  ASSERT_EQ(file_->Bof(&at), 0);
  EXPECT_TRUE(at);
  ASSERT_EQ(file_->Skip(3), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 50);
  ASSERT_EQ(file_->Eof(&at), 0);
  EXPECT_TRUE(at);
  ASSERT_EQ(file_->Bof(&at), 0);
  EXPECT_FALSE(at);
}

TEST_F(DriverReadTest, DirectReads) {
  SetRow(*file_, 30, "");
  ASSERT_EQ(file_->GetByKey(kByNumber), 0);
  EXPECT_EQ(NameOf(*file_), "Bakker");
  uint32_t pointer = 0;
  ASSERT_EQ(file_->Pointer(&pointer), 0);
  EXPECT_EQ(pointer, rows_[2]);
  // A DUP key gives the lowest record number of the value.
  SetRow(*file_, 0, "SMIT");
  ASSERT_EQ(file_->GetByKey(kByName), 0);
  EXPECT_EQ(NumberOf(*file_), 40);
  SetRow(*file_, 31, "");
  EXPECT_EQ(file_->GetByKey(kByNumber), error::kRecordNotFound);
  EXPECT_EQ(file_->Get(99999), error::kRecordNotFound);
  ASSERT_EQ(file_->Get(kByName, rows_[4]), 0);
  EXPECT_EQ(NumberOf(*file_), 50);
  // A direct read leaves the sequential position where it was.
  ASSERT_EQ(file_->SetKey(kByNumber), 0);
  ASSERT_EQ(file_->Next(), 0);
  ASSERT_EQ(file_->Get(rows_[4]), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 20);
}

TEST_F(DriverReadTest, SavedPositionsResetAndReadAgain) {
  std::string in_file, in_key;
  ASSERT_EQ(file_->Get(rows_[2]), 0);
  ASSERT_EQ(file_->Position(&in_file), 0);
  ASSERT_EQ(file_->Position(kByName, &in_key), 0);

  ASSERT_EQ(file_->Get(rows_[0]), 0);
  ASSERT_EQ(file_->Reset(in_file), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{30, 20, 50}));
  ASSERT_EQ(file_->Reset(kByName, in_key), 0);
  EXPECT_EQ(ReadAll(*file_), (Numbers{30, 10, 40, 20, 50}));

  // REGET reads the row again and goes on from it.
  ASSERT_EQ(file_->Reget(kByName, in_key), 0);
  EXPECT_EQ(NumberOf(*file_), 30);
  EXPECT_EQ(ReadAll(*file_), (Numbers{10, 40, 20, 50}));
  ASSERT_EQ(file_->Reget(in_file), 0);
  EXPECT_EQ(NameOf(*file_), "Bakker");
  EXPECT_EQ(ReadAll(*file_), (Numbers{20, 50}));

  // A position of another table, or no position at all, finds nothing.
  EXPECT_EQ(file_->Reset(kByNumber, in_key), error::kRecordNotFound);
  EXPECT_EQ(file_->Reget(std::string("rubbish")), error::kRecordNotFound);
  ASSERT_EQ(file_->Get(rows_[2]), 0);
  ASSERT_EQ(file_->Delete(), 0);
  EXPECT_EQ(file_->Reget(in_file), error::kRecordNotFound);
  // Without a current row there is nothing to save.
  EXPECT_EQ(file_->Position(&in_file), error::kRecordNotAvailable);
}

TEST_F(DriverReadTest, SequentialReadsSeeChangesMadeMeanwhile) {
  ASSERT_EQ(file_->SetKey(kByNumber), 0);
  ASSERT_EQ(file_->Next(), 0);  // 10
  AddRows(*file_, {{15, "Nieuw"}});
  ASSERT_EQ(file_->SetKey(kByNumber), 0);
  ASSERT_EQ(file_->Next(), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 15);
  ASSERT_EQ(file_->Delete(), 0);
  // The position survives the deletion of the row it stands on.
  EXPECT_EQ(ReadAll(*file_), (Numbers{20, 30, 40, 50}));
}

// In record order NEXT reads the row where it finds it; a row changed
// through this open or another open of the file since the last read is
// read as it is now, a deleted one passed over.
TEST_F(DriverReadTest, RecordOrderReadsRowsAsChangedMeanwhile) {
  ASSERT_EQ(file_->Close(), 0);
  ASSERT_EQ(file_->Share(), 0);
  auto other = Declare();
  ASSERT_EQ(other->Share(), 0);
  ASSERT_EQ(file_->SetFile(), 0);
  ASSERT_EQ(file_->Next(), 0);
  ASSERT_EQ(NumberOf(*file_), 40);
  // The row next in line, changed through this open.
  ASSERT_EQ(file_->Get(rows_[1]), 0);
  SetRow(*file_, 11, "Jansen");
  ASSERT_EQ(file_->Put(), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 11);
  // The next one deleted and the one after changed through the other.
  ASSERT_EQ(other->Get(rows_[2]), 0);
  ASSERT_EQ(other->Delete(), 0);
  ASSERT_EQ(other->Get(rows_[3]), 0);
  SetRow(*other, 21, "Smid");
  ASSERT_EQ(other->Put(), 0);
  ASSERT_EQ(file_->Next(), 0);
  EXPECT_EQ(NumberOf(*file_), 21);
  EXPECT_EQ(NameOf(*file_), "Smid");
  EXPECT_EQ(ReadAll(*file_), (Numbers{50}));
  EXPECT_EQ(ReadAll(*file_, false), (Numbers{21, 11, 40}));
}

// NEXT and PREVIOUS move on from the row read last; rows that another
// process deletes, changes or adds between two reads are seen at the next
// read, in record order and in key order.
TEST_F(DriverTest, ReadsGoingOnInASharedFileSeeAnotherProcessesChanges) {
  auto file = Declare();
  ASSERT_EQ(file->Share(), 0);
  std::vector<uint32_t> rows =
      AddRows(*file, {{1, "een"}, {2, "twee"}, {3, "drie"}, {4, "vier"}, {5, "vijf"}});
  auto change = [&](int32_t gone, int32_t renamed, int32_t added) {
    ChildProcess child([&](int, int) {
      auto other = Declare();
      if (other->Share() != 0) return 1;
      if (other->Get(rows[static_cast<size_t>(gone - 1)]) != 0 || other->Delete() != 0) return 2;
      if (other->Get(rows[static_cast<size_t>(renamed - 1)]) != 0) return 3;
      SetRow(*other, renamed, "nieuw");
      if (other->Put() != 0) return 4;
      SetRow(*other, added, "erbij");
      return other->Add() == 0 && other->Close() == 0 ? 0 : 5;
    });
    return child.Wait();
  };

  ASSERT_EQ(file->SetFile(), 0);
  ASSERT_EQ(file->Next(), 0);
  ASSERT_EQ(file->Next(), 0);
  ASSERT_EQ(NumberOf(*file), 2);
  ASSERT_EQ(change(3, 4, 6), 0);
  ASSERT_EQ(file->Next(), 0);
  EXPECT_EQ(NumberOf(*file), 4);
  EXPECT_EQ(NameOf(*file), "nieuw");
  EXPECT_EQ(ReadAll(*file), (Numbers{5, 6}));

  ASSERT_EQ(file->SetKey(kByNumber), 0);
  ASSERT_EQ(file->Next(), 0);
  ASSERT_EQ(file->Next(), 0);
  ASSERT_EQ(NumberOf(*file), 2);
  ASSERT_EQ(file->Next(), 0);
  ASSERT_EQ(NumberOf(*file), 4);
  ASSERT_EQ(change(2, 1, 3), 0);
  ASSERT_EQ(file->Previous(), 0);
  EXPECT_EQ(NumberOf(*file), 3);
  EXPECT_EQ(NameOf(*file), "erbij");
  ASSERT_EQ(file->Previous(), 0);
  EXPECT_EQ(NumberOf(*file), 1);
  EXPECT_EQ(NameOf(*file), "nieuw");
  EXPECT_EQ(file->Previous(), error::kRecordNotAvailable);
}

}  // namespace
}  // namespace tentaria::storage
