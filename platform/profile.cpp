// The profile selection that hosts call.
#include "platform/profile.h"

#include "brtl/platform.h"

extern "C" {

BRTL_API void brtl_set_profile_path(const char *path) {
    try {
        brtl::platform::set_profile_path(path);
    } catch (...) { // no memory for the copy: the lookup stays as it was
    }
}

} // extern "C"
