// The structure of a module: types, procedures and the module-level statements between them.
#include "parser_impl.h"

namespace brtl::basic {

Module Parser::module() {
    Module m;
    while (true) {
        while (peek().kind == Tok::Newline || is_symbol(":"))
            take();
        if (peek().kind == Tok::End) return m;
        Pos pos = here();
        size_t start = pos_;
        bool is_static = false, is_private = false;
        while (is_word("PRIVATE") || is_word("PUBLIC") || is_word("STATIC")) {
            if (is_word("PRIVATE")) is_private = true;
            if (is_word("STATIC")) is_static = true;
            take();
        }
        if (is_word("SUB") || is_word("FUNCTION")) {
            procedure(m, pos, is_static, is_private);
            continue;
        }
        pos_ = start;
        if (is_word("TYPE") && peek(1).kind == Tok::Identifier) {
            take();
            type_declaration(m, pos);
            continue;
        }
        if (is_word("DECLARE")) fail("Declare (a procedure of a library) is not supported");
        if (is_word("END") && (is_word("SUB", 1) || is_word("FUNCTION", 1)))
            fail("End " + peek(1).text + " without " + peek(1).text);
        if (is_word("END") && is_word("TYPE", 1)) fail("End Type without Type");
        StmtPtr s = labelled_or_statement(false);
        bool label = s->kind == Stmt::Kind::Label;
        m.code.push_back(std::move(s));
        if (!label && !at_line_end() && !is_symbol(":")) fail("end of statement expected");
        if (pending_next_ > 0) fail("Next without For");
    }
}

ParamDecl Parser::parameter() {
    ParamDecl p;
    p.optional = accept_word("OPTIONAL");
    if (accept_word("BYVAL"))
        p.by_val = true;
    else
        accept_word("BYREF");
    p.pos = here();
    if (peek().kind != Tok::Identifier) fail("parameter name expected");
    Token t = take();
    p.name = t.text;
    if (accept_symbol("(")) {
        expect_symbol(")");
        p.array = true;
    }
    p.type = as_type(t.suffix);
    if (accept_symbol("=")) {
        if (!p.optional) fail("only an Optional parameter has a default value");
        p.default_value = expression();
    }
    return p;
}

void Parser::procedure(Module &m, Pos pos, bool is_static, bool is_private) {
    ProcDecl d;
    d.pos = pos;
    d.is_function = upper(take().text) == "FUNCTION";
    d.is_static = is_static;
    d.is_private = is_private;
    if (peek().kind != Tok::Identifier) fail("procedure name expected");
    Token name = take();
    d.name = name.text;
    d.name_pos = Pos{name.line, name.column};
    d.suffix = name.suffix;
    if (!d.is_function && d.suffix != 0) fail("a Sub has no type");
    if (accept_symbol("(")) {
        if (!is_symbol(")")) {
            do {
                d.params.push_back(parameter());
            } while (accept_symbol(","));
        }
        expect_symbol(")");
    }
    if (d.is_function) d.result = as_type(d.suffix);
    if (accept_word("STATIC")) d.is_static = true;
    if (!at_line_end()) fail("end of statement expected");
    const char *closer = d.is_function ? "END FUNCTION" : "END SUB";
    d.body = block({closer, "END SUB", "END FUNCTION"}, true);
    const char *kind = d.is_function ? "FUNCTION" : "SUB";
    if (!(is_word("END") && is_word(kind, 1)))
        fail_at(pos, std::string(d.is_function ? "Function" : "Sub") + " without End " +
                         (d.is_function ? "Function" : "Sub"));
    take();
    take();
    m.procedures.push_back(std::move(d));
}

void Parser::type_declaration(Module &m, Pos pos) {
    TypeDecl t;
    t.pos = pos;
    t.name = name_token("type name");
    while (true) {
        while (peek().kind == Tok::Newline || is_symbol(":"))
            take();
        if (peek().kind == Tok::End) fail_at(pos, "Type without End Type");
        if (is_word("END") && is_word("TYPE", 1)) {
            take();
            take();
            break;
        }
        Declarator field = declarator(true);
        if (field.type.name.empty() && field.type.suffix == 0)
            fail_at(field.pos, "a field needs a type (As ...)");
        t.fields.push_back(std::move(field));
        if (!at_line_end() && !is_symbol(":")) fail("end of statement expected");
    }
    if (t.fields.empty()) fail_at(pos, "a Type needs at least one field");
    m.types.push_back(std::move(t));
}

} // namespace brtl::basic
