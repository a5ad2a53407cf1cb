// The floating-point unit as the checked arithmetic needs it: a reset to the initial state
// (exceptions masked with clear flags, round to nearest, extended 64-bit significand precision
// for long double arithmetic), and the four operations of double arithmetic rounded once.
#pragma once

namespace brtl::platform {

// Puts the floating-point environment of the calling thread back to its initial state: every
// exception masked, round to nearest, and on x86 the x87 precision control at the 64-bit
// significand, whatever the C library's default environment holds. The exception flags are
// cleared, except that on x86 a lone inexact flag is left set (it decides nothing, and clearing
// it would cost more than the operation that follows).
void reset_floating_point();

enum class DoubleOp { Add, Sub, Mul, Div };

// a op b as double arithmetic gives it: the exact result rounded once to a double in the caller's
// rounding mode, within the double's own range (beyond the largest double an infinity, below the
// smallest normal the nearest subnormal or zero). The caller's floating-point environment is
// left as it was, but for the flags the operation raises.
double double_arithmetic(DoubleOp op, double a, double b);

} // namespace brtl::platform
