// Reading a number out of text the way the platform C runtime's strtod does, whatever the
// process locale: optional blanks and sign, digits with an optional "." and fraction, and an
// optional exponent introduced by "e", "E", "d" or "D". No hexadecimal, infinity or NaN forms.
#pragma once

#include <cstdint>

namespace brtl::pf {

struct ParsedDouble {
    double value;
    const char *end;  // the first character not used; the start when nothing was read
    bool range_error; // the value overflowed (infinite) or underflowed to zero
};

ParsedDouble parse_double(const char *text);

// atoi and atol of the platform C runtime: blanks, a sign and digits. The result keeps the low
// bits of the exact value (text out of range is not reported); callers narrow it to their width.
uint64_t parse_integer(const char *text);

} // namespace brtl::pf
