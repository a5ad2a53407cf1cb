// Runtime strings as a program holds them. A String variable owns its text with the temporary
// flag clear; a value a routine returns is a temporary (flag set) that belongs to whoever takes
// it. Every routine here that takes a BiString by value follows the library's freeing rule: a
// temporary argument is its own, and it frees it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "brtl/brtl.h"

namespace brtl::rt {

// The empty string (every empty string shares one static text).
BiString empty_string();
inline bool is_temporary(BiString s) {
    return BiStringIsTemporary(s) && BiStringLength(s) != 0;
}
// Frees a temporary by the freeing rule.
void drop(BiString s);
// A variable's string: frees its text and leaves it empty.
void release(BiString &s);
// Stores src into a String variable: a temporary is taken over, anything else copied.
void assign(BiString &dst, BiString src);
// A temporary copy of the bytes.
BiString make_string(std::string_view text);
// The bytes of s (s itself is not freed).
inline std::string_view view(BiString s) {
    return {s.data, BiStringLength(s)};
}
// The bytes of s as a std::string; a temporary s is freed.
std::string take_text(BiString s);

// a & b: a new temporary.
BiString concat(BiString a, BiString b);
// -1, 0 or 1, byte by byte, or ignoring the case of letters when text is set (Option Compare
// Text); a proper prefix sorts first.
int32_t compare(BiString a, BiString b, bool text);

// A fixed-length string: n bytes padded with spaces, followed by a NUL. As a value it is a view
// (flag clear) of those bytes.
inline BiString fixed_view(char *bytes, uint32_t n) {
    return BiString{bytes, n};
}
// Fills a fixed-length string with spaces.
void fixed_clear(char *bytes, uint32_t n);
// Stores src left-justified into a fixed-length string (LSet); a temporary src is freed.
void fixed_assign(char *bytes, uint32_t n, BiString src);

} // namespace brtl::rt
