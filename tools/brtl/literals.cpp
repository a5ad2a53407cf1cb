#include "literals.h"

#include <cctype>

#include "convert.h"
#include "lexer.h"

namespace brtl_host {

VARTYPE type_of_suffix(char suffix) {
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
    case '$':
        return VT_BSTR;
    default:
        return VT_EMPTY;
    }
}

namespace {

// A radix literal is an Integer up to four hexadecimal (six octal) digits and a Long beyond, or
// with the & character; its bits are kept, so &HFFFF is the Integer -1 and &HFFFF& the Long
// 65535. Reading the digits is the host's reading of its source text, not arithmetic of the
// dialect.
Value radix_literal(const std::string &text, char suffix) {
    size_t count = text.size() - 2;
    bool hex = text[1] == 'H';
    uint64_t bits = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        int digit = std::isdigit(static_cast<unsigned char>(text[i]))
                        ? text[i] - '0'
                        : std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 10;
        if (!hex && digit > 7) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
        bits = bits * (hex ? 16 : 8) + static_cast<uint64_t>(digit);
        if (bits > 0xFFFFFFFFu) throw BasicTrap{BI_TRAP_OVERFLOW};
    }
    bool is_long = suffix == '&' || count > (hex ? 4u : 6u) || bits > 0xFFFFu;
    if (is_long) return from_i4(static_cast<int32_t>(static_cast<uint32_t>(bits)));
    Value v = from_i2(static_cast<int16_t>(static_cast<uint16_t>(bits)));
    VARTYPE vt = type_of_suffix(suffix);
    return vt == VT_EMPTY ? v : change_type(v, vt);
}

} // namespace

Value number_literal(const std::string &text, char suffix) {
    if (text.size() > 1 && text[0] == '&') return radix_literal(text, suffix);
    Value v = from_text(text);
    VARTYPE vt = type_of_suffix(suffix);
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
