// Process and desktop functions (Environ, Command, Shell, ...): one row each.
#include "builtins.h"

namespace brtl_host {
namespace {

// The window style of a Shell without one: minimized with the focus.
constexpr int32_t kMinimizedFocus = 2;

// Environ[$](name or position): the library reads a String as a name, a number as a position.
void environ_(Call &c) {
    c.ret(ZbiBuiltIn_EnvironVar(c.take(0)));
}

// Shell(command[, style]): the Double of the started program's task id (process id + 32).
void shell(Call &c) {
    int32_t style = c.i32_or(1, kMinimizedFocus);
    c.ret(static_cast<double>(ZbiBuiltIn_Shell(c.str(0), style)));
}

} // namespace

const BuiltinTable &desktop_builtins() {
    static const BuiltinTable rows = {
        {"Environ", "ZbiBuiltIn_EnvironVar", 1, 1, environ_},
        {"Environ$", "ZbiBuiltIn_EnvironVar", 1, 1, environ_},
        {"Command", "ZbiBuiltIn_Command_", 0, 0, call_s<ZbiBuiltIn_Command_>},
        {"Command$", "ZbiBuiltIn_Command_", 0, 0, call_s<ZbiBuiltIn_Command_>},
        {"Shell", "ZbiBuiltIn_Shell", 1, 2, shell},
    };
    return rows;
}

} // namespace brtl_host
