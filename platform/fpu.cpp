#include "platform/fpu.h"

#include <cfenv>
#include <cstdint>

namespace brtl::pf {

namespace {

#if defined(__x86_64__) || defined(__i386__)
// Bits 8 and 9 of the x87 control word select the precision of its results; 3 is the 64-bit
// significand.
constexpr uint16_t kPrecisionMask = 0x0300;
constexpr uint16_t kExtendedPrecision = 0x0300;

void set_x87_extended_precision() {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    if ((control & kPrecisionMask) == kExtendedPrecision) return;
    control = static_cast<uint16_t>((control & ~kPrecisionMask) | kExtendedPrecision);
    __asm__ volatile("fldcw %0" : : "m"(control));
}
#else
void set_x87_extended_precision() {}
#endif

} // namespace

void reset_floating_point() {
    std::fesetenv(FE_DFL_ENV);
    set_x87_extended_precision();
}

} // namespace brtl::pf
