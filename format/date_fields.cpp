// The texts of the date and time parts that the tokens of a section stand for, written when the
// section is output: numbers of the calendar and the clock, the host's names of months, days
// and eras, the hours and the AM/PM markers.
#include <cmath>
#include <cstring>

#include "brtl/runtime.h"
#include "brtl/texts.h"
#include "datetime/calendar.h"
#include "datetime/eras.h"
#include "format/engine.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"

namespace brtl::format {

namespace {

// Host text ids, less the month (1-12), the weekday (1 = Sunday) or the era (from 0).
constexpr int32_t kMonthNames = BI_TEXT_MONTHS + 1;
constexpr int32_t kDayNames = BI_TEXT_DAYS + 1;
constexpr int32_t kLongDayNames = BI_TEXT_LONG_DAYS + 1;   // aaaa
constexpr int32_t kShortDayNames = BI_TEXT_SHORT_DAYS + 1; // aaa

// 1 for 1 January (the calendar fields must be loaded).
int day_of_year(const DateFields &date) {
    return static_cast<int>(datetime::ymd_to_serial(date.day, date.month, date.year) -
                            datetime::ymd_to_serial(1, 1, date.year)) +
           1;
}

// The minute and the second of a time of day in seconds (0 to 86400), rounded to the second.
int minutes_of(double seconds) {
    return static_cast<int>((seconds + 0.5) / 60.0) % 60;
}
int seconds_of(double seconds) {
    return static_cast<int>(seconds + 0.5) % 60;
}

// "%d" of a number with at least min_digits digits (not NUL-terminated).
size_t number_text(int64_t value, int min_digits, char *out) {
    if (value >= 0 && value < 100 && min_digits <= 2) { // the day, month, hour, minute, second
        size_t n = 0;
        if (value >= 10 || min_digits == 2) out[n++] = static_cast<char>('0' + value / 10);
        out[n++] = static_cast<char>('0' + value % 10);
        return n;
    }
    if (value >= 1000 && value < 10000 && min_digits <= 4) { // a year
        const auto v = static_cast<int>(value);
        out[0] = static_cast<char>('0' + v / 1000);
        out[1] = static_cast<char>('0' + v / 100 % 10);
        out[2] = static_cast<char>('0' + v / 10 % 10);
        out[3] = static_cast<char>('0' + v % 10);
        return 4;
    }
    size_t n = 0;
    if (value < 0) out[n++] = '-';
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return n + unsigned_text(magnitude, min_digits, out + n);
}

// "%d", but "00" for 0: the one-letter minute and second tokens.
size_t clock_text(int value, bool two_digits, char *out) {
    return number_text(value, two_digits || value == 0 ? 2 : 1, out);
}

// At most max_bytes bytes of a name, never cutting a double-byte character.
size_t abbreviation_length(const char *name, size_t max_bytes) {
    const bool multibyte = platform::mb_cur_max() > 1;
    size_t n = 0;
    while (name[n] != '\0') {
        size_t size = multibyte && platform::is_lead_byte(static_cast<unsigned char>(name[n])) &&
                              name[n + 1] != '\0'
                          ? 2
                          : 1;
        if (n + size > max_bytes) break;
        n += size;
    }
    return n;
}

size_t name_text(const char *name, const char **text) {
    *text = name;
    return std::strlen(name);
}

size_t abbreviation_text(const char *name, const char **text) {
    *text = name;
    return abbreviation_length(name, 3);
}

// The year less its first two characters ("96" of 1996, "" of 100 is "0"...).
size_t short_year_text(int64_t year, char *out) {
    char text[24];
    size_t n = number_text(year, 1, text);
    if (n <= 2) return 0;
    std::memcpy(out, text + 2, n - 2);
    return n - 2;
}

size_t era_text(DateField field, const DateFields &date, char *digits, const char **text) {
    int era = datetime::era_of_serial(date.serial);
    if (era < 0) return 0;
    switch (field) {
    case DateField::ShortEra:
        return name_text(host_word(BI_TEXT_SHORT_ERAS - era), text);
    case DateField::MiddleEra:
        return name_text(host_word(BI_TEXT_MIDDLE_ERAS - era), text);
    case DateField::LongEra:
        return name_text(host_word(BI_TEXT_LONG_ERAS - era), text);
    default:
        return number_text(date.year - datetime::era_year_offset(era),
                           field == DateField::EraYear ? 1 : 2, digits);
    }
}

} // namespace

bool reads_calendar(DateField field) {
    switch (field) {
    case DateField::Minute:
    case DateField::MinuteTwoDigits:
    case DateField::Second:
    case DateField::SecondTwoDigits:
        return false;
    default:
        return true;
    }
}

size_t field_text(DateField field, const DateFields &date, char *digits, const char **text) {
    *text = digits;
    switch (field) {
    case DateField::Day:
    case DateField::DayTwoDigits:
        return number_text(date.day, field == DateField::Day ? 1 : 2, digits);
    case DateField::DayAbbreviation:
        return abbreviation_text(host_word(kDayNames - date.weekday), text);
    case DateField::DayName:
        return name_text(host_word(kDayNames - date.weekday), text);
    case DateField::Weekday:
        digits[0] = static_cast<char>('0' + date.weekday);
        return 1;
    case DateField::Week:
        return number_text((day_of_year(date) + 6) / 7, 1, digits);
    case DateField::Minute:
    case DateField::MinuteTwoDigits:
        return clock_text(minutes_of(date.seconds), field == DateField::MinuteTwoDigits, digits);
    case DateField::Second:
    case DateField::SecondTwoDigits:
        return clock_text(seconds_of(date.seconds), field == DateField::SecondTwoDigits, digits);
    case DateField::Month:
    case DateField::MonthTwoDigits:
        return number_text(date.month, field == DateField::Month ? 1 : 2, digits);
    case DateField::MonthAbbreviation:
        return abbreviation_text(host_word(kMonthNames - date.month), text);
    case DateField::MonthName:
        return name_text(host_word(kMonthNames - date.month), text);
    case DateField::Year:
        return number_text(date.year, 1, digits);
    case DateField::YearShort:
        return short_year_text(date.year, digits);
    case DateField::YearDay:
        return number_text(day_of_year(date), 1, digits);
    case DateField::Quarter:
        return number_text((date.month - 1) / 3 + 1, 1, digits);
    case DateField::ShortDayName:
        return name_text(host_word(kShortDayNames - date.weekday), text);
    case DateField::LongDayName:
        return name_text(host_word(kLongDayNames - date.weekday), text);
    default:
        return era_text(field, date, digits, text);
    }
}

bool load_calendar(DateFields &date) {
    if (!datetime::in_calendar_domain(date.serial)) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    datetime::Ymd ymd = datetime::serial_to_ymd(date.serial);
    date.day = ymd.day;
    date.month = ymd.month;
    date.year = ymd.year;
    date.weekday = datetime::weekday_of_day(datetime::serial_day(date.serial));
    date.calendar = true;
    return true;
}

bool is_pm(double seconds) {
    return static_cast<int>((seconds + 0.5) / 3600.0) >= 12;
}

size_t hour_text(double seconds, int count, bool twelve_hour, char *out, bool *pm) {
    int hour = static_cast<int>((seconds + 0.5) / 3600.0);
    *pm = hour >= 12;
    if (twelve_hour) {
        if (hour > 12)
            hour -= 12;
        else if (hour == 0)
            hour = 12;
        return unsigned_text(static_cast<uint64_t>(hour), count, out);
    }
    return unsigned_text(static_cast<uint64_t>(hour), count == 2 || hour == 0 ? 2 : 1, out);
}

const char *am_pm_text(char marker, bool pm) {
    switch (marker) {
    case 'M':
        return pm ? "PM" : "AM";
    case 'm':
        return pm ? "pm" : "am";
    case 'A':
        return pm ? "P" : "A";
    case 'a':
        return pm ? "p" : "a";
    default: { // AMPM: the host's words, or the English ones when the host has none
        const char *word = host_word(pm ? BI_TEXT_PM : BI_TEXT_AM);
        return *word != '\0' ? word : (pm ? "PM" : "AM");
    }
    }
}

size_t unsigned_text(uint64_t value, int min_digits, char *out) {
    if (value < 100 && min_digits <= 2) { // the common case of the calendar and the clock
        size_t n = 0;
        if (value >= 10 || min_digits == 2) out[n++] = static_cast<char>('0' + value / 10);
        out[n++] = static_cast<char>('0' + value % 10);
        out[n] = '\0';
        return n;
    }
    char reversed[24];
    size_t n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < static_cast<size_t>(min_digits) && n < sizeof reversed)
        reversed[n++] = '0';
    for (size_t i = 0; i < n; ++i)
        out[i] = reversed[n - 1 - i];
    out[n] = '\0';
    return n;
}

} // namespace brtl::format
