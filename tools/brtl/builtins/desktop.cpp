// Process and desktop functions (Environ, Command, Shell): one row each.
#include "lang/builtins.h"
#include "services/language.h"

namespace brtl::basic {

const BuiltinTable &desktop_builtins() {
    static const BuiltinTable rows = {
        // Environ[$](name or position): the library reads a String as a name, a number as a
        // position.
        {"Environ", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_EnvironVar)},
        {"Environ$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_EnvironVar)},
        {"Command", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Command_)},
        {"Command$", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Command_)},
        // Shell(command[, style]): the task id as a Double; without a style, minimized with the
        // focus.
        {"Shell", 1, 2, &BRTL_CALLABLE(brtl::rt::shell), "0,1=2"},
    };
    return rows;
}

} // namespace brtl::basic
