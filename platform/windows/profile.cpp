// The profile through the system: the file that brtl_set_profile_path or BRTL_PROFILE names is
// read with GetPrivateProfileStringA, else the user's win.ini with GetProfileStringA. The file
// name is made a full path first, as a bare name would be looked for in the Windows directory.
#include "platform/profile.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace brtl::platform {

namespace {

// The named file as a full path; empty when no file is named (the user's win.ini then).
std::string named_file() {
    std::string path = profile_override().value_or("");
    if (path.empty()) {
        const char *named = std::getenv("BRTL_PROFILE");
        if (named != nullptr) path = named;
    }
    if (path.empty()) return path;
    char full[MAX_PATH + 1];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full) : path;
}

// The file to read, or empty for the user's win.ini; empty also when memory runs out.
std::string file_to_read() {
    try {
        return named_file();
    } catch (...) {
        return {};
    }
}

} // namespace

std::string profile_path() {
    std::string path = named_file();
    return path.empty() ? std::string("win.ini") : path;
}

size_t profile_string(const char *section, const char *key, const char *fallback, char *buffer,
                      size_t size) {
    if (size == 0) return 0;
    std::string file = file_to_read();
    const char *value_fallback = fallback != nullptr ? fallback : "";
    DWORD n = file.empty() ? GetProfileStringA(section, key, value_fallback, buffer,
                                               static_cast<DWORD>(size))
                           : GetPrivateProfileStringA(section, key, value_fallback, buffer,
                                                      static_cast<DWORD>(size), file.c_str());
    return n;
}

int32_t profile_int(const char *section, const char *key, int32_t fallback) {
    std::string file = file_to_read();
    UINT n = file.empty() ? GetProfileIntA(section, key, fallback)
                          : GetPrivateProfileIntA(section, key, fallback, file.c_str());
    return static_cast<int32_t>(n);
}

} // namespace brtl::platform
