#include "variants.h"

#include "convert.h"
#include "core.h"
#include "storage.h"
#include "strings.h"

namespace brtl::rt {
namespace {

// An operand of a table handler must be one of the subtypes the tables index.
void check_operand(const VARIANT &v) {
    if (v.vt >= BI_VARIANT_SUBTYPE_COUNT) raise_trap(BI_TRAP_TYPE_MISMATCH);
}

using Routine = void (*)(VARIANT *, VARIANT *, VARIANT *);

VARIANT routine_binary(Routine f, VARIANT a, VARIANT b) {
    VariantGuard left(a), right(b);
    check_operand(a);
    check_operand(b);
    VariantGuard result;
    f(result.get(), left.get(), right.get());
    return result.release();
}

// The operand of & as a String Variant: Null is the empty text.
VARIANT concat_operand(VARIANT v) {
    VariantGuard hold(v);
    check_operand(v);
    if (v.vt == VT_NULL) {
        hold.release();
        return to_var(empty_string());
    }
    if (v.vt == VT_BSTR) return hold.release();
    VariantGuard out;
    ZbiVariantCvtToBStr(out.get(), hold.get());
    return out.release();
}

} // namespace

VARIANT var_binary(int32_t code, VARIANT a, VARIANT b) {
    VariantGuard left(a), right(b);
    check_operand(a);
    check_operand(b);
    int32_t row = code < BI_OP_LT ? code : BI_OP_LT;
    size_t index =
        (static_cast<size_t>(row) * BI_VARIANT_SUBTYPE_COUNT + a.vt) * BI_VARIANT_SUBTYPE_COUNT +
        b.vt;
    VariantGuard result;
    BiVariantBinOpTable[index](code, result.get(), left.get(), right.get());
    return result.release();
}

VARIANT var_unary(int32_t row, VARIANT a) {
    VariantGuard operand(a);
    check_operand(a);
    VariantGuard result;
    BiVariantUnOpTable[row * BI_VARIANT_SUBTYPE_COUNT + a.vt](result.get(), operand.get());
    return result.release();
}

VARIANT var_divide(VARIANT a, VARIANT b) {
    return routine_binary(ZbiVariantDoDiv, a, b);
}
VARIANT var_int_divide(VARIANT a, VARIANT b) {
    return routine_binary(ZbiVariantDoIDiv, a, b);
}
VARIANT var_modulo(VARIANT a, VARIANT b) {
    return routine_binary(ZbiVariantDoMod, a, b);
}
VARIANT var_power(VARIANT a, VARIANT b) {
    return routine_binary(ZbiVariantDoExp, a, b);
}

VARIANT var_concat(VARIANT a, VARIANT b) {
    if (a.vt == VT_NULL && b.vt == VT_NULL) return a;
    VariantGuard right(b);
    VariantGuard left(concat_operand(a));
    VARIANT r = concat_operand(right.release());
    return var_binary(BI_OP_ADD, left.release(), r);
}

VARIANT var_like(VARIANT text, VARIANT pattern) {
    VariantGuard t(text), p(pattern);
    check_operand(text);
    check_operand(pattern);
    VariantGuard result;
    ZbiMatchPattern(result.get(), t.release(), p.release());
    return result.release();
}

int16_t var_truth(VARIANT v) {
    return is_true(v) ? -1 : 0;
}

} // namespace brtl::rt
