#include "platform/clock.h"

#include <time.h>

namespace dorvane {

TDateTime SystemClock::Now() const {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  struct tm local {};
  ::localtime_r(&now.tv_sec, &local);
  // A leap second reads as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  const int millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, second, millisecond);
}

}  // namespace dorvane
