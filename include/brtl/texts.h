/* brtl: a ready-made English text hook for hosts and tests. */
#ifndef BRTL_TEXTS_H
#define BRTL_TEXTS_H

#include "types.h"

BRTL_BEGIN_DECLS

/* The host text ids the library asks the text hook for (the positive ids are the trap numbers).
 * A range is named by its first id; the others count down from it. */
enum {
    BI_TEXT_MONTHS = -1001, /* January to December: -1001 to -1012 */
    BI_TEXT_DAYS = -1013,   /* Sunday to Saturday: -1013 to -1019 */
    BI_TEXT_PM = -1020,
    BI_TEXT_AM = -1021,
    BI_TEXT_NAMED_FORMATS = -1022, /* General Number to Short Time: -1022 to -1037 */
    BI_TEXT_TRUE = -1038,
    BI_TEXT_FALSE = -1039,
    BI_TEXT_LONG_DAYS = -1101,   /* Sunday to Saturday of the aaaa token: -1101 to -1107 */
    BI_TEXT_SHORT_DAYS = -1108,  /* Sunday to Saturday of the aaa token: -1108 to -1114 */
    BI_TEXT_LONG_ERAS = -1121,   /* the five eras, oldest first: -1121 to -1125 */
    BI_TEXT_MIDDLE_ERAS = -1126, /* -1126 to -1130 */
    BI_TEXT_SHORT_ERAS = -1131,  /* -1131 to -1135 */
    BI_TEXT_UNITS = -1146        /* year, month, day, hour, minute, second: -1146 to -1151 */
};

/* A text hook (slot 0 of ZbiInitBasicRTL) answering in English: the messages of the trap
 * numbers the runtime raises (and "Internal error" for the fatal code -1), the month and day
 * names, AM and PM, the names of the named formats and the Boolean words. Null for any other id
 * (eras and unit markers exist only in multibyte locales). The texts are static. */
BRTL_API const char *brtl_english_text(int32_t id);

BRTL_END_DECLS

#endif
