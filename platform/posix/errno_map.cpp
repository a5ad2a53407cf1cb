// The system's errno values in the runtime's numbering, with the operating-system error code of
// the dialect's platform that stands for each.
#include <cerrno>
#include <cstdint>

#include "platform/errno_system.h"
#include "platform/files.h"

namespace brtl::platform {

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

} // namespace brtl::platform
