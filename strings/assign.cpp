// The string statements: Mid and MidB (write into a string), LSet and RSet (justify a text in a
// string of fixed width), their Variant forms, and LSet of one record over another.
#include <cstring>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "strings/text_util.h"
#include "variant/owned_variant.h"
#include "variant/string_variant.h"

namespace {

using brtl::runtime::OwnedString;

constexpr char kFill = ' ';

bool single_byte_code_page() {
    return brtl::platform::mb_cur_max() == 1;
}

uint32_t min_u32(uint32_t a, uint32_t b) {
    return a < b ? a : b;
}

// A string held as a variable would hold it: released (whatever its flag) at the end of the
// scope, so that a hook leaving by an exception leaks nothing.
struct VariableGuard {
    BiString s = brtl::runtime::empty_string();
    VariableGuard() = default;
    VariableGuard(const VariableGuard &) = delete;
    VariableGuard &operator=(const VariableGuard &) = delete;
    ~VariableGuard() { brtl::runtime::release_variable(s); }
};

// The checks shared by Mid and MidB before dest's length is known. True when the statement goes
// on; false after nothing (length 0) or after trap 5.
bool mid_arguments_valid(brtl::runtime::OwnedString &source, int32_t start, int32_t length) {
    if (length == 0) {
        source.reset();
        return false;
    }
    if (start < 1 || length < 1) {
        source.reset();
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return false;
    }
    return true;
}

// The number of units written from 1-based `start` (within `total`): at most `length` and at most
// the `available` units of the source.
uint32_t write_count(uint32_t total, int32_t start, int32_t length, uint32_t available) {
    uint32_t rest = total - (static_cast<uint32_t>(start) - 1);
    return min_u32(min_u32(rest, static_cast<uint32_t>(length)), available);
}

void mid_bytes(BiString *dest, BiString src, int32_t start, int32_t length) {
    brtl::runtime::OwnedString source(src);
    if (!mid_arguments_valid(source, start, length)) return;
    uint32_t width = brtl::runtime::length_of(*dest);
    if (static_cast<uint32_t>(start) > width) {
        source.reset();
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    uint32_t count = write_count(width, start, length, source.size());
    // The source may be the destination itself (or a part of it).
    if (count != 0) std::memmove(dest->data + (start - 1), source.data(), count);
}

// Mid under a double-byte code page: the characters of dest are replaced in its UTF-16 form and
// the whole text is converted back into a new buffer, which replaces the old one only once it
// exists (so a failed allocation leaves dest as it was).
void mid_chars(BiString *dest, BiString src, int32_t start, int32_t length) {
    brtl::runtime::OwnedString source(src);
    if (!mid_arguments_valid(source, start, length)) return;
    uint32_t wlen = 0;
    brtl::runtime::ZrBuffer<OLECHAR> units(
        ZbiCharToWide(dest->data, brtl::runtime::length_of(*dest), &wlen));
    if (!units) {
        source.reset();
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    if (static_cast<uint32_t>(start) > wlen) {
        source.reset();
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    uint32_t slen = 0;
    brtl::runtime::ZrBuffer<OLECHAR> replacement = brtl::strings::to_wide(source, slen);
    if (!replacement) return;
    uint32_t count = write_count(wlen, start, length, slen);
    source.reset();
    if (count == 0) return;
    std::memcpy(units.get() + (start - 1), replacement.get(), count * sizeof(OLECHAR));
    uint32_t bytes = 0;
    char *text = ZbiWideToChar(units.get(), wlen, &bytes);
    if (text == nullptr) {
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return;
    }
    brtl::runtime::release_variable(*dest);
    if (bytes == 0) {
        ZrFree(text);
        return;
    }
    *dest = BiString{text, bytes};
}

// The bytes of whole characters at the start of src (n bytes) that fit in `width` bytes.
uint32_t fitting_bytes(const char *src, uint32_t n, uint32_t width) {
    if (n <= width) return n;
    if (single_byte_code_page()) return width;
    uint32_t used = 0;
    while (used < width) {
        uint32_t next = static_cast<uint32_t>(brtl::platform::char_length(src + used, n - used));
        if (used + next > width) break;
        used += next;
    }
    return used;
}

// Writes the first `count` bytes of src at `offset` of dest and fills the rest of the width
// with spaces. The copy comes first: the source may lie inside the destination.
void place(BiString *dest, const char *src, uint32_t count, uint32_t offset) {
    uint32_t width = brtl::runtime::length_of(*dest);
    std::memmove(dest->data + offset, src, count);
    std::memset(dest->data, kFill, offset);
    std::memset(dest->data + offset + count, kFill, width - offset - count);
}

void justify(BiString *dest, BiString src, bool right) {
    brtl::runtime::OwnedString source(src);
    uint32_t width = brtl::runtime::length_of(*dest);
    if (width == 0) return;
    uint32_t n = source.size();
    if (right && n < width) {
        place(dest, source.data(), n, width - n);
        return;
    }
    place(dest, source.data(), fitting_bytes(source.data(), n, width), 0);
}

// The code page form of a copy of dest's value, as a variable-held string in `field`. False
// after a trap whose hook returned (dest is then as it was).
bool take_destination(const VARIANT *dest, VariableGuard &field) {
    brtl::variant::OwnedVariant copy;
    if (dest->vt < VT_BSTR) {
        *copy = *dest; // no storage of its own to share
    } else if (HRESULT hr = ZbiVariantCopyNoClear_(copy.get(), dest); hr != S_OK) {
        brtl::runtime::raise_trap(ZbiCvtHResultToTrapNo(hr));
        return false;
    }
    BiString text;
    if (!brtl::strings::take_text(*copy, text)) return false;
    field.s = text;
    field.s.length_word &= BI_STRING_LENGTH_MASK;
    return true;
}

// Stores the field's text in dest as a string Variant, releasing dest's old value. When memory
// runs out dest is left Empty and trap 7 raised.
void store_field(VARIANT *dest, const BiString &field) {
    BiXVariantClear(dest);
    brtl::variant::store_text_variant(dest, field.data, brtl::runtime::length_of(field));
}

using Statement = void (*)(BiString *, BiString, int32_t, int32_t);

// How the source of a Variant statement becomes a string Variant: by the conversion of Mid, or by
// the checked change of type of LSet and RSet.
enum class SourceConversion { ToText, ChangeType };

// A statement on the code page form of a Variant's text: dest is replaced only when no trap was
// raised on the way.
void on_variant(VARIANT *dest, VARIANT src, Statement statement, int32_t start, int32_t length,
                SourceConversion conversion = SourceConversion::ToText) {
    brtl::variant::OwnedVariant source(&src);
    VariableGuard field;
    if (!take_destination(dest, field)) return;
    if (conversion == SourceConversion::ChangeType && src.vt != VT_BSTR) {
        ZbiVariantChangeTypeAndTrap(&src, &src, VT_BSTR);
        if (src.vt != VT_BSTR) return;
    }
    BiString text;
    source.release();
    if (!brtl::strings::take_text(src, text)) return;
    uint64_t traps = brtl::runtime::traps_raised();
    statement(&field.s, text, start, length);
    if (brtl::runtime::traps_raised() != traps) return;
    store_field(dest, field.s);
}

void justify_left(BiString *dest, BiString src, int32_t, int32_t) {
    justify(dest, src, false);
}
void justify_right(BiString *dest, BiString src, int32_t, int32_t) {
    justify(dest, src, true);
}

} // namespace

extern "C" {

BRTL_API void ZbiBuiltIn_MidBStmt_(BiString *dest, BiString src, int32_t start, int32_t length) {
    mid_bytes(dest, src, start, length);
}

BRTL_API void ZbiBuiltIn_MidStmt_(BiString *dest, BiString src, int32_t start, int32_t length) {
    // Under a single-byte code page a character is a byte: the round trip through UTF-16 would
    // give the same text, so the bytes are written in place.
    if (single_byte_code_page()) return mid_bytes(dest, src, start, length);
    mid_chars(dest, src, start, length);
}

BRTL_API void ZbiBuiltIn_MidStmt(VARIANT *dest, VARIANT src, int32_t start, int32_t length) {
    on_variant(dest, src, ZbiBuiltIn_MidStmt_, start, length);
}

BRTL_API void ZbiBuiltIn_MidBStmt(VARIANT *dest, VARIANT src, int32_t start, int32_t length) {
    on_variant(dest, src, ZbiBuiltIn_MidBStmt_, start, length);
}

BRTL_API void ZbiBuiltIn_LSet(BiString *dest, BiString src) {
    justify(dest, src, false);
}

BRTL_API void ZbiBuiltIn_RSet(BiString *dest, BiString src) {
    justify(dest, src, true);
}

BRTL_API void ZbiBuiltIn_LSetVar(VARIANT *dest, VARIANT src) {
    on_variant(dest, src, justify_left, 0, 0, SourceConversion::ChangeType);
}

BRTL_API void ZbiBuiltIn_RSetVar(VARIANT *dest, VARIANT src) {
    on_variant(dest, src, justify_right, 0, 0, SourceConversion::ChangeType);
}

BRTL_API void ZbiBuiltIn_LSetRec(void *dest, int32_t dest_size, const void *src, int32_t src_size) {
    int32_t count = src_size < dest_size ? src_size : dest_size;
    if (count > 0) std::memmove(dest, src, static_cast<size_t>(count));
}

} // extern "C"
