/* brtl: dates and times: locale settings, date serials and the clock, parsing, intervals. */
#ifndef BRTL_DATETIME_H
#define BRTL_DATETIME_H

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

/* Names the profile file to read; null goes back to $BRTL_PROFILE, else
 * $XDG_CONFIG_HOME/brtl/win.ini, else ~/.config/brtl/win.ini. Settings already read keep their
 * values. The path is copied. */
BRTL_API void brtl_set_profile_path(const char *path);

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

BRTL_END_DECLS

#endif
