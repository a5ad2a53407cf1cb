// The environment block is the process's own environ array, in the order the system keeps it.
#include "platform/environment.h"

#include <cstdlib>

extern char **environ;

namespace brtl::platform {

const char *environment_value(const char *name) {
    return std::getenv(name);
}

const char *environment_entry(int32_t position) {
    if (position < 1 || environ == nullptr) return nullptr;
    for (int32_t i = 0; environ[i] != nullptr; ++i)
        if (i == position - 1) return environ[i];
    return nullptr;
}

} // namespace brtl::platform
