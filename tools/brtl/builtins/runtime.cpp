// The runtime's builtins: Err and Erl, error texts and values, the two dialogs.
#include "lang/builtins.h"

namespace brtl::basic {

const BuiltinTable &runtime_builtins() {
    static const BuiltinTable rows = {
        {"Err", 0, 0, nullptr, "", nullptr, Special::Err},
        {"Erl", 0, 0, nullptr, "", nullptr, Special::Erl},
        {"Error", 0, 1, &BRTL_CALLABLE(ZbiBuiltIn_Error_), "", nullptr, Special::ErrorText},
        {"Error$", 0, 1, &BRTL_CALLABLE(ZbiBuiltIn_Error_), "", nullptr, Special::ErrorText},
        {"CVErr", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_CVErr)},
        {"MsgBox", 1, 3, &BRTL_CALLABLE(ZbiBuiltIn_MsgBox), "0,1=0,2=''"},
        {"InputBox", 1, 5, &BRTL_CALLABLE(ZbiBuiltIn_InputBox_), "0,1='',2='',3=-1,4=-1"},
        {"InputBox$", 1, 5, &BRTL_CALLABLE(ZbiBuiltIn_InputBox_), "0,1='',2='',3=-1,4=-1"},
    };
    return rows;
}

} // namespace brtl::basic
