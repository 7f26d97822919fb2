// Clock: the local date and time, and a monotonic tick count.
#ifndef TENTARIA_PLATFORM_CLOCK_H_
#define TENTARIA_PLATFORM_CLOCK_H_

#include <cstdint>

namespace tentaria::platform {

struct LocalTime {
  int year;   // four digits
  int month;  // 1-12
  int day;    // 1-31
  int hour;
  int minute;
  int second;
  int millisecond;
};

LocalTime GetLocalTime();
// Milliseconds since an arbitrary fixed point; never goes backwards.
uint64_t TickCount();
// Hundredths of a second since the program started (first call counts as
// the start when nothing called it before).
int64_t ElapsedHundredths();

// Tests pin the local time; a null argument returns to the real clock.
void SetLocalTimeForTesting(const LocalTime* fixed);

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_CLOCK_H_
