#include "harness/number_rule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace brtl_test {

namespace {

void strip_zeros(RuleDigits &d) {
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
}

} // namespace

void PrintTo(const RuleDigits &d, std::ostream *os) {
    *os << d.digits << "e" << d.exponent;
}

RuleDigits c_library_digits(double magnitude) {
    RuleDigits d;
    if (magnitude == 0) return d;
    char text[40];
    std::snprintf(text, sizeof text, "%.16e", magnitude);
    d.digits = std::string(1, text[0]) + std::string(text + 2, 16);
    d.exponent = std::atoi(text + 19);
    strip_zeros(d);
    return d;
}

RuleDigits round_away(RuleDigits d, long keep) {
    if (d.digits == "0" || keep >= static_cast<long>(d.digits.size())) return d;
    const bool up = keep >= 0 && d.digits[static_cast<size_t>(keep)] >= '5';
    if (keep <= 0)
        return up ? RuleDigits{"1", d.exponent + 1 - static_cast<int>(keep)} : RuleDigits{};
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        size_t i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9')
            d.digits[--i] = '0';
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
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

std::string rule_general_text(double v, int precision) {
    const int significant = precision == 0 ? 1 : precision;
    RuleDigits d = rule_digits(c_library_digits(std::fabs(v)), 'g', significant);
    std::string text = std::signbit(v) ? "-" : "";
    const int x = d.exponent;
    if (x < -4 || x >= significant) {
        text += d.digits.substr(0, 1);
        if (d.digits.size() > 1) text += "." + d.digits.substr(1);
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%03d", x < 0 ? '-' : '+', std::abs(x));
        return text + exponent;
    }
    if (x < 0) return text + "0." + std::string(static_cast<size_t>(-x - 1), '0') + d.digits;
    std::string digits = d.digits + std::string(d.digits.size() <= static_cast<size_t>(x)
                                                    ? static_cast<size_t>(x) + 1 - d.digits.size()
                                                    : 0,
                                                '0');
    text += digits.substr(0, static_cast<size_t>(x) + 1);
    if (digits.size() > static_cast<size_t>(x) + 1)
        text += "." + digits.substr(static_cast<size_t>(x) + 1);
    return text;
}

} // namespace brtl_test
