#include "harness/number_rule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace brtl_test {

namespace {

void strip_zeros(RuleDigits &d) {
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
}

// Appends text to a bounded buffer.
struct Text {
    char (&out)[64];
    size_t n = 0;
    void put(char c) {
        if (n + 1 < sizeof out) out[n++] = c;
        out[n] = '\0';
    }
    void put(const char *s, size_t count) {
        for (size_t i = 0; i < count; ++i)
            put(s[i]);
    }
};

} // namespace

void PrintTo(const RuleDigits &d, std::ostream *os) {
    os->write(d.digits, d.count);
    *os << "e" << d.exponent;
}

RuleDigits c_library_digits(double magnitude) {
    RuleDigits d;
    if (magnitude == 0) return d;
    char text[40];
    std::snprintf(text, sizeof text, "%.16e", magnitude);
    d.digits[0] = text[0];
    std::memcpy(d.digits + 1, text + 2, 16);
    d.count = 17;
    d.exponent = std::atoi(text + 19);
    strip_zeros(d);
    return d;
}

RuleDigits round_away(RuleDigits d, long keep) {
    if ((d.count == 1 && d.digits[0] == '0') || keep >= d.count) return d;
    const bool up = keep >= 0 && d.digits[keep] >= '5';
    if (keep <= 0) {
        RuleDigits rounded;
        if (up) {
            rounded.digits[0] = '1';
            rounded.exponent = d.exponent + 1 - static_cast<int>(keep);
        }
        return rounded;
    }
    d.count = static_cast<int>(keep);
    if (up) {
        int i = d.count;
        while (i > 0 && d.digits[i - 1] == '9')
            d.digits[--i] = '0';
        if (i == 0) {
            d.digits[0] = '1'; // all nines: one more place, the rest zeros
            ++d.exponent;
        } else {
            ++d.digits[i - 1];
        }
    }
    strip_zeros(d);
    return d;
}

RuleDigits rule_digits(const RuleDigits &d, char conversion, int precision) {
    if (conversion == 'f') return round_away(d, d.exponent + 1L + precision);
    if (conversion == 'e') return round_away(d, precision + 1L);
    return round_away(d, precision == 0 ? 1 : precision);
}

void rule_general_text(double v, int precision, char (&out)[64]) {
    const int significant = precision == 0 ? 1 : precision;
    const RuleDigits d = rule_digits(c_library_digits(std::fabs(v)), 'g', significant);
    Text text{out};
    out[0] = '\0';
    if (std::signbit(v)) text.put('-');
    const int x = d.exponent;
    if (x < -4 || x >= significant) {
        text.put(d.digits[0]);
        if (d.count > 1) {
            text.put('.');
            text.put(d.digits + 1, static_cast<size_t>(d.count - 1));
        }
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%03d", x < 0 ? '-' : '+', std::abs(x));
        text.put(exponent, std::strlen(exponent));
        return;
    }
    if (x < 0) {
        text.put("0.", 2);
        for (int i = 0; i < -x - 1; ++i)
            text.put('0');
        text.put(d.digits, static_cast<size_t>(d.count));
        return;
    }
    for (int i = 0; i <= x; ++i) // the integer digits, zeros past the stored ones
        text.put(i < d.count ? d.digits[i] : '0');
    if (d.count > x + 1) {
        text.put('.');
        text.put(d.digits + x + 1, static_cast<size_t>(d.count - x - 1));
    }
}

} // namespace brtl_test
