#include "platform/io_faults.h"

#include <atomic>
#include <cerrno>

#include "platform/fault_countdown.h"

namespace brtl::platform {

namespace {

FailureCountdown g_failures;
std::atomic<int> g_error{0};

} // namespace

void fail_file_calls_after(long successes, int error, bool persistent) {
    g_error.store(error);
    g_failures.arm(successes, persistent);
}

unsigned long file_call_count() {
    return g_failures.calls();
}

bool file_call_fails() {
    if (!g_failures.next_fails()) return false;
    errno = g_error.load(std::memory_order_relaxed);
    return true;
}

} // namespace brtl::platform
