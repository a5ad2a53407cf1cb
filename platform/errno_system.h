// The system's errno values as the dialect's C runtime numbers them (platform/files.h).
#pragma once

#include <cstdint>

namespace brtl::platform {

struct ErrnoMapping {
    int crt;     // the runtime's errno number
    uint32_t os; // the operating-system error code that stands for the failure
};

// The mapping of a system errno value (0 maps to 0 and 0).
ErrnoMapping map_system_errno(int e);

} // namespace brtl::platform
