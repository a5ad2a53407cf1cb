// The string builtins: case, trimming, substrings, repeated characters, numeric text.
#include "builtins.h"
#include "interp.h"

namespace brtl_host {
namespace {

constexpr int32_t kToTheEnd = 0x7FFFFFFF; // the length of a Mid without one

template <VARIANT *(*F)(VARIANT *, VARIANT, int32_t)> void cut(Call &c) {
    int32_t n = c.i32(1);
    F(c.out(), c.take(0), n);
}
template <BiString (*F)(BiString, int32_t)> void cut_(Call &c) {
    int32_t n = c.i32(1);
    c.ret(F(c.str(0), n));
}
template <VARIANT *(*F)(VARIANT *, VARIANT, int32_t, int32_t)> void mid(Call &c) {
    int32_t start = c.i32(1), length = c.i32_or(2, kToTheEnd);
    F(c.out(), c.take(0), start, length);
}
template <BiString (*F)(BiString, int32_t, int32_t)> void mid_(Call &c) {
    int32_t start = c.i32(1), length = c.i32_or(2, kToTheEnd);
    c.ret(F(c.str(0), start, length));
}

// String$(n, ch) and Space$(n): n copies of a character given by its code or a string.
void string_(Call &c) {
    int32_t n = c.i32(0);
    c.ret(ZbiBuiltIn_Space_(n, c.take(1)));
}
void space_(Call &c) {
    int32_t n = c.i32(0);
    c.ret(ZbiBuiltIn_Space_(n, from_text(" ").release()));
}

void val(Call &c) {
    c.ret(ZbiBuiltIn_Val(c.str(0)));
}

// An omitted compare argument takes the Option Compare setting.
int32_t compare_mode(const Call &c, size_t i) {
    if (c.has(i)) return c.i32(i);
    return text_compare_on() ? BI_COMPARE_TEXT : BI_COMPARE_BINARY;
}

// InStr([start,] text, sought[, compare]): with three or four arguments the first is the start.
template <VARIANT *(*F)(VARIANT *, int32_t, VARIANT, VARIANT, int32_t)> void instr(Call &c) {
    c.reject_arrays();
    size_t text = c.count() >= 3 ? 1 : 0;
    int32_t start = text == 1 ? c.i32_or(0, 1) : 1;
    int32_t mode = compare_mode(c, text + 2);
    VARIANT t = c.take(text);
    F(c.out(), start, t, c.take(text + 1), mode);
}

void str_comp(Call &c) {
    c.reject_arrays();
    int32_t mode = compare_mode(c, 2);
    if (mode < INT16_MIN || mode > INT16_MAX) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    VARIANT a = c.take(0);
    ZbiBuiltIn_StrComp(c.out(), a, c.take(1), static_cast<int16_t>(mode));
}

// The Like operator: text Like pattern.
void like(Call &c) {
    c.reject_arrays();
    VARIANT text = c.take(0);
    ZbiMatchPattern(c.out(), text, c.take(1));
}

} // namespace

const BuiltinTable &string_builtins() {
    static const BuiltinTable rows = {
        {"LCase", "ZbiBuiltIn_LCase", 1, 1, call_inplace<ZbiBuiltIn_LCase>},
        {"UCase", "ZbiBuiltIn_UCase", 1, 1, call_inplace<ZbiBuiltIn_UCase>},
        {"LTrim", "ZbiBuiltIn_LTrim", 1, 1, call_inplace<ZbiBuiltIn_LTrim>},
        {"RTrim", "ZbiBuiltIn_RTrim", 1, 1, call_inplace<ZbiBuiltIn_RTrim>},
        {"Trim", "ZbiBuiltIn_Trim", 1, 1, call_inplace<ZbiBuiltIn_Trim>},
        {"LCase$", "ZbiBuiltIn_LCase_", 1, 1, call_s_s<ZbiBuiltIn_LCase_>},
        {"UCase$", "ZbiBuiltIn_UCase_", 1, 1, call_s_s<ZbiBuiltIn_UCase_>},
        {"LTrim$", "ZbiBuiltIn_LTrim_", 1, 1, call_s_s<ZbiBuiltIn_LTrim_>},
        {"RTrim$", "ZbiBuiltIn_RTrim_", 1, 1, call_s_s<ZbiBuiltIn_RTrim_>},
        {"Trim$", "ZbiBuiltIn_Trim_", 1, 1, call_s_s<ZbiBuiltIn_Trim_>},
        // The Variant forms count characters; the $ forms count characters of the code page
        // and the B$ forms bytes.
        {"Left", "ZbiBuiltIn_Left", 2, 2, cut<ZbiBuiltIn_Left>},
        {"Right", "ZbiBuiltIn_Right", 2, 2, cut<ZbiBuiltIn_Right>},
        {"LeftC", "ZbiBuiltIn_LeftC", 2, 2, cut<ZbiBuiltIn_LeftC>},
        {"RightC", "ZbiBuiltIn_RightC", 2, 2, cut<ZbiBuiltIn_RightC>},
        {"Left$", "ZbiBuiltIn_LeftC_", 2, 2, cut_<ZbiBuiltIn_LeftC_>},
        {"Right$", "ZbiBuiltIn_RightC_", 2, 2, cut_<ZbiBuiltIn_RightC_>},
        {"LeftB$", "ZbiBuiltIn_Left_", 2, 2, cut_<ZbiBuiltIn_Left_>},
        {"RightB$", "ZbiBuiltIn_Right_", 2, 2, cut_<ZbiBuiltIn_Right_>},
        {"Mid", "ZbiBuiltIn_MidFuncC", 2, 3, mid<ZbiBuiltIn_MidFuncC>},
        {"MidB", "ZbiBuiltIn_MidFunc", 2, 3, mid<ZbiBuiltIn_MidFunc>},
        {"Mid$", "ZbiBuiltIn_MidFuncC_", 2, 3, mid_<ZbiBuiltIn_MidFuncC_>},
        {"MidB$", "ZbiBuiltIn_MidFunc_", 2, 3, mid_<ZbiBuiltIn_MidFunc_>},
        {"String", "ZbiBuiltIn_Space_", 2, 2, string_},
        {"String$", "ZbiBuiltIn_Space_", 2, 2, string_},
        {"Space", "ZbiBuiltIn_Space_", 1, 1, space_},
        {"Space$", "ZbiBuiltIn_Space_", 1, 1, space_},
        {"Val", "ZbiBuiltIn_Val", 1, 1, val},
        // InStr folds the ASCII letters in a text comparison, InStrC every letter.
        {"InStr", "ZbiBuiltIn_InStr", 2, 4, instr<ZbiBuiltIn_InStr>},
        {"InStrC", "ZbiBuiltIn_InStrC", 2, 4, instr<ZbiBuiltIn_InStrC>},
        {"StrComp", "ZbiBuiltIn_StrComp", 2, 3, str_comp},
        {"Like", "ZbiMatchPattern", 2, 2, like},
    };
    return rows;
}

} // namespace brtl_host
