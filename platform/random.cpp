#include "platform/random.h"

#include <atomic>

namespace brtl::platform {

namespace {

// One state for the whole process: concurrent callers share one sequence, each number drawn once.
std::atomic<uint32_t> g_state{1};

constexpr uint32_t next_state(uint32_t state) {
    return state * 214013u + 2531011u;
}

} // namespace

void srand(uint32_t seed) {
    g_state.store(seed, std::memory_order_relaxed);
}

int32_t rand() {
    uint32_t state = g_state.load(std::memory_order_relaxed);
    uint32_t next = next_state(state);
    while (!g_state.compare_exchange_weak(state, next, std::memory_order_relaxed))
        next = next_state(state);
    return static_cast<int32_t>((next >> 16) & static_cast<uint32_t>(kRandMax));
}

} // namespace brtl::platform
