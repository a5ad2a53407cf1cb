// Name, Kill and MBKill: renaming a file and deleting the files a pattern matches. Neither
// touches a file open in the file table, and Kill never deletes a directory.
#include <cerrno>
#include <cstring>

#include "brtl/fileio.h"
#include "fileio/dir_listing.h"
#include "fileio/names.h"
#include "fileio/paths.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

// Deletes one file by name; false after a trap.
bool delete_file(const char *name) {
    size_t n = std::strlen(name);
    if (n > kMaxName) {
        runtime::raise_file_trap(BI_TRAP_BAD_FILE_NAME, subject_of(name, n));
        return false;
    }
    if (open_in_file_table(name)) {
        runtime::raise_file_trap(BI_TRAP_FILE_ALREADY_OPEN, subject_of(name, n));
        return false;
    }
    if (platform::remove_file(name)) return true;
    int e = platform::crt_errno(errno);
    if (e == platform::crt::kEINVAL) e = platform::crt::kENOENT;
    if (e == platform::crt::kENOENT)
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, subject_of(name, n));
    else
        runtime::raise_trap(e == platform::crt::kEACCES ? BI_TRAP_PATH_FILE_ACCESS
                                                        : BI_TRAP_ILLEGAL_CALL);
    return false;
}

constexpr size_t kNoPrefix = static_cast<size_t>(-1);

// The directory prefix of a pattern: up to its last "\" (without it; empty for a name in the
// root) or, without one, up to and including its first ":"; kNoPrefix when it has neither.
size_t prefix_length(const char *p, size_t n) {
    size_t backslash = n, colon = n;
    for (size_t i = 0; i < n;) {
        size_t len = platform::char_length(p + i, n - i);
        if (len == 1 && p[i] == '\\') backslash = i;
        if (len == 1 && p[i] == ':' && colon == n) colon = i + 1;
        i += len;
    }
    if (backslash != n) return backslash;
    return colon != n ? colon : kNoPrefix;
}

// Deletes prefix "\" name (the bare name without a prefix); a drive prefix ("C:") is joined
// without "\", so that the name stays in the drive's current directory.
bool delete_listed(const char *prefix, size_t prefix_n, BiString listed) {
    runtime::OwnedString name(listed);
    char joined[2 * kMaxName + 2];
    size_t n = 0;
    bool bare = prefix_n == kNoPrefix;
    if (bare) prefix_n = 0;
    if (prefix_n + 1 + name.size() >= sizeof joined) {
        runtime::raise_file_trap(BI_TRAP_BAD_FILE_NAME, subject_of(name.data(), name.size()));
        return false;
    }
    std::memcpy(joined, prefix, prefix_n);
    n = prefix_n;
    if (!bare && (prefix_n == 0 || prefix[prefix_n - 1] != ':')) joined[n++] = '\\';
    std::memcpy(joined + n, name.data(), name.size());
    joined[n + name.size()] = '\0';
    return delete_file(joined);
}

bool all_blank(const char *p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] != ' ') return false;
    return true;
}

void kill(BiString argument) {
    NameArgument pattern(argument);
    if (!pattern.accept()) return;
    if (!check_path(pattern.text(), true, false)) return;
    const char *p = pattern.text();
    size_t prefix_n = prefix_length(p, pattern.size());
    if (pattern.size() == 0) {
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, pattern.subject());
        return;
    }
    if (all_blank(p, pattern.size())) {
        delete_file(p);
        return;
    }
    BiString copy{};
    if (!runtime::try_temporary_copy(p, pattern.size(),
                                     copy)) { // never an empty pattern: that lists all
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    const uint64_t traps_before = runtime::traps_raised();
    BiString listed = list_directory(copy, 0, 0);
    if (runtime::traps_raised() != traps_before)
        return; // the listing ran out of memory: that one trap
    if (runtime::length_of(listed) == 0) {
        delete_file(p); // nothing matches: the pattern as one name, which does not exist
        return;
    }
    while (runtime::length_of(listed) != 0) {
        if (!delete_listed(p, prefix_n, listed)) return;
        listed = list_directory(runtime::empty_string(true), 0, 1);
    }
}

void name(BiString old_argument, BiString new_argument) {
    NameArgument old_name(old_argument), new_name(new_argument);
    if (!old_name.accept() || !new_name.accept()) return;
    if (old_name.size() == 0) {
        runtime::raise_trap(BI_TRAP_PATH_NOT_FOUND);
        return;
    }
    bool old_open = open_in_file_table(old_name.text());
    if (!platform::exists(old_name.text())) {
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, old_name.subject());
        return;
    }
    if (new_name.size() == 0) {
        runtime::raise_trap(BI_TRAP_PATH_NOT_FOUND);
        return;
    }
    bool new_open = open_in_file_table(new_name.text());
    if (platform::exists(new_name.text())) {
        runtime::raise_file_trap(BI_TRAP_FILE_ALREADY_EXISTS, new_name.subject());
        return;
    }
    if (old_open || new_open) {
        runtime::raise_file_trap(BI_TRAP_FILE_ALREADY_OPEN, old_name.subject());
        return;
    }
    if (platform::rename_file(old_name.text(), new_name.text())) return;
    switch (platform::crt_errno(errno)) {
    case platform::crt::kENOENT:
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, old_name.subject());
        break;
    case platform::crt::kEACCES:
    case platform::crt::kEEXIST: // taken between the check and the rename
        runtime::raise_file_trap(BI_TRAP_FILE_ALREADY_EXISTS, new_name.subject());
        break;
    case platform::crt::kEXDEV:
        runtime::raise_trap(BI_TRAP_RENAME_ACROSS_DISKS);
        break;
    default:
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    }
}

} // namespace

} // namespace brtl::fileio

extern "C" {

BRTL_API void ZbiBuiltIn_Name(BiString old_name, BiString new_name) {
    brtl::fileio::name(old_name, new_name);
}

BRTL_API void ZbiBuiltIn_Kill(BiString pattern) {
    brtl::fileio::kill(pattern);
}

// The directory prefix is found character by character in every code page, so the multibyte
// form of Kill is Kill itself.
BRTL_API void ZbiBuiltIn_MBKill(BiString pattern) {
    brtl::fileio::kill(pattern);
}

} // extern "C"
