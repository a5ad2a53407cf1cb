// The one place where a number becomes text by a printf conversion. Every "%f", "%e", "%G"-style
// conversion of the library (ZrSprintf, ZrFprintf, Print #, Write #, Format) goes through here,
// so the digits and the rounding rule live in one function.
//
// The rule is the original platform C runtime's: the exact binary value is first cut to 17
// significant digits (any further digits print as zeros), then rounded to the digits asked for
// with a decimal tie going away from zero (so "%.1f" of 0.25 is "0.3", where glibc prints "0.2"),
// and exponents are written with at least three digits ("1.5E+020").
#pragma once

#include <cstddef>

namespace brtl::platform {

// A decimal number as its significant digits: digits[0] has the place value 10^exponent and
// digits past count are zeros; zero is the lone digit "0" with exponent 0. The printf conversions
// below and the format engine's numeric sections round through it.
struct DecimalDigits {
    static constexpr int kCapacity = 24; // a Currency's 19 digits, a Double's 17
    bool negative = false;
    char digits[kCapacity] = {'0'};
    int count = 1;
    int exponent = 0;

    bool is_zero() const { return count == 1 && digits[0] == '0'; }
    // The digit at an index from the leading one; '0' outside the stored digits.
    char digit_at(long index) const { return index >= 0 && index < count ? digits[index] : '0'; }
    void set_zero() {
        digits[0] = '0';
        count = 1;
        exponent = 0;
    }
    // Drops the zeros after the last nonzero digit (keeping at least one digit).
    void strip_trailing_zeros() {
        while (count > 1 && digits[count - 1] == '0')
            --count;
    }
    // Keeps the first `keep` significant digits, rounding a tie away from zero. keep may be 0 (the
    // leading digit then decides whether the result is one unit of the next place) or negative.
    void round_significant(long keep);
};

// The 17 significant digits of a finite magnitude (0 or more) that every conversion starts from.
DecimalDigits significant_digits(double magnitude);

// The digits a conversion ('f', 'e', 'E', 'g' or 'G', precision 0 or more) prints of a finite
// magnitude: its 17 significant digits rounded as the conversion rounds them. A magnitude that a
// decimal of at most 15 digits stands for gives that decimal's digits, rounded when the
// conversion keeps fewer, without the 17 digits (the same digits, found faster).
DecimalDigits conversion_digits(double magnitude, char conversion, int precision);

// Prints v as printf's conversion ('f', 'e', 'E', 'g' or 'G') with the precision (negative
// means the default 6) and the '#' flag, sign included but no padding. Writes at most cap bytes
// (a NUL included when cap > 0) and returns the length of the whole text.
size_t print_double(char *buf, size_t cap, double v, char conversion, int precision,
                    bool alternate = false);

} // namespace brtl::platform
