// Declarations: modules, their options and Def letters, user types, variables, constants and
// procedure signatures; the frames and global storage they live in; the order of lowering.
#include <algorithm>
#include <cstring>
#include <set>

#include "checker.h"
#include "lexer.h"
#include "parser.h"
#include "services/convert.h"
#include "services/core.h"
#include "services/strings.h"
#include "services/variants.h"

namespace brtl::basic {

namespace {
constexpr size_t kMaxErrors = 20;

uint32_t align_up(uint32_t n, uint32_t a) {
    return (n + a - 1) / a * a;
}

// The storage kinds of the type names of the dialect.
bool builtin_type(const std::string &name, DeclType &out) {
    static const std::pair<const char *, Kind> kinds[] = {
        {"INTEGER", Kind::Integer}, {"LONG", Kind::Long},         {"SINGLE", Kind::Single},
        {"DOUBLE", Kind::Double},   {"CURRENCY", Kind::Currency}, {"STRING", Kind::String},
        {"VARIANT", Kind::Variant}};
    for (const auto &[word, kind] : kinds) {
        if (name == word) {
            out = DeclType{TypeRef{kind, 0, nullptr}, DeclType::Tag::None};
            return true;
        }
    }
    if (name == "BOOLEAN") {
        out = DeclType{TypeRef{Kind::Integer, 0, nullptr}, DeclType::Tag::Boolean};
        return true;
    }
    if (name == "DATE") {
        out = DeclType{TypeRef{Kind::Variant, 0, nullptr}, DeclType::Tag::Date};
        return true;
    }
    return false;
}

} // namespace

Checker::Checker(Program &program) : program_(program) {}

void Checker::fail(Pos pos, const std::string &message) {
    throw SourceError{pos.line, pos.column, message};
}

void Checker::check_errors() {
    if (!errors.empty()) throw CheckErrors{errors};
}

// ---- Types --------------------------------------------------------------------------------------

DeclType Checker::suffix_type(char suffix) const {
    switch (suffix) {
    case '%':
        return DeclType{TypeRef{Kind::Integer, 0, nullptr}};
    case '&':
        return DeclType{TypeRef{Kind::Long, 0, nullptr}};
    case '!':
        return DeclType{TypeRef{Kind::Single, 0, nullptr}};
    case '#':
        return DeclType{TypeRef{Kind::Double, 0, nullptr}};
    case '@':
        return DeclType{TypeRef{Kind::Currency, 0, nullptr}};
    case '$':
        return DeclType{TypeRef{Kind::String, 0, nullptr}};
    default:
        return DeclType{};
    }
}

DeclType Checker::default_type(const std::string &name, uint32_t module) const {
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    Kind kind = first >= 'A' && first <= 'Z' ? modules_[module].def[first - 'A'] : Kind::Variant;
    return DeclType{TypeRef{kind, 0, nullptr}};
}

DeclType Checker::resolve_type(const TypeClause &clause, const std::string &name, uint32_t module) {
    if (clause.suffix != 0) return suffix_type(clause.suffix);
    if (clause.name.empty()) return default_type(name, module);
    DeclType out;
    if (builtin_type(clause.name, out)) {
        if (clause.fixed_length) {
            std::optional<Constant> n = fold(*clause.fixed_length);
            int32_t length = 0;
            if (n && (n->kind == Kind::Integer || n->kind == Kind::Long))
                length = n->kind == Kind::Integer ? n->i2 : n->i4;
            else
                fail(clause.fixed_length->pos, "Constant expression required");
            if (length < 1 || length > 32767)
                fail(clause.fixed_length->pos, "a fixed-length string holds 1 to 32767 bytes");
            out.ref = TypeRef{Kind::Fixed, static_cast<uint32_t>(length), nullptr};
        }
        return out;
    }
    auto it = records_.find(clause.name);
    if (it == records_.end()) fail(clause.pos, "User-defined type not defined: " + clause.name);
    out.ref = TypeRef{Kind::Record, 0, it->second};
    return out;
}

void Checker::declare_types(Module &m) {
    // A type may use a type declared after it; each is laid out once the types it uses are.
    std::set<std::string> pending;
    for (const TypeDecl &t : m.types) {
        std::string key = upper(t.name);
        if (records_.count(key) || pending.count(key))
            fail(t.pos, "Duplicate definition: " + t.name);
        pending.insert(key);
    }
    std::vector<const TypeDecl *> todo;
    for (const TypeDecl &t : m.types)
        todo.push_back(&t);
    while (!todo.empty()) {
        bool progress = false;
        for (auto it = todo.begin(); it != todo.end();) {
            const TypeDecl &t = **it;
            bool ready = true;
            for (const Declarator &f : t.fields)
                if (!f.type.name.empty() && pending.count(f.type.name) &&
                    f.type.name != upper(t.name))
                    ready = false;
            if (!ready) {
                ++it;
                continue;
            }
            std::vector<rt::Field> &fields = program_.record_fields.emplace_back();
            uint32_t offset = 0, align = 1, file_length = 0;
            std::set<std::string> names;
            for (const Declarator &f : t.fields) {
                if (f.type.name == upper(t.name)) fail(f.type.pos, "a type cannot hold itself");
                if (!names.insert(upper(f.name)).second)
                    fail(f.pos, "Duplicate definition: " + f.name);
                DeclType ft = resolve_type(f.type, f.name, module_);
                if (ft.tag != DeclType::Tag::None)
                    fail(f.pos, "a field cannot be a Boolean or a Date; use Integer or Variant");
                uint32_t a = rt::storage_align(ft.ref);
                offset = align_up(offset, a);
                align = std::max(align, a);
                program_.field_names.push_back(f.name);
                fields.push_back(rt::Field{program_.field_names.back().c_str(), ft.ref, offset});
                offset += rt::storage_size(ft.ref);
                file_length += rt::file_length(ft.ref);
            }
            program_.field_names.push_back(t.name);
            rt::RecordLayout layout{program_.field_names.back().c_str(),
                                    align_up(offset, align),
                                    align,
                                    file_length,
                                    fields.data(),
                                    static_cast<uint32_t>(fields.size())};
            program_.records.push_back(layout);
            records_[upper(t.name)] = &program_.records.back();
            pending.erase(upper(t.name));
            it = todo.erase(it);
            progress = true;
        }
        if (!progress) fail(todo.front()->pos, "the types use each other in a circle");
    }
}

// ---- Storage
// -------------------------------------------------------------------------------------

Loc Checker::allocate_global(const TypeRef &type, bool is_array) {
    uint32_t size = is_array ? sizeof(rt::Array) : rt::storage_size(type);
    uint32_t align = is_array ? alignof(rt::Array) : rt::storage_align(type);
    program_.global_size = align_up(program_.global_size, std::max<uint32_t>(align, 1));
    Loc loc{Base::Global, program_.global_size, 0};
    program_.global_size += size;
    return loc;
}

Loc Checker::allocate_frame(uint32_t size, uint32_t align) {
    proc_->frame_size = align_up(proc_->frame_size, std::max<uint32_t>(align, 1));
    Loc loc{Base::Frame, proc_->frame_size, 0};
    proc_->frame_size += size;
    return loc;
}

Loc Checker::add_constant(const Constant &c) {
    std::vector<uint8_t> &pool = program_.constants;
    auto put = [&](const void *p, size_t size, size_t align) {
        size_t at = (pool.size() + align - 1) / align * align;
        pool.resize(at + size);
        std::memcpy(pool.data() + at, p, size);
        return Loc{Base::Const, static_cast<uint32_t>(at), 0};
    };
    switch (c.kind) {
    case Kind::Integer:
        return put(&c.i2, 2, 2);
    case Kind::Long:
        return put(&c.i4, 4, 4);
    case Kind::Single:
        return put(&c.r4, 4, 4);
    case Kind::Double:
        return put(&c.r8, 8, 8);
    case Kind::Currency:
        return put(&c.cy, 8, 8);
    case Kind::String: {
        program_.texts.push_back(c.text);
        std::string &t = program_.texts.back();
        BiString s =
            t.empty() ? rt::empty_string() : BiString{t.data(), static_cast<uint32_t>(t.size())};
        return put(&s, sizeof s, alignof(BiString));
    }
    default:
        return put(&c.variant, sizeof(VARIANT), alignof(VARIANT));
    }
}

uint32_t Checker::type_index(const TypeRef &t) {
    for (uint32_t i = 0; i < program_.types.size(); ++i) {
        const TypeRef &have = program_.types[i];
        if (have.kind == t.kind && have.length == t.length && have.record == t.record) return i;
    }
    program_.types.push_back(t);
    return static_cast<uint32_t>(program_.types.size() - 1);
}

// ---- Symbols
// -------------------------------------------------------------------------------------

const Symbol *Checker::lookup(const std::string &key) const {
    if (proc_ != nullptr) {
        auto it = locals_.find(key);
        if (it != locals_.end()) return &it->second;
    }
    auto m = modules_[module_].scope.find(key);
    if (m != modules_[module_].scope.end()) return &m->second;
    auto g = globals_.find(key);
    if (g != globals_.end()) return &g->second;
    return nullptr;
}

Symbol *Checker::lookup_variable(const std::string &key) {
    const Symbol *s = lookup(key);
    return s != nullptr && s->what == Symbol::What::Variable ? const_cast<Symbol *>(s) : nullptr;
}

namespace {
void check_not_reserved(Checker &c, const std::string &name, Pos pos) {
    if (is_reserved_word(upper(name)))
        c.fail(pos, "'" + name + "' is a word of the language and cannot name a variable");
}
} // namespace

Symbol &Checker::declare_variable(Scope &scope, const Declarator &d, bool global_storage,
                                  uint32_t module) {
    std::string key = upper(d.name);
    check_not_reserved(*this, d.name, d.pos);
    if (scope.count(key)) fail(d.pos, "Duplicate definition: " + d.name);
    const Symbol *other = lookup(key);
    if (other != nullptr && other->what == Symbol::What::Procedure)
        fail(d.pos, "Duplicate definition: " + d.name + " is a procedure");
    Symbol s;
    s.name = d.name;
    s.pos = d.pos;
    s.type = resolve_type(d.type, d.name, module);
    s.is_array = d.array;
    s.dynamic = d.array && d.bounds.empty();
    Variable v;
    v.name = d.name;
    v.type = s.type.ref;
    v.is_array = d.array;
    if (d.array && !d.bounds.empty()) {
        if (d.bounds.size() > static_cast<size_t>(rt::kMaxDimensions))
            fail(d.pos, "an array has at most 8 dimensions");
        v.fixed_array = true;
        for (const Bound &b : d.bounds) {
            auto bound = [&](const ExprPtr &e, int32_t fallback) {
                if (!e) return fallback;
                std::optional<Constant> c = fold(*e);
                if (!c || (c->kind != Kind::Integer && c->kind != Kind::Long &&
                           c->kind != Kind::Double && c->kind != Kind::Single))
                    fail(e->pos, "Constant expression required");
                try {
                    return rt::to_i4(to_variant(*c));
                } catch (const rt::Trap &) {
                    fail(e->pos, "Overflow");
                }
            };
            int32_t lower = bound(b.lower, modules_[module].base);
            int32_t upper_bound = bound(b.upper, 0);
            if (upper_bound < lower)
                fail(d.pos, "Subscript out of range: a bound below its lower bound");
            v.lower.push_back(lower);
            v.upper.push_back(upper_bound);
        }
        s.dims = static_cast<int32_t>(d.bounds.size());
    }
    if (global_storage) {
        s.loc = allocate_global(v.type, v.is_array);
        v.loc = s.loc;
        program_.globals.push_back(v);
    } else {
        uint32_t size = v.is_array ? sizeof(rt::Array) : rt::storage_size(v.type);
        uint32_t align = v.is_array ? alignof(rt::Array) : rt::storage_align(v.type);
        s.loc = allocate_frame(size, align);
        v.loc = s.loc;
        proc_->locals.push_back(v);
    }
    return scope.emplace(key, std::move(s)).first->second;
}

void Checker::declare_const(Scope &scope, const Stmt &s, size_t i) {
    const Declarator &d = s.decls[i];
    std::string key = upper(d.name);
    if (scope.count(key)) fail(d.pos, "Duplicate definition: " + d.name);
    std::optional<Constant> value = fold(*s.values[i]);
    if (!value) fail(s.values[i]->pos, "Constant expression required");
    if (!d.type.name.empty() || d.type.suffix != 0) {
        DeclType t = resolve_type(d.type, d.name, module_);
        if (t.ref.kind == Kind::Record || t.ref.kind == Kind::Fixed || t.tag != DeclType::Tag::None)
            fail(d.pos, "a constant is a number, a String or a Variant");
        if (t.ref.kind != value->kind && t.ref.kind != Kind::Variant) {
            try {
                VARIANT v = to_variant(*value);
                rt::VariantGuard hold(v);
                VARIANT out;
                VariantInit(&out);
                ZbiVariantChangeTypeAndTrap(&out, hold.get(),
                                            t.ref.kind == Kind::Integer    ? VT_I2
                                            : t.ref.kind == Kind::Long     ? VT_I4
                                            : t.ref.kind == Kind::Single   ? VT_R4
                                            : t.ref.kind == Kind::Double   ? VT_R8
                                            : t.ref.kind == Kind::Currency ? VT_CY
                                                                           : VT_BSTR);
                rt::VariantGuard result(out);
                from_variant(out, *value);
            } catch (const rt::Trap &t2) {
                fail(s.values[i]->pos,
                     std::string(rt::error_message(t2.number)) + " in a constant expression");
            }
        }
    }
    Symbol sym;
    sym.what = Symbol::What::Constant;
    sym.name = d.name;
    sym.pos = d.pos;
    sym.value = *value;
    sym.type.ref = TypeRef{value->kind, 0, nullptr};
    scope.emplace(key, std::move(sym));
}

// ---- Constant expressions
// -------------------------------------------------------------------------

std::optional<Constant> Checker::fold(const Expr &e) {
    switch (e.kind) {
    case Expr::Kind::Literal:
        return e.value;
    case Expr::Kind::Paren:
        return fold(*e.left);
    case Expr::Kind::Name: {
        if (e.call) return std::nullopt;
        const Symbol *s = lookup(upper(e.name));
        if (s == nullptr || s->what != Symbol::What::Constant) return std::nullopt;
        return s->value;
    }
    case Expr::Kind::Unary:
    case Expr::Kind::Binary: {
        std::optional<Constant> a = fold(*e.left);
        if (!a) return std::nullopt;
        std::optional<Constant> b;
        if (e.kind == Expr::Kind::Binary) {
            b = fold(*e.right);
            if (!b) return std::nullopt;
        }
        try {
            VARIANT va = to_variant(*a);
            VARIANT result;
            if (e.kind == Expr::Kind::Unary) {
                result = rt::var_unary(e.un == UnOp::Neg ? BI_UNOP_NEGATE : BI_UNOP_NOT, va);
            } else {
                rt::VariantGuard hold(va);
                VARIANT vb = to_variant(*b);
                va = hold.release();
                switch (e.bin) {
                case BinOp::Div:
                    result = rt::var_divide(va, vb);
                    break;
                case BinOp::IntDiv:
                    result = rt::var_int_divide(va, vb);
                    break;
                case BinOp::Mod:
                    result = rt::var_modulo(va, vb);
                    break;
                case BinOp::Pow:
                    result = rt::var_power(va, vb);
                    break;
                case BinOp::Cat:
                    result = rt::var_concat(va, vb);
                    break;
                case BinOp::Like:
                    result = rt::var_like(va, vb);
                    break;
                default: {
                    static const std::pair<BinOp, int32_t> codes[] = {
                        {BinOp::Add, BI_OP_ADD}, {BinOp::Sub, BI_OP_SUB}, {BinOp::Mul, BI_OP_MUL},
                        {BinOp::And, BI_OP_AND}, {BinOp::Or, BI_OP_OR},   {BinOp::Xor, BI_OP_XOR},
                        {BinOp::Eqv, BI_OP_EQV}, {BinOp::Imp, BI_OP_IMP}, {BinOp::Lt, BI_OP_LT},
                        {BinOp::Le, BI_OP_LE},   {BinOp::Gt, BI_OP_GT},   {BinOp::Ge, BI_OP_GE},
                        {BinOp::Eq, BI_OP_EQ},   {BinOp::Ne, BI_OP_NE}};
                    int32_t code = BI_OP_ADD;
                    for (const auto &[op, c] : codes)
                        if (op == e.bin) code = c;
                    result = rt::var_binary(code, va, vb);
                }
                }
            }
            rt::VariantGuard hold(result);
            Constant out;
            if (!from_variant(result, out)) return std::nullopt;
            return out;
        } catch (const rt::Trap &t) {
            fail(e.pos, std::string(rt::error_message(t.number)) + " in a constant expression");
        }
    }
    default:
        return std::nullopt;
    }
}

// ---- Modules and procedures
// ------------------------------------------------------------------------

void Checker::declare_procedure(ProcDecl &d, uint32_t module) {
    std::string key = upper(d.name);
    if (is_reserved_word(key))
        fail(d.name_pos, "'" + d.name + "' is a word of the language and cannot name a procedure");
    Scope &scope = d.is_private ? modules_[module].scope : globals_;
    if (scope.count(key) || globals_.count(key) || modules_[module].scope.count(key))
        fail(d.name_pos, "Duplicate definition: " + d.name);
    auto info = std::make_unique<ProcInfo>();
    info->decl = &d;
    info->module = module;
    info->is_function = d.is_function;
    info->index = static_cast<uint32_t>(program_.procedures.size());
    auto proc = std::make_unique<Procedure>();
    proc->name = d.name;
    proc->module = modules_[module].file;
    proc->kind = d.is_function ? ProcKind::Function : ProcKind::Sub;
    proc->line = d.pos.line;
    std::set<std::string> names;
    for (const ParamDecl &p : d.params) {
        if (!names.insert(upper(p.name)).second) fail(p.pos, "Duplicate definition: " + p.name);
        check_not_reserved(*this, p.name, p.pos);
        if (upper(p.name) == key) fail(p.pos, "Duplicate definition: " + p.name);
        DeclType t = resolve_type(p.type, p.name, module);
        if (p.array && p.by_val) fail(p.pos, "an array is passed ByRef");
        info->params.push_back(t);
        Param param;
        param.name = p.name;
        param.type = t.ref;
        param.by_ref = !p.by_val;
        param.is_array = p.array;
        param.optional = p.optional;
        if (p.default_value) {
            std::optional<Constant> c = fold(*p.default_value);
            if (!c) fail(p.default_value->pos, "Constant expression required");
            param.default_value = add_constant(*c);
            param.default_kind = c->kind;
            param.has_default = true;
        }
        proc->params.push_back(param);
    }
    for (size_t i = 1; i < d.params.size(); ++i)
        if (d.params[i - 1].optional && !d.params[i].optional)
            fail(d.params[i].pos, "a parameter after an Optional one is Optional too");
    if (d.is_function) {
        info->result = resolve_type(d.result, d.name, module);
        if (info->result.ref.kind == Kind::Record || info->result.ref.kind == Kind::Fixed)
            fail(d.result.pos, "a Function returns a number, a String or a Variant");
        proc->result = info->result.ref;
    }
    Symbol s;
    s.what = Symbol::What::Procedure;
    s.name = d.name;
    s.pos = d.pos;
    s.proc = info.get();
    scope.emplace(key, std::move(s));
    program_.procedures.push_back(std::move(proc));
    procs_.push_back(std::move(info));
}

// Options and Def letters, wherever they stand at the top level of the module, hold for all of it.
void Checker::declare_module(Module &m, uint32_t index) {
    ModuleState &state = modules_[index];
    for (const StmtPtr &s : m.code) {
        if (s->kind == Stmt::Kind::Option) {
            if (s->word == "EXPLICIT") state.explicit_ = true;
            if (s->word == "COMPARE") state.text_compare = s->name == "TEXT";
            if (s->word == "BASE") state.base = s->name == "1" ? 1 : 0;
        } else if (s->kind == Stmt::Kind::Def) {
            static const std::pair<const char *, Kind> defs[] = {
                {"DEFINT", Kind::Integer}, {"DEFLNG", Kind::Long},     {"DEFSNG", Kind::Single},
                {"DEFDBL", Kind::Double},  {"DEFCUR", Kind::Currency}, {"DEFSTR", Kind::String},
                {"DEFVAR", Kind::Variant}};
            Kind kind = Kind::Variant;
            for (const auto &[word, k] : defs)
                if (s->word == word) kind = k;
            for (size_t i = 0; i + 1 < s->name.size(); i += 2) {
                char from = s->name[i], to = s->name[i + 1];
                if (to < from) fail(s->pos, "letter range expected");
                for (char c = from; c <= to; ++c)
                    state.def[c - 'A'] = kind;
            }
        } else if (s->kind != Stmt::Kind::Dim && s->kind != Stmt::Kind::Const &&
                   s->kind != Stmt::Kind::Label) {
            state.has_code = true;
        }
    }
}

void Checker::module_declarations(Block &code, uint32_t module) {
    for (const StmtPtr &s : code) {
        try {
            if (s->kind == Stmt::Kind::Dim) {
                bool global = s->word == "GLOBAL" || s->word == "PUBLIC";
                for (const Declarator &d : s->decls)
                    declare_variable(global ? globals_ : modules_[module].scope, d, true, module);
            } else if (s->kind == Stmt::Kind::Const) {
                bool global = s->word == "GLOBAL" || s->word == "PUBLIC";
                for (size_t i = 0; i < s->decls.size(); ++i)
                    declare_const(global ? globals_ : modules_[module].scope, *s, i);
            }
        } catch (const SourceError &e) {
            errors.push_back({modules_[module].file, e.line, e.column, e.message});
            if (errors.size() >= kMaxErrors) check_errors();
        }
    }
}

void Checker::declare_modules(std::vector<Module> &modules) {
    sources_ = &modules;
    for (uint32_t i = 0; i < modules.size(); ++i) {
        ModuleState state;
        state.file = modules[i].file;
        std::fill(std::begin(state.def), std::end(state.def), Kind::Variant);
        modules_.push_back(std::move(state));
    }
    auto guarded = [&](uint32_t module, auto &&f) {
        module_ = module;
        try {
            f();
        } catch (const SourceError &e) {
            errors.push_back({modules_[module].file, e.line, e.column, e.message});
            if (errors.size() >= kMaxErrors) check_errors();
        }
    };
    for (uint32_t i = 0; i < modules.size(); ++i)
        guarded(i, [&] { declare_module(modules[i], i); });
    for (uint32_t i = 0; i < modules.size(); ++i)
        guarded(i, [&] { declare_types(modules[i]); });
    for (uint32_t i = 0; i < modules.size(); ++i) {
        module_ = i;
        module_declarations(modules[i].code, i);
    }
    for (uint32_t i = 0; i < modules.size(); ++i)
        for (ProcDecl &d : modules[i].procedures)
            guarded(i, [&] { declare_procedure(d, i); });
    check_errors();
}

void Checker::begin_procedure(Procedure &proc, uint32_t module) {
    proc_ = &proc;
    module_ = module;
    proc.text_compare = modules_[module].text_compare;
    locals_.clear();
    labels_.clear();
    label_uses_.clear();
    loops_.clear();
    exit_procs_.clear();
    last_line_label_ = 0;
    for (auto &pool : temp_pool_)
        pool.clear();
    for (uint32_t &used : temp_used_)
        used = 0;
}

void Checker::end_procedure() {
    for (const LabelUse &use : label_uses_) {
        auto it = labels_.find(upper(use.name));
        if (it == labels_.end()) fail(use.pos, "Label not defined: " + use.name);
        if (use.in_list)
            proc_->lists[use.instr].index = it->second;
        else
            proc_->code[use.instr].x = it->second;
    }
    uint32_t end = here();
    for (uint32_t at : exit_procs_)
        proc_->code[at].x = end;
    begin_unit(pos_);
    emit(Op::Return, 0, {});
    end_unit();
    proc_->defined = true;
}

void Checker::lower_procedure(ProcInfo &info) {
    Procedure &proc = *program_.procedures[info.index];
    info_ = &info;
    begin_procedure(proc, info.module);
    ProcDecl &d = *info.decl;
    pos_ = d.pos;
    // Parameters first (the caller fills them), then the result, then the locals.
    for (size_t i = 0; i < d.params.size(); ++i) {
        Param &param = proc.params[i];
        Symbol s;
        s.name = d.params[i].name;
        s.pos = d.params[i].pos;
        s.type = info.params[i];
        s.is_array = param.is_array;
        s.dynamic = param.is_array;
        s.optional = param.optional;
        bool pointer = param.by_ref || param.is_array;
        uint32_t size = pointer ? sizeof(void *) : rt::storage_size(param.type);
        uint32_t align = pointer ? alignof(void *) : rt::storage_align(param.type);
        Loc slot = allocate_frame(size, align);
        param.offset = slot.offset;
        s.by_ref = pointer;
        s.loc = pointer ? Loc{Base::Indirect, slot.offset, 0} : slot;
        locals_.emplace(upper(s.name), std::move(s));
    }
    if (info.is_function) {
        Loc slot =
            allocate_frame(rt::storage_size(info.result.ref), rt::storage_align(info.result.ref));
        proc.result_offset = slot.offset;
        Symbol s;
        s.name = d.name;
        s.pos = d.pos;
        s.type = info.result;
        s.loc = slot;
        locals_.emplace(upper(d.name), std::move(s));
    }
    block(d.body);
    end_procedure();
    info_ = nullptr;
}

void Checker::lower_module_code(uint32_t module, Block &code, Procedure &proc) {
    info_ = nullptr;
    begin_procedure(proc, module);
    block(code);
    end_procedure();
}

void Checker::lower_modules() {
    std::vector<Module> &modules = *sources_;
    // Module-level code of each module that has any, in the order of the files.
    for (uint32_t i = 0; i < modules.size(); ++i) {
        if (!modules_[i].has_code) continue;
        auto proc = std::make_unique<Procedure>();
        proc->name = "(module)";
        proc->module = modules_[i].file;
        proc->kind = ProcKind::ModuleCode;
        Procedure &p = *proc;
        program_.entry.push_back(static_cast<uint32_t>(program_.procedures.size()));
        program_.procedures.push_back(std::move(proc));
        try {
            lower_module_code(i, modules[i].code, p);
        } catch (const SourceError &e) {
            errors.push_back({modules_[i].file, e.line, e.column, e.message});
        }
    }
    for (auto &info : procs_) {
        try {
            lower_procedure(*info);
        } catch (const SourceError &e) {
            errors.push_back({modules_[info->module].file, e.line, e.column, e.message});
        }
        if (errors.size() >= kMaxErrors) break;
    }
    check_errors();
    if (program_.entry.empty()) {
        auto it = globals_.find("MAIN");
        if (it != globals_.end() && it->second.what == Symbol::What::Procedure) {
            ProcInfo &main = *it->second.proc;
            if (!main.decl->params.empty())
                errors.push_back({modules_[main.module].file, main.decl->pos.line,
                                  main.decl->pos.column, "Sub Main takes no arguments"});
            program_.entry.push_back(main.index);
        }
    }
    check_errors();
}

std::unique_ptr<Program> check_program(std::vector<Module> modules) {
    auto program = std::make_unique<Program>();
    Checker checker(*program);
    checker.declare_modules(modules);
    checker.lower_modules();
    return program;
}

} // namespace brtl::basic
