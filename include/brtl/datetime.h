/* brtl: dates and times: locale settings, date serials and the clock, parsing, intervals. */
#ifndef BRTL_DATETIME_H
#define BRTL_DATETIME_H

#include "platform.h"
#include "types.h"

BRTL_BEGIN_DECLS

/* The broken-down local time: seven 32-bit fields with the layout and meaning of the first seven
 * fields of the C library's struct tm. */
typedef struct BiBrokenDownTime {
    int32_t tm_sec;  /* second, 0-59 */
    int32_t tm_min;  /* minute, 0-59 */
    int32_t tm_hour; /* hour, 0-23 */
    int32_t tm_mday; /* day of the month, 1-31 */
    int32_t tm_mon;  /* month - 1, 0-11 */
    int32_t tm_year; /* year - 1900 */
    int32_t tm_wday; /* day of the week, 0 = Sunday */
} BiBrokenDownTime;

/* ---- Locale settings ------------------------------------------------------------------------ */

/* Each setting is read from the [intl] section of the profile on first use and kept for the
 * life of the process; a missing file, section or key gives the default named here. Text values
 * are read up to 63 characters. The patterns and names returned are owned by the library. */

/* brtl_set_profile_path (platform.h) names the profile file. */

/* The time separator: the first character of "sTime" (":"); NUL when the value is empty. */
BRTL_API char ZrIntlGetTimeSeperator(void);
/* The date separator: the first character of "sShortDate" ("mm/dd/yy") that is not an m, d or
 * y of either case; "/" when there is none. */
BRTL_API char ZrIntlGetDateSeperator(void);
/* The long date pattern "sLongDate" ("mmmm dd, yyyy") with every apostrophe removed. */
BRTL_API const char *ZrIntlGetLongDateString(void);
/* The short date pattern "sShortDate" ("mm/dd/yy") as written. */
BRTL_API const char *ZrIntlGetDateString(void);
/* The "iTime" value (0): nonzero for a 24-hour clock. */
BRTL_API int32_t ZrIntlGetTimeFomat(void);
/* The order of the short date pattern: 0 month-day-year, 1 day-month-year, 2 year-month-day;
 * -1 (not kept, read again on the next call) when the pattern lacks a d, m or y. */
BRTL_API int32_t ZrIntlGetDateOrdering(void);
/* The thousands separator: the first character of "sThousand" (","); NUL when empty. */
BRTL_API char ZrIntlGetThousandSeperator(void);
/* The decimal separator: the first character of "sDecimal" ("."); NUL when empty. */
BRTL_API char ZrIntlGetDecimalSeperator(void);
/* The low byte of "iTLZero" (0): nonzero when times show a leading zero in the hour. */
BRTL_API uint8_t ZrIntlIsTLZero(void);
/* The code page name for brtl_setlocale: "Ja_JP" when "iCountry" (1) is 81, else "C". */
BRTL_API const char *ZrIntlGetCodePageName(void);

/* ---- The clock ------------------------------------------------------------------------------ */

/* Fills *out with the library clock's local date and time (milliseconds dropped). Setting the
 * date or time moves the library's clock, not the machine's (unless the environment variable
 * BRTL_SET_SYSTEM_CLOCK is "1"). */
BRTL_API void ZrIntlGetSystemDateTime(BiBrokenDownTime *out);
/* Sets the date, keeping the time of day; the low 16 bits of each argument are used. Returns 0,
 * or 1 (clock unchanged) for a date that does not exist or a year outside 1601-30827. */
BRTL_API int32_t ZrIntlSetSystemDate(int32_t day, int32_t month, int32_t year);
/* Sets the time of day with 0 milliseconds, keeping the date; the low 16 bits of each argument
 * are used. Returns 0, or 1 (clock unchanged) for an hour above 23 or a minute or second above
 * 59. */
BRTL_API int32_t ZrIntlSetSystemTime(int32_t hour, int32_t minute, int32_t second);

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
/* The Date of a broken-down time (or a struct tm): its DateSerial plus its TimeSerial; Null
 * when the date is out of range (after trap 5). */
BRTL_API VARIANT *ZbiCvtCTimeToVariantDate(VARIANT *result, const BiBrokenDownTime *time);

/* Now: the Date of the library clock's local date and time. */
BRTL_API VARIANT *ZbiBuiltIn_Now(VARIANT *result);
/* Timer: a Double of the seconds since local midnight, with milliseconds. */
BRTL_API VARIANT *ZbiBuiltIn_Timer(VARIANT *result);
/* Date: the Date of today, without time. */
BRTL_API VARIANT *ZbiBuiltIn_Date(VARIANT *result);
/* Date$: today as a temporary "mm-dd-yyyy", whatever the locale (the empty string after trap 7). */
BRTL_API BiString ZbiBuiltIn_Date_(void);
/* Time: the Date of the time of day, without date. */
BRTL_API VARIANT *ZbiBuiltIn_Time(VARIANT *result);
/* Time$: the time of day as a temporary "hh:mm:ss" (the empty string after trap 7). */
BRTL_API BiString ZbiBuiltIn_Time_(void);
/* The Date statement with text: month, day and year separated by "/", "-" or the locale's date
 * separator, 6-10 characters; sets the library clock's date. Trap 5 for anything else or a
 * date the clock refuses. The text is the caller's. */
BRTL_API void ZbiBuiltIn_DateStmt_(const char *text);
/* The Date statement with a String or Date Variant (owned by the call): sets the clock's date.
 * Trap 13 for another subtype or a text that is no date, 5 when the clock refuses the date. */
BRTL_API void ZbiBuiltIn_DateStmt(VARIANT value);
/* The Time statement with text: hour[:minute[:second]] separated by ":" or the locale's time
 * separator; sets the clock's time of day. Trap 5 for anything else or a time the clock refuses.
 * The text is the caller's. */
BRTL_API void ZbiBuiltIn_TimeStmt_(const char *text);
/* The Time statement with a String or Date Variant (owned by the call): sets the clock's time of
 * day. Trap 13 for another subtype or a text that is no time, 5 when the clock refuses it. */
BRTL_API void ZbiBuiltIn_TimeStmt(VARIANT value);

/* ---- Parts of a date --------------------------------------------------------------------------
 * Null gives Null; another subtype is first converted to a Date (a string is parsed), with the
 * range check of the years 100-9999. The result is an Integer; Empty after a trap. */

/* Day: the day of the month, 1-31. */
BRTL_API VARIANT *ZbiBuiltIn_Day(VARIANT *result, VARIANT date);
/* Month: 1-12. */
BRTL_API VARIANT *ZbiBuiltIn_Month(VARIANT *result, VARIANT date);
/* Year. */
BRTL_API VARIANT *ZbiBuiltIn_Year(VARIANT *result, VARIANT date);
/* WeekDay: 1 (Sunday) to 7 (Saturday). */
BRTL_API VARIANT *ZbiBuiltIn_WeekDay(VARIANT *result, VARIANT date);
/* Hour of the time rounded to the nearest second (24 in the last half second of a day). */
BRTL_API VARIANT *ZbiBuiltIn_Hour(VARIANT *result, VARIANT date);
/* Minute of the time rounded to the nearest second. */
BRTL_API VARIANT *ZbiBuiltIn_Minute(VARIANT *result, VARIANT date);
/* Second of the time rounded to the nearest second. */
BRTL_API VARIANT *ZbiBuiltIn_Second(VARIANT *result, VARIANT date);

/* ---- Parsing dates and times ------------------------------------------------------------------
 * Month names and AM/PM are the text hook's words (ids -1001 to -1012, -1021, -1020), the order of
 * day, month and year and the separators the locale's. In a multibyte locale era names and unit
 * markers (ids -1121 to -1135, -1146 to -1151) are read as well. */

/* Parses text (a temporary is released) for a time (kind 0), a date (1) or both (2): a Date,
 * or Empty when the text is not accepted, after trap 5 unless quiet is nonzero. */
BRTL_API VARIANT *ZbiParseDateAndTime(VARIANT *result, BiString text, int32_t kind, uint8_t quiet);
/* TimeValue: the time of the text (a date alone is 00:00:00); trap 5 (Empty) when it is none. */
BRTL_API VARIANT *ZbiBuiltIn_TimeValue(VARIANT *result, BiString text);
/* DateValue: the date of the text, without its time; trap 5 (Empty) when it is none. */
BRTL_API VARIANT *ZbiBuiltIn_DateValue(VARIANT *result, BiString text);

/* ---- Date intervals ---------------------------------------------------------------------------
 * The interval is one of "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s" (exactly; a
 * temporary is released); any other raises trap 5. A Null date gives Null; another subtype is
 * converted to a Date without the range check. Results are Empty after a trap. */

/* DateAdd: the date count intervals later; trap 5 when "yyyy", "q" or "m" leave the years
 * 0-10000. A month end stays the end of a shorter month. */
BRTL_API VARIANT *ZbiBuiltIn_DateAdd(VARIANT *result, BiString interval, int32_t count,
                                     VARIANT date);
/* DateDiff: the intervals from date1 to date2, an Integer for "yyyy", "w" and "ww", else a
 * Long; numeric trap 6 when the difference does not fit. */
BRTL_API VARIANT *ZbiBuiltIn_DateDiff(VARIANT *result, BiString interval, VARIANT date1,
                                      VARIANT date2);
/* DatePart: the Integer part of the date in the interval ("ww" counts weeks from Sunday, week 1
 * holding 1 January; "h", "n", "s" are truncated, not rounded). */
BRTL_API VARIANT *ZbiBuiltIn_DatePart(VARIANT *result, BiString interval, VARIANT date);

BRTL_END_DECLS

#endif
