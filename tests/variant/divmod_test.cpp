// Variant division, integer division, modulus, power, Int, Fix and the rounding step of CInt.
#include <cfloat>
#include <cmath>

#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantDivision : public RuntimeTest {
  protected:
    using Binary = void (*)(VARIANT *, VARIANT *, VARIANT *);
    using Unary = void (*)(VARIANT *, VARIANT *);
    static VARIANT run(Binary f, VARIANT a, VARIANT b) {
        VARIANT result{};
        result.vt = 0x7777; // not initialised: the operation must overwrite it
        f(&result, &a, &b);
        return result;
    }
    static VARIANT run(Unary f, VARIANT a) {
        VARIANT result{};
        result.vt = 0x7777;
        f(&result, &a);
        return result;
    }
};

const Trap kOverflow{BI_TRAP_OVERFLOW, Family::NumericTrap, ""};
const Trap kDivideByZero{BI_TRAP_DIVISION_BY_ZERO, Family::NumericTrap, ""};

TEST_F(VariantDivision, DivisionOfIntegersAndSinglesGivesASingle) {
    VARIANT v = run(ZbiVariantDoDiv, i2(10), i2(4));
    EXPECT_EQ(v.vt, VT_R4);
    EXPECT_EQ(v.fltVal, 2.5f);
    v = run(ZbiVariantDoDiv, i2(1), i2(3));
    EXPECT_EQ(v.vt, VT_R4);
    EXPECT_EQ(v.fltVal, 1.0f / 3.0f);
    v = run(ZbiVariantDoDiv, r4(1.0f), i2(3));
    EXPECT_EQ(v.vt, VT_R4);
    v = run(ZbiVariantDoDiv, i4(10), i2(4));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2.5);
    v = run(ZbiVariantDoDiv, bstr_variant("10"), i2(4)); // a string operand reads as a Double
    EXPECT_EQ(v.vt, VT_R8);
    // A quotient of Singles beyond the Single range stays a Double.
    v = run(ZbiVariantDoDiv, r4(1e30f), r4(1e-30f));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, double(1e30f) / double(1e-30f));
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantDivision, DivisionByZero) {
    VARIANT v = run(ZbiVariantDoDiv, i2(0), i2(0));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
    clear_traps();
    v = run(ZbiVariantDoDiv, i2(1), r8(-0.0));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kDivideByZero});
    clear_traps();
    v = run(ZbiVariantDoDiv, null_variant(), i2(0));
    EXPECT_EQ(v.vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
    v = run(ZbiVariantDoDiv, r8(1e308), r8(1e-308));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
}

TEST_F(VariantDivision, IntegerDivisionTruncates) {
    VARIANT v = run(ZbiVariantDoIDiv, i2(7), i2(2));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 3);
    v = run(ZbiVariantDoIDiv, i2(-7), i2(2));
    EXPECT_EQ(v.iVal, -3);
    v = run(ZbiVariantDoIDiv, r8(7.9), i2(2));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 3);
    v = run(ZbiVariantDoIDiv, cy(75000), i2(2)); // 7.5 rounds half to even to 8
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 4);
    v = run(ZbiVariantDoIDiv, boolean(true), i2(1));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -1);
    // The quotients that do not fit widen instead of faulting.
    v = run(ZbiVariantDoIDiv, i2(-32768), i2(-1));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 32768);
    v = run(ZbiVariantDoIDiv, i4(INT32_MIN), i2(-1));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2147483648.0);
    EXPECT_TRUE(traps().empty());
    v = run(ZbiVariantDoIDiv, i2(5), empty_variant());
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kDivideByZero});
}

TEST_F(VariantDivision, IntegerOperandsOutsideTheLongRangeTrapOverflow) {
    run(ZbiVariantDoIDiv, r8(1e10), i2(1));
    EXPECT_EQ(traps().front(), kOverflow);
    clear_traps();
    run(ZbiVariantDoMod, i2(1), r4(3e9f));
    EXPECT_EQ(traps().front(), kOverflow);
    clear_traps();
    VARIANT v =
        run(ZbiVariantDoIDiv, r8(-2147483648.9), i2(1)); // truncates to the most negative Long
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, INT32_MIN);
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantDivision, ModulusHasTheSignOfTheDividend) {
    struct Case {
        VARIANT a, b;
        VARTYPE vt;
        int32_t r;
    } cases[] = {{i2(-7), i2(3), VT_I2, -1},           {i2(7), i2(-3), VT_I2, 1},
                 {i2(-32768), i2(-1), VT_I2, 0},       {r8(5.5), i2(2), VT_I4, 1},
                 {bstr_variant("7"), i2(2), VT_I2, 1}, {i4(INT32_MIN), i4(-1), VT_I4, 0},
                 {i4(100001), i2(7), VT_I4, 6}};
    for (Case &c : cases) {
        VARIANT v = run(ZbiVariantDoMod, c.a, c.b);
        EXPECT_EQ(v.vt, c.vt);
        EXPECT_EQ(v.vt == VT_I2 ? v.iVal : v.lVal, c.r);
    }
    EXPECT_TRUE(traps().empty());
    VARIANT v = run(ZbiVariantDoMod, i2(1), i2(0));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), std::vector<Trap>{kDivideByZero});
}

TEST_F(VariantDivision, Power) {
    VARIANT v = run(ZbiVariantDoExp, i2(2), i2(3));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 8.0);
    EXPECT_EQ(run(ZbiVariantDoExp, null_variant(), i2(2)).vt, VT_NULL);
    EXPECT_EQ(run(ZbiVariantDoExp, i2(2), null_variant()).vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
    v = run(ZbiVariantDoExp, i2(10), i2(400));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
    clear_traps();
    run(ZbiVariantDoExp, i2(-8), r8(1.0 / 3.0));
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_ILLEGAL_CALL, Family::NumericTrap, ""}}));
}

TEST_F(VariantDivision, BadOperandsAreReleasedWithEitherHookStyle) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        BlockBalance balance;
        CountedObject object;
        for (auto f : {ZbiVariantDoDiv, ZbiVariantDoIDiv, ZbiVariantDoMod, ZbiVariantDoExp}) {
            clear_traps();
            try {
                EXPECT_EQ(run(f, bstr_variant("abc"), bstr_variant("4")).vt, VT_EMPTY);
            } catch (const TrapException &) {
            }
            try {
                EXPECT_EQ(run(f, bstr_variant("4"), object.variant()).vt, VT_EMPTY);
            } catch (const TrapException &) {
            }
            EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""},
                                                  {BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}}));
        }
        EXPECT_EQ(object.references, 0);
        EXPECT_EQ(balance.delta(), 0);
    }
}

TEST_F(VariantDivision, IntAndFix) {
    VARIANT v = run(ZbiVariantDoInt, r8(-2.5));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, -3.0);
    v = run(ZbiVariantDoFix, r8(-2.5));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, -2.0);
    v = run(ZbiVariantDoInt, date(35424.75));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, 35424.0);
    v = run(ZbiVariantDoFix, date(-1.25));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, -1.0);
    v = run(ZbiVariantDoFix, r4(-2.5f));
    EXPECT_EQ(v.vt, VT_R4);
    EXPECT_EQ(v.fltVal, -2.0f);
    v = run(ZbiVariantDoInt, bstr_variant("-7.5"));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, -8.0);
    v = run(ZbiVariantDoInt, empty_variant());
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 0);
    v = run(ZbiVariantDoFix, boolean(true));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -1);
    EXPECT_EQ(run(ZbiVariantDoInt, null_variant()).vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantDivision, IntAndFixOfCurrencyAreExact) {
    VARIANT v = run(ZbiVariantDoInt, cy(-15000));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, -20000);
    v = run(ZbiVariantDoFix, cy(-15000));
    EXPECT_EQ(v.cyVal, -10000);
    // 123456789012345.9999 has no exact Double; the whole part must not round up through one.
    v = run(ZbiVariantDoInt, cy(1234567890123459999));
    EXPECT_EQ(v.cyVal, 1234567890123450000);
    v = run(ZbiVariantDoFix, cy(-1234567890123459999));
    EXPECT_EQ(v.cyVal, -1234567890123450000);
    EXPECT_TRUE(traps().empty());
    run(ZbiVariantDoInt, cy(INT64_MIN)); // Int of the most negative Currency does not fit
    EXPECT_EQ(traps(), std::vector<Trap>{kOverflow});
}

TEST_F(VariantDivision, CIntRoundsHalfToEvenKeepingTheSubtype) {
    VARIANT v = run(ZbiVariantDoCInt, r8(2.5));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2.0);
    v = run(ZbiVariantDoCInt, r8(3.5));
    EXPECT_EQ(v.dblVal, 4.0);
    v = run(ZbiVariantDoCInt, r4(-2.5f));
    EXPECT_EQ(v.vt, VT_R4);
    EXPECT_EQ(v.fltVal, -2.0f);
    v = run(ZbiVariantDoCInt, date(1.5)); // a Date arrives as a Double
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2.0);
    v = run(ZbiVariantDoCInt, cy(25000));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 20000);
    v = run(ZbiVariantDoCInt, cy(1234567890123454999)); // exact below the half
    EXPECT_EQ(v.cyVal, 1234567890123450000);
    v = run(ZbiVariantDoCInt, error_variant(7));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 7);
    EXPECT_EQ(run(ZbiVariantDoCInt, null_variant()).vt, VT_NULL);
    EXPECT_TRUE(traps().empty());
    CountedObject object;
    v = run(ZbiVariantDoCInt, object.variant());
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(object.references, 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}}));
}

TEST_F(VariantDivision, ConversionToAnInteger) {
    VARIANT v = r8(-7.9);
    BiVariantCvtToInteger(&v);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -7);
    v = bstr_variant("12");
    BiVariantCvtToInteger(&v);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 12);
    v = bstr_variant("1.75");
    BiVariantCvtToInteger(&v);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 1);
    v = error_variant(3);
    BiVariantCvtToInteger(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}}));
}

TEST_F(VariantDivision, TheResultMayBeAnOperandsOwnStorage) {
    VARIANT a = i2(10), b = i2(4);
    ZbiVariantDoDiv(&a, &a, &b);
    EXPECT_EQ(a.vt, VT_R4);
    EXPECT_EQ(a.fltVal, 2.5f);
    a = bstr_variant("-2.5");
    ZbiVariantDoInt(&a, &a);
    EXPECT_EQ(a.vt, VT_R8);
    EXPECT_EQ(a.dblVal, -3.0);
}

} // namespace
} // namespace brtl_test
