// The system clock and the local time zone through the C library (TZ is followed as it changes).
#include <time.h>

#include <cerrno>
#include <cstring>

#include "platform/system_clock.h"

namespace brtl::platform {

int64_t system_milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

LocalTime local_time_of(int64_t milliseconds) {
    int64_t seconds = milliseconds / 1000;
    int32_t rest = static_cast<int32_t>(milliseconds % 1000);
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    time_t stamp = static_cast<time_t>(seconds);
    tm parts{};
    tzset(); // follow a change of TZ as localtime does
    if (localtime_r(&stamp, &parts) == nullptr) std::memset(&parts, 0, sizeof parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_wday, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec,  rest};
}

bool milliseconds_of(const LocalTime &t, int64_t &milliseconds) {
    tm parts{};
    parts.tm_year = t.year - 1900;
    parts.tm_mon = t.month - 1;
    parts.tm_mday = t.day;
    parts.tm_hour = t.hour;
    parts.tm_min = t.minute;
    parts.tm_sec = t.second;
    parts.tm_isdst = -1; // the zone's rule for that date decides
    tzset();
    errno = 0;
    time_t seconds = mktime(&parts);
    if (seconds == static_cast<time_t>(-1) && errno != 0) return false;
    milliseconds = static_cast<int64_t>(seconds) * 1000 + t.millisecond;
    return true;
}

bool set_system_clock(int64_t milliseconds) {
    timespec value{};
    value.tv_sec = static_cast<time_t>(milliseconds / 1000);
    value.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    return clock_settime(CLOCK_REALTIME, &value) == 0;
}

} // namespace brtl::platform
