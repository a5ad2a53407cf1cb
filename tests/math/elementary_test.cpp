// The elementary functions: the domain checks at their exact boundaries, the trap numbers and
// families, and the C library's result after a trap hook that returns.
#include <bit>
#include <cmath>
#include <limits>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class ElementaryTest : public RuntimeTest {
  protected:
    std::vector<Trap> only(int32_t number) { return {{number, Family::Trap, ""}}; }
};

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

double above(double x) {
    return std::nextafter(x, kInf);
}
double below(double x) {
    return std::nextafter(x, -kInf);
}

} // namespace

TEST_F(ElementaryTest, ExpOverflowsAbove709Point782712893) {
    const double limit = std::bit_cast<double>(UINT64_C(0x40862E42FEFA2CBE));
    EXPECT_EQ(limit, 709.782712893);
    EXPECT_TRUE(std::isfinite(ZbiBuiltIn_Exp(limit)));
    EXPECT_TRUE(std::isfinite(ZbiBuiltIn_Exp(709.78)));
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Exp(1.0), M_E);
    EXPECT_EQ(ZbiBuiltIn_Exp(-kInf), 0.0);
    EXPECT_TRUE(traps().empty());

    EXPECT_TRUE(std::isfinite(ZbiBuiltIn_Exp(above(limit)))); // trapped, still below DBL_MAX
    EXPECT_EQ(traps(), only(6));
    clear_traps();
    EXPECT_EQ(ZbiBuiltIn_Exp(710.0), kInf);
    EXPECT_EQ(traps(), only(6));
}

TEST_F(ElementaryTest, LogAndSqrRejectTheirDomainsBoundaries) {
    EXPECT_EQ(ZbiBuiltIn_Log(1.0), 0.0);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Log(std::numeric_limits<double>::denorm_min()),
                     -744.44007192138126);
    EXPECT_EQ(ZbiBuiltIn_Sqr(0.0), 0.0);
    EXPECT_EQ(ZbiBuiltIn_Sqr(2.25), 1.5);
    EXPECT_TRUE(std::signbit(ZbiBuiltIn_Sqr(-0.0))); // -0 is not below 0
    EXPECT_TRUE(traps().empty());

    EXPECT_EQ(ZbiBuiltIn_Log(0.0), -kInf);
    EXPECT_EQ(traps(), only(5));
    clear_traps();
    EXPECT_TRUE(std::isnan(ZbiBuiltIn_Log(-1.0)));
    EXPECT_EQ(traps(), only(5));
    clear_traps();
    EXPECT_TRUE(std::isnan(ZbiBuiltIn_Sqr(-std::numeric_limits<double>::denorm_min())));
    EXPECT_EQ(traps(), only(5));
}

TEST_F(ElementaryTest, AnglesMustFitA32BitInteger) {
    const double low = -2147483648.0;
    const double high = 2147483647.0;
    EXPECT_EQ(ZbiBuiltIn_Cos(low), std::cos(low)); // Cos accepts the lowest value itself
    EXPECT_EQ(ZbiBuiltIn_Cos(high), std::cos(high));
    EXPECT_EQ(ZbiBuiltIn_Sin(above(low)), std::sin(above(low)));
    EXPECT_EQ(ZbiBuiltIn_Sin(high), std::sin(high));
    EXPECT_EQ(ZbiBuiltIn_Tan(above(low)), std::tan(above(low)));
    EXPECT_EQ(ZbiBuiltIn_Tan(high), std::tan(high));
    EXPECT_TRUE(traps().empty());

    struct Case {
        double (*f)(double);
        double x;
        int32_t trap;
    };
    const Case cases[] = {
        {ZbiBuiltIn_Cos, below(low), 5}, {ZbiBuiltIn_Cos, above(high), 6},
        {ZbiBuiltIn_Sin, low, 5},        {ZbiBuiltIn_Sin, above(high), 6},
        {ZbiBuiltIn_Tan, low, 5},        {ZbiBuiltIn_Tan, 2147483648.0, 6},
        {ZbiBuiltIn_Cos, -kInf, 5},      {ZbiBuiltIn_Sin, kInf, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.x);
        clear_traps();
        double result = c.f(c.x);
        EXPECT_EQ(traps(), only(c.trap));
        if (std::isfinite(c.x)) {
            EXPECT_TRUE(std::isfinite(result)); // computed after the trap
        }
    }
}

TEST_F(ElementaryTest, NanFailsEveryCheck) {
    for (double (*f)(double) : {ZbiBuiltIn_Exp, ZbiBuiltIn_Log, ZbiBuiltIn_Sqr, ZbiBuiltIn_Atn,
                                ZbiBuiltIn_Cos, ZbiBuiltIn_Sin, ZbiBuiltIn_Tan})
        EXPECT_TRUE(std::isnan(f(kNaN)));
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Atn(-kInf), -M_PI / 2); // Atn checks nothing
    EXPECT_TRUE(traps().empty());
}

TEST_F(ElementaryTest, ThrowingHookLeavesTheFunction) {
    set_mode(HookMode::Throw);
    try {
        ZbiBuiltIn_Log(0.0);
        ADD_FAILURE() << "no trap";
    } catch (const TrapException &e) {
        EXPECT_EQ(e.trap, (Trap{5, Family::Trap, ""}));
    }
    EXPECT_THROW(ZbiBuiltIn_Tan(3e9), TrapException);
    EXPECT_EQ(traps().back(), (Trap{6, Family::Trap, ""}));
}
