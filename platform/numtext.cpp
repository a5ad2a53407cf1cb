#include "platform/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brtl::platform {

namespace {

constexpr int kSignificant = 17;

using Decimal = DecimalDigits;

// The first 17 significant digits of the exact value and the exponent of the first. to_chars in
// scientific form with 16 fraction digits rounds the exact binary value as the C library's
// "%.16e" does (to nearest, ties to even on the exact value), without its locale and format work.
Decimal to_decimal(double magnitude) {
    Decimal d;
    if (magnitude == 0.0) return d;
    char text[40];
    std::to_chars_result r = std::to_chars(text, text + sizeof text, magnitude,
                                           std::chars_format::scientific, kSignificant - 1);
    const char *end = r.ptr;
    int n = 0;
    const char *p = text;
    for (; p < end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits[n++] = *p;
    d.count = n;
    int sign = 1, exponent = 0;
    for (++p; p < end; ++p) {
        if (*p == '-')
            sign = -1;
        else if (*p >= '0' && *p <= '9')
            exponent = exponent * 10 + (*p - '0');
    }
    d.exponent = sign * exponent;
    return d;
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
    if (d.exponent < 0 || d.is_zero()) {
        out.put('0');
    } else {
        for (int i = 0; i <= d.exponent; ++i)
            out.put(d.digit_at(i));
    }
    if (precision > 0 || alternate) out.put('.');
    int zero_place = d.is_zero() ? 0 : d.exponent;
    for (int i = 1; i <= precision; ++i)
        out.put(d.is_zero() ? '0' : d.digit_at(zero_place + i));
}

void put_exponent_form(Out &out, const Decimal &d, int precision, bool alternate, char letter) {
    out.put(d.digits[0]);
    if (precision > 0 || alternate) out.put('.');
    for (int i = 1; i <= precision; ++i)
        out.put(d.digit_at(i));
    int e = d.is_zero() ? 0 : d.exponent;
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

void DecimalDigits::round_significant(long keep) {
    if (keep >= count) return;
    bool up = keep >= 0 && digits[keep] >= '5';
    if (keep <= 0) {
        digits[0] = up ? '1' : '0';
        count = 1;
        exponent = up ? exponent + 1 - static_cast<int>(keep) : 0;
        return;
    }
    count = static_cast<int>(keep);
    if (!up) return;
    long i = keep - 1;
    while (i >= 0 && digits[i] == '9')
        digits[i--] = '0';
    if (i >= 0) {
        ++digits[i];
    } else {
        digits[0] = '1'; // all nines: one more place, the rest zeros
        ++exponent;
    }
}

DecimalDigits significant_digits(double magnitude) {
    return to_decimal(magnitude);
}

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
        d.round_significant(d.exponent + 1 + precision);
        put_fixed(out, d, precision, alternate);
        break;
    case 'e':
    case 'E':
        d.round_significant(precision + 1);
        put_exponent_form(out, d, precision, alternate, conversion);
        break;
    default: { // 'g', 'G'
        int significant = precision == 0 ? 1 : precision;
        d.round_significant(significant);
        int x = d.is_zero() ? 0 : d.exponent;
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

} // namespace brtl::platform
