// The subtype of an Input # field read into a Variant: what Write # wrote comes back as Empty,
// Null, Integer, Long, Currency, Double, Date or String.
#include <cmath>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/numeric.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "datetime/calendar.h"
#include "fileio/input_field.h"
#include "platform/codepage.h"
#include "platform/numparse.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"
#include "variant/string_variant.h"

namespace brtl::fileio {

namespace {

bool is_digit(char c) {
    return platform::is_digit(static_cast<unsigned char>(c));
}

// atoi of the platform runtime over a cursor that the caller then moves with skip_digits.
int32_t atoi_at(const char *p) {
    return static_cast<int32_t>(platform::parse_integer(p));
}

const char *skip_digits(const char *p) {
    while (is_digit(*p))
        ++p;
    return p;
}

double serial_of(VARIANT *date) {
    variant::OwnedVariant owned;
    *owned = *date;
    return owned->vt == VT_DATE ? owned->date : 0.0;
}

// "#yyyy-mm-dd hh:mm:ss#" and its parts, as Write # writes a date. False when the text is no
// date (the field is then a String).
bool read_date(const char *text, double &serial) {
    const char *pos = text;
    bool has_date = false;
    double date = 0.0;
    int32_t year = atoi_at(pos);
    const char *after_year = skip_digits(pos);
    // A year is four digits: above 999, or (years 100 to 999 written with leading zeros)
    // followed by the month.
    if (year > 999 || (after_year != pos && *after_year == '-')) {
        pos = after_year;
        int32_t month = 0, day = 0;
        if (*pos == '-') {
            month = atoi_at(++pos);
            pos = skip_digits(pos);
            if (*pos == '-') {
                day = atoi_at(++pos);
                pos = skip_digits(pos);
            }
        }
        if (ZbiValidDate(year, month, day)) {
            VARIANT v;
            ZbiBuiltIn_DateSerial(&v, year, month, day);
            date = serial_of(&v);
            has_date = true;
            if (*pos != '\0') ++pos; // the blank or "#" after the day
        }
    }
    bool has_time = false;
    double time = 0.0;
    if (*pos != '\0') {
        int32_t hour = atoi_at(pos);
        pos = skip_digits(pos);
        if (*pos != ':') return false;
        int32_t minute = atoi_at(++pos);
        pos = skip_digits(pos);
        if (*pos != ':') return false;
        int32_t second = atoi_at(++pos);
        pos = skip_digits(pos);
        if (*pos != '#') return false;
        if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
            return false;
        VARIANT v;
        ZbiBuiltIn_TimeSerial(&v, hour, minute, second);
        time = serial_of(&v);
        has_time = true;
    }
    if (!has_date && !has_time) return false;
    // A day before 30 December 1899 counts its time forward from its midnight too.
    serial = datetime::combine_serial(static_cast<int64_t>(date), time);
    return true;
}

struct NumberScan {
    const char *end; // after the number
    bool decimal;    // a point with at most four decimals
    bool floating;   // more decimals, or an exponent
};

NumberScan scan_number(const char *p) {
    NumberScan scan{p, false, false};
    if (*p == '+' || *p == '-') ++p;
    p = skip_digits(p);
    if (*p == '.') {
        const char *fraction = ++p;
        p = skip_digits(p);
        if (p - fraction > 4)
            scan.floating = true;
        else
            scan.decimal = true;
    }
    if (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd') {
        const char *q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (is_digit(*q)) {
            p = skip_digits(q);
            scan.floating = true;
        }
    }
    if (scan.floating) scan.decimal = false;
    scan.end = p;
    return scan;
}

// A number: an Integer or Long when it is whole and fits, a Double when it has an exponent or
// more than four decimals, otherwise Currency. A number that does not fit the Currency range
// becomes a Double, so that every number Write # writes reads back.
bool store_number(const char *text, VARIANT *target) {
    NumberScan scan = scan_number(text);
    platform::ParsedDouble parsed = platform::parse_written_double(text);
    if (parsed.range_error && std::isinf(parsed.value)) {
        runtime::raise_trap(BI_TRAP_OVERFLOW);
        return false;
    }
    double value = parsed.value;
    if (!scan.decimal && !scan.floating) {
        if (value >= -32768.0 && value <= 32767.0) {
            target->vt = VT_I2;
            target->iVal = static_cast<int16_t>(value);
            return true;
        }
        if (value >= -2147483648.0 && value <= 2147483647.0) {
            target->vt = VT_I4;
            target->lVal = static_cast<int32_t>(value);
            return true;
        }
    }
    if (!scan.floating) {
        char digits[64];
        size_t n = static_cast<size_t>(scan.end - text);
        BiCurrency currency = 0;
        if (n < sizeof digits) {
            std::memcpy(digits, text, n);
            digits[n] = '\0';
            if (ZbiCvtStrCurNum(digits, &currency) == 0) {
                target->vt = VT_CY;
                target->cyVal = currency;
                return true;
            }
        }
    }
    target->vt = VT_R8;
    target->dblVal = value;
    return true;
}

} // namespace

bool store_variant_field(const char *field, size_t n, VARIANT *target) {
    BiXVariantClear(target);
    const char *p = field;
    while (platform::is_space(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == '\0') return true; // Empty
    if (*p == '"') {
        const char *end = field + n;
        if (end - 1 > p && end[-1] == '"') --end;
        return variant::store_text_variant(target, p + 1, static_cast<size_t>(end - (p + 1)));
    }
    if (*p == '#') {
        const char *first = p + 1;
        while (*first == ' ' || *first == '\t')
            ++first;
        if (*first == '\0' || !is_digit(first[1])) {
            if (std::strcmp(first, "NULL#") == 0) {
                target->vt = VT_NULL;
                return true;
            }
            return variant::store_text_variant(target, field, n);
        }
        double serial = 0.0;
        if (!read_date(first, serial)) return variant::store_text_variant(target, field, n);
        target->vt = VT_DATE;
        target->date = serial;
        return true;
    }
    if (*p != '+' && *p != '-' && *p != '.' && !is_digit(*p))
        return variant::store_text_variant(target, field, n);
    return store_number(p, target);
}

} // namespace brtl::fileio
