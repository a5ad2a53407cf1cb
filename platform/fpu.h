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
#if defined(__i386__)
// The x87 unit rounds to its own wider format first: see fpu.cpp.
double double_arithmetic(DoubleOp op, double a, double b);
#else
// Double arithmetic is the processor's own (SSE on x86-64).
inline double double_arithmetic(DoubleOp op, double a, double b) {
    switch (op) {
    case DoubleOp::Add:
        return a + b;
    case DoubleOp::Sub:
        return a - b;
    case DoubleOp::Mul:
        return a * b;
    case DoubleOp::Div:
        return a / b;
    }
    return a;
}
#endif

} // namespace brtl::platform
