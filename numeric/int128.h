// 128-bit integers for the exact intermediate results of the 64-bit and Currency arithmetic: the
// compiler's own where it has them (64-bit targets), else two 64-bit words (32-bit targets) with
// the operations the numeric routines use, wrapping as the compiler's own do. The two-word form
// is compiled everywhere, so that a test can check it against the compiler's own.
#pragma once

#include <cstdint>
#include <type_traits>

namespace brtl::numeric {

namespace wide {

// The two words of a 128-bit value and the unsigned operations on them.
struct Words {
    uint64_t lo = 0;
    uint64_t hi = 0;
};

constexpr Words add(Words a, Words b) {
    Words r{a.lo + b.lo, a.hi + b.hi};
    if (r.lo < a.lo) ++r.hi;
    return r;
}
constexpr Words negate(Words a) {
    return add(Words{~a.lo, ~a.hi}, Words{1, 0});
}
constexpr Words sub(Words a, Words b) {
    return add(a, negate(b));
}
// The full product of two 64-bit words, from their 32-bit halves.
constexpr Words mul64(uint64_t a, uint64_t b) {
    const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return Words{(middle << 32) | (p00 & 0xFFFFFFFFu),
                 p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32)};
}
constexpr Words mul(Words a, Words b) {
    Words r = mul64(a.lo, b.lo);
    r.hi += a.lo * b.hi + a.hi * b.lo;
    return r;
}
constexpr Words shl(Words a, unsigned n) {
    if (n == 0) return a;
    if (n >= 128) return Words{};
    if (n >= 64) return Words{0, a.lo << (n - 64)};
    return Words{a.lo << n, (a.hi << n) | (a.lo >> (64 - n))};
}
constexpr Words shr(Words a, unsigned n, bool arithmetic) {
    const uint64_t fill = arithmetic && (a.hi >> 63) != 0 ? ~uint64_t{0} : 0;
    if (n == 0) return a;
    if (n >= 128) return Words{fill, fill};
    if (n >= 64) return Words{n == 64 ? a.hi : (a.hi >> (n - 64)) | (fill << (128 - n)), fill};
    return Words{(a.lo >> n) | (a.hi << (64 - n)), (a.hi >> n) | (n == 0 ? 0 : fill << (64 - n))};
}
constexpr bool less(Words a, Words b) {
    return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
}
// Unsigned division by shifting and subtracting, one bit of the quotient per step.
constexpr void divide(Words a, Words b, Words &quotient, Words &remainder) {
    quotient = Words{};
    remainder = Words{};
    for (int bit = 127; bit >= 0; --bit) {
        remainder = shl(remainder, 1);
        remainder.lo |= (bit >= 64 ? a.hi >> (bit - 64) : a.lo >> bit) & 1;
        if (!less(remainder, b)) {
            remainder = sub(remainder, b);
            if (bit >= 64)
                quotient.hi |= uint64_t{1} << (bit - 64);
            else
                quotient.lo |= uint64_t{1} << bit;
        }
    }
}

template <class T> using IfInteger = std::enable_if_t<std::is_integral_v<T>, int>;

// A 128-bit integer, signed or not, in two's complement.
template <bool Signed> class Int {
  public:
    constexpr Int() = default;
    template <class T, IfInteger<T> = 0>
    constexpr Int(T v) // converts implicitly, as the compiler's own 128-bit integers do
        : w_{static_cast<uint64_t>(v), sign_fill(v)} {}
    explicit constexpr Int(const Int<!Signed> &other) : w_(other.words()) {}
    template <class T, IfInteger<T> = 0> explicit constexpr operator T() const {
        return static_cast<T>(w_.lo);
    }
    constexpr Words words() const { return w_; }

    friend constexpr Int operator+(Int a, Int b) { return from(add(a.w_, b.w_)); }
    friend constexpr Int operator-(Int a, Int b) { return from(sub(a.w_, b.w_)); }
    friend constexpr Int operator*(Int a, Int b) { return from(mul(a.w_, b.w_)); }
    friend constexpr Int operator-(Int a) { return from(negate(a.w_)); }
    friend constexpr Int operator&(Int a, Int b) {
        return from({a.w_.lo & b.w_.lo, a.w_.hi & b.w_.hi});
    }
    friend constexpr Int operator|(Int a, Int b) {
        return from({a.w_.lo | b.w_.lo, a.w_.hi | b.w_.hi});
    }
    friend constexpr Int operator<<(Int a, int n) {
        return from(shl(a.w_, static_cast<unsigned>(n)));
    }
    friend constexpr Int operator>>(Int a, int n) {
        return from(shr(a.w_, static_cast<unsigned>(n), Signed));
    }
    // Division truncates toward zero; the remainder takes the sign of the dividend.
    friend constexpr Int operator/(Int a, Int b) {
        Words q, r;
        divide(a.magnitude(), b.magnitude(), q, r);
        return a.negative() != b.negative() ? from(negate(q)) : from(q);
    }
    friend constexpr Int operator%(Int a, Int b) {
        Words q, r;
        divide(a.magnitude(), b.magnitude(), q, r);
        return a.negative() ? from(negate(r)) : from(r);
    }
    friend constexpr bool operator==(Int a, Int b) {
        return a.w_.lo == b.w_.lo && a.w_.hi == b.w_.hi;
    }
    friend constexpr bool operator<(Int a, Int b) {
        if (a.negative() != b.negative()) return a.negative();
        return less(a.w_, b.w_);
    }
    friend constexpr bool operator>(Int a, Int b) { return b < a; }
    friend constexpr bool operator<=(Int a, Int b) { return !(b < a); }
    friend constexpr bool operator>=(Int a, Int b) { return !(a < b); }
    Int &operator+=(Int b) { return *this = *this + b; }
    Int &operator-=(Int b) { return *this = *this - b; }
    Int &operator*=(Int b) { return *this = *this * b; }
    Int &operator|=(Int b) { return *this = *this | b; }
    Int &operator<<=(int n) { return *this = *this << n; }
    Int &operator>>=(int n) { return *this = *this >> n; }

  private:
    template <class T> static constexpr uint64_t sign_fill(T v) {
        if constexpr (std::is_signed_v<T>)
            return v < 0 ? ~uint64_t{0} : 0;
        else
            return 0;
    }
    static constexpr Int from(Words w) {
        Int r;
        r.w_ = w;
        return r;
    }
    constexpr bool negative() const { return Signed && (w_.hi >> 63) != 0; }
    constexpr Words magnitude() const { return negative() ? negate(w_) : w_; }

    Words w_;
};

} // namespace wide

#if defined(__SIZEOF_INT128__)
using i128 = __int128;
using u128 = unsigned __int128;
#else
using i128 = wide::Int<true>;
using u128 = wide::Int<false>;
#endif

} // namespace brtl::numeric
