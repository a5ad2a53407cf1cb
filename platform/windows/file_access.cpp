// Random access on the C runtime's streams in 64-bit positions, and region locks on the file's
// system handle (LockFileEx, which takes 64-bit offsets and lengths where _locking takes 32-bit
// ones; both fail at once rather than wait when asked to).
#include "platform/file_access.h"

#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/io_faults.h"

namespace brtl::platform {

bool seek_to(FILE *stream, int64_t offset) {
    return _fseeki64(stream, offset, SEEK_SET) == 0;
}

int64_t tell(FILE *stream) {
    return _ftelli64(stream);
}

int64_t stream_length(FILE *stream) {
    int64_t here = _ftelli64(stream);
    if (here < 0 || _fseeki64(stream, 0, SEEK_END) != 0) return -1;
    int64_t end = _ftelli64(stream);
    int saved = errno;
    if (_fseeki64(stream, here, SEEK_SET) != 0) return -1;
    errno = saved;
    return end;
}

namespace {
// The errno of a read that the fault switch failed, for the read_error() that follows it.
thread_local int t_injected_read_error = 0;

// The region of a lock: length 0 is every byte from `from` on, however large the file grows.
struct Region {
    OVERLAPPED start;
    DWORD low;
    DWORD high;
};

Region region_of(int64_t from, int64_t length) {
    Region r{};
    r.start.Offset = static_cast<DWORD>(static_cast<uint64_t>(from) & 0xFFFFFFFFu);
    r.start.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(from) >> 32);
    uint64_t n = length == 0 ? ~uint64_t{0} - static_cast<uint64_t>(from) : uint64_t(length);
    r.low = static_cast<DWORD>(n & 0xFFFFFFFFu);
    r.high = static_cast<DWORD>(n >> 32);
    return r;
}

HANDLE handle_of(int descriptor) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

bool failed_with_last_error() {
    DWORD code = GetLastError();
    errno = code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? EACCES
                                                                     : os_error_to_crt_errno(code);
    return false;
}

} // namespace

size_t read_bytes(FILE *stream, void *out, size_t n) {
    while (file_call_fails()) {
        if (errno == EINTR) continue; // an interrupted read is tried again
        t_injected_read_error = errno;
        return 0;
    }
    return std::fread(out, 1, n, stream);
}

bool read_error(FILE *stream) {
    int injected = t_injected_read_error;
    t_injected_read_error = 0;
    if (injected == 0 && ferror(stream) == 0) return false;
    if (injected != 0) errno = injected;
    clearerr(stream);
    if (errno == 0) errno = EIO;
    return true;
}

bool lock_region(int descriptor, int64_t from, int64_t length) {
    HANDLE h = handle_of(descriptor);
    if (h == INVALID_HANDLE_VALUE) return false;
    Region r = region_of(from, length);
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, r.low, r.high,
                   &r.start))
        return true;
    return failed_with_last_error();
}

bool unlock_region(int descriptor, int64_t from, int64_t length) {
    HANDLE h = handle_of(descriptor);
    if (h == INVALID_HANDLE_VALUE) return false;
    Region r = region_of(from, length);
    if (UnlockFileEx(h, 0, r.low, r.high, &r.start)) return true;
    return failed_with_last_error();
}

} // namespace brtl::platform
