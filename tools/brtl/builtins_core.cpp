// The dialect's functions that translated code computes without a builtin export: built on the
// library's Variant conversions, operator tables and rounding routines.
#include <cstring>

#include "builtins.h"

namespace brtl_host {
namespace {

constexpr int16_t kVarTypeArray = 8192;
constexpr int32_t kLargestCharCode = 65535;

Value unary_row(int32_t row, Value v) {
    if (v.is_array() || v.vt() >= BI_VARIANT_SUBTYPE_COUNT) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    Value result;
    BiVariantUnOpTable[row * BI_VARIANT_SUBTYPE_COUNT + v.vt()](result.get(), v.get());
    return result;
}

void abs_(Call &c) {
    c.result = unary_row(BI_UNOP_ABS, c.arg(0));
}
void sgn(Call &c) {
    c.result = unary_row(BI_UNOP_SGN, c.arg(0));
}

template <void (*F)(VARIANT *, VARIANT *)> void rounding(Call &c) {
    Value v = c.arg(0);
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    F(c.out(), v.get());
}

// CInt and CLng round half to even (the library's CInt step), then change the type.
template <VARTYPE VT> void round_to(Call &c) {
    Value v = c.arg(0);
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    Value rounded;
    ZbiVariantDoCInt(rounded.get(), v.get());
    c.result = change_type(rounded, VT);
}

template <VARTYPE VT> void convert_to(Call &c) {
    c.result = change_type(c.arg(0), VT);
}

// CDate reads a text as a date (or a number's text as a serial), within the years 100-9999.
void cdate(Call &c) {
    Value v = c.arg(0);
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    ZbiVariantCvtToDate(c.out(), v.get(), 1, 1);
}
void cvar(Call &c) {
    c.result = c.arg(0);
}

void len(Call &c) {
    if (c.arg(0).vt() == VT_NULL) {
        c.result = c.arg(0);
        return;
    }
    Value text = change_type(c.arg(0), VT_BSTR);
    c.ret_i4(static_cast<int32_t>(SysStringLen(text.variant().bstrVal)));
}

// Chr: the character of a code of the code page (a double-byte code above 255).
void chr(Call &c) {
    int32_t code = c.i32(0);
    if (code < 0 || code > kLargestCharCode) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    std::string text;
    if (code > 255) text += static_cast<char>(code >> 8);
    text += static_cast<char>(code & 0xFF);
    c.result = from_text(text);
}

// Asc: the code of the first character (a double-byte character gives its two bytes).
void asc(Call &c) {
    std::string text = to_text(c.arg(0));
    if (text.empty()) throw BasicTrap{BI_TRAP_ILLEGAL_CALL};
    int32_t width = ZbiCharLen(text.c_str());
    unsigned char first = static_cast<unsigned char>(text[0]);
    if (width == 2 && text.size() > 1) {
        unsigned char second = static_cast<unsigned char>(text[1]);
        c.ret_i4(static_cast<int32_t>((first << 8) | second));
        return;
    }
    c.ret_i2(first);
}

// Str: the number's text with a leading blank unless it is negative.
void str(Call &c) {
    if (c.arg(0).vt() == VT_NULL) {
        c.result = c.arg(0);
        return;
    }
    std::string text = to_text(change_type(c.arg(0), VT_BSTR));
    if (text.empty() || text[0] != '-') text.insert(text.begin(), ' ');
    c.result = from_text(text);
}

void vartype(Call &c) {
    if (c.arg(0).is_array()) {
        c.ret_i2(kVarTypeArray + VT_VARIANT);
        return;
    }
    c.ret_i2(static_cast<int16_t>(c.arg(0).vt()));
}

// Array(a, b, ...): the host's array of the values, indexed from 0.
void array(Call &c) {
    c.result = Value::array(c.args);
}

} // namespace

const BuiltinTable &core_builtins() {
    static const BuiltinTable rows = {
        {"Abs", "", 1, 1, abs_},
        {"Sgn", "", 1, 1, sgn},
        {"Int", "ZbiVariantDoInt", 1, 1, rounding<ZbiVariantDoInt>},
        {"Fix", "ZbiVariantDoFix", 1, 1, rounding<ZbiVariantDoFix>},
        {"CInt", "ZbiVariantDoCInt", 1, 1, round_to<VT_I2>},
        {"CLng", "", 1, 1, round_to<VT_I4>},
        {"CSng", "", 1, 1, convert_to<VT_R4>},
        {"CDbl", "", 1, 1, convert_to<VT_R8>},
        {"CCur", "", 1, 1, convert_to<VT_CY>},
        {"CStr", "", 1, 1, convert_to<VT_BSTR>},
        {"CDate", "ZbiVariantCvtToDate", 1, 1, cdate},
        {"CBool", "", 1, 1, convert_to<VT_BOOL>},
        {"CVar", "", 1, 1, cvar},
        {"Len", "", 1, 1, len},
        {"Chr", "", 1, 1, chr},
        {"Chr$", "", 1, 1, chr},
        {"Asc", "", 1, 1, asc},
        {"Str", "", 1, 1, str},
        {"Str$", "", 1, 1, str},
        {"VarType", "", 1, 1, vartype},
        {"Array", "", 0, 127, array},
    };
    return rows;
}

} // namespace brtl_host
