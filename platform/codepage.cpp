// The two code pages of the platform C runtime. "C" is single-byte: byte b is the character
// U+00bb and only units up to U+00FF have a byte. "Ja_JP" is code page 932: lead bytes 0x81-0x9F
// and 0xE0-0xFC; its conversion tables are built once, on first selection, from the system's
// converter, plus the five single bytes that a converter may leave out but the code page defines.
#include "platform/codepage.h"

#include "platform/cp932.h"
#include "platform/memory.h"

#include "brtl/platform.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

namespace brtl::platform {

struct CodePage {
    const char *name;
    int max_len;
    bool lead[256];
    uint16_t single[256];                    // byte -> unit; kNoUnit when the byte is no character
    std::unique_ptr<uint16_t[]> double_byte; // (lead << 8 | trail) -> unit; 0 when unmapped
    std::unique_ptr<uint16_t[]> to_bytes;    // unit -> (lead << 8 | trail) or byte; 0 when unmapped
};

namespace {

constexpr uint16_t kNoUnit = 0xFFFF;

CodePage make_c_code_page() {
    CodePage cp{};
    cp.name = "C";
    cp.max_len = 1;
    for (int b = 0; b < 256; ++b)
        cp.single[b] = static_cast<uint16_t>(b);
    return cp;
}

CodePage g_c_code_page = make_c_code_page();
CodePage g_ja_code_page{};
std::once_flag g_ja_once;
std::atomic<const CodePage *> g_current{&g_c_code_page};

bool is_932_lead(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool is_932_trail(int b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

void build_ja_code_page() {
    CodePage &cp = g_ja_code_page;
    cp.name = "Ja_JP";
    cp.max_len = 2;
    cp.double_byte = std::make_unique<uint16_t[]>(65536);
    cp.to_bytes = std::make_unique<uint16_t[]>(65536);
    for (int b = 0; b < 256; ++b) {
        cp.lead[b] = is_932_lead(b);
        cp.single[b] = kNoUnit;
    }
    SystemCp932 system;
    if (!system.usable()) {
        // Without the system converter only the ASCII range and the katakana remain usable.
        for (int b = 0; b < 0x80; ++b)
            cp.single[b] = static_cast<uint16_t>(b);
        for (int b = 0xA1; b <= 0xDF; ++b)
            cp.single[b] = static_cast<uint16_t>(0xFF61 + b - 0xA1);
    } else {
        for (int b = 0; b < 256; ++b) {
            if (cp.lead[b]) continue;
            unsigned char byte = static_cast<unsigned char>(b);
            uint16_t unit = b == 0 ? 0 : system.unit(&byte, 1);
            if (b == 0 || unit != 0) cp.single[b] = unit;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!cp.lead[lead]) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!is_932_trail(trail)) continue;
                unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                         static_cast<unsigned char>(trail)};
                cp.double_byte[lead << 8 | trail] = system.unit(pair, 2);
            }
        }
        for (uint32_t unit = 1; unit < 65536; ++unit) {
            if (unit >= 0xD800 && unit <= 0xDFFF) continue;
            cp.to_bytes[unit] = system.bytes(static_cast<uint16_t>(unit));
        }
    }
    // Single bytes the code page defines beyond the system converter's table.
    static const struct {
        unsigned char byte;
        uint16_t unit;
    } extra[] = {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};
    for (const auto &e : extra) {
        if (cp.single[e.byte] == kNoUnit) cp.single[e.byte] = e.unit;
        if (cp.to_bytes[e.unit] == 0) cp.to_bytes[e.unit] = e.byte;
    }
}

const CodePage &cp() {
    return *g_current.load(std::memory_order_acquire);
}

bool ascii_upper(int c) {
    return c >= 'A' && c <= 'Z';
}
bool ascii_lower(int c) {
    return c >= 'a' && c <= 'z';
}

} // namespace

const CodePage &current_code_page() {
    return cp();
}

bool select_code_page(const char *name) {
    if (name == nullptr) return false;
    if (std::strcmp(name, "C") == 0) {
        g_current.store(&g_c_code_page, std::memory_order_release);
        return true;
    }
    if (std::strcmp(name, "Ja_JP") == 0) {
        std::call_once(g_ja_once, build_ja_code_page);
        g_current.store(&g_ja_code_page, std::memory_order_release);
        return true;
    }
    return false;
}

const char *code_page_name() {
    return cp().name;
}
int mb_cur_max() {
    return cp().max_len;
}
bool is_lead_byte(unsigned char b) {
    return cp().lead[b];
}

int mblen(const char *s, size_t n) {
    if (s == nullptr || n == 0 || *s == '\0') return 0;
    const CodePage &page = cp();
    unsigned char b = static_cast<unsigned char>(*s);
    if (!page.lead[b]) return page.single[b] == kNoUnit ? -1 : 1;
    if (n < 2) return -1;
    unsigned char trail = static_cast<unsigned char>(s[1]);
    return page.double_byte[b << 8 | trail] != 0 ? 2 : -1;
}

size_t char_length(const char *p, size_t available, bool *valid) {
    const CodePage &page = cp();
    unsigned char b = static_cast<unsigned char>(*p);
    if (!page.lead[b]) {
        if (valid) *valid = b == 0 || page.single[b] != kNoUnit;
        return 1;
    }
    bool pair = available >= 2 && page.double_byte[b << 8 | static_cast<unsigned char>(p[1])] != 0;
    if (valid) *valid = pair;
    return pair ? 2 : 1;
}

int mbtowc(OLECHAR *out, const char *s, size_t n) {
    if (s == nullptr || n == 0) return 0;
    const CodePage &page = cp();
    unsigned char b = static_cast<unsigned char>(*s);
    if (!page.lead[b]) {
        if (page.single[b] == kNoUnit) return -1;
        if (out) *out = page.single[b];
        return b == 0 ? 0 : 1;
    }
    if (n < 2) return -1;
    uint16_t unit = page.double_byte[b << 8 | static_cast<unsigned char>(s[1])];
    if (unit == 0) return -1;
    if (out) *out = unit;
    return 2;
}

int wctomb(char *out, OLECHAR unit) {
    const CodePage &page = cp();
    if (unit == 0) {
        out[0] = '\0';
        return 1;
    }
    if (!page.to_bytes) {
        if (unit > 0xFF) return -1;
        out[0] = static_cast<char>(unit);
        return 1;
    }
    uint16_t bytes = page.to_bytes[unit];
    if (bytes == 0) return -1;
    if (bytes <= 0xFF) {
        out[0] = static_cast<char>(bytes);
        return 1;
    }
    out[0] = static_cast<char>(bytes >> 8);
    out[1] = static_cast<char>(bytes & 0xFF);
    return 2;
}

namespace {

// Letters with a simple case pair among the characters code page 932 holds: Latin-1, Greek,
// Cyrillic and the full-width Latin letters. The offset maps upper case to lower case.
struct CaseRange {
    OLECHAR first_upper, last_upper;
    int offset;
};
constexpr CaseRange kJaCaseRanges[] = {
    {0x00C0, 0x00D6, 0x20}, {0x00D8, 0x00DE, 0x20}, {0x0391, 0x03A1, 0x20}, {0x03A3, 0x03A9, 0x20},
    {0x0401, 0x0401, 0x50}, {0x0410, 0x042F, 0x20}, {0xFF21, 0xFF3A, 0x20},
};

bool is_ja() {
    return cp().to_bytes != nullptr;
}

} // namespace

bool isw_digit(OLECHAR c) {
    return is_digit(c) || (is_ja() && c >= 0xFF10 && c <= 0xFF19);
}

bool isw_upper(OLECHAR c) {
    if (ascii_upper(c)) return true;
    if (!is_ja()) return false;
    for (const auto &r : kJaCaseRanges)
        if (c >= r.first_upper && c <= r.last_upper) return true;
    return false;
}

bool isw_lower(OLECHAR c) {
    if (ascii_lower(c)) return true;
    if (!is_ja()) return false;
    for (const auto &r : kJaCaseRanges)
        if (c >= r.first_upper + r.offset && c <= r.last_upper + r.offset) return true;
    return false;
}

OLECHAR tow_lower(OLECHAR c) {
    if (ascii_upper(c)) return static_cast<OLECHAR>(c + 0x20);
    if (c < 0x80 || !is_ja()) return c;
    for (const auto &r : kJaCaseRanges)
        if (c >= r.first_upper && c <= r.last_upper) return static_cast<OLECHAR>(c + r.offset);
    return c;
}

OLECHAR tow_upper(OLECHAR c) {
    if (ascii_lower(c)) return static_cast<OLECHAR>(c - 0x20);
    if (c < 0x80 || !is_ja()) return c;
    for (const auto &r : kJaCaseRanges)
        if (c >= r.first_upper + r.offset && c <= r.last_upper + r.offset)
            return static_cast<OLECHAR>(c - r.offset);
    return c;
}

namespace {
// Every byte of the "C" code page is the unit of the same value.
void widen_c_page(const char *__restrict p, size_t n, Utf16Unit *__restrict out) {
    const auto *in = reinterpret_cast<const unsigned char *>(p);
    for (size_t i = 0; i < n; ++i)
        out[i] = in[i];
}
} // namespace

OLECHAR *widen(const char *p, size_t n, uint32_t *count) {
    *count = 0;
    auto *out = static_cast<OLECHAR *>(allocate((n + 1) * sizeof(OLECHAR)));
    if (out == nullptr) return nullptr;
    uint32_t units = 0;
    const CodePage &page = cp();
    if (&page == &g_c_code_page) {
        // The "C" code page: every byte b is the character U+00bb.
        widen_c_page(p, n, out);
        out[n] = 0;
        *count = static_cast<uint32_t>(n);
        return out;
    }
    for (size_t i = 0; i < n;) {
        // A byte that is a character of its own goes by the table, without a call per byte.
        auto b = static_cast<unsigned char>(p[i]);
        if (!page.lead[b] && page.single[b] != kNoUnit) {
            out[units++] = page.single[b];
            ++i;
            continue;
        }
        size_t left = n - i;
        OLECHAR unit = 0;
        int used = mbtowc(&unit, p + i, left < 2 ? left : 2);
        if (used < 0) {
            unit = static_cast<OLECHAR>(kDefaultChar);
            used = 1;
        } else if (used == 0) {
            unit = 0; // an embedded NUL byte becomes a NUL unit
            used = 1;
        }
        out[units++] = unit;
        i += static_cast<size_t>(used);
    }
    out[units] = 0;
    *count = units;
    return out;
}

bool widen_bytes(const char *p, size_t n, Utf16Unit *out) {
    const CodePage &page = cp();
    if (&page == &g_c_code_page) {
        widen_c_page(p, n, out);
        return true;
    }
    for (size_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(p[i]);
        if (page.lead[b] || page.single[b] == kNoUnit) return false;
        out[i] = page.single[b];
    }
    return true;
}

char *narrow(const OLECHAR *w, size_t n, uint32_t *bytes) {
    *bytes = 0;
    size_t max = static_cast<size_t>(mb_cur_max());
    auto *out = static_cast<char *>(allocate(max * (n + 1)));
    if (out == nullptr) return nullptr;
    uint32_t used = 0;
    const CodePage &page = cp();
    for (size_t i = 0; i < n; ++i) {
        // A unit of the single-byte code page is its byte (the "C" page has no table).
        if (!page.to_bytes && w[i] != 0 && w[i] <= 0xFF) {
            out[used++] = static_cast<char>(w[i]);
            continue;
        }
        int len = wctomb(out + used, w[i]);
        if (len < 0) {
            out[used] = kDefaultChar;
            len = 1;
        }
        used += static_cast<uint32_t>(len);
    }
    out[used] = '\0';
    *bytes = used;
    return out;
}

uint32_t char_count(const char *p, size_t n) {
    uint32_t chars = 0;
    for (size_t i = 0; i < n; ++chars)
        i += char_length(p + i, n - i);
    return chars;
}

} // namespace brtl::platform

extern "C" {

BRTL_API int32_t brtl_setlocale(const char *name) {
    return brtl::platform::select_code_page(name) ? 0 : -1;
}

BRTL_API const char *brtl_getlocale(void) {
    return brtl::platform::code_page_name();
}

} // extern "C"
