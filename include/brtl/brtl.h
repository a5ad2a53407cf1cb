/* brtl: the runtime library of the BASIC dialect. Include this header for the whole interface;
 * every declaration is valid C11 and C++20 with C linkage. */
#ifndef BRTL_BRTL_H
#define BRTL_BRTL_H

#include "types.h"
#include "platform.h"
#include "host.h"
#include "runtime.h"
#include "numeric.h"
#include "variant.h"
#include "strings.h"
#include "fileio.h"
#include "format.h"
#include "datetime.h"
#include "texts.h"
#include "financial.h"
#include "math.h"
#include "desktop.h"

#endif
