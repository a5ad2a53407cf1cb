/* brtl: process and desktop interaction. */
#ifndef BRTL_DESKTOP_H
#define BRTL_DESKTOP_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
