// Conversion of a Variant to a Date.
#include "brtl/datetime.h"
#include "brtl/numeric.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/number_text.h"

namespace {

constexpr double kFirstSecond = -657434.99998843; // 1 January 100, 00:00:00
constexpr double kLastSecond = 2958465.99998843;  // 31 December 9999, 23:59:59

// Texts that are never read as dates when numbers are not wanted: an empty text, a radix
// literal, and an optional sign or digit followed only by digits.
bool looks_like_plain_number(BSTR b) {
    uint32_t n = SysStringLen(b);
    if (n == 0 || b[0] == '&') return true;
    if (!(b[0] == '+' || b[0] == '-' || (b[0] >= '0' && b[0] <= '9'))) return false;
    for (uint32_t i = 1; i < n; ++i)
        if (b[i] < '0' || b[i] > '9') return false;
    return true;
}

enum class DateText { Parsed, NotADate, Trapped };

// Parses the string of src (which is released) as a date and time. The string leaves src before
// its conversion, which releases it also when a hook leaves by an exception; a conversion or a
// parse that traps (no memory) ends the call with that one trap.
DateText parse_date(VARIANT *src, double &serial) {
    VARIANT moved = *src;
    src->vt = VT_EMPTY;
    uint64_t traps_before = brtl::runtime::traps_raised();
    BiString text = ZbiEvalCvtVS(moved, 1);
    if (brtl::runtime::traps_raised() != traps_before) return DateText::Trapped;
    VARIANT parsed;
    ZbiParseDateAndTime(&parsed, text, 2, 1);
    if (brtl::runtime::traps_raised() != traps_before) return DateText::Trapped;
    if (parsed.vt != VT_DATE) return DateText::NotADate;
    serial = parsed.date;
    return DateText::Parsed;
}

} // namespace

extern "C" {

BRTL_API void ZbiVariantCvtToDate(VARIANT *dst, VARIANT *src, uint8_t numeric_text,
                                  uint8_t range_check) {
    double serial = 0.0;
    if (src->vt == VT_BSTR) {
        bool parsed;
        if (numeric_text && brtl::variant::string_is_numeric(src)) {
            BiVariantCvtStrToNum(src);
            if (src->vt == VT_EMPTY) return; // the text was not a number after all: trapped
            parsed = brtl::variant::numeric_value(src, serial);
        } else if (!numeric_text && looks_like_plain_number(src->bstrVal)) {
            brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
            return;
        } else {
            DateText read = parse_date(src, serial);
            if (read == DateText::Trapped) return;
            parsed = read == DateText::Parsed;
        }
        if (!parsed) {
            brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
            return;
        }
    } else if (!brtl::variant::numeric_value(src, serial)) {
        if (src->vt == VT_NULL)
            brtl::runtime::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        else if (src->vt <= VT_UNKNOWN)
            brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        else
            brtl::runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return;
    }
    dst->vt = VT_DATE;
    dst->date = serial;
    if (range_check && (serial < kFirstSecond || serial > kLastSecond))
        brtl::runtime::raise_trap(numeric_text ? BI_TRAP_TYPE_MISMATCH : BI_TRAP_ILLEGAL_CALL);
}

} // extern "C"
