// The two-word 128-bit integers of 32-bit targets against the compiler's own, operation by
// operation, over edge values and a deterministic spread of others.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "numeric/int128.h"

#if defined(__SIZEOF_INT128__)

namespace {

using I = brtl::numeric::wide::Int<true>;
using U = brtl::numeric::wide::Int<false>;
using Native = unsigned __int128;

Native native(const brtl::numeric::wide::Words &w) {
    return static_cast<Native>(w.hi) << 64 | w.lo;
}

// Edge values and 64-bit products that fill both words.
std::vector<__int128> operands() {
    std::vector<__int128> v = {
        0, 1, -1, 2, -2, 10000, -10000, INT64_MAX, INT64_MIN, static_cast<__int128>(UINT64_MAX)};
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 40; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const auto a = static_cast<int64_t>(state);
        v.push_back(a);
        v.push_back(static_cast<__int128>(a) * static_cast<int64_t>(state >> 17));
    }
    return v;
}

} // namespace

TEST(Int128, SignedOperationsMatchTheCompilersOwn) {
    for (__int128 a : operands()) {
        for (__int128 b : operands()) {
            const I x(static_cast<int64_t>(a)), y(static_cast<int64_t>(b));
            const __int128 xa = static_cast<int64_t>(a), yb = static_cast<int64_t>(b);
            // From 64-bit values, products and sums fill both words.
            EXPECT_EQ(native((x * y).words()), static_cast<Native>(xa * yb)) << int64_t(a);
            EXPECT_EQ(native((x + y).words()), static_cast<Native>(xa + yb));
            EXPECT_EQ(native((x - y).words()), static_cast<Native>(xa - yb));
            EXPECT_EQ(x < y, xa < yb);
            EXPECT_EQ(x == y, xa == yb);
            const I wx = x * y, wy = y + 7;
            const __int128 nx = xa * yb, ny = yb + 7;
            EXPECT_EQ(native((wx / wy).words()), static_cast<Native>(nx / ny));
            EXPECT_EQ(native((wx % wy).words()), static_cast<Native>(nx % ny));
            EXPECT_EQ(wx < wy, nx < ny);
            EXPECT_EQ(native((-wx).words()), static_cast<Native>(-nx));
            EXPECT_EQ(static_cast<int64_t>(wx), static_cast<int64_t>(nx));
        }
    }
}

TEST(Int128, UnsignedShiftsDivisionAndConversions) {
    for (__int128 a : operands()) {
        const auto n = static_cast<Native>(a) * 0x1234567u + 3;
        const U u = U(static_cast<uint64_t>(n >> 64)) << 64 | U(static_cast<uint64_t>(n));
        EXPECT_EQ(native(u.words()), n);
        for (int s : {0, 1, 31, 63, 64, 65, 100, 127}) {
            EXPECT_EQ(native((u << s).words()), n << s) << s;
            EXPECT_EQ(native((u >> s).words()), n >> s) << s;
            const __int128 signed_n = static_cast<__int128>(n);
            EXPECT_EQ(native((I(u) >> s).words()), static_cast<Native>(signed_n >> s)) << s;
        }
        for (uint64_t d : {uint64_t{1}, uint64_t{3}, uint64_t{10000}, UINT64_MAX}) {
            EXPECT_EQ(native((u / d).words()), n / d);
            EXPECT_EQ(native((u % d).words()), n % d);
        }
        EXPECT_EQ(native((u & 1).words()), n & 1);
    }
}

#endif
