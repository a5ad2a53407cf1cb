#include "platform/numparse.h"

#include <locale.h>

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace brtl::platform {

namespace {

bool is_blank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars rounds the decimal exactly as strtod does (to nearest, or by strtod itself in
// another rounding mode) without a copy: it takes the text of [start, end), the sign and an "e"
// exponent, when it reads all of it to a value in range. Otherwise (a "d" exponent, a value
// beyond the range) the caller converts the text with strtod.
bool from_chars_reads(const char *start, const char *mantissa_end, const char *end,
                      ParsedDouble &result) {
    if (end != mantissa_end && (*mantissa_end == 'd' || *mantissa_end == 'D')) return false;
    const bool negative = *start == '-';
    const char *number = *start == '+' || *start == '-' ? start + 1 : start;
    double value = 0.0;
    std::from_chars_result r = std::from_chars(number, end, value);
    if (r.ec != std::errc() || r.ptr != end) return false;
    result.value = negative ? -value : value;
    result.end = end;
    return true;
}

// strtod and strtold of the "C" locale, correctly rounded, whatever the process locale: the C
// library's with a "C" locale of its own on POSIX, MinGW-w64's own conversions on Windows (the
// system runtime's are not correctly rounded).
#if defined(_WIN32)
double c_strtod(const char *text, char **end) {
    return __mingw_strtod(text, end);
}
long double c_strtold(const char *text, char **end) {
    return __mingw_strtold(text, end);
}
#else
locale_t c_locale() {
    static locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}
double c_strtod(const char *text, char **end) {
    return strtod_l(text, end, c_locale());
}
long double c_strtold(const char *text, char **end) {
    return strtold_l(text, end, c_locale());
}
#endif

} // namespace

ParsedDouble parse_double(const char *text) {
    ParsedDouble result{0.0, text, false};
    const char *p = text;
    while (is_blank(*p))
        ++p;
    const char *start = p;
    if (*p == '+' || *p == '-') ++p;
    const char *digits = p;
    while (is_digit(*p))
        ++p;
    bool any = p != digits;
    if (*p == '.') {
        const char *fraction = ++p;
        while (is_digit(*p))
            ++p;
        any = any || p != fraction;
    }
    if (!any) return result;
    const char *mantissa_end = p;
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        const char *q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (is_digit(*q)) {
            while (is_digit(*q))
                ++q;
            p = q;
        }
    }
    if (from_chars_reads(start, mantissa_end, p, result)) return result;
    // Copy the accepted extent (with "e" for a "d" exponent) and let the C library convert it
    // exactly in the "C" locale. Long digit strings are converted from a heap copy.
    size_t n = static_cast<size_t>(p - start);
    char local[128];
    char *copy = n < sizeof local ? local : static_cast<char *>(std::malloc(n + 1));
    if (copy == nullptr) return result;
    std::memcpy(copy, start, n);
    copy[n] = '\0';
    if (p != mantissa_end) copy[mantissa_end - start] = 'e';
    errno = 0;
    char *end = nullptr;
    result.value = c_strtod(copy, &end);
    result.range_error = errno == ERANGE && (std::isinf(result.value) || result.value == 0.0);
    result.end = start + (end - copy);
    if (copy != local) std::free(copy);
    return result;
}

ParsedDouble parse_written_double(const char *text) {
    ParsedDouble result = parse_double(text);
    if (!result.range_error || !std::isinf(result.value)) return result;
    // The longest number text the library writes has 15 significant digits; the largest of
    // them that stands for a finite Double rounds DBL_MAX (1.7976931348623157E+308) up.
    constexpr long double kLargestWritten = 1.79769313486232e308L;
    char copy[128]; // a longer text is no number the library wrote
    size_t n = static_cast<size_t>(result.end - text);
    if (n >= sizeof copy) return result;
    std::memcpy(copy, text, n);
    copy[n] = '\0';
    for (size_t i = 0; i < n; ++i)
        if (copy[i] == 'd' || copy[i] == 'D') copy[i] = 'e';
    errno = 0;
    long double exact = c_strtold(copy, nullptr);
    if (errno == 0 && std::fabs(exact) <= kLargestWritten) {
        result.value = std::copysign(DBL_MAX, result.value);
        result.range_error = false;
    }
    return result;
}

} // namespace brtl::platform

namespace brtl::platform {

uint64_t parse_integer(const char *text) {
    const char *p = text;
    while (is_blank(*p))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    uint64_t value = 0;
    for (; is_digit(*p); ++p)
        value = value * 10 + static_cast<uint64_t>(*p - '0');
    return negative ? ~value + 1 : value;
}

} // namespace brtl::platform
