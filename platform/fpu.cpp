#include "platform/fpu.h"

#include <cfenv>
#include <cstdint>

namespace brtl::platform {

#if defined(__x86_64__)

namespace {
// The initial x87 control word: every exception masked, round to nearest, 64-bit significand.
constexpr uint16_t kInitialControl = 0x037F;
// The initial SSE control and status: every exception masked, round to nearest, flags clear.
constexpr uint32_t kInitialMxcsr = 0x1F80;
// The inexact-result flag of the x87 status word and of the SSE status.
constexpr uint16_t kX87Inexact = 0x0020;
constexpr uint32_t kSseInexact = 0x0020;
// The exception flags of the x87 status word.
constexpr uint16_t kX87Flags = 0x003F;
} // namespace

// Checked arithmetic calls this on every operation, so only what differs from the initial state
// is reloaded: reading the control and status words costs far less than loading them, and
// clearing the x87 flags (fnclex) costs more than the operation itself, since it holds up the
// arithmetic that follows. The inexact flag, which almost every operation sets and which
// decides nothing, is therefore left as it is; every other flag is cleared. The three words
// are read before any is tested, so that their slow reads overlap instead of following one
// another.
void reset_floating_point() {
    uint32_t mxcsr = 0;
    uint16_t control = 0;
    uint16_t status = 0;
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsr));
    __asm__ volatile("fnstcw %0" : "=m"(control));
    __asm__ volatile("fnstsw %0" : "=a"(status));
    if (control != kInitialControl) __asm__ volatile("fldcw %0" : : "m"(kInitialControl));
    if ((status & kX87Flags & ~kX87Inexact) != 0) __asm__ volatile("fnclex");
    if ((mxcsr & ~kSseInexact) != kInitialMxcsr)
        __asm__ volatile("ldmxcsr %0" : : "m"(kInitialMxcsr));
}

#elif defined(__i386__)

namespace {
// The initial x87 control word: every exception masked, round to nearest, 64-bit significand.
constexpr uint16_t kInitialControl = 0x037F;
} // namespace

// The 32-bit build computes with the x87 unit alone (no SSE state to reset).
void reset_floating_point() {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    if (control != kInitialControl) __asm__ volatile("fldcw %0" : : "m"(kInitialControl));
    __asm__ volatile("fnclex");
}

#else

void reset_floating_point() {
    std::fesetenv(FE_DFL_ENV);
}

#endif

} // namespace brtl::platform
