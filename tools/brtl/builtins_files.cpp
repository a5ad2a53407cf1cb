// The file functions: numbers and sequential input, random access, the file system.
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
template <int32_t (*F)(int16_t)> void of_number(Call &c) {
    c.ret_i4(F(c.i16(0)));
}

// Seek(n): the position of the next record or byte.
void seek(Call &c) {
    c.ret_i4(ZbiBuiltIn_Seek(c.i16(0), 0));
}

void file_len(Call &c) {
    c.ret_i4(ZbiBuiltIn_FileLen(c.str(0)));
}
void file_date_time(Call &c) {
    ZbiBuiltIn_FileDateTime(c.out(), c.str(0));
}
void get_attr(Call &c) {
    c.ret_i2(ZbiBuiltIn_GetAttr(c.str(0)));
}
void is_dir(Call &c) {
    c.ret_bool(ZbiBuiltIn_IsDir(c.str(0)));
}

// CurDir[$]([drive]): an omitted drive is the current one.
void cur_dir(Call &c) {
    c.ret(ZbiBuiltIn_CurDir_(c.str_or_empty(0)));
}

// Dir[$]([pattern[, attributes]]): without a pattern, the next name of the last listing.
void dir(Call &c) {
    if (!c.has(0)) {
        if (c.has(1)) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
        c.ret(ZbiBuiltIn_Dir_(c.str_or_empty(0), 0, 1));
        return;
    }
    int32_t attributes = c.i32_or(1, 0);
    c.ret(ZbiBuiltIn_Dir_(c.str(0), attributes, 0));
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
        // Random and binary access.
        {"Loc", "ZbiBuiltIn_Loc", 1, 1, of_number<ZbiBuiltIn_Loc>},
        {"LOF", "ZbiBuiltIn_LOF", 1, 1, of_number<ZbiBuiltIn_LOF>},
        {"Seek", "ZbiBuiltIn_Seek", 1, 1, seek},
        // The file system.
        {"FileLen", "ZbiBuiltIn_FileLen", 1, 1, file_len},
        {"FileDateTime", "ZbiBuiltIn_FileDateTime", 1, 1, file_date_time},
        {"GetAttr", "ZbiBuiltIn_GetAttr", 1, 1, get_attr},
        {"IsDir", "ZbiBuiltIn_IsDir", 1, 1, is_dir},
        {"CurDir", "ZbiBuiltIn_CurDir_", 0, 1, cur_dir},
        {"CurDir$", "ZbiBuiltIn_CurDir_", 0, 1, cur_dir},
        {"Dir", "ZbiBuiltIn_Dir_", 0, 2, dir},
        {"Dir$", "ZbiBuiltIn_Dir_", 0, 2, dir},
    };
    return rows;
}

} // namespace brtl_host
