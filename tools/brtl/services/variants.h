// Operators on Variants, through the library's operator tables and its division, modulus and
// power routines. Every operand is consumed; the result is a new Variant.
#pragma once

#include <cstdint>

#include "brtl/brtl.h"

namespace brtl::rt {

// The binary table's handler for the operator code (BI_OP_*) and the operands' subtypes.
VARIANT var_binary(int32_t code, VARIANT a, VARIANT b);
// The unary table's handler (BI_UNOP_*).
VARIANT var_unary(int32_t row, VARIANT a);
VARIANT var_divide(VARIANT a, VARIANT b);
VARIANT var_int_divide(VARIANT a, VARIANT b);
VARIANT var_modulo(VARIANT a, VARIANT b);
VARIANT var_power(VARIANT a, VARIANT b);
// a & b: each operand as its text (Null as the empty text); Null when both are Null.
VARIANT var_concat(VARIANT a, VARIANT b);
// text Like pattern: the Integer -1 or 0 (Null when either is Null).
VARIANT var_like(VARIANT text, VARIANT pattern);
// The comparison result of the table as the Integer -1 or 0, for a condition or a typed
// variable (Null counts as 0).
int16_t var_truth(VARIANT v);

} // namespace brtl::rt
