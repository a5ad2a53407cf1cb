// Files as the platform C runtime of the dialect presents them: names in the dialect's form
// ("C:\dir\name", "\" separators), the full path of a name, opening with the runtime's open
// flags and share modes, buffered streams on descriptors, and the runtime's errno numbering and
// operating-system error codes. On POSIX the one drive "C:" is the root "/", names are
// translated only here, at the system boundary, and the share modes are enforced among the files
// this library has open (posix/errno_map.cpp, paths.cpp, share_table.cpp, streams.cpp); on
// Windows the names and share modes are the system's own (windows/files.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace brtl::platform {

// ---- errno numbers of the dialect's C runtime ------------------------------------------------

namespace crt {
constexpr int kEPERM = 1;
constexpr int kENOENT = 2;
constexpr int kEIO = 5;
constexpr int kENXIO = 6;
constexpr int kE2BIG = 7;
constexpr int kENOEXEC = 8;
constexpr int kEBADF = 9;
constexpr int kECHILD = 10;
constexpr int kEAGAIN = 11;
constexpr int kENOMEM = 12;
constexpr int kEACCES = 13;
constexpr int kEEXIST = 17;
constexpr int kEXDEV = 18;
constexpr int kENODEV = 19;
constexpr int kENOTDIR = 20;
constexpr int kEISDIR = 21;
constexpr int kEINVAL = 22;
constexpr int kENFILE = 23;
constexpr int kEMFILE = 24;
constexpr int kENOSPC = 28;
constexpr int kEROFS = 30;
constexpr int kEPIPE = 32;
constexpr int kEDEADLOCK = 36;
constexpr int kENAMETOOLONG = 38;
constexpr int kENOLCK = 39;
constexpr int kENOSYS = 40;
constexpr int kENOTEMPTY = 41;
constexpr int kEILSEQ = 42;
} // namespace crt

// Operating-system error codes (the dialect's platform numbering) this layer reports.
namespace oserr {
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kTooManyOpenFiles = 4;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kBadFormat = 11;
constexpr uint32_t kInvalidDrive = 15;
constexpr uint32_t kNotSameDevice = 17;
constexpr uint32_t kWriteProtect = 19;
constexpr uint32_t kNotReady = 21;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kLockViolation = 33;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kBrokenPipe = 109;
constexpr uint32_t kDiskFull = 112;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kFilenameTooLong = 206;
constexpr uint32_t kIoDevice = 1117;
} // namespace oserr

// The dialect's errno number for the system's errno value os_errno. It also records the
// operating-system error code of that failure for last_os_error().
int crt_errno(int os_errno);
// The operating-system error code of the last failure recorded by crt_errno() (0 before any).
uint32_t last_os_error();
// Sets that code, as a failing system call does (tests use it to reach the "not ready" case).
void set_last_os_error(uint32_t code);
// The runtime's standard table from an operating-system error code to its errno number; the
// code is also stored as the runtime's _doserrno.
int os_error_to_crt_errno(uint32_t code);
// The code stored by the last os_error_to_crt_errno().
uint32_t dos_errno();

// ---- Names -------------------------------------------------------------------------------

// The longest full path the file builtins accept, without its NUL.
constexpr size_t kMaxFullPath = 255;

// The full path of a name in the dialect's form ("\" or "/" separators): "C:\dir\name", with "."
// and ".." resolved and repeated separators collapsed; a relative name is taken from the current
// directory, a name starting with one separator from the root. Writes at most cap bytes (NUL
// included) and returns the length of the whole path, which is cap or more when it did not fit
// (out then holds no partial path). Returns 0 with errno set when the current directory cannot
// be read.
size_t full_path(const char *name, char *out, size_t cap);

// The system path of a full path in the dialect's form: "C:\a\b" is "/a/b". False (errno ENOENT)
// for a path on another drive or a network path, (ENAMETOOLONG) when it does not fit, and
// (EINVAL) for a name holding a character the dialect's platform refuses in names.
bool to_system_path(const char *path, char *out, size_t cap);

// The characters no name may hold: * ? < > | " and the control characters. Wildcards therefore
// never name a file literally.
bool refused_in_name(char c);

// _access(path, 0): true when something exists at the full path.
bool exists(const char *path);

// ---- Opening ------------------------------------------------------------------------------

// The runtime's open flags and share modes.
namespace open_flag {
constexpr int kRdOnly = 0x0000;
constexpr int kWrOnly = 0x0001;
constexpr int kRdWr = 0x0002;
constexpr int kAppend = 0x0008;
constexpr int kCreat = 0x0100;
constexpr int kTrunc = 0x0200;
constexpr int kExcl = 0x0400;
constexpr int kBinary = 0x8000;
} // namespace open_flag
namespace share {
constexpr int kDenyReadWrite = 0x10;
constexpr int kDenyWrite = 0x20;
constexpr int kDenyRead = 0x30;
constexpr int kDenyNone = 0x40;
} // namespace share
// _S_IREAD and _S_IWRITE: permission bits of a new file.
constexpr int kPermRead = 0x0100;
constexpr int kPermWrite = 0x0080;

// _sopen of a full path: the descriptor, or -1 with errno set. A request that conflicts with the
// access or the share mode of a descriptor this layer has open on the same file fails with
// EACCES (a sharing violation); a directory fails with EACCES as well. Truncation happens only
// after the share check has passed.
int sopen(const char *path, int flags, int share_mode, int permission);
// _fdopen: a buffered stream on a descriptor from sopen, or null with errno set (the descriptor
// then stays open).
FILE *fdopen(int descriptor, const char *mode);
// Closes a descriptor from sopen that has no stream.
void close_descriptor(int descriptor);
// setvbuf(stream, null, _IOFBF, size): a fully buffered stream whose buffer holds size bytes.
// When no buffer can be had, the stream keeps the C library's own.
void set_full_buffering(FILE *stream, size_t size);
// fclose of a stream from fdopen, which also ends its share entry and frees its buffer. Returns
// 0, or EOF with errno set when writing out the buffer or closing failed.
int close_stream(FILE *stream);
// The number of descriptors this layer has open (for leak checks).
size_t open_descriptor_count();

// ---- Streams --------------------------------------------------------------------------------

#if !defined(_WIN32)
// getc of a byte the stream must read from the file: one file call for the fault switch. A read
// interrupted by a signal is tried again; EOF after a failed read, which read_error() then
// tells.
int read_byte_from_file(FILE *stream);
#endif
// getc without the stream lock: the library is called from one thread. A byte that waits in a
// glibc stream's buffer is taken here, as getc_unlocked takes it. (The C runtime of Windows keeps
// its buffer to itself: there every byte comes from _getc_nolock, outside the fault switch.)
inline int read_byte(FILE *stream) {
#if defined(_WIN32)
    return _getc_nolock(stream);
#elif defined(__GLIBC__)
    if (stream->_IO_read_ptr < stream->_IO_read_end)
        return static_cast<unsigned char>(*stream->_IO_read_ptr++);
    return read_byte_from_file(stream);
#else
    return read_byte_from_file(stream);
#endif
}
// fwrite of n bytes without the stream lock; the number of bytes written (fewer, with errno
// set, when the system reported a failure). A write interrupted by a signal goes on with what
// is left.
size_t write_bytes(FILE *stream, const char *bytes, size_t n);
// fflush: 0, or EOF with errno set; an interrupted flush is tried again.
int flush_stream(FILE *stream);

// One line of a stream: the bytes up to and including a line feed, or up to the end of the
// file. The bytes stay valid until the next read of the stream or its close.
struct Line {
    const char *data;
    size_t length;
    // End: the file ended before any byte; Failed: the system could not read (errno set).
    enum Status { Read, End, NoMemory, Failed } status;
};
Line read_line(FILE *stream);

// True when the stream can be read (it was not opened write-only).
bool readable(FILE *stream);
// The bytes read ahead that wait in the stream's buffer (none when that cannot be told): the
// next read_byte calls give them without asking the system. skip_buffered moves the read
// position past n of them (n no more than buffered_bytes gave), as n read_byte calls would.
size_t buffered_bytes(FILE *stream, const char **bytes);
void skip_buffered(FILE *stream, size_t n);

} // namespace brtl::platform
