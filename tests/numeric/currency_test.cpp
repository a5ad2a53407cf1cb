// Currency arithmetic, comparison, bitwise operators and rounding: the traps (number and family,
// the result after a returning hook, a throwing hook), and the arithmetic against the reference
// over boundary, tie and random operands.
#include "harness/harness.h"
#include "numeric/big_oracle.h"

using namespace brtl_test;
using namespace oracle;

namespace {

const Trap kOverflow{6, Family::NumericTrap, ""};
const Trap kDivisionByZero{11, Family::NumericTrap, ""};

class CurrencyTest : public RuntimeTest {
  protected:
    static std::vector<Trap> raised(int32_t n) {
        return n == 0 ? std::vector<Trap>{} : std::vector<Trap>{{n, Family::NumericTrap, ""}};
    }
    // Runs call and checks it gave the exact value wrapped to 64 bits, with trap 6 when the
    // exact value lies outside the range.
    template <typename Call>::testing::AssertionResult gives(i128 exact, Call call) {
        clear_traps();
        const int64_t got = call();
        if (got == int64_t(exact) && traps() == raised(fits(exact, 64) ? 0 : 6))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "gave " << got << " with " << traps().size() << " traps, not " << int64_t(exact);
    }
};

using Operation = int64_t (*)(int64_t, int64_t);

} // namespace

// The arithmetic is checked against the reference below; these are the operations it leaves out.
TEST_F(CurrencyTest, AbsCompareSignBitwiseAndDivisionByZero) {
    const Operation abs = [](int64_t a, int64_t) { return ZbiAbsCurNum(a); };
    const Operation sgn = [](int64_t a, int64_t) -> int64_t { return ZbiSgnCurNum(a); };
    const Operation cmp = [](int64_t a, int64_t b) -> int64_t { return ZbiCmpCurNum(a, b); };
    const Operation bit_not = [](int64_t a, int64_t) { return ZbiNotCurNum(a); };
    struct Case {
        const char *what;
        Operation f;
        int64_t a, b, result;
        int32_t trap;
    };
    const Case cases[] = {
        {"abs", abs, -15000, 0, 15000, 0},
        {"abs", abs, INT64_MAX, 0, INT64_MAX, 0},
        {"abs", abs, INT64_MIN, 0, INT64_MIN, 6},
        {"div", ZbiDivCurNum, 10000, 0, 0, 11},
        {"mod", ZbiModCurNum, 10000, 0, 0, 11},
        {"cmp", cmp, 0x80000000LL, 1, 1, 0}, // the low word alone would look negative
        {"cmp", cmp, -1, 0xFFFFFFFFLL, -1, 0},
        {"cmp", cmp, INT64_MIN, INT64_MAX, -1, 0},
        {"cmp", cmp, 42, 42, 0, 0},
        {"sgn", sgn, INT64_MIN, 0, -1, 0},
        {"sgn", sgn, 0, 0, 0, 0},
        {"sgn", sgn, 1, 0, 1, 0},
        // The bitwise operators work on the raw bits; implication clears only the bits set in a
        // and clear in b.
        {"not", bit_not, 0, 0, -1, 0},
        {"and", ZbiAndCurNum, 0xC, 0xA, 0x8, 0},
        {"or", ZbiOrCurNum, 0xC, 0xA, 0xE, 0},
        {"xor", ZbiXorCurNum, 0xC, 0xA, 0x6, 0},
        {"eqv", ZbiEqvCurNum, 0xC, 0xA, ~int64_t{0x6}, 0},
        {"imp", ZbiImpCurNum, 0xC, 0xA, ~int64_t{0x4}, 0},
        {"imp", ZbiImpCurNum, INT64_MIN, 0, INT64_MAX, 0},
        {"and", ZbiAndCurNum, INT64_MIN, -1, INT64_MIN, 0},
    };
    for (const Case &c : cases) {
        clear_traps();
        EXPECT_EQ(c.f(c.a, c.b), c.result) << c.what << " " << c.a << ", " << c.b;
        EXPECT_EQ(traps(), raised(c.trap)) << c.what << " " << c.a << ", " << c.b;
    }
}

TEST_F(CurrencyTest, ModfSplitsIntoAnUnscaledIntegerPartAndAFractionMagnitude) {
    const int64_t cases[][3] = {{-15000, 5000, -1},
                                {123456789, 6789, 12345},
                                {INT64_MIN, 5808, -922337203685477},
                                {-9999, 9999, 0}};
    for (const auto &c : cases) {
        int64_t ip = 0;
        EXPECT_EQ(ZbiModfCurNum(c[0], &ip), c[1]) << c[0];
        EXPECT_EQ(ip, c[2]) << c[0];
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, CheckedMultiplyAndDivideTrapThemselvesAndReturnZero) {
    BiCurrency a = 15000, b = 20000, r = 0;
    EXPECT_EQ(ZbiOvfMulCurrencies(&r, &a, &b), 0);
    EXPECT_EQ(r, 30000);
    EXPECT_EQ(ZbiOvfDivCurrencies(&r, &a, &b), 0);
    EXPECT_EQ(r, 7500);
    a = INT64_MAX;
    EXPECT_EQ(ZbiOvfMulCurrencies(&r, &a, &b), 0);
    b = 0;
    EXPECT_EQ(ZbiOvfDivCurrencies(&r, &a, &b), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{kOverflow, kDivisionByZero}));
    set_mode(HookMode::Throw);
    r = 99;
    EXPECT_THROW(ZbiOvfDivCurrencies(&r, &a, &b), TrapException);
    EXPECT_EQ(r, 99); // left before anything was stored
}

TEST_F(CurrencyTest, ArithmeticMatchesTheReference) {
    auto values = boundaries64();
    // Beside the boundaries: ties of the division and of rounding, a division rounding out of the
    // range (3689348814741910323 / 0.4 is ...07.5 units) and its mirror rounding to -2^63.
    values.insert(values.end(), {5, 4000, 5000, -5000, 15000, 25000, -25000, 33333,
                                 3689348814741910323, -3689348814741910323, 9223372036854764999,
                                 9223372036854765000, 9223372036854775000});
    for (int64_t whole = -5; whole <= 5; ++whole)
        for (int64_t rest : {0, 1, 4999, 5000, 5001, 9999})
            values.push_back(whole * 10000 + rest);
    for (const auto &pair : pairs(values, 20000, 4711, random64)) {
        const int64_t a = pair.first, b = pair.second;
        ASSERT_TRUE(gives(i128{a} + b, [&] { return ZbiAddCurNum(a, b); })) << a << " + " << b;
        ASSERT_TRUE(gives(i128{a} - b, [&] { return ZbiSubCurNum(a, b); })) << a << " - " << b;
        ASSERT_TRUE(gives(-i128{a}, [&] { return ZbiNegCurNum(a); })) << "-" << a;
        ASSERT_TRUE(gives(i128{a} * b / 10000, [&] { return ZbiMulCurNum(a, b); }))
            << a << " * " << b;
        ASSERT_TRUE(gives(round_half_even(a, 10000) * 10000, [&] { return BiRoundCurNum(a); }))
            << "round " << a;
        if (b == 0) continue;
        ASSERT_TRUE(gives(round_half_even(i128{a} * 10000, b), [&] { return ZbiDivCurNum(a, b); }))
            << a << " / " << b;
        ASSERT_TRUE(gives(divide(i128{a} * 10000, b).second, [&] { return ZbiModCurNum(a, b); }))
            << a << " mod " << b;
    }
}
