// The C runtime's pow here is neither rounded closely enough nor reports every range error
// through errno: the power is taken in extended precision (platform/power.h).
#include "platform/power.h"

namespace brtl::platform {

double power(double x, double y) {
    return extended_power(x, y);
}

} // namespace brtl::platform
