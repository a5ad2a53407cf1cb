// The financial functions, with the dialect's optional arguments (fv and type 0, guess 0.1).
#include "lang/builtins.h"
#include "services/language.h"

namespace brtl::basic {

const BuiltinTable &financial_builtins() {
    static const BuiltinTable rows = {
        {"FV", 3, 5, &BRTL_CALLABLE(ZbiBuiltIn_FV), "0,1,2,3=0,4=0"},
        {"PV", 3, 5, &BRTL_CALLABLE(ZbiBuiltIn_PV), "0,1,2,3=0,4=0"},
        {"Pmt", 3, 5, &BRTL_CALLABLE(ZbiBuiltIn_Pmt), "0,1,2,3=0,4=0"},
        {"NPer", 3, 5, &BRTL_CALLABLE(ZbiBuiltIn_NPer), "0,1,2,3=0,4=0"},
        {"IPmt", 4, 6, &BRTL_CALLABLE(ZbiBuiltIn_IPmt), "0,1,2,3,4=0,5=0"},
        {"PPmt", 4, 6, &BRTL_CALLABLE(ZbiBuiltIn_PPmt), "0,1,2,3,4=0,5=0"},
        {"Rate", 3, 6, &BRTL_CALLABLE(ZbiBuiltIn_Rate), "0,1,2,3=0,4=0,5=0.1"},
        // The cash flows: an array of numbers or a Variant holding an array.
        {"NPV", 2, 2, &BRTL_CALLABLE(brtl::rt::npv), "", nullptr, Special::CashFlows, 0},
        {"IRR", 1, 2, &BRTL_CALLABLE(brtl::rt::irr), "0,1=0.1", nullptr, Special::CashFlows, 1},
        {"MIRR", 3, 3, &BRTL_CALLABLE(brtl::rt::mirr), "", nullptr, Special::CashFlows, 2},
        {"SLN", 3, 3, &BRTL_CALLABLE(ZbiBuiltIn_SLN)},
        {"SYD", 4, 4, &BRTL_CALLABLE(ZbiBuiltIn_SYD)},
        {"DDB", 4, 4, &BRTL_CALLABLE(ZbiBuiltIn_DDB)},
    };
    return rows;
}

} // namespace brtl::basic
