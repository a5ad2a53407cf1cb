// The countdown behind the failure switches of this layer (memory, file calls): after a number
// of calls succeed, the next one fails, and with `persistent` every later one too.
#pragma once

#include <atomic>

namespace brtl::platform {

class FailureCountdown {
  public:
    // A negative count switches the failures off.
    void arm(long successes, bool persistent) {
        persistent_.store(persistent);
        left_.store(successes);
    }
    // Counts one call; true when it is the one (or one of those) to fail. The count is a plain
    // load and store rather than a locked increment: it sits on every allocation and file call,
    // and only single-threaded tests read it.
    bool next_fails() {
        calls_.store(calls_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        long left = left_.load(std::memory_order_relaxed);
        if (left < 0) return false;
        if (left > 0) {
            left_.store(left - 1, std::memory_order_relaxed);
            return false;
        }
        if (!persistent_.load(std::memory_order_relaxed)) left_.store(-1);
        return true;
    }
    unsigned long calls() const { return calls_.load(std::memory_order_relaxed); }

  private:
    std::atomic<long> left_{-1};
    std::atomic<bool> persistent_{false};
    std::atomic<unsigned long> calls_{0};
};

} // namespace brtl::platform
