// The system clock and the time zone of the system (GetSystemTimeAsFileTime, the time zone
// conversions of SYSTEMTIME records, SetLocalTime).
#include <windows.h>

#include "platform/system_clock.h"

namespace brtl::platform {

namespace {

// FILETIME counts 100-nanosecond ticks from 1601-01-01; this many of them lie before 1970.
constexpr int64_t kTicksTo1970 = 116444736000000000LL;
constexpr int64_t kTicksPerMillisecond = 10000;

int64_t milliseconds_of_file_time(const FILETIME &ft) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    return (static_cast<int64_t>(ticks.QuadPart) - kTicksTo1970) / kTicksPerMillisecond;
}

FILETIME file_time_of_milliseconds(int64_t milliseconds) {
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(milliseconds * kTicksPerMillisecond + kTicksTo1970);
    return FILETIME{ticks.LowPart, ticks.HighPart};
}

SYSTEMTIME record_of(const LocalTime &t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

} // namespace

int64_t system_milliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return milliseconds_of_file_time(now);
}

LocalTime local_time_of(int64_t milliseconds) {
    FILETIME utc = file_time_of_milliseconds(milliseconds);
    SYSTEMTIME universal{}, local{};
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return LocalTime{};
    return {local.wYear, local.wMonth,  local.wDayOfWeek, local.wDay,
            local.wHour, local.wMinute, local.wSecond,    local.wMilliseconds};
}

bool milliseconds_of(const LocalTime &t, int64_t &milliseconds) {
    SYSTEMTIME local = record_of(t), universal{};
    FILETIME utc;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) ||
        !SystemTimeToFileTime(&universal, &utc))
        return false;
    milliseconds = milliseconds_of_file_time(utc);
    return true;
}

bool set_system_clock(int64_t milliseconds) {
    LocalTime t = local_time_of(milliseconds);
    SYSTEMTIME local = record_of(t);
    return SetLocalTime(&local) != 0;
}

} // namespace brtl::platform
