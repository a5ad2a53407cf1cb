// The dialect's operators, each evaluated by the library's operator tables and Variant routines.
#pragma once

#include "ast.h"

namespace brtl_host {

class Interp;

Value apply_binary(Interp &interp, Op op, Value left, Value right);
Value apply_unary(Op op, Value operand);

} // namespace brtl_host
