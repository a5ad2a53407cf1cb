#include "constant.h"

#include <cctype>

#include "services/convert.h"
#include "services/core.h"
#include "services/strings.h"

namespace brtl::basic {

using rt::Kind;

Constant Constant::integer(int16_t v) {
    Constant c;
    c.kind = Kind::Integer;
    c.i2 = v;
    return c;
}
Constant Constant::long_(int32_t v) {
    Constant c;
    c.kind = Kind::Long;
    c.i4 = v;
    return c;
}
Constant Constant::double_(double v) {
    Constant c;
    c.kind = Kind::Double;
    c.r8 = v;
    return c;
}
Constant Constant::string(std::string v) {
    Constant c;
    c.kind = Kind::String;
    c.text = std::move(v);
    return c;
}
Constant Constant::empty() {
    Constant c;
    VariantInit(&c.variant);
    return c;
}
Constant Constant::null() {
    Constant c = empty();
    c.variant.vt = VT_NULL;
    return c;
}

VARIANT to_variant(const Constant &c) {
    switch (c.kind) {
    case Kind::Integer:
        return rt::to_var(c.i2);
    case Kind::Long:
        return rt::to_var(c.i4);
    case Kind::Single:
        return rt::to_var(c.r4);
    case Kind::Double:
        return rt::to_var(c.r8);
    case Kind::Currency:
        return rt::to_var(c.cy);
    case Kind::String:
        return rt::to_var(rt::make_string(c.text));
    default:
        return c.variant;
    }
}

bool from_variant(const VARIANT &v, Constant &out) {
    out = Constant::empty();
    switch (v.vt) {
    case VT_I2:
    case VT_BOOL:
        out = Constant::integer(v.iVal);
        return true;
    case VT_I4:
        out = Constant::long_(v.lVal);
        return true;
    case VT_R4:
        out.kind = Kind::Single;
        out.r4 = v.fltVal;
        return true;
    case VT_R8:
        out = Constant::double_(v.dblVal);
        return true;
    case VT_CY:
        out.kind = Kind::Currency;
        out.cy = v.cyVal;
        return true;
    case VT_BSTR: {
        VARIANT copy = rt::copy_var(v);
        out = Constant::string(rt::take_text(rt::to_str(copy)));
        return true;
    }
    case VT_EMPTY:
    case VT_NULL:
    case VT_DATE:
    case VT_ERROR:
        out.variant = v;
        return true;
    default:
        return false;
    }
}

namespace {

Constant with_suffix(VARIANT v, char suffix) {
    rt::VariantGuard hold(v);
    Constant out;
    switch (suffix) {
    case '%':
        return Constant::integer(rt::to_i2(hold.release()));
    case '&':
        return Constant::long_(rt::to_i4(hold.release()));
    case '!':
        out.kind = Kind::Single;
        out.r4 = rt::to_r4(hold.release());
        return out;
    case '#':
        return Constant::double_(rt::to_r8(hold.release()));
    case '@':
        out.kind = Kind::Currency;
        out.cy = rt::to_cy(hold.release());
        return out;
    default:
        from_variant(*hold.get(), out);
        return out;
    }
}

// A radix literal is an Integer up to four hexadecimal (six octal) digits and a Long beyond, or
// with the & character; its bits are kept. Reading the digits is the host's reading of its
// source text, not arithmetic of the dialect.
Constant radix_literal(const std::string &text, char suffix) {
    size_t count = text.size() - 2;
    bool hex = text[1] == 'H';
    uint64_t bits = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        int digit = std::isdigit(static_cast<unsigned char>(text[i]))
                        ? text[i] - '0'
                        : std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 10;
        if (!hex && digit > 7) rt::raise_trap(BI_TRAP_TYPE_MISMATCH);
        bits = bits * (hex ? 16 : 8) + static_cast<uint64_t>(digit);
        if (bits > 0xFFFFFFFFu) rt::raise_trap(BI_TRAP_OVERFLOW);
    }
    bool is_long = suffix == '&' || count > (hex ? 4u : 6u) || bits > 0xFFFFu;
    if (is_long) return Constant::long_(static_cast<int32_t>(static_cast<uint32_t>(bits)));
    return with_suffix(rt::to_var(static_cast<int16_t>(static_cast<uint16_t>(bits))), suffix);
}

} // namespace

Constant number_literal(const std::string &text, char suffix) {
    if (text.size() > 1 && text[0] == '&') return radix_literal(text, suffix);
    VARIANT v = rt::to_var(rt::make_string(text));
    if (suffix != 0) return with_suffix(v, suffix);
    rt::VariantGuard hold(v);
    if (text.find_first_of(".E") != std::string::npos) {
        return Constant::double_(rt::to_r8(hold.release()));
    }
    BiVariantCvtStrToNum(hold.get()); // the smallest of Integer, Long and Double that holds it
    Constant out;
    from_variant(*hold.get(), out);
    return out;
}

namespace {
VARIANT parse_date(const std::string &text) {
    VARIANT result;
    VariantInit(&result);
    ZbiParseDateAndTime(&result, rt::make_string(text), 2, 1);
    return result;
}
} // namespace

bool is_date_text(const std::string &text) {
    rt::VariantGuard result(parse_date(text));
    return result.get()->vt == VT_DATE;
}

bool date_literal(const std::string &text, Constant &out) {
    rt::VariantGuard result(parse_date(text));
    if (result.get()->vt != VT_DATE) return false;
    out = Constant::empty();
    out.variant = *result.get();
    return true;
}

} // namespace brtl::basic
