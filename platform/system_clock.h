// The system's clock and time zone under the library's clock (platform/clock.h).
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace brtl::platform {

// Milliseconds since 1970-01-01 00:00 UTC by the system clock.
int64_t system_milliseconds();
// The local date and time of a count of milliseconds since 1970 (UTC), in the time zone in force.
LocalTime local_time_of(int64_t milliseconds);
// The milliseconds since 1970 (UTC) of a local date and time that is within the record's range;
// false when the system cannot convert it.
bool milliseconds_of(const LocalTime &t, int64_t &milliseconds);
// Sets the system clock; false when the system refuses (no privilege).
bool set_system_clock(int64_t milliseconds);

} // namespace brtl::platform
