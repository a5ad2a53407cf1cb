// Reading a number out of text the way the platform C runtime's strtod does, whatever the
// process locale: optional blanks and sign, digits with an optional "." and fraction, and an
// optional exponent introduced by "e", "E", "d" or "D". No hexadecimal, infinity or NaN forms.
#pragma once

#include <cstdint>

namespace brtl::platform {

struct ParsedDouble {
    double value;
    const char *end;  // the first character not used; the start when nothing was read
    bool range_error; // the value overflowed (infinite) or underflowed to zero
};

ParsedDouble parse_double(const char *text);

// As parse_double, for the number texts the library writes to files: the largest Double's text
// of 15 significant digits (1.79769313486232E+308, a little above that Double) gives that Double
// rather than an overflow, so that what Write # writes of it reads back.
ParsedDouble parse_written_double(const char *text);

// atoi and atol of the platform C runtime: blanks, a sign and digits. The result keeps the low
// bits of the exact value (text out of range is not reported); callers narrow it to their width.
uint64_t parse_integer(const char *text);

} // namespace brtl::platform
