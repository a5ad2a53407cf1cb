// Runtime strings: allocation, the freeing rule, duplication.
#include "runtime/bistring.h"

#include <cstring>

#include "brtl/host.h"
#include "brtl/runtime.h"
#include "platform/memory.h"
#include "runtime/hooks.h"

namespace brtl::runtime {

char g_empty_text[1] = {'\0'};

void free_string(BiString s) {
    if ((s.length_word & BI_STRING_TEMP_FLAG) != 0 && (s.length_word & BI_STRING_LENGTH_MASK) != 0)
        ZrFree(s.data);
}

bool try_temporary_copy(const char *text, size_t n, BiString &out) {
    if (n == 0) {
        out = empty_string(true);
        return true;
    }
    if (n > BI_STRING_LENGTH_MASK) return false;
    auto *data = static_cast<char *>(ZrMalloc(n + 1));
    if (data == nullptr) return false;
    std::memcpy(data, text, n);
    data[n] = '\0';
    out = BiString{data, static_cast<uint32_t>(n) | BI_STRING_TEMP_FLAG};
    return true;
}

BiString temporary_copy(const char *text, size_t n) {
    BiString s;
    if (try_temporary_copy(text, n, s)) return s;
    raise_trap(BI_TRAP_OUT_OF_MEMORY);
    return empty_string();
}

BiString temporary_copy(const char *text) {
    return temporary_copy(text, std::strlen(text));
}

BiString owned_copy(const char *text, size_t n) {
    BiString s;
    if (!try_temporary_copy(text, n, s)) {
        raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return empty_string();
    }
    s.length_word &= BI_STRING_LENGTH_MASK;
    return s;
}

void release_variable(BiString &variable) {
    if (length_of(variable) != 0) ZrFree(variable.data);
    variable = empty_string();
}

bool variable_holds(const BiString &variable, size_t n) {
    return length_of(variable) != 0 && n != 0 && n <= BI_STRING_LENGTH_MASK &&
           platform::usable_size(variable.data) >= n + 1;
}

void assign_variable(BiString &variable, const char *text, size_t n) {
    if (!variable_holds(variable, n)) {
        release_variable(variable);
        variable = owned_copy(text, n);
        return;
    }
    std::memmove(variable.data, text, n);
    variable.data[n] = '\0';
    variable.length_word = static_cast<uint32_t>(n);
}

BiString empty_after_trap(int32_t trap) {
    raise_trap(trap);
    return empty_string(true);
}

BiString adopt_buffer(char *buffer, size_t n) {
    if (n == 0) {
        ZrFree(buffer);
        return empty_string(true);
    }
    buffer[n] = '\0';
    return BiString{buffer, static_cast<uint32_t>(n) | BI_STRING_TEMP_FLAG};
}

} // namespace brtl::runtime

extern "C" {

BRTL_API BiString ZbiAllocBiString(uint32_t n) {
    n &= BI_STRING_LENGTH_MASK;
    auto *data = static_cast<char *>(ZrMemAlloc(static_cast<size_t>(n) + 1, 2));
    if (data == nullptr) brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
    return BiString{data, n};
}

BRTL_API void ZbiFreeBiString(BiString s) {
    ZrFree(s.data);
}

BRTL_API BiString ZbiDuplicateString(BiString s) {
    uint32_t n = brtl::runtime::length_of(s);
    if (n == 0) return brtl::runtime::empty_string();
    auto *data = static_cast<char *>(ZrMalloc(static_cast<size_t>(n) + 1));
    if (data == nullptr) {
        brtl::runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return brtl::runtime::empty_string();
    }
    std::memcpy(data, s.data, static_cast<size_t>(n) + 1);
    return BiString{data, s.length_word};
}

} // extern "C"
