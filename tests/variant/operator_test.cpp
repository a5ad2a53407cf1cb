// The Variant operators at their boundaries, beyond what the cell sweep's samples reach:
// promotion on overflow, the Double and Currency traps and their hook family, rounding of the
// bitwise operands, the precision of comparisons, strings meeting numbers and strings, and the
// unary operators' edges.
#include <cfloat>

#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantOperators : public RuntimeTest {};

constexpr int kNegate = 0, kSign = 1, kAbs = 2, kNot = 3;

// A binary operator whose result is written over its left operand.
VARIANT into_left(int32_t op, VARIANT left, VARIANT right) {
    int row = op < kLt ? op : 8;
    BiVariantBinOpTable[(row * 14 + left.vt) * 14 + right.vt](op, &left, &left, &right);
    return left;
}

TEST_F(VariantOperators, ArithmeticPromotesOnOverflowAtEveryBoundary) {
    check({
        {got(binary(kAdd, i2(32767), i2(1))), VT_I4, 32768},
        {got(binary(kSub, i2(-32768), i2(1))), VT_I4, -32769},
        {got(binary(kSub, i2(0), i2(-32768))), VT_I4, 32768},
        {got(binary(kMul, i2(-32768), i2(-32768))), VT_I4, 1073741824},
        {got(binary(kMul, i2(181), i2(181))), VT_I2, 32761},
        {got(binary(kAdd, i4(2147483647), i4(1))), VT_R8, 2147483648.0},
        {got(binary(kSub, i4(INT32_MIN), i2(1))), VT_R8, -2147483649.0}, // a Long pair
        {got(binary(kAdd, i2(1), i4(2147483647))), VT_R8, 2147483648.0},
        {got(binary(kMul, i4(65536), i4(32768))), VT_R8, 2147483648.0},
        {got(binary(kMul, i4(-2147483647), i4(-2147483647))), VT_R8, 2147483647.0 * 2147483647.0},
        {got(binary(kAdd, r4(3.0e38f), r4(3.0e38f))), VT_R8, double(3.0e38f) + double(3.0e38f)},
        {got(binary(kMul, r4(1e20f), r4(1e20f))), VT_R8, double(1e20f) * double(1e20f)},
        // A difference in the subnormal band of Single is an underflow, which widens too.
        {got(binary(kSub, r4(1.5e-38f), r4(1.4e-38f))), VT_R8, double(1.5e-38f) - double(1.4e-38f)},
        {got(binary(kMul, i2(32767), r4(2e34f))), VT_R8, 32767.0 * double(2e34f)},
        // A Long with a Single is added in double precision without checks.
        {got(binary(kAdd, i4(2147483647), r4(1.5f))), VT_R8, 2147483648.5},
        // Double and Currency overflow and underflow trap through the numeric hook.
        {got(binary(kAdd, r8(DBL_MAX), r8(DBL_MAX))), VT_R8, kAny, {kOverflow}},
        {got(binary(kMul, r8(1e-300), r8(1e-10))), VT_R8, kAny, {kUnderflow}},
        {got(binary(kSub, date(DBL_MAX), r8(-DBL_MAX))), VT_DATE, kAny, {kOverflow}},
        {got(binary(kAdd, cy(INT64_MAX), cy(1))), VT_CY, kAny, {kOverflow}},
        {got(binary(kSub, r8(1.00005), cy(0))), VT_CY, 10001}, // rounded at the fifth decimal
        {got(binary(kMul, cy(1), cy(5000))), VT_CY, 0},        // 0.0001 * 0.5 truncates
        {got(into_left(kAdd, i2(32767), i2(1))), VT_I4, 32768},
        {got(into_left(kImp, r8(6.5), null_variant())), VT_I4, ~6}, // a Long conversion too
    });
    set_mode(HookMode::Throw);
    EXPECT_THROW(binary(kMul, r8(1e200), r8(1e200)), TrapException);
}

TEST_F(VariantOperators, AStringBesideACurrencyReadsAsCurrencyTextUnderPlusAndMinus) {
    BlockBalance balance;
    check({
        {got(binary(kAdd, bstr_variant("2.0001"), cy(10000))), VT_CY, 30001},
        {got(binary(kSub, cy(10000), bstr_variant("-.25"))), VT_CY, 12500},
        // Only the plain form: no blanks, no separators.
        {got(binary(kAdd, bstr_variant(" 5"), cy(10000))), VT_EMPTY, kAny, {kMismatch}},
        {got(binary(kAdd, bstr_variant("1,000"), cy(10000))), VT_EMPTY, kAny, {kMismatch}},
        {got(binary(kAdd, bstr_variant("1.23456"), cy(10000))), VT_EMPTY, kAny, {kMismatch}},
        {got(binary(kMul, bstr_variant(" 5"), cy(10000))), VT_R8, 5.0}, // under * a Double
        {got(binary(kAnd, i4(7), bstr_variant(" 6 "))), VT_I4, 6},
    });
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantOperators, NullsAndBitwiseOperandsRoundHalfToEvenAndTrapOutsideTheLongRange) {
    check({
        {got(binary(kOr, r8(2.5), null_variant())), VT_I4, 2},
        {got(binary(kAnd, null_variant(), r8(3e9))), VT_NULL, kAny, {kOverflow}},
        {got(binary(kAnd, r4(2147483648.0f), null_variant())), VT_NULL}, // a Single may be 2^31
        {got(binary(kOr, null_variant(), r8(3e9))), VT_NULL, kAny, {kOverflow}},
        {got(binary(kAnd, r8(1.5), i2(1))), VT_I4, 0},
        {got(binary(kOr, r8(2.5), i2(1))), VT_I4, 3},
        {got(binary(kXor, cy(25000), i2(0))), VT_I4, 2},
        {got(binary(kAnd, r4(2147483648.0f), i4(-1))), VT_I4, INT32_MIN},
        {got(binary(kOr, r8(3000000000.0), i2(1))), kAnyType, kAny, {kOverflow}},
        {got(binary(kOr, r8(-2147483648.5), i2(1))), kAnyType, kAny, {kOverflow}},
        {got(binary(kOr, r8(std::nan("")), i2(1))), kAnyType, kAny, {kOverflow}},
        {got(binary(kOr, r4(4294967296.0f), i2(1))), kAnyType, kAny, {kOverflow}},
    });
}

TEST_F(VariantOperators, ComparisonsChooseTheirPrecisionByThePairOfSubtypes) {
    check({
        // A Single beside a Double meets the Double rounded to single precision.
        {got(binary(kEq, r4(0.1f), r8(0.1))), VT_I2, -1},
        {got(binary(kEq, r8(0.1), r4(0.1f))), VT_I2, -1},
        // A Long beside a Single compares as Doubles; an Integer beside a Single as Singles.
        {got(binary(kEq, i4(16777217), r4(16777216.0f))), VT_I2, 0},
        {got(binary(kLt, i2(-3), r4(-2.5f))), VT_I2, -1},
        // A Currency beside a Double: beyond the Currency range the Double wins; inside, the
        // Double is rounded at the fifth decimal.
        {got(binary(kLt, cy(INT64_MAX), r8(1e16))), VT_I2, -1},
        {got(binary(kGt, cy(INT64_MIN), r8(-1e16))), VT_I2, -1},
        {got(binary(kEq, cy(10000), r8(1.00004))), VT_I2, -1},
        {got(binary(kEq, r8(1.00005), cy(10000))), VT_I2, 0},
        {got(binary(kLe, i4(2), cy(20000))), VT_I2, -1},
        {got(binary(kNe, cy(10000), r8(std::nan("")))), VT_I2, -1},
        {got(binary(kEq, cy(10000), r8(std::nan("")))), VT_I2, 0},
    });
    // A comparison handler given a code outside 8-13 raises trap 51.
    VARIANT result{}, a = i2(1), b = i2(2);
    BiVariantBinOpTable[(8 * 14 + VT_I2) * 14 + VT_I2](20, &result, &a, &b);
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kUnsupported});
}

TEST_F(VariantOperators, StringsMeetingNumbersAndStrings) {
    BlockBalance balance;
    check({
        {got(binary(kAdd, bstr_variant(""), bstr_variant(""))), VT_BSTR, kAny, {}, ""},
        {got(into_left(kAdd, bstr_variant("ab"), bstr_variant("cd"))), VT_BSTR, kAny, {}, "abcd"},
        // A string is greater than any number, even a string of digits.
        {got(binary(kLt, i2(5), bstr_variant("1"))), VT_I2, -1},
        {got(binary(kEq, bstr_variant("5"), r8(5.0))), VT_I2, 0},
        {got(binary(kNe, cy(1), bstr_variant(""))), VT_I2, -1},
        // Beside a Date a text that reads as a date is compared as one (day 35424 is 12/25/96).
        {got(binary(kEq, bstr_variant("12/25/96"), date(35424.0))), VT_I2, -1},
        {got(binary(kLt, bstr_variant("12/25/96"), date(35424.5))), VT_I2, -1},
        {got(binary(kLt, bstr_variant("12/25/96"), r8(1e300))), VT_I2, 0},
        {got(binary(kGt, bstr_variant("abc"), date(35424.0))), VT_I2, -1},
        // Binary comparison: by units, unsigned; distinct texts never compare equal.
        {got(binary(kEq, bstr_variant("ABC"), bstr_variant("abc"))), VT_I2, 0},
        {got(binary(kLt, bstr_variant("ab"), bstr_variant("abc"))), VT_I2, -1},
        {got(binary(kGt, bstr_variant("\xe9"), bstr_variant("z"))), VT_I2, -1},
        {got(binary(kLe, empty_variant(), bstr_variant(""))), VT_I2, -1},
        {got(binary(kEq, bstr_variant(std::u16string(u"a\0", 2)), bstr_variant("a"))), VT_I2, 0},
        {got(binary(kGt, bstr_variant(std::u16string(u"a\0", 2)), bstr_variant("a"))), VT_I2, -1},
        {got(binary(kLt, bstr_variant(u"\u4E00"), bstr_variant(u"\u4E01"))), VT_I2, -1},
    });
    host().text_compare = true;
    check({
        {got(binary(kEq, bstr_variant("ABC"), bstr_variant("abc"))), VT_I2, -1},
        {got(binary(kLt, bstr_variant("a"), bstr_variant("B"))), VT_I2, -1},
        {got(binary(kLt, bstr_variant("AB"), bstr_variant("abc"))), VT_I2, -1},
    });
    // Characters outside the code page and embedded NULs survive a join.
    std::u16string a = u"\u4E00a", b = std::u16string(u"\0b", 2);
    VARIANT v = binary(kAdd, bstr_variant(a), bstr_variant(b));
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(units_of(v.bstrVal), a + b);
    release(v);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantOperators, CaseBlindComparisonLeavesTrailBytesAlone) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    // U+30A2 and U+30C2 are 0x83 0x41 and 0x83 0x61: their trail bytes are "A" and "a".
    const std::u16string c1 = u"\u30A2", c2 = u"\u30C2";
    host().text_compare = true;
    check({
        {got(binary(kEq, bstr_variant(c1), bstr_variant(c2))), VT_I2, 0},
        {got(binary(kLt, bstr_variant(c1), bstr_variant(c2))), VT_I2, -1},
        {got(binary(kEq, bstr_variant(c1 + u"X"), bstr_variant(c1 + u"x"))), VT_I2, -1},
    });
}

TEST_F(VariantOperators, OutOfMemoryTrapsAndReleasesBothOperands) {
    // With no memory at all both the join and the comparison fail; with one allocation left the
    // join succeeds and the comparison still fails (the right text is longer than the room the
    // left one's block has to spare). An Empty that must become an empty string without memory
    // traps 14.
    const Trap no_memory = trap(BI_TRAP_OUT_OF_MEMORY);
    BlockBalance balance;
    for (long successes : {0L, 1L}) {
        VARIANT a = bstr_variant("left"),
                b = bstr_variant(" and a right text that needs a new block");
        VARIANT c = bstr_variant("x"), d = bstr_variant("y");
        fail_allocations_after(successes, true);
        Got joined = got(binary(kAdd, a, b)), compared = got(binary(kLt, c, d));
        fail_allocations_after(-1);
        if (successes == 0) check({{joined, VT_EMPTY, kAny, {no_memory}}});
        if (successes == 1)
            check({{joined, VT_BSTR, kAny, {}, "left and a right text that needs a new block"}});
        check({{compared, VT_EMPTY, kAny, {no_memory}}});
    }
    VARIANT s = bstr_variant("x");
    fail_allocations_after(0);
    Got joined = got(binary(kAdd, empty_variant(), s));
    fail_allocations_after(-1);
    check({{joined, VT_EMPTY, kAny, {trap(BI_TRAP_OUT_OF_STRING_SPACE)}}});
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantOperators, UnaryEdges) {
    BlockBalance balance;
    check({
        {got(unary(kNegate, i2(-32768))), VT_I4, 32768},
        {got(unary(kAbs, i2(-32768))), VT_I4, 32768},
        {got(unary(kNegate, i4(INT32_MIN))), VT_R8, 2147483648.0},
        {got(unary(kSign, r4(-0.0f))), VT_I2, 0},
        {got(unary(kSign, r8(-1e-300))), VT_I2, -1},
        {got(unary(kAbs, r4(-2.5f))), VT_R4, 2.5},
        {got(unary(kAbs, date(-3.5))), VT_R8, 3.5},
        {got(unary(kNot, r8(2.5))), VT_I4, -3}, // the Long conversion rounds half to even
        {got(unary(kNot, cy(35000))), VT_I4, -5},
        {got(unary(kNot, r8(3e9))), VT_EMPTY, kAny, {trap(BI_TRAP_OVERFLOW)}},
        {got(unary(kNegate, cy(INT64_MIN))), kAnyType, kAny, {kOverflow}},
        {got(unary(kNegate, bstr_variant("40000"))), VT_I4, -40000},
        {got(unary(kAbs, bstr_variant("-1.5"))), VT_R8, 1.5},
        {got(unary(kNot, bstr_variant("abc"))), VT_EMPTY, kAny, {kMismatch}},
    });
    EXPECT_EQ(balance.delta(), 0);
}

} // namespace
} // namespace brtl_test
