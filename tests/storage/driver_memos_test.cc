// Memos through the driver: written with the row, read back with it,
// left alone under NOMEMO, compared under WATCH, deleted with the row.
#include <gtest/gtest.h>

#include "storage/error_texts.h"
#include "tests/storage/driver_fixture.h"

namespace tentaria::storage {
namespace {

using testing::DriverTest;
using testing::SetRow;

TEST_F(DriverTest, MemosTravelWithTheirRow) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  std::string long_text(700, 'x');
  long_text += " einde";
  SetRow(*file, 1, "Jansen");
  file->memo(0) = long_text;
  ASSERT_EQ(file->Add(), 0);
  SetRow(*file, 2, "Peters");
  file->memo(0) = "Kort";
  ASSERT_EQ(file->Add(), 0);
  std::vector<uint32_t> rows(2);
  ASSERT_EQ(file->Pointer(&rows[1]), 0);

  ASSERT_EQ(file->SetFile(), 0);
  ASSERT_EQ(file->Next(), 0);
  EXPECT_EQ(file->memo(0), long_text);
  ASSERT_EQ(file->Pointer(&rows[0]), 0);
  ASSERT_EQ(file->Next(), 0);
  EXPECT_EQ(file->memo(0), "Kort");

  // NOMEMO leaves the buffer as it was, and a PUT after it keeps the memo.
  ASSERT_EQ(file->NoMemo(), 0);
  ASSERT_EQ(file->Get(rows[0]), 0);
  EXPECT_EQ(file->memo(0), "Kort");
  SetRow(*file, 1, "Jansens");
  ASSERT_EQ(file->Put(), 0);
  ASSERT_EQ(file->Get(rows[0]), 0);
  EXPECT_EQ(file->memo(0), long_text);
  // A PUT after a full read rewrites the memo.
  file->memo(0) = "Nieuw";
  ASSERT_EQ(file->Put(), 0);
  ASSERT_EQ(file->Get(rows[1]), 0);
  ASSERT_EQ(file->Get(rows[0]), 0);
  EXPECT_EQ(file->memo(0), "Nieuw");

  // A deleted row leaves no memo behind for a later row.
  ASSERT_EQ(file->Delete(), 0);
  ASSERT_EQ(file->Close(), 0);
  ASSERT_EQ(file->Open(), 0);
  ASSERT_EQ(file->SetFile(), 0);
  ASSERT_EQ(file->Next(), 0);
  EXPECT_EQ(file->memo(0), "Kort");
  EXPECT_EQ(file->Next(), error::kRecordNotAvailable);
}

TEST_F(DriverTest, AMemoTooLongIsRefusedWithItsRow) {
  auto file = Declare();
  ASSERT_EQ(file->Open(), 0);
  SetRow(*file, 1, "Jansen");
  file->memo(0) = std::string(2001, 'y');
  EXPECT_EQ(file->Add(), error::kInvalidRecordDeclaration);
  uint32_t count = 9;
  ASSERT_EQ(file->Records(&count), 0);
  EXPECT_EQ(count, 0u);
}

TEST_F(DriverTest, AWatchSeesAChangedMemo) {
  auto mine = Declare();
  auto theirs = Declare();
  ASSERT_EQ(mine->Share(), 0);
  ASSERT_EQ(theirs->Share(), 0);
  SetRow(*mine, 1, "Jansen");
  mine->memo(0) = "Eerste";
  ASSERT_EQ(mine->Add(), 0);
  uint32_t row = 0;
  ASSERT_EQ(mine->Pointer(&row), 0);

  ASSERT_EQ(mine->Watch(), 0);
  ASSERT_EQ(mine->Get(row), 0);
  ASSERT_EQ(theirs->Get(row), 0);
  theirs->memo(0) = "Tweede";
  ASSERT_EQ(theirs->Put(), 0);
  mine->memo(0) = "Derde";
  EXPECT_EQ(mine->Put(), error::kRecordChanged);
  ASSERT_EQ(mine->Get(row), 0);
  EXPECT_EQ(mine->memo(0), "Tweede");
}

}  // namespace
}  // namespace tentaria::storage
