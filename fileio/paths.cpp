// The directory part of a path (RemoveFileNameFromPath) and the path check (IsPathValid) that
// tells a bad drive, a drive that is not ready and a missing directory apart.
#include "fileio/paths.h"

#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

// The position of the last single-byte character c in the n bytes of p, or n when none.
size_t last_char(const char *p, size_t n, char c) {
    size_t last = n;
    for (size_t i = 0; i < n;) {
        size_t len = platform::char_length(p + i, n - i);
        if (len == 1 && p[i] == c) last = i;
        i += len;
    }
    return last;
}

bool is_dots(const char *p, size_t n) {
    return (n == 1 && p[0] == '.') || (n == 2 && p[0] == '.' && p[1] == '.');
}

// The three ways a failed check is reported: the path check of a name (76 with the path), the
// drive check of a directory part (the given trap through the trap hook), or the whole name (53).
struct PathCheck {
    const char *whole_path;
    const char *copy;
    bool strip;
    bool whole;

    void fail(int32_t drive_trap) const {
        if (whole)
            runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, subject_of(whole_path));
        else if (strip && drive_trap != BI_TRAP_PATH_NOT_FOUND)
            runtime::raise_trap(drive_trap);
        else
            runtime::raise_file_trap(BI_TRAP_PATH_NOT_FOUND, subject_of(copy));
    }
};

// The drive of a path exists (a path without a drive is on the current one).
bool drive_exists(const char *copy) {
    if (copy[0] == '\0' || copy[1] != ':') return true;
    auto letter = static_cast<unsigned char>(copy[0]);
    return platform::is_alpha(letter) &&
           platform::drive_exists(platform::to_upper(letter) - 'A' + 1);
}

bool has_separator(const char *p) {
    return std::strchr(p, '\\') != nullptr || std::strchr(p, '/') != nullptr;
}

} // namespace

size_t directory_part_length(const char *path, size_t n) {
    size_t mark = last_char(path, n, '\\');
    if (mark == n) mark = last_char(path, n, ':');
    if (mark == n) return is_dots(path, n) ? n : 0;
    size_t cut = mark + 1;
    while (cut < n && path[cut] == '.')
        ++cut;
    if (cut >= 2 && path[cut - 1] == '\\' && path[cut - 2] != ':') --cut;
    return cut;
}

bool check_path(const char *path, bool strip, bool whole) {
    size_t n = std::strlen(path);
    runtime::ZrBuffer<char> copy(static_cast<char *>(ZrMalloc(n + 1)));
    if (!copy) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    std::memcpy(copy.get(), path, n + 1);
    if (strip) copy.get()[directory_part_length(copy.get(), n)] = '\0';
    PathCheck check{path, copy.get(), strip, whole};

    const char *colon = std::strchr(copy.get(), ':');
    if (colon != nullptr && colon != copy.get() + 1) {
        check.fail(BI_TRAP_PATH_NOT_FOUND);
        return false;
    }
    if (!drive_exists(copy.get())) {
        check.fail(BI_TRAP_DEVICE_UNAVAILABLE);
        return false;
    }
    // A drive that exists is taken as ready.
    if (has_separator(copy.get()) && std::strcmp(copy.get(), "..\\") != 0 &&
        !platform::exists(copy.get())) {
        check.fail(BI_TRAP_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

} // namespace brtl::fileio

extern "C" {

BRTL_API char *RemoveFileNameFromPath(char *path) {
    path[brtl::fileio::directory_part_length(path, std::strlen(path))] = '\0';
    return path;
}

BRTL_API void IsPathValid(const char *path, uint8_t strip, uint8_t whole) {
    brtl::fileio::check_path(path, strip != 0, whole != 0);
}

} // extern "C"
