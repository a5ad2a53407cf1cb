// The calendar conversions of the date serial, DateSerial, TimeSerial, the date check and the
// conversion of a broken-down time to a Date.
#include <cmath>
#include <limits>

#include "brtl/datetime.h"
#include "datetime/calendar.h"
#include "runtime/hooks.h"

namespace brtl::datetime {

namespace {

// The remainder of floor_div: 0 <= remainder < b for a positive b.
int64_t floor_mod(int64_t a, int64_t b) {
    return a - floor_div(a, b) * b;
}

// Days from 1 March of year 0 to 1 March of the year, in 400-year cycles of 146097 days.
int64_t days_before_march_first(int64_t year) {
    int64_t cycle = floor_div(year, 400);
    int64_t year_of_cycle = year - cycle * 400; // 0-399
    return cycle * 146097 + year_of_cycle * 365 + year_of_cycle / 4 - year_of_cycle / 100;
}

// 1 March of year 0 is 60 days after 1 January of year 0 (a leap year).
constexpr int64_t kMarchFirstOfYearZero = 60;

} // namespace

void carry_months(int64_t &year, int64_t &month) {
    if (month >= 1 && month <= 12) return; // nothing to carry, and no division
    year += floor_div(month - 1, 12);
    month = floor_mod(month - 1, 12) + 1;
}

double ymd_to_serial(int64_t day, int64_t month, int64_t year) {
    carry_months(year, month);
    // Count from March so that the leap day is the last day of the counting year.
    int64_t march_year = month < 3 ? year - 1 : year;
    int64_t month_from_march = month < 3 ? month + 9 : month - 3; // 0-11
    int64_t day_of_march_year = (153 * month_from_march + 2) / 5 + day - 1;
    int64_t days = days_before_march_first(march_year) + day_of_march_year + kMarchFirstOfYearZero;
    return static_cast<double>(days - kYearZeroOffset);
}

Ymd serial_to_ymd(double serial) {
    int64_t days = serial_day(serial) + kYearZeroOffset - kMarchFirstOfYearZero;
    int64_t cycle = floor_div(days, 146097);
    int64_t day_of_cycle = days - cycle * 146097; // 0-146096
    int64_t year_of_cycle =
        (day_of_cycle - day_of_cycle / 1460 + day_of_cycle / 36524 - day_of_cycle / 146096) / 365;
    int64_t day_of_year =
        day_of_cycle - (365 * year_of_cycle + year_of_cycle / 4 - year_of_cycle / 100);
    int64_t month_from_march = (5 * day_of_year + 2) / 153; // 0-11
    int64_t day = day_of_year - (153 * month_from_march + 2) / 5 + 1;
    int64_t month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
    int64_t year = cycle * 400 + year_of_cycle + (month < 3 ? 1 : 0);
    return Ymd{static_cast<int32_t>(day), static_cast<int32_t>(month), static_cast<int32_t>(year)};
}

bool in_calendar_domain(double serial) {
    return std::isfinite(serial) && std::fabs(serial) <= kCalendarLimit;
}

double serial_time(double serial) {
    double whole = 0.0;
    return std::fabs(std::modf(serial, &whole));
}

double serial_for_text(double serial) {
    if (!in_calendar_domain(serial) || serial_time(serial) * 86400.0 + 0.5 < 86400.0) return serial;
    return static_cast<double>(serial_day(serial) + 1);
}

double serial_to_linear(double serial) {
    return static_cast<double>(serial_day(serial)) + serial_time(serial);
}

double linear_to_serial(double linear) {
    double day = std::floor(linear);
    double time = linear - day;
    return day >= 0.0 ? linear : day - time;
}

namespace {
// Seconds into the day, rounded to the nearest second by the added half second.
double rounded_seconds(double serial) {
    return serial_time(serial) * 86400.0 + 0.5;
}
} // namespace

int32_t hour_of(double serial) {
    return static_cast<int32_t>(rounded_seconds(serial) / 3600.0);
}
int32_t minute_of(double serial) {
    return static_cast<int32_t>(std::fmod(rounded_seconds(serial) / 60.0, 60.0));
}
int32_t second_of(double serial) {
    return static_cast<int32_t>(std::fmod(rounded_seconds(serial), 60.0));
}

int weekday_of_day(int64_t day) {
    // Day 0 was a Saturday (7).
    return static_cast<int>(floor_mod(day + 6, 7)) + 1;
}

bool is_leap_year(int64_t year) {
    return floor_mod(year, 4) == 0 && (floor_mod(year, 100) != 0 || floor_mod(year, 400) == 0);
}

int days_in_month(int64_t year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && is_leap_year(year)) return 29;
    return kDays[month - 1];
}

} // namespace brtl::datetime

namespace {

constexpr int64_t kFirstYear = 100;
constexpr int64_t kLastYear = 9999;

VARIANT *date_result(VARIANT *result, double serial) {
    result->vt = VT_DATE;
    result->date = serial;
    return result;
}

// Saturates a 64-bit value into 32 bits. Used where a field of a broken-down time is offset:
// a saturated year or month lies as far out of range as the true one, so it raises the same trap.
int32_t saturate(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

} // namespace

extern "C" {

BRTL_API uint8_t ZbiValidDate(int32_t year, int32_t month, int32_t day) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1) return 0;
    return day <= brtl::datetime::days_in_month(year, month) ? 1 : 0;
}

BRTL_API VARIANT *ZbiBuiltIn_DateSerial(VARIANT *result, int32_t year, int32_t month, int32_t day) {
    // After a trap the result is Empty: not a Date, which ZbiCvtCTimeToVariantDate relies on.
    result->vt = VT_EMPTY;
    if (year < 0 || year > kLastYear) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    int64_t y = year;
    if (y <= 99) y += 1900;
    // Months outside 1-12 carry whole years: 0 is December of the year before, 13 January of
    // the next, 24 December of the next. The carried year is the one the date falls in.
    int64_t m = month;
    brtl::datetime::carry_months(y, m);
    if (y < kFirstYear || y > kLastYear) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    // Days outside the month count on from its first day: day 0 is the last day of the month
    // before, day 31 of a 30-day month the first of the next.
    double serial = brtl::datetime::ymd_to_serial(1, m, y) + (static_cast<double>(day) - 1.0);
    return date_result(result, serial);
}

BRTL_API VARIANT *ZbiBuiltIn_TimeSerial(VARIANT *result, int32_t hour, int32_t minute,
                                        int32_t second) {
    // No range check and no normalisation: 25 hours is a day and an hour, -1 hour reads as 01:00.
    double seconds = static_cast<double>(minute) * 60.0 + static_cast<double>(hour) * 3600.0 +
                     static_cast<double>(second);
    return date_result(result, seconds / 86400.0);
}

BRTL_API VARIANT *ZbiCvtCTimeToVariantDate(VARIANT *result, const BiBrokenDownTime *time) {
    VARIANT day{};
    ZbiBuiltIn_DateSerial(&day, saturate(int64_t{time->tm_year} + 1900),
                          saturate(int64_t{time->tm_mon} + 1), time->tm_mday);
    VARIANT clock{};
    ZbiBuiltIn_TimeSerial(&clock, time->tm_hour, time->tm_min, time->tm_sec);
    if (day.vt != VT_DATE || clock.vt != VT_DATE) {
        result->vt = VT_NULL;
        return result;
    }
    // The time reads forward from the day's midnight, also for days before 30 December 1899.
    return date_result(result, brtl::datetime::linear_to_serial(day.date + clock.date));
}

} // extern "C"
