// The runtime's conversions between the multibyte code page and UTF-16 and its character length
// helpers, on the code page functions of the platform.
#include "brtl/host.h"
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "platform/codepage.h"

extern "C" {

BRTL_API OLECHAR *ZbiCharToWide(const char *p, uint32_t n, uint32_t *count) {
    return brtl::platform::widen(p, n, count);
}

BRTL_API OLECHAR *ZbiCharToOle(const char *p, uint32_t n, uint32_t *count) {
    return ZbiCharToWide(p, n, count);
}

BRTL_API char *ZbiWideToChar(const OLECHAR *w, uint32_t n, uint32_t *bytes) {
    return brtl::platform::narrow(w, n, bytes);
}

BRTL_API char *ZbiOleToChar(BSTR b, uint32_t *bytes) {
    static const OLECHAR kNoText[1] = {0};
    return ZbiWideToChar(b != nullptr ? b : kNoText, SysStringLen(b), bytes);
}

BRTL_API uint32_t ZbiStrCharLen(const char *p, uint32_t n) {
    return brtl::platform::char_count(p, n);
}

BRTL_API uint32_t ZbiStrByteLen(const char *p, uint32_t n) {
    // A double-byte character that straddles byte n is taken whole, so this may read byte n of
    // a NUL-terminated text.
    uint32_t bytes = 0;
    while (bytes < n)
        bytes += static_cast<uint32_t>(brtl::platform::char_length(p + bytes, 2));
    return bytes;
}

BRTL_API int32_t ZbiCharLen(const char *p) {
    return static_cast<int32_t>(brtl::platform::char_length(p, 2));
}

} // extern "C"
