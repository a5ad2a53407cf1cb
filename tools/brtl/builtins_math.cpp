// The math builtins and Rnd.
#include "builtins.h"

namespace brtl_host {
namespace {

void rnd(Call &c) {
    c.ret(ZbiBuiltIn_Rnd(c.dbl_or(0, 1.0)));
}

} // namespace

const BuiltinTable &math_builtins() {
    static const BuiltinTable rows = {
        {"Exp", "ZbiBuiltIn_Exp", 1, 1, call_d_d<ZbiBuiltIn_Exp>},
        {"Log", "ZbiBuiltIn_Log", 1, 1, call_d_d<ZbiBuiltIn_Log>},
        {"Sqr", "ZbiBuiltIn_Sqr", 1, 1, call_d_d<ZbiBuiltIn_Sqr>},
        {"Atn", "ZbiBuiltIn_Atn", 1, 1, call_d_d<ZbiBuiltIn_Atn>},
        {"Cos", "ZbiBuiltIn_Cos", 1, 1, call_d_d<ZbiBuiltIn_Cos>},
        {"Sin", "ZbiBuiltIn_Sin", 1, 1, call_d_d<ZbiBuiltIn_Sin>},
        {"Tan", "ZbiBuiltIn_Tan", 1, 1, call_d_d<ZbiBuiltIn_Tan>},
        {"Rnd", "ZbiBuiltIn_Rnd", 0, 1, rnd},
    };
    return rows;
}

} // namespace brtl_host
