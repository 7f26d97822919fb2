// NEXT and GET through the driver on a shared file while another process
// keeps committing: reads that run from the page cache and start again
// when the file changed under them neither skip nor repeat a row.
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "tests/storage/driver_fixture.h"
#include "tests/support/child_process.h"

namespace tentaria::storage {
namespace {

using test_support::ChildProcess;
using testing::DriverTest;
using testing::kByNumber;
using testing::NameOf;
using testing::NumberOf;
using testing::SetRow;

constexpr int32_t kKept = 400;       // rows 1..kKept stay, renamed over and over
constexpr int32_t kComing = 100000;  // rows from here on come and go
constexpr auto kRun = std::chrono::milliseconds(1500);

TEST_F(DriverTest, NextAndGetSeeEveryKeptRowOnceWhileAnotherProcessCommits) {
  auto file = Declare();
  ASSERT_EQ(file->Share(), 0);
  for (int32_t number = 1; number <= kKept; ++number) {
    SetRow(*file, number, "g0");
    ASSERT_EQ(file->Add(), 0);
  }
  ChildProcess writer([&](int to_parent, int) {
    auto other = Declare();
    if (other->Share() != 0) return 2;
    test_support::Signal(to_parent);
    auto until = std::chrono::steady_clock::now() + kRun;
    int32_t coming = kComing;
    for (int generation = 1; std::chrono::steady_clock::now() < until; ++generation) {
      int32_t number = generation * 37 % kKept + 1;
      SetRow(*other, number, "");
      if (other->GetByKey(kByNumber) != 0) return 3;
      SetRow(*other, number, "g" + std::to_string(generation));
      if (other->Put() != 0) return 4;
      SetRow(*other, coming++, "erbij");
      if (other->Add() != 0) return 5;
      if (generation % 2 == 0) {
        SetRow(*other, coming - 2, "");
        if (other->GetByKey(kByNumber) != 0 || other->Delete() != 0) return 6;
      }
    }
    return other->Close() == 0 ? 0 : 7;
  });
  ASSERT_TRUE(writer.Await());
  int passes = 0;
  auto until = std::chrono::steady_clock::now() + kRun;
  while (std::chrono::steady_clock::now() < until) {
    ASSERT_EQ(file->SetFile(), 0);
    std::vector<int32_t> kept;
    std::set<int32_t> seen;
    int code = 0;
    while ((code = file->Next()) == 0) {
      int32_t number = NumberOf(*file);
      ASSERT_TRUE(seen.insert(number).second) << "row " << number << " read twice";
      ASSERT_EQ(NameOf(*file).substr(0, 1), number < kComing ? "g" : "e");
      if (number < kComing) kept.push_back(number);
    }
    ASSERT_EQ(code, 33);
    ASSERT_EQ(kept.size(), static_cast<size_t>(kKept)) << "pass " << passes;
    for (int32_t i = 0; i < kKept; ++i) ASSERT_EQ(kept[static_cast<size_t>(i)], i + 1);
    int32_t wanted = passes * 13 % kKept + 1;
    SetRow(*file, wanted, "");
    ASSERT_EQ(file->GetByKey(kByNumber), 0);
    ASSERT_EQ(NumberOf(*file), wanted);
    ++passes;
  }
  EXPECT_EQ(writer.Wait(), 0);
  EXPECT_GT(passes, 1);
}

}  // namespace
}  // namespace tentaria::storage
