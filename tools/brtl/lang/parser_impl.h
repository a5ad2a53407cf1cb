// The parser's class, shared by the files that read expressions, statements and the module.
#pragma once

#include <vector>

#include "ast.h"
#include "lexer.h"

namespace brtl::basic {

class Parser {
  public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}
    Module module();

    // ---- Tokens (parser.cpp)
    const Token &peek(size_t ahead = 0) const;
    Token take();
    bool is_symbol(const char *s, size_t ahead = 0) const;
    bool is_word(const char *w, size_t ahead = 0) const;
    bool accept_symbol(const char *s);
    bool accept_word(const char *w);
    void expect_symbol(const char *s);
    void expect_word(const char *w);
    [[noreturn]] void fail(const std::string &message) const;
    [[noreturn]] void fail_at(Pos pos, const std::string &message) const;
    Pos here() const;
    bool at_line_end() const;
    bool at_statement_end() const;
    void end_of_statement();
    std::string name_token(const char *what);

    // ---- Expressions (parse_expr.cpp)
    ExprPtr expression();
    ExprPtr postfix_name();
    void argument_list(std::vector<Argument> &args, const char *close);

    // ---- Statements (parse_stmt.cpp)
    // Statements up to one of the closing words (at the start of a statement), which is not
    // taken; at_end says whether the end of the input closes it too.
    Block block(std::initializer_list<const char *> closers, bool in_proc);
    // The statements of one line (after Then or Else of a single-line If).
    Block line_statements(bool in_if);
    StmtPtr statement(bool in_proc);

  private:
    ExprPtr imp();
    ExprPtr eqv();
    ExprPtr xor_();
    ExprPtr or_();
    ExprPtr and_();
    ExprPtr not_();
    ExprPtr comparison();
    ExprPtr concatenation();
    ExprPtr additive();
    ExprPtr modulus();
    ExprPtr int_division();
    ExprPtr multiplicative();
    ExprPtr negation();
    ExprPtr power();
    ExprPtr primary();
    ExprPtr binary(BinOp op, ExprPtr l, ExprPtr r, Pos pos);
    template <typename Next> ExprPtr word_level(const char *word, BinOp op, Next next);

    StmtPtr labelled_or_statement(bool in_proc);
    StmtPtr simple_statement(bool in_proc);
    StmtPtr if_statement(Pos pos);
    StmtPtr select_statement(Pos pos);
    StmtPtr for_statement(Pos pos);
    StmtPtr do_statement(Pos pos);
    StmtPtr while_statement(Pos pos);
    StmtPtr declaration(Pos pos, const std::string &word);
    StmtPtr redim_statement(Pos pos);
    StmtPtr const_statement(Pos pos);
    StmtPtr on_statement(Pos pos);
    StmtPtr resume_statement(Pos pos);
    StmtPtr option_statement(Pos pos);
    StmtPtr print_statement(Pos pos);
    StmtPtr library_statement(Pos pos);
    StmtPtr call_or_assignment(Pos pos);
    void print_list(Stmt &s);
    void statement_args(Stmt &s);
    void open_form(Stmt &s);
    Declarator declarator(bool field);
    TypeClause as_type(char suffix);

    // ---- Module structure (parse_module.cpp)
    void procedure(Module &m, Pos pos, bool is_static, bool is_private);
    void type_declaration(Module &m, Pos pos);
    ParamDecl parameter();

    std::vector<Token> t_;
    size_t pos_ = 0;
    int pending_next_ = 0; // a "Next i, j" closes more than one For
};

// The statement words that start a library statement (one word, or two: "LINE INPUT").
bool is_library_statement(const std::string &upper_name);

} // namespace brtl::basic
