// The environment: a variable by name from the C runtime's copy, an entry by its position in the
// system's environment block (GetEnvironmentStrings), which lists the hidden "=C:" entries too.
#include "platform/environment.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace brtl::platform {

const char *environment_value(const char *name) {
    return std::getenv(name);
}

const char *environment_entry(int32_t position) {
    // The block is the system's and is freed at once, so the entry is handed out from a copy
    // that lasts until the thread's next call.
    thread_local std::string entry;
    if (position < 1) return nullptr;
    char *block = GetEnvironmentStringsA();
    if (block == nullptr) return nullptr;
    const char *found = nullptr;
    int32_t index = 1;
    for (const char *p = block; *p != '\0'; p += std::strlen(p) + 1, ++index) {
        if (index == position) {
            entry.assign(p);
            found = entry.c_str();
            break;
        }
    }
    FreeEnvironmentStringsA(block);
    return found;
}

} // namespace brtl::platform
