#include "parser.h"

#include <cctype>

#include "builtins.h"
#include "literals.h"

namespace brtl_host {
namespace {

std::string upper(std::string t) {
    for (char &c : t)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t;
}

class Parser {
  public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    Block line() {
        Block out = statements(false);
        if (peek().kind != Tok::End) fail("end of statement expected");
        return out;
    }

  private:
    // ---- Tokens ---------------------------------------------------------------------------
    const Token &peek(size_t ahead = 0) const {
        size_t i = pos_ + ahead;
        return i < t_.size() ? t_[i] : t_.back();
    }
    Token take() {
        Token t = peek();
        if (pos_ < t_.size() - 1) ++pos_;
        return t;
    }
    bool is_symbol(const char *s, size_t ahead = 0) const {
        return peek(ahead).kind == Tok::Symbol && peek(ahead).text == s;
    }
    bool is_word(const char *w, size_t ahead = 0) const {
        return peek(ahead).kind == Tok::Identifier && peek(ahead).suffix == 0 &&
               upper(peek(ahead).text) == w;
    }
    bool accept_symbol(const char *s) {
        if (!is_symbol(s)) return false;
        take();
        return true;
    }
    bool accept_word(const char *w) {
        if (!is_word(w)) return false;
        take();
        return true;
    }
    void expect_symbol(const char *s) {
        if (!accept_symbol(s)) fail(std::string("'") + s + "' expected");
    }
    void expect_word(const char *w) {
        if (!accept_word(w)) fail(std::string(w) + " expected");
    }
    [[noreturn]] void fail(const std::string &message) const {
        throw SyntaxError{peek().column, message};
    }
    bool at_statement_end() const {
        return peek().kind == Tok::End || is_symbol(":") || is_word("ELSE") ||
               (for_depth_ > 0 && is_word("NEXT"));
    }

    // ---- Statements -----------------------------------------------------------------------
    // Statements separated by ':' up to the end of the line (or, inside If, up to Else; inside
    // For, up to Next).
    Block statements(bool in_if) {
        Block out;
        while (true) {
            while (accept_symbol(":")) {
            }
            if (peek().kind == Tok::End) break;
            if (in_if && is_word("ELSE")) break;
            if (for_depth_ > 0 && is_word("NEXT")) break;
            out.push_back(statement());
            if (!accept_symbol(":")) break;
        }
        return out;
    }

    StmtPtr statement() {
        auto s = std::make_unique<Stmt>();
        s->column = peek().column;
        if (accept_symbol("?") || accept_word("PRINT")) return print(std::move(s));
        if (accept_word("IF")) return if_statement(std::move(s));
        if (accept_word("FOR")) return for_statement(std::move(s));
        if (accept_word("LET")) return assignment(std::move(s));
        if (peek().kind != Tok::Identifier) fail("statement expected");
        if (const StatementRow *row = statement_row()) return library(std::move(s), row);
        if (is_symbol("=", 1) || (is_symbol("(", 1) && !builtin_named(peek())))
            return assignment(std::move(s));
        if (builtin_named(peek())) return builtin_statement(std::move(s));
        fail("unknown statement '" + peek().text + "'");
    }

    const Builtin *builtin_named(const Token &t) const {
        std::string key = upper(t.text);
        if (t.suffix == '$') key += '$';
        return find_builtin(key);
    }

    // The statement row of the next word or two words (the longer name wins).
    const StatementRow *statement_row() {
        if (peek(1).kind == Tok::Identifier) {
            std::string two = upper(peek().text) + " " + upper(peek(1).text);
            if (const StatementRow *row = find_statement(two)) {
                take();
                take();
                return row;
            }
        }
        std::string one = upper(peek().text);
        if (peek().suffix == '$') one += '$';
        const StatementRow *row = find_statement(one);
        // A name that is also a function is a statement only where the statement's form
        // follows: Date = ..., Mid(...) = ...
        if (row != nullptr && row->shape == Shape::Assign && !is_symbol("=", 1) &&
            !is_symbol("(", 1) && peek(1).kind != Tok::Identifier)
            return nullptr;
        if (row != nullptr) take();
        return row;
    }

    StmtPtr print(StmtPtr s) {
        if (accept_hash_number(*s)) {
            s->row = find_statement("PRINT #");
            if (s->row == nullptr) fail("Print # is not available");
            s->kind = Stmt::Kind::Library;
            if (!at_statement_end()) expect_symbol(",");
        } else {
            s->kind = Stmt::Kind::Print;
        }
        print_list(*s);
        return s;
    }

    // "#n" as the first argument of a statement.
    bool accept_hash_number(Stmt &s) {
        if (peek().kind != Tok::Hash) return false;
        take();
        StmtArg a;
        a.hash = true;
        a.expr = expression();
        s.args.push_back(std::move(a));
        return true;
    }

    void print_list(Stmt &s) {
        s.open_end = false;
        while (!at_statement_end()) {
            if (accept_symbol(";")) {
                s.open_end = true;
                continue;
            }
            if (accept_symbol(",")) {
                PrintItem comma;
                comma.kind = PrintItem::Kind::Comma;
                s.items.push_back(std::move(comma));
                s.open_end = true;
                continue;
            }
            PrintItem item;
            if ((is_word("SPC") || is_word("TAB")) && is_symbol("(", 1)) {
                item.kind = is_word("SPC") ? PrintItem::Kind::Spc : PrintItem::Kind::Tab;
                take();
                take();
                item.expr = expression();
                expect_symbol(")");
            } else {
                item.expr = expression();
            }
            s.items.push_back(std::move(item));
            s.open_end = false;
        }
    }

    StmtPtr if_statement(StmtPtr s) {
        s->kind = Stmt::Kind::If;
        s->value = expression();
        expect_word("THEN");
        s->then_block = statements(true);
        if (accept_word("ELSE")) s->else_block = statements(true);
        accept_word("END"); // "End If" closing a single-line If
        accept_word("IF");
        return s;
    }

    StmtPtr for_statement(StmtPtr s) {
        s->kind = Stmt::Kind::For;
        if (peek().kind != Tok::Identifier) fail("counter expected");
        s->target = name();
        expect_symbol("=");
        s->value = expression();
        expect_word("TO");
        s->to = expression();
        if (accept_word("STEP")) s->step = expression();
        ++for_depth_;
        s->then_block = statements(false);
        --for_depth_;
        expect_word("NEXT");
        if (peek().kind == Tok::Identifier && !is_word("ELSE")) {
            Token counter = take();
            if (upper(counter.text) != s->target->name) fail("Next of another counter");
        }
        return s;
    }

    StmtPtr assignment(StmtPtr s) {
        s->kind = Stmt::Kind::Assign;
        if (peek().kind != Tok::Identifier) fail("variable expected");
        s->target = name();
        if (!s->target->args.empty()) fail("only whole variables can be assigned");
        expect_symbol("=");
        s->value = expression();
        return s;
    }

    // A builtin used as a statement: its arguments without parentheses (MsgBox "Hi").
    StmtPtr builtin_statement(StmtPtr s) {
        s->kind = Stmt::Kind::CallBuiltin;
        Token t = take();
        s->callee = upper(t.text) + (t.suffix == '$' ? "$" : "");
        arg_list(*s);
        return s;
    }

    StmtPtr library(StmtPtr s, const StatementRow *row) {
        s->kind = Stmt::Kind::Library;
        s->row = row;
        switch (row->shape) {
        case Shape::Args:
            arg_list(*s);
            break;
        case Shape::Assign:
            assign_form(*s);
            break;
        case Shape::Open:
            open_form(*s);
            break;
        case Shape::PrintList:
            if (!accept_hash_number(*s)) fail("'#' expected");
            if (!at_statement_end()) expect_symbol(",");
            print_list(*s);
            break;
        }
        return s;
    }

    void arg_list(Stmt &s) {
        std::string before;
        bool first = true;
        while (true) {
            StmtArg a;
            a.before = before;
            if (peek().kind == Tok::Hash) {
                take();
                a.hash = true;
            }
            bool empty = at_statement_end() || is_symbol(",") || is_word("AS") || is_word("TO");
            if (!empty) a.expr = expression();
            if (!(first && empty && !a.hash && at_statement_end())) s.args.push_back(std::move(a));
            first = false;
            if (accept_symbol(","))
                before = ",";
            else if (accept_word("AS"))
                before = "As";
            else if (accept_word("TO"))
                before = "To";
            else
                break;
        }
        if (!at_statement_end()) fail("',' expected");
    }

    // Mid(s, 2, 3) = t; LSet s = t; Date = d. The target (if any) is the first argument.
    void assign_form(Stmt &s) {
        if (accept_symbol("(")) {
            do {
                StmtArg a;
                if (!s.args.empty()) a.before = ",";
                if (!is_symbol(",") && !is_symbol(")")) a.expr = expression();
                s.args.push_back(std::move(a));
            } while (accept_symbol(","));
            expect_symbol(")");
        } else if (peek().kind == Tok::Identifier) {
            StmtArg a;
            a.expr = name();
            s.args.push_back(std::move(a));
        }
        expect_symbol("=");
        s.value = expression();
    }

    void open_form(Stmt &s) {
        StmtArg file;
        file.expr = expression();
        s.args.push_back(std::move(file));
        std::string mode = "RANDOM", access, lock;
        if (accept_word("FOR")) {
            if (peek().kind != Tok::Identifier) fail("file mode expected");
            mode = upper(take().text);
        }
        if (accept_word("ACCESS")) {
            access = upper(take().text);
            if (access == "READ" && accept_word("WRITE")) access = "READ WRITE";
        }
        if (accept_word("SHARED")) {
            lock = "SHARED";
        } else if (accept_word("LOCK")) {
            lock = upper(take().text);
            if (lock == "READ" && accept_word("WRITE")) lock = "READ WRITE";
        }
        expect_word("AS");
        StmtArg number;
        if (peek().kind == Tok::Hash) take();
        number.hash = true;
        number.expr = expression();
        s.args.push_back(std::move(number));
        if (accept_word("LEN")) {
            expect_symbol("=");
            StmtArg len;
            len.before = "Len";
            len.expr = expression();
            s.args.push_back(std::move(len));
        }
        s.words = {mode, access, lock};
    }

    // ---- Expressions: one level per precedence, loosest first --------------------------------
    ExprPtr expression() { return imp(); }

    ExprPtr binary(Op op, ExprPtr l, ExprPtr r, int column) {
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Binary;
        e->op = op;
        e->column = column;
        e->left = std::move(l);
        e->right = std::move(r);
        return e;
    }

    template <typename Next> ExprPtr word_level(const char *word, Op op, Next next) {
        ExprPtr l = (this->*next)();
        while (is_word(word)) {
            int col = take().column;
            l = binary(op, std::move(l), (this->*next)(), col);
        }
        return l;
    }
    ExprPtr imp() { return word_level("IMP", Op::Imp, &Parser::eqv); }
    ExprPtr eqv() { return word_level("EQV", Op::Eqv, &Parser::xor_); }
    ExprPtr xor_() { return word_level("XOR", Op::Xor, &Parser::or_); }
    ExprPtr or_() { return word_level("OR", Op::Or, &Parser::and_); }
    ExprPtr and_() { return word_level("AND", Op::And, &Parser::not_); }

    ExprPtr not_() {
        if (is_word("NOT")) {
            auto e = std::make_unique<Expr>();
            e->column = take().column;
            e->kind = Expr::Kind::Unary;
            e->op = Op::Not;
            e->left = not_();
            return e;
        }
        return comparison();
    }

    ExprPtr comparison() {
        ExprPtr l = concatenation();
        while (true) {
            static const std::pair<const char *, Op> ops[] = {{"=", Op::Eq}, {"<>", Op::Ne},
                                                              {"<", Op::Lt}, {"<=", Op::Le},
                                                              {">", Op::Gt}, {">=", Op::Ge}};
            bool found = false;
            for (const auto &[text, op] : ops) {
                if (is_symbol(text)) {
                    int col = take().column;
                    l = binary(op, std::move(l), concatenation(), col);
                    found = true;
                    break;
                }
            }
            if (!found && is_word("LIKE")) {
                int col = take().column;
                l = binary(Op::Like, std::move(l), concatenation(), col);
                found = true;
            }
            if (!found) return l;
        }
    }

    ExprPtr concatenation() {
        ExprPtr l = additive();
        while (is_symbol("&")) {
            int col = take().column;
            l = binary(Op::Cat, std::move(l), additive(), col);
        }
        return l;
    }

    ExprPtr additive() {
        ExprPtr l = modulus();
        while (is_symbol("+") || is_symbol("-")) {
            Token t = take();
            l = binary(t.text == "+" ? Op::Add : Op::Sub, std::move(l), modulus(), t.column);
        }
        return l;
    }
    ExprPtr modulus() { return word_level("MOD", Op::Mod, &Parser::int_division); }

    ExprPtr int_division() {
        ExprPtr l = multiplicative();
        while (is_symbol("\\")) {
            int col = take().column;
            l = binary(Op::IntDiv, std::move(l), multiplicative(), col);
        }
        return l;
    }

    ExprPtr multiplicative() {
        ExprPtr l = negation();
        while (is_symbol("*") || is_symbol("/")) {
            Token t = take();
            l = binary(t.text == "*" ? Op::Mul : Op::Div, std::move(l), negation(), t.column);
        }
        return l;
    }

    ExprPtr negation() {
        if (is_symbol("-") || is_symbol("+")) {
            Token t = take();
            ExprPtr operand = negation();
            if (t.text == "+") return operand;
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Unary;
            e->op = Op::Neg;
            e->column = t.column;
            e->left = std::move(operand);
            return e;
        }
        return power();
    }

    // ^ binds tighter than negation and groups to the left: -2 ^ 2 is -4, 2 ^ 3 ^ 2 is 64.
    ExprPtr power() {
        ExprPtr l = primary();
        while (is_symbol("^")) {
            int col = take().column;
            ExprPtr r;
            if (is_symbol("-")) {
                r = negation(); // 2 ^ -1
            } else {
                r = primary();
            }
            l = binary(Op::Pow, std::move(l), std::move(r), col);
        }
        return l;
    }

    ExprPtr primary() {
        const Token &t = peek();
        auto e = std::make_unique<Expr>();
        e->column = t.column;
        switch (t.kind) {
        case Tok::Number:
            e->literal = number_literal(t.text, t.suffix);
            take();
            return e;
        case Tok::String:
            e->literal = from_text(t.text);
            take();
            return e;
        case Tok::Date:
            e->literal = date_literal(t.text, t.column);
            take();
            return e;
        case Tok::Identifier:
            if (is_word("NOT")) return not_();
            if (keyword_literal(*e)) {
                take();
                return e;
            }
            return name();
        case Tok::Symbol:
            if (t.text == "(") {
                take();
                ExprPtr inner = expression();
                expect_symbol(")");
                return inner;
            }
            break;
        default:
            break;
        }
        fail("expression expected");
    }

    // True, False, Null and Empty.
    bool keyword_literal(Expr &e) const {
        if (is_word("TRUE") || is_word("FALSE")) {
            e.literal = from_bool(is_word("TRUE"));
            return true;
        }
        if (is_word("NULL")) {
            VARIANT null;
            VariantInit(&null);
            null.vt = VT_NULL;
            e.literal = Value::adopt(null);
            return true;
        }
        return is_word("EMPTY");
    }

    // A name with an optional argument list: a variable, an array element or a builtin.
    ExprPtr name() {
        Token t = take();
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Name;
        e->column = t.column;
        e->spelled = t.text;
        e->name = upper(t.text);
        e->suffix = t.suffix;
        if (accept_symbol("(")) {
            e->parens = true;
            if (!accept_symbol(")")) {
                do {
                    if (is_symbol(",") || is_symbol(")"))
                        e->args.push_back(nullptr);
                    else
                        e->args.push_back(argument());
                } while (accept_symbol(","));
                expect_symbol(")");
            }
        }
        return e;
    }

    // An argument; "#n" (as in EOF(#1) or Input(3, #1)) is the number n.
    ExprPtr argument() {
        if (peek().kind == Tok::Hash) take();
        return expression();
    }

    std::vector<Token> t_;
    size_t pos_ = 0;
    int for_depth_ = 0;
};

} // namespace

Block parse_line(const std::string &line) {
    return Parser(tokenize(line)).line();
}

} // namespace brtl_host
