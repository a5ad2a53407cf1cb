#include "platform/monetary.h"

namespace brtl::platform {

MonetaryConventions monetary_conventions() {
    // The process's own C locale is never consulted: a host may have changed it, and the
    // runtime's locale is the one brtl_setlocale chose.
    return MonetaryConventions{"", kNotAvailable, kNotAvailable, kNotAvailable, kNotAvailable};
}

} // namespace brtl::platform
