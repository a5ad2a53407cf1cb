// The floating-point unit as the checked arithmetic needs it: a reset to the initial state
// (exceptions masked with clear flags, round to nearest, extended 64-bit significand precision
// for long double arithmetic).
#pragma once

namespace brtl::platform {

// Puts the floating-point environment of the calling thread back to its initial state. On x86
// the x87 precision control is set to the 64-bit significand as well, whatever the C library's
// default environment holds.
void reset_floating_point();

} // namespace brtl::platform
