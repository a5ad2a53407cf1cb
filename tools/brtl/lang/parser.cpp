#include "parser.h"

#include "parser_impl.h"

namespace brtl::basic {

const Token &Parser::peek(size_t ahead) const {
    size_t i = pos_ + ahead;
    return i < t_.size() ? t_[i] : t_.back();
}

Token Parser::take() {
    Token t = peek();
    if (pos_ < t_.size() - 1) ++pos_;
    return t;
}

bool Parser::is_symbol(const char *s, size_t ahead) const {
    return peek(ahead).kind == Tok::Symbol && peek(ahead).text == s;
}

bool Parser::is_word(const char *w, size_t ahead) const {
    const Token &t = peek(ahead);
    return t.kind == Tok::Identifier && t.suffix == 0 && upper(t.text) == w;
}

bool Parser::accept_symbol(const char *s) {
    if (!is_symbol(s)) return false;
    take();
    return true;
}

bool Parser::accept_word(const char *w) {
    if (!is_word(w)) return false;
    take();
    return true;
}

void Parser::expect_symbol(const char *s) {
    if (!accept_symbol(s)) fail(std::string("'") + s + "' expected");
}

void Parser::expect_word(const char *w) {
    if (!accept_word(w)) fail(std::string(w) + " expected");
}

Pos Parser::here() const {
    return Pos{peek().line, peek().column};
}

void Parser::fail(const std::string &message) const {
    throw SourceError{peek().line, peek().column, message};
}

void Parser::fail_at(Pos pos, const std::string &message) const {
    throw SourceError{pos.line, pos.column, message};
}

bool Parser::at_line_end() const {
    return peek().kind == Tok::Newline || peek().kind == Tok::End;
}

bool Parser::at_statement_end() const {
    return at_line_end() || is_symbol(":") || is_word("ELSE");
}

void Parser::end_of_statement() {
    if (!at_statement_end()) fail("end of statement expected");
}

std::string Parser::name_token(const char *what) {
    if (peek().kind != Tok::Identifier) fail(std::string(what) + " expected");
    return take().text;
}

Module parse_module(const std::string &text, const std::string &file, int first_line) {
    Parser p(tokenize(text, first_line));
    Module m = p.module();
    m.file = file;
    return m;
}

} // namespace brtl::basic
