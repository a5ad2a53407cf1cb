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
// The precision control of the x87 control word, and its value for a 53-bit significand.
constexpr uint16_t kPrecisionControl = 0x0300;
constexpr uint16_t kDoublePrecision = 0x0200;
// The inexact-result flag and all exception flags of the x87 status word.
constexpr uint16_t kX87Inexact = 0x0020;
constexpr uint16_t kX87Flags = 0x003F;
// The smallest normal exponent of the x87 unit's own format is -16382, a double's -1022: moved
// down by 15360, a double's subnormals are the unit's (at the 53-bit precision).
constexpr long double kDoubleToUnitRange = 0x1p-15360L;
constexpr long double kUnitToDoubleRange = 0x1p15360L;
} // namespace

// The 32-bit build computes with the x87 unit alone (no SSE state to reset). As on x86-64 only
// what differs from the initial state is reloaded, and a lone inexact flag is left set.
void reset_floating_point() {
    uint16_t control = 0;
    uint16_t status = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    __asm__ volatile("fnstsw %0" : "=a"(status));
    if (control != kInitialControl) __asm__ volatile("fldcw %0" : : "m"(kInitialControl));
    if ((status & kX87Flags & ~kX87Inexact) != 0) __asm__ volatile("fnclex");
}

// The x87 unit rounds every result to the significand of its control word and to its own,
// wider exponent range; a store to a double rounds again. So the operation is made with the
// 53-bit significand, where the store only rounds a result that is no normal double: a sum or
// difference in the subnormal range is exact, but a product or quotient there is made with its
// exponent moved down by 15360, where the unit's subnormals round it once at the double's
// spacing, and moved back, exactly. The operands are read after the precision is set and the
// result stored before the caller's control word is back.
double double_arithmetic(DoubleOp op, double a, double b) {
    uint16_t caller = 0;
    __asm__ volatile("fnstcw %0" : "=m"(caller) : : "memory");
    const auto at_double = static_cast<uint16_t>((caller & ~kPrecisionControl) | kDoublePrecision);
    __asm__ volatile("fldcw %0" : : "m"(at_double) : "memory");
    volatile double x = a, y = b, result = 0;
    switch (op) {
    case DoubleOp::Add:
        result = x + y;
        break;
    case DoubleOp::Sub:
        result = x - y;
        break;
    case DoubleOp::Mul:
        result = static_cast<double>(x * kDoubleToUnitRange * y * kUnitToDoubleRange);
        break;
    case DoubleOp::Div:
        result = static_cast<double>(x * kDoubleToUnitRange / y * kUnitToDoubleRange);
        break;
    }
    __asm__ volatile("fldcw %0" : : "m"(caller) : "memory");
    return result;
}

#else

void reset_floating_point() {
    std::fesetenv(FE_DFL_ENV);
}

#endif

} // namespace brtl::platform
