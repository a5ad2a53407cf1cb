// The Variant operator handlers behind the two exported tables, and what they share: operator
// codes, the re-dispatch through the tables, the readers of each numeric subtype and the small
// writers of results.
//
// Every handler consumes its operands: it converts them in place as it needs, releases what they
// hold, and writes the result (which may be the left operand's own storage). The discipline that
// keeps the result valid on every path is: read the operands, release them, write the result,
// and only then raise a trap. A handler that ends at a trap writes an Empty result.
#pragma once

#include <cstdint>

#include "brtl/numeric.h"
#include "brtl/variant.h"

namespace brtl::variant {

constexpr int kSubtypes = 14; // VT_EMPTY to VT_UNKNOWN: the index range of both tables
constexpr int kUnaryOperators = 4;
constexpr int kBinaryRows = 9;

enum UnaryOp : int {
    kNegate = BI_UNOP_NEGATE,
    kSign = BI_UNOP_SGN,
    kAbs = BI_UNOP_ABS,
    kNot = BI_UNOP_NOT
};

enum BinaryOp : int32_t {
    kAdd = BI_OP_ADD,
    kSub = BI_OP_SUB,
    kMul = BI_OP_MUL,
    kAnd = BI_OP_AND,
    kOr = BI_OP_OR,
    kXor = BI_OP_XOR,
    kEqv = BI_OP_EQV,
    kImp = BI_OP_IMP,
    kLt = BI_OP_LT,
    kLe = BI_OP_LE,
    kGt = BI_OP_GT,
    kGe = BI_OP_GE,
    kEq = BI_OP_EQ,
    kNe = BI_OP_NE
};

constexpr int kComparisonRow = 8;

// The table row of an operator code: the code itself for 0-7, row 8 for every comparison.
constexpr int row_of(int32_t op) {
    return op < kComparisonRow ? static_cast<int>(op) : kComparisonRow;
}
constexpr bool is_comparison(int32_t op) {
    return op >= kLt && op <= kNe;
}
constexpr bool is_numeric_subtype(int vt) {
    return vt >= VT_I2 && vt <= VT_DATE;
}

// The index of a cell of BiVariantBinOpTable.
constexpr int binary_index(int row, int left, int right) {
    return (row * kSubtypes + left) * kSubtypes + right;
}

// Calls the handler for the operands' present subtypes through the exported table (a handler
// that converted an operand uses it to go on). An operator code or a subtype outside the tables
// releases both operands and raises trap 51.
void dispatch_binary(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void dispatch_unary(int op, VARIANT *result, VARIANT *operand);

// ---- Results ------------------------------------------------------------------------------

inline void set_i2(VARIANT *v, int16_t x) {
    v->vt = VT_I2;
    v->iVal = x;
}
inline void set_i4(VARIANT *v, int32_t x) {
    v->vt = VT_I4;
    v->lVal = x;
}
inline void set_r4(VARIANT *v, float x) {
    v->vt = VT_R4;
    v->fltVal = x;
}
inline void set_r8(VARIANT *v, double x) {
    v->vt = VT_R8;
    v->dblVal = x;
}
inline void set_cy(VARIANT *v, BiCurrency x) {
    v->vt = VT_CY;
    v->cyVal = x;
}
inline void set_date(VARIANT *v, double x) {
    v->vt = VT_DATE;
    v->date = x;
}
// A comparison's answer: VT_I2 -1 for true, 0 for false.
inline void set_truth(VARIANT *v, bool x) {
    set_i2(v, x ? -1 : 0);
}

// A Double or Date result computed by a checked routine: the subtype and value are set, then a
// status of 1 raises trap 6 and 2 trap 8 through the numeric trap hook.
void store_checked_double(VARIANT *result, VARTYPE vt, double value, int32_t status);

// Releases both operands (each once, also when they are the same Variant) and writes an Empty
// result: the end of an operation that a trap already stopped.
void abandon_binary(VARIANT *result, VARIANT *left, VARIANT *right);
// Releases both operands of a binary operator (once when they are the same Variant).
void release_operands(VARIANT *left, VARIANT *right);
// abandon_binary, then raises trap through the trap hook.
void fail_binary(VARIANT *result, VARIANT *left, VARIANT *right, int32_t trap);

// The truth of a comparison (codes 8-13) between two ordered values.
template <typename T> bool holds(int32_t op, T a, T b) {
    switch (op) {
    case kLt:
        return a < b;
    case kLe:
        return a <= b;
    case kGt:
        return a > b;
    case kGe:
        return a >= b;
    case kEq:
        return a == b;
    default:
        return a != b;
    }
}

// ---- Operand readers ----------------------------------------------------------------------

template <int T> auto value_of(const VARIANT *v) {
    static_assert(is_numeric_subtype(T));
    if constexpr (T == VT_I2)
        return v->iVal;
    else if constexpr (T == VT_I4)
        return v->lVal;
    else if constexpr (T == VT_R4)
        return v->fltVal;
    else if constexpr (T == VT_R8)
        return v->dblVal;
    else if constexpr (T == VT_CY)
        return v->cyVal;
    else
        return v->date;
}

// An Integer or Long as a 32-bit value.
template <int T> int32_t long_of(const VARIANT *v) {
    static_assert(T == VT_I2 || T == VT_I4);
    return value_of<T>(v);
}

// An Integer or Single as a Single.
template <int T> float single_of(const VARIANT *v) {
    static_assert(T == VT_I2 || T == VT_R4);
    return static_cast<float>(value_of<T>(v));
}

// Any number as a double; a Currency through the currency conversion.
template <int T> double double_of(const VARIANT *v) {
    if constexpr (T == VT_CY)
        return ZbiCvtCurNumDbl(v->cyVal);
    else
        return static_cast<double>(value_of<T>(v));
}

// An Integer, Long, Single, Double or Currency as a Currency.
template <int T> BiCurrency currency_of(const VARIANT *v) {
    if constexpr (T == VT_CY)
        return v->cyVal;
    else if constexpr (T == VT_I2 || T == VT_I4)
        return ZbiCvtLngCurNum(value_of<T>(v));
    else
        return ZbiCvtDblCurNum(static_cast<double>(value_of<T>(v)));
}

// ---- Handlers shared by every row (op_shared.cpp) -----------------------------------------

void null_result(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void type_mismatch(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void unsupported(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void long_zero(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void empty_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void empty_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void long_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void long_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void copy_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void copy_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);

// ---- Strings (op_string.cpp) ----------------------------------------------------------------

// A string operand meeting a number (or a Boolean, or a second string in rows 1-7).
void string_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void string_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void concatenate(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void compare_strings(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);

// True when the text of a string Variant reads as a date and time (predicates.cpp); the Variant
// is left as it is. Trap 7 (and false) when memory runs out.
bool string_is_date(const VARIANT *v);

// ---- Numeric pairs: +, - and * (op_arith.cpp) ----------------------------------------------

template <int L, int R> void add_sub(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
template <int L, int R> void multiply(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);

// ---- Bitwise operators (op_bitwise.cpp) ----------------------------------------------------

template <int L, int R> void bitwise(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
// And with a Null beside a Single, Double or Currency: tests that the number converts to a Long,
// then gives Null.
void and_null_checked(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
// Implication with a Null (taken as 0) on one side of a Long.
void imp_null_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
void imp_null_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);

// ---- Comparisons (op_compare.cpp) ----------------------------------------------------------

template <int L, int R> void compare(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);
// Two Error Variants compare as two Longs (their codes).
void compare_errors(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right);

// Every ordered pair of the numeric subtypes (Integer, Long, Single, Double, Currency, Date), for
// the explicit instantiations of the pair handlers.
#define BRTL_NUMERIC_PAIRS_OF(X, L) X(L, 2) X(L, 3) X(L, 4) X(L, 5) X(L, 6) X(L, 7)
#define BRTL_NUMERIC_PAIRS(X)                                                                      \
    BRTL_NUMERIC_PAIRS_OF(X, 2)                                                                    \
    BRTL_NUMERIC_PAIRS_OF(X, 3)                                                                    \
    BRTL_NUMERIC_PAIRS_OF(X, 4)                                                                    \
    BRTL_NUMERIC_PAIRS_OF(X, 5) BRTL_NUMERIC_PAIRS_OF(X, 6) BRTL_NUMERIC_PAIRS_OF(X, 7)

#define BRTL_DECLARE_PAIR_HANDLERS(L, R)                                                           \
    extern template void add_sub<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);                  \
    extern template void multiply<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);                 \
    extern template void bitwise<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);                  \
    extern template void compare<L, R>(int32_t, VARIANT *, VARIANT *, VARIANT *);
BRTL_NUMERIC_PAIRS(BRTL_DECLARE_PAIR_HANDLERS)
#undef BRTL_DECLARE_PAIR_HANDLERS

// Fourteen consecutive entries F(base) ... F(base + 13) of a table initialiser.
#define BRTL_TABLE_RUN14(F, base)                                                                  \
    F((base) + 0), F((base) + 1), F((base) + 2), F((base) + 3), F((base) + 4), F((base) + 5),      \
        F((base) + 6), F((base) + 7), F((base) + 8), F((base) + 9), F((base) + 10),                \
        F((base) + 11), F((base) + 12), F((base) + 13)

} // namespace brtl::variant
