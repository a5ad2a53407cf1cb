// The plain text of a number: what a numeric Variant converts to as a String, and what Format
// gives a number when it has no format.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brtl::variant {

// Room for the plain text of an Integer, Long, Single or Double with a leading space and a NUL.
constexpr size_t kPlainTextCapacity = 64;

// Writes the plain text of an Integer, Long, Single or Double (the Format kinds 4, 6, 7 and 8)
// and a NUL into text, which has room for kPlainTextCapacity - 1 bytes (so that a caller's buffer
// of kPlainTextCapacity keeps a byte in front for a space), and stores its length in n; false
// for any other kind. Integers in decimal; a Single with 7 and a Double with 15 significant digits
// by the number-text rule, in the locale's decimal separator, without trailing zeros of the
// fraction and with the shortest exponent ("1E+20").
bool plain_number_text(int32_t kind, const void *value, char *text, size_t &n);

} // namespace brtl::variant
