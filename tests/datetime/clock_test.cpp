// The library's clock (an offset from the machine's clock, which stays untouched): reading the
// local time, setting the date and the time, Now, Timer, Date and Time in their Variant and
// string forms, the Date and Time statements, and the Date of a broken-down time.
#include <chrono>
#include <ctime>
#include <regex>
#include <thread>

#include "date_fixture.h"
#include "harness/fresh_process.h"

using namespace brtl_test;

namespace {

class ClockTest : public DateTest {
  protected:
    static BiBrokenDownTime now() {
        BiBrokenDownTime t{-1, -1, -1, -1, -1, -1, -1};
        ZrIntlGetSystemDateTime(&t);
        return t;
    }
    static int64_t time_of_day(const auto &t) {
        return t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
    }
    // The clock's date, with its weekday (0 = Sunday; day 0 was a Saturday).
    static void expect_date(int y, int m, int d) {
        BiBrokenDownTime t = now();
        EXPECT_EQ(t.tm_year + 1900, y);
        EXPECT_EQ(t.tm_mon + 1, m);
        EXPECT_EQ(t.tm_mday, d);
        EXPECT_EQ(t.tm_wday, (static_cast<int64_t>(ymd(y, m, d)) % 7 + 13) % 7);
    }
    // The clock's time of day within `slack` seconds after the expected one, across midnight.
    static void expect_time(int h, int n, int s, int slack = 2) {
        BiBrokenDownTime t = now();
        EXPECT_LE(((time_of_day(t) - (h * 3600 + n * 60 + s)) % 86400 + 86400) % 86400, slack)
            << t.tm_hour << ":" << t.tm_min << ":" << t.tm_sec;
    }
    static void set_clock(int y, int m, int d, int h, int n, int s) {
        ASSERT_EQ(ZrIntlSetSystemDate(d, m, y), 0);
        ASSERT_EQ(ZrIntlSetSystemTime(h, n, s), 0);
    }
};

} // namespace

TEST_F(ClockTest, ReadsTheMachinesLocalTime) {
    const std::time_t machine = std::time(nullptr);
    const std::tm m = *std::localtime(&machine);
    const BiBrokenDownTime t = now();
    auto seconds = [](const auto &x) {
        return ymd(x.tm_year + 1900, x.tm_mon + 1, x.tm_mday) * 86400 + time_of_day(x);
    };
    EXPECT_LE(std::abs(seconds(t) - seconds(m)), 2);
    expect_date(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    EXPECT_EQ(now().tm_wday, 5);                // a Friday
    EXPECT_LE(std::time(nullptr) - machine, 2); // the machine's clock is where it was
}

TEST_F(ClockTest, SettingTheDateAndTheTime) {
    // {set the date (day, month, year) or the time (hour, minute, second), accepted}: the clock
    // keeps the years 1601-30827 and the leap rule; setting the date keeps the time of day and
    // setting the time the date; a refused value changes nothing.
    const std::tuple<bool, int32_t, int32_t, int32_t, bool> rows[] = {
        {true, 29, 2, 1996, true},   {true, 29, 2, 2000, true},  {true, 1, 1, 1601, true},
        {true, 31, 12, 30827, true}, {true, 30, 2, 1996, false}, {true, 29, 2, 1900, false},
        {true, 31, 4, 2001, false},  {true, 0, 6, 2001, false},  {true, 1, 13, 2001, false},
        {true, 1, 0, 2001, false},   {true, 1, 1, 1600, false},  {true, 1, 1, 30828, false},
        {true, 29, 2, 2001, false},  {true, 1, 1, 0, false},     {false, 13, 14, 15, true},
        {false, 23, 59, 59, true},   {false, 24, 0, 0, false},   {false, 23, 60, 0, false},
        {false, 23, 59, 60, false},  {false, -1, 0, 0, false}};
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    for (auto [set_date, a, b, c, ok] : rows) {
        SCOPED_TRACE(testing::Message() << a << " " << b << " " << c);
        const BiBrokenDownTime t = now();
        const int64_t offset = brtl::platform::clock_offset_milliseconds();
        EXPECT_EQ((set_date ? ZrIntlSetSystemDate : ZrIntlSetSystemTime)(a, b, c), ok ? 0 : 1);
        EXPECT_TRUE(ok || brtl::platform::clock_offset_milliseconds() == offset);
        int y = t.tm_year + 1900, m = t.tm_mon + 1, d = t.tm_mday;
        int h = t.tm_hour, n = t.tm_min, s = t.tm_sec;
        if (ok && set_date) std::tie(d, m, y) = std::tie(a, b, c);
        if (ok && !set_date) std::tie(h, n, s) = std::tie(a, b, c);
        expect_date(y, m, d);
        expect_time(h, n, s);
    }
    // Only the low 16 bits of each argument count.
    EXPECT_EQ(ZrIntlSetSystemDate(15 + 65536, 6 + 3 * 65536, 2001 - 65536), 0);
    EXPECT_EQ(ZrIntlSetSystemTime(13 + 65536, 20 - 2 * 65536, 15 + 65536), 0);
    expect_date(2001, 6, 15);
    expect_time(13, 20, 15);
    // The set clock keeps running from millisecond 0; Timer counts seconds from midnight with
    // their milliseconds.
    ASSERT_EQ(ZrIntlSetSystemTime(10, 0, 0), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    expect_time(10, 0, 1);
    VARIANT v{};
    ZbiBuiltIn_Timer(&v);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_GE(v.dblVal, 36001.1);
    EXPECT_LT(v.dblVal, 36003.0);
}

TEST_F(ClockTest, TheBuiltinsReadTheLibraryClock) {
    // In a locale with day-month-year order and full stops: the texts of Date and Time keep
    // their own form; the Date statement reads month first, with the locale's date separator
    // and the Time statement with its time separator, but only "/", "-" and ":" under the
    // strict limits.
    write_intl_profile("sShortDate=dd.MM.yyyy\nsTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        set_clock(1996, 1, 5, 9, 8, 7);
        EXPECT_EQ(take(ZbiBuiltIn_Date_()), "01-05-1996");
        std::string t = take(ZbiBuiltIn_Time_());
        EXPECT_TRUE(std::regex_match(t, std::regex("09:08:0[789]"))) << t;
        ZbiBuiltIn_DateStmt_("12.31.95");
        ZbiBuiltIn_TimeStmt_("14.05.07");
        expect_date(1995, 12, 31);
        expect_time(14, 5, 7);
        EXPECT_TRUE(traps().empty());
        host().strict_limits = true;
        ZbiBuiltIn_DateStmt_("1.2.1996");
        ZbiBuiltIn_TimeStmt_("15.06");
        EXPECT_EQ(traps(), (std::vector<Trap>(2, trap5[0])));
        expect_date(1995, 12, 31);
        ZbiBuiltIn_DateStmt_("1/2/1996");
        ZbiBuiltIn_TimeStmt_("15:06");
        expect_date(1996, 1, 2);
        expect_time(15, 6, 0);
    });
    write_intl_profile("");
    set_clock(1996, 1, 5, 10, 30, 15);
    const double day = ymd(1996, 1, 5), time = hms(10, 30, 15), two = hms(0, 0, 2);
    using Read = VARIANT *(*)(VARIANT *);
    const std::tuple<Read, int, double, double> rows[] = {
        {ZbiBuiltIn_Date, VT_DATE, day, day},
        {ZbiBuiltIn_Now, VT_DATE, day + time, day + time + two},
        {ZbiBuiltIn_Time, VT_DATE, time, time + two},
        {ZbiBuiltIn_Timer, VT_R8, time * 86400, time * 86400 + 2}};
    for (auto [fn, vt, low, high] : rows) {
        VARIANT v{};
        fn(&v);
        EXPECT_EQ(v.vt, vt);
        EXPECT_GE(v.dblVal, low); // a Date and a Double share their storage
        EXPECT_LE(v.dblVal, high);
    }
    std::string text = take(ZbiBuiltIn_Time_());
    EXPECT_TRUE(std::regex_match(text, std::regex("10:30:1[567]"))) << text;
    ASSERT_EQ(ZrIntlSetSystemDate(31, 12, 12345), 0);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "12-31-12345");
    EXPECT_TRUE(traps().empty());
    BlockBalance balance;
    fail_allocations_after(0, true);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "");
    EXPECT_EQ(take(ZbiBuiltIn_Time_()), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}, {7, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ClockTest, StatementsWithText) {
    // The Date statement keeps the time of day, the Time statement the date; anything after
    // the seconds is ignored.
    set_clock(2001, 1, 5, 1, 2, 3);
    for (auto [text, y, m, d] :
         {std::tuple{"12-31-95", 1995, 12, 31}, std::tuple{"2/29/1996", 1996, 2, 29}}) {
        ZbiBuiltIn_DateStmt_(text);
        expect_date(y, m, d);
        expect_time(1, 2, 3);
    }
    for (auto [text, h, n, s] : {std::tuple{"14", 14, 0, 0}, std::tuple{"14:05:07 PM", 14, 5, 7},
                                 std::tuple{"0:0:0", 0, 0, 0}}) {
        ZbiBuiltIn_TimeStmt_(text);
        expect_time(h, n, s);
    }
    expect_date(1996, 2, 29);
    EXPECT_TRUE(traps().empty());
    // Trap 5 and the clock unchanged: mixed separators, too short, too long, a full stop that
    // is not the locale's separator, a day the month lacks, all digits, a single separator, a
    // year the clock refuses; times out of range or badly separated.
    auto refused = [&](void (*statement)(const char *), const char *text) {
        clear_traps();
        statement(text);
        EXPECT_EQ(traps(), trap5) << text;
        expect_date(1996, 2, 29);
        expect_time(0, 0, 0);
    };
    for (const char *text : {"12/31-95", "1/1/1", "12/31/1995 1", "12.31.95", "2/30/1996",
                             "12311995", "12/311995", "1/1/1600", "", "-1/-1/1996"})
        refused(ZbiBuiltIn_DateStmt_, text);
    for (const char *text : {"14::05", "14:x", "25:00", "", "65550", "99999999999999999999"})
        refused(ZbiBuiltIn_TimeStmt_, text);
}

TEST_F(ClockTest, StatementsWithVariants) {
    set_clock(2001, 1, 5, 1, 2, 3);
    ZbiBuiltIn_DateStmt(bstr_variant("Jan 5, 1996 10:30"));
    expect_date(1996, 1, 5);
    expect_time(1, 2, 3); // the Date statement keeps the time of day
    ZbiBuiltIn_DateStmt(date(ymd(1999, 12, 31, 18, 0, 0)));
    expect_date(1999, 12, 31);
    ZbiBuiltIn_TimeStmt(bstr_variant("10:30:15 PM"));
    expect_time(22, 30, 15);
    expect_date(1999, 12, 31);
    ZbiBuiltIn_TimeStmt(date(ymd(1700, 1, 1, 6, 45, 0))); // the time reads forward
    expect_time(6, 45, 0);
    ZbiBuiltIn_TimeStmt(bstr_variant("1/2/96"));
    expect_time(0, 0, 0);
    EXPECT_TRUE(traps().empty());
    // Other subtypes, texts that are no date or time, and a Date outside the years 100-9999
    // are type mismatches; a date the clock cannot hold is trap 5.
    BlockBalance balance;
    for (VARIANT v : {i2(5), r8(35000.0), null_variant(), empty_variant(), boolean(true)}) {
        clear_traps();
        ZbiBuiltIn_DateStmt(v);
        ZbiBuiltIn_TimeStmt(v);
        EXPECT_EQ(traps(), (std::vector<Trap>(2, trap13[0]))) << v.vt;
    }
    clear_traps();
    ZbiBuiltIn_DateStmt(bstr_variant("not a date"));
    ZbiBuiltIn_TimeStmt(bstr_variant("25:00"));
    ZbiBuiltIn_DateStmt(date(2958466.0));
    ZbiBuiltIn_DateStmt(date(NAN));
    EXPECT_EQ(traps(), (std::vector<Trap>(4, trap13[0])));
    clear_traps();
    ZbiBuiltIn_DateStmt(bstr_variant("1/1/1500"));
    EXPECT_EQ(traps(), trap5);
    expect_date(1999, 12, 31);
    EXPECT_EQ(balance.delta(), 0);
    // The Variant is released when the hook throws.
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_DateStmt(bstr_variant("not a date")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_TimeStmt(bstr_variant("99:99")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateStmt(bstr_variant("1/1/1500")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ClockTest, ABrokenDownTimeToADate) {
    // {sec, min, hour, mday, mon, year - 1900, wday}: before day 0 the time still reads forward
    // from midnight; out-of-range fields carry as DateSerial and TimeSerial carry them.
    const std::pair<BiBrokenDownTime, double> rows[] = {
        {{15, 30, 10, 5, 0, 96, 5}, ymd(1996, 1, 5, 10, 30, 15)},
        {{0, 0, 18, 1, 0, -100, 0}, ymd(1800, 1, 1, 18, 0, 0)},
        {{0, 0, 25, 31, 1, 96, 0}, ymd(1996, 3, 3, 1, 0, 0)}, // 31 February, 25:00
    };
    VARIANT v{};
    for (auto [t, expected] : rows) {
        ZbiCvtCTimeToVariantDate(&v, &t);
        EXPECT_EQ(v.vt, VT_DATE);
        EXPECT_DOUBLE_EQ(v.date, expected);
    }
    EXPECT_TRUE(traps().empty());
    // A year outside 100-9999: Null after trap 5, also for fields that would overflow.
    for (BiBrokenDownTime bad :
         {BiBrokenDownTime{0, 0, 0, 1, 0, 8100, 0}, BiBrokenDownTime{0, 0, 0, 1, 0, INT32_MAX, 0},
          BiBrokenDownTime{0, 0, 0, 1, INT32_MAX, 96, 0}}) {
        clear_traps();
        ZbiCvtCTimeToVariantDate(&v, &bad);
        EXPECT_EQ(v.vt, VT_NULL);
        EXPECT_EQ(traps(), trap5);
    }
}
