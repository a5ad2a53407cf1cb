// The one place where a number becomes text by a printf conversion. Every "%f", "%e", "%G"-style
// conversion of the library (ZrSprintf, ZrFprintf, Print #, Write #, Format) goes through here,
// so the digits and the rounding rule live in one function.
//
// The rule is the original platform C runtime's: the exact binary value is first cut to 17
// significant digits (any further digits print as zeros), then rounded to the digits asked for
// with a decimal tie going away from zero (so "%.1f" of 0.25 is "0.3", where glibc prints "0.2"),
// and exponents are written with at least three digits ("1.5E+020").
#pragma once

#include <cstddef>

namespace brtl::pf {

// Prints v as printf's conversion ('f', 'e', 'E', 'g' or 'G') with the precision (negative
// means the default 6) and the '#' flag, sign included but no padding. Writes at most cap bytes
// (a NUL included when cap > 0) and returns the length of the whole text.
size_t print_double(char *buf, size_t cap, double v, char conversion, int precision,
                    bool alternate = false);

} // namespace brtl::pf
