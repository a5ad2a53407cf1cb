// 64-bit and 128-bit integer arithmetic: the documented edge cases, then every routine against
// the independent big-integer reference over boundary and random operands, statuses included.
#include <array>
#include <cstring>

#include "harness/harness.h"
#include "numeric/big_oracle.h"

using namespace brtl_test;
using oracle::Big;
using oracle::OperandSource;

namespace {

class Int64Test : public RuntimeTest {};

constexpr int32_t kSigned = 1;
constexpr int32_t kUnsigned = 0;

BiInt128 make128(const uint32_t w[4]) {
    BiInt128 v;
    std::memcpy(v.w, w, sizeof v.w);
    return v;
}
BiInt128 make128(const std::vector<uint32_t> &w) {
    return make128(w.data());
}
BiInt128 from_int64(int64_t v) {
    uint32_t ext = v < 0 ? 0xFFFFFFFFu : 0;
    return BiInt128{{static_cast<uint32_t>(v), static_cast<uint32_t>(v >> 32), ext, ext}};
}
std::vector<uint32_t> words_of(const BiInt128 &v) {
    return {v.w[0], v.w[1], v.w[2], v.w[3]};
}

Big big(int64_t v) {
    return Big::from_int64(v);
}
Big big(const BiInt128 &v, bool is_signed) {
    return Big::from_words(v.w, 4, is_signed);
}
Big big_unsigned(int64_t v) {
    uint32_t w[2] = {static_cast<uint32_t>(v),
                     static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32)};
    return Big::from_words(w, 2, false);
}

// All operand pairs of the boundary list plus random pairs.
std::vector<std::pair<int64_t, int64_t>> pairs64() {
    auto bounds = OperandSource::boundaries64();
    std::vector<std::pair<int64_t, int64_t>> pairs;
    for (int64_t a : bounds)
        for (int64_t b : bounds)
            pairs.emplace_back(a, b);
    OperandSource source(20240611);
    for (int i = 0; i < 20000; ++i)
        pairs.emplace_back(source.random64(), source.random64());
    return pairs;
}

std::vector<std::pair<BiInt128, BiInt128>> pairs128() {
    auto bounds = OperandSource::boundaries128();
    std::vector<std::pair<BiInt128, BiInt128>> pairs;
    for (auto &a : bounds)
        for (auto &b : bounds)
            pairs.emplace_back(make128(a), make128(b));
    OperandSource source(77);
    for (int i = 0; i < 3000; ++i) {
        uint32_t a[4], b[4];
        source.random128(a);
        source.random128(b);
        pairs.emplace_back(make128(a), make128(b));
    }
    return pairs;
}

} // namespace

// ---- The documented cases -------------------------------------------------------------------

TEST_F(Int64Test, AddOfLargestAndOneWrapsAndReportsOverflow) {
    int64_t a = INT64_MAX, b = 1, r = 0;
    EXPECT_EQ(ZbiAdd64(&a, &b, &r), 1);
    EXPECT_EQ(r, INT64_MIN);
    a = -5;
    b = 3;
    EXPECT_EQ(ZbiAdd64(&a, &b, &r), 0);
    EXPECT_EQ(r, -2);
}

TEST_F(Int64Test, SubReportsTheLowWordsAndTheWholeValueSeparately) {
    int64_t a = 0x80000000LL, b = 1, r = 0;
    EXPECT_EQ(ZbiSub64(&a, &b, &r), 1); // low words overflow as 32-bit, the 64-bit value fits
    EXPECT_EQ(r, 0x7FFFFFFFLL);
    a = INT64_MIN;
    EXPECT_EQ(ZbiSub64(&a, &b, &r), 2);
    EXPECT_EQ(r, INT64_MAX);
    a = 0;
    b = INT64_MIN; // 0 - (-2^63): both the low words (0 - 0) fit and the whole overflows
    EXPECT_EQ(ZbiSub64(&a, &b, &r), 2);
    EXPECT_EQ(r, INT64_MIN);
    a = INT64_MIN; // both: the whole overflows, and so do the low words 0 - (-2^31)
    b = 0x80000000LL;
    EXPECT_EQ(ZbiSub64(&a, &b, &r), 3);
}

TEST_F(Int64Test, CompareIsSignedOnTheWholeValue) {
    int64_t a = 0x80000000LL, b = 1;
    EXPECT_EQ(ZbiCmp64(&a, &b), 1);
    EXPECT_EQ(ZbiCmp64(&b, &a), -1);
    a = -1;
    EXPECT_EQ(ZbiCmp64(&a, &b), -1);
    b = -1;
    EXPECT_EQ(ZbiCmp64(&a, &b), 0);
    a = INT64_MIN;
    b = INT64_MAX;
    EXPECT_EQ(ZbiCmp64(&a, &b), -1);
}

TEST_F(Int64Test, NegateReportsOnlyTheMostNegativeValue) {
    int64_t a = INT64_MIN, r = 0;
    EXPECT_EQ(ZbiNeg64(&a, &r), 1);
    EXPECT_EQ(r, INT64_MIN);
    a = -5;
    EXPECT_EQ(ZbiNeg64(&a, &r), 0);
    EXPECT_EQ(r, 5);
    a = INT64_MAX;
    EXPECT_EQ(ZbiNeg64(&a, &a), 0); // in place
    EXPECT_EQ(a, -INT64_MAX);
}

TEST_F(Int64Test, MultiplyDocumentedProductsAndStatuses) {
    struct Case {
        int32_t mode;
        int64_t a, b;
        uint64_t lo, hi;
        int32_t status;
    };
    const Case cases[] = {
        {kSigned, INT64_MIN, -1, 0x8000000000000000ULL, 0, 3},
        {kSigned, int64_t{1} << 31, 2, uint64_t{1} << 32, 0, 1},
        {kSigned, int64_t{1} << 62, 2, 0x8000000000000000ULL, 0, 3},
        {kSigned, -3, 7, static_cast<uint64_t>(-21), ~uint64_t{0}, 0},
        {kUnsigned, INT64_MIN, 2, 0, 1, 0},
        {kSigned, INT64_MIN, INT64_MIN, 0, uint64_t{1} << 62, 3},
        {kSigned, INT32_MIN, 1, static_cast<uint64_t>(int64_t{INT32_MIN}), ~uint64_t{0}, 0},
        {kSigned, INT32_MIN, -1, uint64_t{1} << 31, 0, 1},
        {kUnsigned, -1, -1, 1, 0xFFFFFFFFFFFFFFFEULL, 0},
    };
    for (const Case &c : cases) {
        int64_t lo = 0, hi = 0;
        EXPECT_EQ(ZbiMul64(c.mode, &c.a, &c.b, &lo, &hi), c.status) << c.a << " * " << c.b;
        EXPECT_EQ(static_cast<uint64_t>(lo), c.lo) << c.a << " * " << c.b;
        EXPECT_EQ(static_cast<uint64_t>(hi), c.hi) << c.a << " * " << c.b;
    }
}

TEST_F(Int64Test, DivideTruncatesAndGivesTheRemainderTheDivisorsSign) {
    struct Case {
        int64_t a, b, q, r;
    };
    const Case cases[] = {{7, 2, 3, 1},
                          {-7, 2, -3, 1},
                          {7, -2, -3, -1},
                          {-7, -2, 3, -1},
                          {INT64_MIN, 1, INT64_MIN, 0},
                          {INT64_MIN, -1, INT64_MIN, 0}, // 2^63 wraps; no fault
                          {5, INT64_MIN, 0, -5},
                          {INT64_MIN, INT64_MIN, 1, 0},
                          {-6, 3, -2, 0}};
    for (const Case &c : cases) {
        int64_t q = 99, r = 99;
        EXPECT_EQ(ZbiDiv64(kSigned, &c.a, &c.b, &q, &r), 1) << c.a << " / " << c.b;
        EXPECT_EQ(q, c.q) << c.a << " / " << c.b;
        EXPECT_EQ(r, c.r) << c.a << " / " << c.b;
    }
}

TEST_F(Int64Test, DivisionByZeroZeroesBothOutputsAndReturnsZero) {
    int64_t a = 12345, zero = 0, q = 99, r = 99;
    EXPECT_EQ(ZbiDiv64(kSigned, &a, &zero, &q, &r), 0);
    EXPECT_EQ(q, 0);
    EXPECT_EQ(r, 0);
    BiInt128 a128 = from_int64(-7), zero128{}, q128 = from_int64(5), r128 = from_int64(5);
    EXPECT_EQ(ZbiDiv128(kUnsigned, &a128, &zero128, &q128, &r128), 0);
    EXPECT_EQ(words_of(q128), (std::vector<uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(words_of(r128), (std::vector<uint32_t>{0, 0, 0, 0}));
    EXPECT_TRUE(traps().empty()); // a status, never a trap
}

TEST_F(Int64Test, ResultsMayAliasOperandsAndMayBeNull) {
    int64_t x = 3, y = -4;
    EXPECT_EQ(ZbiMul64(kSigned, &x, &y, &x, &y), 0); // lo over a, hi over b
    EXPECT_EQ(x, -12);
    EXPECT_EQ(y, -1);
    x = 1 << 20;
    EXPECT_EQ(ZbiMul64(kSigned, &x, &x, nullptr, &x), 1);
    EXPECT_EQ(x, 0); // 2^40: high half 0

    x = -7;
    y = 2;
    EXPECT_EQ(ZbiDiv64(kSigned, &x, &y, &y, &x), 1); // quotient over b, remainder over a
    EXPECT_EQ(y, -3);
    EXPECT_EQ(x, 1);
    x = 9;
    y = 4;
    EXPECT_EQ(ZbiDiv64(kSigned, &x, &y, nullptr, &x), 1);
    EXPECT_EQ(x, 1);

    x = 5;
    y = 6;
    EXPECT_EQ(ZbiSub64(&x, &y, &y), 0);
    EXPECT_EQ(y, -1);
    EXPECT_EQ(ZbiAdd64(&x, &x, &x), 0);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(ZbiAdd64(&x, &y, nullptr), 0);

    BiInt128 a = from_int64(-3), b = from_int64(5);
    EXPECT_EQ(MUL128(kSigned, &a, &b, &a, &b), 0);
    EXPECT_EQ(words_of(a), words_of(from_int64(-15)));
    EXPECT_EQ(words_of(b), words_of(from_int64(-1))); // the sign extension
    a = from_int64(-15);
    b = from_int64(4);
    EXPECT_EQ(ZbiDiv128(kSigned, &a, &b, &b, &a), 1);
    EXPECT_EQ(words_of(b), words_of(from_int64(-3)));
    EXPECT_EQ(words_of(a), words_of(from_int64(3)));
    EXPECT_EQ(MUL128(kSigned, &a, &b, nullptr, nullptr), 0);
}

// ---- Against the reference ----------------------------------------------------------------------

TEST_F(Int64Test, AddSubCompareAndNegateMatchTheReference) {
    for (auto [a, b] : pairs64()) {
        const Big sum = big(a) + big(b), difference = big(a) - big(b);
        int64_t r = 0;
        EXPECT_EQ(ZbiAdd64(&a, &b, &r), sum.fits_signed(64) ? 0 : 1) << a << " + " << b;
        EXPECT_EQ(r, sum.to_wrapped_int64());

        const Big low_difference =
            Big::from_int64(static_cast<int32_t>(a)) - Big::from_int64(static_cast<int32_t>(b));
        const int32_t expected =
            (difference.fits_signed(64) ? 0 : 2) | (low_difference.fits_signed(32) ? 0 : 1);
        EXPECT_EQ(ZbiSub64(&a, &b, &r), expected) << a << " - " << b;
        EXPECT_EQ(r, difference.to_wrapped_int64());

        const Big d = big(a) - big(b);
        EXPECT_EQ(ZbiCmp64(&a, &b), d.is_zero() ? 0 : (d.negative() ? -1 : 1));

        const Big negation = -big(a);
        EXPECT_EQ(ZbiNeg64(&a, &r), negation.fits_signed(64) ? 0 : 1);
        EXPECT_EQ(r, negation.to_wrapped_int64());
    }
}

TEST_F(Int64Test, MultiplyMatchesTheReferenceInBothModes) {
    for (auto [a, b] : pairs64()) {
        const Big product = big(a) * big(b);
        auto words = product.to_words(4);
        int64_t lo = 0, hi = 0;
        const int32_t expected =
            (product.fits_signed(32) ? 0 : 1) | (product.fits_signed(64) ? 0 : 2);
        ASSERT_EQ(ZbiMul64(kSigned, &a, &b, &lo, &hi), expected) << a << " * " << b;
        EXPECT_EQ(static_cast<uint32_t>(lo), words[0]);
        EXPECT_EQ(static_cast<uint32_t>(static_cast<uint64_t>(lo) >> 32), words[1]);
        EXPECT_EQ(static_cast<uint32_t>(hi), words[2]);
        EXPECT_EQ(static_cast<uint32_t>(static_cast<uint64_t>(hi) >> 32), words[3]);

        const Big uproduct = big_unsigned(a) * big_unsigned(b);
        words = uproduct.to_words(4);
        ASSERT_EQ(ZbiMul64(kUnsigned, &a, &b, &lo, &hi), 0);
        EXPECT_EQ(static_cast<uint32_t>(lo), words[0]);
        EXPECT_EQ(static_cast<uint32_t>(static_cast<uint64_t>(hi) >> 32), words[3]);
    }
}

TEST_F(Int64Test, DivideMatchesTheReferenceInBothModes) {
    for (auto [a, b] : pairs64()) {
        if (b == 0) continue;
        int64_t q = 0, r = 0;
        Big tq, tr;
        oracle::truncating_divide(big(a), big(b), tq, tr);
        // The remainder takes the divisor's sign: the truncated remainder, negated when the
        // operand signs differ.
        const Big expected_r = ((a < 0) != (b < 0)) ? -tr : tr;
        ASSERT_EQ(ZbiDiv64(kSigned, &a, &b, &q, &r), 1);
        EXPECT_EQ(q, tq.to_wrapped_int64()) << a << " / " << b;
        EXPECT_EQ(r, expected_r.to_wrapped_int64()) << a << " / " << b;

        Big uq, ur;
        Big::divide_magnitudes(big_unsigned(a), big_unsigned(b), uq, ur);
        ASSERT_EQ(ZbiDiv64(kUnsigned, &a, &b, &q, &r), 1);
        EXPECT_EQ(q, uq.to_wrapped_int64()) << a << " u/ " << b;
        EXPECT_EQ(r, ur.to_wrapped_int64()) << a << " u/ " << b;
    }
}

TEST_F(Int64Test, Multiply128MatchesTheReferenceInBothModes) {
    for (auto [a, b] : pairs128()) {
        BiInt128 lo{}, hi{};
        const Big product = big(a, true) * big(b, true);
        const auto words = product.to_words(8);
        const int32_t expected =
            (product.fits_signed(64) ? 0 : 1) | (product.fits_signed(128) ? 0 : 2);
        ASSERT_EQ(MUL128(kSigned, &a, &b, &lo, &hi), expected);
        EXPECT_EQ(words_of(lo), std::vector<uint32_t>(words.begin(), words.begin() + 4));
        EXPECT_EQ(words_of(hi), std::vector<uint32_t>(words.begin() + 4, words.end()));

        const auto uwords = (big(a, false) * big(b, false)).to_words(8);
        ASSERT_EQ(MUL128(kUnsigned, &a, &b, &lo, &hi), 0);
        EXPECT_EQ(words_of(lo), std::vector<uint32_t>(uwords.begin(), uwords.begin() + 4));
        EXPECT_EQ(words_of(hi), std::vector<uint32_t>(uwords.begin() + 4, uwords.end()));
    }
}

TEST_F(Int64Test, Divide128MatchesTheReferenceInBothModes) {
    for (auto [a, b] : pairs128()) {
        const Big sa = big(a, true), sb = big(b, true);
        if (sb.is_zero()) continue;
        BiInt128 q{}, r{};
        Big tq, tr;
        oracle::truncating_divide(sa, sb, tq, tr);
        const Big expected_r = (sa.negative() != sb.negative()) ? -tr : tr;
        ASSERT_EQ(ZbiDiv128(kSigned, &a, &b, &q, &r), 1);
        EXPECT_EQ(words_of(q), tq.to_words(4));
        EXPECT_EQ(words_of(r), expected_r.to_words(4));

        Big uq, ur;
        Big::divide_magnitudes(big(a, false), big(b, false), uq, ur);
        ASSERT_EQ(ZbiDiv128(kUnsigned, &a, &b, &q, &r), 1);
        EXPECT_EQ(words_of(q), uq.to_words(4));
        EXPECT_EQ(words_of(r), ur.to_words(4));
    }
}

TEST_F(Int64Test, Multiply128OfTheMostNegativeValueIsExact) {
    const uint32_t min_words[4] = {0, 0, 0, 0x80000000u};
    BiInt128 a = make128(min_words), minus_one = from_int64(-1), lo{}, hi{};
    // -2^127 * -1 = 2^127: beyond signed 128 bits, stored exactly.
    EXPECT_EQ(MUL128(kSigned, &a, &minus_one, &lo, &hi), 3);
    EXPECT_EQ(words_of(lo), (std::vector<uint32_t>{0, 0, 0, 0x80000000u}));
    EXPECT_EQ(words_of(hi), (std::vector<uint32_t>{0, 0, 0, 0}));
    // -2^127 * -2^127 = 2^254.
    EXPECT_EQ(MUL128(kSigned, &a, &a, &lo, &hi), 3);
    EXPECT_EQ(words_of(lo), (std::vector<uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(words_of(hi), (std::vector<uint32_t>{0, 0, 0, 0x40000000u}));
    // 2^63 * 1 fits 128 bits but not 64.
    BiInt128 p63 = from_int64(0), one = from_int64(1);
    p63.w[1] = 0x80000000u;
    EXPECT_EQ(MUL128(kSigned, &p63, &one, &lo, &hi), 1);
}
