#include "desktop/utf8.h"

#include <cstring>

#include "brtl/host.h"
#include "brtl/runtime.h"

namespace brtl::desktop {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// The code point at units[i], moving i past it.
uint32_t next_code_point(const OLECHAR *units, uint32_t count, uint32_t &i) {
    uint32_t u = units[i++];
    if (u >= 0xD800 && u <= 0xDBFF && i < count && units[i] >= 0xDC00 && units[i] <= 0xDFFF)
        return 0x10000 + ((u - 0xD800) << 10) + (units[i++] - 0xDC00);
    return u >= 0xD800 && u <= 0xDFFF ? kReplacement : u;
}

char *put_utf8(char *out, uint32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

runtime::ZrBuffer<char> utf8_of(const char *text) {
    uint32_t count = 0;
    runtime::ZrBuffer<OLECHAR> units(
        ZbiCharToOle(text, static_cast<uint32_t>(std::strlen(text)), &count));
    if (units == nullptr) return nullptr;
    // At most three bytes for each unit (a pair of units is four bytes), and the NUL.
    runtime::ZrBuffer<char> out(static_cast<char *>(ZrMalloc(size_t{count} * 3 + 1)));
    if (out == nullptr) return nullptr;
    char *p = out.get();
    for (uint32_t i = 0; i < count;)
        p = put_utf8(p, next_code_point(units.get(), count, i));
    *p = '\0';
    return out;
}

} // namespace brtl::desktop
