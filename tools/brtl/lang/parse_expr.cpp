// Expressions: one level per precedence of the dialect, loosest first.
#include "parser_impl.h"
#include "services/core.h"

namespace brtl::basic {

ExprPtr Parser::expression() {
    return imp();
}

ExprPtr Parser::binary(BinOp op, ExprPtr l, ExprPtr r, Pos pos) {
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Binary;
    e->bin = op;
    e->pos = pos;
    e->left = std::move(l);
    e->right = std::move(r);
    return e;
}

template <typename Next> ExprPtr Parser::word_level(const char *word, BinOp op, Next next) {
    ExprPtr l = (this->*next)();
    while (is_word(word)) {
        Pos pos = here();
        take();
        l = binary(op, std::move(l), (this->*next)(), pos);
    }
    return l;
}

ExprPtr Parser::imp() {
    return word_level("IMP", BinOp::Imp, &Parser::eqv);
}
ExprPtr Parser::eqv() {
    return word_level("EQV", BinOp::Eqv, &Parser::xor_);
}
ExprPtr Parser::xor_() {
    return word_level("XOR", BinOp::Xor, &Parser::or_);
}
ExprPtr Parser::or_() {
    return word_level("OR", BinOp::Or, &Parser::and_);
}
ExprPtr Parser::and_() {
    return word_level("AND", BinOp::And, &Parser::not_);
}

ExprPtr Parser::not_() {
    if (is_word("NOT")) {
        auto e = std::make_unique<Expr>();
        e->pos = here();
        take();
        e->kind = Expr::Kind::Unary;
        e->un = UnOp::Not;
        e->left = not_();
        return e;
    }
    return comparison();
}

ExprPtr Parser::comparison() {
    static const std::pair<const char *, BinOp> ops[] = {{"=", BinOp::Eq}, {"<>", BinOp::Ne},
                                                         {"<", BinOp::Lt}, {"<=", BinOp::Le},
                                                         {">", BinOp::Gt}, {">=", BinOp::Ge}};
    ExprPtr l = concatenation();
    while (true) {
        bool found = false;
        for (const auto &[text, op] : ops) {
            if (is_symbol(text)) {
                Pos pos = here();
                take();
                l = binary(op, std::move(l), concatenation(), pos);
                found = true;
                break;
            }
        }
        if (!found && is_word("LIKE")) {
            Pos pos = here();
            take();
            l = binary(BinOp::Like, std::move(l), concatenation(), pos);
            found = true;
        }
        if (!found) return l;
    }
}

ExprPtr Parser::concatenation() {
    ExprPtr l = additive();
    while (is_symbol("&")) {
        Pos pos = here();
        take();
        l = binary(BinOp::Cat, std::move(l), additive(), pos);
    }
    return l;
}

ExprPtr Parser::additive() {
    ExprPtr l = modulus();
    while (is_symbol("+") || is_symbol("-")) {
        Pos pos = here();
        BinOp op = take().text == "+" ? BinOp::Add : BinOp::Sub;
        l = binary(op, std::move(l), modulus(), pos);
    }
    return l;
}

ExprPtr Parser::modulus() {
    return word_level("MOD", BinOp::Mod, &Parser::int_division);
}

ExprPtr Parser::int_division() {
    ExprPtr l = multiplicative();
    while (is_symbol("\\")) {
        Pos pos = here();
        take();
        l = binary(BinOp::IntDiv, std::move(l), multiplicative(), pos);
    }
    return l;
}

ExprPtr Parser::multiplicative() {
    ExprPtr l = negation();
    while (is_symbol("*") || is_symbol("/")) {
        Pos pos = here();
        BinOp op = take().text == "*" ? BinOp::Mul : BinOp::Div;
        l = binary(op, std::move(l), negation(), pos);
    }
    return l;
}

ExprPtr Parser::negation() {
    if (is_symbol("-") || is_symbol("+")) {
        Pos pos = here();
        bool minus = take().text == "-";
        ExprPtr operand = negation();
        if (!minus) return operand;
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Unary;
        e->un = UnOp::Neg;
        e->pos = pos;
        e->left = std::move(operand);
        return e;
    }
    return power();
}

// ^ binds tighter than negation and groups to the left: -2 ^ 2 is -4, 2 ^ 3 ^ 2 is 64.
ExprPtr Parser::power() {
    ExprPtr l = primary();
    while (is_symbol("^")) {
        Pos pos = here();
        take();
        ExprPtr r = is_symbol("-") || is_symbol("+") ? negation() : primary();
        l = binary(BinOp::Pow, std::move(l), std::move(r), pos);
    }
    return l;
}

ExprPtr Parser::primary() {
    const Token &t = peek();
    auto e = std::make_unique<Expr>();
    e->pos = here();
    switch (t.kind) {
    case Tok::Number:
        try {
            e->value = number_literal(t.text, t.suffix);
        } catch (const rt::Trap &) {
            fail("number out of range");
        }
        take();
        return e;
    case Tok::String:
        e->value = Constant::string(t.text);
        take();
        return e;
    case Tok::Date:
        if (!date_literal(t.text, e->value)) fail("#" + t.text + "# is no date");
        take();
        return e;
    case Tok::Identifier:
        if (is_word("NOT")) return not_();
        if (is_word("TRUE") || is_word("FALSE")) {
            e->value = Constant::integer(is_word("TRUE") ? -1 : 0);
            take();
            return e;
        }
        if (is_word("NULL") || is_word("EMPTY")) {
            e->value = is_word("NULL") ? Constant::null() : Constant::empty();
            take();
            return e;
        }
        return postfix_name();
    case Tok::Symbol:
        if (t.text == "(") {
            take();
            e->kind = Expr::Kind::Paren;
            e->left = expression();
            expect_symbol(")");
            return e;
        }
        break;
    default:
        break;
    }
    fail("expression expected");
}

// A name with an optional argument list, then any number of ".field" members.
ExprPtr Parser::postfix_name() {
    Token t = take();
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Name;
    e->pos = Pos{t.line, t.column};
    e->name = t.text;
    e->suffix = t.suffix;
    if (is_symbol("(")) {
        take();
        e->call = true;
        argument_list(e->args, ")");
        expect_symbol(")");
    }
    while (is_symbol(".") && peek(1).kind == Tok::Identifier) {
        take();
        Token field = take();
        auto m = std::make_unique<Expr>();
        m->kind = Expr::Kind::Member;
        m->pos = Pos{field.line, field.column};
        m->name = field.text;
        m->suffix = field.suffix;
        m->left = std::move(e);
        e = std::move(m);
    }
    return e;
}

// Arguments separated by commas up to the closing symbol (not taken; ":" stands for the end of
// the statement); an argument may be omitted, and "#n" (as in EOF(#1)) marks a file number.
void Parser::argument_list(std::vector<Argument> &args, const char *close) {
    auto closed = [&] { return is_symbol(close) || (close[0] == ':' && at_statement_end()); };
    if (closed()) return;
    do {
        Argument a;
        if (peek().kind == Tok::Hash) {
            take();
            a.hash = true;
        }
        if (!is_symbol(",") && !closed()) a.expr = expression();
        args.push_back(std::move(a));
    } while (accept_symbol(","));
}

} // namespace brtl::basic
