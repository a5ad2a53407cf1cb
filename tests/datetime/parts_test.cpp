// Day, Month, Year, WeekDay, Hour, Minute and Second: round trips with DateSerial over every
// valid day, rounding to the nearest second, dates before day 0, conversions and traps.
#include <cmath>

#include "date_fixture.h"

using namespace brtl_test;

namespace {

class PartsTest : public DateTest {};

using PartFn = VARIANT *(*)(VARIANT *, VARIANT);

// The Integer a part function gives for the argument, or -9999 when the result is no Integer.
int part(PartFn fn, VARIANT arg) {
    VARIANT v{};
    fn(&v, arg);
    return v.vt == VT_I2 ? v.iVal : -9999;
}

} // namespace

TEST_F(PartsTest, DayMonthYearRoundTripEveryValidDay) {
    long mismatches = 0;
    int y = 100, m = 1, d = 1;
    int weekday = 0;
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (;;) {
        VARIANT s{};
        ZbiBuiltIn_DateSerial(&s, y, m, d);
        if (part(ZbiBuiltIn_Day, s) != d || part(ZbiBuiltIn_Month, s) != m ||
            part(ZbiBuiltIn_Year, s) != y)
            ++mismatches;
        int wd = part(ZbiBuiltIn_WeekDay, s);
        if (weekday != 0 && wd != weekday % 7 + 1) ++mismatches;
        weekday = wd;
        if (mismatches != 0) break;
        if (y == 9999 && m == 12 && d == 31) break;
        bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
        if (++d > (m == 2 && leap ? 29 : lengths[m - 1])) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << y << "-" << m << "-" << d;
    EXPECT_TRUE(traps().empty());
}

TEST_F(PartsTest, WeekDaysAroundDayZero) {
    EXPECT_EQ(part(ZbiBuiltIn_WeekDay, date(0.0)), 7); // 30 December 1899, a Saturday
    EXPECT_EQ(part(ZbiBuiltIn_WeekDay, date(1.0)), 1);
    EXPECT_EQ(part(ZbiBuiltIn_WeekDay, date(-1.0)), 6);
    EXPECT_EQ(part(ZbiBuiltIn_WeekDay, date(-0.5)), 7);                     // day 0 at noon
    EXPECT_EQ(part(ZbiBuiltIn_WeekDay, date(civil_serial(1996, 1, 1))), 2); // a Monday
    EXPECT_EQ(part(ZbiBuiltIn_WeekDay, date(civil_serial(100, 1, 1))), 6);  // a Friday
    EXPECT_EQ(part(ZbiBuiltIn_Day, date(-1.25)), 29);
    EXPECT_EQ(part(ZbiBuiltIn_Year, date(-1.25)), 1899);
}

TEST_F(PartsTest, TimePartsRoundToTheNearestSecond) {
    EXPECT_EQ(part(ZbiBuiltIn_Hour, date(-1.25)), 6);
    EXPECT_EQ(part(ZbiBuiltIn_Minute, date(-1.25)), 0);
    EXPECT_EQ(part(ZbiBuiltIn_Second, date(-1.25)), 0);
    // 86399.568 seconds: the last half second of the day reads as 24:00:00.
    EXPECT_EQ(part(ZbiBuiltIn_Hour, date(0.999995)), 24);
    EXPECT_EQ(part(ZbiBuiltIn_Minute, date(0.999995)), 0);
    EXPECT_EQ(part(ZbiBuiltIn_Second, date(0.999995)), 0);
    double t = (10 * 3600 + 20 * 60 + 29.75) / 86400.0;
    EXPECT_EQ(part(ZbiBuiltIn_Hour, date(t)), 10);
    EXPECT_EQ(part(ZbiBuiltIn_Minute, date(t)), 20);
    EXPECT_EQ(part(ZbiBuiltIn_Second, date(t)), 30);
    t = (10 * 3600 + 59 * 60 + 59.6) / 86400.0;
    EXPECT_EQ(part(ZbiBuiltIn_Hour, date(35000 + t)), 11);
    EXPECT_EQ(part(ZbiBuiltIn_Minute, date(35000 + t)), 0);
    // Every second of a day reads back, before and after day 0.
    long mismatches = 0;
    for (int s = 0; s < 86400; ++s) {
        double serial = civil_serial(1996, 1, 5) + s / 86400.0;
        double early = civil_serial(1800, 1, 5) - s / 86400.0;
        for (double x : {serial, early})
            if (part(ZbiBuiltIn_Hour, date(x)) != s / 3600 ||
                part(ZbiBuiltIn_Minute, date(x)) != s / 60 % 60 ||
                part(ZbiBuiltIn_Second, date(x)) != s % 60)
                ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(PartsTest, NullStaysNullAndTheResultIsTheArgumentsBytes) {
    VARIANT v{};
    ZbiBuiltIn_Hour(&v, null_variant());
    EXPECT_EQ(v.vt, VT_NULL);
    VARIANT arg = date(civil_serial(1996, 1, 5));
    arg.wReserved1 = 0x1234;
    ZbiBuiltIn_Day(&v, arg);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 5);
    EXPECT_EQ(v.wReserved1, 0x1234);
    EXPECT_TRUE(traps().empty());
}

TEST_F(PartsTest, OtherSubtypesAreConvertedToDates) {
    EXPECT_EQ(part(ZbiBuiltIn_Day, bstr_variant("Jan 5, 1996 10:30")), 5);
    EXPECT_EQ(part(ZbiBuiltIn_Minute, bstr_variant("Jan 5, 1996 10:30")), 30);
    EXPECT_EQ(part(ZbiBuiltIn_Year, r8(35069.5)), 1996);
    EXPECT_EQ(part(ZbiBuiltIn_Hour, r8(35069.5)), 12);
    EXPECT_EQ(part(ZbiBuiltIn_Day, i2(1)), 31);
    EXPECT_EQ(part(ZbiBuiltIn_Year, empty_variant()), 1899);
    EXPECT_TRUE(traps().empty());
    // A number outside the years 100-9999 is converted after trap 5 (the range check).
    EXPECT_EQ(part(ZbiBuiltIn_Year, r8(2958466.0)), 10000);
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
    // A Date is not converted, so not range-checked: 1 January 10000 is read as it is.
    clear_traps();
    EXPECT_EQ(part(ZbiBuiltIn_Year, date(2958466.0)), 10000);
    EXPECT_TRUE(traps().empty());
}

TEST_F(PartsTest, TextThatIsNoDateRaisesTheConversionTrap) {
    VARIANT v{};
    ZbiBuiltIn_Day(&v, bstr_variant("no date"));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    clear_traps();
    ZbiBuiltIn_Day(&v, bstr_variant("123")); // digits alone are no date here
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""}}));
    set_mode(HookMode::Throw);
    BlockBalance balance;
    EXPECT_THROW(ZbiBuiltIn_Month(&v, bstr_variant("no date")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_Month(&v, bstr_variant("123")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(PartsTest, SerialsTheCalendarCannotReadRaiseTrapFive) {
    for (double bad : {double{NAN}, double{INFINITY}, double{-INFINITY}, 1e300, -1e15}) {
        clear_traps();
        VARIANT v{};
        ZbiBuiltIn_Year(&v, date(bad));
        EXPECT_EQ(v.vt, VT_EMPTY) << bad;
        EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}})) << bad;
    }
    // A finite serial far out still has a time of day (its fraction is 0).
    clear_traps();
    EXPECT_EQ(part(ZbiBuiltIn_Hour, date(1e300)), 0);
    VARIANT v{};
    ZbiBuiltIn_Hour(&v, date(NAN));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(traps(), (std::vector<Trap>{{5, Family::Trap, ""}}));
}
