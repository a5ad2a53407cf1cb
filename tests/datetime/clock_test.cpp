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
    static int64_t time_of_day(const BiBrokenDownTime &t) {
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
    std::time_t machine = std::time(nullptr);
    std::tm m = *std::localtime(&machine);
    BiBrokenDownTime t = now();
    const double diff = (ymd(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday) -
                         ymd(m.tm_year + 1900, m.tm_mon + 1, m.tm_mday)) *
                            86400 +
                        time_of_day(t) - (m.tm_hour * 3600 + m.tm_min * 60 + m.tm_sec);
    EXPECT_LE(std::abs(diff), 2);
    expect_date(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    EXPECT_GE(t.tm_sec, 0);
    EXPECT_LE(t.tm_sec, 59);
    // Setting the date keeps the time of day and leaves the machine's clock.
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    expect_date(2001, 6, 15);
    EXPECT_EQ(now().tm_wday, 5); // a Friday
    expect_time(m.tm_hour, m.tm_min, m.tm_sec);
    EXPECT_LE(std::time(nullptr) - machine, 2);
}

TEST_F(ClockTest, SettingTheDate) {
    // {day, month, year, accepted}: the clock keeps the years 1601-30827; the leap rule.
    const struct {
        int32_t day, month, year;
        bool ok;
    } rows[] = {{29, 2, 1996, true},   {29, 2, 2000, true},  {1, 1, 1601, true},
                {31, 12, 30827, true}, {31, 2, 1996, false}, {30, 2, 1996, false},
                {29, 2, 1900, false},  {29, 2, 2001, false}, {31, 4, 2001, false},
                {0, 6, 2001, false},   {1, 13, 2001, false}, {1, 0, 2001, false},
                {1, 1, 1600, false},   {1, 1, 30828, false}, {-1, 6, 2001, false},
                {1, 1, 0, false},      {31, 12, 205, false}};
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << r.day << "/" << r.month << "/" << r.year);
        ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
        const int64_t offset = brtl::pf::clock_offset_milliseconds();
        EXPECT_EQ(ZrIntlSetSystemDate(r.day, r.month, r.year), r.ok ? 0 : 1);
        if (r.ok)
            expect_date(r.year, r.month, r.day);
        else
            EXPECT_EQ(brtl::pf::clock_offset_milliseconds(), offset);
    }
    // Only the low 16 bits of each argument count.
    EXPECT_EQ(ZrIntlSetSystemDate(15 + 65536, 6 + 3 * 65536, 2001 - 65536), 0);
    expect_date(2001, 6, 15);
}

TEST_F(ClockTest, SettingTheTime) {
    ASSERT_EQ(ZrIntlSetSystemDate(15, 6, 2001), 0);
    ASSERT_EQ(ZrIntlSetSystemTime(13, 14, 15), 0);
    expect_date(2001, 6, 15);
    expect_time(13, 14, 15);
    EXPECT_EQ(ZrIntlSetSystemTime(13 + 65536, 20 - 2 * 65536, 15 + 65536), 0);
    expect_time(13, 20, 15);
    EXPECT_EQ(ZrIntlSetSystemTime(23, 59, 59), 0);
    ASSERT_EQ(ZrIntlSetSystemTime(0, 0, 0), 0);
    const int64_t offset = brtl::pf::clock_offset_milliseconds();
    for (auto [h, n, s] : {std::tuple{24, 0, 0}, std::tuple{25, 0, 0}, std::tuple{23, 60, 0},
                           std::tuple{23, 59, 60}, std::tuple{-1, 0, 0}})
        EXPECT_EQ(ZrIntlSetSystemTime(h, n, s), 1) << h << ":" << n << ":" << s;
    EXPECT_EQ(brtl::pf::clock_offset_milliseconds(), offset);
    // The set clock keeps running from millisecond 0.
    ASSERT_EQ(ZrIntlSetSystemTime(10, 0, 0), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    expect_time(10, 0, 1);
}

TEST_F(ClockTest, TheBuiltinsReadTheLibraryClock) {
    set_clock(1996, 1, 5, 10, 30, 15);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    VARIANT v{};
    ZbiBuiltIn_Date(&v);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, ymd(1996, 1, 5));
    ZbiBuiltIn_Now(&v);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_GE(v.date, ymd(1996, 1, 5, 10, 30, 15));
    EXPECT_LE(v.date, ymd(1996, 1, 5, 10, 30, 17));
    ZbiBuiltIn_Time(&v);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_GE(v.date, hms(10, 30, 15));
    EXPECT_LE(v.date, hms(10, 30, 17));
    // Timer counts seconds from midnight with their milliseconds.
    ZbiBuiltIn_Timer(&v);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_GE(v.dblVal, 10 * 3600 + 30 * 60 + 15.25);
    EXPECT_LT(v.dblVal, 10 * 3600 + 30 * 60 + 17.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ClockTest, DateAndTimeTextsIgnoreTheLocale) {
    // The Time statement takes the locale's separator, but only ":" under the strict limits.
    write_intl_profile("sShortDate=dd.MM.yyyy\nsTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        set_clock(1996, 1, 5, 9, 8, 7);
        EXPECT_EQ(take(ZbiBuiltIn_Date_()), "01-05-1996");
        std::string t = take(ZbiBuiltIn_Time_());
        EXPECT_TRUE(std::regex_match(t, std::regex("09:08:0[789]"))) << t;
        ZbiBuiltIn_TimeStmt_("14.05.07");
        expect_time(14, 5, 7);
        host().strict_limits = true;
        ZbiBuiltIn_TimeStmt_("15.06");
        EXPECT_EQ(traps(), trap5);
        ZbiBuiltIn_TimeStmt_("15:06");
        expect_time(15, 6, 0);
    });
    write_intl_profile("");
    set_clock(1996, 1, 5, 9, 8, 7);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "01-05-1996");
    std::string time = take(ZbiBuiltIn_Time_());
    EXPECT_TRUE(std::regex_match(time, std::regex("09:08:0[789]"))) << time;
    ASSERT_EQ(ZrIntlSetSystemDate(31, 12, 12345), 0);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "12-31-12345");
    BlockBalance balance;
    fail_allocations_after(0, true);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "");
    EXPECT_EQ(take(ZbiBuiltIn_Time_()), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}, {7, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ClockTest, DateStatementWithText) {
    // The locale's separator, but only "/" and "-" under the strict limits.
    write_intl_profile("sShortDate=MM.dd.yyyy\n");
    BRTL_IN_FRESH_PROCESS({
        ZbiBuiltIn_DateStmt_("12.31.95");
        expect_date(1995, 12, 31);
        EXPECT_TRUE(traps().empty());
        host().strict_limits = true;
        ZbiBuiltIn_DateStmt_("1.2.1996");
        EXPECT_EQ(traps(), trap5);
        expect_date(1995, 12, 31);
        ZbiBuiltIn_DateStmt_("1/2/1996");
        expect_date(1996, 1, 2);
    });
    write_intl_profile("");
    for (auto [text, y, m, d] :
         {std::tuple{"12-31-95", 1995, 12, 31}, std::tuple{"2/29/1996", 1996, 2, 29},
          std::tuple{"1/5/2001", 2001, 1, 5}}) {
        ZbiBuiltIn_DateStmt_(text);
        expect_date(y, m, d);
    }
    EXPECT_TRUE(traps().empty());
    // Mixed separators, too short, too long, a full stop that is not the locale's separator,
    // a day the month lacks, all digits, a single separator, a year the clock refuses: trap 5,
    // the date unchanged.
    for (const char *text : {"12/31-95", "1/1/1", "12/31/1995 1", "12.31.95", "2/30/1996",
                             "12311995", "12/311995", "1/1/1600", "", "-1/-1/1996"}) {
        clear_traps();
        ZbiBuiltIn_DateStmt_(text);
        EXPECT_EQ(traps(), trap5) << text;
        expect_date(2001, 1, 5);
    }
}

TEST_F(ClockTest, TimeStatementWithText) {
    set_clock(2001, 1, 5, 1, 2, 3);
    // Anything after the seconds is ignored.
    for (auto [text, h, n, s] :
         {std::tuple{"14", 14, 0, 0}, std::tuple{"14:5", 14, 5, 0},
          std::tuple{"14:05:07 PM", 14, 5, 7}, std::tuple{"0:0:0", 0, 0, 0}}) {
        ZbiBuiltIn_TimeStmt_(text);
        expect_time(h, n, s);
    }
    EXPECT_TRUE(traps().empty());
    expect_date(2001, 1, 5);
    for (const char *text : {"14::05", "14:x", "25:00", "", ":", "14 05", "10:60", "-1", "65550",
                             "99999999999999999999"}) {
        clear_traps();
        ZbiBuiltIn_TimeStmt_(text);
        EXPECT_EQ(traps(), trap5) << text;
        expect_time(0, 0, 0);
    }
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
