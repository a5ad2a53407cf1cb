// The unary operators on Variants (negation, Sgn, Abs and the bitwise complement) and their
// exported table: one handler per operator and subtype, generated from the template below.
#include <cstring>

#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "runtime/hooks.h"
#include "variant/ops.h"

namespace brtl::variant {

namespace {

template <typename T> int16_t sign_of(T x) {
    return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

bool sign_bit_with_magnitude(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return (bits & 0x80000000u) != 0 && (bits & 0x7FFFFFFFu) != 0;
}

void negate_short(VARIANT *result, int16_t x) {
    if (x == INT16_MIN)
        set_i4(result, 32768); // the one Integer whose negation needs a Long
    else
        set_i2(result, static_cast<int16_t>(-x));
}

void negate_long(VARIANT *result, int32_t x) {
    if (x == INT32_MIN)
        set_r8(result, 2147483648.0); // the one Long whose negation needs a Double
    else
        set_i4(result, -x);
}

// The complement of a Single, Double, Date or Currency: the operand becomes a Long in place
// (rounded half to even, trapping when out of range), then its bits are complemented.
void complement_via_long(VARIANT *result, VARIANT *operand) {
    ZbiVariantChangeTypeAndTrap(operand, operand, VT_I4);
    if (operand->vt != VT_I4) {
        BiXVariantClear(operand);
        result->vt = VT_EMPTY;
        return;
    }
    set_i4(result, ~operand->lVal);
}

} // namespace

// The handler of operator Op for an operand of subtype T.
template <int Op, int T> void unary(VARIANT *result, VARIANT *operand) {
    if constexpr (T == VT_EMPTY) {
        if constexpr (Op == kNot)
            set_i4(result, -1);
        else
            set_i2(result, 0);
    } else if constexpr (T == VT_NULL) {
        if constexpr (Op == kSign) {
            result->vt = VT_EMPTY;
            runtime::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        } else {
            result->vt = VT_NULL;
        }
    } else if constexpr (T == VT_I2 || T == VT_I4) {
        auto x = value_of<T>(operand);
        auto negate = [&] {
            if constexpr (T == VT_I2)
                negate_short(result, x);
            else
                negate_long(result, x);
        };
        if constexpr (Op == kNegate)
            negate();
        else if constexpr (Op == kSign)
            set_i2(result, sign_of(x));
        else if constexpr (Op == kNot)
            set_i4(result, ~int32_t{x});
        else if (x >= 0)
            *result = *operand;
        else
            negate();
    } else if constexpr (T == VT_R4) {
        float x = operand->fltVal;
        if constexpr (Op == kNegate)
            set_r4(result, -x);
        else if constexpr (Op == kSign)
            set_i2(result, sign_of(x));
        else if constexpr (Op == kAbs)
            set_r4(result, sign_bit_with_magnitude(x) ? -x : x);
        else
            complement_via_long(result, operand);
    } else if constexpr (T == VT_R8 || T == VT_DATE) {
        double x = value_of<T>(operand);
        if constexpr (Op == kNegate)
            set_r8(result, -x);
        else if constexpr (Op == kSign)
            set_i2(result, sign_of(x));
        else if constexpr (Op == kAbs)
            set_r8(result, x >= 0 ? x : -x);
        else
            complement_via_long(result, operand);
    } else if constexpr (T == VT_CY) {
        BiCurrency x = operand->cyVal;
        if constexpr (Op == kNegate)
            set_cy(result, ZbiNegCurNum(x));
        else if constexpr (Op == kSign)
            set_i2(result, static_cast<int16_t>(ZbiSgnCurNum(x)));
        else if constexpr (Op == kAbs)
            set_cy(result, ZbiAbsCurNum(x));
        else
            complement_via_long(result, operand);
    } else if constexpr (T == VT_BSTR) {
        BiVariantCvtStrToNum(operand);
        if (operand->vt == VT_EMPTY || operand->vt == VT_BSTR) { // not a number: trapped
            result->vt = VT_EMPTY;
            return;
        }
        dispatch_unary(Op, result, operand);
    } else if constexpr (T == VT_BOOL) {
        HRESULT hr = VariantChangeType(operand, operand, 0, VT_I2);
        if (hr != S_OK || operand->vt != VT_I2) {
            BiXVariantClear(operand);
            result->vt = VT_EMPTY;
            runtime::raise_trap(hr != S_OK ? ZbiCvtHResultToTrapNo(hr) : BI_TRAP_TYPE_MISMATCH);
            return;
        }
        dispatch_unary(Op, result, operand);
    } else {
        BiXVariantClear(operand);
        result->vt = VT_EMPTY;
        runtime::raise_trap(BI_TRAP_TYPE_MISMATCH);
    }
}

void dispatch_unary(int op, VARIANT *result, VARIANT *operand) {
    if (op < kNegate || op > kNot || operand->vt >= kSubtypes) {
        BiXVariantClear(operand);
        result->vt = VT_EMPTY;
        runtime::raise_trap(BI_TRAP_UNSUPPORTED);
        return;
    }
    BiVariantUnOpTable[op * kSubtypes + operand->vt](result, operand);
}

} // namespace brtl::variant

#define BRTL_UNARY_CELL(i) &brtl::variant::unary<(i) / 14, (i) % 14>

extern "C" {

// Four rows (negation, Sgn, Abs, complement) of one handler per subtype (exported by the
// header's declaration).
constinit BiUnaryHandler const BiVariantUnOpTable[BI_VARIANT_UNOP_COUNT] = {
    BRTL_TABLE_RUN14(BRTL_UNARY_CELL, 0 * 14), BRTL_TABLE_RUN14(BRTL_UNARY_CELL, 1 * 14),
    BRTL_TABLE_RUN14(BRTL_UNARY_CELL, 2 * 14), BRTL_TABLE_RUN14(BRTL_UNARY_CELL, 3 * 14)};

} // extern "C"
