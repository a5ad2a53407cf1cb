// The elementary functions: the domain checks at their exact boundaries, the trap numbers and
// families, and the C library's result after a trap hook that returns.
#include <bit>
#include <cmath>
#include <limits>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class ElementaryTest : public RuntimeTest {};

const double kInf = std::numeric_limits<double>::infinity();
const double kTiny = std::numeric_limits<double>::denorm_min();
// Exp overflows above 709.782712893, the Double nearest it; the angles must fit a 32-bit integer
// (Cos accepts the lowest value itself).
const double kExpLimit = std::bit_cast<double>(UINT64_C(0x40862E42FEFA2CBE));
const double kLow = -2147483648.0, kHigh = 2147483647.0;

double above(double x) {
    return std::nextafter(x, kInf);
}
double below(double x) {
    return std::nextafter(x, -kInf);
}

} // namespace

TEST_F(ElementaryTest, InsideTheDomains) {
    EXPECT_TRUE(std::isfinite(ZbiBuiltIn_Exp(kExpLimit)));
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Exp(1.0), M_E);
    EXPECT_EQ(ZbiBuiltIn_Exp(-kInf), 0.0);
    EXPECT_EQ(ZbiBuiltIn_Log(1.0), 0.0);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Log(kTiny), -744.44007192138126);
    EXPECT_EQ(ZbiBuiltIn_Sqr(0.0), 0.0);
    EXPECT_EQ(ZbiBuiltIn_Sqr(2.25), 1.5);
    EXPECT_TRUE(std::signbit(ZbiBuiltIn_Sqr(-0.0))); // -0 is not below 0
    for (double x : {kLow, kHigh})
        EXPECT_EQ(ZbiBuiltIn_Cos(x), std::cos(x)) << x;
    for (double x : {above(kLow), kHigh}) {
        EXPECT_EQ(ZbiBuiltIn_Sin(x), std::sin(x)) << x;
        EXPECT_EQ(ZbiBuiltIn_Tan(x), std::tan(x)) << x;
    }
    // NaN fails every check; Atn checks nothing.
    for (double (*f)(double) : {ZbiBuiltIn_Exp, ZbiBuiltIn_Log, ZbiBuiltIn_Sqr, ZbiBuiltIn_Atn,
                                ZbiBuiltIn_Cos, ZbiBuiltIn_Sin, ZbiBuiltIn_Tan})
        EXPECT_TRUE(std::isnan(f(NAN)));
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Atn(-kInf), -M_PI / 2);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ElementaryTest, OutsideTheDomainsTrapAndGiveTheLibraryResult) {
    const struct {
        double (*f)(double), (*c_library)(double);
        double x;
        int32_t trap;
    } cases[] = {
        {ZbiBuiltIn_Exp, std::exp, above(kExpLimit), 6}, // trapped, though below DBL_MAX
        {ZbiBuiltIn_Exp, std::exp, 710.0, 6},
        {ZbiBuiltIn_Log, std::log, 0.0, 5},
        {ZbiBuiltIn_Log, std::log, -1.0, 5},
        {ZbiBuiltIn_Sqr, std::sqrt, -kTiny, 5},
        {ZbiBuiltIn_Cos, std::cos, below(kLow), 5},
        {ZbiBuiltIn_Cos, std::cos, above(kHigh), 6},
        {ZbiBuiltIn_Sin, std::sin, kLow, 5},
        {ZbiBuiltIn_Sin, std::sin, above(kHigh), 6},
        {ZbiBuiltIn_Tan, std::tan, kLow, 5},
        {ZbiBuiltIn_Tan, std::tan, 2147483648.0, 6},
        {ZbiBuiltIn_Cos, std::cos, -kInf, 5},
        {ZbiBuiltIn_Sin, std::sin, kInf, 6},
    };
    for (const auto &c : cases) {
        clear_traps();
        const double result = c.f(c.x), expected = c.c_library(c.x);
        EXPECT_EQ(traps(), (std::vector<Trap>{{c.trap, Family::Trap, ""}})) << c.x;
        EXPECT_TRUE(result == expected || (std::isnan(result) && std::isnan(expected))) << c.x;
    }
    EXPECT_TRUE(std::isfinite(ZbiBuiltIn_Exp(above(kExpLimit))));
    EXPECT_EQ(ZbiBuiltIn_Log(0.0), -kInf);
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
