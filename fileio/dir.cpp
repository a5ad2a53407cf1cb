// Dir_: the directory listing, which keeps its place between calls until nothing more matches,
// a new pattern is given, or Reset or the end of a nested run restarts it.
#include <cerrno>
#include <cstring>

#include "brtl/fileio.h"
#include "fileio/dir_listing.h"
#include "fileio/names.h"
#include "fileio/paths.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

constexpr int32_t kLargestAttributes = 63;

// Where the name part of a pattern starts: after its last "\", else 0.
size_t name_part_start(const char *p, size_t n) {
    size_t start = 0;
    for (size_t i = 0; i < n;) {
        size_t len = platform::char_length(p + i, n - i);
        if (len == 1 && p[i] == '\\') start = i + 1;
        i += len;
    }
    return start;
}

// Where a completion "*.*" goes: after the last "\" or, without one, the last ":"; 0 when the
// pattern has neither (the whole pattern is replaced).
size_t completion_start(const char *p, size_t n) {
    size_t backslash = 0, colon = 0;
    for (size_t i = 0; i < n;) {
        size_t len = platform::char_length(p + i, n - i);
        if (len == 1 && p[i] == '\\') backslash = i + 1;
        if (len == 1 && p[i] == ':') colon = i + 1;
        i += len;
    }
    return backslash != 0 ? backslash : colon;
}

void append(NameArgument &pattern, const char *text) {
    size_t n = pattern.size(), k = std::strlen(text);
    std::memcpy(pattern.text() + n, text, k);
    pattern.resize(n + k);
}

// The name part cut at its first blank, or completed with "*.*" when it is empty or
// blank. False after trap 52 for a name part that starts with a blank.
bool shape_name_part(NameArgument &pattern, bool continuing) {
    char *p = pattern.text();
    size_t n = pattern.size();
    size_t start = name_part_start(p, n);
    size_t first = start;
    while (first < n && p[first] == ' ')
        ++first;
    if (first < n) {
        if (first != start) {
            runtime::raise_trap(BI_TRAP_BAD_FILE_NAME_OR_NUMBER);
            return false;
        }
        const char *blank = static_cast<const char *>(std::memchr(p + first, ' ', n - first));
        if (blank != nullptr) pattern.resize(static_cast<size_t>(blank - p));
        return true;
    }
    if (!continuing) {
        pattern.resize(completion_start(p, n));
        append(pattern, "*.*");
    }
    return true;
}

bool ends_with(const NameArgument &pattern, const char *tail) {
    size_t n = std::strlen(tail);
    return pattern.size() >= n &&
           std::memcmp(const_cast<NameArgument &>(pattern).text() + pattern.size() - n, tail, n) ==
               0;
}

// A pattern that names a directory lists what is in it.
void complete_directory(NameArgument &pattern) {
    const char *p = pattern.text();
    char last = p[pattern.size() - 1];
    bool dots = std::strcmp(p, ".") == 0 || ends_with(pattern, "..");
    if (dots)
        append(pattern, "\\*.*");
    else if (last == '\\' || last == '/' || last == ':')
        append(pattern, "*.*");
}

// The next entry of the listing that is not a directory (any entry when the search
// attributes include directories); the empty string when there is none, which ends it.
BiString next_match(DirListing &listing, platform::FoundEntry entry, bool have_entry) {
    bool directories = (listing.attributes & platform::attribute::kDirectory) != 0;
    while (true) {
        if (!have_entry) have_entry = platform::find_next(listing.search, entry);
        if (!have_entry) {
            listing.end();
            return runtime::empty_string(true);
        }
        if (directories || !entry.directory) return runtime::temporary_copy(entry.name);
        have_entry = false;
    }
}

BiString dir(BiString argument, int32_t attributes, int32_t continue_flag) {
    DirListing &listing = dir_listing();
    NameArgument pattern(argument);
    if (!pattern.accept()) return runtime::empty_string(true);
    bool continuing = continue_flag != 0;
    bool &restart = dir_restart_flag();
    if (restart) listing.none = true;
    if (continuing && listing.none) return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    if (!continuing) listing.attributes = attributes;
    bool restarted = restart;
    restart = false;
    if (!shape_name_part(pattern, continuing)) return runtime::empty_string(true);
    bool volume = (listing.attributes & platform::attribute::kVolume) != 0;
    if (!volume && !check_path(pattern.text(), true, false)) return runtime::empty_string(true);
    if (restarted) { // a listing of an earlier run is closed, not continued
        platform::find_close(listing.search);
        listing.search = nullptr;
    }
    if (pattern.size() == 0 && listing.none) return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    if (listing.attributes > kLargestAttributes || listing.attributes < 0)
        return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    if (pattern.size() == 0) return next_match(listing, {}, false);

    listing.end();
    complete_directory(pattern);
    if (volume) { // the label of the pattern's drive (POSIX has none)
        listing.none = false;
        char label[kMaxName + 1];
        size_t n = platform::volume_label(pattern.text(), label, sizeof label);
        return n == 0 ? runtime::empty_string(true) : runtime::temporary_copy(label, n);
    }
    platform::FoundEntry entry{};
    errno = 0;
    listing.search = platform::find_first(pattern.text(), entry);
    if (listing.search == nullptr) // nothing matches, unless the search could not be had at all
        return errno == ENOMEM ? runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY)
                               : runtime::empty_string(true);
    listing.none = false;
    return next_match(listing, entry, true);
}

} // namespace

DirListing &dir_listing() {
    static DirListing listing;
    return listing;
}

void end_dir_listing() {
    dir_listing().end();
}

BiString list_directory(BiString pattern, int32_t attributes, int32_t continue_flag) {
    return dir(pattern, attributes, continue_flag);
}

} // namespace brtl::fileio

extern "C" {

BRTL_API BiString ZbiBuiltIn_Dir_(BiString pattern, int32_t attributes, int32_t continue_flag) {
    return brtl::fileio::dir(pattern, attributes, continue_flag);
}

} // extern "C"
