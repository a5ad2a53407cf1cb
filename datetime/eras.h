// The eras of the multibyte locale's calendar: which era a date falls in and how an era's years
// map to Gregorian years.
#pragma once

#include <cstdint>

namespace brtl::datetime {

constexpr int kEraCount = 4;

// Each era: the serial of its first day and the Gregorian year before its first year.
struct Era {
    int64_t first_serial;
    int32_t year_base;
};
constexpr Era kEras[kEraCount] = {{-11435, 1867}, {4595, 1911}, {9856, 1925}, {32516, 1988}};

// The era of a serial's day (0-3), or -1 for a day before the first era.
int era_of_serial(double serial);
// The number that turns a year of the era into a Gregorian year (year 1 of era 0 is 1868), or
// -1 for an index that is no era.
int32_t era_year_offset(int era);

} // namespace brtl::datetime
