// Text helpers of the host library, on the multibyte code page in force.
#include <cstring>

#include "brtl/host.h"
#include "platform/codepage.h"
#include "platform/memory.h"

namespace {

struct NamedProcedure {
    char name[64];
    void *procedure;
};
NamedProcedure g_procedures[8];

// The wide copy of a NUL-terminated text.
OLECHAR *wide_copy(const char *text) {
    uint32_t count = 0;
    return brtl::platform::widen(text, std::strlen(text), &count);
}

char *multibyte_copy(const OLECHAR *text) {
    uint32_t n = 0;
    while (text[n] != 0)
        ++n;
    uint32_t bytes = 0;
    return brtl::platform::narrow(text, n, &bytes);
}

} // namespace

extern "C" {

BRTL_API char *ZrStrCopy(const char *text) {
    size_t n = std::strlen(text);
    auto *copy = static_cast<char *>(ZrMalloc(n + 1));
    if (copy != nullptr) std::memcpy(copy, text, n + 1);
    return copy;
}

BRTL_API uint32_t ZrStrLen(const char *text) {
    return static_cast<uint32_t>(std::strlen(text));
}

BRTL_API uint32_t ZrStrCharLen(const char *text) {
    return brtl::platform::char_count(text, std::strlen(text));
}

BRTL_API int32_t ZrStrCmp(const char *a, const char *b) {
    return std::strcmp(a, b);
}

BRTL_API int32_t ZrStrICmp(const char *a, const char *b) {
    for (;; ++a, ++b) {
        int ca = brtl::platform::to_lower(static_cast<unsigned char>(*a));
        int cb = brtl::platform::to_lower(static_cast<unsigned char>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

// The code page's collation: letters compare case-blind first, then lower case before upper
// case, and everything else by byte value.
BRTL_API int32_t ZrStrColl(const char *a, const char *b) {
    int32_t blind = ZrStrICmp(a, b);
    if (blind != 0) return blind;
    for (; *a && *a == *b; ++a, ++b) {
    }
    if (*a == *b) return 0;
    return brtl::platform::is_lower(static_cast<unsigned char>(*a)) ? -1 : 1;
}

BRTL_API int32_t ZrStrNIEqual(const char *a, const char *b, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        int ca = brtl::platform::to_lower(static_cast<unsigned char>(a[i]));
        int cb = brtl::platform::to_lower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return 0;
        if (ca == 0) return 1;
    }
    return 1;
}

BRTL_API char *ZrStrChr(const char *text, int32_t ch) {
    return const_cast<char *>(std::strchr(text, ch));
}
BRTL_API char *ZrStrRChr(const char *text, int32_t ch) {
    return const_cast<char *>(std::strrchr(text, ch));
}
BRTL_API char *ZrStrPBrk(const char *text, const char *set) {
    return const_cast<char *>(std::strpbrk(text, set));
}

BRTL_API OLECHAR *ZrCharToWide(const char *text) {
    return wide_copy(text);
}
BRTL_API OLECHAR *ZrCreateWideFromChar(const char *text) {
    return wide_copy(text);
}
BRTL_API char *ZrWideToChar(const OLECHAR *text) {
    return multibyte_copy(text);
}
BRTL_API char *ZrCreateCharFromWide(const OLECHAR *text) {
    return multibyte_copy(text);
}

BRTL_API void ZrPatternMemSet(void *buffer, const void *pattern, uint32_t pattern_length,
                              uint32_t total) {
    auto *out = static_cast<unsigned char *>(buffer);
    if (pattern_length == 0) return;
    uint32_t first = pattern_length < total ? pattern_length : total;
    std::memcpy(out, pattern, first);
    // Doubling copies: each step copies what is already laid down.
    for (uint32_t done = first; done < total;) {
        uint32_t take = done < total - done ? done : total - done;
        std::memcpy(out + done, out, take);
        done += take;
    }
}

BRTL_API void *ZrGetIntStrProc(const char *name) {
    for (const auto &entry : g_procedures)
        if (entry.procedure != nullptr && std::strcmp(entry.name, name) == 0)
            return entry.procedure;
    return nullptr;
}

BRTL_API void brtl_set_int_str_proc(const char *name, void *procedure) {
    if (name == nullptr || std::strlen(name) >= sizeof g_procedures[0].name) return;
    NamedProcedure *free_slot = nullptr;
    for (auto &entry : g_procedures) {
        if (entry.procedure != nullptr && std::strcmp(entry.name, name) == 0) {
            entry.procedure = procedure;
            return;
        }
        if (entry.procedure == nullptr && free_slot == nullptr) free_slot = &entry;
    }
    if (procedure == nullptr || free_slot == nullptr) return;
    std::strcpy(free_slot->name, name);
    free_slot->procedure = procedure;
}

} // extern "C"
