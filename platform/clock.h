// The local clock: the system clock in the local time zone, moved by a process-wide offset.
// Setting the date or time changes only that offset, so every clock read of the library sees
// the new time while the machine's clock stays as it is; with BRTL_SET_SYSTEM_CLOCK=1 in the
// environment the system clock itself is set instead (which needs the privilege to do so).
#pragma once

#include <cstdint>

namespace brtl::platform {

// A local date and time with the fields of the system's clock record.
struct LocalTime {
    int32_t year;        // 1601-30827 for a time that can be set
    int32_t month;       // 1-12
    int32_t day_of_week; // 0 = Sunday; ignored when setting
    int32_t day;         // 1-31
    int32_t hour;        // 0-23
    int32_t minute;      // 0-59
    int32_t second;      // 0-59
    int32_t millisecond; // 0-999
};

// Seconds since 1970-01-01 00:00 UTC and milliseconds, as the library's clock reads them.
struct ClockReading {
    int64_t seconds;
    int32_t milliseconds;
};

// The current time of the library's clock.
ClockReading clock_now();
// The current local date and time of the library's clock.
LocalTime local_time();
// Sets the library's clock to the local date and time t. Refuses (returns false, changing
// nothing) a field out of its range: a year outside 1601-30827, a day the month does not have
// (29 February only in a leap year of the Gregorian calendar), an hour above 23, a minute or
// second above 59, a millisecond above 999.
bool set_local_time(const LocalTime &t);

// The offset of the library's clock from the system clock in milliseconds, and its reset to 0
// (for tests, which must leave the clock as they found it).
int64_t clock_offset_milliseconds();
void reset_clock_offset();

} // namespace brtl::platform
