// Starting programs with WinExec, which splits the command line and searches for the program
// itself; its result is the launcher's (above 31 for a started program).
#include "platform/process.h"

#include <windows.h>

namespace brtl::pf {

int32_t start_program(const char *command_line, int32_t window_style) {
    UINT result = WinExec(command_line, static_cast<UINT>(window_style));
    return result > static_cast<UINT>(kLaunchFailed) ? static_cast<int32_t>(result)
           : result == kLaunchOutOfResources || result == kLaunchFileNotFound ||
                   result == kLaunchPathNotFound || result == kLaunchAccessDenied ||
                   result == kLaunchBadFormat
               ? static_cast<int32_t>(result)
               : kLaunchFailed;
}

} // namespace brtl::pf
