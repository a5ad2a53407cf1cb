// Helpers shared by the string builtins.
#include "strings/text_util.h"

#include <cstring>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace brtl::strings {

namespace {

constexpr uint32_t min_u32(uint32_t a, uint32_t b) {
    return a < b ? a : b;
}

// The bytes the code page lets one character take, bounded by what is left of the text.
uint32_t window(uint32_t available) {
    return min_u32(static_cast<uint32_t>(platform::mb_cur_max()), available);
}

bool fail_for_memory(runtime::OwnedString &arg, BiString &out) {
    release_and_trap(arg, BI_TRAP_OUT_OF_MEMORY);
    out = runtime::empty_string(true);
    return false;
}

} // namespace

BiString release_to_empty(runtime::OwnedString &arg, bool temporary) {
    arg.reset();
    return runtime::empty_string(temporary);
}

BiString release_and_trap(runtime::OwnedString &arg, int32_t trap) {
    arg.reset();
    return runtime::empty_after_trap(trap);
}

bool cut(runtime::OwnedString &arg, uint32_t offset, uint32_t count, BiString &out) {
    if (count == 0) {
        out = release_to_empty(arg, true);
        return true;
    }
    if (offset == 0 && count == arg.size() && arg.temporary()) {
        out = arg.release();
        return true;
    }
    auto *data = static_cast<char *>(ZrMalloc(static_cast<size_t>(count) + 1));
    if (data == nullptr) return fail_for_memory(arg, out);
    std::memcpy(data, arg.data() + offset, count);
    data[count] = '\0';
    arg.reset();
    out = BiString{data, count | BI_STRING_TEMP_FLAG};
    return true;
}

runtime::ZrBuffer<OLECHAR> to_wide(runtime::OwnedString &arg, uint32_t &count) {
    runtime::ZrBuffer<OLECHAR> wide(ZbiCharToWide(arg.data(), arg.size(), &count));
    if (!wide) release_and_trap(arg, BI_TRAP_OUT_OF_MEMORY);
    return wide;
}

bool from_wide(runtime::OwnedString &arg, const OLECHAR *units, uint32_t count, BiString &out) {
    // ZbiWideToChar converts unit by unit with wctomb into room for mb_cur_max bytes a unit; a
    // unit the code page lacks becomes one default character.
    uint32_t bytes = 0;
    char *text = ZbiWideToChar(units, count, &bytes);
    if (text == nullptr) return fail_for_memory(arg, out);
    arg.reset();
    out = runtime::adopt_buffer(text, bytes);
    return true;
}

OLECHAR full_width_space() {
    int max = platform::mb_cur_max();
    if (max < 2) return 0;
    OLECHAR unit = 0;
    if (platform::mbtowc(&unit, "\x81\x40", static_cast<size_t>(max)) <= 0) return 0;
    if (unit >= 0x09 && unit <= 0x0D) return 0;
    return unit;
}

bool is_trim_space(OLECHAR unit, OLECHAR full_width) {
    return unit == 0x20 || (full_width != 0 && unit == full_width);
}

uint32_t trim_space_at(const char *p, uint32_t available, OLECHAR full_width) {
    if (available == 0) return 0;
    if (*p == ' ') return 1;
    if (platform::mb_cur_max() < 2) return 0;
    OLECHAR unit = 0;
    int used = platform::mbtowc(&unit, p, window(available));
    return used > 0 && is_trim_space(unit, full_width) ? static_cast<uint32_t>(used) : 0;
}

uint32_t scan_space_at(const char *p, uint32_t available, OLECHAR full_width) {
    if (available == 0) return 0;
    switch (*p) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
        return 1;
    default:
        break;
    }
    if (platform::mb_cur_max() < 2) return 0;
    OLECHAR unit = 0;
    int used = platform::mbtowc(&unit, p, window(available));
    return used >= 2 && is_trim_space(unit, full_width) ? static_cast<uint32_t>(used) : 0;
}

bool make_bstr(VARIANT &v) {
    if (v.vt != VT_BSTR) ZbiVariantCvtToBStr(&v, &v);
    return v.vt == VT_BSTR;
}

void shorten_bstr(BSTR b, uint32_t n) {
    // The 32-bit byte count sits right before the first unit.
    uint32_t bytes = 2 * n;
    std::memcpy(reinterpret_cast<char *>(b) - sizeof bytes, &bytes, sizeof bytes);
    b[n] = 0;
}

bool take_text(VARIANT &v, BiString &out) {
    variant::OwnedVariant owned(&v);
    out = runtime::empty_string(true);
    if (!make_bstr(v)) return false;
    uint32_t bytes = 0;
    char *text = ZbiOleToChar(v.bstrVal, &bytes);
    owned.reset();
    if (text == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return false;
    }
    out = runtime::adopt_buffer(text, bytes);
    return true;
}

} // namespace brtl::strings
