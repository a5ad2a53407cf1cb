// An independent reference for the wide integer and Currency routines: the compiler's 128-bit
// arithmetic, a 256-bit product of 64-bit halves where 128 bits do not suffice, and operands that
// reach every boundary. It shares no code with the library, except on a 32-bit target, which has
// no 128-bit integers of the compiler's own: there it computes with the library's two-word
// 128-bit integers, which the Int128 suite checks in every build against a reference of 16-bit
// limbs (and against the compiler's own where there is one).
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#if !defined(__SIZEOF_INT128__)
#include "numeric/int128.h"
#endif

namespace oracle {

#if defined(__SIZEOF_INT128__)
using i128 = __int128;
using u128 = unsigned __int128;
#else
using i128 = brtl::numeric::i128;
using u128 = brtl::numeric::u128;
#endif
using U256 = std::array<uint64_t, 4>; // least significant first

// True when v fits a signed integer of the given width (at most 128 bits).
inline bool fits(i128 v, int bits) {
    const i128 limit = i128{1} << (bits - 1);
    return v >= -limit && v < limit;
}
// True when a 256-bit magnitude of the given sign fits a signed integer of 64 or 128 bits: below
// 2^(bits-1), or equal to it when negative.
inline bool fits(const U256 &magnitude, bool negative, int bits) {
    U256 limit{};
    limit[bits / 64 - 1] = uint64_t{1} << 63;
    for (int i = 3; i >= 0; --i)
        if (magnitude[i] != limit[i]) return magnitude[i] < limit[i];
    return negative;
}

// The exact product of two 128-bit values: schoolbook over 64-bit halves; a signed operand adds
// 2^128 times the other one when negative, which the high half takes back.
inline U256 multiply(u128 a, u128 b, bool is_signed) {
    const uint64_t x[2] = {uint64_t(a), uint64_t(a >> 64)}, y[2] = {uint64_t(b), uint64_t(b >> 64)};
    U256 r{};
    for (int i = 0; i < 2; ++i) {
        u128 carry = 0;
        for (int j = 0; j < 2; ++j) {
            const u128 t = u128{x[i]} * y[j] + r[i + j] + carry;
            r[i + j] = uint64_t(t);
            carry = t >> 64;
        }
        r[i + 2] = uint64_t(carry);
    }
    if (is_signed) {
        u128 high = (u128{r[3]} << 64 | r[2]) - (x[1] >> 63 ? b : 0) - (y[1] >> 63 ? a : 0);
        r[2] = uint64_t(high);
        r[3] = uint64_t(high >> 64);
    }
    return r;
}

// The compiler's truncating division; the remainder then takes the divisor's sign (negated when
// the signs differ). The most negative value over -1 wraps.
inline std::pair<i128, i128> divide(i128 a, i128 b) {
    if (b == -1) return {i128(0 - u128(a)), 0};
    const i128 r = a % b;
    return {a / b, (a < 0) != (b < 0) ? -r : r};
}

// n / d rounded half to even, from the floor quotient.
inline i128 round_half_even(i128 n, i128 d) {
    if (d < 0) n = -n, d = -d;
    i128 q = n / d, r = n % d;
    if (r < 0) q -= 1, r += d;
    if (2 * r > d || (2 * r == d && (q & 1) != 0)) q += 1;
    return q;
}

// A random value of random bit length and sign.
inline int64_t random64(std::mt19937_64 &e) {
    uint64_t v = e();
    v >>= e() % 64;
    return (e() & 1) != 0 ? int64_t(0 - v) : int64_t(v);
}
inline i128 random128(std::mt19937_64 &e) {
    u128 v = u128{e()} << 64;
    v |= e();
    v >>= e() % 128;
    return (e() & 1) != 0 ? i128(0 - v) : i128(v);
}

// The limits, small values, the powers of two and the neighbours of those where the word and
// half-word boundaries lie.
inline std::vector<int64_t> boundaries64() {
    std::vector<int64_t> v = {
        0, 1, -1, 3, -3, 7, -7, 10000, -10000, INT64_MAX, INT64_MIN, INT64_MIN + 1, INT64_MAX - 1};
    for (int k = 1; k < 63; ++k) {
        const int64_t p = int64_t{1} << k;
        v.insert(v.end(), {p, -p});
        if (k == 15 || k == 16 || k == 31 || k == 32 || k == 62)
            v.insert(v.end(), {p - 1, p + 1, -p - 1, -p + 1});
    }
    return v;
}
inline std::vector<i128> boundaries128() {
    const u128 top = u128{1} << 127;
    std::vector<u128> v = {0, 1, u128{0} - 1, 2, 3, 10000, top, top - 1, top + 1};
    for (int k = 1; k < 127; k += 3)
        v.insert(v.end(), {u128{1} << k, 0 - (u128{1} << k)});
    for (int k : {31, 32, 63, 64, 95, 96, 126}) {
        const u128 p = u128{1} << k;
        v.insert(v.end(), {p - 1, p + 1, 0 - p - 1, 0 - p + 1});
    }
    return {v.begin(), v.end()};
}

// Every pair of the given operands, then `random` random pairs.
template <typename T, typename Random>
std::vector<std::pair<T, T>> pairs(const std::vector<T> &values, int random, uint64_t seed,
                                   Random draw) {
    std::vector<std::pair<T, T>> out;
    for (T a : values)
        for (T b : values)
            out.emplace_back(a, b);
    std::mt19937_64 engine(seed);
    for (int i = 0; i < random; ++i) {
        const T a = draw(engine);
        out.emplace_back(a, draw(engine));
    }
    return out;
}

} // namespace oracle
