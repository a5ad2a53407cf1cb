// Cash flows (NPV, IRR, MIRR) and depreciation (SLN, SYD, DDB): worked values, values checked
// against sums computed here, the skip query of MIRR, and every trap.
#include <cmath>
#include <vector>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class CashFlowTest : public RuntimeTest {
  protected:
    std::vector<Trap> only(int32_t number) { return {{number, Family::Trap, ""}}; }
};

// The value at time 0 of flows at times 0, 1, 2, ...
double value_now(const std::vector<double> &flows, double r) {
    double sum = 0;
    for (size_t i = 0; i < flows.size(); ++i)
        sum += flows[i] / std::pow(1 + r, double(i));
    return sum;
}

// The rate in [lo, hi] at which the value now is 0, by bisection.
double bisect_value_now(const std::vector<double> &flows, double lo, double hi) {
    const bool low_negative = value_now(flows, lo) < 0;
    for (int i = 0; i < 200; ++i)
        ((value_now(flows, (lo + hi) / 2) < 0) == low_negative ? lo : hi) = (lo + hi) / 2;
    return (lo + hi) / 2;
}

} // namespace

TEST_F(CashFlowTest, NpvDiscountsTheFirstValueTooAndIrrFindsTheRateOfZeroValue) {
    const std::vector<double> flows = {-1000, 300, 400, 500};
    EXPECT_NEAR(ZbiBuiltIn_NPV(0.1, flows.data(), 4), -19.124376750222, 1e-11);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_NPV(0.1, flows.data(), 4), value_now(flows, 0.1) / 1.1);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_NPV(0.1, flows.data(), 2), (-1000 / 1.1) + 300 / 1.21);

    const double irr = bisect_value_now(flows, 0.0, 0.5);
    EXPECT_NEAR(ZbiBuiltIn_IRR(flows.data(), 4, 0.1), irr, 1e-9);
    EXPECT_NEAR(irr, 0.0890, 0.00005);
    const std::vector<double> bond = {-950, 60, 60, 60, 60, 1060};
    EXPECT_NEAR(ZbiBuiltIn_IRR(bond.data(), 6, 0.1), bisect_value_now(bond, 0, 0.5), 1e-9);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CashFlowTest, MirrUsesCountMinusOneValues) {
    // Outflows discounted at the finance rate, inflows carried forward at the reinvestment rate.
    const double storage[] = {-120000, 39000, 30000, 21000, 37000, 46000, 1e9};
    const double positive = 39000 * std::pow(1.12, 4) + 30000 * std::pow(1.12, 3) +
                            21000 * std::pow(1.12, 2) + 37000 * 1.12 + 46000;
    const double expected = std::pow(positive / 120000, 1.0 / 5) - 1;
    EXPECT_NEAR(ZbiBuiltIn_MIRR(storage, 7, 0.10, 0.12), expected, 1e-12);
    EXPECT_NEAR(expected, 0.126094, 5e-7);

    const double mixed[] = {-1000, 500, -200, 900, 0};
    const double pos = 500 * std::pow(1.08, 2) + 900, neg = -1000 - 200 / std::pow(1.05, 2);
    EXPECT_NEAR(ZbiBuiltIn_MIRR(mixed, 5, 0.05, 0.08), std::pow(-pos / neg, 1.0 / 3) - 1, 1e-12);

    // The host may say the first element is to be skipped: -100 then 150 either way.
    const double skipped[] = {1e6, -100, 150}, unskipped[] = {-100, 150, 1e6};
    host().skip_first_value = true;
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_MIRR(skipped, 3, 0.1, 0.12), 0.5);
    host().skip_first_value = false;
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_MIRR(unskipped, 3, 0.1, 0.12), 0.5);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CashFlowTest, Depreciation) {
    EXPECT_EQ(ZbiBuiltIn_SLN(1000, 100, 5), 180.0);
    EXPECT_EQ(ZbiBuiltIn_SLN(1000, 100, 0.5), 1800.0);
    // Life 5: the digits sum to 15, so the periods take 5/15, 4/15, ... of 900. Double declining
    // balance takes 40% of the remaining book value, never below the salvage of 100.
    const double syd[] = {300, 240, 180, 120, 60}, ddb[] = {400, 240, 144, 86.4, 29.6};
    double total = 0;
    for (int period = 1; period <= 5; ++period) {
        EXPECT_DOUBLE_EQ(ZbiBuiltIn_SYD(1000, 100, 5, period), syd[period - 1]);
        EXPECT_NEAR(ZbiBuiltIn_DDB(1000, 100, 5, period), ddb[period - 1], 1e-9);
        total += ZbiBuiltIn_DDB(1000, 100, 5, period);
    }
    EXPECT_NEAR(total, 900, 1e-9);
    EXPECT_EQ(ZbiBuiltIn_DDB(1000, 100, 1, 1), 900.0); // life below 2
    EXPECT_EQ(ZbiBuiltIn_DDB(0, 0, 5, 1), 0.0);
    EXPECT_EQ(ZbiBuiltIn_DDB(1000, 100, 5, 0.5), 400.0); // a period below 1 counts as 1
    EXPECT_EQ(ZbiBuiltIn_DDB(1000, 900, 5, 2), 0.0);     // already down to the salvage
    EXPECT_TRUE(traps().empty());
}

TEST_F(CashFlowTest, EveryTrap) {
    static const double one[] = {100}, two[] = {100, 200}, flows[] = {-100, 110};
    static const double inflows[] = {100, 150, 200}, outflows[] = {-100, -150, 0};
    static const double late_outflow[] = {-100, -50, 150, 200}, single[] = {-100, 150, 200, -50};
    static const double positive[] = {100, 200, 300};
    const struct {
        double (*f)();
        double result; // NaN: not checked
    } cases[] = {
        {[] { return ZbiBuiltIn_NPV(0.1, one, 0); }, 0.0},
        {[] { return ZbiBuiltIn_NPV(0.1, one, -1); }, NAN},
        {[] { return ZbiBuiltIn_NPV(0.1, nullptr, 3); }, 0.0},
        {[] { return ZbiBuiltIn_NPV(-1.0, two, 2); }, NAN}, // 0 to a negative power
        {[] { return ZbiBuiltIn_IRR(flows, 0, 0.1); }, NAN},
        {[] { return ZbiBuiltIn_IRR(nullptr, 2, 0.1); }, 0.0},
        {[] { return ZbiBuiltIn_MIRR(inflows, 3, 0.1, 0.1); }, 0.0},       // no negative sum
        {[] { return ZbiBuiltIn_MIRR(outflows, 3, 0.1, 0.1); }, -1.0},     // no positive sum
        {[] { return ZbiBuiltIn_MIRR(late_outflow, 4, -1.0, 0.1); }, NAN}, // -50 / 0^-1
        {[] { return ZbiBuiltIn_MIRR(nullptr, 4, 0.1, 0.1); }, 0.0},
        {[] { return ZbiBuiltIn_SLN(1000, 100, 0); }, 0.0},
        {[] { return ZbiBuiltIn_SYD(1000, 100, 5, 6); }, NAN},
        {[] { return ZbiBuiltIn_SYD(1000, 100, 5, 0); }, NAN},
        {[] { return ZbiBuiltIn_SYD(1000, 100, 5, -1); }, NAN},
        {[] { return ZbiBuiltIn_SYD(1000, -1, 5, 1); }, NAN},
        {[] { return ZbiBuiltIn_SYD(1000, 100, 0, 0); }, 0.0},
        {[] { return ZbiBuiltIn_DDB(1000, 100, 5, 0); }, NAN},
        {[] { return ZbiBuiltIn_DDB(1000, 100, 5, 6); }, NAN},
        {[] { return ZbiBuiltIn_DDB(1000, 100, 0, 0); }, NAN},
        {[] { return ZbiBuiltIn_DDB(1000, 100, -2, -3); }, NAN},
        {[] { return ZbiBuiltIn_DDB(1000, -1, 5, 1); }, NAN},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        clear_traps();
        const double result = cases[i].f();
        EXPECT_EQ(traps(), only(5)) << "row " << i;
        if (!std::isnan(cases[i].result)) {
            EXPECT_EQ(result, cases[i].result) << "row " << i;
        }
    }
    // MIRR of a single value traps first of all.
    clear_traps();
    ZbiBuiltIn_MIRR(single, 2, 0.1, 0.1);
    ASSERT_FALSE(traps().empty());
    EXPECT_EQ(traps().front(), (Trap{5, Family::Trap, ""}));
    // Every value positive: the value is positive at every rate, so no step can converge on a
    // root; the rate runs away beyond 1000.
    clear_traps();
    ZbiBuiltIn_IRR(positive, 3, 0.1);
    ASSERT_FALSE(traps().empty());
    for (const Trap &t : traps())
        EXPECT_EQ(t, (Trap{5, Family::Trap, ""}));
    clear_traps();
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_IRR(positive, 3, 0.1), TrapException);
    EXPECT_EQ(traps(), only(5));
}
