// The library clock as the date code reads it.
#pragma once

#include <cstdint>

namespace brtl::datetime {

// The year of today's date on the library clock.
int32_t current_year();

} // namespace brtl::datetime
