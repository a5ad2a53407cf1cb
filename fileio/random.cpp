// Put and Get: the fields of a Random file's records and of a Binary file, in the on-disk
// layout of each field kind (little-endian, no padding), with the record-length accounting.
#include <bit>
#include <cerrno>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/variant.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "platform/file_access.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::fileio {

static_assert(std::endian::native == std::endian::little,
              "fields are written as they lie in memory, which must be little-endian");

namespace {

constexpr int32_t kRandomOrBinary = kModeRandom | kModeBinary;
constexpr size_t kSubtypeBytes = 2;
constexpr size_t kCountBytes = 4;
// A Variant string count above this is checked against the bytes the file still holds before
// a buffer of that size is allocated.
constexpr uint32_t kTrustedCount = 65536;

// One Put or Get in progress: the file and the bytes counted against its record length.
struct Transfer {
    FileRecord &file;
    bool random;
    int64_t counted = 0;

    // Counts n bytes against the record length; false after trap 59 when they do not fit.
    bool count(int64_t n) {
        if (counted + n > file.record_length) {
            runtime::raise_trap(BI_TRAP_BAD_RECORD_LENGTH);
            return false;
        }
        counted += n;
        return true;
    }
    // Bytes that only a Random file's record length limits.
    bool count_in_random(int64_t n) { return !random || count(n); }
};

// The value size of a Variant subtype that Put and Get carry: 0 for Empty and Null, -1 for the
// String (a count and text follow), -2 for a subtype they do not carry.
int value_size(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return 0;
    case VT_I2:
        return 2;
    case VT_I4:
    case VT_R4:
        return 4;
    case VT_R8:
    case VT_CY:
    case VT_DATE:
        return 8;
    case VT_BSTR:
        return -1;
    default:
        return -2;
    }
}

// The byte offset the transfer starts at: the given record or byte, else the next record
// boundary (Random) or where the file is (Binary); -1 with errno set when the position cannot be
// told. Positions are computed in 64 bits, so records beyond 2 GiB are reached. The stream is
// always moved there, which also makes a read after a write (and back) well defined.
int64_t start_offset(const FileRecord &file, int32_t position, bool given) {
    const int64_t length = file.mode == kModeBinary ? 1 : file.record_length;
    if (given) return (static_cast<int64_t>(position) - 1) * length;
    int64_t here = platform::tell(file.stream);
    if (here < 0) return -1;
    return (here + length - 1) / length * length;
}

// The checks and the positioning common to Put and Get; false after a trap.
FileRecord *begin(int16_t number, int32_t position, int32_t given, int32_t refused_access) {
    FileRecord *file = record_in_mode(number, kRandomOrBinary);
    if (file == nullptr) return nullptr;
    if (file->access == refused_access) {
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
        return nullptr;
    }
    if (given != 0 && position < 1) {
        runtime::raise_trap(BI_TRAP_BAD_RECORD_NUMBER);
        return nullptr;
    }
    return file;
}

// ---- Put ------------------------------------------------------------------------------------

bool put_bytes(Transfer &t, const void *bytes, size_t n) {
    return write_piece(t.file, static_cast<const char *>(bytes), n);
}

bool put_string(Transfer &t, const BiString &s) {
    uint32_t n = runtime::length_of(s);
    if (t.random) {
        if (!t.count(kCountBytes + static_cast<int64_t>(n))) return false;
        if (!put_bytes(t, &n, kCountBytes)) return false;
    }
    return n == 0 || put_bytes(t, s.data, n);
}

// A Variant String: the subtype word, the byte count of the text in the code page, the text.
// The count is that of the bytes written, so double-byte text is carried whole.
bool put_variant_text(Transfer &t, BSTR text) {
    uint32_t bytes = 0;
    uint32_t units = SysStringLen(text);
    runtime::ZrBuffer<char> narrow(units == 0 ? nullptr : platform::narrow(text, units, &bytes));
    if (units != 0 && !narrow) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    if (!t.count_in_random(kCountBytes + static_cast<int64_t>(bytes))) return false;
    unsigned char header[kSubtypeBytes + kCountBytes] = {VT_BSTR, 0};
    std::memcpy(header + kSubtypeBytes, &bytes, kCountBytes);
    if (!put_bytes(t, header, sizeof header)) return false;
    return bytes == 0 || put_bytes(t, narrow.get(), bytes);
}

bool put_variant(Transfer &t, const VARIANT &v) {
    int size = value_size(v.vt);
    if (size == -2) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    if (!t.count(kSubtypeBytes)) return false;
    if (size == -1) return put_variant_text(t, v.bstrVal);
    if (!t.count(size)) return false;
    unsigned char piece[kSubtypeBytes + 8];
    std::memcpy(piece, &v.vt, kSubtypeBytes);
    std::memcpy(piece + kSubtypeBytes, &v.iVal, static_cast<size_t>(size));
    return put_bytes(t, piece, kSubtypeBytes + static_cast<size_t>(size));
}

bool put_field(Transfer &t, const BiFileField &field) {
    switch (field.kind) {
    case BI_TYPE_VARIANT:
        return put_variant(t, *static_cast<const VARIANT *>(field.address));
    case BI_TYPE_STRING:
        return put_string(t, *static_cast<const BiString *>(field.address));
    default:
        if (field.size < 0) {
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return false;
        }
        return t.count_in_random(field.size) &&
               put_bytes(t, field.address, static_cast<size_t>(field.size));
    }
}

void put(int16_t number, int32_t position, int32_t given, const BiFileFieldList *fields) {
    FileRecord *file = begin(number, position, given, kAccessRead);
    if (file == nullptr) return;
    int64_t offset = start_offset(*file, position, given != 0);
    if (offset < 0 || !platform::seek_to(file->stream, offset)) {
        raise_system_error(*file, errno);
        return;
    }
    Transfer t{*file, file->mode == kModeRandom};
    for (int32_t i = 0; fields != nullptr && i < fields->count; ++i)
        if (!put_field(t, fields->fields[i])) return;
}

// ---- Get ------------------------------------------------------------------------------------

// The outcome of reading n bytes: all of them, a short read at the end of the file, or a read
// error (already reported when `report` is set).
enum class Read { Whole, Short, Failed };

Read read_exactly(Transfer &t, void *out, size_t n, bool report = true) {
    if (n == 0) return Read::Whole;
    size_t got = platform::read_bytes(t.file.stream, out, n);
    if (got == n) return Read::Whole;
    if (!platform::read_error(t.file.stream)) return Read::Short;
    if (report) raise_system_error(t.file, errno);
    return Read::Failed;
}

// A count word (of a BiString in a Random file or a Variant String); Short at the end.
Read read_count(Transfer &t, uint32_t &n) {
    n = 0;
    Read r = read_exactly(t, &n, kCountBytes, false);
    if (r == Read::Short) n = 0;
    if (r == Read::Failed) runtime::raise_trap(BI_TRAP_BAD_RECORD_LENGTH);
    return r;
}

// The bytes the file holds from the current position on, or -1 when that cannot be told.
int64_t bytes_left(FILE *stream) {
    int64_t here = platform::tell(stream), end = platform::stream_length(stream);
    return here < 0 || end < 0 ? -1 : end - here;
}

bool get_variant_text(Transfer &t, VARIANT &v) {
    uint32_t n = 0;
    Read r = read_count(t, n);
    if (r != Read::Whole) return r == Read::Short; // at the end: the target stays Empty
    if (!t.count_in_random(kCountBytes + static_cast<int64_t>(n))) return false;
    if (n > kTrustedCount) { // a count past the end of the file reads what is there
        int64_t left = bytes_left(t.file.stream);
        if (left >= 0 && left < n) n = static_cast<uint32_t>(left);
    }
    runtime::ZrBuffer<char> text(static_cast<char *>(ZrCalloc(static_cast<size_t>(n) + 1, 1)));
    if (!text) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    if (read_exactly(t, text.get(), n) == Read::Failed) return false;
    uint32_t units = 0;
    runtime::ZrBuffer<OLECHAR> wide(n == 0 ? nullptr : platform::widen(text.get(), n, &units));
    BSTR b = n != 0 && !wide ? nullptr : SysAllocStringLen(wide.get(), units);
    if (b == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    v.bstrVal = b;
    v.vt = VT_BSTR;
    return true;
}

bool get_variant(Transfer &t, VARIANT &v) {
    BiXVariantClear(&v);
    if (!t.count(kSubtypeBytes)) return false;
    VARTYPE vt = VT_EMPTY;
    Read r = read_exactly(t, &vt, kSubtypeBytes, false);
    if (r == Read::Failed) {
        runtime::raise_trap(BI_TRAP_BAD_RECORD_LENGTH);
        return false;
    }
    if (r == Read::Short) return true; // the end of the file: Empty
    int size = value_size(vt);
    if (size == -2) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    if (size == -1) return get_variant_text(t, v);
    if (!t.count(size)) return false;
    int64_t value = 0;
    Read value_read = read_exactly(t, &value, static_cast<size_t>(size));
    if (value_read == Read::Failed) return false;
    if (value_read == Read::Short) value = 0;   // a value cut by the end of the file reads as 0
    std::memcpy(&v.iVal, &value, sizeof value); // the value, zero-extended
    v.vt = vt;
    return true;
}

// A BiString of a Random file: its count, then that many bytes into a buffer of its own.
bool get_counted_string(Transfer &t, BiString &s) {
    uint32_t n = 0;
    Read r = read_count(t, n);
    if (r != Read::Whole || n == 0) {
        runtime::release_variable(s);
        return r != Read::Failed;
    }
    if (!t.count(kCountBytes + static_cast<int64_t>(n))) {
        runtime::release_variable(s);
        return false;
    }
    void *old = runtime::length_of(s) == 0 ? nullptr : s.data; // an empty variable owns no buffer
    auto *buffer = static_cast<char *>(ZrRealloc(old, static_cast<size_t>(n) + 1));
    if (buffer == nullptr) {
        runtime::release_variable(s);
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    std::memset(buffer, 0, static_cast<size_t>(n) + 1);
    s = BiString{buffer, n};
    return read_exactly(t, buffer, n) != Read::Failed;
}

// A BiString of a Binary file: as many bytes as it holds, over its text.
bool get_string_in_place(Transfer &t, BiString &s) {
    uint32_t n = runtime::length_of(s);
    if (n == 0) return true;
    std::memset(s.data, 0, n);
    return read_exactly(t, s.data, n) != Read::Failed;
}

bool get_fixed(Transfer &t, const BiFileField &field) {
    if (field.size < 0) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    if (!t.count_in_random(field.size)) return false;
    auto size = static_cast<size_t>(field.size);
    if (field.kind == BI_TYPE_FIXED_STRING) std::memset(field.address, 0, size);
    Read r = read_exactly(t, field.address, size);
    if (r != Read::Whole && field.kind != BI_TYPE_FIXED_STRING) std::memset(field.address, 0, size);
    return r != Read::Failed;
}

bool get_field(Transfer &t, const BiFileField &field) {
    switch (field.kind) {
    case BI_TYPE_VARIANT:
        return get_variant(t, *static_cast<VARIANT *>(field.address));
    case BI_TYPE_STRING: {
        auto &s = *static_cast<BiString *>(field.address);
        return t.random ? get_counted_string(t, s) : get_string_in_place(t, s);
    }
    default:
        return get_fixed(t, field);
    }
}

void get(int16_t number, int32_t position, int32_t given, const BiFileFieldList *fields) {
    FileRecord *file = begin(number, position, given, kAccessWrite);
    if (file == nullptr) return;
    int64_t offset = start_offset(*file, position, given != 0);
    if (offset < 0 || !platform::seek_to(file->stream, offset)) {
        runtime::raise_trap(BI_TRAP_PATH_FILE_ACCESS);
        return;
    }
    Transfer t{*file, file->mode == kModeRandom};
    for (int32_t i = 0; fields != nullptr && i < fields->count; ++i)
        if (!get_field(t, fields->fields[i])) return;
}

} // namespace

} // namespace brtl::fileio

extern "C" {

BRTL_API void ZbiBuiltIn_Put(int16_t number, int32_t position, int32_t position_given,
                             const BiFileFieldList *fields) {
    brtl::fileio::put(number, position, position_given, fields);
}

BRTL_API void ZbiBuiltIn_Get(int16_t number, int32_t position, int32_t position_given,
                             const BiFileFieldList *fields) {
    brtl::fileio::get(number, position, position_given, fields);
}

} // extern "C"
