// The date serial as the library's own code reads and builds it: the proleptic Gregorian
// calendar (with a leap year 0 and negative years before it), the day and the time of day of a
// serial, and the weekday.
//
// A serial's day is its whole part truncated toward zero and its time of day the absolute value
// of its fraction, so -1.25 is 29 December 1899 at 06:00. combine_serial() builds a serial from a
// day and a time the same way.
#pragma once

#include <cmath>
#include <cstdint>

namespace brtl::datetime {

// Serial of day 0 (30 December 1899) counted from 1 January of year 0.
constexpr int64_t kYearZeroOffset = 693959;
// The serials DateSerial and ZbiValidDate accept: 1 January 100 to 31 December 9999.
constexpr double kFirstValidSerial = -657434.0;
constexpr double kLastValidSerial = 2958465.0;
// The time of day at which a day's last second begins (23:59:59): the serials of the valid
// years run from kFirstValidSerial - kLastSecond to kLastValidSerial + kLastSecond.
constexpr double kLastSecond = 0.99998843;
// The serials the calendar builtins read: every year of the result fits an Integer and all the
// arithmetic is exact. Beyond them (and for NaN and infinities) those builtins raise trap 5.
constexpr double kCalendarLimit = 10000000.0;

// Division by a positive b rounding toward minus infinity, so that the calendar arithmetic holds
// for negative years, months and days as well.
inline int64_t floor_div(int64_t a, int64_t b) {
    return a >= 0 ? a / b : -(-(a + 1) / b) - 1;
}

struct Ymd {
    int32_t day;
    int32_t month;
    int32_t year;
};

// Whole-day serial of a date. The month may lie outside 1-12 (0 is December of the year before,
// 13 January of the next) and the day outside the month (0 is the last day of the month before;
// it is added as a plain count of days).
double ymd_to_serial(int64_t day, int64_t month, int64_t year);
// The date of a serial's day. The serial must be in the calendar domain.
Ymd serial_to_ymd(double serial);
// True when the calendar builtins can read the serial (finite, |serial| <= kCalendarLimit).
bool in_calendar_domain(double serial);

// The day of a serial: its whole part truncated toward zero. The serial must be finite.
inline int64_t serial_day(double serial) {
    return static_cast<int64_t>(std::trunc(serial));
}
// The time of day of a serial, 0 <= time < 1: the absolute value of its fraction.
double serial_time(double serial);
// The serial of a day at a time of day (0 <= time < 1): day + time from day 0 on, day - time
// before it, so that the time always reads forward from that day's midnight.
inline double combine_serial(int64_t day, double time) {
    double d = static_cast<double>(day);
    return day >= 0 ? d + time : d - time;
}

// The serial of the moment a date and time text names: a time of day that rounds to the next
// whole second at midnight (the last half second of a day) becomes the next day's midnight, so
// the date and the 12-hour time show one moment; any other serial is returned as it is.
double serial_for_text(double serial);

// A serial as a plain count of days from day 0 (day + time of day, so -1.25 is -0.75), in which
// adding hours or days is plain addition; linear_to_serial() turns such a count back into a
// serial. Both keep a serial of 0 and above unchanged.
double serial_to_linear(double serial);
double linear_to_serial(double linear);

// Carries a month outside 1-12 into the year: month 0 becomes December of the year before,
// month 13 January of the next, month 24 December of the next.
void carry_months(int64_t &year, int64_t &month);

// Hour, minute and second of a serial's time of day, rounded to the nearest second; in the last
// half second of a day the hour is 24 while minute and second are 0. The serial must be finite.
int32_t hour_of(double serial);
int32_t minute_of(double serial);
int32_t second_of(double serial);

// 1 = Sunday ... 7 = Saturday.
int weekday_of_day(int64_t day);

bool is_leap_year(int64_t year);
// 28-31 for months 1-12.
int days_in_month(int64_t year, int month);

} // namespace brtl::datetime
