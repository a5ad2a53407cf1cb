// 64-bit and 128-bit integer arithmetic: division by zero, aliased and null results, then every
// routine against the independent reference over boundary and random operands, statuses included.
#include <cinttypes>
#include <cstdio>

#include "harness/harness.h"
#include "numeric/big_oracle.h"

using namespace brtl_test;
using namespace oracle;

namespace {

class Int64Test : public RuntimeTest {};

constexpr int32_t kSigned = 1, kUnsigned = 0;

BiInt128 bi(i128 v) {
    BiInt128 r;
    for (int i = 0; i < 4; ++i)
        r.w[i] = uint32_t(u128(v) >> (32 * i));
    return r;
}
i128 wide(int64_t v) {
    return v;
}
i128 wide(const BiInt128 &v) {
    u128 r = 0;
    for (int i = 4; i-- > 0;)
        r = r << 32 | v.w[i];
    return i128(r);
}
i128 half(const U256 &v, int from) {
    return i128(u128{v[from + 1]} << 64 | v[from]);
}
std::string hex(i128 v) {
    char text[40];
    std::snprintf(text, sizeof text, "%016" PRIx64 "%016" PRIx64, uint64_t(u128(v) >> 64),
                  uint64_t(v));
    return text;
}

// A call's status followed by the values it left, read after the call.
using V = std::vector<i128>;
template <typename... T> V after(int32_t status, const T &...values) {
    return {status, wide(values)...};
}

} // namespace

TEST_F(Int64Test, DivisionByZeroZeroesBothOutputsWithoutATrap) {
    int64_t a = 12345, zero = 0, q = 99, r = 99;
    EXPECT_EQ(after(ZbiDiv64(kSigned, &a, &zero, &q, &r), q, r), (V{0, 0, 0}));
    BiInt128 a128 = bi(-7), zero128{}, q128 = bi(5), r128 = bi(5);
    EXPECT_EQ(after(ZbiDiv128(kUnsigned, &a128, &zero128, &q128, &r128), q128, r128), (V{0, 0, 0}));
    EXPECT_TRUE(traps().empty());
}

TEST_F(Int64Test, ResultsMayAliasOperandsAndMayBeNull) {
    int64_t x = 3, y = -4;
    EXPECT_EQ(after(ZbiMul64(kSigned, &x, &y, &x, &y), x, y), (V{0, -12, -1})); // lo on a, hi on b
    x = 1 << 20;
    EXPECT_EQ(after(ZbiMul64(kSigned, &x, &x, nullptr, &x), x), (V{1, 0})); // 2^40: high half 0
    x = -7, y = 2;
    EXPECT_EQ(after(ZbiDiv64(kSigned, &x, &y, &y, &x), y, x), (V{1, -3, 1})); // q on b, rem on a
    x = 9, y = 4;
    EXPECT_EQ(after(ZbiDiv64(kSigned, &x, &y, nullptr, &x), x), (V{1, 1}));
    x = 5, y = 6;
    EXPECT_EQ(after(ZbiSub64(&x, &y, &y), y), (V{0, -1}));
    EXPECT_EQ(after(ZbiAdd64(&x, &x, &x), x), (V{0, 10}));
    EXPECT_EQ(ZbiAdd64(&x, &y, nullptr), 0);
    x = INT64_MAX;
    EXPECT_EQ(after(ZbiNeg64(&x, &x), x), (V{0, -INT64_MAX}));
    EXPECT_EQ(after(ZbiOvfNegCurrency(&x, &x), x), (V{0, INT64_MAX}));
    x = INT64_MIN, y = -1;
    EXPECT_EQ(after(ZbiOvfMul64bits(&x, &y, &x), x), (V{1, INT64_MIN}));

    BiInt128 a = bi(-3), b = bi(5);
    EXPECT_EQ(after(MUL128(kSigned, &a, &b, &a, &b), a, b), (V{0, -15, -1})); // hi: the sign
    a = bi(-15), b = bi(4);
    EXPECT_EQ(after(ZbiDiv128(kSigned, &a, &b, &b, &a), b, a), (V{1, -3, 3}));
    EXPECT_EQ(MUL128(kSigned, &a, &b, nullptr, nullptr), 0);
}

// The checked product and the checked Currency sum and negation store the wrapped value too.
TEST_F(Int64Test, SixtyFourBitRoutinesMatchTheReference) {
    auto values = boundaries64();
    values.insert(values.end(), {5, -5, 6, -6});
    for (auto [a, b] : pairs(values, 20000, 20240611, random64)) {
        SCOPED_TRACE(testing::Message() << a << ", " << b);
        const i128 sum = i128{a} + b, diff = i128{a} - b, neg = -i128{a}, product = i128{a} * b;
        const u128 uproduct = u128{uint64_t(a)} * uint64_t(b);
        const int32_t sub_status =
            (fits(diff, 64) ? 0 : 2) | (fits(i128{int32_t(a)} - int32_t(b), 32) ? 0 : 1);
        const int32_t mul_status = (fits(product, 32) ? 0 : 1) | (fits(product, 64) ? 0 : 2);
        int64_t r = 0, lo = 0, hi = 0, q = 0, rem = 0;
        ASSERT_EQ(after(ZbiAdd64(&a, &b, &r), r), (V{!fits(sum, 64), int64_t(sum)}));
        ASSERT_EQ(after(ZbiOvfAddCurrencies(&r, &a, &b), r), (V{!fits(sum, 64), int64_t(sum)}));
        ASSERT_EQ(after(ZbiSub64(&a, &b, &r), r), (V{sub_status, int64_t(diff)}));
        ASSERT_EQ(ZbiCmp64(&a, &b), (a > b) - (a < b));
        ASSERT_EQ(after(ZbiNeg64(&a, &r), r), (V{!fits(neg, 64), int64_t(neg)}));
        ASSERT_EQ(after(ZbiOvfNegCurrency(&r, &a), r), (V{!fits(neg, 64), int64_t(neg)}));
        ASSERT_EQ(after(ZbiMul64(kSigned, &a, &b, &lo, &hi), lo, hi),
                  (V{mul_status, int64_t(product), int64_t(product >> 64)}));
        ASSERT_EQ(after(ZbiMul64(kUnsigned, &a, &b, &lo, &hi), lo, hi),
                  (V{0, int64_t(uproduct), int64_t(uproduct >> 64)}));
        ASSERT_EQ(after(ZbiOvfMul64bits(&a, &b, &r), r), (V{!fits(product, 64), int64_t(product)}));
        if (b == 0) continue;
        const auto [tq, tr] = divide(a, b);
        ASSERT_EQ(after(ZbiDiv64(kSigned, &a, &b, &q, &rem), q, rem),
                  (V{1, int64_t(tq), int64_t(tr)}));
        ASSERT_EQ(after(ZbiDiv64(kUnsigned, &a, &b, &q, &rem), q, rem),
                  (V{1, int64_t(uint64_t(a) / uint64_t(b)), int64_t(uint64_t(a) % uint64_t(b))}));
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(Int64Test, HundredTwentyEightBitRoutinesMatchTheReference) {
    auto values = boundaries128();
    values.push_back(i128{1} << 63);
    for (auto [x, y] : pairs(values, 3000, 77, random128)) {
        SCOPED_TRACE(testing::Message() << hex(x) << ", " << hex(y));
        const BiInt128 a = bi(x), b = bi(y);
        BiInt128 lo{}, hi{}, q{}, r{};
        const U256 p = multiply(u128(x), u128(y), true), up = multiply(u128(x), u128(y), false);
        const U256 m =
            multiply(x < 0 ? 0 - u128(x) : u128(x), y < 0 ? 0 - u128(y) : u128(y), false);
        const bool negative = (x < 0) != (y < 0);
        const int32_t status = (fits(m, negative, 64) ? 0 : 1) | (fits(m, negative, 128) ? 0 : 2);
        ASSERT_EQ(after(MUL128(kSigned, &a, &b, &lo, &hi), lo, hi),
                  (V{status, half(p, 0), half(p, 2)}));
        ASSERT_EQ(after(MUL128(kUnsigned, &a, &b, &lo, &hi), lo, hi),
                  (V{0, half(up, 0), half(up, 2)}));
        if (y == 0) continue;
        const auto [tq, tr] = divide(x, y);
        ASSERT_EQ(after(ZbiDiv128(kSigned, &a, &b, &q, &r), q, r), (V{1, tq, tr}));
        ASSERT_EQ(after(ZbiDiv128(kUnsigned, &a, &b, &q, &r), q, r),
                  (V{1, i128(u128(x) / u128(y)), i128(u128(x) % u128(y))}));
    }
}
