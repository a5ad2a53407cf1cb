// The repeated-character string (String$ and Space$ of the language): n copies of one
// character, given by its code or by a string whose first character it is.
#include <cmath>
#include <cstring>

#include "brtl/host.h"
#include "brtl/numeric.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace {

constexpr uint32_t kMaxLength = 0x7FFFFFFF;

// The bytes of one character: at most mb_cur_max of them.
struct Pattern {
    unsigned char bytes[4];
    uint32_t size;
};

// Clears the character Variant, then raises the trap.
bool clear_and_trap(brtl::variant::OwnedVariant &ch, int32_t trap) {
    ch.reset();
    brtl::runtime::raise_trap(trap);
    return false;
}

// A number truncated toward zero to an integer whose low 32 bits are the code. A value beyond
// the 64-bit range (or NaN) gives the integer indefinite, whose low 32 bits are 0.
uint32_t truncated_code(double value) {
    if (!(std::fabs(value) < 9223372036854775808.0)) return 0;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value)));
}

// The first character of a string Variant: its bytes when it is a double-byte character, else
// the code of its first byte.
bool string_pattern(brtl::variant::OwnedVariant &ch, uint32_t &code, Pattern &pattern) {
    BSTR b = ch.get()->bstrVal;
    if (SysStringLen(b) == 0) return clear_and_trap(ch, BI_TRAP_ILLEGAL_CALL);
    uint32_t bytes = 0;
    brtl::runtime::ZrBuffer<char> text(ZbiOleToChar(b, &bytes));
    if (!text) return clear_and_trap(ch, BI_TRAP_OUT_OF_MEMORY);
    size_t len = brtl::platform::char_length(text.get(), bytes);
    if (len > 1) {
        std::memcpy(pattern.bytes, text.get(), len);
        pattern.size = static_cast<uint32_t>(len);
        return true;
    }
    // The byte is taken as it is: widened with its sign, a byte above 0x7F would turn into a
    // two-byte code under a double-byte code page.
    code = static_cast<unsigned char>(text.get()[0]);
    return true;
}

// The character code of a numeric Variant (before masking); false after a trap.
bool numeric_code(brtl::variant::OwnedVariant &ch, uint32_t &code) {
    const VARIANT &v = *ch.get();
    switch (v.vt) {
    case VT_EMPTY:
        code = 0;
        return true;
    case VT_I2:
        code = static_cast<uint32_t>(static_cast<int32_t>(v.iVal));
        return true;
    case VT_I4:
        code = static_cast<uint32_t>(v.lVal);
        return true;
    case VT_R4:
        code = truncated_code(v.fltVal);
        return true;
    case VT_R8:
        code = truncated_code(v.dblVal);
        return true;
    case VT_DATE:
        code = truncated_code(v.date);
        return true;
    case VT_CY: {
        // Rounded half to even to a 16-bit integer. Outside that range the conversion raises
        // its own trap and gives 0; a value that does not round to 0 tells that case apart.
        int16_t value = ZbiCvtCurNumShort(v.cyVal);
        if (value == 0 && (v.cyVal < -5000 || v.cyVal > 5000)) {
            ch.reset();
            return false;
        }
        code = static_cast<uint32_t>(static_cast<int32_t>(value));
        return true;
    }
    default:
        return clear_and_trap(ch, BI_TRAP_ILLEGAL_CALL);
    }
}

// The pattern of the character ch gives; false after a trap (ch is then cleared).
bool character_pattern(brtl::variant::OwnedVariant &ch, Pattern &pattern) {
    uint32_t code = 0;
    pattern.size = 0;
    if (ch.get()->vt == VT_BSTR) {
        if (!string_pattern(ch, code, pattern)) return false;
        if (pattern.size != 0) return true;
    } else if (!numeric_code(ch, code)) {
        return false;
    }
    uint32_t max = static_cast<uint32_t>(brtl::platform::mb_cur_max());
    code &= max == 1 ? 0xFFu : 0xFFFFu; // mb_cur_max bytes of 0xFF
    uint32_t size = 1;
    while (size < 4 && (code >> (8 * size)) != 0)
        ++size;
    if (size > max) return clear_and_trap(ch, BI_TRAP_ILLEGAL_CALL);
    for (uint32_t i = 0; i < size; ++i) // most significant byte first
        pattern.bytes[i] = static_cast<unsigned char>(code >> (8 * (size - 1 - i)));
    pattern.size = size;
    return true;
}

// The trap the count or the character's subtype calls for before any conversion, or 0.
int32_t argument_trap(int32_t n, const VARIANT &ch) {
    if (n < 0) return BI_TRAP_ILLEGAL_CALL;
    if (n == INT32_MAX) return BI_TRAP_OUT_OF_STRING_SPACE;
    if (ch.vt == VT_NULL) return BI_TRAP_INVALID_USE_OF_NULL;
    if (ch.vt == VT_ERROR) return BI_TRAP_TYPE_MISMATCH;
    return 0;
}

// n copies of the pattern as a new temporary; no allocation for an empty result.
BiString repeat(const Pattern &pattern, int32_t n) {
    uint64_t total = static_cast<uint64_t>(pattern.size) * static_cast<uint64_t>(n);
    if (total > kMaxLength) return brtl::runtime::empty_after_trap(BI_TRAP_ILLEGAL_CALL);
    if (total == 0) return brtl::runtime::empty_string(true);
    auto *data = static_cast<char *>(ZrMemAlloc(static_cast<size_t>(total) + 1, 2));
    if (data == nullptr) return brtl::runtime::empty_after_trap(BI_TRAP_OUT_OF_STRING_SPACE);
    if (pattern.size == 1)
        std::memset(data, pattern.bytes[0], static_cast<size_t>(total));
    else
        ZrPatternMemSet(data, pattern.bytes, pattern.size, static_cast<uint32_t>(total));
    data[total] = '\0';
    return BiString{data, static_cast<uint32_t>(total) | BI_STRING_TEMP_FLAG};
}

} // namespace

extern "C" {

BRTL_API BiString ZbiBuiltIn_Space_(int32_t n, VARIANT ch) {
    brtl::variant::OwnedVariant owned(&ch);
    if (int32_t trap = argument_trap(n, ch)) {
        clear_and_trap(owned, trap);
        return brtl::runtime::empty_string(true);
    }
    Pattern pattern;
    if (!character_pattern(owned, pattern)) return brtl::runtime::empty_string(true);
    owned.reset();
    return repeat(pattern, n);
}

} // extern "C"
