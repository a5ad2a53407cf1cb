// Format against independent oracles over many values: decimal rounding by integer arithmetic
// for numbers that have an exact short decimal form, and the calendar of the C++ library for
// dates.
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "format_fixture.h"

namespace brtl_test {
namespace {

using FormatOracleTest = FormatTest;

uint64_t power_of_ten(int n) {
    uint64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

std::string grouped(uint64_t value) {
    std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// The text "#,##0.000..." (decimals zeros) gives for ±m / 10^k, rounded half away from zero.
std::string expected_text(bool negative, uint64_t m, int k, int decimals) {
    uint64_t scaled; // the value in units of 10^-decimals
    if (decimals >= k) {
        scaled = m * power_of_ten(decimals - k);
    } else {
        uint64_t unit = power_of_ten(k - decimals);
        scaled = m / unit + (2 * (m % unit) >= unit ? 1 : 0);
    }
    uint64_t unit = power_of_ten(decimals);
    std::string text = (negative && scaled != 0 ? "-" : "") + grouped(scaled / unit);
    if (decimals > 0) {
        std::string fraction = std::to_string(scaled % unit);
        text += "." + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

TEST_F(FormatOracleTest, RoundingAndGroupingOfShortDecimals) {
    std::mt19937_64 random(20260101);
    for (int i = 0; i < 4000; ++i) {
        int k = static_cast<int>(random() % 7);
        int decimals = static_cast<int>(random() % 7);
        uint64_t m = random() % power_of_ten(static_cast<int>(random() % 13));
        if (random() % 4 == 0) m = m / 10 * 10 + 5; // many ties
        bool negative = random() % 2 == 0;
        double x = static_cast<double>(m) / static_cast<double>(power_of_ten(k));
        if (negative) x = -x;
        std::string f =
            decimals > 0 ? "#,##0." + std::string(static_cast<size_t>(decimals), '0') : "#,##0";
        ASSERT_EQ(format(x, f), expected_text(negative, m, k, decimals))
            << (negative ? "-" : "") << m << "e-" << k << " with " << f;
        if (k == 4) { // the same value as a Currency
            int64_t units = negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m);
            ASSERT_EQ(format_currency(units, f), expected_text(negative, m, k, decimals))
                << units << " units with " << f;
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
        double serial = static_cast<double>(day) + (day < 0 ? -1.0 : 1.0) * second / 86400.0;
        if (day == 0) serial = second / 86400.0;
        year_month_day ymd{day_zero + days{day}};
        char expected[64];
        std::snprintf(expected, sizeof expected, "%d-%02u-%02u %02lld:%02lld:%02lld %s",
                      static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                      static_cast<unsigned>(ymd.day()), static_cast<long long>(second / 3600),
                      static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60),
                      kDays[weekday{sys_days{ymd}}.c_encoding()]);
        ASSERT_EQ(format_date(serial, "yyyy-mm-dd hh:nn:ss dddd"), expected) << serial;
    }
}

} // namespace
} // namespace brtl_test
