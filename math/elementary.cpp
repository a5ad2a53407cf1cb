// The elementary functions with the language's domain rules.
#include <bit>
#include <cmath>
#include <cstdint>

#include "brtl/math.h"
#include "runtime/hooks.h"

namespace brtl::math {

namespace {

// The largest argument Exp accepts, just below ln of the largest double.
const double kExpLimit = std::bit_cast<double>(UINT64_C(0x40862E42FEFA2CBE));
// Angles must lie in the range of a 32-bit signed integer.
constexpr double kAngleLow = -2147483648.0;
constexpr double kAngleHigh = 2147483647.0;

// Sin and Tan reject the lowest 32-bit value itself, Cos accepts it.
void check_angle(double x, bool low_included) {
    if (low_included ? x < kAngleLow : x <= kAngleLow)
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    else if (x > kAngleHigh)
        runtime::raise_trap(BI_TRAP_OVERFLOW);
}

} // namespace

} // namespace brtl::math

using brtl::runtime::raise_trap;

extern "C" {

BRTL_API double ZbiBuiltIn_Exp(double x) {
    if (x > brtl::math::kExpLimit) brtl::runtime::raise_trap(BI_TRAP_OVERFLOW);
    return std::exp(x);
}

BRTL_API double ZbiBuiltIn_Log(double x) {
    if (x <= 0.0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return std::log(x);
}

BRTL_API double ZbiBuiltIn_Sqr(double x) {
    if (x < 0.0) brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return std::sqrt(x);
}

BRTL_API double ZbiBuiltIn_Atn(double x) {
    return std::atan(x);
}

BRTL_API double ZbiBuiltIn_Cos(double x) {
    brtl::math::check_angle(x, true);
    return std::cos(x);
}

BRTL_API double ZbiBuiltIn_Sin(double x) {
    brtl::math::check_angle(x, false);
    return std::sin(x);
}

BRTL_API double ZbiBuiltIn_Tan(double x) {
    brtl::math::check_angle(x, false);
    return std::tan(x);
}

} // extern "C"
