// Starting programs with WinExec, which splits the command line and searches for the program
// itself; its result is the launcher's (above 31 for a started program).
#include "platform/process.h"

#include <windows.h>

namespace brtl::platform {

int32_t start_program(const char *command_line, int32_t window_style) {
    auto result = static_cast<int32_t>(WinExec(command_line, static_cast<UINT>(window_style)));
    switch (result) {
    case kLaunchOutOfResources:
    case kLaunchFileNotFound:
    case kLaunchPathNotFound:
    case kLaunchAccessDenied:
    case kLaunchBadFormat:
        return result;
    default:
        return result >= kLaunchProcessBase ? result : kLaunchFailed;
    }
}

} // namespace brtl::platform
