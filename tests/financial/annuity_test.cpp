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
    const bool low_negative = f(lo) < 0;
    for (int i = 0; i < 200; ++i)
        ((f((lo + hi) / 2) < 0) == low_negative ? lo : hi) = (lo + hi) / 2;
    return (lo + hi) / 2;
}

// What is left of a loan pv after nper payments pmt at rate, stepping period by period.
double remaining(double rate, int nper, double pmt, double pv, bool due_at_start) {
    double balance = pv;
    for (int k = 0; k < nper; ++k)
        balance = due_at_start ? (balance + pmt) * (1 + rate) : balance * (1 + rate) + pmt;
    return balance;
}

} // namespace

TEST_F(AnnuityTest, WorkedValues) {
    // Paid at the start: 100 = P + P / 1.1, so P = 110 / 2.1.
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_FV(0.05, 10, -100, 0, 0), 1257.789253554884);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_PV(0.05, 10, -100, 0, 0), 772.1734929184818);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Pmt(0.1, 2, 100, 0, 0), -57.61904761904762);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_Pmt(0.1, 2, 100, 0, 1), -110.0 / 2.1);
    EXPECT_DOUBLE_EQ(ZbiBuiltIn_NPer(0.05, -100, 0, 1257.789253554884, 0), 10.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, ClosedFormsAgreeWithTheScheduleOfPayments) {
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        // The closed forms against stepping period by period.
        const double rate = 0.0125, pv = 25000, fv = -3000;
        const double pmt = ZbiBuiltIn_Pmt(rate, 48, pv, fv, type);
        EXPECT_NEAR(remaining(rate, 48, pmt, pv, type != 0), -fv, 1e-7);
        EXPECT_NEAR(-ZbiBuiltIn_FV(rate, 48, pmt, pv, type), remaining(rate, 48, pmt, pv, type),
                    1e-7);
        EXPECT_NEAR(ZbiBuiltIn_PV(rate, 48, pmt, fv, type), pv, 1e-7);
        EXPECT_NEAR(ZbiBuiltIn_NPer(rate, pmt, pv, fv, type), 48, 1e-9);

        // Each payment splits into interest on the balance and principal. Paid at the start,
        // period 1 has no interest yet; later ones pay what the balance earned the period before.
        const double payment = ZbiBuiltIn_Pmt(0.07, 12, 5000, 300, type);
        double balance = 5000;
        for (int per = 1; per <= 12; ++per) {
            SCOPED_TRACE(per);
            const double interest = type == 1 && per == 1 ? 0.0 : -balance * 0.07;
            EXPECT_NEAR(ZbiBuiltIn_IPmt(0.07, per, 12, 5000, 300, type), interest, 1e-9);
            EXPECT_NEAR(ZbiBuiltIn_PPmt(0.07, per, 12, 5000, 300, type), payment - interest, 1e-9);
            balance = (type == 1 && per == 1 ? balance : balance * 1.07) + payment;
        }
    }
    // Any nonzero type is a payment at the start.
    EXPECT_EQ(ZbiBuiltIn_PPmt(0.07, 1, 12, 5000, 300, 7), ZbiBuiltIn_Pmt(0.07, 12, 5000, 300, 1));
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, ZeroRateCountsPaymentsAtFaceValue) {
    using Fn = double (*)(double);
    const std::pair<Fn, double> rows[] = {
        {[](double z) { return ZbiBuiltIn_FV(z, 10, -100, 50, 1); }, 950.0},
        {[](double z) { return ZbiBuiltIn_PV(z, 10, -100, -200, 1); }, 1200.0},
        {[](double z) { return ZbiBuiltIn_Pmt(z, 10, 1000, 200, 1); }, -120.0},
        {[](double z) { return ZbiBuiltIn_NPer(z, -100, 1000, -500, 1); }, 5.0},
        {[](double z) { return ZbiBuiltIn_IPmt(z, 3, 10, 1000, 0, 0); }, 0.0},
        {[](double z) { return ZbiBuiltIn_PPmt(z, 3, 10, 1000, 0, 0); }, -100.0}};
    for (double zero : {0.0, -0.0})
        for (size_t i = 0; i < std::size(rows); ++i)
            EXPECT_EQ(rows[i].first(zero), rows[i].second) << "row " << i << " at " << zero;
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, RateConvergesToTheRateThatBalancesTheLoan) {
    const double loan =
        bisect([](double r) { return 1000 - 100 * (1 - std::pow(1 + r, -12)) / r; }, 0.001, 0.5);
    EXPECT_NEAR(ZbiBuiltIn_Rate(12, -100, 1000, 0, 0, 0.1), loan, 1e-9);
    EXPECT_NEAR(loan, 0.0292, 0.00005);
    // Saving 50 at the start of each of 10 periods to reach 600.
    const double saving = bisect(
        [](double r) { return 50 * (1 + r) * (std::pow(1 + r, 10) - 1) / r - 600; }, 0.001, 0.5);
    EXPECT_NEAR(ZbiBuiltIn_Rate(10, -50, 0, 600, 1, 0.1), saving, 1e-9);
    EXPECT_TRUE(traps().empty());
}

TEST_F(AnnuityTest, EveryTrap) {
    const struct {
        double (*f)();
        int32_t trap;
        double result; // NaN: not checked
    } cases[] = {
        // (1 + rate) = -1 raised to a fraction has no real value.
        {[] { return ZbiBuiltIn_FV(-2, 0.5, -100, 0, 0); }, 5, NAN},
        {[] { return ZbiBuiltIn_PV(-2, 0.5, -100, 0, 0); }, 6, NAN},
        {[] { return ZbiBuiltIn_Pmt(-2, 0.5, 100, 0, 0); }, 6, NAN},
        {[] { return ZbiBuiltIn_IPmt(-2, 1, 2.5, 100, 0, 0); }, 6, NAN},
        {[] { return ZbiBuiltIn_PPmt(-2, 1, 2.5, 100, 0, 0); }, 6, NAN},
        {[] { return ZbiBuiltIn_NPer(0, 0, 1000, 0, 0); }, 5, NAN},     // nothing is ever repaid
        {[] { return ZbiBuiltIn_Pmt(0.1, 0, 100, 20, 0); }, 5, -120.0}, // no periods: goes on
        // Receiving both the loan and the payments has no rate. From the guess 0.5 Newton's first
        // step lands near -0.96, where (1 + r)^-10 dominates and each step only moves 1 + r by
        // about a tenth: 20 steps end far from any root, without leaving +-1000.
        {[] { return ZbiBuiltIn_Rate(10, 100, 100, 0, 0, 0.5); }, 5, 0.0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        clear_traps();
        const double result = cases[i].f();
        EXPECT_EQ(traps(), only(cases[i].trap)) << "row " << i;
        if (!std::isnan(cases[i].result)) {
            EXPECT_EQ(result, cases[i].result) << "row " << i;
        }
    }
    // A payment of 10 against 20 of interest never repays the loan.
    clear_traps();
    EXPECT_TRUE(std::isnan(ZbiBuiltIn_NPer(0.1, -10, 200, 0, 0)));
    EXPECT_EQ(traps(), only(5));
    // A period outside the term; the last period and a fraction of the first are inside.
    for (auto [per, nper] : {std::pair(0.0, 2.0), {-1, 2}, {3, 2}, {2.5, 2}, {0, 0}, {1, 0}})
        for (auto f : {ZbiBuiltIn_IPmt, ZbiBuiltIn_PPmt}) {
            clear_traps();
            f(0.1, per, nper, 100, 0, 0);
            EXPECT_EQ(traps(), only(5)) << per << " of " << nper;
        }
    clear_traps();
    ZbiBuiltIn_IPmt(0.1, 2, 2, 100, 0, 0);
    ZbiBuiltIn_PPmt(0.1, 0.5, 2, 100, 0, 0);
    EXPECT_TRUE(traps().empty());
    // Rate without periods traps first of all.
    for (double nper : {0.0, -3.0}) {
        clear_traps();
        ZbiBuiltIn_Rate(nper, -100, 1000, 0, 0, 0.1);
        ASSERT_FALSE(traps().empty());
        EXPECT_EQ(traps().front(), (Trap{5, Family::Trap, ""}));
    }
    set_mode(HookMode::Throw);
    clear_traps();
    EXPECT_THROW(ZbiBuiltIn_Rate(10, 100, 100, 0, 0, 0.5), TrapException);
    EXPECT_EQ(traps(), only(5));
}
