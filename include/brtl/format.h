/* brtl: the Format engine. */
#ifndef BRTL_FORMAT_H
#define BRTL_FORMAT_H

#include "types.h"

BRTL_BEGIN_DECLS

/* Value kinds of ZbiBuiltIn_Format_: what the value pointer points at. */
enum {
    BI_FORMAT_VARIANT = 1,
    BI_FORMAT_INTEGER = 4,
    BI_FORMAT_LONG = 6,
    BI_FORMAT_SINGLE = 7,
    BI_FORMAT_DOUBLE = 8,
    BI_FORMAT_CURRENCY = 9
};

/* The format text that asks for the plain conversion with a leading space before a number that
 * is not negative: one character of code 127. */
#define BI_FORMAT_LEADING_SPACE_MARKER "\x7F"

/* Format: the value of the kind at value under the format text; a temporary. A temporary format
 * is released. */
BRTL_API BiString ZbiBuiltIn_Format_(int32_t kind, const void *value, BiString format);

BRTL_END_DECLS

#endif
