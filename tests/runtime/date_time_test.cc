#include "runtime/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "platform/clock.h"

namespace tentaria::runtime {
namespace {

using std::chrono::day;
using std::chrono::days;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

// Day 4 is 1 January 1801 in the independent calendar.
sys_days DayFour() { return sys_days(year(1801) / 1 / 1); }

DayNumber ChronoDayNumber(int y, int m, int d) {
  return static_cast<DayNumber>((sys_days(year(y) / m / d) - DayFour()).count() + 4);
}

// Pins the local clock for one test.
class PinnedClock {
 public:
  PinnedClock(int y, int mo, int d, int h = 12, int mi = 0, int s = 0, int ms = 0) {
    platform::LocalTime fixed{y, mo, d, h, mi, s, ms};
    platform::SetLocalTimeForTesting(&fixed);
  }
  ~PinnedClock() { platform::SetLocalTimeForTesting(nullptr); }
};

TEST(DateTimeTest, LandmarkDayNumbers) {
  EXPECT_EQ(PartsToDayNumber(1801, 1, 1), 4);
  EXPECT_EQ(PartsToDayNumber(2000, 1, 1), 72687);
  EXPECT_EQ(PartsToDayNumber(9999, 12, 31), 2994626);
  EXPECT_EQ(PartsToDayNumber(1800, 12, 31), -1);
  EXPECT_EQ(PartsToDayNumber(10000, 1, 1), -1);

  DateParts parts;
  EXPECT_FALSE(DayNumberToParts(3, &parts));
  EXPECT_EQ(parts.year, 0);
  EXPECT_FALSE(DayNumberToParts(0, &parts));
  EXPECT_FALSE(DayNumberToParts(-1, &parts));
  EXPECT_FALSE(DayNumberToParts(2994627, &parts));
  ASSERT_TRUE(DayNumberToParts(72687, &parts));
  EXPECT_EQ(parts.year, 2000);
  EXPECT_EQ(parts.month, 1);
  EXPECT_EQ(parts.day, 1);
}

TEST(DateTimeTest, PartsAreValidatedWithoutNormalising) {
  EXPECT_EQ(PartsToDayNumber(1900, 2, 29), -1);
  EXPECT_EQ(PartsToDayNumber(2000, 2, 29), ChronoDayNumber(2000, 2, 29));
  EXPECT_EQ(PartsToDayNumber(2014, 4, 31), -1);
  EXPECT_EQ(PartsToDayNumber(2014, 13, 1), -1);
  EXPECT_EQ(PartsToDayNumber(2014, 0, 1), -1);
  EXPECT_EQ(PartsToDayNumber(2014, 1, 0), -1);
}

// Every valid day number against std::chrono, both directions.
TEST(DateTimeTest, EveryDayNumberMatchesChrono) {
  int failures = 0;
  for (DayNumber n = kFirstDayNumber; n <= kLastDayNumber && failures < 5; ++n) {
    year_month_day expected(DayFour() + days(n - 4));
    int y = static_cast<int>(expected.year());
    int m = static_cast<int>(static_cast<unsigned>(expected.month()));
    int d = static_cast<int>(static_cast<unsigned>(expected.day()));
    DateParts parts;
    bool ok = DayNumberToParts(n, &parts);
    if (!ok || parts.year != y || parts.month != m || parts.day != d) {
      ADD_FAILURE() << "day number " << n << " gave " << parts.year << "-" << parts.month << "-"
                    << parts.day << ", chrono " << y << "-" << m << "-" << d;
      ++failures;
    }
    if (PartsToDayNumber(y, m, d) != n) {
      ADD_FAILURE() << y << "-" << m << "-" << d << " gave " << PartsToDayNumber(y, m, d)
                    << ", expected " << n;
      ++failures;
    }
  }
  year_month_day last(DayFour() + days(kLastDayNumber - 4));
  EXPECT_EQ(last, year(9999) / 12 / 31);
}

TEST(DateTimeTest, DateNormalisesOverflowingMonthsAndDays) {
  EXPECT_EQ(Date(2, 29, 1900), ChronoDayNumber(1900, 3, 1));
  EXPECT_EQ(Date(2, 29, 2000), ChronoDayNumber(2000, 2, 29));
  EXPECT_EQ(Date(13, 1, 2014), ChronoDayNumber(2015, 1, 1));
  EXPECT_EQ(Date(2, 30, 2014), ChronoDayNumber(2014, 3, 2));
  EXPECT_EQ(Date(12, 32, 2014), ChronoDayNumber(2015, 1, 1));
  EXPECT_EQ(Date(25, 1, 2014), ChronoDayNumber(2016, 1, 1));
  // February of the year the carry reaches, not of the year given.
  EXPECT_EQ(Date(14, 29, 2015), ChronoDayNumber(2016, 2, 29));
  EXPECT_EQ(Date(1, 1, 1801), 4);
  EXPECT_EQ(Date(12, 31, 9999), kLastDayNumber);
}

TEST(DateTimeTest, DateOutsideTheYearsGivesMinusOne) {
  EXPECT_EQ(Date(12, 31, 1800), -1);
  EXPECT_EQ(Date(12, 32, 9999), -1);
  EXPECT_EQ(Date(13, 1, 9999), -1);
  EXPECT_EQ(Date(0, 1, 2014), -1);
  EXPECT_EQ(Date(1, 0, 2014), -1);
  EXPECT_EQ(Date(-5, 1, 2014), -1);
  // A year before 1801 carried into range is a valid date.
  EXPECT_EQ(Date(13, 1, 1800), 4);
  EXPECT_EQ(Date(1, 366, 1800), 4);
  // Extreme arguments neither overflow nor loop for long.
  EXPECT_EQ(Date(2147483647, 2147483647, 2147483647), -1);
  EXPECT_EQ(Date(1, 2147483647, 1801), -1);
  EXPECT_EQ(Date(1, 1, -2147483647 - 1), -1);
  EXPECT_EQ(Date(2147483647, 1, -178956970), -1);
}

TEST(DateTimeTest, DateNormalisationMatchesChronoForRandomOverflows) {
  std::mt19937 random(20140305);
  std::uniform_int_distribution<int> month_of(1, 400);
  std::uniform_int_distribution<int> day_of(1, 4000);
  std::uniform_int_distribution<int> year_of(1790, 9999);
  for (int i = 0; i < 200000; ++i) {
    int m = month_of(random), d = day_of(random), y = year_of(random);
    int carried_year = y + (m - 1) / 12;
    unsigned carried_month = static_cast<unsigned>((m - 1) % 12 + 1);
    sys_days expected_day = sys_days(year(carried_year) / month(carried_month) / 1) + days(d - 1);
    int expected_year = static_cast<int>(year_month_day(expected_day).year());
    DayNumber expected = expected_year >= 1801 && expected_year <= 9999
                             ? static_cast<DayNumber>((expected_day - DayFour()).count() + 4)
                             : -1;
    ASSERT_EQ(Date(m, d, y), expected) << "DATE(" << m << ", " << d << ", " << y << ")";
  }
}

TEST(DateTimeTest, TwoDigitYearsFollowTheWindow) {
  EXPECT_EQ(ExpandTwoDigitYear(34, 80, 2014), 1934);
  EXPECT_EQ(ExpandTwoDigitYear(33, 80, 2014), 2033);
  EXPECT_EQ(ExpandTwoDigitYear(14, 80, 2014), 2014);
  EXPECT_EQ(ExpandTwoDigitYear(99, 80, 2014), 1999);
  EXPECT_EQ(ExpandTwoDigitYear(0, 80, 2014), 2000);
  EXPECT_EQ(ExpandTwoDigitYear(1999, 80, 2014), 1999);
  EXPECT_EQ(ExpandTwoDigitYear(100, 80, 2014), 100);
  EXPECT_EQ(ExpandTwoDigitYear(-1, 80, 2014), -1);
  // Every window puts every two-digit year into C - P .. C - P + 99.
  for (int current : {1801, 1999, 2000, 2014, 2099, 9999}) {
    for (int window = 0; window <= 99; ++window) {
      for (int y = 0; y <= 99; ++y) {
        int full = ExpandTwoDigitYear(y, window, current);
        ASSERT_EQ(full % 100, y);
        ASSERT_GE(full, current - window) << y << " window " << window << " in " << current;
        ASSERT_LE(full, current - window + 99) << y << " window " << window << " in " << current;
      }
    }
  }
  // Window 99 keeps every year in the past (or this year); window 0 in
  // this year or the future.
  EXPECT_EQ(ExpandTwoDigitYear(15, 99, 2014), 1915);
  EXPECT_EQ(ExpandTwoDigitYear(14, 99, 2014), 2014);
  EXPECT_EQ(ExpandTwoDigitYear(13, 0, 2014), 2113);
}

TEST(DateTimeTest, TwoDigitYearsUseTheClockByDefault) {
  PinnedClock clock(2014, 3, 5);
  EXPECT_EQ(ExpandTwoDigitYear(34), 1934);
  EXPECT_EQ(ExpandTwoDigitYear(33), 2033);
  EXPECT_EQ(PartsToDayNumber(34, 1, 1), ChronoDayNumber(1934, 1, 1));
  EXPECT_EQ(PartsToDayNumber(33, 1, 1), ChronoDayNumber(2033, 1, 1));
  EXPECT_EQ(Date(13, 1, 33), ChronoDayNumber(2034, 1, 1));
}

TEST(DateTimeTest, DayMonthYear) {
  DayNumber n = ChronoDayNumber(2014, 3, 5);
  EXPECT_EQ(Day(n), 5);
  EXPECT_EQ(Month(n), 3);
  EXPECT_EQ(Year(n), 2014);
  EXPECT_EQ(Day(0), 0);
  EXPECT_EQ(Month(3), 0);
  EXPECT_EQ(Year(-1), 0);
}

TEST(DateTimeTest, TimeValueConversions) {
  TimeParts parts;
  ASSERT_TRUE(TimeValueToParts(1, &parts));
  EXPECT_EQ(parts.hours + parts.minutes + parts.seconds + parts.hundredths, 0);
  ASSERT_TRUE(TimeValueToParts(8640000, &parts));
  EXPECT_EQ(parts.hours, 23);
  EXPECT_EQ(parts.minutes, 59);
  EXPECT_EQ(parts.seconds, 59);
  EXPECT_EQ(parts.hundredths, 99);
  ASSERT_TRUE(TimeValueToParts(14 * 360000 + 7 * 6000 + 9 * 100 + 1, &parts));
  EXPECT_EQ(parts.hours, 14);
  EXPECT_EQ(parts.minutes, 7);
  EXPECT_EQ(parts.seconds, 9);
  EXPECT_EQ(parts.hundredths, 0);
  for (TimeValue bad : {0, -1, 8640001, 2147483647}) {
    parts = TimeParts{1, 2, 3, 4};
    EXPECT_FALSE(TimeValueToParts(bad, &parts));
    EXPECT_EQ(parts.hours + parts.minutes + parts.seconds + parts.hundredths, 0);
  }

  EXPECT_EQ(PartsToTimeValue(0, 0, 0, 0), 0);
  EXPECT_EQ(PartsToTimeValue(0, 0, 0, 1), 2);
  EXPECT_EQ(PartsToTimeValue(23, 59, 59, 99), 8640000);
  EXPECT_EQ(PartsToTimeValue(24, 0, 0, 0), -1);
  EXPECT_EQ(PartsToTimeValue(0, 60, 0, 0), -1);
  EXPECT_EQ(PartsToTimeValue(0, 0, 60, 0), -1);
  EXPECT_EQ(PartsToTimeValue(0, 0, 0, 100), -1);
  EXPECT_EQ(PartsToTimeValue(-1, 0, 0, 0), -1);
}

TEST(DateTimeTest, EveryTimeValueRoundTrips) {
  // 1 is midnight, whose parts are all zero and so convert back to the
  // empty time 0; every other value comes back as itself.
  TimeParts parts;
  for (TimeValue t = 2; t <= kLastTimeValue; ++t) {
    ASSERT_TRUE(TimeValueToParts(t, &parts));
    ASSERT_EQ(PartsToTimeValue(parts.hours, parts.minutes, parts.seconds, parts.hundredths), t);
  }
}

TEST(DateTimeTest, TodayAndClockReadTheLocalTime) {
  PinnedClock clock(2014, 3, 5, 14, 7, 9, 999);
  EXPECT_EQ(Today(), ChronoDayNumber(2014, 3, 5));
  EXPECT_EQ(Clock(), 14 * 360000 + 7 * 6000 + 9 * 100 + 99 + 1);
}

// CLOCK at 00:00:00.00 exactly gives 0, not 1: the parts of midnight convert to the empty time, as
// typed "00:00" does.
TEST(DateTimeTest, ClockAtExactMidnightGivesZero) {
  {
    PinnedClock clock(2014, 3, 5, 0, 0, 0, 0);
    EXPECT_EQ(Clock(), 0);
  }
  {
    PinnedClock clock(2014, 3, 5, 0, 0, 0, 9);  // still 0 hundredths
    EXPECT_EQ(Clock(), 0);
  }
  {
    PinnedClock clock(2014, 3, 5, 0, 0, 0, 10);
    EXPECT_EQ(Clock(), 2);
  }
}

TEST(DateTimeTest, TodayOutsideTheYearsIsInvalid) {
  PinnedClock clock(10000, 1, 1);
  EXPECT_EQ(Today(), -1);
}

std::string AgeOf(int by, int bm, int bd, int y, int m, int d) {
  return Age(ChronoDayNumber(by, bm, bd), ChronoDayNumber(y, m, d));
}

TEST(DateTimeTest, AgeInDaysMonthsAndYears) {
  EXPECT_EQ(AgeOf(2014, 2, 3, 2014, 3, 5), "30 DAYS");
  EXPECT_EQ(AgeOf(2014, 3, 5, 2014, 3, 5), "0 DAYS");
  EXPECT_EQ(AgeOf(2014, 1, 3, 2014, 3, 4), "60 DAYS");
  EXPECT_EQ(AgeOf(2014, 1, 1, 2014, 3, 3), "2 MOS");  // 61 days
  EXPECT_EQ(AgeOf(2012, 3, 5, 2014, 3, 5), "24 MOS");
  EXPECT_EQ(AgeOf(2012, 3, 6, 2014, 3, 5), "23 MOS");
  EXPECT_EQ(AgeOf(2012, 2, 5, 2014, 3, 5), "2 YRS");
  EXPECT_EQ(AgeOf(1978, 3, 6, 2014, 3, 5), "35 YRS");
  EXPECT_EQ(AgeOf(1978, 3, 5, 2014, 3, 5), "36 YRS");
  EXPECT_EQ(AgeOf(1978, 4, 1, 2014, 3, 5), "35 YRS");
  EXPECT_EQ(AgeOf(2013, 1, 5, 2014, 3, 5), "14 MOS");
}

TEST(DateTimeTest, AgeOfABirthAfterTheBase) {
  const std::string stars(255, '*');
  // Taken 100 years earlier.
  EXPECT_EQ(AgeOf(2020, 6, 1, 2014, 3, 5), "93 YRS");
  EXPECT_EQ(AgeOf(2114, 2, 3, 2014, 3, 5), "30 DAYS");
  // Still after the base.
  EXPECT_EQ(AgeOf(2200, 1, 1, 2014, 3, 5), stars);
  // 29 February 2000 less 100 years is no date.
  EXPECT_EQ(AgeOf(2000, 2, 29, 1999, 3, 5), stars);
  // Before 1801 is no date either.
  EXPECT_EQ(AgeOf(1850, 1, 1, 1849, 3, 5), stars);
  // Invalid day numbers.
  EXPECT_EQ(Age(0, ChronoDayNumber(2014, 3, 5)), stars);
  EXPECT_EQ(Age(ChronoDayNumber(2014, 3, 5), -1), stars);
}

TEST(DateTimeTest, AgeUsesTodayByDefault) {
  PinnedClock clock(2014, 3, 5);
  EXPECT_EQ(Age(ChronoDayNumber(1978, 3, 5)), "36 YRS");
  EXPECT_EQ(Age(ChronoDayNumber(2014, 1, 20)), "44 DAYS");
}

TEST(DateTimeTest, PackedDates) {
  DayNumber n = ChronoDayNumber(2014, 3, 5);
  EXPECT_EQ(PackDate(n), 2014u * 65536u + 3u * 256u + 5u);
  EXPECT_EQ(UnpackDate(PackDate(n)), n);
  EXPECT_EQ(PackDate(0), 0u);
  EXPECT_EQ(PackDate(3), 0u);
  EXPECT_EQ(UnpackDate(0), 0);
  EXPECT_EQ(UnpackDate(1800u * 65536u + 12u * 256u + 31u), 0);
  EXPECT_EQ(UnpackDate(2014u * 65536u + 0u * 256u + 5u), 0);
  EXPECT_EQ(UnpackDate(0xFFFFFFFFu), 0);
  // Normalised as DATE does.
  EXPECT_EQ(UnpackDate(2014u * 65536u + 2u * 256u + 30u), ChronoDayNumber(2014, 3, 2));
  for (DayNumber d = kFirstDayNumber; d <= kLastDayNumber; d += 997) {
    ASSERT_EQ(UnpackDate(PackDate(d)), d);
  }
}

TEST(DateTimeTest, PackedTimes) {
  TimeValue t = 14 * 360000 + 7 * 6000 + 9 * 100 + 42 + 1;
  EXPECT_EQ(PackTime(t), 14u * 16777216u + 7u * 65536u + 9u * 256u + 42u);
  EXPECT_EQ(UnpackTime(PackTime(t)), t);
  EXPECT_EQ(PackTime(0), 0u);
  EXPECT_EQ(PackTime(8640001), 0u);
  EXPECT_EQ(PackTime(1), 0u);   // midnight packs to all zeros ...
  EXPECT_EQ(UnpackTime(0), 0);  // ... which is the empty time
  EXPECT_EQ(UnpackTime(24u * 16777216u), -1);
  EXPECT_EQ(UnpackTime(0xFFFFFFFFu), -1);
}

TEST(DateTimeTest, ElapsedClockCountsForward) {
  int64_t first = ElapsedClock();
  int64_t second = ElapsedClock();
  EXPECT_GE(first, 0);
  EXPECT_GE(second, first);
}

TEST(DateTimeTest, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2012));
  EXPECT_FALSE(IsLeapYear(2014));
  EXPECT_EQ(MonthLength(2, 1900), 28);
  EXPECT_EQ(MonthLength(2, 2000), 29);
  EXPECT_EQ(MonthLength(12, 2014), 31);
  EXPECT_EQ(MonthLength(13, 2014), 0);
}

}  // namespace
}  // namespace tentaria::runtime
