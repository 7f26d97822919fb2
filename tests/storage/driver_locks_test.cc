// Holding rows and locking tables against other processes: each test runs
// a real child process that holds or locks through its own open of the
// file, talking to the test over pipes.
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "storage/error_texts.h"
#include "tests/storage/driver_fixture.h"
#include "tests/support/child_process.h"

namespace tentaria::storage {
namespace {

using test_support::Await;
using test_support::ChildProcess;
using test_support::Signal;
using testing::DriverTest;
using testing::kByNumber;
using testing::NameOf;
using testing::NumberOf;
using testing::SetRow;

class DriverLockTest : public DriverTest {
 protected:
  void SetUp() override {
    // The file is made before the child is forked, and closed, so that
    // parent and child each have an open of their own.
    auto file = Declare();
    ASSERT_EQ(file->Open(), 0);
    rows_ = AddRows(*file, {{1, "Jansen"}, {2, "Peters"}});
    ASSERT_EQ(file->Close(), 0);
  }
  std::vector<uint32_t> rows_;
};

TEST_F(DriverLockTest, LockedTableWaitsOrFailsAfterTheGivenSeconds) {
  ChildProcess child([&](int to_parent, int from_parent) {
    auto file = Declare();
    if (file->Share() != 0 || file->Lock() != 0) return 1;
    Signal(to_parent);
    if (!Await(from_parent)) return 2;
    // The parent is waiting in LOCKfile now; it gets the lock only after
    // this unlock.
    usleep(300000);
    return file->Unlock() == 0 ? 0 : 3;
  });
  ASSERT_TRUE(child.Await());
  auto file = Declare();
  ASSERT_EQ(file->Share(), 0);

  int64_t started = platform::ElapsedHundredths();
  EXPECT_EQ(file->Lock(2), error::kFileIsAlreadyLocked);
  EXPECT_GE(platform::ElapsedHundredths() - started, 150);
  EXPECT_EQ(CurrentErrorReport().text, "File Is Already Locked");

  child.Signal();
  EXPECT_EQ(file->Lock(), 0);
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(file->Unlock(), 0);
}

TEST_F(DriverLockTest, AHeldRowIsRefusedToOtherProcesses) {
  ChildProcess child([&](int to_parent, int from_parent) {
    auto file = Declare();
    if (file->Share() != 0 || file->Hold() != 0 || file->Get(rows_[0]) != 0) return 1;
    Signal(to_parent);
    if (!Await(from_parent)) return 2;
    if (file->Release() != 0) return 3;
    Signal(to_parent);
    // Hold the row again; the parent's unlimited hold read waits for the
    // release that follows.
    if (!Await(from_parent) || file->Hold() != 0 || file->Get(rows_[0]) != 0) return 4;
    Signal(to_parent);
    usleep(500000);
    return file->Release() == 0 ? 0 : 5;
  });
  ASSERT_TRUE(child.Await());
  auto file = Declare();
  ASSERT_EQ(file->Share(), 0);

  // Reading without a hold is allowed; a hold read is refused with 43
  // once its seconds have passed.
  ASSERT_EQ(file->Get(rows_[0]), 0);
  int64_t started = platform::ElapsedHundredths();
  ASSERT_EQ(file->Hold(1), 0);
  EXPECT_EQ(file->Get(rows_[0]), error::kRecordIsAlreadyHeld);
  EXPECT_GE(platform::ElapsedHundredths() - started, 80);
  // A read refused with 43 keeps the request for the next read; a read
  // that ends otherwise clears it.
  EXPECT_EQ(file->Get(rows_[0]), error::kRecordIsAlreadyHeld);
  EXPECT_EQ(file->Get(99999), error::kRecordNotFound);
  // Changes of a row held elsewhere are refused and change nothing.
  ASSERT_EQ(file->Get(rows_[0]), 0);
  SetRow(*file, 1, "Anders");
  EXPECT_EQ(file->Put(), error::kAccessDenied);
  EXPECT_EQ(file->Delete(), error::kRecordNotAvailable);
  ASSERT_EQ(file->Get(rows_[0]), 0);
  EXPECT_EQ(NameOf(*file), "Jansen");
  // The other row is free.
  ASSERT_EQ(file->Hold(), 0);
  ASSERT_EQ(file->Get(rows_[1]), 0);
  ASSERT_EQ(file->Release(), 0);

  child.Signal();
  ASSERT_TRUE(child.Await());
  ASSERT_EQ(file->Hold(1), 0);
  ASSERT_EQ(file->Get(rows_[0]), 0);
  ASSERT_EQ(file->Release(), 0);

  child.Signal();
  ASSERT_TRUE(child.Await());
  ASSERT_EQ(file->Hold(), 0);
  ASSERT_EQ(file->SetKey(kByNumber), 0);
  EXPECT_EQ(file->Next(), 0);  // waits for the child's release
  EXPECT_EQ(NumberOf(*file), 1);
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(DriverLockTest, ChangingAHeldRowReleasesIt) {
  auto file = Declare();
  ASSERT_EQ(file->Share(), 0);
  ASSERT_EQ(file->Hold(), 0);
  ASSERT_EQ(file->Get(rows_[0]), 0);
  SetRow(*file, 1, "Veranderd");
  ASSERT_EQ(file->Put(), 0);
  ChildProcess child([&](int, int) {
    auto other = Declare();
    if (other->Share() != 0 || other->Hold(0) != 0) return 1;
    return other->Get(rows_[0]) == 0 ? 0 : 2;
  });
  EXPECT_EQ(child.Wait(), 0);
}

}  // namespace
}  // namespace tentaria::storage
