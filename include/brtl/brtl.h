/* brtl: the runtime library of the BASIC dialect. Include this header for the whole interface;
 * every declaration is valid C11 and C++20 with C linkage. */
#ifndef BRTL_BRTL_H
#define BRTL_BRTL_H

#include "datetime.h"
#include "desktop.h"
#include "fileio.h"
#include "financial.h"
#include "format.h"
#include "host.h"
#include "math.h"
#include "numeric.h"
#include "platform.h"
#include "runtime.h"
#include "strings.h"
#include "texts.h"
#include "types.h"
#include "variant.h"

#endif
