// The thread's stack limit from its thread information block, the tick count and the debugger
// output channel.
#include "platform/system.h"

#include <windows.h>

namespace brtl::platform {

// GCC 12 takes the segment read of NtCurrentTeb for an access to an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
void *thread_stack_low() {
    return reinterpret_cast<NT_TIB *>(NtCurrentTeb())->StackLimit;
}
#pragma GCC diagnostic pop

uint32_t monotonic_milliseconds() {
    return GetTickCount();
}

void debug_output(const char *text) {
    if (text != nullptr) OutputDebugStringA(text);
}

} // namespace brtl::platform
