// The power where the C library's pow is not rounded closely enough: taken in the x87 unit's
// extended precision, whose result rounds to the nearest Double, with the range errors told
// from the operands and the result, since the extended format's range is wider.
#include <cerrno>
#include <cfloat>
#include <cmath>

#include "platform/power.h"

namespace brtl::platform {

double extended_power(double x, double y) {
    const double result =
        static_cast<double>(std::pow(static_cast<long double>(x), static_cast<long double>(y)));
    if (std::isnan(x) || std::isnan(y) || std::isinf(x) || std::isinf(y)) return result;
    if (x < 0 && std::trunc(y) != y)
        errno = EDOM;
    else if (x == 0 && y < 0) // a pole
        errno = ERANGE;
    else if (std::isinf(result) || (x != 0 && std::fabs(result) < DBL_MIN)) // out of range
        errno = ERANGE;
    return result;
}

} // namespace brtl::platform
