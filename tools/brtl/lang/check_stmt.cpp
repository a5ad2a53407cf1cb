// Statements: assignments, calls, the block structures, jumps, error handling, declarations in
// procedures, ReDim and Erase.
#include "checker.h"
#include "lexer.h"
#include "services/storage.h"

namespace brtl::basic {

uint32_t Checker::here() const {
    return static_cast<uint32_t>(proc_->code.size());
}

void Checker::patch(uint32_t instr, uint32_t target) {
    proc_->code[instr].x = target;
}

void Checker::begin_unit(Pos pos) {
    pos_ = pos;
    Unit u;
    u.start = here();
    u.end = here();
    u.line = pos.line;
    u.column = pos.column;
    u.label = last_line_label_;
    proc_->units.push_back(u);
    for (uint32_t &used : temp_used_)
        used = 0;
}

void Checker::end_unit() {
    proc_->units.back().end = here();
}

void Checker::jump_to_label(const std::string &name, Pos pos, uint32_t instr) {
    label_uses_.push_back({name, pos, instr, false});
}

void Checker::block(const Block &b) {
    for (const StmtPtr &s : b) {
        try {
            statement(*s);
        } catch (const SourceError &e) {
            errors.push_back({module().file, e.line, e.column, e.message});
            if (errors.size() >= 20) check_errors();
            if (!proc_->units.empty()) end_unit();
        }
    }
}

void Checker::statement(const Stmt &s) {
    switch (s.kind) {
    case Stmt::Kind::Label:
        return label(s);
    case Stmt::Kind::If:
        return if_statement(s);
    case Stmt::Kind::Select:
        return select_statement(s);
    case Stmt::Kind::For:
        return for_statement(s);
    case Stmt::Kind::Do:
        return do_statement(s);
    case Stmt::Kind::While:
        return while_statement(s);
    default:
        break;
    }
    begin_unit(s.pos);
    switch (s.kind) {
    case Stmt::Kind::Dim:
    case Stmt::Kind::Const:
        local_declaration(s);
        break;
    case Stmt::Kind::ReDim:
        redim(s);
        break;
    case Stmt::Kind::Erase:
        erase(s);
        break;
    case Stmt::Kind::Assign:
        assign(s);
        break;
    case Stmt::Kind::Call:
        call_statement(s);
        break;
    case Stmt::Kind::Print:
        print_statement(s);
        break;
    case Stmt::Kind::Exit:
        exit_statement(s);
        break;
    case Stmt::Kind::GoTo:
        goto_statement(s, Op::Jump);
        break;
    case Stmt::Kind::GoSub:
        goto_statement(s, Op::GoSub);
        break;
    case Stmt::Kind::Return:
        emit(Op::ReturnGoSub, 0, {});
        break;
    case Stmt::Kind::OnGoTo:
        on_goto(s);
        break;
    case Stmt::Kind::OnError:
        on_error(s);
        break;
    case Stmt::Kind::Resume:
        resume(s);
        break;
    case Stmt::Kind::Error: {
        Val n = coerce(expr(*s.value), Kind::Long);
        emit(Op::Raise, 0, {}, n.loc);
        break;
    }
    case Stmt::Kind::End:
        emit(Op::End, 0, {});
        break;
    case Stmt::Kind::Option:
        if (s.word == "COMPARE") {
            module().text_compare = s.name == "TEXT";
            emit(Op::SetCompare, module().text_compare ? 1 : 0, {});
        } else if (proc_->kind != ProcKind::ModuleCode) {
            fail(s.pos, "Option stands at module level");
        }
        break;
    case Stmt::Kind::Def:
        if (proc_->kind != ProcKind::ModuleCode) fail(s.pos, s.word + " stands at module level");
        break;
    case Stmt::Kind::Statement:
        library_statement(s);
        break;
    default:
        fail(s.pos, "statement expected");
    }
    end_unit();
}

void Checker::label(const Stmt &s) {
    std::string key = upper(s.name);
    if (labels_.count(key)) fail(s.pos, "Duplicate label: " + s.name);
    labels_[key] = here();
    if (s.name.find_first_not_of("0123456789") == std::string::npos)
        last_line_label_ = static_cast<int32_t>(std::stol(s.name.substr(0, 9)));
}

// ---- Assignments and calls
// ------------------------------------------------------------------------

void Checker::assign(const Stmt &s) {
    const Expr &t = *s.target;
    if (t.kind == Expr::Kind::Name && !t.call && upper(t.name) == "ERR" &&
        lookup(upper(t.name)) == nullptr) {
        Val n = coerce(expr(*s.value), Kind::Long);
        emit(Op::SetErr, 0, {}, n.loc);
        return;
    }
    if (t.kind == Expr::Kind::Name && lookup(upper(t.name)) == nullptr &&
        !find_builtin(upper(t.name) + (t.suffix == '$' ? "$" : "")).empty() && !t.call)
        fail(t.pos, "a builtin cannot be assigned to: " + t.name);
    Val v = expr(*s.value);
    Place p = place(t, true);
    pos_ = s.value->pos;
    store(p, v);
}

void Checker::call_statement(const Stmt &s) {
    std::string key = upper(s.name);
    const Symbol *sym = lookup(key);
    if (sym != nullptr && sym->what == Symbol::What::Procedure) {
        call_procedure(*sym->proc, s.args, s.pos, false);
        return;
    }
    if (sym != nullptr) fail(s.pos, "a procedure expected, not the variable " + s.name);
    char suffix = s.word.empty() ? 0 : s.word[0];
    const auto &rows = find_builtin(key + (suffix == '$' ? "$" : ""));
    if (rows.empty()) fail(s.pos, "Sub or Function not defined: " + s.name);
    discard(call_builtin(s.args, s.pos, rows));
}

// ---- Block structures
// -------------------------------------------------------------------------------

void Checker::jump_if(const Expr &condition, bool when, uint32_t &at) {
    Val v = expr(condition);
    if (v.kind == Kind::Record) fail(condition.pos, "Type mismatch: a record is not a condition");
    at = branch(v, when);
}

uint32_t Checker::branch(const Val &condition, bool when) {
    Val v = condition;
    if (!proc_->code.empty()) {
        Instr &compare = proc_->code.back();
        if (compare.op == Op::Compare && compare.k != static_cast<uint8_t>(Kind::String) &&
            v.loc.base == Base::Frame && compare.d.base == Base::Frame &&
            compare.d.offset == v.loc.offset && compare.unit == proc_->units.size() - 1) {
            // The comparison's Integer result was made for this jump alone.
            compare.op = Op::JumpCompare;
            compare.n = static_cast<uint16_t>(compare.x | (when ? 0x100u : 0u));
            compare.x = 0;
            compare.d = Loc{};
            return static_cast<uint32_t>(proc_->code.size() - 1);
        }
    }
    if (v.kind == Kind::String) v = to_var(v);
    if (v.kind == Kind::Variant) v = owned(v);
    uint32_t at =
        emit(when ? Op::JumpIfTrue : Op::JumpIfFalse, static_cast<uint8_t>(v.kind), {}, v.loc);
    if (v.temp) last().f = kTempA;
    return at;
}

void Checker::if_statement(const Stmt &s) {
    std::vector<uint32_t> to_end;
    for (size_t i = 0; i < s.arms.size(); ++i) {
        const IfArm &arm = s.arms[i];
        uint32_t skip = UINT32_MAX;
        if (arm.condition) {
            begin_unit(arm.pos);
            jump_if(*arm.condition, false, skip);
            end_unit();
        }
        block(arm.body);
        if (i + 1 < s.arms.size()) {
            begin_unit(s.arms[i + 1].pos);
            to_end.push_back(emit(Op::Jump, 0, {}));
            end_unit();
        }
        if (skip != UINT32_MAX) patch(skip, here());
    }
    for (uint32_t at : to_end)
        patch(at, here());
}

void Checker::select_statement(const Stmt &s) {
    begin_unit(s.pos);
    Val v = expr(*s.value);
    if (v.kind == Kind::Record) fail(s.pos, "Type mismatch: Select Case of a record");
    TypeRef type{v.kind, 0, nullptr};
    Loc slot = hidden(type);
    store(Place{slot, DeclType{type}, false, false, ""}, v);
    end_unit();
    Val selector{v.kind, slot, false, std::nullopt, nullptr};
    std::vector<uint32_t> to_end;
    for (const CaseClause &clause : s.clauses) {
        uint32_t next = UINT32_MAX;
        begin_unit(clause.pos);
        if (!clause.is_else) {
            std::vector<uint32_t> to_body;
            for (const CaseTest &test : clause.tests) {
                uint32_t at = 0;
                if (test.kind == CaseTest::Kind::Range) {
                    Val low = binary(BinOp::Ge, selector, expr(*test.a), clause.pos);
                    uint32_t skip = branch(low, false);
                    Val high = binary(BinOp::Le, selector, expr(*test.b), clause.pos);
                    at = branch(high, true);
                    to_body.push_back(at);
                    patch(skip, here());
                    continue;
                }
                BinOp op = test.kind == CaseTest::Kind::Is ? test.op : BinOp::Eq;
                Val cond = binary(op, selector, expr(*test.a), clause.pos);
                at = branch(cond, true);
                to_body.push_back(at);
            }
            next = emit(Op::Jump, 0, {});
            for (uint32_t at : to_body)
                patch(at, here());
        }
        end_unit();
        block(clause.body);
        begin_unit(clause.pos);
        to_end.push_back(emit(Op::Jump, 0, {}));
        end_unit();
        if (next != UINT32_MAX) patch(next, here());
    }
    for (uint32_t at : to_end)
        patch(at, here());
}

void Checker::for_statement(const Stmt &s) {
    begin_unit(s.pos);
    Place counter = place(*s.target, true);
    Kind k = counter.type.ref.kind;
    if (counter.is_array || counter.constant || counter.type.tag != DeclType::Tag::None ||
        (k != Kind::Integer && k != Kind::Long && k != Kind::Single && k != Kind::Double &&
         k != Kind::Currency && k != Kind::Variant))
        fail(s.target->pos, "a For counter is a number or a Variant variable");
    TypeRef type{k, 0, nullptr};
    Val from = expr(*s.from);
    Val to = expr(*s.to);
    Loc limit = hidden(type);
    store(Place{limit, DeclType{type}, false, false, ""}, to);
    std::optional<Constant> step_known = s.step ? fold(*s.step) : Constant::integer(1);
    Loc step = hidden(type);
    store(Place{step, DeclType{type}, false, false, ""},
          s.step ? expr(*s.step) : constant(Constant::integer(1)));
    store(counter, from);
    // The direction is the step's sign, known before the loop runs.
    int direction = 0;
    if (step_known && step_known->kind != Kind::String && step_known->kind != Kind::Variant) {
        VARIANT v = to_variant(*step_known);
        direction = ZbiVariantIsZero(&v) ? 1 : (v.vt == VT_I2 ? (v.iVal < 0 ? -1 : 1) : 0);
        if (v.vt == VT_I4) direction = v.lVal < 0 ? -1 : 1;
        if (v.vt == VT_R8) direction = v.dblVal < 0 ? -1 : 1;
        if (v.vt == VT_R4) direction = v.fltVal < 0 ? -1 : 1;
        if (v.vt == VT_CY) direction = v.cyVal < 0 ? -1 : 1;
    }
    Loc down = hidden(TypeRef{Kind::Integer, 0, nullptr});
    if (direction == 0) {
        Val sign = binary(BinOp::Lt, Val{k, step, false, std::nullopt, nullptr},
                          constant(Constant::integer(0)), s.pos);
        store(Place{down, DeclType{TypeRef{Kind::Integer, 0, nullptr}}, false, false, ""}, sign);
    }
    end_unit();
    uint32_t top = here();
    begin_unit(s.pos);
    Val c{k, counter.loc, false, std::nullopt, nullptr};
    Val l{k, limit, false, std::nullopt, nullptr};
    std::vector<uint32_t> exits;
    auto past = [&](BinOp op) { exits.push_back(branch(binary(op, c, l, s.pos), true)); };
    if (direction > 0) {
        past(BinOp::Gt);
    } else if (direction < 0) {
        past(BinOp::Lt);
    } else {
        uint32_t to_down = emit(Op::JumpIfTrue, static_cast<uint8_t>(Kind::Integer), {}, down);
        past(BinOp::Gt);
        uint32_t to_body = emit(Op::Jump, 0, {});
        patch(to_down, here());
        past(BinOp::Lt);
        patch(to_body, here());
    }
    end_unit();
    loops_.push_back({true, {}});
    // A typed counter with a step of known sign steps and tests in one instruction, which jumps
    // back to the body while the counter has not passed the limit (the test above runs once).
    bool fused = direction != 0 && k != Kind::Variant;
    uint32_t body = here();
    block(s.body);
    begin_unit(s.pos);
    if (fused) {
        emit(Op::ForNext, static_cast<uint8_t>(k), counter.loc, step, limit, body);
        last().n = direction > 0 ? 1 : 2;
        end_unit();
        for (uint32_t at : exits)
            patch(at, here());
        for (uint32_t at : loops_.back().exits)
            patch(at, here());
        loops_.pop_back();
        return;
    }
    Place counter_again = place(*s.target, true);
    Val next =
        binary(BinOp::Add, read(counter_again), Val{k, step, false, std::nullopt, nullptr}, s.pos);
    store(counter_again, next);
    emit(Op::Jump, 0, {}, {}, {}, top);
    end_unit();
    for (uint32_t at : exits)
        patch(at, here());
    for (uint32_t at : loops_.back().exits)
        patch(at, here());
    loops_.pop_back();
}

void Checker::do_statement(const Stmt &s) {
    uint32_t top = here();
    uint32_t exit_at = UINT32_MAX;
    if (s.value && s.pre_test) {
        begin_unit(s.value->pos);
        jump_if(*s.value, s.until, exit_at);
        end_unit();
    }
    loops_.push_back({false, {}});
    block(s.body);
    begin_unit(s.value ? s.value->pos : s.pos);
    if (s.value && !s.pre_test) {
        uint32_t back = 0;
        jump_if(*s.value, !s.until, back);
        patch(back, top);
    } else {
        emit(Op::Jump, 0, {}, {}, {}, top);
    }
    end_unit();
    if (exit_at != UINT32_MAX) patch(exit_at, here());
    for (uint32_t at : loops_.back().exits)
        patch(at, here());
    loops_.pop_back();
}

void Checker::while_statement(const Stmt &s) {
    uint32_t top = here();
    uint32_t exit_at = 0;
    begin_unit(s.pos);
    jump_if(*s.value, false, exit_at);
    end_unit();
    loops_.push_back({false, {}});
    block(s.body);
    begin_unit(s.pos);
    emit(Op::Jump, 0, {}, {}, {}, top);
    end_unit();
    patch(exit_at, here());
    for (uint32_t at : loops_.back().exits)
        patch(at, here());
    loops_.pop_back();
}

void Checker::exit_statement(const Stmt &s) {
    if (s.word == "FOR" || s.word == "DO") {
        bool is_for = s.word == "FOR";
        for (auto it = loops_.rbegin(); it != loops_.rend(); ++it) {
            if (it->is_for == is_for) {
                it->exits.push_back(emit(Op::Jump, 0, {}));
                return;
            }
        }
        fail(s.pos, is_for ? "Exit For not within For...Next" : "Exit Do not within Do...Loop");
    }
    bool function = s.word == "FUNCTION";
    if (info_ == nullptr || info_->is_function != function)
        fail(s.pos, std::string("Exit ") + (function ? "Function" : "Sub") + " not within " +
                        (function ? "a Function" : "a Sub"));
    exit_procs_.push_back(emit(Op::Jump, 0, {}));
}

// ---- Jumps and error handling
// ------------------------------------------------------------------------

void Checker::goto_statement(const Stmt &s, Op op) {
    jump_to_label(s.name, s.pos, emit(op, 0, {}));
}

void Checker::on_goto(const Stmt &s) {
    Val n = coerce(expr(*s.value), Kind::Long);
    uint32_t start = list_begin();
    for (const std::string &name : s.names) {
        label_uses_.push_back({name, s.pos, list_begin(), true});
        list_add(Arg{});
    }
    emit(s.word == "GOSUB" ? Op::OnGoSub : Op::OnGoTo, 0, {}, n.loc, {}, start);
    last().n = static_cast<uint16_t>(s.names.size());
}

void Checker::on_error(const Stmt &s) {
    proc_->uses_error_handler = true;
    if (s.word == "ZERO") {
        emit(Op::OnError, 0, {});
    } else if (s.word == "RESUMENEXT") {
        emit(Op::OnError, 2, {});
    } else {
        jump_to_label(s.name, s.pos, emit(Op::OnError, 1, {}));
    }
}

void Checker::resume(const Stmt &s) {
    if (s.word == "NEXT") {
        emit(Op::Resume, 1, {});
    } else if (s.word == "LABEL") {
        jump_to_label(s.name, s.pos, emit(Op::Resume, 2, {}));
    } else {
        emit(Op::Resume, 0, {});
    }
}

// ---- Declarations in procedures
// ----------------------------------------------------------------------

void Checker::local_declaration(const Stmt &s) {
    bool module_level = proc_->kind == ProcKind::ModuleCode;
    bool global = s.word == "GLOBAL" || s.word == "PUBLIC";
    if (global && !module_level) fail(s.pos, "Global stands at module level");
    Scope &scope = module_level ? (global ? globals_ : module().scope) : locals_;
    if (s.kind == Stmt::Kind::Const) {
        for (size_t i = 0; i < s.decls.size(); ++i) {
            auto it = scope.find(upper(s.decls[i].name));
            if (module_level && it != scope.end() && it->second.pos.line == s.decls[i].pos.line &&
                it->second.pos.column == s.decls[i].pos.column)
                continue; // declared with the module
            declare_const(scope, s, i);
        }
        return;
    }
    bool is_static = s.word == "STATIC" || (info_ != nullptr && info_->decl->is_static);
    for (const Declarator &d : s.decls) {
        auto it = scope.find(upper(d.name));
        if (module_level && it != scope.end() && it->second.pos.line == d.pos.line &&
            it->second.pos.column == d.pos.column)
            continue;
        declare_variable(scope, d, module_level || is_static, module_);
    }
}

void Checker::redim(const Stmt &s) {
    for (const Declarator &d : s.decls) {
        std::string key = upper(d.name);
        Symbol *sym = lookup_variable(key);
        if (sym == nullptr) {
            Declarator declared;
            declared.name = d.name;
            declared.pos = d.pos;
            declared.type = TypeClause{};
            declared.type.name = d.type.name;
            declared.type.suffix = d.type.suffix;
            declared.array = true;
            bool module_level = proc_->kind == ProcKind::ModuleCode;
            sym = &declare_variable(module_level ? module().scope : locals_, declared, module_level,
                                    module_);
        }
        if (!sym->is_array) fail(d.pos, d.name + " is not an array");
        if (!sym->dynamic) fail(d.pos, "Array already dimensioned: " + d.name);
        if (!d.type.name.empty()) {
            DeclType t = resolve_type(d.type, d.name, module_);
            if (t.ref.kind != sym->type.ref.kind || t.ref.record != sym->type.ref.record ||
                t.ref.length != sym->type.ref.length)
                fail(d.pos, "ReDim cannot change the type of " + d.name);
        }
        if (d.bounds.size() > static_cast<size_t>(rt::kMaxDimensions))
            fail(d.pos, "an array has at most 8 dimensions");
        std::vector<Val> bounds;
        for (const Bound &b : d.bounds) {
            bounds.push_back(b.lower ? coerce(expr(*b.lower), Kind::Long)
                                     : constant(Constant::long_(module().base)));
            bounds.push_back(coerce(expr(*b.upper), Kind::Long));
        }
        uint32_t start = long_list(bounds);
        emit(Op::ReDim, s.preserve ? 1 : 0, {}, sym->loc, {}, start);
        last().n = static_cast<uint16_t>(bounds.size());
        last().b.offset = type_index(sym->type.ref);
    }
}

void Checker::erase(const Stmt &s) {
    for (const ExprPtr &e : s.values) {
        const Symbol *sym =
            e->kind == Expr::Kind::Name && e->args.empty() ? lookup(upper(e->name)) : nullptr;
        if (sym == nullptr || !sym->is_array) fail(e->pos, "an array expected");
        emit(Op::Erase, sym->dynamic ? 1 : 0, {}, sym->loc, {}, type_index(sym->type.ref));
    }
}

} // namespace brtl::basic
