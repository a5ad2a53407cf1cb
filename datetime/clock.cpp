// The clock builtins (Now, Timer, Date, Time and their string forms) and the statements that set
// the date and the time of the library clock.
#include "datetime/clock.h"

#include <cstring>
#include <limits>

#include "brtl/datetime.h"
#include "brtl/host.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "datetime/calendar.h"
#include "datetime/parse.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace brtl::datetime {

namespace {

BiBrokenDownTime read_clock() {
    BiBrokenDownTime now{};
    ZrIntlGetSystemDateTime(&now);
    return now;
}

// A temporary of the formatted fields (the empty string after trap 7).
BiString format_fields(const char *format, int32_t a, int32_t b, int32_t c) {
    char text[48];
    int32_t n = ZrSnprintf(text, sizeof text, format, static_cast<long>(a), static_cast<long>(b),
                           static_cast<long>(c));
    if (n < 0 || static_cast<size_t>(n) >= sizeof text) n = 0;
    return runtime::temporary_copy(text, static_cast<size_t>(n));
}

// atoi without its undefined overflow: leading blanks, a sign and digits, saturated to 32 bits.
int32_t leading_integer(const char *p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    int64_t value = 0;
    for (; platform::is_digit(static_cast<unsigned char>(*p)); ++p)
        if (value <= std::numeric_limits<int32_t>::max()) value = value * 10 + (*p - '0');
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// The index of the first character at or after from that is not a digit, or -1 when the text
// ends first. Multibyte characters are stepped over whole: a trail byte is never a digit.
ptrdiff_t first_non_digit(const char *text, size_t from) {
    for (size_t i = from; text[i] != '\0'; i += platform::char_length(text + i, 2))
        if (!platform::is_digit(static_cast<unsigned char>(text[i])))
            return static_cast<ptrdiff_t>(i);
    return -1;
}

bool is_date_statement_separator(char c, char locale_separator) {
    if (c == '/' || c == '-') return true;
    return c == locale_separator && !runtime::strict_limits();
}

void set_date(int32_t day, int32_t month, int32_t year) {
    if (ZrIntlSetSystemDate(day, month, year) != 0) runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

// The clock takes only the low 16 bits of each field: a number that does not fit is refused here
// rather than turned into another time.
void set_time(int64_t hour, int64_t minute, int64_t second) {
    auto fits = [](int64_t v) { return v >= 0 && v <= 0xFFFF; };
    if (!fits(hour) || !fits(minute) || !fits(second) ||
        ZrIntlSetSystemTime(static_cast<int32_t>(hour), static_cast<int32_t>(minute),
                            static_cast<int32_t>(second)) != 0)
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

// The serial a Date or Time statement's Variant stands for. A Date is taken as it is when it
// lies in the years 100-9999; a String is parsed (kind 2 for the date, 0 for the time). False
// after trap 13 (or 7, or a trap the parser raised). The Variant belongs to the call.
bool statement_serial(VARIANT value, ParseKind kind, double *serial) {
    variant::OwnedVariant owned(&value);
    if (value.vt == VT_DATE) {
        *serial = value.date;
        if (value.date >= kFirstValidSerial - kLastSecond &&
            value.date <= kLastValidSerial + kLastSecond)
            return true;
        runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return false;
    }
    if (value.vt != VT_BSTR) {
        owned.reset();
        runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return false;
    }
    uint32_t bytes = 0;
    runtime::ZrBuffer<char> text(ZbiOleToChar(value.bstrVal, &bytes));
    owned.reset();
    if (!text) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    ParseResult parsed = parse_date_time(text.get(), bytes, static_cast<int32_t>(kind), serial);
    text.reset();
    if (parsed == ParseResult::Accepted) return true;
    if (parsed == ParseResult::NotAccepted) runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
    return false;
}

} // namespace

int32_t current_year() {
    return read_clock().tm_year + 1900;
}

} // namespace brtl::datetime

extern "C" {

BRTL_API VARIANT *ZbiBuiltIn_Now(VARIANT *result) {
    BiBrokenDownTime now = brtl::datetime::read_clock();
    return ZbiCvtCTimeToVariantDate(result, &now);
}

BRTL_API VARIANT *ZbiBuiltIn_Timer(VARIANT *result) {
    // Seconds since the local midnight of the clock's own reading, so that the whole seconds and
    // the milliseconds come from the same instant.
    brtl::platform::LocalTime now = brtl::platform::local_time();
    result->vt = VT_R8;
    result->dblVal = now.hour * 3600.0 + now.minute * 60.0 + now.second + now.millisecond / 1000.0;
    return result;
}

BRTL_API VARIANT *ZbiBuiltIn_Date(VARIANT *result) {
    BiBrokenDownTime now = brtl::datetime::read_clock();
    return ZbiBuiltIn_DateSerial(result, now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
}

BRTL_API BiString ZbiBuiltIn_Date_(void) {
    BiBrokenDownTime now = brtl::datetime::read_clock();
    return brtl::datetime::format_fields("%02ld-%02ld-%04ld", now.tm_mon + 1, now.tm_mday,
                                         now.tm_year + 1900);
}

BRTL_API VARIANT *ZbiBuiltIn_Time(VARIANT *result) {
    BiBrokenDownTime now = brtl::datetime::read_clock();
    return ZbiBuiltIn_TimeSerial(result, now.tm_hour, now.tm_min, now.tm_sec);
}

BRTL_API BiString ZbiBuiltIn_Time_(void) {
    BiBrokenDownTime now = brtl::datetime::read_clock();
    return brtl::datetime::format_fields("%02ld:%02ld:%02ld", now.tm_hour, now.tm_min, now.tm_sec);
}

BRTL_API void ZbiBuiltIn_DateStmt_(const char *text) {
    // Month, day and year, month first, between two equal separators.
    char separator = ZrIntlGetDateSeperator();
    int32_t month = brtl::datetime::leading_integer(text);
    ptrdiff_t i = brtl::datetime::first_non_digit(text, 0);
    if (i < 0) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    int32_t day = brtl::datetime::leading_integer(text + i + 1);
    ptrdiff_t j = brtl::datetime::first_non_digit(text, static_cast<size_t>(i) + 1);
    if (j < 0) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    int32_t year = brtl::datetime::leading_integer(text + j + 1);
    if (year >= 0 && year <= 99) year += 1900;
    uint32_t characters = ZrStrCharLen(text);
    bool accepted = characters >= 6 && characters <= 10 && text[i] == text[j] &&
                    brtl::datetime::is_date_statement_separator(text[i], separator) &&
                    ZbiValidDate(year, month, day);
    if (!accepted) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    brtl::datetime::set_date(day, month, year);
}

BRTL_API void ZbiBuiltIn_TimeStmt_(const char *text) {
    // Up to three numbers: hour, minute, second. A field ends at ":", the locale's time separator
    // (unless the strict limits apply), the end of the text, or anything after the seconds.
    char separator = ZrIntlGetTimeSeperator();
    int64_t fields[3] = {0, 0, 0};
    int stored = 0;
    int64_t current = -1; // no current number
    for (size_t pos = 0;;) {
        char c = text[pos];
        bool field_end = (c == separator && !brtl::runtime::strict_limits()) ||
                         (stored == 2 && current >= 0) || c == ':' || c == '\0';
        if (field_end) {
            if (current < 0) {
                brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
                return;
            }
            fields[stored++] = current;
            if (stored == 3 || c == '\0') break;
            current = -1;
            ++pos;
            continue;
        }
        if (!brtl::platform::is_digit(static_cast<unsigned char>(c))) {
            brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return;
        }
        current = 0;
        for (; brtl::platform::is_digit(static_cast<unsigned char>(text[pos])); ++pos)
            if (current <= 0xFFFFF) current = current * 10 + (text[pos] - '0');
    }
    brtl::datetime::set_time(fields[0], fields[1], fields[2]);
}

BRTL_API void ZbiBuiltIn_DateStmt(VARIANT value) {
    double serial = 0.0;
    if (!brtl::datetime::statement_serial(value, brtl::datetime::ParseKind::DateAndTime, &serial))
        return;
    brtl::datetime::Ymd date = brtl::datetime::serial_to_ymd(serial);
    brtl::datetime::set_date(date.day, date.month, date.year);
}

BRTL_API void ZbiBuiltIn_TimeStmt(VARIANT value) {
    double serial = 0.0;
    if (!brtl::datetime::statement_serial(value, brtl::datetime::ParseKind::Time, &serial)) return;
    brtl::datetime::set_time(brtl::datetime::hour_of(serial), brtl::datetime::minute_of(serial),
                             brtl::datetime::second_of(serial));
}

} // extern "C"
