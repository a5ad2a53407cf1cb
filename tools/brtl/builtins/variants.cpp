// The Variant predicates and selection builtins.
#include "lang/builtins.h"
#include "services/language.h"

namespace brtl::basic {

const BuiltinTable &variant_builtins() {
    static const BuiltinTable rows = {
        {"IsEmpty", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_IsEmpty)},
        {"IsNull", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_IsNull)},
        {"IsError", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_IsError)},
        {"IsDate", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_IsDate)},
        {"IsNumeric", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_IsNumeric)},
        {"IIf", 3, 3, &BRTL_CALLABLE(ZbiBuiltIn_IIf)},
        {"Choose", 1, 127, &BRTL_CALLABLE(brtl::rt::choose), "", nullptr, Special::Choose},
        {"Switch", 2, 126, &BRTL_CALLABLE(brtl::rt::switch_of), "", nullptr, Special::Switch},
        {"Partition", 4, 4, &BRTL_CALLABLE(ZbiBuiltIn_Partition)},
    };
    return rows;
}

} // namespace brtl::basic
