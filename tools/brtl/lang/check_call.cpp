// Names in expressions: variables, constants, array elements, calls of procedures and builtins.
#include <cstdlib>

#include "checker.h"
#include "lexer.h"
#include "services/language.h"
#include "services/storage.h"

namespace brtl::basic {

namespace {

// One entry of a row's argument fill: an argument (with its default), a constant or the
// compare mode.
struct FillEntry {
    enum class What { Argument, Constant, Compare } what = What::Argument;
    int index = 0;
    bool has_default = false;
    bool default_compare = false;
    Constant value;
};

Constant fill_constant(const std::string &text) {
    if (text.size() >= 2 && text.front() == '\'')
        return Constant::string(text.substr(1, text.size() - 2));
    if (text.find('.') != std::string::npos)
        return Constant::double_(std::strtod(text.c_str(), nullptr));
    long n = std::strtol(text.c_str(), nullptr, 10);
    if (n >= INT16_MIN && n <= INT16_MAX) return Constant::integer(static_cast<int16_t>(n));
    return Constant::long_(static_cast<int32_t>(n));
}

std::vector<FillEntry> parse_fill(const char *fill, size_t params) {
    std::vector<FillEntry> out;
    std::string text(fill);
    if (text.empty()) {
        for (size_t i = 0; i < params; ++i) {
            FillEntry e;
            e.index = static_cast<int>(i);
            out.push_back(e);
        }
        return out;
    }
    size_t at = 0;
    while (at <= text.size()) {
        size_t comma = text.find(',', at);
        if (comma == std::string::npos) comma = text.size();
        std::string item = text.substr(at, comma - at);
        FillEntry e;
        if (item == "c") {
            e.what = FillEntry::What::Compare;
        } else if (item.compare(0, 2, "k:") == 0) {
            e.what = FillEntry::What::Constant;
            e.value = fill_constant(item.substr(2));
        } else {
            size_t eq = item.find('=');
            e.index = std::atoi(item.substr(0, eq).c_str());
            if (eq != std::string::npos) {
                e.has_default = true;
                std::string d = item.substr(eq + 1);
                if (d == "c")
                    e.default_compare = true;
                else
                    e.value = fill_constant(d);
            }
        }
        out.push_back(e);
        at = comma + 1;
    }
    return out;
}

} // namespace

Symbol &Checker::implicit_variable(const std::string &name, char suffix, Pos pos) {
    if (module().explicit_) fail(pos, "Variable not defined: " + name);
    Declarator d;
    d.name = name;
    d.pos = pos;
    d.type.suffix = suffix;
    bool module_level = proc_->kind == ProcKind::ModuleCode;
    Scope &scope = module_level ? module().scope : locals_;
    return declare_variable(scope, d, module_level || (info_ && info_->decl->is_static), module_);
}

Val Checker::name_value(const Expr &e) {
    std::string key = upper(e.name);
    const Symbol *s = lookup(key);
    if (s != nullptr && s->what == Symbol::What::Variable && e.call && !s->is_array &&
        info_ != nullptr && info_->is_function && key == upper(info_->decl->name))
        s = nullptr; // F(...) inside Function F calls it again
    if (s != nullptr && s->what != Symbol::What::Procedure) {
        if (s->what == Symbol::What::Constant) {
            if (e.call) fail(e.pos, e.name + " is a constant");
            if (e.suffix != 0 && suffix_type(e.suffix).ref.kind != s->value.kind)
                fail(e.pos, "Type-declaration character does not match declared data type");
            return constant(s->value);
        }
        return read(place(e, false));
    }
    if (s == nullptr && info_ != nullptr && e.call && key == upper(info_->decl->name)) {
        return call_procedure(*info_, e.args, e.pos, true);
    }
    if (s != nullptr) {
        ProcInfo &proc = *s->proc;
        if (!proc.is_function) fail(e.pos, "a Sub has no value: " + e.name);
        return call_procedure(proc, e.args, e.pos, true);
    }
    std::string builtin = key + (e.suffix == '$' ? "$" : "");
    const auto &rows = find_builtin(builtin);
    if (!rows.empty()) return call_builtin(e.args, e.pos, rows);
    if (e.call) fail(e.pos, "Sub or Function not defined: " + e.name);
    return read(place(e, false));
}

// ---- Procedures
// ----------------------------------------------------------------------------------

Val Checker::call_procedure(ProcInfo &proc, const std::vector<Argument> &args, Pos pos,
                            bool want_result) {
    Procedure &callee = *program_.procedures[proc.index];
    size_t required = 0;
    for (const Param &p : callee.params)
        if (!p.optional) ++required;
    if (args.size() < required || args.size() > callee.params.size())
        fail(pos,
             "Wrong number of arguments: " + callee.name + " takes " +
                 (required == callee.params.size()
                      ? std::to_string(required)
                      : std::to_string(required) + " to " + std::to_string(callee.params.size())));
    std::vector<Arg> list;
    for (size_t i = 0; i < callee.params.size(); ++i) {
        const Param &param = callee.params[i];
        const DeclType &type = proc.params[i];
        Arg arg;
        arg.type = param.type;
        const Expr *e = i < args.size() ? args[i].expr.get() : nullptr;
        if (i < args.size() && args[i].hash) fail(pos, "'#' stands before a file number only");
        if (param.is_array) {
            if (e == nullptr || e->kind != Expr::Kind::Name || !e->args.empty())
                fail(e ? e->pos : pos, "an array expected for " + param.name);
            const Symbol *s = lookup(upper(e->name));
            if (s == nullptr || !s->is_array) fail(e->pos, e->name + " is not an array");
            const TypeRef &have = s->type.ref;
            if (have.kind != type.ref.kind || have.length != type.ref.length ||
                have.record != type.ref.record || s->type.tag != type.tag)
                fail(e->pos,
                     "Type mismatch: array " + e->name + " is not of " + param.name + "'s type");
            arg.loc = s->loc;
            arg.by_ref = true;
            list.push_back(arg);
            continue;
        }
        Val v;
        if (e == nullptr) {
            if (!param.optional) fail(pos, "Argument not optional: " + param.name);
            if (param.has_default) {
                v.kind = param.default_kind;
                v.loc = param.default_value;
            } else if (type.ref.kind == Kind::Variant) {
                Loc d = temp_of(Kind::Variant);
                call_fn(BRTL_CALLABLE(brtl::rt::missing_argument), {}, d);
                v = Val{Kind::Variant, d, true, std::nullopt, nullptr};
            } else if (type.ref.kind == Kind::String || type.ref.kind == Kind::Fixed) {
                v = constant(Constant::string(""));
            } else if (type.ref.kind == Kind::Record) {
                fail(pos, "Argument not optional: " + param.name);
            } else {
                v = coerce(constant(Constant::integer(0)), type.ref.kind);
            }
        } else if (param.by_ref && e->kind != Expr::Kind::Paren &&
                   (e->kind == Expr::Kind::Member ||
                    (e->kind == Expr::Kind::Name && lookup_variable(upper(e->name)) != nullptr))) {
            Place p = place(*e, true);
            bool same = p.type.ref.kind == type.ref.kind && p.type.ref.length == type.ref.length &&
                        p.type.ref.record == type.ref.record && p.type.tag == type.tag &&
                        !p.is_array;
            if (same) {
                arg.loc = p.loc;
                arg.by_ref = true;
                list.push_back(arg);
                continue;
            }
            if (p.is_array) fail(e->pos, "an array cannot be passed as " + param.name);
            v = read(p);
        } else {
            v = expr(*e);
        }
        if (type.ref.kind == Kind::Record) {
            if (v.kind != Kind::Record || v.record != type.ref.record)
                fail(e ? e->pos : pos,
                     "Type mismatch: " + param.name + " takes a " + type.ref.record->name);
            // A record that is not a variable of the parameter's type goes as a copy.
            Loc d = allocate_frame(type.ref.record->size, type.ref.record->align);
            Variable copy;
            copy.type = type.ref;
            copy.loc = d;
            proc_->locals.push_back(copy);
            emit(Op::MoveRecord, 0, d, v.loc, {}, type_index(type.ref));
            arg.loc = d;
            arg.by_ref = true;
            list.push_back(arg);
            continue;
        }
        // The value in the parameter's type: the callee's own copy (ByVal), or a temporary
        // that a ByRef parameter refers to, released after the call.
        Val t;
        if (type.tag == DeclType::Tag::Boolean) {
            if (v.kind == Kind::Variant) v = owned(v);
            Loc d = temp_of(Kind::Integer);
            emit(Op::ToBool, static_cast<uint8_t>(v.kind), d, v.loc);
            if (v.temp) last().f = kTempA;
            t = Val{Kind::Integer, d, false, std::nullopt, nullptr};
        } else if (type.tag == DeclType::Tag::Date) {
            Val vv = to_var(v);
            Loc d = temp_of(Kind::Variant);
            emit(Op::ToDate, 0, d, vv.loc);
            last().f = kTempA;
            t = Val{Kind::Variant, d, true, std::nullopt, nullptr};
        } else if (type.ref.kind == Kind::Fixed) {
            Loc d = allocate_frame(type.ref.length + 1, 1);
            Variable copy;
            copy.type = type.ref;
            copy.loc = d;
            proc_->locals.push_back(copy);
            Val s = to_str(v);
            emit(Op::MoveFixed, 0, d, s.loc, {}, type.ref.length);
            if (s.temp) last().f = kTempA;
            arg.loc = d;
            arg.by_ref = param.by_ref;
            list.push_back(arg);
            continue;
        } else if (type.ref.kind == Kind::String && param.by_ref) {
            // The callee sees the temporary as a variable: its text with the flag clear.
            Val s = coerce(v, Kind::String);
            Loc d = temp_of(Kind::String);
            emit(Op::MoveString, 0, d, s.loc);
            if (s.temp) last().f = kTempA;
            t = Val{Kind::String, d, true, std::nullopt, nullptr};
        } else {
            t = coerce(v, type.ref.kind);
            if (type.ref.kind == Kind::String || type.ref.kind == Kind::Variant) t = owned(t);
        }
        arg.loc = t.loc;
        if (param.by_ref) {
            // A number that is not in a temporary of its own is copied into one, so that the
            // callee's changes reach nothing of the caller's.
            if (t.kind != Kind::String && t.kind != Kind::Variant && t.loc.base != Base::Frame) {
                Loc d = temp_of(t.kind);
                emit(Op::Move, static_cast<uint8_t>(t.kind), d, t.loc, {},
                     rt::storage_size(TypeRef{t.kind, 0, nullptr}));
                arg.loc = d;
            }
            arg.by_ref = true;
            arg.release = t.kind == Kind::String || t.kind == Kind::Variant;
        } else {
            arg.consumed = t.kind == Kind::String || t.kind == Kind::Variant;
        }
        list.push_back(arg);
    }
    uint32_t start = list_begin();
    for (const Arg &a : list)
        list_add(a);
    Kind result = proc.is_function ? proc.result.ref.kind : Kind::Integer;
    Loc d = proc.is_function ? temp_of(result) : Loc{};
    emit(Op::Call, 0, d, {}, {}, proc.index);
    last().x = proc.index;
    last().a.offset = start;
    last().n = static_cast<uint16_t>(list.size());
    if (!proc.is_function) return Val{Kind::Integer, d, false, std::nullopt, nullptr};
    Val r{result, d, result == Kind::String || result == Kind::Variant, std::nullopt, nullptr};
    if (!want_result) {
        discard(r);
        r.temp = false;
    }
    return r;
}

// ---- Builtins
// --------------------------------------------------------------------------------------

void Checker::call_fn(const Callable &fn, const std::vector<Val> &values, Loc d) {
    uint32_t start = list_begin();
    size_t next = 0;
    for (size_t i = 0; i < fn.count; ++i) {
        Arg arg;
        if (fn.params[i] == CType::VarOut) {
            arg.loc = d;
            arg.by_ref = true;
            list_add(arg);
            continue;
        }
        if (next >= values.size()) fail(pos_, "internal: too few values for a call");
        const Val &v = values[next++];
        arg.loc = v.loc;
        arg.type = TypeRef{v.kind, 0, nullptr};
        CType t = fn.params[i];
        arg.by_ref = t == CType::VarRef || t == CType::StrRef || t == CType::Addr;
        arg.consumed = v.temp && (t == CType::Str || t == CType::Var);
        arg.release = v.temp && !arg.consumed;
        list_add(arg);
    }
    uint32_t index = 0;
    for (; index < program_.callables.size(); ++index)
        if (program_.callables[index] == &fn) break;
    if (index == program_.callables.size()) program_.callables.push_back(&fn);
    emit(Op::CallBuiltin, 0, d, {}, {}, index);
    last().a.offset = start;
    last().n = fn.count;
}

// A value in the C type a parameter takes.
Val Checker::pass_argument(const Callable &fn, size_t i, Val v, Arg &) {
    switch (fn.params[i]) {
    case CType::Var:
        return to_var(v);
    case CType::VarRef:
        // The callee reads the Variant where it is (a temporary is released after the call).
        return v.kind == Kind::Variant ? v : to_var(v);
    case CType::Addr:
        return v;
    default:
        return coerce(v, kind_of(fn.params[i]));
    }
}

Val Checker::apply_builtin(const BuiltinRow &row, const Callable *fn,
                           const std::vector<Argument> &args, Pos pos) {
    size_t first = fn->count > 0 && fn->params[0] == CType::VarOut ? 1 : 0;
    std::vector<FillEntry> fill = parse_fill(row.fill, fn->count - first);
    if (fill.size() != fn->count - first)
        fail(pos, "internal: the argument fill of " + std::string(row.name) + " does not fit");
    for (size_t i = 0; i < args.size(); ++i) {
        bool used = false;
        for (const FillEntry &s : fill)
            used = used || (s.what == FillEntry::What::Argument && s.index == static_cast<int>(i));
        if (!used && args[i].expr) fail(pos, "Wrong number of arguments: " + std::string(row.name));
    }
    std::vector<Val> values;
    bool strings = row.string_fn != nullptr;
    for (size_t i = 0; i < fill.size(); ++i) {
        const FillEntry &s = fill[i];
        bool given = s.what == FillEntry::What::Argument &&
                     static_cast<size_t>(s.index) < args.size() && args[s.index].expr;
        Val v;
        if (s.what == FillEntry::What::Compare || (!given && s.default_compare)) {
            v = constant(
                Constant::integer(module().text_compare ? BI_COMPARE_TEXT : BI_COMPARE_BINARY));
        } else if (s.what == FillEntry::What::Constant) {
            v = constant(s.value);
        } else if (given) {
            v = expr(*args[s.index].expr);
        } else if (s.has_default) {
            v = constant(s.value);
        } else {
            fail(pos, "Argument not optional: argument " + std::to_string(s.index + 1) + " of " +
                          row.name);
        }
        // The runtime-string form when every argument the Variant form takes as a Variant is
        // a String.
        if (fn->params[first + i] == CType::Var && (!given || v.kind != Kind::String))
            strings = false;
        values.push_back(v);
    }
    return call_with(strings ? *row.string_fn : *fn, std::move(values));
}

Val Checker::call_with(const Callable &fn, std::vector<Val> values) {
    size_t first = fn.count > 0 && fn.params[0] == CType::VarOut ? 1 : 0;
    Arg unused;
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = pass_argument(fn, first + i, values[i], unused);
    Kind result = first == 1 ? Kind::Variant : kind_of(fn.result);
    Loc d = fn.result == CType::Void && first == 0 ? Loc{} : temp_of(result);
    call_fn(fn, values, d);
    return Val{result, d, result == Kind::String || result == Kind::Variant, std::nullopt, nullptr};
}

void Checker::discard(const Val &v) {
    if (v.temp) emit(Op::Release, static_cast<uint8_t>(v.kind), v.loc);
}

Val Checker::call_builtin(const std::vector<Argument> &args, Pos pos,
                          const std::vector<const BuiltinRow *> &rows) {
    const BuiltinRow *row = nullptr;
    for (const BuiltinRow *r : rows)
        if (args.size() >= static_cast<size_t>(r->min_args) &&
            args.size() <= static_cast<size_t>(r->max_args))
            row = r;
    if (row == nullptr) fail(pos, "Wrong number of arguments: " + std::string(rows[0]->name));
    // "#" may stand before the file number of the file functions.
    std::string name = upper(row->name);
    bool file_function = name.compare(0, 5, "INPUT") == 0 || name == "EOF" || name == "LOC" ||
                         name == "LOF" || name == "SEEK" || name == "FILEATTR";
    for (const Argument &a : args)
        if (a.hash && !file_function) fail(pos, "'#' stands before a file number only");
    if (row->special != Special::None) return special_builtin(*row, args, pos);
    return apply_builtin(*row, row->fn, args, pos);
}

} // namespace brtl::basic
