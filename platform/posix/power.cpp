// The C library's pow already is what platform/power.h describes.
#include "platform/power.h"

#include <cmath>

namespace brtl::platform {

double power(double x, double y) {
    return std::pow(x, y);
}

} // namespace brtl::platform
