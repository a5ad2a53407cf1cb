#include "platform/system.h"

#include <pthread.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brtl::platform {

void *thread_stack_low() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return nullptr;
    void *low = nullptr;
    size_t size = 0;
    if (pthread_attr_getstack(&attr, &low, &size) != 0) low = nullptr;
    pthread_attr_destroy(&attr);
    return low;
}

uint32_t monotonic_milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void debug_output(const char *text) {
    const char *target = std::getenv("BRTL_DEBUG_OUTPUT");
    if (target == nullptr || *target == '\0' || text == nullptr) return;
    if (std::strcmp(target, "1") == 0 || std::strcmp(target, "stderr") == 0) {
        std::fputs(text, stderr);
        std::fflush(stderr);
        return;
    }
    if (FILE *f = std::fopen(target, "a")) {
        std::fputs(text, f);
        std::fclose(f);
    }
}

} // namespace brtl::platform
