#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/memory.h"

namespace brtl::platform {

namespace {

// A name translated for the system, in a buffer of its own.
struct SystemPath {
    char text[PATH_MAX + 1];
    bool ok;
    explicit SystemPath(const char *name) : ok(to_system_path(name, text, sizeof text)) {}
};

// The last component of a system path ("" for the root).
const char *last_component(const char *path) {
    const char *slash = std::strrchr(path, '/');
    return slash == nullptr ? path : slash + 1;
}

bool is_dot_name(const char *name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

int attributes_of(const struct stat &info, const char *name) {
    int bits = 0;
    if ((info.st_mode & S_IWUSR) == 0) bits |= attribute::kReadOnly;
    if (name[0] == '.' && !is_dot_name(name)) bits |= attribute::kHidden;
    bits |= S_ISDIR(info.st_mode) ? attribute::kDirectory : attribute::kArchive;
    return bits;
}

size_t g_open_searches = 0;

} // namespace

bool file_status(const char *name, FileStatus &status) {
    SystemPath path(name);
    if (!path.ok) {
        if (errno == EINVAL) errno = ENOENT; // a wildcard names no file
        return false;
    }
    struct stat info {};
    if (stat(path.text, &info) != 0) return false;
    status.size = info.st_size;
    status.modified = info.st_mtim.tv_sec;
    status.directory = S_ISDIR(info.st_mode);
    return true;
}

bool local_time(int64_t stamp, LocalTime &out) {
    time_t t = static_cast<time_t>(stamp);
    struct tm parts {};
    if (localtime_r(&t, &parts) == nullptr) return false;
    out = {parts.tm_year, parts.tm_mon, parts.tm_mday, parts.tm_hour,
           parts.tm_min,  parts.tm_sec, parts.tm_wday};
    return true;
}

int get_attributes(const char *name) {
    SystemPath path(name);
    struct stat info {};
    if (!path.ok || stat(path.text, &info) != 0) return -1;
    return attributes_of(info, last_component(path.text));
}

bool set_attributes(const char *name, int bits) {
    SystemPath path(name);
    struct stat info {};
    if (!path.ok || stat(path.text, &info) != 0) return false;
    mode_t mode = info.st_mode & 07777;
    mode = (bits & attribute::kReadOnly) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return chmod(path.text, mode) == 0;
}

bool change_directory(const char *path) {
    SystemPath system(path);
    return system.ok && chdir(system.text) == 0;
}

bool make_directory(const char *path) {
    SystemPath system(path);
    return system.ok && mkdir(system.text, 0777) == 0;
}

bool remove_directory(const char *path) {
    SystemPath system(path);
    return system.ok && rmdir(system.text) == 0;
}

bool remove_file(const char *name) {
    SystemPath path(name);
    return path.ok && unlink(path.text) == 0; // unlink never removes a directory
}

bool rename_file(const char *old_name, const char *new_name) {
    SystemPath from(old_name);
    if (!from.ok) return false;
    SystemPath to(new_name);
    if (!to.ok) return false;
    // Without replacing what is at the new name, as the dialect's platform renames.
    if (renameat2(AT_FDCWD, from.text, AT_FDCWD, to.text, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    struct stat info {};
    if (lstat(to.text, &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(from.text, to.text) == 0;
}

size_t current_directory(char *out, size_t cap) {
    size_t n = full_path(".", out, cap);
    if (n == 0) return 0;
    if (n >= cap) {
        errno = ERANGE;
        return 0;
    }
    if (n > 3 && out[n - 1] == '\\') out[--n] = '\0'; // "C:\" keeps its separator
    return n;
}

namespace {
constexpr int kDriveC = 3;
} // namespace

bool drive_exists(int drive) {
    return drive == kDriveC;
}

size_t volume_label(const char *, char *out, size_t cap) {
    if (cap > 0) out[0] = '\0';
    return 0;
}

bool change_drive(int drive) {
    return drive == kDriveC;
}

size_t drive_directory(int drive, char *out, size_t cap) {
    if (drive != 0 && drive != kDriveC) {
        errno = ENODEV;
        return 0;
    }
    return current_directory(out, cap);
}

// ---- Directory search -------------------------------------------------------------------------

struct DirectorySearch {
    DIR *directory;
    char *pattern;       // the name pattern (a block of its own)
    char path[PATH_MAX]; // the directory's system path, for entries of unknown type
    size_t path_length;
};

namespace {

// Splits a dialect pattern into its directory (a system path) and its name pattern.
bool split_pattern(const char *pattern, DirectorySearch &search, const char *&name) {
    size_t n = std::strlen(pattern), cut = 0;
    for (size_t i = 0; i < n;) {
        size_t len = char_length(pattern + i, n - i);
        if (len == 1 && (pattern[i] == '\\' || pattern[i] == '/' || (pattern[i] == ':' && i == 1)))
            cut = i + 1;
        i += len;
    }
    name = pattern + cut;
    char directory[PATH_MAX];
    if (cut >= sizeof directory) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(directory, pattern, cut);
    directory[cut] = '\0';
    if (cut == 0) std::memcpy(directory, ".", 2);
    if (cut == 2 && directory[1] == ':') std::memcpy(directory + 2, ".", 2); // "C:" is "C:."
    if (!to_system_path(directory, search.path, sizeof search.path)) return false;
    search.path_length = std::strlen(search.path);
    return true;
}

bool is_directory_entry(const DirectorySearch &search, const struct dirent &entry) {
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return entry.d_type == DT_DIR;
    char full[PATH_MAX + NAME_MAX + 2];
    size_t name_length = std::strlen(entry.d_name);
    if (search.path_length + name_length + 2 > sizeof full) return false;
    std::memcpy(full, search.path, search.path_length);
    full[search.path_length] = '/';
    std::memcpy(full + search.path_length + 1, entry.d_name, name_length + 1);
    struct stat info {};
    return stat(full, &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

DirectorySearch *find_first(const char *pattern, FoundEntry &entry) {
    auto *search = static_cast<DirectorySearch *>(allocate(sizeof(DirectorySearch)));
    if (search == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    search->directory = nullptr;
    search->pattern = nullptr;
    const char *name = nullptr;
    if (split_pattern(pattern, *search, name)) {
        size_t n = std::strlen(name);
        search->pattern = static_cast<char *>(allocate(n + 1));
        if (search->pattern == nullptr)
            errno = ENOMEM;
        else
            std::memcpy(search->pattern, name, n + 1);
        if (search->pattern != nullptr) search->directory = opendir(search->path);
    }
    if (search->directory == nullptr) {
        int saved = errno;
        release(search->pattern);
        release(search);
        errno = saved;
        return nullptr;
    }
    ++g_open_searches;
    if (find_next(search, entry)) return search;
    find_close(search);
    return nullptr;
}

bool find_next(DirectorySearch *search, FoundEntry &entry) {
    if (search == nullptr) return false;
    while (const struct dirent *e = readdir(search->directory)) {
        if (!wildcard_match(search->pattern, e->d_name)) continue;
        entry.name = e->d_name;
        entry.directory = is_directory_entry(*search, *e);
        return true;
    }
    return false;
}

void find_close(DirectorySearch *search) {
    if (search == nullptr) return;
    closedir(search->directory);
    release(search->pattern);
    release(search);
    --g_open_searches;
}

size_t open_search_count() {
    return g_open_searches;
}

} // namespace brtl::platform
