/* brtl: a ready-made English text hook for hosts and tests. */
#ifndef BRTL_TEXTS_H
#define BRTL_TEXTS_H

#include "types.h"

BRTL_BEGIN_DECLS

/* A text hook (slot 0 of ZbiInitBasicRTL) answering in English: the messages of the trap
 * numbers the runtime raises (and "Internal error" for the fatal code -1), the month and day
 * names, AM and PM, the names of the named formats and the Boolean words. Null for any other id
 * (eras and unit markers exist only in multibyte locales). The texts are static. */
BRTL_API const char *brtl_english_text(int32_t id);

BRTL_END_DECLS

#endif
