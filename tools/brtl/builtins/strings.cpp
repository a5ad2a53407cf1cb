// The string builtins: case, trimming, substrings, repeated characters, search, numeric text.
// The Variant forms count characters; the $ forms count characters of the code page and the B$
// forms bytes. A Variant form called with String arguments takes the runtime-string form.
#include "lang/builtins.h"
#include "services/language.h"

namespace brtl::basic {

const BuiltinTable &string_builtins() {
    static const BuiltinTable rows = {
        {"LCase", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_LCase), "", &BRTL_CALLABLE(ZbiBuiltIn_LCase_),
         Special::InPlace},
        {"UCase", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_UCase), "", &BRTL_CALLABLE(ZbiBuiltIn_UCase_),
         Special::InPlace},
        {"LTrim", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_LTrim), "", &BRTL_CALLABLE(ZbiBuiltIn_LTrim_),
         Special::InPlace},
        {"RTrim", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_RTrim), "", &BRTL_CALLABLE(ZbiBuiltIn_RTrim_),
         Special::InPlace},
        {"Trim", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Trim), "", &BRTL_CALLABLE(ZbiBuiltIn_Trim_),
         Special::InPlace},
        {"LCase$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_LCase_)},
        {"UCase$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_UCase_)},
        {"LTrim$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_LTrim_)},
        {"RTrim$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_RTrim_)},
        {"Trim$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Trim_)},
        {"Left", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Left), "", &BRTL_CALLABLE(ZbiBuiltIn_LeftC_)},
        {"Right", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Right), "", &BRTL_CALLABLE(ZbiBuiltIn_RightC_)},
        {"LeftC", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_LeftC), "", &BRTL_CALLABLE(ZbiBuiltIn_LeftC_)},
        {"RightC", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_RightC), "", &BRTL_CALLABLE(ZbiBuiltIn_RightC_)},
        {"Left$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_LeftC_)},
        {"Right$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_RightC_)},
        {"LeftB$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Left_)},
        {"RightB$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Right_)},
        {"Mid", 2, 3, &BRTL_CALLABLE(ZbiBuiltIn_MidFuncC), "0,1,2=2147483647",
         &BRTL_CALLABLE(ZbiBuiltIn_MidFuncC_)},
        {"MidB", 2, 3, &BRTL_CALLABLE(ZbiBuiltIn_MidFunc), "0,1,2=2147483647",
         &BRTL_CALLABLE(ZbiBuiltIn_MidFunc_)},
        {"Mid$", 2, 3, &BRTL_CALLABLE(ZbiBuiltIn_MidFuncC_), "0,1,2=2147483647"},
        {"MidB$", 2, 3, &BRTL_CALLABLE(ZbiBuiltIn_MidFunc_), "0,1,2=2147483647"},
        {"String", 2, 2, &BRTL_CALLABLE(brtl::rt::string_variant)},
        {"String$", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_Space_)},
        {"Space", 1, 1, &BRTL_CALLABLE(brtl::rt::string_variant), "0,k:' '"},
        {"Space$", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Space_), "0,k:' '"},
        {"Val", 1, 1, &BRTL_CALLABLE(ZbiBuiltIn_Val)},
        // InStr([start,] text, sought[, compare]): an omitted compare is Option Compare's. InStr
        // folds the ASCII letters in a text comparison, InStrC every letter.
        {"InStr", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_InStr), "k:1,0,1,c"},
        {"InStr", 3, 4, &BRTL_CALLABLE(ZbiBuiltIn_InStr), "0,1,2,3=c"},
        {"InStrC", 2, 2, &BRTL_CALLABLE(ZbiBuiltIn_InStrC), "k:1,0,1,c"},
        {"InStrC", 3, 4, &BRTL_CALLABLE(ZbiBuiltIn_InStrC), "0,1,2,3=c"},
        {"StrComp", 2, 3, &BRTL_CALLABLE(ZbiBuiltIn_StrComp), "0,1,2=c"},
        {"Len", 1, 1, &BRTL_CALLABLE(brtl::rt::len_of_variant), "",
         &BRTL_CALLABLE(brtl::rt::len_of_string), Special::Len},
        {"Chr", 1, 1, &BRTL_CALLABLE(brtl::rt::chr_variant)},
        {"Chr$", 1, 1, &BRTL_CALLABLE(brtl::rt::chr_string)},
        {"Asc", 1, 1, &BRTL_CALLABLE(brtl::rt::asc_of)},
        {"Str", 1, 1, &BRTL_CALLABLE(brtl::rt::str_of_variant)},
        {"Str$", 1, 1, &BRTL_CALLABLE(brtl::rt::str_of_double)},
        {"Hex", 1, 1, &BRTL_CALLABLE(brtl::rt::hex_of_variant)},
        {"Hex$", 1, 1, &BRTL_CALLABLE(brtl::rt::hex_of_variant)},
        {"Oct", 1, 1, &BRTL_CALLABLE(brtl::rt::oct_of_variant)},
        {"Oct$", 1, 1, &BRTL_CALLABLE(brtl::rt::oct_of_variant)},
        {"Format", 1, 2, &BRTL_CALLABLE(ZbiBuiltIn_Format_), "", nullptr, Special::Format},
        {"Format$", 1, 2, &BRTL_CALLABLE(ZbiBuiltIn_Format_), "", nullptr, Special::Format},
    };
    return rows;
}

} // namespace brtl::basic
