// The arithmetic of typed operands. Each operation computes in its result type with the
// library's checked routine of that type (or the Currency routines) and never promotes: a status
// that is not 0 raises the trap the Variant handlers raise for it (6 for an overflow, 8 for an
// underflow, 11 for a division by zero).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "brtl/brtl.h"
#include "core.h"

namespace brtl::rt {

// The trap of a floating-point routine's status (1 overflow, 2 underflow).
inline void check_float_status(int32_t status) {
    if (status == 1) raise_trap(BI_TRAP_OVERFLOW);
    if (status == 2) raise_trap(BI_TRAP_UNDERFLOW);
}

// Integer and Long arithmetic: the compiler's overflow checks where it has them (the same
// results as the library's checked routines, without a call), the library's routines elsewhere.
#if defined(__GNUC__)
template <typename T> inline T checked_add(T a, T b) {
    T r;
    if (__builtin_add_overflow(a, b, &r)) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
template <typename T> inline T checked_sub(T a, T b) {
    T r;
    if (__builtin_sub_overflow(a, b, &r)) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
template <typename T> inline T checked_mul(T a, T b) {
    T r;
    if (__builtin_mul_overflow(a, b, &r)) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
inline int16_t add(int16_t a, int16_t b) {
    return checked_add(a, b);
}
inline int16_t sub(int16_t a, int16_t b) {
    return checked_sub(a, b);
}
inline int16_t mul(int16_t a, int16_t b) {
    return checked_mul(a, b);
}
inline int32_t add(int32_t a, int32_t b) {
    return checked_add(a, b);
}
inline int32_t sub(int32_t a, int32_t b) {
    return checked_sub(a, b);
}
inline int32_t mul(int32_t a, int32_t b) {
    return checked_mul(a, b);
}
#else
inline int16_t add(int16_t a, int16_t b) {
    int16_t r;
    if (ZbiOvfAddShorts(&r, a, b) != 0) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
inline int16_t sub(int16_t a, int16_t b) {
    int16_t r;
    if (ZbiOvfSubShorts(&r, a, b) != 0) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
inline int16_t mul(int16_t a, int16_t b) {
    int16_t r;
    if (ZbiOvfMulShorts(&r, a, b) != 0) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
inline int32_t add(int32_t a, int32_t b) {
    int32_t r;
    if (ZbiOvfAddLongs(&r, &a, &b) != 0) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
inline int32_t sub(int32_t a, int32_t b) {
    int32_t r;
    if (ZbiOvfSubLongs(&r, &a, &b) != 0) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
inline int32_t mul(int32_t a, int32_t b) {
    int32_t r;
    if (ZbiOvfMulLongs(&r, &a, &b) != 0) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}
#endif
inline float add(float a, float b) {
    float r = 0;
    check_float_status(ZbiOvfAddFloats(&r, &a, &b));
    return r;
}
inline float sub(float a, float b) {
    float r = 0;
    check_float_status(ZbiOvfSubFloats(&r, &a, &b));
    return r;
}
inline float mul(float a, float b) {
    float r = 0;
    check_float_status(ZbiOvfMulFloats(&r, &a, &b));
    return r;
}
inline double add(double a, double b) {
    double r = 0;
    check_float_status(ZbiOvfAddDoubles(&r, &a, &b));
    return r;
}
inline double sub(double a, double b) {
    double r = 0;
    check_float_status(ZbiOvfSubDoubles(&r, &a, &b));
    return r;
}
inline double mul(double a, double b) {
    double r = 0;
    check_float_status(ZbiOvfMulDoubles(&r, &a, &b));
    return r;
}
// Currency is a 64-bit count; these are its own routines, which raise their traps themselves.
inline BiCurrency add(BiCurrency a, BiCurrency b) {
    return ZbiAddCurNum(a, b);
}
inline BiCurrency sub(BiCurrency a, BiCurrency b) {
    return ZbiSubCurNum(a, b);
}
inline BiCurrency mul(BiCurrency a, BiCurrency b) {
    return ZbiMulCurNum(a, b);
}

// a / b: a zero divisor is trap 11, or 6 when a is zero too.
inline void check_divisor(double a, double b) {
    if (b == 0) raise_trap(a == 0 ? BI_TRAP_OVERFLOW : BI_TRAP_DIVISION_BY_ZERO);
}
inline float divide(float a, float b) {
    check_divisor(a, b);
    float r = 0;
    check_float_status(ZbiOvfDivFloats(&r, &a, &b));
    return r;
}
inline double divide(double a, double b) {
    check_divisor(a, b);
    double r = 0;
    check_float_status(ZbiOvfDivDoubles(&r, &a, &b));
    return r;
}

// a \ b and a Mod b of Integers and Longs: truncating; a zero divisor is trap 11, a quotient
// that does not fit its type trap 6.
template <typename T> T int_divide(T a, T b) {
    if (b == 0) raise_trap(BI_TRAP_DIVISION_BY_ZERO);
    if (b == -1) {
        if (a == std::numeric_limits<T>::min()) raise_trap(BI_TRAP_OVERFLOW);
        return static_cast<T>(-a);
    }
    return static_cast<T>(a / b);
}
template <typename T> T modulo(T a, T b) {
    if (b == 0) raise_trap(BI_TRAP_DIVISION_BY_ZERO);
    if (b == -1) return 0;
    return static_cast<T>(a % b);
}

// a ^ b as a Double; trap 5 for a power the library cannot take, 6 for an infinite result.
inline double power(double a, double b) {
    double r = ZbiDoExpD(a, b);
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b)) raise_trap(BI_TRAP_OVERFLOW);
    return r;
}

inline int16_t negate(int16_t a) {
    if (a == INT16_MIN) raise_trap(BI_TRAP_OVERFLOW);
    return static_cast<int16_t>(-a);
}
inline int32_t negate(int32_t a) {
    if (a == INT32_MIN) raise_trap(BI_TRAP_OVERFLOW);
    return -a;
}
inline float negate(float a) {
    return -a;
}
inline double negate(double a) {
    return -a;
}
inline BiCurrency negate(BiCurrency a) {
    return ZbiNegCurNum(a);
}

// The 32-bit operand of And, Or, Xor, Eqv, Imp and Not: a Double rounded half to even within
// the Long range, a Currency through its Long conversion.
inline int32_t to_bits(int32_t a) {
    return a;
}
inline int32_t to_bits(double a) {
    if (!(a >= -2147483648.0 && a <= 2147483647.0)) raise_trap(BI_TRAP_OVERFLOW);
    double r = ZbiDoubleRound(a);
    if (r > 2147483647.0) raise_trap(BI_TRAP_OVERFLOW);
    return static_cast<int32_t>(r);
}
inline int32_t to_bits(float a) {
    if (!(a >= -2147483648.0f && a <= 2147483648.0f)) raise_trap(BI_TRAP_OVERFLOW);
    return to_bits(static_cast<double>(a) > 2147483647.0 ? 2147483648.0 : static_cast<double>(a));
}
inline int32_t to_bits(BiCurrency a) {
    return ZbiCvtCurNumLng(a);
}
inline int32_t bit_eqv(int32_t a, int32_t b) {
    return ~(a ^ b);
}
inline int32_t bit_imp(int32_t a, int32_t b) {
    return ZbiImpLngNum(a, b);
}

// The operand of \ and Mod when it is a Single or a Double: truncated toward zero, trap 6 beyond
// the Long range.
inline int32_t truncate_long(double v) {
    v = std::trunc(v);
    if (!(v >= -2147483648.0 && v <= 2147483647.0)) raise_trap(BI_TRAP_OVERFLOW);
    return static_cast<int32_t>(v);
}

// Comparisons give the dialect's Integer truth values.
constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;
inline int16_t truth(bool b) {
    return b ? kTrue : kFalse;
}
// A Single against a Double compares the Double rounded to single precision.
inline double single_side(double d) {
    return ZbiFloatizeDouble(d);
}
// -1, 0 or 1: a Currency against a Double (a Double beyond the Currency range lies beyond every
// Currency).
inline int32_t compare_currency(BiCurrency c, double d) {
    if (d > 922337203685477.5) return -1;
    if (d < -922337203685477.5) return 1;
    return ZbiCmpCurNum(c, ZbiCvtDblCurNum(d));
}
inline int32_t compare_currency(BiCurrency a, BiCurrency b) {
    return ZbiCmpCurNum(a, b);
}

} // namespace brtl::rt
