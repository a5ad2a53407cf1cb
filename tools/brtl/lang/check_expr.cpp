// Expressions: values, temporaries, the typing of operators, conversions, places and stores.
#include "checker.h"
#include "lexer.h"
#include "services/convert.h"
#include "services/core.h"

namespace brtl::basic {

namespace {

bool is_number(Kind k) {
    return k == Kind::Integer || k == Kind::Long || k == Kind::Single || k == Kind::Double ||
           k == Kind::Currency;
}

bool is_comparison(BinOp op) {
    return op == BinOp::Eq || op == BinOp::Ne || op == BinOp::Lt || op == BinOp::Le ||
           op == BinOp::Gt || op == BinOp::Ge;
}

bool is_bitwise(BinOp op) {
    return op == BinOp::And || op == BinOp::Or || op == BinOp::Xor || op == BinOp::Eqv ||
           op == BinOp::Imp;
}

int32_t condition_code(BinOp op) {
    switch (op) {
    case BinOp::Lt:
        return BI_OP_LT;
    case BinOp::Le:
        return BI_OP_LE;
    case BinOp::Gt:
        return BI_OP_GT;
    case BinOp::Ge:
        return BI_OP_GE;
    case BinOp::Eq:
        return BI_OP_EQ;
    default:
        return BI_OP_NE;
    }
}

// The condition with its operands swapped: a < b is b > a.
int32_t mirrored(int32_t code) {
    switch (code) {
    case BI_OP_LT:
        return BI_OP_GT;
    case BI_OP_LE:
        return BI_OP_GE;
    case BI_OP_GT:
        return BI_OP_LT;
    case BI_OP_GE:
        return BI_OP_LE;
    default:
        return code;
    }
}

int32_t table_code(BinOp op) {
    switch (op) {
    case BinOp::Add:
        return BI_OP_ADD;
    case BinOp::Sub:
        return BI_OP_SUB;
    case BinOp::Mul:
        return BI_OP_MUL;
    case BinOp::And:
        return BI_OP_AND;
    case BinOp::Or:
        return BI_OP_OR;
    case BinOp::Xor:
        return BI_OP_XOR;
    case BinOp::Eqv:
        return BI_OP_EQV;
    case BinOp::Imp:
        return BI_OP_IMP;
    default:
        return condition_code(op);
    }
}

// The rank of a number kind in the Variant tables' promotion of + - *.
int rank(Kind k) {
    switch (k) {
    case Kind::Integer:
        return 0;
    case Kind::Long:
        return 1;
    case Kind::Single:
        return 2;
    default:
        return 3;
    }
}

TempKind temp_kind(Kind k) {
    switch (k) {
    case Kind::Integer:
        return TempKind::Integer;
    case Kind::Long:
        return TempKind::Long;
    case Kind::Single:
        return TempKind::Single;
    case Kind::Double:
        return TempKind::Double;
    case Kind::Currency:
        return TempKind::Currency;
    case Kind::String:
        return TempKind::String;
    default:
        return TempKind::Variant;
    }
}

uint8_t pair(Kind from, Kind to) {
    return static_cast<uint8_t>(static_cast<unsigned>(from) << 4 | static_cast<unsigned>(to));
}

} // namespace

// ---- Slots -------------------------------------------------------------------------------------

Loc Checker::temp(TempKind kind) {
    size_t i = static_cast<size_t>(kind);
    if (temp_used_[i] < temp_pool_[i].size()) return temp_pool_[i][temp_used_[i]++];
    uint32_t size = 0, align = 0;
    switch (kind) {
    case TempKind::Integer:
        size = align = 2;
        break;
    case TempKind::Long:
    case TempKind::Single:
        size = align = 4;
        break;
    case TempKind::Double:
    case TempKind::Currency:
        size = align = 8;
        break;
    case TempKind::String:
    case TempKind::View:
        size = sizeof(BiString);
        align = alignof(BiString);
        break;
    case TempKind::Variant:
        size = sizeof(VARIANT);
        align = alignof(VARIANT);
        break;
    default:
        size = align = sizeof(void *);
        break;
    }
    Loc loc = allocate_frame(size, align);
    temp_pool_[i].push_back(loc);
    ++temp_used_[i];
    proc_->slots.push_back({loc.offset, kind});
    if (kind == TempKind::String)
        proc_->temps.push_back({loc.offset, TypeRef{Kind::String, 0, nullptr}});
    if (kind == TempKind::Variant)
        proc_->temps.push_back({loc.offset, TypeRef{Kind::Variant, 0, nullptr}});
    return loc;
}

Loc Checker::temp_of(Kind kind) {
    return temp(temp_kind(kind));
}

Loc Checker::hidden(const TypeRef &type) {
    Loc loc = allocate_frame(rt::storage_size(type), rt::storage_align(type));
    Variable v;
    v.type = type;
    v.loc = loc;
    proc_->locals.push_back(v);
    return loc;
}

uint32_t Checker::emit(Op op, uint8_t k, Loc d, Loc a, Loc b, uint32_t x) {
    Instr in;
    in.op = op;
    in.k = k;
    in.d = d;
    in.a = a;
    in.b = b;
    in.x = x;
    in.unit = static_cast<uint32_t>(proc_->units.size() - 1);
    proc_->code.push_back(in);
    return static_cast<uint32_t>(proc_->code.size() - 1);
}

uint32_t Checker::list_begin() {
    return static_cast<uint32_t>(proc_->lists.size());
}

void Checker::list_add(const Arg &arg) {
    proc_->lists.push_back(arg);
}

uint32_t Checker::long_list(const std::vector<Val> &values) {
    uint32_t start = list_begin();
    for (const Val &v : values) {
        Arg arg;
        arg.loc = v.loc;
        arg.type = TypeRef{Kind::Long, 0, nullptr};
        list_add(arg);
    }
    return start;
}

Val Checker::constant(const Constant &c) {
    Val v;
    v.kind = c.kind;
    v.loc = add_constant(c);
    v.known = c;
    return v;
}

// ---- Conversions
// ---------------------------------------------------------------------------------

Val Checker::owned(Val v) {
    if (v.temp || (v.kind != Kind::String && v.kind != Kind::Variant)) return v;
    Loc d = temp_of(v.kind);
    emit(v.kind == Kind::String ? Op::MoveString : Op::MoveVariant, 0, d, v.loc);
    last().f = kTempD;
    return Val{v.kind, d, true, std::nullopt, nullptr};
}

Val Checker::coerce(Val v, Kind to) {
    if (v.kind == Kind::Record) fail(pos_, "Type mismatch: a record is not a value");
    if (v.kind == to) return v;
    if (v.known && v.kind != Kind::Variant && v.kind != Kind::String && to != Kind::Variant &&
        to != Kind::String) {
        // A number known before the program runs is converted now, by the same routine the
        // program would call; one that does not convert is left to trap when it runs.
        if (std::optional<Constant> c = converted(*v.known, to)) return constant(*c);
    }
    if (v.kind == Kind::Variant) v = owned(v);
    Loc d = temp_of(to);
    emit(Op::Convert, pair(v.kind, to), d, v.loc);
    if (v.temp) last().f = kTempA;
    return Val{to, d, to == Kind::String || to == Kind::Variant, std::nullopt, nullptr};
}

std::optional<Constant> Checker::converted(const Constant &c, Kind to) {
    try {
        VARIANT v = to_variant(c);
        Constant out;
        out.kind = to;
        switch (to) {
        case Kind::Integer:
            out.i2 = rt::to_i2(v);
            break;
        case Kind::Long:
            out.i4 = rt::to_i4(v);
            break;
        case Kind::Single:
            out.r4 = rt::to_r4(v);
            break;
        case Kind::Double:
            out.r8 = rt::to_r8(v);
            break;
        case Kind::Currency:
            out.cy = rt::to_cy(v);
            break;
        default:
            BiXVariantClear(&v);
            return std::nullopt;
        }
        return out;
    } catch (const rt::Trap &) {
        return std::nullopt;
    }
}

Val Checker::to_var(Val v) {
    return v.kind == Kind::Variant ? owned(v) : coerce(v, Kind::Variant);
}

Val Checker::to_str(Val v) {
    return coerce(v, Kind::String);
}

// ---- Operators
// -----------------------------------------------------------------------------------

Val Checker::variant_binary(BinOp op, Val a, Val b) {
    Val va = to_var(a);
    Val vb = to_var(b);
    Loc d = temp_of(Kind::Variant);
    switch (op) {
    case BinOp::Div:
        emit(Op::VarDiv, 0, d, va.loc, vb.loc);
        break;
    case BinOp::IntDiv:
        emit(Op::VarIntDiv, 0, d, va.loc, vb.loc);
        break;
    case BinOp::Mod:
        emit(Op::VarMod, 0, d, va.loc, vb.loc);
        break;
    case BinOp::Pow:
        emit(Op::VarPow, 0, d, va.loc, vb.loc);
        break;
    case BinOp::Cat:
        emit(Op::VarConcat, 0, d, va.loc, vb.loc);
        break;
    case BinOp::Like:
        emit(Op::VarLike, 0, d, va.loc, vb.loc);
        break;
    default:
        emit(Op::VarBinary, 0, d, va.loc, vb.loc, static_cast<uint32_t>(table_code(op)));
        break;
    }
    last().f = kTempA | kTempB;
    return Val{Kind::Variant, d, true, std::nullopt, nullptr};
}

// Typed comparisons in the kind the Variant tables compare the pair in; the result is the
// Integer -1 or 0.
Val Checker::compare(BinOp op, Val a, Val b) {
    int32_t code = condition_code(op);
    Loc d = temp_of(Kind::Integer);
    if (a.kind == Kind::String) {
        emit(Op::Compare, static_cast<uint8_t>(Kind::String), d, a.loc, b.loc,
             static_cast<uint32_t>(code) | (module().text_compare ? 0x100u : 0u));
        last().f = (a.temp ? kTempA : 0) | (b.temp ? kTempB : 0);
        return Val{Kind::Integer, d, false, std::nullopt, nullptr};
    }
    Kind ka = a.kind, kb = b.kind;
    if (ka == Kind::Currency || kb == Kind::Currency) {
        if (kb == Kind::Currency && ka != Kind::Currency) {
            std::swap(a, b);
            std::swap(ka, kb);
            code = mirrored(code);
        }
        if (kb == Kind::Single || kb == Kind::Double) {
            Val r = coerce(b, Kind::Double);
            emit(Op::CompareCyR8, 0, d, a.loc, r.loc, static_cast<uint32_t>(code));
        } else {
            Val r = coerce(b, Kind::Currency);
            emit(Op::Compare, static_cast<uint8_t>(Kind::Currency), d, a.loc, r.loc,
                 static_cast<uint32_t>(code));
        }
        return Val{Kind::Integer, d, false, std::nullopt, nullptr};
    }
    Kind k = Kind::Double;
    auto both_in = [&](std::initializer_list<Kind> ks) {
        bool fa = false, fb = false;
        for (Kind x : ks) {
            fa = fa || x == ka;
            fb = fb || x == kb;
        }
        return fa && fb;
    };
    if (both_in({Kind::Integer}))
        k = Kind::Integer;
    else if (both_in({Kind::Integer, Kind::Long}))
        k = Kind::Long;
    else if (both_in({Kind::Integer, Kind::Single}))
        k = Kind::Single;
    Val l = a, r = b;
    if (k == Kind::Double && (ka == Kind::Single || kb == Kind::Single) &&
        (ka == Kind::Double || kb == Kind::Double)) {
        // A Single against a Double: the Double is rounded to single precision first.
        Val &dbl = ka == Kind::Double ? l : r;
        Loc f = temp_of(Kind::Double);
        emit(Op::Floatize, 0, f, dbl.loc);
        dbl = Val{Kind::Double, f, false, std::nullopt, nullptr};
    }
    l = coerce(l, k);
    r = coerce(r, k);
    emit(Op::Compare, static_cast<uint8_t>(k), d, l.loc, r.loc, static_cast<uint32_t>(code));
    return Val{Kind::Integer, d, false, std::nullopt, nullptr};
}

// + - * / \ Mod ^ of typed numbers, in the result kind of the Variant tables, never promoted.
Val Checker::arithmetic(BinOp op, Val a, Val b) {
    Kind ka = a.kind, kb = b.kind, k;
    Op code = Op::Add;
    switch (op) {
    case BinOp::Add:
    case BinOp::Sub:
    case BinOp::Mul: {
        code = op == BinOp::Add ? Op::Add : op == BinOp::Sub ? Op::Sub : Op::Mul;
        if (ka == Kind::Currency || kb == Kind::Currency) {
            Kind other = ka == Kind::Currency ? kb : ka;
            k = op == BinOp::Mul && (other == Kind::Single || other == Kind::Double)
                    ? Kind::Double
                    : Kind::Currency;
        } else {
            int r = std::max(rank(ka), rank(kb));
            // A Long with a Single is computed in Double.
            if (r == 2 && (ka == Kind::Long || kb == Kind::Long)) r = 3;
            static const Kind by_rank[] = {Kind::Integer, Kind::Long, Kind::Single, Kind::Double};
            k = by_rank[r];
        }
        break;
    }
    case BinOp::Div:
        code = Op::Div;
        k = (ka == Kind::Integer || ka == Kind::Single) &&
                    (kb == Kind::Integer || kb == Kind::Single)
                ? Kind::Single
                : Kind::Double;
        break;
    case BinOp::Pow:
        code = Op::Pow;
        k = Kind::Double;
        break;
    default: {
        // \ and Mod: each operand as an Integer or a Long (a fraction cut off).
        code = op == BinOp::IntDiv ? Op::IntDiv : Op::Mod;
        auto integer = [&](Val v) {
            if (v.kind == Kind::Single || v.kind == Kind::Double) {
                Loc d = temp_of(Kind::Long);
                emit(Op::Truncate, static_cast<uint8_t>(v.kind), d, v.loc);
                return Val{Kind::Long, d, false, std::nullopt, nullptr};
            }
            return v.kind == Kind::Currency ? coerce(v, Kind::Long) : v;
        };
        a = integer(a);
        b = integer(b);
        k = a.kind == Kind::Integer && b.kind == Kind::Integer ? Kind::Integer : Kind::Long;
        break;
    }
    }
    a = coerce(a, k);
    b = coerce(b, k);
    Loc d = temp_of(k);
    emit(code, static_cast<uint8_t>(k), d, a.loc, b.loc);
    return Val{k, d, false, std::nullopt, nullptr};
}

Val Checker::binary(BinOp op, Val a, Val b, Pos pos) {
    pos_ = pos;
    if (a.kind == Kind::Record || b.kind == Kind::Record)
        fail(pos, "Type mismatch: a record is not a value");
    if (op == BinOp::Cat) {
        if (a.kind == Kind::Variant || b.kind == Kind::Variant) return variant_binary(op, a, b);
        Val sa = to_str(a);
        Val sb = to_str(b);
        Loc d = temp_of(Kind::String);
        emit(Op::Concat, 0, d, sa.loc, sb.loc);
        last().f = (sa.temp ? kTempA : 0) | (sb.temp ? kTempB : 0);
        return Val{Kind::String, d, true, std::nullopt, nullptr};
    }
    if (op == BinOp::Like) {
        bool typed = a.kind != Kind::Variant && b.kind != Kind::Variant;
        Val r = variant_binary(op, a, b);
        return typed ? coerce(r, Kind::Integer) : r;
    }
    bool strings = a.kind == Kind::String && b.kind == Kind::String;
    if (strings && op == BinOp::Add) return binary(BinOp::Cat, a, b, pos);
    if (strings && is_comparison(op)) return compare(op, a, b);
    if (!is_number(a.kind) || !is_number(b.kind)) return variant_binary(op, a, b);
    if (is_comparison(op)) return compare(op, a, b);
    if (is_bitwise(op)) {
        auto bits = [&](Val v) {
            if (v.kind == Kind::Long) return v;
            Loc d = temp_of(Kind::Long);
            emit(Op::ToBits, static_cast<uint8_t>(v.kind), d, v.loc);
            return Val{Kind::Long, d, false, std::nullopt, nullptr};
        };
        Val ba = bits(a);
        Val bb = bits(b);
        static const std::pair<BinOp, Op> ops[] = {{BinOp::And, Op::BitAnd},
                                                   {BinOp::Or, Op::BitOr},
                                                   {BinOp::Xor, Op::BitXor},
                                                   {BinOp::Eqv, Op::BitEqv},
                                                   {BinOp::Imp, Op::BitImp}};
        Op code = Op::BitAnd;
        for (const auto &[o, c] : ops)
            if (o == op) code = c;
        Loc d = temp_of(Kind::Long);
        emit(code, 0, d, ba.loc, bb.loc);
        return Val{Kind::Long, d, false, std::nullopt, nullptr};
    }
    return arithmetic(op, a, b);
}

Val Checker::unary(UnOp op, Val a, Pos pos) {
    pos_ = pos;
    if (a.kind == Kind::Record) fail(pos, "Type mismatch: a record is not a value");
    if (!is_number(a.kind)) {
        Val va = to_var(a);
        Loc d = temp_of(Kind::Variant);
        emit(Op::VarUnary, 0, d, va.loc, {}, op == UnOp::Neg ? BI_UNOP_NEGATE : BI_UNOP_NOT);
        last().f = kTempA;
        return Val{Kind::Variant, d, true, std::nullopt, nullptr};
    }
    if (op == UnOp::Neg) {
        Loc d = temp_of(a.kind);
        emit(Op::Neg, static_cast<uint8_t>(a.kind), d, a.loc);
        return Val{a.kind, d, false, std::nullopt, nullptr};
    }
    // Not: an Integer or a Long bit by bit; any other number converted to a Long first.
    Val bits = a;
    if (a.kind == Kind::Integer) {
        Loc d = temp_of(Kind::Long);
        emit(Op::ToBits, static_cast<uint8_t>(a.kind), d, a.loc);
        bits = Val{Kind::Long, d, false, std::nullopt, nullptr};
    } else if (a.kind != Kind::Long) {
        bits = coerce(a, Kind::Long);
    }
    Loc d = temp_of(Kind::Long);
    emit(Op::BitNot, 0, d, bits.loc);
    return Val{Kind::Long, d, false, std::nullopt, nullptr};
}

// ---- Expressions
// ---------------------------------------------------------------------------------

Val Checker::expr(const Expr &e) {
    pos_ = e.pos;
    switch (e.kind) {
    case Expr::Kind::Literal:
        return constant(e.value);
    case Expr::Kind::Paren:
        return expr(*e.left);
    case Expr::Kind::Name:
        return name_value(e);
    case Expr::Kind::Member:
        return read(place(e, false));
    case Expr::Kind::Unary:
        return unary(e.un, expr(*e.left), e.pos);
    case Expr::Kind::Binary: {
        Val a = expr(*e.left);
        Val b = expr(*e.right);
        return binary(e.bin, a, b, e.pos);
    }
    }
    fail(e.pos, "expression expected");
}

// ---- Places
// ----------------------------------------------------------------------------------------

Place Checker::symbol_place(const Symbol &s) {
    Place p;
    p.loc = s.loc;
    p.type = s.type;
    p.is_array = s.is_array;
    p.constant = s.what == Symbol::What::Constant;
    p.name = s.name;
    return p;
}

Place Checker::array_element(const Symbol &array, const std::vector<Argument> &args, Pos pos) {
    if (args.empty()) fail(pos, "subscripts expected: " + array.name + "(...)");
    if (array.dims != 0 && static_cast<int32_t>(args.size()) != array.dims)
        fail(pos, "Wrong number of dimensions: " + array.name);
    std::vector<Val> subs;
    for (const Argument &a : args) {
        if (!a.expr || a.hash) fail(pos, "subscript expected");
        subs.push_back(coerce(expr(*a.expr), Kind::Long));
    }
    Loc ptr = temp(TempKind::Pointer);
    if (subs.size() == 1) {
        emit(Op::Element1, 0, ptr, array.loc, subs[0].loc);
    } else {
        emit(Op::Element, 0, ptr, array.loc, {}, long_list(subs));
        last().n = static_cast<uint16_t>(subs.size());
    }
    Place p;
    p.loc = Loc{Base::Indirect, ptr.offset, 0};
    p.type = array.type;
    p.name = array.name;
    return p;
}

Place Checker::place(const Expr &e, bool for_write) {
    pos_ = e.pos;
    if (e.kind == Expr::Kind::Member) {
        Place base = place(*e.left, for_write);
        if (base.is_array || base.type.ref.kind != Kind::Record)
            fail(e.pos, "." + e.name + ": not a record");
        const rt::RecordLayout &layout = *base.type.ref.record;
        for (uint32_t i = 0; i < layout.count; ++i) {
            const rt::Field &f = layout.fields[i];
            if (upper(f.name) != upper(e.name)) continue;
            Place p = base;
            if (p.loc.base == Base::Indirect)
                p.loc.disp += f.offset;
            else
                p.loc.offset += f.offset;
            p.type = DeclType{f.type, DeclType::Tag::None};
            p.name = base.name + "." + f.name;
            if (e.suffix != 0 && suffix_type(e.suffix).ref.kind != f.type.kind)
                fail(e.pos, "Type-declaration character does not match declared data type");
            return p;
        }
        fail(e.pos, "Method or data member not found: " + e.name);
    }
    if (e.kind != Expr::Kind::Name) fail(e.pos, "variable expected");
    std::string key = upper(e.name);
    const Symbol *s = lookup(key);
    if (s != nullptr && s->what == Symbol::What::Procedure)
        fail(e.pos, e.name + " is a procedure, not a variable");
    if (s == nullptr) {
        if (e.call) fail(e.pos, "Sub or Function not defined: " + e.name);
        s = &implicit_variable(e.name, e.suffix, e.pos);
    }
    if (e.suffix != 0 && s->what == Symbol::What::Variable &&
        suffix_type(e.suffix).ref.kind != s->type.ref.kind)
        fail(e.pos, "Type-declaration character does not match declared data type");
    if (s->what == Symbol::What::Constant) {
        if (for_write) fail(e.pos, "Assignment to constant not permitted: " + e.name);
        Place p;
        p.constant = true;
        p.name = s->name;
        return p;
    }
    if (e.call) {
        if (s->is_array) return array_element(*s, e.args, e.pos);
        if (s->type.ref.kind == Kind::Variant && !e.args.empty()) {
            // An element of the array a Variant holds.
            std::vector<Val> subs;
            for (const Argument &a : e.args) {
                if (!a.expr) fail(e.pos, "subscript expected");
                subs.push_back(coerce(expr(*a.expr), Kind::Long));
            }
            uint32_t start = long_list(subs);
            Loc ptr = temp(TempKind::Pointer);
            emit(Op::VarElement, 0, ptr, s->loc, {}, start);
            last().n = static_cast<uint16_t>(subs.size());
            Place p;
            p.loc = Loc{Base::Indirect, ptr.offset, 0};
            p.type = DeclType{};
            p.name = s->name;
            return p;
        }
        fail(e.pos, e.name + " is not an array");
    }
    return symbol_place(*s);
}

Val Checker::read(const Place &p) {
    if (p.is_array) fail(pos_, "an array needs its subscripts here: " + p.name + "(...)");
    Val v;
    v.loc = p.loc;
    switch (p.type.ref.kind) {
    case Kind::Fixed: {
        Loc d = temp(TempKind::View);
        emit(Op::FixedView, 0, d, p.loc, {}, p.type.ref.length);
        return Val{Kind::String, d, false, std::nullopt, nullptr};
    }
    case Kind::Record:
        v.kind = Kind::Record;
        v.record = p.type.ref.record;
        return v;
    default:
        v.kind = p.type.ref.kind;
        return v;
    }
}

void Checker::store(const Place &p, Val v) {
    if (p.constant) fail(pos_, "Assignment to constant not permitted: " + p.name);
    if (p.is_array) fail(pos_, "an array cannot be assigned as a whole: " + p.name);
    const TypeRef &t = p.type.ref;
    if (p.type.tag == DeclType::Tag::Boolean) {
        if (v.kind == Kind::Variant) v = owned(v);
        if (v.kind == Kind::Record) fail(pos_, "Type mismatch: a record is not a value");
        emit(Op::ToBool, static_cast<uint8_t>(v.kind), p.loc, v.loc);
        if (v.temp) last().f = kTempA;
        return;
    }
    if (p.type.tag == DeclType::Tag::Date) {
        Val vv = to_var(v);
        Loc d = temp_of(Kind::Variant);
        emit(Op::ToDate, 0, d, vv.loc);
        last().f = kTempA;
        emit(Op::MoveVariant, 0, p.loc, d);
        last().f = kTempA;
        return;
    }
    switch (t.kind) {
    case Kind::Record:
        if (v.kind != Kind::Record || v.record != t.record)
            fail(pos_, "Type mismatch: a " + std::string(t.record->name) +
                           " takes a record of its own type (LSet copies between types)");
        emit(Op::MoveRecord, 0, p.loc, v.loc, {}, type_index(t));
        return;
    case Kind::String: {
        Val s = to_str(v);
        emit(Op::MoveString, 0, p.loc, s.loc);
        if (s.temp) last().f = kTempA;
        return;
    }
    case Kind::Fixed: {
        Val s = to_str(v);
        emit(Op::MoveFixed, 0, p.loc, s.loc, {}, t.length);
        if (s.temp) last().f = kTempA;
        return;
    }
    case Kind::Variant: {
        if (v.kind == Kind::Record) fail(pos_, "Type mismatch: a record is not a value");
        Val s = v.kind == Kind::Variant ? v : to_var(v);
        emit(Op::MoveVariant, 0, p.loc, s.loc);
        if (s.temp) last().f = kTempA;
        return;
    }
    default:
        if (v.kind == Kind::Record) fail(pos_, "Type mismatch: a record is not a value");
        if (v.kind == t.kind) {
            emit(Op::Move, static_cast<uint8_t>(t.kind), p.loc, v.loc, {}, rt::storage_size(t));
            return;
        }
        if (v.kind == Kind::Variant) v = owned(v);
        emit(Op::Convert, pair(v.kind, t.kind), p.loc, v.loc);
        if (v.temp) last().f = kTempA;
        return;
    }
}

} // namespace brtl::basic
