// Currency arithmetic, comparison, bitwise operators and rounding: the documented cases, the
// traps (number and family, the fallback after a returning hook, the exception of a throwing
// one) and the arithmetic against the big-integer reference.
#include "harness/harness.h"
#include "numeric/big_oracle.h"

using namespace brtl_test;
using oracle::Big;
using oracle::OperandSource;

namespace {

class CurrencyTest : public RuntimeTest {};

const Trap kOverflow{6, Family::NumericTrap, ""};
const Trap kDivisionByZero{11, Family::NumericTrap, ""};

std::vector<Trap> none() {
    return {};
}
std::vector<Trap> overflow() {
    return {kOverflow};
}

std::vector<std::pair<int64_t, int64_t>> operand_pairs() {
    auto bounds = OperandSource::boundaries64();
    bounds.push_back(5000);
    bounds.push_back(-5000);
    bounds.push_back(15000);
    bounds.push_back(25000);
    bounds.push_back(-25000);
    std::vector<std::pair<int64_t, int64_t>> pairs;
    for (int64_t a : bounds)
        for (int64_t b : bounds)
            pairs.emplace_back(a, b);
    OperandSource source(4711);
    for (int i = 0; i < 20000; ++i)
        pairs.emplace_back(source.random64(), source.random64());
    return pairs;
}

// Round half to even of n / d for d > 0, worked from the floor quotient: the floor remainder
// lies in [0, d), and the next quotient up is taken when the remainder is more than half of d
// or exactly half with an odd floor quotient.
Big round_half_even(const Big &n, const Big &d) {
    Big q, r;
    oracle::truncating_divide(n, d, q, r);
    if (r.negative()) { // move to the floor quotient
        q = q - Big::from_int64(1);
        r = r + d;
    }
    const int c = Big::compare_magnitude(r + r, d);
    if (c > 0 || (c == 0 && q.is_odd())) q = q + Big::from_int64(1);
    return q;
}

// The expected result of a Currency operation: the wrapped exact value and trap 6 when it
// lies outside the range.
struct Expected {
    int64_t value;
    std::vector<Trap> traps;
};
Expected expect(const Big &exact) {
    return {exact.to_wrapped_int64(), exact.fits_signed(64) ? none() : overflow()};
}

} // namespace

// ---- The documented cases -------------------------------------------------------------------

TEST_F(CurrencyTest, AddAndSubtractTrapOnlyOutsideTheRange) {
    EXPECT_EQ(ZbiSubCurNum(2147483648, 1), 2147483647); // 214748.3648 - 0.0001
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiAddCurNum(INT64_MAX, 1), INT64_MIN); // the wrapped sum after the hook
    EXPECT_EQ(traps(), overflow());
    clear_traps();
    EXPECT_EQ(ZbiSubCurNum(INT64_MIN, 1), INT64_MAX);
    EXPECT_EQ(traps(), overflow());
    clear_traps();
    EXPECT_EQ(ZbiSubCurNum(-1, INT64_MAX), INT64_MIN); // reaches the most negative value exactly
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, NegateAndAbsTrapForTheMostNegativeValue) {
    EXPECT_EQ(ZbiNegCurNum(15000), -15000);
    EXPECT_EQ(ZbiAbsCurNum(-15000), 15000);
    EXPECT_EQ(ZbiAbsCurNum(INT64_MAX), INT64_MAX);
    EXPECT_EQ(ZbiNegCurNum(INT64_MAX), INT64_MIN + 1);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiNegCurNum(INT64_MIN), INT64_MIN);
    EXPECT_EQ(ZbiAbsCurNum(INT64_MIN), INT64_MIN);
    EXPECT_EQ(traps(), (std::vector<Trap>{kOverflow, kOverflow}));
}

TEST_F(CurrencyTest, MultiplyTruncatesTowardZero) {
    EXPECT_EQ(ZbiMulCurNum(1, 5000), 0);  // 0.0001 * 0.5
    EXPECT_EQ(ZbiMulCurNum(-1, 5000), 0); // -0.0001 * 0.5
    EXPECT_EQ(ZbiMulCurNum(15000, 15000), 22500);
    EXPECT_EQ(ZbiMulCurNum(-3, 33333), -9); // -0.0003 * 3.3333 = -0.00099999
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, DivideRoundsHalfToEven) {
    EXPECT_EQ(ZbiDivCurNum(10000, 30000), 3333);   // 1 / 3
    EXPECT_EQ(ZbiDivCurNum(20000, 30000), 6667);   // 2 / 3
    EXPECT_EQ(ZbiDivCurNum(10000, -30000), -3333); // 1 / -3
    EXPECT_EQ(ZbiDivCurNum(1, 20000), 0);          // 0.00005 to even: 0
    EXPECT_EQ(ZbiDivCurNum(3, 20000), 2);          // 0.00015 to even: 0.0002
    EXPECT_EQ(ZbiDivCurNum(-3, 20000), -2);
    EXPECT_EQ(ZbiDivCurNum(5, 20000), 2); // 0.00025 to even: 0.0002
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, DivisionByZeroRaisesTrapElevenAndGivesZero) {
    EXPECT_EQ(ZbiDivCurNum(10000, 0), 0);
    EXPECT_EQ(ZbiModCurNum(10000, 0), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{kDivisionByZero, kDivisionByZero}));
}

// Below one unit the truncated quotient is 0 and carries no sign; the rounding still goes away
// from zero on the side of the exact quotient.
TEST_F(CurrencyTest, DivideRoundsAQuotientBelowOneUnitOnItsOwnSide) {
    EXPECT_EQ(ZbiDivCurNum(1, -15000), -1); // 0.0001 / -1.5 = -0.0000667
    EXPECT_EQ(ZbiDivCurNum(-1, 15000), -1);
    EXPECT_EQ(ZbiDivCurNum(-1, -15000), 1);
    EXPECT_EQ(ZbiDivCurNum(1, 15000), 1);
    EXPECT_EQ(ZbiDivCurNum(1, -20000), 0); // -0.00005: the tie goes to the even 0
    EXPECT_TRUE(traps().empty());
}

// A quotient that fits before rounding but not after must not wrap to the most negative value.
TEST_F(CurrencyTest, DivideTrapsWhenRoundingLeavesTheRange) {
    // 3689348814741910323 * 10000 / 4000 = 9223372036854775807.5: the tie goes to the even
    // 2^63, one past the largest value.
    EXPECT_EQ(ZbiDivCurNum(3689348814741910323, 4000), INT64_MIN);
    EXPECT_EQ(traps(), overflow());
    clear_traps();
    // The mirror rounds to -2^63, which is in range.
    EXPECT_EQ(ZbiDivCurNum(-3689348814741910323, 4000), INT64_MIN);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, ModGivesTheRawRemainderWithTheDivisorsSign) {
    // 1 * 10000 units = 100000000; 100000000 mod 30000 = 10000.
    EXPECT_EQ(ZbiModCurNum(10000, 30000), 10000);
    EXPECT_EQ(ZbiModCurNum(-10000, 30000), 10000);
    EXPECT_EQ(ZbiModCurNum(10000, -30000), -10000);
    EXPECT_EQ(ZbiModCurNum(-10000, -30000), -10000);
    EXPECT_EQ(ZbiModCurNum(INT64_MIN, INT64_MIN), 0);
    EXPECT_EQ(ZbiModCurNum(3, INT64_MIN), -30000);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, ModfSplitsIntoAnUnscaledIntegerPartAndAFractionMagnitude) {
    int64_t ip = 0;
    EXPECT_EQ(ZbiModfCurNum(-15000, &ip), 5000);
    EXPECT_EQ(ip, -1);
    EXPECT_EQ(ZbiModfCurNum(123456789, &ip), 6789);
    EXPECT_EQ(ip, 12345);
    EXPECT_EQ(ZbiModfCurNum(INT64_MIN, &ip), 5808);
    EXPECT_EQ(ip, -922337203685477);
    EXPECT_EQ(ZbiModfCurNum(-9999, &ip), 9999);
    EXPECT_EQ(ip, 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, CompareAndSign) {
    EXPECT_EQ(ZbiCmpCurNum(0x80000000LL, 1), 1); // the low word alone would look negative
    EXPECT_EQ(ZbiCmpCurNum(-1, 0xFFFFFFFFLL), -1);
    EXPECT_EQ(ZbiCmpCurNum(INT64_MIN, INT64_MAX), -1);
    EXPECT_EQ(ZbiCmpCurNum(42, 42), 0);
    EXPECT_EQ(ZbiSgnCurNum(INT64_MIN), -1);
    EXPECT_EQ(ZbiSgnCurNum(0), 0);
    EXPECT_EQ(ZbiSgnCurNum(1), 1);
}

TEST_F(CurrencyTest, BitwiseOperatorsWorkOnTheRawBits) {
    EXPECT_EQ(ZbiNotCurNum(0), -1); // -0.0001
    const int64_t a = 0xC, b = 0xA;
    EXPECT_EQ(ZbiAndCurNum(a, b), 0x8);
    EXPECT_EQ(ZbiOrCurNum(a, b), 0xE);
    EXPECT_EQ(ZbiXorCurNum(a, b), 0x6);
    EXPECT_EQ(ZbiEqvCurNum(a, b), ~int64_t{0x6});
    // Implication: only the bit set in a and clear in b (bit 2) is clear.
    EXPECT_EQ(ZbiImpCurNum(a, b), ~int64_t{0x4});
    EXPECT_EQ(ZbiImpCurNum(INT64_MIN, 0), INT64_MAX);
    EXPECT_EQ(ZbiAndCurNum(INT64_MIN, -1), INT64_MIN);
}

TEST_F(CurrencyTest, RoundGoesToTheEvenWholeNumber) {
    EXPECT_EQ(BiRoundCurNum(25000), 20000);   // 2.5
    EXPECT_EQ(BiRoundCurNum(35000), 40000);   // 3.5
    EXPECT_EQ(BiRoundCurNum(-25000), -20000); // -2.5
    EXPECT_EQ(BiRoundCurNum(-35000), -40000);
    EXPECT_EQ(BiRoundCurNum(25001), 30000); // 2.5001
    EXPECT_EQ(BiRoundCurNum(4999), 0);
    EXPECT_EQ(BiRoundCurNum(-5000), 0);
    EXPECT_EQ(BiRoundCurNum(9223372036854765000), 9223372036854760000); // ...476.5 to even
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, RoundTrapsOnceWhenTheWholeNumberLeavesTheRange) {
    // 922337203685477.5807 rounds to 922337203685478, beyond the largest value.
    BiRoundCurNum(INT64_MAX);
    EXPECT_EQ(traps(), overflow());
    clear_traps();
    BiRoundCurNum(INT64_MIN);
    EXPECT_EQ(traps(), overflow());
    clear_traps();
    BiRoundCurNum(9223372036854775000); // ...477.5: the tie goes to the even ...478
    EXPECT_EQ(traps(), overflow());
    clear_traps();
    EXPECT_EQ(BiRoundCurNum(9223372036854764999), 9223372036854760000);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CurrencyTest, ThrowingHookLeavesTheOperation) {
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiAddCurNum(INT64_MAX, 1), TrapException);
    EXPECT_THROW(ZbiDivCurNum(1, 0), TrapException);
    EXPECT_THROW(ZbiMulCurNum(INT64_MAX, 20000), TrapException);
    EXPECT_THROW(BiRoundCurNum(INT64_MIN), TrapException);
    EXPECT_EQ(traps(), (std::vector<Trap>{kOverflow, kDivisionByZero, kOverflow, kOverflow}));
    EXPECT_NO_THROW(ZbiMulCurNum(20000, 20000));
}

// ---- Against the reference ----------------------------------------------------------------------

TEST_F(CurrencyTest, AddSubtractAndNegateMatchTheReference) {
    for (auto [a, b] : operand_pairs()) {
        Expected e = expect(Big::from_int64(a) + Big::from_int64(b));
        clear_traps();
        ASSERT_EQ(ZbiAddCurNum(a, b), e.value) << a << " + " << b;
        ASSERT_EQ(traps(), e.traps) << a << " + " << b;

        e = expect(Big::from_int64(a) - Big::from_int64(b));
        clear_traps();
        ASSERT_EQ(ZbiSubCurNum(a, b), e.value) << a << " - " << b;
        ASSERT_EQ(traps(), e.traps) << a << " - " << b;

        e = expect(-Big::from_int64(a));
        clear_traps();
        ASSERT_EQ(ZbiNegCurNum(a), e.value) << "-" << a;
        ASSERT_EQ(traps(), e.traps) << "-" << a;
    }
}

TEST_F(CurrencyTest, MultiplyMatchesTheReference) {
    const Big scale = Big::from_int64(10000);
    for (auto [a, b] : operand_pairs()) {
        Big q, r;
        oracle::truncating_divide(Big::from_int64(a) * Big::from_int64(b), scale, q, r);
        const Expected e = expect(q);
        clear_traps();
        ASSERT_EQ(ZbiMulCurNum(a, b), e.value) << a << " * " << b;
        ASSERT_EQ(traps(), e.traps) << a << " * " << b;
    }
}

TEST_F(CurrencyTest, DivideAndModMatchTheReference) {
    const Big scale = Big::from_int64(10000);
    for (auto [a, b] : operand_pairs()) {
        if (b == 0) continue;
        // Rounding a/b is rounding (-a)/(-b): give the reference a positive divisor.
        Big n = Big::from_int64(a) * scale, d = Big::from_int64(b);
        if (d.negative()) {
            n = -n;
            d = -d;
        }
        const Expected e = expect(round_half_even(n, d));
        clear_traps();
        ASSERT_EQ(ZbiDivCurNum(a, b), e.value) << a << " / " << b;
        ASSERT_EQ(traps(), e.traps) << a << " / " << b;

        Big mq, mr;
        Big::divide_magnitudes(Big::from_int64(a) * scale, Big::from_int64(b), mq, mr);
        const Big remainder = b < 0 ? -mr : mr;
        clear_traps();
        ASSERT_EQ(ZbiModCurNum(a, b), remainder.to_wrapped_int64()) << a << " mod " << b;
        ASSERT_TRUE(traps().empty());
    }
}

TEST_F(CurrencyTest, RoundMatchesTheReference) {
    const Big scale = Big::from_int64(10000);
    auto values = OperandSource::boundaries64();
    OperandSource source(99);
    for (int i = 0; i < 20000; ++i)
        values.push_back(source.random64());
    for (int64_t whole = -5; whole <= 5; ++whole)
        for (int64_t rest : {0, 1, 4999, 5000, 5001, 9999})
            values.push_back(whole * 10000 + rest);
    for (int64_t c : values) {
        const Expected e = expect(round_half_even(Big::from_int64(c), scale) * scale);
        clear_traps();
        ASSERT_EQ(BiRoundCurNum(c), e.value) << c;
        ASSERT_EQ(traps(), e.traps) << c;
    }
}
