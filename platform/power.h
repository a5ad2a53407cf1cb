// x to the power y as the C library's pow of POSIX computes and reports it: correctly rounded in
// practice, with errno ERANGE for a pole (0 to a negative power), an overflow or an underflow,
// and EDOM for a negative base with an exponent that is no whole number.
#pragma once

namespace brtl::platform {

double power(double x, double y);

// x to the power y taken in the x87 unit's extended precision and rounded to the nearest Double,
// reported as power reports it: for the C libraries whose pow is not correctly rounded in
// practice (MinGW-w64's, glibc's for 32-bit x86).
double extended_power(double x, double y);

} // namespace brtl::platform
