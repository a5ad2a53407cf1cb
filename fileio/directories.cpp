// ChDrive, ChDir, MkDir, RmDir and CurDir_: the drives of the platform (on POSIX the one drive
// "C:", the root of the file system) and their directories.
#include <cerrno>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "fileio/names.h"
#include "fileio/paths.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

constexpr int kCrtEBUSY = 16; // the runtime's errno of a directory in use

// The drive a text selects: 0 for the current one (an empty text), the drive number of a first
// letter, or -1 after trap 5 for any other first character.
int drive_of(const runtime::OwnedString &text) {
    if (text.size() == 0 || text.data()[0] == '\0') return 0;
    auto first = static_cast<unsigned char>(text.data()[0]);
    if (!platform::is_alpha(first)) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return -1;
    }
    return platform::to_upper(first) - 64;
}

void ch_drive(BiString argument) {
    runtime::OwnedString text(argument);
    int drive = drive_of(text);
    if (drive > 0 && !platform::change_drive(drive))
        runtime::raise_trap(BI_TRAP_DEVICE_UNAVAILABLE);
}

void ch_dir(BiString argument) {
    NameArgument path(argument);
    if (!path.accept(BI_TRAP_PATH_NOT_FOUND)) return;
    if (!check_path(path.text(), false, false)) return;
    if (std::strcmp(path.text(), "..\\") == 0) path.resize(2);
    if (path.size() == 0 || !platform::change_directory(path.text()))
        runtime::raise_file_trap(BI_TRAP_PATH_NOT_FOUND, path.subject());
}

void mk_dir(BiString argument) {
    runtime::OwnedString path(argument);
    auto fail = [&](int32_t trap) {
        runtime::raise_file_trap(trap, subject_of(path.data(), path.size()));
    };
    if (path.size() == 0) return fail(BI_TRAP_PATH_NOT_FOUND);
    runtime::ZrBuffer<char> text(static_cast<char *>(ZrMalloc(path.size() + 1)));
    if (!text) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    std::memcpy(text.get(), path.data(), path.size());
    text.get()[path.size()] = '\0';
    if (std::strlen(text.get()) != path.size()) return fail(BI_TRAP_PATH_NOT_FOUND);
    if (!platform::make_directory(text.get())) {
        int e = platform::crt_errno(errno);
        fail(e == platform::crt::kEACCES || e == platform::crt::kEEXIST ? BI_TRAP_PATH_FILE_ACCESS
                                                                        : BI_TRAP_PATH_NOT_FOUND);
    }
}

void rm_dir(BiString argument) {
    NameArgument path(argument);
    if (!path.accept()) return;
    if (!check_path(path.text(), false, false)) return;
    if (path.size() == 0)
        return (void)runtime::raise_file_trap(BI_TRAP_PATH_NOT_FOUND, path.subject());
    if (platform::remove_directory(path.text())) return;
    int e = platform::crt_errno(errno);
    if (e == platform::crt::kEACCES || e == kCrtEBUSY)
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
    else
        runtime::raise_file_trap(BI_TRAP_PATH_NOT_FOUND, path.subject());
}

BiString cur_dir(BiString argument) {
    runtime::OwnedString text(argument);
    int drive = drive_of(text);
    if (drive < 0) return runtime::empty_string(true);
    char buffer[kMaxName + 1];
    size_t n = platform::drive_directory(drive, buffer, sizeof buffer);
    if (n == 0) return runtime::empty_after_trap(BI_TRAP_DEVICE_UNAVAILABLE);
    return runtime::temporary_copy(buffer, n);
}

} // namespace

} // namespace brtl::fileio

using namespace brtl::fileio;

extern "C" {

BRTL_API void ZbiBuiltIn_ChDrive(BiString drive) {
    ch_drive(drive);
}

BRTL_API void ZbiBuiltIn_ChDir(BiString path) {
    ch_dir(path);
}

BRTL_API void ZbiBuiltIn_MkDir(BiString path) {
    mk_dir(path);
}

BRTL_API void ZbiBuiltIn_RmDir(BiString path) {
    rm_dir(path);
}

BRTL_API BiString ZbiBuiltIn_CurDir_(BiString drive) {
    return cur_dir(drive);
}

} // extern "C"
