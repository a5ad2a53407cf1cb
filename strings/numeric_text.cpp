// Val and IsNumeric: two hand-written scanners over the code page form of a text. Neither reads
// the locale: the decimal point is always "." and no thousands separator is accepted.
//
// The grammars differ on purpose. Val skips white space inside the digits, takes "&" without a
// radix letter as octal and stops quietly at the first byte outside its grammar; IsNumeric
// accepts no inner white space, wants "H" or "O" after "&", and wants nothing but white space
// (or a comma and anything after it) to follow the number.
#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "brtl/runtime.h"
#include "brtl/strings.h"
#include "brtl/variant.h"
#include "platform/codepage.h"
#include "platform/fpu.h"
#include "platform/numparse.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "strings/text_util.h"
#include "variant/owned_variant.h"

namespace {

// Exponent digits accumulate up to this bound; any exponent beyond it is out of range for a
// double whatever the mantissa, so pow still reports the range error.
constexpr double kExponentCap = 1e9;

// The largest magnitude a Currency suffix accepts (the bits of 922337203685477.625).
const double kCurrencyLimit = std::bit_cast<double>(UINT64_C(0x430A36E2EB1C432D));

// A cursor over a text of known length; a peek at the end reads as a NUL byte.
class Scanner {
  public:
    Scanner(const char *text, uint32_t n)
        : p_(text), end_(text + n), full_width_(brtl::strings::full_width_space()) {}

    bool at_end() const { return p_ >= end_; }
    unsigned char peek() const { return at_end() ? 0 : static_cast<unsigned char>(*p_); }
    void advance(uint32_t n = 1) { p_ += n; }
    uint32_t left() const { return static_cast<uint32_t>(end_ - p_); }
    const char *position() const { return p_; }

    // The bytes of white space at the cursor, 0 when there is none.
    uint32_t blank() const { return brtl::strings::scan_space_at(p_, left(), full_width_); }
    void skip_blanks() {
        while (uint32_t n = blank())
            advance(n);
    }
    void skip_blanks_and_commas() {
        for (;;) {
            if (uint32_t n = blank())
                advance(n);
            else if (peek() == ',')
                advance();
            else
                return;
        }
    }
    // Consumes the byte c when it is next.
    bool accept(char c) {
        if (peek() != static_cast<unsigned char>(c)) return false;
        advance();
        return true;
    }
    bool accept_either(char a, char b) { return accept(a) || accept(b); }

    // The value of the decimal digit at the cursor, or -1.
    int digit() const {
        unsigned char b = peek();
        return b < 0x80 && brtl::platform::is_digit(b) ? b - '0' : -1;
    }
    // The value of the digit of the radix (8 or 16) at the cursor, or -1.
    int radix_digit(int radix) const {
        unsigned char b = peek();
        if (b >= 0x80) return -1;
        if (radix == 8) return b >= '0' && b <= '7' ? b - '0' : -1;
        if (!brtl::platform::is_xdigit(b)) return -1;
        return brtl::platform::is_digit(b) ? b - '0' : brtl::platform::to_upper(b) - 55;
    }

  private:
    const char *p_;
    const char *end_;
    OLECHAR full_width_;
};

// 10 to the power of the (whole) exponent; false when it is out of the range of normal Doubles,
// where pow reports a range error. The power is read as the text "1e<n>": the reading is
// correctly rounded on every platform, where some C libraries' pow is not.
bool power_of_ten(double exponent, double &out) {
    constexpr double kBeyondAnyDouble = 9999;
    const double clamped = std::clamp(exponent, -kBeyondAnyDouble, kBeyondAnyDouble);
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", static_cast<int>(clamped));
    out = brtl::platform::parse_double(text).value;
    return std::isfinite(out) && out >= DBL_MIN;
}

// Exponent digits with an optional sign before them; Val lets white space in, IsNumeric not.
double scan_exponent(Scanner &sc, bool blanks_inside) {
    if (blanks_inside) sc.skip_blanks();
    bool negative = sc.peek() == '-';
    sc.accept_either('-', '+');
    double exponent = 0;
    for (;;) {
        if (int d = sc.digit(); d >= 0) {
            exponent = std::fmin(exponent * 10 + d, kExponentCap);
            sc.advance();
        } else if (uint32_t n = blanks_inside ? sc.blank() : 0) {
            sc.advance(n);
        } else {
            break;
        }
    }
    return negative ? -exponent : exponent;
}

// ---- Val
// ------------------------------------------------------------------------------------------

struct Scan {
    double value;
    int32_t trap; // 0, or the trap to raise once the argument is released
};

// "&" with "H", "O" or no letter: a 16- or 32-bit pattern read as a signed number.
Scan val_radix(Scanner &sc) {
    sc.advance(); // "&"
    int radix = 8;
    if (sc.accept_either('H', 'h'))
        radix = 16;
    else
        sc.accept_either('O', 'o');
    if (sc.peek() == '-') return {0, BI_TRAP_OVERFLOW};
    sc.accept('+');
    double value = 0;
    for (int d; (d = sc.radix_digit(radix)) >= 0; sc.advance())
        value = value * radix + d;
    if (sc.peek() != '&' && value > 32767 && value < 65536) value -= 65536;
    if (value > 2147483647.0) value -= 4294967296.0;
    if (value > 2147483647.0) return {0, BI_TRAP_OVERFLOW};
    return {value, 0};
}

// Digits with white space skipped among them, each handed to `add`.
template <typename Add> void val_digits(Scanner &sc, Add add) {
    for (;;) {
        if (int d = sc.digit(); d >= 0) {
            add(d);
            sc.advance();
        } else if (uint32_t n = sc.blank()) {
            sc.advance(n);
        } else {
            return;
        }
    }
}

// The type suffix after the number: its range (and for "@" its decimals) must hold the value.
int32_t val_suffix_trap(unsigned char suffix, double value, double divisor) {
    switch (suffix) {
    case '%':
        return value < -32768.0 || value > 32767.0 ? BI_TRAP_TYPE_MISMATCH : 0;
    case '&':
        return value < -2147483648.0 || value > 2147483647.0 ? BI_TRAP_TYPE_MISMATCH : 0;
    case '@':
        if (value < -kCurrencyLimit || value > kCurrencyLimit || divisor > 100000.0)
            return BI_TRAP_TYPE_MISMATCH;
        return 0;
    default:
        return 0;
    }
}

Scan val_scan(Scanner sc) {
    if (sc.at_end()) return {0, 0};
    sc.skip_blanks_and_commas();
    bool has_sign = false, negative = false;
    if (sc.peek() == '-' || sc.peek() == '+') {
        has_sign = true;
        negative = sc.peek() == '-';
        sc.advance();
        sc.skip_blanks();
    }
    if (sc.peek() == '&') {
        if (has_sign) return {0, BI_TRAP_TYPE_MISMATCH};
        return val_radix(sc);
    }
    // The digits accumulate in Double arithmetic, every step rounded to a Double (an x87 unit
    // would otherwise keep 64 bits from one step to the next).
    using brtl::platform::double_arithmetic;
    using Op = brtl::platform::DoubleOp;
    double value = 0;
    val_digits(sc, [&](int d) {
        value = double_arithmetic(Op::Add, double_arithmetic(Op::Mul, value, 10), d);
    });
    double divisor = 10;
    if (sc.accept('.')) {
        val_digits(sc, [&](int d) {
            value = double_arithmetic(Op::Add, value, double_arithmetic(Op::Div, d, divisor));
            divisor = double_arithmetic(Op::Mul, divisor, 10);
        });
        if (sc.peek() == '%' || sc.peek() == '&') return {0, BI_TRAP_TYPE_MISMATCH};
    }
    if (negative) value = -value;
    if (sc.accept_either('E', 'e')) {
        double scale = 1;
        if (!power_of_ten(scan_exponent(sc, true), scale)) return {0, BI_TRAP_OVERFLOW};
        value = double_arithmetic(Op::Mul, value, scale);
    }
    if (int32_t trap = val_suffix_trap(sc.peek(), value, divisor)) return {0, trap};
    return {value, 0};
}

// ---- IsNumeric
// ------------------------------------------------------------------------------------

// "&H" or "&O" and its digits, then white space only; at most 32 bits.
bool numeric_radix(Scanner &sc) {
    sc.advance(); // "&"
    int radix;
    if (sc.accept_either('H', 'h'))
        radix = 16;
    else if (sc.accept_either('O', 'o'))
        radix = 8;
    else
        return false;
    double value = 0;
    for (int d; (d = sc.radix_digit(radix)) >= 0; sc.advance()) {
        if (value > (DBL_MAX - d) / radix) return false;
        value = value * radix + d;
    }
    sc.skip_blanks();
    return sc.at_end() && value <= 4294967295.0;
}

uint32_t count_digits(Scanner &sc) {
    uint32_t count = 0;
    for (; sc.digit() >= 0; sc.advance())
        ++count;
    return count;
}

bool numeric_scan(Scanner sc) {
    if (sc.left() == 1 && sc.peek() == '.') return true;
    sc.skip_blanks_and_commas();
    if (sc.at_end()) return false;
    if (brtl::platform::char_length(sc.position(), sc.left()) > 1) return false;
    bool has_sign = sc.accept_either('-', '+');
    if (sc.peek() == '&') return !has_sign && numeric_radix(sc);
    if (sc.digit() < 0 && sc.peek() != '.') return false;
    uint32_t int_digits = count_digits(sc);
    if (int_digits >= 308) return false;
    uint32_t frac_digits = 0;
    if (sc.accept('.')) {
        frac_digits = count_digits(sc);
        if (int_digits == 0 && frac_digits == 0) return false;
    }
    bool any_digit = int_digits + frac_digits > 0;
    if (has_sign && !any_digit) return false;
    if (sc.accept_either('E', 'e')) {
        if (!any_digit) return false;
        double scale = 1;
        if (!power_of_ten(scan_exponent(sc, false), scale)) return false;
    }
    sc.accept('%');
    sc.skip_blanks();
    return sc.at_end() || sc.peek() == ',';
}

} // namespace

extern "C" {

BRTL_API double ZbiBuiltIn_Val(BiString s) {
    brtl::runtime::OwnedString arg(s);
    Scan scan = val_scan(Scanner(arg.data(), arg.size()));
    arg.reset();
    if (scan.trap != 0) brtl::runtime::raise_trap(scan.trap);
    return scan.value;
}

BRTL_API int16_t ZbiBuiltIn_IsNumeric(VARIANT v) {
    brtl::variant::OwnedVariant owned(&v);
    switch (v.vt) {
    case VT_NULL:
    case VT_ERROR:
        return 0;
    case VT_BSTR:
        break;
    default: // Empty, the numbers and dates, and every other subtype
        return -1;
    }
    uint32_t bytes = 0;
    brtl::runtime::ZrBuffer<char> text(ZbiOleToChar(v.bstrVal, &bytes));
    if (!text) return 0;
    return numeric_scan(Scanner(text.get(), bytes)) ? -1 : 0;
}

} // extern "C"
