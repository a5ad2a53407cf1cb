#include "interp.h"

#include "operators.h"
#include "parser.h"

namespace brtl_host {

namespace {
constexpr int kZoneWidth = 14;
constexpr int32_t kSubscriptOutOfRange = 9; // the host's own trap: its arrays are checked

std::string key_of(const Expr &e) {
    return e.name;
}
} // namespace

const Value &Call::arg(size_t i) const {
    static const Value empty;
    return i < args.size() ? args[i] : empty;
}

VARIANT Call::take(size_t i) {
    if (i >= args.size()) return Value().release();
    if (args[i].is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    return args[i].release();
}

void Call::reject_arrays() const {
    for (const Value &v : args)
        if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
}

BiString Call::str_or_empty(size_t i) const {
    if (has(i)) return str(i);
    BiString empty = {const_cast<char *>(""), 0};
    return empty;
}

Interp::Interp(std::ostream &out, std::ostream &err) : out_(out), err_(err) {}

Interp::Status Interp::run_line(const std::string &line, const std::string &where) {
    Block block;
    try {
        block = parse_line(line);
    } catch (const SyntaxError &e) {
        out_.flush();
        err_ << "Syntax error" << (where.empty() ? "" : " in line " + where) << " at column "
             << e.column << ": " << e.message << "\n";
        return Status::Syntax;
    } catch (const BasicTrap &t) { // a literal the library refused
        report_trap(t.number);
        return Status::Trapped;
    }
    try {
        run_block(block);
    } catch (const BasicTrap &t) {
        report_trap(t.number);
        return Status::Trapped;
    } catch (const HostError &e) {
        out_.flush();
        err_ << "Error: " << e.message << "\n";
        return Status::Trapped;
    }
    return Status::Ok;
}

void Interp::report_trap(int32_t number) {
    if (column_ != 0) newline();
    out_.flush();
    const char *text =
        number == kSubscriptOutOfRange ? "Subscript out of range" : brtl_english_text(number);
    std::string message = text ? text : "Application-defined or object-defined error";
    // The texts name their subject with %s; the message shows none.
    for (size_t at; (at = message.find(" '%s'")) != std::string::npos;)
        message.erase(at, 5);
    for (size_t at; (at = message.find("%s")) != std::string::npos;)
        message.erase(at, 2);
    err_ << "Run-time error " << number << ": " << message << "\n";
    err_.flush();
}

void Interp::run_block(const Block &block) {
    for (const StmtPtr &s : block)
        run(*s);
}

void Interp::run(const Stmt &s) {
    switch (s.kind) {
    case Stmt::Kind::Print:
        run_print(s);
        break;
    case Stmt::Kind::Assign:
        assign(*s.target, eval(*s.value));
        break;
    case Stmt::Kind::If:
        run_block(is_true(eval(*s.value)) ? s.then_block : s.else_block);
        break;
    case Stmt::Kind::For:
        run_for(s);
        break;
    case Stmt::Kind::Library:
        s.row->run(*this, s);
        break;
    case Stmt::Kind::CallBuiltin:
        run_call_statement(s);
        break;
    }
}

// For: the bounds are evaluated once; the counter steps by the library's addition and is
// compared by the library's comparison, upward or downward by the sign of the step.
void Interp::run_for(const Stmt &s) {
    Value limit = eval(*s.to);
    Value step = s.step ? eval(*s.step) : from_i2(1);
    bool down = is_true(apply_binary(*this, Op::Lt, step, from_i2(0)));
    assign(*s.target, eval(*s.value));
    while (true) {
        Value past = apply_binary(*this, down ? Op::Lt : Op::Gt, variable(*s.target), limit);
        if (is_true(past)) break;
        run_block(s.then_block);
        assign(*s.target, apply_binary(*this, Op::Add, variable(*s.target), step));
    }
}

void Interp::run_call_statement(const Stmt &s) {
    const Builtin *b = find_builtin(s.callee);
    for (const StmtArg &a : s.args) {
        if (a.hash || (a.before != "," && !a.before.empty()))
            throw HostError{"unexpected '#', As or To in a call"};
    }
    Call c{*this, {}, {}, {}};
    for (const StmtArg &a : s.args) {
        c.present.push_back(a.expr != nullptr);
        c.args.push_back(a.expr ? eval(*a.expr) : Value());
    }
    if (static_cast<int>(c.args.size()) < b->min_args ||
        static_cast<int>(c.args.size()) > b->max_args)
        throw HostError{std::string(b->name) + ": wrong number of arguments"};
    b->call(c);
}

// ---- Printing ---------------------------------------------------------------------------------

// Print shows a number with the place of its sign (a blank when it is not negative) and one
// blank after it, a Boolean as its word, Null as "Null", anything else as its text.
std::string Interp::print_text(Value v) {
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    switch (v.vt()) {
    case VT_NULL:
        return "Null";
    case VT_EMPTY:
        return "";
    case VT_ERROR:
        return "Error " + std::to_string(static_cast<uint16_t>(v.variant().scode));
    case VT_BOOL: {
        BiString s = ZbiCvtBooleanToString(v.variant().boolVal);
        std::string out(s.data, BiStringLength(s));
        free_bistring(s);
        return out;
    }
    default:
        break;
    }
    bool number = v.vt() >= VT_I2 && v.vt() <= VT_CY;
    BiString s = ZbiBuiltIn_CvtPVS(v.release());
    std::string out(s.data, BiStringLength(s));
    free_bistring(s);
    if (number) {
        if (out.empty() || out[0] != '-') out.insert(out.begin(), ' ');
        out += ' ';
    }
    return out;
}

void Interp::write(const std::string &text) {
    out_ << text;
    size_t nl = text.rfind('\n');
    column_ =
        static_cast<int>(nl == std::string::npos ? column_ + text.size() : text.size() - nl - 1);
}

void Interp::newline() {
    out_ << "\n";
    column_ = 0;
}

void Interp::run_print(const Stmt &s) {
    for (const PrintItem &item : s.items) {
        switch (item.kind) {
        case PrintItem::Kind::Comma:
            write(std::string(kZoneWidth - column_ % kZoneWidth, ' '));
            break;
        case PrintItem::Kind::Spc: {
            int32_t n = to_i32(eval(*item.expr));
            if (n > 0) write(std::string(static_cast<size_t>(n), ' '));
            break;
        }
        case PrintItem::Kind::Tab: {
            int32_t target = to_i32(eval(*item.expr));
            if (target < 1) target = 1;
            if (column_ > target - 1) newline();
            write(std::string(static_cast<size_t>(target - 1 - column_), ' '));
            break;
        }
        case PrintItem::Kind::Value:
            write(print_text(eval(*item.expr)));
            break;
        }
    }
    if (!s.open_end) newline();
}

// ---- Variables --------------------------------------------------------------------------------

void Interp::assign(const Expr &target, Value v) {
    Variable &var = variables_[key_of(target)];
    VARTYPE declared = type_of_suffix(target.suffix);
    if (declared != VT_EMPTY) var.type = declared;
    if (var.type != VT_EMPTY && !v.is_array() && v.vt() != var.type) v = change_type(v, var.type);
    var.value = std::move(v);
}

Value Interp::variable(const Expr &target) const {
    auto it = variables_.find(key_of(target));
    if (it != variables_.end()) return it->second.value;
    VARTYPE declared = type_of_suffix(target.suffix);
    if (declared == VT_EMPTY) return Value();
    if (declared == VT_BSTR) return from_text("");
    return change_type(from_i2(0), declared);
}

// ---- Expressions ------------------------------------------------------------------------------

Value Interp::eval(const Expr &e) {
    switch (e.kind) {
    case Expr::Kind::Literal:
        return e.literal;
    case Expr::Kind::Name:
        return eval_name(e);
    case Expr::Kind::Unary:
        return apply_unary(e.op, eval(*e.left));
    case Expr::Kind::Binary: {
        Value l = eval(*e.left);
        return apply_binary(*this, e.op, std::move(l), eval(*e.right));
    }
    }
    throw HostError{"bad expression"};
}

// A name is a variable when one of that name exists, else a builtin, else an Empty variable.
Value Interp::eval_name(const Expr &e) {
    auto it = variables_.find(key_of(e));
    if (it != variables_.end()) {
        const Value &v = it->second.value;
        if (!e.parens) return v;
        if (!v.is_array() || e.args.size() != 1 || !e.args[0])
            throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
        int32_t index = to_i32(eval(*e.args[0]));
        if (index < 0 || static_cast<size_t>(index) >= v.elements().size())
            throw BasicTrap{kSubscriptOutOfRange};
        return v.elements()[static_cast<size_t>(index)];
    }
    std::string key = e.name + (e.suffix == '$' ? "$" : "");
    if (const Builtin *b = find_builtin(key)) return call_builtin(*b, e);
    if (e.parens) throw HostError{"unknown function " + e.spelled};
    return variable(e);
}

Value Interp::call_builtin(const Builtin &b, const Expr &e) {
    Call c{*this, {}, {}, {}};
    for (const ExprPtr &a : e.args) {
        c.present.push_back(a != nullptr);
        c.args.push_back(a ? eval(*a) : Value());
    }
    int n = static_cast<int>(c.args.size());
    if (n < b.min_args || n > b.max_args)
        throw HostError{std::string(b.name) + ": wrong number of arguments"};
    b.call(c);
    return std::move(c.result);
}

} // namespace brtl_host
