/* brtl: dates and times: locale settings, date serials and the clock, parsing, intervals. */
#ifndef BRTL_DATETIME_H
#define BRTL_DATETIME_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
