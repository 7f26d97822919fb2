#include "platform/clock.h"

#include <time.h>

#include <chrono>
#include <mutex>
#include <optional>

namespace tentaria::platform {
namespace {

std::mutex& FixedTimeMutex() {
  static std::mutex mutex;
  return mutex;
}

std::optional<LocalTime>& FixedTime() {
  static std::optional<LocalTime> fixed;
  return fixed;
}

std::chrono::steady_clock::time_point StartTime() {
  static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  return start;
}

// Takes the start of ElapsedHundredths when the program starts, not when the
// first caller happens to ask.
[[maybe_unused]] const auto kStartAtLoad = StartTime();

}  // namespace

LocalTime GetLocalTime() {
  {
    std::lock_guard<std::mutex> lock(FixedTimeMutex());
    if (FixedTime()) return *FixedTime();
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  // localtime_r need not look at TZ again; tzset makes a changed zone count.
  tzset();
  tm parts{};
  localtime_r(&now.tv_sec, &parts);
  LocalTime result{};
  result.year = parts.tm_year + 1900;
  result.month = parts.tm_mon + 1;
  result.day = parts.tm_mday;
  result.hour = parts.tm_hour;
  result.minute = parts.tm_min;
  // A leap second (60) is shown as the last second of the minute.
  result.second = parts.tm_sec > 59 ? 59 : parts.tm_sec;
  result.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return result;
}

uint64_t TickCount() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

int64_t ElapsedHundredths() {
  auto elapsed = std::chrono::steady_clock::now() - StartTime();
  return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10;
}

void SetLocalTimeForTesting(const LocalTime* fixed) {
  std::lock_guard<std::mutex> lock(FixedTimeMutex());
  if (fixed) {
    FixedTime() = *fixed;
  } else {
    FixedTime().reset();
  }
}

}  // namespace tentaria::platform
