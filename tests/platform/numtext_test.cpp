// The number-text rule: 17 significant digits, decimal ties away from zero, three exponent
// digits. Where it differs from glibc the expected text says so.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "harness/harness.h"
#include "harness/number_rule.h"
#include "platform/numparse.h"
#include "platform/numtext.h"

using namespace brtl_test;

namespace {

uint64_t bits_of(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

std::string print(double v, char conversion, int precision, bool alternate = false) {
    char buf[1100];
    size_t n = brtl::platform::print_double(buf, sizeof buf, v, conversion, precision, alternate);
    EXPECT_EQ(n, std::string(buf).size());
    return buf;
}

} // namespace

TEST(NumberText, FixedNotation) {
    EXPECT_EQ(print(0.0, 'f', 6), "0.000000");
    EXPECT_EQ(print(1.5, 'f', 0), "2");
    EXPECT_EQ(print(2.5, 'f', 0), "3");      // glibc: "2" (half to even)
    EXPECT_EQ(print(0.125, 'f', 2), "0.13"); // glibc: "0.12"
    EXPECT_EQ(print(0.25, 'f', 1), "0.3");
    EXPECT_EQ(print(1.005, 'f', 2), "1.00"); // 1.00499999999999989... cut at 17 digits
    EXPECT_EQ(print(-3.14159, 'f', 3), "-3.142");
    EXPECT_EQ(print(0.005, 'f', 2), "0.01");
    EXPECT_EQ(print(0.0004, 'f', 2), "0.00");
    EXPECT_EQ(print(9.996, 'f', 2), "10.00");
    EXPECT_EQ(print(123.0, 'f', 0, true), "123.");
    EXPECT_EQ(print(-0.0, 'f', 1), "-0.0");
}

TEST(NumberText, DigitsBeyondSeventeenPrintAsZeros) {
    EXPECT_EQ(print(0.1, 'f', 20), "0.10000000000000001000"); // glibc: ...00000555
    EXPECT_EQ(print(1e20, 'f', 0), "100000000000000000000");
    EXPECT_EQ(print(std::ldexp(1.0, 70), 'f', 0), "1180591620717411300000"); // 2^70
}

TEST(NumberText, ExponentNotationHasThreeDigits) {
    EXPECT_EQ(print(1.5e20, 'E', 1), "1.5E+020");
    EXPECT_EQ(print(1.5e-7, 'e', 2), "1.50e-007");
    EXPECT_EQ(print(0.0, 'e', 1), "0.0e+000");
    EXPECT_EQ(print(1e300, 'e', 0), "1e+300");
    EXPECT_EQ(print(9.96, 'e', 1), "1.0e+001");
}

TEST(NumberText, GeneralNotation) {
    EXPECT_EQ(print(0.1, 'G', 15), "0.1");
    EXPECT_EQ(print(1.0 / 3.0, 'G', 15), "0.333333333333333");
    EXPECT_EQ(print(2.0 / 3.0, 'G', 15), "0.666666666666667");
    EXPECT_EQ(print(1.5e20, 'G', 15), "1.5E+020");
    EXPECT_EQ(print(1e15, 'G', 15), "1E+015");
    EXPECT_EQ(print(123456789012345.0, 'G', 15), "123456789012345");
    EXPECT_EQ(print(0.0001, 'G', 15), "0.0001");
    EXPECT_EQ(print(0.00001, 'G', 15), "1E-005");
    EXPECT_EQ(print(100.0, 'G', 7), "100");
    EXPECT_EQ(print(static_cast<double>(0.1f), 'G', 7), "0.1");
    EXPECT_EQ(print(static_cast<double>(3.4028234663852886e38f), 'G', 7), "3.402823E+038");
    EXPECT_EQ(print(0.0, 'G', 15), "0");
    EXPECT_EQ(print(-2.5, 'G', 1), "-3"); // tie away from zero
    EXPECT_EQ(print(1.0, 'g', 6, true), "1.00000");
}

TEST(NumberText, SpecialValues) {
    EXPECT_EQ(print(std::numeric_limits<double>::infinity(), 'G', 15), "1.#INF");
    EXPECT_EQ(print(-std::numeric_limits<double>::infinity(), 'f', 2), "-1.#INF");
    EXPECT_EQ(print(std::numeric_limits<double>::quiet_NaN(), 'G', 15), "1.#QNAN");
}

TEST(NumberText, BoundedBufferStillReportsTheWholeLength) {
    char small[4];
    EXPECT_EQ(brtl::platform::print_double(small, sizeof small, 12345.678, 'f', 2), 8u);
    EXPECT_STREQ(small, "123");
    EXPECT_EQ(brtl::platform::print_double(nullptr, 0, 1.5, 'G', 15), 3u);
}

TEST(NumberParse, IntegerKeepsTheLowBitsOfTheExactValue) {
    struct Row {
        const char *text;
        uint64_t value;
    };
    const Row rows[] = {
        {" \t-12x", static_cast<uint64_t>(-12)},
        {"+7", 7},
        {"- 3", 0},                  // no digits after the sign
        {"4294967297", 4294967297u}, // int32 callers keep the low bits: 1
        {"18446744073709551617", 1}, // wraps past 64 bits
    };
    for (const Row &row : rows)
        EXPECT_EQ(brtl::platform::parse_integer(row.text), row.value) << row.text;
    EXPECT_EQ(static_cast<int32_t>(brtl::platform::parse_integer("4294967297")), 1);
}

// The reader hands what it scans to from_chars, or to strtod when from_chars cannot take it; on
// any text either way it must give what strtod gives for that text (a "d" exponent read as "e"):
// the value to the bit, the end and the range report.
TEST(NumberParse, DoublesReadAsStrtodReadsThem) {
    std::mt19937_64 random(5);
    std::vector<std::string> texts = {"",
                                      "  +1.5",
                                      "-0",
                                      "- 3",
                                      ".5",
                                      "5.",
                                      ".",
                                      "1e",
                                      "1e+",
                                      "2.5E-3x",
                                      "7d2",
                                      "-7D-2",
                                      "1e400",
                                      "-1e400",
                                      "1e-400",
                                      "4.9e-324",
                                      "2e-324",
                                      "1.7976931348623157e308",
                                      "123456789012345678901234567890",
                                      "0.000000000000000000001"};
    for (int i = 0; i < 100000; ++i) {
        std::string t = std::string(random() % 2, ' ') + "+-"[random() % 2];
        t += std::to_string(random() % 100000000000ull);
        if (random() % 2 != 0) t += "." + std::to_string(random() % 10000000);
        if (random() % 2 != 0)
            t += "eEdD"[random() % 4] + std::to_string(static_cast<int>(random() % 700) - 350);
        texts.push_back(t);
    }
    for (const std::string &text : texts) {
        std::string as_c = text;
        for (char &c : as_c)
            if (c == 'd' || c == 'D') c = 'e';
        errno = 0;
        char *end = nullptr;
#if defined(_WIN32) // the system runtime's strtod is not correctly rounded
        const double expected = __mingw_strtod(as_c.c_str(), &end);
#else
        const double expected = std::strtod(as_c.c_str(), &end);
#endif
        const bool range = errno == ERANGE && (std::isinf(expected) || expected == 0.0);
        const brtl::platform::ParsedDouble got = brtl::platform::parse_double(text.c_str());
        // Where nothing is read the value is a zero, whose sign C libraries choose differently.
        if (end == as_c.c_str())
            ASSERT_EQ(got.value, 0.0) << text;
        else
            ASSERT_EQ(bits_of(got.value), bits_of(expected)) << text;
        ASSERT_EQ(got.end - text.c_str(), end - as_c.c_str()) << text;
        ASSERT_EQ(got.range_error, range) << text;
    }
}

// The digits come from to_chars; they must be the C library's "%.16e" digits of the exact value
// on random bit patterns, short decimals, halves and every power of ten with its neighbours.
TEST(NumberText, SignificantDigitsMatchTheCLibraryOnAMillionValues) {
    auto expect_same = [](double v) {
        char text[40];
        std::snprintf(text, sizeof text, "%.16e", v);
        std::string digits;
        for (const char *p = text; *p != 'e'; ++p)
            if (*p != '.') digits += *p;
        int exponent = std::atoi(std::strchr(text, 'e') + 1);
        brtl::platform::DecimalDigits d = brtl::platform::significant_digits(v);
        if (std::string(d.digits, d.digits + d.count) != digits || d.exponent != exponent) {
            ADD_FAILURE() << text << " gives " << std::string(d.digits, d.digits + d.count) << "e"
                          << d.exponent;
            return false;
        }
        return true;
    };
    std::mt19937_64 random(20261207);
    long checked = 0;
    auto check = [&](double v) {
        if (!std::isfinite(v) || v <= 0) return true;
        ++checked;
        return expect_same(v);
    };
    for (int i = 0; i < 600000; ++i) {
        uint64_t bits = random() & 0x7FFFFFFFFFFFFFFFull;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!check(v)) return;
    }
    for (int i = 0; i < 300000; ++i) {
        double decimal = static_cast<double>(random() % 100000000) / std::pow(10.0, random() % 12);
        if (!check(decimal) || !check((random() % 1000000) + 0.5)) return;
    }
    for (int k = -307; k <= 308; ++k) {
        double p = std::pow(10.0, k);
        if (!check(p) || !check(std::nextafter(p, 0.0)) || !check(std::nextafter(p, HUGE_VAL)))
            return;
    }
    EXPECT_GT(checked, 1000000);
}

namespace {

// The values the digits are checked on: random bit patterns, short decimals of up to 15 digits,
// halves, every power of ten with its neighbours, and the edges of the short-decimal search.
// BRTL_NUMBER_TEXT_VALUES sets their count (a million by default).
std::vector<double> number_text_values() {
    long count = 1000000;
    if (const char *env = std::getenv("BRTL_NUMBER_TEXT_VALUES")) count = std::atol(env);
    std::mt19937_64 random(20261207);
    std::vector<double> values;
    for (long i = 0; i < count * 3 / 10; ++i) {
        uint64_t bits = random() & 0x7FFFFFFFFFFFFFFFull;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
    }
    for (long i = 0; i < count * 6 / 10; ++i) {
        uint64_t digits = random() % (uint64_t{1} << (random() % 50 + 1)); // up to 15 digits
        values.push_back(static_cast<double>(digits) / std::pow(10.0, random() % 24));
    }
    for (long i = 0; i < count / 10; ++i)
        values.push_back(static_cast<double>(random() % 100000000) / 100 + 0.005);
    for (int k = -324; k <= 308; ++k) {
        double p = std::pow(10.0, k);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL)});
    }
    values.insert(values.end(), {0.0, 1e-8, 1.5e-8, 999999999999999.0, 999999999999999.9, 0x1p53,
                                 0x1p53 - 1, DBL_MIN, DBL_MAX, DBL_TRUE_MIN});
    return values;
}

// The library's digits without the zeros after the last nonzero one.
RuleDigits library_digits(brtl::platform::DecimalDigits d) {
    d.strip_trailing_zeros();
    RuleDigits digits;
    if (d.is_zero()) return digits;
    std::memcpy(digits.digits, d.digits, static_cast<size_t>(d.count));
    digits.count = d.count;
    digits.exponent = d.exponent;
    return digits;
}

} // namespace

// Every conversion's digits and the whole "G" text against the rule as first written, which
// took the 17 digits from the C library: the library takes them from to_chars, and a value that
// a short decimal stands for takes that decimal's digits without the 17.
TEST(NumberText, DigitsAndTextsFollowTheRuleOnAMillionValues) {
    namespace pf = brtl::platform;
    long checked = 0;
    for (double v : number_text_values()) {
        const RuleDigits d17 = c_library_digits(v);
        ASSERT_EQ(library_digits(pf::significant_digits(v)), d17);
        for (auto [conversion, precision] : {std::pair{'g', 15}, {'f', 2}, {'e', 6}, {'g', 7}}) {
            ASSERT_EQ(library_digits(pf::conversion_digits(v, conversion, precision)),
                      rule_digits(d17, conversion, precision))
                << testing::PrintToString(d17) << " " << conversion << precision;
        }
        char text[64], expected[64];
        pf::print_double(text, sizeof text, -v, 'G', 15);
        rule_general_text(-v, 15, expected);
        ASSERT_STREQ(text, expected);
        const auto single = static_cast<double>(static_cast<float>(v));
        if (checked % 4 == 0 && std::isfinite(single)) { // a Single's text, on a quarter of them
            pf::print_double(text, sizeof text, single, 'G', 7);
            rule_general_text(single, 7, expected);
            ASSERT_STREQ(text, expected) << single;
        }
        ++checked;
    }
    EXPECT_GT(checked, 1000000);
}
