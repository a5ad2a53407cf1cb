// The checker's class: the symbols of the program, and the lowering of one procedure at a time.
// Its members live in check_*.cpp, one family of constructs per file.
#pragma once

#include <map>
#include <optional>
#include <unordered_map>

#include "builtins.h"
#include "check.h"

namespace brtl::basic {

// A declared type: its storage, and whether it is a Boolean (an Integer of -1 or 0) or a Date
// (a Variant that every assignment makes a Date).
struct DeclType {
    TypeRef ref{Kind::Variant, 0, nullptr};
    enum class Tag : uint8_t { None, Boolean, Date } tag = Tag::None;
};

struct ProcInfo;

struct Symbol {
    enum class What { Variable, Constant, Procedure } what = What::Variable;
    std::string name; // as declared
    DeclType type;
    Loc loc;
    bool by_ref = false; // loc holds a pointer to the variable (a ByRef parameter)
    bool is_array = false;
    bool dynamic = false;  // an array without bounds in its declaration
    int32_t dims = 0;      // a fixed array's dimensions (0: any)
    bool optional = false; // an Optional parameter
    Constant value;        // Constant
    ProcInfo *proc = nullptr;
    Pos pos;
};

using Scope = std::unordered_map<std::string, Symbol>;

struct ProcInfo {
    ProcDecl *decl = nullptr;
    uint32_t module = 0;
    uint32_t index = 0; // in Program::procedures
    bool is_function = false;
    std::vector<DeclType> params;
    DeclType result;
};

// What a module declares for itself.
struct ModuleState {
    std::string file;
    bool explicit_ = false;
    bool text_compare = false;
    int32_t base = 0;
    Kind def[26];
    Scope scope; // Dim and Const at module level, Private procedures
    bool has_code = false;
};

// A value during lowering: where it is, its kind, whether it is a temporary that the next
// operation takes, and its value when it is known.
struct Val {
    Kind kind = Kind::Variant; // Integer, Long, Single, Double, Currency, String, Variant, Record
    Loc loc;
    bool temp = false;
    std::optional<Constant> known;
    const rt::RecordLayout *record = nullptr;
};

// A place a value can be stored into (or passed by reference).
struct Place {
    Loc loc;
    DeclType type;
    bool is_array = false;
    bool constant = false;
    std::string name;
};

class Checker {
  public:
    explicit Checker(Program &program);
    // ---- Declarations (check_decl.cpp)
    void declare_modules(std::vector<Module> &modules);
    void lower_modules();
    // The immediate window: one more fragment as module-level code of the one module.
    uint32_t add_fragment(Module &fragment);
    void check_errors();

    // ---- Errors
    [[noreturn]] void fail(Pos pos, const std::string &message);
    std::vector<CheckError> errors;

    // ---- State that the session saves and restores around a fragment
    struct Saved {
        std::vector<ModuleState> modules;
        Scope globals;
        std::unordered_map<std::string, const rt::RecordLayout *> records;
        size_t procs, procedures, global_vars, global_size, constants, texts, layouts, fields,
            field_names, types, callables;
    };
    Saved save() const;
    void restore(const Saved &saved);
    void start_session(const std::string &file);

  private:
    friend class Session;
    // check_decl.cpp
    void declare_module(Module &m, uint32_t index);
    void declare_types(Module &m);
    void declare_procedure(ProcDecl &d, uint32_t module);
    void module_declarations(Block &code, uint32_t module);
    DeclType resolve_type(const TypeClause &clause, const std::string &name, uint32_t module);
    DeclType default_type(const std::string &name, uint32_t module) const;
    DeclType suffix_type(char suffix) const;
    Symbol &declare_variable(Scope &scope, const Declarator &d, bool global_storage,
                             uint32_t module);
    void declare_const(Scope &scope, const Stmt &s, size_t i);
    Loc allocate_global(const TypeRef &type, bool is_array);
    Loc allocate_frame(uint32_t size, uint32_t align);
    Loc add_constant(const Constant &c);
    uint32_t type_index(const TypeRef &t);
    void lower_procedure(ProcInfo &info);
    void lower_module_code(uint32_t module, Block &code, Procedure &proc);
    void begin_procedure(Procedure &proc, uint32_t module);
    void end_procedure();
    const Symbol *lookup(const std::string &upper_name) const;
    Symbol *lookup_variable(const std::string &upper_name);
    Symbol &implicit_variable(const std::string &name, char suffix, Pos pos);
    std::optional<Constant> fold(const Expr &e);

    // check_expr.cpp
  public:
    Val expr(const Expr &e);
    Val coerce(Val v, Kind to);
    // A constant converted to a number kind before the program runs (null when it would trap).
    std::optional<Constant> converted(const Constant &c, Kind to);
    Val to_var(Val v); // a Variant temporary
    Val to_str(Val v); // a String (a variable's stays borrowed)
    Val owned(Val v);  // a String or Variant temporary of v
    Place place(const Expr &e, bool for_write);
    Val read(const Place &p);
    void store(const Place &p, Val v);
    Val call_builtin(const std::vector<Argument> &args, Pos pos,
                     const std::vector<const BuiltinRow *> &rows);
    Val call_procedure(ProcInfo &proc, const std::vector<Argument> &args, Pos pos,
                       bool want_result);
    void jump_if(const Expr &condition, bool when, uint32_t &patch);
    // A jump on a condition's value (a comparison just made is jumped on directly).
    uint32_t branch(const Val &condition, bool when);
    Val constant(const Constant &c);
    Loc temp(TempKind kind);
    Loc temp_of(Kind kind);
    Loc hidden(const TypeRef &type);
    uint32_t emit(Op op, uint8_t k, Loc d, Loc a = {}, Loc b = {}, uint32_t x = 0);
    Instr &last() { return proc_->code.back(); }
    uint32_t list_begin();
    void list_add(const Arg &arg);
    // An operand list of Long values (subscripts, bounds); where it starts.
    uint32_t long_list(const std::vector<Val> &values);
    Procedure &proc() { return *proc_; }
    Program &program() { return program_; }
    ModuleState &module() { return modules_[module_]; }
    Pos pos() const { return pos_; }

  private:
    Val binary(BinOp op, Val a, Val b, Pos pos);
    Val unary(UnOp op, Val a, Pos pos);
    Val variant_binary(BinOp op, Val a, Val b);
    Val compare(BinOp op, Val a, Val b);
    Val arithmetic(BinOp op, Val a, Val b);
    Val name_value(const Expr &e);
    Val element_or_call(const Expr &e);
    Val special_builtin(const BuiltinRow &row, const std::vector<Argument> &args, Pos pos);
    Val apply_builtin(const BuiltinRow &row, const Callable *fn, const std::vector<Argument> &args,
                      Pos pos);
    Place array_element(const Symbol &array, const std::vector<Argument> &args, Pos pos);
    Place symbol_place(const Symbol &s);
    Val pass_argument(const Callable &fn, size_t i, Val v, Arg &arg);
    Val call_with(const Callable &fn, std::vector<Val> values); // values already evaluated
    void discard(const Val &v);                                 // releases a dropped temporary
    void convert_into(Val &v, Kind to);

    // check_stmt.cpp
  public:
    void block(const Block &b);
    void statement(const Stmt &s);

  private:
    void assign(const Stmt &s);
    void call_statement(const Stmt &s);
    void if_statement(const Stmt &s);
    void select_statement(const Stmt &s);
    void for_statement(const Stmt &s);
    void do_statement(const Stmt &s);
    void while_statement(const Stmt &s);
    void exit_statement(const Stmt &s);
    void goto_statement(const Stmt &s, Op op);
    void on_goto(const Stmt &s);
    void on_error(const Stmt &s);
    void resume(const Stmt &s);
    void local_declaration(const Stmt &s);
    void redim(const Stmt &s);
    void erase(const Stmt &s);
    void label(const Stmt &s);
    uint32_t here() const;
    void patch(uint32_t instr, uint32_t target);
    void jump_to_label(const std::string &name, Pos pos, uint32_t instr);
    void begin_unit(Pos pos);
    void end_unit();

    // check_io.cpp
    void print_statement(const Stmt &s);
    void library_statement(const Stmt &s);
    void open_statement(const Stmt &s);
    void file_statement(const Stmt &s);
    void string_statement(const Stmt &s);
    void put_get(const Stmt &s, bool get);
    void call_fn(const Callable &fn, const std::vector<Val> &values, Loc d = {});
    Val file_number(const Argument &a, Pos pos);

    Program &program_;
    std::vector<ModuleState> modules_;
    std::vector<std::unique_ptr<ProcInfo>> procs_;
    std::vector<Module> *sources_ = nullptr;
    Scope globals_;
    std::unordered_map<std::string, const rt::RecordLayout *> records_;

    // The procedure being lowered.
    Procedure *proc_ = nullptr;
    ProcInfo *info_ = nullptr;
    uint32_t module_ = 0;
    Scope locals_;
    Pos pos_;
    int32_t last_line_label_ = 0;
    uint32_t temp_used_[static_cast<size_t>(TempKind::Count)] = {};
    std::vector<Loc> temp_pool_[static_cast<size_t>(TempKind::Count)];
    std::map<std::string, uint32_t> labels_;
    struct LabelUse {
        std::string name;
        Pos pos;
        uint32_t instr;
        bool in_list;
    };
    std::vector<LabelUse> label_uses_;
    struct Loop {
        bool is_for;
        std::vector<uint32_t> exits;
    };
    std::vector<Loop> loops_;
    std::vector<uint32_t> exit_procs_;
    bool in_session_ = false;
};

} // namespace brtl::basic
