// Statements: the block structures, declarations, control flow and the library statements.
#include <cstring>

#include "parser_impl.h"

namespace brtl::basic {
namespace {

// Words that start a statement of their own and so are never a label, a variable or a call.
const char *const kStatementWords[] = {
    "DIM",    "STATIC", "GLOBAL", "PUBLIC", "PRIVATE",  "CONST",  "REDIM",  "ERASE",  "LET",
    "CALL",   "PRINT",  "IF",     "SELECT", "FOR",      "DO",     "WHILE",  "EXIT",   "GOTO",
    "GOSUB",  "RETURN", "ON",     "RESUME", "ERROR",    "END",    "STOP",   "OPTION", "NEXT",
    "LOOP",   "WEND",   "ELSE",   "ELSEIF", "CASE",     "DEFINT", "DEFLNG", "DEFSNG", "DEFDBL",
    "DEFCUR", "DEFSTR", "DEFVAR", "SUB",    "FUNCTION", "TYPE",   "DECLARE"};

// The library statements by their first word; "LINE" is Line Input.
const char *const kLibraryWords[] = {
    "OPEN",  "CLOSE",    "RESET",       "WIDTH",   "WRITE",    "INPUT",   "LINE",
    "PUT",   "GET",      "SEEK",        "LOCK",    "UNLOCK",   "KILL",    "NAME",
    "MKDIR", "RMDIR",    "CHDIR",       "CHDRIVE", "FILECOPY", "SETATTR", "RANDOMIZE",
    "BEEP",  "SENDKEYS", "APPACTIVATE", "LSET",    "RSET"};

bool in(const char *const *words, size_t n, const std::string &w) {
    for (size_t i = 0; i < n; ++i)
        if (w == words[i]) return true;
    return false;
}

bool is_statement_word(const std::string &w) {
    return in(kStatementWords, std::size(kStatementWords), w);
}

} // namespace

bool is_library_statement(const std::string &w) {
    return in(kLibraryWords, std::size(kLibraryWords), w);
}

bool is_reserved_word(const std::string &w) {
    return is_statement_word(w);
}

// ---- Blocks -----------------------------------------------------------------------------------

namespace {
// Whether the statement at the parser starts with the closer ("END IF" is two words).
bool closes(const Parser &p, const char *closer) {
    const char *space = std::strchr(closer, ' ');
    if (space == nullptr) return p.is_word(closer);
    std::string first(closer, space);
    return p.is_word(first.c_str()) && p.is_word(space + 1, 1);
}
} // namespace

Block Parser::block(std::initializer_list<const char *> closers, bool in_proc) {
    Block out;
    while (true) {
        while (peek().kind == Tok::Newline || is_symbol(":"))
            take();
        if (peek().kind == Tok::End || pending_next_ > 0) return out;
        // A label may stand before a closer on its line.
        for (const char *c : closers)
            if (closes(*this, c)) return out;
        StmtPtr s = labelled_or_statement(in_proc);
        bool label = s->kind == Stmt::Kind::Label;
        out.push_back(std::move(s));
        if (label) continue;
        if (pending_next_ > 0) return out;
        if (!at_line_end() && !is_symbol(":")) fail("end of statement expected");
    }
}

Block Parser::line_statements(bool in_if) {
    Block out;
    while (true) {
        if (at_line_end() || (in_if && is_word("ELSE"))) return out;
        if (accept_symbol(":")) continue;
        // A line number after Then or Else is a GoTo.
        if (out.empty() && peek().kind == Tok::Number) {
            auto s = std::make_unique<Stmt>();
            s->kind = Stmt::Kind::GoTo;
            s->pos = here();
            s->name = take().text;
            out.push_back(std::move(s));
            continue;
        }
        out.push_back(statement(true));
        if (!at_statement_end()) fail("end of statement expected");
    }
}

StmtPtr Parser::labelled_or_statement(bool in_proc) {
    bool line_start = pos_ == 0 || t_[pos_ - 1].kind == Tok::Newline;
    if (line_start && peek().kind == Tok::Number) {
        auto s = std::make_unique<Stmt>();
        s->kind = Stmt::Kind::Label;
        s->pos = here();
        if (peek().suffix != 0 || peek().text.find_first_not_of("0123456789") != std::string::npos)
            fail("line number expected");
        s->name = take().text;
        return s;
    }
    if (line_start && peek().kind == Tok::Identifier && peek().suffix == 0 && is_symbol(":", 1) &&
        !is_statement_word(upper(peek().text)) && !is_library_statement(upper(peek().text))) {
        auto s = std::make_unique<Stmt>();
        s->kind = Stmt::Kind::Label;
        s->pos = here();
        s->name = take().text;
        take(); // the colon
        return s;
    }
    return statement(in_proc);
}

// ---- Statements -------------------------------------------------------------------------------

StmtPtr Parser::statement(bool in_proc) {
    Pos pos = here();
    if (peek().kind == Tok::Symbol && peek().text == "?") {
        take();
        return print_statement(pos);
    }
    if (peek().kind != Tok::Identifier) fail("statement expected");
    std::string w = upper(peek().text);
    if (peek().suffix == '$' && ((w == "MID" || w == "MIDB") && is_symbol("(", 1)))
        return library_statement(pos);
    if (peek().suffix == '$' && (w == "DATE" || w == "TIME") && is_symbol("=", 1))
        return library_statement(pos);
    if (peek().suffix != 0) return call_or_assignment(pos);
    if (w == "IF") return take(), if_statement(pos);
    if (w == "SELECT") return take(), select_statement(pos);
    if (w == "FOR") return take(), for_statement(pos);
    if (w == "DO") return take(), do_statement(pos);
    if (w == "WHILE") return take(), while_statement(pos);
    if (w == "DIM" || w == "STATIC" || w == "GLOBAL" || w == "PUBLIC" || w == "PRIVATE") {
        take();
        if (is_word("CONST")) {
            take();
            StmtPtr s = const_statement(pos);
            s->word = w;
            return s;
        }
        return declaration(pos, w);
    }
    if (w == "CONST") return take(), const_statement(pos);
    if (w == "REDIM") return take(), redim_statement(pos);
    if (w == "ON") return take(), on_statement(pos);
    if (w == "RESUME") return take(), resume_statement(pos);
    if (w == "OPTION") return take(), option_statement(pos);
    if (w == "PRINT") return take(), print_statement(pos);
    if (w == "DEBUG" && is_symbol(".", 1)) return library_statement(pos);
    if (w == "LET") {
        take();
        if (peek().kind != Tok::Identifier) fail("variable expected");
        return call_or_assignment(pos);
    }
    if (w == "NEXT") fail("Next without For");
    if (w == "LOOP") fail("Loop without Do");
    if (w == "WEND") fail("Wend without While");
    if (w == "ELSE" || w == "ELSEIF") fail("Else without If");
    if (w == "CASE") fail("Case without Select Case");
    if (w == "SUB" || w == "FUNCTION" || w == "TYPE") {
        fail(in_proc ? "a procedure cannot be defined inside another"
                     : "a definition cannot stand inside a block");
    }
    // A library statement's word followed by "=" is a variable of that name (Name, Width, ...).
    if (is_library_statement(w) && !is_symbol("=", 1)) return library_statement(pos);
    if ((w == "DATE" || w == "TIME") && (is_symbol("=", 1))) return library_statement(pos);
    if ((w == "MID" || w == "MIDB") && is_symbol("(", 1)) return library_statement(pos);
    return simple_statement(in_proc);
}

StmtPtr Parser::simple_statement(bool in_proc) {
    (void)in_proc;
    Pos pos = here();
    std::string w = upper(peek().text);
    auto s = std::make_unique<Stmt>();
    s->pos = pos;
    if (w == "ERASE") {
        take();
        s->kind = Stmt::Kind::Erase;
        do {
            if (peek().kind != Tok::Identifier) fail("array expected");
            s->values.push_back(postfix_name());
        } while (accept_symbol(","));
        return s;
    }
    if (w == "CALL") {
        take();
        if (peek().kind != Tok::Identifier) fail("procedure name expected");
        s->kind = Stmt::Kind::Call;
        s->parens = true;
        Token t = take();
        s->pos = Pos{t.line, t.column};
        s->name = t.text;
        s->word = std::string(1, t.suffix);
        if (accept_symbol("(")) {
            argument_list(s->args, ")");
            expect_symbol(")");
        }
        return s;
    }
    if (w == "EXIT") {
        take();
        s->kind = Stmt::Kind::Exit;
        if (!(is_word("FOR") || is_word("DO") || is_word("SUB") || is_word("FUNCTION")))
            fail("For, Do, Sub or Function expected");
        s->word = upper(take().text);
        return s;
    }
    if (w == "GOTO" || w == "GOSUB") {
        take();
        s->kind = w == "GOTO" ? Stmt::Kind::GoTo : Stmt::Kind::GoSub;
        if (peek().kind != Tok::Identifier && peek().kind != Tok::Number) fail("label expected");
        s->pos = here();
        s->name = take().text;
        return s;
    }
    if (w == "RETURN") {
        take();
        s->kind = Stmt::Kind::Return;
        return s;
    }
    if (w == "ERROR") {
        take();
        s->kind = Stmt::Kind::Error;
        s->value = expression();
        return s;
    }
    if (w == "END" || w == "STOP") {
        take();
        if (w == "END" && peek().kind == Tok::Identifier && !at_statement_end()) {
            std::string next = upper(peek().text);
            if (next == "IF") fail_at(pos, "End If without block If");
            if (next == "SELECT") fail_at(pos, "End Select without Select Case");
            if (next == "SUB" || next == "FUNCTION")
                fail_at(pos, "End " + peek().text + " without " + peek().text);
            if (next == "TYPE") fail_at(pos, "End Type without Type");
        }
        s->kind = Stmt::Kind::End;
        s->word = w;
        return s;
    }
    if (w.size() == 6 && w.compare(0, 3, "DEF") == 0) {
        take();
        s->kind = Stmt::Kind::Def;
        s->word = w;
        std::string ranges;
        do {
            std::string from = name_token("letter"), to = from;
            if (accept_symbol("-")) to = name_token("letter");
            if (from.size() != 1 || to.size() != 1) fail("letter range expected");
            ranges += upper(from) + upper(to);
        } while (accept_symbol(","));
        s->name = ranges;
        return s;
    }
    return call_or_assignment(pos);
}

// A name, then "=" (an assignment), or the arguments of a call: "Foo a, b", "Foo(a)", "Foo (a), b".
// Parentheses around an argument make it a value: Foo(x) passes a copy of x.
StmtPtr Parser::call_or_assignment(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->pos = pos;
    ExprPtr target = postfix_name();
    if (accept_symbol("=")) {
        s->kind = Stmt::Kind::Assign;
        s->target = std::move(target);
        s->value = expression();
        return s;
    }
    if (target->kind != Expr::Kind::Name) fail("'=' expected");
    s->kind = Stmt::Kind::Call;
    s->name = target->name;
    s->word = std::string(1, target->suffix);
    if (target->call) {
        if (target->args.size() > 1) fail("'=' expected");
        for (Argument &a : target->args) {
            if (!a.expr) continue;
            auto paren = std::make_unique<Expr>();
            paren->kind = Expr::Kind::Paren;
            paren->pos = a.expr->pos;
            paren->left = std::move(a.expr);
            a.expr = std::move(paren);
        }
        s->args = std::move(target->args);
        if (!at_statement_end()) {
            expect_symbol(",");
            argument_list(s->args, ":");
        }
        return s;
    }
    if (!at_statement_end()) argument_list(s->args, ":");
    return s;
}

StmtPtr Parser::if_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::If;
    s->pos = pos;
    IfArm arm;
    arm.pos = pos;
    arm.condition = expression();
    expect_word("THEN");
    if (!at_line_end()) {
        // The single-line form: If c Then stmts [Else stmts].
        arm.body = line_statements(true);
        s->arms.push_back(std::move(arm));
        if (accept_word("ELSE")) {
            IfArm other;
            other.pos = here();
            other.body = line_statements(false);
            s->arms.push_back(std::move(other));
        }
        accept_word("END"); // a stray "End If" closing a single-line If
        return s;
    }
    arm.body = block({"ELSEIF", "ELSE", "END IF"}, true);
    s->arms.push_back(std::move(arm));
    while (true) {
        Pos at = here();
        if (accept_word("ELSEIF")) {
            IfArm next;
            next.pos = at;
            next.condition = expression();
            expect_word("THEN");
            next.body = block({"ELSEIF", "ELSE", "END IF"}, true);
            s->arms.push_back(std::move(next));
            continue;
        }
        if (accept_word("ELSE")) {
            IfArm last;
            last.pos = at;
            last.body = block({"END IF", "ELSEIF", "ELSE"}, true);
            s->arms.push_back(std::move(last));
            if (is_word("ELSE") || is_word("ELSEIF")) fail("End If expected");
            continue;
        }
        if (is_word("END") && is_word("IF", 1)) {
            take();
            take();
            return s;
        }
        fail_at(pos, "Block If without End If");
    }
}

StmtPtr Parser::select_statement(Pos pos) {
    expect_word("CASE");
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Select;
    s->pos = pos;
    s->value = expression();
    block({"CASE", "END SELECT"}, true); // nothing may stand before the first Case
    while (true) {
        Pos at = here();
        if (is_word("END") && is_word("SELECT", 1)) {
            take();
            take();
            return s;
        }
        if (!accept_word("CASE")) fail_at(pos, "Select Case without End Select");
        CaseClause clause;
        clause.pos = at;
        if (accept_word("ELSE")) {
            clause.is_else = true;
        } else {
            do {
                CaseTest test;
                if (accept_word("IS")) {
                    test.kind = CaseTest::Kind::Is;
                    static const std::pair<const char *, BinOp> ops[] = {
                        {"=", BinOp::Eq},  {"<>", BinOp::Ne}, {"<", BinOp::Lt},
                        {"<=", BinOp::Le}, {">", BinOp::Gt},  {">=", BinOp::Ge}};
                    bool found = false;
                    for (const auto &[text, op] : ops)
                        if (!found && accept_symbol(text)) {
                            test.op = op;
                            found = true;
                        }
                    if (!found) fail("comparison operator expected");
                    test.a = expression();
                } else {
                    test.a = expression();
                    if (accept_word("TO")) {
                        test.kind = CaseTest::Kind::Range;
                        test.b = expression();
                    }
                }
                clause.tests.push_back(std::move(test));
            } while (accept_symbol(","));
        }
        clause.body = block({"CASE", "END SELECT"}, true);
        s->clauses.push_back(std::move(clause));
    }
}

StmtPtr Parser::for_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::For;
    s->pos = pos;
    if (peek().kind != Tok::Identifier) fail("counter expected");
    s->target = postfix_name();
    if (s->target->kind != Expr::Kind::Name || s->target->call) fail("counter expected");
    expect_symbol("=");
    s->from = expression();
    expect_word("TO");
    s->to = expression();
    if (accept_word("STEP")) s->step = expression();
    if (!at_statement_end()) fail("end of statement expected");
    s->body = block({"NEXT"}, true);
    if (pending_next_ > 0) {
        --pending_next_;
        return s;
    }
    if (!accept_word("NEXT")) fail_at(pos, "For without Next");
    if (peek().kind == Tok::Identifier && !is_word("ELSE")) {
        Token counter = take();
        if (upper(counter.text) != upper(s->target->name))
            throw SourceError{counter.line, counter.column, "Next of another counter"};
        while (accept_symbol(",")) {
            if (peek().kind != Tok::Identifier) fail("counter expected");
            take();
            ++pending_next_;
        }
    }
    return s;
}

StmtPtr Parser::do_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Do;
    s->pos = pos;
    if (is_word("WHILE") || is_word("UNTIL")) {
        s->until = upper(take().text) == "UNTIL";
        s->value = expression();
    }
    s->body = block({"LOOP"}, true);
    if (!accept_word("LOOP")) fail_at(pos, "Do without Loop");
    if (is_word("WHILE") || is_word("UNTIL")) {
        if (s->value) fail("a Do loop takes one condition");
        s->until = upper(take().text) == "UNTIL";
        s->pre_test = false;
        s->value = expression();
    }
    return s;
}

StmtPtr Parser::while_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::While;
    s->pos = pos;
    s->value = expression();
    s->body = block({"WEND"}, true);
    if (!accept_word("WEND")) fail_at(pos, "While without Wend");
    return s;
}

// ---- Declarations -----------------------------------------------------------------------------

TypeClause Parser::as_type(char suffix) {
    TypeClause t;
    t.suffix = suffix;
    t.pos = here();
    if (!accept_word("AS")) return t;
    if (suffix != 0) fail("a name with a type character cannot have an As clause");
    t.pos = here();
    t.name = upper(name_token("type name"));
    if (t.name == "STRING" && accept_symbol("*")) t.fixed_length = expression();
    return t;
}

Declarator Parser::declarator(bool field) {
    Declarator d;
    d.pos = here();
    if (peek().kind != Tok::Identifier) fail("name expected");
    Token t = take();
    d.name = t.text;
    if (accept_symbol("(")) {
        d.array = true;
        if (!is_symbol(")")) {
            do {
                Bound b;
                b.upper = expression();
                if (accept_word("TO")) {
                    b.lower = std::move(b.upper);
                    b.upper = expression();
                }
                d.bounds.push_back(std::move(b));
            } while (accept_symbol(","));
        }
        expect_symbol(")");
        if (field) fail("a field cannot be an array");
    }
    d.type = as_type(t.suffix);
    return d;
}

StmtPtr Parser::declaration(Pos pos, const std::string &word) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Dim;
    s->pos = pos;
    s->word = word;
    accept_word("SHARED");
    do {
        s->decls.push_back(declarator(false));
    } while (accept_symbol(","));
    return s;
}

StmtPtr Parser::redim_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::ReDim;
    s->pos = pos;
    s->preserve = accept_word("PRESERVE");
    do {
        Declarator d = declarator(false);
        if (!d.array || d.bounds.empty()) fail_at(d.pos, "bounds expected");
        s->decls.push_back(std::move(d));
    } while (accept_symbol(","));
    return s;
}

StmtPtr Parser::const_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Const;
    s->pos = pos;
    do {
        Declarator d;
        d.pos = here();
        Token t = take();
        if (t.kind != Tok::Identifier) fail_at(d.pos, "name expected");
        d.name = t.text;
        d.type = as_type(t.suffix);
        expect_symbol("=");
        s->decls.push_back(std::move(d));
        s->values.push_back(expression());
    } while (accept_symbol(","));
    return s;
}

// ---- On, Resume, Option -------------------------------------------------------------------------

StmtPtr Parser::on_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->pos = pos;
    accept_word("LOCAL");
    if (accept_word("ERROR")) {
        s->kind = Stmt::Kind::OnError;
        if (accept_word("RESUME")) {
            expect_word("NEXT");
            s->word = "RESUMENEXT";
            return s;
        }
        expect_word("GOTO");
        if (peek().kind == Tok::Number && peek().text == "0") {
            take();
            s->word = "ZERO";
            return s;
        }
        s->word = "GOTO";
        if (peek().kind != Tok::Identifier && peek().kind != Tok::Number) fail("label expected");
        s->pos = here();
        s->name = take().text;
        return s;
    }
    s->kind = Stmt::Kind::OnGoTo;
    s->value = expression();
    if (!is_word("GOTO") && !is_word("GOSUB")) fail("GoTo or GoSub expected");
    s->word = upper(take().text);
    do {
        if (peek().kind != Tok::Identifier && peek().kind != Tok::Number) fail("label expected");
        s->names.push_back(take().text);
    } while (accept_symbol(","));
    return s;
}

StmtPtr Parser::resume_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Resume;
    s->pos = pos;
    if (accept_word("NEXT")) {
        s->word = "NEXT";
    } else if (peek().kind == Tok::Number && peek().text == "0") {
        take();
    } else if (peek().kind == Tok::Identifier || peek().kind == Tok::Number) {
        s->word = "LABEL";
        s->pos = here();
        s->name = take().text;
    }
    return s;
}

StmtPtr Parser::option_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Option;
    s->pos = pos;
    if (accept_word("EXPLICIT")) {
        s->word = "EXPLICIT";
    } else if (accept_word("COMPARE")) {
        s->word = "COMPARE";
        if (!is_word("TEXT") && !is_word("BINARY")) fail("Text or Binary expected");
        s->name = upper(take().text);
    } else if (accept_word("BASE")) {
        s->word = "BASE";
        if (peek().kind != Tok::Number || (peek().text != "0" && peek().text != "1"))
            fail("0 or 1 expected");
        s->name = take().text;
    } else {
        fail("Explicit, Compare or Base expected");
    }
    return s;
}

// ---- Print and the library statements -----------------------------------------------------------

StmtPtr Parser::print_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Print;
    s->pos = pos;
    if (peek().kind == Tok::Hash) {
        take();
        s->hash = true;
        s->value = expression();
        if (!at_statement_end()) expect_symbol(",");
    }
    print_list(*s);
    return s;
}

void Parser::print_list(Stmt &s) {
    while (!at_statement_end()) {
        PrintItem item;
        if (accept_symbol(";")) {
            item.kind = PrintItem::Kind::Semicolon;
        } else if (accept_symbol(",")) {
            item.kind = PrintItem::Kind::Comma;
        } else if ((is_word("SPC") || is_word("TAB")) && is_symbol("(", 1)) {
            item.kind = is_word("SPC") ? PrintItem::Kind::Spc : PrintItem::Kind::Tab;
            take();
            take();
            item.expr = expression();
            expect_symbol(")");
        } else {
            item.expr = expression();
        }
        s.items.push_back(std::move(item));
    }
}

// The arguments of a library statement: [#]expr separated by "," "As" or "To"; an argument may
// be omitted. words[i] holds the separator before argument i ("" for the first).
void Parser::statement_args(Stmt &s) {
    std::string before;
    bool first = true;
    while (true) {
        Argument a;
        if (peek().kind == Tok::Hash) {
            take();
            a.hash = true;
        }
        bool empty = at_statement_end() || is_symbol(",") || is_word("AS") || is_word("TO");
        if (!empty) a.expr = expression();
        if (!(first && empty && !a.hash && at_statement_end())) {
            s.args.push_back(std::move(a));
            s.words.push_back(before);
        }
        first = false;
        if (accept_symbol(","))
            before = ",";
        else if (accept_word("AS"))
            before = "AS";
        else if (accept_word("TO"))
            before = "TO";
        else
            break;
    }
    if (!at_statement_end()) fail("',' expected");
}

void Parser::open_form(Stmt &s) {
    Argument file;
    file.expr = expression();
    s.args.push_back(std::move(file));
    std::string mode = "RANDOM", access, lock;
    if (accept_word("FOR")) mode = upper(name_token("file mode"));
    if (accept_word("ACCESS")) {
        access = upper(name_token("access"));
        if (access == "READ" && accept_word("WRITE")) access = "READ WRITE";
    }
    if (accept_word("SHARED")) {
        lock = "SHARED";
    } else if (accept_word("LOCK")) {
        lock = upper(name_token("lock"));
        if (lock == "READ" && accept_word("WRITE")) lock = "READ WRITE";
    }
    expect_word("AS");
    Argument number;
    if (peek().kind == Tok::Hash) take();
    number.hash = true;
    number.expr = expression();
    s.args.push_back(std::move(number));
    if (accept_word("LEN")) {
        expect_symbol("=");
        Argument len;
        len.expr = expression();
        s.args.push_back(std::move(len));
    }
    s.words = {mode, access, lock};
}

StmtPtr Parser::library_statement(Pos pos) {
    auto s = std::make_unique<Stmt>();
    s->kind = Stmt::Kind::Statement;
    s->pos = pos;
    Token t = take();
    std::string w = upper(t.text);
    if (t.suffix == '$') w += '$';
    if (w == "DEBUG") {
        expect_symbol(".");
        w = "DEBUG." + upper(name_token("Print or Assert"));
        if (w == "DEBUG.PRINT") {
            s->name = w;
            print_list(*s);
            return s;
        }
        if (w != "DEBUG.ASSERT") fail_at(pos, "Debug.Print or Debug.Assert expected");
    }
    if (w == "LINE") {
        expect_word("INPUT");
        w = "LINE INPUT";
    }
    s->name = w;
    if (w == "OPEN") {
        open_form(*s);
        return s;
    }
    if (w == "MID" || w == "MIDB" || w == "MID$" || w == "MIDB$") {
        expect_symbol("(");
        argument_list(s->args, ")");
        expect_symbol(")");
        expect_symbol("=");
        s->value = expression();
        return s;
    }
    if (w == "DATE" || w == "TIME" || w == "DATE$" || w == "TIME$") {
        expect_symbol("=");
        s->value = expression();
        return s;
    }
    if (w == "LSET" || w == "RSET") {
        if (peek().kind != Tok::Identifier) fail("variable expected");
        s->target = postfix_name();
        expect_symbol("=");
        s->value = expression();
        return s;
    }
    statement_args(*s);
    return s;
}

} // namespace brtl::basic
