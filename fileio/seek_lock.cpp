// Loc, LOF and Seek, the position and size queries of every mode, and Lock and Unlock, the
// region locks of a file with the one region each open file records.
#include <cerrno>
#include <cstdint>

#include "brtl/fileio.h"
#include "fileio/table.h"
#include "platform/file_access.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

// Sequential files count their position in blocks of this many bytes.
constexpr int64_t kBlock = 128;

bool random_or_binary(const FileRecord &file) {
    return file.mode == kModeRandom || file.mode == kModeBinary;
}

// A 32-bit result; trap 6 and `fallback` when the value does not fit (a file of 2 GiB or more).
int32_t narrow(int64_t value, int32_t fallback) {
    if (value > INT32_MAX || value < INT32_MIN) {
        runtime::raise_trap(BI_TRAP_OVERFLOW);
        return fallback;
    }
    return static_cast<int32_t>(value);
}

// Loc of a byte position by the file's mode.
int64_t loc_of(const FileRecord &file, int64_t p) {
    switch (file.mode) {
    case kModeRandom:
        return p == 0 ? 0 : (p - 1) / file.record_length + 1;
    case kModeBinary:
        return p;
    case kModeInput:
        return p == 0 ? 1 : (p - 1) / kBlock + 1;
    default: // Output, Append
        return p / kBlock;
    }
}

// The position of the stream; -1 after trap 75.
int64_t position_of(const FileRecord &file) {
    int64_t p = platform::tell(file.stream);
    if (p < 0) runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
    return p;
}

int32_t seek(int16_t number, int32_t position) {
    FileRecord *file = checked_record(number);
    if (file == nullptr) return 0;
    if (position == 0) {
        int64_t p = position_of(*file);
        if (p < 0) return 0;
        return narrow((random_or_binary(*file) ? loc_of(*file, p) : p) + 1, 0);
    }
    if (position < 0) {
        runtime::raise_trap(BI_TRAP_BAD_RECORD_NUMBER);
        return 0;
    }
    int64_t length = file->mode == kModeRandom ? file->record_length : 1;
    if (!platform::seek_to(file->stream, (static_cast<int64_t>(position) - 1) * length)) {
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
        return 0;
    }
    return position - 1;
}

// The byte region of a Lock or Unlock: [from, to), or (0, 0) for the whole file.
struct Region {
    int64_t from;
    int64_t to;
};

// The file and the region that Lock and Unlock act on; null after a trap.
FileRecord *region_of(int16_t number, int32_t first, int32_t last, int16_t form, bool locking,
                      Region &region) {
    FileRecord *file = checked_record(number);
    if (file == nullptr) return nullptr;
    if (locking && (file->lock_start != -1 || file->lock_end != -1)) {
        runtime::raise_trap(BI_TRAP_PERMISSION_DENIED);
        return nullptr;
    }
    if (form == 0) first = last = 0;
    if (form == 1) last = first;
    bool valid =
        (form == 0) || (form == 1 && first >= 1) || (form == 2 && first >= 1 && last >= first);
    if (!valid) {
        runtime::raise_trap(BI_TRAP_BAD_RECORD_NUMBER);
        return nullptr;
    }
    if (!random_or_binary(*file)) first = last = 0;
    region = {0, 0};
    if (first > 0) {
        int64_t length = file->mode == kModeRandom ? file->record_length : 1;
        region = {(static_cast<int64_t>(first) - 1) * length, static_cast<int64_t>(last) * length};
    }
    return file;
}

// The length of the system region: (0, 0) is every byte of the file, however far it grows
// (a length of 2^31 - 1 bytes would leave the bytes of a larger file unlocked).
int64_t system_length(const Region &region) {
    return region.from == 0 && region.to == 0 ? 0 : region.to - region.from;
}

void lock(int16_t number, int32_t first, int32_t last, int16_t form) {
    Region region{};
    FileRecord *file = region_of(number, first, last, form, true, region);
    if (file == nullptr) return;
    if (!platform::lock_region(file->descriptor, region.from, system_length(region))) {
        raise_system_error(*file, errno);
        return;
    }
    file->lock_start = region.from;
    file->lock_end = region.to;
}

void unlock(int16_t number, int32_t first, int32_t last, int16_t form) {
    Region region{};
    FileRecord *file = region_of(number, first, last, form, false, region);
    if (file == nullptr) return;
    if (file->lock_start != region.from || file->lock_end != region.to) {
        runtime::raise_trap(BI_TRAP_PERMISSION_DENIED);
        return;
    }
    if (!platform::unlock_region(file->descriptor, region.from, system_length(region))) {
        raise_system_error(*file, errno);
        return;
    }
    file->lock_start = file->lock_end = -1;
}

} // namespace

} // namespace brtl::fileio

using namespace brtl;
using namespace brtl::fileio;

extern "C" {

BRTL_API int32_t ZbiBuiltIn_Loc(int16_t number) {
    FileRecord *file = checked_record(number);
    if (file == nullptr) return -1;
    int64_t p = position_of(*file);
    return p < 0 ? 0 : narrow(loc_of(*file, p), 0);
}

BRTL_API int32_t ZbiBuiltIn_LOF(int16_t number) {
    FileRecord *file = checked_record(number);
    if (file == nullptr) return 0;
    int64_t length = platform::stream_length(file->stream);
    if (length < 0) {
        raise_system_error(*file, errno);
        return 0;
    }
    return narrow(length, 0);
}

BRTL_API int32_t ZbiBuiltIn_Seek(int16_t number, int32_t position) {
    return seek(number, position);
}

BRTL_API void ZbiBuiltIn_SeekStmt(int16_t number, int32_t position) {
    seek(number, position == 0 ? -1 : position);
}

BRTL_API void ZbiBuiltIn_Lock(int16_t number, int32_t first, int32_t last, int16_t form) {
    lock(number, first, last, form);
}

BRTL_API void ZbiBuiltIn_Unlock(int16_t number, int32_t first, int32_t last, int16_t form) {
    unlock(number, first, last, form);
}

} // extern "C"
