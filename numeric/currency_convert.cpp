// Currency conversions: to and from the integer types and Double, the parser of the plain text
// form and the text form itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "brtl/numeric.h"
#include "numeric/currency.h"
#include "numeric/int128.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/hooks.h"

namespace {

using brtl::numeric::kCurrencyScale;

// The largest magnitude a Double may have to become a Currency: 922337203685477.5, exactly
// representable.
constexpr double kLargestDoubleMagnitude = 922337203685477.5;
// Half of the fifth decimal, added so that truncating to four decimals rounds it away from zero.
constexpr double kHalfFifthDecimal = 0.00005;
// Below this an integer part counts as zero when the fraction is taken.
constexpr double kZeroIntegerPart = 2.220446049250313e-16;
constexpr double kTwoTo32 = 4294967296.0;

uint64_t magnitude(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

// The whole-number conversions: rounded half to even, then checked against [low, high]; out of
// range raises trap 6 and gives 0.
int32_t whole_in_range(BiCurrency c, int32_t low, int32_t high) {
    const int64_t whole = brtl::numeric::round_to_whole(c);
    if (whole < low || whole > high) {
        brtl::runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
        return 0;
    }
    return static_cast<int32_t>(whole);
}

// The magnitude of a Currency as a Double: the whole part in two 32-bit halves and the
// remainder, summed as high half, remainder, low half.
double magnitude_to_double(uint64_t units) {
    const uint64_t whole = units / brtl::numeric::kCurrencyScale;
    const uint64_t rest = units % brtl::numeric::kCurrencyScale;
    const auto high = static_cast<int32_t>(static_cast<uint32_t>(whole >> 32));
    const auto low = static_cast<uint32_t>(whole);
    double result = static_cast<double>(high) * kTwoTo32;
    result += static_cast<double>(rest) * 0.0001;
    result += static_cast<double>(low);
    return result;
}

// Digit value of the byte at p when it is a decimal digit of the code page, else -1.
int digit_at(const char *p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte == 0 || !brtl::platform::is_digit(byte) || byte < '0' || byte > '9') return -1;
    return byte - '0';
}

// Multiplies *value by factor; false when the product does not fit 64 bits.
bool scale_by(int64_t *value, int64_t factor) {
    return !__builtin_mul_overflow(*value, factor, value);
}

// Parses the plain text form into *value (ten-thousandths). On failure *value keeps what was
// accumulated so far.
bool parse_currency(const char *s, int64_t *value) {
    *value = 0;
    bool negative = false;
    if (*s == '-' || *s == '+') negative = *s++ == '-';
    bool after_point = false;
    if (*s == '.') {
        after_point = true;
        ++s;
    }
    uint64_t decimals = 0; // counted in 64 bits: a text may hold more than 2^31 digits
    for (int digit = digit_at(s); digit >= 0; digit = digit_at(s)) {
        if (!scale_by(value, 10)) return false;
        const bool overflow = negative ? __builtin_sub_overflow(*value, digit, value)
                                       : __builtin_add_overflow(*value, digit, value);
        if (overflow) return false;
        if (after_point) ++decimals;
        ++s;
        if (*s == '.') {
            if (after_point) return false;
            after_point = true;
            ++s;
        }
    }
    if (decimals > 4) return false;
    for (uint64_t place = decimals; place < 4; ++place)
        if (!scale_by(value, 10)) return false;
    return *s == '\0';
}

// Writes the text form of c into buffer (22 bytes hold the longest: a sign, 15 whole digits, a
// point, four decimals and a NUL) and returns its length; 0 when it does not fit.
size_t format_currency(BiCurrency c, char *buffer, size_t cap) {
    const uint64_t units = magnitude(c); // the most negative value is 2^63 here
    uint64_t whole = units / brtl::numeric::kCurrencyScale;
    auto fraction = static_cast<uint32_t>(units % brtl::numeric::kCurrencyScale);

    char digits[24];
    size_t n = sizeof digits;
    if (fraction != 0) {
        int places = 4;
        while (fraction % 10 == 0) { // no trailing zeros after the point
            fraction /= 10;
            --places;
        }
        for (; places > 0; --places) {
            digits[--n] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        digits[--n] = '.';
    }
    // A whole part of zero is written as "0", except right after a minus sign ("-.25").
    if (whole != 0 || c >= 0) {
        do {
            digits[--n] = static_cast<char>('0' + whole % 10);
            whole /= 10;
        } while (whole != 0);
    }
    if (c < 0) digits[--n] = '-';

    const size_t length = sizeof digits - n;
    if (length >= cap) return 0;
    std::memcpy(buffer, digits + n, length);
    buffer[length] = '\0';
    return length;
}

} // namespace

extern "C" {

BRTL_API BiCurrency ZbiCvtLngCurNum(int32_t n) {
    return static_cast<BiCurrency>(n) * brtl::numeric::kCurrencyScale;
}

// The magnitude is rounded at the fifth decimal, half away from zero: 0.00005 is added and the
// sum cut to four decimals. A magnitude above 922337203685477.5, an infinity or a NaN raises
// trap 6 and gives 0.
BRTL_API BiCurrency ZbiCvtDblCurNum(double d) {
    const bool negative = d < 0;
    double m = negative ? -d : d;
    if (!(m <= kLargestDoubleMagnitude)) {
        brtl::runtime::raise_numeric_trap(BI_TRAP_OVERFLOW);
        return 0;
    }
    m += kHalfFifthDecimal;
    const double whole = std::floor(m);
    const double fraction =
        (whole > kZeroIntegerPart || whole < -kZeroIntegerPart) ? std::fmod(m, whole) : m;
    const auto units = static_cast<int64_t>(fraction * 10000.0); // truncated
    const auto whole_part = static_cast<int64_t>(whole);         // below 2^50: exact

    brtl::numeric::i128 exact =
        static_cast<brtl::numeric::i128>(whole_part) * brtl::numeric::kCurrencyScale + units;
    if (negative) exact = -exact;
    return brtl::numeric::to_currency(exact);
}

BRTL_API int32_t ZbiCvtStrCurNum(const char *s, BiCurrency *r) {
    BiCurrency scratch = 0;
    if (r == nullptr) r = &scratch;
    if (s == nullptr) {
        *r = 0;
        return 1;
    }
    return parse_currency(s, r) ? 0 : 1;
}

BRTL_API int16_t ZbiCvtCurNumShort(BiCurrency c) {
    return static_cast<int16_t>(whole_in_range(c, INT16_MIN, INT16_MAX));
}

BRTL_API int32_t ZbiCvtCurNumInt(BiCurrency c) {
    return whole_in_range(c, INT32_MIN, INT32_MAX);
}

BRTL_API int32_t ZbiCvtCurNumLng(BiCurrency c) {
    return whole_in_range(c, INT32_MIN, INT32_MAX);
}

// Every Currency value, the most negative included, has a Double: no trap.
BRTL_API double ZbiCvtCurNumDbl(BiCurrency c) {
    const double m = magnitude_to_double(magnitude(c));
    return c < 0 ? -m : m;
}

BRTL_API double ZbiCvtCurNumSng(BiCurrency c) {
    return ZbiCvtCurNumDbl(c);
}

// The text form in base 10 (the only base the language uses; any other base is taken as 10).
BRTL_API BiString ZbiCvtCurNumStr(BiCurrency c, int32_t base) {
    (void)base;
    char text[32];
    const size_t length = format_currency(c, text, sizeof text);
    return brtl::runtime::temporary_copy(text, length);
}

} // extern "C"
