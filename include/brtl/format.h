/* brtl: the Format engine. */
#ifndef BRTL_FORMAT_H
#define BRTL_FORMAT_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
