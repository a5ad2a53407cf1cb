// The library's clock: the system clock moved by a process-wide offset.
#include "platform/clock.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/system_clock.h"

namespace brtl::platform {

namespace {

std::atomic<int64_t> g_offset_ms{0};

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

int64_t now_milliseconds() {
    return system_milliseconds() + g_offset_ms.load(std::memory_order_relaxed);
}

} // namespace

ClockReading clock_now() {
    int64_t ms = now_milliseconds();
    int64_t seconds = ms / 1000;
    int64_t rest = ms % 1000;
    if (rest < 0) { // before 1970: whole seconds round down, milliseconds stay positive
        rest += 1000;
        --seconds;
    }
    return {seconds, static_cast<int32_t>(rest)};
}

LocalTime local_time() {
    return local_time_of(now_milliseconds());
}

bool set_local_time(const LocalTime &t) {
    if (!settable(t)) return false;
    int64_t target = 0;
    if (!milliseconds_of(t, target)) return false;
    if (system_clock_opted_in()) {
        if (!set_system_clock(target)) return false;
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
