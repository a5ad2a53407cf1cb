// Format against independent oracles over many values: decimal rounding by integer arithmetic
// for numbers that have an exact short decimal form, and the calendar of the C++ library for
// dates.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "format_fixture.h"

namespace brtl_test {
namespace {

using FormatOracleTest = FormatTest;

constexpr uint64_t kPow10[] = {1,           10,           100,          1000,      10000,
                               100000,      1000000,      10000000,     100000000, 1000000000,
                               10000000000, 100000000000, 1000000000000};

// The text "#,##0.000..." (decimals zeros) gives for ±m / 10^k, rounded half away from zero.
std::string expected_text(bool negative, uint64_t m, int k, int decimals) {
    uint64_t unit = kPow10[std::abs(k - decimals)];
    uint64_t scaled = decimals >= k ? m * unit : m / unit + (2 * (m % unit) >= unit);
    std::string digits = std::to_string(scaled / kPow10[decimals]), text;
    for (size_t i = 0; i < digits.size(); ++i)
        text += (i > 0 && (digits.size() - i) % 3 == 0 ? "," : "") + digits.substr(i, 1);
    if (decimals > 0) {
        std::string fraction = std::to_string(scaled % kPow10[decimals] + kPow10[decimals]);
        text += "." + fraction.substr(1);
    }
    return (negative && scaled != 0 ? "-" : "") + text;
}

TEST_F(FormatOracleTest, RoundingAndGroupingOfShortDecimals) {
    std::mt19937_64 random(20260101);
    for (int i = 0; i < 4000; ++i) {
        int k = static_cast<int>(random() % 7), decimals = static_cast<int>(random() % 7);
        uint64_t m = random() % kPow10[random() % 13];
        if (random() % 4 == 0) m = m / 10 * 10 + 5; // many ties
        bool negative = random() % 2 == 0;
        double x =
            (negative ? -1.0 : 1.0) * static_cast<double>(m) / static_cast<double>(kPow10[k]);
        std::string f = "#,##0" + (decimals > 0 ? "." + std::string(decimals, '0') : "");
        ASSERT_EQ(format(x, f), expected_text(negative, m, k, decimals))
            << (negative ? "-" : "") << m << "e-" << k << " with " << f;
        if (k == 4) { // the same value as a Currency
            int64_t units = negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m);
            ASSERT_EQ(format(C(units), f), expected_text(negative, m, k, decimals)) << units << f;
        }
    }
}

TEST_F(FormatOracleTest, CalendarDatesAndTimes) {
    using namespace std::chrono;
    const sys_days day_zero = sys_days{year{1899} / December / 30};
    static const char *const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    std::mt19937_64 random(7);
    for (int i = 0; i < 3000; ++i) {
        int64_t day = static_cast<int64_t>(random() % (2958465 + 657434 + 1)) - 657434;
        int64_t second = static_cast<int64_t>(random() % 86400);
        // The time of day counts away from day 0 whatever the sign of the day.
        double serial = static_cast<double>(day) + (day < 0 ? -1.0 : 1.0) * second / 86400.0;
        year_month_day ymd{day_zero + days{day}};
        char expected[64];
        std::snprintf(expected, sizeof expected, "%d-%02u-%02u %02lld:%02lld:%02lld %s",
                      static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                      static_cast<unsigned>(ymd.day()), static_cast<long long>(second / 3600),
                      static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60),
                      kDays[weekday{sys_days{ymd}}.c_encoding()]);
        ASSERT_EQ(format(date(serial), "yyyy-mm-dd hh:nn:ss dddd"), expected) << serial;
    }
}

} // namespace
} // namespace brtl_test
