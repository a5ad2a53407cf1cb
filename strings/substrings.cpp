// Left, Right and Mid: the byte forms and character (C) forms on runtime strings, and the
// Variant forms.
#include <cstring>

#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "platform/codepage.h"
#include "runtime/hooks.h"
#include "strings/text_util.h"
#include "variant/owned_variant.h"

namespace {

using brtl::runtime::OwnedString;
using brtl::variant::OwnedVariant;

enum class End { Left, Right };

// A BSTR shrunk by at most this many units keeps its allocation.
constexpr uint32_t kInPlaceShrink = 64;

bool single_byte_code_page() {
    return brtl::platform::mb_cur_max() == 1;
}

// Left_ and Right_: n bytes from one end.
BiString take_bytes(BiString s, int32_t n, End end) {
    brtl::runtime::OwnedString arg(s);
    if (n < 0) return brtl::strings::release_and_trap(arg, BI_TRAP_ILLEGAL_CALL);
    if (n == 0) return brtl::strings::release_to_empty(arg, true);
    uint32_t len = arg.size();
    uint32_t count = static_cast<uint32_t>(n);
    if (len <= count) return arg.release();
    BiString out;
    brtl::strings::cut(arg, end == End::Left ? 0 : len - count, count, out);
    return out;
}

// LeftC_ and RightC_: n characters from one end.
BiString take_chars(BiString s, int32_t n, End end) {
    if (single_byte_code_page()) return take_bytes(s, n, end);
    brtl::runtime::OwnedString arg(s);
    if (n < 0) return brtl::strings::release_and_trap(arg, BI_TRAP_ILLEGAL_CALL);
    if (n == 0) return brtl::strings::release_to_empty(arg, true);
    uint32_t count = static_cast<uint32_t>(n);
    if (arg.size() <= count) return arg.release(); // no more characters than bytes
    uint32_t wlen = 0;
    brtl::runtime::ZrBuffer<OLECHAR> wide = brtl::strings::to_wide(arg, wlen);
    if (!wide) return brtl::runtime::empty_string(true);
    if (wlen <= count) return arg.release();
    const OLECHAR *first = end == End::Left ? wide.get() : wide.get() + (wlen - count);
    BiString out;
    brtl::strings::from_wide(arg, first, count, out);
    return out;
}

// The checks shared by MidFunc_ and MidFuncC_. True when the result is settled (`out` holds it,
// `ok` false after a trap); false when the cut goes on.
bool settle_mid(brtl::runtime::OwnedString &arg, int32_t start, int32_t length, BiString &out,
                bool &ok) {
    ok = true;
    if (length == 0) { // comes before the test of start, which is then not validated
        out = brtl::strings::release_to_empty(arg, false);
        return true;
    }
    if (start < 1 || length < 1) {
        out = brtl::strings::release_and_trap(arg, BI_TRAP_ILLEGAL_CALL);
        ok = false;
        return true;
    }
    return false;
}

// The number of units from 1-based `start` on, at most `length`, of a text of `total` units;
// 0 when start lies beyond the text.
uint32_t mid_count(uint32_t total, int32_t start, int32_t length) {
    uint32_t first = static_cast<uint32_t>(start) - 1;
    if (first >= total) return 0;
    uint32_t rest = total - first;
    uint32_t wanted = static_cast<uint32_t>(length);
    return rest < wanted ? rest : wanted;
}

BiString mid_bytes(BiString s, int32_t start, int32_t length, bool &ok) {
    brtl::runtime::OwnedString arg(s);
    BiString out;
    if (settle_mid(arg, start, length, out, ok)) return out;
    uint32_t count = mid_count(arg.size(), start, length);
    if (count == 0) return brtl::strings::release_to_empty(arg, false);
    ok = brtl::strings::cut(arg, static_cast<uint32_t>(start) - 1, count, out);
    return out;
}

BiString mid_chars(BiString s, int32_t start, int32_t length, bool &ok) {
    if (single_byte_code_page()) return mid_bytes(s, start, length, ok);
    brtl::runtime::OwnedString arg(s);
    BiString out;
    if (settle_mid(arg, start, length, out, ok)) return out;
    uint32_t wlen = 0;
    brtl::runtime::ZrBuffer<OLECHAR> wide = brtl::strings::to_wide(arg, wlen);
    if (!wide) {
        ok = false;
        return brtl::runtime::empty_string(true);
    }
    uint32_t count = mid_count(wlen, start, length);
    if (count == 0) return brtl::strings::release_to_empty(arg, false);
    ok = brtl::strings::from_wide(arg, wide.get() + (start - 1), count, out);
    return out;
}

// Left and Right of a Variant: the operand is moved into the result, its BSTR cut in place when
// it shrinks by at most kInPlaceShrink units, else replaced by a fresh copy of the kept units.
VARIANT *take_units(VARIANT *result, VARIANT v, int32_t n, End end) {
    if (v.vt == VT_NULL) {
        *result = v;
        return result;
    }
    brtl::variant::OwnedVariant operand(&v);
    result->vt = VT_EMPTY; // the result should a trap's hook return
    if (n < 0) {
        operand.reset();
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    if (!brtl::strings::make_bstr(v)) return result;
    uint32_t len = SysStringLen(v.bstrVal);
    uint32_t count = static_cast<uint32_t>(n);
    if (len > count) {
        uint32_t first = end == End::Left ? 0 : len - count;
        if (len - count > kInPlaceShrink) {
            BSTR fresh = SysAllocStringLen(v.bstrVal + first, count);
            if (fresh == nullptr) {
                operand.reset();
                brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
                return result;
            }
            SysFreeString(v.bstrVal);
            v.bstrVal = fresh;
        } else {
            if (first != 0) std::memmove(v.bstrVal, v.bstrVal + first, count * sizeof(OLECHAR));
            brtl::strings::shorten_bstr(v.bstrVal, count);
        }
    }
    *result = *operand.release();
    return result;
}

// Mid of a Variant: cut the code page form of its text and make a new string Variant of it.
VARIANT *mid_units(VARIANT *result, VARIANT v, int32_t start, int32_t length, bool chars) {
    if (v.vt == VT_NULL) {
        *result = v;
        return result;
    }
    result->vt = VT_EMPTY;
    BiString text;
    if (!brtl::strings::take_text(v, text)) return result;
    bool ok = true;
    BiString piece =
        chars ? mid_chars(text, start, length, ok) : mid_bytes(text, start, length, ok);
    if (!ok) return result;
    return ZbiEvalCvtSV(result, piece);
}

} // namespace

extern "C" {

BRTL_API BiString ZbiBuiltIn_Left_(BiString s, int32_t n) {
    return take_bytes(s, n, End::Left);
}

BRTL_API BiString ZbiBuiltIn_Right_(BiString s, int32_t n) {
    return take_bytes(s, n, End::Right);
}

BRTL_API BiString ZbiBuiltIn_LeftC_(BiString s, int32_t n) {
    return take_chars(s, n, End::Left);
}

BRTL_API BiString ZbiBuiltIn_RightC_(BiString s, int32_t n) {
    return take_chars(s, n, End::Right);
}

BRTL_API BiString ZbiBuiltIn_MidFunc_(BiString s, int32_t start, int32_t length) {
    bool ok = true;
    return mid_bytes(s, start, length, ok);
}

BRTL_API BiString ZbiBuiltIn_MidFuncC_(BiString s, int32_t start, int32_t length) {
    bool ok = true;
    return mid_chars(s, start, length, ok);
}

BRTL_API VARIANT *ZbiBuiltIn_Left(VARIANT *result, VARIANT v, int32_t n) {
    return take_units(result, v, n, End::Left);
}

BRTL_API VARIANT *ZbiBuiltIn_Right(VARIANT *result, VARIANT v, int32_t n) {
    return take_units(result, v, n, End::Right);
}

BRTL_API VARIANT *ZbiBuiltIn_LeftC(VARIANT *result, VARIANT v, int32_t n) {
    return take_units(result, v, n, End::Left);
}

BRTL_API VARIANT *ZbiBuiltIn_RightC(VARIANT *result, VARIANT v, int32_t n) {
    return take_units(result, v, n, End::Right);
}

BRTL_API VARIANT *ZbiBuiltIn_MidFunc(VARIANT *result, VARIANT v, int32_t start, int32_t length) {
    return mid_units(result, v, start, length, false);
}

BRTL_API VARIANT *ZbiBuiltIn_MidFuncC(VARIANT *result, VARIANT v, int32_t start, int32_t length) {
    return mid_units(result, v, start, length, true);
}

} // extern "C"
