// Division, integer division, modulus and power of Variants, and the rounding builtins Int, Fix
// and the rounding step of CInt. Each converts its operands in place (to Doubles or to Integers
// and Longs) and writes the result; an operation that a trap stops leaves an Empty result.
#include <cmath>

#include "brtl/platform.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/ops.h"
#include "variant/owned_variant.h"

namespace brtl::variant {

namespace {

constexpr double kSingleMax = 3.4028234663852886e38;

// The result area may be uninitialised: it becomes Empty first, unless it is an operand.
void begin_result(VARIANT *result, const VARIANT *a, const VARIANT *b) {
    if (result != a && result != b) result->vt = VT_EMPTY;
}

// Either operand Null: both are released and the result is Null.
bool null_of_either(VARIANT *result, VARIANT *a, VARIANT *b) {
    if (a->vt != VT_NULL && b->vt != VT_NULL) return false;
    release_operands(a, b);
    result->vt = VT_NULL;
    return true;
}

bool is_object_or_error(VARTYPE vt) {
    return vt == VT_DISPATCH || vt == VT_ERROR || vt == VT_VARIANT || vt == VT_UNKNOWN;
}

// v in place to a Double; false when a trap stopped the conversion.
bool to_double(VARIANT *v) {
    if (v->vt == VT_BSTR) {
        BiVariantCvtStrToNum(v);
        if (v->vt == VT_EMPTY || v->vt == VT_BSTR) return false;
    } else if (is_object_or_error(v->vt) || v->vt >= variant::kSubtypes) {
        BiVariantCvtToDouble(v); // raises the trap of the subtype
        BiXVariantClear(v);
        return false;
    }
    BiVariantCvtToDouble(v);
    return true;
}

// A floating-point value truncated toward zero to a Long; outside the Long range (or NaN) trap 6
// through the numeric trap hook, and 0.
int32_t truncated_long(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) {
        runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
        return 0;
    }
    return static_cast<int32_t>(x);
}

// v in place to an Integer or a Long; false (v released and Empty) when a trap stopped it.
bool to_integer(VARIANT *v) {
    switch (v->vt) {
    case VT_EMPTY:
        set_i2(v, 0);
        return true;
    case VT_I2:
    case VT_I4:
        return true;
    case VT_R4:
        set_i4(v, truncated_long(v->fltVal));
        return true;
    case VT_R8:
    case VT_DATE:
        set_i4(v, truncated_long(v->dblVal));
        return true;
    case VT_CY:
        set_i4(v, ZbiCvtCurNumLng(v->cyVal));
        return true;
    case VT_BOOL:
        set_i2(v, v->boolVal);
        return true;
    case VT_BSTR:
        BiVariantCvtStrToNum(v);
        if (v->vt == VT_EMPTY || v->vt == VT_BSTR) return false;
        return to_integer(v);
    default: {
        int32_t trap = is_object_or_error(v->vt) ? BI_TRAP_TYPE_MISMATCH : BI_TRAP_UNSUPPORTED;
        BiXVariantClear(v);
        v->vt = VT_EMPTY;
        runtime::raise_trap(trap);
        return false;
    }
    }
}

// Converts both operands with convert; the second is released if the first conversion leaves by
// an exception. False when a trap stopped either (both released, the result Empty).
bool convert_both(bool (*convert)(VARIANT *), VARIANT *result, VARIANT *a, VARIANT *b) {
    OwnedVariant keep_b(b);
    bool converted = convert(a);
    keep_b.release();
    if (converted && convert(b)) return true;
    release_operands(a, b);
    result->vt = VT_EMPTY;
    return false;
}

int32_t long_value(const VARIANT *v) {
    return v->vt == VT_I2 ? v->iVal : v->lVal;
}

// v in place to a number by the Variant conversion; false (v released) when it trapped.
bool to_number(VARIANT *v) {
    OwnedVariant keep(v);
    ZbiVariantCvtToNum(v, v);
    keep.release();
    switch (v->vt) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
        return true;
    default:
        BiXVariantClear(v);
        return false;
    }
}

bool negative_single(float x) {
    return std::signbit(x) && x != 0.0f;
}

// Int (toward minus infinity) or Fix (toward zero) of a Currency, exactly in units.
BiCurrency round_currency(BiCurrency c, bool fix) {
    constexpr BiCurrency kScale = 10000;
    BiCurrency whole = c / kScale * kScale;
    if (fix || c >= 0 || whole == c) return whole;
    if (whole < INT64_MIN + kScale) {
        runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
        return c;
    }
    return whole - kScale;
}

// Int (fix false) or Fix (fix true) of a Variant.
void round_whole(VARIANT *result, VARIANT *v, bool fix) {
    if (v->vt == VT_NULL) {
        result->vt = VT_NULL;
        return;
    }
    if (v->vt == VT_DATE) {
        double x = v->date;
        set_date(result, fix && x < 0 ? std::ceil(x) : std::floor(x));
        return;
    }
    begin_result(result, v, v);
    if (!to_number(v)) {
        result->vt = VT_EMPTY;
        return;
    }
    *result = *v; // a number: nothing is owned twice
    switch (result->vt) {
    case VT_R4: {
        float x = result->fltVal;
        result->fltVal = fix && negative_single(x) ? std::ceil(x) : std::floor(x);
        break;
    }
    case VT_R8: {
        double x = result->dblVal;
        result->dblVal = fix && x < 0 ? std::ceil(x) : std::floor(x);
        break;
    }
    case VT_CY:
        result->cyVal = round_currency(result->cyVal, fix);
        break;
    default:
        break;
    }
}

// The operands of \ and Mod as integers; false when the operation has ended (a Null operand,
// a failed conversion, or a zero divisor, which raises trap 11 and leaves the result Empty).
bool integer_operands(VARIANT *result, VARIANT *a, VARIANT *b, int32_t &x, int32_t &y,
                      bool &shorts) {
    begin_result(result, a, b);
    if (null_of_either(result, a, b)) return false;
    if (!convert_both(to_integer, result, a, b)) return false;
    shorts = a->vt == VT_I2 && b->vt == VT_I2;
    x = long_value(a);
    y = long_value(b);
    if (y != 0) return true;
    result->vt = VT_EMPTY;
    runtime::raise_numeric_trap(BI_TRAP_DIVISION_BY_ZERO);
    return false;
}

} // namespace

} // namespace brtl::variant

extern "C" {

BRTL_API void BiVariantCvtToInteger(VARIANT *v) {
    brtl::variant::to_integer(v);
}

BRTL_API void ZbiVariantDoDiv(VARIANT *result, VARIANT *a, VARIANT *b) {
    using namespace brtl::variant;
    begin_result(result, a, b);
    if (null_of_either(result, a, b)) return;
    auto narrow = [](VARTYPE vt) { return vt == VT_I2 || vt == VT_R4; };
    bool single = narrow(a->vt) && narrow(b->vt);
    if (!convert_both(to_double, result, a, b)) return;
    double x = a->dblVal, y = b->dblVal;
    if (y == 0.0) {
        result->vt = VT_EMPTY;
        brtl::runtime::raise_numeric_trap(x == 0.0 ? BI_TRAP_OVERFLOW : BI_TRAP_DIVISION_BY_ZERO);
        return;
    }
    double q = x / y; // kept when the checked routine stores nothing
    int32_t status = ZbiOvfDivDoubles(&q, &x, &y);
    if (single && q > -kSingleMax && q < kSingleMax)
        set_r4(result, static_cast<float>(q));
    else
        set_r8(result, q);
    if (status == 1)
        brtl::runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
    else if (status == 2)
        brtl::runtime::raise_numeric_trap(BI_TRAP_UNDERFLOW);
}

BRTL_API void ZbiVariantDoIDiv(VARIANT *result, VARIANT *a, VARIANT *b) {
    int32_t x = 0, y = 0;
    bool shorts = false;
    if (!brtl::variant::integer_operands(result, a, b, x, y, shorts)) return;
    // The quotients that do not fit the operands' subtype (the most negative value divided by
    // -1) widen as a negation does.
    if (shorts && !(x == INT16_MIN && y == -1))
        brtl::variant::set_i2(result, static_cast<int16_t>(x / y));
    else if (x == INT32_MIN && y == -1)
        brtl::variant::set_r8(result, 2147483648.0);
    else
        brtl::variant::set_i4(result, x / y);
}

BRTL_API void ZbiVariantDoMod(VARIANT *result, VARIANT *a, VARIANT *b) {
    using namespace brtl::variant;
    int32_t x = 0, y = 0;
    bool shorts = false;
    if (!integer_operands(result, a, b, x, y, shorts)) return;
    int32_t r = y == -1 ? 0 : x % y;
    if (shorts)
        set_i2(result, static_cast<int16_t>(r));
    else
        set_i4(result, r);
}

BRTL_API void ZbiVariantDoExp(VARIANT *result, VARIANT *a, VARIANT *b) {
    using namespace brtl::variant;
    begin_result(result, a, b);
    if (null_of_either(result, a, b)) return;
    if (!convert_both(to_double, result, a, b)) return;
    double x = a->dblVal, y = b->dblVal;
    double r = ZbiDoExpD(x, y);
    set_r8(result, r);
    if (std::isinf(r) && std::isfinite(x) && std::isfinite(y))
        brtl::runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
}

BRTL_API void ZbiVariantDoInt(VARIANT *result, VARIANT *operand) {
    brtl::variant::round_whole(result, operand, false);
}

BRTL_API void ZbiVariantDoFix(VARIANT *result, VARIANT *operand) {
    brtl::variant::round_whole(result, operand, true);
}

BRTL_API void ZbiVariantDoCInt(VARIANT *result, VARIANT *v) {
    using namespace brtl::variant;
    if (v->vt == VT_NULL) {
        result->vt = VT_NULL;
        return;
    }
    if (v->vt == VT_ERROR) {
        set_i4(result, v->scode);
        return;
    }
    begin_result(result, v, v);
    if (!to_number(v)) {
        result->vt = VT_EMPTY;
        return;
    }
    *result = *v;
    switch (result->vt) {
    case VT_R4:
        result->fltVal = static_cast<float>(ZbiDoubleRound(result->fltVal));
        break;
    case VT_R8:
        result->dblVal = ZbiDoubleRound(result->dblVal);
        break;
    case VT_CY:
        result->cyVal = BiRoundCurNum(result->cyVal); // exact, half to even like the Doubles
        break;
    default:
        break;
    }
}

} // extern "C"
