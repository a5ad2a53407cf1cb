#include "literals.h"

#include "convert.h"
#include "lexer.h"

namespace brtl_host {
namespace {

VARTYPE suffix_type(char suffix) {
    switch (suffix) {
    case '%':
        return VT_I2;
    case '&':
        return VT_I4;
    case '!':
        return VT_R4;
    case '#':
        return VT_R8;
    case '@':
        return VT_CY;
    default:
        return VT_EMPTY;
    }
}

// A radix literal is an Integer up to four hexadecimal (six octal) digits and a Long beyond;
// its bits are kept, so &HFFFF is the Integer -1. Val reads the digits as the dialect does.
Value radix_literal(const std::string &text, char suffix) {
    Value digits = from_text(text);
    double d = ZbiBuiltIn_Val(to_bistring(digits));
    size_t count = text.size() - 2;
    bool hex = text[1] == 'H';
    bool is_long = suffix == '&' || count > (hex ? 4u : 6u);
    if (is_long) return change_type(from_double(d), VT_I4);
    // The Integer of the 16 bits: values above 32767 stand for the negative ones.
    Value v = change_type(from_double(d), VT_I4);
    int32_t bits = v.variant().lVal;
    return from_i2(static_cast<int16_t>(static_cast<uint16_t>(bits & 0xFFFF)));
}

} // namespace

Value number_literal(const std::string &text, char suffix) {
    if (text.size() > 1 && text[0] == '&') return radix_literal(text, suffix);
    Value v = from_text(text);
    VARTYPE vt = suffix_type(suffix);
    if (vt != VT_EMPTY) return change_type(v, vt);
    if (text.find_first_of(".E") != std::string::npos) return change_type(v, VT_R8);
    BiVariantCvtStrToNum(v.get()); // the smallest of Integer, Long and Double that holds it
    return v;
}

bool is_date_text(const std::string &text) {
    Value result;
    ZbiParseDateAndTime(result.get(), to_bistring(from_text(text)), 2, 1);
    return result.vt() == VT_DATE;
}

Value date_literal(const std::string &text, int column) {
    Value result;
    ZbiParseDateAndTime(result.get(), to_bistring(from_text(text)), 2, 1);
    if (result.vt() != VT_DATE) throw SyntaxError{column, "#" + text + "# is no date"};
    return result;
}

} // namespace brtl_host
