// LCase, UCase, LTrim, RTrim and Trim: the in-place Variant forms and the runtime-string forms.
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"
#include "strings/text_util.h"

namespace {

using brtl::runtime::OwnedString;

enum class Case { Lower, Upper };

// ---- Case ---------------------------------------------------------------------------------------

void map_case_units(VARIANT *v, Case to) {
    if (v->vt == VT_NULL) return;
    if (!brtl::strings::make_bstr(*v)) return;
    BSTR b = v->bstrVal;
    uint32_t n = SysStringLen(b);
    for (uint32_t i = 0; i < n; ++i)
        b[i] =
            to == Case::Lower ? brtl::platform::tow_lower(b[i]) : brtl::platform::tow_upper(b[i]);
}

// Single-byte code page: every byte the code page classes as a letter of the other case.
void map_case_bytes(char *p, uint32_t n, Case to) {
    for (uint32_t i = 0; i < n; ++i) {
        int c = static_cast<unsigned char>(p[i]);
        if (to == Case::Lower && brtl::platform::is_upper(c)) p[i] = static_cast<char>(c + 0x20);
        if (to == Case::Upper && brtl::platform::is_lower(c)) p[i] = static_cast<char>(c - 0x20);
    }
}

// Double-byte code page: single-byte characters are mapped, double-byte ones skipped whole. The
// walk stops at a NUL byte or at a byte sequence that is no character; the bytes after it are
// kept as they are.
void map_case_chars(char *p, uint32_t n, Case to) {
    for (uint32_t i = 0; i < n;) {
        bool valid = false;
        size_t len = brtl::platform::char_length(p + i, n - i, &valid);
        if (!valid || p[i] == '\0') return;
        if (len == 1) {
            int c = static_cast<unsigned char>(p[i]);
            p[i] = static_cast<char>(to == Case::Lower ? brtl::platform::to_lower(c)
                                                       : brtl::platform::to_upper(c));
        }
        i += static_cast<uint32_t>(len);
    }
}

BiString map_case_string(BiString s, Case to) {
    BiString work = s;
    if (!brtl::runtime::is_temporary(
            s)) { // a borrowed string is copied, a temporary changed in place
        if (!brtl::runtime::try_temporary_copy(s.data, brtl::runtime::length_of(s), work))
            return brtl::runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    }
    uint32_t n = brtl::runtime::length_of(work);
    if (n == 0) return work;
    if (brtl::platform::mb_cur_max() == 1)
        map_case_bytes(work.data, n, to);
    else
        map_case_chars(work.data, n, to);
    return work;
}

// ---- Trimming -----------------------------------------------------------------------------------

uint32_t leading_spaces(const char *p, uint32_t n) {
    OLECHAR full_width = brtl::strings::full_width_space();
    uint32_t pos = 0;
    while (uint32_t used = brtl::strings::trim_space_at(p + pos, n - pos, full_width))
        pos += used;
    return pos;
}

BiString ltrim_string(BiString s) {
    brtl::runtime::OwnedString arg(s);
    uint32_t len = arg.size();
    uint32_t skip = leading_spaces(arg.data(), len);
    if (skip == len) return brtl::strings::release_to_empty(arg, false);
    BiString out;
    brtl::strings::cut(arg, skip, len - skip, out);
    return out;
}

BiString rtrim_single_byte(brtl::runtime::OwnedString &arg) {
    uint32_t keep = arg.size();
    while (keep > 0 && arg.data()[keep - 1] == ' ')
        --keep;
    if (keep == 0) return brtl::strings::release_to_empty(arg, false);
    BiString out;
    brtl::strings::cut(arg, 0, keep, out);
    return out;
}

// Double-byte code page: the text goes to UTF-16, loses its trailing spaces there and comes
// back character by character.
BiString rtrim_double_byte(brtl::runtime::OwnedString &arg) {
    uint32_t keep = 0;
    brtl::runtime::ZrBuffer<OLECHAR> wide = brtl::strings::to_wide(arg, keep);
    if (!wide) return brtl::runtime::empty_string(true);
    OLECHAR full_width = brtl::strings::full_width_space();
    while (keep > 0 && brtl::strings::is_trim_space(wide.get()[keep - 1], full_width))
        --keep;
    if (keep == 0) return brtl::strings::release_to_empty(arg, false);
    BiString out;
    brtl::strings::from_wide(arg, wide.get(), keep, out);
    return out;
}

BiString rtrim_string(BiString s) {
    brtl::runtime::OwnedString arg(s);
    if (arg.size() == 0) return arg.release();
    return brtl::platform::mb_cur_max() == 1 ? rtrim_single_byte(arg) : rtrim_double_byte(arg);
}

// LTrim and RTrim of a Variant: the spaces are counted on the units; the kept units come from
// Right or Left, which cut the BSTR in place or copy it.
void trim_units(VARIANT *v, bool leading) {
    if (v->vt == VT_NULL) return;
    if (!brtl::strings::make_bstr(*v)) return;
    BSTR b = v->bstrVal;
    uint32_t len = SysStringLen(b);
    OLECHAR full_width = brtl::strings::full_width_space();
    uint32_t spaces = 0;
    if (leading) {
        while (spaces < len && brtl::strings::is_trim_space(b[spaces], full_width))
            ++spaces;
    } else {
        while (spaces < len && brtl::strings::is_trim_space(b[len - 1 - spaces], full_width))
            ++spaces;
    }
    if (spaces == 0) return;
    // The string moves into the cut; should a trap there leave by an exception, the caller's
    // Variant no longer refers to it.
    VARIANT operand = *v;
    v->vt = VT_EMPTY;
    VARIANT kept;
    int32_t n = static_cast<int32_t>(len - spaces);
    if (leading)
        ZbiBuiltIn_Right(&kept, operand, n);
    else
        ZbiBuiltIn_Left(&kept, operand, n);
    *v = kept;
}

} // namespace

extern "C" {

BRTL_API void ZbiBuiltIn_LCase(VARIANT *v) {
    map_case_units(v, Case::Lower);
}

BRTL_API void ZbiBuiltIn_UCase(VARIANT *v) {
    map_case_units(v, Case::Upper);
}

BRTL_API BiString ZbiBuiltIn_LCase_(BiString s) {
    return map_case_string(s, Case::Lower);
}

BRTL_API BiString ZbiBuiltIn_UCase_(BiString s) {
    return map_case_string(s, Case::Upper);
}

BRTL_API void ZbiBuiltIn_LTrim(VARIANT *v) {
    trim_units(v, true);
}

BRTL_API void ZbiBuiltIn_RTrim(VARIANT *v) {
    trim_units(v, false);
}

BRTL_API void ZbiBuiltIn_Trim(VARIANT *v) {
    ZbiBuiltIn_LTrim(v);
    // A Variant that is no string now was Null or could not be converted (the trap is raised
    // once, not twice).
    if (v->vt == VT_BSTR) ZbiBuiltIn_RTrim(v);
}

BRTL_API BiString ZbiBuiltIn_LTrim_(BiString s) {
    return ltrim_string(s);
}

BRTL_API BiString ZbiBuiltIn_RTrim_(BiString s) {
    return rtrim_string(s);
}

BRTL_API BiString ZbiBuiltIn_Trim_(BiString s) {
    return rtrim_string(ltrim_string(s));
}

} // extern "C"
