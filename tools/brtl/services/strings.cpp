#include "strings.h"

#include <cstring>

#include "core.h"

namespace brtl::rt {
namespace {
char shared_empty[1] = {'\0'};

// A temporary of n uninitialised bytes (plus the NUL).
BiString allocate(uint32_t n) {
    if (n > BI_STRING_LENGTH_MASK) raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
    BiString s = ZbiAllocBiString(n);
    if (s.data == nullptr) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    s.data[n] = '\0';
    s.length_word = n | BI_STRING_TEMP_FLAG;
    return s;
}

int lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

} // namespace

BiString empty_string() {
    return BiString{shared_empty, 0};
}

void drop(BiString s) {
    if (is_temporary(s)) ZbiFreeBiString(s);
}

void release(BiString &s) {
    if (BiStringLength(s) != 0) ZbiFreeBiString(s);
    s = empty_string();
}

void assign(BiString &dst, BiString src) {
    if (BiStringLength(src) == 0) {
        release(dst);
        return;
    }
    if (!BiStringIsTemporary(src)) {
        src = ZbiDuplicateString(src);
        if (src.data == nullptr) raise_trap(BI_TRAP_OUT_OF_MEMORY);
    }
    release(dst);
    dst = BiString{src.data, BiStringLength(src)};
}

BiString make_string(std::string_view text) {
    if (text.empty()) return empty_string();
    BiString s = allocate(static_cast<uint32_t>(text.size()));
    std::memcpy(s.data, text.data(), text.size());
    return s;
}

std::string take_text(BiString s) {
    std::string out(view(s));
    drop(s);
    return out;
}

BiString concat(BiString a, BiString b) {
    uint32_t la = BiStringLength(a), lb = BiStringLength(b);
    if (la + lb == 0) return empty_string(); // nothing to free: both are empty
    if (lb == 0 && BiStringIsTemporary(a)) return a;
    if (la == 0 && BiStringIsTemporary(b)) {
        drop(a);
        return b;
    }
    if (static_cast<uint64_t>(la) + lb > BI_STRING_LENGTH_MASK) {
        drop(a);
        drop(b);
        raise_trap(BI_TRAP_OUT_OF_STRING_SPACE);
    }
    if (is_temporary(a)) {
        // A temporary on the left grows where it is (a chain of & copies it once, not once a
        // piece); the block is the host library's, as every runtime string's is.
        auto *grown = static_cast<char *>(ZrRealloc(a.data, la + lb + 1));
        if (grown == nullptr) {
            drop(a);
            drop(b);
            raise_trap(BI_TRAP_OUT_OF_MEMORY);
        }
        std::memcpy(grown + la, b.data, lb);
        grown[la + lb] = '\0';
        drop(b);
        return BiString{grown, (la + lb) | BI_STRING_TEMP_FLAG};
    }
    BiString out{};
    try {
        out = allocate(la + lb);
    } catch (...) {
        drop(a);
        drop(b);
        throw;
    }
    std::memcpy(out.data, a.data, la);
    std::memcpy(out.data + la, b.data, lb);
    drop(a);
    drop(b);
    return out;
}

int32_t compare(BiString a, BiString b, bool text) {
    uint32_t la = BiStringLength(a), lb = BiStringLength(b);
    uint32_t n = la < lb ? la : lb;
    int32_t result = 0;
    for (uint32_t i = 0; i < n && result == 0; ++i) {
        int ca = static_cast<unsigned char>(a.data[i]), cb = static_cast<unsigned char>(b.data[i]);
        if (text) {
            ca = lower(static_cast<unsigned char>(ca));
            cb = lower(static_cast<unsigned char>(cb));
        }
        if (ca != cb) result = ca < cb ? -1 : 1;
    }
    if (result == 0 && la != lb) result = la < lb ? -1 : 1;
    drop(a);
    drop(b);
    return result;
}

void fixed_clear(char *bytes, uint32_t n) {
    std::memset(bytes, ' ', n);
    bytes[n] = '\0';
}

void fixed_assign(char *bytes, uint32_t n, BiString src) {
    BiString field = fixed_view(bytes, n);
    ZbiBuiltIn_LSet(&field, src);
}

} // namespace brtl::rt
