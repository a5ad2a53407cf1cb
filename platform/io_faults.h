// A switch that makes the system file calls of this layer fail on purpose, as the allocation
// switch does for memory, so that tests can reach every path that handles a failing disk: the
// open of a file, a write of bytes to a stream, the flush of a stream, the read of a line or of
// a block of bytes, and the close of a stream each count as one call.
#pragma once

namespace brtl::platform {

// After `successes` more file calls succeed, the next fails with errno `error` (every later one
// too when persistent). A negative count switches the injection off.
void fail_file_calls_after(long successes, int error, bool persistent = false);
// The number of file calls made since the process started (for sweeping failure points).
unsigned long file_call_count();
// Counts one file call; true, with errno set, when the switch makes it fail.
bool file_call_fails();

} // namespace brtl::platform
