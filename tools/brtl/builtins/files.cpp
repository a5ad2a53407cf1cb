// The file functions: numbers and sequential input, random access, the file system.
#include "lang/builtins.h"

namespace brtl::basic {

const BuiltinTable &file_builtins() {
    static const BuiltinTable rows = {
        {"FreeFile", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_FreeFile)},
        {"FileAttr", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_FileAttr)},
        {"EOF", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_EOF)},
        // Input counts characters of the code page, InputB bytes.
        {"Input", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_InputC_)},
        {"Input$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_InputC_)},
        {"InputB", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Input_)},
        {"InputB$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Input_)},
        {"Loc", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Loc)},
        {"LOF", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_LOF)},
        // Seek(n): the position of the next record or byte.
        {"Seek", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Seek), "0,k:0"},
        {"FileLen", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_FileLen)},
        {"FileDateTime", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_FileDateTime)},
        {"GetAttr", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_GetAttr)},
        {"IsDir", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_IsDir)},
        // CurDir[$]([drive]): an omitted drive is the current one.
        {"CurDir", 0, 1, &BRTL_CALLABLE(ZbiBuiltIn_CurDir_), "0=''"},
        {"CurDir$", 0, 1, &BRTL_CALLABLE(ZbiBuiltIn_CurDir_), "0=''"},
        // Dir[$]([pattern[, attributes]]): without a pattern, the next name of the last listing.
        {"Dir", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Dir_), "k:'',k:0,k:1"},
        {"Dir", 1, 2, &BRTL_CALLABLE(ZbiBuiltIn_Dir_), "0,1=0,k:0"},
        {"Dir$", 0, 0, &BRTL_CALLABLE(ZbiBuiltIn_Dir_), "k:'',k:0,k:1"},
        {"Dir$", 1, 2, &BRTL_CALLABLE(ZbiBuiltIn_Dir_), "0,1=0,k:0"},
    };
    return rows;
}

} // namespace brtl::basic
