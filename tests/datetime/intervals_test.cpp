// DateAdd, DateDiff and DatePart: month ends, leap years, week counting against a counted
// calendar, dates before day 0, the range limits, overflow, Null, the interval codes and the
// ownership of the arguments.
#include <cmath>
#include <string>

#include "date_fixture.h"

using namespace brtl_test;

namespace {

class IntervalsTest : public DateTest {
  protected:
    // DateAdd's serial, or NaN when the result is no Date.
    static double add(const std::string &interval, int32_t count, double serial) {
        VARIANT v{};
        ZbiBuiltIn_DateAdd(&v, temp(interval), count, date(serial));
        return v.vt == VT_DATE ? v.date : NAN;
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
    static int part(const std::string &interval, double serial) {
        VARIANT v{};
        ZbiBuiltIn_DatePart(&v, temp(interval), date(serial));
        return v.vt == VT_I2 ? v.iVal : -9999;
    }
    const std::vector<Trap> trap5{{5, Family::Trap, ""}};
};

double ymd(int y, int m, int d) {
    return civil_serial(y, m, d);
}

} // namespace

TEST_F(IntervalsTest, AddingMonthsKeepsTheEndOfTheMonth) {
    EXPECT_EQ(add("m", 1, ymd(1996, 1, 31)), ymd(1996, 2, 29));
    EXPECT_EQ(add("m", 1, ymd(1997, 1, 31)), ymd(1997, 2, 28));
    EXPECT_EQ(add("m", -1, ymd(1996, 3, 31)), ymd(1996, 2, 29));
    EXPECT_EQ(add("m", 1, ymd(1996, 3, 31)), ymd(1996, 4, 30));
    EXPECT_EQ(add("m", 12, ymd(1995, 12, 31)), ymd(1996, 12, 31));
    EXPECT_EQ(add("m", 24, ymd(1995, 12, 31)), ymd(1997, 12, 31));
    EXPECT_EQ(add("m", -12, ymd(1995, 12, 31)), ymd(1994, 12, 31));
    EXPECT_EQ(add("m", 13, ymd(1995, 11, 30)), ymd(1996, 12, 30));
    EXPECT_EQ(add("m", -13, ymd(1996, 1, 15)), ymd(1994, 12, 15));
    EXPECT_EQ(add("q", 1, ymd(1995, 11, 30)), ymd(1996, 2, 29));
    EXPECT_EQ(add("q", -4, ymd(2000, 2, 29)), ymd(1999, 2, 28));
    EXPECT_EQ(add("m", 1, ymd(2000, 1, 30)), ymd(2000, 2, 29));
    EXPECT_EQ(add("m", 1, ymd(1900, 1, 30)), ymd(1900, 2, 28));
    // The time of day stays.
    EXPECT_DOUBLE_EQ(add("m", 1, ymd(1996, 1, 31) + 0.75), ymd(1996, 2, 29) + 0.75);
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, AddingYearsDaysAndTimes) {
    EXPECT_EQ(add("yyyy", 1, ymd(1996, 2, 29)), ymd(1997, 3, 1)); // not clamped
    EXPECT_EQ(add("yyyy", 4, ymd(1996, 2, 29)), ymd(2000, 2, 29));
    EXPECT_EQ(add("yyyy", -1, ymd(1996, 1, 1)), ymd(1995, 1, 1));
    EXPECT_EQ(add("d", 1, ymd(1996, 2, 28)), ymd(1996, 2, 29));
    EXPECT_EQ(add("y", 366, ymd(1996, 1, 1)), ymd(1997, 1, 1));
    EXPECT_EQ(add("w", -1, ymd(1996, 3, 1)), ymd(1996, 2, 29));
    EXPECT_EQ(add("ww", 1, ymd(1996, 12, 28)), ymd(1997, 1, 4));
    EXPECT_EQ(add("ww", -52, ymd(1997, 1, 4)), ymd(1996, 1, 6));
    EXPECT_DOUBLE_EQ(add("h", 25, ymd(1996, 1, 5)), ymd(1996, 1, 6) + 1.0 / 24);
    EXPECT_DOUBLE_EQ(add("n", 90, ymd(1996, 1, 5)), ymd(1996, 1, 5) + 1.5 / 24);
    EXPECT_DOUBLE_EQ(add("s", -1, ymd(1996, 1, 5)), ymd(1996, 1, 4) + 86399.0 / 86400);
    // Large counts do not overflow 32 bits on the way.
    EXPECT_EQ(add("d", INT32_MAX, 0.0), static_cast<double>(INT32_MAX));
    EXPECT_EQ(add("ww", -1000000, 0.0), -7000000.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, DatesBeforeDayZeroKeepTheirTimeOfDay) {
    // 29 December 1899 at 06:00 is -1.25.
    EXPECT_EQ(add("d", -1, -1.25), -2.25);
    EXPECT_EQ(add("d", 2, -1.25), 1.25);
    EXPECT_DOUBLE_EQ(add("h", 1, -1.25), -1 - 7.0 / 24);
    EXPECT_DOUBLE_EQ(add("h", -7, -1.25), -2 - 23.0 / 24);
    // From 06:00 on day 0 back twelve hours: 18:00 on the day before.
    EXPECT_DOUBLE_EQ(add("h", -12, 0.25), -1.75);
    EXPECT_DOUBLE_EQ(add("m", 1, civil_serial(1800, 1, 31, 6, 0, 0)),
                     civil_serial(1800, 2, 28, 6, 0, 0));
    // Hours are counted across day 0 as boundaries crossed.
    EXPECT_EQ(diff_value("h", -1.25, 0.25), 24);
    EXPECT_EQ(diff_value("n", civil_serial(1850, 1, 1, 23, 59, 0), civil_serial(1850, 1, 2)), 1);
    EXPECT_EQ(part("h", -1.25), 6);
    EXPECT_EQ(part("n", civil_serial(1800, 1, 1, 10, 20, 30)), 20);
    EXPECT_EQ(part("s", civil_serial(1800, 1, 1, 10, 20, 30)), 30);
    EXPECT_EQ(diff_value("d", -1.75, 1.25), 2); // 29 December to 31 December
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, TheRangeLimitsOfDateAdd) {
    // Days carry no range check: 31 December 9999 plus one day is 1 January 10000.
    EXPECT_EQ(add("d", 1, ymd(9999, 12, 31)), ymd(10000, 1, 1));
    EXPECT_EQ(add("m", 1, ymd(9999, 12, 31)), ymd(10000, 1, 31));
    EXPECT_EQ(add("yyyy", -100, ymd(100, 3, 1)), ymd(0, 3, 1));
    EXPECT_EQ(add("m", -1200, ymd(100, 1, 31)), ymd(0, 1, 31));
    EXPECT_EQ(add("m", -1, ymd(0, 3, 31)), ymd(0, 2, 29)); // year 0 is a leap year
    EXPECT_TRUE(traps().empty());
    // Years, quarters and months must stay in 0-10000.
    for (auto [interval, count, serial] :
         {std::tuple{"yyyy", 9000, ymd(1996, 1, 1)}, std::tuple{"m", -1201, ymd(100, 1, 31)},
          std::tuple{"q", 33000, ymd(1996, 1, 1)}, std::tuple{"yyyy", INT32_MIN, 0.0},
          std::tuple{"m", INT32_MAX, 0.0}}) {
        clear_traps();
        VARIANT v{};
        ZbiBuiltIn_DateAdd(&v, temp(interval), count, date(serial));
        EXPECT_EQ(v.vt, VT_EMPTY) << interval << " " << count;
        EXPECT_EQ(traps(), trap5) << interval << " " << count;
    }
}

TEST_F(IntervalsTest, DifferencesInEveryUnit) {
    EXPECT_EQ(diff_value("yyyy", ymd(1995, 12, 31), ymd(1996, 1, 1)), 1);
    EXPECT_EQ(diff_value("q", ymd(1996, 3, 31), ymd(1996, 4, 1)), 1);
    EXPECT_EQ(diff_value("q", ymd(1996, 1, 1), ymd(1995, 12, 31)), -1);
    EXPECT_EQ(diff_value("m", ymd(1996, 1, 31), ymd(1996, 2, 1)), 1);
    EXPECT_EQ(diff_value("m", ymd(1996, 2, 1), ymd(1995, 1, 31)), -13);
    EXPECT_EQ(diff_value("d", ymd(1996, 2, 1), ymd(1996, 3, 1)), 29);
    EXPECT_EQ(diff_value("y", ymd(1996, 2, 1), ymd(1996, 3, 1) + 0.9), 29);
    EXPECT_EQ(diff_value("w", ymd(1996, 1, 1), ymd(1996, 1, 14)), 1);
    EXPECT_EQ(diff_value("w", ymd(1996, 1, 14), ymd(1996, 1, 1)), -1);
    EXPECT_EQ(diff_value("ww", ymd(1996, 1, 6), ymd(1996, 1, 7)), 1); // Saturday to Sunday
    EXPECT_EQ(diff_value("ww", ymd(1996, 1, 7), ymd(1996, 1, 8)), 0); // Sunday to Monday
    const double day = ymd(1996, 1, 5);
    EXPECT_EQ(diff_value("h", day + hms(10, 59, 0), day + hms(11, 0, 0)), 1);
    EXPECT_EQ(diff_value("h", day + hms(10, 0, 0), day + hms(10, 59, 59)), 0);
    EXPECT_EQ(diff_value("n", day + hms(10, 0, 59), day + hms(10, 1, 0)), 1);
    EXPECT_EQ(diff_value("s", day + hms(23, 59, 59), day + 1), 1);
    EXPECT_EQ(diff_value("s", day, day + 3), 3 * 86400);
    // The result types.
    EXPECT_EQ(diff("yyyy", day, day).vt, VT_I2);
    EXPECT_EQ(diff("w", day, day).vt, VT_I2);
    EXPECT_EQ(diff("ww", day, day).vt, VT_I2);
    for (const char *code : {"q", "m", "y", "d", "h", "n", "s"})
        EXPECT_EQ(diff(code, day, day).vt, VT_I4) << code;
    EXPECT_TRUE(traps().empty());
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
    EXPECT_EQ(mismatches, 0);
    for (int year : {1995, 1996, 2000, 2005, 2006, 2011, 2012}) {
        int64_t first = static_cast<int64_t>(ymd(year, 1, 1));
        int64_t last = static_cast<int64_t>(ymd(year, 12, 31));
        int week = 1;
        for (int64_t d = first; d <= last; ++d) {
            if (d > first && is_sunday(d)) ++week;
            if (part("ww", static_cast<double>(d)) != week) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(part("ww", ymd(1996, 1, 1)), 1);
    EXPECT_EQ(part("ww", ymd(1996, 1, 7)), 2);
}

TEST_F(IntervalsTest, PartsOfADate) {
    EXPECT_EQ(part("yyyy", ymd(1996, 10, 1)), 1996);
    EXPECT_EQ(part("q", ymd(1996, 10, 1)), 4);
    EXPECT_EQ(part("q", ymd(1996, 3, 31)), 1);
    EXPECT_EQ(part("m", ymd(1996, 10, 1)), 10);
    EXPECT_EQ(part("y", ymd(1996, 12, 31)), 366);
    EXPECT_EQ(part("y", ymd(1997, 12, 31)), 365);
    EXPECT_EQ(part("y", ymd(1996, 3, 1)), 61);
    EXPECT_EQ(part("d", ymd(1996, 10, 17)), 17);
    EXPECT_EQ(part("w", ymd(1996, 1, 1)), 2);
    // "h", "n" and "s" truncate where Hour rounds (after adding a tenth of a second).
    double t = ymd(1996, 1, 5) + (10 * 3600 + 59 * 60 + 59.8) / 86400;
    EXPECT_EQ(part("h", t), 10);
    EXPECT_EQ(part("n", t), 59);
    EXPECT_EQ(part("s", t), 59);
    VARIANT hour{};
    ZbiBuiltIn_Hour(&hour, date(t));
    EXPECT_EQ(hour.iVal, 11);
    t = ymd(1996, 1, 5) + (10 * 3600 + 59 * 60 + 59.9) / 86400;
    EXPECT_EQ(part("h", t), 10);
    EXPECT_EQ(part("n", t), 0); // 59.9 seconds and the tenth make the next minute
    EXPECT_EQ(part("s", t), 0);
    // The tenth of a second absorbs the error of the fraction.
    EXPECT_EQ(part("s", ymd(1996, 1, 5) + hms(10, 20, 30)), 30);
    EXPECT_EQ(part("n", ymd(1996, 1, 5) + hms(10, 20, 0)), 20);
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, NullDatesGiveNullWithoutLookingAtTheInterval) {
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
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0); // both dates and the interval released
}

TEST_F(IntervalsTest, IntervalCodesAreExact) {
    for (const char *code : {"D", "YYYY", "yy", "dd", "", "d ", "x", "hh", "mm", "ss"}) {
        clear_traps();
        VARIANT v{};
        ZbiBuiltIn_DateAdd(&v, temp(code), 1, date(35000.0));
        EXPECT_EQ(v.vt, VT_EMPTY) << code;
        EXPECT_EQ(traps(), trap5) << "«" << code << "»";
        clear_traps();
        ZbiBuiltIn_DateDiff(&v, temp(code), date(35000.0), date(35001.0));
        EXPECT_EQ(traps(), trap5) << "«" << code << "»";
        clear_traps();
        ZbiBuiltIn_DatePart(&v, temp(code), date(35000.0));
        EXPECT_EQ(traps(), trap5) << "«" << code << "»";
    }
    // A borrowed interval is only read.
    Borrowed code("m");
    VARIANT v{};
    ZbiBuiltIn_DatePart(&v, code.get(), date(ymd(1996, 10, 1)));
    EXPECT_EQ(v.iVal, 10);
    EXPECT_TRUE(code.intact());
}

TEST_F(IntervalsTest, OtherSubtypesAreConvertedWithoutTheRangeCheck) {
    VARIANT v{};
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
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
}

TEST_F(IntervalsTest, DifferencesThatDoNotFitTheirTypeOverflow) {
    // Seconds from year 100 to 9999 need more than 32 bits; weeks over 10000 years more than 16.
    VARIANT v = diff("s", ymd(100, 1, 1), ymd(9999, 12, 31));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{6, Family::NumericTrap, ""}}));
    clear_traps();
    v = diff("w", ymd(100, 1, 1), ymd(9999, 12, 31));
    EXPECT_EQ(traps(), (std::vector<Trap>{{6, Family::NumericTrap, ""}}));
    clear_traps();
    EXPECT_EQ(diff_value("yyyy", ymd(100, 1, 1), ymd(9999, 12, 31)), 9899);
    EXPECT_EQ(diff_value("n", ymd(100, 1, 1), ymd(3999, 1, 1)), 2050675200);
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, SerialsTheCalendarCannotReadRaiseTrapFive) {
    for (double bad : {double{NAN}, double{INFINITY}, 1e300, -1e12}) {
        clear_traps();
        EXPECT_TRUE(std::isnan(add("h", 1, bad)));
        EXPECT_EQ(diff("d", 0.0, bad).vt, VT_EMPTY);
        EXPECT_EQ(part("s", bad), -9999);
        EXPECT_EQ(traps(), (std::vector<Trap>(3, Trap{5, Family::Trap, ""})));
    }
}

TEST_F(IntervalsTest, ThrowingHooksLeakNothing) {
    set_mode(HookMode::Throw);
    BlockBalance balance;
    VARIANT v{};
    EXPECT_THROW(ZbiBuiltIn_DateAdd(&v, temp("bad"), 1, bstr_variant("1/2/96")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateDiff(&v, temp("d"), bstr_variant("1/2/96"), bstr_variant("x")),
                 TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateDiff(&v, temp("bad"), bstr_variant("1/2/96"), bstr_variant("x")),
                 TrapException);
    EXPECT_THROW(ZbiBuiltIn_DatePart(&v, temp("yyyy"), bstr_variant("x")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_DateAdd(&v, temp("yyyy"), 9000, bstr_variant("1/2/96")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}
