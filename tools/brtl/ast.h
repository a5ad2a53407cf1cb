// The parsed form of a line: expressions and statements.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "value.h"

namespace brtl_host {

struct StatementRow;

// Operators of the dialect, each evaluated through the library.
enum class Op {
    Pow,
    Neg,
    Mul,
    Div,
    IntDiv,
    Mod,
    Add,
    Sub,
    Cat,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Like,
    Not,
    And,
    Or,
    Xor,
    Eqv,
    Imp
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    enum class Kind { Literal, Name, Unary, Binary };
    Kind kind = Kind::Literal;
    int column = 1;
    Value literal;             // Literal
    std::string name;          // Name: upper case, without its type character
    std::string spelled;       // Name: as written, for messages
    char suffix = 0;           // Name: type character (0 for none)
    bool parens = false;       // Name: an argument list in parentheses followed
    std::vector<ExprPtr> args; // Name: the arguments; a null entry is an omitted one
    Op op = Op::Add;           // Unary, Binary
    ExprPtr left, right;       // Unary uses left
};

// One argument of a library statement: the expression (null when omitted), whether a # came
// before it, and the word or mark that came before it ("," "As" "To" or "" for the first).
struct StmtArg {
    ExprPtr expr;
    bool hash = false;
    std::string before;
};

// One item of a Print list: an expression or Spc(n) / Tab(n), then the separator after it
// (';', ',' or 0 at the end of the list).
struct PrintItem {
    enum class Kind { Value, Spc, Tab, Comma } kind = Kind::Value;
    ExprPtr expr;
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct Stmt {
    enum class Kind { Print, Assign, If, For, Library, CallBuiltin };
    Kind kind = Kind::Print;
    int column = 1;
    // Print (console, or a file when row is set): the items and whether the line ends open.
    std::vector<PrintItem> items;
    bool open_end = false;
    // Assign: the target (a Name) and the value; For: the counter and its bounds.
    ExprPtr target, value, to, step;
    // If: the condition is value.
    Block then_block, else_block;
    // Library statements and builtins called as statements.
    const StatementRow *row = nullptr;
    std::string callee; // CallBuiltin: the builtin's name
    std::vector<StmtArg> args;
    std::vector<std::string> words; // Open: mode, access, lock words
};

} // namespace brtl_host
