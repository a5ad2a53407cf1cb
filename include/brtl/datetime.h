/* brtl: dates and times: locale settings, date serials and the clock, parsing, intervals. */
#ifndef BRTL_DATETIME_H
#define BRTL_DATETIME_H

#include "types.h"

BRTL_BEGIN_DECLS

/* ---- Date serials and the clock ---------------------------------------------------------------
 * A date serial is a double: its whole part counts days from 30 December 1899 (truncated toward
 * zero), the absolute value of its fraction is the time of day. Variant results are written
 * into *result, which is returned; a Variant argument by value belongs to the call. */

/* Nonzero when year, month and day form a real date of the years 100-9999. */
BRTL_API uint8_t ZbiValidDate(int32_t year, int32_t month, int32_t day);
/* DateSerial: a Date of the year (0-99 mean 1900-1999), month and day, which may lie outside
 * their ranges and carry; trap 5 (result Empty) when the year leaves 100-9999. */
BRTL_API VARIANT *ZbiBuiltIn_DateSerial(VARIANT *result, int32_t year, int32_t month, int32_t day);
/* TimeSerial: the Date (hour * 3600 + minute * 60 + second) / 86400, unchecked. */
BRTL_API VARIANT *ZbiBuiltIn_TimeSerial(VARIANT *result, int32_t hour, int32_t minute,
                                        int32_t second);

BRTL_END_DECLS

#endif
