// The syntax of a module as the parser reads it, before any name is resolved.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "constant.h"

namespace brtl::basic {

struct Pos {
    int line = 0;
    int column = 0;
};

enum class BinOp {
    Pow,
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
    And,
    Or,
    Xor,
    Eqv,
    Imp
};
enum class UnOp { Neg, Not };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

// One argument of a call: its expression (null when omitted) and whether "#" preceded it.
struct Argument {
    ExprPtr expr;
    bool hash = false;
};

struct Expr {
    enum class Kind { Literal, Name, Member, Unary, Binary, Paren };
    Kind kind = Kind::Literal;
    Pos pos;
    Constant value;             // Literal
    std::string name;           // Name: as written, without its type character; Member: field
    char suffix = 0;            // Name: type character (0 for none)
    bool call = false;          // Name: an argument list in parentheses followed
    std::vector<Argument> args; // Name: the arguments
    BinOp bin = BinOp::Add;
    UnOp un = UnOp::Neg;
    ExprPtr left, right; // Unary and Paren use left; Member: the record expression in left
};

// A declared type: As Integer, As String * 10, As MyType, or a type character.
struct TypeClause {
    std::string name; // upper case: INTEGER, LONG, ..., or a user type's name; "" when none
    char suffix = 0;
    ExprPtr fixed_length; // String * n
    Pos pos;
};

struct Bound {
    ExprPtr lower; // null: Option Base
    ExprPtr upper;
};

// One name declared by Dim, ReDim, Static, Global or a Type's field.
struct Declarator {
    std::string name;
    Pos pos;
    TypeClause type;
    bool array = false;        // parentheses followed the name
    std::vector<Bound> bounds; // empty for a dynamic array
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

// One item of a Print list.
struct PrintItem {
    enum class Kind { Value, Spc, Tab, Comma, Semicolon } kind = Kind::Value;
    ExprPtr expr;
};

// One test of a Case: a value, a range (a To b), or a comparison (Is op value).
struct CaseTest {
    enum class Kind { Value, Range, Is } kind = Kind::Value;
    BinOp op = BinOp::Eq;
    ExprPtr a, b;
};

struct CaseClause {
    Pos pos;
    bool is_else = false;
    std::vector<CaseTest> tests;
    Block body;
};

struct IfArm {
    Pos pos;
    ExprPtr condition; // null for Else
    Block body;
};

struct Stmt {
    enum class Kind {
        Label,  // name: a label or a line number
        Dim,    // Dim, Static (local), Global: decls; word says which
        Const,  // names with values
        ReDim,  // decls; preserve
        Erase,  // exprs: the arrays
        Assign, // target = value (Let optional)
        Call,   // name with args; parens says Call or parentheses were used
        Print,  // items; file when hash
        If,     // arms
        Select, // value; clauses
        For,    // target, from, to, step; body
        Do,     // condition (pre or post, while or until); body
        While,  // condition; body
        Exit,   // word: FOR DO SUB FUNCTION
        GoTo,   // name
        GoSub,  // name
        Return,
        OnGoTo,   // value; names; word GOTO or GOSUB
        OnError,  // word: GOTO (name), ZERO, RESUMENEXT
        Resume,   // word: "" NEXT or LABEL (name)
        Error,    // value
        End,      // word: END or STOP
        Option,   // word: EXPLICIT, COMPARE (name TEXT/BINARY), BASE (value)
        Def,      // word: DEFINT ...; ranges in name as "A-C,X"
        Statement // a library statement: word is its name; args, value, words
    };
    Kind kind = Kind::Label;
    Pos pos;
    std::string word;
    std::string name;
    std::vector<std::string> names;
    std::vector<Declarator> decls;
    std::vector<ExprPtr> values; // Const values (with names), Erase arrays
    ExprPtr target, value, from, to, step;
    std::vector<Argument> args;
    bool parens = false;
    bool preserve = false;
    bool hash = false;
    bool pre_test = true; // Do: the condition at the top
    bool until = false;   // Do: Until instead of While
    std::vector<PrintItem> items;
    std::vector<IfArm> arms;
    std::vector<CaseClause> clauses;
    Block body;
    std::vector<TypeClause> const_types; // Const: As type per name (name empty when none)
    std::vector<std::string> words;      // Open: mode, access, lock; library statements' separators
};

struct ParamDecl {
    std::string name;
    Pos pos;
    TypeClause type;
    bool by_val = false;
    bool optional = false;
    bool array = false;
    ExprPtr default_value;
};

struct ProcDecl {
    std::string name;
    char suffix = 0;
    Pos pos;      // the Sub or Function word
    Pos name_pos; // the name
    bool is_function = false;
    bool is_static = false;
    bool is_private = false;
    std::vector<ParamDecl> params;
    TypeClause result;
    Block body;
};

struct TypeDecl {
    std::string name;
    Pos pos;
    std::vector<Declarator> fields;
};

// A module: its types, procedures, and module-level statements (declarations and code) in order.
struct Module {
    std::string file;
    std::vector<TypeDecl> types;
    std::vector<ProcDecl> procedures;
    Block code;
};

} // namespace brtl::basic
