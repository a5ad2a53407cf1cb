// VariantChangeType of the OLE subset: every conversion between the subtypes 0-13 that the
// runtime asks of it. Numbers convert with round-half-even and DISP_E_OVERFLOW; text converts
// with the runtime's own readers and writers (the number grammar of the Variant conversions, the
// date parser, the plain text of the format engine), so there is one set of text conversions.
#include <cmath>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/numeric.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/texts.h"
#include "brtl/variant.h"
#include "runtime/bistring.h"
#include "runtime/bstr_text.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/number_text.h"
#include "variant/owned_variant.h"

namespace {

constexpr double kFirstDate = -657434.99998843; // the first second of the year 100
constexpr double kLastDate = 2958465.99998843;  // the last second of the year 9999
constexpr double kSingleMax = 3.4028234663852886e38;

// A number read from any numeric or Boolean subtype, as the exact kind it is.
struct Number {
    bool is_currency = false;
    int64_t currency = 0; // when is_currency
    double value = 0.0;   // otherwise
};

HRESULT number_of(const VARIANT &v, Number &n) {
    switch (v.vt) {
    case VT_EMPTY:
        n.value = 0.0;
        return S_OK;
    case VT_I2:
        n.value = v.iVal;
        return S_OK;
    case VT_BOOL:
        n.value = v.boolVal != 0 ? -1.0 : 0.0;
        return S_OK;
    case VT_I4:
        n.value = v.lVal;
        return S_OK;
    case VT_R4:
        n.value = v.fltVal;
        return S_OK;
    case VT_R8:
        n.value = v.dblVal;
        return S_OK;
    case VT_DATE:
        n.value = v.date;
        return S_OK;
    case VT_CY:
        n.is_currency = true;
        n.currency = v.cyVal;
        return S_OK;
    case VT_BSTR: {
        brtl::runtime::BstrText text(v.bstrVal);
        if (!text.ok()) return E_OUTOFMEMORY;
        switch (brtl::variant::scan_number_text(text.data(), text.size(), n.value)) {
        case brtl::variant::NumberScan::Ok:
            return S_OK;
        case brtl::variant::NumberScan::OutOfMemory:
            return E_OUTOFMEMORY;
        default:
            return DISP_E_TYPEMISMATCH;
        }
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

double as_double(const Number &n) {
    return n.is_currency ? static_cast<double>(static_cast<long double>(n.currency) / 10000.0L)
                         : n.value;
}

// The whole number nearest to n (ties to even), or false when it is not finite or lies outside
// [low, high].
bool rounded_integer(const Number &n, int64_t low, int64_t high, int64_t &out) {
    if (n.is_currency) {
        int64_t q = n.currency / 10000, r = n.currency % 10000;
        int64_t magnitude = r < 0 ? -r : r;
        if (magnitude > 5000 || (magnitude == 5000 && (q & 1) != 0)) q += r < 0 ? -1 : 1;
        out = q;
    } else {
        if (!std::isfinite(n.value)) return false;
        double r = std::nearbyint(n.value); // the default rounding mode: ties to even
        if (r < static_cast<double>(low) || r > static_cast<double>(high)) return false;
        out = static_cast<int64_t>(r);
    }
    return out >= low && out <= high;
}

HRESULT to_currency(const Number &n, int64_t &out) {
    if (n.is_currency) {
        out = n.currency;
        return S_OK;
    }
    long double scaled = std::nearbyint(static_cast<long double>(n.value) * 10000.0L);
    if (!std::isfinite(n.value) || scaled < -9223372036854775808.0L ||
        scaled >= 9223372036854775808.0L)
        return DISP_E_OVERFLOW;
    out = static_cast<int64_t>(scaled);
    return S_OK;
}

bool is_true_word(const char *text, int32_t id, const char *english) {
    const char *word = brtl::runtime::host_text(id);
    return ZrStrICmp(text, english) == 0 ||
           (word != nullptr && *word && ZrStrICmp(text, word) == 0);
}

// A string's Boolean: a number (nonzero is True) or the words True and False.
HRESULT boolean_of_string(const VARIANT &v, bool &out) {
    Number n;
    HRESULT hr = number_of(v, n);
    if (hr == S_OK) {
        out = n.is_currency ? n.currency != 0 : n.value != 0.0;
        return S_OK;
    }
    if (hr == E_OUTOFMEMORY) return hr;
    brtl::runtime::BstrText text(v.bstrVal);
    if (!text.ok()) return E_OUTOFMEMORY;
    if (is_true_word(text.data(), BI_TEXT_TRUE, "True"))
        out = true;
    else if (is_true_word(text.data(), BI_TEXT_FALSE, "False"))
        out = false;
    else
        return DISP_E_TYPEMISMATCH;
    return S_OK;
}

HRESULT to_date(const VARIANT &v, double &out) {
    Number n;
    HRESULT hr = number_of(v, n);
    if (hr == DISP_E_TYPEMISMATCH && v.vt == VT_BSTR) {
        BiString text = ZbiEvalCvtVS(v, 0);
        VARIANT parsed;
        ZbiParseDateAndTime(&parsed, text, 2, 1);
        if (parsed.vt != VT_DATE) return DISP_E_TYPEMISMATCH;
        out = parsed.date;
        return S_OK;
    }
    if (hr != S_OK) return hr;
    out = as_double(n);
    return out >= kFirstDate && out <= kLastDate ? S_OK : DISP_E_OVERFLOW;
}

HRESULT to_string(const VARIANT &v, VARIANT &out) {
    switch (v.vt) {
    case VT_EMPTY:
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(nullptr, 0);
        return out.bstrVal ? S_OK : E_OUTOFMEMORY;
    case VT_BSTR:
        out.vt = VT_EMPTY;
        return VariantCopy(&out, &v);
    case VT_I2:
    case VT_BOOL:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE: {
        out = v;
        ZbiVariantCvtToBStr(&out, &out);
        return out.vt == VT_BSTR ? S_OK : E_OUTOFMEMORY;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

// Converts source (no reference, owned by the caller) into out; out owns what it holds.
HRESULT convert(const VARIANT &source, VARTYPE vt, VARIANT &out) {
    out.vt = VT_EMPTY;
    if (vt == VT_BSTR) return to_string(source, out);
    if (vt == VT_EMPTY) return S_OK;
    if (source.vt == VT_NULL) return vt == VT_NULL ? (out.vt = VT_NULL, S_OK) : DISP_E_TYPEMISMATCH;
    if (vt == VT_NULL)
        return source.vt == VT_EMPTY ? (out.vt = VT_NULL, S_OK) : DISP_E_TYPEMISMATCH;
    if (source.vt == vt) return VariantCopy(&out, &source);
    if (vt == VT_DATE) {
        double serial = 0.0;
        HRESULT hr = to_date(source, serial);
        if (hr == S_OK) out.vt = VT_DATE, out.date = serial;
        return hr;
    }
    if (vt == VT_BOOL && source.vt == VT_BSTR) {
        bool b = false;
        HRESULT hr = boolean_of_string(source, b);
        if (hr == S_OK) out.vt = VT_BOOL, out.boolVal = b ? -1 : 0;
        return hr;
    }
    Number n;
    HRESULT hr = number_of(source, n);
    if (hr != S_OK) return hr;
    int64_t whole = 0;
    switch (vt) {
    case VT_I2:
        if (!rounded_integer(n, -32768, 32767, whole)) return DISP_E_OVERFLOW;
        out.vt = VT_I2, out.iVal = static_cast<int16_t>(whole);
        return S_OK;
    case VT_I4:
        if (!rounded_integer(n, INT32_MIN, INT32_MAX, whole)) return DISP_E_OVERFLOW;
        out.vt = VT_I4, out.lVal = static_cast<int32_t>(whole);
        return S_OK;
    case VT_R4: {
        double d = as_double(n);
        if (std::fabs(d) > kSingleMax) return DISP_E_OVERFLOW;
        out.vt = VT_R4, out.fltVal = static_cast<float>(d);
        return S_OK;
    }
    case VT_R8:
        out.vt = VT_R8, out.dblVal = as_double(n);
        return S_OK;
    case VT_CY:
        hr = to_currency(n, out.cyVal);
        if (hr == S_OK) out.vt = VT_CY;
        return hr;
    case VT_BOOL:
        out.vt = VT_BOOL;
        out.boolVal = (n.is_currency ? n.currency != 0 : n.value != 0.0) ? -1 : 0;
        return S_OK;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

} // namespace

extern "C" {

BRTL_API HRESULT VariantChangeType(VARIANT *dst, const VARIANT *src, uint16_t, VARTYPE vt) {
    // A reference is first read into a value of the scope's own.
    brtl::variant::OwnedVariant referenced;
    const VARIANT *source = src;
    if ((src->vt & VT_BYREF) != 0) {
        HRESULT hr = VariantCopyInd(referenced.get(), src);
        if (hr != S_OK) return hr;
        source = referenced.get();
    }
    if (source->vt > VT_UNKNOWN || vt > VT_UNKNOWN) return DISP_E_BADVARTYPE;
    brtl::variant::OwnedVariant result;
    HRESULT hr = convert(*source, vt, *result);
    if (hr != S_OK) return hr;
    VariantClear(dst); // the source is no longer needed: it may be dst itself
    *dst = result.take();
    return S_OK;
}

} // extern "C"
