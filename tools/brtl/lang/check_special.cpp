// The builtins whose calls the checker shapes itself: the in-place Variant forms, Len, Array,
// LBound and UBound, IsMissing, VarType, Format, Err and Erl, the conversions, Choose, Switch
// and the cash-flow functions over arrays.
#include "checker.h"
#include "lexer.h"
#include "services/language.h"
#include "services/storage.h"

namespace brtl::basic {

namespace {

uint8_t vartype_of(const DeclType &t) {
    switch (t.ref.kind) {
    case Kind::Integer:
        return VT_I2;
    case Kind::Long:
        return VT_I4;
    case Kind::Single:
        return VT_R4;
    case Kind::Double:
        return VT_R8;
    case Kind::Currency:
        return VT_CY;
    case Kind::String:
    case Kind::Fixed:
        return VT_BSTR;
    default:
        return VT_VARIANT;
    }
}

int32_t format_kind(Kind k) {
    switch (k) {
    case Kind::Integer:
        return BI_FORMAT_INTEGER;
    case Kind::Long:
        return BI_FORMAT_LONG;
    case Kind::Single:
        return BI_FORMAT_SINGLE;
    case Kind::Double:
        return BI_FORMAT_DOUBLE;
    case Kind::Currency:
        return BI_FORMAT_CURRENCY;
    default:
        return BI_FORMAT_VARIANT;
    }
}

} // namespace

Val Checker::special_builtin(const BuiltinRow &row, const std::vector<Argument> &args, Pos pos) {
    auto arg = [&](size_t i) -> const Expr & {
        if (i >= args.size() || !args[i].expr)
            fail(pos,
                 "Argument not optional: argument " + std::to_string(i + 1) + " of " + row.name);
        return *args[i].expr;
    };
    // The array a name stands for (written with or without "()"), or null.
    auto array_symbol = [&](const Expr &a) -> const Symbol * {
        if (a.kind != Expr::Kind::Name || !a.args.empty()) return nullptr;
        const Symbol *s = lookup(upper(a.name));
        return s != nullptr && s->is_array ? s : nullptr;
    };
    switch (row.special) {
    case Special::InPlace: {
        Val v = expr(arg(0));
        if (v.kind == Kind::String) return call_with(*row.string_fn, {v});
        // The copy is changed in place and is the result: the call must not release it.
        Val t = to_var(v);
        Val in_place = t;
        in_place.temp = false;
        call_fn(*row.fn, {in_place});
        return t;
    }
    case Special::Len: {
        const Expr &a = arg(0);
        if (const Symbol *s = array_symbol(a); s != nullptr && !a.call)
            fail(a.pos, "Len of an array needs an element: " + s->name + "(...)");
        Val v = expr(a);
        switch (v.kind) {
        case Kind::String:
            return call_with(*row.string_fn, {v});
        case Kind::Variant:
            return call_with(*row.fn, {v});
        case Kind::Record:
            return constant(Constant::long_(static_cast<int32_t>(v.record->file_length)));
        default:
            return constant(Constant::long_(
                static_cast<int32_t>(rt::storage_size(TypeRef{v.kind, 0, nullptr}))));
        }
    }
    case Special::Array: {
        int32_t base = module().base;
        Loc d = temp_of(Kind::Variant);
        call_fn(BRTL_CALLABLE(brtl::rt::make_variant_array),
                {constant(Constant::long_(base)),
                 constant(Constant::long_(static_cast<int32_t>(args.size())))},
                d);
        for (size_t i = 0; i < args.size(); ++i) {
            Val v = to_var(expr(arg(i)));
            Val index = constant(Constant::long_(base + static_cast<int32_t>(i)));
            uint32_t start = long_list({index});
            Loc ptr = temp(TempKind::Pointer);
            emit(Op::VarElement, 0, ptr, d, {}, start);
            last().n = 1;
            emit(Op::MoveVariant, 0, Loc{Base::Indirect, ptr.offset, 0}, v.loc);
            last().f = kTempA;
        }
        return Val{Kind::Variant, d, true, std::nullopt, nullptr};
    }
    case Special::Bound: {
        const Expr &a = arg(0);
        Val dim = args.size() > 1 ? coerce(expr(arg(1)), Kind::Long) : constant(Constant::long_(1));
        Loc d = temp_of(Kind::Long);
        if (const Symbol *s = array_symbol(a)) {
            emit(Op::Bound, row.param, d, s->loc, dim.loc);
        } else {
            Val v = expr(a);
            if (v.kind != Kind::Variant) fail(a.pos, "an array expected");
            emit(Op::Bound, static_cast<uint8_t>(row.param | 2), d, v.loc, dim.loc);
        }
        return Val{Kind::Long, d, false, std::nullopt, nullptr};
    }
    case Special::IsMissing: {
        const Expr &a = arg(0);
        const Symbol *s = a.kind == Expr::Kind::Name && !a.call ? lookup(upper(a.name)) : nullptr;
        if (s == nullptr || !s->optional) fail(a.pos, "IsMissing takes an Optional parameter");
        if (s->type.ref.kind != Kind::Variant) return constant(Constant::integer(0));
        Val v = read(symbol_place(*s));
        Loc d = temp_of(Kind::Integer);
        call_fn(*row.fn, {v}, d);
        return Val{Kind::Integer, d, false, std::nullopt, nullptr};
    }
    case Special::VarType: {
        const Expr &a = arg(0);
        if (const Symbol *s = array_symbol(a))
            return constant(Constant::integer(static_cast<int16_t>(8192 + vartype_of(s->type))));
        Val v = expr(a);
        if (v.kind == Kind::Record) fail(a.pos, "VarType of a record");
        if (v.kind != Kind::Variant) {
            discard(v);
            return constant(Constant::integer(vartype_of(DeclType{TypeRef{v.kind, 0, nullptr}})));
        }
        Loc d = temp_of(Kind::Integer);
        call_fn(BRTL_CALLABLE(brtl::rt::var_type_of), {v}, d);
        return Val{Kind::Integer, d, false, std::nullopt, nullptr};
    }
    case Special::Format: {
        Val v = expr(arg(0));
        if (v.kind == Kind::Record) fail(pos, "Format of a record");
        int32_t kind = format_kind(v.kind);
        if (kind == BI_FORMAT_VARIANT) v = to_var(v);
        Val format = args.size() > 1 && args[1].expr ? to_str(expr(*args[1].expr))
                                                     : constant(Constant::string(""));
        Loc d = temp_of(Kind::String);
        call_fn(*row.fn, {constant(Constant::long_(kind)), v, format}, d);
        return Val{Kind::String, d, true, std::nullopt, nullptr};
    }
    case Special::Err: {
        Loc d = temp_of(Kind::Long);
        emit(Op::GetErr, 0, d);
        return Val{Kind::Long, d, false, std::nullopt, nullptr};
    }
    case Special::Erl: {
        Loc d = temp_of(Kind::Long);
        emit(Op::GetErl, 0, d);
        return Val{Kind::Long, d, false, std::nullopt, nullptr};
    }
    case Special::ErrorText: {
        Val n;
        if (args.empty()) {
            n = Val{Kind::Long, temp_of(Kind::Long), false, std::nullopt, nullptr};
            emit(Op::GetErr, 0, n.loc);
        } else {
            n = coerce(expr(arg(0)), Kind::Long);
        }
        Loc d = temp_of(Kind::String);
        call_fn(*row.fn, {n}, d);
        Val text{Kind::String, d, true, std::nullopt, nullptr};
        return row.name[std::char_traits<char>::length(row.name) - 1] == '$' ? text : to_var(text);
    }
    case Special::Convert: {
        Val v = expr(arg(0));
        if (row.param == 255) {
            if (v.kind == Kind::Variant) v = owned(v);
            if (v.kind == Kind::Record) fail(pos, "Type mismatch: a record is not a value");
            Loc d = temp_of(Kind::Integer);
            emit(Op::ToBool, static_cast<uint8_t>(v.kind), d, v.loc);
            if (v.temp) last().f = kTempA;
            return Val{Kind::Integer, d, false, std::nullopt, nullptr};
        }
        if (row.param == 254) {
            Val vv = to_var(v);
            Loc d = temp_of(Kind::Variant);
            emit(Op::ToDate, 0, d, vv.loc);
            last().f = kTempA;
            return Val{Kind::Variant, d, true, std::nullopt, nullptr};
        }
        Kind to = static_cast<Kind>(row.param);
        if (v.kind == Kind::Variant && (to == Kind::Integer || to == Kind::Long)) {
            Loc d = temp_of(to);
            call_fn(to == Kind::Integer ? BRTL_CALLABLE(brtl::rt::cint_of_variant)
                                        : BRTL_CALLABLE(brtl::rt::clng_of_variant),
                    {to_var(v)}, d);
            return Val{to, d, false, std::nullopt, nullptr};
        }
        return to == Kind::Variant ? to_var(v) : coerce(v, to);
    }
    case Special::Choose:
    case Special::Switch: {
        bool choose = row.special == Special::Choose;
        size_t first = choose ? 1 : 0;
        int32_t count = static_cast<int32_t>(args.size() - first);
        if (count < (choose ? 0 : 2))
            fail(pos, "Wrong number of arguments: " + std::string(row.name));
        Val index = choose ? coerce(expr(arg(0)), Kind::Long) : Val{};
        // The items in consecutive Variants, which the routine takes over.
        Loc block =
            allocate_frame(static_cast<uint32_t>(count) * sizeof(VARIANT), alignof(VARIANT));
        proc_->slots.push_back({block.offset, TempKind::Variant, static_cast<uint32_t>(count)});
        for (int32_t i = 0; i < count; ++i) {
            Loc slot{
                Base::Frame,
                block.offset + static_cast<uint32_t>(i * static_cast<int32_t>(sizeof(VARIANT))), 0};
            proc_->temps.push_back({slot.offset, TypeRef{Kind::Variant, 0, nullptr}});
            Val v = to_var(expr(arg(first + static_cast<size_t>(i))));
            emit(Op::MoveVariant, 0, slot, v.loc);
            last().f = kTempA;
        }
        Val items{Kind::Variant, block, false, std::nullopt, nullptr};
        Val n = constant(Constant::long_(count));
        Loc d = temp_of(Kind::Variant);
        if (choose)
            call_fn(*row.fn, {index, items, n}, d);
        else
            call_fn(*row.fn, {items, n}, d);
        return Val{Kind::Variant, d, true, std::nullopt, nullptr};
    }
    case Special::CashFlows: {
        // The values: a typed array, or a Variant holding an array.
        size_t values_at = row.param == 0 ? 1 : 0;
        const Expr &values = arg(values_at);
        std::vector<Val> rest;
        for (size_t i = 0; i < args.size(); ++i)
            if (i != values_at) rest.push_back(coerce(expr(arg(i)), Kind::Double));
        if (row.param == 1 && rest.empty()) rest.push_back(constant(Constant::double_(0.1)));
        Loc d = temp_of(Kind::Double);
        if (const Symbol *s = array_symbol(values)) {
            Val array{Kind::Variant, s->loc, false, std::nullopt, nullptr};
            Val kind = constant(Constant::long_(static_cast<int32_t>(s->type.ref.kind)));
            if (row.param == 0)
                call_fn(BRTL_CALLABLE(brtl::rt::npv_array), {rest[0], array, kind}, d);
            else if (row.param == 1)
                call_fn(BRTL_CALLABLE(brtl::rt::irr_array), {array, kind, rest[0]}, d);
            else
                call_fn(BRTL_CALLABLE(brtl::rt::mirr_array), {array, kind, rest[0], rest[1]}, d);
            return Val{Kind::Double, d, false, std::nullopt, nullptr};
        }
        Val v = to_var(expr(values));
        if (row.param == 0)
            call_fn(*row.fn, {rest[0], v}, d);
        else if (row.param == 1)
            call_fn(*row.fn, {v, rest[0]}, d);
        else
            call_fn(*row.fn, {v, rest[0], rest[1]}, d);
        return Val{Kind::Double, d, false, std::nullopt, nullptr};
    }
    default:
        fail(pos, "internal: builtin " + std::string(row.name));
    }
}

} // namespace brtl::basic
