// Small services of the operating system: the thread's stack, a monotonic clock, the debugger
// output channel.
#pragma once

#include <cstdint>

namespace brtl::platform {

// The lowest address of the calling thread's stack (null when the system cannot tell).
void *thread_stack_low();
// Milliseconds of a monotonic clock, wrapping at 2^32.
uint32_t monotonic_milliseconds();
// Writes text to the debugger output: standard error when BRTL_DEBUG_OUTPUT is "1" or "stderr",
// appended to the file it names otherwise, nowhere when it is unset or empty.
void debug_output(const char *text);

} // namespace brtl::platform
