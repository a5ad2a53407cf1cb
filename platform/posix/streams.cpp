// The buffered streams on the descriptors of the share table: buffering, writes and flushes
// that go on after an interruption, the close that ends a share entry, and line reads.
#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/descriptor_list.h"
#include "platform/files.h"
#include "platform/io_faults.h"
#include "platform/memory.h"
#include "platform/posix/share_table.h"

namespace brtl::platform {

FILE *fdopen(int descriptor, const char *mode) {
    char plain[4];
    size_t n = 0;
    for (const char *p = mode; *p != '\0' && n < sizeof plain - 1; ++p)
        if (*p != 'b') plain[n++] = *p;
    plain[n] = '\0';
    return ::fdopen(descriptor, plain);
}

void set_full_buffering(FILE *stream, size_t size) {
    buffer_stream(stream, find_entry(fileno(stream)), size);
}

size_t write_bytes(FILE *stream, const char *bytes, size_t n) {
    size_t done = 0;
    while (done < n) {
        if (file_call_fails()) {
            if (errno == EINTR) continue;
            return done;
        }
        done += fwrite_unlocked(bytes + done, 1, n - done, stream);
        if (done < n) {
            if (errno != EINTR) return done;
            clearerr_unlocked(stream);
        }
    }
    return done;
}

int flush_stream(FILE *stream) {
    for (;;) {
        if (file_call_fails()) {
            if (errno == EINTR) continue;
            return EOF;
        }
        if (fflush(stream) == 0) return 0;
        if (errno != EINTR) return EOF;
        clearerr(stream);
    }
}

// The stream is closed even when the switch makes the call fail, as fclose frees the stream
// whatever it reports.
int close_stream(FILE *stream) {
    ShareEntry *entry = unlink_entry(fileno(stream));
    int result = fclose(stream);
    if (file_call_fails()) result = EOF;
    int saved = errno;
    if (entry != nullptr) {
        release(entry->buffer);
        std::free(entry->line);
        release(entry);
    }
    errno = saved;
    return result;
}

namespace {

#if defined(__GLIBC__)
// The bytes read ahead in a glibc stream that is reading: its read pointer and end, which
// getc_unlocked itself reads and moves. Empty for a stream that is not reading.
bool read_ahead(FILE *stream, char **start, char **end) {
    if (__freading(stream) == 0) return false;
    *start = stream->_IO_read_ptr;
    *end = stream->_IO_read_end;
    return *start < *end;
}
#else
bool read_ahead(FILE *, char **, char **) {
    return false;
}
#endif

// A whole line that already sits in the stream's buffer, taken from there without a copy: the
// read position moves past its line feed as reading it byte by byte would. False when the
// buffer holds no line feed.
bool buffered_line(FILE *stream, Line &line) {
    char *start = nullptr, *end = nullptr;
    if (!read_ahead(stream, &start, &end)) return false;
    auto *feed = static_cast<char *>(std::memchr(start, '\n', static_cast<size_t>(end - start)));
    if (feed == nullptr) return false;
#if defined(__GLIBC__)
    stream->_IO_read_ptr = feed + 1;
#endif
    line = Line{start, static_cast<size_t>(feed + 1 - start), Line::Read};
    return true;
}

} // namespace

size_t buffered_bytes(FILE *stream, const char **bytes) {
    char *start = nullptr, *end = nullptr;
    if (!read_ahead(stream, &start, &end)) return 0;
    *bytes = start;
    return static_cast<size_t>(end - start);
}

void skip_buffered(FILE *stream, size_t n) {
#if defined(__GLIBC__)
    stream->_IO_read_ptr += n;
#else
    for (size_t i = 0; i < n; ++i)
        read_byte(stream);
#endif
}

namespace {

// getdelim of a line into the block kept in the stream's share entry (a stream this layer did
// not open shares one process-wide block).
Line read_delimited(FILE *stream) {
    static char *g_other_line = nullptr;
    static size_t g_other_capacity = 0;
    ShareEntry *entry = find_entry(fileno(stream));
    char **line = entry != nullptr ? &entry->line : &g_other_line;
    size_t *capacity = entry != nullptr ? &entry->line_capacity : &g_other_capacity;
    errno = 0;
    ssize_t n = getdelim(line, capacity, '\n', stream);
    if (n >= 0) return Line{*line, static_cast<size_t>(n), Line::Read};
    if (errno == ENOMEM) return Line{nullptr, 0, Line::NoMemory};
    if (!ferror(stream)) return Line{nullptr, 0, Line::End};
    return Line{nullptr, 0, Line::Failed};
}

} // namespace

Line read_line(FILE *stream) {
    for (;;) {
        if (file_call_fails()) {
            if (errno == EINTR) continue;
            return Line{nullptr, 0, Line::Failed};
        }
        Line line{};
        if (buffered_line(stream, line)) return line; // within the stream's buffer
        line = read_delimited(stream);
        if (line.status != Line::Failed || errno != EINTR) return line;
        clearerr(stream); // interrupted: the bytes read so far stay in the stream's buffer
    }
}

bool readable(FILE *stream) {
    int descriptor = fileno(stream);
    if (const ShareEntry *e = find_entry(descriptor)) return (e->access & kShareRead) != 0;
    int flags = fcntl(descriptor, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_WRONLY;
}

} // namespace brtl::platform
