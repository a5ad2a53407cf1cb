// The operator handlers that every row shares: Null results, the two traps of a wrong subtype,
// the Empty operand that takes the other operand's subtype, the conversions to a Long of the
// bitwise rows and the copies of an operand.
#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "runtime/hooks.h"
#include "variant/ops.h"

namespace brtl::variant {

namespace {

// Gives v (an Empty operand) the subtype vt with a zero value: an empty string for a string,
// Null for Null (a Long 0 under implication). Returns 0, or the trap that stops the operation.
int32_t make_zero_like(VARIANT *v, VARTYPE vt, int32_t op) {
    switch (vt) {
    case VT_I2:
        set_i2(v, 0);
        return 0;
    case VT_I4:
        set_i4(v, 0);
        return 0;
    case VT_R4:
        set_r4(v, 0.0f);
        return 0;
    case VT_R8:
        set_r8(v, 0.0);
        return 0;
    case VT_CY:
        set_cy(v, 0);
        return 0;
    case VT_DATE:
        set_date(v, 0.0);
        return 0;
    case VT_BOOL:
        v->vt = VT_BOOL;
        v->boolVal = 0;
        return 0;
    case VT_BSTR: {
        BSTR empty = SysAllocStringLen(nullptr, 0);
        if (empty == nullptr) return BI_TRAP_OUT_OF_STRING_SPACE;
        v->vt = VT_BSTR;
        v->bstrVal = empty;
        return 0;
    }
    case VT_NULL:
        if (op == kImp)
            set_i4(v, 0);
        else
            v->vt = VT_NULL;
        return 0;
    default:
        return BI_TRAP_TYPE_MISMATCH;
    }
}

// A failed conversion to a Long: the result becomes Empty and the trap is raised (an overflow
// through the numeric trap hook).
void long_conversion_failed(VARIANT *converted, HRESULT hr) {
    BiXVariantClear(converted);
    converted->vt = VT_EMPTY;
    if (hr == DISP_E_OVERFLOW)
        runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
    else
        runtime::raise_trap(ZbiCvtHResultToTrapNo(hr));
}

} // namespace

void release_operands(VARIANT *left, VARIANT *right) {
    BiXVariantClear(left);
    if (right != left) BiXVariantClear(right);
}

void abandon_binary(VARIANT *result, VARIANT *left, VARIANT *right) {
    release_operands(left, right);
    result->vt = VT_EMPTY;
}

void fail_binary(VARIANT *result, VARIANT *left, VARIANT *right, int32_t trap) {
    abandon_binary(result, left, right);
    runtime::raise_trap(trap);
}

void store_checked_double(VARIANT *result, VARTYPE vt, double value, int32_t status) {
    result->vt = vt;
    result->dblVal = value;
    if (status == 1)
        runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
    else if (status == 2)
        runtime::raise_numeric_trap(BI_TRAP_UNDERFLOW);
}

void null_result(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    release_operands(left, right);
    result->vt = VT_NULL;
}

void type_mismatch(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    fail_binary(result, left, right, BI_TRAP_TYPE_MISMATCH);
}

void unsupported(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    fail_binary(result, left, right, BI_TRAP_UNSUPPORTED);
}

void long_zero(int32_t, VARIANT *result, VARIANT *, VARIANT *) {
    set_i4(result, 0);
}

void empty_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (right->vt == VT_EMPTY) {
        // Two Empties are equal zeros: true for the operators that hold between equal values.
        bool holds_for_equals = op == kEqv || op == kImp || op == kLe || op == kGe || op == kEq;
        set_i2(result, holds_for_equals ? -1 : 0);
        return;
    }
    if (int32_t trap = make_zero_like(left, right->vt, op)) {
        fail_binary(result, left, right, trap);
        return;
    }
    dispatch_binary(op, result, left, right);
}

void empty_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    if (int32_t trap = make_zero_like(right, left->vt, op)) {
        fail_binary(result, left, right, trap);
        return;
    }
    dispatch_binary(op, result, left, right);
}

void long_left(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    HRESULT hr = VariantChangeType(result, left, 0, VT_I4);
    if (hr != S_OK) long_conversion_failed(result, hr);
    dispatch_binary(op, result, result, right);
}

void long_right(int32_t op, VARIANT *result, VARIANT *left, VARIANT *right) {
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeType(&converted, right, 0, VT_I4);
    if (hr != S_OK) long_conversion_failed(&converted, hr);
    dispatch_binary(op, result, left, &converted);
}

void copy_left(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    HRESULT hr = BiXVariantCopy(result, left);
    if (hr != S_OK) fail_binary(result, left, right, ZbiCvtHResultToTrapNo(hr));
}

void copy_right(int32_t, VARIANT *result, VARIANT *left, VARIANT *right) {
    HRESULT hr = BiXVariantCopy(result, right);
    if (hr != S_OK) fail_binary(result, left, right, ZbiCvtHResultToTrapNo(hr));
}

} // namespace brtl::variant
