// The two-word 128-bit integers of 32-bit targets against independent references, operation by
// operation, over edge values and a deterministic spread of others: the compiler's own 128-bit
// integers where it has them, and in every build a reference of 16-bit limbs that shares nothing
// with the two-word code (schoolbook products, division bit by bit), which is all a 32-bit
// build has.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "numeric/int128.h"

namespace {

using I = brtl::numeric::wide::Int<true>;
using U = brtl::numeric::wide::Int<false>;
using brtl::numeric::wide::Words;

// A 128-bit integer in two's complement as eight 16-bit limbs, least significant first.
template <bool Signed> class Limbs {
  public:
    Limbs() = default;
    template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    Limbs(T v) { // converts implicitly, as the compiler's own 128-bit integers do
        const auto bits = static_cast<uint64_t>(v);
        const uint16_t fill = std::is_signed_v<T> && v < 0 ? 0xFFFF : 0;
        for (int i = 0; i < 8; ++i)
            d_[i] = i < 4 ? static_cast<uint16_t>(bits >> (16 * i)) : fill;
    }
    explicit Limbs(const Limbs<!Signed> &other) : d_(other.limbs()) {}
    template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    explicit operator T() const {
        return static_cast<T>(words().lo);
    }
    const std::array<uint16_t, 8> &limbs() const { return d_; }
    Words words() const {
        Words w{};
        for (int i = 0; i < 4; ++i) {
            w.lo |= uint64_t{d_[i]} << (16 * i);
            w.hi |= uint64_t{d_[i + 4]} << (16 * i);
        }
        return w;
    }

    friend Limbs operator+(Limbs a, Limbs b) {
        uint32_t carry = 0;
        for (int i = 0; i < 8; ++i) {
            carry += uint32_t{a.d_[i]} + b.d_[i];
            a.d_[i] = static_cast<uint16_t>(carry);
            carry >>= 16;
        }
        return a;
    }
    friend Limbs operator-(Limbs a) {
        for (uint16_t &limb : a.d_)
            limb = static_cast<uint16_t>(~limb);
        return a + Limbs(1);
    }
    friend Limbs operator-(Limbs a, Limbs b) { return a + -b; }
    friend Limbs operator*(Limbs a, Limbs b) {
        uint64_t column[8] = {};
        for (int i = 0; i < 8; ++i)
            for (int j = 0; i + j < 8; ++j)
                column[i + j] += uint64_t{a.d_[i]} * b.d_[j];
        Limbs r;
        uint64_t carry = 0;
        for (int k = 0; k < 8; ++k) {
            carry += column[k];
            r.d_[k] = static_cast<uint16_t>(carry);
            carry >>= 16;
        }
        return r;
    }
    friend Limbs operator&(Limbs a, Limbs b) {
        for (int i = 0; i < 8; ++i)
            a.d_[i] &= b.d_[i];
        return a;
    }
    friend Limbs operator<<(Limbs a, int n) {
        for (int k = 0; k < n; ++k)
            a = a.shifted_left(0);
        return a;
    }
    friend Limbs operator>>(Limbs a, int n) {
        for (int k = 0; k < n; ++k) {
            const uint16_t fill = a.negative() ? 1 : 0;
            for (int i = 0; i < 8; ++i) {
                const uint16_t in = i < 7 ? a.d_[i + 1] & 1 : fill;
                a.d_[i] = static_cast<uint16_t>((a.d_[i] >> 1) | (in << 15));
            }
        }
        return a;
    }
    // Division truncates toward zero; the remainder takes the sign of the dividend.
    friend Limbs operator/(Limbs a, Limbs b) {
        Limbs q = a.magnitude().divided_by(b.magnitude(), nullptr);
        return a.negative() != b.negative() ? -q : q;
    }
    friend Limbs operator%(Limbs a, Limbs b) {
        Limbs r;
        a.magnitude().divided_by(b.magnitude(), &r);
        return a.negative() ? -r : r;
    }
    friend bool operator==(Limbs a, Limbs b) { return a.d_ == b.d_; }
    friend bool operator<(Limbs a, Limbs b) {
        if (a.negative() != b.negative()) return a.negative();
        return a.unsigned_less(b);
    }

  private:
    bool negative() const { return Signed && (d_[7] >> 15) != 0; }
    Limbs magnitude() const { return negative() ? -*this : *this; }
    bool unsigned_less(const Limbs &b) const {
        for (int i = 7; i >= 0; --i)
            if (d_[i] != b.d_[i]) return d_[i] < b.d_[i];
        return false;
    }
    Limbs shifted_left(uint16_t in) const {
        Limbs r;
        for (int i = 0; i < 8; ++i) {
            r.d_[i] = static_cast<uint16_t>((d_[i] << 1) | in);
            in = d_[i] >> 15;
        }
        return r;
    }
    // Unsigned long division, one bit of the quotient at a time.
    Limbs divided_by(const Limbs &divisor, Limbs *remainder) const {
        Limbs q, r;
        for (int bit = 127; bit >= 0; --bit) {
            r = r.shifted_left((d_[bit / 16] >> (bit % 16)) & 1);
            q = q.shifted_left(0);
            if (!r.unsigned_less(divisor)) {
                r = r + -divisor;
                q.d_[0] |= 1;
            }
        }
        if (remainder != nullptr) *remainder = r;
        return q;
    }

    std::array<uint16_t, 8> d_{};
};

Words words_of(const Limbs<true> &v) {
    return v.words();
}
Words words_of(const Limbs<false> &v) {
    return v.words();
}

#if defined(__SIZEOF_INT128__)
Words words_of(unsigned __int128 v) {
    return Words{static_cast<uint64_t>(v), static_cast<uint64_t>(v >> 64)};
}
Words words_of(__int128 v) {
    return words_of(static_cast<unsigned __int128>(v));
}
#endif

::testing::AssertionResult same(const Words &library, const Words &reference) {
    if (library.lo == reference.lo && library.hi == reference.hi)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "library " << library.hi << ':' << library.lo << ", reference "
           << reference.hi << ':' << reference.lo;
}

// Edge values and 64-bit products that fill both words.
template <class S> std::vector<S> operands() {
    std::vector<S> v = {0, 1, -1, 2, -2, 10000, -10000, INT64_MAX, INT64_MIN, UINT64_MAX};
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 40; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const auto a = static_cast<int64_t>(state);
        v.push_back(a);
        v.push_back(S(a) * S(static_cast<int64_t>(state >> 17)));
    }
    return v;
}

// S is the reference's signed 128-bit integer.
template <class S> void expect_signed_operations_to_match() {
    for (S a : operands<S>()) {
        for (S b : operands<S>()) {
            const I x(static_cast<int64_t>(a)), y(static_cast<int64_t>(b));
            const S xa = static_cast<int64_t>(a), yb = static_cast<int64_t>(b);
            // From 64-bit values, products and sums fill both words.
            EXPECT_TRUE(same((x * y).words(), words_of(xa * yb))) << static_cast<int64_t>(a);
            EXPECT_TRUE(same((x + y).words(), words_of(xa + yb)));
            EXPECT_TRUE(same((x - y).words(), words_of(xa - yb)));
            EXPECT_EQ(x < y, xa < yb);
            EXPECT_EQ(x == y, xa == yb);
            const I wx = x * y, wy = y + 7;
            const S nx = xa * yb, ny = yb + 7;
            EXPECT_TRUE(same((wx / wy).words(), words_of(nx / ny)));
            EXPECT_TRUE(same((wx % wy).words(), words_of(nx % ny)));
            EXPECT_EQ(wx < wy, nx < ny);
            EXPECT_TRUE(same((-wx).words(), words_of(-nx)));
            EXPECT_EQ(static_cast<int64_t>(wx), static_cast<int64_t>(nx));
        }
    }
}

// S and Un are the reference's signed and unsigned 128-bit integers.
template <class S, class Un> void expect_unsigned_shifts_division_and_conversions_to_match() {
    for (S a : operands<S>()) {
        const Un n = static_cast<Un>(a) * Un(uint64_t{0x1234567}) + Un(uint64_t{3});
        const U u = U(static_cast<uint64_t>(n >> 64)) << 64 | U(static_cast<uint64_t>(n));
        EXPECT_TRUE(same(u.words(), words_of(n)));
        for (int s : {0, 1, 31, 63, 64, 65, 100, 127}) {
            EXPECT_TRUE(same((u << s).words(), words_of(n << s))) << s;
            EXPECT_TRUE(same((u >> s).words(), words_of(n >> s))) << s;
            const S signed_n = static_cast<S>(n);
            EXPECT_TRUE(same((I(u) >> s).words(), words_of(signed_n >> s))) << s;
        }
        for (uint64_t d : {uint64_t{1}, uint64_t{3}, uint64_t{10000}, UINT64_MAX}) {
            EXPECT_TRUE(same((u / d).words(), words_of(n / Un(d))));
            EXPECT_TRUE(same((u % d).words(), words_of(n % Un(d))));
        }
        EXPECT_TRUE(same((u & 1).words(), words_of(n & Un(1))));
    }
}

} // namespace

TEST(Int128, SignedOperationsMatchALimbReference) {
    expect_signed_operations_to_match<Limbs<true>>();
}
TEST(Int128, UnsignedShiftsDivisionAndConversionsMatchALimbReference) {
    expect_unsigned_shifts_division_and_conversions_to_match<Limbs<true>, Limbs<false>>();
}

#if defined(__SIZEOF_INT128__)
TEST(Int128, SignedOperationsMatchTheCompilersOwn) {
    expect_signed_operations_to_match<__int128>();
}
TEST(Int128, UnsignedShiftsDivisionAndConversionsMatchTheCompilersOwn) {
    expect_unsigned_shifts_division_and_conversions_to_match<__int128, unsigned __int128>();
}
#endif
