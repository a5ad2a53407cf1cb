#include "platform/io_faults.h"

#include <atomic>
#include <cerrno>

namespace brtl::pf {

namespace {

std::atomic<long> g_countdown{-1};
std::atomic<bool> g_persistent{false};
std::atomic<int> g_error{0};
std::atomic<unsigned long> g_calls{0};

} // namespace

void fail_file_calls_after(long successes, int error, bool persistent) {
    g_error.store(error);
    g_persistent.store(persistent);
    g_countdown.store(successes);
}

unsigned long file_call_count() {
    return g_calls.load(std::memory_order_relaxed);
}

bool file_call_fails() {
    g_calls.fetch_add(1, std::memory_order_relaxed);
    long left = g_countdown.load(std::memory_order_relaxed);
    if (left < 0) return false;
    if (left > 0) {
        g_countdown.store(left - 1, std::memory_order_relaxed);
        return false;
    }
    if (!g_persistent.load(std::memory_order_relaxed)) g_countdown.store(-1);
    errno = g_error.load(std::memory_order_relaxed);
    return true;
}

} // namespace brtl::pf
