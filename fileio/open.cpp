// The Open statement: the name's full path, the checks of the file number and of the files
// already open, the open flags and share mode of the mode, access and lock, and the stream.
#include <cerrno>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "fileio/paths.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

namespace {

constexpr size_t kMaxName = 260;
constexpr int kPermission = platform::kPermRead | platform::kPermWrite;

// What a mode and an access select.
struct OpenPlan {
    int32_t access; // as stored in the record
    int flags;      // besides the binary flag
    const char *stream_mode;
};

bool plan_open(int32_t mode, int32_t access, OpenPlan &plan) {
    using namespace platform::open_flag;
    switch (mode) {
    case kModeInput:
        if (access != kAccessNone && access != kAccessRead) return false;
        plan = {kAccessRead, kRdOnly, "rb"};
        return true;
    case kModeOutput:
        if (access != kAccessNone && access != kAccessWrite) return false;
        plan = {kAccessWrite, kWrOnly | kCreat | kTrunc, "wb"};
        return true;
    case kModeAppend:
        if (access == kAccessNone || access == kAccessWrite) {
            plan = {kAccessWrite, kWrOnly | kAppend | kCreat, "ab"};
            return true;
        }
        if (access == kAccessReadWrite) {
            plan = {kAccessReadWrite, kRdWr | kAppend | kCreat, "a+b"};
            return true;
        }
        return false;
    case kModeRandom:
    case kModeBinary:
        if (access == kAccessNone || access == kAccessReadWrite) {
            plan = {access, kRdWr | kCreat, "r+b"};
            return true;
        }
        if (access == kAccessRead) {
            plan = {kAccessRead, kRdOnly, "rb"};
            return true;
        }
        if (access == kAccessWrite) {
            plan = {kAccessWrite, kWrOnly | kCreat, "wb"};
            return true;
        }
        return false;
    default:
        return false;
    }
}

int share_of_lock(int16_t lock) {
    switch (lock) {
    case 0:
    case 1:
        return platform::share::kDenyNone;
    case 2:
        return platform::share::kDenyRead;
    case 3:
        return platform::share::kDenyWrite;
    case 4:
        return platform::share::kDenyReadWrite;
    default:
        return -1;
    }
}

int32_t default_record_length(int32_t mode) {
    return mode == kModeInput || mode == kModeOutput || mode == kModeAppend ? 512 : 128;
}

// Copies the name with "/" turned into "\"; under a double-byte code page only the first byte
// of each character is tested, so a trail byte is never changed.
void normalize_separators(const char *name, size_t n, char *out) {
    for (size_t i = 0; i < n;) {
        size_t len = platform::char_length(name + i, n - i);
        std::memcpy(out + i, name + i, len);
        if (len == 1 && out[i] == '/') out[i] = '\\';
        i += len;
    }
    out[n] = '\0';
}

// The directory an Input open reads from exists: the directory part of the full path.
bool input_directory_exists(const char *full) {
    size_t n = std::strlen(full);
    size_t cut = directory_part_length(full, n);
    if (cut == 0 || cut == n) return true;
    char directory[platform::kMaxFullPath + 1];
    std::memcpy(directory, full, cut);
    directory[cut] = '\0';
    return platform::exists(directory);
}

// True when a file open in `open_mode` lets the same file be opened again in `mode`.
bool may_share(int32_t mode, int32_t open_mode) {
    switch (mode) {
    case kModeInput:
        return open_mode == kModeInput;
    case kModeRandom:
    case kModeBinary:
    case kModeDefault:
        return open_mode == kModeRandom || open_mode == kModeBinary;
    default:
        return false;
    }
}

// The open of the system file: the descriptor and stream, or the dialect's errno number.
struct Opened {
    FILE *stream = nullptr;
    int descriptor = -1;
    int error = 0;
};

int sopen_attempt(const char *path, int flags, int share, int &error) {
    errno = 0;
    int descriptor =
        platform::sopen(path, flags | platform::open_flag::kBinary, share, kPermission);
    if (descriptor < 0) {
        error = errno != 0 ? platform::crt_errno(errno) : 0;
        if (error == platform::crt::kEINVAL) error = platform::crt::kENOENT;
    }
    return descriptor;
}

Opened open_system_file(const char *path, int32_t mode, int32_t access, const OpenPlan &plan,
                        int share) {
    Opened result;
    const char *stream_mode = plan.stream_mode;
    int descriptor = sopen_attempt(path, plan.flags, share, result.error);
    if (descriptor < 0 && (mode == kModeRandom || mode == kModeBinary) && access == kAccessNone) {
        // A file that cannot be both read and written is opened for what it allows.
        using namespace platform::open_flag;
        descriptor = sopen_attempt(path, kWrOnly | kCreat, share, result.error);
        stream_mode = "wb";
        if (descriptor < 0) {
            descriptor = sopen_attempt(path, kRdOnly | kCreat, share, result.error);
            stream_mode = "rb";
        }
    }
    if (descriptor >= 0) {
        result.stream = platform::fdopen(descriptor, stream_mode);
        if (result.stream == nullptr) {
            result.error = platform::crt_errno(errno);
            platform::close_descriptor(descriptor);
        } else {
            result.descriptor = descriptor;
        }
    }
    if (result.stream == nullptr) {
        if (result.error == 0) result.error = platform::crt::kEMFILE;
        if (result.error == platform::crt::kEAGAIN) result.error = platform::crt::kEACCES;
    }
    return result;
}

// Closes a stream that has not reached the file table when a trap leaves Open.
struct StreamGuard {
    FILE *stream;
    ~StreamGuard() {
        if (stream != nullptr) platform::close_stream(stream);
    }
};

// The name of an Open as given, with the file trap that names it as the subject.
class OpenName {
  public:
    explicit OpenName(BiString argument) : name_(argument) {}
    void file_trap(int32_t trap) const {
        runtime::raise_file_trap(trap, subject_of(name_.data(), name_.size()));
    }
    void system_error(int crt_errno) const {
        ProcessFileError(crt_errno, subject_of(name_.data(), name_.size()));
    }
    const char *data() const { return name_.data(); }
    size_t size() const { return name_.size(); }

  private:
    runtime::OwnedString name_;
};

// The record length of Open: the mode's default when none is given (-1); trap 5 below 1.
bool record_length_of(int32_t mode, int32_t given, int32_t &length) {
    if (given == -1) {
        length = default_record_length(mode);
        return true;
    }
    if (given < 1) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    length = given;
    return true;
}

// The full path of the name into full (NUL-terminated), after the checks of the name itself;
// an Input file's directory must exist. False after a trap.
bool full_path_of(const OpenName &name, int32_t mode, char (&full)[platform::kMaxFullPath + 1]) {
    if (name.size() > kMaxName) {
        name.file_trap(BI_TRAP_BAD_FILE_NAME);
        return false;
    }
    if (name.size() == 0) {
        name.file_trap(BI_TRAP_BAD_FILE_NAME_OR_NUMBER);
        return false;
    }
    if (std::memchr(name.data(), '\0', name.size()) != nullptr) {
        name.file_trap(BI_TRAP_BAD_FILE_NAME); // a NUL would silently name another file
        return false;
    }
    char normalized[kMaxName + 1];
    normalize_separators(name.data(), name.size(), normalized);
    size_t full_length = platform::full_path(normalized, full, sizeof full);
    if (full_length == 0) {
        name.system_error(platform::crt_errno(errno));
        return false;
    }
    if (full_length >= sizeof full) {
        name.file_trap(BI_TRAP_BAD_FILE_NAME);
        return false;
    }
    if (mode == kModeInput && !input_directory_exists(full)) {
        name.file_trap(BI_TRAP_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

// The number must be free, and no open file of the same path may refuse to share with the mode.
bool number_may_open(const OpenName &name, int16_t number, int32_t mode, const char *full) {
    if (number < 1 || number > kFileNumbers) {
        name.file_trap(BI_TRAP_BAD_FILE_NAME_OR_NUMBER);
        return false;
    }
    FileRecord *const *slots = table::slots();
    if (slots[number - 1] != nullptr) {
        name.file_trap(BI_TRAP_FILE_ALREADY_OPEN);
        return false;
    }
    for (int k = 0; k < kFileNumbers; ++k) {
        const FileRecord *open = slots[k];
        if (open != nullptr && ZrStrICmp(open->path, full) == 0 && !may_share(mode, open->mode)) {
            name.file_trap(BI_TRAP_FILE_ALREADY_OPEN);
            return false;
        }
    }
    return true;
}

// Opens the system file and stores its record under the number; the record owns the path.
// The buffer of a sequential stream holds a record length of bytes. A file read in order reads
// ahead in blocks of at least 64 KiB instead: the bytes it reads are the same and positions
// come from the stream, but the system is asked for them a hundred times less often.
size_t stream_buffer_size(int32_t mode, int32_t record_length) {
    constexpr size_t kReadAhead = 64 * 1024;
    const auto size = static_cast<size_t>(record_length);
    return mode == kModeInput && size < kReadAhead ? kReadAhead : size;
}

void open_and_store(const OpenName &name, int16_t number, int32_t mode, int32_t access,
                    const OpenPlan &plan, int share, int32_t record_length,
                    runtime::ZrBuffer<char> &path) {
    runtime::ZrBuffer<FileRecord> record(static_cast<FileRecord *>(ZrMalloc(sizeof(FileRecord))));
    if (!record) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    *record =
        FileRecord{mode, plan.access, share, record_length, 0, 0, nullptr, nullptr, -1, -1, -1};

    Opened opened = open_system_file(path.get(), mode, access, plan, share);
    if (opened.stream == nullptr) {
        name.system_error(opened.error);
        return;
    }
    StreamGuard stream{opened.stream};
    if (mode == kModeInput || mode == kModeOutput || mode == kModeAppend)
        platform::set_full_buffering(opened.stream, stream_buffer_size(mode, record_length));
    if (!table::attach_host_file(number, opened.stream)) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    record->path = path.release();
    record->stream = opened.stream;
    record->descriptor = opened.descriptor;
    FileRecord *stored = record.release();
    table::store(number, stored);
    stream.stream = nullptr;

    if (mode == kModeAppend && std::fseek(stored->stream, 0, SEEK_END) != 0)
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
}

void open_file(BiString name_argument, int16_t mode_argument, int16_t access_argument, int16_t lock,
               int16_t number, int16_t record_length_argument) {
    OpenName name(name_argument);
    int32_t mode = mode_argument;
    int32_t access = access_argument;
    int32_t record_length = 0;
    if (!record_length_of(mode, record_length_argument, record_length)) return;
    char full[platform::kMaxFullPath + 1];
    if (!full_path_of(name, mode, full)) return;
    runtime::ZrBuffer<char> path(ZrStrCopy(full));
    if (!path) {
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
        return;
    }
    if (!number_may_open(name, number, mode, full)) return;

    if (mode == kModeDefault) mode = kModeRandom;
    OpenPlan plan{};
    int share = share_of_lock(lock);
    if (!plan_open(mode, access, plan) || share < 0) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    open_and_store(name, number, mode, access, plan, share, record_length, path);
}

} // namespace

} // namespace brtl::fileio

extern "C" {

BRTL_API void ZbiBuiltIn_Open(BiString name, int16_t mode, int16_t access, int16_t lock,
                              int16_t number, int16_t record_length) {
    brtl::fileio::open_file(name, mode, access, lock, number, record_length);
}

} // extern "C"
