// Overflow-checked arithmetic on Integer, Long, Single, Double and Currency values, and the
// floating-point helpers the operator handlers share. The routines report a status (0 stored,
// 1 overflow, 2 underflow) and leave the trap to their callers.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "brtl/numeric.h"
#include "platform/fpu.h"
#include "platform/power.h"
#include "runtime/hooks.h"

extern "C" {
BRTL_API int32_t BiIsMathCoprocessorPresent = 1;
}

namespace {

constexpr int32_t kStored = 0;
constexpr int32_t kOverflow = 1;
constexpr int32_t kUnderflow = 2;

// ---- Integers: the result is stored only on success ----------------------------------------

template <typename T> int32_t store_if_fits(T *r, bool overflow, T value) {
    if (overflow) return kOverflow;
    if (r != nullptr) *r = value;
    return kStored;
}

template <typename T> int32_t checked_add(T *r, T a, T b) {
    T v{};
    const bool overflow = __builtin_add_overflow(a, b, &v);
    return store_if_fits(r, overflow, v);
}

template <typename T> int32_t checked_sub(T *r, T a, T b) {
    T v{};
    const bool overflow = __builtin_sub_overflow(a, b, &v);
    return store_if_fits(r, overflow, v);
}

template <typename T> int32_t checked_mul(T *r, T a, T b) {
    T v{};
    const bool overflow = __builtin_mul_overflow(a, b, &v);
    return store_if_fits(r, overflow, v);
}

// ---- Floating point ---------------------------------------------------------------------------

using Op = brtl::platform::DoubleOp;

template <typename T> T apply(Op op, T a, T b) {
    switch (op) {
    case Op::Add:
        return a + b;
    case Op::Sub:
        return a - b;
    case Op::Mul:
        return a * b;
    case Op::Div:
        return a / b;
    }
    return a;
}

bool coprocessor_strategy() {
    return BiIsMathCoprocessorPresent != 0;
}

// Coprocessor strategy: the exact operation rounded once to the 64-bit significand, checked
// against the bands of the result type before it is rounded to that type. A Single reports
// underflow for magnitudes in (smallest subnormal, smallest normal], a Double for magnitudes in
// [smallest subnormal, smallest normal]; below the band the value is stored (as zero or the
// nearest subnormal).
int32_t extended_single(float *r, const float *a, const float *b, Op op) {
    brtl::platform::reset_floating_point();
    const long double v = apply<long double>(op, *a, *b);
    const long double m = std::fabs(v);
    if (m > FLT_MAX) return kOverflow;
    if (m > FLT_TRUE_MIN && m <= FLT_MIN) return kUnderflow;
    if (r != nullptr) *r = static_cast<float>(v);
    return kStored;
}

int32_t extended_double(double *r, const double *a, const double *b, Op op) {
    brtl::platform::reset_floating_point();
    const long double v = apply<long double>(op, *a, *b);
    const long double m = std::fabs(v);
    if (m > DBL_MAX) return kOverflow;
    if (m >= DBL_TRUE_MIN && m <= DBL_MIN) return kUnderflow;
    if (r != nullptr) *r = static_cast<double>(v);
    return kStored;
}

// Plain strategy for Singles: the operation in double arithmetic; beyond the Single range
// nothing is stored; otherwise the Single is stored and a nonzero subnormal reports underflow.
int32_t plain_single(float *r, const float *a, const float *b, Op op) {
    const double v = brtl::platform::double_arithmetic(op, *a, *b);
    if (v < -static_cast<double>(FLT_MAX) || v > static_cast<double>(FLT_MAX)) return kOverflow;
    const auto single = static_cast<float>(v);
    if (r != nullptr) *r = single;
    uint32_t bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    bits &= 0x7FFFFFFFu;
    return (bits != 0 && bits < 0x00800000u) ? kUnderflow : kStored;
}

// Plain strategy for Doubles: the result of double arithmetic (rounded once, also by an x87
// unit) is always stored; an infinity reports overflow, a nonzero value below the smallest normal
// underflow.
int32_t plain_double(double *r, const double *a, const double *b, Op op) {
    const double v = brtl::platform::double_arithmetic(op, *a, *b);
    if (r != nullptr) *r = v;
    if (std::isinf(v)) return kOverflow;
    if (v != 0 && v > -DBL_MIN && v < DBL_MIN) return kUnderflow;
    return kStored;
}

int32_t checked_single(float *r, const float *a, const float *b, Op op) {
    return coprocessor_strategy() ? extended_single(r, a, b, op) : plain_single(r, a, b, op);
}

int32_t checked_double(double *r, const double *a, const double *b, Op op) {
    return coprocessor_strategy() ? extended_double(r, a, b, op) : plain_double(r, a, b, op);
}

} // namespace

extern "C" {

BRTL_API int32_t ZbiOvfAddShorts(int16_t *r, int16_t a, int16_t b) {
    return checked_add(r, a, b);
}
BRTL_API int32_t ZbiOvfSubShorts(int16_t *r, int16_t a, int16_t b) {
    return checked_sub(r, a, b);
}
BRTL_API int32_t ZbiOvfMulShorts(int16_t *r, int16_t a, int16_t b) {
    return checked_mul(r, a, b);
}

BRTL_API int32_t ZbiOvfAddInts(int32_t *r, int32_t a, int32_t b) {
    return checked_add(r, a, b);
}
BRTL_API int32_t ZbiOvfSubInts(int32_t *r, int32_t a, int32_t b) {
    return checked_sub(r, a, b);
}
BRTL_API int32_t ZbiOvfMulInts(int32_t *r, int32_t a, int32_t b) {
    return checked_mul(r, a, b);
}

BRTL_API int32_t ZbiOvfAddLongs(int32_t *r, const int32_t *a, const int32_t *b) {
    return checked_add(r, *a, *b);
}
BRTL_API int32_t ZbiOvfSubLongs(int32_t *r, const int32_t *a, const int32_t *b) {
    return checked_sub(r, *a, *b);
}
BRTL_API int32_t ZbiOvfMulLongs(int32_t *r, const int32_t *a, const int32_t *b) {
    return checked_mul(r, *a, *b);
}

BRTL_API int32_t ZbiOvfAddFloats(float *r, const float *a, const float *b) {
    return checked_single(r, a, b, Op::Add);
}
BRTL_API int32_t ZbiOvfSubFloats(float *r, const float *a, const float *b) {
    return checked_single(r, a, b, Op::Sub);
}
BRTL_API int32_t ZbiOvfMulFloats(float *r, const float *a, const float *b) {
    return checked_single(r, a, b, Op::Mul);
}
BRTL_API int32_t ZbiOvfDivFloats(float *r, const float *a, const float *b) {
    return checked_single(r, a, b, Op::Div);
}

BRTL_API int32_t ZbiOvfAddDoubles(double *r, const double *a, const double *b) {
    return checked_double(r, a, b, Op::Add);
}
BRTL_API int32_t ZbiOvfSubDoubles(double *r, const double *a, const double *b) {
    return checked_double(r, a, b, Op::Sub);
}
BRTL_API int32_t ZbiOvfMulDoubles(double *r, const double *a, const double *b) {
    return checked_double(r, a, b, Op::Mul);
}
BRTL_API int32_t ZbiOvfDivDoubles(double *r, const double *a, const double *b) {
    return checked_double(r, a, b, Op::Div);
}

BRTL_API int32_t ZbiOvfMul64bits(const int64_t *a, const int64_t *b, int64_t *r) {
    return (ZbiMul64(1, a, b, r, nullptr) & 2) != 0 ? 1 : 0;
}

BRTL_API int32_t ZbiOvfAddCurrencies(BiCurrency *r, const BiCurrency *a, const BiCurrency *b) {
    return ZbiAdd64(a, b, r);
}

BRTL_API int32_t ZbiOvfNegCurrency(BiCurrency *r, const BiCurrency *a) {
    return ZbiNeg64(a, r);
}

BRTL_API int32_t ZbiOvfMulCurrencies(BiCurrency *r, const BiCurrency *a, const BiCurrency *b) {
    const BiCurrency v = ZbiMulCurNum(*a, *b);
    if (r != nullptr) *r = v;
    return 0;
}

BRTL_API int32_t ZbiOvfDivCurrencies(BiCurrency *r, const BiCurrency *a, const BiCurrency *b) {
    const BiCurrency v = ZbiDivCurNum(*a, *b);
    if (r != nullptr) *r = v;
    return 0;
}

BRTL_API int32_t ZbiImpLngNum(int32_t a, int32_t b) {
    return ~a | b;
}

BRTL_API double ZbiFloatizeDouble(double d) {
    constexpr auto kLargest = static_cast<double>(FLT_MAX);
    if (d > -kLargest && d < kLargest) return static_cast<double>(static_cast<float>(d));
    return d;
}

// Half to even: 0.5 gives 0, 1.5 and 2.5 give 2, -2.5 gives -2. The sign of the argument is
// kept, so -0.5 gives -0.
BRTL_API double ZbiDoubleRound(double d) {
    const double m = std::fabs(d);
    const double whole = std::floor(m);
    const double fraction = m - whole;
    double result = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) result = std::ceil(m);
    return std::signbit(d) ? -result : result;
}

// x ^ y. A zero base with a negative exponent and a negative base with an exponent that is not
// whole raise trap 5 through the numeric trap hook; when the hook returns, both give 0.0 (a NaN
// would slip past the overflow checks of every later operation). 0 ^ 0 is 1.
BRTL_API double ZbiDoExpD(double x, double y) {
    if (x == 0) {
        if (y < 0) {
            brtl::runtime::raise_numeric_trap(BI_TRAP_ILLEGAL_CALL);
            return 0.0;
        }
        return y == 0 ? 1.0 : 0.0;
    }
    if (x < 0 && std::fmod(y, 1.0) != 0.0) {
        brtl::runtime::raise_numeric_trap(BI_TRAP_ILLEGAL_CALL);
        return 0.0;
    }
    return brtl::platform::power(x, y);
}

} // extern "C"
