// The file system through the C runtime and the system: status, attributes as the system keeps
// them, directories, and the directory search of FindFirstFileA, whose wildcards are the
// system's own.
#include "platform/file_system.h"

#include <direct.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/files.h"
#include "platform/memory.h"

namespace brtl::platform {

namespace {

// A name checked for the system, in a buffer of its own.
struct SystemPath {
    char text[MAX_PATH + 1];
    bool ok;
    explicit SystemPath(const char *name) : ok(to_system_path(name, text, sizeof text)) {}
};

// The attribute bits the dialect knows.
constexpr DWORD kKnownAttributes = attribute::kReadOnly | attribute::kHidden | attribute::kSystem |
                                   attribute::kVolume | attribute::kDirectory | attribute::kArchive;

bool failed_with_last_error() {
    errno = os_error_to_crt_errno(GetLastError());
    return false;
}

size_t g_open_searches = 0;

} // namespace

bool file_status(const char *name, FileStatus &status) {
    SystemPath path(name);
    if (!path.ok) {
        if (errno == EINVAL) errno = ENOENT; // a wildcard names no file
        return false;
    }
    struct _stati64 info {};
    if (_stati64(path.text, &info) != 0) return false;
    status.size = info.st_size;
    status.modified = info.st_mtime;
    status.directory = (info.st_mode & _S_IFDIR) != 0;
    return true;
}

bool local_time(int64_t stamp, LocalTime &out) {
    __time64_t t = stamp;
    struct tm parts {};
    if (_localtime64_s(&parts, &t) != 0) return false;
    out = {parts.tm_year, parts.tm_mon, parts.tm_mday, parts.tm_hour,
           parts.tm_min,  parts.tm_sec, parts.tm_wday};
    return true;
}

int get_attributes(const char *name) {
    SystemPath path(name);
    if (!path.ok) return -1;
    DWORD bits = GetFileAttributesA(path.text);
    if (bits == INVALID_FILE_ATTRIBUTES) {
        failed_with_last_error();
        return -1;
    }
    return static_cast<int>(bits & kKnownAttributes);
}

bool set_attributes(const char *name, int bits) {
    SystemPath path(name);
    if (!path.ok) return false;
    DWORD value = static_cast<DWORD>(bits) & ~DWORD{attribute::kVolume | attribute::kDirectory};
    if (value == 0) value = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesA(path.text, value) != 0 || failed_with_last_error();
}

bool change_directory(const char *path) {
    SystemPath system(path);
    return system.ok && _chdir(system.text) == 0;
}

bool make_directory(const char *path) {
    SystemPath system(path);
    return system.ok && _mkdir(system.text) == 0;
}

bool remove_directory(const char *path) {
    SystemPath system(path);
    return system.ok && _rmdir(system.text) == 0;
}

bool remove_file(const char *name) {
    SystemPath path(name);
    return path.ok && std::remove(path.text) == 0; // remove never deletes a directory
}

bool rename_file(const char *old_name, const char *new_name) {
    SystemPath from(old_name);
    if (!from.ok) return false;
    SystemPath to(new_name);
    if (!to.ok) return false;
    // MoveFileA never replaces what is at the new name.
    return MoveFileA(from.text, to.text) != 0 || failed_with_last_error();
}

size_t current_directory(char *out, size_t cap) {
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(cap), out);
    if (n == 0) {
        failed_with_last_error();
        return 0;
    }
    if (n >= cap) {
        if (cap > 0) out[0] = '\0';
        errno = ERANGE;
        return 0;
    }
    return n;
}

bool drive_exists(int drive) {
    return drive >= 1 && drive <= 26 && (GetLogicalDrives() >> (drive - 1) & 1) != 0;
}

size_t volume_label(const char *path, char *out, size_t cap) {
    if (cap == 0) return 0;
    out[0] = '\0';
    char root[4] = {path[0], ':', '\\', '\0'};
    bool has_drive = path[0] != '\0' && path[1] == ':';
    char label[MAX_PATH + 1];
    if (!GetVolumeInformationA(has_drive ? root : nullptr, label, sizeof label, nullptr, nullptr,
                               nullptr, nullptr, 0))
        return 0;
    size_t n = std::min(std::strlen(label), cap - 1);
    std::memcpy(out, label, n);
    out[n] = '\0';
    return n;
}

bool change_drive(int drive) {
    return _chdrive(drive) == 0;
}

size_t drive_directory(int drive, char *out, size_t cap) {
    if (_getdcwd(drive, out, static_cast<int>(cap)) == nullptr) {
        if (errno != ERANGE) errno = ENODEV;
        return 0;
    }
    return std::strlen(out);
}

// ---- Directory search -------------------------------------------------------------------------

struct DirectorySearch {
    HANDLE handle;
    WIN32_FIND_DATAA data;
};

namespace {

void take_entry(DirectorySearch &search, FoundEntry &entry) {
    entry.name = search.data.cFileName;
    entry.directory = (search.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

DirectorySearch *find_first(const char *pattern, FoundEntry &entry) {
    if (std::strlen(pattern) > MAX_PATH) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    auto *search = static_cast<DirectorySearch *>(allocate(sizeof(DirectorySearch)));
    if (search == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    search->handle = FindFirstFileA(pattern, &search->data);
    if (search->handle == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        release(search);
        errno = code == ERROR_NO_MORE_FILES ? ENOENT : os_error_to_crt_errno(code);
        return nullptr;
    }
    ++g_open_searches;
    take_entry(*search, entry);
    return search;
}

bool find_next(DirectorySearch *search, FoundEntry &entry) {
    if (search == nullptr || !FindNextFileA(search->handle, &search->data)) return false;
    take_entry(*search, entry);
    return true;
}

void find_close(DirectorySearch *search) {
    if (search == nullptr) return;
    FindClose(search->handle);
    release(search);
    --g_open_searches;
}

size_t open_search_count() {
    return g_open_searches;
}

} // namespace brtl::platform
