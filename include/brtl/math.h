/* brtl: the math builtins, Rnd and Randomize. */
#ifndef BRTL_MATH_H
#define BRTL_MATH_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
