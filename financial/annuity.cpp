// The annuity functions: FV, PV, Pmt, NPer, IPmt and PPmt in closed form, Rate by a fixed-point
// pass and Newton's method. Domain and range errors of pow, log and exp are detected through
// errno, which is cleared before and tested after each computation.
//
// Wherever a formula divides by the rate, a zero rate (either sign) takes the limit of the
// divided term as the rate goes to 0 instead: ((1 + rate)^n - 1) / rate and
// (1 - (1 + rate)^-n) / rate both tend to n. So at a zero rate FV is -(pv + pmt * nper), PV is
// -(fv + pmt * nper), Pmt is -(pv + fv) / nper and NPer is -(pv + fv) / pmt: no interest, and
// every payment counts at its face value.
#include <cerrno>
#include <cmath>

#include "brtl/financial.h"
#include "platform/power.h"
#include "runtime/hooks.h"

namespace brtl::financial {

namespace {

// (1 + rate*t) * (1 - v) * amount / rate with v = (1 + rate)^-n, the present value of n payments
// of amount; n * amount, its limit, at a zero rate.
double present_value_of_payments(double rate, double n, double v, double t, double amount) {
    return rate == 0.0 ? n * amount : (1.0 + rate * t) * (1.0 - v) * amount / rate;
}

// The payment of a loan of pv over nper periods leaving fv, without a trap for nper 0.
double payment(double rate, double nper, double pv, double fv, double t) {
    double v = brtl::platform::power(1.0 + rate, -nper);
    double d = rate == 0.0 ? nper : (1.0 + rate * t) * (1.0 - v) / rate;
    double q = v * fv + pv;
    if (d != 0.0) q = q / d;
    return -q;
}

// The interest part of the payment p0 in period per (1-based).
double interest_part(double rate, double per, double nper, double fv, double t, double p0) {
    double k = nper - per + 1.0;
    double v = brtl::platform::power(1.0 + rate, -k);
    double r = present_value_of_payments(rate, k, v, t, p0);
    double interest = rate * (v * fv + r);
    double due = 1.0 + rate * t;
    if (due != 0.0) interest = interest / due;
    return interest;
}

// The checks IPmt and PPmt share: a period within 1..nper and a nonzero nper.
void check_period(double per, double nper) {
    if (per <= 0.0 || per > nper || nper == 0.0) runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
}

double type_of(int32_t type) {
    return type != 0 ? 1.0 : 0.0;
}

// The fixed-point pass that finds Rate's start value: r = s * |x|^(1/nper) - 1 with
// x = (A - r*fv) / (r*pv + A). Returns false when errno reports an error or 20 rounds pass
// without two values closer than 0.001.
bool rate_first_pass(double nper, double pmt, double pv, double fv, double t, double guess,
                     double &result) {
    double whole = std::trunc(nper);
    bool odd = std::isfinite(whole) && std::fmod(whole, 2.0) != 0.0;
    double r = guess;
    for (int round = 0; round < 20; ++round) {
        errno = 0;
        double a = (1.0 + t * r) * pmt;
        double denominator = r * pv + a;
        double next = -1.0;
        if (denominator != 0.0) {
            double x = (a - r * fv) / denominator;
            double s = odd && x <= 0.0 ? -1.0 : 1.0;
            next = s * std::exp(std::log(std::fabs(x)) / nper) - 1.0;
        }
        if (errno != 0) return false;
        if (std::fabs(next - r) < 0.001) {
            result = next;
            return true;
        }
        r = next;
    }
    return false;
}

} // namespace

} // namespace brtl::financial

using brtl::runtime::raise_trap;

extern "C" {

BRTL_API double ZbiBuiltIn_FV(double rate, double nper, double pmt, double pv, int32_t type) {
    double t = brtl::financial::type_of(type);
    errno = 0;
    double p = brtl::platform::power(1.0 + rate, nper);
    double payments = rate == 0.0 ? nper * pmt : (p - 1.0) * (1.0 + rate * t) * pmt / rate;
    double fv = pv * p + payments;
    if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return -fv;
}

BRTL_API double ZbiBuiltIn_PV(double rate, double nper, double pmt, double fv, int32_t type) {
    double t = brtl::financial::type_of(type);
    errno = 0;
    double v = brtl::platform::power(1.0 + rate, -nper);
    double a = brtl::financial::present_value_of_payments(rate, nper, v, t, pmt);
    double result = -(v * fv + a);
    if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_OVERFLOW);
    return result;
}

BRTL_API double ZbiBuiltIn_Pmt(double rate, double nper, double pv, double fv, int32_t type) {
    if (nper == 0.0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    errno = 0;
    double result = brtl::financial::payment(rate, nper, pv, fv, brtl::financial::type_of(type));
    if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_OVERFLOW);
    return result;
}

BRTL_API double ZbiBuiltIn_NPer(double rate, double pmt, double pv, double fv, int32_t type) {
    if (rate == 0.0) {
        if (pmt == 0.0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL); // nothing is ever paid off
        return -(pv + fv) / pmt;
    }
    double a = (1.0 + rate * brtl::financial::type_of(type)) * pmt;
    errno = 0;
    double n = std::log((a - fv * rate) / (pv * rate + a));
    double l = std::log(1.0 + rate);
    if (l != 0.0) n = n / l;
    if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return n;
}

BRTL_API double ZbiBuiltIn_IPmt(double rate, double per, double nper, double pv, double fv,
                                int32_t type) {
    brtl::financial::check_period(per, nper);
    double t = brtl::financial::type_of(type);
    if (t == 1.0 && per == 1.0) return 0.0; // no interest before the first payment
    errno = 0;
    double p0 = brtl::financial::payment(rate, nper, pv, fv, t);
    double result = brtl::financial::interest_part(rate, per, nper, fv, t, p0);
    if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_OVERFLOW);
    return result;
}

BRTL_API double ZbiBuiltIn_PPmt(double rate, double per, double nper, double pv, double fv,
                                int32_t type) {
    brtl::financial::check_period(per, nper);
    double t = brtl::financial::type_of(type);
    errno = 0;
    double p0 = brtl::financial::payment(rate, nper, pv, fv, t);
    double result = p0;
    if (t != 1.0 || per != 1.0)
        result = p0 - brtl::financial::interest_part(rate, per, nper, fv, t, p0);
    if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_OVERFLOW);
    return result;
}

// Newton's method on g(r) = (u*r + pmt) / (w*r + pmt) - (1 + r)^-nper, from the fixed-point
// pass's result (or the guess when that failed or lies within 0.01 of 0, where g has a root of
// its own at 0 that is no answer).
BRTL_API double ZbiBuiltIn_Rate(double nper, double pmt, double pv, double fv, int32_t type,
                                double guess) {
    if (nper <= 0.0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    double t = brtl::financial::type_of(type);
    double r = guess;
    double first = 0.0;
    if (brtl::financial::rate_first_pass(nper, pmt, pv, fv, t, guess, first) &&
        std::fabs(first) >= 0.01)
        r = first;
    double u = pv + t * pmt;
    double w = t * pmt - fv;
    for (int step = 0; step < 20; ++step) {
        errno = 0;
        double f1 = u * r + pmt;
        double f2 = w * r + pmt;
        double g = (f2 != 0.0 ? f1 / f2 : 0.0) - brtl::platform::power(1.0 + r, -nper);
        double slope = u * f2 - f1 * w;
        if (f2 != 0.0) slope = slope / (f2 * f2);
        slope = slope + nper * brtl::platform::power(1.0 + r, -1.0 - nper);
        if (errno != 0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        double next = r - (slope != 0.0 ? g / slope : g);
        if (std::fabs(next) > 1000.0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        if (std::fabs(next - r) < 1e-05) return next;
        r = next;
    }
    brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return 0.0;
}

} // extern "C"
