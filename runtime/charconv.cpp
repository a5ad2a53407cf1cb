// Conversions between the multibyte code page and UTF-16, and the character length helpers.
// A sequence that is not a character of the code page becomes one "?" unit and the walk
// advances one byte, so every walk ends within its given length.
#include <cstring>

#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "platform/codepage.h"

extern "C" {

BRTL_API OLECHAR *ZbiCharToWide(const char *p, uint32_t n, uint32_t *count) {
    *count = 0;
    auto *out = static_cast<OLECHAR *>(ZrMalloc((static_cast<size_t>(n) + 1) * sizeof(OLECHAR)));
    if (out == nullptr) return nullptr;
    uint32_t units = 0;
    for (uint32_t i = 0; i < n;) {
        uint32_t left = n - i;
        OLECHAR unit = 0;
        int used = brtl::pf::mbtowc(&unit, p + i, left < 2 ? left : 2);
        if (used < 0) {
            unit = static_cast<OLECHAR>(brtl::pf::kDefaultChar);
            used = 1;
        } else if (used == 0) {
            unit = 0; // an embedded NUL byte becomes a NUL unit
            used = 1;
        }
        out[units++] = unit;
        i += static_cast<uint32_t>(used);
    }
    out[units] = 0;
    *count = units;
    return out;
}

BRTL_API OLECHAR *ZbiCharToOle(const char *p, uint32_t n, uint32_t *count) {
    return ZbiCharToWide(p, n, count);
}

BRTL_API char *ZbiWideToChar(const OLECHAR *w, uint32_t n, uint32_t *bytes) {
    *bytes = 0;
    size_t max = static_cast<size_t>(brtl::pf::mb_cur_max());
    auto *out = static_cast<char *>(ZrMalloc(max * (static_cast<size_t>(n) + 1)));
    if (out == nullptr) return nullptr;
    uint32_t used = 0;
    for (uint32_t i = 0; i < n; ++i) {
        int len = brtl::pf::wctomb(out + used, w[i]);
        if (len < 0) {
            out[used] = brtl::pf::kDefaultChar;
            len = 1;
        }
        used += static_cast<uint32_t>(len);
    }
    out[used] = '\0';
    *bytes = used;
    return out;
}

BRTL_API char *ZbiOleToChar(BSTR b, uint32_t *bytes) {
    static const OLECHAR kNoText[1] = {0};
    return ZbiWideToChar(b != nullptr ? b : kNoText, SysStringLen(b), bytes);
}

BRTL_API uint32_t ZbiStrCharLen(const char *p, uint32_t n) {
    uint32_t chars = 0;
    for (uint32_t i = 0; i < n; ++chars)
        i += static_cast<uint32_t>(brtl::pf::char_length(p + i, n - i));
    return chars;
}

BRTL_API uint32_t ZbiStrByteLen(const char *p, uint32_t n) {
    // A double-byte character that straddles byte n is taken whole, so this may read byte n of
    // a NUL-terminated text.
    uint32_t bytes = 0;
    while (bytes < n)
        bytes += static_cast<uint32_t>(brtl::pf::char_length(p + bytes, 2));
    return bytes;
}

BRTL_API int32_t ZbiCharLen(const char *p) {
    return static_cast<int32_t>(brtl::pf::char_length(p, 2));
}

} // extern "C"
