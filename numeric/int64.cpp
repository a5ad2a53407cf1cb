// 64-bit and 128-bit integer arithmetic. Overflow comes back as a status, never as a trap: the
// callers (Currency, the checked arithmetic, translated code) choose the trap. Every routine
// reads its operands completely before it writes a result, so a result may alias an operand,
// and every optional result pointer may be null.
#include <cstdint>

#include "brtl/numeric.h"
#include "numeric/int128.h"

namespace {

using brtl::numeric::i128;
using brtl::numeric::u128;

constexpr int32_t kBeyondHalfWidth = 1; // the product does not fit half the operand width
constexpr int32_t kBeyondFullWidth = 2; // the product does not fit the operand width

bool is_signed_mode(int32_t mode) {
    return mode != 0;
}

// The magnitude of a signed value as an unsigned number; the most negative value gives 2^63
// (2^127), which the unsigned type holds.
uint64_t magnitude(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}
u128 magnitude(i128 v) {
    return v < 0 ? 0 - static_cast<u128>(v) : static_cast<u128>(v);
}

u128 load(const BiInt128 *p) {
    u128 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 32) | p->w[i];
    return v;
}

void store(BiInt128 *p, u128 v) {
    if (p == nullptr) return;
    for (uint32_t &word : p->w) {
        word = static_cast<uint32_t>(v);
        v >>= 32;
    }
}

// A 256-bit value as four 64-bit limbs, least significant first.
struct U256 {
    uint64_t limb[4];
};

u128 low_half(const U256 &v) {
    return (static_cast<u128>(v.limb[1]) << 64) | v.limb[0];
}
u128 high_half(const U256 &v) {
    return (static_cast<u128>(v.limb[3]) << 64) | v.limb[2];
}

// The exact product of two unsigned 128-bit values.
U256 multiply(u128 a, u128 b) {
    const uint64_t a0 = static_cast<uint64_t>(a), a1 = static_cast<uint64_t>(a >> 64);
    const uint64_t b0 = static_cast<uint64_t>(b), b1 = static_cast<uint64_t>(b >> 64);
    const u128 p00 = static_cast<u128>(a0) * b0;
    const u128 p01 = static_cast<u128>(a0) * b1;
    const u128 p10 = static_cast<u128>(a1) * b0;
    const u128 p11 = static_cast<u128>(a1) * b1;

    // The middle column collects the high half of p00 and the low halves of p01 and p10; its
    // carry moves into the upper 128 bits together with the high halves of p01 and p10.
    const u128 middle = (p00 >> 64) + static_cast<uint64_t>(p01) + static_cast<uint64_t>(p10);
    const u128 upper = p11 + (p01 >> 64) + (p10 >> 64) + (middle >> 64);
    return U256{{static_cast<uint64_t>(p00), static_cast<uint64_t>(middle),
                 static_cast<uint64_t>(upper), static_cast<uint64_t>(upper >> 64)}};
}

// Two's complement negation of a 256-bit value.
U256 negate(const U256 &v) {
    U256 r{};
    uint64_t carry = 1;
    for (int i = 0; i < 4; ++i) {
        r.limb[i] = ~v.limb[i] + carry;
        carry = (carry != 0 && r.limb[i] == 0) ? 1 : 0;
    }
    return r;
}

// True when limbs [from, 4) all repeat the sign bit of limb from - 1: the value fits a signed
// integer of 64 * from bits.
bool fits_signed_limbs(const U256 &v, int from) {
    const uint64_t extension = (v.limb[from - 1] >> 63) != 0 ? ~uint64_t{0} : 0;
    for (int i = from; i < 4; ++i)
        if (v.limb[i] != extension) return false;
    return true;
}

bool fits_int32(i128 v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}
bool fits_int64(i128 v) {
    return v >= INT64_MIN && v <= INT64_MAX;
}

} // namespace

extern "C" {

BRTL_API int32_t ZbiCmp64(const int64_t *a, const int64_t *b) {
    const int64_t x = *a, y = *b;
    return x < y ? -1 : (x > y ? 1 : 0);
}

BRTL_API int32_t ZbiNeg64(const int64_t *a, int64_t *r) {
    const int64_t x = *a;
    if (r != nullptr) *r = static_cast<int64_t>(0 - static_cast<uint64_t>(x));
    return x == INT64_MIN ? 1 : 0;
}

BRTL_API int32_t ZbiAdd64(const int64_t *a, const int64_t *b, int64_t *r) {
    int64_t sum = 0;
    const bool overflow = __builtin_add_overflow(*a, *b, &sum);
    if (r != nullptr) *r = sum;
    return overflow ? 1 : 0;
}

BRTL_API int32_t ZbiSub64(const int64_t *a, const int64_t *b, int64_t *r) {
    const int64_t x = *a, y = *b;
    int64_t difference = 0;
    int32_t low_difference = 0;
    int32_t status = 0;
    if (__builtin_sub_overflow(x, y, &difference)) status |= 2;
    // The low words taken alone as signed 32-bit numbers.
    if (__builtin_sub_overflow(static_cast<int32_t>(static_cast<uint32_t>(x)),
                               static_cast<int32_t>(static_cast<uint32_t>(y)), &low_difference))
        status |= 1;
    if (r != nullptr) *r = difference;
    return status;
}

BRTL_API int32_t ZbiMul64(int32_t mode, const int64_t *a, const int64_t *b, int64_t *lo,
                          int64_t *hi) {
    const int64_t x = *a, y = *b;
    u128 product = 0;
    int32_t status = 0;
    if (is_signed_mode(mode)) {
        // No signed product of two 64-bit values overflows 128 bits (the largest is 2^126).
        const i128 exact = static_cast<i128>(x) * y;
        product = static_cast<u128>(exact);
        if (!fits_int32(exact)) status |= kBeyondHalfWidth;
        if (!fits_int64(exact)) status |= kBeyondFullWidth;
    } else {
        product = static_cast<u128>(static_cast<uint64_t>(x)) * static_cast<uint64_t>(y);
    }
    if (lo != nullptr) *lo = static_cast<int64_t>(static_cast<uint64_t>(product));
    if (hi != nullptr) *hi = static_cast<int64_t>(static_cast<uint64_t>(product >> 64));
    return status;
}

BRTL_API int32_t MUL128(int32_t mode, const BiInt128 *a, const BiInt128 *b, BiInt128 *lo,
                        BiInt128 *hi) {
    const u128 x = load(a), y = load(b);
    U256 product{};
    int32_t status = 0;
    if (is_signed_mode(mode)) {
        const bool negative_x = static_cast<i128>(x) < 0, negative_y = static_cast<i128>(y) < 0;
        product = multiply(magnitude(static_cast<i128>(x)), magnitude(static_cast<i128>(y)));
        if (negative_x != negative_y) product = negate(product);
        if (!fits_signed_limbs(product, 1)) status |= kBeyondHalfWidth;
        if (!fits_signed_limbs(product, 2)) status |= kBeyondFullWidth;
    } else {
        product = multiply(x, y);
    }
    store(lo, low_half(product));
    store(hi, high_half(product));
    return status;
}

// The quotient is truncated toward zero; the remainder has the magnitude |a| mod |b| and the
// sign of the divisor. Division by zero gives 0 with both outputs zeroed.
BRTL_API int32_t ZbiDiv64(int32_t mode, const int64_t *a, const int64_t *b, int64_t *q,
                          int64_t *rem) {
    const int64_t x = *a, y = *b;
    uint64_t quotient = 0, remainder = 0;
    int32_t done = 0;
    if (y != 0) {
        done = 1;
        if (is_signed_mode(mode)) {
            const uint64_t mx = magnitude(x), my = magnitude(y);
            quotient = mx / my;
            remainder = mx % my;
            if ((x < 0) != (y < 0)) quotient = 0 - quotient;
            if (y < 0) remainder = 0 - remainder;
        } else {
            quotient = static_cast<uint64_t>(x) / static_cast<uint64_t>(y);
            remainder = static_cast<uint64_t>(x) % static_cast<uint64_t>(y);
        }
    }
    if (q != nullptr) *q = static_cast<int64_t>(quotient);
    if (rem != nullptr) *rem = static_cast<int64_t>(remainder);
    return done;
}

BRTL_API int32_t ZbiDiv128(int32_t mode, const BiInt128 *a, const BiInt128 *b, BiInt128 *q,
                           BiInt128 *rem) {
    const u128 x = load(a), y = load(b);
    u128 quotient = 0, remainder = 0;
    int32_t done = 0;
    if (y != 0) {
        done = 1;
        if (is_signed_mode(mode)) {
            const i128 sx = static_cast<i128>(x), sy = static_cast<i128>(y);
            const u128 mx = magnitude(sx), my = magnitude(sy);
            quotient = mx / my;
            remainder = mx % my;
            if ((sx < 0) != (sy < 0)) quotient = 0 - quotient;
            if (sy < 0) remainder = 0 - remainder;
        } else {
            quotient = x / y;
            remainder = x % y;
        }
    }
    store(q, quotient);
    store(rem, remainder);
    return done;
}

} // extern "C"
