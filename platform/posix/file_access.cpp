#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/io_faults.h"

namespace brtl::platform {

static_assert(sizeof(off_t) == 8, "file positions are 64 bits");

bool seek_to(FILE *stream, int64_t offset) {
    return fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t tell(FILE *stream) {
    return ftello(stream);
}

int64_t stream_length(FILE *stream) {
    off_t here = ftello(stream);
    if (here < 0 || fseeko(stream, 0, SEEK_END) != 0) return -1;
    off_t end = ftello(stream);
    int saved = errno;
    if (fseeko(stream, here, SEEK_SET) != 0) return -1;
    errno = saved;
    return end;
}

namespace {
// The errno of a read that the fault switch failed, for the read_error() that follows it.
thread_local int t_injected_read_error = 0;
} // namespace

size_t read_bytes(FILE *stream, void *out, size_t n) {
    size_t done = 0;
    while (done < n) {
        if (file_call_fails()) {
            if (errno == EINTR) continue;
            t_injected_read_error = errno;
            return done;
        }
        done += fread_unlocked(static_cast<char *>(out) + done, 1, n - done, stream);
        if (done == n || !ferror_unlocked(stream) || errno != EINTR) break;
        clearerr_unlocked(stream);
    }
    return done;
}

int read_byte_from_file(FILE *stream) {
    for (;;) {
        if (file_call_fails()) {
            if (errno == EINTR) continue;
            t_injected_read_error = errno;
            return EOF;
        }
        int c = getc_unlocked(stream);
        if (c != EOF || !ferror_unlocked(stream) || errno != EINTR) return c;
        clearerr_unlocked(stream);
    }
}

bool read_error(FILE *stream) {
    int injected = t_injected_read_error;
    t_injected_read_error = 0;
    if (injected == 0 && ferror_unlocked(stream) == 0) return false;
    if (injected != 0) errno = injected;
    clearerr_unlocked(stream);
    if (errno == 0) errno = EIO;
    return true;
}

namespace {

// Open-file-description locks where the system has them: they conflict between two opens of
// one file in the same process too, and closing another descriptor of the file keeps them.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

bool set_lock(int descriptor, short type, int64_t from, int64_t length) {
    struct flock region {};
    region.l_type = type;
    region.l_whence = SEEK_SET;
    region.l_start = static_cast<off_t>(from);
    region.l_len = static_cast<off_t>(length);
    region.l_pid = 0;
    int result;
    do {
        result = fcntl(descriptor, kSetLock, &region);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return true;
    if (errno == EAGAIN) errno = EACCES; // held by another open: the runtime's lock violation
    return false;
}

} // namespace

bool lock_region(int descriptor, int64_t from, int64_t length) {
    int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0) return false;
    // A file opened for reading only can hold a shared lock, which still keeps writers out.
    short type = (flags & O_ACCMODE) == O_RDONLY ? F_RDLCK : F_WRLCK;
    return set_lock(descriptor, type, from, length);
}

bool unlock_region(int descriptor, int64_t from, int64_t length) {
    return set_lock(descriptor, F_UNLCK, from, length);
}

} // namespace brtl::platform
