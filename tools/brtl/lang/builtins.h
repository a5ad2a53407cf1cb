// The builtin functions of the dialect by their language names: which function each calls and
// how the call's arguments fill that function's parameters. One table per family
// (builtins/*.cpp); adding a builtin is adding a row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "callable.h"

namespace brtl::basic {

// Builtins whose call the checker shapes itself (the row's argument fill does not say it all).
enum class Special : uint8_t {
    None,
    InPlace,   // the Variant argument is copied and changed in place (LCase, Trim, ...)
    Len,       // a String, a Variant, a record (its length) or a typed number (its size)
    Array,     // Array(a, b, ...): a Variant holding an array of the values
    Bound,     // LBound / UBound (param 0 or 1)
    IsMissing, // an Optional parameter the call left out
    VarType,   // a typed argument's type is known before the program runs
    Format,    // the value is passed with its type code
    Err,       // Err (read)
    Erl,       // Erl
    ErrorText, // Error$ without an argument is the text of Err
    Convert,   // CInt, CLng, ... (param: the Kind of the result; 255 Boolean, 254 Date)
    Choose,    // Choose(index, item, ...)
    Switch,    // Switch(condition, value, ...)
    CashFlows, // NPV, IRR, MIRR over an array (param 0, 1, 2)
};

struct BuiltinRow {
    const char *name; // the language name; a "$" at its end is the runtime-string form
    int8_t min_args;
    int8_t max_args;
    const Callable *fn;
    // How the arguments fill fn's parameters (its VarOut result not counted), comma-separated:
    // "2" argument 2; "2=0" argument 2, or 0 when it is left out ('text' a String, 1.5 a Double,
    // c the Option Compare mode); "k:1" the constant 1 whatever the call says. Empty: the
    // arguments in order.
    const char *fill = "";
    // Called instead of fn when every argument fn takes as a Variant is a String: the
    // runtime-string form, with the same argument fill.
    const Callable *string_fn = nullptr;
    Special special = Special::None;
    uint8_t param = 0;
};

using BuiltinTable = std::vector<BuiltinRow>;

const BuiltinTable &string_builtins();
const BuiltinTable &conversion_builtins();
const BuiltinTable &variant_builtins();
const BuiltinTable &file_builtins();
const BuiltinTable &date_builtins();
const BuiltinTable &financial_builtins();
const BuiltinTable &math_builtins();
const BuiltinTable &runtime_builtins();
const BuiltinTable &desktop_builtins();

// The rows of a language name (upper case, "LEFT$" and "LEFT" are two names); empty when it is
// no builtin. A name may have a row per count of arguments.
const std::vector<const BuiltinRow *> &find_builtin(const std::string &upper_name);
// The row of the name for count arguments, or null.
const BuiltinRow *builtin_for(const std::string &upper_name, size_t count);
// Every export a program can reach: the tables', the statements' and the operations', sorted.
std::vector<std::string> reachable_exports();

} // namespace brtl::basic
