// DateAdd, DateDiff and DatePart: month ends, leap years, week counting against counted Sundays,
// dates before day 0, the range limits, overflow, Null, the interval codes and the ownership of
// the arguments.
#include <span>

#include "date_fixture.h"

using namespace brtl_test;

namespace {

class IntervalsTest : public DateTest {
  protected:
    static VARIANT add(const std::string &interval, int32_t count, VARIANT d) {
        VARIANT v = unwritten();
        ZbiBuiltIn_DateAdd(&v, temp(interval), count, d);
        return v;
    }
    static VARIANT diff(const std::string &interval, VARIANT a, VARIANT b) {
        VARIANT v = unwritten();
        ZbiBuiltIn_DateDiff(&v, temp(interval), a, b);
        return v;
    }
    static VARIANT part(const std::string &interval, VARIANT d) {
        VARIANT v = unwritten();
        ZbiBuiltIn_DatePart(&v, temp(interval), d);
        return v;
    }
    // The Integer or Long a result holds, or -999999 for any other subtype.
    static int64_t number(const VARIANT &v) {
        return v.vt == VT_I2 ? v.iVal : v.vt == VT_I4 ? v.lVal : -999999;
    }
};

// A Date Variant of a date written as `when` reads it.
VARIANT on(const char *text) {
    return date(when(text));
}

} // namespace

TEST_F(IntervalsTest, DateAdd) {
    // Months keep the end of the month, years do not; the time of day stays, also before day 0;
    // days carry no range check; year 0 is a leap year.
    using Row = std::tuple<const char *, int32_t, const char *, const char *>;
    const Row dates[] = {
        {"m", 1, "1996-1-31", "1996-2-29"},    {"m", 1, "1997-1-31", "1997-2-28"},
        {"m", -1, "1996-3-31", "1996-2-29"},   {"m", 1, "1996-3-31", "1996-4-30"},
        {"m", 13, "1995-11-30", "1996-12-30"}, {"m", -13, "1996-1-15", "1994-12-15"},
        {"q", 1, "1995-11-30", "1996-2-29"},   {"q", -4, "2000-2-29", "1999-2-28"},
        {"m", 1, "1900-1-30", "1900-2-28"},    {"yyyy", 1, "1996-2-29", "1997-3-1"},
        {"d", 1, "1996-2-28", "1996-2-29"},    {"y", 366, "1996-1-1", "1997-1-1"},
        {"w", -1, "1996-3-1", "1996-2-29"},    {"ww", 1, "1996-12-28", "1997-1-4"},
        {"d", 1, "9999-12-31", "10000-1-1"},   {"m", 1, "9999-12-31", "10000-1-31"},
        {"yyyy", -100, "100-3-1", "0-3-1"},    {"m", -1, "0-3-31", "0-2-29"}};
    const Row times[] = {{"m", 1, "1996-1-31 18:00", "1996-2-29 18:00"},
                         {"h", 25, "1996-1-5", "1996-1-6 1:00"},
                         {"n", 90, "1996-1-5", "1996-1-5 1:30"},
                         {"s", -1, "1996-1-5", "1996-1-4 23:59:59"},
                         {"d", -1, "1899-12-29 6:00", "1899-12-28 6:00"},
                         {"h", -7, "1899-12-29 6:00", "1899-12-28 23:00"},
                         {"h", -12, "1899-12-30 6:00", "1899-12-29 18:00"},
                         {"m", 1, "1800-1-31 6:00", "1800-2-28 6:00"}};
    for (std::span<const Row> rows : {std::span<const Row>(dates), std::span<const Row>(times)})
        for (auto [interval, count, from, to] : rows) {
            VARIANT v = add(interval, count, on(from));
            EXPECT_EQ(v.vt, VT_DATE) << interval << " " << count << " " << from;
            EXPECT_DOUBLE_EQ(v.date, when(to)) << interval << " " << count << " " << from;
        }
    // Large counts do not overflow 32 bits on the way.
    EXPECT_EQ(add("d", INT32_MAX, date(0.0)).date, static_cast<double>(INT32_MAX));
    EXPECT_EQ(add("ww", -1000000, date(0.0)).date, -7000000.0);
    EXPECT_TRUE(traps().empty());
    // Years, quarters and months must stay in 0-10000.
    for (auto [interval, count, serial] :
         {std::tuple{"yyyy", 8005, "1996-1-1"}, std::tuple{"m", -1201, "100-1-31"},
          std::tuple{"yyyy", INT32_MIN, "1899-12-30"}}) {
        clear_traps();
        EXPECT_EQ(add(interval, count, on(serial)).vt, VT_EMPTY) << interval << " " << count;
        EXPECT_EQ(traps(), trap5) << interval << " " << count;
    }
}

TEST_F(IntervalsTest, DateDiff) {
    // Boundaries crossed, also across day 0; "ww" counts Sundays, "w" whole weeks. Seconds from
    // year 100 to 9999 need more than 32 bits and weeks more than 16: numeric trap 6.
    using Row = std::tuple<const char *, const char *, const char *, int64_t>;
    const Row dates[] = {
        {"yyyy", "1995-12-31", "1996-1-1", 1},   {"q", "1996-3-31", "1996-4-1", 1},
        {"m", "1996-1-31", "1996-2-1", 1},       {"m", "1996-2-1", "1995-1-31", -13},
        {"d", "1996-2-1", "1996-3-1", 29},       {"w", "1996-1-1", "1996-1-14", 1},
        {"w", "1996-1-14", "1996-1-1", -1},      {"ww", "1996-1-6", "1996-1-7", 1},
        {"ww", "1996-1-7", "1996-1-8", 0},       {"yyyy", "100-1-1", "9999-12-31", 9899},
        {"n", "100-1-1", "3999-1-1", 2050675200}};
    const Row times[] = {{"y", "1996-2-1", "1996-3-1 21:36", 29},
                         {"h", "1996-1-5 10:59", "1996-1-5 11:00", 1},
                         {"h", "1996-1-5 10:00", "1996-1-5 10:59:59", 0},
                         {"n", "1996-1-5 10:00:59", "1996-1-5 10:01", 1},
                         {"s", "1996-1-5 23:59:59", "1996-1-6", 1},
                         {"h", "1899-12-29 6:00", "1899-12-30 6:00", 24},
                         {"n", "1850-1-1 23:59", "1850-1-2", 1},
                         {"d", "1899-12-29 18:00", "1899-12-31 6:00", 2}};
    for (std::span<const Row> rows : {std::span<const Row>(dates), std::span<const Row>(times)})
        for (auto [interval, a, b, expected] : rows)
            EXPECT_EQ(number(diff(interval, on(a), on(b))), expected) << interval << " " << a;
    for (const char *code : {"yyyy", "w", "ww"})
        EXPECT_EQ(diff(code, on("1996-1-5"), on("1996-1-5")).vt, VT_I2) << code;
    for (const char *code : {"q", "m", "y", "d", "h", "n", "s"})
        EXPECT_EQ(diff(code, on("1996-1-5"), on("1996-1-5")).vt, VT_I4) << code;
    EXPECT_TRUE(traps().empty());
    for (const char *code : {"s", "w"}) {
        clear_traps();
        EXPECT_EQ(diff(code, on("100-1-1"), on("9999-12-31")).vt, VT_EMPTY) << code;
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
            if (number(diff("ww", date(a), date(b))) != sundays) ++mismatches;
        }
    }
    for (int year : {1995, 1996, 2000, 2005, 2006, 2011, 2012}) {
        const int64_t first = static_cast<int64_t>(ymd(year, 1, 1));
        int week = 1;
        for (int64_t d = first; d <= static_cast<int64_t>(ymd(year, 12, 31)); ++d) {
            if (d > first && is_sunday(d)) ++week;
            if (number(part("ww", date(d))) != week) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(IntervalsTest, DatePart) {
    const std::tuple<const char *, const char *, int> rows[] = {
        {"yyyy", "1996-10-1", 1996}, {"q", "1996-10-1", 4},          {"m", "1996-10-1", 10},
        {"y", "1996-12-31", 366},    {"y", "1996-3-1", 61},          {"d", "1996-10-17", 17},
        {"w", "1996-1-1", 2},        {"s", "1996-1-5 10:20:30", 30}, {"n", "1996-1-5 10:20", 20},
        {"h", "1899-12-29 6:00", 6}, {"n", "1800-1-1 10:20:30", 20}};
    for (auto [interval, text, expected] : rows) {
        VARIANT v = part(interval, on(text));
        EXPECT_EQ(v.vt, VT_I2);
        EXPECT_EQ(v.iVal, expected) << interval << " " << text;
    }
    // "h", "n" and "s" truncate where Hour rounds (after adding a tenth of a second, which also
    // absorbs the error of the fraction above): 59.9 seconds and the tenth make the next minute.
    const double t8 = ymd(1996, 1, 5) + (10 * 3600 + 59 * 60 + 59.8) / 86400;
    const double t9 = ymd(1996, 1, 5) + (10 * 3600 + 59 * 60 + 59.9) / 86400;
    for (auto [interval, serial, expected] :
         {std::tuple{"h", t8, 10}, std::tuple{"n", t8, 59}, std::tuple{"s", t8, 59},
          std::tuple{"h", t9, 10}, std::tuple{"n", t9, 0}, std::tuple{"s", t9, 0}})
        EXPECT_EQ(number(part(interval, date(serial))), expected) << interval << " " << serial;
    VARIANT hour{};
    ZbiBuiltIn_Hour(&hour, date(t8));
    EXPECT_EQ(hour.iVal, 11);
    EXPECT_TRUE(traps().empty());
}

TEST_F(IntervalsTest, NullOtherSubtypesAndUnreadableSerials) {
    // A Null date gives Null without a look at the interval; both dates and the interval are
    // released.
    BlockBalance balance;
    EXPECT_EQ(add("nonsense", 1, null_variant()).vt, VT_NULL);
    EXPECT_EQ(part("nonsense", null_variant()).vt, VT_NULL);
    EXPECT_EQ(diff("nonsense", bstr_variant("1/2/96"), null_variant()).vt, VT_NULL);
    EXPECT_EQ(diff("d", null_variant(), bstr_variant("1/2/96")).vt, VT_NULL);
    EXPECT_EQ(balance.delta(), 0);
    // Other subtypes are converted without the range check.
    VARIANT v = add("d", 1, bstr_variant("Jan 5, 1996"));
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_EQ(v.date, ymd(1996, 1, 6));
    EXPECT_EQ(number(part("yyyy", r8(2958466.0))), 10000);
    EXPECT_EQ(number(diff("d", i2(1), bstr_variant("1/2/1900"))), 2);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(diff("d", bstr_variant("soon"), date(0.0)).vt, VT_EMPTY);
    EXPECT_EQ(traps(), trap13);
    // Serials the calendar cannot read: trap 5.
    for (double bad : {double{NAN}, double{INFINITY}, 1e300, -1e12}) {
        clear_traps();
        EXPECT_EQ(add("h", 1, date(bad)).vt, VT_EMPTY);
        EXPECT_EQ(diff("d", date(0.0), date(bad)).vt, VT_EMPTY);
        EXPECT_EQ(part("s", date(bad)).vt, VT_EMPTY);
        EXPECT_EQ(traps(), (std::vector<Trap>(3, trap5[0]))) << bad;
    }
}

TEST_F(IntervalsTest, IntervalCodesAreExact) {
    for (const char *code : {"D", "yy", "", "d ", "x"}) {
        clear_traps();
        EXPECT_EQ(add(code, 1, date(35000.0)).vt, VT_EMPTY) << code;
        diff(code, date(35000.0), date(35001.0));
        part(code, date(35000.0));
        EXPECT_EQ(traps(), (std::vector<Trap>(3, trap5[0]))) << "«" << code << "»";
    }
    // A borrowed interval is only read.
    Borrowed code("m");
    VARIANT v{};
    ZbiBuiltIn_DatePart(&v, code.get(), on("1996-10-1"));
    EXPECT_EQ(v.iVal, 10);
    EXPECT_TRUE(code.intact());
    // Throwing hooks leak nothing.
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(add("bad", 1, bstr_variant("1/2/96")), TrapException);
    EXPECT_THROW(diff("d", bstr_variant("1/2/96"), bstr_variant("x")), TrapException);
    EXPECT_THROW(diff("bad", bstr_variant("1/2/96"), bstr_variant("x")), TrapException);
    EXPECT_THROW(part("yyyy", bstr_variant("x")), TrapException);
    EXPECT_THROW(add("yyyy", 9000, bstr_variant("1/2/96")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}
