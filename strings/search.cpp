// InStr, InStrC and StrComp: searching one text in another and ordering two texts, in binary or
// text (case-blind) comparison.
#include <cstring>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "platform/byte_search.h"
#include "platform/codepage.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "strings/text_util.h"
#include "variant/owned_variant.h"

namespace {

using brtl::variant::OwnedVariant;

enum class Compare { Binary, Text };

// False for a mode outside the accepted set.
bool read_mode(int32_t mode, Compare &compare) {
    bool text = mode == BI_COMPARE_TEXT || mode == BI_COMPARE_TEXT_256 ||
                (mode >= BI_COMPARE_TEXT_RANGE_FIRST && mode <= BI_COMPARE_TEXT_RANGE_LAST);
    if (mode != BI_COMPARE_BINARY && !text) return false;
    compare = text ? Compare::Text : Compare::Binary;
    return true;
}

// A byte with the ASCII upper-case letters lowered: the fold of the byte-wise case-blind compare.
inline unsigned char fold_byte(unsigned char b) {
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 0x20) : b;
}

// A UTF-16 unit with each of its two bytes folded as fold_byte folds it.
inline OLECHAR fold_unit_bytes(OLECHAR u) {
    return static_cast<OLECHAR>(fold_byte(static_cast<unsigned char>(u & 0xFF)) |
                                (fold_byte(static_cast<unsigned char>(u >> 8)) << 8));
}

// The first position from `from` at which the n units of `sought` occur in the len units of
// `text`, or -1. The bytes are searched with platform::find_bytes; a hit at an odd byte offset
// straddles two units and the search goes on one byte later.
int64_t find_binary(const OLECHAR *text, uint32_t len, uint32_t from, const OLECHAR *sought,
                    uint32_t n) {
    const char *base = reinterpret_cast<const char *>(text);
    const char *end = base + static_cast<size_t>(len) * sizeof(OLECHAR);
    const char *at = base + static_cast<size_t>(from) * sizeof(OLECHAR);
    size_t needle = static_cast<size_t>(n) * sizeof(OLECHAR);
    while (static_cast<size_t>(end - at) >= needle) {
        const void *hit =
            brtl::platform::find_bytes(at, static_cast<size_t>(end - at), sought, needle);
        if (hit == nullptr) return -1;
        size_t offset = static_cast<size_t>(static_cast<const char *>(hit) - base);
        if (offset % sizeof(OLECHAR) == 0) return static_cast<int64_t>(offset / sizeof(OLECHAR));
        at = base + offset + 1;
    }
    return -1;
}

// As find_binary, comparing units with their bytes folded (the byte-wise case-blind compare).
int64_t find_folded(const OLECHAR *text, uint32_t len, uint32_t from, const OLECHAR *sought,
                    uint32_t n) {
    OLECHAR first = fold_unit_bytes(sought[0]);
    for (uint32_t p = from; len - p >= n; ++p) {
        if (fold_unit_bytes(text[p]) != first) continue;
        uint32_t i = 1;
        while (i < n && fold_unit_bytes(text[p + i]) == fold_unit_bytes(sought[i]))
            ++i;
        if (i == n) return p;
    }
    return -1;
}

// Lowers every unit of a BSTR in place by the wide-character rules.
void lower_units(BSTR b) {
    uint32_t n = SysStringLen(b);
    for (uint32_t i = 0; i < n; ++i)
        b[i] = brtl::platform::tow_lower(b[i]);
}

enum class Folding { Bytes, Wide };

// The search shared by InStr (text mode folds the bytes of each unit) and InStrC (text mode
// lowers both texts first).
VARIANT *search(VARIANT *result, int32_t start, VARIANT text, VARIANT sought, int32_t mode,
                Folding folding) {
    brtl::variant::OwnedVariant text_guard(&text), sought_guard(&sought);
    result->vt = VT_EMPTY; // the result should a trap's hook return
    Compare compare;
    if (!read_mode(mode, compare) || (text.vt != VT_NULL && sought.vt != VT_NULL && start < 1)) {
        text_guard.reset();
        sought_guard.reset();
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    if (text.vt == VT_NULL || sought.vt == VT_NULL) {
        result->vt = VT_NULL;
        return result;
    }
    if (!brtl::strings::make_bstr(text) || !brtl::strings::make_bstr(sought)) return result;
    uint32_t len = SysStringLen(text.bstrVal), n = SysStringLen(sought.bstrVal);
    uint32_t from = static_cast<uint32_t>(start) - 1;
    int64_t found = -1;
    if (n == 0) {
        if (from < len) found = from;
    } else if (from < len) {
        if (compare == Compare::Text && folding == Folding::Wide) {
            lower_units(text.bstrVal);
            lower_units(sought.bstrVal);
        }
        bool bytes_folded = compare == Compare::Text && folding == Folding::Bytes;
        found = bytes_folded ? find_folded(text.bstrVal, len, from, sought.bstrVal, n)
                             : find_binary(text.bstrVal, len, from, sought.bstrVal, n);
    }
    result->vt = VT_I4;
    result->lVal = static_cast<int32_t>(found + 1);
    return result;
}

// The sign of a byte-wise comparison of n bytes: binary, or with ASCII letters folded.
int16_t compare_bytes(const unsigned char *a, const unsigned char *b, size_t n, Compare compare) {
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (compare == Compare::Text) {
            x = fold_byte(x);
            y = fold_byte(y);
        }
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

// The ordering of the code page forms A (la bytes) and B (lb bytes, NUL-terminated). The
// comparison runs over A's length with B's terminating NUL taking part; past that NUL B has no
// bytes, so an A that is still equal there orders after B.
int16_t order_bytes(const char *a, uint32_t la, const char *b, uint32_t lb, Compare compare) {
    const auto *ua = reinterpret_cast<const unsigned char *>(a);
    const auto *ub = reinterpret_cast<const unsigned char *>(b);
    if (compare == Compare::Binary && la <= lb) {
        int r = std::memcmp(ua, ub, la);
        return static_cast<int16_t>((r > 0) - (r < 0));
    }
    uint32_t shared = la <= lb ? la : lb + 1;
    int16_t r = compare_bytes(ua, ub, shared, compare);
    if (r == 0 && la > shared) r = 1;
    return r;
}

VARIANT *compare_texts(VARIANT *result, VARIANT a, VARIANT b, int16_t mode) {
    brtl::variant::OwnedVariant a_guard(&a), b_guard(&b);
    result->vt = VT_EMPTY;
    Compare compare;
    if (!read_mode(mode, compare)) {
        a_guard.reset();
        b_guard.reset();
        brtl::runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return result;
    }
    if (a.vt == VT_NULL || b.vt == VT_NULL) {
        result->vt = VT_NULL;
        return result;
    }
    if (!brtl::strings::make_bstr(a) || !brtl::strings::make_bstr(b)) return result;
    uint32_t wa = SysStringLen(a.bstrVal), wb = SysStringLen(b.bstrVal);
    uint32_t la = 0, lb = 0;
    brtl::runtime::ZrBuffer<char> ta(ZbiOleToChar(a.bstrVal, &la)),
        tb(ZbiOleToChar(b.bstrVal, &lb));
    if (!ta || !tb) {
        a_guard.reset();
        b_guard.reset();
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return result;
    }
    int16_t r;
    if (compare == Compare::Text && brtl::platform::mb_cur_max() > 1) {
        // The host's collation, passed on as it answers (its low 16 bits).
        r = static_cast<int16_t>(ZrStrColl(ta.get(), tb.get()));
    } else {
        r = order_bytes(ta.get(), la, tb.get(), lb, compare);
        if (r == 0 && wb > wa) r = -1;
    }
    result->vt = VT_I2;
    result->iVal = r;
    return result;
}

} // namespace

extern "C" {

BRTL_API VARIANT *ZbiBuiltIn_InStr(VARIANT *result, int32_t start, VARIANT text, VARIANT sought,
                                   int32_t mode) {
    return search(result, start, text, sought, mode, Folding::Bytes);
}

BRTL_API VARIANT *ZbiBuiltIn_InStrC(VARIANT *result, int32_t start, VARIANT text, VARIANT sought,
                                    int32_t mode) {
    return search(result, start, text, sought, mode, Folding::Wide);
}

BRTL_API VARIANT *ZbiBuiltIn_StrComp(VARIANT *result, VARIANT a, VARIANT b, int16_t mode) {
    return compare_texts(result, a, b, mode);
}

} // extern "C"
