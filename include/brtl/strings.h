/* brtl: the string library: substrings, case and trimming, numeric text scanning. */
#ifndef BRTL_STRINGS_H
#define BRTL_STRINGS_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
