// Line Input #, the Input and InputC functions and EOF: reading whole lines, counts of bytes or
// characters, and the end-of-file test.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_access.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/string_variant.h"

namespace brtl::fileio {

namespace {

// The block of a string variable's old value, taken out of the variable (which is left empty, as
// every Line Input # target is before the line is read) and kept until the line is known: a line
// that fits is copied into it instead of into a new block, so a loop reading lines into one
// variable allocates only when a line is longer than any before. Freed on every other path.
class KeptBlock {
  public:
    KeptBlock() = default;
    KeptBlock(const KeptBlock &) = delete;
    KeptBlock &operator=(const KeptBlock &) = delete;
    ~KeptBlock() { runtime::release_variable(old_); }

    void take(BiString &variable) {
        old_ = variable;
        variable = runtime::empty_string();
    }
    // The kept block when it holds n bytes and a NUL (then no longer kept), else null.
    char *fitting(size_t n) {
        if (!runtime::variable_holds(old_, n)) return nullptr;
        char *block = old_.data;
        old_ = runtime::empty_string();
        return block;
    }

  private:
    BiString old_ = runtime::empty_string();
};

// Empties a Line Input # target: the old value of a string goes to `kept`, a Variant is
// cleared, a fixed-length string is filled with spaces.
void empty_target(int32_t type, int32_t length, void *target, KeptBlock &kept) {
    if (type == BI_TYPE_STRING) {
        kept.take(*static_cast<BiString *>(target));
    } else if (type == BI_TYPE_VARIANT) {
        BiXVariantClear(static_cast<VARIANT *>(target));
    } else if (length > 0) {
        std::memset(target, ' ', static_cast<size_t>(length));
    }
}

// Stores a line into the emptied target; trap 7 (the target stays empty) when memory runs out.
void store_line(int32_t type, int32_t length, void *target, const char *line, size_t n,
                KeptBlock &kept) {
    if (type == BI_TYPE_STRING) {
        char *block = kept.fitting(n);
        if (block == nullptr) {
            *static_cast<BiString *>(target) = runtime::owned_copy(line, n);
            return;
        }
        std::memcpy(block, line, n);
        block[n] = '\0';
        *static_cast<BiString *>(target) = BiString{block, static_cast<uint32_t>(n)};
    } else if (type == BI_TYPE_VARIANT) {
        variant::store_text_variant(static_cast<VARIANT *>(target), line, n);
    } else if (length > 0) {
        std::memcpy(target, line,
                    n < static_cast<size_t>(length) ? n : static_cast<size_t>(length));
    }
}

bool may_read_text(const FileRecord &record) {
    return record.mode == kModeInput || record.mode == kModeBinary;
}

// The trap of Input$ when a read gives fewer bytes than asked: 62 at the end of the file, 75
// when the read failed (or read nothing without reaching the end, as a write-only file does).
int32_t end_or_failure(FILE *stream) {
    bool failed = platform::read_error(stream); // clears the failure, keeps the end flag
    return failed || !std::feof(stream) ? BI_TRAP_PATH_FILE_ACCESS : BI_TRAP_INPUT_PAST_END;
}

} // namespace

} // namespace brtl::fileio

using namespace brtl;
using namespace brtl::fileio;

extern "C" {

BRTL_API void ZbiBuiltIn_LineInput(int16_t number, int32_t type, int32_t length, void *target) {
    KeptBlock kept;
    empty_target(type, length, target, kept);
    FileRecord *record = record_in_mode(number, kModeInput | kModeOutput | kModeAppend);
    if (record == nullptr) return;
    platform::Line line = platform::read_line(record->stream);
    switch (line.status) {
    case platform::Line::Read:
        break;
    case platform::Line::End:
        runtime::raise_trap(BI_TRAP_INPUT_PAST_END);
        return;
    case platform::Line::NoMemory:
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    case platform::Line::Failed:
        raise_system_error(*record, errno);
        return;
    }
    size_t n = line.length;
    if (n > 0 && line.data[n - 1] == '\n') --n;
    if (n > 0 && line.data[n - 1] == '\r') --n;
    store_line(type, length, target, line.data, n, kept);
}

BRTL_API BiString ZbiBuiltIn_Input_(int32_t n, int16_t number) {
    FileRecord *record = checked_record(number);
    if (record == nullptr) return runtime::empty_string(true);
    if (n < 0) return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    if (!may_read_text(*record)) return runtime::empty_after_trap(BI_TRAP_BAD_FILE_MODE);
    if (n == 0) return runtime::empty_string(true);
    runtime::ZrBuffer<char> bytes(static_cast<char *>(ZrMalloc(static_cast<size_t>(n) + 1)));
    if (!bytes) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    if (platform::read_bytes(record->stream, bytes.get(), static_cast<size_t>(n)) !=
        static_cast<size_t>(n))
        return runtime::empty_after_trap(end_or_failure(record->stream));
    return runtime::adopt_buffer(bytes.release(), static_cast<size_t>(n));
}

BRTL_API BiString ZbiBuiltIn_InputC_(int32_t n, int16_t number) {
    if (platform::mb_cur_max() == 1) return ZbiBuiltIn_Input_(n, number);
    FileRecord *record = find_record(number);
    if (record == nullptr) return runtime::empty_after_trap(BI_TRAP_BAD_FILE_NAME_OR_NUMBER);
    if (n < 0) return runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    if (!may_read_text(*record)) return runtime::empty_after_trap(BI_TRAP_BAD_FILE_MODE);
    // At most two bytes per character of the code page.
    runtime::ZrBuffer<char> bytes(static_cast<char *>(ZrMalloc(2 * static_cast<size_t>(n) + 1)));
    if (!bytes) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    FILE *stream = record->stream;
    size_t used = 0;
    for (int32_t count = 0; count < n; ++count) {
        int c = platform::read_byte(stream);
        if (c == '\n') c = platform::read_byte(stream); // a line feed is not a character here
        if (c == EOF) return runtime::empty_after_trap(end_or_failure(stream));
        bytes.get()[used++] = static_cast<char>(c);
        if (!platform::is_lead_byte(static_cast<unsigned char>(c))) continue;
        int trail = platform::read_byte(stream);
        if (trail == EOF) return runtime::empty_after_trap(end_or_failure(stream));
        char pair[2] = {static_cast<char>(c), static_cast<char>(trail)};
        if (platform::char_length(pair, 2) == 2) {
            bytes.get()[used++] = pair[1];
        } else {
            std::ungetc(trail, stream); // a lead byte without a trail is a character of its own
        }
    }
    return runtime::adopt_buffer(bytes.release(), used);
}

BRTL_API int16_t ZbiBuiltIn_EOF(int16_t number) {
    FileRecord *record = checked_record(number);
    if (record == nullptr) return -1;
    FILE *stream = record->stream;
    if (record->mode == kModeRandom || record->mode == kModeBinary)
        return std::feof(stream) ? -1 : 0;
    if (!platform::readable(stream)) return -1;
    const char *ahead = nullptr;
    if (platform::buffered_bytes(stream, &ahead) != 0) return 0;
    int c = platform::read_byte(stream);
    if (c == EOF) {
        if (platform::read_error(stream)) raise_system_error(*record, errno);
        return -1;
    }
    std::ungetc(c, stream);
    return 0;
}

} // extern "C"
