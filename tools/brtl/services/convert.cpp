#include "convert.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "core.h"
#include "strings.h"

namespace brtl::rt {
namespace {

// The Variant of typed storage (the library's bridge).
VARIANT variant_of(const void *p, int32_t code) {
    VARIANT v;
    VariantInit(&v);
    ZbiVariantCvtToVariant(&v, p, code);
    return v;
}

// A Variant converted to typed storage by the library, the Variant consumed.
template <typename T> T from_variant(VARIANT v, int32_t code) {
    VariantGuard hold(v);
    T out{};
    ZbiVariantCvtFromVariant(&out, code, hold.get());
    return out;
}

template <typename T> T from_string(BiString s, int32_t code) {
    return from_variant<T>(to_var(s), code);
}

// The conversion of a Single or Double to an Integer or a Long: the whole number nearest to v,
// ties to even, as the library rounds. A value that rounds into T's range is converted here; any
// other (out of range, not finite) goes to the library, which raises its trap.
template <typename T, typename F> T rounded(F v, int32_t code) {
    double r = std::nearbyint(static_cast<double>(v));
    if (r >= std::numeric_limits<T>::min() && r <= std::numeric_limits<T>::max())
        return static_cast<T>(r);
    return from_variant<T>(to_var(v), code);
}

BiString format_plain(int32_t kind, const void *p) {
    return ZbiBuiltIn_Format_(kind, p, empty_string());
}

} // namespace

StringGuard::~StringGuard() {
    drop(s_);
}

int16_t to_i2(int32_t v) {
    if (v < INT16_MIN || v > INT16_MAX) raise_trap(BI_TRAP_OVERFLOW);
    return static_cast<int16_t>(v);
}
int16_t to_i2(float v) {
    return rounded<int16_t>(v, BI_TYPE_INTEGER);
}
int16_t to_i2(double v) {
    return rounded<int16_t>(v, BI_TYPE_INTEGER);
}
int16_t to_i2(BiCurrency v) {
    return ZbiCvtCurNumShort(v);
}
int16_t to_i2(BiString v) {
    return from_string<int16_t>(v, BI_TYPE_INTEGER);
}
int16_t to_i2(VARIANT v) {
    if (v.vt == VT_I2) return v.iVal;
    return from_variant<int16_t>(v, BI_TYPE_INTEGER);
}

int32_t to_i4(float v) {
    return rounded<int32_t>(v, BI_TYPE_LONG);
}
int32_t to_i4(double v) {
    return rounded<int32_t>(v, BI_TYPE_LONG);
}
int32_t to_i4(BiCurrency v) {
    return ZbiCvtCurNumLng(v);
}
int32_t to_i4(BiString v) {
    return from_string<int32_t>(v, BI_TYPE_LONG);
}
int32_t to_i4(VARIANT v) {
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == VT_I2) return v.iVal;
    return from_variant<int32_t>(v, BI_TYPE_LONG);
}

float to_r4(double v) {
    return from_variant<float>(to_var(v), BI_TYPE_SINGLE);
}
float to_r4(BiCurrency v) {
    return static_cast<float>(ZbiCvtCurNumSng(v));
}
float to_r4(BiString v) {
    return from_string<float>(v, BI_TYPE_SINGLE);
}
float to_r4(VARIANT v) {
    return from_variant<float>(v, BI_TYPE_SINGLE);
}

double to_r8(BiCurrency v) {
    return ZbiCvtCurNumDbl(v);
}
double to_r8(BiString v) {
    return from_string<double>(v, BI_TYPE_DOUBLE);
}
double to_r8(VARIANT v) {
    if (v.vt == VT_R8) return v.dblVal;
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == VT_I2) return v.iVal;
    return from_variant<double>(v, BI_TYPE_DOUBLE);
}

BiCurrency to_cy(int32_t v) {
    return ZbiCvtLngCurNum(v);
}
BiCurrency to_cy(double v) {
    return ZbiCvtDblCurNum(v);
}
BiCurrency to_cy(BiString v) {
    return from_string<BiCurrency>(v, BI_TYPE_CURRENCY);
}
BiCurrency to_cy(VARIANT v) {
    return from_variant<BiCurrency>(v, BI_TYPE_CURRENCY);
}

BiString to_str(int16_t v) {
    return format_plain(BI_FORMAT_INTEGER, &v);
}
BiString to_str(int32_t v) {
    return format_plain(BI_FORMAT_LONG, &v);
}
BiString to_str(float v) {
    return format_plain(BI_FORMAT_SINGLE, &v);
}
BiString to_str(double v) {
    return format_plain(BI_FORMAT_DOUBLE, &v);
}
BiString to_str(BiCurrency v) {
    return format_plain(BI_FORMAT_CURRENCY, &v);
}
BiString to_str(VARIANT v) {
    return ZbiEvalCvtVS(v, 1);
}

VARIANT to_var(int16_t v) {
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_I2;
    out.iVal = v;
    return out;
}
VARIANT to_var(int32_t v) {
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_I4;
    out.lVal = v;
    return out;
}
VARIANT to_var(float v) {
    return variant_of(&v, BI_TYPE_SINGLE);
}
VARIANT to_var(double v) {
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_R8;
    out.dblVal = v;
    return out;
}
VARIANT to_var(BiCurrency v) {
    return variant_of(&v, BI_TYPE_CURRENCY);
}
VARIANT to_var(BiString s) {
    VARIANT v;
    VariantInit(&v);
    ZbiEvalCvtSV(&v, s);
    return v;
}

VARIANT copy_var(const VARIANT &v) {
    if (is_plain(v)) return v;
    VARIANT out;
    VariantInit(&out);
    HRESULT hr = BiXVariantCopy(&out, &v);
    if (hr != S_OK) raise_trap(ZbiCvtHResultToTrapNo(hr));
    return out;
}

int16_t to_bool(int32_t v) {
    return v != 0 ? -1 : 0;
}
int16_t to_bool(double v) {
    return v != 0 ? -1 : 0;
}
int16_t to_bool(BiCurrency v) {
    return v != 0 ? -1 : 0;
}
int16_t to_bool(BiString v) {
    return to_bool(to_var(v));
}
int16_t to_bool(VARIANT v) {
    VariantGuard hold(v);
    VariantGuard out;
    ZbiVariantChangeTypeAndTrap(out.get(), hold.get(), VT_BOOL);
    return out.get()->boolVal != 0 ? -1 : 0;
}

VARIANT to_date(VARIANT v) {
    if (v.vt == VT_DATE) return v;
    VariantGuard hold(v);
    VariantGuard out;
    ZbiVariantCvtToDate(out.get(), hold.get(), 1, 1);
    return out.release();
}

bool is_true(VARIANT v) {
    if (v.vt == VT_BOOL) return v.boolVal != 0;
    if (v.vt == VT_I2) return v.iVal != 0;
    if (v.vt == VT_I4) return v.lVal != 0;
    VariantGuard hold(v);
    if (hold.get()->vt == VT_NULL) return false;
    return ZbiVariantIsZero(hold.get()) == 0;
}

bool is_true(BiString s) {
    return is_true(to_var(s));
}

} // namespace brtl::rt
