// Process and desktop functions (Environ, Command, Shell, ...): one row each.
#include "builtins.h"

namespace brtl_host {

const BuiltinTable &desktop_builtins() {
    static const BuiltinTable rows = {};
    return rows;
}

} // namespace brtl_host
