// DateAdd, DateDiff and DatePart: month ends, leap years, week counting against counted Sundays,
// dates before day 0, the range limits, overflow, Null, the interval codes and the ownership of
// the arguments.
#include "date_fixture.h"

using namespace brtl_test;

namespace {

class IntervalsTest : public DateTest {
  protected:
    static VARIANT add(const std::string &interval, int32_t count, double serial) {
        VARIANT v{};
        ZbiBuiltIn_DateAdd(&v, temp(interval), count, date(serial));
        return v;
    }
    static VARIANT diff(const std::string &interval, double a, double b) {
        VARIANT v{};
        ZbiBuiltIn_DateDiff(&v, temp(interval), date(a), date(b));
        return v;
    }
    // DateDiff's value (Integer or Long), or -999999 for any other result.
    static int64_t diff_value(const std::string &interval, double a, double b) {
        VARIANT v = diff(interval, a, b);
        return v.vt == VT_I2 ? v.iVal : v.vt == VT_I4 ? v.lVal : -999999;
    }
    static VARIANT part(const std::string &interval, double serial) {
        VARIANT v{};
        ZbiBuiltIn_DatePart(&v, temp(interval), date(serial));
        return v;
    }
    static int part_value(const std::string &interval, double serial) {
        VARIANT v = part(interval, serial);
        return v.vt == VT_I2 ? v.iVal : -9999;
    }
};

} // namespace

TEST_F(IntervalsTest, DateAdd) {
    // Months keep the end of the month, years do not; the time of day stays, also before day 0
    // (29 December 1899 06:00 is -1.25); days carry no range check; year 0 is a leap year; large
    // counts do not overflow 32 bits on the way.
    const struct {
        const char *interval;
        int32_t count;
        double serial, expected;
    } rows[] = {
        {"m", 1, ymd(1996, 1, 31), ymd(1996, 2, 29)},
        {"m", 1, ymd(1997, 1, 31), ymd(1997, 2, 28)},
        {"m", -1, ymd(1996, 3, 31), ymd(1996, 2, 29)},
        {"m", 1, ymd(1996, 3, 31), ymd(1996, 4, 30)},
        {"m", 12, ymd(1995, 12, 31), ymd(1996, 12, 31)},
        {"m", 24, ymd(1995, 12, 31), ymd(1997, 12, 31)},
        {"m", -12, ymd(1995, 12, 31), ymd(1994, 12, 31)},
        {"m", 13, ymd(1995, 11, 30), ymd(1996, 12, 30)},
        {"m", -13, ymd(1996, 1, 15), ymd(1994, 12, 15)},
        {"q", 1, ymd(1995, 11, 30), ymd(1996, 2, 29)},
        {"q", -4, ymd(2000, 2, 29), ymd(1999, 2, 28)},
        {"m", 1, ymd(2000, 1, 30), ymd(2000, 2, 29)},
        {"m", 1, ymd(1900, 1, 30), ymd(1900, 2, 28)},
        {"m", 1, ymd(1996, 1, 31) + 0.75, ymd(1996, 2, 29) + 0.75},
        {"yyyy", 1, ymd(1996, 2, 29), ymd(1997, 3, 1)},
        {"yyyy", 4, ymd(1996, 2, 29), ymd(2000, 2, 29)},
        {"yyyy", -1, ymd(1996, 1, 1), ymd(1995, 1, 1)},
        {"d", 1, ymd(1996, 2, 28), ymd(1996, 2, 29)},
        {"y", 366, ymd(1996, 1, 1), ymd(1997, 1, 1)},
        {"w", -1, ymd(1996, 3, 1), ymd(1996, 2, 29)},
        {"ww", 1, ymd(1996, 12, 28), ymd(1997, 1, 4)},
        {"ww", -52, ymd(1997, 1, 4), ymd(1996, 1, 6)},
        {"h", 25, ymd(1996, 1, 5), ymd(1996, 1, 6) + 1.0 / 24},
        {"n", 90, ymd(1996, 1, 5), ymd(1996, 1, 5) + 1.5 / 24},
        {"s", -1, ymd(1996, 1, 5), ymd(1996, 1, 4) + 86399.0 / 86400},
        {"d", INT32_MAX, 0.0, static_cast<double>(INT32_MAX)},
        {"ww", -1000000, 0.0, -7000000.0},
        {"d", -1, -1.25, -2.25},
        {"d", 2, -1.25, 1.25},
        {"h", 1, -1.25, -1 - 7.0 / 24},
        {"h", -7, -1.25, -2 - 23.0 / 24},
        {"h", -12, 0.25, -1.75}, // 06:00 on day 0 back to 18:00 the day before
        {"m", 1, ymd(1800, 1, 31, 6, 0, 0), ymd(1800, 2, 28, 6, 0, 0)},
        {"d", 1, ymd(9999, 12, 31), ymd(10000, 1, 1)},
        {"m", 1, ymd(9999, 12, 31), ymd(10000, 1, 31)},
        {"yyyy", -100, ymd(100, 3, 1), ymd(0, 3, 1)},
        {"m", -1200, ymd(100, 1, 31), ymd(0, 1, 31)},
        {"m", -1, ymd(0, 3, 31), ymd(0, 2, 29)},
    };
    for (const auto &r : rows) {
        VARIANT v = add(r.interval, r.count, r.serial);
        EXPECT_EQ(v.vt, VT_DATE) << r.interval << " " << r.count << " " << r.serial;
        EXPECT_DOUBLE_EQ(v.date, r.expected) << r.interval << " " << r.count << " " << r.serial;
    }
    EXPECT_TRUE(traps().empty());
    // Years, quarters and months must stay in 0-10000.
    for (auto [interval, count, serial] :
         {std::tuple{"yyyy", 9000, ymd(1996, 1, 1)}, std::tuple{"m", -1201, ymd(100, 1, 31)},
          std::tuple{"q", 33000, ymd(1996, 1, 1)}, std::tuple{"yyyy", INT32_MIN, 0.0},
          std::tuple{"m", INT32_MAX, 0.0}}) {
        clear_traps();
        EXPECT_EQ(add(interval, count, serial).vt, VT_EMPTY) << interval << " " << count;
        EXPECT_EQ(traps(), trap5) << interval << " " << count;
    }
}

TEST_F(IntervalsTest, DateDiff) {
    // Boundaries crossed, also across day 0; "ww" counts Sundays, "w" whole weeks.
    const double day = ymd(1996, 1, 5);
    const struct {
        const char *interval;
        double a, b;
        int64_t expected;
    } rows[] = {
        {"yyyy", ymd(1995, 12, 31), ymd(1996, 1, 1), 1},
        {"q", ymd(1996, 3, 31), ymd(1996, 4, 1), 1},
        {"q", ymd(1996, 1, 1), ymd(1995, 12, 31), -1},
        {"m", ymd(1996, 1, 31), ymd(1996, 2, 1), 1},
        {"m", ymd(1996, 2, 1), ymd(1995, 1, 31), -13},
        {"d", ymd(1996, 2, 1), ymd(1996, 3, 1), 29},
        {"y", ymd(1996, 2, 1), ymd(1996, 3, 1) + 0.9, 29},
        {"w", ymd(1996, 1, 1), ymd(1996, 1, 14), 1},
        {"w", ymd(1996, 1, 14), ymd(1996, 1, 1), -1},
        {"ww", ymd(1996, 1, 6), ymd(1996, 1, 7), 1}, // Saturday to Sunday
        {"ww", ymd(1996, 1, 7), ymd(1996, 1, 8), 0}, // Sunday to Monday
        {"h", day + hms(10, 59, 0), day + hms(11, 0, 0), 1},
        {"h", day + hms(10, 0, 0), day + hms(10, 59, 59), 0},
        {"n", day + hms(10, 0, 59), day + hms(10, 1, 0), 1},
        {"s", day + hms(23, 59, 59), day + 1, 1},
        {"s", day, day + 3, 3 * 86400},
        {"h", -1.25, 0.25, 24},
        {"n", ymd(1850, 1, 1, 23, 59, 0), ymd(1850, 1, 2), 1},
        {"d", -1.75, 1.25, 2}, // 29 December to 31 December
        // Seconds from year 100 to 9999 need more than 32 bits, weeks more than 16: see below.
        {"yyyy", ymd(100, 1, 1), ymd(9999, 12, 31), 9899},
        {"n", ymd(100, 1, 1), ymd(3999, 1, 1), 2050675200},
    };
    for (const auto &r : rows)
        EXPECT_EQ(diff_value(r.interval, r.a, r.b), r.expected) << r.interval << " " << r.a;
    for (const char *code : {"yyyy", "w", "ww"})
        EXPECT_EQ(diff(code, day, day).vt, VT_I2) << code;
    for (const char *code : {"q", "m", "y", "d", "h", "n", "s"})
        EXPECT_EQ(diff(code, day, day).vt, VT_I4) << code;
    EXPECT_TRUE(traps().empty());
    for (const char *code : {"s", "w"}) {
        clear_traps();
        EXPECT_EQ(diff(code, ymd(100, 1, 1), ymd(9999, 12, 31)).vt, VT_EMPTY) << code;
        EXPECT_EQ(traps(), (std::vector<Trap>{{6, Family::NumericTrap, ""}})) << code;
    }
}

TEST_F(IntervalsTest, WeeksAgainstCountedSundays) {
    // DateDiff "ww" counts the Sundays after the first date up to the second; DatePart "ww" is 1
    // plus the Sundays after 1 January up to the date. Counted here day by day (day 1 was a
    // Sunday).
    auto is_sunday = [](int64_t d) { return ((d - 1) % 7 + 7) % 7 == 0; };
    const int64_t start = static_cast<int64_t>(ymd(1995, 12, 20));
    long mismatches = 0;
    for (int64_t a = start; a < start + 30; ++a) {
        int64_t sundays = 0;
        for (int64_t b = a; b < a + 800; ++b) {
            if (b > a && is_sunday(b)) ++sundays;
            if (diff_value("ww", static_cast<double>(a), static_cast<double>(b)) != sundays)
                ++mismatches;
        }
    }
    for (int year : {1995, 1996, 2000, 2005, 2006, 2011, 2012}) {
        const int64_t first = static_cast<int64_t>(ymd(year, 1, 1));
        int week = 1;
        for (int64_t d = first; d <= static_cast<int64_t>(ymd(year, 12, 31)); ++d) {
            if (d > first && is_sunday(d)) ++week;
            if (part_value("ww", static_cast<double>(d)) != week) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(IntervalsTest, DatePart) {
    // "h", "n" and "s" truncate where Hour rounds (after adding a tenth of a second, which also
    // absorbs the error of the fraction).
    const double t8 = ymd(1996, 1, 5) + (10 * 3600 + 59 * 60 + 59.8) / 86400;
    const double t9 = ymd(1996, 1, 5) + (10 * 3600 + 59 * 60 + 59.9) / 86400;
    const struct {
        const char *interval;
        double serial;
        int expected;
    } rows[] = {
        {"yyyy", ymd(1996, 10, 1), 1996},
        {"q", ymd(1996, 10, 1), 4},
        {"q", ymd(1996, 3, 31), 1},
        {"m", ymd(1996, 10, 1), 10},
        {"y", ymd(1996, 12, 31), 366},
        {"y", ymd(1997, 12, 31), 365},
        {"y", ymd(1996, 3, 1), 61},
        {"d", ymd(1996, 10, 17), 17},
        {"w", ymd(1996, 1, 1), 2},
        {"ww", ymd(1996, 1, 1), 1},
        {"ww", ymd(1996, 1, 7), 2},
        {"h", t8, 10},
        {"n", t8, 59},
        {"s", t8, 59},
        {"h", t9, 10},
        {"n", t9, 0}, // 59.9 s and the tenth: the next minute
        {"s", t9, 0},
        {"s", ymd(1996, 1, 5) + hms(10, 20, 30), 30},
        {"n", ymd(1996, 1, 5) + hms(10, 20, 0), 20},
        {"h", -1.25, 6},
        {"n", ymd(1800, 1, 1, 10, 20, 30), 20},
        {"s", ymd(1800, 1, 1, 10, 20, 30), 30},
    };
    for (const auto &r : rows)
        EXPECT_EQ(part_value(r.interval, r.serial), r.expected) << r.interval << " " << r.serial;
    VARIANT hour{};
    ZbiBuiltIn_Hour(&hour, date(t8));
    EXPECT_EQ(hour.iVal, 11);
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, NullOtherSubtypesAndUnreadableSerials) {
    // A Null date gives Null without a look at the interval; both dates and the interval are
    // released.
    BlockBalance balance;
    VARIANT v{};
    ZbiBuiltIn_DateAdd(&v, temp("nonsense"), 1, null_variant());
    EXPECT_EQ(v.vt, VT_NULL);
    ZbiBuiltIn_DatePart(&v, temp("nonsense"), null_variant());
    EXPECT_EQ(v.vt, VT_NULL);
    ZbiBuiltIn_DateDiff(&v, temp("nonsense"), bstr_variant("1/2/96"), null_variant());
    EXPECT_EQ(v.vt, VT_NULL);
    ZbiBuiltIn_DateDiff(&v, temp("d"), null_variant(), bstr_variant("1/2/96"));
    EXPECT_EQ(v.vt, VT_NULL);
    EXPECT_EQ(balance.delta(), 0);
    // Other subtypes are converted without the range check.
    ZbiBuiltIn_DateAdd(&v, temp("d"), 1, bstr_variant("Jan 5, 1996"));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, ymd(1996, 1, 6));
    ZbiBuiltIn_DatePart(&v, temp("yyyy"), r8(2958466.0));
    EXPECT_EQ(v.iVal, 10000);
    ZbiBuiltIn_DateDiff(&v, temp("d"), i2(1), bstr_variant("1/2/1900"));
    EXPECT_EQ(v.lVal, 2);
    EXPECT_TRUE(traps().empty());
    ZbiBuiltIn_DateDiff(&v, temp("d"), bstr_variant("soon"), date(0.0));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), trap13);
    // Serials the calendar cannot read: trap 5.
    for (double bad : {double{NAN}, double{INFINITY}, 1e300, -1e12}) {
        clear_traps();
        EXPECT_EQ(add("h", 1, bad).vt, VT_EMPTY);
        EXPECT_EQ(diff("d", 0.0, bad).vt, VT_EMPTY);
        EXPECT_EQ(part("s", bad).vt, VT_EMPTY);
        EXPECT_EQ(traps(), (std::vector<Trap>(3, trap5[0]))) << bad;
    }
}

TEST_F(IntervalsTest, IntervalCodesAreExact) {
    for (const char *code : {"D", "YYYY", "yy", "dd", "", "d ", "x", "hh", "mm", "ss"}) {
        clear_traps();
        EXPECT_EQ(add(code, 1, 35000.0).vt, VT_EMPTY) << code;
        diff(code, 35000.0, 35001.0);
        part(code, 35000.0);
        EXPECT_EQ(traps(), (std::vector<Trap>(3, trap5[0]))) << "«" << code << "»";
    }
    // A borrowed interval is only read.
    Borrowed code("m");
    VARIANT v{};
    ZbiBuiltIn_DatePart(&v, code.get(), date(ymd(1996, 10, 1)));
    EXPECT_EQ(v.iVal, 10);
    EXPECT_TRUE(code.intact());
    // Throwing hooks leak nothing.
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(ZbiBuiltIn_DateAdd(&v, temp("bad"), 1, bstr_variant("1/2/96")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateDiff(&v, temp("d"), bstr_variant("1/2/96"), bstr_variant("x")),
                 TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateDiff(&v, temp("bad"), bstr_variant("1/2/96"), bstr_variant("x")),
                 TrapException);
    EXPECT_THROW(ZbiBuiltIn_DatePart(&v, temp("yyyy"), bstr_variant("x")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateAdd(&v, temp("yyyy"), 9000, bstr_variant("1/2/96")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}
