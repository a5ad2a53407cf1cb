#include "operators.h"

#include "builtins.h"
#include "convert.h"

namespace brtl_host {
namespace {

// An operand of a table handler must be one of the 14 subtypes the tables index.
void check_operand(const Value &v) {
    if (v.is_array() || v.vt() >= BI_VARIANT_SUBTYPE_COUNT) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
}

// Calls the binary table's handler for the operator code and the operands' subtypes. The
// handler consumes both operands: what they still hold afterwards is released by their guards.
Value table_binary(int32_t code, Value left, Value right) {
    check_operand(left);
    check_operand(right);
    int32_t row = code < BI_OP_LT ? code : BI_OP_LT;
    size_t index = (static_cast<size_t>(row) * BI_VARIANT_SUBTYPE_COUNT + left.vt()) *
                       BI_VARIANT_SUBTYPE_COUNT +
                   right.vt();
    Value result;
    VARIANT l = left.release(), r = right.release();
    Value hold_l = Value::adopt(l), hold_r = Value::adopt(r);
    BiVariantBinOpTable[index](code, result.get(), hold_l.get(), hold_r.get());
    return result;
}

using DivRoutine = void (*)(VARIANT *, VARIANT *, VARIANT *);

// The division, modulus and power routines overwrite the result without releasing it and
// consume their operands.
Value routine_binary(DivRoutine f, Value left, Value right) {
    check_operand(left);
    check_operand(right);
    Value result;
    f(result.get(), left.get(), right.get());
    return result;
}

// The operand of & as a string: Null counts as the empty string.
Value cat_operand(Value v) {
    check_operand(v);
    if (v.vt() == VT_NULL) return from_text("");
    if (v.vt() == VT_BSTR) return v;
    Value out;
    ZbiVariantCvtToBStr(out.get(), v.get());
    return out;
}

Value concatenate(Value left, Value right) {
    if (!left.is_array() && !right.is_array() && left.vt() == VT_NULL && right.vt() == VT_NULL)
        return left;
    return table_binary(BI_OP_ADD, cat_operand(std::move(left)), cat_operand(std::move(right)));
}

Value like(Interp &interp, Value left, Value right) {
    const Builtin *b = find_builtin("LIKE");
    if (b == nullptr) throw HostError{"Like needs the library's pattern matcher"};
    Call c{interp, {}, {}, {}};
    c.args.push_back(std::move(left));
    c.args.push_back(std::move(right));
    c.present = {true, true};
    b->call(c);
    return std::move(c.result);
}

} // namespace

Value apply_binary(Interp &interp, Op op, Value left, Value right) {
    switch (op) {
    case Op::Add:
        return table_binary(BI_OP_ADD, std::move(left), std::move(right));
    case Op::Sub:
        return table_binary(BI_OP_SUB, std::move(left), std::move(right));
    case Op::Mul:
        return table_binary(BI_OP_MUL, std::move(left), std::move(right));
    case Op::And:
        return table_binary(BI_OP_AND, std::move(left), std::move(right));
    case Op::Or:
        return table_binary(BI_OP_OR, std::move(left), std::move(right));
    case Op::Xor:
        return table_binary(BI_OP_XOR, std::move(left), std::move(right));
    case Op::Eqv:
        return table_binary(BI_OP_EQV, std::move(left), std::move(right));
    case Op::Imp:
        return table_binary(BI_OP_IMP, std::move(left), std::move(right));
    case Op::Lt:
        return table_binary(BI_OP_LT, std::move(left), std::move(right));
    case Op::Le:
        return table_binary(BI_OP_LE, std::move(left), std::move(right));
    case Op::Gt:
        return table_binary(BI_OP_GT, std::move(left), std::move(right));
    case Op::Ge:
        return table_binary(BI_OP_GE, std::move(left), std::move(right));
    case Op::Eq:
        return table_binary(BI_OP_EQ, std::move(left), std::move(right));
    case Op::Ne:
        return table_binary(BI_OP_NE, std::move(left), std::move(right));
    case Op::Div:
        return routine_binary(ZbiVariantDoDiv, std::move(left), std::move(right));
    case Op::IntDiv:
        return routine_binary(ZbiVariantDoIDiv, std::move(left), std::move(right));
    case Op::Mod:
        return routine_binary(ZbiVariantDoMod, std::move(left), std::move(right));
    case Op::Pow:
        return routine_binary(ZbiVariantDoExp, std::move(left), std::move(right));
    case Op::Cat:
        return concatenate(std::move(left), std::move(right));
    case Op::Like:
        return like(interp, std::move(left), std::move(right));
    default:
        break;
    }
    throw HostError{"not a binary operator"};
}

Value apply_unary(Op op, Value operand) {
    check_operand(operand);
    int32_t row = op == Op::Neg ? BI_UNOP_NEGATE : BI_UNOP_NOT;
    Value result;
    BiVariantUnOpTable[row * BI_VARIANT_SUBTYPE_COUNT + operand.vt()](result.get(), operand.get());
    return result;
}

} // namespace brtl_host
