/* brtl: the math builtins, Rnd and Randomize. */
#ifndef BRTL_MATH_H
#define BRTL_MATH_H

#include "types.h"

BRTL_BEGIN_DECLS

/* Each function checks its argument, raises its trap through the trap hook for a bad one, and
 * (when the hook returns) still computes and returns the C library's result. A NaN argument
 * fails no check. */

/* e^x; trap 6 above 709.782712893. */
BRTL_API double ZbiBuiltIn_Exp(double x);
/* The natural logarithm; trap 5 at or below 0. */
BRTL_API double ZbiBuiltIn_Log(double x);
/* The square root; trap 5 below 0. */
BRTL_API double ZbiBuiltIn_Sqr(double x);
/* The arc tangent in radians. */
BRTL_API double ZbiBuiltIn_Atn(double x);
/* The cosine; trap 5 below -2147483648, trap 6 above 2147483647. */
BRTL_API double ZbiBuiltIn_Cos(double x);
/* The sine; trap 5 at or below -2147483648, trap 6 above 2147483647. */
BRTL_API double ZbiBuiltIn_Sin(double x);
/* The tangent; trap 5 at or below -2147483648, trap 6 above 2147483647. */
BRTL_API double ZbiBuiltIn_Tan(double x);

/* A random number between 1/32769 and 32768/32769: for n > 0 the next one, for n = 0 the last
 * one again, for n < 0 the first one of the sequence seeded by n (so the same n always gives
 * the same number). */
BRTL_API double ZbiBuiltIn_Rnd(double n);
/* Seeds the random sequence from |integer part| + |fraction| * 10000 (mod 4294967295). */
BRTL_API void ZbiBuiltIn_Randomize(double seed);

BRTL_END_DECLS

#endif
