// The runtime's builtins: error texts and values, the two dialogs.
#include "builtins.h"

namespace brtl_host {
namespace {

void error_text(Call &c) {
    c.ret(ZbiBuiltIn_Error_(c.i32(0)));
}
void cverr(Call &c) {
    ZbiBuiltIn_CVErr(c.out(), c.i32(0));
}
void msgbox(Call &c) {
    int16_t buttons = c.has(1) ? c.i16(1) : 0;
    OwnedBiString prompt(c.str(0)), title(c.str_or_empty(2));
    c.ret_i2(ZbiBuiltIn_MsgBox(prompt.release(), buttons, title.release()));
}
void inputbox(Call &c) {
    int16_t x = c.has(3) ? c.i16(3) : -1, y = c.has(4) ? c.i16(4) : -1;
    OwnedBiString prompt(c.str(0)), title(c.str_or_empty(1)), fallback(c.str_or_empty(2));
    c.ret(ZbiBuiltIn_InputBox_(prompt.release(), title.release(), fallback.release(), x, y));
}

} // namespace

const BuiltinTable &runtime_builtins() {
    static const BuiltinTable rows = {
        {"Error", "ZbiBuiltIn_Error_", 1, 1, error_text},
        {"Error$", "ZbiBuiltIn_Error_", 1, 1, error_text},
        {"CVErr", "ZbiBuiltIn_CVErr", 1, 1, cverr},
        {"MsgBox", "ZbiBuiltIn_MsgBox", 1, 3, msgbox},
        {"InputBox", "ZbiBuiltIn_InputBox_", 1, 5, inputbox},
        {"InputBox$", "ZbiBuiltIn_InputBox_", 1, 5, inputbox},
    };
    return rows;
}

} // namespace brtl_host
