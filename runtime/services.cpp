// The three small services the host uses: the stack base of the calling thread, a millisecond
// clock and the debugger output.
#include "brtl/runtime.h"
#include "platform/system.h"

extern "C" {

BRTL_API void *ZbiGetThreadStackBase(void) {
    return brtl::platform::thread_stack_low();
}

BRTL_API uint32_t ZbiGetTimeInMillisecond(void) {
    return brtl::platform::monotonic_milliseconds();
}

BRTL_API void ZkWriteStringToOutputWindow(const char *text) {
    brtl::platform::debug_output(text);
}

} // extern "C"
