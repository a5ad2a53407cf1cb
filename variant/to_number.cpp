// Conversions of Variants to numbers: the string reader, the conversion to the smallest numeric
// subtype, the conversion to Double, and the zero test.
#include <cmath>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/numeric.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "platform/numparse.h"
#include "runtime/bstr_text.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/number_text.h"
#include "variant/owned_variant.h"

namespace brtl::variant {

namespace {

constexpr double kEpsilon = 2.220446049250313e-16; // DBL_EPSILON

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// "&H" hexadecimal or "&O" octal digits after the "&" at p; false for any other form.
bool scan_radix(const char *&p, const char *end, double &value) {
    if (p >= end || platform::is_lead_byte(static_cast<unsigned char>(*p))) return false;
    char letter = *p++;
    value = 0.0;
    if (letter == 'H' || letter == 'h') {
        for (; p < end && platform::is_xdigit(static_cast<unsigned char>(*p)); ++p) {
            int c = platform::to_upper(static_cast<unsigned char>(*p));
            value = value * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
        }
        return true;
    }
    if (letter == 'O' || letter == 'o') {
        for (; p < end && platform::is_digit(static_cast<unsigned char>(*p)); ++p) {
            if (*p >= '8') return false;
            value = value * 8 + (*p - '0');
        }
        return true;
    }
    return false;
}

// A copy of the text without the thousands separator (whole single-byte characters only, so a
// trail byte of a double-byte character is never taken for one) read with strtod's grammar.
// The position reached in the copy plus the number of separators removed is the position in the
// text.
NumberScan scan_decimal(const char *&p, const char *end, double &value) {
    char separator = static_cast<char>(ZrIntlGetThousandSeperator());
    size_t n = static_cast<size_t>(end - p);
    char local[256];
    runtime::ZrBuffer<char> heap;
    char *copy = local;
    if (n >= sizeof local) {
        heap.reset(static_cast<char *>(ZrMalloc(n + 1)));
        if (!heap) return NumberScan::OutOfMemory;
        copy = heap.get();
    }
    size_t kept = 0, removed = 0;
    bool multibyte = platform::mb_cur_max() > 1;
    for (const char *q = p; q < end;) {
        size_t len = multibyte ? platform::char_length(q, static_cast<size_t>(end - q)) : 1;
        if (len == 1 && *q == separator && separator != '\0') {
            ++removed;
        } else {
            std::memcpy(copy + kept, q, len);
            kept += len;
        }
        q += len;
    }
    copy[kept] = '\0';
    platform::ParsedDouble parsed = platform::parse_double(copy);
    if (parsed.end == copy || parsed.range_error) return NumberScan::NotANumber;
    value = parsed.value;
    p += static_cast<size_t>(parsed.end - copy) + removed;
    return NumberScan::Ok;
}

} // namespace

NumberScan scan_number_text(const char *text, size_t len, double &value) {
    const char *p = text;
    const char *end = text + len;
    while (p < end && is_blank(*p))
        ++p;
    bool leading_comma = p < end && *p == ',';
    if (leading_comma) ++p;
    if (p >= end) return NumberScan::NotANumber;
    if (*p == '&') {
        ++p;
        if (!scan_radix(p, end, value)) return NumberScan::NotANumber;
    } else {
        NumberScan scan = scan_decimal(p, end, value);
        if (scan != NumberScan::Ok) return scan;
    }
    if (leading_comma) return NumberScan::Ok;
    while (p < end && is_blank(*p))
        ++p;
    return p >= end || *p == ',' ? NumberScan::Ok : NumberScan::NotANumber;
}

bool numeric_value(const VARIANT *v, double &value) {
    switch (v->vt) {
    case VT_EMPTY:
        value = 0.0;
        return true;
    case VT_I2:
    case VT_BOOL:
        value = v->iVal;
        return true;
    case VT_I4:
        value = v->lVal;
        return true;
    case VT_R4:
        value = v->fltVal;
        return true;
    case VT_R8:
    case VT_DATE:
        value = v->dblVal;
        return true;
    case VT_CY:
        value = ZbiCvtCurNumDbl(v->cyVal);
        return true;
    default:
        return false;
    }
}

bool string_is_numeric(const VARIANT *v) {
    OwnedVariant copy;
    if (BiXVariantCopy(copy.get(), v) != S_OK) return false;
    return ZbiBuiltIn_IsNumeric(copy.take()) != 0;
}

namespace {

// Stores a number in the smallest of Integer, Long and Double that holds it.
void store_smallest(VARIANT *v, double value) {
    double whole;
    double fraction = std::fabs(std::modf(value, &whole));
    if (fraction > kEpsilon) {
        v->vt = VT_R8;
        v->dblVal = value;
    } else if (value >= -32768.0 && value <= 32767.0) {
        v->vt = VT_I2;
        v->iVal = static_cast<int16_t>(whole);
    } else if (value >= -2147483648.0 && value <= 2147483647.0) {
        v->vt = VT_I4;
        v->lVal = static_cast<int32_t>(whole);
    } else {
        v->vt = VT_R8;
        v->dblVal = value;
    }
}

bool is_object_or_error(VARTYPE vt) {
    return vt == VT_DISPATCH || vt == VT_ERROR || vt == VT_VARIANT || vt == VT_UNKNOWN;
}

} // namespace

} // namespace brtl::variant

extern "C" {

BRTL_API void BiVariantCvtStrToNum(VARIANT *v) {
    double value = 0.0;
    brtl::variant::NumberScan scan;
    {
        brtl::runtime::BstrText text(v->bstrVal);
        scan = text.ok() ? brtl::variant::scan_number_text(text.data(), text.size(), value)
                         : brtl::variant::NumberScan::OutOfMemory;
    }
    BiXVariantClear(v);
    if (scan == brtl::variant::NumberScan::Ok) {
        brtl::variant::store_smallest(v, value);
        return;
    }
    brtl::runtime::raise_trap(scan == brtl::variant::NumberScan::OutOfMemory
                                  ? BI_TRAP_OUT_OF_MEMORY
                                  : BI_TRAP_TYPE_MISMATCH);
}

BRTL_API void ZbiVariantCvtToNum(VARIANT *dst, VARIANT *src) {
    if (dst != src) BiXVariantClear(dst);
    switch (src->vt) {
    case VT_EMPTY:
        dst->vt = VT_I2;
        dst->iVal = 0;
        return;
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
        *dst = *src;
        return;
    case VT_DATE:
        dst->vt = VT_R8;
        dst->dblVal = src->date;
        return;
    case VT_BSTR:
        BiVariantCvtStrToNum(src);
        *dst = *src;
        return;
    case VT_BOOL:
        dst->vt = VT_I2;
        dst->iVal = src->boolVal;
        return;
    default:
        brtl::runtime::raise_trap(brtl::variant::is_object_or_error(src->vt) ? BI_TRAP_TYPE_MISMATCH
                                                                             : BI_TRAP_UNSUPPORTED);
        return;
    }
}

BRTL_API void BiVariantCvtToDouble(VARIANT *v) {
    double value = 0.0;
    if (v->vt == VT_BSTR) {
        BiVariantCvtStrToNum(v);
        if (v->vt == VT_EMPTY) { // not a number: already trapped
            v->vt = VT_R8;
            v->dblVal = 0.0;
            return;
        }
    }
    if (!brtl::variant::numeric_value(v, value)) {
        int32_t trap =
            brtl::variant::is_object_or_error(v->vt) ? BI_TRAP_TYPE_MISMATCH : BI_TRAP_UNSUPPORTED;
        BiXVariantClear(v); // an object or error value is dropped with its reference
        v->vt = VT_R8;
        v->dblVal = 0.0;
        brtl::runtime::raise_trap(trap);
        return;
    }
    v->vt = VT_R8;
    v->dblVal = value;
}

BRTL_API int32_t ZbiVariantIsZero(VARIANT *v) {
    if (v->vt == VT_BSTR) BiVariantCvtStrToNum(v);
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return 1;
    case VT_I2:
    case VT_BOOL:
        return v->iVal == 0;
    case VT_I4:
        return v->lVal == 0;
    case VT_R4:
        return v->fltVal == 0.0f;
    case VT_R8:
    case VT_DATE:
        return v->dblVal == 0.0;
    case VT_CY:
        return v->cyVal == 0;
    default:
        brtl::runtime::raise_trap(brtl::variant::is_object_or_error(v->vt) ? BI_TRAP_TYPE_MISMATCH
                                                                           : BI_TRAP_UNSUPPORTED);
        return 0;
    }
}

} // extern "C"
