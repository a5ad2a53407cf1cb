/* brtl: the numeric core: 64-bit and 128-bit integer arithmetic, the Currency type, and the
 * overflow-checked arithmetic on every numeric type. */
#ifndef BRTL_NUMERIC_H
#define BRTL_NUMERIC_H

#include "types.h"

BRTL_BEGIN_DECLS

/* A 128-bit integer: four 32-bit words, least significant first. */
typedef struct BiInt128 {
    uint32_t w[4];
} BiInt128;

/* Currency: a signed count of ten-thousandths. */
typedef int64_t BiCurrency;

/* ---- 64-bit and 128-bit integers ----------------------------------------------------------------
 * Operands and results by pointer; a result may alias an operand. mode 1 is signed, 0 unsigned.
 * The multiply status: bit 0 when the product does not fit a signed integer of half the operand
 * width, bit 1 when it does not fit one of the operand width (always 0 unsigned). */

/* -1, 0 or 1 (signed comparison). */
BRTL_API int32_t ZbiCmp64(const int64_t *a, const int64_t *b);
/* *r = -a; 1 when a is -2^63. */
BRTL_API int32_t ZbiNeg64(const int64_t *a, int64_t *r);
/* *r = a + b wrapped; 1 on signed overflow. */
BRTL_API int32_t ZbiAdd64(const int64_t *a, const int64_t *b, int64_t *r);
/* *r = a - b wrapped; bit 1 on 64-bit signed overflow, bit 0 on overflow of the low words as a
 * signed 32-bit subtraction. */
BRTL_API int32_t ZbiSub64(const int64_t *a, const int64_t *b, int64_t *r);
/* The exact 128-bit product in *lo and *hi (either may be null); the multiply status. */
BRTL_API int32_t ZbiMul64(int32_t mode, const int64_t *a, const int64_t *b, int64_t *lo,
                          int64_t *hi);
/* The exact 256-bit product in *lo and *hi (either may be null); the multiply status. */
BRTL_API int32_t MUL128(int32_t mode, const BiInt128 *a, const BiInt128 *b, BiInt128 *lo,
                        BiInt128 *hi);
/* Quotient (toward zero) and remainder (sign of the divisor); 0 with both zeroed when b is 0,
 * else 1. Either output may be null. */
BRTL_API int32_t ZbiDiv64(int32_t mode, const int64_t *a, const int64_t *b, int64_t *q,
                          int64_t *rem);
/* ZbiDiv64 on 128-bit values. */
BRTL_API int32_t ZbiDiv128(int32_t mode, const BiInt128 *a, const BiInt128 *b, BiInt128 *q,
                           BiInt128 *rem);

/* ---- Currency ------------------------------------------------------------------------------
 * Overflow raises trap 6 and division by zero trap 11 through the numeric trap hook. */

/* -c. */
BRTL_API BiCurrency ZbiNegCurNum(BiCurrency c);
/* a + b. */
BRTL_API BiCurrency ZbiAddCurNum(BiCurrency a, BiCurrency b);
/* a - b. */
BRTL_API BiCurrency ZbiSubCurNum(BiCurrency a, BiCurrency b);
/* (a * b) / 10000 truncated toward zero. */
BRTL_API BiCurrency ZbiMulCurNum(BiCurrency a, BiCurrency b);
/* (a * 10000) / b rounded half to even; trap 11 and 0 when b is 0. */
BRTL_API BiCurrency ZbiDivCurNum(BiCurrency a, BiCurrency b);
/* The remainder of the division of ZbiDivCurNum as a raw count of units (sign of b). */
BRTL_API BiCurrency ZbiModCurNum(BiCurrency a, BiCurrency b);
/* Stores the integer part (unscaled) in *ip (when not null) and returns the fraction's magnitude
 * in units. */
BRTL_API BiCurrency ZbiModfCurNum(BiCurrency c, int64_t *ip);
/* -1, 0 or 1 as a is below, equal to or above b. */
BRTL_API int32_t ZbiCmpCurNum(BiCurrency a, BiCurrency b);
/* |c|. */
BRTL_API BiCurrency ZbiAbsCurNum(BiCurrency c);
/* -1, 0 or 1 by the sign of c. */
BRTL_API int32_t ZbiSgnCurNum(BiCurrency c);
/* The bitwise complement of the 64 bits of c. */
BRTL_API BiCurrency ZbiNotCurNum(BiCurrency c);
/* The bits set in both. */
BRTL_API BiCurrency ZbiAndCurNum(BiCurrency a, BiCurrency b);
/* The bits set in either. */
BRTL_API BiCurrency ZbiOrCurNum(BiCurrency a, BiCurrency b);
/* The bits set in one only. */
BRTL_API BiCurrency ZbiXorCurNum(BiCurrency a, BiCurrency b);
/* The bits equal in both. */
BRTL_API BiCurrency ZbiEqvCurNum(BiCurrency a, BiCurrency b);
/* Each bit set unless it is set in a and clear in b. */
BRTL_API BiCurrency ZbiImpCurNum(BiCurrency a, BiCurrency b);
/* c rounded to a whole number of units of 1, half to even. */
BRTL_API BiCurrency BiRoundCurNum(BiCurrency c);
/* The Currency of a whole number (n units of 1). */
BRTL_API BiCurrency ZbiCvtLngCurNum(int32_t n);
/* d rounded at the fifth decimal, half away from zero; trap 6 and 0 beyond the Currency range and
 * for an infinity or a NaN. */
BRTL_API BiCurrency ZbiCvtDblCurNum(double d);
/* Parses the plain text form ("-12.5", ".25", "+3") into *r: 0 on success, 1 on failure (a
 * null s fails); never traps. */
BRTL_API int32_t ZbiCvtStrCurNum(const char *s, BiCurrency *r);
/* Rounded half to even; trap 6 and 0 outside the range of the result. */
BRTL_API int16_t ZbiCvtCurNumShort(BiCurrency c);
/* Rounded half to even; trap 6 and 0 outside the 32-bit range. */
BRTL_API int32_t ZbiCvtCurNumInt(BiCurrency c);
/* The same as ZbiCvtCurNumInt. */
BRTL_API int32_t ZbiCvtCurNumLng(BiCurrency c);
/* The nearest Double within a unit in the last place; every value converts (no trap). */
BRTL_API double ZbiCvtCurNumDbl(BiCurrency c);
/* The value at double precision; the caller stores it as a Single. */
BRTL_API double ZbiCvtCurNumSng(BiCurrency c);
/* The text form ("1.5", "-.25"), a temporary; base is always 10 (any other is taken as 10). */
BRTL_API BiString ZbiCvtCurNumStr(BiCurrency c, int32_t base);

/* ---- Overflow-checked arithmetic ------------------------------------------------------------
 * Status: 0 stored, 1 overflow, 2 underflow (floating point only). The integer routines store
 * only on success. */

/* a + b of 16-bit values into *r, with the status. */
BRTL_API int32_t ZbiOvfAddShorts(int16_t *r, int16_t a, int16_t b);
/* a - b of 16-bit values into *r, with the status. */
BRTL_API int32_t ZbiOvfSubShorts(int16_t *r, int16_t a, int16_t b);
/* a * b of 16-bit values into *r, with the status. */
BRTL_API int32_t ZbiOvfMulShorts(int16_t *r, int16_t a, int16_t b);
/* a + b of 32-bit values into *r, with the status. */
BRTL_API int32_t ZbiOvfAddInts(int32_t *r, int32_t a, int32_t b);
/* a - b of 32-bit values into *r, with the status. */
BRTL_API int32_t ZbiOvfSubInts(int32_t *r, int32_t a, int32_t b);
/* a * b of 32-bit values into *r, with the status. */
BRTL_API int32_t ZbiOvfMulInts(int32_t *r, int32_t a, int32_t b);
/* a + b of Long values into *r, with the status. */
BRTL_API int32_t ZbiOvfAddLongs(int32_t *r, const int32_t *a, const int32_t *b);
/* a - b of Long values into *r, with the status. */
BRTL_API int32_t ZbiOvfSubLongs(int32_t *r, const int32_t *a, const int32_t *b);
/* a * b of Long values into *r, with the status. */
BRTL_API int32_t ZbiOvfMulLongs(int32_t *r, const int32_t *a, const int32_t *b);
/* a + b of Single values into *r, with the status. */
BRTL_API int32_t ZbiOvfAddFloats(float *r, const float *a, const float *b);
/* a - b of Single values into *r, with the status. */
BRTL_API int32_t ZbiOvfSubFloats(float *r, const float *a, const float *b);
/* a * b of Single values into *r, with the status. */
BRTL_API int32_t ZbiOvfMulFloats(float *r, const float *a, const float *b);
/* a / b of Single values into *r, with the status. */
BRTL_API int32_t ZbiOvfDivFloats(float *r, const float *a, const float *b);
/* a + b of Double values into *r, with the status. */
BRTL_API int32_t ZbiOvfAddDoubles(double *r, const double *a, const double *b);
/* a - b of Double values into *r, with the status. */
BRTL_API int32_t ZbiOvfSubDoubles(double *r, const double *a, const double *b);
/* a * b of Double values into *r, with the status. */
BRTL_API int32_t ZbiOvfMulDoubles(double *r, const double *a, const double *b);
/* a / b of Double values into *r, with the status. */
BRTL_API int32_t ZbiOvfDivDoubles(double *r, const double *a, const double *b);
/* Signed 64-bit product (low 64 bits always stored); 1 when it does not fit 64 bits. */
BRTL_API int32_t ZbiOvfMul64bits(const int64_t *a, const int64_t *b, int64_t *r);
/* *r = a + b wrapped; 1 on overflow (ZbiAdd64). */
BRTL_API int32_t ZbiOvfAddCurrencies(BiCurrency *r, const BiCurrency *a, const BiCurrency *b);
/* *r = -a; 1 for the most negative value (ZbiNeg64). */
BRTL_API int32_t ZbiOvfNegCurrency(BiCurrency *r, const BiCurrency *a);
/* Stores ZbiMulCurNum (which traps itself); always 0. */
BRTL_API int32_t ZbiOvfMulCurrencies(BiCurrency *r, const BiCurrency *a, const BiCurrency *b);
/* Stores ZbiDivCurNum; always 0. */
BRTL_API int32_t ZbiOvfDivCurrencies(BiCurrency *r, const BiCurrency *a, const BiCurrency *b);
/* Bitwise implication: each bit set unless it is set in a and clear in b. */
BRTL_API int32_t ZbiImpLngNum(int32_t a, int32_t b);
/* d rounded to single precision and widened back, inside the Single range; else d. */
BRTL_API double ZbiFloatizeDouble(double d);
/* Round half to even to a whole number. */
BRTL_API double ZbiDoubleRound(double d);
/* x ^ y with the language's rules: 0 ^ 0 is 1; 0 to a negative power and a negative base with an
 * exponent that is not whole raise trap 5 through the numeric trap hook and give 0.0. */
BRTL_API double ZbiDoExpD(double x, double y);

/* Nonzero (the default 1) selects the extended-precision strategy of the checked floating-point
 * routines; 0 the plain one. The library only reads it. */
BRTL_API extern int32_t BiIsMathCoprocessorPresent;

BRTL_END_DECLS

#endif
