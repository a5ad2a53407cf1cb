#include "platform/clock.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace brtl::platform {

namespace {

std::atomic<int64_t> g_offset_ms{0};

int64_t system_milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool is_leap_year(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t days_in_month(int32_t year, int32_t month) {
    static const int32_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

// The range of the system's clock record: years 1601 to 30827.
bool settable(const LocalTime &t) {
    if (t.year < 1601 || t.year > 30827) return false;
    if (t.month < 1 || t.month > 12) return false;
    if (t.day < 1 || t.day > days_in_month(t.year, t.month)) return false;
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59) return false;
    if (t.second < 0 || t.second > 59) return false;
    return t.millisecond >= 0 && t.millisecond <= 999;
}

bool system_clock_opted_in() {
    const char *value = std::getenv("BRTL_SET_SYSTEM_CLOCK");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

} // namespace

ClockReading clock_now() {
    int64_t ms = system_milliseconds() + g_offset_ms.load(std::memory_order_relaxed);
    int64_t seconds = ms / 1000;
    int64_t rest = ms % 1000;
    if (rest < 0) { // before 1970: whole seconds round down, milliseconds stay positive
        rest += 1000;
        --seconds;
    }
    return {seconds, static_cast<int32_t>(rest)};
}

LocalTime local_time() {
    ClockReading now = clock_now();
    time_t seconds = static_cast<time_t>(now.seconds);
    tm parts{};
    tzset(); // follow a change of TZ as localtime does
    if (localtime_r(&seconds, &parts) == nullptr) std::memset(&parts, 0, sizeof parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_wday, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec,  now.milliseconds};
}

bool set_local_time(const LocalTime &t) {
    if (!settable(t)) return false;
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
    int64_t target = static_cast<int64_t>(seconds) * 1000 + t.millisecond;
    if (system_clock_opted_in()) {
        timespec value{};
        value.tv_sec = static_cast<time_t>(target / 1000);
        value.tv_nsec = static_cast<long>(target % 1000) * 1000000L;
        if (clock_settime(CLOCK_REALTIME, &value) != 0) return false;
        g_offset_ms.store(0, std::memory_order_relaxed);
        return true;
    }
    g_offset_ms.store(target - system_milliseconds(), std::memory_order_relaxed);
    return true;
}

int64_t clock_offset_milliseconds() {
    return g_offset_ms.load(std::memory_order_relaxed);
}

void reset_clock_offset() {
    g_offset_ms.store(0, std::memory_order_relaxed);
}

} // namespace brtl::platform
