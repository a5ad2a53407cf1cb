/* brtl: the financial functions: annuities, cash flows, depreciation. */
#ifndef BRTL_FINANCIAL_H
#define BRTL_FINANCIAL_H

#include "types.h"

BRTL_BEGIN_DECLS

/* Money paid out is negative, money received positive. type is 0 for payments at the end of
 * each period, nonzero for payments at its start. A trap does not stop a computation: when the
 * trap hook returns, the function finishes and returns what it computed (Rate and IRR return 0
 * after 20 steps without convergence). At a rate of 0 the annuity functions give the limit of
 * their formulas (no interest: FV = -(pv + pmt * nper) and so on). */

/* ---- Annuities ------------------------------------------------------------------------------- */

/* The future value; trap 5 when a power fails. */
BRTL_API double ZbiBuiltIn_FV(double rate, double nper, double pmt, double pv, int32_t type);
/* The present value; trap 6 when a power fails. */
BRTL_API double ZbiBuiltIn_PV(double rate, double nper, double pmt, double fv, int32_t type);
/* The payment per period; trap 5 for nper 0, trap 6 when a power fails. */
BRTL_API double ZbiBuiltIn_Pmt(double rate, double nper, double pv, double fv, int32_t type);
/* The number of periods; trap 5 when a logarithm fails (and at rate 0 with pmt 0). */
BRTL_API double ZbiBuiltIn_NPer(double rate, double pmt, double pv, double fv, int32_t type);
/* The interest part of period per's payment; trap 5 for per outside 1..nper or nper 0, trap 6
 * when a power fails. */
BRTL_API double ZbiBuiltIn_IPmt(double rate, double per, double nper, double pv, double fv,
                                int32_t type);
/* The principal part of period per's payment; traps as ZbiBuiltIn_IPmt. */
BRTL_API double ZbiBuiltIn_PPmt(double rate, double per, double nper, double pv, double fv,
                                int32_t type);
/* The rate per period, solved from guess; trap 5 for nper at or below 0, a failed power, a rate
 * beyond +-1000 or no convergence in 20 Newton steps. */
BRTL_API double ZbiBuiltIn_Rate(double nper, double pmt, double pv, double fv, int32_t type,
                                double guess);

/* ---- Cash flows and depreciation: every trap is trap 5 ------------------------------------- */

/* The net present value of count values (the first discounted one period). */
BRTL_API double ZbiBuiltIn_NPV(double rate, const double *values, int16_t count);
/* The internal rate of return of count values, solved from guess by Newton's method. */
BRTL_API double ZbiBuiltIn_IRR(const double *values, int16_t count, double guess);
/* The modified internal rate of return of count - 1 values, which start at values[1] when the
 * host's first-value-skip query answers true. */
BRTL_API double ZbiBuiltIn_MIRR(const double *values, int16_t count, double finance_rate,
                                double reinvest_rate);
/* Straight-line depreciation per period. */
BRTL_API double ZbiBuiltIn_SLN(double cost, double salvage, double life);
/* Sum-of-years'-digits depreciation of one period. */
BRTL_API double ZbiBuiltIn_SYD(double cost, double salvage, double life, double period);
/* Double-declining-balance depreciation of one period. */
BRTL_API double ZbiBuiltIn_DDB(double cost, double salvage, double life, double period);

BRTL_END_DECLS

#endif
