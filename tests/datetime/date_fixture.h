// What the date suites share: a fixture whose host answers the English words and, for the
// multibyte locale, Japanese era names and unit markers (the parser keeps the words it first
// reads for the whole process, so every date test installs the same ones); an independent
// calendar for expected serials; and small call helpers.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "platform/clock.h"

namespace brtl_test {

// Shift-JIS (code page 932) bytes of the Japanese words the tests use.
namespace sjis {
inline const std::string kMeiji = "\x96\xbe\x8e\xa1", kTaisho = "\x91\xe5\x90\xb3",
                         kShowa = "\x8f\xba\x98\x61", kHeisei = "\x95\xbd\x90\xac";
inline const std::string kYear = "\x94\x4e", kMonth = "\x8c\x8e", kDay = "\x93\xfa",
                         kHour = "\x8e\x9e", kMinute = "\x95\xaa", kSecond = "\x95\x62",
                         kFullWidthSpace = "\x81\x40";
} // namespace sjis

// Days from 30 December 1899 of a proleptic Gregorian date, by the days-from-civil formula
// (1 January 1970 is day 25569).
inline double ymd(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    return static_cast<double>(era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468 +
                               25569);
}
inline double hms(int h, int n, int s) {
    return (h * 3600 + n * 60 + s) / 86400.0;
}
// A date at a time of day, the time read forward from that day's midnight.
inline double ymd(int64_t y, int64_t m, int64_t d, int h, int n, int s) {
    const double day = ymd(y, m, d);
    return day >= 0 ? day + hms(h, n, s) : day - hms(h, n, s);
}
// The serial of a date and time as tables write it: "y-m-d", "y-m-d h:n[:s]", or "h:n[:s]" for
// a time of day alone (on day 0).
inline double when(const char *text) {
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0;
    if (std::sscanf(text, "%d-%d-%d %d:%d:%d", &y, &m, &d, &h, &n, &s) >= 3)
        return ymd(y, m, d, h, n, s);
    std::sscanf(text, "%d:%d:%d", &h, &n, &s);
    return hms(h, n, s);
}

inline void write_intl_profile(const std::string &lines) {
    std::ofstream(scratch_profile(), std::ios::binary | std::ios::trunc) << "[intl]\n" << lines;
}

class DateTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        unsetenv("BRTL_SET_SYSTEM_CLOCK"); // the machine's clock is never set by these tests
        brtl::platform::reset_clock_offset();
        for (int32_t id = -1039; id <= -1001; ++id)
            if (const char *t = brtl_english_text(id)) host().texts[id] = t;
        const std::string eras[] = {sjis::kMeiji, sjis::kTaisho, sjis::kShowa, sjis::kHeisei};
        const std::string units[] = {sjis::kYear, sjis::kMonth,  sjis::kDay,
                                     sjis::kHour, sjis::kMinute, sjis::kSecond};
        for (int32_t era = 0; era < 4; ++era) {
            host().texts[-1121 - era] = eras[era];
            host().texts[-1131 - era] = std::string(1, "MTSH"[era]);
        }
        for (int32_t u = 0; u < 6; ++u)
            host().texts[-1146 - u] = units[u];
        // An empty profile: the defaults, whatever an earlier test wrote for a process of its
        // own. A test that writes a profile does so after this, and reads it in a new process.
        write_intl_profile("");
    }
    void TearDown() override {
        brtl::platform::reset_clock_offset();
        RuntimeTest::TearDown();
    }
    const std::vector<Trap> trap5{{5, Family::Trap, ""}}, trap13{{13, Family::Trap, ""}};
};

// A result Variant with no subtype, which proves that a call writes its result.
inline VARIANT unwritten() {
    VARIANT v{};
    v.vt = 0xFFFF;
    return v;
}

constexpr int32_t kTime = 0, kDate = 1, kBoth = 2;

// ZbiParseDateAndTime of a temporary copy of text.
inline VARIANT parse(const std::string &text, int32_t kind, bool quiet = true) {
    VARIANT v = unwritten();
    ZbiParseDateAndTime(&v, temp(text), kind, quiet ? 1 : 0);
    return v;
}

// Each text parses quietly with the kind to the Date written as `expected` (as `when` reads
// it), or, for kNo, is not accepted (Empty).
constexpr const char *kNo = nullptr;
inline void expect_parses(int32_t kind, const char *expected,
                          std::initializer_list<std::string> texts) {
    for (const std::string &text : texts) {
        VARIANT v = parse(text, kind);
        SCOPED_TRACE(testing::Message() << "«" << text << "» kind " << kind);
        if (expected == kNo) {
            EXPECT_EQ(v.vt, VT_EMPTY) << v.date;
        } else {
            EXPECT_EQ(v.vt, VT_DATE);
            EXPECT_EQ(v.date, when(expected)) << expected;
        }
    }
}

} // namespace brtl_test
