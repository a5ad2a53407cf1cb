// The math builtins and Rnd.
#include "lang/builtins.h"

namespace brtl::basic {

const BuiltinTable &math_builtins() {
    static const BuiltinTable rows = {
        {"Exp", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Exp)},
        {"Log", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Log)},
        {"Sqr", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Sqr)},
        {"Atn", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Atn)},
        {"Cos", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Cos)},
        {"Sin", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Sin)},
        {"Tan", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Tan)},
        {"Rnd", 0, 1, &BRTL_CALLABLE(ZbiBuiltIn_Rnd), "0=1"},
    };
    return rows;
}

} // namespace brtl::basic
