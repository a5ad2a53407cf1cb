// The tables that make every builtin and statement of the library reachable by its language
// name. Each family file holds one table; adding a builtin is adding one row to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ast.h"
#include "convert.h"

namespace brtl_host {

class Interp;

// The evaluated arguments of one builtin call and its result.
struct Call {
    Interp &interp;
    std::vector<Value> args;
    std::vector<bool> present;
    Value result;

    size_t count() const { return args.size(); }
    bool has(size_t i) const { return i < args.size() && present[i]; }
    const Value &arg(size_t i) const;
    // The argument as a Variant the callee owns (Empty when omitted).
    VARIANT take(size_t i);
    int32_t i32(size_t i) const { return to_i32(arg(i)); }
    int32_t i32_or(size_t i, int32_t fallback) const { return has(i) ? i32(i) : fallback; }
    int16_t i16(size_t i) const { return to_i16(arg(i)); }
    double dbl(size_t i) const { return to_double(arg(i)); }
    double dbl_or(size_t i, double fallback) const { return has(i) ? dbl(i) : fallback; }
    // A temporary runtime string of the argument (the callee frees it).
    BiString str(size_t i) const { return to_bistring(arg(i)); }
    // An omitted string argument is the empty string.
    BiString str_or_empty(size_t i) const;
    std::vector<double> doubles(size_t i) const { return to_doubles(arg(i)); }
    // Trap 13 when an argument is an array (before a builtin takes any of them).
    void reject_arrays() const;

    void ret(BiString s) { result = from_bistring(s); }
    void ret(double d) { result = from_double(d); }
    void ret_i2(int16_t n) { result = from_i2(n); }
    void ret_i4(int32_t n) { result = from_i4(n); }
    void ret_bool(int32_t b) { result = from_bool(b != 0); }
    // The result Variant for a builtin that writes one (it is Empty).
    VARIANT *out() { return result.get(); }
};

using BuiltinFn = void (*)(Call &);

// A builtin function: its language name (with $ for the runtime-string form), the library
// export it calls ("" for the host's own functions built on the Variant routines), the
// argument counts it takes, and the adapter that makes the call.
struct Builtin {
    const char *name;
    const char *exported;
    int8_t min_args;
    int8_t max_args;
    BuiltinFn call;
};

// How the parser reads a statement's words after its name.
enum class Shape {
    Args,     // a list: [#]expr, separated by "," "As" "To"; an item may be omitted
    Assign,   // [ ( args ) | target ] = expr: Mid(s, 2) = t, LSet s = t, Date = d
    Open,     // Open name For mode [Access a] [lock] As [#]n [Len = n]
    PrintList // #n, then a Print list
};

using StatementFn = void (*)(Interp &, const Stmt &);

// A statement of the library: its name (one or two words), the export it calls, its shape.
struct StatementRow {
    const char *name;
    const char *exported;
    Shape shape;
    StatementFn run;
};

using BuiltinTable = std::vector<Builtin>;
using StatementTable = std::vector<StatementRow>;

// The families, one table each (builtins_*.cpp and statements_*.cpp).
const BuiltinTable &core_builtins();
const BuiltinTable &variant_builtins();
const BuiltinTable &string_builtins();
const BuiltinTable &file_builtins();
const BuiltinTable &format_builtins();
const BuiltinTable &date_builtins();
const BuiltinTable &financial_builtins();
const BuiltinTable &math_builtins();
const BuiltinTable &runtime_builtins();
const BuiltinTable &desktop_builtins();
const StatementTable &file_statements();
const StatementTable &filesystem_statements();
const StatementTable &string_statements();
const StatementTable &date_statements();
const StatementTable &misc_statements();
const StatementTable &desktop_statements();

// The builtin of a language name (case-blind; "LEFT$" and "LEFT" are two names), or null.
const Builtin *find_builtin(const std::string &upper_name);
// The statement of a name ("LINE INPUT" for two words), or null.
const StatementRow *find_statement(const std::string &upper_name);
// Rows looked up before the families' (null removes them): lets a test try a statement form
// that no family has yet.
void set_extra_statements(const StatementTable *rows);
// Every export the tables and the evaluator call, one per line, sorted.
std::vector<std::string> reachable_exports();

// Adapters for the common shapes of builtin, so that most rows need no code of their own.
template <double (*F)(double)> void call_d_d(Call &c) {
    c.ret(F(c.dbl(0)));
}
template <VARIANT *(*F)(VARIANT *, VARIANT)> void call_v_v(Call &c) {
    F(c.out(), c.take(0));
}
template <VARIANT *(*F)(VARIANT *)> void call_v(Call &c) {
    F(c.out());
}
template <BiString (*F)(BiString)> void call_s_s(Call &c) {
    c.ret(F(c.str(0)));
}
template <BiString (*F)(void)> void call_s(Call &c) {
    c.ret(F());
}
// The in-place Variant forms: the argument becomes the result.
template <void (*F)(VARIANT *)> void call_inplace(Call &c) {
    c.result = c.arg(0);
    F(c.out());
}

} // namespace brtl_host
