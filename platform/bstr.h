// Growing a BSTR in place: the joins of strings that consume their left operand (s = s & x)
// extend its block instead of copying it at every step.
#pragma once

#include <cstdint>

#include "brtl/platform.h"

namespace brtl::platform {

// Appends n units to b, whose block the caller owns, and returns the BSTR that now holds both
// (b's block grown in place or moved; b must not be used again). A block that has to grow takes
// half its capacity again at least (or just what the join needs, when that is more), so a
// string built by repeated appends is copied a bounded number of times.
// Null when memory runs out or the length would pass the BSTR limit; b is then unchanged.
BSTR append_units(BSTR b, const OLECHAR *units, uint32_t n);

} // namespace brtl::platform
