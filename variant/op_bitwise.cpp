// The bitwise operators And, Or, Xor, Eqv and Imp on two numeric Variants (each operand taken as
// a 32-bit integer; the result is always a Long), and the Null cells of And and Imp.
#include "runtime/hooks.h"
#include "variant/ops.h"

namespace brtl::variant {

namespace {

// A floating-point operand within [low, high] rounded half to even to its 32-bit pattern;
// outside (or NaN) trap 6 through the numeric trap hook, and 0.
int32_t rounded_bits(double x, double low, double high) {
    if (!(x >= low && x <= high)) {
        runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
        return 0;
    }
    // A Single may be 2^31 itself, which has the pattern 0x80000000.
    auto whole = static_cast<int64_t>(ZbiDoubleRound(x));
    return static_cast<int32_t>(static_cast<uint32_t>(whole));
}

constexpr double kLongMin = -2147483648.0;
constexpr double kLongMax = 2147483647.0;
constexpr double kSingleLongMax = 2147483648.0;

template <int T> int32_t bits_of(const VARIANT *v) {
    if constexpr (T == VT_I2 || T == VT_I4)
        return value_of<T>(v);
    else if constexpr (T == VT_R4)
        return rounded_bits(v->fltVal, kLongMin, kSingleLongMax);
    else if constexpr (T == VT_CY)
        return ZbiCvtCurNumLng(v->cyVal);
    else
        return rounded_bits(value_of<T>(v), kLongMin, kLongMax);
}

} // namespace

template <int L, int R> void bitwise(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (op < kAnd || op > kImp) {
        fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
        return;
    }
    int32_t a = bits_of<L>(left);
    int32_t b = bits_of<R>(right);
    switch (op) {
    case kAnd:
        set_i4(result, a & b);
        break;
    case kOr:
        set_i4(result, a | b);
        break;
    case kXor:
        set_i4(result, a ^ b);
        break;
    case kEqv:
        set_i4(result, ~(a ^ b));
        break;
    default:
        set_i4(result, ZbiImpLngNum(a, b));
        break;
    }
}

void and_null_checked(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    const VARIANT *number = left->vt == VT_NULL ? right : left;
    switch (number->vt) {
    case VT_R4:
        bits_of<VT_R4>(number);
        break;
    case VT_R8:
        bits_of<VT_R8>(number);
        break;
    case VT_CY:
        ZbiCvtCurNumLng(number->cyVal);
        break;
    default:
        break;
    }
    result->vt = VT_NULL;
}

void imp_null_left(int32_t, VARIANT *result, VARIANT *, VARIANT *right) {
    set_i4(result, ZbiImpLngNum(0, right->lVal));
}

void imp_null_right(int32_t, VARIANT *result, VARIANT *left, VARIANT *) {
    set_i4(result, ZbiImpLngNum(left->lVal, 0));
}

#define BRTL_INSTANTIATE_BITWISE(L, R)                                                             \
    template void bitwise<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);
BRTL_NUMERIC_PAIRS(BRTL_INSTANTIATE_BITWISE)
#undef BRTL_INSTANTIATE_BITWISE

} // namespace brtl::variant
