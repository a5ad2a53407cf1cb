// Line Input #, the Input and InputC functions and EOF: reading whole lines, counts of bytes or
// characters, and the end-of-file test.
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "runtime/bistring.h"
#include "runtime/frame.h"
#include "runtime/guards.h"

namespace brtl::fileio {

namespace {

constexpr int32_t kTargetString = 13;
constexpr int32_t kTargetVariant = 1;

constexpr int32_t kTrapEndOfFile = 62;
constexpr int32_t kTrapReadFailure = 75;

// Empties a Line Input # target: the old value of a string is released, a Variant is cleared, a
// fixed-length string is filled with spaces.
void empty_target(int32_t type, int32_t length, void *target) {
    if (type == kTargetString) {
        auto *s = static_cast<BiString *>(target);
        if (length_of(*s) != 0) ZrFree(s->data);
        *s = empty_string();
    } else if (type == kTargetVariant) {
        BiXVariantClear(static_cast<VARIANT *>(target));
    } else if (length > 0) {
        std::memset(target, ' ', static_cast<size_t>(length));
    }
}

// Stores a line into the emptied target; trap 7 (the target stays empty) when memory runs out.
void store_line(int32_t type, int32_t length, void *target, const char *line, size_t n) {
    if (type == kTargetString) {
        if (n == 0) return;
        auto *data = static_cast<char *>(ZrMalloc(n + 1));
        if (data == nullptr) {
            raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return;
        }
        std::memcpy(data, line, n);
        data[n] = '\0';
        *static_cast<BiString *>(target) = BiString{data, static_cast<uint32_t>(n)};
    } else if (type == kTargetVariant) {
        uint32_t count = 0;
        ZrBuffer<OLECHAR> wide(ZbiCharToOle(line, static_cast<uint32_t>(n), &count));
        BSTR text = wide ? SysAllocStringLen(wide.get(), count) : nullptr;
        if (text == nullptr) {
            raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return;
        }
        auto *v = static_cast<VARIANT *>(target);
        v->vt = VT_BSTR;
        v->bstrVal = text;
    } else if (length > 0) {
        std::memcpy(target, line,
                    n < static_cast<size_t>(length) ? n : static_cast<size_t>(length));
    }
}

bool may_read_text(const FileRecord &record) {
    return record.mode == kModeInput || record.mode == kModeBinary;
}

} // namespace

} // namespace brtl::fileio

using namespace brtl;
using namespace brtl::fileio;

extern "C" {

BRTL_API void ZbiBuiltIn_LineInput(int16_t number, int32_t type, int32_t length, void *target) {
    empty_target(type, length, target);
    FileRecord *record = checked_record(number);
    if (record == nullptr) return;
    if (record->mode == kModeRandom || record->mode == kModeBinary) {
        raise_trap(BI_TRAP_BAD_FILE_MODE);
        return;
    }
    pf::Line line = pf::read_line(record->stream);
    if (line.status != pf::Line::Read) {
        raise_trap(line.status == pf::Line::End ? kTrapEndOfFile : BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    size_t n = line.length;
    if (n > 0 && line.data[n - 1] == '\n') --n;
    if (n > 0 && line.data[n - 1] == '\r') --n;
    store_line(type, length, target, line.data, n);
}

BRTL_API BiString ZbiBuiltIn_Input_(int32_t n, int16_t number) {
    FileRecord *record = checked_record(number);
    if (record == nullptr) return empty_string(true);
    if (n < 0) {
        raise_trap(BI_TRAP_ILLEGAL_CALL);
        return empty_string(true);
    }
    if (!may_read_text(*record)) {
        raise_trap(BI_TRAP_BAD_FILE_MODE);
        return empty_string(true);
    }
    if (n == 0) return empty_string(true);
    ZrBuffer<char> bytes(static_cast<char *>(ZrMalloc(static_cast<size_t>(n) + 1)));
    if (!bytes) {
        raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return empty_string(true);
    }
    if (std::fread(bytes.get(), static_cast<size_t>(n), 1, record->stream) != 1) {
        raise_trap(std::feof(record->stream) ? kTrapEndOfFile : kTrapReadFailure);
        return empty_string(true);
    }
    return adopt_buffer(bytes.release(), static_cast<size_t>(n));
}

BRTL_API BiString ZbiBuiltIn_InputC_(int32_t n, int16_t number) {
    if (pf::mb_cur_max() == 1) return ZbiBuiltIn_Input_(n, number);
    FileRecord *record = find_record(number);
    if (record == nullptr) {
        raise_trap(BI_TRAP_BAD_FILE_NAME_OR_NUMBER);
        return empty_string(true);
    }
    if (n < 0) {
        raise_trap(BI_TRAP_ILLEGAL_CALL);
        return empty_string(true);
    }
    if (!may_read_text(*record)) {
        raise_trap(BI_TRAP_BAD_FILE_MODE);
        return empty_string(true);
    }
    // At most two bytes per character of the code page.
    ZrBuffer<char> bytes(static_cast<char *>(ZrMalloc(2 * static_cast<size_t>(n) + 1)));
    if (!bytes) {
        raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return empty_string(true);
    }
    FILE *stream = record->stream;
    size_t used = 0;
    for (int32_t count = 0; count < n; ++count) {
        int c = pf::read_byte(stream);
        if (c == '\n') c = pf::read_byte(stream); // a line feed is not a character here
        if (c == EOF) {
            raise_trap(kTrapEndOfFile);
            return empty_string(true);
        }
        bytes.get()[used++] = static_cast<char>(c);
        if (!pf::is_lead_byte(static_cast<unsigned char>(c))) continue;
        int trail = pf::read_byte(stream);
        if (trail == EOF) {
            raise_trap(kTrapEndOfFile);
            return empty_string(true);
        }
        char pair[2] = {static_cast<char>(c), static_cast<char>(trail)};
        if (pf::mblen(pair, 2) == 2) {
            bytes.get()[used++] = pair[1];
        } else {
            std::ungetc(trail, stream); // a lead byte without a trail is a character of its own
        }
    }
    return adopt_buffer(bytes.release(), used);
}

BRTL_API int16_t ZbiBuiltIn_EOF(int16_t number) {
    FileRecord *record = checked_record(number);
    if (record == nullptr) return -1;
    FILE *stream = record->stream;
    if (record->mode == kModeRandom || record->mode == kModeBinary)
        return std::feof(stream) ? -1 : 0;
    if (!pf::readable(stream)) return -1;
    int c = pf::read_byte(stream);
    if (c == EOF) return -1;
    std::ungetc(c, stream);
    return 0;
}

} // extern "C"
