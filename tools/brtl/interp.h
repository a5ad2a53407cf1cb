// The immediate window: runs lines of the dialect, prints to a stream, reports traps.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "ast.h"
#include "builtins.h"
#include "literals.h"

namespace brtl_host {

// Installs the host hooks: English texts and trap hooks that throw BasicTrap.
void install_hooks();
// Option Compare Text (true) or Binary: the answer of the text compare question.
void set_text_compare(bool on);
bool text_compare_on();

class Interp {
  public:
    enum class Status { Ok = 0, Trapped = 1, Syntax = 2 };

    // Output goes to out, trap and syntax messages to err (out is flushed first).
    Interp(std::ostream &out, std::ostream &err);

    // Runs one line; line_number names it in a syntax error message ("" for none).
    Status run_line(const std::string &line, const std::string &where);

    // ---- Used by the builtin and statement tables ------------------------------------------
    Value eval(const Expr &e);
    // The value of an optional expression (Empty when omitted).
    Value eval_or_empty(const Expr *e) { return e ? eval(*e) : Value(); }
    // Stores into a variable (converted to its type character's type).
    void assign(const Expr &target, Value v);
    // The value of a variable (Empty when it was never assigned).
    Value variable(const Expr &target) const;
    // Console output with the print position kept for zones and Tab.
    void write(const std::string &text);
    void newline();
    int column() const { return column_; }
    std::ostream &out() { return out_; }
    // The text that Print shows for a value.
    std::string print_text(Value v);

  private:
    void run_block(const Block &block);
    void run(const Stmt &s);
    void run_print(const Stmt &s);
    void run_for(const Stmt &s);
    void run_call_statement(const Stmt &s);
    Value eval_name(const Expr &e);
    Value eval_unary(const Expr &e);
    Value eval_binary(const Expr &e);
    Value call_builtin(const Builtin &b, const Expr &e);
    void report_trap(int32_t number);

    struct Variable {
        VARTYPE type = VT_EMPTY; // from a type character; Empty for a Variant
        Value value;
    };
    std::map<std::string, Variable> variables_;
    std::ostream &out_;
    std::ostream &err_;
    int column_ = 0;
};

} // namespace brtl_host
