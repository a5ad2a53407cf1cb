#include "platform/files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/io_faults.h"
#include "platform/memory.h"

namespace brtl::pf {

// ---- errno numbers and operating-system error codes ---------------------------------------------

namespace {

uint32_t g_last_os_error = 0;
uint32_t g_dos_errno = 0;

struct ErrnoMapping {
    int crt;
    uint32_t os;
};

ErrnoMapping map_system_errno(int e) {
    switch (e) {
    case 0:
        return {0, 0};
    case ENOENT:
        return {crt::kENOENT, oserr::kFileNotFound};
    case ENOTDIR: // a file where a directory should be: the path is not found
        return {crt::kENOENT, oserr::kPathNotFound};
    case ELOOP: // a name that cannot be resolved is not found
        return {crt::kENOENT, oserr::kPathNotFound};
    case ENAMETOOLONG: // the runtime reports an over-long name as not found
        return {crt::kENOENT, oserr::kFilenameTooLong};
    case EMFILE:
        return {crt::kEMFILE, oserr::kTooManyOpenFiles};
    case ENFILE:
        return {crt::kENFILE, oserr::kTooManyOpenFiles};
    case EACCES:
        return {crt::kEACCES, oserr::kAccessDenied};
    case EPERM:
        return {crt::kEPERM, oserr::kAccessDenied};
    case EISDIR: // a directory is not opened as a file: access is denied
        return {crt::kEACCES, oserr::kAccessDenied};
    case EROFS:
        return {crt::kEROFS, oserr::kWriteProtect};
    case EBADF:
        return {crt::kEBADF, oserr::kInvalidHandle};
    case ENOMEM:
        return {crt::kENOMEM, oserr::kNotEnoughMemory};
    case ENOEXEC:
        return {crt::kENOEXEC, oserr::kBadFormat};
    case EXDEV:
        return {crt::kEXDEV, oserr::kNotSameDevice};
#ifdef ENOMEDIUM
    case ENOMEDIUM: // no medium in the drive: the runtime's "not ready"
        return {crt::kEACCES, oserr::kNotReady};
#endif
    case EBUSY:
    case ETXTBSY:
        return {crt::kEACCES, oserr::kSharingViolation};
    case EAGAIN:
        return {crt::kEAGAIN, oserr::kLockViolation};
    case EEXIST:
        return {crt::kEEXIST, oserr::kFileExists};
    case EINVAL:
        return {crt::kEINVAL, oserr::kInvalidParameter};
    case EPIPE:
        return {crt::kEPIPE, oserr::kBrokenPipe};
    case ENOSPC:
        return {crt::kENOSPC, oserr::kDiskFull};
#ifdef EDQUOT
    case EDQUOT: // a full quota is a full disk to the program
        return {crt::kENOSPC, oserr::kDiskFull};
#endif
    case ENOTEMPTY:
        return {crt::kENOTEMPTY, oserr::kDirNotEmpty};
    case EIO:
        return {crt::kEIO, oserr::kIoDevice};
    case ENXIO:
        return {crt::kENXIO, oserr::kInvalidDrive};
    case ENODEV:
        return {crt::kENODEV, oserr::kInvalidDrive};
    case E2BIG:
        return {crt::kE2BIG, oserr::kInvalidParameter};
    case ECHILD:
        return {crt::kECHILD, oserr::kInvalidParameter};
    case EDEADLK:
        return {crt::kEDEADLOCK, oserr::kLockViolation};
    case ENOLCK:
        return {crt::kENOLCK, oserr::kLockViolation};
    case ENOSYS:
        return {crt::kENOSYS, oserr::kInvalidParameter};
    case EILSEQ:
        return {crt::kEILSEQ, oserr::kInvalidParameter};
    default:
        // The numbers below 35 are the same in both numberings.
        if (e > 0 && e < 35 && e != 15 && e != 26) return {e, oserr::kInvalidParameter};
        return {crt::kEINVAL, oserr::kInvalidParameter};
    }
}

bool in_range(uint32_t code, uint32_t low, uint32_t high) {
    return code >= low && code <= high;
}

} // namespace

int crt_errno(int os_errno) {
    ErrnoMapping m = map_system_errno(os_errno);
    if (os_errno != 0) g_last_os_error = m.os;
    return m.crt;
}

uint32_t last_os_error() {
    return g_last_os_error;
}
void set_last_os_error(uint32_t code) {
    g_last_os_error = code;
}

int os_error_to_crt_errno(uint32_t code) {
    g_dos_errno = code;
    switch (code) {
    case 2:
    case 3:
    case 15:
    case 18:
    case 53:
    case 67:
    case 161:
    case 206:
        return crt::kENOENT;
    case 4:
        return crt::kEMFILE;
    case 5:
    case 16:
    case 33:
    case 65:
    case 82:
    case 83:
    case 108:
    case 132:
    case 158:
    case 167:
        return crt::kEACCES;
    case 6:
    case 114:
    case 130:
        return crt::kEBADF;
    case 7:
    case 8:
    case 9:
    case 1816:
        return crt::kENOMEM;
    case 10:
        return crt::kE2BIG;
    case 11:
        return crt::kENOEXEC;
    case 17:
        return crt::kEXDEV;
    case 80:
    case 183:
        return crt::kEEXIST;
    case 89:
    case 164:
    case 215:
        return crt::kEAGAIN;
    case 109:
        return crt::kEPIPE;
    case 112:
        return crt::kENOSPC;
    case 128:
    case 129:
        return crt::kECHILD;
    case 145:
        return crt::kENOTEMPTY;
    default:
        if (in_range(code, 19, 36)) return crt::kEACCES;
        if (in_range(code, 188, 202)) return crt::kENOEXEC;
        return crt::kEINVAL;
    }
}

uint32_t dos_errno() {
    return g_dos_errno;
}

// ---- Names -----------------------------------------------------------------------------------

namespace {

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// A bounded text being built; remembers when something did not fit.
struct PathBuilder {
    static constexpr size_t kCapacity = PATH_MAX + 2 * (kMaxFullPath + 1);
    char text[kCapacity];
    size_t length = 0;
    size_t root = 0; // bytes that ".." never removes
    bool overflow = false;

    void append(const char *p, size_t n) {
        if (length + n >= kCapacity) {
            overflow = true;
            return;
        }
        std::memcpy(text + length, p, n);
        length += n;
        text[length] = '\0';
    }
    // Where the last component starts (its separator), walking whole characters so that a trail
    // byte of a double-byte character is never taken for a separator; root when there is none.
    size_t last_separator() const {
        size_t last = root;
        for (size_t i = root; i < length; i += pf::char_length(text + i, 2))
            if (text[i] == '\\') last = i;
        return last;
    }
    // Adds one component of a name: "." is nothing, ".." drops the last component.
    void component(const char *p, size_t n) {
        if (n == 0 || (n == 1 && p[0] == '.')) return;
        if (n == 2 && p[0] == '.' && p[1] == '.') {
            length = last_separator();
            text[length] = '\0';
            return;
        }
        append("\\", 1);
        append(p, n);
    }
    // Adds every component of a name whose separators are "\" or "/" (character-aware, so a
    // trail byte of a double-byte character is never a separator).
    void components(const char *p) {
        while (*p != '\0') {
            while (is_separator(*p))
                ++p;
            const char *start = p;
            while (*p != '\0' && !is_separator(*p))
                p += pf::char_length(p, 2);
            component(start, static_cast<size_t>(p - start));
        }
    }
};

bool is_drive_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The current directory as components after "C:"; false (errno set) when it cannot be read.
bool add_current_directory(PathBuilder &path) {
    char cwd[PATH_MAX + 1];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
        if (errno == ERANGE) path.overflow = true;
        return errno == ERANGE;
    }
    path.components(cwd);
    return true;
}

} // namespace

size_t full_path(const char *name, char *out, size_t cap) {
    PathBuilder path;
    const char *p = name;
    if (is_drive_letter(p[0]) && p[1] == ':') {
        char drive[2] = {static_cast<char>(pf::to_upper(static_cast<unsigned char>(p[0]))), ':'};
        path.append(drive, 2);
        path.root = 2;
        p += 2;
        // A drive-relative name is taken from the current directory of that drive: the process's
        // own for C:, the root for a drive that does not exist here.
        if (!is_separator(*p) && drive[0] == 'C' && !add_current_directory(path)) return 0;
    } else if (is_separator(p[0]) && is_separator(p[1])) {
        path.append("\\\\", 2); // a network name keeps its form; no system path names it
        path.root = 2;
        p += 2;
    } else {
        path.append("C:", 2);
        path.root = 2;
        if (!is_separator(*p) && !add_current_directory(path)) return 0;
    }
    path.components(p);
    size_t n = std::strlen(name);
    bool trailing = n > 0 && is_separator(name[n - 1]) && path.length > path.root;
    if (path.length == path.root || trailing) path.append("\\", 1);
    if (path.overflow) {
        if (cap > 0) out[0] = '\0';
        return cap > PathBuilder::kCapacity ? cap : PathBuilder::kCapacity;
    }
    if (path.length >= cap) {
        if (cap > 0) out[0] = '\0';
        return path.length;
    }
    std::memcpy(out, path.text, path.length + 1);
    return path.length;
}

bool refused_in_name(char c) {
    return (c > 0 && c < 32) || std::strchr("*?<>|\"", c) != nullptr;
}

bool to_system_path(const char *path, char *out, size_t cap) {
    const char *p = path;
    if (is_drive_letter(p[0]) && p[1] == ':') {
        if (pf::to_upper(static_cast<unsigned char>(p[0])) != 'C') {
            errno = ENOENT;
            return false;
        }
        p += 2;
        if (*p == '\0') p = "\\";
    } else if (is_separator(p[0]) && is_separator(p[1])) {
        errno = ENOENT;
        return false;
    }
    size_t n = 0;
    while (*p != '\0') {
        size_t len = is_separator(*p) ? 1 : pf::char_length(p, 2);
        if (len == 1 && refused_in_name(*p)) {
            errno = EINVAL; // the dialect's platform has no such name
            return false;
        }
        if (n + len >= cap) {
            errno = ENAMETOOLONG;
            return false;
        }
        if (is_separator(*p))
            out[n] = '/';
        else
            std::memcpy(out + n, p, len);
        n += len;
        p += len;
    }
    if (cap == 0) return false;
    out[n] = '\0';
    return true;
}

bool exists(const char *path) {
    char system_path[PATH_MAX + 1];
    return to_system_path(path, system_path, sizeof system_path) && access(system_path, F_OK) == 0;
}

// ---- Descriptors and their share entries
// ---------------------------------------------------------

namespace {

constexpr int kRead = 1;
constexpr int kWrite = 2;

// One descriptor this layer opened: the file it is on, what it may do and what it denies to
// later opens, and the stream buffer it owns.
struct ShareEntry {
    int descriptor;
    dev_t device;
    ino_t inode;
    int access;
    int deny;
    void *buffer;
    char *line; // the last line read_line gave (a C library block)
    size_t line_capacity;
    ShareEntry *next;
};

ShareEntry *g_entries = nullptr;

ShareEntry *find_entry(int descriptor) {
    for (ShareEntry *e = g_entries; e != nullptr; e = e->next)
        if (e->descriptor == descriptor) return e;
    return nullptr;
}

// Unlinks the entry of a descriptor and returns it (null when there is none).
ShareEntry *unlink_entry(int descriptor) {
    for (ShareEntry **link = &g_entries; *link != nullptr; link = &(*link)->next) {
        if ((*link)->descriptor == descriptor) {
            ShareEntry *e = *link;
            *link = e->next;
            return e;
        }
    }
    return nullptr;
}

bool conflicts(const ShareEntry &a, const ShareEntry &b) {
    return (a.access & b.deny) != 0 || (b.access & a.deny) != 0;
}

int denied_by(int share_mode) {
    switch (share_mode) {
    case share::kDenyReadWrite:
        return kRead | kWrite;
    case share::kDenyWrite:
        return kWrite;
    case share::kDenyRead:
        return kRead;
    case share::kDenyNone:
        return 0;
    default:
        return -1;
    }
}

int close_keeping_errno(int descriptor) {
    int saved = errno;
    close(descriptor);
    errno = saved;
    return -1;
}

} // namespace

int sopen(const char *path, int flags, int share_mode, int permission) {
    int deny = denied_by(share_mode);
    int access_mode = flags & 3;
    if (deny < 0 || access_mode == 3) {
        errno = EINVAL;
        return -1;
    }
    char system_path[PATH_MAX + 1];
    if (!to_system_path(path, system_path, sizeof system_path)) return -1;

    int os_flags = O_CLOEXEC | O_NOCTTY;
    os_flags |= access_mode == 0 ? O_RDONLY : access_mode == 1 ? O_WRONLY : O_RDWR;
    if (flags & open_flag::kAppend) os_flags |= O_APPEND;
    if (flags & open_flag::kCreat) os_flags |= O_CREAT;
    if (flags & open_flag::kExcl) os_flags |= O_EXCL;
    mode_t mode = 0;
    if (permission & kPermRead) mode |= 0444;
    if (permission & kPermWrite) mode |= 0222;

    auto *entry = static_cast<ShareEntry *>(allocate(sizeof(ShareEntry)));
    if (entry == nullptr) {
        errno = ENOMEM;
        return -1;
    }
    int descriptor;
    do {
        descriptor = file_call_fails() ? -1 : open(system_path, os_flags, mode);
    } while (descriptor < 0 && errno == EINTR);
    struct stat info {};
    if (descriptor >= 0 && fstat(descriptor, &info) != 0)
        descriptor = close_keeping_errno(descriptor);
    if (descriptor >= 0 && S_ISDIR(info.st_mode)) {
        errno = EACCES; // a directory is not a file the runtime opens
        descriptor = close_keeping_errno(descriptor);
    }
    if (descriptor < 0) {
        int saved = errno;
        release(entry);
        errno = saved;
        return -1;
    }
    *entry = ShareEntry{};
    entry->descriptor = descriptor;
    entry->device = info.st_dev;
    entry->inode = info.st_ino;
    entry->access = access_mode == 0 ? kRead : access_mode == 1 ? kWrite : kRead | kWrite;
    entry->deny = deny;
    for (const ShareEntry *e = g_entries; e != nullptr; e = e->next) {
        if (e->device == entry->device && e->inode == entry->inode && conflicts(*e, *entry)) {
            close(descriptor);
            release(entry);
            errno = EACCES; // a sharing violation
            return -1;
        }
    }
    if ((flags & open_flag::kTrunc) && S_ISREG(info.st_mode) && ftruncate(descriptor, 0) != 0) {
        int saved = errno;
        close(descriptor);
        release(entry);
        errno = saved;
        return -1;
    }
    entry->next = g_entries;
    g_entries = entry;
    return descriptor;
}

FILE *fdopen(int descriptor, const char *mode) {
    char plain[4];
    size_t n = 0;
    for (const char *p = mode; *p != '\0' && n < sizeof plain - 1; ++p)
        if (*p != 'b') plain[n++] = *p;
    plain[n] = '\0';
    return ::fdopen(descriptor, plain);
}

void close_descriptor(int descriptor) {
    if (ShareEntry *e = unlink_entry(descriptor)) {
        std::free(e->line);
        release(e);
    }
    close(descriptor);
}

void set_full_buffering(FILE *stream, size_t size) {
    ShareEntry *entry = find_entry(fileno(stream));
    void *buffer = entry != nullptr && entry->buffer == nullptr ? allocate(size) : nullptr;
    if (buffer != nullptr && setvbuf(stream, static_cast<char *>(buffer), _IOFBF, size) == 0) {
        entry->buffer = buffer;
        return;
    }
    release(buffer);
    setvbuf(stream, nullptr, _IOFBF, size);
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

size_t open_descriptor_count() {
    size_t n = 0;
    for (const ShareEntry *e = g_entries; e != nullptr; e = e->next)
        ++n;
    return n;
}

Line read_line(FILE *stream) {
    // The line lives in the stream's share entry; a stream this layer did not open shares one
    // process-wide block.
    static char *g_other_line = nullptr;
    static size_t g_other_capacity = 0;
    ShareEntry *entry = find_entry(fileno(stream));
    char **line = entry != nullptr ? &entry->line : &g_other_line;
    size_t *capacity = entry != nullptr ? &entry->line_capacity : &g_other_capacity;
    for (;;) {
        if (file_call_fails()) {
            if (errno == EINTR) continue;
            return Line{nullptr, 0, Line::Failed};
        }
        errno = 0;
        ssize_t n = getdelim(line, capacity, '\n', stream);
        if (n >= 0) return Line{*line, static_cast<size_t>(n), Line::Read};
        if (errno == ENOMEM) return Line{nullptr, 0, Line::NoMemory};
        if (!ferror(stream)) return Line{nullptr, 0, Line::End};
        if (errno != EINTR) return Line{nullptr, 0, Line::Failed};
        clearerr(stream); // interrupted: the bytes read so far stay in the stream's buffer
    }
}

bool readable(FILE *stream) {
    int descriptor = fileno(stream);
    if (const ShareEntry *e = find_entry(descriptor)) return (e->access & kRead) != 0;
    int flags = fcntl(descriptor, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_WRONLY;
}

} // namespace brtl::pf
