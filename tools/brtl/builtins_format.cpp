// Format.
#include "builtins.h"

namespace brtl_host {
namespace {

void format(Call &c) {
    Value v = c.arg(0);
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    c.ret(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, v.get(), c.str_or_empty(1)));
}

} // namespace

const BuiltinTable &format_builtins() {
    static const BuiltinTable rows = {
        {"Format", "ZbiBuiltIn_Format_", 1, 2, format},
        {"Format$", "ZbiBuiltIn_Format_", 1, 2, format},
    };
    return rows;
}

} // namespace brtl_host
