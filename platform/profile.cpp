// The profile file a host names, kept for both systems' readers, and the call hosts make.
#include "platform/profile.h"

#include <mutex>

#include "brtl/platform.h"

namespace brtl::platform {

namespace {

std::mutex g_path_mutex;
bool g_has_override = false;
std::string g_override;

} // namespace

void set_profile_path(const char *path) {
    std::string copy = path != nullptr ? path : ""; // made before anything changes
    std::lock_guard<std::mutex> lock(g_path_mutex);
    g_override.swap(copy);
    g_has_override = path != nullptr;
}

std::optional<std::string> profile_override() {
    std::lock_guard<std::mutex> lock(g_path_mutex);
    if (!g_has_override) return std::nullopt;
    return g_override;
}

} // namespace brtl::platform

extern "C" {

BRTL_API void brtl_set_profile_path(const char *path) {
    try {
        brtl::platform::set_profile_path(path);
    } catch (...) { // no memory for the copy: the lookup stays as it was
    }
}

} // extern "C"
