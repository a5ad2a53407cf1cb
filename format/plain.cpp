// The plain conversion of the format engine (the text of a value with no numeric or date
// format) and the string formats.
#include "format/plain.h"

#include <cstring>

#include "brtl/datetime.h"
#include "brtl/host.h"
#include "brtl/numeric.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "platform/numtext.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"
#include "variant/plain_text.h"

namespace brtl::format {

namespace {

BiString with_leading_space(BiString text, bool leading_space) {
    if (!leading_space || (runtime::length_of(text) > 0 && text.data[0] == '-')) return text;
    runtime::OwnedString owned(text);
    runtime::ZrBuffer<char> spaced(static_cast<char *>(ZrMalloc(owned.size() + 2)));
    if (!spaced) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    spaced.get()[0] = ' ';
    std::memcpy(spaced.get() + 1, owned.data(), owned.size());
    return runtime::adopt_buffer(spaced.release(), owned.size() + 1);
}

BiString number_text(int32_t kind, const void *value, bool leading_space) {
    if (kind == 9) {
        BiString text = ZbiCvtCurNumStr(*static_cast<const int64_t *>(value), 10);
        return with_leading_space(text, leading_space);
    }
    char buf[variant::kPlainTextCapacity];
    size_t n = 0;
    variant::plain_number_text(kind, value, buf + 1, n);
    if (leading_space && buf[1] != '-') {
        buf[0] = ' ';
        return runtime::temporary_copy(buf, n + 1);
    }
    return runtime::temporary_copy(buf + 1, n);
}

BiString variant_plain(const VARIANT *v, const char *format, uint32_t format_length,
                       bool leading_space) {
    switch (v->vt) {
    case VT_I2:
    case VT_BOOL: // the Integer text of -1 or 0, as the Variant conversion gives it
        return number_text(4, &v->iVal, leading_space);
    case VT_I4:
        return number_text(6, &v->lVal, leading_space);
    case VT_R4:
        return number_text(7, &v->fltVal, leading_space);
    case VT_R8:
    case VT_DATE:
        return number_text(8, &v->dblVal, leading_space);
    case VT_CY:
        return number_text(9, &v->cyVal, leading_space);
    case VT_EMPTY:
        return leading_space ? runtime::temporary_copy(" 0", 2) : runtime::empty_string(true);
    case VT_NULL:
        if (leading_space) runtime::raise_trap(BI_TRAP_INVALID_USE_OF_NULL);
        return runtime::empty_string(true);
    case VT_BSTR: {
        if (!leading_space) return format_string(v, format, format_length);
        variant::OwnedVariant number;
        if (BiXVariantCopy(number.get(), v) != S_OK)
            return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
        ZbiVariantCvtToNum(number.get(), number.get());
        if (number->vt == VT_BSTR || number->vt == VT_EMPTY) return runtime::empty_string(true);
        return variant_plain(number.get(), format, format_length, true);
    }
    default:
        return runtime::empty_after_trap(BI_TRAP_TYPE_MISMATCH);
    }
}

// ---- String formats ------------------------------------------------------------------------

struct StringFormat {
    bool lower = false;
    bool upper = false;
    bool left_to_right = false;
    bool effective = false;
};

template <typename Unit> StringFormat read_string_format(const Unit *f, size_t n) {
    StringFormat sf;
    for (size_t i = 0; i < n; ++i) {
        if (f[i] == '<') sf.lower = true;
        if (f[i] == '>') sf.upper = true;
        if (f[i] == '!') sf.left_to_right = true;
        if (f[i] != ' ') sf.effective = true;
    }
    if (sf.lower && sf.upper) sf.lower = sf.upper = false; // both together cancel
    return sf;
}

// Fills the placeholders of the format part with the text's units into out, which has room for
// fn + tn units; returns the number of units written.
template <typename Unit>
size_t fill(const Unit *f, size_t fn, const Unit *t, size_t tn, bool left_to_right, Unit *out) {
    auto is_control = [](Unit c) { return c == '<' || c == '>' || c == '!'; };
    size_t n = 0;
    if (left_to_right) {
        size_t ti = 0;
        for (size_t i = 0; i < fn; ++i) {
            Unit c = f[i];
            if (c == '@')
                out[n++] = ti < tn ? t[ti++] : Unit(' ');
            else if (c == '&') {
                if (ti < tn) out[n++] = t[ti++];
            } else if (!is_control(c))
                out[n++] = c;
        }
        while (ti < tn)
            out[n++] = t[ti++];
        return n;
    }
    // Right to left: the units are laid down from the end of out, then moved to its start.
    size_t capacity = fn + tn, at = capacity, left = tn;
    for (size_t i = fn; i-- > 0;) {
        Unit c = f[i];
        if (c == '@')
            out[--at] = left > 0 ? t[--left] : Unit(' ');
        else if (c == '&') {
            if (left > 0) out[--at] = t[--left];
        } else if (!is_control(c))
            out[--at] = c;
    }
    while (left > 0)
        out[--at] = t[--left]; // text left over goes in front
    n = capacity - at;
    std::memmove(out, out + at, n * sizeof(Unit));
    return n;
}

BiString apply_case(BiString text, const StringFormat &sf) {
    if (sf.lower) return ZbiBuiltIn_LCase_(text);
    if (sf.upper) return ZbiBuiltIn_UCase_(text);
    return text;
}

BiString fill_bytes(BiString text, const char *part, size_t part_length, bool left_to_right) {
    runtime::OwnedString owned(text);
    runtime::ZrBuffer<char> out(static_cast<char *>(ZrMalloc(part_length + owned.size() + 1)));
    if (!out) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    size_t n = fill(part, part_length, owned.data(), owned.size(), left_to_right, out.get());
    return runtime::adopt_buffer(out.release(), n);
}

// Under a multibyte code page a double-byte character fills one placeholder: the work is done
// on UTF-16 units.
BiString fill_wide(BiString text, const char *part, size_t part_length, bool left_to_right) {
    runtime::OwnedString owned(text);
    uint32_t fn = 0, tn = 0;
    runtime::ZrBuffer<OLECHAR> f(ZbiCharToWide(part, static_cast<uint32_t>(part_length), &fn));
    runtime::ZrBuffer<OLECHAR> t(ZbiCharToWide(owned.data(), owned.size(), &tn));
    if (!f || !t) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    runtime::ZrBuffer<OLECHAR> out(
        static_cast<OLECHAR *>(ZrMalloc((fn + tn + 1) * sizeof(OLECHAR))));
    if (!out) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    size_t n = fill(f.get(), fn, t.get(), tn, left_to_right, out.get());
    uint32_t bytes = 0;
    runtime::ZrBuffer<char> multibyte(ZbiWideToChar(out.get(), static_cast<uint32_t>(n), &bytes));
    if (!multibyte) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    return runtime::temporary_copy(multibyte.get(), bytes);
}

} // namespace

BiString format_string(const VARIANT *value, const char *format, uint32_t format_length) {
    BiString text = ZbiEvalCvtVS(*value, 0);
    const char *part = format;
    size_t part_length = format_length;
    if (const char *semicolon =
            static_cast<const char *>(std::memchr(format, ';', format_length))) {
        if (runtime::length_of(text) > 0) {
            part_length = static_cast<size_t>(semicolon - format);
        } else {
            part = semicolon + 1;
            part_length = format_length - static_cast<size_t>(part - format);
        }
    }
    StringFormat sf = read_string_format(part, part_length);
    if (!sf.effective) return text;
    text = apply_case(text, sf);
    if (platform::mb_cur_max() > 1) return fill_wide(text, part, part_length, sf.left_to_right);
    return fill_bytes(text, part, part_length, sf.left_to_right);
}

BiString format_plain(int32_t kind, const void *value, const char *format, uint32_t format_length,
                      bool leading_space) {
    switch (kind) {
    case 1:
        return variant_plain(static_cast<const VARIANT *>(value), format, format_length,
                             leading_space);
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
        return number_text(kind, value, leading_space);
    default:
        return runtime::empty_after_trap(BI_TRAP_UNSUPPORTED);
    }
}

} // namespace brtl::format
