// The calendar of the date serial against a proleptic Gregorian calendar counted day by day,
// DateSerial's carrying of months and days, TimeSerial and the date check.
#include <cmath>
#include <vector>

#include "datetime/calendar.h"
#include "harness/harness.h"

using namespace brtl_test;

namespace {

class CalendarTest : public RuntimeTest {};

// The independent calendar: a date that steps one day at a time with its own month lengths and
// leap rule (valid for negative years too: only a zero remainder is tested).
struct CountedDate {
    int year, month, day;

    static bool leap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }
    int month_length() const {
        static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return month == 2 && leap(year) ? 29 : lengths[month - 1];
    }
    void next() {
        if (++day > month_length()) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    bool operator==(const CountedDate &) const = default;
};

// The number of days from `from` to `to` by counting.
long count_days(CountedDate from, const CountedDate &to) {
    long n = 0;
    while (!(from == to)) {
        from.next();
        ++n;
    }
    return n;
}

VARIANT date_serial(int32_t y, int32_t m, int32_t d) {
    VARIANT v{};
    ZbiBuiltIn_DateSerial(&v, y, m, d);
    return v;
}

// The serial of y-m-d by the counting calendar (day 0 is 30 December 1899).
double counted_serial(int y, int m, int d) {
    const CountedDate day_zero{1899, 12, 30};
    CountedDate target{y, m, d};
    if (y > 1899 || (y == 1899 && (m == 12 && d >= 30)))
        return static_cast<double>(count_days(day_zero, target));
    return -static_cast<double>(count_days(target, day_zero));
}

} // namespace

TEST_F(CalendarTest, EveryValidDayMatchesTheCountedCalendarBothWays) {
    CountedDate day{100, 1, 1};
    double serial = counted_serial(100, 1, 1);
    ASSERT_EQ(serial, -657434.0);
    int weekday = 0;
    long mismatches = 0;
    for (;;) {
        if (brtl::ymd_to_serial(day.day, day.month, day.year) != serial) ++mismatches;
        brtl::Ymd back = brtl::serial_to_ymd(serial);
        if (back.day != day.day || back.month != day.month || back.year != day.year) ++mismatches;
        // A time of day does not change the date, on either side of day 0.
        brtl::Ymd timed = brtl::serial_to_ymd(serial < 0 ? serial - 0.75 : serial + 0.75);
        if (timed.day != day.day || timed.year != day.year) ++mismatches;
        VARIANT v = date_serial(day.year, day.month, day.day);
        if (v.vt != VT_DATE || v.date != serial) ++mismatches;
        if (!ZbiValidDate(day.year, day.month, day.day)) ++mismatches;
        // Weekdays run 1 (Sunday) to 7 (Saturday) without a break; day 0 is a Saturday.
        int wd = brtl::weekday_of_day(static_cast<int64_t>(serial));
        if (weekday != 0 && wd != weekday % 7 + 1) ++mismatches;
        weekday = wd;
        if (serial == 0.0 && wd != 7) ++mismatches;
        if (day == CountedDate{9999, 12, 31}) break;
        day.next();
        serial += 1.0;
        if (mismatches > 0) break; // report the first failing day
    }
    EXPECT_EQ(mismatches, 0) << day.year << "-" << day.month << "-" << day.day;
    EXPECT_EQ(serial, 2958465.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CalendarTest, TheCalendarContinuesBeyondTheValidYears) {
    // Year 0 is a leap year and years before it count on backwards; DateAdd reaches year 0 and
    // 10000, and the interval functions read far beyond.
    CountedDate day{-2001, 1, 1};
    double serial = counted_serial(-2001, 1, 1);
    long mismatches = 0;
    while (!(day == CountedDate{12000, 12, 31}) && mismatches == 0) {
        if (brtl::ymd_to_serial(day.day, day.month, day.year) != serial) ++mismatches;
        brtl::Ymd back = brtl::serial_to_ymd(serial);
        if (back.day != day.day || back.month != day.month || back.year != day.year) ++mismatches;
        day.next();
        serial += 1.0;
    }
    EXPECT_EQ(mismatches, 0) << day.year << "-" << day.month << "-" << day.day;
    EXPECT_EQ(brtl::ymd_to_serial(1, 1, 0), -693959.0);
    EXPECT_EQ(brtl::ymd_to_serial(29, 2, 0), -693900.0);
}

TEST_F(CalendarTest, MonthsAndDaysOutsideTheirRangesCarry) {
    // Month 0 is December of the year before, 13 January of the next; day 0 is the last day of
    // the month before.
    EXPECT_EQ(brtl::ymd_to_serial(1, 0, 2000), counted_serial(1999, 12, 1));
    EXPECT_EQ(brtl::ymd_to_serial(1, 13, 2000), counted_serial(2001, 1, 1));
    EXPECT_EQ(brtl::ymd_to_serial(1, -1, 2000), counted_serial(1999, 11, 1));
    EXPECT_EQ(brtl::ymd_to_serial(0, 3, 1996), counted_serial(1996, 2, 29));
    EXPECT_EQ(brtl::ymd_to_serial(32, 1, 1996), counted_serial(1996, 2, 1));
}

TEST_F(CalendarTest, DateSerialOfTheDocumentedDays) {
    struct Case {
        int32_t y, m, d;
        int ey, em, ed;
    };
    const Case cases[] = {
        {1899, 12, 30, 1899, 12, 30}, {95, 1, 1, 1995, 1, 1},     {99, 13, 1, 2000, 1, 1},
        {2000, 0, 1, 1999, 12, 1},    {2000, 24, 1, 2001, 12, 1}, {2000, -12, 15, 1998, 12, 15},
        {1996, 2, 30, 1996, 3, 1},    {1996, 3, 0, 1996, 2, 29},  {1996, 2, 29, 1996, 2, 29},
        {1997, 2, 29, 1997, 3, 1},    {1996, 4, 31, 1996, 5, 1},  {0, 1, 1, 1900, 1, 1},
        {9998, 24, 1, 9999, 12, 1},   {100, 1, 1, 100, 1, 1},
    };
    for (const Case &c : cases) {
        VARIANT v = date_serial(c.y, c.m, c.d);
        EXPECT_EQ(v.vt, VT_DATE) << c.y << "/" << c.m << "/" << c.d;
        EXPECT_EQ(v.date, counted_serial(c.ey, c.em, c.ed)) << c.y << "/" << c.m << "/" << c.d;
    }
    EXPECT_EQ(date_serial(1899, 12, 30).date, 0.0);
    EXPECT_EQ(date_serial(100, 1, 1).date, -657434.0);
    EXPECT_EQ(date_serial(9999, 12, 31).date, 2958465.0);
    // Day 400 of January rolls forward 399 days, whatever the months in between.
    EXPECT_EQ(date_serial(1996, 1, 400).date, counted_serial(1996, 1, 1) + 399.0);
    // Extreme days are added as they are, without overflow.
    EXPECT_EQ(date_serial(2000, 1, INT32_MIN).date,
              counted_serial(2000, 1, 1) + static_cast<double>(INT32_MIN) - 1.0);
    EXPECT_EQ(date_serial(2000, 1, INT32_MAX).date,
              counted_serial(2000, 1, 1) + static_cast<double>(INT32_MAX) - 1.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CalendarTest, DateSerialOutsideTheYearsRaisesTrapFiveAndGivesEmpty) {
    const int32_t bad[][3] = {{100, 0, 1},       {10000, 1, 1},        {-1, 1, 1},
                              {9999, 13, 1},     {2000, INT32_MAX, 1}, {2000, INT32_MIN, 1},
                              {INT32_MIN, 1, 1}, {INT32_MAX, 1, 1}};
    for (const auto &b : bad) {
        clear_traps();
        VARIANT v = date_serial(b[0], b[1], b[2]);
        EXPECT_EQ(v.vt, VT_EMPTY) << b[0] << "/" << b[1];
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}})) << b[0] << "/" << b[1];
    }
    set_mode(HookMode::Throw);
    VARIANT v{};
    EXPECT_THROW(ZbiBuiltIn_DateSerial(&v, 10000, 1, 1), TrapException);
}

TEST_F(CalendarTest, ValidDateKnowsTheMonthLengthsAndTheLeapRule) {
    EXPECT_FALSE(ZbiValidDate(1900, 2, 29));
    EXPECT_TRUE(ZbiValidDate(2000, 2, 29));
    EXPECT_TRUE(ZbiValidDate(1996, 2, 29));
    EXPECT_FALSE(ZbiValidDate(1997, 2, 29));
    EXPECT_FALSE(ZbiValidDate(1996, 2, 30));
    EXPECT_FALSE(ZbiValidDate(99, 1, 1));
    EXPECT_FALSE(ZbiValidDate(10000, 1, 1));
    EXPECT_TRUE(ZbiValidDate(100, 1, 1));
    EXPECT_TRUE(ZbiValidDate(9999, 12, 31));
    EXPECT_FALSE(ZbiValidDate(1996, 4, 31));
    EXPECT_TRUE(ZbiValidDate(1996, 7, 31));
    EXPECT_FALSE(ZbiValidDate(1996, 0, 1));
    EXPECT_FALSE(ZbiValidDate(1996, 13, 1));
    EXPECT_FALSE(ZbiValidDate(1996, 1, 0));
    EXPECT_FALSE(ZbiValidDate(1996, 1, 32));
    EXPECT_FALSE(ZbiValidDate(1996, 1, INT32_MIN));
}

TEST_F(CalendarTest, TimeSerialIsUncheckedArithmetic) {
    VARIANT v{};
    ZbiBuiltIn_TimeSerial(&v, 25, 0, 0);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(v.date, 25.0 / 24.0);
    ZbiBuiltIn_TimeSerial(&v, -1, 0, 0);
    EXPECT_DOUBLE_EQ(v.date, -1.0 / 24.0);
    ZbiBuiltIn_TimeSerial(&v, 10, 20, 30);
    EXPECT_DOUBLE_EQ(v.date, (10 * 3600 + 20 * 60 + 30) / 86400.0);
    // Large arguments are summed in double, not in 32 bits.
    ZbiBuiltIn_TimeSerial(&v, INT32_MAX, INT32_MAX, INT32_MAX);
    EXPECT_DOUBLE_EQ(v.date, 3661.0 * INT32_MAX / 86400.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CalendarTest, DayAndTimeOfASerialReadTheTimeForwardFromMidnight) {
    EXPECT_EQ(brtl::serial_day(-1.25), -1);
    EXPECT_EQ(brtl::serial_time(-1.25), 0.25);
    EXPECT_EQ(brtl::serial_day(-0.5), 0);
    EXPECT_EQ(brtl::combine_serial(-1, 0.25), -1.25);
    EXPECT_EQ(brtl::combine_serial(2, 0.25), 2.25);
    // 29 December 1899 06:00 lies 0.75 days before day 0 began.
    EXPECT_EQ(brtl::serial_to_linear(-1.25), -0.75);
    EXPECT_EQ(brtl::linear_to_serial(-0.75), -1.25);
    EXPECT_EQ(brtl::linear_to_serial(-0.25), -1.75);
    EXPECT_EQ(brtl::linear_to_serial(3.5), 3.5);
    EXPECT_EQ(brtl::serial_to_linear(3.5), 3.5);
    EXPECT_EQ(brtl::weekday_of_day(0), 7);
    EXPECT_EQ(brtl::weekday_of_day(1), 1);
    EXPECT_EQ(brtl::weekday_of_day(-1), 6);
    EXPECT_EQ(brtl::weekday_of_day(-700000), brtl::weekday_of_day(-700000 + 7 * 1000));
    EXPECT_TRUE(brtl::in_calendar_domain(2958466.0));
    EXPECT_FALSE(brtl::in_calendar_domain(NAN));
    EXPECT_FALSE(brtl::in_calendar_domain(INFINITY));
    EXPECT_FALSE(brtl::in_calendar_domain(1e300));
}
