// The file functions.
#include "builtins.h"

namespace brtl_host {
namespace {

void free_file(Call &c) {
    c.ret_i2(ZbiBuiltIn_FreeFile());
}
void file_attr(Call &c) {
    c.ret_i4(ZbiBuiltIn_FileAttr(c.i16(0), c.i16(1)));
}
void eof(Call &c) {
    c.ret_bool(ZbiBuiltIn_EOF(c.i16(0)));
}
template <BiString (*F)(int32_t, int16_t)> void input(Call &c) {
    c.ret(F(c.i32(0), c.i16(1)));
}

} // namespace

const BuiltinTable &file_builtins() {
    static const BuiltinTable rows = {
        {"FreeFile", "ZbiBuiltIn_FreeFile", 0, 1, free_file},
        {"FileAttr", "ZbiBuiltIn_FileAttr", 2, 2, file_attr},
        {"EOF", "ZbiBuiltIn_EOF", 1, 1, eof},
        // Input counts characters of the code page, InputB bytes.
        {"Input", "ZbiBuiltIn_InputC_", 2, 2, input<ZbiBuiltIn_InputC_>},
        {"Input$", "ZbiBuiltIn_InputC_", 2, 2, input<ZbiBuiltIn_InputC_>},
        {"InputB", "ZbiBuiltIn_Input_", 2, 2, input<ZbiBuiltIn_Input_>},
        {"InputB$", "ZbiBuiltIn_Input_", 2, 2, input<ZbiBuiltIn_Input_>},
    };
    return rows;
}

} // namespace brtl_host
