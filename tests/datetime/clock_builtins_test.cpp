// Now, Timer, Date and Time in their Variant and string forms, the statements that set the date
// and the time (on the library clock: the machine's clock is never changed), and the Date of a
// broken-down time.
#include <cmath>
#include <regex>
#include <string>

#include "date_fixture.h"
#include "harness/fresh_process.h"

using namespace brtl_test;

namespace {

class ClockBuiltinsTest : public DateTest {
  protected:
    static BiBrokenDownTime clock() {
        BiBrokenDownTime t{};
        ZrIntlGetSystemDateTime(&t);
        return t;
    }
    static void expect_clock_date(int y, int m, int d) {
        BiBrokenDownTime t = clock();
        EXPECT_EQ(t.tm_year + 1900, y);
        EXPECT_EQ(t.tm_mon + 1, m);
        EXPECT_EQ(t.tm_mday, d);
    }
    // The clock's time of day in seconds, within `slack` seconds of the expected one.
    static void expect_clock_time(int h, int n, int s, int slack = 2) {
        BiBrokenDownTime t = clock();
        int got = t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
        int want = h * 3600 + n * 60 + s;
        EXPECT_GE(got, want);
        EXPECT_LE(got, want + slack) << t.tm_hour << ":" << t.tm_min << ":" << t.tm_sec;
    }
    static void set_clock(int y, int m, int d, int h, int n, int s) {
        ASSERT_EQ(ZrIntlSetSystemDate(d, m, y), 0);
        ASSERT_EQ(ZrIntlSetSystemTime(h, n, s), 0);
    }
    const std::vector<Trap> trap5{{5, Family::Trap, ""}};
    const std::vector<Trap> trap13{{13, Family::Trap, ""}};
};

} // namespace

TEST_F(ClockBuiltinsTest, TheBuiltinsReadTheLibraryClock) {
    set_clock(1996, 1, 5, 10, 30, 15);
    VARIANT v{};
    ZbiBuiltIn_Date(&v);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, civil_serial(1996, 1, 5));
    ZbiBuiltIn_Now(&v);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_GE(v.date, civil_serial(1996, 1, 5, 10, 30, 15));
    EXPECT_LE(v.date, civil_serial(1996, 1, 5, 10, 30, 17));
    ZbiBuiltIn_Time(&v);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_GE(v.date, hms(10, 30, 15));
    EXPECT_LE(v.date, hms(10, 30, 17));
    ZbiBuiltIn_Timer(&v);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_GE(v.dblVal, 10 * 3600 + 30 * 60 + 15.0);
    EXPECT_LT(v.dblVal, 10 * 3600 + 30 * 60 + 17.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ClockBuiltinsTest, TimerCountsMillisecondsFromMidnight) {
    VARIANT first{}, second{};
    ZbiBuiltIn_Timer(&first);
    BiBrokenDownTime t = clock();
    double expected = t.tm_hour * 3600.0 + t.tm_min * 60 + t.tm_sec;
    EXPECT_NEAR(first.dblVal, expected, 1.5);
    ZbiBuiltIn_Timer(&second);
    // Not whole seconds: two reads in a row differ by far less than a second (unless they
    // straddle midnight).
    if (second.dblVal >= first.dblVal) {
        EXPECT_LT(second.dblVal - first.dblVal, 0.5);
    }
}

TEST_F(ClockBuiltinsTest, DateAndTimeTextsIgnoreTheLocale) {
    set_clock(1996, 1, 5, 9, 8, 7);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "01-05-1996");
    std::string time = take(ZbiBuiltIn_Time_());
    EXPECT_TRUE(std::regex_match(time, std::regex("09:08:0[789]"))) << time;
    ASSERT_EQ(ZrIntlSetSystemDate(31, 12, 205), 1); // the clock keeps years 1601-30827
    ASSERT_EQ(ZrIntlSetSystemDate(31, 12, 12345), 0);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "12-31-12345");

    write_intl_profile("sShortDate=dd.MM.yyyy\nsTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        set_clock(1996, 1, 5, 9, 8, 7);
        EXPECT_EQ(take(ZbiBuiltIn_Date_()), "01-05-1996");
        std::string t = take(ZbiBuiltIn_Time_());
        EXPECT_TRUE(std::regex_match(t, std::regex("09:08:0[789]"))) << t;
    });
}

TEST_F(ClockBuiltinsTest, DateAndTimeTextsWithoutMemory) {
    BlockBalance balance;
    fail_allocations_after(0, true);
    EXPECT_EQ(take(ZbiBuiltIn_Date_()), "");
    EXPECT_EQ(take(ZbiBuiltIn_Time_()), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{7, Family::Trap, ""}, {7, Family::Trap, ""}}));
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ClockBuiltinsTest, DateStatementWithText) {
    ZbiBuiltIn_DateStmt_("12-31-95");
    expect_clock_date(1995, 12, 31);
    ZbiBuiltIn_DateStmt_("2/29/1996");
    expect_clock_date(1996, 2, 29);
    ZbiBuiltIn_DateStmt_("1/5/2001");
    expect_clock_date(2001, 1, 5);
    EXPECT_TRUE(traps().empty());
    // Mixed separators, too short, too long, a full stop that is not the locale's separator,
    // a day the month lacks, all digits, a single separator, a year before 1601 the clock
    // refuses: trap 5, the date unchanged.
    for (const char *text : {"12/31-95", "1/1/1", "12/31/1995 1", "12.31.95", "2/30/1996",
                             "12311995", "12/311995", "1/1/1600", "", "-1/-1/1996"}) {
        clear_traps();
        ZbiBuiltIn_DateStmt_(text);
        EXPECT_EQ(traps(), trap5) << text;
        expect_clock_date(2001, 1, 5);
    }
}

TEST_F(ClockBuiltinsTest, DateStatementWithTheLocaleSeparator) {
    write_intl_profile("sShortDate=MM.dd.yyyy\n");
    BRTL_IN_FRESH_PROCESS({
        ZbiBuiltIn_DateStmt_("12.31.95");
        expect_clock_date(1995, 12, 31);
        EXPECT_TRUE(traps().empty());
        // Under the strict limits only "/" and "-" separate.
        host().strict_limits = true;
        ZbiBuiltIn_DateStmt_("1.2.1996");
        EXPECT_EQ(traps(), trap5);
        expect_clock_date(1995, 12, 31);
        ZbiBuiltIn_DateStmt_("1/2/1996");
        expect_clock_date(1996, 1, 2);
    });
}

TEST_F(ClockBuiltinsTest, TimeStatementWithText) {
    set_clock(2001, 1, 5, 1, 2, 3);
    ZbiBuiltIn_TimeStmt_("14");
    expect_clock_time(14, 0, 0);
    ZbiBuiltIn_TimeStmt_("14:5");
    expect_clock_time(14, 5, 0);
    ZbiBuiltIn_TimeStmt_("14:05:07 PM"); // anything after the seconds is ignored
    expect_clock_time(14, 5, 7);
    ZbiBuiltIn_TimeStmt_("0:0:0");
    expect_clock_time(0, 0, 0);
    EXPECT_TRUE(traps().empty());
    expect_clock_date(2001, 1, 5);
    for (const char *text : {"14::05", "14:x", "25:00", "", ":", "14 05", "10:60", "-1", "65550",
                             "99999999999999999999"}) {
        clear_traps();
        ZbiBuiltIn_TimeStmt_(text);
        EXPECT_EQ(traps(), trap5) << text;
        expect_clock_time(0, 0, 0);
    }
}

TEST_F(ClockBuiltinsTest, TimeStatementWithTheLocaleSeparator) {
    write_intl_profile("sTime=.\n");
    BRTL_IN_FRESH_PROCESS({
        ZbiBuiltIn_TimeStmt_("14.05.07");
        expect_clock_time(14, 5, 7);
        host().strict_limits = true;
        ZbiBuiltIn_TimeStmt_("15.06");
        EXPECT_EQ(traps(), trap5);
        ZbiBuiltIn_TimeStmt_("15:06");
        expect_clock_time(15, 6, 0);
    });
}

TEST_F(ClockBuiltinsTest, StatementsWithVariants) {
    set_clock(2001, 1, 5, 1, 2, 3);
    ZbiBuiltIn_DateStmt(bstr_variant("Jan 5, 1996 10:30"));
    expect_clock_date(1996, 1, 5);
    expect_clock_time(1, 2, 3); // the Date statement keeps the time of day
    ZbiBuiltIn_DateStmt(date(civil_serial(1999, 12, 31, 18, 0, 0)));
    expect_clock_date(1999, 12, 31);
    ZbiBuiltIn_TimeStmt(bstr_variant("10:30:15 PM"));
    expect_clock_time(22, 30, 15);
    expect_clock_date(1999, 12, 31);
    ZbiBuiltIn_TimeStmt(date(civil_serial(1700, 1, 1, 6, 45, 0))); // the time reads forward
    expect_clock_time(6, 45, 0);
    ZbiBuiltIn_TimeStmt(bstr_variant("1/2/96"));
    expect_clock_time(0, 0, 0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(ClockBuiltinsTest, StatementsRejectOtherSubtypesAndTexts) {
    set_clock(2001, 1, 5, 1, 2, 3);
    BlockBalance balance;
    for (VARIANT v : {i2(5), r8(35000.0), null_variant(), empty_variant(), boolean(true)}) {
        clear_traps();
        ZbiBuiltIn_DateStmt(v);
        EXPECT_EQ(traps(), trap13) << v.vt;
        clear_traps();
        ZbiBuiltIn_TimeStmt(v);
        EXPECT_EQ(traps(), trap13) << v.vt;
    }
    clear_traps();
    ZbiBuiltIn_DateStmt(bstr_variant("not a date"));
    ZbiBuiltIn_TimeStmt(bstr_variant("25:00"));
    // A Date outside the years 100-9999 is no date to set.
    ZbiBuiltIn_DateStmt(date(2958466.0));
    ZbiBuiltIn_DateStmt(date(NAN));
    EXPECT_EQ(traps(), (std::vector<Trap>(4, Trap{13, Family::Trap, ""})));
    // A date the clock cannot hold.
    clear_traps();
    ZbiBuiltIn_DateStmt(bstr_variant("1/1/1500"));
    EXPECT_EQ(traps(), trap5);
    expect_clock_date(2001, 1, 5);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ClockBuiltinsTest, StatementsReleaseTheirVariantWhenTheHookThrows) {
    VARIANT warm{};
    ZbiParseDateAndTime(&warm, temp("Jan 5"), 2, 1); // the host's words are read once
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(ZbiBuiltIn_DateStmt(bstr_variant("not a date")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_TimeStmt(bstr_variant("99:99")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateStmt(bstr_variant("1/1/1500")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(ClockBuiltinsTest, ABrokenDownTimeToADate) {
    VARIANT v{};
    BiBrokenDownTime t{15, 30, 10, 5, 0, 96, 5};
    ZbiCvtCTimeToVariantDate(&v, &t);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, civil_serial(1996, 1, 5, 10, 30, 15));
    // Before day 0 the time still reads forward from midnight.
    t = BiBrokenDownTime{0, 0, 18, 1, 0, -100, 0};
    ZbiCvtCTimeToVariantDate(&v, &t);
    EXPECT_DOUBLE_EQ(v.date, civil_serial(1800, 1, 1, 18, 0, 0));
    // Out-of-range fields carry as DateSerial and TimeSerial carry them.
    t = BiBrokenDownTime{0, 0, 25, 31, 1, 96, 0}; // 31 February, 25:00
    ZbiCvtCTimeToVariantDate(&v, &t);
    EXPECT_DOUBLE_EQ(v.date, civil_serial(1996, 3, 3, 1, 0, 0));
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
