// What the string builtins share: the release-and-return paths for a runtime string argument,
// cutting a runtime string, the round trip through UTF-16 of the character-counting forms, the
// blanks of the trimming and scanning builtins, and getting the text out of a Variant.
#pragma once

#include <cstdint>

#include "brtl/types.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"

namespace brtl::strings {

// ---- Runtime string arguments -----------------------------------------------------------------

// Releases the argument by the freeing rule and returns the shared empty string with the
// temporary flag set or clear.
BiString release_to_empty(runtime::OwnedString &arg, bool temporary);
// Releases the argument, then raises the trap: the trap path of a builtin whose argument is a
// runtime string. Returns the empty string (flag set), the result once a returning hook is back.
BiString release_and_trap(runtime::OwnedString &arg, int32_t trap);

// Puts the `count` bytes of the argument from byte `offset` into `out` as a new temporary and
// releases the argument. A temporary argument that would be copied whole is handed on as it is.
// When memory runs out: the argument is released, trap 7 raised, `out` is the empty string and
// the result false.
bool cut(runtime::OwnedString &arg, uint32_t offset, uint32_t count, BiString &out);

// The argument's text as UTF-16 (ZbiCharToWide) with its unit count. When memory runs out: the
// argument is released, trap 7 raised and the buffer null.
runtime::ZrBuffer<OLECHAR> to_wide(runtime::OwnedString &arg, uint32_t &count);
// `count` units converted back to the code page, character by character, as a new temporary in
// `out`; the argument is released. When memory runs out: as cut.
bool from_wide(runtime::OwnedString &arg, const OLECHAR *units, uint32_t count, BiString &out);

// ---- Blanks -----------------------------------------------------------------------------------

// The full-width space of a double-byte code page: the character the bytes 0x81 0x40 decode to,
// or 0 under a single-byte code page (or when that character is a control 0x09-0x0D).
OLECHAR full_width_space();
// True for a unit that trimming removes: 0x20, or the full-width space.
bool is_trim_space(OLECHAR unit, OLECHAR full_width);
// The byte length of a space that trimming removes at p (at most `available` bytes read), or 0.
uint32_t trim_space_at(const char *p, uint32_t available, OLECHAR full_width);
// The byte length of white space as the numeric scanners see it at p (0x20, 0x09, 0x0A, 0x0D,
// and under a double-byte code page the full-width space and a character that is 0x20), or 0.
uint32_t scan_space_at(const char *p, uint32_t available, OLECHAR full_width);

// ---- Variants ---------------------------------------------------------------------------------

// Converts v in place to a string Variant unless it is one (ZbiVariantCvtToBStr). False when the
// conversion raised a trap and the hook returned.
bool make_bstr(VARIANT &v);
// Sets a BSTR's length to n units (n at most its length) without reallocating: the units keep
// their place and a NUL unit is stored after the n-th.
void shorten_bstr(BSTR b, uint32_t n);
// The code page form of the Variant's text as a new temporary in `out`; the Variant is cleared
// on every path. False after a trap whose hook returned (the conversion's, or 7).
bool take_text(VARIANT &v, BiString &out);

} // namespace brtl::strings
