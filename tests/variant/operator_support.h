// Helpers of the Variant suites: calls through the exported operator tables as translated code
// makes them, a reference-counted stand-in for an object, and table rows of results.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "variant/ops.h"

namespace brtl_test {

// Binary operator op through BiVariantBinOpTable (one indexed load, one call); the result starts
// Empty. Unary operator op (0 negation, 1 Sgn, 2 Abs, 3 complement) through BiVariantUnOpTable.
VARIANT binary(int32_t op, VARIANT left, VARIANT right);
VARIANT unary(int op, VARIANT operand);

void release(VARIANT &v);
// The text of a string result (ASCII/Latin-1 units), released.
std::string take_text(VARIANT &v);

inline Trap trap(int32_t n, Family f = Family::Trap) {
    return {n, f, ""};
}
inline const Trap kOverflow = trap(BI_TRAP_OVERFLOW, Family::NumericTrap);
inline const Trap kUnderflow = trap(BI_TRAP_UNDERFLOW, Family::NumericTrap);
inline const Trap kDivideByZero = trap(BI_TRAP_DIVISION_BY_ZERO, Family::NumericTrap);
inline const Trap kMismatch = trap(BI_TRAP_TYPE_MISMATCH);
inline const Trap kUnsupported = trap(BI_TRAP_UNSUPPORTED);
inline const Trap kIllegalCall = trap(BI_TRAP_ILLEGAL_CALL);

// A result and the traps raised since the previous row, taken as a table row is built (the
// rows of a braced list are built in order). The row is labelled by its source line.
struct Got {
    VARIANT v;
    std::vector<Trap> traps;
    int line;
};
Got got(VARIANT v, int line = __builtin_LINE());

inline const long double kAny = std::nanl(""); // a value a row leaves unchecked
constexpr VARTYPE kAnyType = 0xFFFF;           // a subtype a row leaves unchecked

struct Row {
    Got got;
    VARTYPE vt;
    long double value = kAny; // integer, floating, Date, Boolean, Error code or Currency units
    std::vector<Trap> traps = {};
    const char *text = nullptr; // the text of a string result
};
// Checks each row's subtype, value or text and traps, and releases its result.
void check(std::vector<Row> rows);

using brtl::variant::kAdd, brtl::variant::kSub, brtl::variant::kMul, brtl::variant::kAnd,
    brtl::variant::kOr, brtl::variant::kXor, brtl::variant::kEqv, brtl::variant::kImp,
    brtl::variant::kLt, brtl::variant::kLe, brtl::variant::kGt, brtl::variant::kGe,
    brtl::variant::kEq, brtl::variant::kNe;

} // namespace brtl_test
