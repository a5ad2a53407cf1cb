// The cash-flow functions NPV, IRR and MIRR over an array of doubles, and the depreciation
// functions SLN, SYD and DDB. Every trap is trap 5; errno is cleared before and tested after the
// computations that call pow.
#include <cerrno>
#include <cmath>

#include "brtl/financial.h"
#include "platform/power.h"
#include "runtime/hooks.h"

namespace brtl::financial {

namespace {

void illegal_call() {
    runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

// The value of the flows at rate r and its derivative: sum of values[i] * (1 + r)^-i and sum of
// -i * values[i] * (1 + r)^(-1 - i).
struct Valuation {
    double value = 0.0;
    double slope = 0.0;
};

Valuation value_at(const double *values, int n, double r) {
    Valuation v;
    for (int i = 0; i < n; ++i)
        v.value += values[i] * brtl::platform::power(1.0 + r, -i);
    for (int i = 1; i < n; ++i)
        v.slope += -i * values[i] * brtl::platform::power(1.0 + r, -1 - i);
    return v;
}

} // namespace

} // namespace brtl::financial

using brtl::financial::illegal_call;

extern "C" {

BRTL_API double ZbiBuiltIn_NPV(double rate, const double *values, int16_t count) {
    if (count < 1 || values == nullptr) { // an empty sum is 0
        illegal_call();
        return 0.0;
    }
    errno = 0;
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += values[i] * brtl::platform::power(1.0 + rate, -1 - i);
    if (errno != 0) illegal_call();
    return sum;
}

BRTL_API double ZbiBuiltIn_IRR(const double *values, int16_t count, double guess) {
    if (count < 1) illegal_call();
    if (values == nullptr && count >= 1) { // nothing to read
        illegal_call();
        return 0.0;
    }
    int n = count < 1 ? 0 : count;
    double r = guess;
    for (int step = 0; step < 20; ++step) {
        errno = 0;
        brtl::financial::Valuation v = brtl::financial::value_at(values, n, r);
        if (errno != 0) illegal_call();
        double next = r - (v.slope != 0.0 ? v.value / v.slope : v.value);
        if (std::fabs(next) > 1000.0) illegal_call();
        if (std::fabs(next - r) < 1e-05) return next;
        r = next;
    }
    illegal_call();
    return 0.0;
}

BRTL_API double ZbiBuiltIn_MIRR(const double *values, int16_t count, double finance_rate,
                                double reinvest_rate) {
    int m = count - 1;
    if (m < 2) illegal_call();
    const double *x = brtl::runtime::skip_first_value() ? values + 1 : values;
    if (values == nullptr && m >= 1) { // nothing to read
        illegal_call();
        return 0.0;
    }
    errno = 0;
    double positive = 0.0;
    double negative = 0.0;
    for (int k = 0; k < m; ++k) {
        if (x[k] >= 0.0)
            positive += x[k] * brtl::platform::power(1.0 + reinvest_rate, m - k - 1);
        else
            negative += x[k] * brtl::platform::power(1.0 + finance_rate, -k);
    }
    if (errno != 0) illegal_call();
    if (positive == 0.0 || negative == 0.0) illegal_call();
    if (negative == 0.0) return 0.0;
    return brtl::platform::power(-positive / negative, 1.0 / (m - 1)) - 1.0;
}

BRTL_API double ZbiBuiltIn_SLN(double cost, double salvage, double life) {
    if (life == 0.0) {
        illegal_call();
        return 0.0;
    }
    return (cost - salvage) / life;
}

BRTL_API double ZbiBuiltIn_SYD(double cost, double salvage, double life, double period) {
    if (period <= 0.0 || period > life || salvage < 0.0) illegal_call();
    if (life == 0.0) return 0.0;
    double a = 2.0 * (cost - salvage) / life;
    return a + period * (a / (1.0 + life) - a) / life;
}

BRTL_API double ZbiBuiltIn_DDB(double cost, double salvage, double life, double period) {
    if (period <= 0.0 || period > life || life <= 0.0 || salvage < 0.0) illegal_call();
    if (cost <= 0.0) return 0.0;
    if (life < 2.0) return cost - salvage;
    if (period < 1.0) period = 1.0;
    double d = 1.0 - 2.0 / life;
    double k = 2.0 * cost / life;
    errno = 0;
    double depreciation = k * brtl::platform::power(d, period - 1.0);
    if (errno != 0) illegal_call();
    double over = k * (brtl::platform::power(d, period) - 1.0) / (d - 1.0) - (cost - salvage);
    if (over <= 0.0) return depreciation;
    return depreciation - over > 0.0 ? depreciation - over : 0.0;
}

} // extern "C"
