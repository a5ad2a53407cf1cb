// The runtime's errno numbering and the operating-system error codes of the dialect's platform,
// from the system's errno values.
#include <cerrno>
#include <cstdint>

#include "platform/files.h"

namespace brtl::platform {

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

} // namespace brtl::platform
