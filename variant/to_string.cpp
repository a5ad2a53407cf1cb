// Conversion of a Variant to a string Variant, and the plain text of the numbers it gives.
#include "variant/plain_text.h"

#include <charconv>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/format.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "platform/numtext.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"
#include "variant/string_variant.h"

namespace brtl::variant {

namespace {

// The bytes plain_number_text may write, its NUL included.
constexpr size_t kTextRoom = kPlainTextCapacity - 1;

bool is_exponent_letter(char c) {
    return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// Puts the locale's decimal separator in place of the first ".", drops trailing zeros of the
// fraction (and a separator left alone), and shortens the exponent digits to at least one.
size_t tidy_number_text(char *text, size_t n) {
    char separator = static_cast<char>(ZrIntlGetDecimalSeperator());
    if (separator == '\0') separator = '.'; // an empty setting must not cut the text short
    char *point = static_cast<char *>(std::memchr(text, '.', n));
    char *end = text + n;
    char *exponent = end;
    for (char *p = point ? point : text; p < end; ++p)
        if (is_exponent_letter(*p)) {
            exponent = p;
            break;
        }
    if (point != nullptr && point < exponent) {
        *point = separator;
        char *last = exponent;
        while (last > point + 1 && last[-1] == '0')
            --last;
        if (last == point + 1) last = point;
        std::memmove(last, exponent, static_cast<size_t>(end - exponent));
        end -= exponent - last;
        exponent = last;
    }
    if (exponent < end) {
        char *digits = exponent + 1;
        if (digits < end && (*digits == '+' || *digits == '-')) ++digits;
        char *first = digits;
        while (first + 1 < end && *first == '0')
            ++first;
        std::memmove(digits, first, static_cast<size_t>(end - first));
        end -= first - digits;
    }
    *end = '\0';
    return static_cast<size_t>(end - text);
}

template <typename Integer> size_t integer_text(Integer value, char *text) {
    std::to_chars_result r = std::to_chars(text, text + kTextRoom - 1, value);
    *r.ptr = '\0';
    return static_cast<size_t>(r.ptr - text);
}

// The plain text of a number as a String Variant in dst (Empty after trap 7 when memory runs
// out).
void store_number_text(VARIANT *dst, int32_t kind, const void *value) {
    char text[kPlainTextCapacity];
    size_t n = 0;
    plain_number_text(kind, value, text, n);
    dst->vt = VT_EMPTY;
    store_short_text_variant(dst, text, n);
}

// The plain text of a value by the format engine's empty format, as a String Variant in dst.
void store_text(VARIANT *dst, int32_t kind, const void *value) {
    BiString text = ZbiBuiltIn_Format_(kind, value, runtime::empty_string());
    ZbiEvalCvtSV(dst, text);
}

} // namespace

bool plain_number_text(int32_t kind, const void *value, char *text, size_t &n) {
    switch (kind) {
    case BI_FORMAT_INTEGER:
        n = integer_text(*static_cast<const int16_t *>(value), text);
        return true;
    case BI_FORMAT_LONG:
        n = integer_text(*static_cast<const int32_t *>(value), text);
        return true;
    case BI_FORMAT_SINGLE:
        n = platform::print_double(text, kTextRoom, *static_cast<const float *>(value), 'G', 7);
        break;
    case BI_FORMAT_DOUBLE:
        n = platform::print_double(text, kTextRoom, *static_cast<const double *>(value), 'G', 15);
        break;
    default:
        return false;
    }
    n = tidy_number_text(text, n);
    return true;
}

} // namespace brtl::variant

using brtl::variant::store_number_text;
using brtl::variant::store_text;

extern "C" {

BRTL_API void ZbiVariantCvtToBStr(VARIANT *dst, VARIANT *src) {
    switch (src->vt) {
    case VT_EMPTY: {
        BSTR empty = SysAllocStringLen(nullptr, 0);
        dst->vt = VT_BSTR;
        dst->bstrVal = empty;
        if (empty == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::runtime::raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
        }
        return;
    }
    case VT_BSTR:
        if (dst != src) *dst = *src; // dst takes over the source's string
        if (src->bstrVal == nullptr) {
            dst->vt = VT_EMPTY;
            brtl::runtime::raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
        }
        return;
    case VT_NULL:
        brtl::runtime::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        return;
    case VT_I2:
    case VT_BOOL: {
        int16_t value = src->iVal;
        store_number_text(dst, BI_FORMAT_INTEGER, &value);
        return;
    }
    case VT_I4: {
        int32_t value = src->lVal;
        store_number_text(dst, BI_FORMAT_LONG, &value);
        return;
    }
    case VT_R4: {
        float value = src->fltVal;
        store_number_text(dst, BI_FORMAT_SINGLE, &value);
        return;
    }
    case VT_R8: {
        double value = src->dblVal;
        store_number_text(dst, BI_FORMAT_DOUBLE, &value);
        return;
    }
    case VT_CY: {
        int64_t value = src->cyVal;
        store_text(dst, BI_FORMAT_CURRENCY, &value);
        return;
    }
    case VT_DATE: {
        VARIANT value = *src;
        store_text(dst, BI_FORMAT_VARIANT, &value);
        return;
    }
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_VARIANT:
    case VT_UNKNOWN:
        brtl::runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
        return;
    default:
        brtl::runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return;
    }
}

} // extern "C"
