#include "date_fixture.h"

#include <fstream>

#include "platform/clock.h"

namespace brtl_test {

void install_date_texts() {
    for (int32_t id = -1039; id <= -1001; ++id)
        if (const char *t = brtl_english_text(id)) host().texts[id] = t;
    const std::string long_names[] = {sjis::kMeiji, sjis::kTaisho, sjis::kShowa, sjis::kHeisei};
    const char *short_names[] = {"M", "T", "S", "H"};
    for (int32_t era = 0; era < 4; ++era) {
        host().texts[-1121 - era] = long_names[era];
        host().texts[-1131 - era] = short_names[era];
    }
    const std::string units[] = {sjis::kYear, sjis::kMonth,  sjis::kDay,
                                 sjis::kHour, sjis::kMinute, sjis::kSecond};
    for (int32_t u = 0; u < 6; ++u)
        host().texts[-1146 - u] = units[u];
}

double civil_serial(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days_since_1970 = era * 146097 + doe - 719468;
    return static_cast<double>(days_since_1970 + 25569); // 1 January 1970 is day 25569
}

double civil_serial(int64_t y, int64_t m, int64_t d, int h, int n, int s) {
    double day = civil_serial(y, m, d);
    double time = (h * 3600 + n * 60 + s) / 86400.0;
    return day >= 0 ? day + time : day - time;
}

void DateTest::SetUp() {
    RuntimeTest::SetUp();
    install_date_texts();
    // An empty profile: the defaults, whatever an earlier test wrote for a process of its own.
    // A test that writes a profile does so after this, and reads it in a new process.
    write_intl_profile("");
}

void DateTest::TearDown() {
    brtl::pf::reset_clock_offset();
    RuntimeTest::TearDown();
}

VARIANT parse(const std::string &text, int32_t kind, bool quiet) {
    VARIANT v{};
    v.vt = 0xFFFF; // proves the result is written
    ZbiParseDateAndTime(&v, temp(text), kind, quiet ? 1 : 0);
    return v;
}

double hms(int h, int n, int s) {
    return (h * 3600 + n * 60 + s) / 86400.0;
}

::testing::AssertionResult parses_to(const std::string &text, int32_t kind, double expected) {
    VARIANT v = parse(text, kind);
    if (v.vt != VT_DATE)
        return ::testing::AssertionFailure()
               << "«" << text << "» kind " << kind << " not accepted (vt " << v.vt << ")";
    if (v.date != expected)
        return ::testing::AssertionFailure() << "«" << text << "» kind " << kind << " gave "
                                             << v.date << ", expected " << expected;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult rejected(const std::string &text, int32_t kind) {
    VARIANT v = parse(text, kind);
    if (v.vt != VT_EMPTY)
        return ::testing::AssertionFailure() << "«" << text << "» kind " << kind << " accepted (vt "
                                             << v.vt << ", " << v.date << ")";
    return ::testing::AssertionSuccess();
}

void write_intl_profile(const std::string &lines) {
    std::ofstream(scratch_profile(), std::ios::binary | std::ios::trunc) << "[intl]\n" << lines;
}

} // namespace brtl_test
