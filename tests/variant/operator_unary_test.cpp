// The unary Variant operators at their edges: negations that widen, Sgn of Null, complements
// through a Long conversion, strings and Booleans converted first.
#include <cmath>

#include "variant/operator_support.h"

namespace brtl_test {
namespace {

class VariantUnary : public RuntimeTest {};

constexpr int kNegate = 0, kSign = 1, kAbs = 2, kNot = 3;

TEST_F(VariantUnary, NegatingTheMostNegativeValueWidens) {
    VARIANT v = unary(kNegate, i2(-32768));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 32768);
    v = unary(kAbs, i2(-32768));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 32768);
    v = unary(kNegate, i4(INT32_MIN));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 2147483648.0);
    v = unary(kAbs, i4(INT32_MIN));
    EXPECT_EQ(v.vt, VT_R8);
    v = unary(kNegate, i2(-32767));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 32767);
    EXPECT_TRUE(traps().empty());
}

TEST_F(VariantUnary, SgnOfNullTrapsNinetyFour) {
    VARIANT v = unary(kSign, null_variant());
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_INVALID_USE_OF_NULL, Family::Trap, ""}}));
    EXPECT_EQ(unary(kNegate, null_variant()).vt, VT_NULL);
    EXPECT_EQ(unary(kNot, null_variant()).vt, VT_NULL);
}

TEST_F(VariantUnary, FloatingPointSignsAndMagnitudes) {
    EXPECT_EQ(unary(kSign, r4(-0.0f)).iVal, 0);
    EXPECT_EQ(unary(kSign, r8(-1e-300)).iVal, -1);
    VARIANT v = unary(kAbs, r4(-2.5f));
    EXPECT_EQ(v.vt, VT_R4);
    EXPECT_EQ(v.fltVal, 2.5f);
    v = unary(kNegate, date(3.5));
    EXPECT_EQ(v.vt, VT_R8); // a negated Date is a Double
    EXPECT_EQ(v.dblVal, -3.5);
    v = unary(kAbs, date(-3.5));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 3.5);
}

TEST_F(VariantUnary, ComplementGoesThroughALong) {
    VARIANT v = unary(kNot, i2(0));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -1);
    v = unary(kNot, r8(2.5)); // rounds half to even to 2
    EXPECT_EQ(v.lVal, -3);
    v = unary(kNot, cy(35000));
    EXPECT_EQ(v.lVal, -5);
    EXPECT_TRUE(traps().empty());
    v = unary(kNot, r8(3e9));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_OVERFLOW, Family::Trap, ""}}));
}

TEST_F(VariantUnary, CurrencyOperators) {
    VARIANT v = unary(kAbs, cy(-15000));
    EXPECT_EQ(v.vt, VT_CY);
    EXPECT_EQ(v.cyVal, 15000);
    v = unary(kSign, cy(-15000));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -1);
    EXPECT_TRUE(traps().empty());
    unary(kNegate, cy(INT64_MIN));
    EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_OVERFLOW, Family::NumericTrap, ""}}));
}

TEST_F(VariantUnary, StringsAndBooleansAreConvertedFirst) {
    BlockBalance balance;
    VARIANT v = unary(kNegate, bstr_variant("3"));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -3);
    v = unary(kNegate, bstr_variant("40000"));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -40000);
    v = unary(kAbs, bstr_variant("-1.5"));
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 1.5);
    v = unary(kNegate, boolean(true));
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 1);
    v = unary(kNot, boolean(false));
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -1);
    EXPECT_TRUE(traps().empty());
    for (const char *text : {"abc", ""}) {
        clear_traps();
        v = unary(kNot, bstr_variant(text));
        EXPECT_EQ(v.vt, VT_EMPTY);
        EXPECT_EQ(traps(), (std::vector<Trap>{{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}}));
    }
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(VariantUnary, ObjectsAreReleasedWithTrapThirteenWithEitherHookStyle) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        set_mode(mode);
        CountedObject object;
        bool thrown = false;
        try {
            VARIANT v = unary(kNegate, object.variant(VT_UNKNOWN));
            EXPECT_EQ(v.vt, VT_EMPTY);
        } catch (const TrapException &e) {
            thrown = true;
            EXPECT_EQ(e.trap, (Trap{BI_TRAP_TYPE_MISMATCH, Family::Trap, ""}));
        }
        EXPECT_EQ(thrown, mode == HookMode::Throw);
        EXPECT_EQ(object.references, 0);
    }
}

} // namespace
} // namespace brtl_test
