// Shell: starts a program from a command line and turns the launcher's failures into traps.
#include <cstring>

#include "brtl/desktop.h"
#include "brtl/host.h"
#include "desktop/program_path.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/process.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::desktop {

namespace {

constexpr int32_t kFirstStyle = 1; // SW_SHOWNORMAL
constexpr int32_t kLastStyle = 9;  // SW_RESTORE

// The program name of the command line: the text up to its first blank or tab.
size_t program_name_length(const char *command) {
    const char *end = ZrStrPBrk(command, " \t");
    return end == nullptr ? std::strlen(command) : static_cast<size_t>(end - command);
}

int32_t trap_of_launch(const char *command, int32_t r) {
    switch (r) {
    case platform::kLaunchOutOfResources:
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        break;
    case platform::kLaunchFileNotFound:
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND,
                                 fileio::subject_of(command, program_name_length(command)));
        break;
    case platform::kLaunchPathNotFound:
        check_program_path(command, program_name_length(command));
        break;
    default:
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        break;
    }
    return -1;
}

} // namespace

} // namespace brtl::desktop

extern "C" {

BRTL_API int32_t ZbiRunProgram(const char *command, int32_t style) {
    if (command == nullptr) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return -1;
    }
    if (brtl::platform::is_space(static_cast<unsigned char>(command[0]))) {
        brtl::runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, brtl::runtime::empty_string());
        return -1;
    }
    int32_t r = brtl::platform::start_program(command, style);
    if (r >= brtl::platform::kLaunchProcessBase) return r;
    return brtl::desktop::trap_of_launch(command, r);
}

BRTL_API int32_t ZbiBuiltIn_Shell(BiString command, int32_t style) {
    brtl::runtime::OwnedString owned(command);
    if (style < brtl::desktop::kFirstStyle || style > brtl::desktop::kLastStyle ||
        owned.size() == 0) {
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return -1;
    }
    return ZbiRunProgram(owned.data(), style);
}

} // extern "C"
