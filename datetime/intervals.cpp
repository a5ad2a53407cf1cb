// Calendar arithmetic in named units: DateAdd, DateDiff and DatePart. Weeks start on Sunday.
//
// A serial is read as a day (its whole part truncated toward zero) and a time of day (the
// absolute value of its fraction), and results are built the same way, so that dates before
// 30 December 1899 keep and read their time of day as later ones do.
#include <cmath>
#include <cstring>
#include <iterator>

#include "brtl/datetime.h"
#include "brtl/variant.h"
#include "datetime/calendar.h"
#include "datetime/date_argument.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace brtl::datetime {

namespace {

enum Interval {
    kYear,
    kQuarter,
    kMonth,
    kDayOfYear,
    kDay,
    kWeekday,
    kWeek,
    kHour,
    kMinute,
    kSecond
};

// The interval codes, matched exactly (case and whole text); -1 for any other text.
int interval_of(const runtime::OwnedString &text) {
    static constexpr const char *kCodes[] = {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"};
    for (int i = 0; i < static_cast<int>(std::size(kCodes)); ++i)
        if (std::strlen(kCodes[i]) == text.size() &&
            std::memcmp(kCodes[i], text.data(), text.size()) == 0)
            return i;
    return -1;
}

// Seconds of one hour, minute and second.
double seconds_per(int interval) {
    return interval == kHour ? 3600.0 : interval == kMinute ? 60.0 : 1.0;
}

VARIANT *set_null(VARIANT *result) {
    result->vt = VT_NULL;
    return result;
}

// Looks up the interval (trap 5 for an unknown code) and converts the date arguments, which
// belong to the builtin: they are released on every path but success. After a trap whose hook
// returns, false and the result Empty.
bool prepare(VARIANT *result, runtime::OwnedString &interval_text, int &interval, VARIANT *dates[],
             int count) {
    result->vt = VT_EMPTY;
    variant::OwnedVariant first(dates[0]);
    variant::OwnedVariant second(count > 1 ? dates[1] : nullptr);
    interval = interval_of(interval_text);
    interval_text.reset();
    if (interval < 0) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (!to_date_argument(*dates[i], false)) return false;
        // The calendar reads a bounded range of days (NaN and infinities are no days).
        if (!in_calendar_domain(dates[i]->date)) {
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return false;
        }
    }
    first.release();
    second.release();
    return true;
}

// The serial count units after the serial; false after trap 5 (a year outside 0-10000).
bool add(int interval, int32_t count, double serial, double &out) {
    if (interval >= kHour) {
        double linear = serial_to_linear(serial) + count * seconds_per(interval) / 86400.0;
        out = linear_to_serial(linear);
        return true;
    }
    Ymd date = serial_to_ymd(serial);
    int64_t day = date.day, month = date.month, year = date.year;
    double time = serial_time(serial);
    switch (interval) {
    case kYear:
        year += count; // the day is not clamped: 29 February plus a year is 1 March
        break;
    case kQuarter:
    case kMonth:
        month += static_cast<int64_t>(count) * (interval == kQuarter ? 3 : 1);
        carry_months(year, month); // month 0 is December of the year before
        break;
    case kWeek:
        day += static_cast<int64_t>(count) * 7;
        break;
    default: // days of the year, days, weekdays: the day overflows into the following months
        day += count;
        break;
    }
    if (interval <= kMonth) {
        if (year < 0 || year > 10000) {
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return false;
        }
        // The end of a month stays the end of a shorter one.
        if (interval != kYear && day > days_in_month(year, static_cast<int>(month)))
            day = days_in_month(year, static_cast<int>(month));
    }
    out = combine_serial(static_cast<int64_t>(ymd_to_serial(day, month, year)), time);
    return true;
}

// The day of the first Sunday strictly after the day (a Sunday moves a whole week).
int64_t next_sunday(int64_t day) {
    return day + 8 - weekday_of_day(day);
}

// Whole units of f seconds since day 0, counting the boundaries crossed.
int64_t units_since_day_zero(double serial, double f) {
    int64_t per_day = static_cast<int64_t>(86400.0 / f);
    return serial_day(serial) * per_day +
           static_cast<int64_t>((serial_time(serial) * 86400.0 + 0.1) / f);
}

int64_t difference(int interval, double serial1, double serial2) {
    int64_t day1 = serial_day(serial1), day2 = serial_day(serial2);
    switch (interval) {
    case kYear:
        return serial_to_ymd(serial2).year - serial_to_ymd(serial1).year;
    case kQuarter:
    case kMonth: {
        Ymd a = serial_to_ymd(serial1), b = serial_to_ymd(serial2);
        int64_t months1 = a.month - 1 + 12 * int64_t{a.year};
        int64_t months2 = b.month - 1 + 12 * int64_t{b.year};
        if (interval == kMonth) return months2 - months1;
        return floor_div(months2, 3) - floor_div(months1, 3);
    }
    case kDayOfYear:
    case kDay:
        return day2 - day1;
    case kWeekday:
        return (day2 - day1) / 7;
    case kWeek:
        return (next_sunday(day2) - next_sunday(day1)) / 7;
    default:
        return units_since_day_zero(serial2, seconds_per(interval)) -
               units_since_day_zero(serial1, seconds_per(interval));
    }
}

int32_t part(int interval, double serial) {
    Ymd date = serial_to_ymd(serial);
    double seconds = serial_time(serial) * 86400.0;
    switch (interval) {
    case kYear:
        return date.year;
    case kQuarter:
        return (date.month - 1) / 3 + 1;
    case kMonth:
        return date.month;
    case kDayOfYear:
        return static_cast<int32_t>(ymd_to_serial(date.day, date.month, date.year) -
                                    ymd_to_serial(1, 1, date.year)) +
               1;
    case kDay:
        return date.day;
    case kWeekday:
        return weekday_of_day(serial_day(serial));
    case kWeek: {
        int32_t day_of_year = part(kDayOfYear, serial);
        // Days of the year before its first Sunday: they are week 1.
        int32_t before_sunday =
            (8 - weekday_of_day(static_cast<int64_t>(ymd_to_serial(1, 1, date.year)))) % 7;
        if (day_of_year <= before_sunday) return 1;
        return (day_of_year - before_sunday + 6) / 7 + (before_sunday > 0 ? 1 : 0);
    }
    case kHour: // truncated, unlike Hour
        return static_cast<int32_t>(serial_time(serial) * 24.0);
    case kMinute:
        return static_cast<int32_t>((seconds + 0.1) / 60.0) % 60;
    default:
        return static_cast<int32_t>(seconds + 0.1) % 60;
    }
}

} // namespace

} // namespace brtl::datetime

extern "C" {

BRTL_API VARIANT *ZbiBuiltIn_DateAdd(VARIANT *result, BiString interval, int32_t count,
                                     VARIANT date) {
    brtl::runtime::OwnedString text(interval);
    if (date.vt == VT_NULL) return brtl::datetime::set_null(result);
    VARIANT *dates[] = {&date};
    int code = 0;
    if (!brtl::datetime::prepare(result, text, code, dates, 1)) return result;
    double serial = 0.0;
    if (!brtl::datetime::add(code, count, date.date, serial)) return result;
    result->vt = VT_DATE;
    result->date = serial;
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_DateDiff(VARIANT *result, BiString interval, VARIANT date1,
                                      VARIANT date2) {
    brtl::runtime::OwnedString text(interval);
    if (date1.vt == VT_NULL || date2.vt == VT_NULL) {
        BiXVariantClear(&date1);
        BiXVariantClear(&date2);
        return brtl::datetime::set_null(result);
    }
    VARIANT *dates[] = {&date1, &date2};
    int code = 0;
    if (!brtl::datetime::prepare(result, text, code, dates, 2)) return result;
    int64_t diff = brtl::datetime::difference(code, date1.date, date2.date);
    bool integer = code == brtl::datetime::kYear || code == brtl::datetime::kWeekday ||
                   code == brtl::datetime::kWeek;
    int64_t low = integer ? INT16_MIN : INT32_MIN, high = integer ? INT16_MAX : INT32_MAX;
    if (diff < low || diff > high) {
        brtl::runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
        return result;
    }
    if (integer) {
        result->vt = VT_I2;
        result->iVal = static_cast<int16_t>(diff);
    } else {
        result->vt = VT_I4;
        result->lVal = static_cast<int32_t>(diff);
    }
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_DatePart(VARIANT *result, BiString interval, VARIANT date) {
    brtl::runtime::OwnedString text(interval);
    if (date.vt == VT_NULL) return brtl::datetime::set_null(result);
    VARIANT *dates[] = {&date};
    int code = 0;
    if (!brtl::datetime::prepare(result, text, code, dates, 1)) return result;
    result->vt = VT_I2;
    result->iVal = static_cast<int16_t>(brtl::datetime::part(code, date.date));
    return result;
}

} // extern "C"
