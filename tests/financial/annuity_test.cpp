// The annuity functions: worked values, the split of each payment against an amortization
// schedule computed here, the limits at a zero rate, the Rate solver, and every trap.
#include <cmath>
#include <functional>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class AnnuityTest : public RuntimeTest {
  protected:
    std::vector<Trap> only(int32_t number) { return {{number, Family::Trap, ""}}; }
};

// A root of f in [lo, hi] by bisection (f changes sign over the interval).
double bisect(const std::function<double(double)> &f, double lo, double hi) {
    double flo = f(lo);
    for (int i = 0; i < 200; ++i) {
        double mid = (lo + hi) / 2;
        double fmid = f(mid);
        if ((fmid < 0) == (flo < 0)) {
            lo = mid;
            flo = fmid;
        } else {
            hi = mid;
        }
    }
    return (lo + hi) / 2;
}

// What is left of a loan pv after nper payments pmt at rate (payments at the start of each
// period when due_at_start): the future value with the opposite sign, by stepping period by
// period.
double remaining(double rate, int nper, double pmt, double pv, bool due_at_start) {
    double balance = pv;
    for (int k = 0; k < nper; ++k)
        balance = due_at_start ? (balance + pmt) * (1 + rate) : balance * (1 + rate) + pmt;
    return balance;
}

} // namespace

TEST_F(AnnuityTest, WorkedValues) {
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_FV(0.05, 10, -100, 0, 0), 1257.789253554884);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_PV(0.05, 10, -100, 0, 0), 772.1734929184818);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Pmt(0.1, 2, 100, 0, 0), -57.61904761904762);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_IPmt(0.1, 1, 2, 100, 0, 0), -10.0);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_IPmt(0.1, 2, 2, 100, 0, 0), -5.238095238095238);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_PPmt(0.1, 1, 2, 100, 0, 0), -47.61904761904762);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_PPmt(0.1, 2, 2, 100, 0, 0), -52.38095238095238);
    // Paid at the start: 100 = P + P / 1.1, so P = 110 / 2.1.
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Pmt(0.1, 2, 100, 0, 1), -110.0 / 2.1);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_NPer(0.05, -100, 0, 1257.789253554884, 0), 10.0);
    EXPECT_NEAR(ZbiBuiltIn_NPer(0.1, -57.61904761904762, 100, 0, 0), 2.0, 1e-12);
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, ClosedFormsAgreeWithSteppingPeriodByPeriod) {
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        const double rate = 0.0125, pv = 25000, fv = -3000;
        const int nper = 48;
        double pmt = ZbiBuiltIn_Pmt(rate, nper, pv, fv, type);
        EXPECT_NEAR(remaining(rate, nper, pmt, pv, type != 0), -fv, 1e-7);
        EXPECT_NEAR(-ZbiBuiltIn_FV(rate, nper, pmt, pv, type), remaining(rate, nper, pmt, pv, type),
                    1e-7);
        EXPECT_NEAR(ZbiBuiltIn_PV(rate, nper, pmt, fv, type), pv, 1e-7);
        EXPECT_NEAR(ZbiBuiltIn_NPer(rate, pmt, pv, fv, type), nper, 1e-9);
    }
}

TEST_F(AnnuityTest, EachPaymentSplitsIntoInterestOnTheBalanceAndPrincipal) {
    const double rate = 0.07, pv = 5000, fv = 300;
    const int nper = 12;
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        const double pmt = ZbiBuiltIn_Pmt(rate, nper, pv, fv, type);
        double balance = pv;
        for (int per = 1; per <= nper; ++per) {
            SCOPED_TRACE(per);
            // Payments at the start: period 1 has no interest yet; later ones pay what the
            // balance earned over the period before.
            double interest = type == 0 ? -balance * rate : per == 1 ? 0.0 : -balance * rate;
            EXPECT_NEAR(ZbiBuiltIn_IPmt(rate, per, nper, pv, fv, type), interest, 1e-9);
            EXPECT_NEAR(ZbiBuiltIn_PPmt(rate, per, nper, pv, fv, type), pmt - interest, 1e-9);
            balance = type == 0 ? balance * (1 + rate) + pmt
                                : (per == 1 ? balance : balance * (1 + rate)) + pmt;
        }
    }
    EXPECT_EQ(ZbiBuiltIn_IPmt(rate, 1, nper, pv, fv, 1), 0.0);
    EXPECT_EQ(ZbiBuiltIn_PPmt(rate, 1, nper, pv, fv, 7), ZbiBuiltIn_Pmt(rate, nper, pv, fv, 1));
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, ZeroRateCountsPaymentsAtFaceValue) {
    for (double zero : {0.0, -0.0}) {
        EXPECT_EQ(ZbiBuiltIn_FV(zero, 10, -100, 0, 0), 1000.0);
        EXPECT_EQ(ZbiBuiltIn_FV(zero, 10, -100, 50, 1), 950.0);
        EXPECT_EQ(ZbiBuiltIn_PV(zero, 10, -100, 0, 0), 1000.0);
        EXPECT_EQ(ZbiBuiltIn_PV(zero, 10, -100, -200, 1), 1200.0);
        EXPECT_EQ(ZbiBuiltIn_Pmt(zero, 10, 1000, 0, 0), -100.0);
        EXPECT_EQ(ZbiBuiltIn_Pmt(zero, 10, 1000, 200, 1), -120.0);
        EXPECT_EQ(ZbiBuiltIn_NPer(zero, -100, 1000, 0, 0), 10.0);
        EXPECT_EQ(ZbiBuiltIn_NPer(zero, -100, 1000, -500, 1), 5.0);
        EXPECT_EQ(ZbiBuiltIn_IPmt(zero, 3, 10, 1000, 0, 0), 0.0);
        EXPECT_EQ(ZbiBuiltIn_PPmt(zero, 3, 10, 1000, 0, 0), -100.0);
    }
    EXPECT_TRUE(traps().empty());
    ZbiBuiltIn_NPer(0, 0, 1000, 0, 0); // nothing is ever repaid
    EXPECT_EQ(traps(), only(5));
}

TEST_F(AnnuityTest, FailedPowersAndLogarithmsTrap) {
    // (1 + rate) = -1 raised to a fraction has no real value.
    ZbiBuiltIn_FV(-2, 0.5, -100, 0, 0);
    EXPECT_EQ(traps(), only(5));
    clear_traps();
    ZbiBuiltIn_PV(-2, 0.5, -100, 0, 0);
    EXPECT_EQ(traps(), only(6));
    clear_traps();
    ZbiBuiltIn_Pmt(-2, 0.5, 100, 0, 0);
    EXPECT_EQ(traps(), only(6));
    clear_traps();
    ZbiBuiltIn_IPmt(-2, 1, 2.5, 100, 0, 0);
    EXPECT_EQ(traps(), only(6));
    clear_traps();
    ZbiBuiltIn_PPmt(-2, 1, 2.5, 100, 0, 0);
    EXPECT_EQ(traps(), only(6));
    clear_traps();
    // A payment of 10 against 20 of interest never repays the loan.
    EXPECT_TRUE(std::isnan(ZbiBuiltIn_NPer(0.1, -10, 200, 0, 0)));
    EXPECT_EQ(traps(), only(5));
}

TEST_F(AnnuityTest, PaymentWithoutPeriodsTrapsAndGoesOn) {
    EXPECT_EQ(ZbiBuiltIn_Pmt(0.1, 0, 100, 20, 0), -120.0); // nothing to divide by
    EXPECT_EQ(traps(), only(5));
}

TEST_F(AnnuityTest, PeriodOutsideTheTermTraps) {
    struct Case {
        double per, nper;
    };
    for (Case c : {Case{0, 2}, Case{-1, 2}, Case{3, 2}, Case{2.5, 2}, Case{0, 0}, Case{1, 0}}) {
        SCOPED_TRACE(testing::Message() << c.per << " of " << c.nper);
        clear_traps();
        ZbiBuiltIn_IPmt(0.1, c.per, c.nper, 100, 0, 0);
        EXPECT_EQ(traps(), only(5));
        clear_traps();
        ZbiBuiltIn_PPmt(0.1, c.per, c.nper, 100, 0, 0);
        EXPECT_EQ(traps(), only(5));
    }
    clear_traps();
    ZbiBuiltIn_IPmt(0.1, 2, 2, 100, 0, 0); // the last period is inside
    ZbiBuiltIn_PPmt(0.1, 0.5, 2, 100, 0, 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, RateConvergesToTheRateThatBalancesTheLoan) {
    const double expected =
        bisect([](double r) { return 1000 - 100 * (1 - std::pow(1 + r, -12)) / r; }, 0.001, 0.5);
    EXPECT_NEAR(ZbiBuiltIn_Rate(12, -100, 1000, 0, 0, 0.1), expected, 1e-9);
    EXPECT_NEAR(expected, 0.0292, 0.00005);

    // Saving 50 at the start of each of 10 periods to reach 600.
    const double saving = bisect(
        [](double r) { return 50 * (1 + r) * (std::pow(1 + r, 10) - 1) / r - 600; }, 0.001, 0.5);
    EXPECT_NEAR(ZbiBuiltIn_Rate(10, -50, 0, 600, 1, 0.1), saving, 1e-9);
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, RateTrapsWithoutPeriods) {
    ZbiBuiltIn_Rate(0, -100, 1000, 0, 0, 0.1);
    ASSERT_FALSE(traps().empty());
    EXPECT_EQ(traps().front(), (Trap{5, Family::Trap, ""}));
    clear_traps();
    ZbiBuiltIn_Rate(-3, -100, 1000, 0, 0, 0.1);
    ASSERT_FALSE(traps().empty());
    EXPECT_EQ(traps().front(), (Trap{5, Family::Trap, ""}));
}

TEST_F(AnnuityTest, RateThatDoesNotConvergeTrapsAndGivesZero) {
    // Receiving both the loan and the payments has no rate. From the guess 0.5 Newton's first
    // step lands near -0.96, where (1 + r)^-10 dominates and each step only moves 1 + r by
    // about a tenth: 20 steps end far from any root, without leaving +-1000.
    EXPECT_EQ(ZbiBuiltIn_Rate(10, 100, 100, 0, 0, 0.5), 0.0);
    EXPECT_EQ(traps(), only(5));

    clear_traps();
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_Rate(10, 100, 100, 0, 0, 0.5), TrapException);
    EXPECT_EQ(traps(), only(5));
}
