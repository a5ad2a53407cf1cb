// The process environment as the dialect's runtime reads it: one variable by name, one entry by
// its position in the block.
#pragma once

#include <cstdint>

namespace brtl::platform {

// The value of the variable, or null when it is not set.
const char *environment_value(const char *name);
// The entry "name=value" at position (counted from 1) of the process's environment as the
// system lists it, or null when the environment has fewer entries.
const char *environment_entry(int32_t position);

} // namespace brtl::platform
