// The file table: the record of each file number, Close, Reset, FreeFile, FileAttr, the host
// file objects, the saving of the table around a nested run, and the file error mapping.
#include "fileio/table.h"

#include <cerrno>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "fileio/dir_listing.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

FileRecord *g_table[kFileNumbers];
// One host object per file number, made at the number's first open and kept for the process.
ZrHostFile *g_host_files[kFileNumbers];

// The open files of a suspended run. The chain is last-in-first-out.
struct SaveRecord {
    FileRecord *slots[kFileNumbers];
    SaveRecord *previous;
    long unsaved_below; // g_unsaved_runs when this record was pushed
};
SaveRecord *g_saved_runs = nullptr;
// Nested runs pushed since the last saved one whose push could not save the table (no memory):
// they share the table of the run around them, and their pop leaves it alone.
long g_unsaved_runs = 0;

bool g_dir_restart = true;

// Closes the file of one slot and empties it. True when the close failed for a full disk.
bool close_slot(int index) {
    FileRecord *record = g_table[index];
    g_table[index] = nullptr;
    int result = platform::close_stream(record->stream);
    bool disk_full = result != 0 && platform::crt_errno(errno) == platform::crt::kENOSPC;
    ZrFree(record->path);
    ZrFree(record);
    ZrFileClose(g_host_files[index]);
    return disk_full;
}

// Closes every open file; the number of closes that failed for a full disk.
int close_all() {
    int disk_full = 0;
    for (int k = 0; k < kFileNumbers; ++k)
        if (g_table[k] != nullptr && close_slot(k)) ++disk_full;
    return disk_full;
}

// Trap 61 for each close that failed for a full disk, raised once every file is closed, so that a
// hook that leaves by an exception leaves no file of the statement open.
void report_full_disk(int count) {
    for (int i = 0; i < count; ++i)
        runtime::raise_trap(BI_TRAP_DISK_FULL);
}

int32_t trap_of_crt_errno(int32_t e) {
    switch (e) {
    case platform::crt::kEPERM:
        return BI_TRAP_PERMISSION_DENIED;
    case platform::crt::kENOENT:
        return BI_TRAP_FILE_NOT_FOUND;
    case platform::crt::kEIO:
        return BI_TRAP_DEVICE_IO_ERROR;
    case platform::crt::kENXIO:
    case platform::crt::kENODEV:
        return BI_TRAP_DEVICE_UNAVAILABLE;
    case platform::crt::kENOEXEC:
        return BI_TRAP_BAD_FILE_FORMAT;
    case platform::crt::kEBADF:
        return BI_TRAP_BAD_FILE_NAME_OR_NUMBER;
    case platform::crt::kENOMEM:
        return BI_TRAP_OUT_OF_MEMORY;
    case platform::crt::kEACCES:
        return platform::last_os_error() == platform::oserr::kNotReady ? BI_TRAP_DISK_NOT_READY
                                                                       : BI_TRAP_PERMISSION_DENIED;
    case platform::crt::kEEXIST:
        return BI_TRAP_FILE_ALREADY_EXISTS;
    case platform::crt::kENOTDIR:
    case platform::crt::kEISDIR:
    case platform::crt::kEROFS:
        return BI_TRAP_PATH_FILE_ACCESS;
    case platform::crt::kENFILE:
    case platform::crt::kEMFILE:
        return BI_TRAP_TOO_MANY_FILES;
    case platform::crt::kENOSPC:
        return BI_TRAP_DISK_FULL;
    default:
        return BI_TRAP_ASSERTION;
    }
}

} // namespace

FileRecord *find_record(int32_t number) {
    if (number < 1 || number > kFileNumbers) return nullptr;
    return g_table[number - 1];
}

FileRecord *checked_record(int16_t number) {
    FileRecord *record = find_record(number);
    if (record == nullptr)
        runtime::raise_file_trap(BI_TRAP_BAD_FILE_NAME_OR_NUMBER, number_subject(number));
    return record;
}

FileRecord *record_in_mode(int16_t number, int32_t modes) {
    FileRecord *record = checked_record(number);
    if (record == nullptr || (record->mode & modes) != 0) return record;
    runtime::raise_trap(BI_TRAP_BAD_FILE_MODE);
    return nullptr;
}

bool &dir_restart_flag() {
    return g_dir_restart;
}

BiString subject_of(const char *text, size_t length) {
    BiString s = runtime::empty_string();
    runtime::try_temporary_copy(text, length, s);
    return s;
}

BiString subject_of(const char *text) {
    return subject_of(text, std::strlen(text));
}

BiString number_subject(int32_t number) {
    char text[16];
    int n = ZrSnprintf(text, sizeof text, "%ld", static_cast<long>(number));
    return subject_of(text, static_cast<size_t>(n));
}

void raise_system_error(const FileRecord &record, int system_errno) {
    int32_t e = platform::crt_errno(system_errno);
    ProcessFileError(e, subject_of(record.path));
}

bool write_piece(FileRecord &record, const char *bytes, size_t n) {
    if (n > 0 && platform::write_bytes(record.stream, bytes, n) != n) {
        raise_system_error(record, errno);
        return false;
    }
    if (platform::flush_stream(record.stream) != 0) {
        raise_system_error(record, errno);
        return false;
    }
    return true;
}

namespace table {

FileRecord *const *slots() {
    return g_table;
}

void store(int32_t number, FileRecord *record) {
    g_table[number - 1] = record;
}

bool attach_host_file(int32_t number, FILE *stream) {
    ZrHostFile *&file = g_host_files[number - 1];
    if (file == nullptr) {
        file = ZrFileCreate(stream);
        return file != nullptr;
    }
    ZrFileOpen(file, stream);
    return true;
}

} // namespace table

} // namespace brtl::fileio

using namespace brtl;
using namespace brtl::fileio;

extern "C" {

BRTL_API int16_t ProcessFileError(int32_t crt_errno, BiString subject) {
    return runtime::raise_file_trap(trap_of_crt_errno(crt_errno), subject);
}

BRTL_API void ZbiBuiltIn_Close(int32_t count, const int16_t *numbers) {
    if (count == 0) {
        report_full_disk(close_all());
        return;
    }
    int disk_full = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t number = numbers[i];
        if (find_record(number) != nullptr && close_slot(number - 1)) ++disk_full;
    }
    report_full_disk(disk_full);
}

BRTL_API void ZbiBuiltIn_Reset(void) {
    int disk_full = close_all();
    g_dir_restart = true;
    end_dir_listing();
    report_full_disk(disk_full);
}

BRTL_API int16_t ZbiBuiltIn_FreeFile(void) {
    for (int k = 0; k < kFileNumbers; ++k)
        if (g_table[k] == nullptr) return static_cast<int16_t>(k + 1);
    runtime::raise_trap(BI_TRAP_TOO_MANY_FILES);
    return 0;
}

BRTL_API int32_t ZbiBuiltIn_FileAttr(int16_t number, int16_t return_type) {
    FileRecord *record = checked_record(number);
    if (record == nullptr) return 0;
    if (return_type == 1) return record->mode;
    if (return_type == 2) return record->descriptor;
    runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
    return 0;
}

BRTL_API ZrHostFile *ZbiGetZrFile(int32_t index) {
    if (index < 0 || index >= kFileNumbers) return nullptr;
    return g_host_files[index];
}

BRTL_API int32_t ZbiPushFileIORuntimeState(void) {
    auto *saved = static_cast<SaveRecord *>(ZrCalloc(1, sizeof(SaveRecord)));
    if (saved == nullptr) {
        ++g_unsaved_runs;
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return -1;
    }
    std::memcpy(saved->slots, g_table, sizeof g_table);
    std::memset(g_table, 0, sizeof g_table);
    saved->previous = g_saved_runs;
    saved->unsaved_below = g_unsaved_runs;
    g_saved_runs = saved;
    g_unsaved_runs = 0;
    return 0;
}

BRTL_API void ZbiPopFileIORuntimeState(void) {
    if (g_unsaved_runs > 0) { // the nested run shared its caller's table
        --g_unsaved_runs;
        g_dir_restart = true;
        end_dir_listing();
        return;
    }
    int disk_full = close_all();
    g_dir_restart = true;
    end_dir_listing();
    if (SaveRecord *saved = g_saved_runs) {
        std::memcpy(g_table, saved->slots, sizeof g_table);
        g_saved_runs = saved->previous;
        g_unsaved_runs = saved->unsaved_below;
        ZrFree(saved);
    }
    report_full_disk(disk_full);
}

} // extern "C"
