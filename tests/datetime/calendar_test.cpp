// The calendar of the date serial against a calendar counted day by day; DateSerial's carrying,
// TimeSerial and the date check; Day, Month, Year, WeekDay, Hour, Minute and Second.
#include "datetime/calendar.h"

#include "date_fixture.h"

using namespace brtl_test;

namespace {

class CalendarTest : public DateTest {};

VARIANT date_serial(int32_t y, int32_t m, int32_t d) {
    VARIANT v = unwritten();
    ZbiBuiltIn_DateSerial(&v, y, m, d);
    return v;
}

using PartFn = VARIANT *(*)(VARIANT *, VARIANT);

// The Integer a part function gives for the argument, or kNoInteger - vt for a result of another
// subtype.
constexpr int kNoInteger = -10000;
int part(PartFn fn, VARIANT arg) {
    VARIANT v = unwritten();
    fn(&v, arg);
    return v.vt == VT_I2 ? v.iVal : kNoInteger - v.vt;
}

} // namespace

TEST_F(CalendarTest, EveryDayMatchesTheCountedCalendar) {
    // The independent calendar steps one day at a time with its own month lengths and leap rule
    // (only a zero remainder is tested, so negative years work too). Year 0 is a leap year and
    // years before it count on backwards; DateAdd reaches years 0 and 10000, the interval
    // functions read far beyond. In the years 100-9999 the builtins must agree too.
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int y = -2001, m = 1, d = 1;
    double serial = ymd(-2001, 1, 1); // checked by counting: day 0 must be 30 December 1899
    long mismatches = 0;
    for (; mismatches == 0 && !(y == 12000 && m == 12 && d == 31); serial += 1.0) {
        if (brtl::datetime::ymd_to_serial(d, m, y) != serial) ++mismatches;
        brtl::datetime::Ymd back = brtl::datetime::serial_to_ymd(serial);
        if (back.day != d || back.month != m || back.year != y) ++mismatches;
        if ((y == 1899 && m == 12 && d == 30) != (serial == 0.0)) ++mismatches;
        if ((y == 100 && m == 1 && d == 1) && serial != -657434.0) ++mismatches;
        if ((y == 9999 && m == 12 && d == 31) && serial != 2958465.0) ++mismatches;
        // Weekdays run 1 (Sunday) to 7 (Saturday); day 0 is a Saturday.
        const int weekday = static_cast<int>(static_cast<int64_t>(serial) % 7 + 13) % 7 + 1;
        if (brtl::datetime::weekday_of_day(static_cast<int64_t>(serial)) != weekday) ++mismatches;
        if (y >= 100 && y <= 9999) {
            // A time of day does not change the date, on either side of day 0.
            brtl::datetime::Ymd timed =
                brtl::datetime::serial_to_ymd(serial < 0 ? serial - 0.75 : serial + 0.75);
            if (timed.day != d || timed.year != y) ++mismatches;
            VARIANT v = date_serial(y, m, d);
            if (v.vt != VT_DATE || v.date != serial || !ZbiValidDate(y, m, d)) ++mismatches;
            if (part(ZbiBuiltIn_Day, v) != d || part(ZbiBuiltIn_Month, v) != m ||
                part(ZbiBuiltIn_Year, v) != y || part(ZbiBuiltIn_WeekDay, v) != weekday)
                ++mismatches;
        }
        const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
        if (++d > (m == 2 && leap ? 29 : lengths[m - 1])) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "the day before " << y << "-" << m << "-" << d;
    EXPECT_EQ(brtl::datetime::ymd_to_serial(1, 1, 0), -693959.0);
    EXPECT_EQ(brtl::datetime::ymd_to_serial(29, 2, 0), -693900.0);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CalendarTest, DateSerialCarriesMonthsAndDays) {
    // {y, m, d, and the date they make}: month 0 is December of the year before, 13 January of
    // the next; day 0 is the last day of the month before; two-digit years are 1900-1999.
    const int32_t rows[][6] = {
        {95, 1, 1, 1995, 1, 1},        {0, 1, 1, 1900, 1, 1},      {99, 13, 1, 2000, 1, 1},
        {2000, 0, 1, 1999, 12, 1},     {2000, -1, 1, 1999, 11, 1}, {2000, 24, 1, 2001, 12, 1},
        {2000, -12, 15, 1998, 12, 15}, {1996, 3, 0, 1996, 2, 29},  {1997, 2, 29, 1997, 3, 1},
        {9998, 24, 1, 9999, 12, 1},    {1996, 1, 400, 1997, 2, 3},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(testing::Message() << r[0] << "/" << r[1] << "/" << r[2]);
        VARIANT v = date_serial(r[0], r[1], r[2]);
        EXPECT_EQ(v.vt, VT_DATE);
        EXPECT_EQ(v.date, ymd(r[3], r[4], r[5]));
        if (r[0] < 100) continue; // the library calendar takes years as they are
        EXPECT_EQ(brtl::datetime::ymd_to_serial(r[2], r[1], r[0]), ymd(r[3], r[4], r[5]));
    }
    // Extreme days are added as they are, without overflow.
    for (int32_t day : {INT32_MIN, INT32_MAX})
        EXPECT_EQ(date_serial(2000, 1, day).date, ymd(2000, 1, 1) + static_cast<double>(day) - 1);
    EXPECT_TRUE(traps().empty());
    // Outside the years 100-9999: trap 5 and Empty.
    const int32_t bad[][3] = {
        {100, 0, 1}, {10000, 1, 1}, {9999, 13, 1}, {2000, INT32_MAX, 1}, {INT32_MIN, 1, 1}};
    for (const auto &b : bad) {
        clear_traps();
        EXPECT_EQ(date_serial(b[0], b[1], b[2]).vt, VT_EMPTY) << b[0] << "/" << b[1];
        EXPECT_EQ(traps(), trap5) << b[0] << "/" << b[1];
    }
    set_mode(HookMode::Throw);
    EXPECT_THROW(date_serial(10000, 1, 1), TrapException);
}

TEST_F(CalendarTest, ValidDateAndTimeSerial) {
    const int32_t invalid[][3] = {{1900, 2, 29}, {1997, 2, 29}, {99, 1, 1},    {10000, 1, 1},
                                  {1996, 4, 31}, {1996, 0, 1},  {1996, 13, 1}, {1996, 1, 0}};
    for (const auto &b : invalid)
        EXPECT_FALSE(ZbiValidDate(b[0], b[1], b[2])) << b[0] << "/" << b[1] << "/" << b[2];
    // TimeSerial is unchecked arithmetic, summed in double rather than in 32 bits.
    const std::tuple<int32_t, int32_t, int32_t, double> times[] = {
        {25, 0, 0, 25.0 / 24.0},
        {-1, 0, 0, -1.0 / 24.0},
        {10, 20, 30, hms(10, 20, 30)},
        {INT32_MAX, INT32_MAX, INT32_MAX, 3661.0 * INT32_MAX / 86400.0}};
    for (auto [h, n, s, expected] : times) {
        VARIANT v = unwritten();
        ZbiBuiltIn_TimeSerial(&v, h, n, s);
        EXPECT_EQ(v.vt, VT_DATE);
        EXPECT_DOUBLE_EQ(v.date, expected) << h;
    }
    EXPECT_TRUE(traps().empty());
}

TEST_F(CalendarTest, PartsOfDatesAndTimes) {
    // WeekDay just before day 0 (a Saturday) and of 1 January 100 (a Friday); times
    // round to the nearest second, so the last half second of a day reads as 24:00:00; Year of
    // 1 January 10000 (a Date is not range-checked).
    const double t1 = (10 * 3600 + 20 * 60 + 29.75) / 86400.0;
    const double t2 = 35000 + (10 * 3600 + 59 * 60 + 59.6) / 86400.0;
    const double jan100 = ymd(100, 1, 1);
    const std::tuple<PartFn, double, int> rows[] = {
        {ZbiBuiltIn_WeekDay, -0.5, 7},      {ZbiBuiltIn_WeekDay, jan100, 6},
        {ZbiBuiltIn_Day, -1.25, 29},        {ZbiBuiltIn_Hour, -1.25, 6},
        {ZbiBuiltIn_Hour, 0.999995, 24},    {ZbiBuiltIn_Minute, 0.999995, 0},
        {ZbiBuiltIn_Second, 0.999995, 0},   {ZbiBuiltIn_Second, t1, 30},
        {ZbiBuiltIn_Hour, t2, 11},          {ZbiBuiltIn_Minute, t2, 0},
        {ZbiBuiltIn_Year, 2958466.0, 10000}};
    for (auto [fn, serial, expected] : rows)
        EXPECT_EQ(part(fn, date(serial)), expected) << serial;
    // Every second of a day reads back, before and after day 0.
    long mismatches = 0;
    for (int s = 0; s < 86400; ++s)
        for (double x : {ymd(1996, 1, 5) + s / 86400.0, ymd(1800, 1, 5) - s / 86400.0})
            if (part(ZbiBuiltIn_Hour, date(x)) != s / 3600 ||
                part(ZbiBuiltIn_Minute, date(x)) != s / 60 % 60 ||
                part(ZbiBuiltIn_Second, date(x)) != s % 60)
                ++mismatches;
    EXPECT_EQ(mismatches, 0);
    // Null stays Null; the result keeps the argument's other bytes.
    VARIANT v{};
    ZbiBuiltIn_Hour(&v, null_variant());
    EXPECT_EQ(v.vt, VT_NULL);
    VARIANT arg = date(ymd(1996, 1, 5));
    arg.wReserved1 = 0x1234;
    ZbiBuiltIn_Day(&v, arg);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 5);
    EXPECT_EQ(v.wReserved1, 0x1234);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CalendarTest, PartsConvertOtherSubtypes) {
    // Text, numbers and Empty are converted without the range check. A number outside the years
    // 100-9999 is converted after trap 5; text that is no date (digits alone are none) is the
    // conversion's trap 13 and Empty; serials the calendar cannot read and Doubles that far out
    // raise trap 5 once and give Empty.
    const int empty = kNoInteger - VT_EMPTY;
    const std::tuple<PartFn, VARIANT, int, std::vector<Trap>> rows[] = {
        {ZbiBuiltIn_Day, bstr_variant("Jan 5, 1996 10:30"), 5, {}},
        {ZbiBuiltIn_Hour, r8(35069.5), 12, {}},
        {ZbiBuiltIn_Day, i2(1), 31, {}},
        {ZbiBuiltIn_Year, empty_variant(), 1899, {}},
        {ZbiBuiltIn_Year, r8(2958466.0), 10000, trap5},
        {ZbiBuiltIn_Day, bstr_variant("no date"), empty, trap13},
        {ZbiBuiltIn_Day, bstr_variant("123"), empty, trap13},
        {ZbiBuiltIn_Year, date(NAN), empty, trap5},
        {ZbiBuiltIn_Year, date(-1e15), empty, trap5},
        {ZbiBuiltIn_Hour, date(1e15), empty, trap5},
        {ZbiBuiltIn_Second, date(-1e300), empty, trap5},
        {ZbiBuiltIn_Day, r8(1e20), empty, trap5},
        {ZbiBuiltIn_Month, r8(INFINITY), empty, trap5},
        {ZbiBuiltIn_Hour, r8(1e15), empty, trap5}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        clear_traps();
        EXPECT_EQ(part(std::get<0>(rows[i]), std::get<1>(rows[i])), std::get<2>(rows[i])) << i;
        EXPECT_EQ(traps(), std::get<3>(rows[i])) << "row " << i;
    }
    set_mode(HookMode::Throw);
    BlockBalance balance;
    VARIANT v{};
    EXPECT_THROW(ZbiBuiltIn_Month(&v, bstr_variant("no date")), TrapException);
    EXPECT_THROW(ZbiBuiltIn_Month(&v, bstr_variant("123")), TrapException);
    EXPECT_EQ(balance.delta(), 0);
}
