#include "platform/numtext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brtl::pf {

namespace {

constexpr int kSignificant = 17;

// A decimal number 0.d1d2d3... x 10^(exponent + 1): digits[0] is the leading digit, whose
// place value is 10^exponent. Digits beyond the stored ones are zeros.
struct Decimal {
    char digits[kSignificant + 1];
    int count;
    int exponent;
};

Decimal to_decimal(double magnitude) {
    Decimal d{};
    if (magnitude == 0.0) {
        d.digits[0] = '0';
        d.count = 1;
        d.exponent = 0;
        return d;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", kSignificant - 1, magnitude);
    int n = 0;
    for (const char *p = text; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits[n++] = *p;
    d.count = n;
    d.exponent = std::atoi(std::strchr(text, 'e') + 1);
    return d;
}

// Keeps the first keep significant digits, rounding a tie away from zero. keep may be 0 (the
// leading digit then decides whether the result is one unit of the next place) or negative.
void round_to(Decimal &d, int keep) {
    if (keep >= d.count) return;
    bool up = keep >= 0 && d.digits[keep] >= '5';
    if (keep <= 0) {
        d.digits[0] = up ? '1' : '0';
        d.count = 1;
        if (up)
            d.exponent += 1 - keep;
        else
            d.exponent = 0;
        return;
    }
    d.count = keep;
    if (!up) return;
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9')
        d.digits[i--] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else {
        std::memmove(d.digits + 1, d.digits, static_cast<size_t>(keep - 1));
        d.digits[0] = '1';
        ++d.exponent;
    }
}

char digit_at(const Decimal &d, int index) {
    return index >= 0 && index < d.count ? d.digits[index] : '0';
}

bool is_zero(const Decimal &d) {
    return d.count == 1 && d.digits[0] == '0';
}

// Accumulates output into a bounded buffer while counting the whole length.
struct Out {
    char *buf;
    size_t cap;
    size_t len = 0;
    void put(char c) {
        if (len + 1 < cap) buf[len] = c;
        ++len;
    }
    void put(const char *s) {
        while (*s)
            put(*s++);
    }
    size_t finish() {
        if (cap > 0) buf[len < cap ? len : cap - 1] = '\0';
        return len;
    }
};

void put_fixed(Out &out, const Decimal &d, int precision, bool alternate) {
    if (d.exponent < 0 || is_zero(d)) {
        out.put('0');
    } else {
        for (int i = 0; i <= d.exponent; ++i)
            out.put(digit_at(d, i));
    }
    if (precision > 0 || alternate) out.put('.');
    int zero_place = is_zero(d) ? 0 : d.exponent;
    for (int i = 1; i <= precision; ++i)
        out.put(is_zero(d) ? '0' : digit_at(d, zero_place + i));
}

void put_exponent_form(Out &out, const Decimal &d, int precision, bool alternate, char letter) {
    out.put(d.digits[0]);
    if (precision > 0 || alternate) out.put('.');
    for (int i = 1; i <= precision; ++i)
        out.put(digit_at(d, i));
    int e = is_zero(d) ? 0 : d.exponent;
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "%c%c%03d", letter, e < 0 ? '-' : '+', std::abs(e));
    out.put(exponent);
}

// The index of the last nonzero stored digit (0 when all are zero).
int last_nonzero(const Decimal &d) {
    int i = d.count - 1;
    while (i > 0 && d.digits[i] == '0')
        --i;
    return i;
}

} // namespace

size_t print_double(char *buf, size_t cap, double v, char conversion, int precision,
                    bool alternate) {
    Out out{buf, cap};
    if (std::signbit(v)) out.put('-');
    double magnitude = std::fabs(v);
    if (std::isnan(v)) {
        out.put(std::signbit(v) ? "1.#IND" : "1.#QNAN");
        return out.finish();
    }
    if (std::isinf(v)) {
        out.put("1.#INF");
        return out.finish();
    }
    if (precision < 0) precision = 6;
    Decimal d = to_decimal(magnitude);
    switch (conversion) {
    case 'f':
        round_to(d, d.exponent + 1 + precision);
        put_fixed(out, d, precision, alternate);
        break;
    case 'e':
    case 'E':
        round_to(d, precision + 1);
        put_exponent_form(out, d, precision, alternate, conversion);
        break;
    default: { // 'g', 'G'
        int significant = precision == 0 ? 1 : precision;
        round_to(d, significant);
        int x = is_zero(d) ? 0 : d.exponent;
        // Without '#', trailing zeros of the fraction (and a bare point) are not printed.
        int kept = alternate ? significant - 1 : last_nonzero(d);
        if (x < -4 || x >= significant) {
            int digits = kept < significant - 1 ? kept : significant - 1;
            put_exponent_form(out, d, digits, alternate, conversion == 'G' ? 'E' : 'e');
        } else {
            int fraction = significant - 1 - x;
            int needed = kept - x > 0 ? kept - x : 0;
            put_fixed(out, d, alternate || needed > fraction ? fraction : needed, alternate);
        }
        break;
    }
    }
    return out.finish();
}

} // namespace brtl::pf
