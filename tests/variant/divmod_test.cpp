// Variant division, integer division, modulus, power, Int, Fix, the rounding step of CInt and
// the conversion to an integer.
#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantDivision : public RuntimeTest {};

// The result starts as no valid Variant (the operation must overwrite it), or is the first
// operand itself.
VARIANT run(void (*f)(VARIANT *, VARIANT *, VARIANT *), VARIANT a, VARIANT b, bool into_a = false) {
    VARIANT result{};
    result.vt = 0x7777;
    f(into_a ? &a : &result, &a, &b);
    return into_a ? a : result;
}
VARIANT run(void (*f)(VARIANT *, VARIANT *), VARIANT a, bool into_a = false) {
    VARIANT result{};
    result.vt = 0x7777;
    f(into_a ? &a : &result, &a);
    return into_a ? a : result;
}
VARIANT to_integer(VARIANT v) {
    BiVariantCvtToInteger(&v);
    return v;
}

constexpr auto kDiv = ZbiVariantDoDiv, kIDiv = ZbiVariantDoIDiv, kMod = ZbiVariantDoMod,
               kExp = ZbiVariantDoExp;
constexpr auto kInt = ZbiVariantDoInt, kFix = ZbiVariantDoFix, kCInt = ZbiVariantDoCInt;

TEST_F(VariantDivision, DivisionIntegerDivisionModulusAndPower) {
    BlockBalance balance;
    check({
        // Integers and Singles divide to a Single, unless the quotient leaves the Single range.
        {got(run(kDiv, i2(10), i2(4))), VT_R4, 2.5},
        {got(run(kDiv, i2(10), i2(4), true)), VT_R4, 2.5},
        {got(run(kDiv, i2(1), i2(3))), VT_R4, 1.0f / 3.0f},
        {got(run(kDiv, r4(1.0f), i2(3))), VT_R4, 1.0f / 3.0f},
        {got(run(kDiv, i4(10), i2(4))), VT_R8, 2.5},
        {got(run(kDiv, bstr_variant("10"), i2(4))), VT_R8, 2.5},
        {got(run(kDiv, r4(1e30f), r4(1e-30f))), VT_R8, double(1e30f) / double(1e-30f)},
        {got(run(kDiv, i2(0), i2(0))), VT_EMPTY, kAny, {kOverflow}},
        {got(run(kDiv, i2(1), r8(-0.0))), VT_EMPTY, kAny, {kDivideByZero}},
        {got(run(kDiv, null_variant(), i2(0))), VT_NULL},
        {got(run(kDiv, r8(1e308), r8(1e-308))), VT_R8, kAny, {kOverflow}},
        // Integer division truncates; the operands are rounded half to even to integers first.
        {got(run(kIDiv, i2(7), i2(2))), VT_I2, 3},
        {got(run(kIDiv, i2(-7), i2(2))), VT_I2, -3},
        {got(run(kIDiv, r8(7.9), i2(2))), VT_I4, 3},
        {got(run(kIDiv, cy(75000), i2(2))), VT_I4, 4},
        {got(run(kIDiv, boolean(true), i2(1))), VT_I2, -1},
        {got(run(kIDiv, i2(-32768), i2(-1))), VT_I4, 32768}, // widens instead of faulting
        {got(run(kIDiv, i4(INT32_MIN), i2(-1))), VT_R8, 2147483648.0},
        {got(run(kIDiv, r8(-2147483648.9), i2(1))), VT_I4, INT32_MIN},
        {got(run(kIDiv, i2(5), empty_variant())), VT_EMPTY, kAny, {kDivideByZero}},
        // The modulus has the sign of the dividend.
        {got(run(kMod, i2(-7), i2(3))), VT_I2, -1},
        {got(run(kMod, i2(7), i2(-3))), VT_I2, 1},
        {got(run(kMod, i2(-32768), i2(-1))), VT_I2, 0},
        {got(run(kMod, r8(5.5), i2(2))), VT_I4, 1},
        {got(run(kMod, bstr_variant("7"), i2(2))), VT_I2, 1},
        {got(run(kMod, i4(INT32_MIN), i4(-1))), VT_I4, 0},
        {got(run(kMod, i4(100001), i2(7))), VT_I4, 6},
        {got(run(kMod, i2(1), i2(0))), VT_EMPTY, kAny, {kDivideByZero}},
        {got(run(kExp, i2(2), i2(3))), VT_R8, 8.0},
        {got(run(kExp, null_variant(), i2(2))), VT_NULL},
        {got(run(kExp, i2(2), null_variant())), VT_NULL},
        {got(run(kExp, i2(10), i2(400))), VT_R8, kAny, {kOverflow}},
        {got(run(kExp, i2(-8), r8(1.0 / 3.0))),
         kAnyType,
         kAny,
         {trap(BI_TRAP_ILLEGAL_CALL, Family::NumericTrap)}},
    });
    EXPECT_EQ(balance.delta(), 0);
    // Integer operands outside the Long range trap overflow first.
    run(kIDiv, r8(1e10), i2(1));
    EXPECT_EQ(traps().at(0), kOverflow);
    clear_traps();
    run(kMod, i2(1), r4(3e9f));
    EXPECT_EQ(traps().at(0), kOverflow);
}

TEST_F(VariantDivision, IntFixCIntAndTheConversionToAnInteger) {
    BlockBalance balance;
    HostObject object;
    check({
        {got(run(kInt, r8(-2.5))), VT_R8, -3.0},
        {got(run(kFix, r8(-2.5))), VT_R8, -2.0},
        {got(run(kInt, date(35424.75))), VT_DATE, 35424.0},
        {got(run(kFix, date(-1.25))), VT_DATE, -1.0},
        {got(run(kFix, r4(-2.5f))), VT_R4, -2.0},
        {got(run(kInt, bstr_variant("-7.5"))), VT_R8, -8.0},
        {got(run(kInt, bstr_variant("-2.5"), true)), VT_R8, -3.0},
        {got(run(kInt, empty_variant())), VT_I2, 0},
        {got(run(kFix, boolean(true))), VT_I2, -1},
        {got(run(kInt, null_variant())), VT_NULL},
        // Of a Currency exactly: 123456789012345.9999 has no exact Double to round up through.
        {got(run(kInt, cy(-15000))), VT_CY, -20000},
        {got(run(kFix, cy(-15000))), VT_CY, -10000},
        {got(run(kInt, cy(1234567890123459999))), VT_CY, 1234567890123450000},
        {got(run(kFix, cy(-1234567890123459999))), VT_CY, -1234567890123450000},
        {got(run(kInt, cy(INT64_MIN))), kAnyType, kAny, {kOverflow}},
        // CInt rounds half to even keeping the subtype; a Date arrives as a Double.
        {got(run(kCInt, r8(2.5))), VT_R8, 2.0},
        {got(run(kCInt, r8(3.5))), VT_R8, 4.0},
        {got(run(kCInt, r4(-2.5f))), VT_R4, -2.0},
        {got(run(kCInt, date(1.5))), VT_R8, 2.0},
        {got(run(kCInt, cy(25000))), VT_CY, 20000},
        {got(run(kCInt, cy(1234567890123454999))), VT_CY, 1234567890123450000},
        {got(run(kCInt, error_variant(7))), VT_I4, 7},
        {got(run(kCInt, null_variant())), VT_NULL},
        {got(run(kCInt, object.variant())), VT_EMPTY, kAny, {kMismatch}},
        {got(to_integer(r8(-7.9))), VT_I4, -7},
        {got(to_integer(bstr_variant("12"))), VT_I2, 12},
        {got(to_integer(bstr_variant("1.75"))), VT_I4, 1},
        {got(to_integer(error_variant(3))), VT_EMPTY, kAny, {kMismatch}},
    });
    EXPECT_EQ(object.references, 0);
    EXPECT_EQ(balance.delta(), 0);
}

// A text that is not a number on either side, or an object: trap 13 from each division operator
// and from a product, with every operand released.
TEST_F(VariantDivision, BadOperandsAreReleasedWithEitherHookStyle) {
    using Binary = void (*)(VARIANT *, VARIANT *, VARIANT *);
    Binary times = [](VARIANT *r, VARIANT *a, VARIANT *b) { *r = binary(kMul, *a, *b); };
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        BlockBalance balance;
        HostObject object;
        for (Binary f : {Binary{kDiv}, kIDiv, kMod, kExp, times}) {
            for (int bad = 0; bad < 3; ++bad) {
                clear_traps();
                try {
                    VARIANT a = bstr_variant(bad == 0 ? "abc" : "4");
                    VARIANT b = bad == 0   ? bstr_variant("4")
                                : bad == 1 ? bstr_variant("xyz")
                                           : object.variant();
                    EXPECT_EQ(run(f, a, b).vt, VT_EMPTY);
                } catch (const TrapException &) {
                }
                EXPECT_EQ(traps(), std::vector<Trap>{kMismatch});
            }
        }
        EXPECT_EQ(object.references, 0);
        EXPECT_EQ(balance.delta(), 0);
    }
}

} // namespace
} // namespace brtl_test
