// The C runtime's errno values are the dialect's own numbering; the operating-system code of a
// failure is the one the runtime left in _doserrno, or the usual code of the errno value.
#include <cerrno>
#include <cstdlib>

#include "platform/errno_system.h"
#include "platform/files.h"

namespace brtl::platform {

namespace {

uint32_t usual_code(int e) {
    switch (e) {
    case crt::kENOENT:
        return oserr::kFileNotFound;
    case crt::kEMFILE:
    case crt::kENFILE:
        return oserr::kTooManyOpenFiles;
    case crt::kEACCES:
        return oserr::kAccessDenied;
    case crt::kEBADF:
        return oserr::kInvalidHandle;
    case crt::kENOMEM:
        return oserr::kNotEnoughMemory;
    case crt::kEEXIST:
        return oserr::kFileExists;
    case crt::kEXDEV:
        return oserr::kNotSameDevice;
    case crt::kENOSPC:
        return oserr::kDiskFull;
    case crt::kENOTEMPTY:
        return oserr::kDirNotEmpty;
    case crt::kEPIPE:
        return oserr::kBrokenPipe;
    default:
        return oserr::kInvalidParameter;
    }
}

} // namespace

ErrnoMapping map_system_errno(int e) {
    if (e == 0) return {0, 0};
    // The runtime reports an over-long name as not found.
    if (e == ENAMETOOLONG) return {crt::kENOENT, oserr::kFilenameTooLong};
    unsigned long code = _doserrno;
    _doserrno = 0;
    return {e, code != 0 ? static_cast<uint32_t>(code) : usual_code(e)};
}

} // namespace brtl::platform
