// The runtime's errno numbering and the operating-system error codes of the dialect's platform:
// the last failure's code and the runtime's standard table from codes to errno numbers.
#include <cstdint>

#include "platform/errno_system.h"
#include "platform/files.h"

namespace brtl::platform {

namespace {

uint32_t g_last_os_error = 0;
uint32_t g_dos_errno = 0;

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
