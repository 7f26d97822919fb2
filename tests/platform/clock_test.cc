#include "platform/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace tentaria::platform {
namespace {

TEST(ClockTest, LocalTimeMatchesTheHostClock) {
  time_t before = time(nullptr);
  LocalTime now = GetLocalTime();
  time_t after = time(nullptr);
  tm parts{};
  localtime_r(&before, &parts);
  tm later{};
  localtime_r(&after, &later);
  // Between the two readings the date can change only at midnight; check
  // against whichever reading has the same day.
  const tm& same = (now.day == parts.tm_mday) ? parts : later;
  EXPECT_EQ(now.year, same.tm_year + 1900);
  EXPECT_EQ(now.month, same.tm_mon + 1);
  EXPECT_EQ(now.day, same.tm_mday);
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
  EXPECT_GE(now.second, 0);
  EXPECT_LE(now.second, 59);
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LE(now.millisecond, 999);
}

TEST(ClockTest, LocalTimeFollowsTheTimeZone) {
  const char* saved = getenv("TZ");
  std::string saved_zone = saved ? saved : "";
  setenv("TZ", "UTC0", 1);
  LocalTime utc = GetLocalTime();
  setenv("TZ", "<+05>-5", 1);
  LocalTime east = GetLocalTime();
  if (saved) {
    setenv("TZ", saved_zone.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  int difference = ((east.hour * 60 + east.minute) - (utc.hour * 60 + utc.minute) + 1440) % 1440;
  EXPECT_GE(difference, 300);
  EXPECT_LE(difference, 301);
}

TEST(ClockTest, FixedTimeForTesting) {
  LocalTime fixed{2000, 2, 29, 13, 14, 15, 16};
  SetLocalTimeForTesting(&fixed);
  LocalTime now = GetLocalTime();
  EXPECT_EQ(now.year, 2000);
  EXPECT_EQ(now.month, 2);
  EXPECT_EQ(now.day, 29);
  EXPECT_EQ(now.hour, 13);
  EXPECT_EQ(now.minute, 14);
  EXPECT_EQ(now.second, 15);
  EXPECT_EQ(now.millisecond, 16);
  SetLocalTimeForTesting(nullptr);
  EXPECT_GT(GetLocalTime().year, 2000);
}

TEST(ClockTest, TickCountNeverGoesBackAndAdvances) {
  uint64_t first = TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  uint64_t second = TickCount();
  EXPECT_GE(second, first + 25);
  EXPECT_LT(second, first + 5000);
}

TEST(ClockTest, ElapsedHundredthsCountsFromStart) {
  int64_t first = ElapsedHundredths();
  EXPECT_GE(first, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  int64_t second = ElapsedHundredths();
  EXPECT_GE(second, first + 4);
  EXPECT_LT(second, first + 500);
}

}  // namespace
}  // namespace tentaria::platform
