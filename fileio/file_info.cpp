// FileLen, FileDateTime, GetAttr, SetAttr, IsDir and FileCopy: what a name's file is, and a
// copy of it.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/fileio.h"
#include "brtl/host.h"
#include "fileio/names.h"
#include "fileio/paths.h"
#include "fileio/table.h"
#include "platform/file_access.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

constexpr size_t kCopyBuffer = 65536;
constexpr int kSettableAttributes = 7; // read-only, hidden, system (with archive, 32)

// ProcessFileError of a failed system call on a name.
void name_error(NameArgument &name, int system_errno) {
    ProcessFileError(platform::crt_errno(system_errno), name.subject());
}

// The failure of an attribute call: the system's error code through the runtime's table.
void attribute_error(NameArgument &name, int system_errno) {
    platform::crt_errno(system_errno); // records the system's error code
    ProcessFileError(platform::os_error_to_crt_errno(platform::last_os_error()), name.subject());
}

int32_t file_len(BiString argument) {
    NameArgument name(argument);
    if (!name.accept()) return 0;
    platform::FileStatus status{};
    if (!platform::file_status(name.text(), status)) {
        name_error(name, errno);
        return 0;
    }
    if (status.size > INT32_MAX) {
        runtime::raise_trap(BI_TRAP_OVERFLOW); // a file of 2 GiB or more has no 32-bit length
        return 0;
    }
    return static_cast<int32_t>(status.size);
}

VARIANT *file_date_time(VARIANT *result, BiString argument) {
    VariantInit(result);
    NameArgument name(argument);
    if (!name.accept()) return result;
    platform::FileStatus status{};
    platform::LocalTime t{};
    if (!platform::file_status(name.text(), status)) {
        name_error(name, errno);
        return result;
    }
    if (!platform::local_time(status.modified, t)) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    BiBrokenDownTime parts{t.second, t.minute, t.hour, t.day, t.month, t.year, t.weekday};
    return ZbiCvtCTimeToVariantDate(result, &parts);
}

int16_t get_attr(BiString argument) {
    NameArgument name(argument);
    if (!name.accept()) return 0;
    if (name.size() == 0) {
        runtime::raise_file_trap(BI_TRAP_FILE_NOT_FOUND, name.subject());
        return 0;
    }
    if (!check_path(name.text(), true, false)) return 0;
    int bits = platform::get_attributes(name.text());
    if (bits < 0) {
        attribute_error(name, errno);
        return 0;
    }
    return static_cast<int16_t>(bits & 63);
}

void set_attr(BiString argument, int16_t bits) {
    NameArgument name(argument);
    if (bits > 39 || bits < 0 ||
        (bits > kSettableAttributes && bits < platform::attribute::kArchive)) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    if (!name.accept()) return;
    if (!platform::set_attributes(name.text(), bits)) attribute_error(name, errno);
}

int16_t is_dir(BiString argument) {
    NameArgument name(argument);
    if (!name.accept()) return 0;
    platform::FileStatus status{};
    if (!platform::file_status(name.text(), status)) {
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
        return 0;
    }
    return status.directory ? -1 : 0;
}

// Closes the file numbers a copy opened, on every way out.
struct CopyFiles {
    int16_t numbers[2] = {0, 0};
    ~CopyFiles() {
        for (int16_t n : numbers)
            if (n != 0) ZbiBuiltIn_Close(1, &n);
    }
};

// Opens a name with the lowest free number for a mode, handing the name on to Open; 0 after a
// trap.
int16_t open_for_copy(runtime::OwnedString &name, int16_t mode) {
    uint64_t before = runtime::traps_raised();
    int16_t number = ZbiBuiltIn_FreeFile();
    if (number == 0) return 0;
    ZbiBuiltIn_Open(name.release(), mode, 0, 0, number, -1);
    return runtime::traps_raised() == before && find_record(number) != nullptr ? number : 0;
}

// A ZrMalloc buffer of up to 64 KiB, halved while memory is short; null below 2 bytes.
runtime::ZrBuffer<char> copy_buffer(size_t &size) {
    for (size = kCopyBuffer; size > 2; size /= 2)
        if (void *block = ZrMalloc(size))
            return runtime::ZrBuffer<char>(static_cast<char *>(block));
    return nullptr;
}

void file_copy(BiString source, BiString destination) {
    runtime::OwnedString from(source), to(destination);
    CopyFiles files;
    files.numbers[0] = open_for_copy(from, BI_FILE_MODE_INPUT);
    if (files.numbers[0] == 0) return;
    files.numbers[1] = open_for_copy(to, BI_FILE_MODE_OUTPUT);
    if (files.numbers[1] == 0) return;
    FileRecord &in = *find_record(files.numbers[0]);
    FileRecord &out = *find_record(files.numbers[1]);
    size_t size = 0;
    runtime::ZrBuffer<char> buffer = copy_buffer(size);
    if (!buffer) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    while (!std::feof(in.stream)) {
        size_t got = platform::read_bytes(in.stream, buffer.get(), size);
        if (got < size && platform::read_error(in.stream)) {
            runtime::raise_trap(BI_TRAP_DEVICE_IO_ERROR);
            return;
        }
        if (!write_piece(out, buffer.get(), got)) return;
    }
}

} // namespace

} // namespace brtl::fileio

using namespace brtl::fileio;

extern "C" {

BRTL_API int32_t ZbiBuiltIn_FileLen(BiString name) {
    return file_len(name);
}

BRTL_API VARIANT *ZbiBuiltIn_FileDateTime(VARIANT *result, BiString name) {
    return file_date_time(result, name);
}

BRTL_API void ZbiBuiltIn_FileCopy(BiString source, BiString destination) {
    file_copy(source, destination);
}

BRTL_API int16_t ZbiBuiltIn_GetAttr(BiString name) {
    return get_attr(name);
}

BRTL_API void ZbiBuiltIn_SetAttr(BiString name, int16_t bits) {
    set_attr(name, bits);
}

BRTL_API int16_t ZbiBuiltIn_IsDir(BiString name) {
    return is_dir(name);
}

} // extern "C"
