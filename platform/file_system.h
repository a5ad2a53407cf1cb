// The file system as the file-system builtins see it, on POSIX: status, attributes, directories,
// renaming and deleting, and the directory search with the wildcards of the dialect (matched
// without regard to case, "*.*" naming every file). Names are in the dialect's form, translated
// by to_system_path; failures leave the system's errno value in errno.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::platform {

// File attribute bits.
namespace attribute {
constexpr int kReadOnly = 1;
constexpr int kHidden = 2;
constexpr int kSystem = 4;
constexpr int kVolume = 8;
constexpr int kDirectory = 16;
constexpr int kArchive = 32;
} // namespace attribute

struct FileStatus {
    int64_t size;
    int64_t modified; // seconds since 1970, UTC
    bool directory;
};
// _stat of a name; false with errno set (a name the dialect refuses is not found).
bool file_status(const char *name, FileStatus &status);
// The local time of a stamp from file_status, broken down as localtime does.
struct LocalTime {
    int year, month, day, hour, minute, second, weekday; // year - 1900, month 0-11, as struct tm
};
bool local_time(int64_t stamp, LocalTime &out);

// The attribute bits of a name: read-only (no owner write permission), hidden (the name starts with
// "."), directory, archive (a file of any other kind); -1 with errno set.
int get_attributes(const char *name);
// Sets the attribute bits of a name: only read-only can be set or cleared here (the owner's write
// permission); the other bits are what the file is. False with errno set.
bool set_attributes(const char *name, int bits);

bool change_directory(const char *path);
bool make_directory(const char *path);
bool remove_directory(const char *path);
// remove() of a file: a directory is never removed (EISDIR).
bool remove_file(const char *name);
// rename(): false with errno set; a file already at the new name is not replaced (EEXIST).
bool rename_file(const char *old_name, const char *new_name);
// Whether the drive (1 is A:) exists. POSIX has the one drive C: (3).
bool drive_exists(int drive);
// The volume label of the drive a path names (its current drive when it names none), cut to
// cap - 1 bytes and NUL-terminated: its length, 0 when the drive has none. POSIX file systems have
// no label for the drive.
size_t volume_label(const char *path, char *out, size_t cap);
// _chdrive: makes the drive the current one; false when there is no such drive.
bool change_drive(int drive);
// _getdcwd: the current directory of the drive (0: the current drive) as a full path in the
// dialect's form: its length, or 0 with errno set (ENODEV for a drive that does not exist,
// ERANGE when the path does not fit cap bytes with its NUL).
size_t drive_directory(int drive, char *out, size_t cap);
// The current directory as a full path in the dialect's form ("C:\home\u"): its length, or 0
// with errno ERANGE when it does not fit cap bytes with its NUL.
size_t current_directory(char *out, size_t cap);

// A directory search in progress.
struct DirectorySearch;
struct FoundEntry {
    const char *name; // valid until the next call with the search
    bool directory;
};
// Starts a directory search of a pattern in the dialect's form: a directory part and a name pattern
// of
// "*" and "?". Null when the directory cannot be read or nothing matches (search then ended);
// errno is then ENOMEM when memory ran out.
DirectorySearch *find_first(const char *pattern, FoundEntry &entry);
// The next entry of a search: false when nothing more matches.
bool find_next(DirectorySearch *search, FoundEntry &entry);
// Ends a search; a null search is nothing.
void find_close(DirectorySearch *search);
// The number of searches open (for leak checks).
size_t open_search_count();

// True when a name matches a pattern of "*" (any run of characters) and "?" (one character),
// ignoring the case of ASCII letters; "*.*" matches every name.
bool wildcard_match(const char *pattern, const char *name);

} // namespace brtl::platform
