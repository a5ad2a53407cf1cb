// Variant +, - and *, the bitwise operators and the numeric comparisons at their boundaries:
// promotion on overflow, the Double traps and their hook family, Currency, Null and Empty.
#include <cfloat>
#include <cmath>
#include <limits>

#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantArithmetic : public RuntimeTest {};

const Trap kOverflow{BI_TRAP_OVERFLOW, Family::NumericTrap, ""};
const Trap kUnderflow{BI_TRAP_UNDERFLOW, Family::NumericTrap, ""};

TEST_F(VariantArithmetic, IntegersWidenToLongsExactlyAtEveryBoundary) {
    struct Case {
        int32_t op;
        int16_t a, b;
        int32_t exact;
    } cases[] = {{kAdd, 32767, 1, 32768},   {kAdd, -32768, -1, -32769},
                 {kSub, -32768, 1, -32769}, {kSub, 32767, -1, 32768},
                 {kSub, 0, -32768, 32768},  {kMul, 182, 181, 32942},
                 {kMul, -32768, -1, 32768}, {kMul, -32768, -32768, 1073741824}};
    for (const Case &c : cases) {
        VARIANT v = binary(c.op, i2(c.a), i2(c.b));
        EXPECT_EQ(v.vt, VT_I4) << c.a << " op " << c.op << " " << c.b;
        EXPECT_EQ(v.lVal, c.exact);
    }
    // Just inside the range the Integer stays.
    VARIANT v = binary(kMul, i2(181), i2(181));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 32761);
    v = binary(kAdd, i2(32766), i2(1));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantArithmetic, LongsWidenToDoublesExactly) {
    VARIANT v = binary(kAdd, i4(2147483647), i4(1));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2147483648.0);
    v = binary(kSub, i4(INT32_MIN), i2(1)); // a Long with an Integer is a Long pair
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, -2147483649.0);
    v = binary(kAdd, i2(1), i4(2147483647));
    EXPECT_EQ(v.vt, VT_R8);
    v = binary(kMul, i4(65536), i4(32768));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2147483648.0);
    v = binary(kMul, i4(46341), i4(46340)); // 2147441940 still fits
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 2147441940);
    v = binary(kMul, i4(-2147483647), i4(-2147483647));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2147483647.0 * 2147483647.0);
    EXPECT_TRUE(traps().empty()) << "integer arithmetic on Variants never traps";
}

TEST_F(VariantArithmetic, SinglesWidenToDoublesOnOverflowAndUnderflow) {
    VARIANT v = binary(kAdd, r4(3.0e38f), r4(3.0e38f));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, double(3.0e38f) + double(3.0e38f));
    v = binary(kMul, r4(1e20f), r4(1e20f));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, double(1e20f) * double(1e20f));
    // A difference in the subnormal band of Single is an underflow, which widens too.
    v = binary(kSub, r4(1.5e-38f), r4(1.4e-38f));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, double(1.5e-38f) - double(1.4e-38f));
    v = binary(kMul, i2(32767), r4(2e34f));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 32767.0 * double(2e34f));
    v = binary(kAdd, i2(3), r4(0.25f));
    EXPECT_EQ(v.vt, VT_R4);
    EXPECT_EQ(v.fltVal, 3.25f);
    // A Long with a Single is added in double precision without checks.
    v = binary(kAdd, i4(2147483647), r4(1.5f));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2147483648.5);
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantArithmetic, DoubleOverflowAndUnderflowTrapThroughTheNumericHookWithTheSubtypeSet) {
    VARIANT v = binary(kAdd, r8(DBL_MAX), r8(DBL_MAX));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
    clear_traps();
    v = binary(kMul, r8(1e-300), r8(1e-10));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(traps(), std::vector<Trap>{kUnderflow});
    clear_traps();
    v = binary(kSub, date(DBL_MAX), r8(-DBL_MAX));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
    clear_traps();
    set_mode(HookMode::Throw);
    EXPECT_THROW(binary(kMul, r8(1e200), r8(1e200)), TrapException);
}

TEST_F(VariantArithmetic, DatesAddAsDaysAndMultiplyAsDoubles) {
    VARIANT v = binary(kAdd, date(35424.5), i2(1));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, 35425.5);
    v = binary(kSub, date(35424.5), date(35420.0));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, 4.5);
    v = binary(kMul, date(2.5), i2(1));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2.5);
    v = binary(kAdd, cy(15000), date(2.0)); // a Currency with a Date gives a Date
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, 3.5);
}

TEST_F(VariantArithmetic, CurrencyPaths) {
    VARIANT v = binary(kAdd, cy(12345), i2(2));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 32345);
    // A Double beside a Currency is rounded at the fifth decimal.
    v = binary(kSub, r8(1.00005), cy(0));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 10001);
    v = binary(kMul, cy(1), cy(5000)); // 0.0001 * 0.5 truncates to 0
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 0);
    v = binary(kMul, cy(15000), r8(0.5)); // with a Double: computed as a Double
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 0.75);
    v = binary(kMul, cy(15000), i4(3));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 45000);
    EXPECT_TRUE(traps().empty());
    v = binary(kAdd, cy(INT64_MAX), cy(1));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
}

TEST_F(VariantArithmetic, AStringBesideACurrencyReadsAsCurrencyTextUnderPlusAndMinus) {
    VARIANT v = binary(kAdd, bstr_variant("2.0001"), cy(10000));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 30001);
    v = binary(kSub, cy(10000), bstr_variant("-.25"));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 12500);
    EXPECT_TRUE(traps().empty());
    // The currency reader takes only the plain form: no blanks, no separators.
    for (const char *text : {" 5", "1,000", "abc", "1.23456"}) {
        BlockBalance balance;
        clear_traps();
        v = binary(kAdd, bstr_variant(text), cy(10000));
        EXPECT_EQ(v.vt, VT_EMPTY) << text;
        EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}})) << text;
        EXPECT_EQ(balance.delta(), 0);
    }
    // Under * the string is read as a Double.
    clear_traps();
    v = binary(kMul, bstr_variant(" 5"), cy(10000));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 5.0);
}

TEST_F(VariantArithmetic, NullAndEmptyPropagation) {
    EXPECT_EQ(binary(kAdd, null_variant(), i2(1)).vt, VT_NULL);
    EXPECT_EQ(binary(kAnd, null_variant(), r8(1.5)).vt, VT_NULL);
    VARIANT v = binary(kOr, null_variant(), i2(5));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 5);
    v = binary(kOr, r8(2.5), null_variant()); // the Long conversion rounds half to even
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 2);
    v = binary(kImp, null_variant(), i2(5));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -1);
    v = binary(kImp, i2(5), null_variant());
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -6);
    v = binary(kImp, empty_variant(), null_variant());
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -1);
    v = binary(kAnd, empty_variant(), i2(7));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 0);
    v = binary(kOr, empty_variant(), i2(7));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 7);
    v = binary(kAdd, i2(5), empty_variant());
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 5);
    struct Both {
        int32_t op;
        int16_t answer;
    } both[] = {{kAdd, 0}, {kSub, 0}, {kMul, 0}, {kXor, 0}, {kEqv, -1}, {kImp, -1},
                {kLt, 0},  {kLe, -1}, {kGt, 0},  {kGe, -1}, {kEq, -1},  {kNe, 0}};
    for (const Both &b : both) {
        v = binary(b.op, empty_variant(), empty_variant());
        EXPECT_EQ(v.vt, VT_I2) << b.op;
        EXPECT_EQ(v.iVal, b.answer) << b.op;
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantArithmetic, ANullBesideAnOutOfRangeNumberTrapsOverflowUnderTheBitwiseRows) {
    VARIANT v = binary(kAnd, null_variant(), r8(3e9));
    EXPECT_EQ(v.vt, VT_NULL);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
    clear_traps();
    v = binary(kAnd, r4(2147483648.0f), null_variant()); // a Single may reach 2^31
    EXPECT_EQ(v.vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
    v = binary(kOr, null_variant(), r8(3e9));
    EXPECT_EQ(v.vt, VT_NULL);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
}

TEST_F(VariantArithmetic, BitwiseOperandsRoundHalfToEvenAndTrapOutsideTheLongRange) {
    VARIANT v = binary(kAnd, i2(3), i2(5));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 1);
    v = binary(kAnd, r8(1.5), i2(1)); // 1.5 rounds to 2
    EXPECT_EQ(v.lVal, 0);
    v = binary(kOr, r8(2.5), i2(1)); // 2.5 rounds to 2
    EXPECT_EQ(v.lVal, 3);
    v = binary(kXor, cy(25000), i2(0)); // 2.5 as a Currency rounds to 2 as well
    EXPECT_EQ(v.lVal, 2);
    v = binary(kAnd, r4(2147483648.0f), i4(-1)); // 2^31 as a 32-bit pattern
    EXPECT_EQ(v.lVal, INT32_MIN);
    v = binary(kEqv, i2(0), i2(0));
    EXPECT_EQ(v.lVal, -1);
    EXPECT_TRUE(traps().empty());
    for (double x : {3000000000.0, 2147483647.5, -2147483648.5, std::nan("")}) {
        clear_traps();
        v = binary(kOr, r8(x), i2(1));
        EXPECT_EQ(traps(), std::vector<Trap>{kOverflow}) << x;
    }
    clear_traps();
    binary(kOr, date(2147483648.0), i2(1));
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
    clear_traps();
    binary(kOr, r4(4294967296.0f), i2(1));
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
}

TEST_F(VariantArithmetic, ComparisonsChooseTheirPrecisionByThePairOfSubtypes) {
    // A Single beside a Double meets the Double rounded to single precision.
    EXPECT_EQ(binary(kEq, r4(0.1f), r8(0.1)).iVal, -1);
    EXPECT_EQ(binary(kEq, r8(0.1), r4(0.1f)).iVal, -1);
    // A Long beside a Single compares as Doubles: 16777217 is not the Single 16777216.
    EXPECT_EQ(binary(kEq, i4(16777217), r4(16777216.0f)).iVal, 0);
    // An Integer beside a Single compares as Singles.
    EXPECT_EQ(binary(kLt, i2(-3), r4(-2.5f)).iVal, -1);
    EXPECT_EQ(binary(kGt, i4(70000), i2(-1)).iVal, -1);
    // A Currency beside a Double: beyond the Currency range the Double wins; inside, the Double
    // is rounded at the fifth decimal.
    EXPECT_EQ(binary(kLt, cy(INT64_MAX), r8(1e16)).iVal, -1);
    EXPECT_EQ(binary(kGt, cy(INT64_MIN), r8(-1e16)).iVal, -1);
    EXPECT_EQ(binary(kEq, cy(10000), r8(1.00004)).iVal, -1);
    EXPECT_EQ(binary(kEq, r8(1.00005), cy(10000)).iVal, 0);
    EXPECT_EQ(binary(kLe, i4(2), cy(20000)).iVal, -1);
    EXPECT_EQ(binary(kNe, cy(10000), r8(std::nan(""))).iVal, -1);
    EXPECT_EQ(binary(kEq, cy(10000), r8(std::nan(""))).iVal, 0);
    // Two Errors compare by their codes.
    EXPECT_EQ(binary(kLt, error_variant(5), error_variant(9)).iVal, -1);
    EXPECT_TRUE(traps().empty());
    // A comparison handler given a code outside 8-13 raises trap 51.
    VARIANT result{};
    VARIANT a = i2(1), b = i2(2);
    BiVariantBinOpTable[(8 * 14 + VT_I2) * 14 + VT_I2](20, &result, &a, &b);
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_UNSUPPORTED, Family::Trap, ""}}));
}

TEST_F(VariantArithmetic, TheResultMayBeTheLeftOperand) {
    VARIANT left = i2(32767), right = i2(1);
    BiVariantBinOpTable[(kAdd * 14 + VT_I2) * 14 + VT_I2](kAdd, &left, &left, &right);
    EXPECT_EQ(left.vt, VT_I4);
    EXPECT_EQ(left.lVal, 32768);
    // A Long conversion whose result is the left operand itself.
    left = r8(6.5);
    right = null_variant();
    BiVariantBinOpTable[(kImp * 14 + VT_R8) * 14 + VT_NULL](kImp, &left, &left, &right);
    EXPECT_EQ(left.vt, VT_I4);
    EXPECT_EQ(left.lVal, ~6);
}

} // namespace
} // namespace brtl_test
