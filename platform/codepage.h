// The multibyte code page of the platform C runtime: "C" (single-byte, byte b is U+00bb) or
// "Ja_JP" (double-byte code page 932). Every multibyte operation of the library goes through
// these functions; the process's own C locale is never changed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::platform {

// One UTF-16 unit (the Utf16Unit of the OLE subset).
using Utf16Unit = uint16_t;

struct CodePage;

// The code page in force.
const CodePage &current_code_page();
// Selects the code page by name; false for an unknown name.
bool select_code_page(const char *name);

// The name of the code page in force ("C" or "Ja_JP").
const char *code_page_name();
// The largest number of bytes of one character: 1 or 2.
int mb_cur_max();
// True when b starts a double-byte character.
bool is_lead_byte(unsigned char b);

// mblen: 0 for a NUL byte, the byte count of a valid character within n bytes, -1 otherwise.
int mblen(const char *s, size_t n);
// The byte length of the character at p, reading no more than `available` bytes (at least 1) nor
// mb_cur_max(): 2 for a double-byte character, 1 for anything else (a single byte, a NUL, or an
// invalid or cut-off sequence, which a caller steps over a byte at a time). When `valid` is
// given it tells whether the bytes are a character of the code page (a NUL is one).
size_t char_length(const char *p, size_t available, bool *valid = nullptr);
// mbtowc: stores the UTF-16 unit of the character at s (reading at most n bytes); returns its
// byte count, 0 for a NUL byte, -1 for an invalid or incomplete sequence (*out is then unset).
int mbtowc(Utf16Unit *out, const char *s, size_t n);
// wctomb: writes the multibyte form of unit (at most mb_cur_max() bytes); returns the byte
// count (1 for the NUL unit) or -1 when the code page has no such character.
int wctomb(char *out, Utf16Unit unit);

// Conversions to and from UTF-16 into fresh blocks of the library's allocator (freed with
// release, the host library's ZrFree). A sequence that is not a character of the code page
// becomes one "?" and the walk advances one byte, so every walk ends within its given length.
// n bytes to UTF-16 units and a NUL unit; *count receives the unit count. Null when memory runs
// out (*count is then 0).
Utf16Unit *widen(const char *p, size_t n, uint32_t *count);
// n UTF-16 units to multibyte text and a NUL; *bytes receives the byte length. Null when memory
// runs out (*bytes is then 0).
char *narrow(const Utf16Unit *w, size_t n, uint32_t *bytes);
// widen into storage of the caller's for text in which every character is one byte: n units for
// n bytes when no byte starts a double-byte character or is left undefined by the code page (the
// units widen gives); false otherwise, with out partly written.
bool widen_bytes(const char *p, size_t n, Utf16Unit *out);
// The number of characters that start within the first n bytes of p.
uint32_t char_count(const char *p, size_t n);

// Byte character classes of the code page: ASCII letters, digits, blanks and punctuation in
// both code pages, so they are the same tests whichever is in force.
inline bool is_upper(int c) {
    return c >= 'A' && c <= 'Z';
}
inline bool is_lower(int c) {
    return c >= 'a' && c <= 'z';
}
inline bool is_alpha(int c) {
    return is_upper(c) || is_lower(c);
}
inline bool is_digit(int c) {
    return c >= '0' && c <= '9';
}
inline bool is_xdigit(int c) {
    return is_digit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
inline bool is_space(int c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}
inline bool is_punct(int c) {
    return c > 0x20 && c < 0x7F && !is_alpha(c) && !is_digit(c);
}
inline bool is_alnum(int c) {
    return is_alpha(c) || is_digit(c);
}
inline int to_lower(int c) {
    return is_upper(c) ? c + 0x20 : c;
}
inline int to_upper(int c) {
    return is_lower(c) ? c - 0x20 : c;
}

// Wide character classes and case mapping of the code page.
bool isw_digit(Utf16Unit c);
bool isw_upper(Utf16Unit c);
bool isw_lower(Utf16Unit c);
Utf16Unit tow_lower(Utf16Unit c);
Utf16Unit tow_upper(Utf16Unit c);

// The byte that replaces a character the code page cannot represent.
constexpr char kDefaultChar = '?';

} // namespace brtl::platform
