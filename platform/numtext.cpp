#include "platform/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
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
// Its text is "d.dddddddddddddddde+XX": the digits and the exponent stand at fixed places.
Decimal to_decimal(double magnitude) {
    Decimal d;
    if (magnitude == 0.0) return d;
    char text[40];
    std::to_chars_result r = std::to_chars(text, text + sizeof text, magnitude,
                                           std::chars_format::scientific, kSignificant - 1);
    d.digits[0] = text[0];
    std::memcpy(d.digits + 1, text + 2, kSignificant - 1);
    d.count = kSignificant;
    const char *sign = text + kSignificant + 2;
    int exponent = 0;
    for (const char *q = sign + 1; q < r.ptr; ++q)
        exponent = exponent * 10 + (*q - '0');
    d.exponent = *sign == '-' ? -exponent : exponent;
    return d;
}

// The powers of ten that a double holds exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
// The most digits a decimal found by short_decimal may have.
constexpr int kShortDigits = 15;

// The decimal digits of a whole number below 10^16, written two at a time from the right into
// out (room for 16 bytes, which are all written); returns their count.
int whole_digits(uint64_t whole, char *out) {
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                     "25262728293031323334353637383940414243444546474849"
                                     "50515253545556575859606162636465666768697071727374"
                                     "75767778798081828384858687888990919293949596979899";
    constexpr int kEnd = 16;
    char text[2 * kEnd] = {};
    int start = kEnd;
    while (whole >= 100) {
        const uint64_t rest = whole / 100;
        const auto pair = static_cast<size_t>(whole - rest * 100);
        start -= 2;
        text[start] = kPairs[2 * pair];
        text[start + 1] = kPairs[2 * pair + 1];
        whole = rest;
    }
    if (whole >= 10) {
        start -= 2;
        text[start] = kPairs[2 * whole];
        text[start + 1] = kPairs[2 * whole + 1];
    } else {
        text[--start] = static_cast<char>('0' + whole);
    }
    std::memcpy(out, text + start, kEnd); // a fixed size: two moves, no call
    return kEnd - start;
}

// The decimal of at most 15 significant digits that reads back as the magnitude (> 0), when
// there is one. Such a decimal lies within one unit in the last place of the double, which is
// less than a quarter of a unit of its own 15th digit, so rounding the 17 digits of the exact
// value to any count from its own length up to 15 gives that decimal, whichever way a tie goes.
// Found by scaling the magnitude by an exact power of ten to a whole number below 10^15 and
// checking that the whole number scaled back is the same double (a check that holds whatever
// the rounding mode). False for every other magnitude, and outside 1e-8 to 1e15.
bool short_decimal(double magnitude, Decimal &d) {
    if (!(magnitude >= 1e-8 && magnitude < 1e15)) return false;
    uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binary_exponent = static_cast<int>((bits >> 52) & 0x7FF) - 1023;
    // floor(binary_exponent x log10(2)): the decade of the magnitude or the one below.
    const int decade = (binary_exponent * 78913) >> 18;
    int k = kShortDigits - 1 - decade;
    if (k > kLargestExactPower) return false;
    double scaled = magnitude * kPowersOfTen[k];
    if (scaled >= kPowersOfTen[kShortDigits]) {
        if (k == 0) return false;
        scaled = magnitude * kPowersOfTen[--k];
    }
    // Below 2^50 the sum is exact, so this rounds half up in every rounding mode.
    const auto whole = static_cast<uint64_t>(scaled + 0.5);
    if (static_cast<double>(whole) / kPowersOfTen[k] != magnitude) return false;
    // The zeros at the end go before the digits are written (whole is not 0).
    uint64_t digits = whole;
    int zeros = 0;
    while (digits % 100 == 0) {
        digits /= 100;
        zeros += 2;
    }
    if (digits % 10 == 0) {
        digits /= 10;
        ++zeros;
    }
    d.count = whole_digits(digits, d.digits);
    d.exponent = d.count + zeros - 1 - k;
    return true;
}

// The significant digits a conversion keeps of a number whose leading digit has the place value
// 10^exponent: 'f' keeps `precision` places after the point, 'e' as many after the first digit,
// 'g' `precision` in all (at least one).
long digits_kept(char conversion, int precision, int exponent) {
    switch (conversion) {
    case 'f':
        return static_cast<long>(exponent) + 1 + precision;
    case 'e':
    case 'E':
        return static_cast<long>(precision) + 1;
    default:
        return precision == 0 ? 1 : precision;
    }
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

DecimalDigits conversion_digits(double magnitude, char conversion, int precision) {
    Decimal d;
    if (magnitude == 0.0) return d;
    if (short_decimal(magnitude, d)) {
        long keep = digits_kept(conversion, precision, d.exponent);
        // Rounding the short decimal gives what rounding the 17 digits would, unless what is cut
        // off is exactly a half: the 17 digits then lie a little above or below it.
        bool cut_at_half = keep >= 0 && keep == d.count - 1 && d.digits[keep] == '5';
        if (keep <= kShortDigits && !cut_at_half) {
            d.round_significant(keep);
            return d;
        }
    }
    d = to_decimal(magnitude);
    d.round_significant(digits_kept(conversion, precision, d.exponent));
    return d;
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
    const Decimal d = conversion_digits(magnitude, conversion, precision);
    switch (conversion) {
    case 'f':
        put_fixed(out, d, precision, alternate);
        break;
    case 'e':
    case 'E':
        put_exponent_form(out, d, precision, alternate, conversion);
        break;
    default: { // 'g', 'G'
        int significant = precision == 0 ? 1 : precision;
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
