// Files on Windows: full paths from GetFullPathNameA, opening with the C runtime's _sopen (its
// share modes are the system's), and its buffered streams. A small table keeps, per descriptor
// this layer opened, what it may do and the blocks its stream owns.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/descriptor_list.h"
#include "platform/files.h"
#include "platform/io_faults.h"
#include "platform/memory.h"

namespace brtl::platform {

namespace {

struct Descriptor {
    int descriptor;
    bool readable;
    void *buffer; // the stream's buffer (this layer's allocator)
    char *line;   // the last line read_line gave (a C library block)
    size_t line_capacity;
    Descriptor *next;
};

Descriptor *g_descriptors = nullptr;

Descriptor *find_descriptor(int descriptor) {
    return find_by_descriptor(g_descriptors, descriptor);
}

Descriptor *unlink_descriptor(int descriptor) {
    return unlink_by_descriptor(g_descriptors, descriptor);
}

void free_descriptor(Descriptor *d) {
    if (d == nullptr) return;
    release(d->buffer);
    std::free(d->line);
    release(d);
}

// The fault switch makes a call fail as the system would; an interrupted call (EINTR, which the
// switch can report as on POSIX) is tried again.
bool injected_failure() {
    while (file_call_fails())
        if (errno != EINTR) return true;
    return false;
}

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// Appends one byte to a growing line block; false when memory runs out.
bool append_byte(char *&line, size_t &capacity, size_t length, char c) {
    if (length + 1 >= capacity) {
        size_t grown = capacity < 128 ? 128 : capacity * 2;
        auto *moved = static_cast<char *>(std::realloc(line, grown));
        if (moved == nullptr) return false;
        line = moved;
        capacity = grown;
    }
    line[length] = c;
    line[length + 1] = '\0';
    return true;
}

} // namespace

size_t full_path(const char *name, char *out, size_t cap) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(name, sizeof buffer, buffer, nullptr);
    if (n == 0 && std::strlen(name) > kMaxFullPath) { // longer than any name the system takes
        if (cap > 0) out[0] = '\0';
        return std::max(std::strlen(name), cap);
    }
    if (n == 0) {
        errno = os_error_to_crt_errno(GetLastError());
        return 0;
    }
    if (n >= sizeof buffer) return n; // longer than any path the runtime accepts
    if (n >= cap) {
        if (cap > 0) out[0] = '\0';
        return n;
    }
    std::memcpy(out, buffer, size_t{n} + 1);
    return n;
}

bool refused_in_name(char c) {
    return (c > 0 && c < 32) || std::strchr("*?<>|\"", c) != nullptr;
}

bool to_system_path(const char *path, char *out, size_t cap) {
    size_t n = 0;
    for (const char *p = path; *p != '\0';) {
        size_t len = is_separator(*p) ? 1 : char_length(p, 2);
        if (len == 1 && refused_in_name(*p)) {
            errno = EINVAL; // the system has no such name
            return false;
        }
        if (n + len >= cap) {
            errno = ENAMETOOLONG;
            return false;
        }
        std::memcpy(out + n, p, len);
        n += len;
        p += len;
    }
    if (cap == 0) return false;
    out[n] = '\0';
    return true;
}

bool exists(const char *path) {
    char system_path[MAX_PATH + 1];
    return to_system_path(path, system_path, sizeof system_path) &&
           GetFileAttributesA(system_path) != INVALID_FILE_ATTRIBUTES;
}

int sopen(const char *path, int flags, int share_mode, int permission) {
    const bool known_share = share_mode == share::kDenyReadWrite ||
                             share_mode == share::kDenyWrite || share_mode == share::kDenyRead ||
                             share_mode == share::kDenyNone;
    if ((flags & 3) == 3 || !known_share) {
        errno = EINVAL;
        return -1;
    }
    char system_path[MAX_PATH + 1];
    if (!to_system_path(path, system_path, sizeof system_path)) return -1;
    auto *entry = static_cast<Descriptor *>(allocate(sizeof(Descriptor)));
    if (entry == nullptr) {
        errno = ENOMEM;
        return -1;
    }
    int descriptor = -1;
    if (!injected_failure())
        descriptor = _sopen(system_path, flags | _O_NOINHERIT, share_mode, permission);
    if (descriptor < 0) {
        int saved = errno;
        release(entry);
        errno = saved;
        return -1;
    }
    *entry = Descriptor{};
    entry->descriptor = descriptor;
    entry->readable = (flags & 3) != open_flag::kWrOnly;
    entry->next = g_descriptors;
    g_descriptors = entry;
    return descriptor;
}

// A "b" in the mode makes the descriptor binary as well: the C runtime translates line ends
// below the stream, by the descriptor's mode.
FILE *fdopen(int descriptor, const char *mode) {
    if (std::strchr(mode, 'b') != nullptr) _setmode(descriptor, _O_BINARY);
    return _fdopen(descriptor, mode);
}

void close_descriptor(int descriptor) {
    free_descriptor(unlink_descriptor(descriptor));
    _close(descriptor);
}

size_t open_descriptor_count() {
    size_t n = 0;
    for (const Descriptor *d = g_descriptors; d != nullptr; d = d->next)
        ++n;
    return n;
}

void set_full_buffering(FILE *stream, size_t size) {
    buffer_stream(stream, find_descriptor(_fileno(stream)), size);
}

// The stream is closed even when the switch makes the call fail, as fclose frees the stream
// whatever it reports.
int close_stream(FILE *stream) {
    Descriptor *entry = unlink_descriptor(_fileno(stream));
    int result = fclose(stream);
    if (file_call_fails()) result = EOF;
    int saved = errno;
    free_descriptor(entry);
    errno = saved;
    return result;
}

size_t write_bytes(FILE *stream, const char *bytes, size_t n) {
    if (injected_failure()) return 0;
    return std::fwrite(bytes, 1, n, stream);
}

int flush_stream(FILE *stream) {
    if (injected_failure()) return EOF;
    return fflush(stream) == 0 ? 0 : EOF;
}

Line read_line(FILE *stream) {
    // The line lives in the stream's entry; a stream this layer did not open shares one
    // process-wide block.
    static char *g_other_line = nullptr;
    static size_t g_other_capacity = 0;
    Descriptor *entry = find_descriptor(_fileno(stream));
    char *&line = entry != nullptr ? entry->line : g_other_line;
    size_t &capacity = entry != nullptr ? entry->line_capacity : g_other_capacity;
    if (injected_failure()) return Line{nullptr, 0, Line::Failed};
    size_t length = 0;
    for (int c = _getc_nolock(stream); c != EOF; c = _getc_nolock(stream)) {
        if (!append_byte(line, capacity, length, static_cast<char>(c)))
            return Line{nullptr, 0, Line::NoMemory};
        ++length;
        if (c == '\n') break;
    }
    if (length > 0) return Line{line, length, Line::Read};
    return Line{nullptr, 0, ferror(stream) ? Line::Failed : Line::End};
}

// The C runtime of Windows keeps its stream buffer to itself: no byte is seen waiting there, and
// the readers take each byte through read_byte.
size_t buffered_bytes(FILE *, const char **) {
    return 0;
}

void skip_buffered(FILE *stream, size_t n) {
    for (size_t i = 0; i < n; ++i)
        read_byte(stream);
}

bool readable(FILE *stream) {
    const Descriptor *d = find_descriptor(_fileno(stream));
    return d == nullptr || d->readable;
}

} // namespace brtl::platform
