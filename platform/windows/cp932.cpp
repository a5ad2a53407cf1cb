// Code page 932 through the system's own tables.
#include "platform/cp932.h"

#include <windows.h>

namespace brtl::platform {

namespace {
constexpr UINT kCodePage = 932;
} // namespace

SystemCp932::SystemCp932() : to_wide_(nullptr), to_multi_(nullptr) {}
SystemCp932::~SystemCp932() = default;

bool SystemCp932::usable() const {
    return IsValidCodePage(kCodePage) != 0;
}

uint16_t SystemCp932::unit(const unsigned char *bytes, size_t n) {
    WCHAR out[4];
    int units =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, reinterpret_cast<const char *>(bytes),
                            static_cast<int>(n), out, 4);
    return units == 1 ? static_cast<uint16_t>(out[0]) : 0;
}

uint16_t SystemCp932::bytes(uint16_t unit) {
    WCHAR in = static_cast<WCHAR>(unit);
    unsigned char out[4];
    BOOL defaulted = FALSE;
    int written =
        WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &in, 1, reinterpret_cast<char *>(out),
                            sizeof out, nullptr, &defaulted);
    if (defaulted) return 0;
    if (written == 1) return out[0];
    if (written == 2) return static_cast<uint16_t>(out[0] << 8 | out[1]);
    return 0;
}

} // namespace brtl::platform
