// Reading a number out of text the way the platform C runtime's strtod does, whatever the
// process locale: optional blanks and sign, digits with an optional "." and fraction, and an
// optional exponent introduced by "e", "E", "d" or "D". No hexadecimal, infinity or NaN forms.
#pragma once

namespace brtl::pf {

struct ParsedDouble {
    double value;
    const char *end;  // the first character not used; the start when nothing was read
    bool range_error; // the value overflowed (infinite) or underflowed to zero
};

ParsedDouble parse_double(const char *text);

} // namespace brtl::pf
