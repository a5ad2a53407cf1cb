// The C library's pow already is what platform/power.h describes, but for the 32-bit x86 one,
// whose result can be several units in the last place off (8.039158426905765 ^ 3.996114531767372
// gave 4143.09777359186 in 15 digits, not 4143.09777359187): there the power is taken in
// extended precision.
#include "platform/power.h"

#include <cmath>

namespace brtl::platform {

double power(double x, double y) {
#if defined(__i386__)
    return extended_power(x, y);
#else
    return std::pow(x, y);
#endif
}

} // namespace brtl::platform
