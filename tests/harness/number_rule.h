// The number-text rule as first written, kept as the reference that the library's faster digits
// are checked against: the C library's 17 significant digits of the exact value ("%.16e"), then
// rounded to the digits a conversion keeps with a decimal tie going away from zero. Plain
// buffers, no allocation: a test runs it on a million values, under the sanitizers too.
#pragma once

#include <cstring>
#include <ostream>

namespace brtl_test {

// Significant digits without trailing zeros ("0" for zero) and the place value 10^exponent of
// the first.
struct RuleDigits {
    char digits[24] = {'0'};
    int count = 1;
    int exponent = 0;
    bool operator==(const RuleDigits &other) const {
        return count == other.count && exponent == other.exponent &&
               std::memcmp(digits, other.digits, static_cast<size_t>(count)) == 0;
    }
};

// Shows d as "digits e exponent" in test messages.
void PrintTo(const RuleDigits &d, std::ostream *os);

// The 17 significant digits of a finite magnitude (0 or more), by snprintf "%.16e".
RuleDigits c_library_digits(double magnitude);
// d rounded to `keep` significant digits, a tie away from zero. keep 0 or less rounds at a place
// above the leading digit: one unit of the next place, or zero.
RuleDigits round_away(RuleDigits d, long keep);
// The digits the conversion 'f', 'e' or 'g' with the precision prints of the magnitude, from its
// 17 digits d.
RuleDigits rule_digits(const RuleDigits &d, char conversion, int precision);
// The text of "%.*G" by the rule for a finite v into out: sign, digits without trailing zeros,
// and an exponent of at least three digits ("1.5E+020").
void rule_general_text(double v, int precision, char (&out)[64]);

} // namespace brtl_test
