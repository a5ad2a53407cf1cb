#include "platform/memory.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "platform/fault_countdown.h"

namespace brtl::platform {

namespace {

FailureCountdown g_failures;
std::atomic<long> g_live{0};
// The live count costs a locked increment per block, so it is kept only for the tests that ask.
std::atomic<bool> g_counting{false};

void *counted(void *block) {
    if (block != nullptr && g_counting.load(std::memory_order_relaxed))
        g_live.fetch_add(1, std::memory_order_relaxed);
    return block;
}

// Counts an allocation and says whether the injection switch makes it fail.
bool injected_failure() {
    return g_failures.next_fails();
}

} // namespace

bool allocation_fails() {
    return injected_failure();
}

void count_system_blocks(long delta) {
    if (g_counting.load(std::memory_order_relaxed))
        g_live.fetch_add(delta, std::memory_order_relaxed);
}

void *allocate(size_t bytes) {
    if (injected_failure()) return nullptr;
    return counted(std::malloc(bytes == 0 ? 1 : bytes));
}

void *allocate_zeroed(size_t count, size_t size) {
    if (injected_failure()) return nullptr;
    if (count == 0 || size == 0) return counted(std::calloc(1, 1));
    if (count > SIZE_MAX / size) return nullptr;
    return counted(std::calloc(count, size));
}

void *reallocate(void *block, size_t bytes) {
    if (injected_failure()) return nullptr;
    void *moved = std::realloc(block, bytes == 0 ? 1 : bytes);
    return block == nullptr ? counted(moved) : moved;
}

void release(void *block) {
    if (block == nullptr) return;
    if (g_counting.load(std::memory_order_relaxed)) g_live.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

size_t usable_size(void *block) {
#if defined(_WIN32)
    return block == nullptr ? 0 : _msize(block);
#else
    return block == nullptr ? 0 : malloc_usable_size(block);
#endif
}

void *allocate_lasting(size_t bytes) {
    if (injected_failure()) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void release_lasting(void *block) {
    std::free(block);
}

void fail_allocations_after(long successes, bool persistent) {
    g_failures.arm(successes, persistent);
}

unsigned long allocation_count() {
    return g_failures.calls();
}

void count_live_blocks() {
    g_counting.store(true);
}

long live_blocks() {
    return g_live.load(std::memory_order_relaxed);
}

} // namespace brtl::platform
